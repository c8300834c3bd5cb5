// Base64 against its examples and against coreutils' base64 on random data,
// and the whole-file forms.

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "base/Crc.h"
#include "core/Base64.h"
#include "tests/core/services/ServicesTestSupport.h"

using servicestest::TempFolder;

TEST(Base64, Examples) {
  EXPECT_EQ(Base64Encode(std::string_view("abc")), "YWJj");
  EXPECT_EQ(Base64Encode(std::string_view("ab")), "YWI=");
  EXPECT_EQ(Base64Encode(std::string_view("a")), "YQ==");
  EXPECT_EQ(Base64Encode(std::string_view("")), "");
  EXPECT_EQ(Base64Encode(std::string_view("\xFF\xFE\x00", 3)), "//4A");
  EXPECT_EQ(Base64Decode("YWJj"), "abc");
  EXPECT_EQ(Base64Decode("YWI="), "ab");
  EXPECT_EQ(Base64Decode("YQ=="), "a");
  EXPECT_EQ(Base64Decode("//4A"), std::string("\xFF\xFE\x00", 3));
}

TEST(Base64, DecodingOddInput) {
  EXPECT_EQ(Base64Decode(""), "");
  EXPECT_EQ(Base64Decode("YWJ"), "");  // not a multiple of four
  EXPECT_EQ(Base64Decode("YWJjY"), "");
  EXPECT_EQ(Base64Decode("YW*j"), Base64Decode("YWAj"));  // outside the alphabet: 0
  EXPECT_EQ(Base64Decode("===="), std::string(1, '\0'));  // at most two count
}

TEST(Base64, AgreesWithCoreutilsOnRandomData) {
  TempFolder dir;
  std::mt19937 random(20240229);
  for (std::size_t size : {1u, 2u, 3u, 4u, 5u, 57u, 58u, 59u, 1000u, 4096u, 65537u}) {
    std::string data(size, '\0');
    for (char& c : data) c = static_cast<char>(random());
    dir.Write("in.bin", data);
    std::string cmd = "base64 -w0 '" + dir.Native("in.bin") + "' > '" + dir.Native("out.b64") + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::string reference = dir.Read("out.b64");
    std::string ours = Base64Encode(data);
    EXPECT_EQ(ours, reference) << size;

    dir.Write("ours.b64", ours);
    cmd = "base64 -d '" + dir.Native("ours.b64") + "' > '" + dir.Native("back.bin") + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(dir.Read("back.bin"), data) << size;
    EXPECT_EQ(Base64Decode(reference), data) << size;
  }
}

TEST(Base64, WholeFiles) {
  TempFolder dir;
  std::string data = "GIF89a\x01\x00\x01\x00\x80\x00";
  dir.Write("Images/DOT.GIF", data);
  std::uint32_t crc = 0;
  std::optional<std::string> text = FileToBase64(dir.System("images\\dot.gif"), crc);
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(*text, Base64Encode(data));
  EXPECT_EQ(crc, Crc32::Of(data.data(), static_cast<std::uint32_t>(data.size())));

  std::uint32_t untouched = 1234;
  EXPECT_FALSE(FileToBase64(dir.System("missing.gif"), untouched).has_value());
  EXPECT_EQ(untouched, 1234u);

  dir.Write("copy.gif", "old longer content");
  EXPECT_TRUE(Base64ToFile(dir.System("copy.gif"), *text));
  EXPECT_EQ(dir.Read("copy.gif"), data);
  EXPECT_FALSE(Base64ToFile(dir.System("no\\folder\\x.gif"), *text));
}
