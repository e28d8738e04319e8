#include "platform/SerialDevices.h"

#include <grp.h>
#include <libudev.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

constexpr const char* kUdevControl = "/run/udev/control";
// The bus of the serial core's own port objects: its drivers ("port", "ctrl") say nothing
// about the hardware, so the driver is taken from further up.
constexpr const char* kSerialBaseBus = "serial-base";
constexpr const char* kById = "serial/by-id";

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\r'))
    text.pop_back();
  return text;
}

std::string ReadAttribute(const fs::path& file) {
  std::ifstream in(file);
  std::string text;
  if (in) std::getline(in, text, '\0');
  return Trimmed(text);
}

// A serial8250 port the firmware announced but that has no UART reports type 0.
bool IsPhantom(const std::string& uartType) {
  return uartType == "0";
}

// The /dev/serial/by-id name whose link leads to dev/<name>; empty when none.
std::string ByIdFor(const DeviceTree& tree, const std::string& name) {
  std::error_code ec;
  const fs::path dir = fs::path(tree.dev) / kById;
  const fs::path wanted = (fs::path(tree.dev) / name).lexically_normal();
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    std::error_code linkError;
    fs::path target = fs::read_symlink(entry.path(), linkError);
    if (linkError) continue;
    if (target.is_relative()) target = dir / target;
    if (target.lexically_normal() == wanted) found.push_back(entry.path().string());
  }
  std::sort(found.begin(), found.end());  // one name, the same on every call
  return found.empty() ? std::string() : found.front();
}

SerialDevice DeviceFromTree(const DeviceTree& tree, const fs::path& classDir, bool& keep) {
  SerialDevice device;
  keep = false;
  std::error_code ec;
  const std::string name = classDir.filename().string();
  // Virtual terminals, pseudo-terminals and the console have no device behind them.
  if (!fs::exists(classDir / "device", ec)) return device;
  if (IsPhantom(ReadAttribute(classDir / "type"))) return device;
  keep = true;
  device.node = (fs::path(tree.dev) / name).string();
  const fs::path sysRoot = fs::weakly_canonical(tree.sys, ec);
  const fs::path start = fs::canonical(classDir / "device", ec);
  for (fs::path p = start; !ec && p.has_relative_path() && p != sysRoot; p = p.parent_path()) {
    std::error_code driverError;
    const fs::path driver = fs::canonical(p / "driver", driverError);
    if (driverError || driver.parent_path().parent_path().filename() == kSerialBaseBus) continue;
    device.driver = driver.filename().string();
    break;
  }
  for (fs::path p = start; !ec && p.has_relative_path() && p != sysRoot; p = p.parent_path()) {
    if (!fs::exists(p / "idVendor")) continue;
    device.vendor = ReadAttribute(p / "manufacturer");
    device.product = ReadAttribute(p / "product");
    device.serial = ReadAttribute(p / "serial");
    device.usbIds = ReadAttribute(p / "idVendor") + ":" + ReadAttribute(p / "idProduct");
    break;
  }
  device.stablePath = ByIdFor(tree, name);
  if (device.stablePath.empty()) device.stablePath = device.node;
  return device;
}

const char* Attribute(udev_device* device, const char* name) {
  const char* value = device ? udev_device_get_sysattr_value(device, name) : nullptr;
  return value ? value : "";
}

std::vector<SerialDevice> EnumerateWithUdev(bool& ok) {
  std::vector<SerialDevice> devices;
  ok = false;
  udev* context = udev_new();
  if (!context) return devices;
  udev_enumerate* enumerate = udev_enumerate_new(context);
  if (enumerate && udev_enumerate_add_match_subsystem(enumerate, "tty") >= 0 &&
      udev_enumerate_scan_devices(enumerate) >= 0) {
    ok = true;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
      udev_device* tty = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
      if (!tty) continue;
      udev_device* parent = udev_device_get_parent(tty);
      const char* node = udev_device_get_devnode(tty);
      if (parent && node && !IsPhantom(Trimmed(Attribute(tty, "type")))) {
        SerialDevice device;
        device.node = node;
        for (udev_device* p = parent; p; p = udev_device_get_parent(p)) {
          const char* driver = udev_device_get_driver(p);
          const char* bus = udev_device_get_subsystem(p);
          if (!driver || (bus && std::string(bus) == kSerialBaseBus)) continue;
          device.driver = driver;
          break;
        }
        if (udev_device* usb =
                udev_device_get_parent_with_subsystem_devtype(tty, "usb", "usb_device")) {
          device.vendor = Trimmed(Attribute(usb, "manufacturer"));
          device.product = Trimmed(Attribute(usb, "product"));
          device.serial = Trimmed(Attribute(usb, "serial"));
          device.usbIds =
              std::string(Attribute(usb, "idVendor")) + ":" + Attribute(usb, "idProduct");
        }
        std::vector<std::string> byId;
        udev_list_entry* link = nullptr;
        udev_list_entry_foreach(link, udev_device_get_devlinks_list_entry(tty)) {
          std::string path = udev_list_entry_get_name(link);
          if (path.rfind("/dev/serial/by-id/", 0) == 0) byId.push_back(path);
        }
        std::sort(byId.begin(), byId.end());
        // Without the daemon's database the links are not known to udev; /dev still has them.
        device.stablePath =
            byId.empty() ? ByIdFor(DeviceTree{}, fs::path(node).filename()) : byId.front();
        if (device.stablePath.empty()) device.stablePath = device.node;
        devices.push_back(std::move(device));
      }
      udev_device_unref(tty);
    }
  }
  if (enumerate) udev_enumerate_unref(enumerate);
  udev_unref(context);
  return devices;
}

