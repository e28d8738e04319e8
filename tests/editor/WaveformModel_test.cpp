// The waveform strip's model: a tiny frame worked by hand, and its limits.
#include "editor/WaveformModel.h"

#include <gtest/gtest.h>

#include <memory>

#include "pcm/PcmTestSupport.h"
#include "simulator/SimKit.h"

namespace {

// Four words a minor frame, two minor frames: sync "EB90" in words 1-2, the subframe ID
// counter (0..1) on bit 7 of word 3, and a 4-bit data word 0x5. 28 bits a minor frame:
//   frame 0: 1110 1011  1001 0000  0000 0000  0101
//   frame 1: 1110 1011  1001 0000  1000 0000  0101
std::unique_ptr<SimSetupData> TinySetup() {
  auto setup = std::make_unique<SimSetupData>();
  for (int i = 0; i < 3; ++i) setup->Words[size_t(i)] = {8, 0};
  setup->Words[3] = {4, 0x5};
  SetPattern(*setup, "EB90", 2, 16);  // hex
  Apply(*setup,
        "CommonWordLength=8 WordsPerMinorFrame=4 PatternLeads=1 SubframeMode=1 "
        "NumSubframes=2 SfIdWordNum=3 SfIdStartBit=7");
  return setup;
}

TEST(WaveformModel, TinyFrameWorkedByHand) {
  WaveformModel model;
  model.Build(*TinySetup(), UserWaveTables{}, {});
  ASSERT_EQ(model.Frames(), 2);
  EXPECT_EQ(model.Window(0, 8, LineCode::NrzL).Cells, BitsOfText("11 11 11 00  11 00 11 11"));
  // Bi-phase-L: 1 high then low, 0 low then high. NRZ-M from a low line: a 1 toggles.
  EXPECT_EQ(model.Window(0, 8, LineCode::BiPhaseL).Cells, BitsOfText("10 10 10 01  10 01 10 10"));
  EXPECT_EQ(model.Window(1, 8, LineCode::NrzM).Cells, BitsOfText("11 00 11 11  00 00 11 00"));
  // A window is the start of the longer one in every code (a run of 1s goes on past it).
  for (int code = 0; code < kLineCodeCount; ++code) {
    const BitSequence shortCells = model.Window(0, 8, LineCode(code)).Cells;
    const BitSequence longCells = model.Window(0, 40, LineCode(code)).Cells;
    EXPECT_EQ(shortCells, BitSequence(longCells.begin(), longCells.begin() + 16)) << code;
  }
  // Frame 1, then the next major frame's frame 0 cut after 12 bits: first bit, frame, word,
  // bits shown, role of each word.
  EXPECT_EQ(model.Window(1, 40, LineCode::NrzL).Bits,
            BitsOfText("1110 1011 1001 0000 1000 0000 0101  1110 1011 1001"));
  model.Build(*TinySetup(), UserWaveTables{}, {true, false, 3});  // word 4 the CRC
  const Waveform shown = model.Window(1, 40, LineCode::NrzL);
  const std::tuple<int, int, int, int, FrameCellRole> words[] = {
      {0, 1, 1, 8, FrameCellRole::FrameSync},   {8, 1, 2, 8, FrameCellRole::FrameSync},
      {16, 1, 3, 8, FrameCellRole::SubframeId}, {24, 1, 4, 4, FrameCellRole::Crc},
      {28, 0, 1, 8, FrameCellRole::FrameSync},  {36, 0, 2, 4, FrameCellRole::FrameSync}};
  ASSERT_EQ(shown.Words.size(), 6u);
  for (size_t i = 0; i < shown.Words.size(); ++i) {
    const WaveformWord& w = shown.Words[i];
    EXPECT_EQ(std::tuple(w.FirstBit, w.Frame, w.Word, w.Bits, w.Role), words[i]) << i;
  }
  EXPECT_EQ(shown.Words[5].Length * 1000 + shown.Words[2].Value, 8128);

  // Frames and bit counts stay in range; an empty model shows nothing.
  EXPECT_EQ(model.Window(-3, 8, LineCode::NrzL).Frame + model.Window(7, 8, LineCode::NrzL).Frame,
            1);
  EXPECT_EQ(model.Window(0, 1, LineCode::NrzL).Bits.size(), size_t(kWaveformMinBits));
  const Waveform longest = model.Window(0, 100000, LineCode::BiPhaseL);
  EXPECT_EQ(longest.Cells.size(), size_t(2 * kWaveformMaxBits));
  EXPECT_EQ(longest.Words.back().FirstBit + longest.Words.back().Bits, kWaveformMaxBits);
  EXPECT_TRUE(WaveformModel().Window(0, 64, LineCode::NrzL).Cells.empty());
  // The code the unit sends: the record's own.
  auto setup = TinySetup();
  setup->SimOutputCode = int32_t(LineCode::DmS);
  model.Build(*setup, UserWaveTables{}, {});
  EXPECT_EQ(model.SetupCode(), LineCode::DmS);
}

}  // namespace
