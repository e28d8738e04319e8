// Both senders against every way the virtual unit can misbehave, on a real pseudo-terminal:
// each run ends (every wait is bounded) with its own outcome and message, nothing the unit
// did not say is taken as its answer, and once the fault is gone the next load and query
// work on the same port.
#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

#include "cli/CtlRun.h"
#include "common/ScriptedOperator.h"
#include "common/VirtualUnitOnPty.h"
#include "link/CommandText.h"
#include "link/Qm48SendDataUnit.h"
#include "query/Qm48QueryUnit.h"
#include "support/ProgramLog.h"

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

SendOutcome Load(UnitLink& link, const std::vector<std::string>& commands, int timeoutMs) {
  SendOptions options;
  options.replyTimeoutMs = timeoutMs;
  return SendBuffer(link, "LOADING SIMULATOR", Buffer(commands), options);
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
  // port) and a different setup is loaded and queried back. Lines still on their way from
  // the faulty unit must not count for either.
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
    const SendOutcome load = Load(link->Link(), commands, kLongTimeoutMs);
    EXPECT_EQ(load.result, SendResult::Done) << SendOutcomeText(load);
    ASSERT_TRUE(unit.WaitForCommands(before + commands.size(), 5000ms));
    ExpectHolds(unit, 3, "next", 0x2345);

    progqueryclass query;
    const SendOutcome queried = query.RunQueries(link->Link(), {kLongTimeoutMs});
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
  TempDir dir;
  dir.Enter();
  LogStart("1.41", "Qm48", "", "Qm48");
  auto link = std::make_unique<VirtualUnitOnPty>(c.mode);
  ASSERT_TRUE(link->Ready());
  const auto commands = LoadCommands(2, "matrix", 0x1234);
  const TransmitBuffer buffer = Buffer(commands);
  const SendOutcome out = Load(link->Link(), commands, TimeoutFor(c.load));
  EXPECT_EQ(out.result, c.load) << SendOutcomeText(out);
  EXPECT_EQ(SendOutcomeText(out), c.loadMessage);
  const auto progress = op.Progresses();
  ASSERT_EQ(progress.size(), 1u);
  EXPECT_EQ(progress[0].request.caption, "LOADING SIMULATOR");
  if (out.Ok()) {
    // Done means the unit got the whole setup, every command once and in order.
    EXPECT_EQ(out.commandsAnswered, commands.size());
    EXPECT_EQ(progress[0].lastPosition, static_cast<int>(buffer.Fill()));
    ASSERT_TRUE(link->Unit().WaitForCommands(commands.size(), 5000ms));
    EXPECT_EQ(link->Unit().Commands(), commands);
    ExpectHolds(link->Unit(), 2, "matrix", 0x1234);
  } else {
    // The outcome names where the send ended, and nothing went out after that command.
    ASSERT_GT(out.commandNumber, 0u);
    EXPECT_EQ(out.commandsAnswered, out.commandNumber - 1);
    EXPECT_EQ(out.commandText, commands[out.commandNumber - 1]);
    size_t start = 0;
    for (uint32_t k = 1; k < out.commandNumber; ++k) start += commands[k - 1].size();
    EXPECT_EQ(out.commandStart, start);
    EXPECT_EQ(link->Unit().CommandCount(), out.commandNumber);
  }
  if (out.result == SendResult::Disconnected) {
    // The port is gone for good: a second send is refused at once.
    EXPECT_EQ(Load(link->Link(), commands, kLongTimeoutMs).result, SendResult::NoPort);
  }
  LogEnd();
  const bool logged =
      ReadAll(dir.File("Qm48.Log")).find("SENDING COMMANDS TIMED OUT AT " + out.commandText) !=
      std::string::npos;
  EXPECT_EQ(logged, out.result == SendResult::TimedOut);
  ExpectNextLoadWorks(link);
}

