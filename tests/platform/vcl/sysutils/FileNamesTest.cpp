#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "platform/vcl/SysUtils.h"

namespace {

TEST(FileNamesTest, PartsOfBackslashPaths) {
  const std::string p = "C:\\Proj\\Tarnwell\\pages\\p1.xml";
  EXPECT_EQ(ExtractFilePath(p), "C:\\Proj\\Tarnwell\\pages\\");
  EXPECT_EQ(ExtractFileName(p), "p1.xml");
  EXPECT_EQ(ExtractFileExt(p), ".xml");
  EXPECT_EQ(ChangeFileExt(p, ".bak"), "C:\\Proj\\Tarnwell\\pages\\p1.bak");
  EXPECT_EQ(ChangeFileExt(p, ""), "C:\\Proj\\Tarnwell\\pages\\p1");
  // Both separators count, and the drive's colon.
  const std::string mixed = "/home/u/Proj\\Tarnwell/img.v2\\logo";
  EXPECT_EQ(ExtractFilePath(mixed), "/home/u/Proj\\Tarnwell/img.v2\\");
  EXPECT_EQ(ExtractFileName(mixed), "logo");
  EXPECT_EQ(ExtractFileExt(mixed), "");  // the dot belongs to a folder
  EXPECT_EQ(ChangeFileExt(mixed, ".png"), "/home/u/Proj\\Tarnwell/img.v2\\logo.png");
  EXPECT_EQ(ExtractFilePath("C:x.txt"), "C:");
  EXPECT_EQ(ExtractFileName("C:x.txt"), "x.txt");
  EXPECT_EQ(ExtractFilePath("name.txt"), "");
  EXPECT_EQ(ExtractFileName("name.txt"), "name.txt");
  EXPECT_EQ(ExtractFileExt("archive.tar.gz"), ".gz");
  EXPECT_EQ(ExtractFileExt("dot."), ".");
  EXPECT_EQ(ExtractFileName("folder\\"), "");
  EXPECT_EQ(ChangeFileExt("a.b\\c", ".d"), "a.b\\c.d");
}

TEST(FileNamesTest, TrailingBackslashes) {
  EXPECT_EQ(IncludeTrailingBackslash("C:\\Proj"), "C:\\Proj\\");
  EXPECT_EQ(IncludeTrailingBackslash("C:\\Proj\\"), "C:\\Proj\\");
  EXPECT_EQ(IncludeTrailingBackslash("/home/u/"), "/home/u/");
  EXPECT_EQ(IncludeTrailingBackslash(""), "\\");
  EXPECT_EQ(ExcludeTrailingBackslash("C:\\Proj\\"), "C:\\Proj");
  EXPECT_EQ(ExcludeTrailingBackslash("/home/u/"), "/home/u");
  EXPECT_EQ(ExcludeTrailingBackslash("C:\\Proj"), "C:\\Proj");
  EXPECT_EQ(ExcludeTrailingBackslash(""), "");
}

TEST(FileNamesTest, RelativePaths) {
  // Siblings, parents, children, the same folder.
  EXPECT_EQ(ExtractRelativePath("C:\\a\\b\\x.txt", "C:\\a\\c\\y.txt"), "..\\c\\y.txt");
  EXPECT_EQ(ExtractRelativePath("C:\\a\\b\\", "C:\\a\\c\\y.txt"), "..\\c\\y.txt");
  EXPECT_EQ(ExtractRelativePath("C:\\a\\x", "C:\\a\\b\\c\\y"), "b\\c\\y");
  EXPECT_EQ(ExtractRelativePath("C:\\a\\x", "C:\\a\\y"), "y");
  EXPECT_EQ(ExtractRelativePath("C:\\a\\b\\c\\x", "C:\\a\\y"), "..\\..\\y");
  EXPECT_EQ(ExtractRelativePath("C:\\a\\b\\c\\x", "C:\\d\\e\\y"), "..\\..\\..\\d\\e\\y");
  // Folder names compare without regard to case; separators may be mixed.
  EXPECT_EQ(ExtractRelativePath("C:\\PROJ\\Tarnwell\\", "c:\\proj\\tarnwell\\Images\\a.png"), "Images\\a.png");
  EXPECT_EQ(ExtractRelativePath("/home/u/Proj\\Tarnwell\\", "/home/u/Proj/Tarnwell/WWW/index.htm"), "WWW\\index.htm");
  // Another drive: the destination as it is.
  EXPECT_EQ(ExtractRelativePath("C:\\a\\x", "D:\\a\\y"), "D:\\a\\y");
  EXPECT_EQ(ExtractRelativePath("C:\\a\\x", "\\a\\y"), "\\a\\y");
  // No folder on either side.
  EXPECT_EQ(ExtractRelativePath("x", "y"), "y");
  EXPECT_EQ(ExtractRelativePath("x", "a\\y"), "a\\y");
  EXPECT_EQ(ExtractRelativePath("a\\x", "y"), "..\\y");
  EXPECT_EQ(ExtractRelativePath("\\\\srv\\share\\a\\x", "\\\\SRV\\share\\b\\y"), "..\\b\\y");
}

// A fresh folder for the file tests, removed afterwards.
class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = std::filesystem::temp_directory_path() / ("sysutils_" + std::to_string(::getpid()) + "_" +
                                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    std::ofstream(root / "Data.TXT") << "x";
  }
  void TearDown() override { std::filesystem::remove_all(root); }
  std::string Sys(const std::string& relative) const { return root.string() + "\\" + relative; }
  std::filesystem::path root;
};

