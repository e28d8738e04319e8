// The main window's place in the last-setup file: written and read back, kept by a later
// save of the setup, absent from older files (which still load), and fitted to the screen.
#include "app/WindowPlace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "app/Qm48GlobUnit.h"
#include "app/SetupFiles.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/TempDir.h"
#include "transmitter/Qm48TransmitterUnit.h"

namespace {

bool Same(const WindowPlace& a, const WindowPlace& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height &&
         a.maximised == b.maximised;
}

class WindowPlaceTest : public ::testing::Test {
 protected:
  WindowPlaceTest() : sim(std::make_unique<progsimulatorclass>()) {
    dir.Enter();
    gFormatNumber = 0;
    gFormatName_ = {"one", "", "", ""};
  }
  WholeSetup Whole() { return ProgramSetup(*sim, tx); }

  TempDir dir;
  std::unique_ptr<progsimulatorclass> sim;
  progtxclass tx;
  std::string current;
  const std::string last = dir.File(kLastSetupFileName);
};

TEST_F(WindowPlaceTest, RoundTripThroughTheLastSetupFileSurvivesTheNextSetupSave) {
  ASSERT_TRUE(SaveWholeFile(Whole(), last, &current));
  const WindowPlace written{-40, 25, 1400, 900, true};
  ASSERT_TRUE(WriteWindowPlace(last, written));
  // The setup is written again at every close and Load All: the place stays.
  sim->Setup.WordsPerMinorFrame = 100;
  ASSERT_TRUE(SaveWholeFile(Whole(), last, &current));

  WindowPlace read;
  ASSERT_TRUE(ReadWindowPlace(last, read));
  EXPECT_TRUE(Same(read, written));
  sim = std::make_unique<progsimulatorclass>();
  ASSERT_TRUE(LoadWholeFile(Whole(), last, true, current));
  EXPECT_EQ(sim->Setup.WordsPerMinorFrame, 100);

  const WindowPlace normal{10, 20, 960, 632, false};
  ASSERT_TRUE(WriteWindowPlace(last, normal));
  ASSERT_TRUE(ReadWindowPlace(last, read));
  EXPECT_TRUE(Same(read, normal));
}

TEST_F(WindowPlaceTest, OlderFileWithoutThePlaceLoadsAndLeavesThePlaceAlone) {
  // What earlier versions wrote: the setup and the last file name, nothing of the window.
  sim->Setup.WordsPerMinorFrame = 77;
  ASSERT_TRUE(SaveWholeFile(Whole(), last, &current));
  sim = std::make_unique<progsimulatorclass>();
  ASSERT_TRUE(LoadWholeFile(Whole(), last, true, current));
  EXPECT_EQ(sim->Setup.WordsPerMinorFrame, 77);
  WindowPlace place{1, 2, 3, 4, false};
  EXPECT_FALSE(ReadWindowPlace(last, place));
  EXPECT_TRUE(Same(place, WindowPlace{1, 2, 3, 4, false}));
  EXPECT_FALSE(ReadWindowPlace(dir.File("none.cfg"), place));
}

TEST_F(WindowPlaceTest, DamagedOrPartialSectionIsNotTaken) {
  struct Case {
    const char* section;
    bool taken;
  };
  const Case cases[] = {
      {"Left=5\nTop=6\nWidth=970\nHeight=640\n", true},  // no Maximized: not maximised
      {"Left=5\nTop=6\nWidth=970\n", false},             // no height
      {"Left=5\nTop=6\nWidth=0\nHeight=640\n", false},
      {"Left=5\nTop=6\nWidth=-970\nHeight=640\n", false},
      {"Left=5\nTop=6\nWidth=99999999\nHeight=640\n", false},
      {"Left=99999999999\nTop=6\nWidth=970\nHeight=640\n", false},
      {"Left=five\nTop=6\nWidth=970\nHeight=640\n", false},
  };
  for (const Case& c : cases) {
    std::ofstream(last, std::ios::trunc) << "[MAIN WINDOW]\n" << c.section;
    WindowPlace place{1, 2, 3, 4, true};
    EXPECT_EQ(ReadWindowPlace(last, place), c.taken) << c.section;
    if (c.taken)
      EXPECT_TRUE(Same(place, WindowPlace{5, 6, 970, 640, false})) << c.section;
    else
      EXPECT_TRUE(Same(place, WindowPlace{1, 2, 3, 4, true})) << c.section;
  }
}

TEST(WindowPlaceFit, KeepsTheLeastSizeAndStaysOnTheScreen) {
  const ScreenArea screen{0, 0, 1280, 1000};
  struct Case {
    const char* name;
    WindowPlace remembered;
    WindowPlace fitted;
  };
  const Case cases[] = {
      {"fits as it is", {100, 50, 1000, 700, false}, {100, 50, 1000, 700, false}},
      {"smaller than the least", {100, 50, 500, 300, true}, {100, 50, 960, 632, true}},
      {"larger than the screen", {0, 0, 3000, 2000, false}, {0, 0, 1280, 1000, false}},
      {"off to the right and below", {1200, 900, 1000, 700, false}, {280, 300, 1000, 700, false}},
      {"off to the left and above", {-500, -80, 1000, 700, false}, {0, 0, 1000, 700, false}},
  };
  for (const Case& c : cases)
    EXPECT_TRUE(Same(FitWindowPlace(c.remembered, 960, 632, screen), c.fitted)) << c.name;
  // A screen smaller than the least size: the least size, at the screen's corner.
  const WindowPlace tiny =
      FitWindowPlace({300, 300, 960, 632, false}, 960, 632, {10, 20, 800, 600});
  EXPECT_TRUE(Same(tiny, WindowPlace{10, 20, 960, 632, false}));
}

}  // namespace
