#pragma once
// The text of the unit's reply lines (without the carriage return). Query replies are
// hexadecimal values, each followed by one space, in the order the controller's parsers
// take them.
#include <array>
#include <cstdint>
#include <string>

#include "unit/UnitLimits.h"
#include "unit/UnitState.h"

constexpr int kQueryReplyValues = 14;
constexpr int kWQueryReplyValues = 12;

// The fourteen "Q" values: format number, minimum then maximum frequency (MHz), four
// filter frequencies (kHz), format saved, selected frequency (100 kHz), deviation (kHz),
// filter index, attenuation step index, pattern type, modulation source.
std::array<uint32_t, kQueryReplyValues> QueryReplyValues(const UnitState& state,
                                                         const UnitLimits& limits);
// The twelve "W" values: frequency, deviation and filter registers, clock high and low
// halves, the three simulator registers, and the current format's name as four codes of
// two characters (first character in the high byte).
std::array<uint32_t, kWQueryReplyValues> WQueryReplyValues(const UnitState& state);

// Values as upper-case hex of at least four digits, each followed by one space.
std::string HexValuesReply(const uint32_t* values, int count);
template <size_t N>
std::string HexValuesReply(const std::array<uint32_t, N>& values) {
  return HexValuesReply(values.data(), static_cast<int>(N));
}

inline const char* kReplyOk = "OK";
inline const char* kReplyError = "ERR";
