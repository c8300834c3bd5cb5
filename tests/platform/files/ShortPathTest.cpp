// GetShortPathName: the 8.3 aliases Windows would give, numbered within a
// folder, and the buffer protocol of the call.

#include <gtest/gtest.h>

#include "platform/win/ShortPath.h"
#include "platform/win/SystemError.h"
#include "tests/platform/files/TempFolder.h"

using filestest::TempFolder;

namespace {

std::string Short(const std::string& path) {
  char buf[4096];
  DWORD n = GetShortPathName(path.c_str(), buf, sizeof buf);
  return n == 0 || n >= sizeof buf ? std::string("<error>") : std::string(buf, n);
}

std::string LastOf(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

}  // namespace

TEST(ShortPath, AliasesOfLongNames) {
  TempFolder dir;
  for (const char* name : {"holiday.jpeg", "My Document.txt", "a.b.c.d", "x+y=z[1].dat", "verylongname", ".bashrc",
                           "naïve.png", "Report 2024.html"})
    dir.Write(name, "");
  EXPECT_EQ(LastOf(Short(dir.System("holiday.jpeg"))), "HOLIDA~1.JPE");
  EXPECT_EQ(LastOf(Short(dir.System("My Document.txt"))), "MYDOCU~1.TXT");
  EXPECT_EQ(LastOf(Short(dir.System("a.b.c.d"))), "ABC~1.D");
  EXPECT_EQ(LastOf(Short(dir.System("x+y=z[1].dat"))), "X_Y_Z_~1.DAT");
  EXPECT_EQ(LastOf(Short(dir.System("verylongname"))), "VERYLO~1");
  EXPECT_EQ(LastOf(Short(dir.System(".bashrc"))), "BASHRC~1");
  EXPECT_EQ(LastOf(Short(dir.System("naïve.png"))), "NA_VE~1.PNG");
  EXPECT_EQ(LastOf(Short(dir.System("Report 2024.html"))), "REPORT~1.HTM");
}

TEST(ShortPath, LegalNamesStayAsTheyAreOnDisk) {
  TempFolder dir;
  dir.Write("data.txt", "");
  dir.Write("README", "");
  dir.Write("Mixed~1.Abc", "");
  EXPECT_EQ(LastOf(Short(dir.System("data.txt"))), "data.txt");
  EXPECT_EQ(LastOf(Short(dir.System("DATA.TXT"))), "data.txt");
  EXPECT_EQ(LastOf(Short(dir.System("readme"))), "README");
  EXPECT_EQ(LastOf(Short(dir.System("Mixed~1.Abc"))), "Mixed~1.Abc");
}

TEST(ShortPath, CollisionsCountUpAndSkipRealNames) {
  TempFolder dir;
  dir.Write("holiday photo.jpeg", "");
  dir.Write("holiday.jpeg", "");
  dir.Write("holidays.jpg.jpeg", "");
  EXPECT_EQ(LastOf(Short(dir.System("holiday photo.jpeg"))), "HOLIDA~1.JPE");
  EXPECT_EQ(LastOf(Short(dir.System("holiday.jpeg"))), "HOLIDA~2.JPE");
  EXPECT_EQ(LastOf(Short(dir.System("holidays.jpg.jpeg"))), "HOLIDA~3.JPE");

  TempFolder other;
  other.Write("HOLIDA~1.JPE", "");  // a real file holds the first alias
  other.Write("holiday.jpeg", "");
  EXPECT_EQ(LastOf(Short(other.System("holiday.jpeg"))), "HOLIDA~2.JPE");
}

TEST(ShortPath, FromTheTenthTheStemGivesWay) {
  TempFolder dir;
  for (int i = 0; i < 10; ++i) dir.Write("longname" + std::to_string(i) + ".text", "");
  EXPECT_EQ(LastOf(Short(dir.System("longname0.text"))), "LONGNA~1.TEX");
  EXPECT_EQ(LastOf(Short(dir.System("longname9.text"))), "LONGN~10.TEX");
}

TEST(ShortPath, EveryComponentAndTheCallsProtocol) {
  TempFolder dir;
  dir.Write("Long Folder Name/inner file.txt", "");
  std::string path = dir.System("long folder name\\INNER FILE.TXT");
  std::string shortPath = Short(path);
  EXPECT_TRUE(shortPath.ends_with("\\LONGFO~1\\INNERF~1.TXT")) << shortPath;
  // Buffer too small: the size needed, buffer untouched.
  char small[8] = "keep";
  DWORD needed = GetShortPathName(path.c_str(), small, sizeof small);
  EXPECT_EQ(needed, shortPath.size() + 1);
  EXPECT_STREQ(small, "keep");
  // In place.
  std::vector<char> inPlace(path.begin(), path.end());
  inPlace.resize(path.size() + 1, '\0');
  EXPECT_EQ(GetShortPathName(inPlace.data(), inPlace.data(), static_cast<DWORD>(inPlace.size())), shortPath.size());
  EXPECT_EQ(std::string(inPlace.data()), shortPath);
  // Missing entries.
  EXPECT_EQ(GetShortPathName(dir.System("nothing.txt").c_str(), small, sizeof small), 0u);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(GetShortPathName(dir.System("nowhere\\x.txt").c_str(), small, sizeof small), 0u);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}
