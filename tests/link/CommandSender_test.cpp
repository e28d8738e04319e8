// The command sender against the virtual unit on a pseudo-terminal: how each send ends,
// what reaches the unit, and every way the unit can misbehave.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "common/ScriptedOperator.h"
#include "common/VirtualUnitOnPty.h"
#include "link/Qm48SendDataUnit.h"
#include "support/ProgramLog.h"
#include "support/TempDir.h"

namespace {

using Clock = std::chrono::steady_clock;

TransmitBuffer Commands(const std::vector<std::string>& commands) {
  TransmitBuffer buffer;
  for (const auto& c : commands) buffer.AppendCommand(c);
  return buffer;
}

// n memory writes: value k + 1 to address 0x100 + k.
std::vector<std::string> MemoryWrites(int n) {
  std::vector<std::string> commands;
  char text[32];
  for (int k = 0; k < n; ++k) {
    std::snprintf(text, sizeof text, "%04X %04X M", k + 1, 0x100 + k);
    commands.push_back(text);
  }
  return commands;
}

SendOptions Quick(int timeoutMs = 300) {
  SendOptions options;
  options.replyTimeoutMs = timeoutMs;
  return options;
}

class CommandSender : public ::testing::Test {
 protected:
  ScriptedOperator op;
  ScopedOperator scope{op};
};

TEST_F(CommandSender, EveryCommandIsAnsweredInOrderUnderTheProgressDialog) {
  VirtualUnitOnPty link;
  ASSERT_TRUE(link.Ready());
  const auto commands = MemoryWrites(20);
  const TransmitBuffer buffer = Commands(commands);
  SendOutcome out = SendBuffer(link.Link(), "LOADING SIMULATOR", buffer, Quick());
  EXPECT_EQ(out.result, SendResult::Done) << SendOutcomeText(out);
  EXPECT_EQ(out.commandsAnswered, 20u);
  EXPECT_EQ(link.Unit().Commands(), commands);
  for (int k = 0; k < 20; ++k) EXPECT_EQ(link.Unit().MemoryWord(0x100 + k), k + 1);
  auto progress = op.Progresses();
  ASSERT_EQ(progress.size(), 1u);
  EXPECT_EQ(progress[0].request.caption, "LOADING SIMULATOR");
  EXPECT_EQ(progress[0].lastPosition, static_cast<int>(buffer.Fill()));
  EXPECT_EQ(progress[0].lastMaximum, static_cast<int>(buffer.Fill()));
}

TEST_F(CommandSender, EmptyBufferFinishesAtOnceAndSendsNothing) {
  VirtualUnitOnPty link;
  ASSERT_TRUE(link.Ready());
  SendOutcome out = SendBuffer(link.Link(), "LOADING SIMULATOR", TransmitBuffer{}, Quick());
  EXPECT_EQ(out.result, SendResult::Done);
  EXPECT_EQ(out.commandsAnswered, 0u);
  EXPECT_EQ(link.Unit().CommandCount(), 0u);
}

TEST_F(CommandSender, WithoutAPortNothingIsSentAndNoPortIsReported) {
  VirtualUnitOnPty link;
  link.Link().Close();
  SendOutcome out =
      SendBuffer(link.Link(), "LOADING SIMULATOR", Commands(MemoryWrites(3)), Quick());
  EXPECT_EQ(out.result, SendResult::NoPort);
  EXPECT_FALSE(out.Ok());
  EXPECT_TRUE(op.Progresses().empty());
  EXPECT_EQ(link.Unit().CommandCount(), 0u);
}

TEST_F(CommandSender, SilentUnitTimesOutAtTheFirstCommandAndTheLogNamesIt) {
  TempDir dir;
  dir.Enter();
  LogStart("1.41", "Qm48", "", "Qm48");
  {
    VirtualUnitOnPty link("silent");
    ASSERT_TRUE(link.Ready());
    SendOutcome out =
        SendBuffer(link.Link(), "LOADING SIMULATOR", Commands(MemoryWrites(5)), Quick(200));
    EXPECT_EQ(out.result, SendResult::TimedOut);
    EXPECT_EQ(out.commandNumber, 1u);
    EXPECT_EQ(out.commandText, "0001 0100 M");
    EXPECT_EQ(out.commandsAnswered, 0u);
    EXPECT_EQ(link.Unit().CommandCount(), 1u);
  }
  LogEnd();
  EXPECT_NE(ReadAll(dir.File("Qm48.Log")).find("SENDING COMMANDS TIMED OUT AT 0001 0100 M"),
            std::string::npos);
}

TEST_F(CommandSender, UnitFallingSilentMidLoadTimesOutAtThatCommand) {
  VirtualUnitOnPty link("silent-after=3");
  ASSERT_TRUE(link.Ready());
  const auto commands = MemoryWrites(6);
  SendOutcome out = SendBuffer(link.Link(), "LOADING SIMULATOR", Commands(commands), Quick(200));
  EXPECT_EQ(out.result, SendResult::TimedOut);
  EXPECT_EQ(out.commandNumber, 4u);
  EXPECT_EQ(out.commandText, commands[3]);
  EXPECT_EQ(out.commandStart, 3u * commands[0].size());
  EXPECT_EQ(out.commandsAnswered, 3u);
  EXPECT_EQ(link.Unit().CommandCount(), 4u);  // nothing after the unanswered command
}

TEST_F(CommandSender, CancelWhileWaitingEndsAtOnceWithoutSendingMore) {
  VirtualUnitOnPty link("silent");
  ASSERT_TRUE(link.Ready());
  op.CancelProgressAfterPolls(5);
  const auto start = Clock::now();
  SendOutcome out =
      SendBuffer(link.Link(), "LOADING SIMULATOR", Commands(MemoryWrites(5)), Quick(20000));
  EXPECT_EQ(out.result, SendResult::Cancelled);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));  // not the reply time-out
  EXPECT_EQ(link.Unit().CommandCount(), 1u);
}

