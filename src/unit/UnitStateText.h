#pragma once
// The unit's state as readable text, one item a line:
//   run 1
//   format 0
//   name 0 "test    "      (bytes outside printable ASCII, and "\", as \xNN)
//   clock 0001E240
//   register 0 9000
//   tx 0 57E9
//   commands 1523
//   flash-saves 1
//   memory 0000 0800        (address and value, non-zero words only, address order)
#include <string>

#include "unit/UnitState.h"

std::string UnitStateText(const UnitState& state);
// Reads text written by UnitStateText back (the flash copy is not part of it). False
// with the line at fault for anything it cannot read.
bool ParseUnitStateText(const std::string& text, UnitState& state, std::string& error);
// Writes the text to a temporary file beside path and renames it over path.
bool WriteUnitStateFile(const std::string& path, const UnitState& state, std::string& error);
