// Trace files: appended line by line and readable at every moment; a saved copy replaces
// the old file whole or not at all.
#include "serial/TraceFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TempDir.h"

namespace {

TEST(TraceFileTest, AppendsLinesEachOnTheDiskAtOnce) {
  TempDir dir;
  const std::string path = dir.File("run.Qm48ComDbg");
  {
    TraceFile trace;
    ASSERT_TRUE(trace.Open(path));
    EXPECT_TRUE(trace.IsOpen());
    EXPECT_TRUE(trace.WriteLine("TX 0Q"));
    // Visible before the trace is closed: nothing waits in a buffer of ours.
    EXPECT_EQ(ReadAll(path), "TX 0Q\r\n");
    EXPECT_TRUE(trace.WriteLine("RX 1<CR>"));
    EXPECT_EQ(ReadAll(path), "TX 0Q\r\nRX 1<CR>\r\n");
  }
  // A second trace to the same file keeps what was there.
  TraceFile again;
  ASSERT_TRUE(again.Open(path));
  EXPECT_TRUE(again.WriteLine("TX S"));
  again.Close();
  EXPECT_FALSE(again.IsOpen());
  EXPECT_FALSE(again.WriteLine("lost"));
  EXPECT_EQ(CrLfLines(ReadAll(path)), (std::vector<std::string>{"TX 0Q", "RX 1<CR>", "TX S"}));
}

TEST(TraceFileTest, UnwritablePlacesAreRefusedWithAReason) {
  TempDir dir;
  TraceFile trace;
  std::string error;
  EXPECT_FALSE(trace.Open(dir.File("no/such/dir/x"), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(trace.IsOpen());
  error.clear();
  EXPECT_FALSE(SaveTraceLines(dir.File("no/such/dir/x"), {"a"}, &error));
  EXPECT_FALSE(error.empty());
}

TEST(TraceFileTest, SaveReplacesTheWholeFile) {
  TempDir dir;
  const std::string path = dir.File("saved.Qm48ComDbg");
  ASSERT_TRUE(SaveTraceLines(path, {"one", "two", "three"}));
  ASSERT_TRUE(SaveTraceLines(path, {"four"}));
  EXPECT_EQ(ReadAll(path), "four\r\n");
  ASSERT_TRUE(SaveTraceLines(path, {}));
  EXPECT_EQ(ReadAll(path), "");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
  // No temporary file is left beside it.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

}  // namespace
