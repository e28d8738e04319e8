// Saving: batches, atomic replacement, failures that must leave the old file intact,
// and several threads at once.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <thread>

#include "profile/ProfileTestFiles.h"
#include "support/ProfileStore.h"

namespace {

ino_t InodeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_ino;
}

unsigned ModeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

// Limits the size of any file this process writes, so a save runs out of room half-way
// whoever runs the test (root included). Writes beyond the limit fail instead of
// raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit saved_{};
  sighandler_t previousHandler_;
};

}  // namespace

TEST(ProfileSaves, BatchHoldsChangesUntilItsEndWritesThemOnce) {
  TempFolder dir;
  std::string f = dir / "setup.QM48";
  PutFileBytes(f, "[SIMULATOR SETUP]\r\nOld=1\r\n");
  ino_t before = InodeOf(f);

  BeginProfileBatch(f);
  for (int i = 0; i < 500; ++i)
    ASSERT_TRUE(WriteProfileInt(f, "SIMULATOR SETUP", "Word" + std::to_string(i), i));
  ASSERT_TRUE(WriteProfileInt(f, "SIMULATOR SETUP", "Old", 2));
  int32_t v = 0;
  EXPECT_TRUE(ReadProfileInt(f, "simulator setup", "word499", v));  // reads see the batch
  EXPECT_EQ(v, 499);
  // Nothing has touched the file yet: same file, same bytes.
  EXPECT_EQ(InodeOf(f), before);
  EXPECT_EQ(FileBytes(f), "[SIMULATOR SETUP]\r\nOld=1\r\n");
  EXPECT_FALSE(FlushProfileFile(f));  // changes are still pending
  EXPECT_TRUE(EndProfileBatch(f));

  EXPECT_TRUE(FlushProfileFile(f));
  EXPECT_NE(InodeOf(f), before);
  EXPECT_TRUE(ReadProfileInt(f, "SIMULATOR SETUP", "Old", v));
  EXPECT_EQ(v, 2);
  EXPECT_TRUE(ReadProfileInt(f, "SIMULATOR SETUP", "Word250", v));
  EXPECT_EQ(v, 250);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"setup.QM48"});  // no temporary left
}

TEST(ProfileSaves, BatchesNestAndOnlyTheOutermostEndWrites) {
  TempFolder dir;
  std::string f = dir / "nest.ini";
  {
    ProfileBatch outer(f);
    ASSERT_TRUE(WriteProfileString(f, "S", "a", "1"));
    BeginProfileBatch(f);
    ASSERT_TRUE(WriteProfileString(f, "S", "b", "2"));
    EXPECT_TRUE(EndProfileBatch(f));
    EXPECT_FALSE(PathExists(f));
    EXPECT_TRUE(outer.End());
    EXPECT_TRUE(outer.End());  // asking again gives the same answer
  }
  EXPECT_EQ(FileBytes(f), "[S]\r\na=1\r\nb=2\r\n");
  EXPECT_FALSE(EndProfileBatch(f));  // no batch open

  // A batch that only read leaves the file alone.
  ino_t before = InodeOf(f);
  BeginProfileBatch(f);
  std::string t;
  EXPECT_TRUE(ReadProfileString(f, "S", "b", t));
  EXPECT_TRUE(EndProfileBatch(f));
  EXPECT_EQ(InodeOf(f), before);
}

TEST(ProfileSaves, BatchUnderARelativeNameSavesWhereItWasOpened) {
  TempFolder start, elsewhere;
  std::string previous = std::filesystem::current_path().string();
  std::filesystem::current_path(start.Path());
  BeginProfileBatch("rel.ini");
  std::filesystem::current_path(elsewhere.Path());  // as a file chooser may do
  EXPECT_TRUE(WriteProfileString("rel.ini", "S", "k", "v"));
  EXPECT_TRUE(EndProfileBatch("rel.ini"));
  std::filesystem::current_path(previous);
  EXPECT_EQ(FileBytes(start / "rel.ini"), "[S]\r\nk=v\r\n");
  EXPECT_TRUE(elsewhere.Names().empty());
}

