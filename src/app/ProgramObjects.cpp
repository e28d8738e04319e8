#include "app/ProgramObjects.h"

SetupSession& AppSession() {
  // Never destroyed: the names below stay valid to the end of the process. Without
  // program objects until the window's start-up renews it.
  static SetupSession* const session = new SetupSession(SetupSession::NoProgramObjects{});
  return *session;
}

std::string gCurrentFileName;
bool gDebugMenuShown = false;
