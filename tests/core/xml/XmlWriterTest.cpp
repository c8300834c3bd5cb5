// The writer: its layout, round trips through files, the CRC line, UTF-8,
// progress reports and what xmllint says of the result.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "base/ScopeExit.h"
#include "core/XmlDocument.h"
#include "core/XmlWriterHooks.h"
#include "platform/win/WriteFault.h"
#include "tests/core/xml/XmlTestUtil.h"

using xmltest::DataPath;
using xmltest::ReadFileBytes;
using xmltest::SameTree;
using xmltest::WriteText;

namespace {

using namespace std::string_view_literals;

// CRC-16 written out from its definition, independent of base/Crc.h: the
// message bits, most significant first, divided by x^16 + x^6 + x^3 + 1
// (0x0049) from a zero register; the result printed with its bytes exchanged.
std::uint16_t ReferenceCrc16(const std::string& bytes) {
  std::uint32_t reg = 0;  // 16 bits used
  for (unsigned char byte : bytes) {
    for (int bit = 7; bit >= 0; --bit) {
      std::uint32_t in = (byte >> bit) & 1u;
      std::uint32_t top = (reg >> 15) & 1u;
      reg = (reg << 1) & 0xFFFFu;
      if ((top ^ in) != 0) reg ^= 0x0049u;
    }
  }
  return static_cast<std::uint16_t>(((reg & 0xFF) << 8) | (reg >> 8));
}

std::string CrcLine(std::uint16_t crc) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "<!--Crc=\"%04X\"-->\r\n", crc);
  return buf;
}

struct Loaded {
  TmyXMLParser doc;
  std::unique_ptr<TmyXmlNode> root;
  explicit Loaded(const std::string& path) {
    doc.progress = false;
    if (doc.LoadFromFile(path)) root.reset(doc.Parse());
  }
};

TEST(XmlWriter, LayoutOfNodesMadeInMemory) {
  TmyXMLParser doc;
  TmyXmlNode root("Wrapper");
  TmyXmlNode* decl = root.AddChild("xml");
  decl->instruction = decl->closed = true;
  decl->SetAttr("version", "1.0");
  TmyXmlNode* note = root.AddChild(" note ");
  note->comment = note->closed = true;
  TmyXmlNode* web = root.AddChild("web");
  TmyXmlNode* group = web->AddChild("group");
  group->value = "a < b";
  group->AddChild("page")->SetAttr("name", "p1");
  TmyXmlNode* second = group->AddChild("page");
  second->closed = true;
  second->SetAttr("name", "q\"&<>'\xA0&#38;");
  web->AddChild("empty");
  EXPECT_EQ(WriteText(doc, &root),
            "<?xml version=\"1.0\" ?>\r\n"
            "<!-- note -->\r\n"
            "<web>\r\n"
            "\t<group>\r\n"
            "\t\t<page name=\"p1\"></page>\r\n"
            "\t\t<page name=\"q&quot;&amp;&lt;&gt;'\xA0&#38;\" />\r\n"
            "\ta &lt; b</group>\r\n"
            "\t<empty></empty>\r\n"
            "</web>\r\n");
  doc.indent = false;
  EXPECT_EQ(WriteText(doc, web),
            "<group>\r\n<page name=\"p1\"></page>\r\n"
            "<page name=\"q&quot;&amp;&lt;&gt;'\xA0&#38;\" />\r\na &lt; b</group>\r\n"
            "<empty></empty>\r\n");
}

TEST(XmlWriter, CommentsAndInstructionsNeverGetAnEndTag) {
  TmyXMLParser doc;
  TmyXmlNode root("Wrapper");
  root.AddChild("text")->comment = true;  // closed flag left clear
  root.AddChild("pi")->instruction = true;
  EXPECT_EQ(WriteText(doc, &root), "<!--text-->\r\n<?pi ?>\r\n");
}

