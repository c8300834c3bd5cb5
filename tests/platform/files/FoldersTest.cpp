// ForceDirectories, DirectoryExists and the wildcard match of names.

#include <gtest/gtest.h>

#include "platform/win/Folders.h"
#include "tests/platform/files/TempFolder.h"

using filestest::TempFolder;

TEST(Folders, ForceDirectoriesCreatesEveryMissingParent) {
  TempFolder dir;
  dir.Write("Existing/keep.txt", "");
  EXPECT_TRUE(ForceDirectories(dir.System("EXISTING\\SendRoot\\WWW\\JS\\")));
  EXPECT_TRUE(dir.Exists("Existing/SendRoot/WWW/JS"));
  EXPECT_TRUE(DirectoryExists(dir.System("existing\\sendroot\\www")));
  EXPECT_TRUE(ForceDirectories(dir.System("Existing")));  // already there
  EXPECT_FALSE(ForceDirectories(dir.System("Existing\\keep.txt\\below")));
  EXPECT_FALSE(ForceDirectories(""));
  EXPECT_FALSE(DirectoryExists(dir.System("Existing\\keep.txt")));
}

TEST(Folders, WildcardMatch) {
  EXPECT_TRUE(WildcardMatch("*.*", "noextension"));
  EXPECT_TRUE(WildcardMatch("*", ".hidden"));
  EXPECT_TRUE(WildcardMatch("*.PNG", "left.png"));
  EXPECT_FALSE(WildcardMatch("*.PNG", "left.png.bak"));
  EXPECT_TRUE(WildcardMatch("a?c*", "ABCdef"));
  EXPECT_FALSE(WildcardMatch("a?c", "ac"));
  EXPECT_TRUE(WildcardMatch("*a*b*", "xxaxxbxx"));
  EXPECT_FALSE(WildcardMatch("*a*b", "xxaxxbxx"));
  EXPECT_TRUE(WildcardMatch("exact.txt", "EXACT.TXT"));
  EXPECT_TRUE(HasWildcards("img*.bmp"));
  EXPECT_FALSE(HasWildcards("img.bmp"));
}
