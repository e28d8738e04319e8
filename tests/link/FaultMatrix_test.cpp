// Both senders against every way the virtual unit can misbehave, on a real pseudo-terminal:
// each run ends (every wait is bounded) with its own outcome and message, nothing the unit
// did not say is taken as its answer, and once the fault is gone the next load and query
// work on the same port.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "cli/CtlRun.h"
#include "common/ScriptedOperator.h"
#include "common/VirtualUnitOnPty.h"
#include "link/CommandText.h"
#include "link/Qm48SendDataUnit.h"
#include "query/Qm48QueryUnit.h"
#include "support/TempDir.h"

namespace {

using namespace std::chrono_literals;

// A small setup as the loaders send it: halt, format, name, two memory words, save, run.
std::vector<std::string> LoadCommands(int format, const std::string& name, uint32_t first) {
  return {RunCommand(false),
          FormatNumberCommand(format),
          FormatNameCommand(name),
          MemoryWriteCommand(first, 0x100),
          MemoryWriteCommand(first + 1, 0x101),
          SaveFlashCommand(),
          RunCommand(true)};
}

TransmitBuffer Buffer(const std::vector<std::string>& commands) {
  TransmitBuffer buffer;
  for (const auto& c : commands) buffer.AppendCommand(c);
  return buffer;
}

// The unit holds the setup of LoadCommands(format, name, first).
void ExpectHolds(VirtualUnit& unit, int format, const std::string& name, uint32_t first) {
  EXPECT_EQ(unit.FormatNumber(), format);
  EXPECT_EQ(unit.FormatName(format), Name8(name));
  EXPECT_EQ(unit.MemoryWord(0x100), first);
  EXPECT_EQ(unit.MemoryWord(0x101), first + 1);
  EXPECT_TRUE(unit.Running());
}

// Runs f on a thread of its own: a send that hangs fails the test instead of blocking it.
template <typename F>
auto Bounded(F f) {
  auto result = std::async(std::launch::async, f);
  if (result.wait_for(60s) != std::future_status::ready) {
    ADD_FAILURE() << "the send did not end";
    std::terminate();  // the thread cannot be abandoned safely
  }
  return result.get();
}

struct FaultCase {
  const char* mode;
  SendResult load;  // how the load of LoadCommands ends, and its message
  const char* loadMessage;
  SendResult query;  // how RunQueries ends (its first failure), and its message
  const char* queryMessage;
};

std::ostream& operator<<(std::ostream& out, const FaultCase& c) {
  return out << c.mode;
}

const FaultCase kCases[] = {
    {"none", SendResult::Done, "all 7 commands answered", SendResult::Done,
     "all 5 commands answered"},
    {"silent", SendResult::TimedOut, "the unit did not answer command 1 (0 R)",
     SendResult::TimedOut, "the unit did not answer command 1 (Q)"},
    {"silent-after=2", SendResult::TimedOut, "the unit did not answer command 3 (Hmatrix  )",
     SendResult::TimedOut, "the unit did not answer command 1 (0FI)"},
    {"garbage", SendResult::Done, "all 7 commands answered", SendResult::InvalidReply,
     "the unit's reply to command 1 (Q) could not be read"},
    {"double-cr", SendResult::Done, "all 7 commands answered", SendResult::Done,
     "all 5 commands answered"},
    {"slow=30", SendResult::Done, "all 7 commands answered", SendResult::Done,
     "all 5 commands answered"},
    {"vanish-after=2", SendResult::Disconnected,
     "the serial port went away at command 3 (Hmatrix  )", SendResult::Disconnected,
     "the serial port went away at command 1 (0FI)"},
    {"echo", SendResult::Done, "all 7 commands answered", SendResult::InvalidReply,
     "the unit's reply to command 1 (Q) could not be read"},
    {"second-writer", SendResult::Done, "all 7 commands answered", SendResult::InvalidReply,
     "2 lines came for command 1 (Q), none taken as the unit's reply: is another device "
     "talking on the line?"},
};

// Runs that must wait out the reply time (no reply, or a reply that is watched for company)
// get a short one; the rest a long one, so that a busy machine cannot fail them.
constexpr int kShortTimeoutMs = 300;
constexpr int kLongTimeoutMs = 2000;

int TimeoutFor(SendResult expected) {
  const bool waitsOut = expected == SendResult::TimedOut || expected == SendResult::InvalidReply;
  return waitsOut ? kShortTimeoutMs : kLongTimeoutMs;
}

class FaultMatrix : public ::testing::TestWithParam<FaultCase> {
 protected:
  // The fault is cleared on the unit (a vanished one is replaced by a new unit on a new
  // port) and a different setup is loaded and queried back.
  void ExpectNextLoadWorks(std::unique_ptr<VirtualUnitOnPty>& link) {
    if (link->Unit().Vanished()) {
      link.reset();
      link = std::make_unique<VirtualUnitOnPty>();
      ASSERT_TRUE(link->Ready());
    } else {
      link->Unit().SetFault(FaultMode{});
    }
    VirtualUnit& unit = link->Unit();
    const auto commands = LoadCommands(3, "next", 0x2345);
    const uint64_t before = unit.CommandCount();
    SendOptions options;
    options.replyTimeoutMs = kLongTimeoutMs;
    SendOutcome load = Bounded(
        [&] { return SendBuffer(link->Link(), "LOADING SIMULATOR", Buffer(commands), options); });
    EXPECT_EQ(load.result, SendResult::Done) << SendOutcomeText(load);
    ASSERT_TRUE(unit.WaitForCommands(before + commands.size(), 5000ms));
    ExpectHolds(unit, 3, "next", 0x2345);

    progqueryclass query;
    SendOutcome queried = Bounded([&] { return query.RunQueries(link->Link(), {kLongTimeoutMs}); });
    EXPECT_EQ(queried.result, SendResult::Done) << SendOutcomeText(queried);
    EXPECT_EQ(query.Results.FormatNumber, 3u);
    EXPECT_EQ(FormatNameText(query.WResults), "next    ");
    EXPECT_EQ(query.IResults.NumAttenSteps, UnitLimits{}.numAttenSteps);
  }

