#pragma once
// A speaker that sounds its tones on a worker thread through a PcmSink. Play() waits for
// the sequence, but never much longer than the sequence itself lasts, so a stuck device
// cannot hold up the caller; destroying the speaker stops whatever is playing. Without a
// device it is silent and says so once.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/PcmSink.h"
#include "platform/Speaker.h"

// The samples of a tone sequence: sine tones with short fades against clicks, silence
// for frequency 0.
std::vector<int16_t> RenderTones(const std::vector<Tone>& tones, int sampleRate);

class ToneSpeaker : public Speaker {
 public:
  using Reporter = std::function<void(const std::string&)>;
  // How much longer than its sequence Play() waits for the worker.
  static constexpr int kMarginMs = 150;

  // report receives the one "no sound device" line (the program log, as the GUI installs it);
  // empty: the line is not reported.
  explicit ToneSpeaker(std::unique_ptr<PcmSink> sink, Reporter report = {});
  ~ToneSpeaker() override;
  ToneSpeaker(const ToneSpeaker&) = delete;
  ToneSpeaker& operator=(const ToneSpeaker&) = delete;

  void Play(const std::vector<Tone>& tones) override;

 private:
  struct Job {
    uint64_t id;
    std::vector<Tone> tones;
  };
  void Run();
  bool OpenOnce();

  std::unique_ptr<PcmSink> sink_;  // used by the worker only
  Reporter report_;
  std::mutex mutex_;
  std::condition_variable wake_;  // worker: a job or stop
  std::condition_variable done_;  // callers: a job finished
  std::deque<Job> queue_;
  uint64_t lastQueued_ = 0;
  uint64_t lastDone_ = 0;
  bool silent_ = false;  // no device
  bool opened_ = false;  // worker only
  std::atomic<bool> stop_{false};
  std::thread worker_;  // last: starts after everything above exists
};
