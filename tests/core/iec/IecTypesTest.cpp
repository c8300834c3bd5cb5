#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "core/IecTypes.h"

namespace {

struct NameCase {
  const char* name;
  int code;
};

// Every name of the type table.
const NameCase kTable[] = {
    {"ARRAY", 23},         {"ANY", 28},         {"ANY_NUM", 29},    {"ANY_BIT", 30},    {"ANY_INT", 31},
    {"ANY_REAL", 32},      {"BOOL", 0},         {"BOOL R_EDGE", 1}, {"BOOL F_EDGE", 2}, {"BIT", 0},
    {"BYTE", 3},           {"DWORD", 5},        {"DINT", 9},        {"DT", 20},         {"DATE", 18},
    {"DATE_AND_TIME", 20}, {"ENUM", 25},        {"INT", 8},         {"LONG", 5},        {"LREAL", 16},
    {"LINT", 10},          {"LWORD", 6},        {"ND", -1},         {"PTR_TO", 35},     {"POINTER", 35},
    {"REAL", 15},          {"SINT", 7},         {"STRING", 21},     {"STRUCT", 24},     {"TIME", 17},
    {"TOD", 19},           {"TIME_OF_DAY", 19}, {"USINT", 11},      {"UINT", 12},       {"UDINT", 13},
    {"ULINT", 14},         {"WORD", 4},         {"WSTRING", 22},
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(IecTypeCodes, EveryTableNameInAnyCase) {
  for (const NameCase& c : kTable) {
    EXPECT_EQ(TypeCodeOfName(c.name), c.code) << c.name;
    EXPECT_EQ(TypeCodeOfName(Lower(c.name).c_str()), c.code) << c.name;
    std::string mixed = Lower(c.name);
    mixed[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(mixed[0])));
    EXPECT_EQ(TypeCodeOfName(mixed.c_str()), c.code) << mixed;
  }
}

TEST(IecTypeCodes, NamesMatchOnlyWhole) {
  for (const NameCase& c : kTable) {
    if (std::string(c.name) == "STRING") continue;
    EXPECT_EQ(TypeCodeOfName((std::string(c.name) + "X").c_str()), 33) << c.name;
    EXPECT_EQ(TypeCodeOfName((std::string(c.name) + " ").c_str()), 33) << c.name;
  }
  EXPECT_EQ(TypeCodeOfName("ARRAY[1..2] OF INT"), 33);
  EXPECT_EQ(TypeCodeOfName("BOOL  R_EDGE"), 33);
  EXPECT_EQ(TypeCodeOfName("ANY_"), 33);
}

TEST(IecTypeCodes, StringsAndEnumerations) {
  EXPECT_EQ(TypeCodeOfName("string[40]"), 21);
  EXPECT_EQ(TypeCodeOfName("STRING[20]"), 21);
  EXPECT_EQ(TypeCodeOfName("String (80)"), 21);
  EXPECT_EQ(TypeCodeOfName("STRINGS"), 33);
  EXPECT_EQ(TypeCodeOfName("STRIN"), 33);
  EXPECT_EQ(TypeCodeOfName("WSTRING[10]"), 33);
  EXPECT_EQ(TypeCodeOfName("(RED,GREEN)"), 25);
  EXPECT_EQ(TypeCodeOfName("("), 25);
}

TEST(IecTypeCodes, EmptyMissingAndOutsideNames) {
  EXPECT_EQ(TypeCodeOfName(""), 33);
  EXPECT_EQ(TypeCodeOfName(nullptr), 33);
  EXPECT_EQ(TypeCodeOfName("XINT"), 33);
  EXPECT_EQ(TypeCodeOfName("ZZZ"), 33);
  EXPECT_EQ(TypeCodeOfName("_INT"), 33);
  EXPECT_EQ(TypeCodeOfName("\xC4INT"), 33);
  EXPECT_EQ(TypeCodeOfName("MyStruct"), 33);
  EXPECT_EQ(TypeCodeOfName("nd"), -1);
  EXPECT_EQ(TypeCodeOfName("bool r_edge"), 1);
}

TEST(IecTypeCodes, PlcTypeBytes) {
  const int expected[36] = {0,  241, 242, 40, 42,  44,  46,  9, 11,  13,  15,  8,   10,  12,  14,  28,  30,  51,
                            49, 52,  50,  48, 240, 243, 244, 8, 246, 247, 248, 249, 250, 251, 252, 253, 254, 12};
  for (int code = 0; code < 36; ++code) EXPECT_EQ(PlcTypeOfTypeCode(code), expected[code]) << code;
  EXPECT_EQ(PlcTypeOfTypeCode(-1), 248);
  EXPECT_EQ(PlcTypeOfTypeCode(36), 248);
  EXPECT_EQ(PlcTypeOfTypeCode(-2147483647 - 1), 248);
  EXPECT_EQ(PlcTypeOfTypeCode(2147483647), 248);
  EXPECT_EQ(PlcTypeOfTypeCode(25), PlcTypeOfTypeCode(11));
  EXPECT_EQ(PlcTypeOfTypeCode(35), PlcTypeOfTypeCode(13));
}

}  // namespace
