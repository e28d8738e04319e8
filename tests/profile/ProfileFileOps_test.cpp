// Backups, file tests, base names and the file choosers.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/ScriptedOperator.h"
#include "profile/ProfileTestFiles.h"
#include "support/ProfileStore.h"

TEST(ProfileFileOps, BackupCopiesByteForByteAndReplacesAnOlderOne) {
  TempFolder dir;
  std::string f = dir / "Qm48Com.Cfg";
  BackupProfileFile(f);
  EXPECT_TRUE(dir.Names().empty());

  std::string bytes;
  for (int i = 0; i < 20000; ++i) bytes += static_cast<char>(i * 7);  // crosses blocks
  PutFileBytes(f, bytes);
  PutFileBytes(f + ".BAK", std::string(50000, 'o'));
  BackupProfileFile(f);
  EXPECT_EQ(FileBytes(f + ".BAK"), bytes);
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"Qm48Com.Cfg", "Qm48Com.Cfg.BAK"}));

  BackupProfileFile(dir.Path());  // a folder is not backed up
  EXPECT_FALSE(PathExists(dir.Path() + ".BAK"));
}

TEST(ProfileFileOps, ExistenceAndProtection) {
  TempFolder dir;
  std::string f = dir / "p.ini";
  EXPECT_FALSE(PathExists(f));
  EXPECT_FALSE(IsFileProtected(f));
  EXPECT_FALSE(IsFileProtected(f + "/below"));
  EXPECT_FALSE(FlushProfileFile(f));
  PutFileBytes(f, "[S]\n");
  EXPECT_TRUE(PathExists(f));
  EXPECT_FALSE(DirectoryExists(f));
  EXPECT_TRUE(DirectoryExists(dir.Path()));
  EXPECT_TRUE(PathExists(dir.Path()));
  EXPECT_FALSE(IsFileProtected(f));
  EXPECT_TRUE(FlushProfileFile(f));
  ASSERT_EQ(::chmod(f.c_str(), 0444), 0);
  // Root may write any file, so for root a read-only file is not protected.
  EXPECT_EQ(IsFileProtected(f), !RunningAsRoot());
  EXPECT_TRUE(IsFileProtected(std::string(5000, 'n')));  // cannot even be looked at
}

TEST(ProfileFileOps, BaseNameOf) {
  EXPECT_EQ(BaseNameOf("Setups\\Run 1.old.QM48"), "Run 1");
  EXPECT_EQ(BaseNameOf("/home/op/setups/Flight.QM48"), "Flight");
  EXPECT_EQ(BaseNameOf("  Padded.QM48  "), "Padded");
  EXPECT_EQ(BaseNameOf("NoExtension"), "NoExtension");
  EXPECT_EQ(BaseNameOf("dir/"), "");
  EXPECT_EQ(BaseNameOf(""), "");
  // Paths of 260 characters or more are cut to 259 first: here the extension goes.
  std::string name(262, 'a');
  EXPECT_EQ(BaseNameOf("x/" + name + ".QM48"), std::string(257, 'a'));
}

TEST(ProfileFileOps, ChoosersAskTheOperatorWithTheFixedRequest) {
  ScriptedOperator op;
  ScopedOperator installed(op);
  op.QueueChosenFile("/chosen/New.QM48");
  op.QueueChooserCancel();

  std::string path = "unchanged";
  EXPECT_TRUE(ChooseOpenFile("/start", ".QM48", "C:\\Setups\\Run 2.v1.QM48", path));
  EXPECT_EQ(path, "/chosen/New.QM48");
  path = "unchanged";
  EXPECT_FALSE(ChooseSaveFile("/other", "QM48", "", path));
  EXPECT_EQ(path, "unchanged");
  EXPECT_FALSE(ChooseSaveFile("/other", "*.Cfg.old", "x", path));  // queue empty: cancel
  EXPECT_EQ(path, "unchanged");

  auto requests = op.FileChoosers();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].kind, FileChooserKind::Open);
  EXPECT_EQ(requests[0].title, "Open File");
  EXPECT_EQ(requests[0].initialDirectory, "/start");
  EXPECT_EQ(requests[0].defaultExtension, "QM48");
  EXPECT_EQ(requests[0].filter, "File Type (*.QM48)|*.QM48");
  EXPECT_EQ(requests[0].suggestedName, "Run 2");
  EXPECT_EQ(requests[1].kind, FileChooserKind::Save);
  EXPECT_EQ(requests[1].title, "Save File");
  EXPECT_EQ(requests[1].defaultExtension, "QM48");
  EXPECT_EQ(requests[1].suggestedName, "");
  EXPECT_EQ(requests[2].defaultExtension, "Cfg.old");
  EXPECT_EQ(requests[2].filter, "File Type (*.Cfg.old)|*.Cfg.old");
}
