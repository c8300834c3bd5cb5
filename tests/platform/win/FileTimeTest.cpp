// FILETIME conversions and the times of files, kept to 100 ns.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <filesystem>
#include <fstream>

#include "platform/win/FileTime.h"
#include "platform/win/SystemError.h"
#include "platform/win/Win32File.h"

namespace {

namespace fs = std::filesystem;

// 2024-05-07 09:03:04.056 UTC, a Tuesday.
constexpr std::uint64_t kMay7 = 133595461840560000ull;

class FileTimesOnDisk : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "filetimeXXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string MakeFile(const char* name) {
    std::ofstream(dir_ / name) << "content";
    return (dir_ / name).string();
  }
  fs::path dir_;
};

// Sets TZ for one test (a central European zone written out, so that no zone
// database is needed) and restores it.
class ZoneGuard {
 public:
  explicit ZoneGuard(const char* tz) {
    if (const char* old = ::getenv("TZ")) {
      had_ = true;
      old_ = old;
    }
    ::setenv("TZ", tz, 1);
    ::tzset();
  }
  ~ZoneGuard() {
    if (had_)
      ::setenv("TZ", old_.c_str(), 1);
    else
      ::unsetenv("TZ");
    ::tzset();
  }

 private:
  bool had_ = false;
  std::string old_;
};

TEST(FileTimeConversionTest, UnixTimes) {
  EXPECT_EQ(FileTimeToUInt64(FileTimeFromTimeT(0)), FILETIME_UNIX_EPOCH);
  EXPECT_EQ(FileTimeToUInt64(FileTimeFromTimeT(1715072584)), kMay7 - 560000);
  EXPECT_EQ(FileTimeToUInt64(FileTimeFromTimeT(-1)), FILETIME_UNIX_EPOCH - 10000000);
  EXPECT_EQ(FileTimeToTimeT(UInt64ToFileTime(kMay7)), 1715072584);
  // Before 1970 whole seconds round down.
  EXPECT_EQ(FileTimeToTimeT(UInt64ToFileTime(FILETIME_UNIX_EPOCH - 1)), -1);
  // Before 1601 there is no FILETIME.
  EXPECT_EQ(FileTimeToUInt64(FileTimeFromTimeT(-11644473601LL)), 0u);
  EXPECT_EQ(FileTimeToTimeT(UInt64ToFileTime(0)), -11644473600LL);

  timespec ts{};
  ts.tv_sec = 1715072584;
  ts.tv_nsec = 56000199;  // the last 99 ns are below a FILETIME's step
  const FILETIME ft = FileTimeFromTimespec(ts);
  EXPECT_EQ(FileTimeToUInt64(ft), kMay7 + 1);
  const timespec back = FileTimeToTimespec(ft);
  EXPECT_EQ(back.tv_sec, ts.tv_sec);
  EXPECT_EQ(back.tv_nsec, 56000100);

  const FILETIME split = UInt64ToFileTime(0x0123456789ABCDEFull);
  EXPECT_EQ(split.dwHighDateTime, 0x01234567u);
  EXPECT_EQ(split.dwLowDateTime, 0x89ABCDEFu);
}

TEST(FileTimeConversionTest, Compare) {
  const FILETIME a = UInt64ToFileTime(0x00000001FFFFFFFFull), b = UInt64ToFileTime(0x0000000200000000ull);
  EXPECT_EQ(CompareFileTime(&a, &b), -1);
  EXPECT_EQ(CompareFileTime(&b, &a), 1);
  EXPECT_EQ(CompareFileTime(&a, &a), 0);
}

TEST(FileTimeConversionTest, SystemTime) {
  SYSTEMTIME st;
  const FILETIME ft = UInt64ToFileTime(kMay7 + 9999);  // the 100 ns below a millisecond drop
  ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
  EXPECT_EQ(st.wYear, 2024);
  EXPECT_EQ(st.wMonth, 5);
  EXPECT_EQ(st.wDay, 7);
  EXPECT_EQ(st.wDayOfWeek, 2);
  EXPECT_EQ(st.wHour, 9);
  EXPECT_EQ(st.wMinute, 3);
  EXPECT_EQ(st.wSecond, 4);
  EXPECT_EQ(st.wMilliseconds, 56);

  FILETIME back;
  st.wDayOfWeek = 6;  // not read
  ASSERT_TRUE(SystemTimeToFileTime(&st, &back));
  EXPECT_EQ(FileTimeToUInt64(back), kMay7);

  SYSTEMTIME first = {1601, 1, 0, 1, 0, 0, 0, 0};
  ASSERT_TRUE(SystemTimeToFileTime(&first, &back));
  EXPECT_EQ(FileTimeToUInt64(back), 0u);

  SYSTEMTIME leap = {2024, 2, 0, 29, 23, 59, 59, 999};
  EXPECT_TRUE(SystemTimeToFileTime(&leap, &back));

  // Parts that name no moment, e.g. from a PLC answer.
  const SYSTEMTIME bad[] = {
      {2023, 2, 0, 29, 0, 0, 0, 0}, {2024, 13, 0, 1, 0, 0, 0, 0},   {2024, 4, 0, 31, 0, 0, 0, 0},
      {2024, 1, 0, 0, 0, 0, 0, 0},  {2024, 1, 0, 1, 24, 0, 0, 0},   {2024, 1, 0, 1, 0, 60, 0, 0},
      {2024, 1, 0, 1, 0, 0, 60, 0}, {2024, 1, 0, 1, 0, 0, 0, 1000}, {1600, 12, 0, 31, 0, 0, 0, 0}};
  for (const SYSTEMTIME& s : bad) {
    SetLastError(0);
    EXPECT_FALSE(SystemTimeToFileTime(&s, &back)) << s.wYear << "-" << s.wMonth << "-" << s.wDay;
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
  const FILETIME tooLarge = UInt64ToFileTime(0x8000000000000000ull);
  EXPECT_FALSE(FileTimeToSystemTime(&tooLarge, &st));
}

TEST(FileTimeConversionTest, LocalTimeFollowsTheZoneAtThatMoment) {
  ZoneGuard zone("CET-1CEST,M3.5.0,M10.5.0/3");
  SYSTEMTIME winter = {2024, 1, 0, 15, 12, 0, 0, 0}, summer = {2024, 7, 0, 15, 12, 0, 0, 0};
  FILETIME utc, local, back;
  SYSTEMTIME parts;

  ASSERT_TRUE(SystemTimeToFileTime(&winter, &utc));
  ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
  ASSERT_TRUE(FileTimeToSystemTime(&local, &parts));
  EXPECT_EQ(parts.wHour, 13);
  ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back));
  EXPECT_EQ(FileTimeToUInt64(back), FileTimeToUInt64(utc));

  ASSERT_TRUE(SystemTimeToFileTime(&summer, &utc));
  utc = UInt64ToFileTime(FileTimeToUInt64(utc) + 1234567);  // sub-second parts travel along
  ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
  ASSERT_TRUE(FileTimeToSystemTime(&local, &parts));
  EXPECT_EQ(parts.wHour, 14);
  ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back));
  EXPECT_EQ(FileTimeToUInt64(back), FileTimeToUInt64(utc));
}

