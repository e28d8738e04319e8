#pragma once
// The unit's output codes in TMATS terms: PCM code (D1), polarity (D4), randomizer (D7,
// D8). Codes the standard has no name for are "OTHER" and named in the link's comment;
// randomizers other than the standard 15-bit one are "OTH" and their polynomial is named
// there too. Both are this program's convention, the only way TMATS leaves.
#include <string>

#include "pcm/LineCodes.h"
#include "pcm/PcmFormat.h"

// Sets Code, Inverted, Randomized and RandomizerLength, and appends to Comment.
void DescribeLineCode(LineCode code, PcmFormat& format);

// The unit's code for the link's D1/D4/D7/D8 and comment; false with the attribute at
// fault for a code the unit has no setting for.
bool LineCodeOfFormat(const PcmFormat& format, LineCode& code, std::string& error);
