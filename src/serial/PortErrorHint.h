#pragma once
// Why a serial device would not open, in words a new user can act on. Shared by the
// program's log, its port menu and qm48ctl.
#include <string>

// What to do about a device that failed to open with errno `error`; empty when there is
// nothing better to say than the system's text.
std::string PortErrorHint(int error);
// The same for the device at path: a device the user may not open is explained by the
// group that owns it (see PermissionHint).
std::string PortErrorHint(int error, const std::string& path);

// "PATH belongs to the group G: join it with sudo usermod -aG G $USER, then log out and in
// again (a new login is needed before the group counts)". The generic dialout advice when
// the owning group cannot be found.
std::string PermissionHint(const std::string& path);

// Opens path the way the port does (read/write, no controlling terminal, an exclusive lock)
// and returns the errno that stops it: ENOTTY for a file that is no terminal, EBUSY for a
// device another program holds, 0 when nothing stops it.
int ProbePortDevice(const std::string& path);

// "cannot open the port PATH: <system text>", followed by "; <hint>" (for PATH) when there
// is one.
// error 0 means the device opened but refused the line settings.
std::string PortOpenFailureText(const std::string& path, int error);