// An element read as "<x />" that gets children or text afterwards must not
// lose them on the next save.
TEST(XmlWriter, ShortElementThatGainsContentIsWrittenWhole) {
  TmyXMLParser doc;
  doc.LoadFromString("<Wrapper><page name=\"p\" /><note /><empty /></Wrapper>");
  std::unique_ptr<TmyXmlNode> root(doc.Parse());
  TmyXmlNode* wrapper = root->FindDeep("Wrapper");
  ASSERT_NE(wrapper, nullptr);
  wrapper->FindChild("page", {}, false)->AddChild("object")->SetAttr("X", "1");
  wrapper->FindChild("note", {}, false)->value = "kept";
  doc.indent = false;
  EXPECT_EQ(WriteText(doc, wrapper),
            "<page name=\"p\">\r\n<object X=\"1\"></object>\r\n</page>\r\n"
            "<note>kept</note>\r\n<empty />\r\n");
}

TEST(XmlWriter, WriteNodeAtADepth) {
  TmyXMLParser doc;
  TmyXmlNode root("Wrapper");
  TmyXmlNode* a = root.AddChild("a");
  a->AddChild("b");
  root.AddChild("c");
  std::string stream = "start\r\n";
  EXPECT_EQ(&doc.WriteNode(a, stream, 2), &stream);  // the node and its following siblings
  EXPECT_EQ(stream, "start\r\n\t<a>\r\n\t\t<b></b>\r\n\t</a>\r\n\t<c></c>\r\n");
  EXPECT_EQ(doc.WriteNode(a->firstChild, 1), "<b></b>\r\n");
  EXPECT_EQ(doc.WriteNode(nullptr, 0), "");
  // Depth 0 appends the text of a root's children.
  std::string more = "x";
  EXPECT_EQ(doc.WriteNode(&root, more, 0), "x<a>\r\n\t<b></b>\r\n</a>\r\n<c></c>\r\n");
}

TEST(XmlWriter, ProjectRoundTripIsByteExact) {
  const std::string original = ReadFileBytes(DataPath("project-crlf.xml"));
  Loaded in(DataPath("project-crlf.xml"));
  ASSERT_NE(in.root, nullptr);
  ASSERT_EQ(in.doc.errorWord, 0u);
  std::string dir = xmltest::TempDir();
  std::string out = dir + "/web.xml";
  EXPECT_EQ(in.doc.SaveToFile(in.root.get(), out, false), original.size());
  EXPECT_EQ(ReadFileBytes(out), original);
  Loaded again(out);
  EXPECT_TRUE(SameTree(in.root.get(), again.root.get()));
  // Short-form elements keep " />", elements read with an end tag keep it.
  EXPECT_TRUE(again.root->FindDeep("page")->next->closed);
  EXPECT_FALSE(again.root->FindDeep("empty")->closed);
}

// A kept node's text, made once, stands in for it in every later write of
// the tree, at its own depth only, until it is forgotten.
TEST(XmlWriter, AKeptNodeIsWrittenAsItWasWhenKept) {
  const std::string original = ReadFileBytes(DataPath("project-crlf.xml"));
  Loaded in(DataPath("project-crlf.xml"));
  ASSERT_NE(in.root, nullptr);
  TmyXmlNode* page = in.root->FindDeep("page");
  ASSERT_NE(page, nullptr);
  in.doc.KeepWritten(page->parent);
  EXPECT_EQ(WriteText(in.doc, in.root.get()), original);
  page->SetAttr("name", "changed");
  EXPECT_EQ(WriteText(in.doc, in.root.get()), original);
  EXPECT_NE(in.doc.WriteNode(page->parent, 1).find("changed"), std::string::npos);
  in.doc.KeepWritten(nullptr);
  EXPECT_NE(WriteText(in.doc, in.root.get()).find("changed"), std::string::npos);
}

