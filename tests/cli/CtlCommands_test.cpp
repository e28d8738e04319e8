// qm48ctl as the built binary: a table of command lines (exit code, output, what a virtual
// unit received), then decom on what the unit sends, Ctrl+C in a load, and the round trip
// of emulate, load and decom.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <string>
#include <vector>

#include "common/VirtualUnitOnPty.h"
#include "pcm/BitstreamFile.h"
#include "platform/UniqueFd.h"
#include "support/TempDir.h"

namespace {

using namespace std::chrono_literals;

struct CtlResult {
  int code = -1;  // exit code, -1 when it did not exit normally
  std::string out, err;
};

// "qm48ctl <arguments>" with dir as the current directory (arguments go through the shell).
CtlResult RunCtl(const std::string& arguments, const TempDir& dir) {
  const std::string out = dir.File("stdout.txt"), err = dir.File("stderr.txt");
  const std::string command = "cd '" + dir.Path() + "' && '" QM48_CTL_PATH "' " + arguments +
                              " >'" + out + "' 2>'" + err + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(out), ReadAll(err)};
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

// The whole text, where "*" in the pattern stands for any run of characters.
bool Matches(std::string_view text, std::string_view pattern) {
  const size_t star = pattern.find('*');
  if (star == std::string::npos) return text == pattern;
  if (!text.starts_with(pattern.substr(0, star))) return false;
  for (size_t at = star; at <= text.size(); ++at)
    if (Matches(text.substr(at), pattern.substr(star + 1))) return true;
  return false;
}

// Waits for a condition another process brings about in `folder` (a file appearing, being
// written or going): looked at again at each change the kernel reports there, for 20 s at most.
template <typename F>
bool Eventually(const std::string& folder, F condition) {
  const UniqueFd watch(::inotify_init1(IN_CLOEXEC));
  ::inotify_add_watch(watch.Get(), folder.c_str(),
                      IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO);
  const auto end = std::chrono::steady_clock::now() + 20s;
  while (!condition()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    pollfd ready{watch.Get(), POLLIN, 0};
    if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0)
      return condition();
    char events[4096];
    if (::read(watch.Get(), events, sizeof events) < 0) return condition();
  }
  return true;
}

class CtlCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunCtl("save-default d.qm48", dir).code, 0);
    defaults = ReadAll(dir.File("d.qm48"));
    SetupWith("t.qm48", {"FreqMhz=2300.5"});
    // A simulator setup that does not validate does not stop the transmitter's stream.
    SetupWith("v.qm48", {"SubframeMode=SFID", "SfIdStartBit=16", "FreqMhz=2250.3",
                         "FmDeviation=350", "PreModFilterSelected=2", "AttenuationIndexDb=4"});
    SetupWith("r.qm48", {"SimOutputCode=RNRZ17", "FrameSyncLength=12", "FrameSyncPattern=EB9",
                         "FsPatternRadix=HEX"});
    std::ofstream(dir.File("notx.qm48")) << "[SIMULATOR SETUP]\nFileVersion=2\n";
  }

  // The default setup file with the values of the given keys replaced.
  void SetupWith(const std::string& name, const std::vector<std::string>& keys) {
    std::string text = defaults;
    for (const std::string& entry : keys) {
      const size_t at = text.find("\n" + entry.substr(0, entry.find('=') + 1)) + 1;
      text.replace(at, text.find('\r', at) - at, entry);
    }
    std::ofstream(dir.File(name), std::ios::binary) << text;
  }

  TempDir dir;
  std::string defaults;
};

