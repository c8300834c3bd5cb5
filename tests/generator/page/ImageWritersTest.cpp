// The picture writers' reports and shared lists beyond the golden pages:
// unknown variables and pictures missing from the image list, the written-only
// list of image buttons, the global switch in PostGlobal and the language text
// of the second caption.

#include <gtest/gtest.h>

#include <string>

#include "generator/CompileState.h"
#include "tests/generator/page/PageHarness.h"

namespace {

const char kProject[] =
    "<web encoding=\"windows-1250\">"
    "<variable name=\"%MW10\" type=\"UINT\" code=\"12\" area=\"3\" size=\"9\" offset=\"10\" />"
    "<variable name=\"%MX1.0\" type=\"BOOL\" code=\"0\" area=\"3\" size=\"0\" offset=\"1\" />"
    "<images><img name=\"OFF.PNG\" height=\"20\" width=\"30\" /></images>"
    "<group name=\"G\"><page name=\"PAGE1.XML\" caption=\"First page\" ucid=\"1700000000\" ajax=\"true\">"
    "@OBJECTS@</page></group></web>";

std::string Project(const std::string& objects) {
  std::string project = kProject;
  project.replace(project.find("@OBJECTS@"), 9, objects);
  return project;
}

TPageRun CompileProject(const std::string& objects, bool languages = false) {
  PageHarness harness;
  harness.project.languageTexts = languages;
  harness.project.languageCode = 7;
  harness.Load(Project(objects));
  return harness.Compile();
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + what.size())) ++n;
  return n;
}

struct TKindCase {
  const char* name;
  const char* kind;     // the kind element with the placeholder @VAR@ for its variable
  const char* caption;  // the kind's caption in reports
};

const TKindCase kKinds[] = {
    {"image", "<image variable=\"@VAR@\" off=\"OFF.PNG\" on=\"NOPE.PNG\" />", "Double-state image"},
    {"imagebtn", "<imagebtn variable=\"@VAR@\" value=\"1\" off=\"OFF.PNG\" on=\"NOPE.PNG\" />",
     "Element for setting variable value"},
    {"mulimg", "<mulimg variable=\"@VAR@\"><i name=\"OFF.PNG\" /><i name=\"NOPE.PNG\" /></mulimg>",
     "Multi-state image"},
};

std::string Kind(const TKindCase& c, const std::string& variable) {
  std::string kind = c.kind;
  kind.replace(kind.find("@VAR@"), 5, variable);
  return "<object X=\"1\" Y=\"1\" caption=\"Cap\">" + kind + "</object>";
}

TEST(PictureWritersTest, UnknownVariableIsReportedWithTheKindAndWritesTheRedPlaceholder) {
  for (const TKindCase& c : kKinds) {
    const TPageRun run = CompileProject(Kind(c, "%MW99"));
    EXPECT_EQ(run.errors & kCompileErrorVariable, kCompileErrorVariable) << c.name;
    bool reported = false;
    for (const auto& [text, source] : run.messages)
      reported |= source.rfind(std::string("%MW99 - ") + c.caption, 0) == 0;
    EXPECT_TRUE(reported) << c.name;
    EXPECT_EQ(Count(run.stylesheet, "border: solid red 2px; position: absolute; top: 0px; left: 0px; z-index: 1;"), 1)
        << c.name;
    EXPECT_EQ(run.script.find("Input"), std::string::npos) << c.name;
  }
}

TEST(PictureWritersTest, PictureMissingFromTheImageListIsReportedAndTheObjectWrittenWithout) {
  for (const TKindCase& c : kKinds) {
    const TPageRun run = CompileProject(Kind(c, "%MW10"));
    EXPECT_EQ(run.errors, kCompileErrorFile) << c.name;
    ASSERT_EQ(run.messages.size(), 1u) << c.name;
    EXPECT_EQ(run.messages[0].first, "[Tarnwell] - Not found in image manager :\xA0") << c.name;
    EXPECT_EQ(run.messages[0].second.rfind("NOPE.PNG - ", 0), 0u) << c.name;
    EXPECT_NE(run.stylesheet.find("url(IMAGES/OFF.PNG)"), std::string::npos) << c.name;
    EXPECT_EQ(run.stylesheet.find("NOPE.PNG"), std::string::npos) << c.name;
    EXPECT_EQ(run.script.find("NOPE.PNG"), std::string::npos) << c.name;
  }
}

TEST(PictureWritersTest, ImageButtonsPostWithoutADataEntryAndShareTheirVariable) {
  const TPageRun run = CompileProject(Kind(kKinds[1], "%MW10") + Kind(kKinds[1], "%MW10"));
  EXPECT_EQ(run.dataPage.find("__R10_UINT_u"), std::string::npos);
  EXPECT_EQ(Count(run.script, "encodeURIComponent('__R10_UINT_u=1')"), 2);
  EXPECT_NE(run.script.find("function PostXML1()"), std::string::npos);
  EXPECT_NE(run.script.find("function PostXML2()"), std::string::npos);
}

TEST(PictureWritersTest, GlobalSwitchIsPostedThroughItsHiddenField) {
  const std::string image = "<image variable=\"%MX1.0\" off=\"OFF.PNG\" global=\"@G@\" />";
  for (const bool global : {false, true}) {
    std::string kind = image;
    kind.replace(kind.find("@G@"), 3, global ? "true" : "false");
    const TPageRun run = CompileProject("<object X=\"1\" Y=\"1\">" + kind + "</object>");
    const std::size_t postGlobal = run.script.find("function PostGlobal() {");
    ASSERT_NE(postGlobal, std::string::npos);
    const std::string body = run.script.substr(postGlobal, run.script.find("\n}", postGlobal) - postGlobal);
    EXPECT_EQ(body.find("getElementById('INPUT1h')") != std::string::npos, global) << body;
    EXPECT_EQ(run.stylesheet.find("<form style=") != std::string::npos, !global);
  }
}

TEST(PictureWritersTest, SecondCaptionTakesTheProjectLanguage) {
  const std::string object =
      "<object X=\"1\" Y=\"1\" caption=\"Off\" readonly=\"true\">"
      "<lang><optcap code=\"7\">Zapnuto</optcap></lang>"
      "<image variable=\"%MX1.0\" off=\"OFF.PNG\" optcap=\"On\" /></object>";
  EXPECT_NE(CompileProject(object, true).script.find("Input1.innerHTML = 'Zapnuto';"), std::string::npos);
  EXPECT_NE(CompileProject(object, false).script.find("Input1.innerHTML = 'On';"), std::string::npos);
}

}  // namespace
