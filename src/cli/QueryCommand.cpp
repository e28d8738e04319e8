// qm48ctl query: asks the unit its five questions and prints the answers with their
// captions, or as JSON.
#include <cstdio>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/JsonText.h"
#include "cli/LinkCommands.h"
#include "link/UnitLink.h"
#include "query/Qm48QueryUnit.h"
#include "query/QueryDisplayRows.h"

namespace {

using Rows = std::vector<std::pair<const char*, uint32_t>>;

Rows QueryRows(const QueryResults& q) {
  return {{"Format Number", q.FormatNumber},
          {"Max Freq (MHz)", q.MaxFreqMhz},
          {"Min Freq (MHz)", q.MinFreqMhz},
          {"Premod Filter 1 Freq (kHz)", q.PremodFilterFreqKhz[0]},
          {"Premod Filter 2 Freq (kHz)", q.PremodFilterFreqKhz[1]},
          {"Premod Filter 3 Freq (kHz)", q.PremodFilterFreqKhz[2]},
          {"Premod Filter 4 Freq (kHz)", q.PremodFilterFreqKhz[3]},
          {"Current Format Loaded", q.CurrentFormatLoaded},
          {"Freq Selected (Mhz)", q.FreqSelectedMhz},
          {"Deviation", q.DeviationSelected},
          {"Premod Filter Selected", q.PremodSelected},
          {"Attenuation (dB)", q.AttenuationDb},
          {"Pattern Type", q.PatternType},
          {"Input Modulation Source", q.InputModulationSource}};
}

Rows WQueryRows(const WQueryResults& w) {
  return {{"Freq Selected (100 khz)", w.FreqSelected100khz},
          {"Deviation", w.Deviation},
          {"Premod Filter Selected", w.PremodFilter},
          {"Clock Rate Msb", w.ClockRateMsb},
          {"Clock Rate Lsb", w.ClockRateLsb},
          {"Control Reg 0", w.ControlReg[0]},
          {"Control Reg 1", w.ControlReg[1]},
          {"Control Reg 2", w.ControlReg[2]},
          {"Format Name Code 1", w.FormatNameCode[0]},
          {"Format Name Code 2", w.FormatNameCode[1]},
          {"Format Name Code 3", w.FormatNameCode[2]},
          {"Format Name Code 4", w.FormatNameCode[3]}};
}

Rows IQueryRows(const IQueryResults& i) {
  return {{"Firmware Version", i.FirmwareVersion},
          {"Max Db", i.MaxDb},
          {"Num Atten Steps", i.NumAttenSteps}};
}

// The JSON keys: the result fields' names, in the rows' order.
const std::vector<const char*> kQueryKeys = {
    "FormatNumber",         "MaxFreqMhz",           "MinFreqMhz",           "PremodFilter1FreqKhz",
    "PremodFilter2FreqKhz", "PremodFilter3FreqKhz", "PremodFilter4FreqKhz", "CurrentFormatLoaded",
    "FreqSelectedMhz",      "DeviationSelected",    "PremodSelected",       "AttenuationDb",
    "PatternType",          "InputModulationSource"};
const std::vector<const char*> kWQueryKeys = {
    "FreqSelected100khz", "Deviation",       "PremodFilter",    "ClockRateMsb",
    "ClockRateLsb",       "ControlReg0",     "ControlReg1",     "ControlReg2",
    "FormatNameCode1",    "FormatNameCode2", "FormatNameCode3", "FormatNameCode4"};
const std::vector<const char*> kIQueryKeys = {"FirmwareVersion", "MaxDb", "NumAttenSteps"};

// The unit's name bytes are not trusted to be printable.
std::string Printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
  return out;
}

// The text form shows what the query page shows: the same captions, the values in the
// units an operator reads (MHz, kHz, dB, names). JSON keeps the unit's raw numbers.
void PrintText(const progqueryclass& q) {
  auto block = [](const char* title, const std::vector<QueryDisplayRow>& rows) {
    std::printf("%s\n", title);
    for (const QueryDisplayRow& row : rows)
      std::printf("  %-28s %s\n", row.caption.c_str(), Printable(row.value).c_str());
  };
  block("Query", QueryGridRows(q.Results, q.WResults, q.IResults));
  block("W-Query", WQueryGridRows(q.WResults));
  std::printf("I-Query\n");
  for (const auto& [caption, value] : IQueryRows(q.IResults))
    std::printf("  %-28s %u\n", caption, value);
}

void PrintJson(const progqueryclass& q) {
  auto object = [](const std::vector<const char*>& keys, const Rows& rows,
                   const std::string& extra) {
    std::string out = "{";
    for (size_t k = 0; k < keys.size(); ++k)
      out += (k ? ", " : "") + JsonString(keys[k]) + ": " + std::to_string(rows[k].second);
    return out + extra + "}";
  };
  std::string json = "{\"query\": " + object(kQueryKeys, QueryRows(q.Results), "") +
                     ",\n \"wQuery\": " +
                     object(kWQueryKeys, WQueryRows(q.WResults),
                            ", \"FormatName\": " + JsonString(FormatNameText(q.WResults))) +
                     ",\n \"iQuery\": " + object(kIQueryKeys, IQueryRows(q.IResults), "") + "}\n";
  std::fputs(json.c_str(), stdout);
}

}  // namespace

int RunQueryCommand(const std::vector<std::string>& args) {
  LinkArguments parsed;
  if (!ParseLinkArguments(args, {"--json"}, parsed) || !parsed.files.empty()) {
    std::cerr << "usage: qm48ctl query [--device PATH] [--json]\n";
    return kExitUsage;
  }
  CommandLineOperatorScope scope;
  UnitLink link;
  if (!OpenPortForCommand(link, parsed.device)) return kExitNoPort;
  progqueryclass query;
  const int code = ReportOutcome("query", query.RunQueries(link));
  if (code != kExitOk) return code;
  if (HasFlag(parsed, "--json"))
    PrintJson(query);
  else
    PrintText(query);
  return std::fflush(stdout) == 0 ? kExitOk : kExitUsage;
}
