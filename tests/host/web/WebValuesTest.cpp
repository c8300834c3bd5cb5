// The pieces of the PLC web server that need no network: the identifiers of
// the data pages, the value texts by type and format, the posted form bodies
// and the filling of a data page.

#include <gtest/gtest.h>

#include <cstring>

#include "host/sim/PlcTypeShape.h"
#include "host/sim/web/WebDataPage.h"
#include "host/sim/web/WebForm.h"
#include "host/sim/web/WebIdentifier.h"
#include "host/sim/web/WebValues.h"

namespace {

struct IdentifierCase {
  const char* text;
  bool valid;
  bool mapped;
  PlcArea area;
  std::uint32_t offsetOrTdi;
  int bitOrCode;
  const char* type;
  const char* format;
};

TEST(WebIdentifier, ReadsTheGeneratorsForms) {
  const IdentifierCase cases[] = {
      {"__R10_UINT_u", true, false, PlcArea::R, 10, -1, "UINT", "u"},
      {"__S22_UINT_05u", true, false, PlcArea::S, 22, -1, "UINT", "05u"},
      {"__X0.1_BOOL_i", true, false, PlcArea::X, 0, 1, "BOOL", "i"},
      {"__Y3.7_BOOL_i", true, false, PlcArea::Y, 3, 7, "BOOL", "i"},
      {"__R4_REAL_.1f", true, false, PlcArea::R, 4, -1, "REAL", ".1f"},
      {"__R8_STRING[40]_s", true, false, PlcArea::R, 8, -1, "STRING[40]", "s"},
      {"__R8_TIME_Thh:mm:ss", true, false, PlcArea::R, 8, -1, "TIME", "Thh:mm:ss"},
      {"__T0000003D.04_USINT_u", true, true, PlcArea::R, 0x3D, 4, "USINT", "u"},
      {"__T00000032.01_BOOL_i", true, true, PlcArea::R, 0x32, 1, "BOOL", "i"},
      {"__T0000001F.04_(OFF,MANUAL,AUTO)_u", true, true, PlcArea::R, 0x1F, 4, "(OFF,MANUAL,AUTO)", "u"},
      {"__T00000010_LREAL_.2lf", true, true, PlcArea::R, 0x10, -1, "LREAL", ".2lf"},
      {"__T(A_B)_UINT_u", false, false, PlcArea::R, 0, 0, "", ""},
      {"__R10_UINT_", false, false, PlcArea::R, 0, 0, "", ""},
      {"_R10_UINT_u", false, false, PlcArea::R, 0, 0, "", ""},
      {"__Q10_UINT_u", false, false, PlcArea::R, 0, 0, "", ""},
      {"__R1x_UINT_u", false, false, PlcArea::R, 0, 0, "", ""},
      {"__X0.8_BOOL_i", false, false, PlcArea::R, 0, 0, "", ""},
      {"__X0.1_BOOL_u", false, false, PlcArea::R, 0, 0, "", ""},
      {"__R0_UINT_i", false, false, PlcArea::R, 0, 0, "", ""},
      {"__T3D.04_UINT_u", false, false, PlcArea::R, 0, 0, "", ""},
      {"__T0000003D.4_UINT_u", false, false, PlcArea::R, 0, 0, "", ""},
      {"__R99999999999_UINT_u", false, false, PlcArea::R, 0, 0, "", ""},
      {"Submit", false, false, PlcArea::R, 0, 0, "", ""},
      {"", false, false, PlcArea::R, 0, 0, "", ""},
  };
  for (const IdentifierCase& c : cases) {
    SCOPED_TRACE(c.text);
    const auto id = ParseWebIdentifier(c.text);
    ASSERT_EQ(id.has_value(), c.valid);
    if (!c.valid) continue;
    EXPECT_EQ(id->mapped, c.mapped);
    EXPECT_EQ(id->typeName, c.type);
    EXPECT_EQ(id->format, c.format);
    if (c.mapped) {
      EXPECT_EQ(id->tdi, c.offsetOrTdi);
      EXPECT_EQ(id->code, c.bitOrCode);
    } else {
      EXPECT_EQ(id->area, c.area);
      EXPECT_EQ(id->offset, c.offsetOrTdi);
      EXPECT_EQ(id->bit, c.bitOrCode);
    }
  }
}

std::vector<std::uint8_t> Bytes(const void* data, std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  return {p, p + size};
}

template <typename T>
std::vector<std::uint8_t> BytesOf(T value) {
  return Bytes(&value, sizeof value);
}

PlcTypeShapePtr Shape(const char* type) { return ShapeOfType(type, {}); }

struct FormatCase {
  const char* type;
  std::vector<std::uint8_t> bytes;
  const char* format;
  const char* text;
};

TEST(WebValues, FormatsEachTypeByItsFormat) {
  const FormatCase cases[] = {
      {"BOOL", {1}, "i", "1"},
      {"BOOL", {0}, "i", "0"},
      {"UINT", BytesOf<std::uint16_t>(65535), "u", "65535"},
      {"UINT", BytesOf<std::uint16_t>(42), "05u", "00042"},
      {"INT", BytesOf<std::int16_t>(-5), "d", "-5"},
      {"INT", BytesOf<std::int16_t>(-1), "X", "FFFF"},
      {"SINT", BytesOf<std::int8_t>(-128), "d", "-128"},
      {"DWORD", BytesOf<std::uint32_t>(0x3CAA28), "X", "3CAA28"},
      {"LINT", BytesOf<std::int64_t>(-9000000000LL), "d", "-9000000000"},
      {"ULINT", BytesOf<std::uint64_t>(18446744073709551615ULL), "u", "18446744073709551615"},
      {"REAL", BytesOf<float>(12.25f), ".1f", "12.2"},
      {"REAL", BytesOf<float>(-0.5f), ".2f", "-0.50"},
      {"LREAL", BytesOf<double>(3.14159), ".3lf", "3.142"},
      {"(OFF,MANUAL,AUTO)", {2}, "u", "2"},
      {"STRING[8]", {'P', 'u', 'm', 'p', 0, 'x', 0, 0, 0}, "s", "Pump"},
      {"STRING[3]", {'a', 'b', 'c', 0}, "s", "abc"},
      {"TIME", BytesOf<std::int32_t>(3723004), "s", "1:02:03.004"},
      {"TIME", BytesOf<std::int32_t>(90000), "Tmm:ss", "01:30"},
      {"TOD", BytesOf<std::uint32_t>(45296000), "s", "12:34:56.000"},
      {"DATE", BytesOf<double>(1714521600.0), "s", "2024-05-01"},
      {"DT", BytesOf<double>(1714566600.0), "s", "2024-05-01-12:30:00.000"},
      {"ARRAY[0..3] OF BYTE", {0xC5, 0x01, 0x0A, 0xFF}, "s", "C5010AFF"},
      {"UINT", BytesOf<std::uint16_t>(7), "%n", "7"},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.format);
    EXPECT_EQ(FormatWebValue(*Shape(c.type), c.bytes, c.format), c.text);
  }
}

