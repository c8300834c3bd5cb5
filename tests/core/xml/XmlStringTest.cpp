// The one-word text of the model: a view keeps its size (a long one is found
// at its closing NUL), an owned buffer keeps its own size, so NUL bytes inside
// an owned text stay part of it through every change, copy and move; the flags
// in the address never show in the bytes.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "core/XmlDocument.h"
#include "tests/core/xml/XmlTestUtil.h"

namespace {

using namespace std::string_view_literals;

// Texts as the reader leaves them: every name and value a view that ends
// exactly where the token ended, whatever came after it in the document.
TEST(XmlString, ParsedViewsEndWhereTheirTokensEnd) {
  const std::string kLong1(16383 - 1, 'v');
  const std::string kLong2(16383, 'n');
  const std::string kLong3(16383 + 1, 'a');
  struct Case {
    std::string text;
    std::string_view name;  // of the first element
    std::string_view attr;  // the value of its attribute "a"
    std::string_view value;
  };
  const Case kCases[] = {
      {"<n a=\"1\">v</n>", "n", "1", "v"},
      {"<name a=\"\" b=\"x\">text</name>", "name", "", "text"},
      {"<n a='&amp;&lt;&gt;&quot;&nbsp;'>&amp;</n>", "n", "&<>\"\xA0", "&"},
      {"<n\ta=\"x\ny\"\r\n/>", "n", "x\ny", ""},
      {"<n a=\"&bogus;\">a&amp</n>", "n", "&bogus;", "a&amp"},
      {"<n a=\"1\"/>", "n", "1", ""},
      {"<n a=\"\xE8\xA0\">\xFF</n>", "n", "\xE8\xA0", "\xFF"},
      // A view keeps its size up to 16382 bytes; a longer one is measured.
      {"<" + kLong2 + " a=\"" + kLong3 + "\">" + kLong1 + "</" + kLong2 + ">", kLong2, kLong3, kLong1},
      {"<" + kLong3 + " a=\"" + kLong2 + "\">" + kLong3 + "</" + kLong3 + ">", kLong3, kLong2, kLong3},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    TmyXMLParser doc;
    std::unique_ptr<TmyXmlNode> root(xmltest::ParseText(doc, c.text.c_str()));
    ASSERT_EQ(doc.errorWord, 0u);
    const TmyXmlNode* n = root->firstChild;
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->name.view(), c.name);
    EXPECT_EQ(n->name.size(), c.name.size());
    EXPECT_EQ(n->value.view(), c.value);
    EXPECT_EQ(n->value.empty(), c.value.empty());
    const TmyXmlAttrNode* a = n->FindAttr("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->value.view(), c.attr);
    EXPECT_EQ(a->value.length(), c.attr.size());
    EXPECT_FALSE(a->value.owned());
    // A view equals its own text only: not one byte shorter or longer, nor
    // its text with a NUL after it.
    EXPECT_TRUE(n->name == c.name);
    EXPECT_FALSE(n->name == c.name.substr(0, c.name.size() - 1));
    EXPECT_FALSE(n->name == std::string(c.name) + "x");
    EXPECT_FALSE(a->value == std::string(c.attr) + std::string(1, '\0'));
    if (!c.attr.empty()) {
      EXPECT_EQ(a->value.back(), c.attr.back());
    }
  }
}

// Owned texts may hold NUL bytes: each operation keeps the whole text.
TEST(XmlString, OwnedTextsKeepTheirNulBytes) {
  const std::string_view withNul = "a\0b\0"sv;
  TXmlString s(withNul);
  EXPECT_TRUE(s.owned());
  EXPECT_EQ(s.size(), 4u);
  EXPECT_FALSE(s.empty());
  EXPECT_EQ(s.view(), withNul);

  s += "\0c"sv;
  EXPECT_EQ(s.view(), "a\0b\0\0c"sv);
  s = "\0"sv;  // fits the buffer it has
  EXPECT_EQ(s.size(), 1u);
  EXPECT_FALSE(s.empty());
  EXPECT_EQ(s.str(), std::string(1, '\0'));

  TXmlString copy = s;
  EXPECT_EQ(copy.size(), 1u);
  TXmlString moved(std::move(copy));
  EXPECT_EQ(moved.size(), 1u);
  EXPECT_TRUE(copy.empty());
  EXPECT_EQ(copy.size(), 0u);
  TXmlString assigned;
  assigned = std::move(moved);
  EXPECT_EQ(assigned.view(), "\0"sv);
  EXPECT_TRUE(moved.empty());

  assigned = "";
  EXPECT_TRUE(assigned.empty());
  EXPECT_EQ(assigned.size(), 0u);
  EXPECT_STREQ(assigned.c_str(), "");
}

// A model text of a parsed tree changed into an owned one with NUL bytes,
// written and compared like any other.
TEST(XmlString, ParsedTextChangedToOneWithNulBytes) {
  TmyXMLParser doc;
  doc.progress = false;
  std::unique_ptr<TmyXmlNode> root(xmltest::ParseText(doc, "<a v=\"view\">x</a>"));
  TmyXmlAttrNode* v = root->firstChild->FindAttr("v");
  v->value.append("\0z"sv);
  EXPECT_EQ(v->value.view(), "view\0z"sv);
  EXPECT_TRUE(v->value.owned());
  root->firstChild->value = std::string_view("y\0"sv);
  EXPECT_EQ(root->firstChild->value.size(), 2u);
  root->firstChild->value.clear();
  EXPECT_TRUE(root->firstChild->value.empty());
  EXPECT_EQ(root->firstChild->name, "a");
}

// Every length up to past two words, a byte changed at each place (the first
// and last bytes of the overlapping loads among them), owned and as a parsed
// view: equal only when every byte is.
TEST(XmlString, EqualsComparesEveryByteAtEveryLength) {
  for (std::size_t n = 0; n <= 20; ++n) {
    const std::string text = std::string("abcdefghijklmnopqrstuvwxyz").substr(0, n);
    TmyXMLParser doc;
    const std::unique_ptr<TmyXmlNode> root(xmltest::ParseText(doc, "<n a=\"" + text + "\"/>"));
    const TXmlString& view = root->firstChild->FindAttr("a")->value;
    const TXmlString owned(text);
    for (const TXmlString* s : {&view, &owned}) {
      EXPECT_TRUE(s->Equals(text)) << n;
      EXPECT_FALSE(s->Equals(text + "z")) << n;
      for (std::size_t i = 0; i < n; ++i) {
        std::string other = text;
        other[i] = 'Z';
        EXPECT_FALSE(s->Equals(other)) << n << " at " << i;
      }
    }
  }
}

}  // namespace
