// The reader on broken input: every prefix of a valid project, mutated
// projects, binary data, very deep and very large documents. It must report
// the error bit of where the text broke off, keep a consistent tree and never
// crash (these tests also run under AddressSanitizer).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/XmlDocument.h"
#include "tests/core/xml/XmlTestUtil.h"

namespace {

constexpr std::uint32_t kAllBits = 0x2 | 0x4 | 0x8 | 0x10 | 0x20 | 0x40 | 0x80 | 0x100 | 0x200 | 0x400;

bool IsStop(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '"' || c == '\'' || c == '/' || c == '<' || c == '=' ||
         c == '>' || c == '?';
}
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::size_t FirstStop(const std::string& s, std::size_t from) {
  for (std::size_t i = from; i < s.size(); ++i)
    if (IsStop(s[i])) return i;
  return std::string::npos;
}

// The innermost element left open by the complete tags before `end`, for a
// document without '>' inside values and comments.
std::string OpenElement(const std::string& doc, std::size_t end) {
  std::vector<std::string> open;
  std::size_t i = 0;
  while ((i = doc.find('<', i)) != std::string::npos && i < end) {
    std::size_t gt = doc.find('>', i);
    if (gt == std::string::npos || gt >= end) break;
    std::string tag = doc.substr(i + 1, gt - i - 1);
    i = gt + 1;
    if (tag.empty() || tag[0] == '!' || tag[0] == '?') continue;
    if (tag[0] == '/') {
      open.pop_back();
      continue;
    }
    if (tag.back() == '/') continue;
    open.push_back(tag.substr(0, FirstStop(tag, 0)));
  }
  return open.empty() ? std::string() : open.back();
}

// What the reader must report for a prefix of a valid document in the
// writer's layout: decided from the construct that the prefix breaks off in.
std::uint32_t ExpectedError(const std::string& doc, std::size_t n) {
  const std::string prefix = doc.substr(0, n);
  const std::size_t lt = prefix.rfind('<');
  if (lt == std::string::npos || prefix.find('>', lt) != std::string::npos) {
    // In text: cut short when an element is still open.
    return OpenElement(doc, n).empty() ? 0 : 0x400;
  }
  const std::string seg = prefix.substr(lt);
  if (seg.size() == 1) return 0x2;
  if (seg[1] == '!') {
    std::size_t stop = FirstStop(seg, 1);
    if (stop == std::string::npos) return 0x2;  // "<!--word" ends in its token
    return seg.compare(1, 3, "!--") == 0 && (IsBlank(seg[stop]) || seg[stop] == '/') ? 0x4 : 0x2;
  }
  if (seg[1] == '/') {
    const std::string name = seg.substr(2);
    if (name.empty()) return 0x8;
    return name == OpenElement(doc, lt) ? 0x200 : 0x100;
  }
  std::string rest = seg.substr(seg[1] == '?' ? 2 : 1);
  std::size_t j = FirstStop(rest, 0);
  if (j == std::string::npos) return 0x2;  // in the name (or nothing after "<?")
  if (rest[j] == '/') return 0x200;
  ++j;  // after the blank
  for (;;) {
    while (j < rest.size() && IsBlank(rest[j])) ++j;
    if (j == rest.size()) return 0x20;
    if (rest[j] == '/' || rest[j] == '?') return 0x200;
    std::size_t k = FirstStop(rest, j);
    if (k == std::string::npos) return 0x10;  // in an attribute name
    j = k + 1;                                // after '='
    if (j == rest.size()) return 0x80;
    std::size_t close = rest.find(rest[j], j + 1);
    if (close == std::string::npos) return 0x80;  // in a value
    j = close + 1;
  }
}

int CountLf(const std::string& s, std::size_t n) {
  return static_cast<int>(std::count(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n), '\n'));
}

