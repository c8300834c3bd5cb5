// Trees that the reader builds in an arena: texts as views into the arena's
// copy of the document, what happens to them when nodes are changed, moved,
// detached or deleted in any order, and round trips of large and deep texts.
// ASan and LeakSanitizer catch a node or text that dangles or is never freed.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "core/TextEncoding.h"
#include "core/XmlDocument.h"
#include "tests/core/xml/XmlTestUtil.h"

using xmltest::AttrList;
using xmltest::ChildNames;
using xmltest::TreeIsConsistent;

namespace {

constexpr const char* kProject =
    "<?xml version=\"1.0\" ?>\r\n"
    "<web name=\"Demo\">\r\n"
    "\t<group name=\"g1\">\r\n"
    "\t\t<page name=\"p1\" title=\"A &amp; B\">Text &lt;1&gt;</page>\r\n"
    "\t\t<page name=\"p2\"><object id=\"7\" /></page>\r\n"
    "\t</group>\r\n"
    "\t<!-- end -->\r\n"
    "</web>\r\n";

struct Parsed {
  TmyXMLParser doc;
  std::unique_ptr<TmyXmlNode> root;
  explicit Parsed(const std::string& text) : root(xmltest::ParseText(doc, text)) { doc.progress = false; }
  TmyXmlNode* Find(std::string_view tag, std::string_view name) {
    return root->FindNode(tag, name.empty() ? std::string_view() : "name", true, name);
  }
};

TEST(XmlArenaTree, ParsedTextsPointIntoTheArenaUntilChanged) {
  Parsed p(kProject);
  ASSERT_EQ(p.doc.errorWord, 0u);
  TmyXmlNode* page = p.Find("page", "p1");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->value, "Text <1>");
  EXPECT_EQ(page->GetAttr("title"), "A & B");
  EXPECT_FALSE(page->name.owned());
  EXPECT_FALSE(page->value.owned());
  EXPECT_FALSE(page->FindAttr("title")->value.owned());
  // Every text ends with a NUL of its own.
  EXPECT_STREQ(page->name.c_str(), "page");
  EXPECT_STREQ(page->FindAttr("title")->value.c_str(), "A & B");

  page->SetAttr("title", "C");
  EXPECT_TRUE(page->FindAttr("title")->value.owned());
  EXPECT_EQ(page->GetAttr("title"), "C");
  page->value += " more";
  EXPECT_EQ(page->value, "Text <1> more");
}

TEST(XmlArenaTree, DetachedSubtreeOutlivesItsDocument) {
  std::unique_ptr<TmyXmlNode> group;
  {
    Parsed p(kProject);
    group.reset(p.Find("group", "g1"));
    group->Unlink();
  }
  ASSERT_TRUE(TreeIsConsistent(group.get()));
  EXPECT_EQ(ChildNames(group.get()), "page,page");
  EXPECT_EQ(group->firstChild->value, "Text <1>");
  EXPECT_EQ(AttrList(group->lastChild->firstChild), "id=7");
  group->firstChild->SetAttr("name", "renamed");
  delete group->lastChild;
  EXPECT_EQ(ChildNames(group.get()), "page");
  EXPECT_EQ(group->firstChild->GetAttr("name"), "renamed");
}

TEST(XmlArenaTree, DocumentFreedAfterItsDetachedSubtree) {
  Parsed p(kProject);
  TmyXmlNode* page = p.Find("page", "p2");
  page->Unlink();
  delete page;
  EXPECT_EQ(ChildNames(p.Find("group", "g1")), "page");
  EXPECT_TRUE(TreeIsConsistent(p.root.get()));
}

