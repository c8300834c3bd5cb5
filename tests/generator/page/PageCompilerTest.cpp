// The page compiler's rules beyond the golden pages: refresh periods, the
// system word entry, visibility copies, template pages, shared entries, the
// variable limit, alarms, canvas and orientation support, JSON maps, the
// shared message operations, and the two script and stylesheet faults.

#include "generator/PageCompiler.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "core/XmlNode.h"
#include "generator/ObjectWriter.h"
#include "generator/PageMessages.h"
#include "tests/generator/page/PageHarness.h"

namespace {

namespace fs = std::filesystem;

const char kVariables[] =
    "<variable name=\"%MW10\" type=\"UINT\" code=\"12\" area=\"3\" size=\"9\" offset=\"10\" />"
    "<variable name=\"%MB20\" type=\"STRING\" code=\"21\" area=\"3\" size=\"8\" offset=\"20\" />"
    "<variable name=\"%MX1.0\" type=\"BOOL\" code=\"0\" area=\"3\" size=\"0\" offset=\"1\" />";

// A project of one group with the page PAGE1.XML holding the objects.
std::string Project(const std::string& objects, const std::string& pageAttributes = "ajax=\"true\"",
                    const std::string& webAttributes = "", const std::string& more = "",
                    const std::string& groupAttributes = "") {
  const std::string encoding = webAttributes.find("encoding=") == std::string::npos ? " encoding=\"windows-1250\"" : "";
  return "<web" + encoding + webAttributes + ">" + kVariables + more + "<group name=\"G\"" + groupAttributes +
         "><page name=\"PAGE1.XML\" caption=\"First page\" ucid=\"1700000000\" " + pageAttributes + ">" + objects +
         "</page></group></web>";
}

std::string Object(const std::string& attributes, const std::string& kind) {
  return "<object X=\"1\" Y=\"1\" " + attributes + ">" + kind + "</object>";
}

TPageRun CompileProject(const std::string& project) {
  PageHarness harness;
  harness.Load(project);
  return harness.Compile();
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + what.size())) ++n;
  return n;
}

std::string RunNode(const std::string& script) {
  const fs::path file = fs::temp_directory_path() / ("tarnwell-page-" + std::to_string(::getpid()) + ".js");
  const fs::path log = file.string() + ".log";
  std::ofstream(file, std::ios::binary) << script;
  const int status = std::system(("node '" + file.string() + "' >'" + log.string() + "' 2>&1").c_str());
  std::stringstream out;
  out << std::ifstream(log).rdbuf();
  fs::remove(file);
  fs::remove(log);
  return (status == 0 ? "" : "exit " + std::to_string(status) + ": ") + out.str();
}

TEST(PageCompilerTest, RefreshPeriodIsThePauseAtLeastOneMillisecond) {
  const std::pair<const char*, int> cases[] = {
      {"pause=\"0\"", 1}, {"pause=\"-5\"", 1}, {"", 1000}, {"pause=\"abc\"", 1000}, {"pause=\"250\"", 250}};
  for (const auto& [attribute, expected] : cases)
    EXPECT_EQ(CompileProject(Project("", attribute)).refreshPeriod, expected) << attribute;
}

TEST(PageCompilerTest, SystemWordEntryOnlyOnPagesWithoutVariables) {
  const TPageRun without = CompileProject(Project(Object("caption=\"Text\"", "<label />")));
  EXPECT_EQ(Count(without.dataPage, "<INPUT "), 1);
  EXPECT_NE(without.dataPage.find("<INPUT NAME=\"__S22_UINT_u\" VALUE=\"0\" />"), std::string::npos);
  const TPageRun with = CompileProject(Project(Object("", "<strimg variable=\"%MB20\" />")));
  EXPECT_EQ(Count(with.dataPage, "<INPUT "), 1);
  EXPECT_EQ(with.dataPage.find("__S22_UINT_u"), std::string::npos);
}

TEST(PageCompilerTest, LabelsWithoutIdsCarryNoIdAndNoEntry) {
  const TPageRun run = CompileProject(Project(Object("caption=\"Text\"", "<label />")));
  EXPECT_EQ(run.stylesheet.find("id=\"INPUT"), std::string::npos);
}

