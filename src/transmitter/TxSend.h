#pragma once
// The transmitter load: the four register writes sent to the unit, and the "Load
// Transmitter" action that first limits the record to what the unit reported.
#include "link/Qm48SendDataUnit.h"
#include "link/UnitReportedLimits.h"

class progtxclass;

// Builds the four writes and sends them under the progress dialog "LOADING TRANSMITTER".
SendOutcome SendRs232Data(progtxclass& tx, const SendOptions& options = {});
// Limits the record by the limits the unit reported, then SendRs232Data.
SendOutcome LimitAndSendTransmitter(progtxclass& tx, const TxUnitLimits& limits,
                                    const SendOptions& options = {});
