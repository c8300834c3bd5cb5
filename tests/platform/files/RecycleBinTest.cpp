// The shell's delete: into this layer's recycle bin, or for good; wildcards;
// links removed and never followed.

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/win/RecycleBin.h"
#include "tests/platform/files/TempFolder.h"

using filestest::TempFolder;

namespace {

class RecycleBinTest : public testing::Test {
 protected:
  void SetUp() override { SetRecycleBinPath(bin.Native("Trash")); }
  void TearDown() override { SetRecycleBinPath(""); }
  // A NUL-separated list with its second NUL.
  static std::string List(std::initializer_list<std::string> paths) {
    std::string list;
    for (const std::string& p : paths) list += p + '\0';
    return list + '\0';
  }
  TempFolder dir, bin;
};

}  // namespace

TEST_F(RecycleBinTest, RecyclesIntoTheBinUnderFreeNames) {
  dir.Write("temp/a.png", "1");
  dir.Write("other/temp/a.png", "2");
  dir.Write("x.txt", "3");
  EXPECT_TRUE(ShellDeletePaths(List({dir.System("TEMP")}).c_str(), false));
  EXPECT_FALSE(dir.Exists("temp"));
  EXPECT_EQ(bin.Read("Trash/temp/a.png"), "1");
  EXPECT_TRUE(ShellDeletePaths(List({dir.System("other\\temp"), dir.System("x.txt")}).c_str(), false));
  EXPECT_EQ(bin.Read("Trash/temp (2)/a.png"), "2");
  EXPECT_EQ(bin.Read("Trash/x.txt"), "3");
  dir.Write("x.txt", "4");
  EXPECT_TRUE(ShellDeletePaths(List({dir.System("x.txt")}).c_str(), false));
  EXPECT_EQ(bin.Read("Trash/x (2).txt"), "4");
}

TEST_F(RecycleBinTest, PermanentDeletesTreesAndWildcardsPickEntries) {
  dir.Write("Images/Trash/a.bmp", "");
  dir.Write("Images/Trash/b.BMP", "");
  dir.Write("Images/Trash/c.png", "");
  EXPECT_TRUE(ShellDeletePaths(List({dir.System("images\\trash\\*.bmp")}).c_str(), true));
  EXPECT_FALSE(dir.Exists("Images/Trash/a.bmp"));
  EXPECT_FALSE(dir.Exists("Images/Trash/b.BMP"));
  EXPECT_TRUE(dir.Exists("Images/Trash/c.png"));
  EXPECT_TRUE(ShellDeletePaths(List({dir.System("Images")}).c_str(), true));
  EXPECT_FALSE(dir.Exists("Images"));
  EXPECT_FALSE(bin.Exists("Trash/Images"));
}

TEST_F(RecycleBinTest, NothingToDeleteIsAFailure) {
  EXPECT_FALSE(ShellDeletePaths(List({dir.System("missing")}).c_str(), true));
  EXPECT_FALSE(ShellDeletePaths(List({dir.System("*.none")}).c_str(), false));
  EXPECT_FALSE(ShellDeletePaths("", true));
  EXPECT_FALSE(ShellDeletePaths(nullptr, true));
}

TEST_F(RecycleBinTest, LinksAreRemovedNotFollowed) {
  TempFolder outside;
  outside.Write("precious.txt", "keep");
  dir.Write("tree/file.txt", "");
  ASSERT_EQ(::symlink(outside.Path().c_str(), dir.Native("tree/link").c_str()), 0);
  EXPECT_TRUE(ShellDeletePaths(List({dir.System("tree")}).c_str(), true));
  EXPECT_FALSE(dir.Exists("tree"));
  EXPECT_EQ(outside.Read("precious.txt"), "keep");
}
