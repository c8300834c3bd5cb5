// FindFirst / FindNext: the dot entries first, masks without regard to case,
// folders only when asked for, links never reported as folders.

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/vcl/FindFile.h"
#include "tests/platform/files/TempFolder.h"

using filestest::TempFolder;

namespace {

std::vector<std::string> Walk(const std::string& path, int attr, std::vector<int>* attrs = nullptr) {
  std::vector<std::string> names;
  TSearchRec rec;
  if (FindFirst(path, attr, rec) == 0) {
    do {
      names.push_back(rec.Name);
      if (attrs != nullptr) attrs->push_back(rec.Attr);
    } while (FindNext(rec) == 0);
  }
  FindClose(rec);
  return names;
}

}  // namespace

TEST(FindFile, WalksAFolderAsWindowsDoes) {
  TempFolder dir;
  dir.Write("b.txt", "12345");
  dir.Write("A.TXT", "x");
  dir.Write("sub/inner.txt", "");
  dir.Write(".hidden", "");
  std::vector<int> attrs;
  EXPECT_EQ(Walk(dir.System("*.*"), faAnyFile, &attrs),
            (std::vector<std::string>{".", "..", ".hidden", "A.TXT", "b.txt", "sub"}));
  EXPECT_EQ(attrs[0] & faDirectory, faDirectory);
  EXPECT_EQ(attrs[5] & faDirectory, faDirectory);
  EXPECT_EQ(attrs[4] & faDirectory, 0);
  // Without faDirectory folders stay out.
  EXPECT_EQ(Walk(dir.System("*"), faArchive), (std::vector<std::string>{".hidden", "A.TXT", "b.txt"}));
  EXPECT_EQ(Walk(dir.System("*.TXT"), faAnyFile), (std::vector<std::string>{"A.TXT", "b.txt"}));
  EXPECT_EQ(Walk(dir.System("?.txt"), faAnyFile), (std::vector<std::string>{"A.TXT", "b.txt"}));
  EXPECT_EQ(Walk(dir.System("SUB\\*.*"), faAnyFile), (std::vector<std::string>{".", "..", "inner.txt"}));
}

TEST(FindFile, ReportsSizeAndTimeAndItsErrors) {
  TempFolder dir;
  dir.Write("b.txt", "12345");
  TSearchRec rec;
  ASSERT_EQ(FindFirst(dir.System("B.TXT"), faAnyFile, rec), 0);
  EXPECT_EQ(rec.Name, "b.txt");
  EXPECT_EQ(rec.Size, 5);
  EXPECT_GT(rec.Time, 0);
  EXPECT_EQ(FindNext(rec), 18);
  FindClose(rec);
  EXPECT_EQ(FindFirst(dir.System("*.none"), faAnyFile, rec), 2);
  EXPECT_EQ(FindFirst(dir.System("missing\\*.*"), faAnyFile, rec), 3);
}

TEST(FindFile, LinkToAFolderIsNoFolder) {
  TempFolder outside, dir;
  outside.Write("precious.txt", "keep");
  ASSERT_EQ(::symlink(outside.Path().c_str(), dir.Native("link").c_str()), 0);
  std::vector<int> attrs;
  EXPECT_EQ(Walk(dir.System("link"), faAnyFile, &attrs), (std::vector<std::string>{"link"}));
  EXPECT_EQ(attrs[0] & faDirectory, 0);
}
