// MoveFile: a rename that refuses an existing target (in any letter case),
// moves folders, and changes the case of a name.

#include <gtest/gtest.h>

#include "platform/win/MoveFile.h"
#include "platform/win/SystemError.h"
#include "tests/platform/files/TempFolder.h"

using filestest::TempFolder;

TEST(MoveFile, RenamesAndRefusesAnExistingTarget) {
  TempFolder dir;
  dir.Write("a.txt", "A");
  dir.Write("b.txt", "B");
  EXPECT_FALSE(MoveFile(dir.System("a.txt").c_str(), dir.System("b.txt").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(MoveFile(dir.System("a.txt").c_str(), dir.System("B.TXT").c_str()));
  EXPECT_EQ(dir.Read("b.txt"), "B");
  EXPECT_EQ(dir.Read("a.txt"), "A");

  EXPECT_TRUE(MoveFile(dir.System("A.TXT").c_str(), dir.System("c.txt").c_str()));
  EXPECT_FALSE(dir.Exists("a.txt"));
  EXPECT_EQ(dir.Read("c.txt"), "A");
}

TEST(MoveFile, ChangesLetterCaseOfItsOwnName) {
  TempFolder dir;
  dir.Write("image.png", "I");
  EXPECT_TRUE(MoveFile(dir.System("image.png").c_str(), dir.System("IMAGE.PNG").c_str()));
  EXPECT_TRUE(dir.Exists("IMAGE.PNG"));
  EXPECT_FALSE(dir.Exists("image.png"));
}

TEST(MoveFile, MovesFoldersAndReportsMissingEntries) {
  TempFolder dir;
  dir.Write("pages/p1.xml", "x");
  EXPECT_TRUE(MoveFile(dir.System("pages").c_str(), dir.System("pages.bak").c_str()));
  EXPECT_EQ(dir.Read("pages.bak/p1.xml"), "x");
  EXPECT_FALSE(MoveFile(dir.System("pages").c_str(), dir.System("other").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(MoveFile(dir.System("pages.bak").c_str(), dir.System("no\\such\\place").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}