// Texts longer than the writer's buffer, and a kept text longer than a piece
// of it, come out whole and in order.
TEST(XmlWriter, ALargeDocumentAndALargeKeptNodeAreWrittenWhole) {
  TmyXMLParser doc;
  TmyXmlNode root("Wrapper");
  root.AddChild("head")->value = "start";
  TmyXmlNode* menu = root.AddChild("menu");
  for (int i = 0; i < 2000; ++i) menu->AddChild("item")->SetAttr("n", std::to_string(i) + " & <");
  root.AddChild("tail")->value = "end";
  const std::string whole = WriteText(doc, &root);
  std::size_t items = 0;
  for (std::size_t at = whole.find("<item n="); at != std::string::npos; at = whole.find("<item n=", at + 1)) ++items;
  EXPECT_EQ(items, 2000u);
  EXPECT_TRUE(whole.starts_with("<head>start</head>\r\n<menu>\r\n\t<item n=\"0 &amp; &lt;\"></item>\r\n"));
  EXPECT_NE(whole.find("\t<item n=\"1999 &amp; &lt;\"></item>\r\n</menu>\r\n<tail>end</tail>\r\n"), std::string::npos);
  doc.KeepWritten(menu);
  EXPECT_EQ(WriteText(doc, &root), whole);
  // A file gets the text from the writer's buffers and the kept text, in order.
  const std::string path = xmltest::TempDir() + "/large.xml";
  EXPECT_EQ(doc.SaveToFile(&root, path, false), whole.size());
  EXPECT_EQ(ReadFileBytes(path), whole);
  // The same writer's next, short text is that text alone: nothing of the large one stays.
  EXPECT_EQ(doc.WriteNode(root.lastChild, 1), "<tail>end</tail>\r\n");
}

TEST(XmlWriter, LfInputIsWrittenInTheLayout) {
  Loaded crlf(DataPath("project-crlf.xml"));
  Loaded lf(DataPath("project-lf.xml"));
  ASSERT_EQ(lf.doc.errorWord, 0u);
  EXPECT_TRUE(SameTree(crlf.root.get(), lf.root.get()));
  EXPECT_EQ(WriteText(lf.doc, lf.root.get()), ReadFileBytes(DataPath("project-crlf.xml")));
}

TEST(XmlWriter, AttributeValuesSurviveAFile) {
  TmyXMLParser doc;
  TmyXmlNode root("Wrapper");
  TmyXmlNode* e = root.AddChild("e");
  // Long enough that entities fall on every place of the writer's runs.
  std::string tricky;
  for (int i = 0; i < 40; ++i) tricky += "<tag> & \"q\" 'a' &#169; &amp; &lt;&nbsp;\t end&" + std::string(i % 7, 'x');
  e->SetAttr("v", tricky);
  e->value = tricky;
  const std::string dir = xmltest::TempDir();
  const std::string path = dir + "/t.xml";
  ASSERT_GT(doc.SaveToFile(&root, path, false), 0u);
  Loaded in(path);
  ASSERT_EQ(in.doc.errorWord, 0u);
  EXPECT_EQ(in.root->firstChild->GetAttr("v"), tricky);
  EXPECT_EQ(in.root->firstChild->value, tricky);
  // The texts read from the file (views into the document) are written alike.
  const std::string again = dir + "/t2.xml";
  ASSERT_GT(in.doc.SaveToFile(in.root.get(), again, false), 0u);
  EXPECT_EQ(ReadFileBytes(again), ReadFileBytes(path));
}

// Each byte to escape (and a NUL, which an owned text may hold) at every
// place of the writer's blocks and runs, after and before plain bytes, is
// written as a byte-by-byte escape writes it.
TEST(XmlWriter, EveryByteToEscapeAtEveryPlace) {
  const auto escaped = [](const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      out += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '"' ? "&quot;" : std::string(1, c);
      if (c == '&' && (i + 1 == text.size() || text[i + 1] != '#')) out += "amp;";
    }
    return out;
  };
  TmyXMLParser doc;
  for (const std::string_view stop : {"<"sv, ">"sv, "\""sv, "&"sv, "&#"sv, "\n"sv, "\0"sv, "<&>"sv}) {
    for (std::size_t before = 0; before < 360; before += before < 40 || before >= 330 ? 1 : 10) {
      for (std::size_t after : {0, 1, 17}) {
        const std::string text = std::string(before, 'a') + std::string(stop) + std::string(after, 'b');
        TmyXmlNode root("Wrapper");
        TmyXmlNode* e = root.AddChild("e");
        e->SetAttr("v", text);
        e->value = text;
        ASSERT_EQ(WriteText(doc, &root), "<e v=\"" + escaped(text) + "\">" + escaped(text) + "</e>\r\n")
            << before << " " << after;
        // A value escaped alone (a template's value put into written markup) is escaped alike.
        std::string alone = "x";
        AppendXmlEscaped(alone, text);
        ASSERT_EQ(alone, "x" + escaped(text)) << before << " " << after;
      }
    }
  }
}

