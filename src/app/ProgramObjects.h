#pragma once
// The program-wide objects the shell creates at start-up and keeps until it closes.
#include <memory>
#include <string>

class progsimulatorclass;
class progtxclass;
class progqueryclass;

extern std::unique_ptr<progsimulatorclass> SimProg;
extern std::unique_ptr<progtxclass> TxProg;
extern std::unique_ptr<progqueryclass> QueryProg;

// Path of the current setup file as the operator chose it; empty when none. The caption
// shows its title in upper case.
extern std::string gCurrentFileName;
// The hidden "Debug" menu entry is shown (Ctrl+D).
extern bool gDebugMenuShown;
