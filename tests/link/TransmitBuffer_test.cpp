#include "link/TransmitBuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/CommandText.h"
#include "support/Operator.h"
#include "support/Signals.h"

namespace {

// Counts the error signals the cutting gives; answers nothing else.
class ToneCounter : public OperatorInterface {
 public:
  ToneCounter() : previous_(SetOperator(this)) {}
  ~ToneCounter() override { SetOperator(previous_); }
  MsgAnswer MessageBox(const std::string&, const std::string&, MsgButtons, MsgIcon) override {
    return MsgAnswer::Ok;
  }
  std::optional<std::string> InputBox(const std::string&, const std::string&,
                                      const std::string&) override {
    return std::nullopt;
  }
  bool ChooseFile(const FileChooserRequest&, std::string&) override { return false; }
  void RunProgress(const ProgressDialogRequest&, ProgressTask&) override {}
  void PlayTones(const std::vector<Tone>& tones) override {
    bool same = tones.size() == ErrorTones().size();
    for (size_t i = 0; same && i < tones.size(); ++i)
      same = tones[i].frequencyHz == ErrorTones()[i].frequencyHz &&
             tones[i].durationMs == ErrorTones()[i].durationMs;
    if (same) ++errorSignals;
  }
  int errorSignals = 0;

 private:
  OperatorInterface* previous_;
};

TransmitBuffer BufferOf(const std::string& bytes) {
  TransmitBuffer buffer;
  buffer.AppendCommand(bytes);
  return buffer;
}

// Cuts with NextCommand directly, the way the sender does, up to the first empty result.
std::vector<std::string> Cut(const std::string& bytes) {
  std::vector<std::string> out;
  uint32_t index = 0;
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  for (;;) {
    std::string command = NextCommand(data, static_cast<uint32_t>(bytes.size()), index);
    if (command.empty()) break;
    out.push_back(command);
  }
  EXPECT_EQ(index, bytes.size());
  return out;
}

using Commands = std::vector<std::string>;

}  // namespace

TEST(NextCommand, CutsCommandsAtTheirLetters) {
  TransmitBuffer buffer;
  buffer.AppendCommand(RunCommand(false));
  buffer.AppendCommand(MemoryWriteCommand(0x0800, 0));
  buffer.AppendCommand(RunCommand(true));
  EXPECT_EQ(buffer.Fill(), 17u);
  EXPECT_EQ(SplitCommands(buffer), (Commands{"0 R", "0800 0000 M", "1 R"}));

  // A-F are hex digits and lower case never ends a command.
  EXPECT_EQ(Cut("0FI0BI0CI"), (Commands{"0FI", "0BI", "0CI"}));
  EXPECT_EQ(Cut("ABCDEF abc Q"), (Commands{"ABCDEF abc Q"}));
  EXPECT_EQ(Cut("QW"), (Commands{"Q", "W"}));
}

TEST(NextCommand, NameCommandTakesTheNextEightBytesWhateverTheyAre) {
  EXPECT_EQ(Cut("HFRAME001S"), (Commands{"HFRAME001", "S"}));
  EXPECT_EQ(Cut("0 NH        S"), (Commands{"0 N", "H        ", "S"}));
  // A name cut short by the end of the buffer: no byte past the fill is read.
  std::string shortName = "HAB";
  EXPECT_EQ(Cut(shortName), (Commands{"HAB"}));
}

TEST(NextCommand, EmptyAndUnterminatedBuffers) {
  EXPECT_TRUE(Cut("").empty());
  uint32_t index = 0;
  EXPECT_EQ(NextCommand(nullptr, 0, index), "");
  // The unterminated tail comes out as a last command, then the buffer is done.
  EXPECT_EQ(Cut("1 R0800 00"), (Commands{"1 R", "0800 00"}));
  // A finished buffer keeps answering with the empty text.
  TransmitBuffer buffer = BufferOf("S");
  index = 1;
  EXPECT_EQ(NextCommand(buffer.Data(), buffer.Fill(), index), "");
  EXPECT_EQ(index, 1u);
}

TEST(NextCommand, FiveHundredTwelveBytesWithoutALetterAreAnError) {
  ToneCounter op;
  const std::string junk(600, '1');
  const Commands commands = Cut("S" + junk + "R");
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[0], "S");
  EXPECT_EQ(commands[1], std::string(512, '1'));
  EXPECT_EQ(commands[2], std::string(88, '1') + "R");
  EXPECT_EQ(op.errorSignals, 1);

  // A letter in the 512th byte still ends the command normally.
  op.errorSignals = 0;
  EXPECT_EQ(Cut(std::string(511, '0') + "M"), (Commands{std::string(511, '0') + "M"}));
  EXPECT_EQ(op.errorSignals, 0);
}

TEST(TransmitBuffer, GrowsPastItsInitialCapacityAndClears) {
  TransmitBuffer buffer(16);
  Commands written;
  for (uint32_t a = 0; a < 5000; ++a) {
    written.push_back(MemoryWriteCommand(a * 7, a));
    buffer.AppendCommand(written.back());
  }
  EXPECT_EQ(buffer.Fill(), 5000u * 11u);
  EXPECT_EQ(SplitCommands(buffer), written);
  buffer.ClearTxBuffer();
  EXPECT_EQ(buffer.Fill(), 0u);
  EXPECT_TRUE(SplitCommands(buffer).empty());
}
