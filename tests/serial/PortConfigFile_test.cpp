// The port configuration file "Qm48Com.Cfg": defaults, reading, saving and the device map.
#include <sys/stat.h>

#include <fstream>

#include "serial/PortConfig.h"
#include "serial/PortDeviceList.h"
#include "serial/SerialTestKit.h"

namespace {
class PortConfigFile : public testing::Test {
 protected:
  std::string Cfg() const { return folder.Dir().File("Qm48Com.Cfg"); }
  void WriteCfg(const std::string& text) const { std::ofstream(Cfg(), std::ios::binary) << text; }
  SerialTestFolder folder;
};

void ExpectSame(const PortConfig& a, const PortConfig& b) {
  EXPECT_EQ(a.PortNum, b.PortNum);
  EXPECT_STREQ(a.PortName, b.PortName);
  EXPECT_EQ(a.BaudRate, b.BaudRate);
  EXPECT_EQ(a.UserDefBaudRate, b.UserDefBaudRate);
  EXPECT_EQ(a.FlowControl, b.FlowControl);
  EXPECT_EQ(a.DataBits, b.DataBits);
  EXPECT_EQ(a.Parity, b.Parity);
  EXPECT_EQ(a.StopBits, b.StopBits);
  EXPECT_EQ(a.MaxRxBufSize, b.MaxRxBufSize);
  EXPECT_EQ(a.MaxTxBufSize, b.MaxTxBufSize);
}

TEST_F(PortConfigFile, DefaultsKeepTheUserDefinedRate) {
  PortConfig config;
  config.PortNum = 5;
  config.BaudRate = 20;
  config.UserDefBaudRate = 31250;
  config.MonitorModem = 1;
  SetPortName(config, "elsewhere");
  DefaultPortConfig(config);
  PortConfig expected;
  expected.UserDefBaudRate = 31250;
  ExpectSame(config, expected);
  EXPECT_STREQ(config.PortName, "COM1");
  EXPECT_EQ(config.BaudRate, 8);
  EXPECT_EQ(config.MonitorModem, 0);
  EXPECT_EQ(BaudRateOf(config.BaudRate, 0), 19200u);
  EXPECT_EQ(BaudRateOf(20, 31250), 31250u);
  EXPECT_EQ(BaudRateOf(21, 31250), 0u);
  EXPECT_EQ(PortConfigFilePath(), folder.Dir().Path() + "/Qm48Com.Cfg");
}

TEST_F(PortConfigFile, MissingFileOrPortNumReadsNothing) {
  PortConfig config;
  config.BaudRate = 3;
  EXPECT_FALSE(LoadPortConfig(config, Cfg()));
  EXPECT_EQ(config.BaudRate, 3);
  WriteCfg("[PortConfig]\r\nBaudRate=5\r\nPortName=COM9\r\n");
  EXPECT_FALSE(LoadPortConfig(config, Cfg()));
  EXPECT_EQ(config.BaudRate, 3);
  EXPECT_STREQ(config.PortName, "COM1");
  WriteCfg("[PortConfig]\r\nPortNum=two\r\nBaudRate=5\r\n");
  EXPECT_FALSE(LoadPortConfig(config, Cfg()));
  EXPECT_EQ(config.BaudRate, 3);
}

TEST_F(PortConfigFile, OnlyAPortNumberGivesDefaultsAndSmallestBuffers) {
  WriteCfg("[PortConfig]\r\nPortNum=2\r\n");
  PortConfig config;
  ASSERT_TRUE(LoadPortConfig(config, Cfg()));
  PortConfig expected;
  expected.PortNum = 2;
  expected.PortName[0] = 0;  // a missing name leaves it empty
  expected.MaxRxBufSize = 32;
  expected.MaxTxBufSize = 32;
  ExpectSame(config, expected);
  EXPECT_STREQ(kPortNames[config.PortNum], "COM3");
}

TEST_F(PortConfigFile, ReadsEveryKeyAndMendsWhatLiesOutsideTheTables) {
  WriteCfg(
      "[PortConfig]\r\nPortNum=15\r\nPortName=/dev/ttyUSB0-adapter\r\nBaudRate=20\r\n"
      "UserDefBaudRate=31250\r\nFlowControl=4\r\nDataBits=2\r\nParity=3\r\nStopBits=2\r\n"
      "MaxRxBufSize=4096\r\nMaxTxBufSize=8\r\n");
  PortConfig config;
  ASSERT_TRUE(LoadPortConfig(config, Cfg()));
  EXPECT_EQ(config.PortNum, 15);
  EXPECT_STREQ(config.PortName, "/dev/ttyUS");  // 10 characters
  EXPECT_EQ(config.BaudRate, 20);
  EXPECT_EQ(config.UserDefBaudRate, 31250u);
  EXPECT_EQ(config.FlowControl, 4);
  EXPECT_EQ(config.DataBits, 2);
  EXPECT_EQ(config.Parity, 3);
  EXPECT_EQ(config.StopBits, 2);
  EXPECT_EQ(config.MaxRxBufSize, 4096u);
  EXPECT_EQ(config.MaxTxBufSize, 32u);

  WriteCfg(
      "[PortConfig]\r\nPortNum=16\r\nBaudRate=21\r\nFlowControl=6\r\nDataBits=-1\r\n"
      "Parity=5\r\nStopBits=3\r\nUserDefBaudRate=-5\r\n");
  ASSERT_TRUE(LoadPortConfig(config, Cfg()));
  ExpectSame(config, [] {
    PortConfig fallback;
    fallback.PortName[0] = 0;
    fallback.UserDefBaudRate = 31250;  // a negative rate is no rate: the old one stays
    fallback.MaxRxBufSize = 4096;
    fallback.MaxTxBufSize = 32;
    return fallback;
  }());
  EXPECT_EQ(folder.LogCount("is outside its table"), 6);
}

TEST_F(PortConfigFile, SaveWritesTheTenKeysInOrderAndReadsBack) {
  PortConfig config;
  config.PortNum = 4;
  SetPortName(config, "COM5");
  config.BaudRate = 20;
  config.UserDefBaudRate = 250000;
  config.FlowControl = 1;
  config.DataBits = 2;
  config.Parity = 4;
  config.StopBits = 1;
  config.MonitorModem = 1;
  config.MaxRxBufSize = 1;
  config.MaxTxBufSize = 4096;
  ASSERT_TRUE(SavePortConfig(config, Cfg()));
  EXPECT_EQ(
      CrLfLines(ReadAll(Cfg())),
      (std::vector<std::string>{"[PortConfig]", "PortNum=4", "PortName=COM5", "BaudRate=20",
                                "UserDefBaudRate=250000", "FlowControl=1", "DataBits=2", "Parity=4",
                                "StopBits=1", "MaxRxBufSize=1", "MaxTxBufSize=4096"}));
  PortConfig back;
  ASSERT_TRUE(LoadPortConfig(back, Cfg()));
  config.MaxRxBufSize = 32;  // raised on reading
  ExpectSame(back, config);
  EXPECT_EQ(back.MonitorModem, 0);  // not stored
}

// The old file stays as ".BAK"; the new one replaces it in one step (a reader holding the
// old file still sees it whole); the device map in the same file survives.
TEST_F(PortConfigFile, SaveKeepsABackupReplacesAtomicallyAndKeepsTheDeviceMap) {
  const std::string old =
      "[PortConfig]\r\nPortNum=1\r\nBaudRate=6\r\n[PortDevices]\r\nCOM3=/dev/ttyUSB0\r\n";
  WriteCfg(old);
  std::ifstream reader(Cfg(), std::ios::binary);
  struct stat before {};
  ASSERT_EQ(::stat(Cfg().c_str(), &before), 0);

  PortConfig config;
  config.PortNum = 2;
  ASSERT_TRUE(SavePortConfig(config, Cfg()));
  EXPECT_EQ(ReadAll(Cfg() + ".BAK"), old);
  std::string seen((std::istreambuf_iterator<char>(reader)), std::istreambuf_iterator<char>());
  EXPECT_EQ(seen, old);
  struct stat after {};
  ASSERT_EQ(::stat(Cfg().c_str(), &after), 0);
  EXPECT_NE(before.st_ino, after.st_ino);

  PortConfig back;
  ASSERT_TRUE(LoadPortConfig(back, Cfg()));
  EXPECT_EQ(back.PortNum, 2);
  EXPECT_EQ(back.BaudRate, 8);
  EXPECT_EQ(PortDevicePath(2, Cfg()), "/dev/ttyUSB0");
  // Nothing but the file and its backup is left behind.
  int entries = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(folder.Dir().Path()))
    ++entries;
  EXPECT_EQ(entries, 3);  // Qm48Com.Cfg, Qm48Com.Cfg.BAK, Qm48.Log
}

