// The speaker: rendered tones played in order on a worker, stuck and missing devices.
#include <gtest/gtest.h>

#include <mutex>

#include "platform/AlsaSpeaker.h"
#include "platform/ToneSpeaker.h"
#include "support/Signals.h"

namespace {

// What a sink saw, kept after the speaker; `stuck`: it plays on until it is stopped.
struct SinkLog {
  bool device = true, stuck = false;
  std::mutex mutex{};
  std::vector<size_t> played{};  // sample counts, in order
  std::atomic<bool> sawStop{false};
  std::atomic<int> opens{0};
  std::vector<std::string> reports{};
};

struct TestSink : PcmSink {
  explicit TestSink(SinkLog& log) : log(log) {}
  bool Open() override { return ++log.opens, log.device; }
  int SampleRate() const override { return 8000; }
  std::string ErrorText() const override { return "no card"; }
  bool Play(const std::vector<int16_t>& samples, const std::atomic<bool>& stop) override {
    std::lock_guard(log.mutex), log.played.push_back(samples.size());
    if (log.stuck) stop.wait(false);
    log.sawStop = stop.load();
    return !log.stuck;
  }
  SinkLog& log;
};

std::vector<std::string> Play(SinkLog& log, const std::vector<std::vector<Tone>>& sequences) {
  {
    ToneSpeaker speaker(std::make_unique<TestSink>(log), [&](const std::string& line) {
      std::lock_guard lock(log.mutex);
      log.reports.push_back(line);
    });
    for (const auto& tones : sequences) speaker.Play(tones);
  }
  return log.reports;
}

}  // namespace

TEST(ToneSpeaker, PlaysInOrderStopsAStuckDeviceAndSaysOnceThatThereIsNone) {
  SinkLog played, stuck{true, true}, none{false};
  EXPECT_TRUE(Play(played, {GoodTones(), WarningTones(), {}}).empty());
  EXPECT_EQ(played.opens, 1);
  EXPECT_EQ(played.played, (std::vector<size_t>{3200, 800}));
  // The caller returns while the device is stuck; destroying the speaker stops it.
  Play(stuck, {{{440, 50}}, {{440, 50}}});
  EXPECT_TRUE(stuck.sawStop);
  EXPECT_EQ(stuck.played.size(), 1u);
  EXPECT_EQ(Play(none, {ErrorTones(), ErrorTones()}),
            (std::vector<std::string>{"No sound device (no card): speaker signals are silent"}));
  EXPECT_TRUE(none.played.empty());
}

// On the sound system's discarding device where there is one; a missing device is said once.
TEST(AlsaSpeaker, PlaysThroughTheSoundSystem) {
  std::vector<std::string> lines, missing;
  {
    AlsaSpeaker speaker("null", [&](const std::string& line) { lines.push_back(line); });
    speaker.Play(WarningTones());
    AlsaSpeaker nowhere("qm48_no_such_device",
                        [&](const std::string& line) { missing.push_back(line); });
    nowhere.Play(ErrorTones());
    nowhere.Play(ErrorTones());
  }
  if (!lines.empty() && lines[0].find("built without sound support") != std::string::npos)
    GTEST_SKIP() << lines[0];
  EXPECT_TRUE(lines.empty()) << lines[0];
  ASSERT_EQ(missing.size(), 1u);
  EXPECT_EQ(missing[0].rfind("No sound device", 0), 0u) << missing[0];
}
