#pragma once
// The query object: asks the unit its five questions in a fixed order and keeps the
// answers, which bound the transmitter setup and fill the query page.
#include <array>
#include <cstdint>

#include "link/SendOutcome.h"
#include "link/TransmitBuffer.h"
#include "link/UnitReportedLimits.h"
#include "query/Qm48SendQueryUnit.h"
#include "query/QueryResults.h"

class UnitLink;

class progqueryclass {
 public:
  // Each empties TxBuffer and puts the one command of its query into it.
  void Prep232SetupData();                  // "Q"
  void Prep232WSetupData();                 // "W"
  void Prep232ISetupDataFirmwareVersion();  // "0FI"
  void Prep232ISetupDataMaxDb();            // "0BI"
  void Prep232ISetupDataNumAttenSteps();    // "0CI"

  // The Query, the W-Query and the three I-Queries on the link, each under its own
  // progress dialog. Every query runs even when an earlier one failed; the first failure
  // is returned.
  SendOutcome RunQueries(UnitLink& link, const QueryOptions& options = {});

  // The transmitter limits the unit has reported: a limit counts once a reply carried it.
  TxUnitLimits TxLimits() const;

  QueryResults Results;
  WQueryResults WResults;
  IQueryResults IResults;
  TransmitBuffer TxBuffer{32768};

  // What the last RunQueries got, query by query (Query, W-Query, three I-Queries).
  static constexpr int kQueryCount = 5;
  std::array<SendOutcome, kQueryCount> LastOutcomes{};
  // Set once a reply carried the value; never cleared (the values stay the unit's).
  bool FreqLimitsReceived = false;
  bool AttenStepsReceived = false;

 private:
  void PutCommand(const char* startLabel, const char* writePrefix, const char* command,
                  const char* endLabel);
  SendOutcome RunOne(UnitLink& link, int step, const QueryOptions& options);
};
