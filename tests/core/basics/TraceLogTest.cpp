// The trace log: line format, milliseconds between lines, the switch, and a
// file that cannot be opened.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "core/TraceLog.h"

namespace {

namespace fs = std::filesystem;

TDateTime clockValue = 0.0;
TDateTime FixedClock() { return clockValue; }

TDateTime At(unsigned short h, unsigned short n, unsigned short s, unsigned short ms) {
  return EncodeDate(2024, 5, 7) + EncodeTime(h, n, s, ms);
}

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class TraceLogTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "tracelogXXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    log_ = dir_ / "plugins.log";
    SetTraceLogPath(log_.string());
    SetTraceLogClock(FixedClock);
    SetTraceLogEnabled(true);
    ResetTraceLogTimer();
  }
  void TearDown() override {
    SetTraceLogEnabled(false);
    SetTraceLogClock(nullptr);
    SetTraceLogPath("");
    ResetTraceLogTimer();
    fs::remove_all(dir_);
  }
  fs::path dir_, log_;
};

TEST_F(TraceLogTest, WritesTheLineFormat) {
  clockValue = At(9, 3, 4, 56);
  EXPECT_TRUE(WriteTraceLog("SaveToFile - End"));
  clockValue = At(9, 3, 5, 556);
  EXPECT_TRUE(WriteTraceLog(std::string("InstallPlugin")));
  EXPECT_EQ(ReadFile(log_),
            "07.05.2024 09:03:04.056\tTarnwell\t\tSaveToFile - End (0)\n"
            "07.05.2024 09:03:05.556\tTarnwell\t\tInstallPlugin (1500)\n");
}

TEST_F(TraceLogTest, EmptyTextAndNullText) {
  clockValue = At(23, 59, 59, 999);
  EXPECT_TRUE(WriteTraceLog(""));
  EXPECT_TRUE(WriteTraceLog(static_cast<const char*>(nullptr)));
  EXPECT_EQ(ReadFile(log_),
            "07.05.2024 23:59:59.999\tTarnwell\t\t (0)\n"
            "07.05.2024 23:59:59.999\tTarnwell\t\t (0)\n");
}

// 1.5 s later is 1500 at any time of day, although the two readings of the
// clock are doubles near 45419 whose difference is not exactly 1.5 s.
TEST_F(TraceLogTest, FifteenHundredMillisecondsAtAnyTime) {
  std::mt19937 rng(3);
  for (int i = 0; i < 500; ++i) {
    ResetTraceLogTimer();
    const std::uint32_t start = rng() % (86400000 - 2000);
    clockValue = EncodeDate(2024, 5, 7) + start / 86400000.0;
    ASSERT_TRUE(WriteTraceLog("a"));
    clockValue = EncodeDate(2024, 5, 7) + (start + 1500) / 86400000.0;
    ASSERT_TRUE(WriteTraceLog("b"));
  }
  std::istringstream lines(ReadFile(log_));
  std::string line;
  int seen = 0;
  while (std::getline(lines, line)) {
    const std::string expected = (seen % 2 == 0) ? " (0)" : " (1500)";
    ASSERT_GE(line.size(), expected.size());
    EXPECT_EQ(line.substr(line.size() - expected.size()), expected) << line;
    ++seen;
  }
  EXPECT_EQ(seen, 1000);
}

TEST_F(TraceLogTest, LongGapsDoNotOverflow) {
  clockValue = At(8, 0, 0, 0);
  EXPECT_TRUE(WriteTraceLog("start"));
  clockValue += 30.0;  // thirty days: more milliseconds than 32 bits hold
  EXPECT_TRUE(WriteTraceLog("later"));
  const std::string text = ReadFile(log_);
  EXPECT_NE(text.find("\tlater (2592000000)\n"), std::string::npos) << text;
}

TEST_F(TraceLogTest, NothingWithoutTheSwitch) {
  SetTraceLogEnabled(false);
  clockValue = At(10, 0, 0, 0);
  EXPECT_TRUE(WriteTraceLog("not written"));
  EXPECT_FALSE(fs::exists(log_));
}

TEST_F(TraceLogTest, AppendsToAnExistingFile) {
  { std::ofstream(log_, std::ios::binary) << "old line\n"; }
  clockValue = At(10, 0, 0, 0);
  EXPECT_TRUE(WriteTraceLog("new"));
  EXPECT_EQ(ReadFile(log_), "old line\n07.05.2024 10:00:00.000\tTarnwell\t\tnew (0)\n");
}

TEST_F(TraceLogTest, SystemPathWithBackslashes) {
  fs::create_directory(dir_ / "Host");
  SetTraceLogPath((dir_ / "HOST").string() + "\\plugins.log");
  clockValue = At(10, 0, 0, 0);
  EXPECT_TRUE(WriteTraceLog("x"));
  EXPECT_TRUE(fs::exists(dir_ / "Host" / "plugins.log"));
}

// A file that cannot be opened gives false; the next written line counts from
// the last written one. The very first call sets the previous time even when
// it fails.
TEST_F(TraceLogTest, FileThatCannotBeOpened) {
  const std::string good = log_.string();
  const std::string missingFolder = (dir_ / "missing" / "plugins.log").string();

  SetTraceLogPath(missingFolder);
  clockValue = At(12, 0, 0, 0);
  EXPECT_FALSE(WriteTraceLog("first, lost"));

  SetTraceLogPath(good);
  clockValue = At(12, 0, 1, 0);
  EXPECT_TRUE(WriteTraceLog("one"));

  SetTraceLogPath(dir_.string());  // a folder
  clockValue = At(12, 0, 2, 0);
  EXPECT_FALSE(WriteTraceLog("lost"));

  SetTraceLogPath(good);
  clockValue = At(12, 0, 3, 250);
  EXPECT_TRUE(WriteTraceLog("two"));

  EXPECT_EQ(ReadFile(log_),
            "07.05.2024 12:00:01.000\tTarnwell\t\tone (1000)\n"
            "07.05.2024 12:00:03.250\tTarnwell\t\ttwo (2250)\n");
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

// Lines written from two threads at once stay whole.
TEST_F(TraceLogTest, ConcurrentLinesStayWhole) {
  clockValue = At(7, 0, 0, 0);
  auto writer = [](const char* text) {
    for (int i = 0; i < 200; ++i) WriteTraceLog(text);
  };
  std::thread a(writer, "from the user-interface thread");
  std::thread b(writer, "from the communication loop");
  a.join();
  b.join();
  std::istringstream lines(ReadFile(log_));
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    ++count;
    EXPECT_TRUE(line == "07.05.2024 07:00:00.000\tTarnwell\t\tfrom the user-interface thread (0)" ||
                line == "07.05.2024 07:00:00.000\tTarnwell\t\tfrom the communication loop (0)")
        << line;
  }
  EXPECT_EQ(count, 400);
}

}  // namespace
