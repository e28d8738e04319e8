#include "app/gui/SingleInstance.h"

#include <cstdio>
#include <cstdlib>

#include "app/ProgramVersion.h"
#include "support/Operator.h"

const char* const kAlreadyRunningText = "PROGRAM ALREADY RUNNING, KILL THAT VERSION FIRST";

void RefuseSecondInstance(SingleInstanceLock& lock) {
  if (lock.TryAcquire()) return;
  // Also on the terminal: there is no log yet, and a script starting us should see why.
  std::fprintf(stderr, "qm48: %s (%s: %s)\n", kAlreadyRunningText, lock.Path().c_str(),
               lock.ErrorText().c_str());
  std::fflush(stderr);
  Operator().MessageBox(kAlreadyRunningText, kProgramTitle, MsgButtons::Ok, MsgIcon::Error);
  std::_Exit(EXIT_FAILURE);
}
