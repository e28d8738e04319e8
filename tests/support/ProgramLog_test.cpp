// The program log: banners, where it goes, boxes and signals, the start directory kept.
#include "support/ProgramLog.h"

#include <gtest/gtest.h>

#include "common/ScriptedOperator.h"
#include "platform/StartDirectory.h"
#include "support/Signals.h"
#include "support/TempDir.h"

namespace {

class ProgramLog : public testing::Test {
 protected:
  void SetUp() override {
    dir.Enter();
    gDebugLogging = false;
  }
  void TearDown() override { LogEnd(); }
  TempDir dir;
  ScriptedOperator op;
  ScopedOperator scope{op};
};

}  // namespace

TEST_F(ProgramLog, BannersBoxesSignalsAndDetail) {
  std::ofstream(dir.File("Qm48.Log")) << "last run\r\n";
  LogStart("1.41", "Qm48", "", "Qm48");
  EXPECT_EQ(LogPath(), dir.File("Qm48.Log"));
  LogText("middle", 255);
  LogInfo("quiet info", 3, false);
  LogInfo("loud info", 4, true);
  LogError("bad thing", 5, true);
  LogError("quiet error", 6, false);
  LogDetail("hidden", 1);
  gDebugLogging = true;
  LogDetail("shown", 2);
  LogEnd();
  LogText("after the end", 1);
  EXPECT_EQ(LogPath(), "");
  std::vector<std::string> messages;  // the message part of each line ("TAG  STAMP  message")
  for (const std::string& line : CrLfLines(ReadAll(dir.File("Qm48.Log"))))
    messages.push_back(line.substr(std::min<size_t>(29, line.size())));
  EXPECT_EQ(messages,
            (std::vector<std::string>{"------------------PROGRAM START--------------------",
                                      "Program Version 1.41", "middle", "quiet info", "loud info",
                                      "bad thing", "quiet error", "shown",
                                      "------------------PROGRAM END--------------------"}));
  EXPECT_EQ(ReadAll(dir.File("Qm48.Log")).substr(0, 8), "000000  ");
  EXPECT_EQ(CrLfLines(ReadAll(dir.File("Qm48.Log")))[2].substr(0, 8), "000255  ");
  const auto boxes = op.MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text + "|" + boxes[0].caption, "loud info|INFO");
  EXPECT_EQ(boxes[0].icon, MsgIcon::Information);
  EXPECT_EQ(boxes[1].text + "|" + boxes[1].caption, "bad thing|ERROR");
  EXPECT_EQ(boxes[1].icon, MsgIcon::Error);
  EXPECT_EQ(op.ToneSequences().size(), 2u);
  EXPECT_EQ(op.CountPlayed(ErrorTones()), 2);
}

TEST_F(ProgramLog, GoesIntoAnExistingSubdirectoryAndEveryCallReturnsToTheStart) {
  std::filesystem::create_directory(dir.File("logs"));
  LogStart("1.41", "Qm48", "logs", "Fallback");
  EXPECT_EQ(LogPath(), dir.File("logs/Qm48.Log"));
  LogEnd();
  LogStart("1.41", "Qm48", "nowhere", "Fallback");
  EXPECT_EQ(LogPath(), dir.File("Fallback.Log"));
  std::filesystem::create_directory(dir.File("elsewhere"));
  const std::string start = CurrentDirectory();
  const std::function<void()> calls[] = {
      [] { LogText("text", 1); }, [] { LogInfo("info", 2, false); },
      [] { LogError("error", 3, false); }, [] { LogDetail("detail", 4); }};
  for (const auto& call : calls) {
    std::filesystem::current_path(dir.File("elsewhere"));
    call();
    EXPECT_EQ(CurrentDirectory(), start);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("elsewhere/Fallback.Log")));
}

TEST_F(ProgramLog, SignalsSoundToneSequencesWithLowTonesRaisedTo37Hz) {
  SoundTones({{20, 10}, {0, 30}, {36, 5}, {37, 5}, {-3, 7}, {440, -1}});
  EXPECT_EQ(op.CountPlayed({{37, 10}, {0, 30}, {37, 5}, {37, 5}, {37, 7}, {440, 0}}), 1);
  SignalGood();
  SignalWarning();
  EXPECT_EQ(op.CountPlayed(GoodTones()) + op.CountPlayed(WarningTones()), 2);
}