TEST_F(CtlCommands, EveryCommandLine) {
  const std::string any = "*", none = "", invalidFile = "INVALID SETUP FILE..ABORT LOAD\n";
  const std::string badSfid =
      "INVALID SIM SETUP DATA.....SF ID Start Bit MUST be in the range of 0 to 15\n";
  const std::string queries = "Q|W|0FI|0BI|0CI";
  const char* const ports = "[PortDevices]\r\nCOM1=@DIR@/qm48-link\r\nCOM2=@DIR@/unplugged\r\n";
  const struct Row {
    std::string args;  // @DEV@: the unit's device, @DIR@: the test folder
    int code;
    std::string out, err;
    const char* unit = nullptr;    // a unit with this fault (its device linked as qm48-link),
                                   // "held": one whose port this process holds open
    std::string sent = "*";        // what the unit received, commands joined by "|"
    const char* config = nullptr;  // Qm48Com.Cfg for the run
  } rows[] = {
      // Setup files: validation messages, command streams, TMATS and the bits sent.
      {"validate d.qm48", 0, "OK\n", none},
      {"validate v.qm48", 1, any, badSfid},
      // A setup the unit takes, whose stream a decommutator may not follow: said, still valid.
      {"validate r.qm48", 0,
       "warning: output code RNRZ17: the unit has no encoder setting for it and sends NRZL "
       "(encoder code 0)\nwarning: the frame sync pattern has 12 bits a decommutator "
       "compares, fewer than 16: it may lock on the same bits in the data\nOK\n",
       any},
      {"stream d.qm48", 0, "*\n0001 2007 M\nS\n1 R\n", none},
      {"stream v.qm48", 1, none, badSfid},
      {"stream missing.qm48", 2, any, invalidFile},
      {"stream --bogus d.qm48", 2, none, any},
      {"stream v.qm48 --transmitter", 0, "57E7 0 G\n015E 1 G\n0002 2 G\n0004 3 G\n", any},
      {"stream --transmitter notx.qm48", 2, none, invalidFile},
      // Minor frames bit by bit: the sync FE6B2840 in two words, the counter in word 3;
      // NRZ-L cells repeat every bit. One major frame without --frames.
      {"bitstream d.qm48 --frames 2", 0,
       "0: 1111111001101011 0010100001000000 0000000000000000 0*\n"
       "1: 1111111001101011 0010100001000000 0000000000000001 *\n",
       any},
      {"bitstream --code d.qm48 --frames 1", 0, "0: 11111111111111000011110011001111 *", any},
      {"bitstream d.qm48", 0, "*\n63: *", any},
      {"bitstream d.qm48 --frames 3x", 2, none, "*a number from 1 to 65536\n"},
      {"tmats d.qm48", 0, "G\\PN:d;\r\nG\\106:17;\r\n*\nP-1\\D2:1024000;\r\n*", none},
      {"tmats v.qm48", 1, none, badSfid},
      {"tmats d.qm48 -o d.tmats", 0, none, none},
      {"tmats --import d.tmats -o back.qm48", 0, none, none},
      {"validate back.qm48", 0, "OK\n", none},
      {"tmats --import missing.tmats -o x.qm48", 2, none, "*cannot be read\n"},
      {"tmats d.qm48 -o no/d.tmats", 1, none, "*: no/d.tmats: No such file or directory (2)\n"},
      {"save-default /nonexistent/x.qm48", 1, none, "*cannot write*"},
      {"decom --setup d.qm48 missing.bits", 2, none, "*cannot open*"},
      {"emulate --fault loud", 2, none, "*usage: qm48ctl emulate*"},
      // The devices the configuration names; a port that will not open: the reason and a hint.
      {"ports", 0, "*COM1 in Qm48Com.Cfg  @DIR@/qm48-link  may open\n", any, "none", none, ports},
      {"ports --json", 0,
       "*{\"node\": \"@DIR@/qm48-link\", \"stable_path\": \"@DIR@/qm48-link\", \"description\": "
       "\"COM1 in Qm48Com.Cfg  @DIR@/qm48-link\", \"driver\": \"\", \"vendor\": \"\", "
       "\"product\": \"\", \"serial\": \"\", \"usb_ids\": \"\", \"named_by\": \"COM1 in "
       "Qm48Com.Cfg\", \"group\": *",
       any, "none", none, ports},
      {"ports extra", 2, any, "usage: qm48ctl ports [--json]\n"},
      {"load --device /dev/ttyUSB97 d.qm48", 3, any,
       "qm48ctl: cannot open the port /dev/ttyUSB97: No such file or directory (2); no such "
       "device: plug in the adapter*"},
      {"query --device @DEV@", 3, any, "*another program is using the port*", "held", none},
      // Loads and queries on the unit, and every way they end.
      {"load --device @DEV@ t.qm48", 0, "*commands answered*", none, "none",
       "0 R|0 N|H        |007F 8000 M|*|0001 2007 M|S|1 R"},
      {"load --transmitter --device @DEV@ t.qm48", 0, any, any, "none",
       queries + "|59DD 0 G|0000 1 G|0000 2 G|0000 3 G"},
      {"load --all --device @DEV@ t.qm48", 0, any, any, "none",
       queries + "|59DD 0 G|0000 1 G|0000 2 G|0000 3 G|0 R|0 N|H        |*|1 R"},
      {"query --device @DEV@", 0,
       "*\n  Max Freq (MHz)               2400.5\n*\n  Num Atten Steps              20\n*", any,
       "none", queries},
      {"query --json --device @DEV@", 0, "*\"MinFreqMhz\": 2200*", any, "none"},
      {"query", 0, any, any, "none", queries,
       "[PortConfig]\r\nPortNum=2\r\n[PortDevices]\r\nCOM3=@DEV@\r\n"},
      {"load --device @DEV@ t.qm48", 5, any, "*disconnected*", "vanish-after=2"},
      {"query --device @DEV@", 7, none, "*reply to command 1 (Q) could not be read*", "garbage"},
      {"query --device @DEV@", 7, none, "*2 lines came for*another device talk*", "second-writer"},
      {"load --device @DEV@ t.qm48", 4, any, "*command 2 (0 N)*", "silent-after=1", "0 R|0 N"},
      {"load --transmitter --all --device @DEV@ t.qm48", 2, any, any, "none", none},
      {"load --all --device @DEV@ v.qm48", 1, any, "*" + badSfid, "none", none},
  };

  for (const Row& row : rows) {
    SCOPED_TRACE(row.args);
    const bool held = row.unit != nullptr && std::string(row.unit) == "held";
    std::unique_ptr<VirtualUnit> u;
    UnitLink holder;
    if (row.unit != nullptr) {
      VirtualUnitOptions options = UnitOptions(held ? "none" : row.unit);
      options.linkPath = dir.File("qm48-link");
      u = std::make_unique<VirtualUnit>(options);
      ASSERT_TRUE(u->Start());
      ASSERT_TRUE(!held || holder.Open(PortConfig{}, u->DevicePath()));
    }
    auto expand = [&](const std::string& text) {
      return Replace(Replace(text, "@DEV@", u ? u->DevicePath() : ""), "@DIR@", dir.Path());
    };
    std::filesystem::remove(dir.File("Qm48Com.Cfg"));
    if (row.config != nullptr) std::ofstream(dir.File("Qm48Com.Cfg")) << expand(row.config);
    const CtlResult r = RunCtl(expand(row.args), dir);
    EXPECT_EQ(r.code, row.code) << r.err;
    EXPECT_TRUE(Matches(r.out, expand(row.out))) << r.out;
    EXPECT_TRUE(Matches(r.err, expand(row.err))) << r.err;
    std::string sent;
    for (const std::string& c : u ? u->Commands() : std::vector<std::string>{})
      sent += (sent.empty() ? "" : "|") + c;
    EXPECT_TRUE(Matches(sent, row.sent)) << sent;
  }
  // Two runs give the same stream: the generator starts afresh in each.
  EXPECT_EQ(RunCtl("stream d.qm48", dir).out, RunCtl("stream d.qm48", dir).out);
}

