// The word values dialog's table: selection by click, lengths, fills and their prompts, copies.
#include "editor/WordValueEdits.h"

#include <gtest/gtest.h>

#include <memory>

#include "common/ScriptedOperator.h"
#include "support/Signals.h"

namespace {

using Numbers = std::vector<int>;

class WordValueEditsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<SimWord> words(20);
    for (size_t i = 0; i < words.size(); ++i) words[i] = {16, static_cast<uint16_t>(1001 + i)};
    edits.SetUp(words);
  }
  void Select(Numbers words) {
    edits.ClearSelection();
    for (int w : words) edits.Click(w, false, true);
  }
  Numbers Values(Numbers words) const {
    for (int& w : words) w = edits.Word(w).SimValue;
    return words;
  }

  WordValueEdits edits;
  ScriptedOperator op;
  ScopedOperator scoped{op};
};

TEST_F(WordValueEditsTest, ClicksSelectAsTheOperatorExpects) {
  // Clicks (word, shift, ctrl) and the selection after each.
  const std::tuple<int, bool, bool, Numbers> clicks[] = {
      {4, true, false, {1, 2, 3, 4}},  // shift before any plain click: from word 1
      {3, false, false, {3}},         {6, true, false, {3, 4, 5, 6}},
      {1, true, false, {1, 2, 3}},                           // the anchor stays, either direction
      {2, false, false, {2}},         {2, false, true, {}},  // ctrl deselects
      {9, false, true, {9}},          {2, false, true, {2, 9}},   // ctrl adds
      {0, false, false, {2, 9}},      {21, true, false, {2, 9}},  // outside the table
  };
  for (const auto& [word, shift, ctrl, selected] : clicks) {
    edits.Click(word, shift, ctrl);
    EXPECT_EQ(edits.SelectedWords(), selected) << word;
    EXPECT_EQ(edits.SelectedCount(), static_cast<int>(selected.size()));
  }
  EXPECT_TRUE(edits.IsSelected(9) && !edits.IsSelected(3) && edits.Anchor() == 2 &&
              edits.AnySelected());
}

TEST_F(WordValueEditsTest, LengthAndFillsChangeOnlyTheSelectedWords) {
  EXPECT_EQ(
      edits.FillSequential(1, 1) + edits.FillSame(7) + edits.FillRandom() + edits.SetLength(8),
      0);  // nothing selected
  Select({7, 3, 4});
  EXPECT_EQ(edits.SetLength(2) + edits.SetLength(17), 0);
  EXPECT_EQ(edits.SetLength(3), 3);
  EXPECT_EQ(edits.Word(4).SimWordLen, 3);
  EXPECT_EQ(edits.Word(5).SimWordLen, 16);
  EXPECT_EQ(edits.FillSequential(100, 5), 3);  // in word order
  EXPECT_EQ(Values({3, 4, 5, 6, 7}), (Numbers{100, 105, 1005, 1006, 110}));
  EXPECT_EQ(edits.FillSequential(65534, 5), 3);  // wraps
  EXPECT_EQ(Values({3, 4, 7}), (Numbers{65534, 3, 8}));

  // The runtime's generator from its start, one draw per word in word order, never reseeded.
  RuntimeSrand(1);
  Select({9, 2, 5});
  EXPECT_EQ(edits.FillRandom(), 3);
  EXPECT_EQ(Values({2, 5, 9}), (Numbers{346, 130, 10982}));
  Select({1});
  edits.FillRandom();
  RuntimeSrand(1);
  for (int i = 0; i < 3; ++i) RuntimeRand();
  EXPECT_EQ(edits.Word(1).SimValue, RuntimeRand());
}

TEST_F(WordValueEditsTest, PromptedFills) {
  Select({3, 4, 7});
  op.QueueInput("100");
  op.QueueInputCancel();  // the interval keeps its default of 5
  EXPECT_EQ(edits.PromptSequential(4), 3);
  EXPECT_EQ(Values({3, 4, 7}), (Numbers{100, 105, 110}));
  EXPECT_EQ(op.InputBoxes().at(0).initialText, "1004");  // the clicked word's value
  op.QueueInput("0x10");
  EXPECT_EQ(edits.PromptSame(0), 3);  // outside the words: the first selected one's value
  EXPECT_EQ(op.InputBoxes().at(2).initialText + " " + std::to_string(Values({7})[0]), "100 16");
  // Cancel changes nothing and asks no interval; OK on the offered value is an answer.
  op.ClearRecords();
  op.QueueInputCancel();
  EXPECT_EQ(edits.PromptSequential(9), 0);
  EXPECT_EQ(op.InputBoxes().size(), 1u);
  for (const char* typed : {"1009", "1009", "5"}) op.QueueInput(typed);
  EXPECT_EQ(edits.PromptSame(9), 3);
  EXPECT_EQ(edits.PromptSequential(9), 3);
  EXPECT_EQ(Values({3, 4, 7}), (Numbers{1009, 1014, 1019}));
  // Unreadable keeps the value with a warning, out of range goes to the nearer limit.
  for (auto [typed, value, warned] :
       {std::tuple{"12a", 77, 1}, {"70000", 65535, 2}, {"-3", 0, 3}}) {
    uint16_t v = 77;
    op.QueueInput(typed);
    EXPECT_TRUE(PromptWordValue("Enter Value To Use", v));
    EXPECT_EQ(std::pair(int(v), op.CountPlayed(WarningTones())), std::pair(value, warned));
  }
}

TEST(WordValueCopies, CopyInTakesTheFrameAndCopyBackOnlyItsWords) {
  auto setup = std::make_unique<SimSetupData>();
  for (size_t i = 0; i < setup->Words.size(); ++i) setup->Words[i] = {16, uint16_t(i)};
  WordValueEdits edits;
  for (auto [count, copied] : {std::pair{40000, kMaxWordsPerMinorFrame}, {-2, 0}, {5, 5}}) {
    setup->WordsPerMinorFrame = count;  // a damaged count never reaches outside the table
    edits.CopyIn(*setup);
    EXPECT_EQ(edits.Count(), copied);
  }
  edits.Click(1, false, false);
  edits.Click(5, true, false);
  edits.FillSame(9);
  edits.SetLength(12);
  EXPECT_EQ(setup->Words[4].SimValue, 4);  // the record is written only by CopyBack
  edits.CopyBack(*setup);
  EXPECT_EQ(std::pair(int(setup->Words[4].SimValue), int(setup->Words[4].SimWordLen)),
            std::pair(9, 12));
  EXPECT_EQ(std::pair(int(setup->Words[5].SimValue), int(setup->Words[5].SimWordLen)),
            std::pair(5, 16));
}

}  // namespace
