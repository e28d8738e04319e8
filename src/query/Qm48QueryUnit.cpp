#include "query/Qm48QueryUnit.h"

#include "support/ProgramLog.h"
#include "support/Signals.h"

namespace {

constexpr const char* kStartDashes = "------------------------------------------";
constexpr const char* kEndDashes = "--------------------------------------------";

// Token positions of the frequency limits in the Query reply.
constexpr int kMinFreqToken = 1;
constexpr int kMaxFreqToken = 2;
constexpr int kNumAttenStepsIndex = 2;

struct QueryStep {
  QueryKind kind;
  const char* caption;
  const char* startLabel;
  const char* endLabel;
};

const std::array<QueryStep, progqueryclass::kQueryCount> kSteps = {{
    {{false, false, 0},
     "LOADING QUERY INFO",
     "QUERY Send RS232 Data START",
     "QUERY Send RS232 Data END"},
    {{true, false, 0},
     "LOADING W-QUERY INFO",
     "W - QUERY Send RS232 Data START",
     "W - QUERY Send RS232 Data END"},
    {{false, true, 0},
     "LOADING I-QUERY INFO",
     "I - QUERY Send RS232 Data START, Firmware Version",
     "I - QUERY Send RS232 Data END, Firmware Version"},
    {{false, true, 1},
     "LOADING I-QUERY INFO",
     "I - QUERY Send RS232 Data START, Max Db",
     "I - QUERY Send RS232 Data END, Max Db"},
    {{false, true, 2},
     "LOADING I-QUERY INFO",
     "I - QUERY Send RS232 Data START, Num Atten Steps",
     "I - QUERY Send RS232 Data END, Num Atten Steps"},
}};

}  // namespace

void progqueryclass::PutCommand(const char* startLabel, const char* writePrefix,
                                const char* command, const char* endLabel) {
  TxBuffer.ClearTxBuffer();
  LogDetail(kStartDashes, 0);
  LogDetail(startLabel, 0);
  TxBuffer.AppendCommand(command);
  LogDetail(std::string(writePrefix) + command, static_cast<int>(TxBuffer.Fill()));
  LogDetail(endLabel, 0);
  LogDetail(kEndDashes, 0);
}

void progqueryclass::Prep232SetupData() {
  PutCommand("QUERY Prep232SetupData Routine START", "      Query Write ---  : ", "Q",
             "QUERY Prep232SetupData Routine END");
}

void progqueryclass::Prep232WSetupData() {
  PutCommand("W-QUERY Prep232SetupData Routine START", "     W Query Write ---  : ", "W",
             "W-QUERY Prep232SetupData Routine END");
}

void progqueryclass::Prep232ISetupDataFirmwareVersion() {
  PutCommand("I-QUERY Prep232ISetupDataFirmwareVersion Routine START",
             "     I Query Write ---  : ", "0FI",
             "I-QUERY Prep232ISetupDataFirmwareVersion Routine END");
}

void progqueryclass::Prep232ISetupDataMaxDb() {
  PutCommand("I-QUERY Prep232ISetupDataMaxDb Routine START", "     I Query Write ---  : ", "0BI",
             "I-QUERY Prep232ISetupDataMaxDb Routine END");
}

void progqueryclass::Prep232ISetupDataNumAttenSteps() {
  PutCommand("I-QUERY Prep232ISetupDataNumAttenSteps Routine START",
             "     I Query Write ---  : ", "0CI",
             "I-QUERY Prep232ISetupDataNumAttenSteps Routine END");
}

SendOutcome progqueryclass::RunOne(UnitLink& link, int step, const QueryOptions& options) {
  switch (step) {
    case 0:
      Prep232SetupData();
      break;
    case 1:
      Prep232WSetupData();
      break;
    case 2:
      Prep232ISetupDataFirmwareVersion();
      break;
    case 3:
      Prep232ISetupDataMaxDb();
      break;
    default:
      Prep232ISetupDataNumAttenSteps();
      break;
  }
  const QueryStep& s = kSteps[static_cast<size_t>(step)];
  LogDetail(s.startLabel, 0);
  ReplyParse parse;
  SendOutcome outcome = SendQuery(link, s.caption, s.kind, {&Results, &WResults, &IResults},
                                  TxBuffer.Data(), TxBuffer.Fill(), options, &parse);
  LogDetail(s.endLabel, 0);
  if (outcome.commandsAnswered > 0) {
    if (step == 0 && parse.Stored(kMinFreqToken) && parse.Stored(kMaxFreqToken))
      FreqLimitsReceived = true;
    if (s.kind.iQuery && s.kind.iIndex == kNumAttenStepsIndex && parse.Stored(0))
      AttenStepsReceived = true;
  }
  return outcome;
}

SendOutcome progqueryclass::RunQueries(UnitLink& link, const QueryOptions& options) {
  SendOutcome first;
  bool failed = false;
  for (int step = 0; step < kQueryCount; ++step) {
    SendOutcome outcome = RunOne(link, step, options);
    LastOutcomes[static_cast<size_t>(step)] = outcome;
    if (!outcome.Ok() && !failed) {
      first = outcome;
      failed = true;
    }
    if (!failed) first.commandsAnswered += outcome.commandsAnswered;
  }
  if (gDebugLogging.load(std::memory_order_relaxed)) SignalGood();
  return first;
}

TxUnitLimits progqueryclass::TxLimits() const {
  TxUnitLimits limits;
  limits.FreqLimitsKnown = FreqLimitsReceived;
  limits.MinFreqMhz = Results.MinFreqMhz;
  limits.MaxFreqMhz = Results.MaxFreqMhz;
  limits.AttenStepsKnown = AttenStepsReceived;
  limits.NumAttenSteps = IResults.NumAttenSteps;
  return limits;
}
