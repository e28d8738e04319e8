// The frame map: the default frame worked by hand, spans, hostile records and lock warnings.
#include "editor/FrameMapModel.h"

#include <gtest/gtest.h>

#include <memory>

#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SimKit.h"

namespace {

using Role = FrameCellRole;

class FrameMapModelTest : public ::testing::Test {
 protected:
  FrameMapModel& Built() { return map.Build(*sim), map; }
  std::unique_ptr<progsimulatorclass> sim = std::make_unique<progsimulatorclass>();
  FrameMapModel map;
};

TEST_F(FrameMapModelTest, DefaultFrame) {
  sim->CrcWdNum = 200;  // no CRC method on: no CRC word
  ASSERT_EQ(Built().Words() * 1000 + map.Frames(), 256064);
  // Words 1-2 sync, 3 SFID, 4-8 the five waves, 9-15 unique words in frame 0 only.
  for (int frame : {0, 1, 63})
    for (int i = 0; i < 256; ++i)
      ASSERT_EQ(map.RoleAt(frame, i), i < 2                  ? Role::FrameSync
                                      : i == 2               ? Role::SubframeId
                                      : i < 8                ? Role::Dynamic
                                      : i < 15 && frame == 0 ? Role::Unique
                                                             : Role::Data)
          << "word " << i + 1 << " frame " << frame;
  EXPECT_TRUE(map.WordAttributeAt(255) & 0x8000);  // the end-of-frame mark the load sends
  EXPECT_FALSE(map.WordAttributeAt(254) & 0x8000);
  // Sync halves, the counter (shift 0), the ramp over the major frame, a unique word.
  for (auto [frame, word, value] : {std::tuple{0, 0, 0xFE6B},
                                    {7, 1, 0x2840},
                                    {5, 2, 5},
                                    {0, 7, 0},
                                    {63, 7, 0xFFFF},
                                    {0, 8, 0xBEEF}})
    EXPECT_EQ(map.CellAt(frame, word).Value, value) << frame << " " << word;
  EXPECT_EQ(map.CellAt(1, 8).Value, sim->Setup.Words[8].SimValue);
  EXPECT_EQ(map.CellAt(0, 14).Detail, "slot 7");
  EXPECT_EQ(map.ToolTipText(0, 7) + "|" + map.ToolTipText(0, 9),
            "Word 8, minor frame 0 (counter 0)\nLength: 16 bits\nValue: 0x0000 (0)\nRole: dynamic "
            "word (RAMPUP)|Word 10, minor frame 0 (counter 0)\nLength: 16 bits\nValue: 0xBEEF "
            "(48879)\nRole: unique word (slot 2)");
  for (auto [crc16, ccitt] : {std::pair{true, false}, {false, true}}) {
    sim->DoCrc16 = crc16;
    sim->DoCttit = ccitt;
    EXPECT_EQ(Built().RoleAt(40, 200), Role::Crc);
    EXPECT_FALSE(map.CellAt(0, 200).ValueKnown);
    EXPECT_NE(map.ToolTipText(0, 200).find("CRC word"), std::string::npos);
  }
}

TEST_F(FrameMapModelTest, SpansHostileRecordsAndLockWarnings) {
  sim->DoCttit = true;
  sim->CrcWdNum = 99;
  Built();
  auto span = [&](int word, int words, int frame, int frames) {
    return FrameMapModel::SpanRole(map.SummariseWords(word, words),
                                   map.FrameUniqueMask(frame, frames));
  };
  for (int i = 0; i < 120; ++i) EXPECT_EQ(span(i, 1, 0, 1), map.RoleAt(0, i));
  // Sync outranks its neighbours; a unique word shows only where its frames are in the span;
  // spans past the frame are cut at its edges.
  for (auto [word, frame, role] : {std::tuple{0, 0, Role::FrameSync},
                                   {8, 0, Role::Unique},
                                   {8, 16, Role::Data},
                                   {96, 16, Role::Crc}})
    EXPECT_EQ(span(word, word == 8 ? 8 : 16, frame, 16), role);
  EXPECT_EQ(map.SummariseWords(250, 100).Fixed, Role::Data);
  EXPECT_EQ(map.FrameUniqueMask(-10, 11) * 1000 + map.FrameUniqueMask(60, 100), 0x7F * 1000);

  // The sync pattern copied into words 100 and 101, whose bits start at 99 * 16 = 1584.
  sim = std::make_unique<progsimulatorclass>();
  sim->Setup.Words[99].SimValue = 0xFE6B;
  sim->Setup.Words[100].SimValue = 0x2840;
  ASSERT_EQ(Built().Warnings().size(), 1u);
  const std::string text =
      "the frame sync pattern also shows in the fixed words at bit 1584 (words 100-101) of the "
      "minor frame: a decommutator may lock there";
  EXPECT_EQ(map.Warnings()[0].Text, text);
  for (int i = 0; i < map.Words(); ++i) EXPECT_EQ(map.WordWarned(i), i == 99 || i == 100) << i;
  EXPECT_TRUE(map.SummariseWords(96, 4).Warned && !map.SummariseWords(92, 4).Warned);
  const std::string tip = map.ToolTipText(3, 100);
  EXPECT_EQ(tip.substr(tip.find("\nWarning: ")), "\nWarning: " + text);
  sim->Setup.Words[99].SimValue = 0;  // a warning about the whole frame marks no word
  sim->Setup.SimOutputCode = 17;      // RNRZ23
  ASSERT_EQ(Built().Warnings().size(), 1u);
  EXPECT_FALSE(map.WordWarned(100));

  // Hostile records stay in bounds; no word attribute written: all words, one bit each.
  Apply(sim->Setup, "WordsPerMinorFrame=-5 NumSubframes=-3 SfIdWordNum=99999");
  sim->CrcWdNum = 70000;
  sim->Setup.DynamicWords[0] = {-40, 1, 99};
  sim->Setup.UniqueWords[2].SimUniqueWordStartWord = 32767;
  EXPECT_EQ(Built().Words(), kMaxWordsPerMinorFrame);
  EXPECT_EQ(map.CellAt(0, 0).Length, 1);
  const FrameCell outside = map.CellAt(-1, -1);  // the cell still says where it was asked
  EXPECT_EQ(std::tie(outside.Frame, outside.Word, outside.Detail),
            std::make_tuple(-1, 0, "outside the frame"));
  EXPECT_FALSE(map.ToolTipText(100000, 100000).empty());
  // The widest frame, overlapping waves on every word, words of length 0, a huge count.
  for (auto& word : sim->Setup.Words) word.SimWordLen = 0;
  for (auto& dynamic : sim->Setup.DynamicWords) dynamic = {1, 1, 8};
  Apply(sim->Setup,
        "WordsPerMinorFrame=40000 NumSubframes=2000000 SfIdWordNum=0 Wave5=-7 "
        "FrameSyncLength=64");
  EXPECT_LE(Built().Frames(), kMaxCounterValues);
  for (int frame : {0, map.Frames() - 1})
    for (int i : {0, 5, map.Words() - 1}) {
      const int length = map.CellAt(frame, i).Length;
      EXPECT_TRUE(length >= 1 && length <= 16 && !map.ToolTipText(frame, i).empty()) << i;
    }
}

}  // namespace
