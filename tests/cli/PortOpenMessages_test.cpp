// qm48ctl, as a new user meets it: a port that cannot be opened is named with the reason
// and what to do about it, and nothing is sent.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "common/UnitLink.h"
#include "support/TempDir.h"

namespace {

struct CtlRun {
  int code = -1;
  std::string err;
};

CtlRun RunCtlIn(const TempDir& dir, const std::string& arguments) {
  const std::string errFile = dir.File("stderr.txt");
  const std::string command = "cd '" + dir.Path() + "' && '" QM48_CTL_PATH "' " + arguments +
                              " >/dev/null 2>'" + errFile + "'";
  const int status = std::system(command.c_str());
  CtlRun run;
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.err = ReadAll(errFile);
  return run;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(PortOpenMessages, MissingNonTerminalAndBusyDevicesAreExplained) {
  TempDir dir;
  ASSERT_EQ(RunCtlIn(dir, "save-default d.qm48").code, 0);

  CtlRun missing = RunCtlIn(dir, "load --device /dev/ttyUSB97 d.qm48");
  EXPECT_EQ(missing.code, 3);
  EXPECT_TRUE(
      Contains(missing.err,
               "qm48ctl: cannot open the port /dev/ttyUSB97: No such file or directory (2); "
               "no such device: plug in the adapter"))
      << missing.err;
  EXPECT_TRUE(Contains(missing.err, "COM1=/dev/ttyUSB0")) << missing.err;

  // Without --device: the device the configuration names for the port.
  std::ofstream(dir.File("Qm48Com.Cfg")) << "[PortDevices]\nCOM1=/dev/ttyUSB96\n";
  CtlRun configured = RunCtlIn(dir, "query");
  EXPECT_EQ(configured.code, 3);
  EXPECT_TRUE(Contains(configured.err, "cannot open the port /dev/ttyUSB96: No such file"))
      << configured.err;

  std::ofstream(dir.File("plain")) << "x";
  CtlRun plain = RunCtlIn(dir, "query --device plain");
  EXPECT_EQ(plain.code, 3);
  EXPECT_TRUE(Contains(plain.err, "this is not a serial device")) << plain.err;

  UnitLink holder;  // this process holds the virtual unit's device
  ASSERT_TRUE(holder.Ready());
  CtlRun busy = RunCtlIn(dir, "query --device '" + holder.Unit().DevicePath() + "'");
  EXPECT_EQ(busy.code, 3);
  EXPECT_TRUE(Contains(busy.err, "another program is using the port")) << busy.err;
  EXPECT_EQ(holder.Unit().CommandCount(), 0u);
}

}  // namespace
