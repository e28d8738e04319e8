// A save killed at any moment (power cut, SIGKILL) leaves every file either as it was or
// as the new version: never torn, never missing. A child process saves two versions in
// turn, the test kills it at random moments and reads what is left.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "app/Qm48GlobUnit.h"
#include "app/SetupFiles.h"
#include "serial/PortConfig.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/UserWaveFiles.h"
#include "transmitter/Qm48TransmitterUnit.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class PowerCut : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("qm48-powercut-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Writes version 0 and 1 once each to learn their bytes, then kills a child that writes
  // them in turn at `rounds` random moments; after each kill the file must hold one of them.
  void KillDuringSaves(const std::string& path, const std::function<bool(int)>& save, int rounds) {
    ASSERT_TRUE(save(0));
    ASSERT_TRUE(save(1));
    const std::string version1 = ReadAll(path);
    ASSERT_TRUE(save(0));
    const std::string version0 = ReadAll(path);
    ASSERT_NE(version0, version1);

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayUs(0, 12000);
    int torn = 0, missing = 0;
    for (int round = 0; round < rounds; ++round) {
      pid_t child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        for (int k = 1;; k ^= 1) save(k);  // until killed
      }
      std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
      ::kill(child, SIGKILL);
      int status = 0;
      ::waitpid(child, &status, 0);
      if (!fs::exists(path)) {
        ++missing;
        continue;
      }
      const std::string now = ReadAll(path);
      if (now != version0 && now != version1) ++torn;
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(torn, 0);
  }

  fs::path dir_;
};

// Two versions of a large setup (every word its own run, about a megabyte), so that kills
// land in the middle of writing.
void MakeSetup(progsimulatorclass& sim, int version) {
  SimSetupData& s = sim.Setup;
  s.WordsPerMinorFrame = kMaxWordsPerMinorFrame;
  s.CommonWordValue = 1 + version;
  for (int i = 0; i < kMaxWordsPerMinorFrame; ++i)
    s.Words[static_cast<size_t>(i)].SimValue = static_cast<uint16_t>(2 * i + version);
}

TEST_F(PowerCut, SetupFileSaveAndSaveAsLeaveTheOldOrTheNewFile) {
  auto sims = std::make_unique<std::array<progsimulatorclass, 2>>();
  auto txs = std::make_unique<std::array<progtxclass, 2>>();
  for (int v = 0; v < 2; ++v) MakeSetup((*sims)[static_cast<size_t>(v)], v);
  const std::string path = (dir_ / "RUN.QM48").string();
  KillDuringSaves(
      path,
      [&](int v) {
        return SaveWholeFile(
            ProgramSetup((*sims)[static_cast<size_t>(v)], (*txs)[static_cast<size_t>(v)]), path,
            nullptr);
      },
      40);
}

TEST_F(PowerCut, LastSetupFileLeavesTheOldOrTheNewFile) {
  auto sims = std::make_unique<std::array<progsimulatorclass, 2>>();
  auto txs = std::make_unique<std::array<progtxclass, 2>>();
  for (int v = 0; v < 2; ++v) MakeSetup((*sims)[static_cast<size_t>(v)], v);
  const std::string path = (dir_ / "LastQm48.Cfg").string();
  const std::array<std::string, 2> names = {"/data/A.QM48", "/data/B.QM48"};
  KillDuringSaves(
      path,
      [&](int v) {
        return SaveWholeFile(
            ProgramSetup((*sims)[static_cast<size_t>(v)], (*txs)[static_cast<size_t>(v)]), path,
            &names[static_cast<size_t>(v)]);
      },
      40);
}

TEST_F(PowerCut, PortConfigurationLeavesTheOldOrTheNewFile) {
  std::array<PortConfig, 2> configs;
  DefaultPortConfig(configs[0]);
  DefaultPortConfig(configs[1]);
  configs[1].BaudRate = 15;
  configs[1].Parity = 2;
  const std::string path = (dir_ / "Qm48Com.Cfg").string();
  KillDuringSaves(
      path, [&](int v) { return SavePortConfig(configs[static_cast<size_t>(v)], path); }, 60);
}

TEST_F(PowerCut, UserWaveFileLeavesTheOldOrTheNewFile) {
  std::array<UserWaveTable, 2> waves{};
  for (int v = 0; v < 2; ++v) {
    UserWaveTable& w = waves[static_cast<size_t>(v)];
    w.NumWords = kUserWaveMaxWords;
    for (int k = 0; k < kUserWaveMaxWords; ++k)
      w.Samples[static_cast<size_t>(k)] = static_cast<uint16_t>(k * 3 + v);
  }
  const std::string path = (dir_ / "WAVE.R4V8SimUserWave").string();
  KillDuringSaves(
      path,
      [&](int v) {
        WriteUserWaveFile(path, waves[static_cast<size_t>(v)]);
        return true;
      },
      60);
}

}  // namespace
