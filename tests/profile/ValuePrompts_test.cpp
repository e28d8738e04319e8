// The number prompts, answered through the scripted operator.
#include "support/ValuePrompts.h"

#include <gtest/gtest.h>

#include <limits>

#include "common/ScriptedOperator.h"
#include "support/Signals.h"

namespace {

class ValuePrompts : public ::testing::Test {
 protected:
  // Types text into a signed prompt for lower..upper and returns what the prompt did.
  bool Int(const std::string& typed, int32_t& value, int32_t lower, int32_t upper, int radix) {
    op.QueueInput(typed);
    return PromptIntInRange("Words per minor frame", value, upper, radix, lower);
  }
  bool UInt(const std::string& typed, uint32_t& value, uint32_t lower, uint32_t upper, int radix) {
    op.QueueInput(typed);
    return PromptUIntInRange("Bit rate", value, upper, radix, lower);
  }
  int Warnings() const { return op.CountPlayed(WarningTones()); }

  ScriptedOperator op;
  ScopedOperator installed{op};
};

}  // namespace

TEST_F(ValuePrompts, InputBoxShowsRangeTitlePromptAndBareDigits) {
  int32_t v = 100;
  op.QueueInputCancel();
  EXPECT_TRUE(PromptIntInRange("Words per minor frame", v, 16383, 10, 3));
  uint32_t u = 26;
  op.QueueInputCancel();
  EXPECT_TRUE(PromptUIntInRange("Word value", u, 0x3FFF, 16, 3));
  auto boxes = op.InputBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].title, "Input Range 3 - 16383");
  EXPECT_EQ(boxes[0].prompt, "Words per minor frame");
  EXPECT_EQ(boxes[0].initialText, "100");
  EXPECT_EQ(boxes[1].title, "Input Range 0x00000003 - 0x00003FFF");
  EXPECT_EQ(boxes[1].initialText, "1A");
  EXPECT_EQ(v, 100);
  EXPECT_EQ(u, 26u);
  EXPECT_EQ(Warnings(), 0);
}

TEST_F(ValuePrompts, DefaultTextIsBareDigitsInTheRadix) {
  for (int radix : {2, 8, 10, 16}) EXPECT_EQ(PromptDefaultText(radix, 0), "0") << radix;
  EXPECT_EQ(PromptDefaultText(16, 26), "1A");
  EXPECT_EQ(PromptDefaultText(2, 5), "101");
  EXPECT_EQ(PromptDefaultText(8, 15), "17");
  EXPECT_EQ(PromptDefaultText(10, 100), "100");
  EXPECT_EQ(PromptDefaultText(10, -5), "-5");
  EXPECT_EQ(PromptDefaultText(16, -1), "FFFFFFFF");
  EXPECT_EQ(PromptDefaultText(10, 4294967295LL), "4294967295");
  EXPECT_EQ(PromptDefaultText(7, 42), "42");  // unknown radix: decimal
}

TEST_F(ValuePrompts, NotationsTheOperatorMayType) {
  for (int radix : {2, 8, 10, 16}) {
    int32_t v = 5;
    EXPECT_TRUE(Int("0x1F", v, 0, 1000, radix));
    EXPECT_EQ(v, 31) << radix;
    uint32_t u = 5;
    EXPECT_TRUE(UInt("0x1F", u, 0, 1000, radix));
    EXPECT_EQ(u, 31u) << radix;
  }
  struct Case {
    const char* typed;
    int radix;
    int32_t expected;
  };
  for (Case c :
       {Case{"1.5e3", 10, 1500}, Case{"2.5e0", 10, 2}, Case{"7e-1", 10, 1}, Case{"-2.5e0", 10, -3},
        Case{"1E", 16, 30}, Case{"1E", 10, 1}, Case{"1e3", 2, 1000}, Case{"101", 2, 5},
        Case{"17", 8, 15}, Case{"-12", 10, -12}, Case{"", 10, 0}, Case{"ff", 16, 255}}) {
    int32_t v = 7;
    EXPECT_TRUE(Int(c.typed, v, -5000, 5000, c.radix)) << c.typed;
    EXPECT_EQ(v, c.expected) << c.typed << " radix " << c.radix;
  }
  EXPECT_EQ(Warnings(), 0);
}