TEST_F(FilesTest, ExistenceWithoutRegardToCase) {
  EXPECT_TRUE(FileExists(Sys("data.txt")));
  EXPECT_TRUE(FileExists(Sys("DATA.txt")));
  EXPECT_FALSE(FileExists(Sys("other.txt")));
  EXPECT_FALSE(FileExists(root.string()));  // a folder is no file
  EXPECT_FALSE(FileExists(""));
  EXPECT_TRUE(DirectoryExists(root.string()));
  EXPECT_FALSE(DirectoryExists(Sys("data.txt")));
}

TEST_F(FilesTest, FoldersAreCreatedAndRemovedOneByOne) {
  EXPECT_TRUE(CreateDir(Sys("Images")));
  EXPECT_FALSE(CreateDir(Sys("images")));         // exists already
  EXPECT_FALSE(CreateDir(Sys("a\\b")));           // parent missing
  EXPECT_TRUE(ForceDirectories(Sys("a\\b\\c")));  // all at once
  EXPECT_TRUE(DirectoryExists(Sys("A\\B\\C")));
  std::ofstream(root / "Images" / "logo.png") << "p";
  EXPECT_FALSE(RemoveDir(Sys("images")));  // not empty
  EXPECT_TRUE(DeleteFile(Sys("IMAGES\\LOGO.PNG")));
  EXPECT_FALSE(DeleteFile(Sys("images\\logo.png")));  // gone
  EXPECT_TRUE(RemoveDir(Sys("images")));
  EXPECT_FALSE(DirectoryExists(Sys("Images")));
  EXPECT_FALSE(DeleteFile(std::string()));
  EXPECT_FALSE(DeleteFile(Sys("a")));  // a folder is not deleted as a file
}

TEST_F(FilesTest, RenameRefusesToReplace) {
  std::ofstream(root / "other.txt") << "o";
  EXPECT_FALSE(RenameFile(Sys("data.txt"), Sys("OTHER.TXT")));
  EXPECT_TRUE(FileExists(Sys("data.txt")));
  EXPECT_TRUE(RenameFile(Sys("data.txt"), Sys("moved.txt")));
  EXPECT_FALSE(FileExists(Sys("data.txt")));
  EXPECT_TRUE(FileExists(Sys("moved.txt")));
  EXPECT_FALSE(RenameFile(Sys("missing.txt"), Sys("x.txt")));
  ASSERT_TRUE(CreateDir(Sys("sub")));
  EXPECT_TRUE(RenameFile(Sys("moved.txt"), Sys("SUB\\in.txt")));
  EXPECT_TRUE(std::filesystem::exists(root / "sub" / "in.txt"));
}

}  // namespace
