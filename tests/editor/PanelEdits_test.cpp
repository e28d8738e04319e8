// The simulator page's panel edits. Each Edit() line is one row: the edit, the operator's
// answers, what it returns and exactly which record fields it changed; the record then
// still goes through the unit's interpreter wherever it validates.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/Qm48GlobUnit.h"
#include "common/RecordCompare.h"
#include "common/ScriptedOperator.h"
#include "editor/DynamicWordEdits.h"
#include "editor/FrameSyncEdits.h"
#include "editor/MajorFrameEdits.h"
#include "editor/MinorFrameEdits.h"
#include "editor/SimDataEdits.h"
#include "editor/UniqueWordEdits.h"
#include "query/Qm48QueryUnit.h"
#include "simulator/MemoryImages.h"
#include "simulator/SimValidation.h"
#include "simulator/SyncPatternText.h"
#include "support/Signals.h"
#include "transmitter/Qm48TransmitterUnit.h"
#include "unit/UnitProtocol.h"
#include "unit/UnitReplies.h"

namespace {

using Names = std::vector<std::string>;
using Sim = progsimulatorclass;
const std::optional<std::string> kCancel;
const char* const kSyncStart =
    "The Wave Word Start Must Be Greater Than 2  (check framesync pattern length).";

int Length(Sim& s) {
  return EditPatternLength(s.Setup);
}
int Digits(Sim& s) {
  return EditPatternDigits(s.Setup);
}
int Words(Sim& s) {
  return ApplyWordsPerMinorFrame(s, AskInt(kWordsPerMinorFramePrompt, s.Setup.WordsPerMinorFrame));
}
int MinorFrames(Sim& s) {
  return ApplyMinorFrameCount(s.Setup, AskInt(kMinorFrameCountPrompt, s.Setup.NumSubframes));
}
int SfIdWord(Sim& s) {
  return ApplySfIdWordNum(s.Setup, AskInt(kSfIdWordNumPrompt, s.Setup.SfIdWordNum));
}
int BitRate(Sim& s) {
  return ApplySimBitRate(s.Setup, AskUInt(kBitRatePrompt, s.Setup.SimBitRate));
}
int CrcWord(Sim& s) {
  return ApplyCrcWordNumber(s, AskInt(CrcWordNumberPrompt(s.Setup), CrcWordNumberShown(s)));
}
std::function<int(Sim&)> Radix(int32_t radix) {
  return [radix](Sim& s) { return static_cast<int>(SwitchPatternRadix(s.Setup, radix)); };
}
constexpr int kSwitched = static_cast<int>(FspSwitch::Switched);
constexpr int kRefused = static_cast<int>(FspSwitch::RefusedEndedInBinary);

class PanelEdit : public ::testing::Test {
 protected:
  // One edit: answers queued, result and changed fields checked, messages and signals
  // of this edit only kept for the row's further checks.
  void Edit(const std::function<int(Sim&)>& edit, std::vector<std::optional<std::string>> typed,
            int result, const Names& changed) {
    const auto before = TakeSnapshot(*sim);
    op.ClearRecords();
    for (const auto& answer : typed) answer ? op.QueueInput(*answer) : op.QueueInputCancel();
    EXPECT_EQ(edit(*sim), result);
    EXPECT_EQ(SimDifferences(*before, *sim), changed);
  }
  // The first input box of the last edit as "title|prompt|offered text".
  std::string Box() const {
    auto boxes = op.InputBoxes();
    return boxes.empty() ? "" : boxes[0].title + "|" + boxes[0].prompt + "|" + boxes[0].initialText;
  }
  Names Messages() const {
    Names texts;
    for (const auto& m : op.MessageBoxes()) texts.push_back(m.text);
    return texts;
  }
  int Errors() const { return op.CountPlayed(ErrorTones()); }
  int Warnings() const { return op.CountPlayed(WarningTones()); }
  std::string Invalid() const {
    std::string message;
    return ValidateSimulatorSetup(*sim, message) ? "" : message;
  }
  // Validates, builds the load stream and runs it through the unit: every command must be
  // accepted. The unit's encoder memory comes back.
  SimulatorImage Load() {
    EXPECT_EQ(Invalid(), "");
    sim->Prep232SimSetupData(SelectedLoadFormat());
    UnitProtocol unit;
    for (const UnitProtocol::Exchange& e : unit.Feed(std::string(
             reinterpret_cast<const char*>(sim->TxBuffer.Data()), sim->TxBuffer.Fill())))
      EXPECT_EQ(e.reply, kReplyOk) << e.command;
    return unit.State().sim;
  }
  static uint16_t Attribute(const SimulatorImage& image, int wordNumber) {
    return image.memory[static_cast<size_t>(kWordAttributeBaseAddress + wordNumber)];
  }
  static bool CrcMarked(const SimulatorImage& image, int word) {
    return Attribute(image, word) & 0x0080;
  }
  void Pattern(const char* text, int32_t radix, int32_t length) {
    std::strcpy(sim->Setup.FrameSyncPattern, text);
    sim->Setup.FsPatternRadix = radix;
    sim->Setup.FrameSyncLength = length;
  }
  const char* FrameSync() const { return sim->Setup.FrameSyncPattern; }

