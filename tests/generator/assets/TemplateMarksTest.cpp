// The built-in page template "DEFAULT_XSL" and template data page
// "DEFAULT_XML": our parser reads them into the nodes that the project and
// page compilers look for (with the same search functions), our writer writes
// them back as XML that xmllint accepts, and the template, with its change
// stamp tests filled in as the page compiler fills them, renders the page
// layout or the stale-copy warning under xsltproc.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "AssetTools.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "core/XmlResource.h"
#include "tests/support/TempFolder.h"

namespace {

using assettest::Quoted;
using assettest::RunTool;

// A parsed resource with its parser (which holds the buffer).
struct Parsed {
  TmyXMLParser doc;
  std::unique_ptr<TmyXmlNode> root;
  explicit Parsed(const char* resource) {
    doc.progress = false;
    root.reset(LoadXmlResource(&doc, resource));
  }
};

std::vector<std::string> ChildNames(const TmyXmlNode* parent) {
  std::vector<std::string> names;
  for (const TmyXmlNode* n = parent->firstChild; n != nullptr; n = n->next) names.push_back(n->name);
  return names;
}

TEST(PageTemplate, ParsesWithoutError) {
  Parsed t("DEFAULT_XSL");
  ASSERT_NE(t.root, nullptr);
  EXPECT_EQ(t.doc.errorWord, 0u) << "line " << t.doc.GetLine();
  Parsed d("DEFAULT_XML");
  ASSERT_NE(d.root, nullptr);
  EXPECT_EQ(d.doc.errorWord, 0u) << "line " << d.doc.GetLine();
}

TEST(PageTemplate, HeadHoldsItsElementsInTheOrderTheCompilersRelyOn) {
  Parsed t("DEFAULT_XSL");
  ASSERT_NE(t.root, nullptr);
  TmyXmlNode* head = t.root->firstChild->FindInTree("head");
  ASSERT_NE(head, nullptr);
  EXPECT_EQ(ChildNames(head), (std::vector<std::string>{"meta", "meta", "script", "link", "link", "script", "title"}));
  TmyXmlNode* viewport = t.root->firstChild->FindNode("meta", "name", true, "viewport");
  ASSERT_NE(viewport, nullptr);
  EXPECT_EQ(viewport, head->firstChild);
  EXPECT_EQ(viewport->next->GetAttr("name"), "author");
  // The first script of the whole document is the home-screen link keeper,
  // which the project compiler deletes for projects that are no web
  // application; the cache-warning script comes later.
  TmyXmlNode* firstScript = t.root->firstChild->FindInTree("script");
  ASSERT_NE(firstScript, nullptr);
  EXPECT_EQ(firstScript, viewport->next->next);
  EXPECT_EQ(firstScript->GetAttr("src"), "");
  EXPECT_NE(firstScript->value.find("navigator.standalone"), std::string::npos);
  EXPECT_EQ(head->FindChild("link", "href", false, "STYLE.CSS")->GetAttr("rel"), "stylesheet");
  EXPECT_EQ(head->FindChild("link", "href", false, "FAVICON.ICO")->GetAttr("rel"), "icon");
  EXPECT_NE(head->FindChild("script", "src", false, "REFCLR.JS"), nullptr);
  // title is the last node of head: the compiler deletes what follows it.
  TmyXmlNode* title = t.root->firstChild->FindInTree("title");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->parent, head);
  EXPECT_EQ(title->next, nullptr);
  ASSERT_NE(title->firstChild, nullptr);
  EXPECT_EQ(title->firstChild->name, "xsl:value-of");
  EXPECT_EQ(title->firstChild->GetAttr("select"), "/PAGE/@TITLE");
}

TEST(PageTemplate, BodyStartsWithTheTwoChangeStampTests) {
  Parsed t("DEFAULT_XSL");
  ASSERT_NE(t.root, nullptr);
  TmyXmlNode* body = t.root->firstChild->FindInTree("body");
  ASSERT_NE(body, nullptr);
  EXPECT_NE(body->FindAttr("onload"), nullptr);
  ASSERT_NE(body->prev, nullptr);
  EXPECT_EQ(body->prev->name, "head");  // the page compiler's "element before body"
  TmyXmlNode* stale = body->firstChild;
  ASSERT_NE(stale, nullptr);
  EXPECT_EQ(stale->name, "xsl:if");
  EXPECT_NE(stale->FindChild("", "id", true, "cachewarning"), nullptr);
  ASSERT_NE(stale->next, nullptr);
  EXPECT_EQ(stale->next->name, "xsl:if");
  EXPECT_EQ(stale->next->FindChild("", "id", true, "cachewarning"), nullptr);
  EXPECT_NE(stale->next->FindComment("plan"), nullptr);
}

// Each comment mark, the element that follows it, and for the title and the
// foot the first child of that element (the cell the compiler fills).
struct MarkCase {
  const char* comment;
  const char* next;
  const char* cell;  // the first child's name; null when the next node is the cell
};