TEST(ProfileSaves, BatchOfAFileThatCannotBeReadNeitherReadsNorWrites) {
  TempFolder dir;
  std::string notAFile = dir / "folder.ini";
  ASSERT_EQ(::mkdir(notAFile.c_str(), 0755), 0);
  BeginProfileBatch(notAFile);
  std::string t;
  EXPECT_FALSE(ReadProfileString(notAFile, "S", "k", t));
  EXPECT_FALSE(WriteProfileString(notAFile, "S", "k", "v"));
  EXPECT_FALSE(EndProfileBatch(notAFile));
  EXPECT_TRUE(DirectoryExists(notAFile));
  EXPECT_FALSE(WriteProfileString(notAFile, "S", "k", "v"));  // and without a batch
}

TEST(ProfileSaves, FailedSaveKeepsTheOldFileAndReportsFalse) {
  TempFolder dir;
  std::string f = dir / "keep.QM48";
  // Bigger than the room left below, so a backup copy runs out of it as well.
  const std::string old = "[S]\r\nk=old\r\npad=" + std::string(10000, 'p') + "\r\n";
  PutFileBytes(f, old);

  {  // The disk fills up in the middle of the save.
    FileSizeLimit limit(4096);
    EXPECT_FALSE(WriteProfileString(f, "S", "big", std::string(10000, 'b')));
    BeginProfileBatch(f);
    for (int i = 0; i < 1000; ++i)
      ASSERT_TRUE(WriteProfileInt(f, "S", "Key" + std::to_string(i), i));
    EXPECT_FALSE(EndProfileBatch(f));
    BackupProfileFile(f);  // cannot fail visibly, but must not leave a part copy either
  }
  EXPECT_EQ(FileBytes(f), old);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"keep.QM48"});

  // The folder of the file is a file: nothing can be created there.
  EXPECT_FALSE(WriteProfileString(f + "/inner.ini", "S", "k", "v"));
  EXPECT_EQ(FileBytes(f), old);

  // A read-only folder stops everyone but root, who may write regardless of the bits.
  if (!RunningAsRoot()) {
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0555), 0);
    EXPECT_FALSE(WriteProfileString(f, "S", "k", "new"));
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    EXPECT_EQ(FileBytes(f), old);
  }
}

TEST(ProfileSaves, SaveKeepsPermissionBitsAndFollowsSymbolicLinks) {
  TempFolder dir;
  std::string f = dir / "mode.ini";
  PutFileBytes(f, "[S]\nk=1\n");
  ASSERT_EQ(::chmod(f.c_str(), 0640), 0);
  ASSERT_TRUE(WriteProfileString(f, "S", "k", "2"));
  EXPECT_EQ(ModeOf(f), 0640u);

  mode_t mask = ::umask(022);
  ASSERT_TRUE(WriteProfileString(dir / "fresh.ini", "S", "k", "1"));
  ::umask(mask);
  EXPECT_EQ(ModeOf(dir / "fresh.ini"), 0644u);

  std::string link = dir / "link.ini";
  ASSERT_EQ(::symlink("mode.ini", link.c_str()), 0);
  ASSERT_TRUE(WriteProfileString(link, "S", "k", "3"));
  struct stat st {};
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(FileBytes(f), "[S]\nk=3\n");
}

TEST(ProfileSaves, ThreadsWritingAtOnceLoseNothing) {
  TempFolder dir;
  std::string shared = dir / "shared.ini";
  auto writer = [&](const std::string& own, const std::string& tag) {
    BeginProfileBatch(own);
    for (int i = 0; i < 2000; ++i) WriteProfileInt(own, "S", tag + std::to_string(i), i);
    EXPECT_TRUE(EndProfileBatch(own));
    for (int i = 0; i < 40; ++i) WriteProfileInt(shared, "S", tag + std::to_string(i), i);
  };
  std::thread a(writer, dir / "a.ini", "a");
  std::thread b(writer, dir / "b.ini", "b");
  a.join();
  b.join();
  int32_t v = -1;
  for (const char* tag : {"a", "b"}) {
    std::string own = dir / (std::string(tag) + ".ini");
    EXPECT_TRUE(ReadProfileInt(own, "S", std::string(tag) + "1999", v));
    EXPECT_EQ(v, 1999);
    for (int i = 0; i < 40; ++i)
      EXPECT_TRUE(ReadProfileInt(shared, "S", tag + std::to_string(i), v)) << tag << i;
  }
}
