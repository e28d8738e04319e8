#pragma once
// Where a ToneSpeaker's worker sends its sound: 16-bit signed mono samples.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class PcmSink {
 public:
  virtual ~PcmSink() = default;
  // Opens the device; false when there is none (ErrorText() says why).
  virtual bool Open() = 0;
  virtual int SampleRate() const = 0;
  // Plays the samples and returns once they have sounded; returns early when the device
  // fails or stop becomes true, which it looks at at least every 50 ms (or waits on: the
  // speaker notifies the flag when it sets it).
  virtual bool Play(const std::vector<int16_t>& samples, const std::atomic<bool>& stop) = 0;
  virtual std::string ErrorText() const { return {}; }
};
