#include "unit/UnitReplies.h"

#include <cstdio>

std::array<uint32_t, kQueryReplyValues> QueryReplyValues(const UnitState& state,
                                                         const UnitLimits& limits) {
  return {static_cast<uint32_t>(state.sim.formatNumber),
          limits.minFreqMhz,
          limits.maxFreqMhz,
          limits.premodFilterKhz[0],
          limits.premodFilterKhz[1],
          limits.premodFilterKhz[2],
          limits.premodFilterKhz[3],
          state.flashSaves > 0 ? 1u : 0u,
          state.tx[0],
          state.tx[1],
          state.tx[2],
          state.tx[3],
          limits.patternType,
          limits.inputModulationSource};
}

std::array<uint32_t, kWQueryReplyValues> WQueryReplyValues(const UnitState& state) {
  std::array<uint32_t, kWQueryReplyValues> values{state.tx[0],
                                                  state.tx[1],
                                                  state.tx[2],
                                                  state.sim.clock >> 16,
                                                  state.sim.clock & 0xFFFF,
                                                  state.sim.registers[0],
                                                  state.sim.registers[1],
                                                  state.sim.registers[2]};
  const std::string& name = state.sim.formatNames[state.sim.formatNumber];
  for (int k = 0; k < 4; ++k) {
    auto byteAt = [&](size_t i) {
      return i < name.size() ? static_cast<uint32_t>(static_cast<uint8_t>(name[i])) : 0x20u;
    };
    values[8 + k] = byteAt(2 * k) << 8 | byteAt(2 * k + 1);
  }
  return values;
}

std::string HexValuesReply(const uint32_t* values, int count) {
  std::string text;
  char digits[16];
  for (int i = 0; i < count; ++i) {
    std::snprintf(digits, sizeof digits, "%04X ", static_cast<unsigned>(values[i]));
    text += digits;
  }
  return text;
}