  std::unique_ptr<Sim> sim = std::make_unique<Sim>();
  SimSetupData& setup = sim->Setup;
  ScriptedOperator op;
  ScopedOperator scoped{op};
};

TEST_F(PanelEdit, FrameSyncRadix) {
  Pattern("FAF320", kPatternHex, 24);
  Edit(Radix(kPatternOctal), {}, kSwitched, {"FsPatternRadix", "FrameSyncPattern"});
  EXPECT_STREQ(FrameSync(), "76571440");
  Load();
  Edit(Radix(kPatternOctal), {}, static_cast<int>(FspSwitch::Unchanged), {});
  Edit(Radix(kPatternBinary), {}, kSwitched, {"FsPatternRadix", "FrameSyncPattern"});
  EXPECT_STREQ(FrameSync(), "111110101111001100100000");
  Edit(Radix(kPatternHex), {}, kSwitched, {"FsPatternRadix", "FrameSyncPattern"});
  EXPECT_STREQ(FrameSync(), "FAF320");
  Load();

  // Don't-care digits refuse hex and octal, and a hex pattern with one ends in binary.
  Pattern("1X01", kPatternBinary, 4);
  Edit(Radix(kPatternHex), {}, kRefused, {});
  EXPECT_EQ(Messages(), Names{"FRAME SYNC PATTERN CONTAINS DONT CARE BITS. YOU MUST REMOVE THEM "
                              "TO CONVERT TO A DIFFERENT BASE"});
  Pattern("X1", kPatternHex, 8);
  Edit(Radix(kPatternOctal), {}, kRefused, {"FsPatternRadix", "FrameSyncPattern"});
  EXPECT_STREQ(FrameSync(), "XXXX0001");
  Pattern("0X1F", kPatternHex, 12);  // a hex marker is no don't-care digit
  Edit(Radix(kPatternOctal), {}, kSwitched, {"FsPatternRadix", "FrameSyncPattern"});
  EXPECT_STREQ(FrameSync(), "0037");
}

TEST_F(PanelEdit, FrameSyncLengthAndDigits) {
  Edit(Length, {"24"}, 1, {"FrameSyncLength"});
  EXPECT_EQ(Box(), "Input Range 3 - 64|Enter the number of bits for the frame sync pattern|32");
  Load();
  Edit(Length, {kCancel}, 0, {});
  Edit(Length, {"12a"}, 0, {});
  EXPECT_EQ(Errors(), 1);
  Edit(Length, {"100"}, 1, {"FrameSyncLength"});
  EXPECT_EQ(setup.FrameSyncLength, 64);
  EXPECT_EQ(Warnings(), 1);
  // A damaged file's length survives Cancel; OK on it brings it into the range.
  setup.FrameSyncLength = 70;
  Edit(Length, {kCancel}, 0, {});
  Edit(Length, {"70"}, 1, {"FrameSyncLength"});
  EXPECT_EQ(setup.FrameSyncLength, 64);

  Pattern("FE6B2840", kPatternHex, 32);
  Edit(Digits, {kCancel}, 0, {});
  EXPECT_EQ(Box(), "Input Pattern|Enter the FSP pattern in HEX|FE6B2840");
  Edit(Digits, {"fe6b2841"}, 1, {"FrameSyncPattern"});
  EXPECT_STREQ(FrameSync(), "FE6B2841");
  Load();
  Edit(Digits, {"FG"}, 0, {});
  Edit(Digits, {std::string(65, '1')}, 0, {});
  EXPECT_EQ(Messages(), Names{"The pattern may hold at most 64 characters"});
  EXPECT_EQ(Errors(), 1);
  Pattern("1F", kPatternHex, 8);
  Edit(Digits, {"0x1f"}, 1, {"FrameSyncPattern"});
  EXPECT_STREQ(FrameSync(), "0X1F");
  EXPECT_EQ(PatternRenderedIn(setup, kPatternHex), "1F");
  Pattern("101", kPatternBinary, 3);
  Edit(Digits, {"1021"}, 0, {});
  EXPECT_EQ(Box(), "Input Pattern|Enter the FSP pattern in BINARY|101");
  EXPECT_EQ(Messages(), Names{"The pattern may hold only BINARY digits and X (don't care)"});
  Pattern("1", kPatternBinary, 64);
  Edit(Digits, {std::string(64, '1')}, 1, {"FrameSyncPattern"});
  Load();
}

TEST_F(PanelEdit, MajorFrame) {
  setup.Words[10].SimWordLen = 12;  // set in the word values dialog
  setup.Words[300].SimWordLen = 9;  // beyond the frame
  setup.SubframeMode = 1;
  setup.SfIdWordNum = 5;  // 8-bit words put 4 sync words first
  auto length = [](int32_t bits) {
    return [bits](Sim& s) -> int { return SetCommonWordLength(s.Setup, bits); };
  };
  Edit(length(8), {}, 1, {"CommonWordLength", "Words[0-255].SimWordLen"});
  EXPECT_EQ(setup.Words[300].SimWordLen, 9);
  SimulatorImage image = Load();
  EXPECT_EQ((Attribute(image, 1) >> 8) & 15, 7);  // length - 1
  EXPECT_EQ((Attribute(image, 256) >> 8) & 15, 7);
  Edit(length(2), {}, 0, {});
  Edit(length(17), {}, 0, {});

  setup.Words[5].SimWordLen = 12;
  Edit(Words, {kCancel}, 0, {});
  Edit(Words, {"12a"}, 0, {});
  EXPECT_EQ(Errors(), 1);
  Edit(Words, {"256"}, 1, {"Words[5].SimWordLen"});  // OK on the offered count is an answer
  setup.Words[5].SimWordLen = 12;
  Edit(Words, {"300"}, 1,
       {"WordsPerMinorFrame", "Words[5].SimWordLen", "Words[256-299].SimWordLen"});
  EXPECT_EQ(Box(), "Input Range 3 - 16383|Enter the number of Words per Minor Frame|256");
  image = Load();
  EXPECT_TRUE(Attribute(image, 300) & 0x8000);  // the frame's last word
  EXPECT_FALSE(Attribute(image, 256) & 0x8000);
  Edit(Words, {"20000"}, 1, {"WordsPerMinorFrame", "Words[300-16382].SimWordLen"});
  EXPECT_EQ(setup.WordsPerMinorFrame, 16383);
  EXPECT_EQ(Warnings(), 1);

  // A shorter frame keeps an active CRC word inside; without a method it stays as it is.
  sim->DoCttit = true;
  sim->CrcWdNum = 200;
  Edit(Words, {"100"}, 1, {"WordsPerMinorFrame", "CrcWdNum"});
  EXPECT_EQ(sim->CrcWdNum, 99);
  EXPECT_TRUE(CrcMarked(Load(), 100));
  sim->DoCttit = false;
  sim->CrcWdNum = -1;
  Edit(Words, {"50"}, 1, {"WordsPerMinorFrame"});

  auto tag = [](bool (*set)(SimSetupData&, int32_t), int32_t t) {
    return [set, t](Sim& s) -> int { return set(s.Setup, t); };
  };
  Edit(tag(SetBitOrder, 1), {}, 1, {"BitOrder"});
  Edit(tag(SetPatternLeads, 0), {}, 1, {"PatternLeads"});
  Load();
  Edit(tag(SetBitOrder, 2), {}, 0, {});
  Edit(tag(SetPatternLeads, -1), {}, 0, {});
  setup.FirstSubFrameNum = 1;
  setup.SubframeDirection = 1;
  Edit(tag(SetSubframeMode, 2), {}, 1, {"SubframeMode"});  // "FCC" keeps the counter
  Edit(tag(SetSubframeMode, 0), {}, 1,                     // "NONE" resets it
       {"SubframeMode", "SubframeDirection", "NumSubframes", "FirstSubFrameNum"});
  EXPECT_EQ(setup.NumSubframes, 1);
  Load();
  Edit(tag(SetSubframeMode, 4), {}, 0, {});
}

TEST_F(PanelEdit, MinorFrame) {
  setup.SubframeMode = 1;  // "SFID": the counter is checked and loaded
  auto tag = [](bool (*set)(SimSetupData&, int32_t), int32_t t) {
    return [set, t](Sim& s) -> int { return set(s.Setup, t); };
  };
  Edit(tag(SetSubframeDirection, 1), {}, 1, {"SubframeDirection"});
  Edit(tag(SetSfIdStartBit, 9), {}, 1, {"SfIdStartBit"});
  Edit(tag(SetFirstSubFrameNum, 7), {}, 1, {"FirstSubFrameNum"});  // kept within 0..1
  EXPECT_EQ(setup.FirstSubFrameNum, 1);
  Load();
  for (auto refused :
       {tag(SetSubframeDirection, 2), tag(SetSfIdStartBit, 16), tag(SetSfIdStartBit, -1)})
    Edit(refused, {}, 0, {});

  Edit(MinorFrames, {"0"}, 1, {"NumSubframes"});
  EXPECT_EQ(Box(), "Input Range 1 - 1024|Enter the number of Minor Frames per Major Frame|64");
  EXPECT_EQ(setup.NumSubframes, 1);
  Load();
  Edit(MinorFrames, {"2000"}, 1, {"NumSubframes"});
  EXPECT_EQ(setup.NumSubframes, 1024);  // ten counter bits below the msb 9
  Load();

  Edit(SfIdWord, {"300"}, 1, {"SfIdWordNum"});
  EXPECT_EQ(Box(), "Input Range 1 - 16383|Enter the Word Number for the SF ID|3");
  EXPECT_EQ(Invalid(), "SFID MUST be less than Words Per Minor Frame 256");
  Edit(SfIdWord, {"0x20"}, 1, {"SfIdWordNum"});
  EXPECT_EQ(setup.SfIdWordNum, 32);
  Load();

  // Values from a file outside the prompts' ranges survive Cancel and unreadable text.
  setup.NumSubframes = 5000;
  setup.SfIdWordNum = 0;
  Edit(MinorFrames, {kCancel}, 0, {});
  Edit(SfIdWord, {kCancel}, 0, {});
  Edit(MinorFrames, {"12a"}, 0, {});
  EXPECT_EQ(Errors(), 1);
  Edit(SfIdWord, {""}, 1, {"SfIdWordNum"});  // an empty text reads as 0, brought to 1
  EXPECT_EQ(setup.SfIdWordNum, 1);
}

TEST_F(PanelEdit, SimulatorData) {
  Edit(BitRate, {"1e6"}, 1, {"SimBitRate"});
  EXPECT_EQ(Box(), "Input Range 10 - 25000000|Enter the Bit Rate|1024000");
  EXPECT_EQ(setup.SimBitRate, 1000000u);
  Load();
  setup.SimBitRate = 30000000;  // from a file, above the prompt's range
  Edit(BitRate, {kCancel}, 0, {});
  Edit(BitRate, {"fast"}, 0, {});
  EXPECT_EQ(Errors(), 1);
  Edit(BitRate, {"5"}, 1, {"SimBitRate"});
  EXPECT_EQ(setup.SimBitRate, 10u);
  auto code = [](int32_t c) { return [c](Sim& s) -> int { return SetOutputCode(s.Setup, c); }; };
  Edit(code(18), {}, 1, {"SimOutputCode"});
  Load();
  Edit(code(19), {}, 0, {});
  Edit(code(-1), {}, 0, {});

  // The CRC toggles: one method at a time, the word in the frame, -1 with none.
  auto crc16 = [](Sim& s) { return ToggleCrc16(s), 1; };
  auto ccitt = [](Sim& s) { return ToggleCcitt(s), 1; };
  Edit(crc16, {}, 1, {"DoCrc16", "CrcWdNum"});
  EXPECT_EQ(CrcMethodText(*sim) + " " + CrcWordText(*sim), "CRC-16 1");
  EXPECT_TRUE(CrcMarked(Load(), 1));
  sim->CrcWdNum = 9;
  Edit(ccitt, {}, 1, {"DoCrc16", "DoCttit"});
  EXPECT_EQ(CrcMethodText(*sim), "CCITT");
  EXPECT_TRUE(CrcMarked(Load(), 10));
  Edit(ccitt, {}, 1, {"DoCttit", "CrcWdNum"});
  EXPECT_EQ(CrcMethodText(*sim) + " " + CrcWordText(*sim), "NOT USED NOT USED");
  EXPECT_FALSE(CrcMarked(Load(), 10));
  Edit(CrcWord, {"7"}, 1, {"DoCrc16", "CrcWdNum"});  // a word with no method: CRC-16 on
  EXPECT_EQ(Box(), "Input Range 0 - 256|Enter the CRC or CCITT Word Number (0 = not used)|0");
  EXPECT_TRUE(CrcMarked(Load(), 7));
  Edit(CrcWord, {"12"}, 1, {"CrcWdNum"});
  EXPECT_EQ(op.InputBoxes()[0].initialText, "7");
  EXPECT_TRUE(CrcMarked(Load(), 12));
  Edit(CrcWord, {"999"}, 1, {"CrcWdNum"});  // brought to the last word
  EXPECT_EQ(CrcWordText(*sim), "256");
  Edit(CrcWord, {"0"}, 1, {"DoCrc16", "CrcWdNum"});
  EXPECT_EQ(CrcWordText(*sim), "NOT USED");
  EXPECT_FALSE(CrcMarked(Load(), 256));

  sim->DoCrc16 = true;
  sim->CrcWdNum = 400;  // the frame was shortened by a file
  Edit(CrcWord, {kCancel}, 0, {});
  Edit(CrcWord, {"1.2.3"}, 0, {});
  EXPECT_EQ(Errors(), 1);
  Edit(ccitt, {}, 1, {"DoCrc16", "DoCttit", "CrcWdNum"});
  EXPECT_EQ(sim->CrcWdNum, 255);
  EXPECT_TRUE(CrcMarked(Load(), 256));
}

// The dynamic words grid as it shows the record, one slot's cells typed over.
std::function<int(Sim&)> TypeDynamic(int slot, const char* start, const char* interval) {
  return [=](Sim& s) -> int {
    DynamicGridCells cells;
    for (size_t i = 0; i < cells.size(); ++i)
      cells[i] = {std::to_string(s.Setup.DynamicWords[i].SimDynamicWordNumber),
                  std::to_string(s.Setup.DynamicWords[i].SimDynamicWordInterval)};
    cells[static_cast<size_t>(slot)] = {start, interval};
    return ReadAndCheckDynamicWords(s.Setup, cells);
  };
}

TEST_F(PanelEdit, DynamicWordCells) {
  auto slot = [&](int i) -> SimDynamicWord& { return setup.DynamicWords[static_cast<size_t>(i)]; };
  Edit(TypeDynamic(2, "100", "16"), {}, 0,
       {"DynamicWords[2].SimDynamicWordNumber", "DynamicWords[2].SimDynamicWordInterval"});
  Load();
  // Empty or zero start reads as 1, text as its leading digits, all kept in the frame.
  slot(0).SimDynamicWordWave = kWaveNothing;  // a "NOTHING" slot is never checked
  for (auto [start, interval, number, every] :
       {std::tuple{"", "9999", 1, 256}, {"0", "-5", 1, 0}, {"70000", "12abc", 256, 12}}) {
    EXPECT_EQ(TypeDynamic(0, start, interval)(*sim), 0);
    EXPECT_EQ(slot(0).SimDynamicWordNumber, number);
    EXPECT_EQ(slot(0).SimDynamicWordInterval, every);
  }
  EXPECT_TRUE(Messages().empty());

  // Every slot on the sync words is reset (wave NOTHING, start 1), each with its message.
  slot(0).SimDynamicWordWave = kWaveSine;
  slot(4).SimDynamicWordNumber = 2;
  Edit(TypeDynamic(0, "2", "3"), {}, 1,
       {"DynamicWords[0].SimDynamicWordNumber", "DynamicWords[4].SimDynamicWordNumber",
        "DynamicWords[0].SimDynamicWordInterval", "DynamicWords[0].SimDynamicWordWave",
        "DynamicWords[4].SimDynamicWordWave"});
  EXPECT_EQ(Messages(), (Names{kSyncStart, kSyncStart}));
  EXPECT_EQ(slot(0).SimDynamicWordNumber + slot(0).SimDynamicWordInterval, 1);
  Load();
  Pattern("FAF320", kPatternHex, 24);  // 24 bits still take two 16-bit words
  Edit(TypeDynamic(1, "2", "0"), {}, 1,
       {"DynamicWords[1].SimDynamicWordNumber", "DynamicWords[1].SimDynamicWordWave"});

  setup.PatternLeads = 0;  // the sync words end the frame
  setup.SfIdWordNum = 100;
  Edit(TypeDynamic(2, "254", "0"), {}, 0,
       {"DynamicWords[2].SimDynamicWordNumber", "DynamicWords[2].SimDynamicWordInterval"});
  Edit(TypeDynamic(2, "255", "0"), {}, 1,
       {"DynamicWords[2].SimDynamicWordNumber", "DynamicWords[2].SimDynamicWordWave"});
  EXPECT_EQ(Messages(),
            Names{"The Wave Word Start Must Be Less Than 255  (check framesync pattern length)."});
  Load();

  // The SFID word is refused only with a subframe mode.
  Edit(TypeDynamic(3, "100", "0"), {}, 0, {"DynamicWords[3].SimDynamicWordNumber"});
  setup.SubframeMode = 1;
  Edit(TypeDynamic(3, "100", "0"), {}, 1,
       {"DynamicWords[3].SimDynamicWordNumber", "DynamicWords[3].SimDynamicWordWave"});
  EXPECT_EQ(Messages(), Names{"The Wave Word Start CANNOT Be (cause of sfid) 100"});
}

TEST_F(PanelEdit, DynamicWordWaves) {
  auto choose = [](int slot, int32_t wave, UserWaveEditorFn editor = nullptr) {
    return [=](Sim& s) -> int { return ChooseDynamicWave(s, slot, wave, editor); };
  };
  // A new wave sizes the slot's user wave to the minor frames, at most the table's size.
  Edit(choose(0, kWaveSquare), {}, 1, {"DynamicWords[0].SimDynamicWordWave", "UserWaves[0]"});
  EXPECT_EQ(sim->UserWaves[0].NumWords, 64);
  Load();
  Edit(choose(0, kWaveSquare), {}, 0, {});
  Edit(choose(5, kWaveSine), {}, 0, {});
  Edit(choose(0, 9), {}, 0, {});
  setup.NumSubframes = 5000;
  Edit(choose(1, kWaveRandom), {}, 1, {"DynamicWords[1].SimDynamicWordWave", "UserWaves[1]"});
  EXPECT_EQ(sim->UserWaves[1].NumWords, 1024);
  setup.NumSubframes = 64;

  // USERDEF opens the user wave editor; its Cancel takes the whole choice back.
  auto cancel = [](UserWaveTable&, std::string&, int cells) { return cells != 64; };
  Edit(choose(2, kWaveUserDef, cancel), {}, 0, {});
  auto accept = [](UserWaveTable& table, std::string& name, int) {
    table.Samples[3] = 0x1234;
    name = "RAMP.R4V8SimUserWave";
    return true;
  };
  Edit(choose(2, kWaveUserDef, accept), {}, 1,
       {"DynamicWords[2].SimDynamicWordWave", "UserWaves[2]", "UserDefDynWordFn"});
  EXPECT_EQ(sim->UserWaves[2].NumWords, 64);
  auto again = [](UserWaveTable& table, std::string&, int) { return ++table.Samples[0] == 1; };
  Edit(choose(2, kWaveUserDef, again), {}, 1, {"UserWaves[2]"});  // opened again
  Load();

  // A wave moved onto the sync words is reset after the choice, its user wave kept.
  setup.DynamicWords[1] = {1, 0, kWaveNothing};
  Edit(choose(1, kWaveSine), {}, 1, {});
  EXPECT_EQ(Messages(), Names{kSyncStart});
}

// The unique words grid as it shows the record, one slot's cells changed.
std::function<int(Sim&)> TypeUnique(int slot, std::function<void(UniqueWordCells&)> change,
                                    bool hex = false) {
  return [=](Sim& s) -> int {
    UniqueGridCells cells;
    for (int i = 0; i < kNumUniqueWords; ++i)
      cells[static_cast<size_t>(i)] = UniqueCellsOf(s.Setup, i, hex);
    change(cells[static_cast<size_t>(slot)]);
    return ReadAndCheckUniqueWords(s.Setup, cells);
  };
}

TEST_F(PanelEdit, UniqueWords) {
  auto same = [](UniqueWordCells&) {};
  EXPECT_EQ(UniqueCellsOf(setup, 0, true).Value, "0xBEEF");
  EXPECT_EQ(UniqueCellsOf(setup, 0, false).Value, "48879");
  Edit(TypeUnique(0, same, true), {}, 0, {});
  Edit(TypeUnique(4, [](UniqueWordCells& c) { c.Value = "0x1234", c.WordInterval = "32"; }), {}, 0,
       {"UniqueWords[4].SimUniqueWordWordInterval", "UniqueWords[4].SimUniqueWordValue"});
  Load();

  // The shown frame counts from the first minor frame's number.
  setup.FirstSubFrameNum = 1;
  setup.SubframeMode = 1;
  setup.SfIdStartBit = 7;  // counting 1..64 takes seven bits
  EXPECT_EQ(UniqueCellsOf(setup, 0, false).Frame, "1");
  Edit(TypeUnique(0, same), {}, 0, {});
  Edit(
      TypeUnique(1, [](UniqueWordCells& c) { c.Frame = "3", c.FrameInterval = "4"; }), {}, 0,
      {"UniqueWords[1].SimUniqueWordStartFrame", "UniqueWords[1].SimUniqueWordStartFrameInterval"});
  EXPECT_EQ(setup.UniqueWords[1].SimUniqueWordStartFrame, 2);
  Load();

  // A slot that breaks a rule is switched off with its message; off, it is not checked.
  const std::pair<std::function<int(Sim&)>, const char*> refused[] = {
      {TypeUnique(2, [](UniqueWordCells& c) { c.Word = "2"; }),
       "UNIQUE WORD NUMBER 3  The Unique Word Start Must Be Greater Than 2  (check framesync "
       "pattern length)."},
      {TypeUnique(0, [](UniqueWordCells& c) { c.WordInterval = "257"; }),
       "UNIQUE WORD NUMBER 1  The Unique Word Interval Must Be Less Than 256  (check words per "
       "minor frame)."},
      {TypeUnique(1, [](UniqueWordCells& c) { c.Word = "3"; }),
       "UNIQUE WORD NUMBER 2  The Unique Word Start CANNOT Be (cause of sfid) 3"},
      {TypeUnique(3, [](UniqueWordCells& c) { c.FrameInterval = "65"; }),
       "UNIQUE WORD NUMBER 4  The Unique Word Frame Interval Must Be Less Than 64"},
      {TypeUnique(5, [](UniqueWordCells& c) { c.Frame = "0"; }),
       "UNIQUE WORD NUMBER 6  The Unique Word Start Frame Must Be Greater Than or Equal To1"},
  };
  for (const auto& [edit, message] : refused) {
    op.ClearRecords();
    EXPECT_EQ(edit(*sim), 1);
    EXPECT_EQ(Messages(), Names{message});
  }
  for (int i : {0, 1, 2, 3, 5}) {
    EXPECT_EQ(setup.UniqueWords[static_cast<size_t>(i)].SimUniqueWordStartWord, -1);
    EXPECT_EQ(setup.UniqueWords[static_cast<size_t>(i)].SimUniqueWordValue, 0);
  }
  EXPECT_EQ(UniqueCellsOf(setup, 2, false).Word, "-1");
  Load();
  Edit(TypeUnique(2, [](UniqueWordCells& c) { c.Frame = "0", c.WordInterval = "99999"; }), {}, 0,
       {"UniqueWords[2].SimUniqueWordStartFrame", "UniqueWords[2].SimUniqueWordWordInterval"});
  // Without a subframe mode neither the frame rules nor the SFID word are checked.
  setup.SubframeMode = 0;
  Edit(TypeUnique(6, [](UniqueWordCells& c) { c.Word = "3", c.FrameInterval = "65"; }), {}, 0,
       {"UniqueWords[6].SimUniqueWordStartFrameInterval", "UniqueWords[6].SimUniqueWordStartWord"});
  setup.PatternLeads = 0;
  Edit(TypeUnique(4, [](UniqueWordCells& c) { c.Word = "255"; }), {}, 1,
       {"UniqueWords[4].SimUniqueWordStartWord", "UniqueWords[4].SimUniqueWordWordInterval",
        "UniqueWords[4].SimUniqueWordValue"});
  EXPECT_EQ(Messages(), Names{"UNIQUE WORD NUMBER 5  The Unique Word Start Must Be Less Than 255  "
                              "(check framesync pattern length)."});
}

TEST(PanelTexts, PatternRenderingsBitRatesUniqueValuesAndTheSfIdPicture) {
  FspRenderings shown;
  ASSERT_TRUE(ShowPatternInAllRadices("FE6B2840", kPatternHex, 32, shown));
  EXPECT_EQ(shown.Hex + " " + shown.Binary, "FE6B2840 11111110011010110010100001000000");
  EXPECT_EQ(shown.Octal, "3763262410");  // 11 digits cut to 32 / 3
  ASSERT_TRUE(ShowPatternInAllRadices("1X01", kPatternBinary, 4, shown));
  EXPECT_EQ(shown.Hex, "X");
  ASSERT_TRUE(ShowPatternInAllRadices("0x1F", kPatternHex, 8, shown));
  EXPECT_EQ(shown.Hex, "1F");
  EXPECT_FALSE(ShowPatternInAllRadices("FE6B2840", kPatternHex, 65, shown));
  EXPECT_FALSE(ShowPatternInAllRadices("FE6B2840", kPatternHex, 2, shown));
  EXPECT_EQ(shown.Hex, "1F");

  const std::pair<uint32_t, const char*> rates[] = {
      {1024000, "1.024 Mbps"}, {25000000, "25.0 Mbps"}, {10, "0.00001 Mbps"},
      {1000000, "1.0 Mbps"},   {33000000, "33.0 Mbps"}, {123456789, "123.45678 Mbps"}};
  for (const auto& [rate, text] : rates) EXPECT_EQ(BitRateText(rate), text);
  // "0x" hex with a lower-case x only; what is no number reads as 0.
  const std::pair<const char*, uint16_t> values[] = {{"0x00FF", 255}, {"255", 255}, {"0X00FF", 0},
                                                     {"0x", 0},       {"12", 12},   {"abc", 0}};
  for (const auto& [text, value] : values) EXPECT_EQ(UniqueValueFromText(text), value) << text;
  EXPECT_EQ(std::string() + UniqueGridKey('a') + UniqueGridKey('x') + UniqueGridKey('X'), "AxX");

  // The SFID word's picture: word length, and the counter's bits low..high.
  const std::pair<void (*)(SimSetupData&), std::array<int, 3>> pictures[] = {
      {[](SimSetupData&) {}, {16, 0, 5}},                             // 64 frames from 0, msb 5
      {[](SimSetupData& s) { s.FirstSubFrameNum = 1; }, {16, 0, 5}},  // 7 bits, low end 0
      {[](SimSetupData& s) { s.NumSubframes = 4, s.FirstSubFrameNum = 1, s.SfIdStartBit = 12; },
       {16, 10, 12}},  // values 1..4: 3 bits below the msb
      {[](SimSetupData& s) { s.Words[2].SimWordLen = 8, s.SfIdStartBit = 15; },
       {8, 7, 7}},  // both ends within the word
      {[](SimSetupData& s) { s.Words[2].SimWordLen = 0; }, {1, 0, 0}},
      // Word numbers from a damaged file name no word and are not read.
      {[](SimSetupData& s) { s.SfIdWordNum = 0; }, {1, 0, 0}},
      {[](SimSetupData& s) { s.SfIdWordNum = 20000; }, {1, 0, 0}},
      {[](SimSetupData& s) { s.SfIdStartBit = INT32_MIN; }, {16, 0, 0}},
  };
  for (const auto& [change, marks] : pictures) {
    auto sim = std::make_unique<Sim>();
    change(sim->Setup);
    const SfIdBitMarks m = SfIdBits(sim->Setup);
    EXPECT_EQ((std::array<int, 3>{m.WordLength, m.Low, m.High}), marks);
  }
}

TEST(PanelTexts, RetuningTheTransmitterFollowsRateAndCode) {
  Sim sim;
  progtxclass tx;
  progqueryclass query;
  query.Results.PremodFilterFreqKhz = {100, 300, 600, 1000};
  tx.Setup = {2200.5, 0, 0, 4};
  const TxSetupData before = tx.Setup;
  sim.Setup.SimBitRate = 1000000;
  EXPECT_TRUE(RetuneTransmitter(tx, query, sim.Setup));
  EXPECT_EQ(TxDifferences(before, tx.Setup), (Names{"FmDeviation", "PreModFilterSelected"}));
  EXPECT_EQ(tx.Setup.FmDeviation, 350);
  EXPECT_EQ(tx.Setup.PreModFilterSelected, 3);
  EXPECT_FALSE(RetuneTransmitter(tx, query, sim.Setup));  // the same again needs no load
  sim.Setup.SimOutputCode = 3;                            // "BIOL" doubles the band
  EXPECT_TRUE(RetuneTransmitter(tx, query, sim.Setup));
  EXPECT_EQ(tx.Setup.FmDeviation, 700);
  EXPECT_EQ(tx.Setup.PreModFilterSelected, 0);
}

}  // namespace
