// Files and folders: CopyFileKeepTime's results, its overwrite through a
// temporary file and its message; FAT rounding of file times; folder
// deletion; the shell's delete; PLC dates; file CRCs.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <random>
#include <regex>
#include <vector>

#include "base/Crc.h"
#include "core/FileHelpers.h"
#include "core/HostEnvironment.h"
#include "core/UiText.h"
#include "platform/win/FileFault.h"
#include "platform/win/RecycleBin.h"
#include "platform/win/Resources.h"
#include "platform/win/SystemError.h"
#include "platform/win/WriteFault.h"
#include "tests/core/services/ServicesTestSupport.h"

using servicestest::TempFolder;

namespace {

struct Message {
  std::string text, source;
};

class FileHelpersTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadDefaultUiTable(HInstance));
    SetHostMessageHook([this](const std::string& text, const std::string& source) {
      messages.push_back({text, source});
    });
  }
  void TearDown() override {
    SetHostMessageHook(nullptr);
    FreeUiTable();
  }
  void SetTimes(const std::string& relative, time_t seconds, long nanoseconds) {
    timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, dir.Native(relative).c_str(), times, 0), 0);
  }
  timespec MTime(const std::string& relative) {
    struct stat st {};
    ::stat(dir.Native(relative).c_str(), &st);
    return st.st_mtim;
  }
  std::size_t EntriesIn(const std::string& relative) {
    std::size_t n = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path() / relative)) {
      (void)e;
      ++n;
    }
    return n;
  }
  TempFolder dir;
  std::vector<Message> messages;
};

}  // namespace

TEST_F(FileHelpersTest, CopyKeepsTheSourcesTimesOnTheFatGrid) {
  dir.Write("src/a.png", "picture bytes");
  SetTimes("src/a.png", 1700000001, 500000000);  // an odd second with a fraction
  EXPECT_EQ(CopyFileKeepTime(dir.System("src\\a.png"), dir.System("a.png"), false), 1);
  EXPECT_EQ(dir.Read("a.png"), "picture bytes");
  // The source's own times were rounded, and the copy has them.
  EXPECT_EQ(MTime("src/a.png").tv_sec, 1700000000);
  EXPECT_EQ(MTime("src/a.png").tv_nsec, 500000000);
  EXPECT_EQ(MTime("a.png").tv_sec, 1700000000);
  EXPECT_EQ(MTime("a.png").tv_nsec, 500000000);
  EXPECT_TRUE(messages.empty());
}

TEST_F(FileHelpersTest, CopyResultsTwoAndThree) {
  dir.Write("a.txt", "new");
  dir.Write("b.txt", "old");
  EXPECT_EQ(CopyFileKeepTime("", dir.System("b.txt"), true), 3);
  EXPECT_EQ(CopyFileKeepTime(dir.System("a.txt"), dir.System("b.txt"), false), 2);
  EXPECT_EQ(CopyFileKeepTime(dir.System("a.txt"), dir.System("B.TXT"), false), 2);
  EXPECT_EQ(dir.Read("b.txt"), "old");
  EXPECT_TRUE(messages.empty());
}

TEST_F(FileHelpersTest, CopyAlwaysReplacesAnExistingDestination) {
  dir.Write("w/a.txt", "new content");
  dir.Write("w/b.txt", "old");
  SetTimes("w/a.txt", 1600000000, 0);
  EXPECT_EQ(CopyFileKeepTime(dir.System("w\\a.txt"), dir.System("w\\B.TXT"), true), 1);
  // The copy takes the destination's spelling.
  EXPECT_EQ(dir.Read("w/B.TXT"), "new content");
  EXPECT_EQ(MTime("w/B.TXT").tv_sec, 1600000000);
  EXPECT_EQ(EntriesIn("w"), 2u);  // no temporary file left behind
  EXPECT_TRUE(CopyFileKeepTime(dir.System("w\\a.txt"), dir.System("w\\c.txt")));
  EXPECT_EQ(dir.Read("w/c.txt"), "new content");
  EXPECT_TRUE(messages.empty());
}

