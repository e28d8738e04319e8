#include "pcm/TmatsCodes.h"

#include <array>
#include <utility>

namespace {

// Codes outside the standard's list, by the name the comment gives them.
constexpr std::array<std::pair<LineCode, const char*>, 6> kOtherCodes = {{
    {LineCode::DmM, "DM-M"},
    {LineCode::DmS, "DM-S"},
    {LineCode::MDmM, "MDM-M"},
    {LineCode::MDmS, "MDM-S"},
    {LineCode::Rz, "RZ"},
    {LineCode::InvRz, "INV-RZ"},
}};
constexpr std::array<LineCode, 4> kOtherRandomizers = {LineCode::Rnrz11, LineCode::Rnrz17,
                                                       LineCode::Rnrz23, LineCode::Rnrz9};

std::string CodePhrase(const char* name) {
  return std::string("PCM CODE ") + name;
}

std::string RandomizerPhrase(LineCode code) {
  const RandomizerPolynomial p = RandomizerOf(code);
  return "RANDOMIZER X^" + std::to_string(p.Length) + "+X^" + std::to_string(p.Tap) + "+1";
}

void AddComment(PcmFormat& format, const std::string& phrase) {
  format.Comment += (format.Comment.empty() ? "" : ", ") + phrase;
}

bool HasPhrase(const std::string& comment, const std::string& phrase) {
  const size_t at = comment.find(phrase);
  if (at == std::string::npos) return false;
  const size_t end = at + phrase.size();
  // A whole phrase: "RZ" is not the start of anything longer.
  return end == comment.size() || comment[end] == ',' || comment[end] == ' ';
}

}  // namespace

void DescribeLineCode(LineCode code, PcmFormat& format) {
  format.Inverted = code == LineCode::InvNrzL || code == LineCode::InvBiPhaseL;
  format.Randomized = false;
  format.RandomizerLength = "N/A";
  switch (code) {
    case LineCode::NrzL:
    case LineCode::InvNrzL:
      format.Code = "NRZ-L";
      return;
    case LineCode::NrzM:
      format.Code = "NRZ-M";
      return;
    case LineCode::NrzS:
      format.Code = "NRZ-S";
      return;
    case LineCode::BiPhaseL:
    case LineCode::InvBiPhaseL:
      format.Code = "BIO-L";
      return;
    case LineCode::BiPhaseM:
      format.Code = "BIO-M";
      return;
    case LineCode::BiPhaseS:
      format.Code = "BIO-S";
      return;
    case LineCode::Rnrz15:
      format.Code = "RNRZ-L";
      format.Randomized = true;
      format.RandomizerLength = "STD";
      return;
    default:
      break;
  }
  for (LineCode r : kOtherRandomizers) {
    if (r == code) {
      format.Code = "RNRZ-L";
      format.Randomized = true;
      format.RandomizerLength = "OTH";
      AddComment(format, RandomizerPhrase(code));
      return;
    }
  }
  format.Code = "OTHER";
  for (const auto& [other, name] : kOtherCodes) {
    if (other == code) AddComment(format, CodePhrase(name));
  }
}

bool LineCodeOfFormat(const PcmFormat& f, LineCode& code, std::string& error) {
  const std::string d1 = "P-" + std::to_string(f.Link) + "\\D1:" + f.Code;
  const std::string d8 = "P-" + std::to_string(f.Link) + "\\D8:" + f.RandomizerLength;
  const bool rnrz = f.Code == "RNRZ-L" || (f.Code == "NRZ-L" && f.Randomized);
  if (f.Inverted && f.Code != "NRZ-L" && f.Code != "BIO-L") {
    error = "P-" + std::to_string(f.Link) + "\\D4:I with " + d1 +
            ": the unit inverts only NRZ-L and BIO-L";
    return false;
  }
  if (f.Randomized && !rnrz) {
    error =
        "P-" + std::to_string(f.Link) + "\\D7:Y with " + d1 + ": the unit randomizes only NRZ-L";
    return false;
  }
  if (rnrz) {
    if (f.RandomizerLength == "STD" || f.RandomizerLength == "N/A") {
      code = LineCode::Rnrz15;
      return true;
    }
    for (LineCode r : kOtherRandomizers) {
      if (HasPhrase(f.Comment, RandomizerPhrase(r))) {
        code = r;
        return true;
      }
    }
    error = d8 + ": the unit has no setting for this randomizer";
    return false;
  }
  static const std::array<std::pair<const char*, LineCode>, 6> kNamed = {{
      {"NRZ-L", LineCode::NrzL},
      {"NRZ-M", LineCode::NrzM},
      {"NRZ-S", LineCode::NrzS},
      {"BIO-L", LineCode::BiPhaseL},
      {"BIO-M", LineCode::BiPhaseM},
      {"BIO-S", LineCode::BiPhaseS},
  }};
  for (const auto& [name, named] : kNamed) {
    if (f.Code != name) continue;
    code = named;
    if (f.Inverted) code = named == LineCode::NrzL ? LineCode::InvNrzL : LineCode::InvBiPhaseL;
    return true;
  }
  if (f.Code == "OTHER") {
    for (const auto& [other, name] : kOtherCodes) {
      if (HasPhrase(f.Comment, CodePhrase(name))) {
        code = other;
        return true;
      }
    }
  }
  error = d1 + ": the unit has no setting for this code";
  return false;
}
