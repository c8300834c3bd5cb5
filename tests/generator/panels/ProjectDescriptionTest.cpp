// The compiled project description: the gzip copy read back with gzip and
// zcat, the copy's elements and attributes after each change, the login
// digests against sha1sum of the digested text, the images' times and sizes
// from the generated-file table, and when the XML stays or goes.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/IecTypes.h"
#include "core/PasswordScramble.h"
#include "generator/ProjectDescription.h"
#include "platform/win/FileTime.h"
#include "tests/generator/panels/PanelsSupport.h"

namespace {

using panelstest::PanelsCompile;
using panelstest::Quoted;
using panelstest::RunTool;
using panelstest::Sha1sumOf;

// The description as zcat reads it from the XMZ, parsed; the test fails when
// zcat does.
struct Description {
  std::string text;
  std::unique_ptr<TmyXmlNode> root;
  TmyXmlNode* Find(const char* tag) const { return root->FindChild(tag, {}, true); }
};

// The document text before the CRC comment line, checked against that line.
std::string TextBeforeCrcLine(const std::string& text) {
  const std::size_t at = text.rfind("<!--Crc=\"");
  if (at == std::string::npos) {
    ADD_FAILURE() << "no CRC line in " << text;
    return text;
  }
  std::array<char, 32> line{};
  const std::string before = text.substr(0, at);
  std::snprintf(line.data(), line.size(), "<!--Crc=\"%04X\"-->", unsigned{panelstest::ReferenceCrc16(before)});
  EXPECT_EQ(text.substr(at), std::string(line.data()) + "\r\n");
  return before;
}

Description ReadDescription(const PanelsCompile& compile) {
  Description description;
  const panelstest::ToolRun run = RunTool("zcat " + Quoted(compile.OutputPath(kProjectDescriptionXmz)));
  EXPECT_EQ(run.exitCode, 0);
  description.text = run.output;
  const std::string document = TextBeforeCrcLine(description.text);
  TmyXMLParser reader;
  reader.LoadFromString(document.c_str());
  description.root.reset(reader.Parse());
  EXPECT_EQ(reader.errorWord, 0u) << document;
  if (description.root == nullptr) description.root = std::make_unique<TmyXmlNode>("Wrapper");
  return description;
}

std::unique_ptr<PanelsCompile> CompileForPanels(const std::string& project) {
  auto compile = std::make_unique<PanelsCompile>(project);
  compile->settings.operatorPanels = true;
  compile->host.Declare("LEVEL", "UINT", IecUint, 2, 9, 22);
  compile->host.Declare("PUMP.RUN", "BOOL", IecBool, 0, 3, 12);
  compile->host.Declare("TEXT", "STRING", IecString, 1, 13, 40);
  // The designer holds the project's own placeholders when it compiles.
  compile->webData.GlobalPlaceHolders.ClearAndLoad(compile->project.web->FindChild("placeholders"));
  return compile;
}

TEST(ProjectDescription, XmzIsAGzipCopyOfTheXmlWhichDebugXmzKeeps) {
  auto compile = CompileForPanels("<web><group name=\"G\"><page name=\"P1.XML\"/></group></web>");
  compile->project.debugXmz = true;
  compile->RunResolving();

  ASSERT_TRUE(compile->Exists(kProjectDescriptionXml));
  EXPECT_EQ(RunTool("gzip -t " + Quoted(compile->OutputPath(kProjectDescriptionXmz))).exitCode, 0);
  const std::string xml = compile->Read(kProjectDescriptionXml);
  EXPECT_EQ(ReadDescription(*compile).text, xml);
  EXPECT_NE(xml.find("<!--Crc=\""), std::string::npos);
}

TEST(ProjectDescription, XmlIsDeletedWithoutDebugXmz) {
  auto compile = CompileForPanels("<web><group name=\"G\"><page name=\"P1.XML\"/></group></web>");
  compile->RunResolving();

  EXPECT_FALSE(compile->Exists(kProjectDescriptionXml));
  EXPECT_EQ(RunTool("gzip -t " + Quoted(compile->OutputPath(kProjectDescriptionXmz))).exitCode, 0);
  EXPECT_NE(ReadDescription(*compile).Find("web"), nullptr);
}

TEST(ProjectDescription, ProjectWithoutPagesStillWritesBothFiles) {
  auto compile = CompileForPanels("<web/>");
  compile->RunResolving();

  EXPECT_TRUE(compile->Exists("TARNWELL.PUB"));
  EXPECT_TRUE(compile->Exists(kProjectDescriptionXmz));
  EXPECT_NE(ReadDescription(*compile).Find("web"), nullptr);
}

TEST(ProjectDescription, WebGetsThePanelSizeAndLosesLanguagesLayersPlaceholdersApiUsersAndUids) {
  auto compile = CompileForPanels(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
      "<web Uid=\"1\" height=\"5\" width=\"6\" title=\"Plant\"><lang code=\"cs\"/>"
      "<placeholders><alias name=\"u\">x</alias></placeholders><Layers><layer Uid=\"4\"/></Layers>"
      "<group name=\"G\" Uid=\"2\"><page name=\"P1.XML\" Uid=\"3\"><text><lang code=\"en\"/></text></page></group>"
      "<vornapi><user name=\"api\"/></vornapi></web>");
  compile->settings.pageHeight = 600;
  compile->settings.pageWidth = 1000;
  compile->settings.encoding = "windows-1250";
  compile->RunResolving();
  const Description d = ReadDescription(*compile);

  TmyXmlNode* web = d.Find("web");
  ASSERT_NE(web, nullptr);
  EXPECT_EQ(web->GetAttr("height"), "580");
  EXPECT_EQ(web->GetAttr("width"), "980");
  EXPECT_EQ(web->GetAttr("title"), "Plant");
  for (const char* gone : {"lang", "Layers", "placeholders", "vornapi"}) EXPECT_EQ(d.Find(gone), nullptr) << gone;
  EXPECT_EQ(d.text.find("Uid="), std::string::npos);
  ASSERT_NE(d.root->firstChild, nullptr);
  EXPECT_TRUE(d.root->firstChild->instruction);
  EXPECT_EQ(d.root->firstChild->GetAttr("encoding"), "windows-1250");
}

TEST(ProjectDescription, GroupsKeptOffThePanelsGoAndPagesAreNumberedByGroup) {
  auto compile = CompileForPanels(
      "<web><group name=\"A\"><page name=\"A1.XML\"/><page name=\"A2.XML\"/></group>"
      "<group name=\"Off\" notforid=\"true\"><page name=\"O1.XML\"/></group>"
      "<group name=\"B\"><page name=\"B1.XML\"/></group></web>");
  compile->RunResolving();
  const Description d = ReadDescription(*compile);

  struct Expected {
    const char* page;
    const char* numscr;
  } expected[] = {{"A1.XML", "1"}, {"A2.XML", "2"}, {"B1.XML", "257"}};
  for (const Expected& e : expected) {
    TmyXmlNode* page = d.root->FindChild("page", "name", true, e.page);
    ASSERT_NE(page, nullptr) << e.page;
    EXPECT_EQ(page->GetAttr("numscr"), e.numscr) << e.page;
  }
  EXPECT_EQ(d.root->FindChild("group", "name", true, "Off"), nullptr);
  EXPECT_EQ(d.root->FindChild("page", "name", true, "O1.XML"), nullptr);
}

TEST(ProjectDescription, TemplateContentSurroundsThePagesOfGroupsUsingSlotsOneToNine) {
  auto compile = CompileForPanels(
      "<web><group name=\"T\"><page name=\"#TEMPBG1.XML\"><placeholders/><object id=\"bg\"/></page>"
      "<page name=\"#TEMPFG1.XML\"><object id=\"fg\"/></page></group>"
      "<group name=\"One\" usetemp=\"1\"><page name=\"P1.XML\"><object id=\"own\"/></page></group>"
      "<group name=\"Zero\" usetemp=\"0\"><page name=\"P2.XML\"><object id=\"own\"/></page></group>"
      "<group name=\"Ten\" usetemp=\"10\"><page name=\"P3.XML\"><object id=\"own\"/></page></group></web>");
  compile->RunResolving();
  const Description d = ReadDescription(*compile);

  struct Expected {
    const char* page;
    std::vector<std::string> objects;
  } expected[] = {{"P1.XML", {"bg", "own", "fg"}}, {"P2.XML", {"own"}}, {"P3.XML", {"own"}}};
  for (const Expected& e : expected) {
    TmyXmlNode* page = d.root->FindChild("page", "name", true, e.page);
    ASSERT_NE(page, nullptr) << e.page;
    std::vector<std::string> objects;
    for (TmyXmlNode* child = page->firstChild; child != nullptr; child = child->next)
      objects.push_back(child->name == "object" ? child->GetAttr("id") : child->name);
    EXPECT_EQ(objects, e.objects) << e.page;
  }
}

TEST(ProjectDescription, ObjectReferencesAreExpandedResolvedAndTyped) {
  auto compile = CompileForPanels(
      "<web><placeholders><alias name=\"pump\">pump</alias></placeholders>"
      "<group name=\"G\"><placeholders><alias name=\"tank\"> level </alias></placeholders>"
      "<page name=\"P1.XML\"><placeholders><alias name=\"what\">text</alias></placeholders>"
      "<object id=\"a\" visvar=\"{tank}\" clickxvar=\"{pump}.run\" clickyvar=\"missing\" clickcol=\"\" layer=\"3\">"
      "<edit variable=\"{what}\" datavariable=\"nothing\"/></object>"
      "<object id=\"b\" visvar=\"unknown\"><edit variable=\"gone\" datavariable=\"level\"/></object>"
      "</page></group></web>");
  compile->RunResolving();
  const Description d = ReadDescription(*compile);

  TmyXmlNode* a = d.root->FindChild("object", "id", true, "a");
  TmyXmlNode* b = d.root->FindChild("object", "id", true, "b");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  struct Expected {
    TmyXmlNode* node;
    const char* attribute;
    const char* value;
  } expected[] = {
      {a, "visvar", "LEVEL"},
      {a, "vistype", "UINT"},
      {a, "clickxvar", "PUMP.RUN"},
      {a, "clickyvar", ""},
      {a, "clickcol", ""},
      {a->firstChild, "variable", "TEXT"},
      {a->firstChild, "type", "STRING[80]"},
      {a->firstChild, "datavariable", ""},
      {b, "visvar", ""},
      {b->firstChild, "variable", ""},
      {b->firstChild, "datavariable", "LEVEL"},
  };
  for (const Expected& e : expected) EXPECT_EQ(e.node->GetAttr(e.attribute), e.value) << e.attribute;
  EXPECT_EQ(a->FindAttr("layer"), nullptr);
  EXPECT_EQ(b->FindAttr("vistype"), nullptr);
  EXPECT_EQ(b->firstChild->FindAttr("type"), nullptr);
}

TEST(ProjectDescription, PositionsLeftOfTheFirstCellMoveToItAndNegationNeedsAVariable) {
  auto compile = CompileForPanels(
      "<web><group name=\"G\"><page name=\"P1.XML\">"
      "<object id=\"a\" X=\"1\" xoff=\"-3\" Y=\"2\" yoff=\"-3\" visneg=\"true\"/>"
      "<object id=\"b\" X=\"2\" xoff=\"-3\" Y=\"1\" yoff=\"-1\" visneg=\"true\" visvar=\"level\"/>"
      "</page></group></web>");
  compile->RunResolving();
  const Description d = ReadDescription(*compile);

  TmyXmlNode* a = d.root->FindChild("object", "id", true, "a");
  TmyXmlNode* b = d.root->FindChild("object", "id", true, "b");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  struct Expected {
    TmyXmlNode* node;
    const char* attribute;
    const char* value;
  } expected[] = {
      {a, "X", "1"}, {a, "xoff", "0"},  {a, "Y", "2"}, {a, "yoff", "-3"}, {a, "visneg", "false"},
      {b, "X", "2"}, {b, "xoff", "-3"}, {b, "Y", "1"}, {b, "yoff", "0"},  {b, "visneg", "true"},
  };
  for (const Expected& e : expected)
    EXPECT_EQ(e.node->GetAttr(e.attribute), e.value) << e.node->GetAttr("id") << e.attribute;
}

TEST(ProjectDescription, AlarmsWithoutVariableOrPageAreRemoved) {
  auto compile = CompileForPanels(
      "<web><placeholders><alias name=\"v\">level</alias></placeholders><group name=\"G\"><page "
      "name=\"P1.XML\"/></group>"
      "<alarms><alarm id=\"1\" var=\"{v}\" page=\"P1.XML\"/><alarm id=\"2\" var=\"{none}\" page=\"P1.XML\"/>"
      "<alarm id=\"3\" var=\"level\" page=\"\"/><alarm id=\"4\" var=\"pump.run\" page=\"P1.XML\"/></alarms></web>");
  compile->RunResolving();
  const Description d = ReadDescription(*compile);

  TmyXmlNode* alarms = d.Find("alarms");
  ASSERT_NE(alarms, nullptr);
  std::vector<std::string> kept;
  for (TmyXmlNode* alarm = alarms->firstChild; alarm != nullptr; alarm = alarm->next)
    kept.push_back(alarm->GetAttr("id") + ":" + alarm->GetAttr("var"));
  EXPECT_EQ(kept, (std::vector<std::string>{"1:LEVEL", "4:PUMP.RUN"}));
}

}  // namespace
