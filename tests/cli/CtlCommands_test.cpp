// qm48ctl as the built binary, one table of command lines: the exit code, what it prints
// and what a virtual unit on a pseudo-terminal received. Then the runs a table cannot hold:
// decom on streams of every code, Ctrl+C during a load, hostile files, and the whole round
// trip of emulate, load and decom.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/CtlRun.h"
#include "common/VirtualUnitOnPty.h"
#include "pcm/BitstreamFile.h"

namespace {

using namespace std::chrono_literals;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

// A pattern: nullptr matches anything, "=text" exactly that text, "!text" a text without
// it, anything else a text holding it.
bool Matches(const std::string& text, const char* pattern) {
  if (pattern == nullptr) return true;
  if (pattern[0] == '=') return text == pattern + 1;
  if (pattern[0] == '!') return text.find(pattern + 1) == std::string::npos;
  return text.find(pattern) != std::string::npos;
}

// Waits for a condition a process of its own brings about (a file appearing or going).
template <typename F>
bool Eventually(F condition) {
  for (int i = 0; i < 2000 && !condition(); ++i) std::this_thread::sleep_for(10ms);
  return condition();
}

class CtlCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunCtl("save-default d.qm48", dir).code, 0);
    defaults = ReadAll(dir.File("d.qm48"));
    SetupWith("t.qm48", {"FreqMhz=2300.5"});
    SetupWith("v.qm48", {"SubframeMode=SFID", "SfIdStartBit=16"});
    SetupWith("c.qm48", {"SimBitRate=9"});
    SetupWith("w.qm48", {"CommonWordLength=0"});
    SetupWith("r.qm48", {"SimOutputCode=RNRZ17", "FrameSyncLength=12", "FrameSyncPattern=EB9",
                         "FsPatternRadix=HEX"});
    const std::string sim2 = "[SIMULATOR SETUP]\nFileVersion=2\n";
    const std::string tx1 = "[TRANSMITTER SETUP]\nFileVersion=1\n";
    Write("nosim.qm48", "[SIMULATOR SETUP]\nFileVersion=x\n" + tx1);
    Write("notx.qm48", sim2);
    Write("both.qm48", sim2 + tx1 + "FreqMhz=nan\n");
    Write("nan.qm48", sim2 + tx1 + "FreqMhz=nan\n");
    // A simulator setup that does not validate does not stop the transmitter's stream.
    Write("tx.qm48", "[SIMULATOR SETUP]\nFileVersion=2\nSimBitRate=9\n" + tx1 +
                         "FreqMhz=2250.3\nFmDeviation=350\nPreModFilterSelected=2\n"
                         "AttenuationIndexDb=4\n");
    Write("far.qm48", sim2 + tx1 +
                          "FreqMhz=3500\nFmDeviation=1500\nPreModFilterSelected=-2\n"
                          "AttenuationIndexDb=25\n");
    Write("plain", "x");
    pty = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_TRUE(pty >= 0 && ::grantpt(pty) == 0 && ::unlockpt(pty) == 0);
    ASSERT_EQ(::symlink(::ptsname(pty), dir.File("qm48-link").c_str()), 0);
  }
  void TearDown() override { ::close(pty); }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir.File(name), std::ios::binary) << text;
  }
  // The default setup file with the given keys replacing its own or added at the top.
  std::string SetupWith(const std::string& name, const std::vector<std::string>& keys) {
    std::string text = defaults;
    for (const std::string& entry : keys) {
      const std::string key = entry.substr(0, entry.find('=') + 1);
      const size_t at = text.find("\n" + key);
      if (at == std::string::npos)
        text.insert(text.find('\n') + 1, entry + "\r\n");
      else
        text.replace(at + 1, text.find('\r', at + 1) - at - 1, entry);
    }
    Write(name, text);
    return name;
  }

  TempDir dir;
  std::string defaults;
  int pty = -1;
};