  ScriptedOperator op;
  ScopedOperator scope{op};
};

TEST_P(FaultMatrix, CommandSenderEndsAsTheFaultDictatesAndTheNextLoadWorks) {
  const FaultCase& c = GetParam();
  auto link = std::make_unique<VirtualUnitOnPty>(c.mode);
  ASSERT_TRUE(link->Ready());
  const auto commands = LoadCommands(2, "matrix", 0x1234);
  SendOptions options;
  options.replyTimeoutMs = TimeoutFor(c.load);
  SendOutcome out = Bounded(
      [&] { return SendBuffer(link->Link(), "LOADING SIMULATOR", Buffer(commands), options); });
  EXPECT_EQ(out.result, c.load) << SendOutcomeText(out);
  EXPECT_EQ(SendOutcomeText(out), c.loadMessage);
  if (out.Ok()) {
    // Done means the unit got the whole setup, every command once and in order.
    ASSERT_TRUE(link->Unit().WaitForCommands(commands.size(), 5000ms));
    EXPECT_EQ(link->Unit().Commands(), commands);
    ExpectHolds(link->Unit(), 2, "matrix", 0x1234);
  } else {
    // Nothing after the command the send ended at.
    EXPECT_EQ(link->Unit().CommandCount(), out.commandNumber);
  }
  // Lines still on their way from the faulty unit are not part of the next load.
  std::this_thread::sleep_for(50ms);
  ExpectNextLoadWorks(link);
}

TEST_P(FaultMatrix, QuerySenderNeverTakesWhatTheUnitDidNotSayAndTheNextQueryWorks) {
  const FaultCase& c = GetParam();
  auto link = std::make_unique<VirtualUnitOnPty>(c.mode);
  ASSERT_TRUE(link->Ready());
  progqueryclass query;
  SendOutcome out = Bounded([&] { return query.RunQueries(link->Link(), {TimeoutFor(c.query)}); });
  EXPECT_EQ(out.result, c.query) << SendOutcomeText(out);
  EXPECT_EQ(SendOutcomeText(out), c.queryMessage);

  // A garbled reply is still the unit's one line, read by the usual rules; otherwise every
  // block holds the unit's own values or is as it was (all 0): never a value that came
  // from another line or from the wrong field.
  if (std::string(c.mode) == "garbage") {
    std::this_thread::sleep_for(50ms);
    ExpectNextLoadWorks(link);
    return;
  }
  const UnitLimits limits;
  const QueryResults& q = query.Results;
  if (q.MaxFreqMhz != 0 || q.PremodFilterFreqKhz[0] != 0) {
    EXPECT_EQ(q.MaxFreqMhz, limits.maxFreqMhz);
    EXPECT_EQ(q.PremodFilterFreqKhz, limits.premodFilterKhz);
    EXPECT_EQ(q.InputModulationSource, limits.inputModulationSource);
  }
  if (c.query == SendResult::InvalidReply && std::string(c.mode) != "echo") {
    EXPECT_EQ(q.MinFreqMhz, 0u);  // the first query's reply was not taken at all
  }
  const IQueryResults& i = query.IResults;
  for (uint32_t value : {i.FirmwareVersion, i.MaxDb, i.NumAttenSteps})
    EXPECT_TRUE(value == 0 || value == limits.firmwareVersion || value == limits.maxDb ||
                value == limits.numAttenSteps)
        << value;
  if (i.FirmwareVersion != 0) {
    EXPECT_EQ(i.FirmwareVersion, limits.firmwareVersion);
  }
  if (i.MaxDb != 0) {
    EXPECT_EQ(i.MaxDb, limits.maxDb);
  }
  if (i.NumAttenSteps != 0) {
    EXPECT_EQ(i.NumAttenSteps, limits.numAttenSteps);
  }
  // A fresh unit has loaded nothing: every W value is 0 and the name is blank.
  const WQueryResults& w = query.WResults;
  for (uint32_t value : {w.FreqSelected100khz, w.Deviation, w.PremodFilter, w.ClockRateMsb,
                         w.ClockRateLsb, w.ControlReg[0], w.ControlReg[1], w.ControlReg[2]})
    EXPECT_EQ(value, 0u);
  for (uint32_t code : w.FormatNameCode) EXPECT_TRUE(code == 0 || code == 0x2020) << code;
  EXPECT_TRUE(FormatNameText(w).empty() || FormatNameText(w) == "        ") << FormatNameText(w);
  std::this_thread::sleep_for(50ms);
  ExpectNextLoadWorks(link);
}

INSTANTIATE_TEST_SUITE_P(EveryFault, FaultMatrix, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                           std::string name;
                           for (const char* p = info.param.mode; *p; ++p)
                             if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                           return name;
                         });

