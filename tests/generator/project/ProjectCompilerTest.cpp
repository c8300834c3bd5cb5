// The project compiler's walk: which files each page gives, what the page
// script holds, the data-page limit, the error bits around the page compiler,
// the placeholders and the project's code page.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#include "ProjectCompilerSupport.h"
#include "core/FileHelpers.h"
#include "platform/win/SystemError.h"

using projecttest::OneGroup;
using projecttest::ProjectCompile;

namespace {

constexpr const char* kPage1 =
    "<page name=\"PAGE1.XML\" caption=\"One\" "
    "ajax=\"true\" default=\"true\" ucid=\"7\" />";
constexpr const char* kPage2 = "<page name=\"PAGE2.XML\" caption=\"Two\" />";

TEST(ProjectCompilerFiles, AjaxPageGetsScriptDataPageStylesheetAndTheDefaultPageTheIndex) {
  ProjectCompile compile(OneGroup(std::string(kPage1) + kPage2));
  compile.Run();
  EXPECT_TRUE(compile.Exists("PAGE1.JS"));
  EXPECT_TRUE(compile.Exists("PAGE1.XML"));
  EXPECT_TRUE(compile.Exists("PAGE1.XSL"));
  EXPECT_TRUE(compile.Exists("INDEX.XML"));
  EXPECT_EQ(compile.Read("INDEX.XML"), compile.Read("PAGE1.XML"));
  EXPECT_FALSE(compile.Exists("PAGE2.JS"));
  EXPECT_TRUE(compile.Exists("PAGE2.XML"));
  EXPECT_TRUE(compile.Exists("PAGE2.XSL"));
  EXPECT_EQ(compile.state.compiledFiles, 6);
  EXPECT_NE(compile.files.Find("PAGE2.XSL"), nullptr);
}

TEST(ProjectCompilerFiles, NotForWwwGroupCompilesItsPagesButWritesNothing) {
  ProjectCompile compile("<web><group name=\"G\" notforwww=\"true\">" + std::string(kPage1) + "</group></web>");
  compile.Run();
  EXPECT_EQ(compile.pages.pages, 1);
  EXPECT_FALSE(compile.Exists("PAGE1.JS"));
  EXPECT_FALSE(compile.Exists("PAGE1.XML"));
  EXPECT_FALSE(compile.Exists("INDEX.XML"));
  EXPECT_FALSE(compile.state.notForWww);
}

TEST(ProjectCompilerFiles, XmlOnlyWritesDataPagesWithoutScriptsOrStylesheets) {
  ProjectCompile compile(OneGroup(kPage1));
  compile.Folder().Write("WWW/PAGE1.JS", "the last full compile's");
  compile.Folder().Write("WWW/PAGE1.XSL", "the last full compile's");
  compile.state.generateXmlOnly = true;
  compile.Run();
  EXPECT_TRUE(compile.Exists("PAGE1.XML"));
  EXPECT_EQ(compile.Read("PAGE1.JS"), "the last full compile's");
  EXPECT_EQ(compile.Read("PAGE1.XSL"), "the last full compile's");
}

TEST(ProjectCompilerFiles, ImportedStylesheetIsNotOverwritten) {
  ProjectCompile compile(OneGroup(kPage1));
  compile.state.importedFiles = std::make_unique<TStringList>();
  compile.state.importedFiles->Add("page1.xsl");
  compile.Folder().Write("WWW/PAGE1.XSL", "user's own");
  compile.Run();
  EXPECT_EQ(compile.Read("PAGE1.XSL"), "user's own");
}

TEST(ProjectCompilerFiles, PageWithoutAnyPageMarkedDefaultBecomesTheIndex) {
  ProjectCompile compile(OneGroup(std::string(kPage2) + "<page name=\"PAGE3.XML\" caption=\"3\" />"));
  compile.Run();
  EXPECT_EQ(compile.project.web->FindDeep("page")->GetAttr("default"), "true");
  EXPECT_EQ(compile.Read("INDEX.XML"), compile.Read("PAGE2.XML"));
}

TEST(ProjectCompilerFiles, FileThatCannotBeWrittenIsReportedWithTheFileBit) {
  ProjectCompile compile(OneGroup(kPage2));
  compile.Folder().Write("WWW/PAGE2.XSL/blocker", "a folder where the file should go");
  compile.Run();
  SetLastErrorFromErrno(EISDIR);  // why: a folder stands in the file's place
  EXPECT_TRUE(
      compile.HasMessage(GetUiText(7074) + "(" + LastErrorReason() + ")", compile.state.outputRoot + "PAGE2.XSL"));
  EXPECT_NE(compile.state.compileErrors & kCompileErrorFile, 0u);
}

TEST(ProjectCompilerPages, EachPageStartsFromAnEmptyDataPageAndPlanCell) {
  ProjectCompile compile(
      OneGroup("<page name=\"PAGE1.XML\" caption=\"One\"><object var=\"a\" /></page>"
               "<page name=\"PAGE2.XML\" caption=\"Two\"><object var=\"b\" /></page>"));
  compile.Run();
  const std::string second = compile.Read("PAGE2.XML");
  EXPECT_EQ(second.find("NAME=\"a\""), std::string::npos);
  EXPECT_NE(second.find("NAME=\"b\""), std::string::npos);
  const std::string stylesheet = compile.Read("PAGE2.XSL");
  EXPECT_EQ(stylesheet.find("<div>One</div>"), std::string::npos);
  EXPECT_NE(stylesheet.find("<div>Two</div>"), std::string::npos);
}

// Byte 0xC0 is CYRILLIC A in windows-1251 and A WITH GRAVE in the machine's
// code page: scripts and stylesheets are UTF-8 from the project's code page.
TEST(ProjectCompilerPages, ScriptAndStylesheetAreConvertedFromTheProjectsCodePage) {
  ProjectCompile compile(OneGroup("<page name=\"PAGE1.XML\" caption=\"\xC0\" ajax=\"true\" />"));
  compile.settings.encoding = "windows-1251";
  compile.settings.codePage = 1251;
  compile.Run();
  EXPECT_NE(compile.Read("PAGE1.JS").find("var caption = '\xD0\x90';"), std::string::npos);
  EXPECT_NE(compile.Read("PAGE1.XSL").find("<div>\xD0\x90</div>"), std::string::npos);
}

TEST(ProjectCompilerPages, UtfEightProjectTextsAreNotConvertedTwice) {
  ProjectCompile compile(OneGroup("<page name=\"PAGE1.XML\" caption=\"\xD0\x90\" ajax=\"true\" />"));
  compile.settings.encoding = "UTF-8";
  compile.settings.codePage = kCodePageUtf8;
  compile.Run();
  EXPECT_NE(compile.Read("PAGE1.JS").find("var caption = '\xD0\x90';"), std::string::npos);
}

TEST(ProjectCompilerPages, StylesheetAndScriptAddressesCarryThePageStamp) {
  ProjectCompile compile(
      OneGroup("<page name=\"PAGE1.XML\" caption=\"One\" ajax=\"true\" ucid=\"7\" "
               "notification=\"true\" />"));
  compile.Run();
  EXPECT_NE(compile.Read("PAGE1.XML").find("href=\"PAGE1.XSL?U=7\""), std::string::npos);
  const std::string stylesheet = compile.Read("PAGE1.XSL");
  const std::size_t script = stylesheet.find(
      "<script src=\"PAGE1.JS?U=7\" language=\"JavaScript\" "
      "charset=\"utf-8\" />");
  const std::size_t notify = stylesheet.find("<script src=\"NOTIFY/CLIENT.JS?U=7\"");
  ASSERT_NE(script, std::string::npos);
  ASSERT_NE(notify, std::string::npos);
  EXPECT_LT(script, notify);
}

TEST(ProjectCompilerPages, ErrorBitsAreClearedForEachPageAndJoinedAfterwards) {
  ProjectCompile compile(
      OneGroup("<page name=\"PAGE1.XML\" caption=\"1\" errors=\"4\" />"
               "<page name=\"PAGE2.XML\" caption=\"2\" errors=\"1\" />"));
  compile.state.compileErrors = kCompileErrorFile;
  compile.Run();
  EXPECT_EQ(compile.pages.errorsAtStart, (std::vector<std::uint32_t>{0, 0}));
  EXPECT_EQ(compile.state.compileErrors, 7u);
}

TEST(ProjectCompilerPages, ShownPagePlaceholdersAreRestoredAfterTheLastPage) {
  ProjectCompile compile(
      "<web><group name=\"A\"><placeholders><alias name=\"g\">1</alias><alias "
      "name=\"h\">2</alias></placeholders>"
      "<page name=\"PAGE1.XML\" caption=\"1\"><placeholders><alias "
      "name=\"p\">1</alias></placeholders></page>"
      "</group><group name=\"B\"><page name=\"PAGE2.XML\" caption=\"2\" "
      "/></group></web>");
  compile.project.shownPage = compile.project.web->FindDeep("page");
  compile.Run();
  EXPECT_EQ(compile.webData.PagePlaceHolders.Count(),
            compile.project.shownPage->FindChild("placeholders")->ChildCount());
  EXPECT_EQ(compile.webData.GroupPlaceHolders.Count(),
            compile.project.shownPage->parent->FindChild("placeholders")->ChildCount());
}

// A data page over the limit is reported for the central units that take less.
struct LimitCase {
  int cpmCode;
  int inputs;
  bool tooLarge;
};

class ProjectCompilerDataPageLimit : public testing::TestWithParam<LimitCase> {};

TEST_P(ProjectCompilerDataPageLimit, ReportsDataPagesOverTheLimit) {
  std::string objects;
  for (int i = 0; i < GetParam().inputs; ++i)
    objects += "<object var=\"VARIABLE_WITH_A_LONG_NAME_" + std::to_string(i) + "\" />";
  ProjectCompile compile(OneGroup("<page name=\"PAGE1.XML\" caption=\"Big\">" + objects + "</page>"));
  compile.host.cpmCode = GetParam().cpmCode;
  compile.Run();
  const std::size_t size = compile.Read("PAGE1.XML").size();
  ASSERT_GT(size, 8192u);
  ASSERT_LE(size, 16384u);
  EXPECT_EQ((compile.state.compileErrors & kCompileErrorTooMany) != 0, GetParam().tooLarge);
  EXPECT_EQ(compile.HasMessage("Xml file (PAGE1.XML - Big) is too large. Use "
                               "less variables or shorten their names, please.",
                               "PAGE1.XML"),
            GetParam().tooLarge);
}

INSTANTIATE_TEST_SUITE_P(Units, ProjectCompilerDataPageLimit,
                         testing::Values(LimitCase{10, 200, true}, LimitCase{11, 200, false},
                                         LimitCase{-1, 200, true}));

}  // namespace
