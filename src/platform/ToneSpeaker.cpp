#include "platform/ToneSpeaker.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>

namespace {
constexpr double kAmplitude = 0.3 * 32767;
constexpr int kFadeMs = 3;
constexpr size_t kMaxPending = 4;  // a stuck device must not pile up sequences
}  // namespace

std::vector<int16_t> RenderTones(const std::vector<Tone>& tones, int sampleRate) {
  std::vector<int16_t> samples;
  if (sampleRate <= 0) return samples;
  for (const Tone& tone : tones) {
    if (tone.durationMs <= 0) continue;
    size_t count = static_cast<size_t>(int64_t{sampleRate} * tone.durationMs / 1000);
    size_t start = samples.size();
    samples.resize(start + count, 0);
    if (tone.frequencyHz <= 0) continue;
    size_t fade = std::min(count / 4, static_cast<size_t>(int64_t{sampleRate} * kFadeMs / 1000));
    double step = 2 * std::numbers::pi * tone.frequencyHz / sampleRate;
    for (size_t i = 0; i < count; ++i) {
      double gain = 1.0;
      if (fade > 0 && i < fade) gain = static_cast<double>(i) / static_cast<double>(fade);
      if (fade > 0 && count - 1 - i < fade)
        gain = std::min(gain, static_cast<double>(count - 1 - i) / static_cast<double>(fade));
      samples[start + i] =
          static_cast<int16_t>(std::lround(kAmplitude * gain * std::sin(step * double(i))));
    }
  }
  return samples;
}

ToneSpeaker::ToneSpeaker(std::unique_ptr<PcmSink> sink, Reporter report)
    : sink_(std::move(sink)), report_(std::move(report)), worker_([this] { Run(); }) {}

ToneSpeaker::~ToneSpeaker() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  stop_.notify_all();  // a sink waiting on the flag itself
  wake_.notify_all();
  done_.notify_all();
  worker_.join();
}

void ToneSpeaker::Play(const std::vector<Tone>& tones) {
  long long lengthMs = SequenceMs(tones);
  if (lengthMs == 0) return;
  std::unique_lock lock(mutex_);
  if (silent_ || stop_ || queue_.size() >= kMaxPending) return;
  uint64_t id = ++lastQueued_;
  queue_.push_back(Job{id, tones});
  wake_.notify_one();
  auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(lengthMs + kMarginMs);
  done_.wait_until(lock, deadline, [&] { return lastDone_ >= id || silent_ || stop_; });
}

bool ToneSpeaker::OpenOnce() {
  if (opened_) return true;
  if (sink_ && sink_->Open()) {
    opened_ = true;
    return true;
  }
  std::string why = sink_ ? sink_->ErrorText() : std::string();
  if (report_)
    report_("No sound device" + (why.empty() ? std::string() : " (" + why + ")") +
            ": speaker signals are silent");
  return false;
}

void ToneSpeaker::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
    if (stop_) return;
    Job job = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    bool open = OpenOnce();
    if (open) sink_->Play(RenderTones(job.tones, sink_->SampleRate()), stop_);
    lock.lock();
    if (!open) {
      silent_ = true;
      queue_.clear();
    }
    lastDone_ = job.id;
    done_.notify_all();
  }
}
