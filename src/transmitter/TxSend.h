#pragma once
// The transmitter load: the four register writes sent to the unit, and the "Load
// Transmitter" action that first limits the record to what the unit reported.
#include "link/Qm48SendDataUnit.h"
#include "link/UnitReportedLimits.h"

class progtxclass;
class UnitLink;

// Builds the four writes and sends them on the link under the progress dialog
// "LOADING TRANSMITTER".
SendOutcome SendRs232Data(UnitLink& link, progtxclass& tx, const SendOptions& options = {});
// Limits the record by the limits the unit reported, then SendRs232Data.
SendOutcome LimitAndSendTransmitter(UnitLink& link, progtxclass& tx, const TxUnitLimits& limits,
                                    const SendOptions& options = {});