struct EncodeCase {
  const char* type;
  const char* format;
  const char* text;
  std::optional<std::vector<std::uint8_t>> bytes;
};

TEST(WebValues, ReadsPostedTextsByTypeAndRefusesTheRest) {
  const EncodeCase cases[] = {
      {"BOOL", "i", "1", std::vector<std::uint8_t>{1}},
      {"BOOL", "i", "0", std::vector<std::uint8_t>{0}},
      {"BOOL", "i", "on", std::vector<std::uint8_t>{1}},
      {"BOOL", "i", "2", std::nullopt},
      {"UINT", "u", " 123 ", BytesOf<std::uint16_t>(123)},
      {"UINT", "u", "65536", std::nullopt},
      {"UINT", "u", "-1", std::nullopt},
      {"UINT", "u", "12abc", std::nullopt},
      {"UINT", "u", "0x10", std::nullopt},
      {"UINT", "u", "", std::nullopt},
      {"INT", "d", "-32768", BytesOf<std::int16_t>(-32768)},
      {"DWORD", "X", "3caa28", BytesOf<std::uint32_t>(0x3CAA28)},
      {"DWORD", "X", "0xFF", BytesOf<std::uint32_t>(255)},
      {"DWORD", "X", "GG", std::nullopt},
      {"REAL", ".1f", "12.5", BytesOf<float>(12.5f)},
      {"REAL", ".1f", "1e40", std::nullopt},
      {"REAL", ".1f", "nan", std::nullopt},
      {"(OFF,MANUAL,AUTO)", "u", "1", std::vector<std::uint8_t>{1}},
      {"(OFF,MANUAL,AUTO)", "u", "3", std::nullopt},
      {"STRING[4]", "s", "ab", std::vector<std::uint8_t>{'a', 'b', 0, 0, 0}},
      {"STRING[4]", "s", "abcde", std::nullopt},
      {"TIME", "s", "0:01:30.000", BytesOf<std::int32_t>(90000)},
      {"TIME", "s", "T#2s", BytesOf<std::int32_t>(2000)},
      {"TIME", "s", "soon", std::nullopt},
      {"TIME", "s", "99:99:99.999", std::nullopt},
      {"TIME", "s", "1:02:ab", std::nullopt},
      {"TIME", "s", "999999:00:00.000", std::nullopt},
      {"TIME", "Tmm:ss", "90:00", std::nullopt},
      {"TOD", "s", "TOD#25:00:00", std::nullopt},
      {"DATE", "TDD.MM.YYYY", "29.02.2024", BytesOf<double>(1709164800.0)},
      {"DATE", "TDD.MM.YYYY", "45.13.2024", std::nullopt},
      {"DATE", "TDD.MM.YYYY", "29.02.2023", std::nullopt},
      {"DATE", "s", "1969-12-31", std::nullopt},
      {"DATE", "s", "D#2024-05-01", BytesOf<double>(1714521600.0)},
      {"DATE", "s", "D#2024-13-45", std::nullopt},
      {"DT", "s", "DT#24-05-01-12:30:00.5", BytesOf<double>(1714566600.5)},
      {"DT", "s", "2024-05-01-24:00:00.000", std::nullopt},
      {"ARRAY[0..3] OF BYTE", "s", "C501", std::vector<std::uint8_t>{0xC5, 0x01, 0, 0}},
      {"ARRAY[0..3] OF BYTE", "s", "C5010203FF", std::nullopt},
  };
  for (const EncodeCase& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " \"" + c.text + "\"");
    EXPECT_EQ(EncodeWebValue(*Shape(c.type), c.text, c.format), c.bytes);
  }
}