TEST(XmlWriter, EmptyRootWritesAnEmptyFile) {
  TmyXMLParser doc;
  TmyXmlNode root("Wrapper");
  std::string path = xmltest::TempDir() + "/empty.xml";
  EXPECT_EQ(doc.SaveToFile(&root, path, false), 0u);
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  EXPECT_EQ(doc.SaveToFileCrcTag(&root, path, false, false), 19u);
  EXPECT_EQ(ReadFileBytes(path), "<!--Crc=\"0000\"-->\r\n");
}

TEST(XmlWriter, CrcLineMatchesAnIndependentCrc16) {
  Loaded in(DataPath("project-crlf.xml"));
  const std::string text = ReadFileBytes(DataPath("project-crlf.xml"));
  std::string path = xmltest::TempDir() + "/TARNWELL.XML";
  std::size_t n = in.doc.SaveToFileCrcTag(in.root.get(), path, false, false);
  const std::string expected = text + CrcLine(ReferenceCrc16(text));
  EXPECT_EQ(n, expected.size());
  EXPECT_EQ(ReadFileBytes(path), expected);
  // Reading it back ends with the top element: the CRC line is not part of the tree.
  Loaded back(path);
  EXPECT_EQ(back.doc.errorWord, 0u);
  EXPECT_TRUE(SameTree(in.root.get(), back.root.get()));
}

TEST(XmlWriter, Utf8ConversionAndCrcOverConvertedBytes) {
  Loaded in(DataPath("page-cp1250.xml"));
  ASSERT_EQ(in.doc.errorWord, 0u);
  in.doc.codePage = 1250;
  const std::string utf8 =
      "<page name=\"Motor\" width=\"640\" height=\"480\">\r\n"
      "\t<object X=\"1\" Y=\"1\" uid=\"01\">\r\n"
      "\t\t<label caption=\"Ot\xC3\xA1\xC4\x8Dky \xC5\xA1\xC3\xADp \xE2\x80\x9E\xE2\x80\x9C\" />\r\n"
      "\t</object>\r\n"
      "\t<note>\xE2\x82\xAC 12 \xE2\x80\x93 \xE2\x80\xA6</note>\r\n"
      "</page>\r\n";
  std::string dir = xmltest::TempDir();
  EXPECT_EQ(in.doc.SaveToFile(in.root.get(), dir + "/a.xml", true), utf8.size());
  EXPECT_EQ(ReadFileBytes(dir + "/a.xml"), utf8);
  in.doc.SaveToFileCrcTag(in.root.get(), dir + "/b.xml", true, false);
  EXPECT_EQ(ReadFileBytes(dir + "/b.xml"), utf8 + CrcLine(ReferenceCrc16(utf8)));
  // The 8-bit text has another CRC than its UTF-8 form.
  EXPECT_NE(ReferenceCrc16(utf8), ReferenceCrc16(ReadFileBytes(DataPath("page-cp1250.xml"))));
}

TEST(XmlWriter, NoBreakSpaceFlag) {
  TmyXMLParser doc;
  doc.codePage = 1250;
  TmyXmlNode root("Wrapper");
  // no-break space, then S with caron (C5 A0 in UTF-8), a with grave in 1252 terms
  root.AddChild("t")->value =
      "a\xA0"
      "b\x8A";
  std::string dir = xmltest::TempDir();
  const std::string plain =
      "<t>a\xC2\xA0"
      "b\xC5\xA0</t>\r\n";
  const std::string dropped =
      "<t>a\xA0"
      "b\xC5\xA0</t>\r\n";
  EXPECT_EQ(doc.SaveToFileCrcTag(&root, dir + "/n.xml", true, true), dropped.size() + 19);
  EXPECT_EQ(ReadFileBytes(dir + "/n.xml"), dropped + CrcLine(ReferenceCrc16(dropped)));
  doc.SaveToFileCrcTag(&root, dir + "/m.xml", true, false);
  EXPECT_EQ(ReadFileBytes(dir + "/m.xml"), plain + CrcLine(ReferenceCrc16(plain)));
  // Without the UTF-8 flag the no-break-space flag does nothing.
  doc.SaveToFileCrcTag(&root, dir + "/o.xml", false, true);
  const std::string raw =
      "<t>a\xA0"
      "b\x8A</t>\r\n";
  EXPECT_EQ(ReadFileBytes(dir + "/o.xml"), raw + CrcLine(ReferenceCrc16(raw)));
}