TEST_F(FileHelpersTest, AFailedCopyLeavesTheOldDestinationWholeAndSaysSo) {
  dir.Write("w/keep/inside.txt", "folder content");
  dir.Write("w/a.txt", "new");
  // The destination is a folder: the finished copy cannot take its place.
  EXPECT_EQ(CopyFileKeepTime(dir.System("w\\a.txt"), dir.System("w\\keep"), true), 0);
  EXPECT_EQ(dir.Read("w/keep/inside.txt"), "folder content");
  EXPECT_EQ(EntriesIn("w"), 2u);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].source, dir.System("w\\a.txt"));
  std::string prefix = GetUiText(7077);
  ASSERT_FALSE(prefix.empty());
  EXPECT_EQ(messages[0].text.substr(0, prefix.size()), prefix);
  EXPECT_EQ(messages[0].text[prefix.size()], '(');
  EXPECT_EQ(messages[0].text.back(), ')');
  EXPECT_EQ(messages[0].text.find('\n'), std::string::npos);

  // A missing source, and a destination folder that does not exist.
  dir.Write("w/b.txt", "old");
  EXPECT_EQ(CopyFileKeepTime(dir.System("w\\missing.txt"), dir.System("w\\b.txt"), true), 0);
  EXPECT_EQ(dir.Read("w/b.txt"), "old");
  EXPECT_EQ(CopyFileKeepTime(dir.System("w\\a.txt"), dir.System("nowhere\\b.txt"), false), 0);
  EXPECT_EQ(messages.size(), 3u);
  std::string notFound = SystemMessageText(ERROR_FILE_NOT_FOUND);
  notFound.erase(notFound.find_last_not_of("\r\n") + 1);
  EXPECT_EQ(messages[1].text, prefix + "(" + notFound + ")");
}

// A write that stops half-way (a full disk) must not touch the old file: the
// copy goes to a temporary file that only a finished write puts in its place.
TEST_F(FileHelpersTest, ACopyThatStopsHalfWayLeavesTheOldDestinationWhole) {
  const std::string fresh(100000, 'n');
  dir.Write("w/a.txt", fresh);
  dir.Write("w/b.txt", "old content");
  {
    FileWriteBudgetScope diskFull(static_cast<std::int64_t>(fresh.size() / 2));
    EXPECT_EQ(CopyFileKeepTime(dir.System("w\\a.txt"), dir.System("w\\b.txt"), true), 0);
  }
  EXPECT_EQ(dir.Read("w/b.txt"), "old content");
  EXPECT_EQ(EntriesIn("w"), 2u);  // no temporary file left behind
  ASSERT_EQ(messages.size(), 1u);
  std::string diskFullText = SystemMessageText(ERROR_DISK_FULL);
  diskFullText.erase(diskFullText.find_last_not_of("\r\n") + 1);
  // The source was read: the reason names the folder that did not take the copy.
  EXPECT_EQ(messages[0].text, GetUiText(7077) + "(" + diskFullText + ": the folder \"" + dir.Path().string() +
                                  "/w\" did not take the copy)");
  // With room on the disk the same copy goes through.
  EXPECT_EQ(CopyFileKeepTime(dir.System("w\\a.txt"), dir.System("w\\b.txt"), true), 1);
  EXPECT_EQ(dir.Read("w/b.txt"), fresh);
}

// Each file operation of a copy failing in turn: the destination holds its old
// content or the new one, no temporary file stays, and a failed copy says so.
TEST_F(FileHelpersTest, ACopyFailingAtAnyOfItsOperationsLeavesTheDestinationOldOrNew) {
  dir.Write("w/a.txt", "new content");
  std::vector<TFileOpRecord> ops;
  {
    const FileOpFaultScope record(&ops);
    ASSERT_TRUE(CopyFileKeepTime(dir.System("w\\a.txt"), dir.System("w\\b.txt")));
  }
  // The source opened to round its times, the temporary file, its write, the rename.
  ASSERT_EQ(ops.size(), 4u);
  EXPECT_TRUE(std::regex_match(ops[1].path,
                               std::regex(".*/b\\.txt\\.~tarnwell~" + std::to_string(getpid()) + "_[A-Za-z0-9]{6}")))
      << ops[1].path;
  for (std::uint64_t op = 1; op <= ops.size(); ++op) {
    SCOPED_TRACE(DescribeFileOp(ops[op - 1]));
    dir.Write("w/b.txt", "old content");
    {
      const FileOpFaultScope fault(TFileOpFault::kFail, op);
      CopyFileKeepTime(dir.System("w\\a.txt"), dir.System("w\\b.txt"));
    }
    const std::string b = dir.Read("w/b.txt");
    EXPECT_TRUE(b == "old content" || b == "new content") << b;
    EXPECT_EQ(EntriesIn("w"), 2u);
  }
  // A source whose times cannot be rounded is copied with its own.
  EXPECT_EQ(messages.size(), 3u);
}

TEST_F(FileHelpersTest, RoundFileTimesToFat) {
  dir.Write("t.bin", "x");
  SetTimes("t.bin", 1700000003, 999999900);
  FILETIME creation, access, write;
  ASSERT_TRUE(RoundFileTimesToFat(dir.System("t.bin"), &creation, &access, &write));
  std::uint64_t expected = (1700000002ull + 11644473600ull) * 10000000ull + 9999999ull;
  EXPECT_EQ(FileTimeToUInt64(write), expected);
  EXPECT_EQ(FileTimeToUInt64(creation), expected);  // the creation time reads as the last write
  EXPECT_EQ(MTime("t.bin").tv_sec, 1700000002);
  // Even seconds stay as they are.
  ASSERT_TRUE(RoundFileTimesToFat(dir.System("t.bin"), nullptr, nullptr, &write));
  EXPECT_EQ(FileTimeToUInt64(write), expected);
  EXPECT_FALSE(RoundFileTimesToFat(dir.System("missing.bin"), &creation, &access, &write));
}

