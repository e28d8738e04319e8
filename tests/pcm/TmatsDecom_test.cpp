// Decommutation from a setup's TMATS alone, on what the virtual unit sends
// after a load of that setup: it locks, the counter counts as the TMATS says,
// and every word the setup puts in the frame is found at its TMATS word
// position.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "common/RandomSimSetup.h"
#include "pcm/EncoderModel.h"
#include "pcm/SetupTmats.h"
#include "pcm/TmatsDecom.h"
#include "pcm/TmatsReader.h"
#include "simulator/MemoryImages.h"
#include "simulator/SimValidation.h"
#include "unit/UnitEncoderTables.h"
#include "unit/UnitProtocol.h"

namespace {

EncoderModel UnitModelAfterLoad(progsimulatorclass& sim) {
  sim.Prep232SimSetupData();
  UnitProtocol unit;
  const std::vector<uint8_t>& bytes = sim.TxBuffer.Bytes();
  unit.Feed(bytes.data(), bytes.size());
  return EncoderModel(EncoderTablesFromUnit(unit.State().sim));
}

// The pattern fills its words exactly, so the TMATS word positions are the
// setup's word numbers less the sync words (leading) or the same (trailing).
void FillSyncWords(SimSetupData& s, RandomSimSetup& random, int words) {
  int bits = 0;
  for (int i = 0; i < words; ++i) {
    const int index = s.PatternLeads == 1 ? i : s.WordsPerMinorFrame - 1 - i;
    bits += s.Words[size_t(index)].SimWordLen;
  }
  // No don't-care digits, and two words at least: a pattern that also shows in
  // the fixed words locks any decommutator falsely.
  std::string pattern;
  for (int i = 0; i < bits; ++i) pattern += random.Flag() ? '1' : '0';
  std::strcpy(s.FrameSyncPattern, pattern.c_str());
  s.FsPatternRadix = 0;
  s.FrameSyncLength = bits;
}

TEST(TmatsDecom, FindsEveryWordOfTheUnitsStreamWhereTheSetupPutsIt) {
  int checked = 0;
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    RandomSimSetup random(seed);
    auto sim = std::make_unique<progsimulatorclass>();
    int32_t format = 0;
    std::array<std::string, 4> names;
    random.Fill(*sim, format, names);
    SimSetupData& s = sim->Setup;
    s.WordsPerMinorFrame = std::min(s.WordsPerMinorFrame, 300);
    for (int i = 0; i < 4; ++i) s.Words[size_t(i)].SimWordLen = 16;
    for (int i = 1; i <= 4; ++i) s.Words[size_t(s.WordsPerMinorFrame - i)].SimWordLen = 16;
    const int syncWords = random.Int(2, 4);
    FillSyncWords(s, random, syncWords);
    if (s.SfIdWordNum <= syncWords || s.SfIdWordNum > s.WordsPerMinorFrame - syncWords)
      s.SfIdWordNum = syncWords + 1;
    std::string message, text, error;
    if (!ValidateSimulatorSetup(*sim, message)) continue;
    ASSERT_TRUE(TmatsOfSetup(*sim, TmatsDocument{}, text, error)) << error;
    TmatsDocument doc;
    ASSERT_TRUE(ReadTmats(text, doc, error)) << error;
    const PcmFormat& link = doc.Links.front();
    ASSERT_EQ(link.WordsPerMinorFrame, s.WordsPerMinorFrame - syncWords + 1);

    const EncoderModel unit = UnitModelAfterLoad(*sim);
    const int64_t frameBits = unit.FrameBits();
    const int64_t frames = std::min<int64_t>(2 * unit.MinorFramesPerMajorFrame() + 6,
                                             std::max<int64_t>(12, (int64_t{1} << 20) / frameBits));
    const int first = s.PatternLeads == 1 ? syncWords : 0;
    int64_t words = 0;
    const TmatsDecomReport report =
        DecommutateTmats(link, unit.Line(frames), [&](const TmatsDecomFrame& frame) {
          if (frame.Missed) return;
          const EncodedMinorFrame expected = unit.MinorFrame(frame.StartBit / frameBits);
          bool random = false;
          for (size_t p = 0; p < frame.Words.size(); ++p) {
            const EncodedWord& w = expected.Words[size_t(first) + p];
            random = random || w.Random;
            if (w.Random || (random && w.Role == EncoderWordRole::Crc)) continue;
            ASSERT_EQ(frame.Words[p], w.Value) << "frame " << frame.Number << " position " << p + 1;
            ++words;
          }
        });
    ASSERT_TRUE(report.Error.empty()) << report.Error;
    EXPECT_TRUE(report.Locked());
    EXPECT_EQ(report.CounterErrors, 0);
    EXPECT_EQ(report.Sync.MissedPatterns, 0);
    EXPECT_GT(words, 0);
    if (!link.Counters.empty()) {
      EXPECT_GT(report.CountersChecked, 0);
    }
    ++checked;
  }
  EXPECT_GE(checked, 25);
}

}  // namespace
