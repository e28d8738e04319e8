// The virtual unit's PCM output: each load leaves a bit stream (file or pipe) the decom reads.
#include "unit/UnitBitstream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/Qm48GlobUnit.h"
#include "common/VirtualUnitOnPty.h"
#include "pcm/BitstreamFile.h"
#include "pcm/Decommutator.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/TempDir.h"

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

SendResult Load(VirtualUnitOnPty& link, progsimulatorclass& sim) {
  return sim.Send232SimSetupData(link.Link(), SelectedLoadFormat(), {.pauseMs = 0}).result;
}

// The second load replaces the stream: the decom finds its setup and no longer the first's.
TEST(UnitBitstream, EachLoadOverTheLineLeavesAStreamTheDecomChecks) {
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
    const DecomSettings settings{.Code = model.Code()};
    const DecomReport report = Decommutate(sim->Setup, model, cells, settings);
    EXPECT_TRUE(report.Clean()) << report.Error << " differ " << report.WordsDiffering;
    EXPECT_EQ(report.Sync.Frames.size(), 4u * sim->Setup.NumSubframes - 2);  // less the lock
    if (sim == second.get()) {  // the first setup no longer describes what the unit sends
      EXPECT_FALSE(Decommutate(first->Setup, SetupModel(*first), cells, settings).Clean());
    }
  }
  EXPECT_FALSE(std::filesystem::exists(options.bitstreamPath + ".part"));
}

TEST(UnitBitstream, APipeGetsTheWholeStreamPastItsFullBuffer) {
  TempDir dir;
  VirtualUnitOptions options;
  options.bitstreamPath = dir.File("pcm.fifo");
  options.bitstreamFrames = 200;  // more than the pipe holds
  ASSERT_EQ(::mkfifo(options.bitstreamPath.c_str(), 0600), 0);
  VirtualUnitOnPty link(options);
  ASSERT_TRUE(link.Ready());
  // A pipe of one page, read only after the load: the writer meets it full.
  const int fd = ::open(options.bitstreamPath.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  ASSERT_GT(::fcntl(fd, F_SETPIPE_SZ, 4096), 0);
  auto sim = SmallSetup();
  ASSERT_EQ(Load(link, *sim), SendResult::Done);  // whether or not anyone reads the pipe
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
