// The decommutation check on any stream, against setups no validation has seen (odd word
// lengths, any patterns, counters out of range), and the encoder read out of any unit memory:
// never a crash, frames inside the stream in order, every frame cut into the setup's words.
#include <cstring>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "pcm/BitstreamFile.h"
#include "pcm/Decommutator.h"
#include "pcm/LockWarnings.h"
#include "unit/UnitEncoderTables.h"

namespace {

void FuzzSetup(FuzzInput& in, SimSetupData& s) {
  s.WordsPerMinorFrame = in.Byte() % 160 - 2;
  s.CommonWordLength = in.Byte() % 20;
  const int lengthSeed = in.Byte();
  for (int i = 0; i < 160; ++i)
    s.Words[size_t(i)].SimWordLen = static_cast<uint16_t>((lengthSeed + i * (lengthSeed % 7)) % 20);
  s.NumSubframes = in.Byte() % 70 - 2;
  s.FirstSubFrameNum = in.Byte() % 5 - 2;
  s.SubframeDirection = in.Byte() % 3;
  s.SubframeMode = in.Byte() % 5;
  s.PatternLeads = in.Byte() % 3;
  s.BitOrder = in.Byte() % 3;
  s.SfIdWordNum = in.Byte() % 170 - 5;
  s.SfIdStartBit = in.Byte() % 20 - 2;
  s.FsPatternRadix = in.Byte() % 4;
  s.FrameSyncLength = in.Byte() % 70 - 3;
  const std::string pattern = in.Text();
  std::strncpy(s.FrameSyncPattern, pattern.c_str(), kMaxFrameSyncPatternChars);
  s.FrameSyncPattern[kMaxFrameSyncPatternChars] = '\0';
  s.SimOutputCode = in.Byte() % 21 - 1;
  for (SimDynamicWord& d : s.DynamicWords) d = {in.Byte() % 170 - 5, in.Byte() % 9, in.Byte() % 10};
  for (SimUniqueWord& u : s.UniqueWords)
    u = {in.Byte() % 70 - 3, in.Byte() % 9 - 1, in.Byte() % 170 - 5, in.Byte() % 9 - 1, 0xBEEF};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  if (in.Byte() % 4 == 0) {
    // A unit memory written at random: a few words and the three registers.
    auto image = std::make_unique<SimulatorImage>();
    for (int k = 0; k < 3; ++k) image->registers[size_t(k)] = static_cast<uint16_t>(in.Int32());
    for (int n = in.Byte(); n > 0; --n) {
      const uint32_t word = static_cast<uint32_t>(in.Int32());
      image->memory[word >> 16] = static_cast<uint16_t>(word);
    }
    const EncoderModel model(EncoderTablesFromUnit(*image));
    FUZZ_CHECK(model.MinorFramesPerMajorFrame() >= 1);
    const BitSequence line = model.Line(2);
    FUZZ_CHECK(line.size() % 2 == 0);
    return 0;
  }
  auto setup = std::make_unique<SimSetupData>();
  FuzzSetup(in, *setup);
  const UserWaveTables waves{};
  const EncoderCrcSetting crc{in.Byte() % 3 == 0, in.Byte() % 3 == 0, in.Byte() - 1};
  const EncoderModel model(*setup, waves, crc);
  for (const LockWarning& warning : LockWarnings(*setup, waves, crc)) {
    FUZZ_CHECK(!warning.Text.empty());
    for (int word : warning.Words) FUZZ_CHECK(word >= 0 && word < model.WordsPerMinorFrame());
  }
  DecomSettings settings;
  settings.Code = static_cast<LineCode>(in.Byte() % 20);
  settings.CheckPatterns = in.Byte() % 4 + 1;
  settings.LockErrors = in.Byte() % 6 - 1;
  settings.Flywheel = in.Byte() % 4 + 1;
  settings.SlipWindow = in.Byte() % 4;
  settings.EndPaddingCells = in.Byte() % 9;
  // The stream: the input's rest, or the setup's own frames with it mixed in.
  const std::string rest = in.Rest();
  BitSequence cells = UnpackCells(reinterpret_cast<const uint8_t*>(rest.data()), rest.size());
  if (!cells.empty() && (cells[0] & 1) != 0 && model.WordsPerMinorFrame() > 0) {
    BitSequence line = model.Line(6);
    for (size_t i = 0; i < cells.size() && i < line.size(); ++i)
      line[i * 7 % line.size()] ^= cells[i] & cells[i / 2];
    cells = std::move(line);
  }
  int64_t frames = 0;
  const DecomReport report = Decommutate(*setup, model, cells, settings, [&](const DecomFrame& f) {
    FUZZ_CHECK(static_cast<int>(f.Words.size()) == model.WordsPerMinorFrame());
    ++frames;
  });
  FUZZ_CHECK(frames == static_cast<int64_t>(report.Sync.Frames.size()));
  for (size_t k = 0; k < report.Sync.Frames.size(); ++k) {
    const int64_t start = report.Sync.Frames[k].Start;
    FUZZ_CHECK(start >= 0 && start < report.BitsDecoded);
    FUZZ_CHECK(k == 0 || start > report.Sync.Frames[k - 1].Start);
  }
  FUZZ_CHECK(report.WordsDiffering <= report.WordsCompared);
  FUZZ_CHECK(report.TailBits >= 0 && report.TailBits <= report.BitsDecoded);
  FUZZ_CHECK(report.CodeViolations >= 0 && report.TailCodeViolations >= 0);
  FUZZ_CHECK(report.Differences.size() <= DecomReport::kKeptDifferences);
  return 0;
}
