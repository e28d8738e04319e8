// The virtual unit's PCM output into a pipe: the whole stream of a load, past the pipe's full
// buffer, and the decom finds the setup in it.
#include "unit/UnitBitstream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "app/Qm48GlobUnit.h"
#include "common/VirtualUnitOnPty.h"
#include "pcm/BitstreamFile.h"
#include "pcm/Decommutator.h"
#include "pcm/PcmTestSupport.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "support/TempDir.h"

namespace {

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
      Decommutate(sim->Setup, ModelOf(*sim), UnpackCells(bytes.data(), got), {});
  EXPECT_TRUE(report.Clean());
  EXPECT_EQ(report.Sync.Frames.size(), 198u);
}

}  // namespace
