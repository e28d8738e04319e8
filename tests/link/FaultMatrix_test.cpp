// Both senders against every fault of the virtual unit: each ends with its own outcome, takes
// nothing the unit did not say, and once the fault is gone the next load and query work.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "common/ScriptedOperator.h"
#include "common/VirtualUnitOnPty.h"
#include "link/CommandText.h"
#include "link/Qm48SendDataUnit.h"
#include "query/Qm48QueryUnit.h"
#include "support/ProgramLog.h"
#include "support/Signals.h"
#include "support/TempDir.h"

namespace {

using namespace std::chrono_literals;
using enum SendResult;

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

// The unit holds the setup of LoadCommands(format, name, first).
void ExpectHolds(VirtualUnit& unit, int format, const std::string& name, uint32_t first) {
  EXPECT_EQ(unit.FormatNumber(), format);
  EXPECT_EQ(unit.FormatName(format), Name8(name));
  EXPECT_EQ(unit.MemoryWord(0x100), first);
  EXPECT_EQ(unit.MemoryWord(0x101), first + 1);
  EXPECT_TRUE(unit.Running());
}

SendOutcome Load(UnitLink& link, const std::vector<std::string>& commands, int timeoutMs) {
  TransmitBuffer buffer;
  for (const auto& c : commands) buffer.AppendCommand(c);
  return SendBuffer(link, "LOADING SIMULATOR", buffer, {timeoutMs});
}

// A query's results in declaration order (the W record's name text follows them).
template <typename T>
std::vector<uint32_t> Values(const T& record, size_t count = sizeof(T) / sizeof(uint32_t)) {
  std::vector<uint32_t> values(count);
  std::memcpy(values.data(), &record, count * sizeof(uint32_t));
  return values;
}
std::vector<uint32_t> Values(const progqueryclass& q) {
  std::vector<uint32_t> all = Values(q.Results);
  for (const auto& more : {Values(q.IResults), Values(q.WResults, kWQueryValueCount)})
    all.insert(all.end(), more.begin(), more.end());
  return all;
}

struct FaultCase {
  const char* mode;
  SendResult load;  // how the load of LoadCommands ends, and its message
  const char* loadMessage;
  SendResult query;  // how RunQueries ends (its first failure), and its message
  const char* queryMessage;
};

constexpr const char* kLoaded = "all 7 commands answered";
constexpr const char* kQueried = "all 5 commands answered";
constexpr const char* kUnreadQ = "the unit's reply to command 1 (Q) could not be read";
const FaultCase kCases[] = {
    {"none", Done, kLoaded, Done, kQueried},
    {"silent", TimedOut, "the unit did not answer command 1 (0 R)", TimedOut,
     "the unit did not answer command 1 (Q)"},
    {"silent-after=2", TimedOut, "the unit did not answer command 3 (Hmatrix  )", TimedOut,
     "the unit did not answer command 1 (0FI)"},
    {"garbage", Done, kLoaded, InvalidReply, kUnreadQ},
    {"double-cr", Done, kLoaded, Done, kQueried},
    {"slow=30", Done, kLoaded, Done, kQueried},
    {"vanish-after=2", Disconnected, "the serial port went away at command 3 (Hmatrix  )",
     Disconnected, "the serial port went away at command 1 (0FI)"},
    {"echo", Done, kLoaded, InvalidReply, kUnreadQ},
    {"second-writer", Done, kLoaded, InvalidReply,
     "2 lines came for command 1 (Q), none taken as the unit's reply: is another device "
     "talking on the line?"},
};

// Runs that must wait out the reply time get a short one, the rest one no busy machine fails.
constexpr int kShortTimeoutMs = 300, kLongTimeoutMs = 2000;
int TimeoutFor(SendResult expected) {
  return expected == TimedOut || expected == InvalidReply ? kShortTimeoutMs : kLongTimeoutMs;
}

class FaultMatrix : public ::testing::TestWithParam<FaultCase> {
 protected:
  // Fault cleared (a vanished unit replaced), another setup loads and queries back; lines
  // still on their way from the faulty unit must not count for either.
  void ExpectNextLoadWorks(std::unique_ptr<VirtualUnitOnPty>& link) {
    if (link->Unit().Vanished()) {
      link = std::make_unique<VirtualUnitOnPty>();
      ASSERT_TRUE(link->Ready());
    } else {
      link->Unit().SetFault(FaultMode{});
    }
    VirtualUnit& unit = link->Unit();
    const auto commands = LoadCommands(3, "next", 0x2345);
    const uint64_t before = unit.CommandCount();
    const SendOutcome load = Load(link->Link(), commands, kLongTimeoutMs);
    EXPECT_EQ(load.result, Done) << SendOutcomeText(load);
    ASSERT_TRUE(unit.WaitForCommands(before + commands.size(), 5000ms));
    ExpectHolds(unit, 3, "next", 0x2345);

    progqueryclass query;
    const SendOutcome queried = query.RunQueries(link->Link(), {kLongTimeoutMs});
    EXPECT_EQ(queried.result, Done) << SendOutcomeText(queried);
    EXPECT_EQ(query.Results.FormatNumber, 3u);
    EXPECT_EQ(FormatNameText(query.WResults), "next    ");
    EXPECT_EQ(query.IResults.NumAttenSteps, UnitLimits{}.numAttenSteps);
  }

