// 8.3 names, upload names, counted names and the small text helpers.

#include <gtest/gtest.h>

#include <cstdio>

#include "core/NameHelpers.h"
#include "platform/vcl/StringList.h"

namespace {

// CRC-16 as the PLC computes it (polynomial 0x0049, most significant bit
// first, initial value 0, no final XOR), bit by bit.
unsigned ReferenceCrc16(const std::string& s) {
  unsigned crc = 0;
  for (unsigned char c : s) {
    crc ^= unsigned{c} << 8;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x8000) ? ((crc << 1) ^ 0x0049) & 0xFFFF : (crc << 1) & 0xFFFF;
  }
  return crc;
}

std::string Hex4(unsigned v) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", v);
  return text;
}

std::string Upload(const std::string& name) {
  std::string destination = "stale";
  EXPECT_TRUE(MakeUploadName(destination, name)) << name;
  return destination;
}

std::string Counted(std::string name) {
  EXPECT_TRUE(IncrementNameCounter(name)) << name;
  return name;
}

}  // namespace

TEST(NameHelpers, FormatSizeText) {
  EXPECT_EQ(FormatSizeText(0), "0B");
  EXPECT_EQ(FormatSizeText(999), "999B");
  EXPECT_EQ(FormatSizeText(1000), "1.000B");
  EXPECT_EQ(FormatSizeText(1024), "1.024B");
  EXPECT_EQ(FormatSizeText(999999), "999.999B");
  EXPECT_EQ(FormatSizeText(1000000), "1.000.000B");
  EXPECT_EQ(FormatSizeText(1234567), "1.234.567B");
  EXPECT_EQ(FormatSizeText(2147483647), "2147.483.647B");
}

TEST(NameHelpers, IsValid83Path) {
  EXPECT_EQ(IsValid83Path("WWW/UPLOAD/"), 2);
  EXPECT_EQ(IsValid83Path("WWW/UPLOAD/DATA.TXT"), 1);
  EXPECT_EQ(IsValid83Path("data_1-x.htm"), 1);
  EXPECT_EQ(IsValid83Path("ABCDEFGHI.TXT"), 0);  // nine-character stem
  EXPECT_EQ(IsValid83Path(".HIDDEN"), 0);
  EXPECT_EQ(IsValid83Path("WWW/../X"), 0);
  EXPECT_EQ(IsValid83Path("PAGE.HTML"), 0);  // four-character extension
  EXPECT_EQ(IsValid83Path("MY DATA.TXT"), 0);
  EXPECT_EQ(IsValid83Path("A\\B"), 0);
  EXPECT_EQ(IsValid83Path(""), 0);
  std::string long199;
  for (int i = 0; i < 99; ++i) long199 += "A/";
  long199 += "A";
  EXPECT_EQ(IsValid83Path(long199), 1);
  EXPECT_EQ(IsValid83Path(long199 + "/"), 0);  // 200 characters
}

TEST(NameHelpers, MakeUploadName) {
  EXPECT_EQ(Upload("DATA.TXT"), "//WWW/UPLOAD/DATA.TXT");
  EXPECT_EQ(Upload("my data.txt"), "//WWW/UPLOAD/my d" + Hex4(ReferenceCrc16("my data.txt")) + ".txt");
  EXPECT_EQ(Upload("holiday photo.jpeg"), "//WWW/UPLOAD/holi" + Hex4(ReferenceCrc16("holiday photo.jpeg")));
  EXPECT_EQ(Upload("\xE4pfel und birnen.csv"),
            "//WWW/UPLOAD/file" + Hex4(ReferenceCrc16("\xE4pfel und birnen.csv")) + ".csv");
  EXPECT_EQ(Upload("a b"), "//WWW/UPLOAD/a b" + Hex4(ReferenceCrc16("a b")));
  EXPECT_EQ(Upload("archive.tar.gz"), "//WWW/UPLOAD/arch" + Hex4(ReferenceCrc16("archive.tar.gz")) + ".gz");
  // Programs for the PLC: into //WWW/, eight characters kept.
  EXPECT_EQ(Upload("prog.tap"), "//WWW/prog.tap");
  EXPECT_EQ(Upload("long program.TAP"), "//WWW/long pro.TAP");

  std::string destination = "stale";
  EXPECT_FALSE(MakeUploadName(destination, ""));
  EXPECT_EQ(destination, "");
}