TEST(PageCompilerTest, LanguageTextsReplaceCaptionAndHint) {
  const std::string object =
      Object("caption=\"Editor\" hint=\"Editor hint\"",
             "<lang><caption code=\"7\">Seven</caption><hint code=\"5\">Five</hint></lang><label />");
  const std::pair<bool, const char*> cases[] = {{false, "title=\"Editor hint\" style"}, {true, "style"}};
  for (const auto& [languages, attributes] : cases) {
    PageHarness harness;
    harness.project.languageTexts = languages;
    harness.project.languageCode = 7;
    harness.Load(Project(object));
    const TPageRun run = harness.Compile();
    const std::string caption = languages ? ">Seven</div>" : ">Editor</div>";
    EXPECT_NE(run.stylesheet.find("<div " + std::string(attributes)), std::string::npos) << run.stylesheet;
    EXPECT_NE(run.stylesheet.find(caption), std::string::npos) << run.stylesheet;
  }
}

TEST(PageCompilerTest, VisibilityWritesHiddenCopyFirstAndSwitchesInScript) {
  const TPageRun run =
      CompileProject(Project(Object("caption=\"Alarm\" visvar=\"%MX1.0\" visneg=\"true\"", "<label />")));
  const std::size_t hiddenIf = run.stylesheet.find("<xsl:if test=\"INPUT[1]/@VALUE != 0\">");
  const std::size_t shownIf = run.stylesheet.find("<xsl:if test=\"INPUT[1]/@VALUE = 0\">");
  ASSERT_NE(hiddenIf, std::string::npos);
  ASSERT_NE(shownIf, std::string::npos);
  EXPECT_LT(hiddenIf, shownIf);
  const std::size_t hiddenStyle = run.stylesheet.find("visibility: hidden;");
  EXPECT_GT(hiddenStyle, hiddenIf);
  EXPECT_LT(hiddenStyle, shownIf);
  EXPECT_EQ(Count(run.stylesheet, ">Alarm</div>"), 2);
  EXPECT_NE(run.script.find("var Input1 = document.getElementById('INPUT1');\r\n"
                            "if(x[0].getAttribute('VALUE') != 0) {\r\n"
                            "Input1.style.visibility = 'hidden';\r\n"
                            "} else {\r\n"
                            "Input1.style.visibility = 'visible';\r\n"
                            "}\r\n"),
            std::string::npos)
      << run.script;
}

TEST(PageCompilerTest, FramesAreSwitchedByTheirDisplay) {
  const TPageRun run = CompileProject(
      Project(Object("visvar=\"%MX1.0\" readonly=\"true\"", "<iframe href=\"a.html\" width=\"9\" height=\"9\" />")));
  EXPECT_NE(run.script.find("if(x[0].getAttribute('VALUE') == 0) {\r\nInput1.style.display = 'none';\r\n} else {\r\n"
                            "Input1.style.display = 'block';\r\n}\r\n"),
            std::string::npos)
      << run.script;
  EXPECT_NE(run.stylesheet.find("height: 9px; display: none;\" src=\"a.html\" id=\"INPUT1\""), std::string::npos)
      << run.stylesheet;
}

TEST(PageCompilerTest, VisibilityComparesByTheVariableType) {
  const TPageRun run = CompileProject(Project(Object("caption=\"A\" visvar=\"%MB20\"", "<label />")));
  EXPECT_NE(run.stylesheet.find("test=\"INPUT[1]/@VALUE = ''\""), std::string::npos);
  EXPECT_NE(run.script.find("if(x[0].getAttribute('VALUE') == '') {"), std::string::npos);
}

TEST(PageCompilerTest, UnknownVisibilityVariableIsReportedAndTheObjectWrittenOnce) {
  const TPageRun run = CompileProject(Project(Object("caption=\"Once\" visvar=\"%MW99\"", "<label />")));
  EXPECT_EQ(Count(run.stylesheet, ">Once</div>"), 1);
  EXPECT_EQ(run.stylesheet.find("xsl:if test=\"INPUT"), std::string::npos);
  EXPECT_EQ(run.errors & kCompileErrorVariable, kCompileErrorVariable);
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(run.messages[0].first, "[Tarnwell] - Undefined variable :\xA0");
}

