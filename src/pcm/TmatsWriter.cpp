#include "pcm/TmatsWriter.h"

#include <cmath>
#include <cstdio>

namespace {

std::string Number(double value) {
  if (value == std::floor(value) && std::fabs(value) < 1e15)
    return std::to_string(static_cast<int64_t>(value));
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", value);
  return text;
}

class Out {
 public:
  explicit Out(TmatsAttributes& a) : a_(a) {}
  void operator()(const std::string& code, const std::string& value) {
    a_.push_back({code, value});
  }
  void operator()(const std::string& code, int64_t value) {
    a_.push_back({code, std::to_string(value)});
  }

 private:
  TmatsAttributes& a_;
};

void WriteP(const PcmFormat& f, Out& out) {
  const std::string p = "P-" + std::to_string(f.Link) + "\\";
  out(p + "DLN", f.LinkName);
  out(p + "D1", f.Code);
  out(p + "D2", Number(f.BitRate));
  out(p + "D3", "U");
  out(p + "D4", f.Inverted ? "I" : "N");
  out(p + "D5", "N");
  out(p + "D6", "N");
  out(p + "D7", f.Randomized ? "Y" : "N");
  out(p + "D8", f.RandomizerLength);
  out(p + "TF", f.TypeFormat);
  out(p + "F1", f.CommonWordLength);
  out(p + "F2", f.MsbFirst ? "M" : "L");
  out(p + "F3", f.Parity);
  out(p + "MF\\N", f.MinorFrames);
  out(p + "MF1", f.WordsPerMinorFrame);
  out(p + "MF2", f.BitsPerMinorFrame);
  out(p + "MF3", f.SyncType);
  out(p + "MF4", static_cast<int64_t>(f.SyncPattern.size()));
  out(p + "MF5", f.SyncPattern);
  for (size_t n = 0; n < f.WordLengths.size(); ++n) {
    const std::string i = "-" + std::to_string(n + 1);
    out(p + "MFW1" + i, f.WordLengths[n].Position);
    out(p + "MFW2" + i, f.WordLengths[n].Bits);
  }
  out(p + "ISF\\N", static_cast<int64_t>(f.Counters.size()));
  for (size_t n = 0; n < f.Counters.size(); ++n) {
    const PcmSubframeCounter& c = f.Counters[n];
    const std::string i = "-" + std::to_string(n + 1);
    out(p + "ISF1" + i, c.Name);
    out(p + "ISF2" + i, "ID");
    out(p + "IDC1" + i, c.WordPosition);
    out(p + "IDC2" + i, c.WordLength);
    out(p + "IDC3" + i, c.MsbLocation);
    out(p + "IDC4" + i, c.Length);
    out(p + "IDC5" + i, c.MsbFirst ? "M" : "L");
    out(p + "IDC6" + i, c.InitialValue);
    out(p + "IDC7" + i, c.InitialFrame);
    out(p + "IDC8" + i, c.EndValue);
    out(p + "IDC9" + i, c.EndFrame);
    out(p + "IDC10" + i, c.Increments ? "INC" : "DEC");
  }
  if (!f.Comment.empty()) out(p + "COM", f.Comment);
}

void WriteD(const PcmFormat& f, Out& out) {
  if (f.Measurands.empty()) return;
  const std::string d = "D-" + std::to_string(f.Link) + "\\";
  out(d + "DLN", f.LinkName);
  out(d + "ML\\N", 1);
  out(d + "MLN-1", "ROLES");
  out(d + "MN\\N-1", static_cast<int64_t>(f.Measurands.size()));
  for (size_t n = 0; n < f.Measurands.size(); ++n) {
    const PcmMeasurand& m = f.Measurands[n];
    const std::string yn = "-1-" + std::to_string(n + 1);
    out(d + "MN" + yn, m.Name);
    out(d + "LT" + yn, "WDFR");
    out(d + "MML\\N" + yn, static_cast<int64_t>(m.Locations.size()));
    for (size_t l = 0; l < m.Locations.size(); ++l) {
      const PcmLocation& at = m.Locations[l];
      const std::string ynm = yn + "-" + std::to_string(l + 1);
      out(d + "MNF\\N" + ynm, 1);
      out(d + "WP" + ynm + "-1", at.WordPosition);
      out(d + "WI" + ynm + "-1", at.WordInterval);
      out(d + "FP" + ynm + "-1", at.FramePosition);
      out(d + "FI" + ynm + "-1", at.FrameInterval);
      out(d + "WFM" + ynm + "-1", "FW");
    }
  }
}

}  // namespace

TmatsAttributes TmatsOfDocument(const TmatsDocument& doc) {
  TmatsAttributes a;
  Out out(a);
  out("G\\PN", doc.ProgramName);
  out("G\\106", kTmatsRevision);
  out("G\\DSI\\N", 1);
  out("G\\DSI-1", doc.DataSource);
  out("G\\DST-1", doc.DataSourceType);
  out("G\\COM", "QM-48 PCM simulator and transmitter");
  if (doc.HaveTransmitter) {
    const TmatsTransmitter& tx = doc.Transmitter;
    out("T-1\\ID", doc.DataSource);
    out("T-1\\TID", "QM-48");
    out("T-1\\RF1", Number(tx.FreqMhz));
    out("T-1\\RF4", "FM");
    // Total carrier modulation: the peak-to-peak deviation, in kHz.
    out("T-1\\RF5", Number(2.0 * tx.DeviationKhz));
    if (tx.FilterKhz > 0) out("T-1\\PMF1", Number(tx.FilterKhz));
    out("T-1\\COM", "PEAK DEVIATION " + std::to_string(tx.DeviationKhz) +
                        " KHZ, PREMODULATION FILTER SETTING " + std::to_string(tx.FilterIndex));
  }
  if (doc.Recording && !doc.Links.empty()) {
    const std::string link = doc.Links.front().LinkName;
    out("R-1\\ID", doc.DataSource);
    out("R-1\\N", 2);
    out("R-1\\TK1-1", doc.PcmChannel);
    out("R-1\\DSI-1", link);
    out("R-1\\CHE-1", "T");
    out("R-1\\CDT-1", "PCMIN");
    out("R-1\\CDLN-1", link);
    out("R-1\\PDTF-1", "0");
    out("R-1\\PDP-1", "TM");
    out("R-1\\TK1-2", doc.TimeChannel);
    out("R-1\\DSI-2", "TIME");
    out("R-1\\CHE-2", "T");
    out("R-1\\CDT-2", "TIMIN");
    out("R-1\\CDLN-2", "TIME");
  } else if (!doc.Links.empty()) {
    out("M-1\\ID", doc.DataSource);
    out("M-1\\BB1", "PCM");
    out("M-1\\BB\\DLN", doc.Links.front().LinkName);
  }
  for (const PcmFormat& f : doc.Links) WriteP(f, out);
  for (const PcmFormat& f : doc.Links) WriteD(f, out);
  return a;
}

std::string WriteTmats(const TmatsDocument& document) {
  return FormatTmats(TmatsOfDocument(document));
}
