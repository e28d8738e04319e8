// The number prompts: the notations one may type, what is refused, answers out of range.
#include "support/ValuePrompts.h"

#include <gtest/gtest.h>

#include "common/ScriptedOperator.h"
#include "support/Signals.h"

TEST(ValuePrompts, TypedTextRangesAndRadices) {
  ScriptedOperator op;
  ScopedOperator installed(op);
  struct Case {
    const char* typed;
    int radix;
    int32_t lower, upper;
    const char* value;  // what the prompt leaves; "-": refused, the value (77) kept
    int warnings;       // counted from the start: out of range goes to the nearer limit
  };
  // clang-format off
  const Case cases[] = {
      {"0x1F", 2, 0, 99, "31", 0},   {"0x1F", 8, 0, 99, "31", 0},   {"1.5e3", 10, 0, 5000, "1500", 0},
      {"2.5e0", 10, 0, 9, "2", 0},   {"7e-1", 10, 0, 9, "1", 0},    {"-2.5e0", 10, -9, 9, "-3", 0},
      {"1E", 16, 0, 99, "30", 0},    {"1E", 10, 0, 99, "1", 0},     {"1e3", 2, 0, 5000, "1000", 0},
      {"101", 2, 0, 9, "5", 0},      {"17", 8, 0, 99, "15", 0},     {"ff", 16, 0, 999, "255", 0},
      {"12a", 10, 0, 99, "-", 0},    {"102", 2, 0, 99, "-", 0},     {"9", 8, 0, 99, "-", 0},
      {"0x1G", 10, 0, 99, "-", 0},   {"1.5", 10, 0, 99, "-", 0},    {"12 ", 10, 0, 99, "-", 0},
      {"G", 16, 0, 99, "-", 0},      {"20000", 10, 3, 16383, "16383", 1}, {"0", 10, 3, 16383, "3", 2},
      {"", 10, 3, 16383, "3", 3},    {"20000", 10, 16383, 3, "16383", 4},  // limits in either order
      // Beyond 32 bits saturates towards its own end; a huge exponent is too big, not negative.
      {"0xFFFFFFFF", 16, INT32_MIN, INT32_MAX, "2147483647", 4}, {"99999999999", 10, -99, 99, "99", 5},
      {"3e9", 10, 0, 16383, "16383", 6}, {"-1e12", 10, 0, 16383, "0", 7},
  };
  // clang-format on
  for (const Case& c : cases) {
    int32_t v = 77;
    op.QueueInput(c.typed);
    const bool answered = PromptIntInRange("p", v, c.upper, c.radix, c.lower);
    EXPECT_EQ(answered ? std::to_string(v) : "-", c.value) << c.typed << " radix " << c.radix;
    EXPECT_TRUE(answered || v == 77);
    EXPECT_EQ(op.CountPlayed(WarningTones()), c.warnings) << c.typed;
  }
  EXPECT_EQ(op.InputBoxes()[22].title, "Input Range 16383 - 3");
  // As strtoul: -1 is the largest value.
  for (auto [typed, value] :
       {std::pair{"0x1F", "31"}, {"12a", "-"}, {"1e12", "1000"}, {"-1", "1000"}}) {
    uint32_t u = 77;
    op.QueueInput(typed);
    EXPECT_EQ(PromptUIntInRange("p", u, 1000, 10, 0) ? std::to_string(u) : "-", value) << typed;
  }

  // Cancel keeps the value but pulls one outside the range in; bare digits are offered.
  op.ClearRecords();
  int32_t v = -50;
  uint32_t u = 26;
  op.QueueInputCancel();
  op.QueueInputCancel();
  EXPECT_TRUE(PromptIntInRange("p", v, 10, 10, 1) && PromptUIntInRange("p", u, 0x3FFF, 16, 3));
  EXPECT_EQ(std::pair(v, u), std::pair(1, 26u));
  EXPECT_EQ(op.InputBoxes()[1].title + " " + op.InputBoxes()[1].initialText,
            "Input Range 0x00000003 - 0x00003FFF 1A");
  EXPECT_EQ(op.CountPlayed(WarningTones()), 1);
  std::string texts;
  for (auto [radix, value] : {std::pair{2, 5LL}, {8, 15LL}, {10, -5LL}, {16, -1LL}, {7, 42LL}})
    texts += PromptDefaultText(radix, value) + " ";  // an unknown radix is decimal
  EXPECT_EQ(texts, "101 17 -5 FFFFFFFF 42 ");
  texts.clear();
  for (const char* text : {"123", "e", "3.5E1", "0e400", "2x5e1"})
    texts += ExponentTextToInt(text, v) ? std::to_string(v) + " " : "- ";
  EXPECT_EQ(texts, "- 0 35 0 20 ");  // "2x5" counts as 2
  EXPECT_TRUE(ExponentTextToInt("-2e0", u) && u == 0xFFFFFFFEu);
  EXPECT_TRUE(InRange(5, 10, 1) && !InRange(11, 10, 1));
  EXPECT_EQ(ClampToRange(10, 1, 0) + ClampToRange(10, 1, 12) + ClampToRange(10, 1, 4), 15);
}