void SortByNode(std::vector<SerialDevice>& devices) {
  std::sort(devices.begin(), devices.end(),
            [](const SerialDevice& a, const SerialDevice& b) { return a.node < b.node; });
}

}  // namespace

std::string DescribeSerialDevice(const SerialDevice& device) {
  std::string text;
  if (!device.namedBy.empty()) {
    text = device.namedBy;
  } else if (!device.product.empty() || !device.vendor.empty()) {
    text = device.product.empty() ? "USB serial adapter" : device.product;
    std::string detail = device.vendor;
    if (!device.serial.empty())
      detail += (detail.empty() ? "" : ", ") + ("serial " + device.serial);
    if (!detail.empty()) text += " (" + detail + ")";
  } else {
    text = fs::path(device.node).filename().string();
    if (!device.driver.empty()) text += " (" + device.driver + ")";
  }
  return text + "  " + device.node;
}

bool UdevRunning() {
  return ::access(kUdevControl, F_OK) == 0;
}

std::vector<SerialDevice> EnumerateSerialDevices() {
  bool ok = false;
  std::vector<SerialDevice> devices = EnumerateWithUdev(ok);
  if (!ok) devices = EnumerateSerialDevicesInTree(DeviceTree{});
  SortByNode(devices);
  return devices;
}

std::vector<SerialDevice> EnumerateSerialDevicesInTree(const DeviceTree& tree) {
  std::vector<SerialDevice> devices;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(fs::path(tree.sys) / "class/tty", ec)) {
    bool keep = false;
    SerialDevice device = DeviceFromTree(tree, entry.path(), keep);
    if (keep) devices.push_back(std::move(device));
  }
  SortByNode(devices);
  return devices;
}

std::string StablePathFor(const std::string& path, const DeviceTree& tree) {
  std::error_code ec;
  if (fs::is_symlink(path, ec)) return path;
  const std::string byId = ByIdFor(tree, fs::path(path).filename().string());
  // Only a node of this tree's /dev has a by-id name.
  if (!byId.empty() && fs::path(path).parent_path() == fs::path(tree.dev)) return byId;
  return path;
}

const SerialDevice* FindSerialDevice(const std::vector<SerialDevice>& devices,
                                     const std::string& path) {
  std::error_code ec;
  const fs::path resolved = fs::canonical(path, ec);
  for (const SerialDevice& device : devices) {
    if (path == device.node || path == device.stablePath) return &device;
    if (!ec && resolved == fs::path(device.node)) return &device;
  }
  return nullptr;
}

void AddNamedSerialDevice(std::vector<SerialDevice>& devices, const std::string& path,
                          const std::string& namedBy) {
  std::error_code ec;
  if (path.empty() || !fs::exists(path, ec) || FindSerialDevice(devices, path)) return;
  SerialDevice device;
  device.node = path;
  device.stablePath = path;
  device.namedBy = namedBy;
  devices.push_back(std::move(device));
}

bool MayOpenDevice(const std::string& path) {
  return ::access(path.c_str(), R_OK | W_OK) == 0;
}

std::string DeviceGroup(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  group entry{};
  group* found = nullptr;
  char buffer[4096];
  if (::getgrgid_r(st.st_gid, &entry, buffer, sizeof buffer, &found) != 0 || !found)
    return std::to_string(st.st_gid);
  return found->gr_name;
}
