#include "query/QueryDisplayRows.h"

#include <cstdint>

#include "support/NumberText.h"

namespace {

constexpr int kMaxChars = 8;

std::string Whole(double value) {
  return FloatText(value, 0, kMaxChars);
}
std::string OneDecimal(double value) {
  return FloatText(value, 1, kMaxChars);
}

}  // namespace

std::vector<QueryDisplayRow> QueryGridRows(const QueryResults& q, const WQueryResults& w,
                                           const IQueryResults& i) {
  std::vector<QueryDisplayRow> rows;
  rows.push_back({"Format Number", Whole(q.FormatNumber)});
  rows.push_back({"Max Freq (MHz)", OneDecimal(q.MaxFreqMhz + 0.5)});
  rows.push_back({"Min Freq (MHz)", OneDecimal(q.MinFreqMhz)});
  for (size_t k = 0; k < q.PremodFilterFreqKhz.size(); ++k)
    rows.push_back({"Premod Filter " + std::to_string(k + 1) + " Freq (kHz)",
                    Whole(q.PremodFilterFreqKhz[k])});
  rows.push_back({"Current Format Loaded", FormatNameText(w)});
  rows.push_back({"Freq Selected (Mhz)", OneDecimal(q.FreqSelectedMhz * 0.1)});
  rows.push_back({"Deviation", Whole(q.DeviationSelected)});
  rows.push_back({"Premod Filter Selected", Whole(q.PremodSelected)});
  // Signed: a step index beyond the maximum shows as a negative attenuation, not a wrap.
  const int64_t attenDb =
      5 * static_cast<int64_t>(i.MaxDb) - 5 * static_cast<int64_t>(q.AttenuationDb);
  rows.push_back({"Attenuation (dB)", Whole(static_cast<double>(attenDb))});
  rows.push_back({"Pattern Type", q.PatternType != 0 ? "15 Bit PRN" : "PCM"});
  rows.push_back(
      {"Input Modulation Source", q.InputModulationSource != 0 ? "External" : "Simulator"});
  return rows;
}

std::vector<QueryDisplayRow> WQueryGridRows(const WQueryResults& w) {
  std::vector<QueryDisplayRow> rows;
  rows.push_back({"Freq Selected (100 khz)", Whole(w.FreqSelected100khz)});
  rows.push_back({"Deviation", Whole(w.Deviation)});
  rows.push_back({"Premod Filter Selected", Whole(w.PremodFilter)});
  rows.push_back({"Clock Rate Msb", Whole(w.ClockRateMsb)});
  rows.push_back({"Clock Rate Lsb", Whole(w.ClockRateLsb)});
  for (size_t k = 0; k < w.ControlReg.size(); ++k)
    rows.push_back({"Control Reg " + std::to_string(k), Whole(w.ControlReg[k])});
  for (size_t k = 0; k < w.FormatNameCode.size(); ++k)
    rows.push_back({"Format Name Code " + std::to_string(k + 1), Whole(w.FormatNameCode[k])});
  rows.push_back({"Format Name", FormatNameText(w)});
  return rows;
}
