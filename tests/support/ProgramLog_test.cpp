#include "support/ProgramLog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/StartDirectory.h"
#include "support/RecordingOperator.h"
#include "support/Signals.h"
#include "support/TempDir.h"

namespace {
const char kStart[] = "------------------PROGRAM START--------------------";
const char kEnd[] = "------------------PROGRAM END--------------------";

// The message part of each line ("TAG  STAMP  message").
std::vector<std::string> Messages(const std::string& path) {
  std::vector<std::string> out;
  for (const std::string& line : CrLfLines(ReadAll(path)))
    out.push_back(line.size() > 29 ? line.substr(29) : std::string());
  return out;
}

class ProgramLog : public testing::Test {
 protected:
  void SetUp() override {
    dir.Enter();
    gDebugLogging = false;
  }
  void TearDown() override { LogEnd(); }
  TempDir dir;
  RecordingOperator op;
};
}  // namespace

TEST_F(ProgramLog, BannersOpenAndCloseTheRun) {
  { std::ofstream(dir.File("Qm48.Log")) << "last run\r\n"; }
  LogStart("1.41", "Qm48", "", "Qm48");
  EXPECT_EQ(LogPath(), dir.File("Qm48.Log"));
  LogText("middle", 255);
  LogEnd();
  LogText("after the end", 1);  // no log any more: nothing is written

  auto lines = CrLfLines(ReadAll(dir.File("Qm48.Log")));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].substr(0, 8), "000000  ");
  EXPECT_EQ(lines[1].substr(0, 8), "000000  ");
  EXPECT_EQ(lines[2].substr(0, 8), "000255  ");
  EXPECT_EQ(Messages(dir.File("Qm48.Log")),
            (std::vector<std::string>{kStart, "Program Version 1.41", "middle", kEnd}));
  EXPECT_EQ(LogPath(), "");
}

TEST_F(ProgramLog, LogGoesIntoAnExistingSubdirectoryOnly) {
  std::filesystem::create_directory(dir.File("logs"));
  LogStart("1.41", "Qm48", "logs", "Fallback");
  EXPECT_EQ(LogPath(), dir.File("logs/Qm48.Log"));
  LogEnd();
  LogStart("1.41", "Qm48", "nowhere", "Fallback");
  EXPECT_EQ(LogPath(), dir.File("Fallback.Log"));
  EXPECT_TRUE(std::filesystem::exists(dir.File("logs/Qm48.Log")));
}

TEST_F(ProgramLog, BoxesOnlyWhenAskedAndTheErrorSignal) {
  LogStart("1.41", "Qm48", "", "Qm48");
  LogInfo("quiet info", 3, false);
  EXPECT_TRUE(op.boxes.empty());
  EXPECT_TRUE(op.speaker.Played().empty());

  LogInfo("loud info", 4, true);
  LogError("bad thing", 5, true);
  LogError("quiet error", 6, false);
  ASSERT_EQ(op.boxes.size(), 2u);
  EXPECT_EQ(op.boxes[0].text, "loud info");
  EXPECT_EQ(op.boxes[0].caption, "INFO");
  EXPECT_EQ(op.boxes[0].icon, MsgIcon::Information);
  EXPECT_EQ(op.boxes[1].text, "bad thing");
  EXPECT_EQ(op.boxes[1].caption, "ERROR");
  EXPECT_EQ(op.boxes[1].icon, MsgIcon::Error);
  auto played = op.speaker.Played();
  ASSERT_EQ(played.size(), 2u);
  EXPECT_EQ(played[0], ErrorTones());
  EXPECT_EQ(played[1], ErrorTones());

  auto messages = Messages(dir.File("Qm48.Log"));
  EXPECT_EQ(std::vector<std::string>(messages.begin() + 2, messages.end()),
            (std::vector<std::string>{"quiet info", "loud info", "bad thing", "quiet error"}));
}

TEST_F(ProgramLog, EveryLoggingCallReturnsToTheStartDirectory) {
  LogStart("1.41", "Qm48", "", "Qm48");
  std::filesystem::create_directory(dir.File("elsewhere"));
  const std::string start = CurrentDirectory();
  auto away = [&] { std::filesystem::current_path(dir.File("elsewhere")); };

  away();
  LogText("text", 1);
  EXPECT_EQ(CurrentDirectory(), start);
  away();
  LogInfo("info", 2, false);
  EXPECT_EQ(CurrentDirectory(), start);
  away();
  LogError("error", 3, false);
  EXPECT_EQ(CurrentDirectory(), start);
  away();
  LogDetail("detail", 4);
  EXPECT_EQ(CurrentDirectory(), start);
  EXPECT_FALSE(std::filesystem::exists(dir.File("elsewhere/Qm48.Log")));
}

TEST_F(ProgramLog, DetailLinesOnlyWithDebugLogging) {
  LogStart("1.41", "Qm48", "", "Qm48");
  LogDetail("hidden", 1);
  gDebugLogging = true;
  LogDetail("shown", 2);
  auto messages = Messages(dir.File("Qm48.Log"));
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[2], "shown");
}

TEST(Signals, ToneSequences) {
  RecordingOperator op;
  SignalGood();
  SignalWarning();
  SignalError();
  auto played = op.speaker.Played();
  ASSERT_EQ(played.size(), 3u);
  EXPECT_EQ(played[0], (std::vector<Tone>{{880, 100}, {1320, 100}, {1760, 100}, {2200, 100}}));
  EXPECT_EQ(played[1], (std::vector<Tone>{{800, 50}, {700, 50}}));
  EXPECT_EQ(played[2], (std::vector<Tone>{{100, 50}, {250, 10}, {0, 100}, {100, 50}, {250, 10}}));
}

TEST(Signals, LowTonesAreRaisedTo37Hz) {
  RecordingOperator op;
  SoundTones({{20, 10}, {0, 30}, {36, 5}, {37, 5}, {-3, 7}, {440, -1}});
  auto played = op.speaker.Played();
  ASSERT_EQ(played.size(), 1u);
  EXPECT_EQ(played[0], (std::vector<Tone>{{37, 10}, {0, 30}, {37, 5}, {37, 5}, {37, 7}, {440, 0}}));
}
