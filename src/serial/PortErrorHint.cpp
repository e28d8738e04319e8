#include "serial/PortErrorHint.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/SerialDevices.h"
#include "platform/SystemErrorText.h"
#include "platform/UniqueFd.h"

std::string PortErrorHint(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return "no such device: plug in the adapter, or name its device for this port in the "
             "section PortDevices of Qm48Com.Cfg (e.g. COM1=/dev/ttyUSB0)";
    case EACCES:
    case EPERM:
      return "add yourself to the dialout group: sudo usermod -aG dialout $USER, then log in "
             "again";
    case EBUSY:
      return "another program is using the port: close it (a terminal program, another qm48 "
             "or qm48ctl) and try again";
    case ENOTTY:
      return "this is not a serial device: check the section PortDevices of Qm48Com.Cfg";
    case EIO:
      return "the device does not answer: unplug the adapter and plug it in again";
    default:
      return {};
  }
}

std::string PortErrorHint(int error, const std::string& path) {
  if (error == EACCES || error == EPERM) return PermissionHint(path);
  return PortErrorHint(error);
}

std::string PermissionHint(const std::string& path) {
  const std::string group = DeviceGroup(path);
  // A device only root may open has no group to join.
  if (group.empty() || group == "root") return PortErrorHint(EACCES);
  return path + " belongs to the group " + group + ": join it with sudo usermod -aG " + group +
         " $USER, then log out and in again (a new login is needed before the group counts)";
}

int ProbePortDevice(const std::string& path) {
  const UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd) return errno;
  if (::isatty(fd.Get()) != 1) return ENOTTY;
  if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) return errno == EWOULDBLOCK ? EBUSY : errno;
  return 0;
}

std::string PortOpenFailureText(const std::string& path, int error) {
  std::string text =
      "cannot open the port " + path + ": " +
      (error == 0 ? std::string("the line settings were refused") : SystemErrorText(error));
  const std::string hint = PortErrorHint(error, path);
  if (!hint.empty()) text += "; " + hint;
  return text;
}
