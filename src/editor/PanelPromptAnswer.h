#pragma once
// The editor panels' number prompts, with the one thing the plain prompts cannot tell:
// whether the operator answered at all. Cancel must leave the record alone, even where the
// prompt would have pulled an out-of-range old value into its range; OK on the offered
// value is an answer like any other.
#include <cstdint>
#include <string>

enum class PromptResult {
  Kept,        // Cancel: no answer
  Entered,     // OK; value holds the answer (the offered one too), brought into the range
  Unreadable,  // the typed text was no number; value is the current one
};

template <typename T>
struct PromptAnswer {
  PromptResult Result = PromptResult::Kept;
  T Value{};
};
using IntAnswer = PromptAnswer<int32_t>;
using UIntAnswer = PromptAnswer<uint32_t>;

// The range and radix of one panel prompt; lower and upper as the prompt takes them.
template <typename T>
struct PromptSpec {
  const char* Text;
  T Lower;
  T Upper;
  int Radix;
};

// PromptIntInRange / PromptUIntInRange on the current value, telling kept from entered.
IntAnswer AskInt(const PromptSpec<int32_t>& question, int32_t current);
UIntAnswer AskUInt(const PromptSpec<uint32_t>& question, uint32_t current);