TEST(PageCompilerTest, TemplateCopiesAreMarkedNamedInMessagesAndRemovedAfterwards) {
  const std::string objects = Object("caption=\"Own\"", "<label />");
  const std::string project =
      "<web encoding=\"windows-1250\">" + std::string(kVariables) +
      "<group name=\"G\" usetemp=\"2\"><page name=\"PAGE1.XML\" caption=\"First page\" ucid=\"5\" ajax=\"true\">" +
      objects + "</page><page name=\"#TEMPBG2.XML\" ucid=\"7\"><placeholders />" +
      Object("caption=\"Back\"", "<strimg variable=\"%MW77\" />") + Object("caption=\"Back label\"", "<label />") +
      "</page><page name=\"#TEMPFG2.XML\">" + Object("caption=\"Front label\"", "<label />") + "</page></group></web>";
  PageHarness harness;
  harness.Load(project);
  const TPageRun run = harness.Compile();
  const std::size_t back = run.stylesheet.find(">Back label<");
  const std::size_t own = run.stylesheet.find(">Own<");
  const std::size_t front = run.stylesheet.find(">Front label<");
  ASSERT_NE(back, std::string::npos);
  EXPECT_LT(back, own);
  EXPECT_LT(own, front);
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(run.messages[0].second, "%MW77 - Picture controlled by string - First page (PAGE1.XML <- #TEMPBG2.XML)");
  EXPECT_EQ(run.pageAfter.find(" ti=\""), std::string::npos) << run.pageAfter;
  EXPECT_EQ(Count(run.pageAfter, "<object"), 1);
  // The background template changed since the page recorded it: a new stamp.
  EXPECT_NE(run.pageAfter.find("ucid=\"1800000000\""), std::string::npos);
  EXPECT_NE(run.pageAfter.find("ucidtb=\"7\""), std::string::npos);
}

TEST(PageCompilerTest, TwoObjectsOnOneVariableShareTheEntryWithOwnElements) {
  const TPageRun run = CompileProject(
      Project(Object("", "<strimg variable=\"%MB20\" />") + Object("", "<strimg variable=\"%MB20\" />")));
  EXPECT_EQ(Count(run.dataPage, "<INPUT "), 1);
  EXPECT_NE(run.stylesheet.find("id=\"INPUT1\""), std::string::npos);
  EXPECT_NE(run.stylesheet.find("id=\"INPUT2\""), std::string::npos);
  EXPECT_NE(run.script.find("Input1.src = x[0]"), std::string::npos);
  EXPECT_NE(run.script.find("Input2.src = x[0]"), std::string::npos);
}

TEST(PageCompilerTest, PicturesMissingFromTheImageListAreReported) {
  PageHarness harness;
  harness.Load(Project(Object("", "<picture img=\"NOPE.PNG\" />") + Object("", "<picture img=\"LOGO.PNG\" />"),
                       "ajax=\"true\"", "", "<images><img name=\"LOGO.PNG\" height=\"4\" width=\"6\" /></images>"));
  const TPageRun run = harness.Compile();
  EXPECT_EQ(run.errors & kCompileErrorFile, kCompileErrorFile);
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(run.messages[0], std::make_pair(std::string("[Tarnwell] - Not found in image manager :\xA0"),
                                            std::string("NOPE.PNG - First page (PAGE1.XML)")));
  EXPECT_NE(run.stylesheet.find("<div style=\"position: absolute; top: 0px; left: 0px; z-index: 1;\"></div>"),
            std::string::npos);
  EXPECT_NE(run.stylesheet.find("background-image: url(IMAGES/LOGO.PNG); line-height: 4px; height: 4px; width: 6px;"),
            std::string::npos);
}

TEST(PageCompilerTest, KindNamesCompareExactly) {
  const TPageRun run = CompileProject(Project(Object("caption=\"Nobody\"", "<Label />")));
  EXPECT_EQ(run.stylesheet.find("Nobody"), std::string::npos);
  EXPECT_TRUE(run.messages.empty());
}

TEST(PageCompilerTest, LevelZeroWritesNoLevelTest) {
  const TPageRun zero = CompileProject(
      Project(Object("level=\"0\"", "<block variable=\"%MW10\" value=\"1\" height=\"9\" width=\"9\" />")));
  EXPECT_EQ(zero.stylesheet.find("ACCESS/@USER_LEVEL"), std::string::npos);
  const TPageRun three = CompileProject(
      Project(Object("level=\"3\"", "<block variable=\"%MW10\" value=\"1\" height=\"9\" width=\"9\" />")));
  EXPECT_NE(three.stylesheet.find("test=\"3 &lt;= ACCESS/@USER_LEVEL\""), std::string::npos);
  EXPECT_NE(three.stylesheet.find("test=\"3 &gt; ACCESS/@USER_LEVEL\""), std::string::npos);
}

