#pragma once
// The crash handler: SIGSEGV, SIGABRT, SIGFPE, SIGBUS and SIGILL write "Abnormal Program
// Termination" (tag 5000) and the end banner to the program log, mark the program as
// shutting down, give a waiting sender a moment to see it, then end the process with the
// same signal (so a core dump and the exit status stay as they would be). Only
// async-signal-safe calls run in the handler: the log file is opened and the clock read
// when the handler is installed, and the line is built without allocating.
#include <cstddef>
#include <string>

extern const char* const kAbnormalTerminationText;  // "Abnormal Program Termination"
constexpr int kAbnormalTerminationTag = 5000;

// Installs the handler for the five signals; its lines are appended to logPath (the open
// program log). False when the file could not be opened (the handler still ends the
// process with the signal, after the other steps).
bool InstallTerminationHandler(const std::string& logPath);
// Puts the previous handlers back and closes the file.
void RemoveTerminationHandler();

// One log line as the program log writes it ("005000  DDD:HH:MM:SS.ssssss  text\r\n"),
// into buffer without allocating; the length written (0 when it does not fit).
size_t FormatLogLine(char* buffer, size_t size, int tag, double secondsOfYear, const char* text);
