#include "transmitter/TxSend.h"

#include "support/ProgramLog.h"
#include "support/Signals.h"
#include "transmitter/Qm48TransmitterUnit.h"

SendOutcome SendRs232Data(UnitLink& link, progtxclass& tx, const SendOptions& options) {
  tx.Prep232TxSetupData();
  LogDetail("TRANSMITTER Send RS232 Data START", 0);
  SendOutcome outcome = SendBuffer(link, "LOADING TRANSMITTER", tx.TxBuffer, options);
  LogDetail("TRANSMITTER Send RS232 Data END", 0);
  if (gDebugLogging.load(std::memory_order_relaxed)) SignalGood();
  return outcome;
}

SendOutcome LimitAndSendTransmitter(UnitLink& link, progtxclass& tx, const TxUnitLimits& limits,
                                    const SendOptions& options) {
  tx.LimitToUnit(limits);
  return SendRs232Data(link, tx, options);
}