TEST(XmlParserRobustness, EveryPrefixOfAProject) {
  for (const char* file : {"project-crlf.xml", "project-lf.xml"}) {
    SCOPED_TRACE(file);
    const std::string doc = xmltest::ReadFileBytes(xmltest::DataPath(file));
    ASSERT_FALSE(doc.empty());
    const std::size_t topEnd = doc.find("</web>") + 6;
    int checked = 0;
    for (std::size_t n = 1; n < doc.size(); ++n) {
      TmyXMLParser parser;
      std::unique_ptr<TmyXmlNode> root(xmltest::ParseText(parser, doc.substr(0, n)));
      ASSERT_NE(root, nullptr);
      const std::uint32_t expected = n >= topEnd ? 0 : ExpectedError(doc, n);
      ASSERT_EQ(parser.errorWord, expected)
          << "prefix of " << n << " bytes: ..." << doc.substr(n > 30 ? n - 30 : 0, n > 30 ? 30 : n);
      if (n < topEnd) {
        ASSERT_EQ(parser.GetLine(), 1 + CountLf(doc, n)) << "prefix of " << n << " bytes";
      }
      ASSERT_TRUE(xmltest::TreeIsConsistent(root.get()));
      checked += expected != 0;
    }
    EXPECT_GT(checked, 500);  // most cuts fall inside tags
  }
}

struct Rng {
  std::uint64_t s;
  std::uint32_t Next() {
    s = s * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::uint32_t>(s >> 33);
  }
  std::size_t Below(std::size_t n) { return n == 0 ? 0 : Next() % n; }
};

std::string Mutate(std::string text, Rng& rng) {
  static const char kInteresting[] = "<>/?!=\"' -&;\n\r\tx#";
  int edits = 1 + static_cast<int>(rng.Below(4));
  for (int e = 0; e < edits; ++e) {
    std::size_t at = rng.Below(text.size() + 1);
    char c = rng.Below(4) == 0 ? static_cast<char>(rng.Next()) : kInteresting[rng.Below(sizeof kInteresting - 1)];
    switch (rng.Below(4)) {
      case 0:
        if (at < text.size()) text[at] = c;
        break;
      case 1: text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), c); break;
      case 2:
        if (at < text.size()) text.erase(at, 1 + rng.Below(8));
        break;
      default: {
        std::size_t from = rng.Below(text.size());
        text.insert(at, text.substr(from, rng.Below(40)));
      }
    }
  }
  return text;
}

