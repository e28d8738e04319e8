#pragma once
// The text form of every command of the unit's postfix language.
#include <cstdint>
#include <string>

std::string Hex16(uint32_t value);  // four upper-case hex digits, most significant kept
// The 16-bit number the four digits of Hex16(value) stand for: what the unit receives.
uint16_t Hex16Value(uint32_t value);
std::string Name8(const std::string& name);  // cut/padded with spaces to 8, lower case

std::string MemoryWriteCommand(uint32_t value, uint32_t address);  // "vvvv aaaa M"
std::string RegisterWriteCommand(uint32_t value, uint32_t reg);    // "vvvv rrrr T"
std::string ClockRateCommand(uint32_t rate);                       // "hhhh llll K"
std::string RunCommand(bool run);                                  // "1 R" / "0 R"
std::string SaveFlashCommand();                                    // "S"
std::string FormatNumberCommand(int formatNumber);                 // "n N"
std::string FormatNameCommand(const std::string& name);            // "H" + name8
std::string TransmitterWriteCommand(uint32_t value, int reg);      // "vvvv d G"
