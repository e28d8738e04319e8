#pragma once
// TMATS text of a document: G group, T and M groups for the transmitter, R group for a
// recording, then a P and a D group for each link (IRIG 106-17 Chapter 9).
#include <string>

#include "pcm/PcmFormat.h"
#include "pcm/TmatsText.h"

// The edition written to G\106 and followed throughout.
constexpr const char* kTmatsRevision = "17";

TmatsAttributes TmatsOfDocument(const TmatsDocument& document);
std::string WriteTmats(const TmatsDocument& document);
