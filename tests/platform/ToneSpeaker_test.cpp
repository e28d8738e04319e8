#include "platform/ToneSpeaker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>

#include "platform/AlsaSpeaker.h"
#include "platform/Clock.h"
#include "support/Signals.h"

namespace {
constexpr int kRate = 8000;

// What the sinks below saw, shared with the test after the speaker is gone.
struct SinkLog {
  std::mutex mutex;
  std::vector<size_t> played;  // sample counts, in order
  std::atomic<bool> sawStop{false};
  std::atomic<int> opens{0};
};

class RecordingSink : public PcmSink {
 public:
  explicit RecordingSink(std::shared_ptr<SinkLog> log) : log_(std::move(log)) {}
  bool Open() override {
    ++log_->opens;
    return true;
  }
  int SampleRate() const override { return kRate; }
  bool Play(const std::vector<int16_t>& samples, const std::atomic<bool>&) override {
    std::lock_guard lock(log_->mutex);
    log_->played.push_back(samples.size());
    return true;
  }

 private:
  std::shared_ptr<SinkLog> log_;
};

// A device that takes the samples and never finishes playing them.
class StuckSink : public RecordingSink {
 public:
  using RecordingSink::RecordingSink;
  explicit StuckSink(std::shared_ptr<SinkLog> log) : RecordingSink(log), log_(log) {}
  bool Play(const std::vector<int16_t>& samples, const std::atomic<bool>& stop) override {
    RecordingSink::Play(samples, stop);
    while (!stop) SleepMs(5);
    log_->sawStop = true;
    return false;
  }

 private:
  std::shared_ptr<SinkLog> log_;
};

class NoDeviceSink : public RecordingSink {
 public:
  using RecordingSink::RecordingSink;
  bool Open() override { return false; }
  std::string ErrorText() const override { return "no card"; }
};

struct Reports {
  std::mutex mutex;
  std::vector<std::string> lines;
  ToneSpeaker::Reporter Reporter() {
    return [this](const std::string& line) {
      std::lock_guard lock(mutex);
      lines.push_back(line);
    };
  }
  std::vector<std::string> Lines() {
    std::lock_guard lock(mutex);
    return lines;
  }
};

long long ElapsedMs(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               since)
      .count();
}
}  // namespace

TEST(RenderTones, SineTonesAndSilences) {
  auto samples = RenderTones({{1000, 10}, {0, 5}, {500, 0}, {700, -4}}, kRate);
  ASSERT_EQ(samples.size(), 120u);
  EXPECT_TRUE(std::all_of(samples.begin() + 80, samples.end(), [](int16_t s) { return s == 0; }));
  EXPECT_EQ(samples.front(), 0);  // faded in
  int16_t peak = *std::max_element(samples.begin(), samples.begin() + 80);
  EXPECT_GT(peak, 0.25 * 32767);
  EXPECT_LT(peak, 0.31 * 32767);
  // 1000 Hz for 10 ms: ten periods, two sign changes each.
  int changes = 0;
  for (size_t i = 1; i < 80; ++i)
    if ((samples[i - 1] < 0) != (samples[i] < 0)) ++changes;
  EXPECT_NEAR(changes, 20, 2);
  EXPECT_TRUE(RenderTones({{440, 100}}, 0).empty());
}

TEST(ToneSpeaker, PlaysEachSequenceInOrder) {
  auto log = std::make_shared<SinkLog>();
  Reports reports;
  {
    ToneSpeaker speaker(std::make_unique<RecordingSink>(log), reports.Reporter());
    speaker.Play(GoodTones());
    speaker.Play(WarningTones());
    speaker.Play({});  // nothing to play
  }
  EXPECT_EQ(log->opens, 1);
  EXPECT_EQ(log->played, (std::vector<size_t>{3200, 800}));
  EXPECT_TRUE(reports.Lines().empty());
}

TEST(ToneSpeaker, AStuckDeviceHoldsTheCallerOnlyForTheSequence) {
  auto log = std::make_shared<SinkLog>();
  {
    ToneSpeaker speaker(std::make_unique<StuckSink>(log), Reports().Reporter());
    auto before = std::chrono::steady_clock::now();
    speaker.Play({{440, 50}});
    EXPECT_GE(ElapsedMs(before), 50);
    speaker.Play({{440, 50}});  // queued behind the stuck one; the caller still returns
    EXPECT_LT(ElapsedMs(before), 5000);
  }  // destroyed while the device is stuck mid-sequence
  EXPECT_TRUE(log->sawStop);
  EXPECT_EQ(log->played.size(), 1u);
}

TEST(ToneSpeaker, WithoutADeviceItIsSilentAndSaysSoOnce) {
  auto log = std::make_shared<SinkLog>();
  Reports reports;
  {
    ToneSpeaker speaker(std::make_unique<NoDeviceSink>(log), reports.Reporter());
    speaker.Play(ErrorTones());
    speaker.Play(ErrorTones());
  }
  EXPECT_TRUE(log->played.empty());
  EXPECT_EQ(reports.Lines(),
            (std::vector<std::string>{"No sound device (no card): speaker signals are silent"}));
}

// The sound system's own path, on its discarding device where there is one.
TEST(AlsaSpeaker, PlaysThroughTheSoundSystem) {
  Reports reports;
  {
    AlsaSpeaker speaker("null", reports.Reporter());
    speaker.Play(WarningTones());
    speaker.Play(GoodTones());
  }
  auto lines = reports.Lines();
  if (!lines.empty() && lines[0].find("built without sound support") != std::string::npos)
    GTEST_SKIP() << lines[0];
  EXPECT_TRUE(lines.empty()) << lines[0];
}

TEST(AlsaSpeaker, MissingDeviceIsReportedOnce) {
  Reports reports;
  {
    AlsaSpeaker speaker("qm48_no_such_device", reports.Reporter());
    speaker.Play(ErrorTones());
    speaker.Play(ErrorTones());
  }
  auto lines = reports.Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("No sound device", 0), 0u) << lines[0];
}