// decom on what the unit sends: the code it reads without --code, and a stream that ends
// inside a minor frame (the cells `bitstream --code` prints for 8 frames, less some).
TEST_F(CtlCommands, DecomReadsWhatTheUnitSendsAndNotTheStreamsEnd) {
  // The setup's code, the cells cut off, the code and word lines.
  const std::tuple<const char*, size_t, const char*, const char*> cases[] = {
      {"RNRZ17", 0,
       "Code: NRZL (what the unit sends for the setup's RNRZ17, which it has no encoder setting "
       "for), bits taken from cell 0, 32768 bits decoded\n",
       "Words: 1536 compared, 0 differ"},
      // Cut a bit and a half short, padded back by the file with low cells: the last word is
      // not compared, and the padded bit without its transition breaks Bi-phase-M once.
      {"BIOM", 3,
       "Code: BIOM, bits taken from cell 0, 32768 bits decoded; 1 code violations in the last 2 "
       "bits, where the stream ends (not counted)\n",
       "Words: 1535 compared, 0 differ from the setup, 1 at the end of the stream not decoded "
       "completely, not compared\n"},
  };
  for (const auto& [code, cutCells, codeLine, words] : cases) {
    SCOPED_TRACE(code);
    SetupWith("s.qm48", {std::string("SimOutputCode=") + code});
    const CtlResult printed = RunCtl("bitstream --code s.qm48 --frames 8", dir);
    ASSERT_EQ(printed.code, 0) << printed.err;
    BitSequence cells;
    std::istringstream in(printed.out);
    for (std::string line; std::getline(in, line);)
      for (char bit : line.substr(line.find(':') + 1))
        if (bit == '0' || bit == '1') cells.push_back(static_cast<uint8_t>(bit - '0'));
    cells.resize(cells.size() - cutCells);
    const std::vector<uint8_t> bytes = PackCells(cells);
    std::ofstream(dir.File("s.bits"), std::ios::binary) << std::string(bytes.begin(), bytes.end());
    const CtlResult decom = RunCtl("decom --summary --setup s.qm48 s.bits", dir);
    EXPECT_EQ(decom.code, 0) << decom.out << decom.err;
    for (const char* line : {codeLine, "Minor frames: 6 decoded", words,
                             "MATCH: every word is where the setup puts it"})
      EXPECT_NE(decom.out.find(line), std::string::npos) << line << "\n" << decom.out;
  }
}

