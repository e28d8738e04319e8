#include "simulator/SimRegisters.h"

#include <array>
#include <cstddef>

#include "simulator/BitRateSynthesis.h"

namespace {
constexpr int32_t kLsbFirst = 1;
constexpr int32_t kDirectionUp = 0;
constexpr int32_t kSubframeModeFcc = 2;

// The encoder's code of every output code, by SimOutputCode.
constexpr std::array<uint16_t, 19> kEncoderCodes = {0, 2, 3, 8, 10, 11, 12, 13, 14, 15,
                                                    1, 9, 4, 6, 16, 32, 0,  0,  0};
}  // namespace

uint16_t ModeRegisterValue(const SimSetupData& setup, bool doCrc16, bool doCttit) {
  uint32_t value = 0;
  if (doCttit) value |= 1u << 0;
  if (doCrc16 || doCttit) value |= 1u << 1;
  if (setup.BitOrder == kLsbFirst) value |= 1u << 3;
  value |= (static_cast<uint32_t>(GetSimClockRatePrescaleNcoRate(setup).Prescale) & 3u) << 5;
  return static_cast<uint16_t>(value);
}

uint16_t PcmEncoderRegisterValue(const SimSetupData& setup) {
  const int32_t code = setup.SimOutputCode;
  // Validation keeps the code inside the table; an unknown one sends code 0.
  uint32_t value = code >= 0 && code < static_cast<int32_t>(kEncoderCodes.size())
                       ? kEncoderCodes[static_cast<std::size_t>(code)]
                       : 0;
  if (setup.Convolution == 1) value |= 1u << 8;
  if (setup.Convolution == 2) value |= (1u << 8) | (1u << 9);
  if (setup.SwapG1G2) value |= 1u << 10;
  if (setup.InvertG1) value |= 1u << 11;
  if (setup.DiffEncodingEnable) value |= 1u << 12;
  return static_cast<uint16_t>(value);
}

uint16_t FrameStartRegisterValue(const SimSetupData& setup) {
  const bool up = setup.SubframeDirection == kDirectionUp;
  // The unit adds the flag bits to the start value.
  uint32_t value = up ? static_cast<uint32_t>(setup.FirstSubFrameNum)
                      : static_cast<uint32_t>(setup.NumSubframes) -
                            (static_cast<uint32_t>(setup.FirstSubFrameNum) + 1u);
  if (up) value += 1u << 12;
  if (setup.FacEnable) value += 1u << 13;
  if (setup.SubframeMode == kSubframeModeFcc) value += 1u << 14;
  value += 1u << 15;
  return static_cast<uint16_t>(value);
}
