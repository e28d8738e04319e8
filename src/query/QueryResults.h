#pragma once
// What the unit reported in its last answers to the five queries. Every value is kept as
// parsed; a query that failed leaves the values it did not deliver as they were.
#include <array>
#include <cstdint>
#include <string>

// The "Q" reply: setup and state of the unit.
struct QueryResults {
  uint32_t FormatNumber = 0;
  uint32_t MaxFreqMhz = 0;
  uint32_t MinFreqMhz = 0;
  std::array<uint32_t, 4> PremodFilterFreqKhz{};
  uint32_t CurrentFormatLoaded = 0;
  uint32_t FreqSelectedMhz = 0;
  uint32_t DeviationSelected = 0;
  uint32_t PremodSelected = 0;
  uint32_t AttenuationDb = 0;
  uint32_t PatternType = 0;
  uint32_t InputModulationSource = 0;
};
constexpr int kQueryValueCount = 14;

// The "W" reply: what was last loaded into the transmitter and the simulator.
struct WQueryResults {
  uint32_t FreqSelected100khz = 0;
  uint32_t Deviation = 0;
  uint32_t PremodFilter = 0;
  uint32_t ClockRateMsb = 0;
  uint32_t ClockRateLsb = 0;
  std::array<uint32_t, 3> ControlReg{};
  std::array<uint32_t, 4> FormatNameCode{};
  // Eight characters (two per name code, high byte first) and a NUL.
  std::array<char, 9> FormatName{};
};
constexpr int kWQueryValueCount = 12;

// The three "I" replies.
struct IQueryResults {
  uint32_t FirmwareVersion = 0;
  uint32_t MaxDb = 0;
  uint32_t NumAttenSteps = 0;
};
constexpr int kIQueryCount = 3;

// The format name as text: the characters before the first NUL.
std::string FormatNameText(const WQueryResults& w);
