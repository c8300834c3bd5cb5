// Entities, script-string escapes and the code-page conversions to UTF-8.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/TextEncoding.h"
#include "platform/win/CodePage.h"

namespace {

TEST(HtmlEntities, Encode) {
  EXPECT_EQ(EncodeHtmlEntities("plain 'text' \xA0 here"), "plain 'text' \xA0 here");
  EXPECT_EQ(EncodeHtmlEntities("a<b>c\"d&e"), "a&lt;b&gt;c&quot;d&amp;e");
  EXPECT_EQ(EncodeHtmlEntities("&#169; &#x41;"), "&#169; &#x41;");  // references pass
  EXPECT_EQ(EncodeHtmlEntities("end&"), "end&amp;");
  EXPECT_EQ(EncodeHtmlEntities("&&#"), "&amp;&#");
  EXPECT_EQ(EncodeHtmlEntities(""), "");
  std::string out = "x";
  AppendHtmlEntities(out, "<y>");
  EXPECT_EQ(out, "x&lt;y&gt;");
}

TEST(HtmlEntities, Decode) {
  EXPECT_EQ(DecodeHtmlEntities("&amp;&gt;&lt;&nbsp;&quot;"), "&><\xA0\"");
  EXPECT_EQ(DecodeHtmlEntities("&amp;lt;"), "&lt;");  // decoded once
  EXPECT_EQ(DecodeHtmlEntities("&&amp;"), "&&");
  EXPECT_EQ(DecodeHtmlEntities("&apos; &#169; &copy;"), "&apos; &#169; &copy;");
  EXPECT_EQ(DecodeHtmlEntities("&nbsp"), "&nbsp");  // not entirely inside the text
  EXPECT_EQ(DecodeHtmlEntities("x&am"), "x&am");
  EXPECT_EQ(DecodeHtmlEntities("&AMP;"), "&AMP;");
  EXPECT_EQ(DecodeHtmlEntities("no entities"), "no entities");
  // What the writer encodes comes back.
  const std::string all = "<>&\"'\xA0&#1; &amp; x";
  EXPECT_EQ(DecodeHtmlEntities(EncodeHtmlEntities(all)), all);
}

TEST(JsString, Escape) {
  EXPECT_EQ(EscapeJsString("plain"), "plain");
  const std::string s = "it's a\\b";
  EXPECT_EQ(EscapeJsString(s), "it\\'s a\\\\b");
  EXPECT_EQ(EscapeJsString(s).size(), s.size() + 2);
  EXPECT_EQ(EscapeJsString("\\'"), "\\\\\\'");
}

TEST(CountLineFeeds, Counts) {
  EXPECT_EQ(CountLineFeeds(""), 0u);
  EXPECT_EQ(CountLineFeeds("a\r\nb\n\nc\r"), 3u);
}

std::string Utf8Of(char32_t c) {
  std::u16string w;
  if (c >= 0x10000) {
    w += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    w += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
  } else {
    w += static_cast<char16_t>(c);
  }
  return WideToMultiByte(CP_UTF8, w);
}

TEST(AnsiToUtf8, TableExamples) {
  EXPECT_EQ(AnsiToUtf8("\x8A", 1250), "\xC5\xA0");
  EXPECT_EQ(AnsiToUtf8("\x8A", 1251), Utf8Of(0x0409));
  EXPECT_EQ(AnsiToUtf8("\x8A", 1252), Utf8Of(0x0160));
  EXPECT_EQ(AnsiToUtf8("\x81", 1250), Utf8Of(0xFFFD));
  EXPECT_EQ(AnsiToUtf8("\xC1\xE2", 1253), Utf8Of(0x0391) + Utf8Of(0x03B2));
  EXPECT_EQ(AnsiToUtf8("P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD", 1250),
            "P\xC5\x99\xC3\xADli\xC5\xA1 \xC5\xBElu\xC5\xA5ou\xC4\x8Dk\xC3\xBD");
  EXPECT_EQ(AnsiToUtf8("", 1250), "");
  // A char pointer ends at its NUL; a text view keeps every byte.
  EXPECT_EQ(AnsiToUtf8("ab\0cd", 1252), "ab");
  EXPECT_EQ(AnsiToUtf8(std::string_view("ab\0c\xE9", 5), 1252), std::string("ab\0c\xC3\xA9", 6));
}

TEST(AnsiToUtf8, TablesEqualTheCodePageDefinitions) {
  // Positions the code pages leave undefined.
  const std::vector<int> undefined1250 = {0x81, 0x83, 0x88, 0x90, 0x98};
  const std::vector<int> undefined1251 = {0x98};
  const std::vector<int> undefined1252 = {0x81, 0x8D, 0x8F, 0x90, 0x9D};
  const std::vector<int> undefined1253 = {0x81, 0x88, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x98,
                                          0x9A, 0x9C, 0x9D, 0x9E, 0x9F, 0xAA, 0xD2, 0xFF};
  struct Page {
    int cp;
    char16_t (*fn)(unsigned char);
    const std::vector<int>* undefined;
  };
  const Page pages[] = {{1250, Cp1250ToUnicode, &undefined1250},
                        {1251, Cp1251ToUnicode, &undefined1251},
                        {1252, Cp1252ToUnicode, &undefined1252},
                        {1253, Cp1253ToUnicode, &undefined1253}};
  for (const Page& p : pages) {
    for (int b = 1; b < 256; ++b) {
      const char byte[2] = {static_cast<char>(b), 0};
      const bool isUndefined = std::find(p.undefined->begin(), p.undefined->end(), b) != p.undefined->end();
      // The system's iconv decides on its own which bytes a code page defines.
      std::u16string platform = MultiByteToWide(static_cast<UINT>(p.cp), std::string_view(byte, 1));
      ASSERT_EQ(platform.size(), 1u);
      if (isUndefined) {
        EXPECT_EQ(p.fn(static_cast<unsigned char>(b)), u'\uFFFD') << p.cp << " " << b;
      } else {
        EXPECT_EQ(p.fn(static_cast<unsigned char>(b)), platform[0]) << p.cp << " " << b;
        EXPECT_NE(platform[0], u'\uFFFD') << p.cp << " " << b;
      }
      EXPECT_EQ(AnsiToUtf8(byte, p.cp),
                WideToMultiByte(CP_UTF8, std::u16string(1, p.fn(static_cast<unsigned char>(b)))));
    }
    EXPECT_EQ(p.fn(0x41), u'A');
  }
  EXPECT_EQ(Cp1252ToUnicode(0xE9), u'\u00E9');
  EXPECT_EQ(Cp1252ToUnicode(0x80), u'\u20AC');
}

TEST(AnsiToUtf8, ByTableWritesTheTerminator) {
  char16_t out[5] = {1, 1, 1, 1, 1};
  AnsiToUnicodeByTable(1251, "\xC0\xE0z", out);
  EXPECT_EQ(out[0], u'\u0410');
  EXPECT_EQ(out[1], u'\u0430');
  EXPECT_EQ(out[2], u'z');
  EXPECT_EQ(out[3], 0);
  EXPECT_EQ(out[4], 1);
}

TEST(AnsiToUtf8, OtherCodePages) {
  // Code page 0 is the machine's ANSI code page.
  SetAnsiCodePage(1250);
  EXPECT_EQ(AnsiToUtf8("\x9A", 0), "\xC5\xA1");
  SetAnsiCodePage(1252);
  EXPECT_EQ(AnsiToUtf8("\x9A", 0), "\xC5\xA1");  // also in 1252
  EXPECT_EQ(AnsiToUtf8("\xE8", 0), "\xC3\xA8");
  // Any other code page converts from itself (Baltic: a with ogonek).
  EXPECT_EQ(AnsiToUtf8("\xE0", 1257), Utf8Of(0x0105));
  EXPECT_EQ(AnsiToUtf8("\xE4", 866), Utf8Of(0x0444));
  // UTF-8 stays; a code page the platform does not know converts as the ANSI one.
  EXPECT_EQ(AnsiToUtf8("\xC5\xA1", 65001), "\xC5\xA1");
  EXPECT_EQ(AnsiToUtf8("\xE8", 54321), "\xC3\xA8");
}

// Only a table code page's ASCII text is already UTF-8; a high byte is found
// in the eight-byte words and in the bytes after them.
TEST(AnsiToUtf8, AsciiTextIsAlreadyUtf8) {
  SetAnsiCodePage(1250);
  EXPECT_TRUE(AnsiIsUtf8("", 1250));
  EXPECT_TRUE(AnsiIsUtf8("<xsl:stylesheet version=\"1.0\">", 1252));
  EXPECT_TRUE(AnsiIsUtf8("plain", 0));
  EXPECT_FALSE(AnsiIsUtf8("plain", 1257));
  EXPECT_FALSE(AnsiIsUtf8("eight by\xE8tes and more", 1250));
  EXPECT_FALSE(AnsiIsUtf8("sixteen bytes ..\x9A", 1250));
  // A high byte at every place of texts that end in every part of a step.
  for (std::size_t size = 1; size <= 80; ++size)
    for (std::size_t at = 0; at < size; ++at) {
      std::string text(size, 'a');
      text[at] = '\x80';
      EXPECT_FALSE(AnsiIsUtf8(text, 1250)) << size << " " << at;
    }
}

}  // namespace
