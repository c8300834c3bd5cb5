#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/vcl/SysUtils.h"

namespace {

// What the C library prints for the same format and arguments.
template <class... Args>
std::string C(const char* format, Args... args) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
#if !defined(__clang__)
// GCC at -O2 sees the first call's null buffer and warns about the second's.
#pragma GCC diagnostic ignored "-Wformat-truncation"
#endif
  const int n = std::snprintf(nullptr, 0, format, args...);
  std::string out(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(out.data(), out.size(), format, args...);
#pragma GCC diagnostic pop
  out.resize(static_cast<std::size_t>(n));
  return out;
}

TEST(FormatTest, IntegersPrintAsSnprintfPrintsThem) {
  const int values[] = {0, 1, -1, 7, -42, 255, 65535, 123456789, INT_MAX, INT_MIN};
  const char* specs[] = {"%d", "%i",  "%5d",  "%-5d|", "%05d", "%+d", "% d", "%.3d", "%8.3i", "%-+8.3d|", "%x",
                         "%X", "%#x", "%08X", "%o",    "%#o",  "%u",  "%hd", "%hhd", "%hx",   "%hhu"};
  for (int v : values)
    for (const char* spec : specs) EXPECT_EQ(Format(spec, v), C(spec, v)) << spec << " " << v;
  // Star widths and precisions, the system's "%*i" and "%0*i" among them.
  for (int width : {0, 1, 3, 8, -6})
    for (int v : {0, 5, -5, 1234567}) {
      EXPECT_EQ(Format("%*i|", width, v), C("%*i|", width, v));
      EXPECT_EQ(Format("%0*i|", width, v), C("%0*i|", width, v));
      EXPECT_EQ(Format("%*.*d|", width, 4, v), C("%*.*d|", width, 4, v));
    }
  EXPECT_EQ(Format("%.*d|", -1, 12), C("%.*d|", -1, 12));  // negative precision: none
}

TEST(FormatTest, WideAndNarrowArgumentsKeepTheirBits) {
  const long long big = 1234567890123LL;
  EXPECT_EQ(Format("%d", big), "1234567890123");
  EXPECT_EQ(Format("%lld|%llx", big, big), C("%lld|%llx", big, big));
  EXPECT_EQ(Format("%u", std::uint64_t{18446744073709551615ull}), "18446744073709551615");
  // Narrow arguments widen as C widens them.
  const signed char sc = -1;
  const unsigned char uc = 200;
  const short sh = -2;
  EXPECT_EQ(Format("%x %u %d", sc, uc, sh), C("%x %u %d", sc, uc, sh));
  // An unsigned value through %d, a negative one through %u: the bits of 32.
  EXPECT_EQ(Format("%d %u", 4294967295u, -1), "-1 4294967295");
  EXPECT_EQ(Format("%d %d", true, false), "1 0");
  enum Colour { Red = 3 };
  EXPECT_EQ(Format("%d", Red), "3");
}

TEST(FormatTest, RealsPrintAsSnprintfPrintsThem) {
  const double values[] = {0.0,  -0.0,   1.0,     -1.5,  0.1,         2.5,   3.14159265358979, 1e-5, 123456789.0,
                           1e20, 1e-300, DBL_MAX, 100.0, 0.000123456, 5e-324};
  const char* specs[] = {"%f",       "%g",    "%G",      "%e",    "%E",  "%.0f", "%.3f", "%02.3f", "%10.2f|",
                         "%-10.2f|", "%+.1f", "%010.4f", "%.10g", "%#g", "%.0e", "%a",   "%8.3g|", "%.15g"};
  for (double v : values)
    for (const char* spec : specs) EXPECT_EQ(Format(spec, v), C(spec, v)) << spec << " " << v;
  EXPECT_EQ(Format("%f %g", INFINITY, -INFINITY), C("%f %g", INFINITY, -INFINITY));
  EXPECT_EQ(Format("%f", NAN), C("%f", NAN));
  // A float argument and an integer argument for a real conversion.
  EXPECT_EQ(Format("%.2f", 1.25f), "1.25");
  EXPECT_EQ(Format("%g|%.1f", 3, -2), "3|-2.0");
}

TEST(FormatTest, TextsCharactersAndPercent) {
  const std::string s = "Tarnwell";
  EXPECT_EQ(Format("[%s]", s), "[Tarnwell]");
  for (const char* spec : {"[%s]", "[%12s]", "[%-12s]", "[%.3s]", "[%6.2s]", "[%-6.2s]", "[%.0s]", "[%3s]"})
    EXPECT_EQ(Format(spec, s), C(spec, s.c_str())) << spec;
  EXPECT_EQ(Format("%s/%s/%s", "lit", std::string_view("view"), static_cast<const char*>("ptr")), "lit/view/ptr");
  EXPECT_EQ(Format("%s", static_cast<const char*>(nullptr)), "(null)");
  // Bytes past a NUL stay: texts are not C strings here.
  EXPECT_EQ(Format("<%s>", std::string("a\0b", 3)), std::string("<a\0b>", 5));
  // A char array without NUL ends at the array's end.
  const char raw[3] = {'x', 'y', 'z'};
  EXPECT_EQ(Format("%s!", raw), "xyz!");
  EXPECT_EQ(Format("%c%c|%3c|%-3c|", 'O', 'K', 'a', 'b'), C("%c%c|%3c|%-3c|", 'O', 'K', 'a', 'b'));
  EXPECT_EQ(Format("%c", 0), std::string(1, '\0'));
  EXPECT_EQ(Format("100%% of %d%%", 5), "100% of 5%");
  EXPECT_EQ(Format("no conversions"), "no conversions");
  int x = 0;
  EXPECT_EQ(Format("%p", &x), C("%p", static_cast<void*>(&x)));
  // Extra arguments are ignored, as printf ignores them.
  EXPECT_EQ(Format("%d", 1, 2, "three"), "1");
}

TEST(FormatTest, BadFormatsAndArgumentsRaiseConvertErrors) {
  auto raises = [](auto call) {
    try {
      call();
    } catch (const EConvertError& e) {
      return std::string(e.what()).find("invalid or incompatible with argument") != std::string::npos;
    }
    return false;
  };
  EXPECT_TRUE(raises([] { return Format("%d"); }));                    // missing argument
  EXPECT_TRUE(raises([] { return Format("%d %d", 1); }));              // one missing
  EXPECT_TRUE(raises([] { return Format("%s", 5); }));                 // number for a text
  EXPECT_TRUE(raises([] { return Format("%d", "five"); }));            // text for a number
  EXPECT_TRUE(raises([] { return Format("%d", 2.5); }));               // real for an integer
  EXPECT_TRUE(raises([] { return Format("%c", std::string("c")); }));  // text for a character
  EXPECT_TRUE(raises([] { return Format("%p", 5); }));
  EXPECT_TRUE(raises([] { return Format("%*d", "w", 5); }));  // star takes an integer
  EXPECT_TRUE(raises([] { return Format("abc%", 1); }));      // incomplete
  EXPECT_TRUE(raises([] { return Format("%5", 1); }));
  EXPECT_TRUE(raises([] { return Format("%k", 1); }));  // unknown conversion
  int n = 0;
  EXPECT_TRUE(raises([&] { return Format("%n", &n); }));  // never writes through an argument
  // Absurd widths and precisions are refused instead of building huge texts.
  EXPECT_TRUE(raises([] { return Format("%99999999d", 1); }));
  EXPECT_TRUE(raises([] { return Format("%.99999999f", 1.0); }));
  EXPECT_TRUE(raises([] { return Format("%*d", 1000000000, 1); }));
  EXPECT_TRUE(raises([] { return Format("%*d", 4000000000u, 1); }));
  EXPECT_EQ(Format("%*d", 65536, 1).size(), 65536u);
  try {
    Format("%d items", "x");
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Format '%d items' invalid or incompatible with argument");
  }
}

}  // namespace
