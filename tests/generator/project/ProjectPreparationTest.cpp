// The preparation steps and the page template's marks: alarms, template
// pages, picture sizes, the operator panels' variables, the messages of
// missing marks and the one-time adaptation to the project's settings.

#include <gtest/gtest.h>

#include "ProjectCompilerSupport.h"

using projecttest::OneGroup;
using projecttest::ProjectCompile;

namespace {

constexpr const char* kPage = "<page name=\"PAGE1.XML\" caption=\"One\" ajax=\"true\" />";

TEST(ProjectPreparation, UnknownAlarmVariableIsReportedAndKnownOnesAreListedForTheBackCommand) {
  ProjectCompile compile("<web><group name=\"G\">" + std::string(kPage) +
                         "</group><alarms><alarm var=\"Known\" page=\"ALARM1.XML\" />"
                         "<alarm var=\"Lost\" page=\"ALARM2.XML\" /><alarm var=\"Lost\" page=\"\" /></alarms></web>");
  compile.host.Declare("Known", "BOOL", 0, 0, 0, 0);
  compile.Run();
  EXPECT_NE(compile.state.compileErrors & kCompileErrorVariable, 0u);
  ASSERT_EQ(compile.host.messages.size(), 1u);
  EXPECT_EQ(compile.host.messages[0].first, GetUiText(7075));
  EXPECT_EQ(compile.host.messages[0].second, "Lost - Alarms -  (ALARM2.XML)");
  const std::string script = compile.Read("PAGE1.JS");
  EXPECT_NE(script.find("||r.search('alarm1.xml')!=-1||r.search('login.xml')"), std::string::npos);
  EXPECT_EQ(script.find("alarm2.xml"), std::string::npos);
}

struct TemplateCase {
  std::string name;
  int foreground;  // the slot it fills, 0 for none
  int background;
};

class TemplatePages : public testing::TestWithParam<TemplateCase> {};

TEST_P(TemplatePages, NamesFillTheirSlotsFromOneToNine) {
  ProjectCompile compile(OneGroup("<page name=\"" + GetParam().name + "\" caption=\"t\" />"));
  ScanTemplatePages(*compile.context);
  TmyXmlNode* page = compile.project.web->FindDeep("page");
  for (int slot = 1; slot <= 9; ++slot) {
    EXPECT_EQ(compile.context->foregroundTemplates[slot] == page, slot == GetParam().foreground) << slot;
    EXPECT_EQ(compile.context->backgroundTemplates[slot] == page, slot == GetParam().background) << slot;
  }
}

INSTANTIATE_TEST_SUITE_P(Names, TemplatePages,
                         testing::Values(TemplateCase{"#TEMPFG1.XML", 1, 0}, TemplateCase{"#TEMPFG9.XML", 9, 0},
                                         TemplateCase{"#TEMPBG3.XML", 0, 3}, TemplateCase{"#TEMPFG0.XML", 0, 0},
                                         TemplateCase{"#TEMPFG10.XML", 0, 0}, TemplateCase{"#TEMPBG10.XML", 0, 0},
                                         TemplateCase{"TEMPFG1.XML", 0, 0}, TemplateCase{"#OTHER.XML", 0, 0}));

TEST(ProjectPreparation, ImageSizesFollowTheLoadedPictures) {
  ProjectCompile compile(
      "<web><images><img name=\"a\" height=\"1\" width=\"2\" /><img name=\"b\" height=\"x\" "
      "width=\"7\" /><img name=\"c\" width=\"3\" /><img name=\"d\" height=\"1\" width=\"1\" />"
      "</images></web>");
  UpdateImageSizes(compile.root->FindChild("images", {}, true), [](const std::string& name, int& width, int& height) {
    if (name == "d") return false;
    width = 7;
    height = 5;
    return true;
  });
  TmyXmlNode* images = compile.root->FindChild("images", {}, true);
  EXPECT_EQ(images->FindChildN(1, "img")->GetAttr("height"), "5");
  EXPECT_EQ(images->FindChildN(1, "img")->GetAttr("width"), "7");
  EXPECT_EQ(images->FindChildN(2, "img")->GetAttr("height"), "5") << "unreadable text counts as 0";
  EXPECT_EQ(images->FindChildN(3, "img")->FindAttr("height"), nullptr) << "without both it is left alone";
  EXPECT_EQ(images->FindChildN(4, "img")->GetAttr("height"), "1") << "a picture not loaded";
}

TEST(ProjectPreparation, PanelStructuresResolveTheirMembers) {
  ProjectCompile compile(OneGroup(kPage));
  // The host answers the members by their names in the structure.
  compile.host.Declare("PANEL_IN.a", "INT", 8, 3, 9, 0);
  compile.host.Declare("PANEL_IN.b", "INT", 8, 3, 9, 2);
  compile.host.members["PANEL_IN"] = {"a", "b"};
  compile.host.hasTdiMap = true;
  compile.state.tdiMapPass = compile.host.OpenTdiPass();
  compile.panelStructures = {"PANEL_IN", "PANEL_OUT"};
  compile.Run();
  EXPECT_NE(std::find(compile.host.tdiAdded.begin(), compile.host.tdiAdded.end(), "PANEL_IN.a"),
            compile.host.tdiAdded.end());
  EXPECT_NE(std::find(compile.host.tdiAdded.begin(), compile.host.tdiAdded.end(), "PANEL_IN.b"),
            compile.host.tdiAdded.end());
}

TEST(ProjectPreparation, DefaultPageIsTheFirstWhenNoneIsMarked) {
  ProjectCompile none(OneGroup("<page name=\"A.XML\" /><page name=\"B.XML\" />"));
  EnsureDefaultPage(none.project.web);
  EXPECT_EQ(none.project.web->FindDeep("page")->GetAttr("default"), "true");
  ProjectCompile marked(OneGroup("<page name=\"A.XML\" /><page name=\"B.XML\" default=\"false\" />"));
  EnsureDefaultPage(marked.project.web);
  EXPECT_EQ(marked.project.web->FindDeep("page")->FindAttr("default"), nullptr);
}

TEST(PageTemplateMarks, EachMissingMarkIsReportedInOrder) {
  ProjectCompile compile(OneGroup(kPage));
  compile.pageTemplateText = "<xsl:stylesheet><html><head /><body /></html></xsl:stylesheet>";
  compile.Run();
  std::vector<std::string> sources;
  for (const auto& [text, source] : compile.host.messages) {
    EXPECT_EQ(text, "[Tarnwell] DEFAULT.XSL");
    sources.push_back(source);
  }
  EXPECT_EQ(sources, (std::vector<std::string>{"<title> wasn't found", "<!-- logo --> wasn't found",
                                               "<!-- title --> wasn't found", "<!-- plan --> wasn't found",
                                               "<!-- bottom --> wasn't found"}));
}

TEST(PageTemplateAdaptation, WebApplicationGetsItsMetaElementsAndKeepsTheScript) {
  ProjectCompile compile(OneGroup(kPage));
  compile.settings.webApp = true;
  compile.Run();
  const std::string stylesheet = compile.Read("PAGE1.XSL");
  EXPECT_NE(stylesheet.find("<meta name=\"viewport\" content=\"width=device-width\" />\r\n"), std::string::npos);
  const std::size_t apple = stylesheet.find("<meta name=\"apple-mobile-web-app-capable\" content=\"yes\" />");
  const std::size_t mobile = stylesheet.find("<meta name=\"mobile-web-app-capable\" content=\"yes\" />");
  ASSERT_NE(apple, std::string::npos);
  ASSERT_NE(mobile, std::string::npos);
  EXPECT_LT(apple, mobile);
  EXPECT_NE(stylesheet.find("var home = 1;"), std::string::npos);
}

TEST(PageTemplateAdaptation, OtherProjectsLoseTheHomeScreenScript) {
  ProjectCompile compile(OneGroup(kPage));
  compile.Run();
  const std::string stylesheet = compile.Read("PAGE1.XSL");
  EXPECT_EQ(stylesheet.find("var home = 1;"), std::string::npos);
  EXPECT_EQ(stylesheet.find("mobile-web-app-capable"), std::string::npos);
}

TEST(PageTemplateAdaptation, FootAndAuthorComeFromTheProject) {
  ProjectCompile compile(OneGroup(kPage, " foot=\"Made here\" author=\"Tarnwell\""));
  compile.settings.borderOff = true;
  compile.Run();
  const std::string stylesheet = compile.Read("PAGE1.XSL");
  EXPECT_NE(stylesheet.find("<meta name=\"author\" content=\"Tarnwell\" />"), std::string::npos);
  EXPECT_NE(stylesheet.find("<td style=\"border: 0px; \">Made here</td>"), std::string::npos);
}

TEST(PageTemplateAdaptation, EmptyFootWithoutBordersRemovesItsRow) {
  ProjectCompile compile(OneGroup(kPage, " foot=\"\""));
  compile.settings.borderOff = true;
  compile.Run();
  EXPECT_EQ(compile.Read("PAGE1.XSL").find("foot"), std::string::npos);
  ProjectCompile bordered(OneGroup(kPage, " foot=\"\""));
  bordered.Run();
  EXPECT_NE(bordered.Read("PAGE1.XSL").find("<tr style=\"line-height: 0px; height: 0px;\">"), std::string::npos);
}

TEST(PageTemplateAdaptation, TitleOffRemovesTheLogoRowAndMenuOffTheLogoCell) {
  ProjectCompile titleOff(OneGroup(kPage));
  titleOff.settings.titleOff = true;
  titleOff.Run();
  EXPECT_EQ(titleOff.Read("PAGE1.XSL").find("top_left_div"), std::string::npos);
  ProjectCompile menuOff(OneGroup(kPage));
  menuOff.state.menuOff = true;
  menuOff.Run();
  const std::string stylesheet = menuOff.Read("PAGE1.XSL");
  EXPECT_EQ(stylesheet.find("top_left_div"), std::string::npos);
  EXPECT_NE(stylesheet.find("<td style=\"border-left: 1px solid black;\">"), std::string::npos);
}

}  // namespace
