// The simulator page's panel edits. Each Edit() is a row: the edit, the operator's answers, the
// result, exactly the record fields changed. Load() runs validation and the unit's interpreter.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

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
#include "simulator/SimKit.h"
#include "simulator/SimValidation.h"
#include "simulator/SyncPatternText.h"
#include "support/Signals.h"
#include "transmitter/Qm48TransmitterUnit.h"
#include "unit/UnitProtocol.h"
#include "unit/UnitReplies.h"

namespace {

using Names = std::vector<std::string>;
using Sim = progsimulatorclass;
using EditFn = std::function<int(Sim&)>;
const std::optional<std::string> kCancel;
const char* const kSyncStart =
    "The Wave Word Start Must Be Greater Than 2  (check framesync pattern length).";

class PanelEdit : public ::testing::Test {
 protected:
  // The edits as the panels' menus, prompts and grids run them.
  static int Length(Sim& s) { return EditPatternLength(s.Setup); }
  static int Digits(Sim& s) { return EditPatternDigits(s.Setup); }
  static int Words(Sim& s) {
    return ApplyWordsPerMinorFrame(s,
                                   AskInt(kWordsPerMinorFramePrompt, s.Setup.WordsPerMinorFrame));
  }
  static int Minors(Sim& s) {
    return ApplyMinorFrameCount(s.Setup, AskInt(kMinorFrameCountPrompt, s.Setup.NumSubframes));
  }
  static int SfId(Sim& s) {
    return ApplySfIdWordNum(s.Setup, AskInt(kSfIdWordNumPrompt, s.Setup.SfIdWordNum));
  }
  static int Rate(Sim& s) {
    return ApplySimBitRate(s.Setup, AskUInt(kBitRatePrompt, s.Setup.SimBitRate));
  }
  static int Crc(Sim& s) {
    return ApplyCrcWordNumber(s, AskInt(CrcWordNumberPrompt(s.Setup), CrcWordNumberShown(s)));
  }
  static EditFn Radix(int32_t r) {
    return [r](Sim& s) { return int(SwitchPatternRadix(s.Setup, r)); };
  }
  static EditFn Tag(bool (*set)(SimSetupData&, int32_t), int32_t t) {
    return [set, t](Sim& s) -> int { return set(s.Setup, t); };
  }
  static EditFn Dynamic(int slot, const char* start, const char* interval) {
    return [=](Sim& s) -> int {
      DynamicGridCells cells;
      for (size_t i = 0; i < cells.size(); ++i)
        cells[i] = {std::to_string(s.Setup.DynamicWords[i].SimDynamicWordNumber),
                    std::to_string(s.Setup.DynamicWords[i].SimDynamicWordInterval)};
      cells[size_t(slot)] = {start, interval};
      return ReadAndCheckDynamicWords(s.Setup, cells);
    };
  }
  static EditFn Unique(int slot, std::function<void(UniqueWordCells&)> type, bool hex = false) {
    return [=](Sim& s) -> int {
      UniqueGridCells cells;
      for (int i = 0; i < kNumUniqueWords; ++i) cells[size_t(i)] = UniqueCellsOf(s.Setup, i, hex);
      type(cells[size_t(slot)]);
      return ReadAndCheckUniqueWords(s.Setup, cells);
    };
  }

