#include "editor/WordValueEdits.h"

#include <algorithm>
#include <utility>

#include "editor/PanelPromptAnswer.h"
#include "support/Signals.h"

namespace {

// A record read from a damaged file may hold any count; only the table's words exist.
size_t WordsInUse(const SimSetupData& setup) {
  return static_cast<size_t>(std::clamp(setup.WordsPerMinorFrame, 0, kMaxWordsPerMinorFrame));
}

}  // namespace

void WordValueEdits::CopyIn(const SimSetupData& setup) {
  SetUp(std::vector<SimWord>(setup.Words.begin(),
                             setup.Words.begin() + static_cast<std::ptrdiff_t>(WordsInUse(setup))));
}

void WordValueEdits::CopyBack(SimSetupData& setup) const {
  size_t n = std::min(words_.size(), setup.Words.size());
  std::copy_n(words_.begin(), n, setup.Words.begin());
}

void WordValueEdits::SetUp(std::vector<SimWord> words) {
  words_ = std::move(words);
  selected_.assign(words_.size(), 0);
  selectedCount_ = 0;
  anchor_ = 0;
}

void WordValueEdits::Select(size_t index, bool on) {
  if ((selected_[index] != 0) == on) return;
  selected_[index] = on ? 1 : 0;
  selectedCount_ += on ? 1 : -1;
}

void WordValueEdits::ClearSelection() {
  std::fill(selected_.begin(), selected_.end(), 0);
  selectedCount_ = 0;
}

void WordValueEdits::Click(int word, bool shift, bool ctrl) {
  if (word < 1 || word > Count()) return;
  size_t index = static_cast<size_t>(word - 1);
  if (shift) {
    // Before any plain click the range starts at the first word.
    int from = std::clamp(anchor_, 1, Count());
    ClearSelection();
    for (int k = std::min(from, word); k <= std::max(from, word); ++k)
      Select(static_cast<size_t>(k - 1), true);
  } else if (ctrl) {
    Select(index, selected_[index] == 0);
  } else {
    ClearSelection();
    Select(index, true);
    anchor_ = word;
  }
}

bool WordValueEdits::IsSelected(int word) const {
  return word >= 1 && word <= Count() && selected_[static_cast<size_t>(word - 1)] != 0;
}

std::vector<int> WordValueEdits::SelectedWords() const {
  std::vector<int> out;
  out.reserve(static_cast<size_t>(selectedCount_));
  for (size_t i = 0; i < selected_.size(); ++i)
    if (selected_[i] != 0) out.push_back(static_cast<int>(i) + 1);
  return out;
}

int WordValueEdits::SetLength(int length) {
  if (length < kMinWordLength || length > kMaxWordLength) return 0;
  int changed = 0;
  for (size_t i = 0; i < words_.size(); ++i) {
    if (selected_[i] == 0) continue;
    words_[i].SimWordLen = static_cast<uint16_t>(length);
    ++changed;
  }
  return changed;
}

int WordValueEdits::FillSequential(uint16_t start, uint16_t step) {
  int changed = 0;
  uint16_t v = start;
  for (size_t i = 0; i < words_.size(); ++i) {
    if (selected_[i] == 0) continue;
    words_[i].SimValue = v;
    v = static_cast<uint16_t>(v + step);
    ++changed;
  }
  return changed;
}

int WordValueEdits::FillSame(uint16_t value) {
  int changed = 0;
  for (size_t i = 0; i < words_.size(); ++i) {
    if (selected_[i] == 0) continue;
    words_[i].SimValue = value;
    ++changed;
  }
  return changed;
}

int WordValueEdits::FillRandom() {
  int changed = 0;
  for (size_t i = 0; i < words_.size(); ++i) {
    if (selected_[i] == 0) continue;
    words_[i].SimValue = static_cast<uint16_t>(RuntimeRand());
    ++changed;
  }
  return changed;
}

uint16_t WordValueEdits::DefaultFor(int clickedWord) const {
  if (clickedWord >= 1 && clickedWord <= Count()) return Word(clickedWord).SimValue;
  for (size_t i = 0; i < selected_.size(); ++i)
    if (selected_[i] != 0) return words_[i].SimValue;
  return 0;
}

int WordValueEdits::PromptSequential(int clickedWord) {
  uint16_t start = DefaultFor(clickedWord);
  if (!PromptWordValue("Enter Starting Count", start)) return 0;
  uint16_t step = 5;
  PromptWordValue("Enter Interval", step);
  return FillSequential(start, step);
}

int WordValueEdits::PromptSame(int clickedWord) {
  uint16_t value = DefaultFor(clickedWord);
  if (!PromptWordValue("Enter Value To Use", value)) return 0;
  return FillSame(value);
}

bool PromptWordValue(const std::string& prompt, uint16_t& value) {
  const std::string text = prompt + " (0x for hex else decimal)";
  IntAnswer answer = AskInt({text.c_str(), 0, 65535, 10}, value);
  switch (answer.Result) {
    case PromptResult::Kept:
      return false;
    case PromptResult::Unreadable:
      SignalWarning();
      return true;
    case PromptResult::Entered:
      value = static_cast<uint16_t>(answer.Value);
      return true;
  }
  return false;
}
