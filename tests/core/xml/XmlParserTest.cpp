// The reader: its language, its error bits and where it stops.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "core/XmlDocument.h"
#include "tests/core/xml/XmlTestUtil.h"

using xmltest::AttrList;
using xmltest::ChildNames;

namespace {

struct Parsed {
  TmyXMLParser doc;
  std::unique_ptr<TmyXmlNode> root;
  explicit Parsed(const std::string& text) : root(xmltest::ParseText(doc, text)) {}
  std::uint32_t error() const { return doc.errorWord; }
  TmyXmlNode* top() const { return root->firstChild; }
};

TEST(XmlParser, ElementsAttributesAndText) {
  Parsed p("<web version=\"8.1\" name='Demo'>\r\n\t<group name=\"g\">\r\n\t\t<page/>\r\n\t</group>\r\n</web>\r\n");
  ASSERT_EQ(p.error(), 0u);
  EXPECT_EQ(p.root->name, "Wrapper");
  EXPECT_EQ(ChildNames(p.root.get()), "web");
  TmyXmlNode* web = p.top();
  EXPECT_EQ(AttrList(web), "version=8.1,name=Demo");  // both quote kinds, in order
  EXPECT_EQ(web->line, 1);
  TmyXmlNode* page = web->firstChild->firstChild;
  EXPECT_EQ(page->name, "page");
  EXPECT_TRUE(page->closed);
  EXPECT_EQ(page->line, 3);
  EXPECT_FALSE(web->closed);
  EXPECT_TRUE(xmltest::TreeIsConsistent(p.root.get()));
  EXPECT_EQ(p.doc.GetLine(), 5);  // stopped at the end tag of the top element
}

TEST(XmlParser, TextAroundAChildIsJoinedByOneBlank) {
  Parsed p("<a>text<b/>more</a>");
  ASSERT_EQ(p.error(), 0u);
  EXPECT_EQ(p.top()->value, "text more");
  EXPECT_EQ(ChildNames(p.top()), "b");
  EXPECT_TRUE(p.top()->firstChild->closed);
}

TEST(XmlParser, BlanksInFrontOfText) {
  // Two words after a start tag without attributes lose the blanks in front.
  EXPECT_EQ(Parsed("<a>  two words</a>").top()->value, "two words");
  // After a start tag that ends in an attribute value they keep them.
  EXPECT_EQ(Parsed("<a x=\"1\">  two words</a>").top()->value, "  two words");
  // A single word followed directly by '<' loses them in both cases.
  EXPECT_EQ(Parsed("<a>  word</a>").top()->value, "word");
  EXPECT_EQ(Parsed("<a x=\"1\">  word</a>").top()->value, "word");
  // After a comment or a self-closed child the text starts right after '>'.
  EXPECT_EQ(Parsed("<a><!--c-->  two words</a>").top()->value, "  two words");
  EXPECT_EQ(Parsed("<a><b />  two words</a>").top()->value, "  two words");
  EXPECT_EQ(Parsed("<a><b></b>  two words</a>").top()->value, "two words");
}

TEST(XmlParser, TextStartingWithAQuoteKeepsIt) {
  EXPECT_EQ(Parsed("<a>\"Hello\" world</a>").top()->value, "\"Hello\" world");
  EXPECT_EQ(Parsed("<a>'x'</a>").top()->value, "'x'");
}

TEST(XmlParser, Entities) {
  Parsed p("<a v=\"&lt;&amp;&gt;&quot;&nbsp;&apos;&#65;\">x &amp;lt; y &#169;</a>");
  ASSERT_EQ(p.error(), 0u);
  EXPECT_EQ(p.top()->GetAttr("v"), "<&>\"\xA0&apos;&#65;");
  // An encoded ampersand before another entity's letters is decoded once.
  EXPECT_EQ(p.top()->value, "x &lt; y &#169;");
}

TEST(XmlParser, CommentsAndInstructions) {
  Parsed p(
      "<?xml version=\"1.0\" encoding=\"windows-1250\"?>\n<!-- \"quoted\" text -->\n<web>\n<!--a-b--><!---->\n</web>");
  ASSERT_EQ(p.error(), 0u);
  EXPECT_EQ(ChildNames(p.root.get()), "xml, \"quoted\" text ,web");
  TmyXmlNode* decl = p.root->firstChild;
  EXPECT_TRUE(decl->instruction);
  EXPECT_TRUE(decl->closed);
  EXPECT_EQ(AttrList(decl), "version=1.0,encoding=windows-1250");
  TmyXmlNode* comment = decl->next;
  EXPECT_TRUE(comment->comment);
  EXPECT_TRUE(comment->closed);
  EXPECT_EQ(comment->line, 2);
  TmyXmlNode* web = comment->next;
  EXPECT_EQ(ChildNames(web), "a-b,");  // the empty comment ends at its own "-->"
  EXPECT_TRUE(web->lastChild->comment);
  EXPECT_EQ(p.doc.GetLine(), 5);
}

TEST(XmlParser, ReadingStopsWhenTheFirstTopElementCloses) {
  Parsed crc("<web a=\"1\">\r\n</web>\r\n<!--Crc=\"1A2B\"-->\r\n");
  EXPECT_EQ(crc.error(), 0u);
  EXPECT_EQ(ChildNames(crc.root.get()), "web");  // the CRC line is not read
  Parsed second("<a></a><b></b>");
  EXPECT_EQ(ChildNames(second.root.get()), "a");
  // Self-closed top elements, comments and instructions do not end it.
  Parsed closedFirst("<?pi ?><!-- c --><a/><b>x</b><c/>");
  EXPECT_EQ(closedFirst.error(), 0u);
  EXPECT_EQ(ChildNames(closedFirst.root.get()), "pi, c ,a,b");
}

TEST(XmlParser, ByteOrderMarkBecomesTheRootText) {
  Parsed p("\xEF\xBB\xBF<web></web>");
  EXPECT_EQ(p.error(), 0u);
  EXPECT_EQ(p.root->value, "\xEF\xBB\xBF");
  EXPECT_EQ(ChildNames(p.root.get()), "web");
}

TEST(XmlParser, TokensAfterTheClosingSlashAreNotLookedAt) {
  EXPECT_EQ(Parsed("<a/ >").error(), 0u);
  EXPECT_EQ(Parsed("<a></a x>").error(), 0u);
}

TEST(XmlParser, EndTagWithBlankBeforeGt) {
  Parsed p("<a><b/><c></c></a >");
  EXPECT_EQ(p.error(), 0u);
  EXPECT_EQ(ChildNames(p.top()), "b,c");
  Parsed q("<a><b></b ><c/></a>");
  EXPECT_EQ(q.error(), 0u);
  EXPECT_EQ(ChildNames(q.top()), "b,c");
}

TEST(XmlParser, AttributeNameBlankSecondName) {
  // The token between the blank and '=' is not looked at.
  Parsed p("<a x y=\"1\"/>");
  EXPECT_EQ(p.error(), 0u);
  EXPECT_EQ(AttrList(p.top()), "x=1");
}

TEST(XmlParser, InstructionQuirks) {
  // "<?name?>": the '?' right after the name counts as another "<?".
  Parsed p("<?xml?>");
  EXPECT_EQ(p.error(), 0x8u);
  // Without "?>" the instruction is an element that is not entered.
  Parsed q("<?pi a=\"1\"><b/>");
  EXPECT_EQ(q.error(), 0u);
  EXPECT_EQ(ChildNames(q.root.get()), "pi,b");
  EXPECT_FALSE(q.root->firstChild->instruction);
}

struct ErrorCase {
  const char* text;
  std::uint32_t bits;
  int line;
};

TEST(XmlParser, ErrorBits) {
  const ErrorCase cases[] = {
      {"<a></A>", 0x100, 1},  // end tag differs in case
      {"<a>\n<b>\n</c></a>", 0x100, 3},
      {"<!DOCTYPE html>", 0x2, 1},  // declaration
      {"<a><![CDATA[x]]></a>", 0x2, 1},
      {"<a x=1>", 0x80, 1},      // value without quotes
      {"<a x=\"1>", 0x80, 1},    // closing quote missing
      {"<a x>", 0x10, 1},        // name directly before '>'
      {"<a x >", 0x40, 1},       // name, blank, '>'
      {"<a><!-- open", 0x4, 1},  // comment never closed
      {"<a>\n<!-- open\n\n", 0x4, 4},
      {"<!--\"x\"-->", 0x2, 1},  // comment text begins with a quote
      {"<!--x=1-->", 0x2, 1},
      {"<?pi?>", 0x8, 1},  // '?' right after the name
      {"<>", 0x8, 1},
      {"</>", 0x8, 1},
      {"<a=\"1\">", 0x2, 1},
      {"<a \"x\">", 0x10, 1},
      {"<a \"\">", 0x20, 1},
      {"<a =\"1\">", 0x20, 1},
      {"<a/=>", 0x200, 1},
      {"<a></a/>", 0x200, 1},
      {"<a></a x=>", 0x200, 1},
      {"</Wrapper>", 0x100, 1},  // the root is not closed by the text
      {"<a", 0x2, 1},            // ends in a name
      {"<", 0x2, 1},
      {"<a x=\"1\"", 0x20, 1},
      {"<a x", 0x10, 1},
      {"<a x ", 0x40, 1},
      {"<a x=", 0x80, 1},
      {"<a/", 0x200, 1},
      {"<a></a", 0x200, 1},
      {"<a></", 0x8, 1},
  };
  for (const ErrorCase& c : cases) {
    Parsed p(c.text);
    EXPECT_EQ(p.error(), c.bits) << c.text;
    EXPECT_EQ(p.doc.GetLine(), c.line) << c.text;
    EXPECT_TRUE(xmltest::TreeIsConsistent(p.root.get())) << c.text;
  }
}

TEST(XmlParser, TextEndingInsideOpenElementsIsCutShort) {
  // A file cut short: the tree keeps what was read, and the error word says
  // that it is not the whole document.
  Parsed p("<a v=\"1\"><b>text\n<c>more words");
  EXPECT_EQ(p.error(), static_cast<std::uint32_t>(XML_ERR_OPEN_AT_END));
  TmyXmlNode* b = p.top()->firstChild;
  EXPECT_EQ(b->value, "text\n");  // a piece runs up to the next '<'
  EXPECT_EQ(b->firstChild->value, "more words");
  EXPECT_EQ(p.doc.GetLine(), 2);
  EXPECT_TRUE(xmltest::TreeIsConsistent(p.root.get()));
  // The tree holds everything read up to an error.
  Parsed q("<a><b x=\"1\"/><c y=2/></a>");
  EXPECT_EQ(q.error(), 0x80u);
  EXPECT_EQ(ChildNames(q.top()), "b,c");
  EXPECT_EQ(AttrList(q.top()->lastChild), "y=");
}

TEST(XmlParser, OnlyTextsLeftOpenAreCutShort) {
  struct Case {
    const char* text;
    std::uint32_t bits;
    int line;
  };
  const Case cases[] = {
      {"<a>", XML_ERR_OPEN_AT_END, 1},
      {"<a><b/>", XML_ERR_OPEN_AT_END, 1},
      {"<a><b></b>", XML_ERR_OPEN_AT_END, 1},
      {"<a>\n<b>\n", XML_ERR_OPEN_AT_END, 3},
      {"<a><!-- c -->", XML_ERR_OPEN_AT_END, 1},
      {"<a><?pi ?>", XML_ERR_OPEN_AT_END, 1},
      {"<?xml version=\"1.0\"?>\r\n<web>\r\n\t<page>", XML_ERR_OPEN_AT_END, 3},
      // Whole documents, and texts that open no element, read as before.
      {"<a></a>", 0, 1},
      {"<a/>", 0, 1},
      {"<a></a>\n<b>", 0, 1},  // nothing after the first top element is read
      {"<?xml version=\"1.0\"?>\r\n", 0, 2},
      {"<!-- only a comment -->", 0, 1},
      {"just text", 0, 1},
      {"<a/><b/>", 0, 1},
  };
  for (const Case& c : cases) {
    Parsed p(c.text);
    EXPECT_EQ(p.error(), c.bits) << c.text;
    EXPECT_EQ(p.doc.GetLine(), c.line) << c.text;
    EXPECT_TRUE(xmltest::TreeIsConsistent(p.root.get())) << c.text;
  }
}

TEST(XmlParser, LinesCountEveryLineFeed) {
  Parsed p("<a\nx=\"1\ny\"\n>\n<b\n/>\n<!-- 1\n2 -->\ntext\nmore\n<c/></a>");
  ASSERT_EQ(p.error(), 0u);
  EXPECT_EQ(p.top()->line, 1);
  EXPECT_EQ(p.top()->GetAttr("x"), "1\ny");
  TmyXmlNode* b = p.top()->firstChild;
  EXPECT_EQ(b->line, 5);
  EXPECT_EQ(b->next->line, 7);
  EXPECT_EQ(b->next->next->line, 11);
  EXPECT_EQ(p.top()->value, "\ntext\nmore\n");  // starts right after the comment's '>'
  EXPECT_EQ(p.doc.GetLine(), 11);
}

TEST(XmlParser, BuffersAndLoading) {
  TmyXMLParser doc;
  EXPECT_EQ(doc.Parse(), nullptr);  // never held a buffer
  EXPECT_FALSE(doc.LoadFromString(""));
  EXPECT_EQ(doc.Parse(), nullptr);
  ASSERT_TRUE(doc.LoadFromString("<a>1</a>"));
  EXPECT_FALSE(doc.LoadFromString(""));  // keeps the old buffer
  std::unique_ptr<TmyXmlNode> root(doc.Parse());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->firstChild->value, "1");
  std::unique_ptr<TmyXmlNode> again(doc.Parse());  // the buffer is unchanged by a parse
  EXPECT_TRUE(xmltest::SameTree(root.get(), again.get()));