// Parses, checks, writes what was read and reads that again.
void CheckSurvives(const std::string& text) {
  TmyXMLParser doc;
  doc.progress = false;
  if (!doc.LoadFromString(text.c_str())) return;
  std::unique_ptr<TmyXmlNode> root(doc.Parse());
  ASSERT_NE(root, nullptr);
  const std::uint32_t e = doc.errorWord;
  ASSERT_TRUE(e == 0 || ((e & kAllBits) == e && (e & (e - 1)) == 0)) << "error word " << e;
  ASSERT_GE(doc.GetLine(), 1);
  ASSERT_LE(doc.GetLine(), 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n')));
  ASSERT_TRUE(xmltest::TreeIsConsistent(root.get()));
  std::string written = xmltest::WriteText(doc, root.get());
  TmyXMLParser again;
  std::unique_ptr<TmyXmlNode> back(xmltest::ParseText(again, written));
  if (back != nullptr) {
    ASSERT_TRUE(xmltest::TreeIsConsistent(back.get()));
  }
}

TEST(XmlParserRobustness, MutatedProjects) {
  const std::string doc = xmltest::ReadFileBytes(xmltest::DataPath("project-crlf.xml"));
  Rng rng{20240601};
  for (int i = 0; i < 4000; ++i) {
    std::string mutant = Mutate(doc, rng);
    SCOPED_TRACE(i);
    CheckSurvives(mutant);
    if (HasFatalFailure()) return;
  }
}

TEST(XmlParserRobustness, TargetedMutations) {
  struct Case {
    const char* from;
    const char* to;
    std::uint32_t bits;
    int line;
  };
  const Case cases[] = {
      {"</object>", "</Object>", 0x100, 15},
      {"<label caption=\"", "<label caption=", 0x80, 13},  // value without quotes
      {"<!--objects-->", "<!--objects", 0x4, 27},          // no "-->" up to the end
      {"<!--objects-->", "<!DOCTYPE x>", 0x2, 10},
      {"<!--objects-->", "<![CDATA[x]]>", 0x2, 10},
      // The value runs on to the next quote; "Tlak" then is an attribute name
      // that no '=' follows.
      {"uid=\"00A1F3\"", "uid=\"00A1F3", 0x40, 13},
      // An unclosed start tag leaves its element open: the top element's end tag
      // then closes the wrong element.
      {"gridy=\"8\" />", "gridy=\"8\" >", 0x100, 26},
      {"<text>", "<text a>", 0x10, 18},
      {"<text>", "<text a >", 0x40, 18},
      {"</group>", "</group", 0x200, 26},
  };
  const std::string doc = xmltest::ReadFileBytes(xmltest::DataPath("project-crlf.xml"));
  for (const Case& c : cases) {
    std::string text = doc;
    std::size_t at = text.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.from;
    text.replace(at, std::string(c.from).size(), c.to);
    TmyXMLParser p;
    std::unique_ptr<TmyXmlNode> root(xmltest::ParseText(p, text));
    EXPECT_EQ(p.errorWord, c.bits) << c.to;
    EXPECT_EQ(p.GetLine(), c.line) << c.to;
    EXPECT_TRUE(xmltest::TreeIsConsistent(root.get()));
  }
}

TEST(XmlParserRobustness, BinaryInput) {
  Rng rng{7};
  for (int i = 0; i < 60; ++i) {
    std::string bytes(4096 + rng.Below(60000), '\0');
    for (char& c : bytes) c = static_cast<char>(rng.Next() | (i % 2 ? 0x01 : 0));  // odd rounds: no NUL
    SCOPED_TRACE(i);
    CheckSurvives(bytes);
    // The same with '<' sprinkled in, so that the state machine gets going.
    for (std::size_t k = 0; k < bytes.size(); k += 1 + rng.Below(16)) bytes[k] = "<>/=\" "[rng.Below(6)];
    CheckSurvives(bytes);
  }
}

TEST(XmlParserRobustness, DeepAndLargeDocuments) {
  // 300 000 open elements: the text ends inside them.
  std::string deep;
  for (int i = 0; i < 300000; ++i) deep += "<a>";
  TmyXMLParser doc;
  doc.indent = false;
  doc.progress = false;
  std::unique_ptr<TmyXmlNode> root(xmltest::ParseText(doc, deep));
  EXPECT_EQ(doc.errorWord, static_cast<std::uint32_t>(XML_ERR_OPEN_AT_END));
  std::string written = xmltest::WriteText(doc, root.get());
  // "<a>\r\n" down, "<a></a>\r\n" at the bottom, "</a>\r\n" up.
  EXPECT_EQ(written.size(), 299999u * 11 + 9);
  TmyXMLParser again;
  std::unique_ptr<TmyXmlNode> back(xmltest::ParseText(again, written));
  EXPECT_EQ(again.errorWord, 0u);
  EXPECT_EQ(again.GetLine(), 599999);  // the top element's end tag

  // One element with 200 000 attributes and a value of 8 MB.
  std::string wide = "<a";
  for (int i = 0; i < 200000; ++i) wide += " x" + std::to_string(i) + "=\"v\"";
  wide += ">" + std::string(8u << 20, 'z') + "</a>";
  TmyXMLParser w;
  std::unique_ptr<TmyXmlNode> big(xmltest::ParseText(w, wide));
  EXPECT_EQ(w.errorWord, 0u);
  EXPECT_EQ(big->firstChild->lastAttr->name, "x199999");
  EXPECT_EQ(big->firstChild->value.size(), 8u << 20);

  // A huge value that never closes its quote.
  std::string open = "<a x=\"" + std::string(4u << 20, 'q');
  TmyXMLParser o;
  std::unique_ptr<TmyXmlNode> broken(xmltest::ParseText(o, open));
  EXPECT_EQ(o.errorWord, 0x80u);
}

TEST(XmlParserRobustness, TreesOutliveTheirDocumentAndMoveBetweenTrees) {
  std::unique_ptr<TmyXmlNode> a;
  std::unique_ptr<TmyXmlNode> b;
  {
    TmyXMLParser doc;
    a.reset(xmltest::ParseText(doc, "<web><page name=\"1\"/><page name=\"2\"/></web>"));
    b.reset(xmltest::ParseText(doc, "<web><group/></web>"));
  }
  // Parsed nodes and nodes made in memory mix freely and go one by one.
  TmyXmlNode* page = a->firstChild->firstChild;
  page->Unlink();
  b->firstChild->firstChild->AddChild("x")->SetAttr("y", "z");
  delete b->firstChild->AddChild("slot")->ReplaceWith(page);
  a.reset();
  EXPECT_EQ(xmltest::ChildNames(b->firstChild), "group,page");
  b->firstChild->lastChild->SetAttr("name", "a longer value than fits inline in a string");
  b.reset();
}

}  // namespace
