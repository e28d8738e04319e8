#pragma once
// The simulator data panel's edits: bit rate, output code and the CRC word, the texts the
// panel shows for them, and the transmitter retuning a new rate or code calls for. Each
// edit returns true when it edited the record; a kept or unreadable prompt answer leaves
// it as it was (an unreadable one sounds the error signal).
#include <cstdint>
#include <string>

#include "editor/PanelPromptAnswer.h"

class progsimulatorclass;
class progtxclass;
class progqueryclass;
struct SimSetupData;

extern const PromptSpec<uint32_t> kBitRatePrompt;
// The CRC word prompt's range is the frame: 0 (not used) .. WordsPerMinorFrame.
PromptSpec<int32_t> CrcWordNumberPrompt(const SimSetupData& setup);

// The CRC word as the prompt starts with it: 1-based, 0 when not used.
int32_t CrcWordNumberShown(const progsimulatorclass& sim);

// "1.024 Mbps", "25.0 Mbps", "0.00001 Mbps".
std::string BitRateText(uint32_t rate);
// "NOT USED", "CRC-16" or "CCITT".
std::string CrcMethodText(const progsimulatorclass& sim);
// "NOT USED" or the 1-based word number.
std::string CrcWordText(const progsimulatorclass& sim);

bool ApplySimBitRate(SimSetupData& setup, const UIntAnswer& answer);
bool SetOutputCode(SimSetupData& setup, int32_t tag);

// "Perform CRC-16 " / "Perform CCITT": toggles the method, switching the other one off;
// with a method on the CRC word lies in the frame, with none it is -1.
void ToggleCrc16(progsimulatorclass& sim);
void ToggleCcitt(progsimulatorclass& sim);
// "CRC / CCITT Word Number": 0 switches both methods off; a word chosen while both are
// off switches CRC-16 on, so that the word is really computed.
bool ApplyCrcWordNumber(progsimulatorclass& sim, const IntAnswer& answer);

// The deviation and filter that suit the record's bit rate and output code, taken into
// the transmitter record with the filters the last query reported. True when either
// changed: the transmitter must then be loaded.
bool RetuneTransmitter(progtxclass& tx, const progqueryclass& query, const SimSetupData& setup);
