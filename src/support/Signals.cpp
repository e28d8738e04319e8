#include "support/Signals.h"

namespace {
constexpr int kLowestToneHz = 37;  // the speaker cannot sound anything lower

void Play(std::vector<Tone> tones) {
  for (Tone& t : tones)
    if (t.frequencyHz != 0 && t.frequencyHz < kLowestToneHz) t.frequencyHz = kLowestToneHz;
  Operator().PlayTones(tones);
}
}  // namespace

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
  Play(GoodTones());
}
void SignalWarning() {
  Play(WarningTones());
}
void SignalError() {
  Play(ErrorTones());
}