// A second controller on the port while a load runs is refused at once and leaves the
// load alone. The lock holds for every user, root included (who may ignore exclusive mode).
TEST(SecondController, IsRefusedWithPortBusyWhileALoadRunsUndisturbed) {
  ScriptedOperator op;
  ScopedOperator scope{op};
  TempDir dir;
  ASSERT_EQ(RunCtl("save-default d.qm48", dir).code, 0);
  VirtualUnitOnPty link("slow=400");
  ASSERT_TRUE(link.Ready());
  const auto commands = LoadCommands(1, "first", 0x0ABC);
  SendOptions options;
  options.replyTimeoutMs = 2000;
  auto load = std::async(std::launch::async, [&] {
    return SendBuffer(link.Link(), "LOADING SIMULATOR", Buffer(commands), options);
  });
  ASSERT_TRUE(link.Unit().WaitForCommands(1, 5000ms));  // mid-load
  CtlResult second = RunCtl("load --device '" + link.Unit().DevicePath() + "' d.qm48", dir);
  EXPECT_EQ(second.code, 3) << second.err;
  EXPECT_NE(second.err.find("another program is using the port"), std::string::npos) << second.err;
  EXPECT_NE(load.wait_for(0s), std::future_status::ready);  // it really came mid-load
  ASSERT_EQ(load.wait_for(60s), std::future_status::ready);
  SendOutcome out = load.get();
  EXPECT_EQ(out.result, SendResult::Done) << SendOutcomeText(out);
  EXPECT_EQ(link.Unit().Commands(), commands);  // not a byte from the second controller
  ExpectHolds(link.Unit(), 1, "first", 0x0ABC);
}

}  // namespace