TEST(XmlWriter, FailedWritesReturnZeroAndKeepTheOldFile) {
  TmyXMLParser doc;
  TmyXmlNode root("Wrapper");
  root.AddChild("a");
  std::string dir = xmltest::TempDir();
  EXPECT_EQ(doc.SaveToFile(&root, dir + "/no/such/folder/x.xml", false), 0u);
  EXPECT_EQ(doc.SaveToFileCrcTag(&root, dir + "/no/such/folder/x.xml", false, false), 0u);
  // A folder in the way of the file: the write fails, the folder stays.
  std::filesystem::create_directory(dir + "/taken");
  EXPECT_EQ(doc.SaveToFile(&root, dir + "/taken", false), 0u);
  EXPECT_TRUE(std::filesystem::is_directory(dir + "/taken"));
  // A successful write replaces the old content whole and leaves no temporary file.
  std::string path = dir + "/keep.xml";
  { std::ofstream(path) << "old content that is longer than the new one"; }
  EXPECT_EQ(doc.SaveToFile(&root, path, false), 9u);
  EXPECT_EQ(ReadFileBytes(path), "<a></a>\r\n");
  int files = 0;
  for (auto& entry : std::filesystem::directory_iterator(dir)) files += entry.is_regular_file();
  EXPECT_EQ(files, 1);
}

// A save that stops half-way (a full disk) fails and leaves the old file as it
// was: the text goes to a temporary file that only a finished write renames.
TEST(XmlWriter, ASaveThatStopsHalfWayKeepsTheOldFile) {
  TmyXMLParser doc;
  doc.progress = false;
  TmyXmlNode root("Wrapper");
  TmyXmlNode* web = root.AddChild("web");
  for (int i = 0; i < 2000; ++i) web->AddChild("page")->SetAttrInt("id", i);
  const std::string text = WriteText(doc, &root);
  const std::string dir = xmltest::TempDir();
  const std::string path = dir + "/project.xml";
  const std::string old = "<web>the old project</web>\r\n";
  { std::ofstream(path, std::ios::binary) << old; }
  const auto halfWay = static_cast<std::int64_t>(text.size() / 2);
  {
    FileWriteBudgetScope diskFull(halfWay);
    EXPECT_EQ(doc.SaveToFile(&root, path, false), 0u);
  }
  {
    FileWriteBudgetScope diskFull(halfWay);
    EXPECT_EQ(doc.SaveToFileCrcTag(&root, path, false, false), 0u);
  }
  EXPECT_EQ(ReadFileBytes(path), old);
  int entries = 0;
  for (auto& entry : std::filesystem::directory_iterator(dir)) entries += entry.exists();
  EXPECT_EQ(entries, 1);  // no temporary file left behind
  EXPECT_EQ(doc.SaveToFile(&root, path, false), text.size());
  EXPECT_EQ(ReadFileBytes(path), text);
}

