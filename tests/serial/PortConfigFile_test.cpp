// The port configuration file "Qm48Com.Cfg": defaults, reading, saving and the device map.
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "serial/PortConfig.h"
#include "serial/PortDeviceList.h"
#include "serial/SerialTestKit.h"

namespace {

class PortConfigFile : public testing::Test {
 protected:
  std::string Cfg() const { return folder.Dir().File("Qm48Com.Cfg"); }
  void WriteCfg(const std::string& text) const { std::ofstream(Cfg(), std::ios::binary) << text; }
  // The record as the file would hold it: the keys in order.
  static std::string Keys(const PortConfig& c) {
    std::ostringstream s;
    s << c.PortNum << " " << c.PortName << " " << c.BaudRate << " " << c.UserDefBaudRate << " "
      << c.FlowControl << " " << c.DataBits << " " << c.Parity << " " << c.StopBits << " "
      << c.MaxRxBufSize << " " << c.MaxTxBufSize;
    return s.str();
  }
  SerialTestFolder folder;
};

TEST_F(PortConfigFile, DefaultsKeepTheUserDefinedRateAndReadingMendsWhatLiesOutsideTheTables) {
  PortConfig config{.PortNum = 5, .BaudRate = 20, .UserDefBaudRate = 31250, .MonitorModem = 1};
  SetPortName(config, "elsewhere");
  DefaultPortConfig(config);
  EXPECT_EQ(Keys(config), "0 COM1 8 31250 0 3 0 0 1 0");
  EXPECT_EQ(config.MonitorModem, 0);
  EXPECT_EQ(PortConfigFilePath(), folder.Dir().Path() + "/Qm48Com.Cfg");
  config.BaudRate = 3;
  EXPECT_FALSE(LoadPortConfig(config, Cfg()));  // no file
  for (const char* text :
       {"[PortConfig]\r\nBaudRate=5\r\n", "[PortConfig]\r\nPortNum=two\r\nBaudRate=5\r\n"}) {
    WriteCfg(text);
    EXPECT_FALSE(LoadPortConfig(config, Cfg())) << text;  // no port number: nothing read
  }
  EXPECT_EQ(config.BaudRate, 3);
  WriteCfg("[PortConfig]\r\nPortNum=2\r\n");
  config = PortConfig{};
  ASSERT_TRUE(LoadPortConfig(config, Cfg()));
  EXPECT_EQ(Keys(config), "2  8 0 0 3 0 0 32 32");  // defaults, no name, smallest buffers
  WriteCfg(
      "[PortConfig]\r\nPortNum=15\r\nPortName=/dev/ttyUSB0-adapter\r\nBaudRate=20\r\n"
      "UserDefBaudRate=31250\r\nFlowControl=4\r\nDataBits=2\r\nParity=3\r\nStopBits=2\r\n"
      "MaxRxBufSize=4096\r\nMaxTxBufSize=8\r\n");
  ASSERT_TRUE(LoadPortConfig(config, Cfg()));
  EXPECT_EQ(Keys(config), "15 /dev/ttyUS 20 31250 4 2 3 2 4096 32");
  WriteCfg(
      "[PortConfig]\r\nPortNum=16\r\nBaudRate=21\r\nFlowControl=6\r\nDataBits=-1\r\n"
      "Parity=5\r\nStopBits=3\r\nUserDefBaudRate=-5\r\n");
  ASSERT_TRUE(LoadPortConfig(config, Cfg()));
  EXPECT_EQ(Keys(config), "0  8 31250 0 3 0 0 4096 32");  // a negative rate keeps the old one
  EXPECT_EQ(folder.LogCount("is outside its table"), 6);
}

// The old file stays as ".BAK" and a reader holding it still sees it whole; sections stay.
TEST_F(PortConfigFile, SaveWritesTheKeysInOrderKeepsABackupAndTheDeviceMap) {
  const std::string old =
      "[PortConfig]\r\nPortNum=1\r\n[PortDevices]\r\nCOM1=/dev/ttyS0\r\nCOM3=/dev/"
      "ttyUSB0\r\n[Other]\r\nKey=kept\r\n";
  WriteCfg(old);
  std::ifstream reader(Cfg(), std::ios::binary);
  struct stat before {};
  ASSERT_EQ(::stat(Cfg().c_str(), &before), 0);
  PortConfig config{4, "COM5", 20, 250000, 1, 2, 4, 1, /* MonitorModem */ 1, 1, 4096};
  const std::string byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  ASSERT_TRUE(SavePortConfig(config, PortDeviceChoices{{2, byId}, {4, "/tmp/qm48-link"}, {16, "x"}},
                             Cfg()));
  EXPECT_EQ(ReadAll(Cfg() + ".BAK"), old);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reader), {}), old);
  struct stat after {};
  ASSERT_EQ(::stat(Cfg().c_str(), &after), 0);
  EXPECT_NE(before.st_ino, after.st_ino);
  EXPECT_EQ(CrLfLines(ReadAll(Cfg())),
            (std::vector<std::string>{
                "[PortConfig]", "PortNum=4", "PortName=COM5", "BaudRate=20",
                "UserDefBaudRate=250000", "FlowControl=1", "DataBits=2", "Parity=4", "StopBits=1",
                "MaxRxBufSize=1", "MaxTxBufSize=4096", "[PortDevices]", "COM1=/dev/ttyS0",
                "COM3=" + byId, "COM5=/tmp/qm48-link", "[Other]", "Key=kept"}));
  PortConfig back;
  ASSERT_TRUE(LoadPortConfig(back, Cfg()));
  config.MaxRxBufSize = 32;  // raised on reading
  EXPECT_EQ(Keys(back), Keys(config));
  EXPECT_EQ(back.MonitorModem, 0);  // not stored
  EXPECT_EQ(ConfiguredPortDevice(2, Cfg()), byId);
  EXPECT_EQ(ConfiguredPortDevice(1, Cfg()), "");
  ASSERT_TRUE(SavePortConfig(config, Cfg()));
  EXPECT_EQ(PortDevicePath(4, Cfg()), "/tmp/qm48-link");  // the map survives a plain save
  // Nothing but the file, its backup and the log is left.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Dir().Path()), {}), 3);
}