  EXPECT_FALSE(doc.LoadFromFile(xmltest::DataPath("missing.xml")));
  ASSERT_TRUE(doc.LoadFromFile(xmltest::DataPath("project-crlf.xml")));
  std::unique_ptr<TmyXmlNode> project(doc.Parse());
  EXPECT_EQ(doc.errorWord, 0u);
  EXPECT_EQ(ChildNames(project.get()), "xml, Tarnwell web project ,web");

  // Backslash paths with another case than on disk, as the system writes them.
  std::string dir = xmltest::TempDir();
  { std::ofstream(dir + "/Page.XML") << "<p/>"; }
  ASSERT_TRUE(doc.LoadFromFile(dir + "\\page.xml"));
  std::unique_ptr<TmyXmlNode> page(doc.Parse());
  EXPECT_EQ(ChildNames(page.get()), "p");
}

TEST(XmlParser, TextEndsAtItsFirstNul) {
  TmyXMLParser doc;
  std::string dir = xmltest::TempDir();
  std::string bytes("<a>x</a>", 8);
  bytes.insert(4, std::string("\0<b/>", 5));
  { std::ofstream(dir + "/nul.xml", std::ios::binary) << bytes; }
  ASSERT_TRUE(doc.LoadFromFile(dir + "/nul.xml"));
  std::unique_ptr<TmyXmlNode> root(doc.Parse());
  EXPECT_EQ(doc.errorWord, static_cast<std::uint32_t>(XML_ERR_OPEN_AT_END));  // "<a>x" is all there is
  EXPECT_EQ(root->firstChild->ChildCount(), 0);
}

}  // namespace
