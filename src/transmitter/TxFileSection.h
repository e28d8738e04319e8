#pragma once
// The transmitter's section of a setup file: "FileVersion" and the record's four keys.
#include <cstdint>
#include <string>

#include "transmitter/TxSetupData.h"

// False, with the record unchanged, when the section has no readable "FileVersion".
// Otherwise every key that is present and readable is limited to its file range and
// stored; a missing or unreadable key (a frequency that is not a number included) keeps
// its field.
bool LoadTxFileSection(TxSetupData& record, const std::string& path, const std::string& section);
// Writes "FileVersion" and the four keys.
void SaveTxFileSection(const TxSetupData& record, int32_t fileVersion, const std::string& path,
                       const std::string& section);