// Each change to a parsed tree, then the whole document deleted: every text
// made on the heap is freed with it, every arena object exactly once.
TEST(XmlArenaTree, EveryKindOfChangeThenDeleteTheRoot) {
  using Change = void (*)(Parsed&);
  const std::pair<const char*, Change> kChanges[] = {
      {"SetAttr on a parsed node", [](Parsed& p) { p.Find("page", "p1")->SetAttr("name", "x"); }},
      {"new attribute", [](Parsed& p) { p.Find("page", "p1")->SetAttr("new", "y"); }},
      {"value assigned", [](Parsed& p) { p.Find("page", "p1")->value = "changed text, longer than a view"; }},
      {"name assigned", [](Parsed& p) { p.Find("group", "g1")->name = "grp"; }},
      {"attribute deleted", [](Parsed& p) { p.Find("page", "p1")->DeleteAttr("title"); }},
      {"all attributes deleted", [](Parsed& p) { p.Find("page", "p1")->DeleteAllAttrs(); }},
      {"heap child added", [](Parsed& p) { p.Find("page", "p2")->AddChild("extra")->SetAttr("a", "b"); }},
      {"child deleted", [](Parsed& p) { delete p.Find("page", "p2"); }},
      {"children deleted", [](Parsed& p) { p.Find("group", "g1")->DeleteChildren(); }},
      {"children deleted by name", [](Parsed& p) { p.root->DeleteChildrenByNameDeep("object"); }},
      {"siblings swapped", [](Parsed& p) { p.Find("page", "p1")->SwapSiblings(p.Find("page", "p2")); }},
      {"children moved", [](Parsed& p) { p.Find("page", "p2")->MoveChildrenTo(p.Find("page", "p1")); }},
      {"copied into itself", [](Parsed& p) { p.Find("group", "g1")->CopyChildren(p.Find("group", "g1")); }},
      {"value moved out",
       [](Parsed& p) { TXmlString taken(std::move(p.Find("page", "p1")->FindAttr("title")->value)); }},
      {"attribute deleted directly", [](Parsed& p) { delete p.Find("page", "p1")->FindAttr("title"); }},
  };
  for (const auto& [what, change] : kChanges) {
    SCOPED_TRACE(what);
    Parsed p(kProject);
    change(p);
    EXPECT_TRUE(TreeIsConsistent(p.root.get()));
    const std::string text = xmltest::WriteText(p.doc, p.root.get());
    p.root.reset();
    Parsed again(text);
    EXPECT_EQ(again.doc.errorWord, 0u);
  }
}

TEST(XmlArenaTree, ParsedNodeMovedIntoAHeapTreeStaysAfterItsDocument) {
  TmyXmlNode target("target");
  TmyXmlNode* slot = target.AddChild("slot");
  {
    Parsed p(kProject);
    TmyXmlNode* page = p.Find("page", "p1");
    EXPECT_EQ(slot->ReplaceWith(page), slot);
    delete slot;
  }
  EXPECT_EQ(ChildNames(&target), "page");
  EXPECT_EQ(target.firstChild->GetAttr("title"), "A & B");
  EXPECT_TRUE(TreeIsConsistent(&target));
}

TEST(XmlArenaTree, CopiesBetweenDocumentsAreIndependent) {
  Parsed into("<b><x k=\"1\" /></b>");
  {
    Parsed from(kProject);
    into.root->firstChild->CopyChildren(from.Find("group", "g1"));
    into.root->firstChild->firstChild->CopyFrom(from.Find("page", "p1"));
  }
  TmyXmlNode* b = into.root->firstChild;
  EXPECT_EQ(ChildNames(b), "x,page,page");
  EXPECT_EQ(AttrList(b->firstChild), "k=1,name=p1,title=A & B");
  EXPECT_EQ(b->firstChild->value, "Text <1>");
  EXPECT_TRUE(b->firstChild->value.owned());
  EXPECT_EQ(b->lastChild->firstChild->GetAttr("id"), "7");
}

