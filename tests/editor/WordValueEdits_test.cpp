// The word values dialog's working table: selection by click, the length menu, the three
// fills with their prompts, and copying in and back.
#include "editor/WordValueEdits.h"

#include <gtest/gtest.h>

#include <memory>

#include "common/ScriptedOperator.h"
#include "support/Signals.h"

namespace {

std::vector<SimWord> Table(int n) {
  std::vector<SimWord> words(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) words[static_cast<size_t>(i)] = {16, static_cast<uint16_t>(1000 + i)};
  return words;
}

class WordValueEditsTest : public ::testing::Test {
 protected:
  void SetUp() override { edits.SetUp(Table(20)); }
  void Select(std::initializer_list<int> words) {
    edits.ClearSelection();
    for (int w : words) edits.Click(w, false, true);
  }
  std::vector<uint16_t> Values(std::initializer_list<int> words) const {
    std::vector<uint16_t> out;
    for (int w : words) out.push_back(edits.Word(w).SimValue);
    return out;
  }

  WordValueEdits edits;
  ScriptedOperator op;
  ScopedOperator scoped{op};
};

TEST_F(WordValueEditsTest, ClicksSelectAsTheOperatorExpects) {
  edits.Click(3, false, false);
  edits.Click(6, true, false);
  EXPECT_EQ(edits.SelectedWords(), (std::vector<int>{3, 4, 5, 6}));
  EXPECT_EQ(edits.Anchor(), 3);

  edits.Click(6, false, false);
  edits.Click(3, true, false);
  EXPECT_EQ(edits.SelectedWords(), (std::vector<int>{3, 4, 5, 6}));
  // A second shift-click reaches from the same anchor, in the other direction.
  edits.Click(8, true, false);
  EXPECT_EQ(edits.SelectedWords(), (std::vector<int>{6, 7, 8}));

  // Plain click on a selected word leaves it alone; Ctrl-click then deselects it.
  edits.Click(7, false, false);
  EXPECT_EQ(edits.SelectedWords(), (std::vector<int>{7}));
  edits.Click(7, false, true);
  EXPECT_FALSE(edits.AnySelected());

  // Ctrl adds without clearing; clicks outside the table change nothing.
  edits.Click(2, false, true);
  edits.Click(9, false, true);
  edits.Click(0, false, false);
  edits.Click(21, false, false);
  EXPECT_EQ(edits.SelectedWords(), (std::vector<int>{2, 9}));
  EXPECT_EQ(edits.SelectedCount(), 2);

  // Shift before any plain click starts the range at word 1.
  edits.SetUp(Table(10));
  edits.Click(4, true, false);
  EXPECT_EQ(edits.SelectedWords(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(WordValueEditsTest, LengthMenuSetsOnlySelectedWords) {
  Select({2, 4});
  EXPECT_EQ(edits.SetLength(2), 0);
  EXPECT_EQ(edits.SetLength(17), 0);
  EXPECT_EQ(edits.SetLength(3), 2);
  EXPECT_EQ(edits.Word(2).SimWordLen, 3);
  EXPECT_EQ(edits.Word(4).SimWordLen, 3);
  EXPECT_EQ(edits.Word(3).SimWordLen, 16);
  EXPECT_EQ(edits.Word(3).SimValue, 1002);  // values untouched
}

TEST_F(WordValueEditsTest, SequentialFillInWordOrderAndWraps) {
  Select({7, 3, 4});
  EXPECT_EQ(edits.FillSequential(100, 5), 3);
  EXPECT_EQ(Values({3, 4, 7}), (std::vector<uint16_t>{100, 105, 110}));
  EXPECT_EQ(Values({5, 6}), (std::vector<uint16_t>{1004, 1005}));
  EXPECT_EQ(edits.FillSequential(65534, 5), 3);
  EXPECT_EQ(Values({3, 4, 7}), (std::vector<uint16_t>{65534, 3, 8}));
}

TEST_F(WordValueEditsTest, NothingSelectedChangesNothing) {
  auto before = edits.Words();
  EXPECT_EQ(
      edits.FillSequential(1, 1) + edits.FillSame(7) + edits.FillRandom() + edits.SetLength(8), 0);
  for (int w = 1; w <= edits.Count(); ++w) {
    EXPECT_EQ(edits.Word(w).SimValue, before[static_cast<size_t>(w - 1)].SimValue);
    EXPECT_EQ(edits.Word(w).SimWordLen, 16);
  }
}

TEST_F(WordValueEditsTest, RandomFillDrawsTheRuntimeGeneratorInWordOrder) {
  RuntimeSrand(1);
  Select({9, 2, 5});
  EXPECT_EQ(edits.FillRandom(), 3);
  // The generator's first three numbers from its start state, given to words 2, 5, 9.
  EXPECT_EQ(Values({2, 5, 9}), (std::vector<uint16_t>{346, 130, 10982}));
  // It is not reseeded: the next fill continues the sequence.
  RuntimeSrand(1);
  for (int i = 0; i < 3; ++i) RuntimeRand();
  int fourth = RuntimeRand();
  RuntimeSrand(1);
  for (int i = 0; i < 3; ++i) RuntimeRand();
  Select({1});
  edits.FillRandom();
  EXPECT_EQ(edits.Word(1).SimValue, fourth);

  edits.SetUp(Table(2000));
  edits.Click(1, false, false);
  edits.Click(2000, true, false);
  edits.FillRandom();
  for (const SimWord& w : edits.Words()) EXPECT_LE(w.SimValue, 32767);
}

TEST_F(WordValueEditsTest, PromptedFillsUseTheOperatorsAnswers) {
  Select({3, 4, 7});
  op.QueueInput("100");
  op.QueueInputCancel();  // interval keeps its default of 5
  EXPECT_EQ(edits.PromptSequential(4), 3);
  EXPECT_EQ(Values({3, 4, 7}), (std::vector<uint16_t>{100, 105, 110}));
  auto boxes = op.InputBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].prompt, "Enter Starting Count (0x for hex else decimal)");
  EXPECT_EQ(boxes[0].title, "Input Range 0 - 65535");
  EXPECT_EQ(boxes[0].initialText, "1003");  // the clicked word's value before the fill
  EXPECT_EQ(boxes[1].prompt, "Enter Interval (0x for hex else decimal)");
  EXPECT_EQ(boxes[1].initialText, "5");

  op.ClearRecords();
  op.QueueInput("0x10");
  EXPECT_EQ(edits.PromptSame(7), 3);
  EXPECT_EQ(Values({3, 4, 7}), (std::vector<uint16_t>{16, 16, 16}));
  ASSERT_EQ(op.InputBoxes().size(), 1u);
  EXPECT_EQ(op.InputBoxes()[0].prompt, "Enter Value To Use (0x for hex else decimal)");

  // A right-click outside the words offers the first selected word's value.
  op.ClearRecords();
  edits.PromptSame(0);
  EXPECT_EQ(op.InputBoxes()[0].initialText, "16");
}

TEST_F(WordValueEditsTest, CancelChangesNothingAndOkOnTheOfferedValueFills) {
  Select({3, 4});
  op.QueueInputCancel();
  EXPECT_EQ(edits.PromptSame(7), 0);
  op.QueueInputCancel();
  EXPECT_EQ(edits.PromptSequential(7), 0);
  EXPECT_EQ(op.InputBoxes().size(), 2u);  // no interval asked for
  EXPECT_EQ(Values({3, 4}), (std::vector<uint16_t>{1002, 1003}));

  // OK on the offered text (word 7's value) is an answer like any other.
  op.QueueInput("1006");
  EXPECT_EQ(edits.PromptSame(7), 2);
  EXPECT_EQ(Values({3, 4}), (std::vector<uint16_t>{1006, 1006}));
  op.QueueInput("1006");
  op.QueueInput("5");
  EXPECT_EQ(edits.PromptSequential(7), 2);
  EXPECT_EQ(Values({3, 4}), (std::vector<uint16_t>{1006, 1011}));
}

TEST(PromptWordValue, UnreadableAndOutOfRangeAnswers) {
  ScriptedOperator op;
  ScopedOperator scoped(op);
  auto ask = [](uint16_t value) {
    EXPECT_TRUE(PromptWordValue("Enter Value To Use", value));
    return value;
  };
  op.QueueInput("12a");
  EXPECT_EQ(ask(77), 77);
  EXPECT_EQ(op.CountPlayed(WarningTones()), 1);
  op.QueueInput("70000");
  EXPECT_EQ(ask(77), 65535);
  op.QueueInput("-3");
  EXPECT_EQ(ask(77), 0);
  EXPECT_EQ(op.CountPlayed(WarningTones()), 3);
  op.QueueInput("1.5e3");
  EXPECT_EQ(ask(77), 1500);
}

TEST(WordValueCopies, CopyInTakesTheFrameAndCopyBackOnlyItsWords) {
  auto setup = std::make_unique<SimSetupData>();
  for (size_t i = 0; i < setup->Words.size(); ++i) setup->Words[i] = {16, static_cast<uint16_t>(i)};
  setup->WordsPerMinorFrame = 5;
  WordValueEdits edits;
  edits.CopyIn(*setup);
  ASSERT_EQ(edits.Count(), 5);
  edits.Click(1, false, false);
  edits.Click(5, true, false);
  edits.FillSame(9);
  edits.SetLength(12);

  auto untouched = *setup;  // what a Cancel leaves: the record is never written
  edits.CopyBack(*setup);
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(setup->Words[i].SimValue, 9);
    EXPECT_EQ(setup->Words[i].SimWordLen, 12);
    EXPECT_EQ(untouched.Words[i].SimValue, i);
  }
  EXPECT_EQ(setup->Words[5].SimValue, 5);
  EXPECT_EQ(setup->Words[5].SimWordLen, 16);

  // A damaged count never reaches outside the table.
  setup->WordsPerMinorFrame = 40000;
  edits.CopyIn(*setup);
  EXPECT_EQ(edits.Count(), kMaxWordsPerMinorFrame);
  setup->WordsPerMinorFrame = -2;
  edits.CopyIn(*setup);
  EXPECT_EQ(edits.Count(), 0);
}

}  // namespace
