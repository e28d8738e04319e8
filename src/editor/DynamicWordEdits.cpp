#include "editor/DynamicWordEdits.h"

#include <algorithm>

#include "simulator/Qm48SimulatorUnit.h"
#include "support/NumberText.h"
#include "support/Operator.h"

const char* const kDynamicWordErrorCaption = "DYNAMIC WORD SETUP ERROR";

namespace {

int32_t LeadingNumber(const std::string& text) {
  int32_t value = 0;
  TextToInt32(text, value);  // the value of the leading digits, 0 for none
  return value;
}

// The message of the first rule the slot breaks; empty when it breaks none.
std::string DynamicWordError(const SimSetupData& s, int32_t start, int fsw) {
  const std::string tail = "  (check framesync pattern length).";
  if (s.PatternLeads == 1 && start <= fsw)
    return "The Wave Word Start Must Be Greater Than " + std::to_string(fsw) + tail;
  if (s.PatternLeads == 0 && start >= s.WordsPerMinorFrame - fsw + 1)
    return "The Wave Word Start Must Be Less Than " +
           std::to_string(s.WordsPerMinorFrame - fsw + 1) + tail;
  if (s.SubframeMode != 0 && start == s.SfIdWordNum)
    return "The Wave Word Start CANNOT Be (cause of sfid) " + std::to_string(s.SfIdWordNum);
  return {};
}

}  // namespace

int CommonLengthSyncWords(const SimSetupData& setup) {
  if (setup.CommonWordLength <= 0) return 0;
  return (setup.FrameSyncLength + setup.CommonWordLength - 1) / setup.CommonWordLength;
}

void ReadDynamicCells(SimSetupData& setup, const DynamicGridCells& cells) {
  const int32_t words = std::max(setup.WordsPerMinorFrame, 1);
  for (int i = 0; i < kNumDynamicWords; ++i) {
    SimDynamicWord& word = setup.DynamicWords[static_cast<size_t>(i)];
    const DynamicWordCells& typed = cells[static_cast<size_t>(i)];
    word.SimDynamicWordNumber = std::clamp(LeadingNumber(typed.Start), 1, words);
    word.SimDynamicWordInterval = std::clamp(LeadingNumber(typed.Interval), 0, words);
  }
}

std::vector<std::string> CheckDynamicWords(SimSetupData& setup) {
  std::vector<std::string> errors;
  const int fsw = CommonLengthSyncWords(setup);
  for (SimDynamicWord& word : setup.DynamicWords) {
    if (word.SimDynamicWordNumber == 0 || word.SimDynamicWordWave == kWaveNothing) continue;
    std::string error = DynamicWordError(setup, word.SimDynamicWordNumber, fsw);
    if (error.empty()) continue;
    errors.push_back(std::move(error));
    word.SimDynamicWordWave = kWaveNothing;
    word.SimDynamicWordInterval = 0;
    word.SimDynamicWordNumber = 1;
  }
  return errors;
}

bool ReadAndCheckDynamicWords(SimSetupData& setup, const DynamicGridCells& cells) {
  ReadDynamicCells(setup, cells);
  const std::vector<std::string> errors = CheckDynamicWords(setup);
  for (const std::string& error : errors)
    Operator().MessageBox(error, kDynamicWordErrorCaption, MsgButtons::Ok, MsgIcon::Error);
  return !errors.empty();
}

bool ChooseDynamicWave(progsimulatorclass& sim, int slot, int32_t wave,
                       const UserWaveEditorFn& editUserWave) {
  if (slot < 0 || slot >= kNumDynamicWords) return false;
  if (wave < 0 || wave >= static_cast<int32_t>(kWaveNames.size())) return false;
  const auto index = static_cast<size_t>(slot);
  SimDynamicWord& word = sim.Setup.DynamicWords[index];
  UserWaveTable& table = sim.UserWaves[index];
  const SimDynamicWord wordBefore = word;
  const int32_t countBefore = table.NumWords;

  bool changed = false;
  if (wave != word.SimDynamicWordWave) {
    changed = true;
    word.SimDynamicWordWave = wave;
    // One sample per minor frame, within what a user wave table holds.
    table.NumWords = std::clamp(sim.Setup.NumSubframes, 1, kUserWaveMaxWords);
  }
  if (wave == kWaveUserDef && editUserWave) {
    const int cells = std::clamp(sim.Setup.NumSubframes, 1, kUserWaveMaxWords);
    // The editor puts the table and the file name back itself when cancelled.
    if (!editUserWave(table, sim.UserDefDynWordFn[index], cells)) {
      word = wordBefore;
      table.NumWords = countBefore;
      return false;
    }
    changed = true;
  }
  const std::vector<std::string> errors = CheckDynamicWords(sim.Setup);
  for (const std::string& error : errors)
    Operator().MessageBox(error, kDynamicWordErrorCaption, MsgButtons::Ok, MsgIcon::Error);
  // A wave refused where it stands leaves its sample count as it was.
  if (wave != kWaveUserDef && word.SimDynamicWordWave != wave) table.NumWords = countBefore;
  return changed || !errors.empty();
}
