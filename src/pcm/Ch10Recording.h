#pragma once
// A Chapter 10 recording (IRIG 106-17) of one PCM stream: the TMATS in a computer-generated
// data packet (format 1), a time data packet (format 1) at the start and at every second
// of the stream, and PCM data packets (format 1, throughput mode) of about 100 ms each.
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "pcm/LineCodes.h"

struct Ch10RecordingInput {
  std::string Tmats;  // with the R group naming the channels below
  BitSequence Bits;   // the PCM bits as a bit synchroniser hands them on
  double BitRate = 1;
  std::time_t StartSeconds = 0;  // UTC of the first bit
  int StartMilliseconds = 0;
  uint16_t PcmChannel = 1;
  uint16_t TimeChannel = 2;
};

std::vector<uint8_t> BuildCh10Recording(const Ch10RecordingInput& input);
