// The frame map: roles, values and lengths of the cells of the default frame, the CRC word,
// a record the load alters, and records built to break the bounds.
#include "editor/FrameMapModel.h"

#include <gtest/gtest.h>

#include <memory>

#include "common/RandomSimSetup.h"
#include "pcm/EncoderModel.h"
#include "simulator/Qm48SimulatorUnit.h"

namespace {

std::unique_ptr<progsimulatorclass> Fresh() {
  return std::make_unique<progsimulatorclass>();
}

TEST(FrameMapModel, DefaultFrameRoles) {
  auto sim = Fresh();
  FrameMapModel map;
  map.Build(*sim);
  ASSERT_EQ(map.Words(), 256);
  ASSERT_EQ(map.Frames(), 64);

  for (int frame : {0, 1, 63}) {
    EXPECT_EQ(map.RoleAt(frame, 0), FrameCellRole::FrameSync);
    EXPECT_EQ(map.RoleAt(frame, 1), FrameCellRole::FrameSync);
    EXPECT_EQ(map.RoleAt(frame, 2), FrameCellRole::SubframeId);
    for (int i = 3; i <= 7; ++i) EXPECT_EQ(map.RoleAt(frame, i), FrameCellRole::Dynamic);
    for (int i = 8; i <= 14; ++i)
      EXPECT_EQ(map.RoleAt(frame, i), frame == 0 ? FrameCellRole::Unique : FrameCellRole::Data)
          << "word " << i + 1 << " frame " << frame;
    EXPECT_EQ(map.RoleAt(frame, 15), FrameCellRole::Data);
    EXPECT_EQ(map.RoleAt(frame, 255), FrameCellRole::Data);
  }
  // The last word carries the end-of-frame mark the load sends.
  EXPECT_TRUE(map.WordAttributeAt(255) & 0x8000);
  EXPECT_FALSE(map.WordAttributeAt(254) & 0x8000);
  // No CRC method on: no CRC word anywhere.
  for (int i = 0; i < map.Words(); ++i) EXPECT_NE(map.RoleAt(5, i), FrameCellRole::Crc);
}

TEST(FrameMapModel, DefaultFrameValuesAndNames) {
  auto sim = Fresh();
  FrameMapModel map;
  map.Build(*sim);

  FrameCell sync = map.CellAt(0, 0);
  EXPECT_TRUE(sync.ValueKnown);
  EXPECT_EQ(sync.Value, 0xFE6B);
  EXPECT_EQ(map.CellAt(7, 1).Value, 0x2840);
  EXPECT_EQ(sync.Length, 16);

  EXPECT_EQ(map.CellAt(5, 2).Value, 5);  // counter value, shift 0
  const char* waves[] = {"SINE", "COSINE", "SQUARE", "TRIANGLE", "RAMPUP"};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(map.CellAt(0, 3 + k).Detail, waves[k]);
  // The ramp climbs from 0 to full scale over the major frame.
  EXPECT_EQ(map.CellAt(0, 7).Value, 0);
  EXPECT_EQ(map.CellAt(63, 7).Value, 0xFFFF);

  EXPECT_EQ(map.CellAt(0, 8).Value, 0xBEEF);
  EXPECT_EQ(map.CellAt(0, 14).Detail, "slot 7");
  EXPECT_EQ(map.CellAt(1, 8).Value, sim->Setup.Words[8].SimValue);  // not inserted there
  EXPECT_EQ(map.CellAt(3, 100).Value, sim->Setup.Words[100].SimValue);

  const std::string tip = map.ToolTipText(0, 3);
  EXPECT_NE(tip.find("Word 4, minor frame 0"), std::string::npos) << tip;
  EXPECT_NE(tip.find("Length: 16 bits"), std::string::npos) << tip;
  EXPECT_NE(tip.find("Role: dynamic word (SINE)"), std::string::npos) << tip;
  EXPECT_NE(map.ToolTipText(0, 9).find("Value: 0xBEEF (48879)"), std::string::npos);
}

TEST(FrameMapModel, CrcWordOnlyWithAMethodOn) {
  auto sim = Fresh();
  sim->CrcWdNum = 200;
  FrameMapModel map;
  map.Build(*sim);
  EXPECT_EQ(map.RoleAt(0, 200), FrameCellRole::Data);

  sim->DoCrc16 = true;
  map.Build(*sim);
  EXPECT_EQ(map.RoleAt(0, 200), FrameCellRole::Crc);
  EXPECT_EQ(map.RoleAt(40, 200), FrameCellRole::Crc);
  EXPECT_FALSE(map.CellAt(0, 200).ValueKnown);
  EXPECT_NE(map.ToolTipText(0, 200).find("CRC word"), std::string::npos);

  sim->DoCrc16 = false;
  sim->DoCttit = true;
  map.Build(*sim);
  EXPECT_EQ(map.RoleAt(3, 200), FrameCellRole::Crc);
}

TEST(FrameMapModel, FollowsTheLoadNotTheRecord) {
  auto sim = Fresh();
  sim->Setup.SubframeMode = 1;
  // A unique word repeating every 4th minor frame from frame 2, every 10th word from 20.
  sim->Setup.UniqueWords[0].SimUniqueWordStartFrame = 2;
  sim->Setup.UniqueWords[0].SimUniqueWordStartFrameInterval = 4;
  sim->Setup.UniqueWords[0].SimUniqueWordStartWord = 20;
  sim->Setup.UniqueWords[0].SimUniqueWordWordInterval = 10;
  sim->Setup.UniqueWords[0].SimUniqueWordValue = 0x1234;
  FrameMapModel map;
  map.Build(*sim);
  EXPECT_EQ(map.RoleName(FrameCellRole::SubframeId), "SFID");
  EXPECT_EQ(map.RoleAt(2, 19), FrameCellRole::Unique);
  EXPECT_EQ(map.RoleAt(6, 29), FrameCellRole::Unique);
  EXPECT_EQ(map.CellAt(6, 29).Value, 0x1234);
  EXPECT_EQ(map.RoleAt(3, 19), FrameCellRole::Data);
  EXPECT_EQ(map.RoleAt(2, 20), FrameCellRole::Data);
  EXPECT_EQ(map.RoleAt(0, 19), FrameCellRole::Data);

  // One minor frame: the load runs the counter over 256 values and resets the first
  // counter value, but only in its own copy here.
  sim->Setup.NumSubframes = 1;
  sim->Setup.FirstSubFrameNum = 1;
  map.Build(*sim);
  EXPECT_EQ(map.Frames(), 256);
  EXPECT_EQ(sim->Setup.FirstSubFrameNum, 1);

  // Counting down from 1 over one minor frame: the frame start register wraps to start 4095
  // counting up, and no frame attribute in the counter's reach ends the major frame, so the
  // unit runs through all 4096 counter values. A unique word of start frame 0 is written at
  // 32768 + 0 + 1: it lands on counter value 1.
  sim->Setup.SubframeDirection = 1;
  sim->Setup.UniqueWords[0].SimUniqueWordStartFrame = 0;
  map.Build(*sim);
  ASSERT_EQ(map.Frames(), 4096);
  EXPECT_EQ(map.CellAt(0, 0).Counter, 4095);
  EXPECT_EQ(map.CellAt(1, 0).Counter, 0);
  EXPECT_EQ(map.CellAt(2, 0).Counter, 1);
  for (int frame = 0; frame < 8; ++frame)
    EXPECT_EQ(map.RoleAt(frame, 19), frame == 2 ? FrameCellRole::Unique : FrameCellRole::Data)
        << frame;
}

// Every cell the map shows is the word the encoder model sends there, on random setups.
TEST(FrameMapModel, AgreesWithTheEncoderModel) {
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE(seed);
    auto sim = Fresh();
    int32_t format = 0;
    std::array<std::string, 4> names;
    RandomSimSetup(seed).Fill(*sim, format, names);
    FrameMapModel map;
    map.Build(*sim);
    const EncoderModel model(sim->Setup, sim->UserWaves,
                             {sim->DoCrc16, sim->DoCttit, sim->CrcWdNum});
    ASSERT_EQ(map.Frames(), model.MinorFramesPerMajorFrame());
    ASSERT_EQ(map.Words(), model.WordsPerMinorFrame());
    for (int frame : {0, std::min(1, map.Frames() - 1), map.Frames() - 1}) {
      const EncodedMinorFrame sent = model.MinorFrame(frame);
      for (int i = 0; i < map.Words(); ++i) {
        const FrameCell cell = map.CellAt(frame, i);
        const EncodedWord& word = sent.Words[static_cast<size_t>(i)];
        ASSERT_EQ(static_cast<int>(cell.Role), static_cast<int>(word.Role)) << frame << " " << i;
        ASSERT_EQ(cell.Counter, sent.Counter);
        ASSERT_EQ(cell.Length, word.Length);
        if (cell.ValueKnown) {
          ASSERT_EQ(cell.Value, word.Value) << frame << " " << i;
        }
      }
    }
  }
}

