#pragma once
// One running copy of the program: the first holds the lock "Qm48_SingleInstance" for
// the life of its process; a second is told so and ends at once.
#include "platform/SingleInstanceLock.h"

extern const char* const kAlreadyRunningText;  // "PROGRAM ALREADY RUNNING, KILL THAT VERSION FIRST"

// Takes the lock or, when another copy holds it, tells the operator and ends the process
// without any clean-up (nothing of this run exists yet, and the other copy's files must
// not be touched).
void RefuseSecondInstance(SingleInstanceLock& lock);