  ScriptedOperator op;
  ScopedOperator scope{op};
};

TEST_P(FaultMatrix, BothSendersEndAsTheFaultDictatesAndTheNextLoadAndQueryWork) {
  const FaultCase& c = GetParam();
  progqueryclass clean, query;
  {
    VirtualUnitOnPty fresh;
    ASSERT_TRUE(fresh.Ready() && clean.RunQueries(fresh.Link()).Ok());
  }
  op.ClearRecords();
  TempDir dir;
  dir.Enter();
  LogStart("1.41", "Qm48", "", "Qm48");
  auto link = std::make_unique<VirtualUnitOnPty>(c.mode);
  ASSERT_TRUE(link->Ready());
  const auto commands = LoadCommands(2, "matrix", 0x1234);
  const SendOutcome out = Load(link->Link(), commands, TimeoutFor(c.load));
  EXPECT_EQ(out.result, c.load) << SendOutcomeText(out);
  EXPECT_EQ(SendOutcomeText(out), c.loadMessage);
  const auto progress = op.Progresses();
  ASSERT_EQ(progress.size(), 1u);
  EXPECT_EQ(progress[0].request.caption, "LOADING SIMULATOR");
  // A send ends where its last command ended, and nothing went out after it.
  size_t end = 0;
  for (uint32_t k = 0; k < out.commandNumber; ++k) end += commands[k].size();
  EXPECT_EQ(progress[0].lastPosition, static_cast<int>(end));
  if (out.Ok()) {
    EXPECT_EQ(out.commandsAnswered, commands.size());
    ASSERT_TRUE(link->Unit().WaitForCommands(commands.size(), 5000ms));
    EXPECT_EQ(link->Unit().Commands(), commands);
    ExpectHolds(link->Unit(), 2, "matrix", 0x1234);
  } else {
    ASSERT_GT(out.commandNumber, 0u);
    EXPECT_EQ(out.commandsAnswered, out.commandNumber - 1);
    EXPECT_EQ(out.commandText, commands[out.commandNumber - 1]);
    EXPECT_EQ(out.commandStart, end - out.commandText.size());
    EXPECT_EQ(link->Unit().CommandCount(), out.commandNumber);
  }
  if (out.result == Disconnected) {  // the port is gone for good: refused at once
    EXPECT_EQ(Load(link->Link(), commands, kLongTimeoutMs).result, NoPort);
  }
  LogEnd();
  const bool logged =
      ReadAll(dir.File("Qm48.Log")).find("SENDING COMMANDS TIMED OUT AT " + out.commandText) !=
      std::string::npos;
  EXPECT_EQ(logged, out.result == TimedOut);
  EXPECT_EQ(op.CountPlayed(ErrorTones()) > 0, !out.Ok());  // a load that failed sounds
  ExpectNextLoadWorks(link);

  link = std::make_unique<VirtualUnitOnPty>(c.mode);
  ASSERT_TRUE(link->Ready());
  const SendOutcome asked = query.RunQueries(link->Link(), {TimeoutFor(c.query)});
  EXPECT_EQ(asked.result, c.query) << SendOutcomeText(asked);
  EXPECT_EQ(SendOutcomeText(asked), c.queryMessage);
  // Unless garbled, every value is the unit's own or as it was (0), never another field's.
  if (std::string(c.mode) != "garbage") {
    const std::vector<uint32_t> got = Values(query), own = Values(clean);
    for (size_t i = 0; i < got.size(); ++i)
      EXPECT_TRUE(got[i] == 0 || got[i] == own[i]) << "value " << i << ": " << got[i];
    if (c.query == InvalidReply && std::string(c.mode) != "echo") {
      EXPECT_EQ(query.Results.MinFreqMhz, 0u);  // the first query's reply was not taken at all
    }
  }
  ExpectNextLoadWorks(link);
}

INSTANTIATE_TEST_SUITE_P(EveryFault, FaultMatrix, ::testing::ValuesIn(kCases),
                         [](const auto& info) {
                           std::string name = info.param.mode;
                           std::erase_if(name, [](unsigned char c) { return !std::isalnum(c); });
                           return name;
                         });

// Observers see the writes in the order added; one removed mid-load (from the dialog's
// thread) is never called again. Then the ends no fault makes; a stale reply event must not
// answer the first command.
TEST(CommandSender, ObserversEmptyBufferNoPortStrayReplyEventAndCancel) {
  ScriptedOperator op;
  ScopedOperator scope{op};
  VirtualUnitOnPty unit;
  ASSERT_TRUE(unit.Ready());
  UnitLink& link = unit.Link();
  EXPECT_EQ(Load(link, {}, kShortTimeoutMs).result, Done);
  constexpr int kCommands = 300;
  TransmitBuffer buffer;
  for (uint32_t k = 0; k < kCommands; ++k) buffer.AppendCommand(MemoryWriteCommand(k + 1, k));
  std::string journal;  // the observers' letters, one a write (they are called in turn)
  std::atomic<int> seenByB{0}, seenWhenRemoved{-1};
  auto observer = [&](char name) {
    return [&, name](int code, const uint8_t*, uint32_t) {
      if (name == 'b' && seenWhenRemoved >= 0) journal += '!';  // called after its removal
      if (code != EVT_TX_DONE) return;
      journal += name;
      seenByB += name == 'b';
    };
  };
  const UnitLink::ObserverId a = link.AddObserver(observer('a')),
                             b = link.AddObserver(observer('b'));
  link.AddObserver(observer('c'));
  op.CancelProgressWhen([&] {
    if (seenWhenRemoved < 0 && seenByB >= 10) {
      for (UnitLink::ObserverId id : {b, b, a + b + 100}) link.RemoveObserver(id);
      seenWhenRemoved = seenByB.load();
    }
    return false;
  });
  const SendOutcome out = SendBuffer(link, "LOAD", buffer);
  EXPECT_EQ(out.result, Done) << SendOutcomeText(out);
  link.Close();  // no notification after this
  const int k = seenWhenRemoved;
  ASSERT_LT(k, kCommands);  // it really went mid-load
  std::string expected;
  for (int i = 0; i < kCommands; ++i) expected += i < k ? "abc" : "ac";
  EXPECT_EQ(journal, expected);
  EXPECT_EQ(Load(link, {"0 R"}, kShortTimeoutMs).result, NoPort);
  EXPECT_EQ(unit.Unit().CommandCount(), uint64_t{kCommands});  // nothing from the other two

  VirtualUnitOnPty silent("silent");
  ASSERT_TRUE(silent.Ready());
  silent.Link().ReplyEvent().Set();
  const SendOutcome stray = Load(silent.Link(), LoadCommands(0, "x", 1), kShortTimeoutMs);
  EXPECT_EQ(stray.result, TimedOut);
  EXPECT_EQ(stray.commandNumber, 1u);
  // Cancel while the unit holds the command, long before the reply time runs out.
  op.CancelProgressWhen([&] { return silent.Unit().CommandCount() == 2; });
  EXPECT_EQ(Load(silent.Link(), LoadCommands(0, "x", 1), 600000).result, Cancelled);
  EXPECT_EQ(silent.Unit().CommandCount(), 2u);
  op.CancelProgressWhen({});
}

}  // namespace