TEST(XmlArenaTree, SharedTextsAreViewsOfHeapNodesAndTheirCopiesOwnTheirs) {
  TmyXmlNode target("target");
  TmyXmlNode keep("keep");
  {
    Parsed p(kProject);
    TmyXmlNode* page = p.Find("page", "p1");
    TmyXmlNode* copy = target.AddChildSharingName(*page);
    copy->ShareValue(*page);
    copy->AppendAttrSharing(*page->FindAttr("title"));
    copy->AppendAttrSharingName(*page->FindAttr("name"), "p9");
    EXPECT_EQ(copy->name.data(), page->name.data());
    EXPECT_EQ(copy->value.data(), page->value.data());
    EXPECT_EQ(copy->FindAttr("title")->value.data(), page->FindAttr("title")->value.data());
    EXPECT_EQ(AttrList(copy), "title=A & B,name=p9");
    // The views are not the arena's: the copy is freed as a heap node.
    EXPECT_FALSE(copy->name.resident());
    EXPECT_EQ(copy->ArenaOrNull(), nullptr);
    EXPECT_EQ(copy->FindAttr("title")->ArenaOrNull(), nullptr);
    copy->FindAttr("title")->value += "!";
    EXPECT_EQ(page->GetAttr("title"), "A & B");
    keep.CopyChildren(&target);
    target.DeleteChildren();
  }
  EXPECT_EQ(keep.firstChild->name, "page");
  EXPECT_EQ(keep.firstChild->value, "Text <1>");
  EXPECT_EQ(AttrList(keep.firstChild), "title=A & B!,name=p9");
  EXPECT_TRUE(keep.firstChild->name.owned());
  // An owned text with a NUL inside is copied whole.
  TmyXmlNode source(std::string_view("a\0b", 3));
  EXPECT_EQ(target.AddChildSharingName(source)->name.view(), std::string_view("a\0b", 3));
}

TEST(XmlArenaTree, CutShortAndBrokenTextsAreFreedWhole) {
  for (const char* text : {"<a x=\"1\"><b>text", "<a x=\"1", "<a><b></a>", "<a>one<b/>two<c/>three"}) {
    SCOPED_TRACE(text);
    Parsed p(text);
    EXPECT_NE(p.doc.errorWord, 0u);
    EXPECT_TRUE(TreeIsConsistent(p.root.get()));
  }
}

// Text pieces and attribute values are decoded where they lie; the result is
// that of DecodeHtmlEntities, and line counting still sees the raw text.
TEST(XmlArenaTree, EntitiesDecodedInPlaceAsTheDecoderDoes) {
  const char* const kTexts[] = {"&amp;", "&amp;amp;",   "a&b",     "&",          "&&lt;", "&nbsp;x&quot;",
                                "&gt",   "x&lt;&gt;&x", "&quot;;", "&amp;&amp;", "&#65;", "tail&"};
  for (const char* raw : kTexts) {
    SCOPED_TRACE(raw);
    Parsed p(std::string("<a v=\"") + raw + "\" w='" + raw + "'>" + raw + "</a>");
    ASSERT_EQ(p.doc.errorWord, 0u);
    const std::string expected = DecodeHtmlEntities(raw);
    TmyXmlNode* a = p.root->firstChild;
    EXPECT_EQ(a->GetAttr("v"), expected);
    EXPECT_EQ(a->GetAttr("w"), expected);
    EXPECT_EQ(a->value, expected);
    EXPECT_EQ(std::string(a->value.c_str()), expected);  // NUL right after
  }
}

TEST(XmlArenaTree, LinesCountTheRawTextOfDecodedPieces) {
  Parsed p("<a>\n&amp;\n\n<b/>\n&lt;&gt;\n<c\nv=\"&amp;\n\"/><d/></a>");
  ASSERT_EQ(p.doc.errorWord, 0u);
  TmyXmlNode* a = p.root->firstChild;
  EXPECT_EQ(a->value, "&\n\n \n<>\n");
  EXPECT_EQ(a->FindChild("b")->line, 4);
  EXPECT_EQ(a->FindChild("c")->line, 6);
  EXPECT_EQ(a->FindChild("d")->line, 8);
  EXPECT_EQ(a->FindChild("c")->GetAttr("v"), "&\n");
}

