#include "pcm/TmatsReader.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>
#include <unordered_map>

#include "pcm/TmatsText.h"

namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

class Attributes {
 public:
  explicit Attributes(const TmatsAttributes& list) {
    values_.reserve(list.size());
    for (const TmatsAttribute& a : list) values_.emplace(Upper(a.Code), a.Value);
  }
  const std::string* Find(const std::string& code) const {
    const auto it = values_.find(Upper(code));
    return it == values_.end() ? nullptr : &it->second;
  }
  std::string Text(const std::string& code, const std::string& fallback = "") const {
    const std::string* v = Find(code);
    return v != nullptr ? Upper(*v) : fallback;
  }
  // False (with the error) when present but not a whole number in [low, high].
  bool Integer(const std::string& code, int64_t low, int64_t high, int64_t& value,
               std::string& error) const {
    const std::string* v = Find(code);
    if (v == nullptr) return true;
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(v->c_str(), &end, 10);
    if (v->empty() || *end != '\0' || errno != 0 || parsed < low || parsed > high) {
      error = code + ":" + *v + ": not a number from " + std::to_string(low) + " to " +
              std::to_string(high);
      return false;
    }
    value = parsed;
    return true;
  }
  bool Int(const std::string& code, int low, int high, int& value, std::string& error) const {
    int64_t wide = value;
    if (!Integer(code, low, high, wide, error)) return false;
    value = static_cast<int>(wide);
    return true;
  }

 private:
  std::unordered_map<std::string, std::string> values_;
};

constexpr int64_t kBig = int64_t{1} << 40;
// Far above any class I format; keeps a hostile file from asking for gigabytes.
constexpr int kMaxWords = 1 << 20;

bool ReadLink(const Attributes& a, int d, PcmFormat& f, std::string& error) {
  const std::string p = "P-" + std::to_string(d) + "\\";
  f.Link = d;
  f.LinkName = a.Find(p + "DLN") != nullptr ? *a.Find(p + "DLN") : "";
  f.Code = a.Text(p + "D1", "NRZ-L");
  if (const std::string* rate = a.Find(p + "D2")) {
    char* end = nullptr;
    f.BitRate = std::strtod(rate->c_str(), &end);
    if (rate->empty() || *end != '\0' || !(f.BitRate > 0)) {
      error = p + "D2:" + *rate + ": not a bit rate";
      return false;
    }
  }
  f.Inverted = a.Text(p + "D4", "N") == "I";
  f.Randomized = a.Text(p + "D7", "N") == "Y";
  f.RandomizerLength = a.Text(p + "D8", "N/A");
  f.TypeFormat = a.Text(p + "TF", "ONE");
  f.MsbFirst = a.Text(p + "F2", "M") != "L";
  f.Parity = a.Text(p + "F3", "NO");
  f.SyncType = a.Text(p + "MF3", "FPT");
  f.SyncPattern = a.Text(p + "MF5");
  f.Comment = a.Text(p + "COM");
  f.FrameCodeComplement = f.Comment.find("FRAME CODE COMPLEMENT") != std::string::npos;
  int syncLength = static_cast<int>(f.SyncPattern.size());
  int counters = 0;
  if (!a.Int(p + "F1", 1, 64, f.CommonWordLength, error) ||
      !a.Integer(p + "MF\\N", 1, kBig, f.MinorFrames, error) ||
      !a.Int(p + "MF1", 1, kMaxWords, f.WordsPerMinorFrame, error) ||
      !a.Integer(p + "MF2", 1, kBig, f.BitsPerMinorFrame, error) ||
      !a.Int(p + "MF4", 1, 1 << 20, syncLength, error) ||
      !a.Int(p + "ISF\\N", 0, 1 << 20, counters, error))
    return false;
  if (a.Find(p + "MF1") == nullptr || a.Find(p + "MF5") == nullptr) {
    error = "P-" + std::to_string(d) + ": no " + (a.Find(p + "MF1") == nullptr ? "MF1" : "MF5") +
            " (words per minor frame, sync pattern)";
    return false;
  }
  if (syncLength != static_cast<int>(f.SyncPattern.size()) ||
      f.SyncPattern.find_first_not_of("01X") != std::string::npos) {
    error = p + "MF5:" + f.SyncPattern + ": not " + std::to_string(syncLength) +
            " digits 0, 1 or X (" + p + "MF4)";
    return false;
  }
  for (int n = 1;; ++n) {
    const std::string i = "-" + std::to_string(n);
    if (a.Find(p + "MFW1" + i) == nullptr) break;
    PcmFormat::WordLength w;
    if (!a.Int(p + "MFW1" + i, 1, f.WordsPerMinorFrame - 1, w.Position, error) ||
        !a.Int(p + "MFW2" + i, 1, 1 << 20, w.Bits, error))
      return false;
    f.WordLengths.push_back(w);
  }
  for (int n = 1; n <= counters; ++n) {
    const std::string i = "-" + std::to_string(n);
    PcmSubframeCounter c;
    c.Name = a.Text(p + "ISF1" + i, "SFID");
    if (a.Text(p + "ISF2" + i, "ID") != "ID") {
      error = p + "ISF2" + i + ":" + a.Text(p + "ISF2" + i) + ": only ID counters are read";
      return false;
    }
    if (!a.Int(p + "IDC1" + i, 1, f.WordsPerMinorFrame, c.WordPosition, error) ||
        !a.Int(p + "IDC2" + i, 1, 64, c.WordLength, error) ||
        !a.Int(p + "IDC3" + i, 1, 64, c.MsbLocation, error) ||
        !a.Int(p + "IDC4" + i, 1, 64, c.Length, error) ||
        !a.Integer(p + "IDC6" + i, 0, kBig, c.InitialValue, error) ||
        !a.Integer(p + "IDC7" + i, 1, kBig, c.InitialFrame, error) ||
        !a.Integer(p + "IDC8" + i, 0, kBig, c.EndValue, error) ||
        !a.Integer(p + "IDC9" + i, 1, kBig, c.EndFrame, error))
      return false;
    c.MsbFirst = a.Text(p + "IDC5" + i, f.MsbFirst ? "M" : "L") != "L";
    c.Increments = a.Text(p + "IDC10" + i, "INC") != "DEC";
    f.Counters.push_back(c);
  }
  return true;
}