// qm48ctl in the background (through the shell); killed if the test ends before it does.
struct Background {
  Background(const std::string& arguments, const TempDir& dir) : pidFile(dir.File("pid")) {
    run = std::async(std::launch::async, [arguments, &dir, this] {
      return RunCtl(arguments + " & echo $! >'" + pidFile + "'; wait $!", dir);
    });
    Eventually(dir.Path(), [&] { return !ReadAll(pidFile).empty(); });
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

// qm48ctl emulate as a process of its own, loaded by qm48ctl load through its link, writes
// the PCM output that qm48ctl decom finds every word of, with the setup or its TMATS; it
// unplugs and comes back on signals, and leaves its state on SIGTERM.
TEST_F(CtlCommands, EmulatedUnitRoundTrip) {
  const std::string link = dir.File("QM48-VIRTUAL");
  Background emulator(
      "emulate --link QM48-VIRTUAL --state unit.state --bitstream pcm.bits >emulate.out", dir);
  ASSERT_GT(emulator.pid, 0);
  ASSERT_TRUE(Eventually(dir.Path(), [&] { return std::filesystem::is_symlink(link); }));
  const CtlResult load = RunCtl("load --device QM48-VIRTUAL d.qm48", dir);
  ASSERT_EQ(load.code, 0) << load.err;
  ASSERT_TRUE(
      Eventually(dir.Path(), [&] { return std::filesystem::exists(dir.File("pcm.bits")); }));
  ASSERT_EQ(RunCtl("tmats d.qm48 -o d.tmats", dir).code, 0);
  // Read in a code it is not in, the stream breaks the code's rules or does not lock.
  const std::tuple<const char*, int, const char*> decoms[] = {
      {"--setup d.qm48", 0, "Minor frames: 254 decoded (64 a major frame)"},
      {"--setup d.qm48", 0, "MATCH: every word is where the setup puts it"},
      {"--tmats d.tmats", 0, "LOCKED: the stream follows the TMATS"},
      {"--code BIOL --setup d.qm48", 1, "code violations"},
      {"--code NRZM --setup d.qm48", 1, "NO LOCK"},
  };
  for (const auto& [args, code, said] : decoms) {
    const CtlResult decom = RunCtl(std::string("decom --summary ") + args + " pcm.bits", dir);
    EXPECT_EQ(decom.code, code) << args << decom.err;
    EXPECT_NE(decom.out.find(said), std::string::npos) << decom.out;
  }
  ::kill(emulator.pid, SIGUSR1);  // unplugged: the device and its link go
  ASSERT_TRUE(Eventually(dir.Path(), [&] { return !std::filesystem::is_symlink(link); }));
  ::kill(emulator.pid, SIGUSR2);  // and back, leading to a working unit
  ASSERT_TRUE(Eventually(dir.Path(), [&] { return std::filesystem::is_symlink(link); }));
  EXPECT_EQ(RunCtl("query --device QM48-VIRTUAL", dir).code, 0);
  EXPECT_EQ(emulator.Signal(SIGTERM), 0);
  EXPECT_NE(ReadAll(dir.File("unit.state")).find("run 1\n"), std::string::npos);
  EXPECT_FALSE(std::filesystem::is_symlink(link));
}

}  // namespace