// A carriage return left over from before the send must not count as the first reply.
TEST_F(CommandSender, StrayReplyEventBeforeTheSendDoesNotAnswerACommand) {
  VirtualUnitOnPty link("silent");
  ASSERT_TRUE(link.Ready());
  link.Link().ReplyEvent().Set();
  SendOutcome out =
      SendBuffer(link.Link(), "LOADING SIMULATOR", Commands(MemoryWrites(2)), Quick(200));
  EXPECT_EQ(out.result, SendResult::TimedOut);
  EXPECT_EQ(out.commandNumber, 1u);
}

TEST_F(CommandSender, VanishingPortEndsTheSendWithDisconnected) {
  VirtualUnitOnPty link("vanish-after=2");
  ASSERT_TRUE(link.Ready());
  const auto commands = MemoryWrites(6);
  const auto start = Clock::now();
  SendOutcome out = SendBuffer(link.Link(), "LOADING SIMULATOR", Commands(commands), Quick(20000));
  EXPECT_EQ(out.result, SendResult::Disconnected) << SendOutcomeText(out);
  EXPECT_EQ(out.commandNumber, 3u);
  EXPECT_EQ(out.commandsAnswered, 2u);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));  // not the reply time-out
  // The port is gone for good: a second send is refused at once.
  EXPECT_FALSE(SendBuffer(link.Link(), "LOADING SIMULATOR", Commands(commands), Quick()).Ok());
}

// Faults the sender must ride out: it only counts carriage returns, never reads the text.
TEST_F(CommandSender, LoadsCompleteWhateverTheReplyText) {
  for (const char* fault : {"garbage", "double-cr", "echo", "slow=20"}) {
    SCOPED_TRACE(fault);
    VirtualUnitOnPty link(fault);
    ASSERT_TRUE(link.Ready());
    const auto commands = MemoryWrites(12);
    SendOutcome out = SendBuffer(link.Link(), "LOADING SIMULATOR", Commands(commands), Quick(1000));
    EXPECT_EQ(out.result, SendResult::Done) << SendOutcomeText(out);
    EXPECT_EQ(out.commandsAnswered, 12u);
    EXPECT_EQ(link.Unit().Commands(), commands);
    EXPECT_EQ(link.Unit().MemoryWord(0x10B), 12);
  }
}

}  // namespace