TEST_F(CtlCommands, EveryCommandLine) {
  const char* const kAny = nullptr;
  const char* const invalidFile = "=INVALID SETUP FILE..ABORT LOAD\n";
  const char* const badSfid =
      "=INVALID SIM SETUP DATA.....SF ID Start Bit MUST be in the range of 0 to 15\n";
  const char* const queries = "=Q|W|0FI|0BI|0CI";
  const char* const ports = "[PortDevices]\r\nCOM1=@DIR@/qm48-link\r\nCOM2=@DIR@/unplugged\r\n";
  const struct Row {
    const char* unit;    // a unit with this fault, "held": one this process holds, or none
    const char* config;  // Qm48Com.Cfg for the run, when not none
    const char* args;    // @DEV@: the unit's device, @DIR@: the test folder
    int code;
    const char* out;
    const char* err;
    const char* sent;  // what the unit received, commands joined by "|"
  } rows[] = {
      // Setup files: validation messages and command streams.
      {kAny, kAny, "validate d.qm48", 0, "=OK\n", "=", kAny},
      {kAny, kAny, "stream d.qm48", 0, "\n0001 2007 M\nS\n1 R\n", "=", kAny},
      {kAny, kAny, "stream v.qm48", 1, "=", badSfid, kAny},
      {kAny, kAny, "validate v.qm48", 1, kAny, badSfid, kAny},
      {kAny, kAny, "stream c.qm48", 1, "=", "=INVALID SIM SETUP DATA.....\n", kAny},
      {kAny, kAny, "validate w.qm48", 1, kAny,
       "=INVALID SIM SETUP DATA.....Common Word Length MUST be at least 1\n", kAny},
      // A setup the unit takes, whose stream a decommutator may not follow: said, still valid.
      {kAny, kAny, "validate r.qm48", 0,
       "=warning: output code RNRZ17: the unit has no encoder setting for it and sends "
       "NRZL (encoder code 0)\nwarning: the frame sync pattern has 12 bits a "
       "decommutator compares, fewer than 16: it may lock on the same bits in the "
       "data\nOK\n",
       kAny, kAny},
      {kAny, kAny, "stream missing.qm48", 2, kAny, invalidFile, kAny},
      {kAny, kAny, "validate nosim.qm48", 2, "=", invalidFile, kAny},
      {kAny, kAny, "stream notx.qm48", 2, kAny, kAny, kAny},
      {kAny, kAny, "validate both.qm48", 0, kAny, kAny, kAny},
      {kAny, kAny, "stream --bogus both.qm48", 2, kAny, kAny, kAny},
      // The transmitter's record as filed, in the setup file's ranges, no unit limits; the
      // default 0 MHz reads back as the lowest filed frequency, "nan" keeps 0.
      {kAny, kAny, "stream tx.qm48 --transmitter", 0, "=57E7 0 G\n015E 1 G\n0002 2 G\n0004 3 G\n",
       kAny, kAny},
      {kAny, kAny, "stream --transmitter far.qm48", 0, "=7530 0 G\n03E7 1 G\n0000 2 G\n0013 3 G\n",
       kAny, kAny},
      {kAny, kAny, "stream --transmitter d.qm48", 0, "=2710 0 G\n0000 1 G\n0000 2 G\n0000 3 G\n",
       kAny, kAny},
      {kAny, kAny, "stream --transmitter nan.qm48", 0, "=0000 0 G\n0000 1 G\n0000 2 G\n0000 3 G\n",
       kAny, kAny},
      {kAny, kAny, "stream --transmitter notx.qm48", 2, "=", invalidFile, kAny},
      // Minor frames bit by bit: the sync FE6B2840 in two words, the counter in word 3;
      // NRZ-L cells repeat every bit.
      {kAny, kAny, "bitstream d.qm48 --frames 2", 0,
       "0: 1111111001101011 0010100001000000 0000000000000000 0", kAny, kAny},
      {kAny, kAny, "bitstream d.qm48 --frames 2", 0,
       "\n1: 1111111001101011 0010100001000000 0000000000000001 ", kAny, kAny},
      {kAny, kAny, "bitstream d.qm48", 0, "\n63: ", kAny, kAny},
      {kAny, kAny, "bitstream --code d.qm48 --frames 1", 0, "0: 11111111111111000011110011001111 ",
       kAny, kAny},
      {kAny, kAny, "bitstream d.qm48 --frames 3x", 2, "=", kAny, kAny},
      {kAny, kAny, "bitstream missing.qm48", 2, "=", kAny, kAny},
      {kAny, kAny, "decom --code XYZ --setup d.qm48 d.qm48", 2, kAny, kAny, kAny},
      {kAny, kAny, "decom --setup d.qm48 missing.bits", 2, kAny, "cannot open", kAny},
      {kAny, kAny, "emulate --line-rate 0", 2, kAny, "usage: qm48ctl emulate", kAny},
      {kAny, kAny, "emulate --reply-latency 99999", 2, kAny, "usage: qm48ctl emulate", kAny},
      {kAny, kAny, "emulate --fault loud", 2, kAny, "usage: qm48ctl emulate", kAny},
      // The devices the configuration names; a port that will not open is named with the
      // reason and what to do, and nothing is sent.
      {kAny, ports, "ports", 0, "COM1 in Qm48Com.Cfg  @DIR@/qm48-link  may open\n", kAny, kAny},
      {kAny, ports, "ports --json", 0,
       "{\"node\": \"@DIR@/qm48-link\", \"stable_path\": \"@DIR@/qm48-link\", \"description\": "
       "\"COM1 in Qm48Com.Cfg  @DIR@/qm48-link\", \"driver\": \"\", \"vendor\": \"\", \"product\": "
       "\"\", \"serial\": \"\", \"usb_ids\": \"\", \"named_by\": \"COM1 in Qm48Com.Cfg\", "
       "\"group\": ",
       kAny, kAny},
      {kAny, ports, "ports", 0, "!unplugged", kAny, kAny},
      {kAny, kAny, "ports extra", 2, kAny, "=usage: qm48ctl ports [--json]\n", kAny},
      {kAny, kAny, "load --device /dev/ttyUSB97 d.qm48", 3, kAny,
       "qm48ctl: cannot open the port /dev/ttyUSB97: No such file or directory (2); no "
       "such device: plug in the adapter",
       kAny},
      {kAny, "[PortDevices]\nCOM1=/dev/ttyUSB96\n", "query", 3, kAny,
       "cannot open the port /dev/ttyUSB96: No such file", kAny},
      {kAny, kAny, "query --device plain", 3, kAny, "this is not a serial device", kAny},
      {"held", kAny, "query --device @DEV@", 3, kAny, "another program is using the port", "="},
      // Loads and queries on the unit, and every way they end.
      {"none", kAny, "load --device @DEV@ t.qm48", 0, "commands answered", "=",
       "0 R|0 N|H        |007F 8000 M|"},
      {"none", kAny, "load --device @DEV@ t.qm48", 0, kAny, kAny, "|0001 2007 M|S|1 R"},
      {"none", kAny, "load --transmitter --device @DEV@ t.qm48", 0, kAny, kAny,
       "=Q|W|0FI|0BI|0CI|59DD 0 G|0000 1 G|0000 2 G|0000 3 G"},
      {"none", kAny, "load --all --device @DEV@ t.qm48", 0, kAny, kAny,
       "0CI|59DD 0 G|0000 1 G|0000 2 G|0000 3 G|0 R|0 N|"},
      {"none", kAny, "query --device @DEV@", 0, "  Max Freq (MHz)               2400.5\n", kAny,
       queries},
      {"none", kAny, "query --device @DEV@", 0, "  Num Atten Steps              20\n", kAny, kAny},
      {"none", kAny, "query --json --device @DEV@", 0, "\"MinFreqMhz\": 2200", kAny, kAny},
      {"none", "[PortConfig]\r\nPortNum=2\r\n[PortDevices]\r\nCOM3=@DEV@\r\n", "query", 0, kAny,
       kAny, queries},
      {"vanish-after=2", kAny, "load --device @DEV@ t.qm48", 5, kAny, "disconnected", kAny},
      {"garbage", kAny, "query --device @DEV@", 7, "=", kAny, kAny},
      {"silent-after=1", kAny, "load --device @DEV@ t.qm48", 4, kAny, "command 2 (0 N)",
       "=0 R|0 N"},
      {"none", kAny, "load --transmitter --all --device @DEV@ t.qm48", 2, kAny, kAny, "="},
      {"none", kAny, "query --device @DEV@ extra", 2, kAny, kAny, "="},
      {"none", kAny, "load --device @DEV@ missing.qm48", 2, kAny, kAny, "="},
      {"none", kAny, "load --all --device @DEV@ w.qm48", 1, kAny, "INVALID SIM SETUP DATA.....",
       "="},
  };

  for (const Row& row : rows) {
    SCOPED_TRACE(row.args);
    std::unique_ptr<VirtualUnitOnPty> held;
    std::unique_ptr<VirtualUnit> unit;
    std::string device;
    if (row.unit != nullptr && std::string(row.unit) == "held") {
      held = std::make_unique<VirtualUnitOnPty>();
      ASSERT_TRUE(held->Ready());
      device = held->Unit().DevicePath();
    } else if (row.unit != nullptr) {
      unit = std::make_unique<VirtualUnit>(UnitOptions(row.unit));
      ASSERT_TRUE(unit->Start());
      device = unit->DevicePath();
    }
    auto expand = [&](const char* text) {
      return text == nullptr ? std::string()
                             : Replace(Replace(text, "@DEV@", device), "@DIR@", dir.Path());
    };
    std::filesystem::remove(dir.File("Qm48Com.Cfg"));
    if (row.config != nullptr) Write("Qm48Com.Cfg", expand(row.config));
    const CtlResult r = RunCtl(expand(row.args), dir);
    EXPECT_EQ(r.code, row.code) << r.err;
    EXPECT_TRUE(Matches(r.out, row.out ? expand(row.out).c_str() : nullptr)) << r.out;
    EXPECT_TRUE(Matches(r.err, row.err ? expand(row.err).c_str() : nullptr)) << r.err;
    if (row.sent != nullptr) {
      VirtualUnit& u = held ? held->Unit() : *unit;
      std::string sent;
      for (const std::string& c : u.Commands()) sent += (sent.empty() ? "" : "|") + c;
      EXPECT_TRUE(Matches(sent, row.sent)) << sent;
    }
  }
  // Two runs give the same stream: the generator starts afresh in each.
  EXPECT_EQ(RunCtl("stream d.qm48", dir).out, RunCtl("stream d.qm48", dir).out);
}

