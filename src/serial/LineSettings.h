#pragma once
// Puts an open terminal into the raw byte mode the unit's link needs, with the rate, data
// bits, parity, stop bits and flow control of a settings block.
#include <termios.h>

#include <cstdint>

#include "serial/PortConfig.h"

// The terminal settings for the settings block, made from what the terminal had: raw bytes,
// data bits, parity, stop bits and flow control (the rate is set by ApplyLineSettings).
void ComposeLineSettings(termios& tio, const PortConfig& settings);

// Sets the line of the open terminal fd. Returns 0, or kOpenLineSettingsRefused when the terminal
// refused them (logged). A refusal at a rate above 115000 is only logged: the port runs with what
// the driver kept.
uint32_t ApplyLineSettings(int fd, const PortConfig& settings);
