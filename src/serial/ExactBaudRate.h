#pragma once
// Any line rate in bits per second through the kernel's arbitrary-rate interface. Kept
// apart because its termios declarations clash with those of <termios.h>.
#include <cstdint>

// Sets both directions of the open terminal fd to rate; false (errno set) when refused.
bool SetExactBaudRate(int fd, uint32_t rate);
// The input and output rates the terminal holds now.
bool GetExactBaudRate(int fd, uint32_t& inRate, uint32_t& outRate);