TEST(PageCompilerTest, VariableLimitSetsBitFourAndReportsThePage) {
  std::string more, objects;
  for (int i = 0; i < 130; ++i) {
    const std::string name = "%MW" + std::to_string(100 + 2 * i);
    more += "<variable name=\"" + name + "\" type=\"UINT\" code=\"12\" area=\"3\" size=\"9\" offset=\"" +
            std::to_string(100 + 2 * i) + "\" />";
    objects += Object("", "<strimg variable=\"" + name + "\" />");
  }
  const TPageRun small = CompileProject(Project(objects, "ajax=\"true\"", " cpm=\"10\"", more));
  EXPECT_EQ(Count(small.dataPage, "<INPUT "), 128);
  EXPECT_EQ(small.errors & kCompileErrorTooMany, kCompileErrorTooMany);
  ASSERT_FALSE(small.messages.empty());
  EXPECT_EQ(small.messages.back(), std::make_pair(std::string("[Tarnwell] - Too many variables on page:"),
                                                  std::string("First page (PAGE1.XML)")));
  const TPageRun large = CompileProject(Project(objects, "ajax=\"true\"", " cpm=\"11\"", more));
  EXPECT_EQ(Count(large.dataPage, "<INPUT "), 130);
  EXPECT_EQ(large.errors & kCompileErrorTooMany, 0u);
}

TEST(PageCompilerTest, AlarmPageLeavesForHigherAlarmsOrWhenItsOwnIsGone) {
  const std::string alarms =
      "<alarms><alarm var=\"%MX1.0\" page=\"PAGE9.XML\" />"
      "<alarm var=\"%MW10\" page=\"PAGE1.XML\" /><alarm var=\"%MB20\" page=\"PAGE8.XML\" /></alarms>";
  const TPageRun run = CompileProject(Project("", "ajax=\"true\"", "", alarms));
  EXPECT_NE(run.script.find("if(\r\n(x[0].getAttribute('VALUE') != '0')||(x[1].getAttribute('VALUE') == '0'))\r\n"
                            "{BackToReferrer();}\r\n"),
            std::string::npos)
      << run.script;
  EXPECT_EQ(run.script.find("PAGE8.XML"), std::string::npos);
}

TEST(PageCompilerTest, OtherPagesJumpToTheFirstActiveAlarm) {
  const std::string alarms =
      "<alarms><alarm var=\"%MX1.0\" page=\"PAGE9.XML\" />"
      "<alarm var=\"%MW10\" page=\"PAGE8.XML\" /></alarms>";
  const TPageRun run = CompileProject(Project("", "ajax=\"true\"", "", alarms));
  EXPECT_NE(run.script.find("if(x[0].getAttribute('VALUE') != '0') document.location.href='PAGE9.XML';\r\n"
                            "else if(x[1].getAttribute('VALUE') != '0') document.location.href='PAGE8.XML';\r\n"),
            std::string::npos)
      << run.script;
  EXPECT_EQ(Count(run.dataPage, "<INPUT "), 2);
}

