#include "app/StatusCaption.h"

#include <gtest/gtest.h>

TEST(StatusCaption, FreshProgramShowsFourSpacesBetweenVersionAndState) {
  EXPECT_EQ(StatusCaption(false, "", true), "QM-48  Ver 1.41    Connected");
  EXPECT_EQ(StatusCaption(false, "", false), "QM-48  Ver 1.41    Disconnected");
}

TEST(StatusCaption, EditedSetupStartsWithAStarAndTheTitleIsUpperCase) {
  EXPECT_EQ(StatusCaption(true, "/home/op/setups/Flight.Test.qm48", true),
            "*QM-48  Ver 1.41  FLIGHT  Connected");
  EXPECT_EQ(StatusCaption(false, "/home/op/setups/Flight.Test.qm48", false),
            "QM-48  Ver 1.41  FLIGHT  Disconnected");
}

TEST(StatusCaption, FileTitleDropsTheFolderAndEverythingFromTheFirstDot) {
  EXPECT_EQ(FileTitle(""), "");
  EXPECT_EQ(FileTitle("ONE.QM48"), "ONE");
  EXPECT_EQ(FileTitle("/a.b/c/two"), "two");
  EXPECT_EQ(FileTitle("C:\\SETUPS\\OLD.QM48"), "OLD");
  EXPECT_EQ(FileTitle("/dir/.hidden"), "");
  EXPECT_EQ(FileTitle("/dir/"), "");
}
