// The waveform strip's model: hand-checked cells of a tiny frame in two codes, the words
// and where they start, windows that run past the minor frame and the major frame, the
// limits of frame and bit count, and windows that agree with the encoder's bit stream.
#include "editor/WaveformModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>

namespace {

constexpr int32_t kHex = 2;
constexpr int32_t kSfId = 1;
constexpr int32_t kLeads = 1;

// Four words a minor frame, two minor frames: sync "EB90" in words 1-2, the subframe ID
// counter (0..1) on bit 7 of word 3, and a 4-bit data word 0x5. 28 bits a minor frame:
//   frame 0: 1110 1011  1001 0000  0000 0000  0101
//   frame 1: 1110 1011  1001 0000  1000 0000  0101
std::unique_ptr<SimSetupData> TinySetup() {
  auto setup = std::make_unique<SimSetupData>();
  setup->CommonWordLength = 8;
  setup->WordsPerMinorFrame = 4;
  for (int i = 0; i < 3; ++i) setup->Words[size_t(i)] = {8, 0};
  setup->Words[3] = {4, 0x5};
  setup->FsPatternRadix = kHex;
  std::strcpy(setup->FrameSyncPattern, "EB90");
  setup->FrameSyncLength = 16;
  setup->PatternLeads = kLeads;
  setup->SubframeMode = kSfId;
  setup->NumSubframes = 2;
  setup->FirstSubFrameNum = 0;
  setup->SfIdWordNum = 3;
  setup->SfIdStartBit = 7;
  return setup;
}

BitSequence FromText(const char* text) {
  BitSequence out;
  for (const char* c = text; *c != '\0'; ++c)
    if (*c == '0' || *c == '1') out.push_back(static_cast<uint8_t>(*c - '0'));
  return out;
}

TEST(WaveformModel, TinyFrameCellsInNrzLAndBiPhaseL) {
  const auto setup = TinySetup();
  WaveformModel model;
  model.Build(*setup, UserWaveTables{}, {});
  ASSERT_EQ(model.Frames(), 2);

  const Waveform nrz = model.Window(0, 8, LineCode::NrzL);
  EXPECT_EQ(nrz.Bits, FromText("1110 1011"));
  EXPECT_EQ(nrz.Cells, FromText("11 11 11 00  11 00 11 11"));

  // Bi-phase-L: 1 high then low, 0 low then high.
  const Waveform biphase = model.Window(0, 8, LineCode::BiPhaseL);
  EXPECT_EQ(biphase.Bits, nrz.Bits);
  EXPECT_EQ(biphase.Cells, FromText("10 10 10 01  10 01 10 10"));

  // The second minor frame carries the counter's 1 on bit 7 of word 3.
  const Waveform second = model.Window(1, 28, LineCode::NrzL);
  EXPECT_EQ(second.Bits, FromText("1110 1011 1001 0000 1000 0000 0101"));
  EXPECT_EQ(second.Frame, 1);
}

TEST(WaveformModel, StatefulCodesStartFromAnIdleLineAtTheChosenFrame) {
  const auto setup = TinySetup();
  WaveformModel model;
  model.Build(*setup, UserWaveTables{}, {});
  // NRZ-M from a low line: every 1 toggles the level.
  EXPECT_EQ(model.Window(1, 8, LineCode::NrzM).Cells, FromText("11 00 11 11  00 00 11 00"));
  // A window is the start of the longer window: what follows it is encoded with it (the
  // modified delay modulation leaves out a mid-bit transition by the length of a run of 1s,
  // and the run of bits 6-7 goes on into bit 8).
  for (int code = 0; code < kLineCodeCount; ++code) {
    const LineCode c = static_cast<LineCode>(code);
    const Waveform shortWindow = model.Window(0, 8, c);
    const Waveform longWindow = model.Window(0, 40, c);
    ASSERT_EQ(shortWindow.Cells.size(), 16u);
    EXPECT_TRUE(
        std::equal(shortWindow.Cells.begin(), shortWindow.Cells.end(), longWindow.Cells.begin()))
        << "code " << code;
  }
}

TEST(WaveformModel, WordsStartWhereTheirBitsStartAndRunIntoTheNextFrames) {
  const auto setup = TinySetup();
  WaveformModel model;
  model.Build(*setup, UserWaveTables{}, {true, false, 3});
  const Waveform shown = model.Window(1, 40, LineCode::NrzL);
  ASSERT_EQ(shown.Bits.size(), 40u);
  // Frame 1's four words, then the next major frame's frame 0, cut after 12 bits.
  ASSERT_EQ(shown.Words.size(), 6u);
  const int firstBits[] = {0, 8, 16, 24, 28, 36};
  const int frames[] = {1, 1, 1, 1, 0, 0};
  const int words[] = {1, 2, 3, 4, 1, 2};
  const int bits[] = {8, 8, 8, 4, 8, 4};
  for (size_t i = 0; i < shown.Words.size(); ++i) {
    EXPECT_EQ(shown.Words[i].FirstBit, firstBits[i]) << i;
    EXPECT_EQ(shown.Words[i].Frame, frames[i]) << i;
    EXPECT_EQ(shown.Words[i].Word, words[i]) << i;
    EXPECT_EQ(shown.Words[i].Bits, bits[i]) << i;
  }
  EXPECT_EQ(shown.Words[5].Length, 8);
  EXPECT_EQ(shown.Words[0].Role, FrameCellRole::FrameSync);
  EXPECT_EQ(shown.Words[1].Role, FrameCellRole::FrameSync);
  EXPECT_EQ(shown.Words[2].Role, FrameCellRole::SubframeId);
  EXPECT_EQ(shown.Words[2].Value, 0x80);
  EXPECT_EQ(shown.Words[3].Role, FrameCellRole::Crc);
  EXPECT_EQ(shown.Words[4].Role, FrameCellRole::FrameSync);
  // The next major frame starts over with the sync pattern.
  EXPECT_EQ(BitSequence(shown.Bits.begin() + 28, shown.Bits.end()), FromText("1110 1011 1001"));
}

TEST(WaveformModel, FrameAndBitCountStayInRange) {
  auto setup = TinySetup();
  WaveformModel empty;
  EXPECT_EQ(empty.Frames(), 0);
  EXPECT_TRUE(empty.Window(0, 64, LineCode::NrzL).Cells.empty());

  WaveformModel model;
  model.Build(*setup, UserWaveTables{}, {});
  EXPECT_EQ(model.Window(-3, 8, LineCode::NrzL).Frame, 0);
  EXPECT_EQ(model.Window(7, 8, LineCode::NrzL).Frame, 1);
  EXPECT_EQ(model.Window(0, 1, LineCode::NrzL).Bits.size(), size_t(kWaveformMinBits));
  const Waveform longest = model.Window(0, 100000, LineCode::BiPhaseL);
  EXPECT_EQ(longest.Bits.size(), size_t(kWaveformMaxBits));
  EXPECT_EQ(longest.Cells.size(), size_t(2 * kWaveformMaxBits));
  EXPECT_EQ(longest.Words.back().FirstBit + longest.Words.back().Bits, kWaveformMaxBits);

  // The code the unit sends: the record's own, but NRZ-L for one without an encoder setting
  // or outside the table.
  const std::pair<LineCode, LineCode> codes[] = {{LineCode::DmS, LineCode::DmS},
                                                 {LineCode::Rnrz15, LineCode::Rnrz15},
                                                 {LineCode::Rnrz17, LineCode::NrzL},
                                                 {LineCode::Rnrz9, LineCode::NrzL},
                                                 {static_cast<LineCode>(99), LineCode::NrzL}};
  for (const auto& [code, sent] : codes) {
    setup->SimOutputCode = static_cast<int32_t>(code);
    model.Build(*setup, UserWaveTables{}, {});
    EXPECT_EQ(model.SetupCode(), sent) << static_cast<int>(code);
  }
}

// Each minor frame's window is the stretch of the encoder's stream where that frame starts,
// in either bit order, for the default record and one with words of odd lengths.
TEST(WaveformModel, WindowsAgreeWithTheEncodersBitStream) {
  auto setup = std::make_unique<SimSetupData>();
  UserWaveTables waves{};
  SetDefaults(*setup, waves);
  setup->WordsPerMinorFrame = 12;
  setup->NumSubframes = 4;
  setup->Words[4].SimWordLen = 5;
  setup->Words[7].SimWordLen = 13;
  for (int32_t order : {0, 1}) {
    setup->BitOrder = order;
    const EncoderModel encoder(*setup, waves, {});
    WaveformModel model;
    model.Build(*setup, waves, {});
    const size_t frameBits = encoder.Bits(1).size();
    const BitSequence stream = encoder.Bits(6);
    for (int f = 0; f < model.Frames(); ++f) {
      const Waveform shown = model.Window(f, 300, LineCode::NrzL);
      const auto start = stream.begin() + static_cast<std::ptrdiff_t>(frameBits * size_t(f));
      ASSERT_EQ(BitSequence(start, start + 300), shown.Bits) << "order " << order << " frame " << f;
      int next = 0;
      for (const WaveformWord& word : shown.Words) {
        EXPECT_EQ(word.FirstBit, next);
        next += word.Bits;
      }
      EXPECT_EQ(next, 300);
    }
  }
}

}  // namespace