TEST_F(PortConfigFile, DevicePathsComeFromTheMapOrTheSerialDevices) {
  EXPECT_EQ(PortDevicePath(0, Cfg()), "/dev/ttyS0");  // no file
  WriteCfg(
      "[PortDevices]\r\nCOM3=/dev/ttyUSB0\r\nCOM16 = /dev/serial/by-id/usb-adapter\r\n"
      "COM2=\r\n");
  EXPECT_EQ(PortDevicePath(2, Cfg()), "/dev/ttyUSB0");
  EXPECT_EQ(PortDevicePath(15, Cfg()), "/dev/serial/by-id/usb-adapter");
  EXPECT_EQ(PortDevicePath(1, Cfg()), "/dev/ttyS1");  // empty entry: the default
  EXPECT_EQ(PortDevicePath(3, Cfg()), "/dev/ttyS3");
  EXPECT_EQ(PortDevicePath(16, Cfg()), "");
  EXPECT_EQ(PortDevicePath(-1, Cfg()), "");
  EXPECT_EQ(PortDevicePath(2), "/dev/ttyUSB0");  // the start directory's file
}

// A device chosen in the dialog lands in PortDevices under the port's name; the other
// entries, a section of another program and comments' neighbours stay; one backup.
TEST_F(PortConfigFile, ChosenDevicesAreStoredBesideEverythingElse) {
  const std::string old =
      "[PortConfig]\r\nPortNum=1\r\n[PortDevices]\r\nCOM1=/dev/ttyS0\r\nCOM3=/dev/ttyUSB0\r\n"
      "[Other]\r\nKey=kept\r\n";
  WriteCfg(old);
  PortConfig config;
  config.PortNum = 2;
  const std::string byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  ASSERT_TRUE(SavePortConfig(config, PortDeviceChoices{{2, byId}, {4, "/tmp/qm48-link"}, {16, "x"}},
                             Cfg()));
  EXPECT_EQ(ReadAll(Cfg() + ".BAK"), old);
  EXPECT_EQ(CrLfLines(ReadAll(Cfg())),
            (std::vector<std::string>{"[PortConfig]", "PortNum=2", "PortName=COM1", "BaudRate=8",
                                      "UserDefBaudRate=0", "FlowControl=0", "DataBits=3",
                                      "Parity=0", "StopBits=0", "MaxRxBufSize=1", "MaxTxBufSize=0",
                                      "[PortDevices]", "COM1=/dev/ttyS0", "COM3=" + byId,
                                      "COM5=/tmp/qm48-link", "[Other]", "Key=kept"}));
  EXPECT_EQ(ConfiguredPortDevice(2, Cfg()), byId);
  EXPECT_EQ(ConfiguredPortDevice(1, Cfg()), "");
  EXPECT_EQ(PortDevicePath(4, Cfg()), "/tmp/qm48-link");
}

