#pragma once
// One exchange with the unit: send a command on the link's port and wait for the carriage
// return of its reply line.
#include <chrono>
#include <string>

class SenderThread;
class serialcomclass;
class UnitLink;

enum class ReplyWaitResult { Replied, TimedOut, Stopped, Disconnected };

// Clears the reply event (and the link's reply line when clearReplyLine) just before sending, so
// that nothing left from an earlier reply answers this command, sends the command and
// waits up to timeoutMs for the reply. The wait goes in short slices so that a port that
// vanished or a stop request ends it at once.
ReplyWaitResult SendAndAwaitReply(UnitLink& link, serialcomclass& port, const std::string& command,
                                  int timeoutMs, bool clearReplyLine, const SenderThread& thread);

// Waits until `deadline` for the reply event, in the same slices: after a reply, whether
// another line follows. TimedOut when none came.
ReplyWaitResult AwaitReplyUntil(serialcomclass& port,
                                std::chrono::steady_clock::time_point deadline,
                                const SenderThread& thread);