TEST(PageCompilerTest, CanvasPagesGetTheConversionOfTheirCodePage) {
  struct Case {
    const char* encoding;
    const char* function;
    const char* input;  // bytes as a script array, length first for ArrayToText
    const char* text;   // what the function answers
  };
  const Case cases[] = {
      {"utf-8", "Utf8ArrayToStr", "Utf8ArrayToStr([0x41,0xC5,0xA0,0xE2,0x82,0xAC],0,6)", "A\u0160\u20AC"},
      {"windows-1250", "ArrayToText", "ArrayToText([3,0x41,0x8A,0xB9],0)", "A\u0160\u0105"},
      {"windows-1257", "ArrayToText", "ArrayToText([3,0x41,0x8A,0xB9],0)", "A\u0160\u0105"},
      {"windows-1252", "ArrayToText", "ArrayToText([2,0x80,0xE9],0)", "\u20AC\u00E9"},
      {"windows-1254", "ArrayToText", "ArrayToText([1,0xD0],0)", "\u011E"},
      {"windows-1255", "ArrayToText", "ArrayToText([2,0xE0,0xFF],0)", "\u05D0\uFFFF"},
  };
  for (const Case& c : cases) {
    const TPageRun run = CompileProject(Project(Object("", "<canvas variable=\"%MW10\" />"), "ajax=\"true\"",
                                                std::string(" encoding=\"") + c.encoding + "\""));
    const std::size_t begin = run.script.find("function " + std::string(c.function));
    ASSERT_NE(begin, std::string::npos) << c.encoding;
    const std::size_t end = run.script.find("function onResponse");
    const std::string check = run.script.substr(begin, end - begin) + "process.stdout.write(JSON.stringify(" + c.input +
                              ") === JSON.stringify('" + c.text + "') ? 'ok' : " + c.input + ");";
    EXPECT_EQ(RunNode(check), "ok") << c.encoding;
  }
}

TEST(PageCompilerTest, PagesWithoutCanvasHaveNoConversion) {
  const TPageRun run = CompileProject(Project(Object("", "<strimg variable=\"%MB20\" />")));
  EXPECT_EQ(run.script.find("ArrayToText"), std::string::npos);
  EXPECT_EQ(run.script.find("Utf8ArrayToStr"), std::string::npos);
  EXPECT_NE(run.script.find("if(x[0]) {"), std::string::npos);
}

TEST(PageCompilerTest, OrientationPagesPostTheAngles) {
  const TPageRun run = CompileProject(Project("", "ajax=\"true\" beta=\"%MW10\""));
  EXPECT_NE(run.script.find("function PostOrientation(a, b, c) {"), std::string::npos);
  EXPECT_NE(run.script.find("pd=PostOrientation('','__R10_UINT_0.1u','');\r\n"), std::string::npos) << run.script;
}

TEST(PageCompilerTest, MovedVariableRenewsThePageStamp) {
  const std::string moved =
      "<variable name=\"%MW40\" type=\"UINT\" code=\"12\" area=\"3\" size=\"9\" offset=\"40\" moved=\"true\" />";
  // A rectangle's variable, and a touch variable of the object itself.
  for (const std::string& object : {Object("", "<block variable=\"%mw40 \" height=\"5\" width=\"5\" />"),
                                    Object("caption=\"c\" clickcol=\"%MW40\"", "<label />")}) {
    const TPageRun run = CompileProject(Project(object, "ajax=\"true\"", "", moved));
    EXPECT_NE(run.pageAfter.find("ucid=\"1800000000\""), std::string::npos) << object;
    EXPECT_NE(run.dataPage.find("UCID=\"1800000000\""), std::string::npos);
    EXPECT_NE(run.script.find("access.getAttribute('UCID') != 1800000000"), std::string::npos);
  }
}

TEST(PageCompilerTest, JsonMapListsTheVariablesWithoutBlanks) {
  PageHarness harness;
  harness.Load(Project(Object("", "<strimg variable=\"%MB20\" />") + Object("", "<block variable=\"%MW10\" />"),
                       "ajax=\"true\" jsonmap=\"true\""));
  harness.Compile();
  EXPECT_TRUE(harness.state.anyJsonMap);
  EXPECT_EQ(harness.output.Read("WWW/JSN/PAGE1.JSN"),
            "{\"UCID\":1700000000,\"rw\":[\"%MB20\",\"%MW10\"],\"d\":[],\"w\":[]}");
  EXPECT_NE(harness.Files().Find("JSN\\PAGE1.JSN"), nullptr);
}

TEST(PageCompilerTest, MissingBodyOrPlanCellIsReported) {
  PageHarness harness;
  harness.Load(Project(""));
  harness.host.AcquireCompilerMessages();
  TmyXmlNode page("page");
  page.SetAttr("name", "PAGE7.XML");
  TmyXmlNode data("PAGE");
  EXPECT_EQ(harness.CompileWithoutTemplate(&page, &data), "PAGE7.XML");
  ASSERT_EQ(harness.host.messages.size(), 1u);
  EXPECT_EQ(harness.host.messages[0],
            std::make_pair(std::string("[Tarnwell]"), std::string("Failed to create: PAGE7.XML")));
  EXPECT_TRUE(data.firstChild == nullptr);
}