TEST_F(PortConfigFile, TheDeviceLineTellsWhereANameLeadsAndWhetherItIsThere) {
  PtyPair pty;
  const std::string link = folder.Dir().File("qm48-link");
  ASSERT_EQ(::symlink(pty.SlavePath().c_str(), link.c_str()), 0);
  EXPECT_EQ(PortDeviceLine(link), "Device: " + link + " \u2192 " + pty.SlavePath() + " (present)");
  EXPECT_EQ(PortDeviceLine(pty.SlavePath()), "Device: " + pty.SlavePath() + " (present)");
  EXPECT_EQ(PortDeviceLine(folder.Dir().File("gone")),
            "Device: " + folder.Dir().File("gone") + " (not present)");
  EXPECT_EQ(PortDeviceLine(""), "");
}

// The list offers the devices the file names even where the system does not list them.
TEST_F(PortConfigFile, TheDeviceListAddsWhatTheFileNames) {
  PtyPair pty;
  const std::string link = folder.Dir().File("qm48-link");
  ASSERT_EQ(::symlink(pty.SlavePath().c_str(), link.c_str()), 0);
  WriteCfg("[PortDevices]\r\nCOM2=" + link + "\r\nCOM4=" + folder.Dir().File("gone") + "\r\n");
  std::vector<SerialDevice> devices = ListPortDevices(Cfg());
  const SerialDevice* named = FindSerialDevice(devices, link);
  ASSERT_NE(named, nullptr);
  EXPECT_EQ(DescribeSerialDevice(*named), "COM2 in Qm48Com.Cfg  " + link);
  EXPECT_EQ(FindSerialDevice(devices, folder.Dir().File("gone")), nullptr);
}
}  // namespace