TEST(XmlWriter, ProgressHooks) {
  std::vector<std::string> calls;
  SetXmlStatusTextHook(
      [&](HWND w, const char* text) { calls.push_back(std::string(w == nullptr ? "main:" : "win:") + text); });
  SetXmlKeepAliveHook([&](HWND) { calls.push_back("alive"); });
  // The hooks are process-wide: none may outlive this test's `calls`.
  ScopeExit unhook([] {
    SetXmlStatusTextHook(nullptr);
    SetXmlKeepAliveHook(nullptr);
  });

  TmyXMLParser doc;
  TmyXmlNode root("Wrapper");
  for (int i = 0; i < 1250; ++i) root.AddChild("n");
  std::string text = doc.WriteNode(&root, 0);
  // Status before and after; keep-alive once the line counter passes 1000,
  // then every 100 lines: nodes 1001, 1101 and 1201.
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls.front(), "main:Saving XML...");
  EXPECT_EQ(calls[1], "alive");
  EXPECT_EQ(calls.back(), "main:");

  calls.clear();
  doc.progressWindow = reinterpret_cast<HWND>(std::uintptr_t{42});
  root.firstChild->value = std::string(2000, '\n');  // lines inside a value count too
  text = doc.WriteNode(&root, 0);
  EXPECT_EQ(calls.front(), "win:Saving XML...");
  // Node 1 brings the counter to 2002: nodes 2 to 12 each find it above the
  // threshold, which grows by 100 a time; then nodes 101, 201, ... 1201.
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "alive"), 23);

  calls.clear();
  doc.progress = false;
  text = doc.WriteNode(&root, 0);
  EXPECT_TRUE(calls.empty());
  SetXmlStatusTextHook(nullptr);
  SetXmlKeepAliveHook(nullptr);
  doc.progress = true;
  text = doc.WriteNode(&root, 0);  // no hooks: nothing to call
}

// xmllint must accept what the writer writes.
class XmlLint : public ::testing::Test {
 protected:
  void SetUp() override {
    // A missing tool is a failure: the README's test command installs it.
    ASSERT_EQ(std::system("xmllint --version >/dev/null 2>&1"), 0) << "xmllint is not installed";
  }
  static int Lint(const std::string& path) {
    return std::system(("xmllint --noout '" + path + "' 2>/dev/null").c_str());
  }
};

TEST_F(XmlLint, AcceptsTheWritersFiles) {
  std::string dir = xmltest::TempDir();
  Loaded project(DataPath("project-crlf.xml"));
  project.doc.SaveToFile(project.root.get(), dir + "/web.xml", false);
  EXPECT_EQ(Lint(dir + "/web.xml"), 0);
  project.doc.SaveToFileCrcTag(project.root.get(), dir + "/crc.xml", false, false);
  EXPECT_EQ(Lint(dir + "/crc.xml"), 0);

  Loaded page(DataPath("page-cp1250.xml"));
  page.doc.codePage = 1250;
  page.doc.SaveToFileCrcTag(page.root.get(), dir + "/page.xml", true, false);
  EXPECT_EQ(Lint(dir + "/page.xml"), 0);

  // A tree made in memory with every character that needs an entity.
  TmyXMLParser doc;
  TmyXmlNode root("Wrapper");
  TmyXmlNode* decl = root.AddChild("xml");
  decl->instruction = decl->closed = true;
  decl->SetAttr("version", "1.0");
  decl->SetAttr("encoding", "windows-1252");
  TmyXmlNode* top = root.AddChild("top");
  for (int i = 0; i < 3; ++i) {
    TmyXmlNode* item = top->AddChild("item");
    item->SetAttr("text", "<a href=\"x\">&amp; 'y' &#169;</a>\xE9");
    item->value = "1 < 2 && 3 > 2 \"ok\"";
    item->AddChild("sub")->closed = true;
  }
  top->AddChild(" a comment ")->comment = true;
  doc.SaveToFile(&root, dir + "/mem.xml", false);
  EXPECT_EQ(Lint(dir + "/mem.xml"), 0);
  doc.codePage = 1252;
  decl->SetAttr("encoding", "UTF-8");
  doc.SaveToFile(&root, dir + "/mem8.xml", true);
  EXPECT_EQ(Lint(dir + "/mem8.xml"), 0);
}

TEST_F(XmlLint, RejectsABrokenFileSoTheCheckMeansSomething) {
  std::string path = xmltest::TempDir() + "/bad.xml";
  { std::ofstream(path) << "<a><b></a>"; }
  EXPECT_NE(Lint(path), 0);
}

}  // namespace
