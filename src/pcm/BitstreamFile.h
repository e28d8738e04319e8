#pragma once
// Bit stream files: the line levels of an output code, two half-bit cells per bit, eight
// cells to a byte with the first cell in the most significant bit. A stream that ends
// inside a byte pads it with low cells.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pcm/LineCodes.h"

std::vector<uint8_t> PackCells(const BitSequence& cells);
BitSequence UnpackCells(const uint8_t* bytes, size_t count);
// The low cells that end the last byte (at most 7): they may be padding, not stream.
int64_t PossiblePaddingCells(const BitSequence& cells);

// Reads a whole bit stream file (a pipe is read to its end). False with the reason when it
// cannot be read or holds more than maxBytes.
bool ReadBitstreamFile(const std::string& path, BitSequence& cells, std::string& error,
                       uint64_t maxBytes);
