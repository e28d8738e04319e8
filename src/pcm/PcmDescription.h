#pragma once
// The TMATS description of what the unit's encoder sends: built from the encoder tables
// (those a setup's load writes, or those a unit holds), never from what a setup asks for,
// so a ground station set up from it locks to the unit.
#include <optional>
#include <string>

#include "pcm/EncoderModel.h"
#include "pcm/PcmFormat.h"
#include "simulator/SimSetupData.h"

struct PcmDescribeInput {
  double BitRate = 0;
  std::string LinkName = "PCM";
  // The setup the tables were built from, when there is one: it gives the sync pattern's
  // length, its don't-care digits, the common word length and the wave names. Without it
  // the pattern covers the whole sync words (their fill as the 0s the unit sends).
  const SimSetupData* Setup = nullptr;
  // The code on the line when it is not the tables' own.
  std::optional<LineCode> Code;
};

// False with the reason when no decommutator could find the frame (no sync words, sync
// words apart or broken by another word).
bool DescribePcmLink(const EncoderModel& model, const PcmDescribeInput& input, PcmFormat& format,
                     std::string& error);
