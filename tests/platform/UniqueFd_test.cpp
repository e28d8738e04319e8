// The descriptor owner closes exactly what it owns, once: not after a move or a release,
// and always at the end of its life.
#include "platform/UniqueFd.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <utility>

namespace {

bool IsOpen(int fd) {
  return ::fcntl(fd, F_GETFD) != -1;
}

TEST(UniqueFd, ClosesWhatItOwnsOnceAndNothingItGaveAway) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  const int readEnd = ends[0];
  const int writeEnd = ends[1];
  {
    UniqueFd a(readEnd);
    UniqueFd b(std::move(a));  // the move hands it over: a must not close it
    EXPECT_FALSE(a.Valid());
    EXPECT_EQ(b.Get(), readEnd);
    a = std::move(b);
    EXPECT_TRUE(IsOpen(readEnd));
  }
  EXPECT_FALSE(IsOpen(readEnd));  // closed when its last owner went

  UniqueFd w(writeEnd);
  const int released = w.Release();
  EXPECT_EQ(released, writeEnd);
  w.Reset();
  EXPECT_TRUE(IsOpen(writeEnd));  // released: not closed by its former owner
  w.Reset(released);
  EXPECT_TRUE(w.Close());
  EXPECT_FALSE(IsOpen(writeEnd));
  EXPECT_TRUE(w.Close());  // nothing held: nothing to fail
}

}  // namespace
