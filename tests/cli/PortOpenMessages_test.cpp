// qm48ctl, as a new user meets it: a port that cannot be opened is named with the reason
// and what to do about it, and nothing is sent.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "cli/CtlRun.h"
#include "common/VirtualUnitOnPty.h"
#include "support/TempDir.h"

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(PortOpenMessages, MissingNonTerminalAndBusyDevicesAreExplained) {
  TempDir dir;
  ASSERT_EQ(RunCtl("save-default d.qm48", dir).code, 0);

  CtlResult missing = RunCtl("load --device /dev/ttyUSB97 d.qm48", dir);
  EXPECT_EQ(missing.code, 3);
  EXPECT_TRUE(
      Contains(missing.err,
               "qm48ctl: cannot open the port /dev/ttyUSB97: No such file or directory (2); "
               "no such device: plug in the adapter"))
      << missing.err;
  EXPECT_TRUE(Contains(missing.err, "COM1=/dev/ttyUSB0")) << missing.err;

  // Without --device: the device the configuration names for the port.
  std::ofstream(dir.File("Qm48Com.Cfg")) << "[PortDevices]\nCOM1=/dev/ttyUSB96\n";
  CtlResult configured = RunCtl("query", dir);
  EXPECT_EQ(configured.code, 3);
  EXPECT_TRUE(Contains(configured.err, "cannot open the port /dev/ttyUSB96: No such file"))
      << configured.err;

  std::ofstream(dir.File("plain")) << "x";
  CtlResult plain = RunCtl("query --device plain", dir);
  EXPECT_EQ(plain.code, 3);
  EXPECT_TRUE(Contains(plain.err, "this is not a serial device")) << plain.err;

  VirtualUnitOnPty holder;  // this process holds the virtual unit's device
  ASSERT_TRUE(holder.Ready());
  CtlResult busy = RunCtl("query --device '" + holder.Unit().DevicePath() + "'", dir);
  EXPECT_EQ(busy.code, 3);
  EXPECT_TRUE(Contains(busy.err, "another program is using the port")) << busy.err;
  EXPECT_EQ(holder.Unit().CommandCount(), 0u);
}

}  // namespace
