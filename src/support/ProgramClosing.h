#pragma once
// Set once when the program is closing: senders stop and the port handler ignores events.
// It lives down here because the port and the senders look at it from their threads.
#include <atomic>

extern std::atomic<bool> gShuttingDown;