// The fault: a "{" in a hint made the whole stylesheet fail in XSLT.
TEST(PageCompilerTest, BracesInLiteralAttributesRenderLiterally) {
  const TPageRun run =
      CompileProject(Project(Object("caption=\"Go\" hint=\"Set {x} here\"", "<label href=\"PAGE2.XML?q={a}\" />")));
  const fs::path dir = fs::temp_directory_path() / ("tarnwell-braces-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "page.xsl", std::ios::binary) << run.stylesheet;
  std::ofstream(dir / "page.xml", std::ios::binary) << run.dataPage;
  const fs::path log = dir / "out.html";
  const int status = std::system(("xsltproc '" + (dir / "page.xsl").string() + "' '" + (dir / "page.xml").string() +
                                  "' >'" + log.string() + "' 2>&1")
                                     .c_str());
  std::stringstream html;
  html << std::ifstream(log).rdbuf();
  fs::remove_all(dir);
  ASSERT_EQ(status, 0) << html.str();
  EXPECT_NE(html.str().find("title=\"Set {x} here\""), std::string::npos) << html.str();
  EXPECT_NE(html.str().find("href=\"PAGE2.XML?q=%7Ba%7D\""), std::string::npos) << html.str();
}

// The fault: an answer that is not XML left `pd` undefined after catch, and
// the page posted "undefined" every millisecond.
TEST(PageCompilerTest, AnswerThatIsNotXmlRequestsThePlainPageAfterTheRefreshPeriod) {
  const TPageRun run =
      CompileProject(Project(Object("", "<strimg variable=\"%MB20\" />"), "ajax=\"true\" pause=\"700\""));
  const std::string stubs =
      "var calls = [];\n"
      "function setTimeout(code, delay) { calls.push([code, delay]); }\n"
      "var document = {location: {reload: function() { calls.push(['reload']); }}};\n"
      "var console = {log: function() {}};\n"
      "var gWatchDog = 0, g_postInProgress = false;\n"
      "var xmlhttpGET = {readyState: 4, status: 200, statusText: 'OK', responseXML: null,"
      " responseText: 'Internal error'};\n";
  const std::string check = "\nonResponse();\nprocess.stdout.write(JSON.stringify(calls));\n";
  EXPECT_EQ(RunNode(stubs + run.script + check), "[[\"GetXML('PAGE1.XML')\",700]]");
}

// The built-in page template takes the page as the test template does.
TEST(PageCompilerTest, BuiltInTemplateRendersThePage) {
  PageHarness harness;
  harness.templateResource = "DEFAULT_XSL";
  harness.Load(Project(Object("caption=\"Built in\" hint=\"{hint}\"", "<label />") +
                       Object("", "<strimg variable=\"%MB20\" />")));
  const TPageRun run = harness.Compile();
  const fs::path dir = fs::temp_directory_path() / ("tarnwell-builtin-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "page.xsl", std::ios::binary) << run.stylesheet;
  std::ofstream(dir / "page.xml", std::ios::binary) << run.dataPage;
  const fs::path log = dir / "out.html";
  const int status = std::system(("xsltproc '" + (dir / "page.xsl").string() + "' '" + (dir / "page.xml").string() +
                                  "' >'" + log.string() + "' 2>&1")
                                     .c_str());
  std::stringstream html;
  html << std::ifstream(log).rdbuf();
  fs::remove_all(dir);
  ASSERT_EQ(status, 0) << html.str();
  EXPECT_NE(html.str().find("title=\"{hint}\""), std::string::npos) << html.str();
  EXPECT_NE(html.str().find(">Built in</div>"), std::string::npos) << html.str();
  EXPECT_NE(html.str().find("id=\"INPUT1\""), std::string::npos) << html.str();
}

struct MessageCase {
  int mark;
  const char* prefix;
  const char* source;
};

TEST(PageMessagesTest, SourcesNameDetailWhatPlaceAndTemplatePage) {
  const MessageCase cases[] = {
      {0, "", "detail - what (place)"},
      {-3, "", "detail - what (place <- #TEMPBG3.XML)"},
      {4, "", "detail - what (place <- #TEMPFG4.XML)"},
      {0, "pre", "detail - pre - what (place)"},
  };
  for (const MessageCase& c : cases) {
    PageHarness harness;
    harness.Load(Project(""));
    harness.host.AcquireCompilerMessages();
    TObjectData object;
    object.templateMark = c.mark;
    AddNamedObjectMessage(harness.Context(), "text", "detail", "place", "what", object, c.prefix);
    ASSERT_EQ(harness.host.messages.size(), 1u);
    EXPECT_EQ(harness.host.messages[0].second, c.source);
  }
}

TEST(PageMessagesTest, VariableReportsChooseTheirText) {
  struct Case {
    const char* variable;
    const char* type;
    const char* text;
    const char* source;
  };
  const Case cases[] = {
      {"", "", "[Tarnwell] - missing variable", " - Kind - what (place)"},
      {"%MW1", "", "[Tarnwell] - Undefined variable :\xA0", "%MW1 - Kind - what (place)"},
      {"%MW1", "UINT", "[Tarnwell] - Unknown variable :\xA0", "%MW1 - Kind - what (place)"},
  };
  for (const Case& c : cases) {
    PageHarness harness;
    harness.Load(Project(""));
    harness.host.AcquireCompilerMessages();
    ReportVariableProblem(harness.Context(), "Kind", c.variable, c.type, "place", "what", TObjectData{});
    ASSERT_EQ(harness.host.messages.size(), 1u);
    EXPECT_EQ(harness.host.messages[0], std::make_pair(std::string(c.text), std::string(c.source)));
  }
}

TEST(PageCompilerServicesTest, TemplatePageNamesAndLimits) {
  EXPECT_EQ(TemplatePageName(-2), "#TEMPBG2.XML");
  EXPECT_EQ(TemplatePageName(0), "");
  EXPECT_EQ(TemplatePageName(9), "#TEMPFG9.XML");
  const std::tuple<int, int, int> limits[] = {{-1, 128, 8192}, {10, 128, 8192}, {11, 256, 16384}, {20, 256, 16384}};
  for (const auto& [cpm, variables, bytes] : limits) {
    EXPECT_EQ(MaxPageVariables(cpm), variables) << cpm;
    EXPECT_EQ(MaxDataPageBytes(cpm), bytes) << cpm;
  }
}

TEST(DataEntryTest, OnlyTheFirstBlankIsEscapedAndOnlyInUtf8) {
  const std::pair<const char*, const char*> cases[] = {
      {"windows-1250", "<INPUT NAME=\"a b c\" VALUE=\"0\" />"},
      {"utf-8", "<INPUT NAME=\"a&#32;b c\" VALUE=\"0\" />"},
  };
  for (const auto& [encoding, expected] : cases) {
    PageHarness harness;
    harness.Load(Project("", "ajax=\"true\"", std::string(" encoding=\"") + encoding + "\""));
    TPageState page(harness.Context());
    page.codePageDigit = std::string(encoding) == "utf-8" ? '8' : '0';
    TmyXmlNode parent("PAGE");
    AddDataEntry(page, &parent, false, "V", "a b c", "V");
    TmyXMLParser writer;
    writer.progress = false;
    EXPECT_EQ(writer.WriteNode(parent.firstChild, 1), std::string(expected) + "\r\n");
    EXPECT_EQ(page.inputs, std::vector<std::string>{"Va b c"});
  }
  EXPECT_EQ(EscapeFirstBlank("no-blank"), "no-blank");
}

TEST(ObjectWriterTableTest, FourteenKeywordsInTheirFixedOrder) {
  const char* expected[] = {"block",  "camera", "canvas",   "edit",  "dropdown", "picture", "postfile",
                            "iframe", "image",  "imagebtn", "label", "mulimg",   "submit",  "strimg"};
  for (int i = 0; i < kObjectWriterCount; ++i) EXPECT_STREQ(ObjectWriterKeywords()[i], expected[i]) << i;
}

TEST(PageCompilerTest, ColoursAreAtLeastSixUpperCaseHexDigits) {
  const std::pair<std::uint32_t, const char*> cases[] = {
      {0, "000000"}, {0xabc, "000ABC"}, {0xffffff, "FFFFFF"}, {0x1000000, "1000000"}, {0xfedcba98, "FEDCBA98"}};
  for (const auto& [colour, text] : cases) EXPECT_EQ(Hex6(colour), text) << colour;
}

}  // namespace
