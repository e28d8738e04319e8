#include "support/Signals.h"

namespace {
constexpr int kLowestToneHz = 37;  // the lowest tone a speaker is asked to sound
}  // namespace

void SoundTones(std::vector<Tone> tones) {
  for (Tone& t : tones) {
    if (t.frequencyHz != 0 && t.frequencyHz < kLowestToneHz) t.frequencyHz = kLowestToneHz;
    if (t.durationMs < 0) t.durationMs = 0;
  }
  Operator().PlayTones(tones);
}

std::vector<Tone> GoodTones() {
  return {{880, 100}, {1320, 100}, {1760, 100}, {2200, 100}};
}
std::vector<Tone> WarningTones() {
  return {{800, 50}, {700, 50}};
}
std::vector<Tone> ErrorTones() {
  return {{100, 50}, {250, 10}, {0, 100}, {100, 50}, {250, 10}};
}

void SignalGood() {
  SoundTones(GoodTones());
}
void SignalWarning() {
  SoundTones(WarningTones());
}
void SignalError() {
  SoundTones(ErrorTones());
}
