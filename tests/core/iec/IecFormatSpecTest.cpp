#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/IecFormatSpec.h"
#include "core/IecNames.h"

namespace {

std::string Spec(char letter, int width, int precision, bool zero, bool left) {
  char out[40];
  std::memset(out, '#', sizeof out);
  char* end = FormatIntField(out, letter, width, precision, zero, left);
  EXPECT_EQ(*end, '\0');
  EXPECT_EQ(end - out, static_cast<long>(std::strlen(out)));
  EXPECT_EQ(end[-1], letter);
  return out;
}

TEST(IecFormatIntField, Examples) {
  EXPECT_EQ(Spec('f', 8, 2, true, false), "08.2f");
  EXPECT_EQ(Spec('d', 5, 0, true, false), "05d");
  EXPECT_EQ(Spec('X', 4, 2, true, false), "04X");
  EXPECT_EQ(Spec('u', 0, 3, false, false), "0.3u");
  EXPECT_EQ(Spec('f', -6, -2, false, true), "f");
  EXPECT_EQ(Spec('l', 0, 1, true, true), "-0.1l");
}

TEST(IecFormatIntField, RealValueForms) {
  // Width -size, precision prec, zero fill, left flag = not right-aligned.
  EXPECT_EQ(Spec('f', -8, 2, true, true), "08.2f");
  EXPECT_EQ(Spec('f', -8, 2, false, true), ".2f");
  EXPECT_EQ(Spec('f', -8, -1, false, true), ".0f");
  EXPECT_EQ(Spec('f', -8, -2, false, true), "f");
  EXPECT_EQ(Spec('l', -10, 3, true, false), "010.3l");
  EXPECT_EQ(Spec('f', 0, 0, false, false), ".0f");
  EXPECT_EQ(Spec('d', -5, 2, false, false), "-5.2d");
  EXPECT_EQ(Spec('d', 0, 0, false, true), "-d");
  EXPECT_EQ(Spec('d', 3, -5, false, false), "3d");
}

TEST(IecFormatIntField, ExtremeNumbersFit) {
  EXPECT_EQ(Spec('d', -2147483647 - 1, 2147483647, true, true), "02147483648.2147483647d");
  EXPECT_EQ(Spec('d', -2147483647 - 1, 5, false, false), "-2147483648.5d");
}

TEST(IecFormatIntField, PrintsWithPrintf) {
  char spec[40] = "%";
  char* end = FormatIntField(spec + 1, 'l', -8, 2, true, true);
  std::strcpy(end, "f");
  char text[64];
  std::snprintf(text, sizeof text, spec, 3.14159);
  EXPECT_STREQ(spec, "%08.2lf");
  EXPECT_STREQ(text, "00003.14");
  FormatIntField(spec + 1, 'f', -8, 1, false, true);
  std::snprintf(text, sizeof text, spec, -2.25);
  EXPECT_STREQ(text, "-2.2");
}

TEST(IecFlattenVariableName, Examples) {
  EXPECT_EQ(FlattenVariableName("a.b[3]"), "a_b_3_");
  EXPECT_EQ(FlattenVariableName("x__y"), "x_y");
  EXPECT_EQ(FlattenVariableName("Arr[2].x"), "Arr_2_x");
  EXPECT_EQ(FlattenVariableName("a[1]"), "a_1_");
  EXPECT_EQ(FlattenVariableName("m[1][2]._q"), "m_1_2_q");
  EXPECT_EQ(FlattenVariableName("___"), "_");
  EXPECT_EQ(FlattenVariableName(""), "");
  EXPECT_EQ(FlattenVariableName("Plain"), "Plain");
}

}  // namespace
