#include "editor/SimDataEdits.h"

#include <algorithm>
#include <cstdint>

#include "query/Qm48QueryUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/NumberText.h"
#include "support/Signals.h"
#include "transmitter/Qm48TransmitterUnit.h"

const PromptSpec<uint32_t> kBitRatePrompt{"Enter the Bit Rate", 10, 25000000, 10};

namespace {

bool CrcOn(const progsimulatorclass& sim) {
  return sim.DoCrc16 || sim.DoCttit;
}

// With a method on the CRC word lies in the frame (-1 becomes the first word); with
// none it is -1.
void KeepCrcWordInFrame(progsimulatorclass& sim) {
  if (!CrcOn(sim)) {
    sim.CrcWdNum = -1;
    return;
  }
  const int32_t last = std::max(sim.Setup.WordsPerMinorFrame - 1, 0);
  sim.CrcWdNum = std::clamp(sim.CrcWdNum, 0, last);
}

}  // namespace

PromptSpec<int32_t> CrcWordNumberPrompt(const SimSetupData& setup) {
  return {"Enter the CRC or CCITT Word Number (0 = not used)", 0, setup.WordsPerMinorFrame, 10};
}

int32_t CrcWordNumberShown(const progsimulatorclass& sim) {
  return sim.CrcWdNum < 0 ? 0
                          : static_cast<int32_t>(std::min<int64_t>(sim.CrcWdNum + 1LL, INT32_MAX));
}

std::string BitRateText(uint32_t rate) {
  std::string text = FloatText(static_cast<double>(rate) * 0.000001, 9, 9);
  ReplaceChar(text, ',', '.', false);
  const std::string whole = TextBefore(text, ".");
  std::string fraction = TextAfter(text, ".");
  StripTrailing(fraction, '0');
  std::string result = whole + "." + fraction;
  if (result.back() == '.') result += "0";
  return result + " Mbps";
}

std::string CrcMethodText(const progsimulatorclass& sim) {
  if (sim.CrcWdNum < 0) return "NOT USED";
  return sim.DoCrc16 ? "CRC-16" : "CCITT";
}

std::string CrcWordText(const progsimulatorclass& sim) {
  if (sim.CrcWdNum < 0) return "NOT USED";
  return std::to_string(static_cast<int64_t>(sim.CrcWdNum) + 1);
}

bool ApplySimBitRate(SimSetupData& setup, const UIntAnswer& answer) {
  if (answer.Result == PromptResult::Unreadable) SignalError();
  if (answer.Result != PromptResult::Entered) return false;
  setup.SimBitRate = answer.Value;
  return true;
}

bool SetOutputCode(SimSetupData& setup, int32_t tag) {
  if (tag < 0 || static_cast<size_t>(tag) >= kOutputCodeNames.size()) return false;
  setup.SimOutputCode = tag;
  return true;
}

void ToggleCrc16(progsimulatorclass& sim) {
  sim.DoCrc16 = !sim.DoCrc16;
  if (sim.DoCrc16) sim.DoCttit = false;
  KeepCrcWordInFrame(sim);
}

void ToggleCcitt(progsimulatorclass& sim) {
  sim.DoCttit = !sim.DoCttit;
  if (sim.DoCttit) sim.DoCrc16 = false;
  KeepCrcWordInFrame(sim);
}

bool ApplyCrcWordNumber(progsimulatorclass& sim, const IntAnswer& answer) {
  if (answer.Result == PromptResult::Unreadable) SignalError();
  if (answer.Result != PromptResult::Entered) return false;
  if (answer.Value < 1) {
    sim.CrcWdNum = -1;
    sim.DoCrc16 = false;
    sim.DoCttit = false;
    return true;
  }
  sim.CrcWdNum = answer.Value - 1;
  if (!CrcOn(sim)) sim.DoCrc16 = true;
  return true;
}

bool RetuneTransmitter(progtxclass& tx, const progqueryclass& query, const SimSetupData& setup) {
  return tx.ApplyBitRate(setup.SimBitRate, setup.SimOutputCode, query.Results.PremodFilterFreqKhz);
}