// The minor frames in the order the unit sends them: counting down, the first is the top.
TEST(FrameMapModel, RowsInTheOrderSent) {
  auto sim = Fresh();
  sim->Setup.SubframeDirection = 1;
  FrameMapModel map;
  map.Build(*sim);
  ASSERT_EQ(map.Frames(), 64);
  for (int frame : {0, 1, 63}) {
    EXPECT_EQ(map.CellAt(frame, 2).Counter, 63 - frame);
    EXPECT_EQ(map.CellAt(frame, 2).Value, 63 - frame);  // the SFID word
  }
}

TEST(FrameMapModel, SpansShowTheStrongestRoleAmongTheirCells) {
  auto sim = Fresh();
  sim->DoCttit = true;
  sim->CrcWdNum = 99;
  FrameMapModel map;
  map.Build(*sim);
  // One cell at a time the span role is the cell's role.
  for (int frame : {0, 1})
    for (int i = 0; i < 120; ++i)
      EXPECT_EQ(FrameMapModel::SpanRole(map.SummariseWords(i, 1), map.FrameUniqueMask(frame, 1)),
                map.RoleAt(frame, i));
  // Sync outranks the waves and unique words that share its pixel; a unique word shows
  // only where its frames are in the span; the CRC word shows in its span.
  EXPECT_EQ(FrameMapModel::SpanRole(map.SummariseWords(0, 16), map.FrameUniqueMask(0, 16)),
            FrameCellRole::FrameSync);
  EXPECT_EQ(FrameMapModel::SpanRole(map.SummariseWords(8, 8), map.FrameUniqueMask(0, 16)),
            FrameCellRole::Unique);
  EXPECT_EQ(FrameMapModel::SpanRole(map.SummariseWords(8, 8), map.FrameUniqueMask(16, 16)),
            FrameCellRole::Data);
  EXPECT_EQ(FrameMapModel::SpanRole(map.SummariseWords(96, 16), map.FrameUniqueMask(16, 16)),
            FrameCellRole::Crc);
  // Spans reaching past the frame are cut at its edges.
  EXPECT_EQ(map.SummariseWords(250, 100).Fixed, FrameCellRole::Data);
  EXPECT_EQ(map.FrameUniqueMask(-10, 11), 0x7F);
  EXPECT_EQ(map.FrameUniqueMask(60, 100), 0);
}

