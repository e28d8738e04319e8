// Serial devices in a fake /sys and /dev: names, paths that survive a re-plug, phantom ports.
#include "platform/SerialDevices.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

const char kFtdiById[] = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";

// As a 6.x kernel lays it out: class links into /sys/devices, port objects above the ttys.
class FakeTree {
 public:
  FakeTree() {
    fs::create_directories(tree_.sys + "/class/tty");
    fs::create_directories(tree_.dev + "/serial/by-id");
  }
  const DeviceTree& Tree() const { return tree_; }
  std::string Dev(const std::string& name) const { return tree_.dev + "/" + name; }

  // A USB adapter with its descriptor strings (empty: none), its port bound to `driver`.
  void AddUsb(const std::string& tty, const std::string& usbDir, const std::string& driver,
              const std::string& vendor, const std::string& product, const std::string& serial,
              const std::string& byId = "") {
    const std::string usb = "devices/pci0000:00/usb1/" + usbDir;
    Write(usb + "/idVendor", "0403");
    Write(usb + "/idProduct", "6001");
    Write(usb + "/manufacturer", vendor);
    Write(usb + "/product", product);
    Write(usb + "/serial", serial);
    const std::string port = usb + "/" + usbDir + ":1.0/" + tty;
    Bind(port, "usb-serial", driver);
    AddTty(tty, port);
    if (!byId.empty()) fs::create_symlink("../../" + tty, Dev("serial/by-id/" + byId));
  }
  // An on-board port: the platform device, the serial core's port object and the UART type.
  void AddOnBoard(const std::string& tty, const std::string& uartType) {
    const std::string board = "devices/pnp0/00:0" + tty.substr(4), port = board + "/ctrl/port.0";
    Bind(board, "pnp", "serial");
    Bind(port, "serial-base", "port");
    AddTty(tty, port);
    Write(port + "/tty/" + tty + "/type", uartType);
  }
  void AddVirtual(const std::string& tty) {  // no device behind it
    fs::create_directories(Sys("devices/virtual/tty/" + tty));
    fs::create_symlink("../../devices/virtual/tty/" + tty, Sys("class/tty/" + tty));
    std::ofstream{Dev(tty)};
  }
  void Unplug(const std::string& tty, const std::string& byId) {
    for (const std::string& path : {Sys("class/tty/" + tty), Dev(tty), Dev("serial/by-id/" + byId)})
      fs::remove(path);
  }

 private:
  std::string Sys(const std::string& rel) const { return tree_.sys + "/" + rel; }
  void Write(const std::string& rel, const std::string& text) {  // empty: no such file
    if (text.empty()) return;
    fs::create_directories(fs::path(Sys(rel)).parent_path());
    std::ofstream(Sys(rel)) << text << "\n";
  }
  void Bind(const std::string& rel, const std::string& bus, const std::string& driver) {
    fs::create_directories(Sys(rel));
    fs::create_directories(Sys("bus/" + bus + "/drivers/" + driver));
    fs::create_symlink(Sys("bus/" + bus + "/drivers/" + driver), Sys(rel + "/driver"));
  }
  void AddTty(const std::string& tty, const std::string& port) {
    const std::string dir = port + "/tty/" + tty;
    fs::create_directories(Sys(dir));
    fs::create_symlink("../..", Sys(dir + "/device"));
    fs::create_symlink("../../" + dir, Sys("class/tty/" + tty));
    std::ofstream{Dev(tty)};
  }

  TempDir dir_;
  DeviceTree tree_{dir_.Path() + "/sys", dir_.Path() + "/dev"};
};

}  // namespace