TEST(WebValues, AValueReadsBackAsItWasShown) {
  const struct {
    const char* type;
    const char* format;
    const char* text;
  } cases[] = {{"UINT", "05u", "00042"},     {"INT", "d", "-7"},           {"REAL", ".2f", "3.25"},
               {"TIME", "s", "1:02:03.004"}, {"TOD", "s", "23:59:59.999"}, {"STRING[10]", "s", "Valve 1"},
               {"DWORD", "X", "BEEF"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    const auto bytes = EncodeWebValue(*Shape(c.type), c.text, c.format);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(FormatWebValue(*Shape(c.type), *bytes, c.format), c.text);
  }
}

TEST(WebForm, ReadsWholePairsAndSeparatePartsAlike) {
  const auto whole = ParseUrlEncodedForm("__R0_UINT_u%3D12&__X0.1_BOOL_i%3D1");
  ASSERT_TRUE(whole.has_value());
  ASSERT_EQ(whole->fields.size(), 2u);
  EXPECT_EQ(*whole->Find("__R0_UINT_u"), "12");
  EXPECT_EQ(*whole->Find("__X0.1_BOOL_i"), "1");
  const auto parts = ParseUrlEncodedForm("USER=anna+b&PASS=a%26b%3Dc&&empty=&flag");
  ASSERT_TRUE(parts.has_value());
  EXPECT_EQ(*parts->Find("USER"), "anna b");
  EXPECT_EQ(*parts->Find("PASS"), "a&b=c");
  EXPECT_EQ(*parts->Find("empty"), "");
  EXPECT_EQ(*parts->Find("flag"), "");
  EXPECT_EQ(parts->Find("none"), nullptr);
  for (const char* bad : {"a=%", "a=%4", "a=%G1", "a=%00", "%zz=1"}) EXPECT_FALSE(ParseUrlEncodedForm(bad)) << bad;
}

const char* kPage =
    "<?xml version=\"1.0\" encoding=\"windows-1250\" ?>\r\n"
    "<?xml-stylesheet type=\"text/xsl\" href=\"P.XSL?U=7\" ?>\r\n"
    "<PAGE TITLE=\"\">\r\n"
    "\t<ACCESS PAGE_LEVEL=\"2\" USER_LEVEL=\"0\" UCID=\"7\" />\r\n"
    "\t<INPUT NAME=\"a&amp;b\" VALUE=\"0\" />\r\n"
    "\t<DATA NAME=\"buf\" VALUE=\"\" ML=\"12\" />\r\n"
    "\t<INPUT NAME=\"c\" VALUE=\"0\" />\r\n"
    "</PAGE>\r\n";

TEST(WebDataPage, FillsValuesAndTheLevelAndKeepsTheRest) {
  int level = -1;
  ASSERT_TRUE(IsDataPage(kPage, &level));
  EXPECT_EQ(level, 2);
  EXPECT_FALSE(IsDataPage("<LOGIN><USER VALUE=\"\" /></LOGIN>", nullptr));
  EXPECT_EQ(DeclaredEncoding(kPage), "windows-1250");
  const auto entries = DataPageEntries(kPage);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "a&b");
  EXPECT_TRUE(entries[1].data);
  EXPECT_EQ(entries[1].maxLength, 12);
  const std::string filled = FillDataPage(kPage, 5, [](const DataPageEntry& e) -> std::optional<std::string> {
    if (e.name == "c") return std::nullopt;
    return e.data ? "C501" : "<\"x\">";
  });
  EXPECT_EQ(filled,
            "<?xml version=\"1.0\" encoding=\"windows-1250\" ?>\r\n"
            "<?xml-stylesheet type=\"text/xsl\" href=\"P.XSL?U=7\" ?>\r\n"
            "<PAGE TITLE=\"\">\r\n"
            "\t<ACCESS PAGE_LEVEL=\"2\" USER_LEVEL=\"5\" UCID=\"7\" />\r\n"
            "\t<INPUT NAME=\"a&amp;b\" VALUE=\"&lt;&quot;x&quot;&gt;\" />\r\n"
            "\t<DATA NAME=\"buf\" VALUE=\"C501\" ML=\"12\" />\r\n"
            "\t<INPUT NAME=\"c\" VALUE=\"0\" />\r\n"
            "</PAGE>\r\n");
  EXPECT_EQ(WithElementValue("<LOGIN>\n<USER VALUE=\"\" />\n<PASS />\n</LOGIN>", "PASS", "FAILED"),
            "<LOGIN>\n<USER VALUE=\"\" />\n<PASS VALUE=\"FAILED\" />\n</LOGIN>");
}

}  // namespace
