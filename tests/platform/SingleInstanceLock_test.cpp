#include "platform/SingleInstanceLock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <filesystem>

#include "support/TempDir.h"

TEST(SingleInstanceLock, OneHolderAtATime) {
  TempDir dir;
  SingleInstanceLock first("Qm48_SingleInstance", dir.Path());
  SingleInstanceLock second("Qm48_SingleInstance", dir.Path());
  EXPECT_EQ(first.Path(), dir.File("Qm48_SingleInstance.lock"));
  ASSERT_TRUE(first.TryAcquire());
  EXPECT_TRUE(first.Held());
  EXPECT_FALSE(second.TryAcquire());
  EXPECT_FALSE(second.ErrorText().empty());
  first.Release();
  EXPECT_TRUE(second.TryAcquire());
  SingleInstanceLock other("Another_Name", dir.Path());
  EXPECT_TRUE(other.TryAcquire());
}

TEST(SingleInstanceLock, AKilledHolderDoesNotBlockTheNextStart) {
  TempDir dir;
  SingleInstanceLock lock("Qm48_SingleInstance", dir.Path());
  const std::string path = lock.Path();
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Only async-signal-safe calls here: take the lock as the program would, then hang.
    int fd = open(path.c_str(), O_RDWR | O_CREAT, 0600);
    char ok = (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) ? 'y' : 'n';
    (void)!write(ready[1], &ok, 1);
    for (;;) pause();
  }
  close(ready[1]);
  char ok = 0;
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  close(ready[0]);
  ASSERT_EQ(ok, 'y');
  EXPECT_FALSE(lock.TryAcquire());

  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(lock.TryAcquire());
}

TEST(SingleInstanceLock, RefusesASymbolicLink) {
  TempDir dir;
  { std::ofstream(dir.File("target")) << "keep"; }
  std::filesystem::create_symlink(dir.File("target"), dir.File("Qm48_SingleInstance.lock"));
  SingleInstanceLock lock("Qm48_SingleInstance", dir.Path());
  EXPECT_FALSE(lock.TryAcquire());
  EXPECT_EQ(ReadAll(dir.File("target")), "keep");
}
