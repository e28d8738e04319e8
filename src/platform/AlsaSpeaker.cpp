#include "platform/AlsaSpeaker.h"

#include <algorithm>
#include <chrono>

#include "platform/Clock.h"

#ifdef QM48_HAVE_ALSA
#include <alsa/asoundlib.h>

#include <mutex>

namespace {
constexpr int kSampleRate = 48000;
constexpr unsigned kLatencyUs = 100000;
constexpr int kPollMs = 20;

// The library's own messages go to stderr; a missing card is reported once by the
// speaker instead.
void QuietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

class AlsaSink : public PcmSink {
 public:
  explicit AlsaSink(std::string device) : device_(std::move(device)) {}
  ~AlsaSink() override {
    if (pcm_) snd_pcm_close(pcm_);
  }

  bool Open() override {
    static std::once_flag quiet;
    std::call_once(quiet, [] { snd_lib_error_set_handler(QuietAlsaErrors); });
    // Non-blocking: a device held by someone else must not hang the open, and writes
    // come back often enough to see a stop.
    int rc = snd_pcm_open(&pcm_, device_.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (rc < 0) {
      pcm_ = nullptr;
      error_ = snd_strerror(rc);
      return false;
    }
    rc = snd_pcm_set_params(pcm_, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1, kSampleRate,
                            1, kLatencyUs);
    if (rc < 0) {
      error_ = snd_strerror(rc);
      snd_pcm_close(pcm_);
      pcm_ = nullptr;
      return false;
    }
    return true;
  }

  int SampleRate() const override { return kSampleRate; }
  std::string ErrorText() const override { return error_; }

  bool Play(const std::vector<int16_t>& samples, const std::atomic<bool>& stop) override {
    snd_pcm_drop(pcm_);
    if (snd_pcm_prepare(pcm_) < 0) return false;
    size_t done = 0;
    while (done < samples.size()) {
      if (stop) return Abandon();
      snd_pcm_sframes_t n = snd_pcm_writei(pcm_, samples.data() + done, samples.size() - done);
      if (n == -EAGAIN) {
        snd_pcm_wait(pcm_, kPollMs);
        continue;
      }
      if (n < 0 && snd_pcm_recover(pcm_, static_cast<int>(n), 1) < 0) return Abandon();
      if (n > 0) done += static_cast<size_t>(n);
    }
    if (snd_pcm_state(pcm_) == SND_PCM_STATE_PREPARED) snd_pcm_start(pcm_);
    // Wait until the buffer has sounded, but not forever on a device that stopped moving.
    auto limit = std::chrono::steady_clock::now() +
                 std::chrono::milliseconds(samples.size() * 1000 / kSampleRate + 1000);
    while (!stop && std::chrono::steady_clock::now() < limit) {
      snd_pcm_sframes_t delay = 0;
      if (snd_pcm_delay(pcm_, &delay) < 0 || delay <= 0) break;
      SleepMs(static_cast<int>(std::clamp<long>(delay * 1000 / kSampleRate, 1, kPollMs)));
    }
    snd_pcm_drop(pcm_);
    return !stop;
  }

 private:
  bool Abandon() {
    snd_pcm_drop(pcm_);
    return false;
  }

  std::string device_;
  std::string error_;
  snd_pcm_t* pcm_ = nullptr;
};
}  // namespace

std::unique_ptr<PcmSink> MakeAlsaSink(const std::string& device) {
  return std::make_unique<AlsaSink>(device);
}

#else

namespace {
// A build without sound support: there is never a device.
class NoSoundSink : public PcmSink {
 public:
  bool Open() override { return false; }
  int SampleRate() const override { return 0; }
  bool Play(const std::vector<int16_t>&, const std::atomic<bool>&) override { return false; }
  std::string ErrorText() const override { return "built without sound support"; }
};
}  // namespace

std::unique_ptr<PcmSink> MakeAlsaSink(const std::string&) {
  return std::make_unique<NoSoundSink>();
}

#endif
