#pragma once
// User-defined wave files (".R4V8SimUserWave"): the samples of one "USERDEF" wave.
#include <string>

#include "simulator/SimSetupData.h"

extern const char* const kUserWaveCommonSection;  // "UserDef Wave Info Common Area"
extern const char* const kUserWaveValueSection;   // "UserDef Wave Info Word Value Area (1 based)"

// Writes the name, default value, sample count and the samples in use, then flushes.
void WriteUserWaveFile(const std::string& path, const UserWaveTable& table);
// False when no such file exists (table unchanged). Otherwise every sample beyond the
// file's explicit ones takes its default value, and the result is true.
bool ReadUserWaveFile(const std::string& path, UserWaveTable& table);
