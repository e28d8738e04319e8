// TMATS out and in: hand-worked attribute values for a few frames, refusals that name the
// attribute, and random setups that come back from their TMATS and decommutate from it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "common/RandomSimSetup.h"
#include "pcm/PcmTestSupport.h"
#include "pcm/SetupTmats.h"
#include "pcm/TmatsDecom.h"
#include "pcm/TmatsReader.h"
#include "pcm/TmatsText.h"
#include "pcm/TmatsToSetup.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SimKit.h"
#include "simulator/SimValidation.h"

namespace {

std::string Export(const progsimulatorclass& sim, TmatsDocument doc = {}) {
  doc.ProgramName = "TEST";
  std::string text, error;
  EXPECT_TRUE(TmatsOfSetup(sim, doc, text, error)) << error;
  return text;
}

std::string Value(const std::string& text, const std::string& code) {
  TmatsAttributes a;
  std::string error;
  EXPECT_TRUE(ParseTmats(text, a, error)) << error;
  const std::string* v = FindTmats(a, code);
  return v != nullptr ? *v : "(none)";
}

// Only the P group: the D group's wave and unique words are not read back, a
// subframe ID word that is no counter is a data word to an importer.
std::string PGroup(const std::string& text) {
  TmatsAttributes a;
  std::string error, out;
  EXPECT_TRUE(ParseTmats(text, a, error));
  for (const TmatsAttribute& x : a) {
    if (x.Code.rfind("P-", 0) != 0) continue;
    std::string value = x.Value.substr(0, x.Value.find("WORD "));
    while (!value.empty() && (value.back() == ' ' || value.back() == ',')) value.pop_back();
    if (!value.empty()) out += x.Code + ":" + value + "\n";
  }
  return out;
}

// Expected attributes as "code:value;" in a row ("(none)": not written).
TEST(TmatsExport, HandWorkedAttributes) {
  const struct {
    const char* name;
    const char* edits;    // the setup's fields
    const char* pattern;  // binary, or "" for the setup's
    int crcWord;          // the CRC-16 word from 0, or -1
    bool transmitter;     // the T group of 2250.5 MHz, 300 kHz, filter 2 of 800 kHz
    const char* expected;
  } cases[] = {
      {"defaults: 32-bit sync in words 1-2, SFID word 3 from bit 5, 64 frames", "", "", -1, false,
       "P-1\\D1:NRZ-L;P-1\\D2:1024000;P-1\\F1:16;P-1\\F2:M;P-1\\MF\\N:64;P-1\\MF1:255;P-1\\MF2:"
       "4096;P-1\\MF4:32;P-1\\MF5:11111110011010110010100001000000;P-1\\ISF\\N:1;P-1\\IDC1-1:1;P-"
       "1\\IDC3-1:11;P-1\\IDC4-1:6;P-1\\IDC6-1:0;P-1\\IDC8-1:63;P-1\\IDC9-1:64;P-1\\IDC10-1:INC;"
       "G\\106:17;P-1\\MFW1-1:(none);"},
      // 17 bits trailing in two 16-bit words: 15 fill bits make word 7 of 15 bits; the counter
      // 1..4 needs 3 bits, its top bit on bit 5 (bit 11 from the MSB).
      {"17-bit trailing pattern with a don't-care, counter from 1",
       "WordsPerMinorFrame=8 PatternLeads=0 SubframeMode=1 SfIdWordNum=2 NumSubframes=4 "
       "FirstSubFrameNum=1",
       "1X110011100011110", -1, false,
       "P-1\\MF1:8;P-1\\MF2:128;P-1\\MF4:17;P-1\\MF5:1X110011100011110;P-1\\MFW1-1:7;P-1\\MFW2-1:"
       "15;P-1\\MF\\N:4;P-1\\IDC1-1:2;P-1\\IDC3-1:11;P-1\\IDC4-1:3;P-1\\IDC6-1:1;P-1\\IDC8-1:4;"},
      {"RNRZ11, FCC, counting down from 63", "SimOutputCode=14 SubframeMode=2 SubframeDirection=1",
       "", -1, false,
       "P-1\\D1:RNRZ-L;P-1\\D7:Y;P-1\\D8:OTH;P-1\\COM:RANDOMIZER X^11+X^9+1, FRAME CODE "
       "COMPLEMENT;P-1\\IDC6-1:63;P-1\\IDC8-1:0;P-1\\IDC10-1:DEC;"},
      {"inverted bi-phase, LSB first, CRC word 20", "SimOutputCode=11 BitOrder=1", "", 19, false,
       "P-1\\D1:BIO-L;P-1\\D4:I;P-1\\F2:L;P-1\\IDC5-1:L;D-1\\MN-1-1:SYNC;D-1\\WP-1-1-1-1:255;D-"
       "1\\MN-1-2:SFID;D-1\\MN-1-3:CRC-16;D-1\\WP-1-3-1-1:18;D-1\\FP-1-3-1-1:1;"},
      {"the T group of a setup with its transmitter", "", "", -1, true,
       "T-1\\ID:QM48;T-1\\RF1:2250.5;T-1\\RF4:FM;T-1\\RF5:600;T-1\\PMF1:800;T-1\\COM:PEAK "
       "DEVIATION 300 KHZ, PREMODULATION FILTER SETTING 2;"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto sim = std::make_unique<progsimulatorclass>();
    Apply(sim->Setup, c.edits);
    if (*c.pattern != '\0') SetPattern(sim->Setup, c.pattern, 0, int(std::strlen(c.pattern)));
    sim->DoCrc16 = c.crcWord >= 0;
    sim->CrcWdNum = c.crcWord;
    TmatsDocument doc;
    doc.HaveTransmitter = c.transmitter;
    if (c.transmitter) doc.Transmitter = {2250.5, 300, 2, 800};
    const std::string text = Export(*sim, doc);
    const std::string expected = c.expected;
    for (size_t at = 0, end; (end = expected.find(';', at)) != std::string::npos; at = end + 1) {
      const size_t colon = expected.find(':', at);
      const std::string code = expected.substr(at, colon - at);
      EXPECT_EQ(Value(text, code), expected.substr(colon + 1, end - colon - 1)) << code;
    }
    EXPECT_EQ(text.find_first_of(std::string("\0", 1) + "\x7F"), std::string::npos);
    EXPECT_EQ(text.find("\r\n"), text.find(";") + 1) << "every attribute ends with ;";
    // A T group reads back into the transmitter it was written from.
    TmatsDocument back;
    std::string error;
    ASSERT_TRUE(ReadTmats(text, back, error)) << error;
    const TmatsTransmitter &t = back.Transmitter, &w = doc.Transmitter;
    EXPECT_EQ(std::tie(back.HaveTransmitter, t.FreqMhz, t.DeviationKhz, t.FilterIndex, t.FilterKhz),
              std::tie(doc.HaveTransmitter, w.FreqMhz, w.DeviationKhz, w.FilterIndex, w.FilterKhz));
  }
}

// Sync words that are not together at one end of the frame make no TMATS.
TEST(TmatsExport, RefusesSyncWordsThatAreNotTogether) {
  const struct {
    int words, sfIdWord;
    const char* error;
  } cases[] = {
      {2, 3, "every word of the minor frame is a frame sync word"},
      {8, 2, "the frame sync words are not together at either end of the frame"},
  };
  for (const auto& c : cases) {
    auto sim = std::make_unique<progsimulatorclass>();
    SetPattern(sim->Setup, "FE6B2840FE6B", 2, 48);  // words 1-3
    sim->Setup.WordsPerMinorFrame = c.words;
    sim->Setup.SfIdWordNum = c.sfIdWord;
    std::string text, error;
    EXPECT_FALSE(TmatsOfSetup(*sim, TmatsDocument{}, text, error));
    EXPECT_EQ(error, c.error);
  }
}

// The pattern text the import writes: a leading 0 keeps a text starting "0X" from losing those
// digits as a radix marker. LSB first, the unit reverses the pattern in chunks of the common
// length and shifts out the remainder chunk, dropping digits 11..13 of a 15-bit pattern in 11-bit
// words: wire bits 0..10 are text digits 10..0, wire bit 14 is text digit 14.
TEST(TmatsImport, PlacesThePatternDigitsWhereTheWireWantsThem) {
  const struct {
    bool msbFirst;
    int wordBits;
    const char* wire;
    const char* text;
  } cases[] = {
      {true, 16, "0X10110011100011", "00X10110011100011"},
      {false, 11, "011100X1000XXX1", "0001X001110XXX1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.wire);
    PcmFormat f;
    f.BitRate = 1000;
    f.CommonWordLength = c.wordBits;
    f.MsbFirst = c.msbFirst;
    f.MinorFrames = 4;
    f.WordsPerMinorFrame = 9;
    f.SyncPattern = c.wire;
    f.BitsPerMinorFrame = 8 * c.wordBits + static_cast<int64_t>(f.SyncPattern.size());
    auto sim = std::make_unique<progsimulatorclass>();
    std::string error;
    ASSERT_TRUE(SetupFromPcmFormat(f, *sim, error)) << error;
    EXPECT_STREQ(sim->Setup.FrameSyncPattern, c.text);
    EXPECT_EQ(Value(Export(*sim), "P-1\\MF5"), c.wire);
  }
}

// Random setups whose pattern fills two to four 16-bit words: their TMATS imports back with
// the same P group, and decommutates the setup's stream with every word at its TMATS word
// position (the setup's word number less the sync words when they lead).
TEST(TmatsImport, RandomSetupsComeBackAndDecommutateFromTheirTmats) {
  int imported = 0, endless = 0;
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    RandomSimSetup random(seed);
    auto sim = std::make_unique<progsimulatorclass>();
    int32_t format = 0;
    std::array<std::string, 4> names;
    random.Fill(*sim, format, names);
    SimSetupData& s = sim->Setup;
    s.WordsPerMinorFrame = std::min(s.WordsPerMinorFrame, 300);
    for (int i = 0; i < 4; ++i)
      s.Words[size_t(i)].SimWordLen = s.Words[size_t(s.WordsPerMinorFrame - 1 - i)].SimWordLen = 16;
    // No don't-cares, and two words at least: a pattern also in the fixed words locks falsely.
    const int syncWords = random.Int(2, 4);
    std::string pattern;
    for (int i = 0; i < 16 * syncWords; ++i) pattern += random.Flag() ? '1' : '0';
    SetPattern(s, pattern.c_str(), 0, 16 * syncWords);
    if (s.SfIdWordNum <= syncWords || s.SfIdWordNum > s.WordsPerMinorFrame - syncWords)
      s.SfIdWordNum = syncWords + 1;
    std::string message, text, error;
    if (!ValidateSimulatorSetup(*sim, message)) continue;
    ASSERT_TRUE(TmatsOfSetup(*sim, TmatsDocument{}, text, error)) << error;
    TmatsDocument doc;
    ASSERT_TRUE(ReadTmats(text, doc, error)) << error;
    const PcmFormat& link = doc.Links.front();
    ASSERT_EQ(link.WordsPerMinorFrame, s.WordsPerMinorFrame - syncWords + 1);

    auto back = std::make_unique<progsimulatorclass>();
    if (link.MinorFrames > 1024) {
      // A counter whose load writes no end runs all 4096 counts; the TMATS says so.
      EXPECT_FALSE(SetupFromPcmFormat(link, *back, error));
      EXPECT_NE(error.find("MF\\N"), std::string::npos) << error;
      ++endless;
    } else {
      ASSERT_TRUE(SetupFromPcmFormat(link, *back, error)) << error;
      EXPECT_EQ(PGroup(Export(*back)), PGroup(text));
      // RNRZ17, RNRZ23 and RNRZ9 go out as NRZ-L at twice the rate (the clock stops at
      // 33 MHz), and come back so. Convolution is not modelled: its clock is left out.
      const bool doubled = s.SimOutputCode >= 16;
      if (!doubled || s.Convolution == 0) {
        EXPECT_EQ(back->Setup.SimBitRate,
                  doubled ? std::min(2 * s.SimBitRate, 33000000u) : s.SimBitRate);
      }
      EXPECT_EQ(back->Setup.SimOutputCode, doubled ? 0 : s.SimOutputCode);
      EXPECT_EQ(back->Setup.BitOrder, s.BitOrder);
      EXPECT_TRUE(sim->DoCrc16 || sim->DoCttit || back->CrcWdNum == -1) << "no CRC word";
      EXPECT_EQ(back->Setup.CommonWordLength, s.CommonWordLength);
      ++imported;
    }

    const EncoderModel model = ModelOf(*sim);
    const int64_t frameBits = model.FrameBits();
    const int64_t frames = std::min<int64_t>(2 * model.MinorFramesPerMajorFrame() + 6,
                                             std::max<int64_t>(12, (int64_t{1} << 20) / frameBits));
    const int first = s.PatternLeads == 1 ? syncWords : 0;
    int64_t words = 0;
    const TmatsDecomReport report =
        DecommutateTmats(link, model.Line(frames), [&](const TmatsDecomFrame& frame) {
          if (frame.Missed) return;
          const EncodedMinorFrame expected = model.MinorFrame(frame.StartBit / frameBits);
          bool random = false;
          for (size_t p = 0; p < frame.Words.size(); ++p) {
            const EncodedWord& w = expected.Words[size_t(first) + p];
            random = random || w.Random;
            if (w.Random || (random && w.Role == EncoderWordRole::Crc)) continue;
            ASSERT_EQ(frame.Words[p], w.Value) << "frame " << frame.Number << " position " << p + 1;
            ++words;
          }
        });
    EXPECT_TRUE(report.Clean()) << report.Error;
    EXPECT_EQ(report.Sync.MissedPatterns, 0);
    EXPECT_GT(words, 0);
    if (!link.Counters.empty()) {
      EXPECT_GT(report.CountersChecked, 0);
    }
  }
  EXPECT_EQ(imported, 36);
  EXPECT_EQ(endless, 2);
}

// A file from elsewhere may say anything: every attribute the reader takes is checked, and
// what the unit cannot send is refused by the import; either refusal names the attribute and
// the value it had, and leaves the document or the setup as it was.
TEST(TmatsImport, RefusesNamingTheAttribute) {
  const std::string small =
      "P-1\\DLN:L;\nP-1\\D2:1000;\nP-1\\F1:8;\nP-1\\MF\\N:4;\nP-1\\MF1:5;\nP-1\\MF2:40;\nP-1\\MF4:"
      "8;\nP-1\\MF5:11101011;\nP-1\\ISF\\N:1;\nP-1\\IDC1-1:1;\nP-1\\IDC2-1:8;\nP-1\\IDC3-1:1;\nP-"
      "1\\IDC4-1:2;\nP-1\\IDC6-1:0;\nP-1\\IDC7-1:1;\nP-1\\IDC8-1:3;\nP-1\\IDC9-1:4;\n";
  TmatsDocument doc;
  std::string error;
  ASSERT_TRUE(ReadTmats(small, doc, error)) << error;
  ASSERT_EQ(doc.Links.size(), 1u);
  EXPECT_EQ(doc.Links[0].MinorFrames, 4);
  EXPECT_EQ(doc.Links[0].Counters.size(), 1u);
  const std::string exported = Export(*std::make_unique<progsimulatorclass>());
  const struct {
    bool imports;         // read, then refused by the import; else refused by the reader
    const char* replace;  // in the small text, or the default setup's exported one when
                          // `imports`; "": `with` is added
    const char* with;
    const char* error;
  } cases[] = {
      {false, "P-1\\D2:1000;", "P-1\\D2:fast;", "P-1\\D2:fast: not a bit rate"},
      {false, "P-1\\D2:1000;", "P-1\\D2:0;", "P-1\\D2:0: not a bit rate"},
      {false, "P-1\\F1:8;", "P-1\\F1:65;", "P-1\\F1:65: not a number from 1 to 64"},
      {false, "P-1\\MF\\N:4;", "P-1\\MF\\N:0;", "P-1\\MF\\N:0: not a number from 1"},
      {false, "P-1\\MF1:5;", "P-1\\MF1:5x;", "P-1\\MF1:5x: not a number"},
      {false, "P-1\\MF1:5;", "P-1\\MF1:99999999999999999999;", "P-1\\MF1:99999999999999999999"},
      {false, "P-1\\MF5:11101011;", "", "no MF5"},
      {false, "P-1\\MF5:11101011;", "P-1\\MF5:1110101;", "P-1\\MF5:1110101: not 8 digits"},
      {false, "P-1\\MF5:11101011;", "P-1\\MF5:1110101Z;", "P-1\\MF5:1110101Z: not 8 digits"},
      {false, "", "P-1\\ISF2-1:FC;", "P-1\\ISF2-1:FC: only ID counters are read"},
      {false, "P-1\\IDC1-1:1;", "P-1\\IDC1-1:9;", "P-1\\IDC1-1:9: not a number from 1 to 5"},
      {false, "P-1\\IDC6-1:0;", "P-1\\IDC6-1:-1;", "P-1\\IDC6-1:-1: not a number from 0"},
      {false, "", "P-1\\MFW1-1:5;\nP-1\\MFW2-1:12;", "P-1\\MFW1-1:5: not a number from 1 to 4"},
      {false, "P-1\\DLN:L;", "", "no PCM format"},
      {false, "", "R-1\\CDT-1:PCMIN;\nR-1\\TK1-1:70000;", "R-1\\TK1-1:70000: not a number"},
      {true, "P-1\\F3:NO;", "P-1\\F3:EV;", "P-1\\F3:EV: the unit sends no parity bits"},
      {true, "P-1\\TF:ONE;", "P-1\\TF:TWO;", "P-1\\TF:TWO"},
      {true, "P-1\\F1:16;", "P-1\\F1:20;", "P-1\\F1:20: word 1 is longer than 16 bits"},
      {true, "P-1\\MF\\N:64;", "P-1\\MF\\N:2048;", "P-1\\MF\\N:2048: more than 1024 minor frames"},
      {true, "P-1\\D1:NRZ-L;", "P-1\\D1:OTHER;",
       "P-1\\D1:OTHER: the unit has no setting for this code"},
      {true, "P-1\\ISF\\N:1;", "P-1\\ISF\\N:2;",
       "P-1\\ISF\\N:2: the unit has one subframe ID counter"},
      {true, "P-1\\MF2:4096;", "P-1\\MF2:4095;", "P-1\\MF2:4095: the words add up to 4096 bits"},
      {true, "P-1\\D2:1024000;", "P-1\\D2:50000000;", "P-1\\D2:50000000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.replace) + " -> " + c.with);
    std::string text = c.imports ? exported : small;
    const size_t at = *c.replace != '\0' ? text.find(c.replace) : text.size();
    ASSERT_NE(at, std::string::npos);
    text.replace(at, std::strlen(c.replace), c.with);
    TmatsDocument kept;
    kept.ProgramName = "kept";
    auto sim = std::make_unique<progsimulatorclass>();
    sim->Setup.SimBitRate = 777;
    error.clear();
    const bool read = ReadTmats(text, kept, error);
    EXPECT_EQ(read, c.imports) << error;
    if (read) {
      EXPECT_FALSE(SetupFromPcmFormat(kept.Links.front(), *sim, error));
    } else {
      EXPECT_EQ(kept.ProgramName, "kept");
    }
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_EQ(sim->Setup.SimBitRate, 777u);
  }
  // A 65-bit pattern is refused by its length.
  doc = {};
  ASSERT_TRUE(ReadTmats(exported, doc, error));
  doc.Links.front().SyncPattern = std::string(65, '1');
  auto sim = std::make_unique<progsimulatorclass>();
  EXPECT_FALSE(SetupFromPcmFormat(doc.Links.front(), *sim, error));
  EXPECT_NE(error.find("P-1\\MF4:65"), std::string::npos) << error;
}

}  // namespace