TEST(SerialDevices, TheFakeTreeIsDescribedAsTheOperatorSeesIt) {
  FakeTree fake;
  fake.AddUsb("ttyUSB0", "1-1", "ftdi_sio", "FTDI", "FT232R USB UART", "A50285BI", kFtdiById);
  fake.AddUsb("ttyUSB1", "1-2", "pl2303", "Prolific Technology Inc.", "USB-Serial Controller", "");
  fake.AddUsb("ttyACM0", "1-3", "cdc_acm", "", "Pico", "E6614C31");
  fake.AddOnBoard("ttyS0", "4");  // a 16550A
  fake.AddOnBoard("ttyS1", "0");  // announced by the firmware, no UART behind it
  fake.AddVirtual("tty0");

  const std::tuple<std::string, std::string, std::string, std::string> expected[] = {
      {"ttyACM0", "ttyACM0", "cdc_acm", "Pico (serial E6614C31)"},
      {"ttyS0", "ttyS0", "serial", "ttyS0 (serial)"},
      {"ttyUSB0", std::string("serial/by-id/") + kFtdiById, "ftdi_sio",
       "FT232R USB UART (FTDI, serial A50285BI)"},
      {"ttyUSB1", "ttyUSB1", "pl2303", "USB-Serial Controller (Prolific Technology Inc.)"},
  };
  std::vector<SerialDevice> devices = EnumerateSerialDevicesInTree(fake.Tree());
  ASSERT_EQ(devices.size(), std::size(expected));
  for (size_t i = 0; i < devices.size(); ++i) {
    const auto& [tty, stable, driver, description] = expected[i];
    SCOPED_TRACE(tty);
    EXPECT_EQ(devices[i].node, fake.Dev(tty));
    EXPECT_EQ(devices[i].stablePath, fake.Dev(stable));
    EXPECT_EQ(devices[i].driver, driver);
    EXPECT_EQ(DescribeSerialDevice(devices[i]), description + "  " + fake.Dev(tty));
  }
  EXPECT_EQ(devices[2].usbIds, "0403:6001");
  EXPECT_EQ(devices[1].usbIds, "");
  EXPECT_TRUE(EnumerateSerialDevicesInTree(DeviceTree{"/nonexistent/sys", "/nonexistent"}).empty());
  EXPECT_TRUE(EnumerateSerialDevicesInTree(FakeTree().Tree()).empty());

  // A configured device is added once, when it is there and not listed under another name.
  TempDir dir;
  const std::string link = dir.File("qm48-link");
  fs::create_symlink(fake.Dev("ttyUSB0"), dir.File("to-usb0"));
  std::ofstream{dir.File("pty-stand-in")};
  fs::create_symlink(dir.File("pty-stand-in"), link);
  AddNamedSerialDevice(devices, link, "COM1 in Qm48Com.Cfg");
  AddNamedSerialDevice(devices, link, "COM2 in Qm48Com.Cfg");                 // already listed
  AddNamedSerialDevice(devices, dir.File("to-usb0"), "COM3 in Qm48Com.Cfg");  // the adapter
  AddNamedSerialDevice(devices, "", "COM5 in Qm48Com.Cfg");
  ASSERT_EQ(devices.size(), 5u);
  EXPECT_EQ(DescribeSerialDevice(devices[4]), "COM1 in Qm48Com.Cfg  " + link);
  EXPECT_EQ(devices[4].stablePath, link);
}

TEST(SerialDevices, StablePathAndAReturningAdapterUnderAnotherNode) {
  FakeTree fake;
  fake.AddUsb("ttyUSB0", "1-1", "ftdi_sio", "FTDI", "FT232R USB UART", "A50285BI", kFtdiById);
  fake.AddOnBoard("ttyS0", "4");
  const std::string byId = fake.Dev(std::string("serial/by-id/") + kFtdiById);

  // A plain node gets its by-id name; a link is already stable; a node without one stays.
  EXPECT_EQ(StablePathFor(fake.Dev("ttyUSB0"), fake.Tree()), byId);
  EXPECT_EQ(StablePathFor(byId, fake.Tree()), byId);
  EXPECT_EQ(StablePathFor(fake.Dev("ttyS0"), fake.Tree()), fake.Dev("ttyS0"));
  std::vector<SerialDevice> devices = EnumerateSerialDevicesInTree(fake.Tree());
  ASSERT_NE(FindSerialDevice(devices, byId), nullptr);
  EXPECT_EQ(FindSerialDevice(devices, byId)->node, fake.Dev("ttyUSB0"));
  EXPECT_EQ(FindSerialDevice(devices, fake.Dev("ttyUSB0"))->stablePath, byId);

  fake.Unplug("ttyUSB0", kFtdiById);  // the stable name leads nowhere
  devices = EnumerateSerialDevicesInTree(fake.Tree());
  EXPECT_EQ(FindSerialDevice(devices, byId), nullptr);
  EXPECT_EQ(devices.size(), 1u);
  // Back under another node while ttyUSB0 was taken by something else: the same name.
  fake.AddUsb("ttyUSB1", "1-4", "ftdi_sio", "FTDI", "FT232R USB UART", "A50285BI", kFtdiById);
  devices = EnumerateSerialDevicesInTree(fake.Tree());
  ASSERT_NE(FindSerialDevice(devices, byId), nullptr);
  EXPECT_EQ(FindSerialDevice(devices, byId)->node, fake.Dev("ttyUSB1"));
  EXPECT_EQ(FindSerialDevice(devices, fake.Dev("ttyUSB0")), nullptr);
}
