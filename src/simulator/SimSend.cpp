// The simulator load: the load sequence, then the command sender on it.
#include "simulator/Qm48SimulatorUnit.h"
#include "support/ProgramLog.h"
#include "support/Signals.h"

SendOutcome progsimulatorclass::Send232SimSetupData(UnitLink& link, const SimLoadFormat& format,
                                                    const SendOptions& options) {
  Prep232SimSetupData(format);
  LogDetail("SIMULATOR Send RS232 Data START", 0);
  SendOutcome outcome = SendBuffer(link, "LOADING SIMULATOR", TxBuffer, options);
  LogDetail("SIMULATOR Send RS232 Data END", 0);
  if (gDebugLogging.load(std::memory_order_relaxed)) SignalGood();
  return outcome;
}