  void Edit(const EditFn& edit, std::vector<std::optional<std::string>> typed, int result,
            const Names& changed) {
    const auto before = TakeSnapshot(*sim);
    op.ClearRecords();  // messages and signals of this edit only
    for (const auto& answer : typed) answer ? op.QueueInput(*answer) : op.QueueInputCancel();
    EXPECT_EQ(edit(*sim), result);
    EXPECT_EQ(SimDifferences(*before, *sim), changed);
  }
  Names Messages() const {
    Names texts;
    for (const auto& m : op.MessageBoxes()) texts.push_back(m.text);
    return texts;
  }
  std::string Offered() const { return op.InputBoxes().at(0).initialText; }
  int Errors() const { return op.CountPlayed(ErrorTones()); }
  int Warnings() const { return op.CountPlayed(WarningTones()); }
  // Every command of the load stream must be accepted; the unit's encoder memory comes back.
  SimulatorImage Load() {
    std::string invalid;
    EXPECT_TRUE(ValidateSimulatorSetup(*sim, invalid)) << invalid;
    sim->Prep232SimSetupData(SelectedLoadFormat());
    UnitProtocol unit;
    for (const UnitProtocol::Exchange& e : unit.Feed(sim->TxBuffer.Data(), sim->TxBuffer.Fill()))
      EXPECT_EQ(e.reply, kReplyOk) << e.command;
    return unit.State().sim;
  }
  static bool CrcMarked(const SimulatorImage& image, int word) {
    return image.memory[size_t(kWordAttributeBaseAddress + word)] & 0x80;
  }
  static std::string Dyn(int slot, const char* field) {
    return "DynamicWords[" + std::to_string(slot) + "].SimDynamicWord" + field;
  }
  static std::string Uni(int slot, const char* field) {
    return "UniqueWords[" + std::to_string(slot) + "].SimUniqueWord" + field;
  }

