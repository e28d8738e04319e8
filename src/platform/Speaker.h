#pragma once
// A speaker plays tone sequences (frequency 0: a pause). The GUI's operator owns a real
// one; RecordingSpeaker keeps what it was asked to play, for tests and for tools that
// want to show the signals instead of sounding them.
#include <mutex>
#include <vector>

struct Tone {
  int frequencyHz = 0;  // 0: a pause
  int durationMs = 0;
};

class Speaker {
 public:
  virtual ~Speaker() = default;
  // Plays the sequence in order. Returns when it has been played, or at the latest
  // shortly after the sequence's own duration.
  virtual void Play(const std::vector<Tone>& tones) = 0;
};

class RecordingSpeaker : public Speaker {
 public:
  void Play(const std::vector<Tone>& tones) override {
    std::lock_guard lock(mutex_);
    played_.push_back(tones);
  }
  // Every sequence played so far, oldest first.
  std::vector<std::vector<Tone>> Played() const {
    std::lock_guard lock(mutex_);
    return played_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::vector<Tone>> played_;
};

// Total length of a sequence in milliseconds.
inline long long SequenceMs(const std::vector<Tone>& tones) {
  long long total = 0;
  for (const Tone& t : tones) total += t.durationMs > 0 ? t.durationMs : 0;
  return total;
}
