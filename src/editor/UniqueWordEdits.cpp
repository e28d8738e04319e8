#include "editor/UniqueWordEdits.h"

#include <cctype>

#include "editor/DynamicWordEdits.h"
#include "support/NumberText.h"
#include "support/Operator.h"

const char* const kUniqueWordErrorCaption = "UNIQUE WORD SETUP ERROR";

namespace {

int32_t LeadingNumber(const std::string& text) {
  int32_t value = 0;
  TextToInt32(text, value);  // the value of the leading digits, 0 for none
  return value;
}

std::string UniqueWordError(const SimSetupData& s, const SimUniqueWord& word, int fsw, int o) {
  const int32_t start = word.SimUniqueWordStartWord;
  const std::string tail = "  (check framesync pattern length).";
  if (s.PatternLeads == 1 && start <= fsw)
    return "The Unique Word Start Must Be Greater Than " + std::to_string(fsw) + tail;
  if (s.PatternLeads == 0 && start >= s.WordsPerMinorFrame - fsw + 1)
    return "The Unique Word Start Must Be Less Than " +
           std::to_string(s.WordsPerMinorFrame - fsw + 1) + tail;
  if (word.SimUniqueWordWordInterval > s.WordsPerMinorFrame)
    return "The Unique Word Interval Must Be Less Than " + std::to_string(s.WordsPerMinorFrame) +
           "  (check words per minor frame).";
  if (s.SubframeMode == 0) return {};
  if (start == s.SfIdWordNum)
    return "The Unique Word Start CANNOT Be (cause of sfid) " + std::to_string(s.SfIdWordNum);
  if (word.SimUniqueWordStartFrameInterval > s.NumSubframes)
    return "The Unique Word Frame Interval Must Be Less Than " + std::to_string(s.NumSubframes);
  if (word.SimUniqueWordStartFrame + o < o)
    return "The Unique Word Start Frame Must Be Greater Than or Equal To" + std::to_string(o);
  return {};
}

}  // namespace

int ShownFrameOffset(const SimSetupData& setup) {
  return setup.FirstSubFrameNum != 0 ? 1 : 0;
}

UniqueWordCells UniqueCellsOf(const SimSetupData& setup, int slot, bool hex) {
  const SimUniqueWord& word = setup.UniqueWords[static_cast<size_t>(slot)];
  UniqueWordCells cells;
  cells.Frame = std::to_string(word.SimUniqueWordStartFrame + ShownFrameOffset(setup));
  cells.FrameInterval = std::to_string(word.SimUniqueWordStartFrameInterval);
  cells.Word = std::to_string(word.SimUniqueWordStartWord);
  cells.WordInterval = std::to_string(word.SimUniqueWordWordInterval);
  cells.Value =
      hex ? HexText(word.SimUniqueWordValue, 4, true) : std::to_string(word.SimUniqueWordValue);
  return cells;
}

uint16_t UniqueValueFromText(const std::string& text) {
  uint16_t value = 0;
  if (text.size() >= 3 && text[0] == '0' && text[1] == 'x')
    TextToUInt16(text, value, 16);
  else
    TextToUInt16(text, value, 10);
  return value;
}

char UniqueGridKey(char typed) {
  if (typed == 'x') return typed;
  return static_cast<char>(std::toupper(static_cast<unsigned char>(typed)));
}

void ReadUniqueCells(SimSetupData& setup, const UniqueGridCells& cells) {
  const int o = ShownFrameOffset(setup);
  for (int i = 0; i < kNumUniqueWords; ++i) {
    SimUniqueWord& word = setup.UniqueWords[static_cast<size_t>(i)];
    const UniqueWordCells& typed = cells[static_cast<size_t>(i)];
    word.SimUniqueWordStartFrame = LeadingNumber(typed.Frame) - o;
    word.SimUniqueWordStartFrameInterval = LeadingNumber(typed.FrameInterval);
    word.SimUniqueWordStartWord = LeadingNumber(typed.Word);
    word.SimUniqueWordWordInterval = LeadingNumber(typed.WordInterval);
    word.SimUniqueWordValue = UniqueValueFromText(typed.Value);
  }
}

std::vector<std::string> CheckUniqueWords(SimSetupData& setup) {
  std::vector<std::string> errors;
  const int fsw = CommonLengthSyncWords(setup);
  const int o = ShownFrameOffset(setup);
  for (int i = 0; i < kNumUniqueWords; ++i) {
    SimUniqueWord& word = setup.UniqueWords[static_cast<size_t>(i)];
    if (word.SimUniqueWordStartWord < 1) continue;
    const std::string error = UniqueWordError(setup, word, fsw, o);
    if (error.empty()) continue;
    errors.push_back("UNIQUE WORD NUMBER " + std::to_string(i + 1) + "  " + error);
    word = SimUniqueWord{};
    word.SimUniqueWordStartWord = -1;
  }
  return errors;
}

bool ReadAndCheckUniqueWords(SimSetupData& setup, const UniqueGridCells& cells) {
  ReadUniqueCells(setup, cells);
  const std::vector<std::string> errors = CheckUniqueWords(setup);
  for (const std::string& error : errors)
    Operator().MessageBox(error, kUniqueWordErrorCaption, MsgButtons::Ok, MsgIcon::Error);
  return !errors.empty();
}