// Files no editor would write: the stream is built or refused, never a crash.
TEST_F(CtlCommands, HostileFilesNeverCrash) {
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
  for (const auto& keys : hostile) {
    const CtlResult r = RunCtl("stream " + SetupWith("h.qm48", keys), dir);
    EXPECT_TRUE(r.code == 0 || r.code == 1) << keys[0] << ": " << r.code;
    EXPECT_TRUE(r.code == 0 || r.err.rfind("INVALID SIM SETUP DATA.....", 0) == 0) << r.err;
  }
}

// decom on what the unit sends: the code it reads without --code, and a stream that ends
// inside a minor frame (the cells `bitstream --code` prints for 8 frames, less some).
TEST_F(CtlCommands, DecomReadsWhatTheUnitSendsAndNotTheStreamsEnd) {
  const struct {
    const char* code;  // the setup's
    size_t cutCells;
    const char* codeLine;
    const char* extra;  // a further line the summary must hold
  } cases[] = {
      {"RNRZ17", 0,
       "Code: NRZL (what the unit sends for the setup's RNRZ17, which it has no encoder setting "
       "for), bits taken from cell 0, 32768 bits decoded\n",
       "Words: 1536 compared, 0 differ"},
      {"RNRZ9", 0, "Code: NRZL (what the unit sends for the setup's RNRZ9", ""},
      {"BIOL", 0, "Code: BIOL, bits taken from cell 0, 32768 bits decoded\n", ""},
      // Cut 3 bits short, padded back by the file with low pairs: the last word is not
      // compared, and the pairs after the stream's high last cell break Bi-phase-M twice.
      {"BIOM", 6,
       "Code: BIOM, bits taken from cell 0, 32768 bits decoded; 2 code violations in the last 3 "
       "bits, where the stream ends (not counted)\n",
       "Words: 1535 compared, 0 differ from the setup, 1 at the end of the stream not decoded "
       "completely, not compared\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    SetupWith("s.qm48", {std::string("SimOutputCode=") + c.code});
    const CtlResult printed = RunCtl("bitstream --code s.qm48 --frames 8", dir);
    ASSERT_EQ(printed.code, 0) << printed.err;
    BitSequence cells;
    std::istringstream in(printed.out);
    for (std::string line; std::getline(in, line);)
      for (char bit : line.substr(line.find(':') + 1))
        if (bit == '0' || bit == '1') cells.push_back(static_cast<uint8_t>(bit - '0'));
    cells.resize(cells.size() - c.cutCells);
    const std::vector<uint8_t> bytes = PackCells(cells);
    Write("s.bits", std::string(bytes.begin(), bytes.end()));
    const CtlResult decom = RunCtl("decom --summary --setup s.qm48 s.bits", dir);
    EXPECT_EQ(decom.code, 0) << decom.out << decom.err;
    for (const char* line : {c.codeLine, "Minor frames: 6 decoded", c.extra,
                             "MATCH: every word is where the setup puts it"})
      EXPECT_NE(decom.out.find(line), std::string::npos) << line << "\n" << decom.out;
  }
}

// A process of qm48ctl's own, started in the background through the shell; its exit code
// comes with the future, and it is killed if the test ends before it does.
struct Background {
  Background(const std::string& arguments, const TempDir& dir) : pidFile(dir.File("pid")) {
    run = std::async(std::launch::async, [arguments, &dir, this] {
      return RunCtl(arguments + " & echo $! >'" + pidFile + "'; wait $!", dir);
    });
    Eventually([&] { return !ReadAll(pidFile).empty(); });
    pid = std::stoi("0" + ReadAll(pidFile));
  }
  ~Background() {
    if (run.valid() && pid > 0) ::kill(pid, SIGKILL);
  }
  int Signal(int signal) {
    ::kill(pid, signal);
    return run.get().code;
  }
  std::string pidFile;
  std::future<CtlResult> run;
  pid_t pid = 0;
};

TEST_F(CtlCommands, CtrlCEndsALoadTheUnitDoesNotAnswer) {
  VirtualUnit unit(UnitOptions("silent"));
  ASSERT_TRUE(unit.Start());
  Background load("load --device '" + unit.DevicePath() + "' t.qm48", dir);
  ASSERT_GT(load.pid, 0);
  ASSERT_TRUE(unit.WaitForCommands(1, 10000ms));
  EXPECT_EQ(load.Signal(SIGINT), 6);
  EXPECT_EQ(unit.CommandCount(), 1u);
}

// The programs a user runs: qm48ctl emulate as a process of its own, loaded by qm48ctl load
// through its link, writes the PCM output that qm48ctl decom finds every word of; it
// unplugs and comes back on signals, and leaves its state on SIGTERM.
TEST_F(CtlCommands, EmulatedUnitRoundTrip) {
  const std::string link = dir.File("QM48-VIRTUAL");
  Background emulator(
      "emulate --link QM48-VIRTUAL --state unit.state --bitstream pcm.bits >emulate.out", dir);
  ASSERT_GT(emulator.pid, 0);
  ASSERT_TRUE(Eventually([&] { return std::filesystem::is_symlink(link); }));
  const CtlResult load = RunCtl("load --device QM48-VIRTUAL d.qm48", dir);
  ASSERT_EQ(load.code, 0) << load.err;
  ASSERT_TRUE(Eventually([&] { return std::filesystem::exists(dir.File("pcm.bits")); }));
  CtlResult decom = RunCtl("decom --summary --setup d.qm48 pcm.bits", dir);
  EXPECT_EQ(decom.code, 0) << decom.out << decom.err;
  EXPECT_NE(decom.out.find("Minor frames: 254 decoded (64 a major frame)"), std::string::npos)
      << decom.out;
  EXPECT_NE(decom.out.find("MATCH: every word is where the setup puts it"), std::string::npos);
  // Read in a code it is not in, the stream breaks the code's rules or does not lock.
  decom = RunCtl("decom --summary --code BIOL --setup d.qm48 pcm.bits", dir);
  EXPECT_EQ(decom.code, 1);
  EXPECT_NE(decom.out.find("code violations"), std::string::npos) << decom.out;
  decom = RunCtl("decom --summary --code NRZM --setup d.qm48 pcm.bits", dir);
  EXPECT_EQ(decom.code, 1);
  EXPECT_NE(decom.out.find("NO LOCK"), std::string::npos) << decom.out;
  ::kill(emulator.pid, SIGUSR1);  // unplugged: the device and its link go
  ASSERT_TRUE(Eventually([&] { return !std::filesystem::is_symlink(link); }));
  ::kill(emulator.pid, SIGUSR2);  // and back, leading to a working unit
  ASSERT_TRUE(Eventually([&] { return std::filesystem::is_symlink(link); }));
  EXPECT_EQ(RunCtl("query --device QM48-VIRTUAL", dir).code, 0);
  EXPECT_EQ(emulator.Signal(SIGTERM), 0);
  EXPECT_NE(ReadAll(dir.File("unit.state")).find("run 1\n"), std::string::npos);
  EXPECT_FALSE(std::filesystem::is_symlink(link));
}

}  // namespace
