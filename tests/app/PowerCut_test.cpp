// A save cut off at any moment (power cut, SIGKILL) leaves every file either as it was or as
// the new version: never torn, never missing. A child saves two versions in turn and tells
// through a pipe each time it begins a save; the test kills it at a stage it waits for (the
// save begun, its temporary file made, its temporary file whole) and reads what is left.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "app/SetupFiles.h"
#include "serial/PortConfig.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/UserWaveFiles.h"
#include "support/TempDir.h"
#include "transmitter/Qm48TransmitterUnit.h"

namespace {

namespace fs = std::filesystem;

enum class Cut { SaveBegun, TemporaryMade, TemporaryWhole };

// Whether the child's temporary file (".<name>.tmp<pid>.<n>" beside the target) is there
// with at least `bytes` in it.
bool TemporaryHolds(const fs::path& dir, pid_t child, uintmax_t bytes) {
  const std::string mark = ".tmp" + std::to_string(child) + ".";
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    if (it->path().filename().string().find(mark) != std::string::npos) {
      std::error_code sizeError;
      const uintmax_t size = fs::file_size(it->path(), sizeError);
      if (!sizeError && size >= bytes) return true;
    }
  return false;
}

// Learns the bytes of versions 0 and 1, then for each stage, several times, kills a child
// saving them in turn once that stage is reached; the file must then hold one of them.
void KillDuringSaves(const std::string& path, const std::function<bool(int)>& save) {
  ASSERT_TRUE(save(1));
  const std::string version1 = ReadAll(path);
  ASSERT_TRUE(save(0));
  const std::string version0 = ReadAll(path);
  ASSERT_NE(version0, version1);
  const uintmax_t whole = std::min(version0.size(), version1.size());
  const fs::path dir = fs::path(path).parent_path();
  for (Cut cut : {Cut::SaveBegun, Cut::TemporaryMade, Cut::TemporaryWhole}) {
    for (int round = 0; round < 4; ++round) {
      SCOPED_TRACE(::testing::Message() << "stage " << static_cast<int>(cut) << " round " << round);
      int pipeFds[2];
      ASSERT_EQ(::pipe(pipeFds), 0);
      const pid_t child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        ::close(pipeFds[0]);
        for (int k = 1;; k ^= 1) {  // until killed
          (void)!::write(pipeFds[1], "s", 1);
          save(k);
        }
      }
      ::close(pipeFds[1]);
      // Begun saves to let pass before the cut: the first save, or one after it.
      for (int begun = 0; begun <= round % 2; ++begun) {
        char byte = 0;
        ASSERT_EQ(::read(pipeFds[0], &byte, 1), 1);
      }
      // The stage of this save, or the next save begun (a stage too short to be seen).
      const uintmax_t least = cut == Cut::TemporaryWhole ? whole : 0;
      pollfd next{pipeFds[0], POLLIN, 0};
      while (cut != Cut::SaveBegun && !TemporaryHolds(dir, child, least) &&
             ::poll(&next, 1, 0) == 0)
        std::this_thread::yield();
      ::kill(child, SIGKILL);
      ::waitpid(child, nullptr, 0);
      ::close(pipeFds[0]);
      ASSERT_TRUE(fs::exists(path));
      const std::string now = ReadAll(path);
      EXPECT_TRUE(now == version0 || now == version1) << "torn: " << now.size() << " bytes";
    }
  }
}

// Two versions each of a large setup file (every word its own run, about a megabyte), of the
// port configuration and of a user wave file (the last-setup file is a setup file too).
TEST(PowerCut, SavesLeaveTheOldOrTheNewFile) {
  TempDir dir;
  auto sims = std::make_unique<std::array<progsimulatorclass, 2>>();
  std::array<progtxclass, 2> txs;
  std::array<PortConfig, 2> configs;
  std::array<UserWaveTable, 2> waves{};
  for (size_t v = 0; v < 2; ++v) {
    SimSetupData& s = (*sims)[v].Setup;
    s.WordsPerMinorFrame = kMaxWordsPerMinorFrame;
    s.CommonWordValue = 1 + v;
    for (size_t i = 0; i < kMaxWordsPerMinorFrame; ++i) s.Words[i].SimValue = uint16_t(2 * i + v);
    DefaultPortConfig(configs[v]);
    waves[v].NumWords = kUserWaveMaxWords;
    for (size_t k = 0; k < kUserWaveMaxWords; ++k) waves[v].Samples[k] = uint16_t(k * 3 + v);
  }
  configs[1].BaudRate = 15;
  const std::string setupFile = dir.File("RUN.QM48");
  KillDuringSaves(setupFile, [&](int v) {
    return SaveWholeFile(ProgramSetup((*sims)[size_t(v)], txs[size_t(v)]), setupFile, nullptr);
  });
  const std::string portFile = dir.File("Qm48Com.Cfg");
  KillDuringSaves(portFile, [&](int v) { return SavePortConfig(configs[size_t(v)], portFile); });
  const std::string waveFile = dir.File("WAVE.R4V8SimUserWave");
  KillDuringSaves(waveFile, [&](int v) {
    WriteUserWaveFile(waveFile, waves[size_t(v)]);
    return true;
  });
}

}  // namespace