TEST_F(FileHelpersTest, DeleteDirTreeEmptiesTheFolderButKeepsDotEntries) {
  TempFolder outside;
  outside.Write("precious.txt", "keep");
  dir.Write("tree/a.txt", "");
  dir.Write("tree/.keep", "");
  dir.Write("tree/sub/b.txt", "");
  dir.Write("tree/sub/deeper/c.txt", "");
  dir.Write("tree/dotted/.git/config", "");
  ASSERT_EQ(::symlink(outside.Path().c_str(), dir.Native("tree/link").c_str()), 0);
  DeleteDirTree(dir.System("TREE\\"));
  EXPECT_TRUE(dir.IsFolder("tree"));
  EXPECT_TRUE(dir.Exists("tree/.keep"));
  EXPECT_FALSE(dir.Exists("tree/a.txt"));
  EXPECT_FALSE(dir.Exists("tree/sub"));
  EXPECT_FALSE(dir.Exists("tree/link"));
  EXPECT_TRUE(dir.Exists("tree/dotted/.git/config"));  // its folder cannot go: it is not empty
  EXPECT_EQ(outside.Read("precious.txt"), "keep");
  DeleteDirTree(dir.System("missing"));  // silent
}

TEST_F(FileHelpersTest, DeletePathToRecycle) {
  TempFolder bin;
  SetRecycleBinPath(bin.Native("Trash"));
  dir.Write("temp/a.png", "a");
  dir.Write("x.txt", "x");
  dir.Write("y.txt", "y");
  EXPECT_TRUE(DeletePathToRecycle(dir.System("temp"), false));
  EXPECT_FALSE(dir.Exists("temp"));
  EXPECT_EQ(bin.Read("Trash/temp/a.png"), "a");
  EXPECT_TRUE(DeletePathToRecycle(dir.System("x.txt") + '\0' + dir.System("y.txt") + '\0', true));
  EXPECT_FALSE(dir.Exists("x.txt"));
  EXPECT_FALSE(dir.Exists("y.txt"));
  EXPECT_FALSE(bin.Exists("Trash/x.txt"));
  EXPECT_FALSE(DeletePathToRecycle("", true));
  EXPECT_FALSE(DeletePathToRecycle(dir.System("gone"), true));
  SetRecycleBinPath("");
}

TEST(FileHelpers, PathExists) {
  TempFolder dir;
  dir.Write("Sub/f.txt", "");
  EXPECT_TRUE(PathExists(dir.System("sub")));
  EXPECT_TRUE(PathExists(dir.System("SUB\\F.TXT")));
  EXPECT_FALSE(PathExists(dir.System("sub\\g.txt")));
  EXPECT_FALSE(PathExists(""));
}

TEST(FileHelpers, PlcDateToFileTime) {
  const unsigned char date[6] = {124, 2, 29, 13, 45, 59};
  tm parts{};
  parts.tm_year = 124;
  parts.tm_mon = 1;
  parts.tm_mday = 29;
  parts.tm_hour = 13;
  parts.tm_min = 45;
  parts.tm_sec = 59;
  std::uint64_t expected = (static_cast<std::uint64_t>(::timegm(&parts)) + 11644473600ull) * 10000000ull;
  EXPECT_EQ(FileTimeToUInt64(PlcDateToFileTime(date)), expected);
  const unsigned char noDay[6] = {123, 2, 29, 0, 0, 0};  // 2023 was no leap year
  EXPECT_EQ(FileTimeToUInt64(PlcDateToFileTime(noDay)), 0u);
}

TEST(FileHelpers, FileCrc32) {
  TempFolder dir;
  dir.Write("check.txt", "123456789");
  EXPECT_EQ(FileCrc32(dir.System("CHECK.TXT")), 0xCBF43926u);
  std::string big(300000, '\0');
  std::mt19937 random(7);
  for (char& c : big) c = static_cast<char>(random());
  dir.Write("big.bin", big);
  EXPECT_EQ(FileCrc32(dir.System("big.bin")), Crc32::Of(big.data(), static_cast<std::uint32_t>(big.size())));
  dir.Write("empty", "");
  EXPECT_EQ(FileCrc32(dir.System("empty")), 0u);
  EXPECT_EQ(FileCrc32(dir.System("missing")), 0u);
}