  std::unique_ptr<Sim> sim = std::make_unique<Sim>();
  SimSetupData& setup = sim->Setup;
  ScriptedOperator op;
  ScopedOperator scoped{op};
};

TEST_F(PanelEdit, FrameSyncPattern) {
  const Names both = {"FsPatternRadix", "FrameSyncPattern"};
  const int switched = int(FspSwitch::Switched), refused = int(FspSwitch::RefusedEndedInBinary);
  SetPattern(setup, "FAF320", kPatternHex, 24);
  Edit(Radix(kPatternOctal), {}, switched, both);
  EXPECT_STREQ(setup.FrameSyncPattern, "76571440");
  Load();
  Edit(Radix(kPatternOctal), {}, int(FspSwitch::Unchanged), {});
  // Don't-care digits refuse hex and octal, and a hex pattern with one ends in binary.
  SetPattern(setup, "1X01", kPatternBinary, 4);
  Edit(Radix(kPatternHex), {}, refused, {});
  EXPECT_EQ(Messages(), Names{kFspDontCareText});
  SetPattern(setup, "X1", kPatternHex, 8);
  Edit(Radix(kPatternOctal), {}, refused, both);
  EXPECT_STREQ(setup.FrameSyncPattern, "XXXX0001");
  SetPattern(setup, "0X1F", kPatternHex, 12);  // a hex marker is no don't-care digit
  Edit(Radix(kPatternOctal), {}, switched, both);
  EXPECT_STREQ(setup.FrameSyncPattern, "0037");

  SetPattern(setup, "FE6B2840", kPatternHex, 32);
  Edit(Length, {"24"}, 1, {"FrameSyncLength"});
  Edit(Length, {"12a"}, 0, {});
  EXPECT_EQ(Errors(), 1);
  setup.FrameSyncLength = 70;  // a damaged file's: kept by Cancel, brought in by OK
  Edit(Length, {kCancel}, 0, {});
  Edit(Length, {"100"}, 1, {"FrameSyncLength"});
  EXPECT_EQ(setup.FrameSyncLength * 10 + Warnings(), 641);

  setup.FrameSyncLength = 32;
  Edit(Digits, {kCancel}, 0, {});
  EXPECT_EQ(Offered(), "FE6B2840");
  Edit(Digits, {"fe6b2841"}, 1, {"FrameSyncPattern"});
  EXPECT_STREQ(setup.FrameSyncPattern, "FE6B2841");
  for (std::string refusedText : {std::string("FG"), std::string(65, '1')}) {
    Edit(Digits, {refusedText}, 0, {});
    EXPECT_EQ(Messages().size() + Errors(), 2u);
  }
  SetPattern(setup, "101", kPatternBinary, 3);
  Edit(Digits, {"1021"}, 0, {});
  EXPECT_EQ(Messages(), Names{"The pattern may hold only BINARY digits and X (don't care)"});
  SetPattern(setup, "1", kPatternBinary, 64);
  Edit(Digits, {std::string(64, '1')}, 1, {"FrameSyncPattern"});
  Load();
}

TEST_F(PanelEdit, MajorAndMinorFrame) {
  Apply(setup, "Word301Len=9 SubframeMode=1");  // a word beyond the frame
  Edit(Tag(SetCommonWordLength, 8), {}, 1, {"CommonWordLength", "Words[0-255].SimWordLen"});
  setup.SfIdWordNum = 5;  // 8-bit words: 4 sync words
  Edit(Words, {"12a"}, 0, {});
  EXPECT_EQ(Errors(), 1);
  setup.Words[5].SimWordLen = 12;
  Edit(Words, {"256"}, 1, {"Words[5].SimWordLen"});  // OK on the offered count is an answer
  setup.Words[5].SimWordLen = 12;
  Edit(Words, {"300"}, 1,
       {"WordsPerMinorFrame", "Words[5].SimWordLen", "Words[256-299].SimWordLen"});
  Edit(Words, {"20000"}, 1, {"WordsPerMinorFrame", "Words[300-16382].SimWordLen"});
  EXPECT_EQ(setup.WordsPerMinorFrame * 10 + Warnings(), 163831);
  // A shorter frame keeps an active CRC word inside; without a method it stays as it is.
  sim->DoCttit = true;
  sim->CrcWdNum = 200;
  Edit(Words, {"100"}, 1, {"WordsPerMinorFrame", "CrcWdNum"});
  EXPECT_EQ(sim->CrcWdNum, 99);
  EXPECT_TRUE(CrcMarked(Load(), 100));
  sim->DoCttit = false;
  sim->CrcWdNum = -1;
  Edit(Words, {"50"}, 1, {"WordsPerMinorFrame"});
  Edit(Tag(SetBitOrder, 1), {}, 1, {"BitOrder"});
  Edit(Tag(SetPatternLeads, 0), {}, 1, {"PatternLeads"});
  Apply(setup, "FirstSubFrameNum=1 SubframeDirection=1");
  Edit(Tag(SetSubframeMode, 2), {}, 1, {"SubframeMode"});  // "FCC" keeps the counter
  Edit(Tag(SetSubframeMode, 0), {}, 1,                     // "NONE" resets it
       {"SubframeMode", "SubframeDirection", "NumSubframes", "FirstSubFrameNum"});
  EXPECT_EQ(setup.NumSubframes, 1);
  for (auto refused :
       {Tag(SetCommonWordLength, 2), Tag(SetCommonWordLength, 17), Tag(SetBitOrder, 2),
        Tag(SetPatternLeads, -1), Tag(SetSubframeMode, 4), Tag(SetSubframeDirection, 2),
        Tag(SetSfIdStartBit, 16), Tag(SetSfIdStartBit, -1)})
    Edit(refused, {}, 0, {});

  Edit(Tag(SetCommonWordLength, 16), {}, 1, {"CommonWordLength", "Words[0-49].SimWordLen"});
  setup.SubframeMode = 1;  // "SFID": the counter is checked and loaded
  Edit(Tag(SetSubframeDirection, 1), {}, 1, {"SubframeDirection"});
  Edit(Tag(SetFirstSubFrameNum, 7), {}, 1, {"FirstSubFrameNum"});  // kept within 0..1
  EXPECT_EQ(setup.FirstSubFrameNum, 1);
  Edit(Tag(SetSfIdStartBit, 9), {}, 1, {"SfIdStartBit"});
  Edit(Minors, {"2000"}, 1, {"NumSubframes"});
  EXPECT_EQ(setup.NumSubframes, 1024);  // ten counter bits below the msb 9
  Edit(SfId, {"0x20"}, 1, {"SfIdWordNum"});
  EXPECT_EQ(setup.SfIdWordNum, 32);
  Load();
  Apply(setup, "NumSubframes=5000 SfIdWordNum=0");
  Edit(SfId, {kCancel}, 0, {});
  Edit(Minors, {"12a"}, 0, {});
  EXPECT_EQ(Errors(), 1);
  Edit(Minors, {"0"}, 1, {"NumSubframes"});
  Edit(SfId, {""}, 1, {"SfIdWordNum"});  // an empty text reads as 0, brought to 1
  EXPECT_EQ(setup.SfIdWordNum + setup.NumSubframes, 2);
}

TEST_F(PanelEdit, SimulatorData) {
  Edit(Rate, {"1e6"}, 1, {"SimBitRate"});
  EXPECT_EQ(setup.SimBitRate, 1000000u);
  Edit(Tag(SetOutputCode, 18), {}, 1, {"SimOutputCode"});
  for (auto refused : {Tag(SetOutputCode, 19), Tag(SetOutputCode, -1)}) Edit(refused, {}, 0, {});
  setup.SimBitRate = 30000000;  // from a file, above the prompt's range
  Edit(Rate, {"fast"}, 0, {});
  EXPECT_EQ(Errors(), 1);
  Edit(Rate, {"5"}, 1, {"SimBitRate"});
  EXPECT_EQ(setup.SimBitRate, 10u);

  // The CRC: one method at a time, its word in the frame, -1 with none.
  auto crc16 = [](Sim& s) { return ToggleCrc16(s), 1; };
  auto ccitt = [](Sim& s) { return ToggleCcitt(s), 1; };
  Edit(crc16, {}, 1, {"DoCrc16", "CrcWdNum"});
  EXPECT_EQ(CrcMethodText(*sim) + " " + CrcWordText(*sim), "CRC-16 1");
  sim->CrcWdNum = 9;
  Edit(ccitt, {}, 1, {"DoCrc16", "DoCttit"});
  EXPECT_EQ(CrcMethodText(*sim), "CCITT");
  Edit(ccitt, {}, 1, {"DoCttit", "CrcWdNum"});
  EXPECT_EQ(CrcMethodText(*sim) + " " + CrcWordText(*sim), "NOT USED NOT USED");
  Edit(Crc, {"7"}, 1, {"DoCrc16", "CrcWdNum"});  // a word with no method: CRC-16 on
  EXPECT_EQ(op.InputBoxes()[0].title + " " + Offered() + " " + CrcWordText(*sim),
            "Input Range 0 - 256 0 7");
  Edit(Crc, {"999"}, 1, {"CrcWdNum"});  // brought to the last word
  EXPECT_EQ(Offered() + " " + CrcWordText(*sim), "7 256");
  Edit(Crc, {"0"}, 1, {"DoCrc16", "CrcWdNum"});
  sim->DoCrc16 = true;
  sim->CrcWdNum = 400;  // the frame was shortened by a file
  Edit(Crc, {"1.2.3"}, 0, {});
  EXPECT_EQ(Errors(), 1);
  Edit(ccitt, {}, 1, {"DoCrc16", "DoCttit", "CrcWdNum"});
  EXPECT_EQ(sim->CrcWdNum, 255);
  EXPECT_TRUE(CrcMarked(Load(), 256));
}

TEST_F(PanelEdit, DynamicWords) {
  auto slot = [&](int i) -> SimDynamicWord& { return setup.DynamicWords[size_t(i)]; };

  Edit(Dynamic(2, "100", "16"), {}, 0, {Dyn(2, "Number"), Dyn(2, "Interval")});
  // Empty or zero start reads as 1, text as its leading digits, all kept in the frame.
  slot(0).SimDynamicWordWave = kWaveNothing;  // a "NOTHING" slot is never checked
  for (auto [start, interval, first, every] :
       {std::tuple{"", "9999", 1, 256}, {"0", "-5", 1, 0}, {"70000", "12abc", 256, 12}}) {
    EXPECT_EQ(Dynamic(0, start, interval)(*sim), 0);
    EXPECT_EQ(std::pair(slot(0).SimDynamicWordNumber, slot(0).SimDynamicWordInterval),
              std::pair(first, every));
  }
  EXPECT_TRUE(Messages().empty());
  // Every slot on the sync words is reset (wave NOTHING, interval 0, start 1).
  slot(0).SimDynamicWordWave = kWaveSine;
  slot(4).SimDynamicWordNumber = 2;
  Edit(Dynamic(0, "2", "3"), {}, 1,
       {Dyn(0, "Number"), Dyn(4, "Number"), Dyn(0, "Interval"), Dyn(0, "Wave"), Dyn(4, "Wave")});
  EXPECT_EQ(Messages(), (Names{kSyncStart, kSyncStart}));
  EXPECT_EQ(slot(0).SimDynamicWordNumber + slot(0).SimDynamicWordInterval, 1);
  SetPattern(setup, "FAF320", kPatternHex, 24);  // 24 bits still take two 16-bit words
  Edit(Dynamic(1, "2", "0"), {}, 1, {Dyn(1, "Number"), Dyn(1, "Wave")});
  Apply(setup, "PatternLeads=0 SfIdWordNum=100");  // the sync words end the frame
  Edit(Dynamic(2, "254", "0"), {}, 0, {Dyn(2, "Number"), Dyn(2, "Interval")});
  Edit(Dynamic(2, "255", "0"), {}, 1, {Dyn(2, "Number"), Dyn(2, "Wave")});
  EXPECT_EQ(Messages(),
            Names{"The Wave Word Start Must Be Less Than 255  (check framesync pattern length)."});
  Edit(Dynamic(3, "100", "0"), {}, 0, {Dyn(3, "Number")});  // the SFID word, only with subframes
  setup.SubframeMode = 1;
  Edit(Dynamic(3, "100", "0"), {}, 1, {Dyn(3, "Number"), Dyn(3, "Wave")});
  EXPECT_EQ(Messages(), Names{"The Wave Word Start CANNOT Be (cause of sfid) 100"});

  *sim = Sim();  // a fresh simulator; the fixture's setup reference stays valid
  auto choose = [](int slot, int32_t wave, UserWaveEditorFn editor = nullptr) {
    return [=](Sim& s) -> int { return ChooseDynamicWave(s, slot, wave, editor); };
  };
  // A new wave sizes the slot's user wave to the minor frames, at most the table's size.
  Edit(choose(0, kWaveSquare), {}, 1, {Dyn(0, "Wave"), "UserWaves[0]"});
  EXPECT_EQ(sim->UserWaves[0].NumWords, 64);
  for (auto refused : {choose(0, kWaveSquare), choose(5, kWaveSine), choose(0, 9)})
    Edit(refused, {}, 0, {});
  sim->Setup.NumSubframes = 5000;
  Edit(choose(1, kWaveRandom), {}, 1, {Dyn(1, "Wave"), "UserWaves[1]"});
  EXPECT_EQ(sim->UserWaves[1].NumWords, 1024);
  sim->Setup.NumSubframes = 64;
  // USERDEF opens the user wave editor; its Cancel takes the whole choice back.
  Edit(choose(2, kWaveUserDef, [](UserWaveTable&, std::string&, int cells) { return cells != 64; }),
       {}, 0, {});
  auto accept = [](UserWaveTable& table, std::string& name, int) {
    name = "RAMP.R4V8SimUserWave";
    return ++table.Samples[0] > 0;
  };
  Edit(choose(2, kWaveUserDef, accept), {}, 1,
       {Dyn(2, "Wave"), "UserWaves[2]", "UserDefDynWordFn"});
  EXPECT_EQ(sim->UserWaves[2].NumWords, 64);
  Edit(choose(2, kWaveUserDef, accept), {}, 1, {"UserWaves[2]"});  // opened again
  Load();
  // A wave moved onto the sync words is reset after the choice, its user wave kept.
  sim->Setup.DynamicWords[1] = {1, 0, kWaveNothing};
  Edit(choose(1, kWaveSine), {}, 1, {});
  EXPECT_EQ(Messages(), Names{kSyncStart});
}

TEST_F(PanelEdit, UniqueWords) {
  auto same = [](UniqueWordCells&) {};
  EXPECT_EQ(UniqueCellsOf(setup, 0, true).Value + " " + UniqueCellsOf(setup, 0, false).Value,
            "0xBEEF 48879");
  Edit(Unique(0, same, true), {}, 0, {});
  Edit(Unique(4, [](UniqueWordCells& c) { c.Value = "0x1234", c.WordInterval = "32"; }), {}, 0,
       {Uni(4, "WordInterval"), Uni(4, "Value")});
  // The shown frame counts from the first one's number; counting 1..64 takes seven bits.
  Apply(setup, "FirstSubFrameNum=1 SubframeMode=1 SfIdStartBit=7");
  Edit(Unique(0, same), {}, 0, {});
  Edit(Unique(1, [](UniqueWordCells& c) { c.Frame = "3", c.FrameInterval = "4"; }), {}, 0,
       {Uni(1, "StartFrame"), Uni(1, "StartFrameInterval")});
  EXPECT_EQ(setup.UniqueWords[1].SimUniqueWordStartFrame, 2);
  // A slot that breaks a rule is switched off with its message; off, it is not checked.
  const std::pair<EditFn, const char*> refused[] = {
      {Unique(2, [](UniqueWordCells& c) { c.Word = "2"; }),
       "3  The Unique Word Start Must Be Greater Than 2  (check framesync pattern length)."},
      {Unique(0, [](UniqueWordCells& c) { c.WordInterval = "257"; }),
       "1  The Unique Word Interval Must Be Less Than 256  (check words per minor frame)."},
      {Unique(1, [](UniqueWordCells& c) { c.Word = "3"; }),
       "2  The Unique Word Start CANNOT Be (cause of sfid) 3"},
      {Unique(3, [](UniqueWordCells& c) { c.FrameInterval = "65"; }),
       "4  The Unique Word Frame Interval Must Be Less Than 64"},
      {Unique(5, [](UniqueWordCells& c) { c.Frame = "0"; }),
       "6  The Unique Word Start Frame Must Be Greater Than or Equal To1"},
  };
  for (const auto& [edit, message] : refused) {
    op.ClearRecords();
    EXPECT_EQ(edit(*sim), 1);
    EXPECT_EQ(Messages(), Names{std::string("UNIQUE WORD NUMBER ") + message});
  }
  for (size_t i : {0, 1, 2, 3, 5})
    EXPECT_EQ(setup.UniqueWords[i].SimUniqueWordStartWord * 100000 +
                  setup.UniqueWords[i].SimUniqueWordValue,
              -100000);
  Load();
  Edit(Unique(2, [](UniqueWordCells& c) { c.Frame = "0", c.WordInterval = "99999"; }), {}, 0,
       {Uni(2, "StartFrame"), Uni(2, "WordInterval")});
  setup.SubframeMode = 0;  // without subframes neither frame rules nor the SFID word count
  Edit(Unique(6, [](UniqueWordCells& c) { c.Word = "3", c.FrameInterval = "65"; }), {}, 0,
       {Uni(6, "StartFrameInterval"), Uni(6, "StartWord")});
  setup.PatternLeads = 0;
  Edit(Unique(4, [](UniqueWordCells& c) { c.Word = "255"; }), {}, 1,
       {Uni(4, "StartWord"), Uni(4, "WordInterval"), Uni(4, "Value")});
  EXPECT_EQ(Messages(), Names{"UNIQUE WORD NUMBER 5  The Unique Word Start Must Be Less Than 255  "
                              "(check framesync pattern length)."});
}

TEST(PanelTexts, RenderingsRatesUniqueValuesTheSfIdPictureAndTheTransmitter) {
  FspRenderings shown;
  ASSERT_TRUE(ShowPatternInAllRadices("FE6B2840", kPatternHex, 32, shown));
  EXPECT_EQ(shown.Binary + " " + shown.Octal,  // 11 octal digits cut to 32 / 3
            "11111110011010110010100001000000 3763262410");
  ASSERT_TRUE(ShowPatternInAllRadices("1X01", kPatternBinary, 4, shown));
  EXPECT_FALSE(ShowPatternInAllRadices("FE6B2840", kPatternHex, 65, shown) ||
               ShowPatternInAllRadices("FE6B2840", kPatternHex, 2, shown));
  EXPECT_EQ(shown.Hex, "X");
  EXPECT_EQ(BitRateText(1024000) + BitRateText(25000000) + BitRateText(10) + BitRateText(123456789),
            "1.024 Mbps25.0 Mbps0.00001 Mbps123.45678 Mbps");
  // "0x" hex with a lower-case x only; what is no number reads as 0.
  EXPECT_EQ(UniqueValueFromText("0x00FF") + UniqueValueFromText("255") +
                UniqueValueFromText("0X00FF") + UniqueValueFromText("abc"),
            510);
  EXPECT_EQ(std::string() + UniqueGridKey('a') + UniqueGridKey('x') + UniqueGridKey('X'), "AxX");
  // The SFID word's picture: word length, and the counter's bits low..high.
  const std::pair<void (*)(SimSetupData&), std::array<int, 3>> pictures[] = {
      {[](SimSetupData& s) { s.FirstSubFrameNum = 1; }, {16, 0, 5}},  // 1..64, msb 5
      {[](SimSetupData& s) { s.NumSubframes = 4, s.FirstSubFrameNum = 1, s.SfIdStartBit = 12; },
       {16, 10, 12}},  // values 1..4: 3 bits below the msb
      {[](SimSetupData& s) { s.Words[2].SimWordLen = 8, s.SfIdStartBit = 15; }, {8, 7, 7}},
      {[](SimSetupData& s) { s.SfIdWordNum = 20000; }, {1, 0, 0}},      // no such word
      {[](SimSetupData& s) { s.Words[2].SimWordLen = 0; }, {1, 0, 0}},  // one tick at least
      {[](SimSetupData& s) { s.SfIdStartBit = INT32_MIN; }, {16, 0, 0}},
  };
  for (const auto& [change, marks] : pictures) {
    auto sim = std::make_unique<Sim>();
    change(sim->Setup);
    const SfIdBitMarks m = SfIdBits(sim->Setup);
    EXPECT_EQ((std::array<int, 3>{m.WordLength, m.Low, m.High}), marks);
    EXPECT_TRUE(m.Used(marks[2]) && !m.Used(marks[2] + 1));
  }
  // A new rate or code retunes the transmitter with the filters the query reported.
  Sim sim;
  progtxclass tx;
  progqueryclass query;
  query.Results.PremodFilterFreqKhz = {100, 300, 600, 1000};
  sim.Setup.SimBitRate = 1000000;
  EXPECT_TRUE(RetuneTransmitter(tx, query, sim.Setup));
  EXPECT_EQ(std::pair(tx.Setup.FmDeviation, tx.Setup.PreModFilterSelected), std::pair(350, 3));
  EXPECT_FALSE(RetuneTransmitter(tx, query, sim.Setup));  // the same again needs no load
  sim.Setup.SimOutputCode = 3;                            // "BIOL" doubles the band
  EXPECT_TRUE(RetuneTransmitter(tx, query, sim.Setup));
  EXPECT_EQ(std::pair(tx.Setup.FmDeviation, tx.Setup.PreModFilterSelected), std::pair(700, 0));
}

}  // namespace