// The device list offers the devices the file names even where the system lists none.
TEST_F(PortConfigFile, DevicePathsAndNamedDevices) {
  EXPECT_EQ(PortDevicePath(0, Cfg()), "/dev/ttyS0");  // no file
  EXPECT_TRUE(SavePortConfig(PortConfig{}, Cfg()));   // nothing to keep a backup of
  WriteCfg(
      "[PortDevices]\r\nCOM3=/dev/ttyUSB0\r\nCOM16 = /dev/serial/by-id/usb-adapter\r\nCOM2=\r\n");
  EXPECT_EQ(PortDevicePath(2, Cfg()), "/dev/ttyUSB0");
  EXPECT_EQ(PortDevicePath(15, Cfg()), "/dev/serial/by-id/usb-adapter");
  EXPECT_EQ(PortDevicePath(1, Cfg()), "/dev/ttyS1");  // empty entry: the default
  EXPECT_EQ(PortDevicePath(16, Cfg()) + PortDevicePath(-1, Cfg()), "");
  EXPECT_EQ(PortDevicePath(2), "/dev/ttyUSB0");  // the start directory's file
  PtyPair pty;
  const std::string link = folder.Dir().File("qm48-link"), gone = folder.Dir().File("gone");
  ASSERT_EQ(::symlink(pty.SlavePath().c_str(), link.c_str()), 0);
  EXPECT_EQ(PortDeviceLine(link), "Device: " + link + " \u2192 " + pty.SlavePath() + " (present)");
  EXPECT_EQ(PortDeviceLine(pty.SlavePath()), "Device: " + pty.SlavePath() + " (present)");
  EXPECT_EQ(PortDeviceLine(gone), "Device: " + gone + " (not present)");
  EXPECT_EQ(PortDeviceLine(""), "");
  WriteCfg("[PortDevices]\r\nCOM2=" + link + "\r\nCOM4=" + gone + "\r\n");
  std::vector<SerialDevice> devices = ListPortDevices(Cfg());
  const SerialDevice* named = FindSerialDevice(devices, link);
  ASSERT_NE(named, nullptr);
  EXPECT_EQ(DescribeSerialDevice(*named), "COM2 in Qm48Com.Cfg  " + link);
  EXPECT_EQ(FindSerialDevice(devices, gone), nullptr);
}

}  // namespace
