// qm48ctl's setup-file commands, run as the built binary.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "cli/CtlRun.h"
#include "support/TempDir.h"

namespace {

using Result = CtlResult;

class SetupCommandsTest : public ::testing::Test {
 protected:
  // A default setup file with the given keys added to or replacing its simulator keys.
  std::string SetupWith(const std::string& name, const std::vector<std::string>& keys) {
    EXPECT_EQ(RunCtl("save-default " + name, dir).code, 0);
    std::string text = ReadAll(dir.File(name));
    for (const std::string& entry : keys) {
      const std::string key = entry.substr(0, entry.find('=') + 1);
      const size_t at = text.find("\n" + key);
      if (at == std::string::npos) {
        text.insert(text.find('\n') + 1, entry + "\r\n");
      } else {
        const size_t end = text.find('\r', at + 1);
        text.replace(at + 1, end - at - 1, entry);
      }
    }
    std::ofstream(dir.File(name), std::ios::binary) << text;
    return name;
  }
  TempDir dir;
};

TEST_F(SetupCommandsTest, DefaultSetupStreams) {
  const std::string file = SetupWith("d.qm48", {});
  Result r = RunCtl("validate " + file, dir);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "OK\n");
  r = RunCtl("stream " + file, dir);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.substr(0, 18), "0 R\n0 N\nH        \n");
  EXPECT_NE(r.out.find("\n0001 2007 M\nS\n1 R\n"), std::string::npos);
  EXPECT_EQ(r.out.substr(r.out.size() - 6), "S\n1 R\n");
  // Two runs give the same stream: the generator starts afresh in each.
  EXPECT_EQ(RunCtl("stream " + file, dir).out, r.out);
}

TEST_F(SetupCommandsTest, ValidationFailures) {
  std::string file = SetupWith("v.qm48", {"SubframeMode=SFID", "SfIdStartBit=16"});
  Result r = RunCtl("stream " + file, dir);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "INVALID SIM SETUP DATA.....SF ID Start Bit MUST be in the range of 0 to 15\n");
  r = RunCtl("validate " + file, dir);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "INVALID SIM SETUP DATA.....SF ID Start Bit MUST be in the range of 0 to 15\n");

  file = SetupWith("c.qm48", {"SimBitRate=9"});
  r = RunCtl("stream " + file, dir);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "INVALID SIM SETUP DATA.....\n");

  file = SetupWith("w.qm48", {"CommonWordLength=0"});
  EXPECT_EQ(RunCtl("validate " + file, dir).err,
            "INVALID SIM SETUP DATA.....Common Word Length MUST be at least 1\n");
}

// A setup the unit takes, whose stream a decommutator may not follow: said, still valid.
TEST_F(SetupCommandsTest, ValidateWarnsOfFramesNobodyCanLockTo) {
  const std::string file = SetupWith("r.qm48", {"SimOutputCode=RNRZ17", "FrameSyncLength=12",
                                                "FrameSyncPattern=EB9", "FsPatternRadix=HEX"});
  const Result r = RunCtl("validate " + file, dir);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out,
            "warning: output code RNRZ17: the unit has no encoder setting for it and sends NRZL "
            "(encoder code 0)\n"
            "warning: the frame sync pattern has 12 bits a decommutator compares, fewer than 16: "
            "it may lock on the same bits in the data\n"
            "OK\n");
}

TEST_F(SetupCommandsTest, FilesThatDoNotLoad) {
  const std::string invalid = "INVALID SETUP FILE..ABORT LOAD\n";
  Result r = RunCtl("stream missing.qm48", dir);
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, invalid);
  std::ofstream(dir.File("nosim.qm48")) << "[SIMULATOR SETUP]\nFileVersion=x\n"
                                           "[TRANSMITTER SETUP]\nFileVersion=1\n";
  r = RunCtl("validate nosim.qm48", dir);
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, invalid);
  std::ofstream(dir.File("notx.qm48")) << "[SIMULATOR SETUP]\nFileVersion=2\n";
  EXPECT_EQ(RunCtl("stream notx.qm48", dir).code, 2);
  std::ofstream(dir.File("both.qm48")) << "[SIMULATOR SETUP]\nFileVersion=2\n"
                                          "[TRANSMITTER SETUP]\nFileVersion=1\nFreqMhz=nan\n";
  EXPECT_EQ(RunCtl("validate both.qm48", dir).code, 0);
  EXPECT_EQ(RunCtl("stream", dir).code, 2);
  EXPECT_EQ(RunCtl("stream a b", dir).code, 2);
  EXPECT_EQ(RunCtl("stream --bogus both.qm48", dir).code, 2);
  r = RunCtl("stream --transmitter notx.qm48", dir);
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, invalid);
}

