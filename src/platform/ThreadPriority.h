#pragma once
// A thread asks for a higher scheduling priority than its peers (a lower nice value of its
// own: Linux schedules each thread by its own nice value).
#include <string>

// Lowers the calling thread's nice value by `steps` (at most to -20). True with the new
// value in `nice`; false with the system's reason in `reason` when it refuses (an ordinary
// user may not raise priority without a nice limit granted by the system).
bool RaiseCallingThreadPriority(int steps, int& nice, std::string& reason);
// The calling thread's nice value.
int CallingThreadNice();