TEST(PageTemplate, EveryCommentMarkIsFollowedByItsCell) {
  const MarkCase cases[] = {
      {"logo", "td", nullptr}, {"title", "td", "h1"},  {"menu", "td", nullptr},
      {"plan", "td", nullptr}, {"bottom", "tr", "td"},
  };
  Parsed t("DEFAULT_XSL");
  ASSERT_NE(t.root, nullptr);
  for (const MarkCase& c : cases) {
    SCOPED_TRACE(c.comment);
    TmyXmlNode* mark = t.root->FindComment(c.comment);
    ASSERT_NE(mark, nullptr);
    EXPECT_TRUE(mark->comment);
    ASSERT_NE(mark->next, nullptr);
    EXPECT_FALSE(mark->next->comment);
    EXPECT_EQ(mark->next->name, c.next);
    if (c.cell != nullptr) {
      ASSERT_NE(mark->next->firstChild, nullptr);
      EXPECT_EQ(mark->next->firstChild->name, c.cell);
    }
  }
  // The title cell shows the data page's title; the plan cell holds the
  // no-break space that a page's content replaces.
  TmyXmlNode* titleCell = t.root->FindComment("title")->next->firstChild;
  ASSERT_NE(titleCell->firstChild, nullptr);
  EXPECT_EQ(titleCell->firstChild->name, "xsl:value-of");
  EXPECT_EQ(t.root->FindComment("plan")->next->value, "&#160;");
  // Title-off deletes the logo cell's row: the title cell shares it.
  EXPECT_EQ(t.root->FindComment("logo")->next->parent, t.root->FindComment("title")->next->parent);
}

TEST(TemplateDataPage, HoldsDeclarationStylesheetInstructionAndPage) {
  Parsed d("DEFAULT_XML");
  ASSERT_NE(d.root, nullptr);
  TmyXmlNode* decl = d.root->firstChild;
  ASSERT_NE(decl, nullptr);
  EXPECT_TRUE(decl->instruction);
  EXPECT_EQ(decl->name, "xml");
  EXPECT_NE(decl->FindAttr("encoding"), nullptr);
  TmyXmlNode* style = decl->next;
  ASSERT_NE(style, nullptr);
  EXPECT_TRUE(style->instruction);
  EXPECT_EQ(style->name, "xml-stylesheet");
  EXPECT_EQ(style->GetAttr("type"), "text/xsl");
  EXPECT_EQ(style->GetAttr("href"), "DEFAULT.XSL");
  TmyXmlNode* page = style->next;
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->name, "PAGE");
  EXPECT_NE(page->FindAttr("TITLE"), nullptr);
  EXPECT_EQ(page->next, nullptr);  // the project compiler's "last node"
  TmyXmlNode* access = page->FindChild("ACCESS");
  ASSERT_NE(access, nullptr);
  EXPECT_EQ(access->GetAttr("PAGE_LEVEL"), "0");
  EXPECT_EQ(access->GetAttr("USER_LEVEL"), "0");
}

// Writes the template with its change stamp tests filled as for a page of
// stamp 7, and the data page with the given stamp; answers xsltproc's run.
assettest::ToolRun RenderWithStamp(const testsupport::TempFolder& tmp, const char* dataStamp) {
  Parsed t("DEFAULT_XSL");
  Parsed d("DEFAULT_XML");
  if (t.root == nullptr || d.root == nullptr) return {};
  TmyXmlNode* body = t.root->firstChild->FindInTree("body");
  body->firstChild->SetAttr("test", "7 != ACCESS/@UCID");
  body->firstChild->next->SetAttr("test", "7 = ACCESS/@UCID");
  TmyXmlNode* page = d.root->firstChild->next->next;
  page->SetAttr("TITLE", "Boiler <room> & \"pumps\"");
  page->FindChild("ACCESS")->SetAttr("UCID", dataStamp);
  d.root->firstChild->next->SetAttr("href", "PAGE1.XSL?U=7");
  if (t.doc.SaveToFile(t.root.get(), tmp.System("PAGE1.XSL"), true) == 0) return {};
  if (d.doc.SaveToFile(d.root.get(), tmp.System("PAGE1.XML"), false) == 0) return {};
  return RunTool("xsltproc " + Quoted(tmp.Native("PAGE1.XSL")) + " " + Quoted(tmp.Native("PAGE1.XML")));
}

TEST(PageTemplate, WrittenBackByOurWriterIsValidXml) {
  testsupport::TempFolder tmp("tw-template-");
  Parsed t("DEFAULT_XSL");
  Parsed d("DEFAULT_XML");
  ASSERT_NE(t.root, nullptr);
  ASSERT_NE(d.root, nullptr);
  ASSERT_GT(t.doc.SaveToFile(t.root.get(), tmp.System("T.XSL"), true), 0u);
  ASSERT_GT(d.doc.SaveToFile(d.root.get(), tmp.System("T.XML"), false), 0u);
  assettest::ToolRun lint =
      RunTool("xmllint --noout " + Quoted(tmp.Native("T.XSL")) + " " + Quoted(tmp.Native("T.XML")));
  EXPECT_EQ(lint.exitCode, 0) << lint.output;
  EXPECT_EQ(lint.output, "");
}

TEST(PageTemplate, CurrentStampRendersTheLayoutWithTheTitle) {
  testsupport::TempFolder tmp("tw-template-");
  assettest::ToolRun run = RenderWithStamp(tmp, "7");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("<title>Boiler &lt;room&gt; &amp; \"pumps\"</title>"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("<h1>Boiler &lt;room&gt; &amp; \"pumps\"</h1>"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("<td id=\"menu\">"), std::string::npos);
  EXPECT_NE(run.output.find("<td class=\"plan\">"), std::string::npos);
  EXPECT_NE(run.output.find("<link rel=\"stylesheet\" type=\"text/css\" href=\"STYLE.CSS\">"), std::string::npos);
  EXPECT_NE(run.output.find("src=\"REFCLR.JS\""), std::string::npos);
  EXPECT_EQ(run.output.find("cachewarning"), std::string::npos);
}

TEST(PageTemplate, StaleStampRendersOnlyTheCacheWarning) {
  testsupport::TempFolder tmp("tw-template-");
  assettest::ToolRun run = RenderWithStamp(tmp, "6");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("id=\"cachewarning\""), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("<table"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("src=\"REFCLR.JS\""), std::string::npos);
}

}  // namespace