TEST_F(SetupCommandsTest, TransmitterStreamIsTheRecordAsFiled) {
  const std::string expected = "57E7 0 G\n015E 1 G\n0002 2 G\n0004 3 G\n";
  // A simulator setup that does not validate does not stop the transmitter's stream.
  std::ofstream(dir.File("tx.qm48")) << "[SIMULATOR SETUP]\nFileVersion=2\nSimBitRate=9\n"
                                        "[TRANSMITTER SETUP]\nFileVersion=1\nFreqMhz=2250.3\n"
                                        "FmDeviation=350\nPreModFilterSelected=2\n"
                                        "AttenuationIndexDb=4\n";
  Result r = RunCtl("stream --transmitter tx.qm48", dir);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(RunCtl("stream tx.qm48 --transmitter", dir).out, expected);
  EXPECT_EQ(RunCtl("stream tx.qm48", dir).code, 1);

  // Filed values take the setup file's ranges as they load; no unit limits apply.
  std::ofstream(dir.File("far.qm48")) << "[SIMULATOR SETUP]\nFileVersion=2\n"
                                         "[TRANSMITTER SETUP]\nFileVersion=1\nFreqMhz=3500\n"
                                         "FmDeviation=1500\nPreModFilterSelected=-2\n"
                                         "AttenuationIndexDb=25\n";
  EXPECT_EQ(RunCtl("stream --transmitter far.qm48", dir).out,
            "7530 0 G\n03E7 1 G\n0000 2 G\n0013 3 G\n");

  // The default setup files 0 MHz, which reads back as the lowest filed frequency; a
  // frequency that is not a number keeps the fresh record's 0 MHz.
  const std::string zero = "0000 0 G\n0000 1 G\n0000 2 G\n0000 3 G\n";
  EXPECT_EQ(RunCtl("stream --transmitter " + SetupWith("d.qm48", {}), dir).out,
            "2710 0 G\n0000 1 G\n0000 2 G\n0000 3 G\n");
  std::ofstream(dir.File("nan.qm48")) << "[SIMULATOR SETUP]\nFileVersion=2\n"
                                         "[TRANSMITTER SETUP]\nFileVersion=1\nFreqMhz=nan\n";
  r = RunCtl("stream --transmitter nan.qm48", dir);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, zero);
}

TEST_F(SetupCommandsTest, HostileFilesNeverCrash) {
  const std::vector<std::vector<std::string>> hostile = {
      {"WordsPerMinorFrame=99999", "NumChanges=1", "ChangeIndex0=-5", "SimWordLen-5=3",
       "SimValue-5=1"},
      {"SubframeMode=FCC", "SfIdWordNum=-2147483648", "PatternLeads=TRAILS"},
      {"SubframeMode=SFID", "SfIdWordNum=0", "PatternLeads=TRAILS", "FrameSyncLength=3"},
      {"WordsPerMinorFrame=-3", "CrcWdNum=99999", "DoCrc16=YES"},
      {"FrameSyncPattern=" + std::string(300, 'F'), "NumSubframes=-7"},
      {"SimDynamicWordNumber0=-100000", "SimDynamicWordInterval0=-3", "SimUniqueWordStartWord2=0",
       "SimUniqueWordWordInterval2=-1", "SimUniqueWordStartFrameInterval2=-9"},
      {"SimDynamicWordWave1=USERDEF", "UserDefDynWordFn2=nosuchfile", "SimDynamicWordWave2=RANDOM"},
  };
  int index = 0;
  for (const auto& keys : hostile) {
    const std::string file = SetupWith("h" + std::to_string(index++) + ".qm48", keys);
    const Result r = RunCtl("stream " + file, dir);
    EXPECT_TRUE(r.code == 0 || r.code == 1) << file << ": " << r.code << " " << r.err;
    if (r.code == 1) {
      EXPECT_EQ(r.err.rfind("INVALID SIM SETUP DATA.....", 0), 0u) << r.err;
    }
  }
}

}  // namespace