TEST(XmlArenaTree, LargeGeneratedDocumentRoundTrips) {
  std::string text = "<web>\r\n";
  for (int g = 0; g < 200; ++g) {
    text += "\t<group name=\"g" + std::to_string(g) + "\" note=\"a &amp; b &lt;" + std::to_string(g) + "&gt;\">\r\n";
    for (int o = 0; o < 50; ++o)
      text += "\t\t<object id=\"" + std::to_string(o) + "\" caption=\"&quot;" + std::to_string(g * o) + "&quot;\">v" +
              std::to_string(o) + "</object>\r\n";
    text += "\t\t<!-- group " + std::to_string(g) + " -->\r\n\t</group>\r\n";
  }
  text += "</web>\r\n";
  Parsed first(text);
  ASSERT_EQ(first.doc.errorWord, 0u);
  const std::string written = xmltest::WriteText(first.doc, first.root.get());
  EXPECT_EQ(written, text);
  Parsed second(written);
  EXPECT_TRUE(xmltest::SameTree(first.root.get(), second.root.get()));
  EXPECT_EQ(xmltest::WriteText(second.doc, second.root.get()), written);
  // A kept node of the first tree after both documents are gone.
  std::unique_ptr<TmyXmlNode> kept(first.root->firstChild->lastChild);
  kept->Unlink();
  first.root.reset();
  second.root.reset();
  EXPECT_EQ(kept->GetAttr("note"), "a & b <199>");
  EXPECT_EQ(kept->firstChild->GetAttr("caption"), "\"0\"");
}

TEST(XmlArenaTree, DeepTreeIsReadWrittenAndFreedWithoutRecursion) {
  constexpr int kDepth = 200000;
  std::string text;
  for (int i = 0; i < kDepth; ++i) text += "<n a=\"1\">";
  for (int i = 0; i < kDepth; ++i) text += "</n>";
  Parsed p(text);
  ASSERT_EQ(p.doc.errorWord, 0u);
  p.doc.indent = false;
  const std::string written = xmltest::WriteText(p.doc, p.root.get());
  Parsed again(written);
  EXPECT_EQ(again.doc.errorWord, 0u);
  // Changed, so it is freed node by node.
  p.root->firstChild->SetAttr("a", "2");
  p.root.reset();
  TmyXmlNode* deepest = again.root.get();
  while (deepest->firstChild != nullptr) deepest = deepest->firstChild;
  EXPECT_EQ(deepest->GetAttr("a"), "1");
}

// The string type's own edge cases: texts that are part of the string itself,
// copies of views, moves.
TEST(XmlString, AssignAndAppendFromItselfAndCopiesOwnTheirBytes) {
  Parsed p("<a v=\"view text\" />");
  TXmlString& v = p.root->firstChild->FindAttr("v")->value;
  TXmlString copy = v;
  EXPECT_TRUE(copy.owned());
  EXPECT_EQ(copy, "view text");
  TXmlString moved(std::move(copy));
  EXPECT_EQ(moved, "view text");
  EXPECT_TRUE(copy.empty());

  v = std::string_view(v).substr(5);
  EXPECT_EQ(v, "text");
  v += v;
  EXPECT_EQ(v, "texttext");
  v.append(std::string_view(v).substr(0, 4));
  EXPECT_EQ(v, "texttexttext");
  v = std::string_view(v).substr(4, 4);
  EXPECT_EQ(v, "text");
  EXPECT_STREQ(v.c_str(), "text");
  v.clear();
  EXPECT_STREQ(v.c_str(), "");
  EXPECT_EQ("x" + moved + 'y', "xview texty");
  EXPECT_LT(moved, "w");
  EXPECT_EQ(moved.substr(5), "text");
  EXPECT_EQ(moved.find("text"), 5u);
}

}  // namespace
