// port-device: points one port name of a port configuration file at a device, through the
// program's own profile store, without touching anything else in the file.
//   port-device FILE COMn DEVICE
// Exit 0: the entry now names DEVICE (added, or it already did); 3: the entry names
// another device and was left alone (printed on stdout); 2: usage or write failure.
#include <iostream>
#include <string>

#include "support/ProfileStore.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: port-device FILE COMn DEVICE\n";
    return 2;
  }
  const std::string file = argv[1], port = argv[2], device = argv[3];
  std::string current;
  if (PathExists(file) && ReadProfileString(file, "PortDevices", port, current) &&
      !current.empty()) {
    if (current == device) return 0;
    std::cout << current << "\n";
    return 3;
  }
  return WriteProfileString(file, "PortDevices", port, device) ? 0 : 2;
}