// The CRC and the other roles of a link's D group (first measurement list only).
void ReadRoles(const Attributes& a, const TmatsAttributes& list, PcmFormat& f) {
  for (const TmatsAttribute& attr : list) {
    if (attr.Code.size() < 2 || std::toupper(static_cast<unsigned char>(attr.Code[0])) != 'D' ||
        attr.Code[1] != '-')
      continue;
    const std::string code = Upper(attr.Code);
    if (code.find("\\DLN") == std::string::npos) continue;
    if (attr.Value != f.LinkName) continue;
    const std::string d = code.substr(0, code.find('\\') + 1);
    int64_t count = 0;
    std::string ignored;
    if (!a.Integer(d + "MN\\N-1", 0, 1 << 20, count, ignored)) continue;
    for (int64_t n = 1; n <= count; ++n) {
      const std::string yn = "-1-" + std::to_string(n);
      PcmMeasurand m;
      m.Name = a.Text(d + "MN" + yn);
      int64_t places = 0;
      if (!a.Integer(d + "MML\\N" + yn, 0, 1 << 20, places, ignored)) continue;
      for (int64_t l = 1; l <= places; ++l) {
        const std::string ynm = yn + "-" + std::to_string(l) + "-1";
        PcmLocation at;
        int64_t fp = 1, fi = 1;
        if (!a.Int(d + "WP" + ynm, 1, 1 << 30, at.WordPosition, ignored) ||
            !a.Int(d + "WI" + ynm, 0, 1 << 30, at.WordInterval, ignored) ||
            !a.Integer(d + "FP" + ynm, 1, kBig, fp, ignored) ||
            !a.Integer(d + "FI" + ynm, 0, kBig, fi, ignored))
          continue;
        at.FramePosition = fp;
        at.FrameInterval = fi;
        m.Locations.push_back(at);
      }
      f.Measurands.push_back(std::move(m));
    }
    return;
  }
}

}  // namespace

bool ReadTmats(const std::string& text, TmatsDocument& doc, std::string& error) {
  TmatsAttributes list;
  if (!ParseTmats(text, list, error)) return false;
  const Attributes a(list);
  TmatsDocument out;
  if (const std::string* name = a.Find("G\\PN")) out.ProgramName = *name;
  std::set<int> links;
  for (const TmatsAttribute& attr : list) {
    const std::string& raw = attr.Code;
    if (raw.size() < 7 || std::toupper(static_cast<unsigned char>(raw[0])) != 'P' || raw[1] != '-')
      continue;
    const std::string code = Upper(raw);
    if (code.substr(code.size() - 4) != "\\DLN") continue;
    const int d = std::atoi(code.c_str() + 2);
    if (d > 0) links.insert(d);
  }
  if (links.empty()) {
    error = "no PCM format (P group with P-d\\DLN) in the TMATS";
    return false;
  }
  for (int d : links) {
    PcmFormat f;
    if (!ReadLink(a, d, f, error)) return false;
    ReadRoles(a, list, f);
    out.Links.push_back(std::move(f));
  }
  if (const std::string* freq = a.Find("T-1\\RF1")) {
    out.HaveTransmitter = true;
    out.Transmitter.FreqMhz = std::strtod(freq->c_str(), nullptr);
    out.Transmitter.DeviationKhz =
        static_cast<int>(std::strtod(a.Text("T-1\\RF5", "0").c_str(), nullptr) / 2);
    out.Transmitter.FilterKhz = std::strtod(a.Text("T-1\\PMF1", "0").c_str(), nullptr);
    const std::string com = a.Text("T-1\\COM");
    const size_t at = com.find("PREMODULATION FILTER SETTING ");
    if (at != std::string::npos) out.Transmitter.FilterIndex = std::atoi(com.c_str() + at + 29);
  }
  for (int n = 1; n <= 64; ++n) {
    const std::string i = "-" + std::to_string(n);
    const std::string type = a.Text("R-1\\CDT" + i);
    if (type.empty()) break;
    int channel = 0;
    if (!a.Int("R-1\\TK1" + i, 0, 65535, channel, error)) return false;
    if (type == "PCMIN") {
      out.Recording = true;
      out.PcmChannel = channel;
      // The channel's link goes first.
      const std::string link = a.Find("R-1\\CDLN" + i) != nullptr ? *a.Find("R-1\\CDLN" + i) : "";
      std::stable_partition(out.Links.begin(), out.Links.end(),
                            [&](const PcmFormat& f) { return f.LinkName == link; });
    } else if (type == "TIMIN") {
      out.TimeChannel = channel;
    }
  }
  doc = std::move(out);
  return true;
}
