// qm48ctl ports: the devices by name, the ones Qm48Com.Cfg names among them, in text and
// JSON, with whether this user may open each.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>

#include "cli/CtlRun.h"

namespace {

struct Pty {
  Pty() {
    leader = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (leader >= 0 && ::grantpt(leader) == 0 && ::unlockpt(leader) == 0) path = ::ptsname(leader);
  }
  ~Pty() {
    if (leader >= 0) ::close(leader);
  }
  int leader = -1;
  std::string path;
};

TEST(PortsCommand, ListsTheDevicesTheConfigurationNamesInTextAndJson) {
  TempDir dir;
  Pty pty;
  ASSERT_FALSE(pty.path.empty());
  const std::string link = dir.File("qm48-link");
  ASSERT_EQ(::symlink(pty.path.c_str(), link.c_str()), 0);
  std::ofstream(dir.File("Qm48Com.Cfg"), std::ios::binary)
      << "[PortConfig]\r\nPortNum=0\r\n[PortDevices]\r\nCOM1=" << link
      << "\r\nCOM2=" << dir.File("unplugged") << "\r\n";

  const CtlResult text = RunCtl("ports", dir);
  EXPECT_EQ(text.code, 0) << text.err;
  EXPECT_NE(text.out.find("COM1 in Qm48Com.Cfg  " + link + "  may open\n"), std::string::npos)
      << text.out;
  EXPECT_EQ(text.out.find("unplugged"), std::string::npos) << text.out;

  const CtlResult json = RunCtl("ports --json", dir);
  EXPECT_EQ(json.code, 0) << json.err;
  EXPECT_EQ(json.out.front(), '[');
  EXPECT_EQ(json.out.substr(json.out.size() - 2), "]\n");
  const std::string entry = "{\"node\": \"" + link + "\", \"stable_path\": \"" + link +
                            "\", \"description\": \"COM1 in Qm48Com.Cfg  " + link +
                            "\", \"driver\": \"\", \"vendor\": \"\", \"product\": \"\", "
                            "\"serial\": \"\", \"usb_ids\": \"\", \"named_by\": \"COM1 in "
                            "Qm48Com.Cfg\", \"group\": ";
  const size_t at = json.out.find(entry);
  ASSERT_NE(at, std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"may_open\": true}", at), std::string::npos) << json.out;
}

TEST(PortsCommand, RefusesWhatItDoesNotKnow) {
  TempDir dir;
  for (const char* args : {"ports --jsn", "ports extra"}) {
    const CtlResult r = RunCtl(args, dir);
    EXPECT_EQ(r.code, 2) << args;
    EXPECT_EQ(r.err, "usage: qm48ctl ports [--json]\n") << args;
  }
}

}  // namespace
