#include "support/ProgramClosing.h"

std::atomic<bool> gShuttingDown{false};