TEST(FrameMapModel, HostileRecordsStayInBounds) {
  auto sim = Fresh();
  FrameMapModel map;

  sim->Setup.WordsPerMinorFrame = -5;
  sim->Setup.NumSubframes = -3;
  sim->Setup.SfIdWordNum = 99999;
  sim->DoCrc16 = true;
  sim->CrcWdNum = 70000;
  sim->Setup.DynamicWords[0].SimDynamicWordNumber = -40;
  sim->Setup.DynamicWords[1].SimDynamicWordWave = 99;
  sim->Setup.UniqueWords[2].SimUniqueWordStartWord = 32767;
  map.Build(*sim);
  // No word attribute written: the unit's encoder runs over all its words, of one bit each.
  EXPECT_EQ(map.Words(), kMaxWordsPerMinorFrame);
  EXPECT_EQ(map.CellAt(0, 0).Length, 1);
  EXPECT_EQ(map.RoleAt(0, 0), FrameCellRole::Data);
  EXPECT_EQ(map.CellAt(-1, -1).Detail, "outside the frame");
  EXPECT_FALSE(map.ToolTipText(100000, 100000).empty());

  // The widest frame, every word its own dynamic word number and overlapping waves, words
  // of length 0 and a huge counter range.
  sim = Fresh();
  sim->Setup.WordsPerMinorFrame = 40000;
  sim->Setup.NumSubframes = 2000000;
  for (auto& word : sim->Setup.Words) word.SimWordLen = 0;
  for (auto& dynamic : sim->Setup.DynamicWords) {
    dynamic.SimDynamicWordNumber = 1;
    dynamic.SimDynamicWordInterval = 1;
    dynamic.SimDynamicWordWave = 8;
  }
  sim->Setup.DynamicWords[4].SimDynamicWordWave = -7;
  sim->Setup.SfIdWordNum = 0;
  sim->Setup.FrameSyncLength = 64;
  map.Build(*sim);
  EXPECT_EQ(map.Words(), kMaxWordsPerMinorFrame);
  EXPECT_LE(map.Frames(), kMaxCounterValues);
  for (int frame : {0, map.Frames() - 1})
    for (int i : {0, 5, map.Words() - 1}) {
      const FrameCell cell = map.CellAt(frame, i);
      EXPECT_GE(cell.Length, 1);
      EXPECT_LE(cell.Length, 16);
      EXPECT_FALSE(map.ToolTipText(frame, i).empty());
    }
}

}  // namespace

