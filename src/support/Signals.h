#pragma once
// The speaker's three signals, played through the operator's speaker.
#include <vector>

#include "support/Operator.h"

std::vector<Tone> GoodTones();     // 880, 1320, 1760, 2200 Hz, 100 ms each
std::vector<Tone> WarningTones();  // 800 Hz 50 ms, 700 Hz 50 ms
std::vector<Tone> ErrorTones();    // 100/50, 250/10, pause 100, 100/50, 250/10

// Plays tones through the operator's speaker; a tone below 37 Hz sounds at 37 Hz, a
// frequency of 0 is a pause, and a negative duration counts as none.
void SoundTones(std::vector<Tone> tones);

void SignalGood();
void SignalWarning();
void SignalError();
