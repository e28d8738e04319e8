#include "app/ProgramObjects.h"

#include "query/Qm48QueryUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "transmitter/Qm48TransmitterUnit.h"

std::unique_ptr<progsimulatorclass> SimProg;
std::unique_ptr<progtxclass> TxProg;
std::unique_ptr<progqueryclass> QueryProg;
std::string gCurrentFileName;
bool gDebugMenuShown = false;