TEST_P(FaultMatrix, QuerySenderNeverTakesWhatTheUnitDidNotSayAndTheNextQueryWorks) {
  const FaultCase& c = GetParam();
  auto link = std::make_unique<VirtualUnitOnPty>(c.mode);
  ASSERT_TRUE(link->Ready());
  progqueryclass query;
  const SendOutcome out = query.RunQueries(link->Link(), {TimeoutFor(c.query)});
  EXPECT_EQ(out.result, c.query) << SendOutcomeText(out);
  EXPECT_EQ(SendOutcomeText(out), c.queryMessage);

  // A garbled reply is still the unit's one line, read by the usual rules; otherwise every
  // value is the unit's own or as it was (0): never one from another line or field, and a
  // fresh unit has loaded nothing (every W value 0, the name blank).
  if (std::string(c.mode) != "garbage") {
    const UnitLimits limits;
    const QueryResults& q = query.Results;
    const IQueryResults& i = query.IResults;
    const WQueryResults& w = query.WResults;
    EXPECT_TRUE(q.MaxFreqMhz == 0 || q.MaxFreqMhz == limits.maxFreqMhz) << q.MaxFreqMhz;
    EXPECT_TRUE(q.PremodFilterFreqKhz[0] == 0 || q.PremodFilterFreqKhz == limits.premodFilterKhz);
    if (c.query == SendResult::InvalidReply && std::string(c.mode) != "echo") {
      EXPECT_EQ(q.MinFreqMhz, 0u);  // the first query's reply was not taken at all
    }
    for (const auto& [value, expected] :
         {std::pair{i.FirmwareVersion, limits.firmwareVersion}, std::pair{i.MaxDb, limits.maxDb},
          std::pair{i.NumAttenSteps, limits.numAttenSteps}})
      EXPECT_TRUE(value == 0 || value == expected) << value;
    for (uint32_t value : {w.FreqSelected100khz, w.Deviation, w.PremodFilter, w.ClockRateMsb,
                           w.ClockRateLsb, w.ControlReg[0], w.ControlReg[1], w.ControlReg[2]})
      EXPECT_EQ(value, 0u);
    for (uint32_t code : w.FormatNameCode) EXPECT_TRUE(code == 0 || code == 0x2020) << code;
  }
  ExpectNextLoadWorks(link);
}

INSTANTIATE_TEST_SUITE_P(EveryFault, FaultMatrix, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                           std::string name;
                           for (const char* p = info.param.mode; *p; ++p)
                             if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                           return name;
                         });

// The ends of a send no fault makes: nothing to send, no port, the operator's cancel, and a
// reply event left over from before the send, which must not answer the first command.
TEST(CommandSender, EmptyBufferNoPortCancelAndAStrayReplyEvent) {
  ScriptedOperator op;
  ScopedOperator scope{op};
  {
    VirtualUnitOnPty link;
    ASSERT_TRUE(link.Ready());
    EXPECT_EQ(Load(link.Link(), {}, kShortTimeoutMs).result, SendResult::Done);
    EXPECT_EQ(link.Unit().CommandCount(), 0u);
    link.Link().Close();
    EXPECT_EQ(Load(link.Link(), {"0 R"}, kShortTimeoutMs).result, SendResult::NoPort);
    EXPECT_EQ(link.Unit().CommandCount(), 0u);
  }
  VirtualUnitOnPty link("silent");
  ASSERT_TRUE(link.Ready());
  link.Link().ReplyEvent().Set();
  const SendOutcome stray = Load(link.Link(), LoadCommands(0, "x", 1), kShortTimeoutMs);
  EXPECT_EQ(stray.result, SendResult::TimedOut);
  EXPECT_EQ(stray.commandNumber, 1u);
  // Cancel while the unit holds the command, long before the reply time runs out.
  op.CancelProgressWhen([&] { return link.Unit().CommandCount() == 2; });
  EXPECT_EQ(Load(link.Link(), LoadCommands(0, "x", 1), 600000).result, SendResult::Cancelled);
  EXPECT_EQ(link.Unit().CommandCount(), 2u);
  op.CancelProgressWhen({});
}

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
  auto load = std::async(std::launch::async, [&] { return Load(link.Link(), commands, 2000); });
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