TEST(FileTimeConversionTest, CurrentTime) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const std::time_t t = ::time(nullptr);
  EXPECT_LE(std::llabs(static_cast<long long>(FileTimeToTimeT(now) - t)), 5);
  SYSTEMTIME st;
  GetSystemTime(&st);
  EXPECT_GE(st.wYear, 2024);
  EXPECT_LT(st.wMilliseconds, 1000);
}

TEST_F(FileTimesOnDisk, PathTimesRoundTripExactly) {
  const std::string file = MakeFile("Times.dat");
  // Times with every 100 ns digit in use, from 1996 to 2123.
  for (std::uint64_t write :
       {kMay7 + 1234567, kMay7 + 9999999, std::uint64_t{124881876549876543}, std::uint64_t{165000000000000001}}) {
    const FILETIME w = UInt64ToFileTime(write), a = UInt64ToFileTime(write - 86400ull * 10000000 + 77);
    ASSERT_TRUE(SetPathFileTime(file, nullptr, &a, &w));
    FILETIME c2, a2, w2;
    ASSERT_TRUE(GetPathFileTime(file, &c2, &a2, &w2));
    EXPECT_EQ(FileTimeToUInt64(w2), write);
    EXPECT_EQ(FileTimeToUInt64(a2), FileTimeToUInt64(a));
    EXPECT_EQ(FileTimeToUInt64(c2), write) << "creation reads as last write";
  }
}

TEST_F(FileTimesOnDisk, CreationTimeAndEmptyTimesChangeNothing) {
  const std::string file = MakeFile("keep.dat");
  const FILETIME w = UInt64ToFileTime(kMay7 + 42), a = UInt64ToFileTime(kMay7 - 42);
  ASSERT_TRUE(SetPathFileTime(file, nullptr, &a, &w));
  const FILETIME creation = UInt64ToFileTime(kMay7 - 500000000), zero{}, ones = UInt64ToFileTime(~0ull);
  ASSERT_TRUE(SetPathFileTime(file, &creation, nullptr, nullptr));
  ASSERT_TRUE(SetPathFileTime(file, &creation, &zero, &ones));
  FILETIME c2, a2, w2;
  ASSERT_TRUE(GetPathFileTime(file, &c2, &a2, &w2));
  EXPECT_EQ(FileTimeToUInt64(w2), kMay7 + 42);
  EXPECT_EQ(FileTimeToUInt64(a2), kMay7 - 42);
  EXPECT_EQ(FileTimeToUInt64(c2), kMay7 + 42);
}

TEST_F(FileTimesOnDisk, TimesThroughAHandleAndSystemPaths) {
  fs::create_directory(dir_ / "Pages");
  const std::string file = (dir_ / "PAGES").string() + "\\P1.xml";
  HANDLE h =
      CreateFile(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(WriteFile(h, "<web/>", 6, nullptr, nullptr));
  const FILETIME w = UInt64ToFileTime(kMay7 + 3), c = UInt64ToFileTime(kMay7 - 3);
  ASSERT_TRUE(SetFileTime(h, &c, nullptr, &w));
  FILETIME c2, a2, w2;
  ASSERT_TRUE(GetFileTime(h, &c2, &a2, &w2));
  EXPECT_EQ(FileTimeToUInt64(w2), kMay7 + 3);
  EXPECT_EQ(FileTimeToUInt64(c2), kMay7 + 3);
  ASSERT_TRUE(CloseHandle(h));
  // Closing keeps the time; the path in other case reads the same file.
  ASSERT_TRUE(GetPathFileTime((dir_ / "pages" / "p1.XML").string(), nullptr, nullptr, &w2));
  EXPECT_EQ(FileTimeToUInt64(w2), kMay7 + 3);
  EXPECT_TRUE(fs::exists(dir_ / "Pages" / "P1.xml"));
}

TEST_F(FileTimesOnDisk, MissingPaths) {
  FILETIME w;
  SetLastError(0);
  EXPECT_FALSE(GetPathFileTime((dir_ / "nothing.dat").string(), nullptr, nullptr, &w));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(SetPathFileTime((dir_ / "no" / "nothing.dat").string(), nullptr, nullptr, &w));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(SetPathFileTime((dir_ / "nothing.dat").string(), nullptr, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

}  // namespace
