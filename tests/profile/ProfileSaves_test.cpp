// Saving: atomic replacement, failures, threads; backups, base names, choosers.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "common/ScriptedOperator.h"
#include "support/ProfileStore.h"
#include "support/TempDir.h"

static struct stat StatOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st;
}
static void Put(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}
static std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}
struct ProfileSaves : testing::Test {
  TempDir dir;
  const std::string f = dir.File("setup.QM48");
};

TEST_F(ProfileSaves, FailedSaveKeepsTheOldFileAndReportsFalse) {
  // Bigger than the room left below, so a backup copy runs out of it as well.
  const std::string old = "[S]\r\nk=old\r\npad=" + std::string(10000, 'p') + "\r\n";
  Put(f, old);
  // The disk fills up in the middle of the save: writes past 4096 bytes fail (root too).
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  const rlimit limit{4096, saved.rlim_max};
  const sighandler_t handler = ::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  EXPECT_FALSE(WriteProfileString(f, "S", "big", std::string(10000, 'b')));
  BeginProfileBatch(f);
  for (int i = 0; i < 1000; ++i) WriteProfileInt(f, "S", "Key" + std::to_string(i), i);
  const bool savedBatch = EndProfileBatch(f);
  BackupProfileFile(f);  // cannot fail visibly, but must not leave a part copy either
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, handler);
  EXPECT_FALSE(savedBatch);
  EXPECT_EQ(ReadAll(f), old);
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"setup.QM48"});
  EXPECT_FALSE(WriteProfileString(f + "/inner.ini", "S", "k", "v"));  // its folder is a file
  if (::geteuid() != 0) {  // a read-only folder stops everyone but root
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0555), 0);
    EXPECT_FALSE(WriteProfileString(f, "S", "k", "new"));
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
  }
  EXPECT_EQ(ReadAll(f), old);
}

TEST_F(ProfileSaves, SaveKeepsPermissionsAndFollowsLinks) {
  Put(f, "[S]\nk=1\n");
  ASSERT_EQ(::chmod(f.c_str(), 0640), 0);
  ASSERT_TRUE(WriteProfileString(f, "S", "k", "2"));
  EXPECT_EQ(StatOf(f).st_mode & 07777, 0640u);
  const mode_t mask = ::umask(022);
  ASSERT_TRUE(WriteProfileString(dir.File("fresh.ini"), "S", "k", "1"));
  ::umask(mask);
  EXPECT_EQ(StatOf(dir.File("fresh.ini")).st_mode & 07777, 0644u);
  const std::string link = dir.File("link.ini");
  ASSERT_EQ(::symlink("setup.QM48", link.c_str()), 0);
  ASSERT_TRUE(WriteProfileString(link, "S", "k", "3"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadAll(f), "[S]\nk=3\n");
}

// Two threads, each with a batch of its own file, then both writing one shared file.
TEST_F(ProfileSaves, ThreadsWritingAtOnceLoseNothing) {
  const std::string shared = dir.File("shared.ini");
  auto writer = [&](const std::string& tag) {
    const std::string own = dir.File(tag + ".ini");
    BeginProfileBatch(own);
    for (int i = 0; i < 2000; ++i) WriteProfileInt(own, "S", tag + std::to_string(i), i);
    EXPECT_TRUE(EndProfileBatch(own));
    for (int i = 0; i < 40; ++i) WriteProfileInt(shared, "S", tag + std::to_string(i), i);
  };
  std::thread a(writer, "a"), b(writer, "b");
  a.join();
  b.join();
  for (const std::string tag : {"a", "b"}) {
    int32_t v = -1;
    EXPECT_TRUE(ReadProfileInt(dir.File(tag + ".ini"), "S", tag + "1999", v) && v == 1999);
    for (int i = 0; i < 40; ++i)
      EXPECT_TRUE(ReadProfileInt(shared, "S", tag + std::to_string(i), v) && v == i) << tag << i;
  }
}

TEST_F(ProfileSaves, BackupsFileTestsBaseNamesAndChoosers) {
  BackupProfileFile(f);  // nothing to back up
  EXPECT_FALSE(PathExists(f + ".BAK") || PathExists(f) || IsFileProtected(f) ||
               FlushProfileFile(f));
  std::string bytes;
  for (int i = 0; i < 20000; ++i) bytes += static_cast<char>(i * 7);  // crosses blocks
  Put(f, bytes);
  Put(f + ".BAK", std::string(50000, 'o'));
  BackupProfileFile(f);
  EXPECT_EQ(ReadAll(f + ".BAK"), bytes);
  BackupProfileFile(dir.Path());  // a folder is not backed up
  EXPECT_FALSE(PathExists(dir.Path() + ".BAK"));
  EXPECT_TRUE(PathExists(f) && !DirectoryExists(f) && DirectoryExists(dir.Path()));
  EXPECT_FALSE(IsFileProtected(f) || IsFileProtected(f + "/below"));
  ASSERT_EQ(::chmod(f.c_str(), 0444), 0);
  EXPECT_EQ(IsFileProtected(f), ::geteuid() != 0);       // root may write any file
  EXPECT_TRUE(IsFileProtected(std::string(5000, 'n')));  // cannot even be looked at

  for (auto [path, base] : {std::pair{"Setups\\Run 1.old.QM48", "Run 1"},
                            {"  Padded.QM48  ", "Padded"},
                            {"NoExtension", "NoExtension"},
                            {" ", ""}})
    EXPECT_EQ(BaseNameOf(path), base);
  // Paths of 260 characters or more are cut to 259 first: here the extension goes.
  EXPECT_EQ(BaseNameOf("x/" + std::string(262, 'a') + ".QM48"), std::string(257, 'a'));

  ScriptedOperator op;  // the choosers: extension, filter and suggested name from the paths
  ScopedOperator installed(op);
  op.QueueChosenFile("/chosen/New.QM48");
  std::string path = "unchanged";
  EXPECT_TRUE(ChooseOpenFile("/start", "*.Cfg.old", "C:\\Setups\\Run 2.v1.QM48", path));
  EXPECT_FALSE(ChooseSaveFile("/other", "QM48", "x", path));  // nothing queued: Cancel
  EXPECT_EQ(path, "/chosen/New.QM48");
  std::string asked;
  for (const auto& a : op.FileChoosers())
    asked += a.title + ": " + a.defaultExtension + " " + a.filter + " " + a.suggestedName + "|";
  EXPECT_EQ(asked,
            "Open File: Cfg.old File Type (*.Cfg.old)|*.Cfg.old Run 2|Save File: QM48 File Type "
            "(*.QM48)|*.QM48 x|");
}
