// The virtual unit's PCM output: the encoder read back out of the unit's memory agrees
// with the setup, and each load over the pseudo-terminal leaves a bit stream (file or pipe)
// that the decommutation check finds every word of.
#include "unit/UnitBitstream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <tuple>

#include "app/Qm48GlobUnit.h"
#include "common/RandomSimSetup.h"
#include "common/VirtualUnitOnPty.h"
#include "pcm/BitstreamFile.h"
#include "pcm/Decommutator.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "simulator/SimValidation.h"
#include "support/TempDir.h"
#include "unit/UnitEncoderTables.h"
#include "unit/UnitProtocol.h"

namespace {

EncoderModel SetupModel(const progsimulatorclass& sim) {
  return EncoderModel(sim.Setup, sim.UserWaves, {sim.DoCrc16, sim.DoCttit, sim.CrcWdNum});
}

// A setup of our own the decom finds: 16 minor frames, SFID from bit 3.
std::unique_ptr<progsimulatorclass> SmallSetup() {
  auto sim = std::make_unique<progsimulatorclass>();
  sim->Setup.NumSubframes = 16;
  sim->Setup.SfIdStartBit = 3;
  return sim;
}

class UnitBitstream : public ::testing::Test {
 protected:
  void SetUp() override {
    gFormatNumber = 0;
    gFormatName_ = {"", "", "", ""};
  }
  SendResult Load(VirtualUnitOnPty& link, progsimulatorclass& sim) {
    return sim.Send232SimSetupData(link.Link(), SelectedLoadFormat(), {.pauseMs = 0}).result;
  }
};

// The encoder read back out of the memory a load leaves in the unit's interpreter agrees
// with the model of the setup, minor frame by minor frame: every subframe mode, both
// directions, first counter values 0 and 1, one minor frame or many, user waves.
TEST_F(UnitBitstream, TheUnitsMemoryEncodesWhatTheSetupAsks) {
  uint32_t seed = 1;
  for (int variant = 0; variant < 32; ++variant) {
    auto sim = std::make_unique<progsimulatorclass>();
    std::string message;
    for (bool valid = false; !valid && seed < 10000; ++seed) {
      sim = std::make_unique<progsimulatorclass>();
      RandomSimSetup random(seed);
      random.Fill(*sim, gFormatNumber, gFormatName_);
      SimSetupData& s = sim->Setup;
      std::tie(s.SubframeMode, s.SubframeDirection, s.FirstSubFrameNum) =
          std::tuple(variant & 3, (variant >> 2) & 1, (variant >> 3) & 1);
      s.NumSubframes = variant >= 16 ? 1 : random.Int(2, 64);
      s.DynamicWords[0].SimDynamicWordWave = random.Flag() ? kWaveUserDef : kWaveRandom;
      sim->UserWaves[0].NumWords = random.Int(0, 30);
      sim->UserWaves[0].Samples[1] = 0x5A5A;
      valid = s.WordsPerMinorFrame <= 400 && ValidateSimulatorSetup(*sim, message);
    }
    ASSERT_LT(seed, 10000u) << "no valid setup for variant " << variant;
    SCOPED_TRACE(::testing::Message() << "variant " << variant << " seed " << seed - 1);
    RuntimeSrand(seed);  // both draw the same "RANDOM" numbers
    const EncoderModel setup = SetupModel(*sim);
    RuntimeSrand(seed);
    sim->Prep232SimSetupData(SelectedLoadFormat());
    UnitProtocol unit;
    unit.Feed(sim->TxBuffer.Data(), sim->TxBuffer.Fill());
    const EncoderModel fromUnit(EncoderTablesFromUnit(unit.State().sim));
    ASSERT_EQ(std::tuple(fromUnit.MinorFramesPerMajorFrame(), fromUnit.Code(), fromUnit.LsbFirst()),
              std::tuple(setup.MinorFramesPerMajorFrame(), setup.Code(), setup.LsbFirst()));
    for (int64_t k = 0; k < setup.MinorFramesPerMajorFrame(); ++k) {
      const EncodedMinorFrame a = fromUnit.MinorFrame(k), b = setup.MinorFrame(k);
      ASSERT_EQ(std::tie(a.Counter, a.EndsMajorFrame), std::tie(b.Counter, b.EndsMajorFrame)) << k;
      ASSERT_EQ(a.Words.size(), b.Words.size()) << k;
      for (size_t w = 0; w < b.Words.size(); ++w)
        ASSERT_EQ(std::tie(a.Words[w].Length, a.Words[w].Role, a.Words[w].Value),
                  std::tie(b.Words[w].Length, b.Words[w].Role, b.Words[w].Value))
            << "frame " << k << " word " << w + 1;
    }
  }
}

// Two setups of our own loaded over the line one after the other: the second load replaces
// the stream, which the decom checks against that load's setup and no longer the first's.
TEST_F(UnitBitstream, EachLoadOverTheLineLeavesAStreamTheDecomChecks) {
  TempDir dir;
  VirtualUnitOptions options;
  options.bitstreamPath = dir.File("pcm.bits");
  VirtualUnitOnPty link(options);
  ASSERT_TRUE(link.Ready());
  const UnitBitstreamWriter* writer = link.Unit().Bitstream();
  ASSERT_NE(writer, nullptr);
  auto first = SmallSetup(), second = SmallSetup();
  second->Setup.NumSubframes = 8;
  second->Setup.SfIdStartBit = 2;
  second->Setup.SimOutputCode = static_cast<int32_t>(LineCode::BiPhaseM);
  second->Setup.Words[40].SimValue = 0xC0DE;
  for (progsimulatorclass* sim : {first.get(), second.get()}) {
    ASSERT_EQ(Load(link, *sim), SendResult::Done);
    const uint64_t streams = sim == first.get() ? 1 : 2;
    ASSERT_TRUE(writer->WaitForStreams(streams, std::chrono::seconds(20))) << writer->LastError();
    BitSequence cells;
    std::string error;
    ASSERT_TRUE(ReadBitstreamFile(options.bitstreamPath, cells, error, 1u << 30)) << error;
    const EncoderModel model = SetupModel(*sim);
    EXPECT_EQ(model.Code(), LineCodeOfEncoderRegister(link.Unit().Register(2)));
    DecomSettings settings;
    settings.Code = model.Code();
    const DecomReport report = Decommutate(sim->Setup, model, cells, settings);
    EXPECT_TRUE(report.Clean()) << report.Error << " differ " << report.WordsDiffering;
    EXPECT_EQ(report.Sync.Frames.size(), 4u * sim->Setup.NumSubframes - 2);  // less the lock
    if (sim == second.get()) {  // the first setup no longer describes what the unit sends
      EXPECT_FALSE(Decommutate(first->Setup, SetupModel(*first), cells, settings).Clean());
    }
  }
  EXPECT_FALSE(std::filesystem::exists(options.bitstreamPath + ".part"));
}

TEST_F(UnitBitstream, APipeGetsTheStreamWhenItsReaderComes) {
  TempDir dir;
  VirtualUnitOptions options;
  options.bitstreamPath = dir.File("pcm.fifo");
  options.bitstreamFrames = 200;  // more than the pipe holds
  ASSERT_EQ(::mkfifo(options.bitstreamPath.c_str(), 0600), 0);
  VirtualUnitOnPty link(options);
  ASSERT_TRUE(link.Ready());
  auto sim = SmallSetup();
  ASSERT_EQ(Load(link, *sim), SendResult::Done);  // whether or not anyone reads the pipe
  // Until the writer comes to the pipe, poll waits: no end of file without a writer yet.
  const int fd = ::open(options.bitstreamPath.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  std::vector<uint8_t> bytes(200 * 256 * 16 * 2 / 8);
  size_t got = 0;
  for (pollfd in{fd, POLLIN, 0}; got < bytes.size() && ::poll(&in, 1, 5000) > 0;) {
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  ASSERT_EQ(got, bytes.size());
  const DecomReport report =
      Decommutate(sim->Setup, SetupModel(*sim), UnpackCells(bytes.data(), got), {});
  EXPECT_TRUE(report.Clean());
  EXPECT_EQ(report.Sync.Frames.size(), 198u);
}

}  // namespace
