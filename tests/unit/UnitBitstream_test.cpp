// The virtual unit's PCM output: the encoder read back out of the unit's memory agrees
// with the setup, and a load over the pseudo-terminal leaves a bit stream (file or pipe)
// that the decommutation check finds every word of.
#include "unit/UnitBitstream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "app/Qm48GlobUnit.h"
#include "common/RandomSimSetup.h"
#include "common/ScriptedOperator.h"
#include "common/VirtualUnitOnPty.h"
#include "pcm/BitstreamFile.h"
#include "pcm/Decommutator.h"
#include "simulator/MemoryImages.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SimValidation.h"
#include "support/TempDir.h"
#include "unit/UnitEncoderTables.h"
#include "unit/UnitProtocol.h"

namespace {

EncoderModel SetupModel(const progsimulatorclass& sim) {
  return EncoderModel(sim.Setup, sim.UserWaves, {sim.DoCrc16, sim.DoCttit, sim.CrcWdNum});
}

// What the unit holds after the load's command stream, fed straight to its interpreter.
SimulatorImage ImageAfterLoad(progsimulatorclass& sim) {
  sim.Prep232SimSetupData(SelectedLoadFormat());
  UnitProtocol unit;
  const std::vector<uint8_t>& bytes = sim.TxBuffer.Bytes();
  unit.Feed(bytes.data(), bytes.size());
  EXPECT_TRUE(unit.State().running);
  return unit.State().sim;
}

// Every minor frame of the major frame, word for word. Both loads drew the same "RANDOM"
// numbers (the generator is reseeded before each), so every word must agree.
void ExpectSameFrames(const EncoderModel& unit, const EncoderModel& setup) {
  ASSERT_EQ(unit.MinorFramesPerMajorFrame(), setup.MinorFramesPerMajorFrame());
  ASSERT_EQ(unit.Code(), setup.Code());
  ASSERT_EQ(unit.LsbFirst(), setup.LsbFirst());
  for (int64_t k = 0; k < setup.MinorFramesPerMajorFrame(); ++k) {
    const EncodedMinorFrame a = unit.MinorFrame(k);
    const EncodedMinorFrame b = setup.MinorFrame(k);
    ASSERT_EQ(a.Counter, b.Counter) << k;
    ASSERT_EQ(a.EndsMajorFrame, b.EndsMajorFrame) << k;
    ASSERT_EQ(a.Words.size(), b.Words.size());
    for (size_t w = 0; w < b.Words.size(); ++w) {
      ASSERT_EQ(a.Words[w].Length, b.Words[w].Length) << k << " " << w;
      ASSERT_EQ(a.Words[w].Role, b.Words[w].Role) << k << " " << w;
      ASSERT_EQ(a.Words[w].Value, b.Words[w].Value) << "frame " << k << " word " << w + 1;
    }
  }
}

class UnitBitstream : public ::testing::Test {
 protected:
  void SetUp() override {
    gFormatNumber = 0;
    gFormatName_ = {"", "", "", ""};
  }
  ScriptedOperator op;
  ScopedOperator scope{op};
};

// The model's prediction against what the unit holds after the load's command stream:
// every subframe mode, both directions, first counter values 0 and 1, one minor frame or
// many, on random setups of every size the editor allows.
TEST_F(UnitBitstream, TheUnitsMemoryEncodesWhatTheSetupAsks) {
  auto sim = std::make_unique<progsimulatorclass>();
  ExpectSameFrames(EncoderModel(EncoderTablesFromUnit(ImageAfterLoad(*sim))), SetupModel(*sim));

  uint32_t seed = 1;
  for (int32_t mode = 0; mode < 4; ++mode)
    for (int32_t direction = 0; direction < 2; ++direction)
      for (int32_t first = 0; first < 2; ++first)
        for (bool oneFrame : {true, false}) {
          SCOPED_TRACE(::testing::Message() << "mode " << mode << " direction " << direction
                                            << " first " << first << " one frame " << oneFrame);
          bool checked = false;
          for (int tries = 0; !checked && tries < 200; ++tries, ++seed) {
            sim = std::make_unique<progsimulatorclass>();
            RandomSimSetup random(seed);
            random.Fill(*sim, gFormatNumber, gFormatName_);
            SimSetupData& s = sim->Setup;
            s.SubframeMode = mode;
            s.SubframeDirection = direction;
            s.FirstSubFrameNum = first;
            s.NumSubframes = oneFrame ? 1 : random.Int(2, 64);
            // Some dynamic words read user waves.
            s.DynamicWords[0].SimDynamicWordWave = random.Flag() ? kWaveUserDef : kWaveRandom;
            sim->UserWaves[0].NumWords = random.Int(0, 30);
            for (uint16_t& sample : sim->UserWaves[0].Samples)
              sample = static_cast<uint16_t>(random.Int(0, 65535));
            sim->UserWaves[0].DefaultValue = 0x5A5A;
            std::string message;
            if (!ValidateSimulatorSetup(*sim, message)) continue;
            SCOPED_TRACE(seed);
            // Predicted from the record as it stands: the load may reset its first counter
            // value.
            RuntimeSrand(seed);
            const EncoderImage predicted =
                LoadedEncoderImage(s, sim->UserWaves, {sim->DoCrc16, sim->DoCttit, sim->CrcWdNum});
            RuntimeSrand(seed);
            const EncoderModel model = SetupModel(*sim);
            RuntimeSrand(seed);
            const SimulatorImage image = ImageAfterLoad(*sim);
            ASSERT_TRUE(predicted.Memory == image.memory);
            ASSERT_EQ(predicted.Registers, image.registers);
            if (s.WordsPerMinorFrame <= 400)  // the frames of the largest take a while
              ExpectSameFrames(EncoderModel(EncoderTablesFromUnit(image)), model);
            checked = true;
          }
          EXPECT_TRUE(checked);
        }
}

TEST_F(UnitBitstream, EachLoadOverTheLineLeavesAStreamTheDecomChecks) {
  TempDir dir;
  VirtualUnitOptions options;
  options.bitstreamPath = dir.File("pcm.bits");
  VirtualUnitOnPty link(options);
  ASSERT_TRUE(link.Ready());
  const UnitBitstreamWriter* writer = link.Unit().Bitstream();
  ASSERT_NE(writer, nullptr);
  SendOptions fast;
  fast.pauseMs = 0;

  auto sim = std::make_unique<progsimulatorclass>();
  sim->Setup.NumSubframes = 16;
  sim->Setup.SfIdStartBit = 3;
  ASSERT_EQ(sim->Send232SimSetupData(link.Link(), SelectedLoadFormat(), fast).result,
            SendResult::Done);
  ASSERT_TRUE(writer->WaitForStreams(1, std::chrono::seconds(20))) << writer->LastError();
  BitSequence cells;
  std::string error;
  ASSERT_TRUE(ReadBitstreamFile(options.bitstreamPath, cells, error, 1u << 30)) << error;
  const EncoderModel first = SetupModel(*sim);
  DecomReport report = Decommutate(sim->Setup, first, cells, {});
  EXPECT_TRUE(report.Clean()) << report.WordsDiffering;
  EXPECT_EQ(report.Sync.Frames.size(), 4u * 16 - 2);  // four major frames, less the lock

  // A second load in another code replaces the stream.
  auto next = std::make_unique<progsimulatorclass>();
  next->Setup.NumSubframes = 8;
  next->Setup.SfIdStartBit = 2;
  next->Setup.SimOutputCode = static_cast<int32_t>(LineCode::BiPhaseM);
  next->Setup.Words[40].SimValue = 0xC0DE;
  ASSERT_EQ(next->Send232SimSetupData(link.Link(), SelectedLoadFormat(), fast).result,
            SendResult::Done);
  ASSERT_TRUE(writer->WaitForStreams(2, std::chrono::seconds(20))) << writer->LastError();
  ASSERT_TRUE(ReadBitstreamFile(options.bitstreamPath, cells, error, 1u << 30)) << error;
  DecomSettings settings;
  settings.Code = LineCode::BiPhaseM;
  report = Decommutate(next->Setup, SetupModel(*next), cells, settings);
  EXPECT_TRUE(report.Clean()) << report.WordsDiffering;
  // The first setup no longer describes what the unit sends.
  EXPECT_FALSE(Decommutate(sim->Setup, first, cells, settings).Clean());
  EXPECT_FALSE(std::filesystem::exists(options.bitstreamPath + ".part"));
}

// Random setups the editor allows, each loaded over the line, streamed by the unit and
// checked by the decom against the setup.
TEST_F(UnitBitstream, RandomSetupsRoundTripThroughTheUnit) {
  TempDir dir;
  VirtualUnitOptions options;
  options.bitstreamPath = dir.File("pcm.bits");
  VirtualUnitOnPty link(options);
  ASSERT_TRUE(link.Ready());
  const UnitBitstreamWriter* writer = link.Unit().Bitstream();
  SendOptions fast;
  fast.pauseMs = 0;
  uint64_t streams = 0;
  for (uint32_t seed = 100; streams < 4 && seed < 2000; ++seed) {
    auto sim = std::make_unique<progsimulatorclass>();
    RandomSimSetup(seed).Fill(*sim, gFormatNumber, gFormatName_);
    const SimSetupData& s = sim->Setup;
    std::string message;
    if (!ValidateSimulatorSetup(*sim, message)) continue;
    if (s.WordsPerMinorFrame > 400 || s.NumSubframes > 64 || s.FirstSubFrameNum != 0) continue;
    const EncoderModel model = SetupModel(*sim);
    const SyncPattern pattern = FrameSyncReference(s, model);
    if (pattern.Length == 0 || std::popcount(pattern.Care) < 24) continue;  // findable only
    SCOPED_TRACE(seed);
    ASSERT_EQ(sim->Send232SimSetupData(link.Link(), SelectedLoadFormat(), fast).result,
              SendResult::Done);
    ++streams;
    ASSERT_TRUE(writer->WaitForStreams(streams, std::chrono::seconds(20))) << writer->LastError();
    BitSequence cells;
    std::string error;
    ASSERT_TRUE(ReadBitstreamFile(options.bitstreamPath, cells, error, 1u << 30)) << error;
    DecomSettings settings;
    settings.Code = model.Code();
    EXPECT_EQ(model.Code(), LineCodeOfEncoderRegister(link.Unit().Register(2)));
    const DecomReport report = Decommutate(s, model, cells, settings);
    EXPECT_TRUE(report.Clean()) << report.Error << " differ " << report.WordsDiffering << " crc "
                                << report.CrcErrors;
  }
  EXPECT_EQ(streams, 4u);
}

TEST_F(UnitBitstream, APipeGetsTheStreamWhenItsReaderComes) {
  TempDir dir;
  VirtualUnitOptions options;
  options.bitstreamPath = dir.File("pcm.fifo");
  options.bitstreamFrames = 200;  // more than the pipe holds
  ASSERT_EQ(::mkfifo(options.bitstreamPath.c_str(), 0600), 0);
  VirtualUnitOnPty link(options);
  ASSERT_TRUE(link.Ready());
  SendOptions fast;
  fast.pauseMs = 0;
  auto sim = std::make_unique<progsimulatorclass>();
  sim->Setup.NumSubframes = 16;
  sim->Setup.SfIdStartBit = 3;
  // The load ends whether or not anyone reads the pipe.
  ASSERT_EQ(sim->Send232SimSetupData(link.Link(), SelectedLoadFormat(), fast).result,
            SendResult::Done);

  const int fd = ::open(options.bitstreamPath.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  const size_t expected = 200 * 256 * 16 * 2 / 8;
  std::vector<uint8_t> bytes;
  uint8_t buffer[65536];
  for (int idle = 0; bytes.size() < expected && idle < 2000;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      bytes.insert(bytes.end(), buffer, buffer + n);
    } else {
      ++idle;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ::close(fd);
  ASSERT_EQ(bytes.size(), expected);
  const DecomReport report =
      Decommutate(sim->Setup, SetupModel(*sim), UnpackCells(bytes.data(), bytes.size()), {});
  EXPECT_TRUE(report.Clean());
  EXPECT_EQ(report.Sync.Frames.size(), 198u);
}

}  // namespace