namespace {

// The default frame with its sync pattern copied into words 100 and 101, whose bits start
// at 99 * 16 = 1584: the map marks those two words, and their tooltips say why.
TEST(FrameMapModel, MarksTheWordsALockWarningConcerns) {
  auto sim = Fresh();
  FrameMapModel map;
  map.Build(*sim);
  EXPECT_TRUE(map.Warnings().empty());
  for (int i = 0; i < map.Words(); ++i) ASSERT_FALSE(map.WordWarned(i)) << i;

  sim->Setup.Words[99].SimValue = 0xFE6B;
  sim->Setup.Words[100].SimValue = 0x2840;
  map.Build(*sim);
  ASSERT_EQ(map.Warnings().size(), 1u);
  const std::string text =
      "the frame sync pattern also shows in the fixed words at bit 1584 (words 100-101) of the "
      "minor frame: a decommutator may lock there";
  EXPECT_EQ(map.Warnings()[0].Text, text);
  for (int i = 0; i < map.Words(); ++i) EXPECT_EQ(map.WordWarned(i), i == 99 || i == 100) << i;
  EXPECT_TRUE(map.SummariseWords(96, 4).Warned);
  EXPECT_FALSE(map.SummariseWords(92, 4).Warned);
  const std::string tip = map.ToolTipText(3, 100);
  EXPECT_EQ(tip.substr(tip.find("\nWarning: ")), "\nWarning: " + text);
  EXPECT_EQ(map.ToolTipText(3, 98).find("Warning"), std::string::npos);
  // A warning about the whole frame marks no word.
  sim->Setup.Words[99].SimValue = 0;
  sim->Setup.SimOutputCode = 17;  // RNRZ23
  map.Build(*sim);
  ASSERT_EQ(map.Warnings().size(), 1u);
  for (int i = 0; i < map.Words(); ++i) ASSERT_FALSE(map.WordWarned(i)) << i;
}

}  // namespace
