#pragma once
// The computer's speaker: tones through the sound system's default output. Cheap to
// construct (the device is opened on first use, on the worker) and safe to destroy while
// a sequence plays. Without a sound device, or in a build without sound support, it is
// silent and logs that once.
#include <memory>
#include <string>

#include "platform/PcmSink.h"
#include "platform/ToneSpeaker.h"

// The sound system's output device as a sink ("default": the user's chosen output).
std::unique_ptr<PcmSink> MakeAlsaSink(const std::string& device = "default");

class AlsaSpeaker : public ToneSpeaker {
 public:
  explicit AlsaSpeaker(const std::string& device = "default", Reporter report = {})
      : ToneSpeaker(MakeAlsaSink(device), std::move(report)) {}
};
