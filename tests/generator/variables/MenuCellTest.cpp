// The menu cell of the page template, written out with the XML writer and
// compared as text: hidden groups and pages, captions, levels, the untitled
// style and the logout link.

#include <gtest/gtest.h>

#include <memory>

#include "core/XmlDocument.h"
#include "generator/ProjectImages.h"

namespace {

// The cell built from the project text's `web` element, as the writer writes it.
std::string MenuOf(const std::string& project) {
  TmyXMLParser parser;
  parser.progress = false;
  EXPECT_TRUE(parser.LoadFromString(project.c_str()));
  std::unique_ptr<TmyXmlNode> root(parser.Parse());
  EXPECT_EQ(parser.errorWord, 0u);
  std::unique_ptr<TmyXmlNode> cell = BuildMenuCell(root->FindChild("web"));
  auto wrapper = std::make_unique<TmyXmlNode>("Wrapper");
  TmyXmlNode* holder = wrapper->AddChild("td");
  holder->CopyFrom(cell.get());
  holder->CopyChildren(cell.get());
  return parser.WriteNode(wrapper.get(), 0);
}

// The lines of the text joined by CR LF.
std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\r\n";
  return text;
}

const char* const kLogout[] = {"\t<br />", "\t<div class=\"pages\">", "\t\t<a href=\"logout.xml\">Logout</a>",
                               "\t</div>", "</td>"};

std::string WithLogout(std::initializer_list<const char*> lines) {
  std::string text = Lines(lines);
  for (const char* line : kLogout) text += std::string(line) + "\r\n";
  return text;
}

}  // namespace

TEST(MenuCellTest, GroupsAndPagesInDocumentOrderWithoutHiddenOnes) {
  const std::string project =
      "<web>"
      "<group caption=\"Plant\">"
      "<page caption=\"Overview\" name=\"PAGE1.XML\" />"
      "<page caption=\"Secret\" name=\"PAGE2.XML\" hidden=\"true\" />"
      "<page caption=\"Pumps\" name=\"PAGE3.XML\" hidden=\"false\" />"
      "</group>"
      "<group caption=\"Panel only\" notforwww=\"true\"><page caption=\"P\" name=\"P.XML\" /></group>"
      "<images />"
      "<group><page caption=\"Alarms\" name=\"ALARM.XML\" /></group>"
      "</web>";
  EXPECT_EQ(MenuOf(project), WithLogout({
                                 "<td id=\"menu\">",
                                 "\t<span id=\"group\">Plant</span>",
                                 "\t<br />",
                                 "\t<div class=\"pages\">",
                                 "\t\t<a href=\"PAGE1.XML\">Overview</a>",
                                 "\t\t<br />",
                                 "\t\t<a href=\"PAGE3.XML\">Pumps</a>",
                                 "\t\t<br />",
                                 "\t</div>",
                                 "\t<br />",
                                 "\t<div class=\"pages\">",
                                 "\t\t<a href=\"ALARM.XML\">Alarms</a>",
                                 "\t\t<br />",
                                 "\t</div>",
                             }));
}

TEST(MenuCellTest, TheFirstListedGroupHasNoLeadingBreakEvenAfterAHiddenOne) {
  const std::string project =
      "<web>"
      "<group caption=\"Hidden\" notforwww=\"true\" />"
      "<group caption=\"Shown\" />"
      "</web>";
  EXPECT_EQ(MenuOf(project), WithLogout({
                                 "<td id=\"menu\">",
                                 "\t<span id=\"group\">Shown</span>",
                                 "\t<br />",
                                 "\t<div class=\"pages\"></div>",
                             }));
}

TEST(MenuCellTest, LevelsOfGroupsAndPagesNestXslIfs) {
  const std::string project =
      "<web title=\"false\">"
      "<group caption=\"Open\"><page caption=\"A\" name=\"A.XML\" /></group>"
      "<group caption=\"Service\" level=\"3\">"
      "<page caption=\"B\" name=\"B.XML\" />"
      "<page caption=\"C &amp; D\" name=\"C.XML\" level=\"5\" />"
      "</group>"
      "</web>";
  EXPECT_EQ(MenuOf(project), WithLogout({
                                 "<td id=\"menu\" style=\" border-top: 1px solid black; width: 150px;\">",
                                 "\t<span id=\"group\">Open</span>",
                                 "\t<br />",
                                 "\t<div class=\"pages\">",
                                 "\t\t<a href=\"A.XML\">A</a>",
                                 "\t\t<br />",
                                 "\t</div>",
                                 "\t<xsl:if test=\"3 &lt;= ACCESS/@USER_LEVEL\">",
                                 "\t\t<br />",
                                 "\t\t<span id=\"group\">Service</span>",
                                 "\t\t<br />",
                                 "\t\t<div class=\"pages\">",
                                 "\t\t\t<a href=\"B.XML\">B</a>",
                                 "\t\t\t<br />",
                                 "\t\t\t<xsl:if test=\"5 &lt;= ACCESS/@USER_LEVEL\">",
                                 "\t\t\t\t<a href=\"C.XML\">C &amp; D</a>",
                                 "\t\t\t\t<br />",
                                 "\t\t\t</xsl:if>",
                                 "\t\t</div>",
                                 "\t</xsl:if>",
                             }));
}

TEST(MenuCellTest, OnlyATitleOfFalseGivesTheStyle) {
  for (const char* title : {"", " title=\"true\"", " title=\"False\""}) {
    const std::string menu = MenuOf(std::string("<web") + title + "><group /></web>");
    EXPECT_EQ(menu.find("style"), std::string::npos) << title;
  }
}

TEST(MenuCellTest, AProjectWithoutGroupsOrWithoutWebHasOnlyTheLogout) {
  EXPECT_EQ(MenuOf("<web />"), WithLogout({"<td id=\"menu\">"}));
  EXPECT_EQ(MenuOf("<project />"), WithLogout({"<td id=\"menu\">"}));
}