TEST(NameHelpers, IncrementNameCounter) {
  EXPECT_EQ(Counted("AB9.BMP"), "AB10.BMP");
  EXPECT_EQ(Counted("ABC.BMP"), "ABC1.BMP");
  EXPECT_EQ(Counted("ABCDEFG9.BMP"), "ABCDEF10.BMP");
  EXPECT_EQ(Counted("PHOTO_01.JPG"), "PHOTO_02.JPG");
  EXPECT_EQ(Counted("IMG00099.JPG"), "IMG00100.JPG");
  EXPECT_EQ(Counted("ABCDEFGH.BMP"), "ABCDEFG1.BMP");
  EXPECT_EQ(Counted("99.BMP"), "100.BMP");
  EXPECT_EQ(Counted(".BMP"), "1.BMP");
  std::string full = "99999999.BMP";
  EXPECT_FALSE(IncrementNameCounter(full));
  EXPECT_EQ(full, "99999999.BMP");
  std::string noDot = "NODOT";
  EXPECT_FALSE(IncrementNameCounter(noDot));
  EXPECT_EQ(noDot, "NODOT");
}

TEST(NameHelpers, Make83AndSanitizedAndUploadCaseNames) {
  EXPECT_EQ(Make83Name("holiday photo", "JPG"), "HOLIDAY_.JPG");
  EXPECT_EQ(Make83Name("a;b*c", "png"), "A_B_C.png");
  EXPECT_EQ(Make83Name("<x>|\"[]", "t"), "_X_____.t");
  EXPECT_EQ(Make83Name("a~\x7F\xE4", ""), "A___.");
  EXPECT_EQ(Make83Name("", "BMP"), ".BMP");

  std::string name = "a.b c.png";
  SanitizeFileName(name);
  EXPECT_EQ(name, "a_b_c.png");
  name = "no ext name";
  SanitizeFileName(name);
  EXPECT_EQ(name, "no_ext_name");
  name = "\xE4.png";
  SanitizeFileName(name);
  EXPECT_EQ(name, "_.png");

  EXPECT_EQ(UpperCaseUploadName("HOLIDA~1.JPE"), "HOLIDA_1.JPE");
  EXPECT_EQ(UpperCaseUploadName("photo~2.jpg"), "PHOTO_2.JPG");
}

TEST(NameHelpers, UrlAndSearchHelpers) {
  std::string url = "images/sub/a.png?x=1/2";
  UrlPathToFilePath(url);
  EXPECT_EQ(url, "images\\sub\\a.png");

  const char* text = "Hello World";
  EXPECT_EQ(StrStrNoCase(text, "WORLD"), text + 6);
  EXPECT_EQ(StrStrNoCase(text, "o w"), text + 4);
  EXPECT_EQ(StrStrNoCase(text, ""), text);
  EXPECT_EQ(StrStrNoCase("", "a"), nullptr);
  EXPECT_EQ(StrStrNoCase(nullptr, "a"), nullptr);
  EXPECT_EQ(StrStrNoCase("abc", "abcd"), nullptr);
  const char* twice = "aab";
  EXPECT_EQ(StrStrNoCase(twice, "AB"), twice + 1);
}

TEST(NameHelpers, StringsHelpers) {
  TStringList list;
  list.Add("Ab");
  list.Add("ab");
  EXPECT_EQ(StringsIndexOf(list, "ab"), 1);  // case-sensitive, unlike IndexOf
  EXPECT_EQ(list.IndexOf("ab"), 0);
  EXPECT_EQ(StringsIndexOf(list, "AB"), -1);
  EXPECT_EQ(GetTStringsText(list, 0), "Ab");
  EXPECT_EQ(GetTStringsText(list, -1), "");
  EXPECT_EQ(GetTStringsText(list, list.Count()), "");
}
