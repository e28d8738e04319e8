#include "simulator/SimValidation.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "simulator/Qm48SimulatorUnit.h"
#include "support/ProgramLog.h"

namespace {

constexpr uint32_t kMinBitRate = 10;
constexpr uint32_t kMaxBitRate = 33000000;
constexpr int kMaxSubframes = 1024;

bool InRange(int64_t value, int64_t low, int64_t high) {
  return value >= low && value <= high;
}

bool IsCorrupt(const SimSetupData& s) {
  return !InRange(s.BitOrder, 0, 1) || !InRange(s.SubframeMode, 0, 3) ||
         !InRange(s.SubframeDirection, 0, 1) || !InRange(s.PatternLeads, 0, 1) ||
         s.SimBitRate < kMinBitRate || s.SimBitRate > kMaxBitRate ||
         !InRange(s.SimOutputCode, 0, 18);
}

std::string Num(int64_t value) {
  return std::to_string(value);
}

// The subframe ID rules; empty when they pass. Arithmetic is 64-bit so that hostile
// values from a file cannot overflow.
std::string CheckSubframeId(const SimSetupData& s) {
  const int64_t words = s.WordsPerMinorFrame;
  const int64_t first = s.FirstSubFrameNum;
  const int64_t sfid = s.SfIdWordNum;
  if (s.NumSubframes > kMaxSubframes) return "Too Many Subframes, Max is 1024";
  if (sfid > words) return "SFID MUST be less than Words Per Minor Frame " + Num(words);

  const int64_t fsWords = s.FrameSyncLength / s.CommonWordLength +
                          (s.FrameSyncLength % s.CommonWordLength != 0 ? 1 : 0);
  const bool leads = s.PatternLeads == 1;
  const bool up = s.SubframeDirection == 0;
  if (leads && up) {
    if (sfid < first + fsWords) return "SfId Word Must be Greater than " + Num(first + fsWords - 1);
  } else if (leads) {
    if (sfid < fsWords) return "SfId Word Must be Greater than " + Num(fsWords);
  } else if (sfid >= words - fsWords + 1) {
    return "SfId Word Must be Less than " + Num(words - fsWords);
  }

  // The counter must fit in the SFID word; a word number below 1 names no word.
  if (sfid < 1) return "SFID MUST be greater than 0";
  const int64_t length = static_cast<int16_t>(s.Words[static_cast<size_t>(sfid - 1)].SimWordLen);
  if (s.SfIdStartBit < 0 || s.SfIdStartBit >= length)
    return "SF ID Start Bit MUST be in the range of 0 to " + Num(length - 1);
  const int64_t count = s.NumSubframes;
  const int64_t top = up ? first + count - 1 : std::max(first, first - count + 1);
  if (s.SfIdStartBit - BitsNeeded(static_cast<uint32_t>(top)) + 1 < 0)
    return "Not enough bits for SF ID for the number of minor frames. Check Start Bit";
  return {};
}

}  // namespace

int BitsNeeded(uint32_t value) {
  int bits = 0;
  for (; value != 0; value >>= 1) ++bits;
  return bits;
}

bool ValidateSimulatorSetup(progsimulatorclass& sim, std::string& message) {
  message.clear();
  SimSetupData& s = sim.Setup;
  if (IsCorrupt(s)) {
    LogInfo("Appear to have file corruption for simulator, setting defaults", 0, false);
    // Scratch tables: the reset must not touch the object's own user waves.
    auto scratch = std::make_unique<UserWaveTables>();
    SetDefaults(s, *scratch);
    return false;
  }
  if (s.FrameSyncLength < 3 || s.FrameSyncLength > 64)
    message = "Sync Pattern Length MUST be between 3 and 64";
  else if (s.CommonWordLength < 1)
    message = "Common Word Length MUST be at least 1";
  else if (s.WordsPerMinorFrame > kMaxWordsPerMinorFrame)
    message = "Words Per Minor Frame MUST be less than 16383";
  else if (s.SubframeMode != 0)
    message = CheckSubframeId(s);
  return message.empty();
}
