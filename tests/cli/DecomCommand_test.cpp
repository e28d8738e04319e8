// qm48ctl decom on streams the unit sends, run as the built binary: the code it reads
// without --code, and a file that ends inside a minor frame.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "cli/CtlRun.h"
#include "pcm/BitstreamFile.h"

namespace {

// The default setup with another output code.
void WriteSetup(const TempDir& dir, const std::string& code) {
  ASSERT_EQ(RunCtl("save-default d.qm48", dir).code, 0);
  std::string text = ReadAll(dir.File("d.qm48"));
  const size_t at = text.find("SimOutputCode=");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, text.find('\n', at) - at, "SimOutputCode=" + code);
  std::ofstream(dir.File("d.qm48"), std::ios::binary) << text;
}

// The cells `bitstream --code` prints for the first frames, less cutCells at the end,
// written as a bit stream file (its last byte padded with low cells).
void WriteStream(const TempDir& dir, int frames, size_t cutCells) {
  const CtlResult printed =
      RunCtl("bitstream --code d.qm48 --frames " + std::to_string(frames), dir);
  ASSERT_EQ(printed.code, 0) << printed.err;
  BitSequence cells;
  std::istringstream in(printed.out);
  for (std::string line; std::getline(in, line);)
    for (char c : line.substr(line.find(':') + 1))
      if (c == '0' || c == '1') cells.push_back(static_cast<uint8_t>(c - '0'));
  ASSERT_GT(cells.size(), cutCells);
  cells.resize(cells.size() - cutCells);
  const std::vector<uint8_t> bytes = PackCells(cells);
  std::ofstream(dir.File("s.bits"), std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

TEST(DecomCommandTest, ReadsWhatTheUnitSendsAndNotTheStreamsEnd) {
  struct Case {
    const char* code;  // the setup's
    size_t cutCells;   // taken off the end of 8 minor frames of 4096 bits
    const char* codeLine;
    const char* framesLine;
    const char* extra;  // a further line the summary must hold
  } cases[] = {
      // No encoder setting: the unit sends code 0, NRZ-L, and decom reads it so.
      {"RNRZ17", 0,
       "Code: NRZL (what the unit sends for the setup's RNRZ17, which it has no encoder setting "
       "for), bits taken from cell 0, 32768 bits decoded\n",
       "Minor frames: 6 decoded", "Words: 1536 compared, 0 differ"},
      {"RNRZ9", 0, "Code: NRZL (what the unit sends for the setup's RNRZ9",
       "Minor frames: 6 decoded", ""},
      {"BIOL", 0, "Code: BIOL, bits taken from cell 0, 32768 bits decoded\n",
       "Minor frames: 6 decoded", ""},
      // Cut 3 bits short, padded back by the file with 3 bits of low pairs: the last frame
      // looks whole, but its last word is not compared, and the pairs after the stream's
      // high last cell break Bi-phase-M's rule twice.
      {"BIOM", 6,
       "Code: BIOM, bits taken from cell 0, 32768 bits decoded; 2 code violations in the last 3 "
       "bits, where the stream ends (not counted)\n",
       "Minor frames: 6 decoded",
       "Words: 1535 compared, 0 differ from the setup, 1 at the end of the stream not decoded "
       "completely, not compared\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    TempDir dir;
    WriteSetup(dir, c.code);
    WriteStream(dir, 8, c.cutCells);
    const CtlResult decom = RunCtl("decom --summary --setup d.qm48 s.bits", dir);
    EXPECT_EQ(decom.code, 0) << decom.out << decom.err;
    EXPECT_NE(decom.out.find(c.codeLine), std::string::npos) << decom.out;
    EXPECT_NE(decom.out.find(c.framesLine), std::string::npos) << decom.out;
    EXPECT_NE(decom.out.find(c.extra), std::string::npos) << decom.out;
    EXPECT_NE(decom.out.find("MATCH: every word is where the setup puts it"), std::string::npos);
  }
}

}  // namespace
