#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/vcl/SysUtils.h"

namespace {

TEST(ParamsTest, ProgramAndArgumentsAsTheClassLibraryCountsThem) {
  // Until the host sets them: the process's own.
  EXPECT_NE(ParamStr(0).find("platform_vcl_sysutils_tests"), std::string::npos);
  std::vector<std::string> own;
  for (int i = 0; i <= ParamCount(); ++i) own.push_back(ParamStr(i));
  SetCommandLine({"C:\\Halvex\\halvex.exe", "/log", "C:\\Proj\\demo.hpj"});
  EXPECT_EQ(ParamCount(), 2);
  std::string all;
  for (int i = 0; i <= ParamCount(); ++i) all += "[" + ParamStr(i) + "]";  // 0 .. ParamCount inclusive
  EXPECT_EQ(all, "[C:\\Halvex\\halvex.exe][/log][C:\\Proj\\demo.hpj]");
  EXPECT_EQ(ParamStr(3), "");
  EXPECT_EQ(ParamStr(-1), "");
  SetCommandLine({});
  EXPECT_EQ(ParamCount(), 0);
  EXPECT_EQ(ParamStr(0), "");
  SetCommandLine(own);
}

TEST(RandomTest, TheClassLibrarysGenerator) {
  SetRandSeed(0);
  // Seeds 1, 134775814, ...: each number is the seed times the range, shifted down 32 bits.
  EXPECT_EQ(Random(32768), 0);
  EXPECT_EQ(Random(32768), static_cast<int>((134775814ull * 32768) >> 32));
  EXPECT_EQ(RandSeed(), 134775814u);
  // A seed repeats its sequence.
  SetRandSeed(12345);
  int first[20];
  for (int& v : first) v = Random(32768);
  SetRandSeed(12345);
  for (int v : first) EXPECT_EQ(Random(32768), v);
  for (int i = 0; i < 1000; ++i) {
    const int v = Random(32768);
    EXPECT_GE(v, 0);
    EXPECT_LT(v, 32768);
    const double d = Random();
    EXPECT_GE(d, 0.0);
    EXPECT_LT(d, 1.0);
  }
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(Random(-5), 0);
  EXPECT_EQ(Random(1), 0);
  Randomize();
  const std::uint32_t seeded = RandSeed();
  Random(10);
  EXPECT_NE(RandSeed(), seeded);
}

TEST(UnixTimeTest, SecondsSince1970) {
  EXPECT_EQ(DateTimeToUnix(EncodeDate(1970, 1, 1)), 0);
  EXPECT_EQ(DateTimeToUnix(EncodeDate(2000, 1, 1)), 946684800);
  EXPECT_EQ(DateTimeToUnix(EncodeDate(2026, 12, 7) + EncodeTime(6, 30, 15, 0)), 1796625015);
  EXPECT_EQ(DateTimeToUnix(EncodeDate(2000, 1, 1) + EncodeTime(0, 0, 0, 400)), 946684800);  // rounded
  EXPECT_EQ(DateTimeToUnix(EncodeDate(2000, 1, 1) + EncodeTime(0, 0, 0, 600)), 946684801);
  EXPECT_EQ(DateTimeToUnix(EncodeDate(1899, 12, 30)), -2209161600);
  // Before 1899-12-30 the fraction counts forwards from midnight: -1.25 is 1899-12-29 06:00.
  EXPECT_EQ(DateTimeToUnix(-1.25), -2209161600 - 86400 + 6 * 3600);
  EXPECT_DOUBLE_EQ(UnixToDateTime(-2209161600 - 86400 + 6 * 3600), -1.25);
  for (std::int64_t s : {0LL, 1LL, -1LL, 946684800LL, 1796625015LL, -2209161600LL, -5000000000LL, 253402300799LL})
    EXPECT_EQ(DateTimeToUnix(UnixToDateTime(s)), s) << s;
  EXPECT_DOUBLE_EQ(UnixToDateTime(0), 25569.0);
  EXPECT_THROW(DateTimeToUnix(1e300), EConvertError);
  EXPECT_THROW(DateTimeToUnix(std::nan("")), EConvertError);
}

}  // namespace
