// The port comes back by itself when its device does: the virtual unit's link taken away
// (mid-load, or before the first poll) and made anew on a fresh pseudo-terminal. The load
// ends disconnected and is not sent again; a port closed on purpose stays closed.
#include "app/PortReconnect.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

#include "common/ScriptedOperator.h"
#include "link/Qm48SendDataUnit.h"
#include "link/UnitLink.h"
#include "serial/PortErrorHint.h"
#include "support/TempDir.h"
#include "unit/VirtualUnit.h"

namespace {

TransmitBuffer MemoryWrites(int n) {
  TransmitBuffer buffer;
  char text[32];
  for (int k = 0; k < n; ++k) {
    std::snprintf(text, sizeof text, "%04X %04X M", k + 1, 0x100 + k);
    buffer.AppendCommand(text);
  }
  return buffer;
}

// No program log here: it would fix the start directory for the tests after these.
TEST(PortReconnect, TheUnitsLinkMadeAnewBringsThePortBackButNotWhenClosedOnPurpose) {
  TempDir dir;
  ScriptedOperator op;
  ScopedOperator scope{op};
  const PortConfig config{};
  VirtualUnitOptions options;
  options.linkPath = dir.File("qm48-link");
  options.fault = {FaultKind::VanishAfter, 3};
  UnitLink link;
  // A device just made may be busy for a moment (another process was seen to hold a new
  // terminal briefly under load); the caption timer's next poll would try again.
  auto pollOnceFree = [&](PortReconnect& reconnect) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (ProbePortDevice(options.linkPath) == EBUSY && std::chrono::steady_clock::now() < giveUp)
      std::this_thread::yield();
    return reconnect.Poll(link, config);
  };
  VirtualUnit unit(options);
  ASSERT_TRUE(unit.Start());
  ASSERT_TRUE(link.Open(config, options.linkPath));
  PortReconnect reconnect;
  EXPECT_FALSE(reconnect.Poll(link, config));  // running: learns the link as the device's name
  EXPECT_EQ(reconnect.Awaited(), "");

  // The unit goes away on the fourth command of a load of ten.
  SendOptions quick;
  quick.replyTimeoutMs = 2000;
  const SendOutcome out = SendBuffer(link, "LOADING SIMULATOR", MemoryWrites(10), quick);
  EXPECT_EQ(out.result, SendResult::Disconnected) << SendOutcomeText(out);
  EXPECT_EQ(out.commandsAnswered, 3u);
  EXPECT_FALSE(std::filesystem::is_symlink(options.linkPath));  // the device's name went too
  for (int poll = 0; poll < 2; ++poll) EXPECT_FALSE(reconnect.Poll(link, config));  // leads nowhere
  EXPECT_EQ(reconnect.Awaited(), options.linkPath);
  EXPECT_FALSE(link.Connected());

  // The link is made anew, on a new pseudo-terminal (its number may be the old one's).
  unit.Stop();
  EXPECT_FALSE(std::filesystem::exists(options.linkPath));
  unit.SetFault(FaultMode{});
  ASSERT_TRUE(unit.Start());
  const uint64_t commandsBefore = unit.CommandCount();
  EXPECT_TRUE(pollOnceFree(reconnect));
  EXPECT_TRUE(link.Connected());
  EXPECT_EQ(reconnect.Awaited(), "");
  ASSERT_NE(link.Port(), nullptr);
  EXPECT_EQ(link.Port()->DevicePath(), options.linkPath);
  // The port works, and only what is sent now reaches the unit: nothing of the load.
  const SendOutcome one = SendBuffer(link, "LOADING SIMULATOR", MemoryWrites(1), quick);
  EXPECT_EQ(one.result, SendResult::Done) << SendOutcomeText(one);
  EXPECT_EQ(unit.CommandCount(), commandsBefore + 1);
  EXPECT_FALSE(reconnect.Poll(link, config));

  // Lost before the first poll (a load started at once): the path the port was opened with
  // is the name watched. Whether the port thread saw the hang-up before the send or in it.
  PortReconnect fresh;
  unit.Stop();
  const SendOutcome lost = SendBuffer(link, "LOADING SIMULATOR", MemoryWrites(1));
  EXPECT_TRUE(lost.result == SendResult::Disconnected || lost.result == SendResult::NoPort)
      << SendOutcomeText(lost);
  EXPECT_FALSE(fresh.Poll(link, config));
  EXPECT_EQ(fresh.Awaited(), options.linkPath);
  ASSERT_TRUE(unit.Start());
  EXPECT_TRUE(pollOnceFree(fresh));
  EXPECT_TRUE(link.Connected());
  // Closed on purpose (Disconnect, the port dialog): it stays closed.
  link.Close();
  for (int poll = 0; poll < 3; ++poll) EXPECT_FALSE(fresh.Poll(link, config));
  EXPECT_EQ(fresh.Awaited(), "");
  EXPECT_EQ(link.Port(), nullptr);
}

}  // namespace
