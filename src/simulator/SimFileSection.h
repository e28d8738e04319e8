#pragma once
// The simulator's section of a setup file: every field of the setup record and the
// file-level simulator values as profile keys, with the per-word lengths and values
// stored compactly as a list of runs.
#include <array>
#include <cstdint>
#include <string>

#include "simulator/SimSetupData.h"

class progsimulatorclass;

// The format number and names filed with the simulator (program globals in the program,
// scratch copies while a setup file is read).
struct SimFormatSelection {
  int32_t& number;
  std::array<std::string, 4>& names;
};

// Reads the section into sim and format. False, with nothing changed, when the section
// has no readable "FileVersion"; every other missing or unreadable key keeps its value.
bool LoadSimulatorFileInfo(progsimulatorclass& sim, SimFormatSelection format,
                           const std::string& path, const std::string& section);
// Writes every key of the section.
void SaveSimulatorFileInfo(const progsimulatorclass& sim, const SimFormatSelection& format,
                           const std::string& path, const std::string& section);

// The record's own keys and the word runs.
bool LoadSimulatorFileInfoWithSection(const std::string& path, int32_t fileVersion,
                                      SimSetupData& record, const std::string& section);
void SaveSimulatorFileInfoWithSection(const std::string& path, const SimSetupData& record,
                                      const std::string& section);

// Files before version 2 hold no usable SFID bit position: put the counter in the low
// bits of the SFID word.
void AdjustSfIdStartBitForOldFiles(int32_t firstSubFrameNum, int32_t numSubframes,
                                   int32_t& sfIdStartBit);

// Name lookups: exact, case-sensitive; an unknown name gives 0.
int32_t BitOrderIndex(const std::string& name);
int32_t SubframeModeIndex(const std::string& name);
int32_t SubframeDirectionIndex(const std::string& name);
int32_t PatternLeadsIndex(const std::string& name);
int32_t PatternRadixIndex(const std::string& name);
int32_t WaveIndex(const std::string& name);
int32_t OutputCodeIndex(const std::string& name);
