#pragma once
// TMATS text (IRIG 106-17 Chapter 9): a sequence of attributes "CODE:VALUE;", plain
// ASCII, one to a line. Only the syntax lives here; what the codes mean is elsewhere.
#include <string>
#include <vector>

struct TmatsAttribute {
  std::string Code;  // e.g. P-1\MF5
  std::string Value;
};
using TmatsAttributes = std::vector<TmatsAttribute>;

// One attribute a line, each ended by ";" and CR LF.
std::string FormatTmats(const TmatsAttributes& attributes);

// Splits the text at ";" (line ends and blanks around codes and values dropped). False
// with the reason for a statement without ":" or a byte outside printable ASCII.
bool ParseTmats(const std::string& text, TmatsAttributes& attributes, std::string& error);

// The value of the first attribute with this code (codes compare without case), or null.
const std::string* FindTmats(const TmatsAttributes& attributes, const std::string& code);

// A value made safe for TMATS: printable ASCII only, ";" replaced by ",".
std::string TmatsSafe(const std::string& value);