TEST_F(ValuePrompts, UnreadableTextLeavesTheValueAndSoundsNothing) {
  for (auto [typed, radix] : std::initializer_list<std::pair<const char*, int>>{
           {"12a", 10}, {"102", 2}, {"9", 8}, {"0x1G", 10}, {"1.5", 10}, {"12 ", 10}, {"G", 16}}) {
    int32_t v = 77;
    EXPECT_FALSE(Int(typed, v, 0, 100, radix)) << typed;
    EXPECT_EQ(v, 77) << typed;
    uint32_t u = 77;
    EXPECT_FALSE(UInt(typed, u, 0, 100, radix)) << typed;
    EXPECT_EQ(u, 77u) << typed;
  }
  EXPECT_TRUE(op.ToneSequences().empty());
}

TEST_F(ValuePrompts, OutOfRangeGoesToTheNearerLimitWithAWarning) {
  int32_t v = 100;
  EXPECT_TRUE(Int("20000", v, 3, 16383, 10));
  EXPECT_EQ(v, 16383);
  EXPECT_EQ(Warnings(), 1);
  EXPECT_TRUE(Int("0", v, 3, 16383, 10));
  EXPECT_EQ(v, 3);
  EXPECT_EQ(Warnings(), 2);
  EXPECT_TRUE(Int("", v, 3, 16383, 10));  // an empty text reads as 0
  EXPECT_EQ(v, 3);
  EXPECT_EQ(Warnings(), 3);

  // Limits in reverse order are the same range.
  v = 100;
  op.QueueInput("20000");
  EXPECT_TRUE(PromptIntInRange("p", v, 3, 10, 16383));
  EXPECT_EQ(v, 16383);
  EXPECT_EQ(op.InputBoxes().back().title, "Input Range 16383 - 3");
  EXPECT_EQ(Warnings(), 4);

  // An old value outside the range is pulled in even when the operator cancels.
  v = -50;
  op.QueueInputCancel();
  EXPECT_TRUE(PromptIntInRange("p", v, 10, 10, 1));
  EXPECT_EQ(v, 1);
  EXPECT_EQ(Warnings(), 5);
}

TEST_F(ValuePrompts, ValuesBeyond32BitsSaturateTowardsTheirOwnEnd) {
  int32_t v = 0;
  EXPECT_TRUE(Int("0xFFFFFFFF", v, std::numeric_limits<int32_t>::min(),
                  std::numeric_limits<int32_t>::max(), 16));
  EXPECT_EQ(v, std::numeric_limits<int32_t>::max());
  EXPECT_TRUE(Int("99999999999", v, -100, 100, 10));
  EXPECT_EQ(v, 100);
  // A huge exponent value is still too big, not negative.
  EXPECT_TRUE(Int("3e9", v, 0, 16383, 10));
  EXPECT_EQ(v, 16383);
  EXPECT_TRUE(Int("-1e12", v, 0, 16383, 10));
  EXPECT_EQ(v, 0);

  uint32_t u = 0;
  EXPECT_TRUE(UInt("1e12", u, 0, 0xFFFFFFFF, 10));
  EXPECT_EQ(u, 0xFFFFFFFFu);
  EXPECT_TRUE(UInt("-1", u, 0, 1000, 10));  // strtoul: -1 is the largest value
  EXPECT_EQ(u, 1000u);
}

TEST_F(ValuePrompts, ExponentTextAndRangeHelpers) {
  int32_t v = 9;
  EXPECT_FALSE(ExponentTextToInt("123", v));
  EXPECT_EQ(v, 9);
  EXPECT_TRUE(ExponentTextToInt("e", v));  // both parts count as 0
  EXPECT_EQ(v, 0);
  EXPECT_TRUE(ExponentTextToInt("3.5E1", v));
  EXPECT_EQ(v, 35);
  EXPECT_TRUE(ExponentTextToInt("0e400", v));
  EXPECT_EQ(v, 0);
  EXPECT_TRUE(ExponentTextToInt("2x5e1", v));  // "2x5" counts as 2
  EXPECT_EQ(v, 20);
  uint32_t u = 0;
  EXPECT_TRUE(ExponentTextToInt("-2e0", u));
  EXPECT_EQ(u, 0xFFFFFFFEu);

  EXPECT_TRUE(InRange(5, 10, 1));
  EXPECT_FALSE(InRange(11, 10, 1));
  EXPECT_EQ(ClampToRange(10, 1, 0), 1);
  EXPECT_EQ(ClampToRange(10, 1, 12), 10);
  EXPECT_EQ(ClampToRange(10, 1, 4), 4);
}
