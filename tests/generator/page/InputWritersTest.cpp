// The writers of edit fields, drop-down lists, submit buttons and upload
// fields beyond the golden pages: texts in literal attributes and markup
// characters as the browser gets them, the limit checks by type, the field
// widths, the option order, and what read-only fields leave out.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "generator/ProjectCompiler.h"
#include "tests/generator/page/PageHarness.h"

namespace {

namespace fs = std::filesystem;

const char kVariables[] =
    "<variable name=\"%MW10\" type=\"UINT\" code=\"12\" area=\"3\" size=\"9\" offset=\"10\" />"
    "<variable name=\"%MW12\" type=\"INT\" code=\"8\" area=\"3\" size=\"9\" offset=\"12\" />"
    "<variable name=\"%MW14\" type=\"WORD\" code=\"4\" area=\"3\" size=\"9\" offset=\"14\" />"
    "<variable name=\"%MD16\" type=\"TIME\" code=\"17\" area=\"3\" size=\"10\" offset=\"16\" />"
    "<variable name=\"%MD24\" type=\"DATE\" code=\"18\" area=\"3\" size=\"10\" offset=\"24\" />"
    "<variable name=\"%MD28\" type=\"TIME_OF_DAY\" code=\"19\" area=\"3\" size=\"10\" offset=\"28\" />"
    "<variable name=\"%MD32\" type=\"DATE_AND_TIME\" code=\"20\" area=\"3\" size=\"10\" offset=\"32\" />"
    "<variable name=\"%MB20\" type=\"STRING\" code=\"21\" area=\"3\" size=\"8\" offset=\"20\" />";

std::string Object(const std::string& attributes, const std::string& kind) {
  return "<object X=\"2\" Y=\"2\" " + attributes + ">" + kind + "</object>";
}

TPageRun Compile(const std::string& objects, const std::string& webAttributes = "") {
  PageHarness harness;
  harness.Load("<web encoding=\"windows-1250\"" + webAttributes + ">" + kVariables +
               "<group name=\"G\"><page name=\"PAGE1.XML\" caption=\"First page\" ucid=\"1700000000\" ajax=\"true\">" +
               objects + "</page></group></web>");
  return harness.Compile();
}

// The page as xsltproc renders it; the test fails when xsltproc refuses.
std::string Render(const TPageRun& run) {
  const fs::path dir = fs::temp_directory_path() / ("tarnwell-inputs-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "page.xsl", std::ios::binary) << run.stylesheet;
  std::ofstream(dir / "page.xml", std::ios::binary) << run.dataPage;
  const fs::path log = dir / "out.html";
  const int status = std::system(("xsltproc '" + (dir / "page.xsl").string() + "' '" + (dir / "page.xml").string() +
                                  "' >'" + log.string() + "' 2>&1")
                                     .c_str());
  std::stringstream html;
  html << std::ifstream(log, std::ios::binary).rdbuf();
  fs::remove_all(dir);
  EXPECT_EQ(status, 0) << html.str();
  return html.str();
}

// The fault: captions as `value`, option values and upload warnings stood in
// literal attributes of the stylesheet with their braces, so XSLT read them as
// expressions ("{1 2}" made the whole stylesheet fail, "{x}" vanished).
TEST(InputWritersTest, BracesInLiteralAttributesRenderLiterally) {
  const TPageRun run = Compile(
      Object("caption=\"Send {1 2} {x}\" back=\"16777215\"", "<submit height=\"24\" width=\"80\" />") +
      Object("back=\"16777215\"",
             "<dropdown variable=\"%MW10\" height=\"20\" size=\"6\" global=\"true\">"
             "<option value=\"{1 2}\">one</option><option value=\"{x}\">two {t}</option></dropdown>") +
      Object("caption=\"Set {y}\" back=\"16777215\"", "<edit variable=\"%MW99\" height=\"20\" size=\"6\" />") +
      Object("back=\"16777215\"", "<postfile variable=\"%MB20\" warning=\"Replace {1 2}?\" />") +
      Object("hint=\"Pick {z}\" back=\"16777215\"",
             "<dropdown variable=\"%MW12\" height=\"20\" size=\"6\"><option value=\"0\">a</option></dropdown>"));
  const std::string html = Render(run);
  for (const char* fragment :
       {"value=\"Send {1 2} {x}\"", "<option value=\"{1 2}\">one", "<option value=\"{x}\">two {t}</option>",
        "value=\"Set {y}\"", "'Replace {1 2}?')\"", "title=\"Pick {z}\""})
    EXPECT_NE(html.find(fragment), std::string::npos) << fragment << " not in\n" << html;
}

// Option, caption and hint texts holding markup characters reach the
// browser as the same texts.
TEST(InputWritersTest, MarkupCharactersInTextsAreEscapedForXml) {
  const TPageRun run = Compile(Object("caption=\"A &lt;b&gt; &amp; c\" hint=\"x &lt; y &amp; z\" back=\"16777215\"",
                                      "<submit height=\"24\" width=\"80\" />") +
                               Object("back=\"16777215\"",
                                      "<dropdown variable=\"%MW10\" height=\"20\" size=\"6\" global=\"true\">"
                                      "<option value=\"&lt;1&gt;\">a &lt; b &amp; c</option>"
                                      "<option value=\"&quot;2&quot;\">&quot;two&quot; 'three'</option></dropdown>"));
  const std::string html = Render(run);
  for (const char* fragment :
       {"value=\"A &lt;b&gt; &amp; c\"", "title=\"x &lt; y &amp; z\"",
        "<option value=\"&lt;1&gt;\">a &lt; b &amp; c</option>", "<option value='\"2\"'>\"two\" 'three'</option>"})
    EXPECT_NE(html.find(fragment), std::string::npos) << fragment << " not in\n" << html;
}

// Texts in the project's code page (windows-1250: "\x9E" is z with caron,
// "\xFD" y with acute) reach the browser as the same letters once the
// stylesheet is converted to UTF-8 as the project compiler writes it.
TEST(InputWritersTest, NonAsciiTextsInTheProjectsCodePage) {
  TPageRun run = Compile(
      Object("caption=\"\x9Elut\xFD &lt;{x}&gt;\" hint=\"\x9E &amp; \xFD\"", "<submit height=\"24\" width=\"80\" />") +
      Object("",
             "<dropdown variable=\"%MW10\" size=\"6\" global=\"true\">"
             "<option value=\"\xFD{1}\">\x9Elut\xE1 &amp; \xFD</option></dropdown>"));
  run.stylesheet = ProjectTextToUtf8(run.stylesheet, 1250);
  const std::string html = Render(run);
  for (const char* fragment : {"value=\"\xC5\xBElut\xC3\xBD &lt;{x}&gt;\"", "title=\"\xC5\xBE &amp; \xC3\xBD\"",
                               "<option value=\"\xC3\xBD{1}\">\xC5\xBElut\xC3\xA1 &amp; \xC3\xBD</option>"})
    EXPECT_NE(html.find(fragment), std::string::npos) << fragment << " not in\n" << html;
}

struct TLimitCase {
  const char* name;
  const char* kind;  // the edit kind's attributes after `global`
  const char* check;
};

// The limit check of a global field, by type, integer format and time format.
class LimitCheckTest : public ::testing::TestWithParam<TLimitCase> {};

TEST_P(LimitCheckTest, GlobalFieldChecksItsLimits) {
  const TLimitCase& c = GetParam();
  const TPageRun run = Compile(Object("", std::string("<edit global=\"true\" size=\"6\" ") + c.kind + " />"));
  const std::size_t at = run.script.find("InputEdited[1] &= ");
  if (c.check[0] == '\0') {
    EXPECT_EQ(at, std::string::npos) << run.script;
    return;
  }
  ASSERT_NE(at, std::string::npos) << run.script;
  EXPECT_EQ(run.script.substr(at, run.script.find('\r', at) - at), std::string("InputEdited[1] &= ") + c.check);
}

// The page's limit check as the page-script library runs it under node: the
// arguments stand in the order the library reads them.
TEST(LimitCheckScriptTest, LibraryAcceptsValuesBetweenTheLimitsOnly) {
  const TPageRun run =
      Compile(Object("", "<edit global=\"true\" size=\"6\" variable=\"%MW10\" lolim=\"2\" hilim=\"9\" />"));
  const std::size_t at = run.script.find("CheckValueLimits(");
  ASSERT_NE(at, std::string::npos) << run.script;
  const std::string call = run.script.substr(at, run.script.find(';', at) - at);
  std::ifstream library(PageDataDir() + "/../../../../resources/templates/project/ScriptLibrary.js", std::ios::binary);
  std::stringstream program;
  // The library hooks itself to the window's load event; each refusal is
  // told to the user.
  program << "var window = {addEventListener: function() {}}, told = 0;\nfunction alert() { told++; }\n"
          << library.rdbuf() << "\nvar out = [];\n"
          << "for (var v of ['1', '2', '5', '9', '10', 'x']) { var Input1 = {value: v}; out.push(" << call
          << "); }\nprocess.stdout.write(JSON.stringify([out, told]));\n";
  const fs::path file = fs::temp_directory_path() / ("tarnwell-limits-" + std::to_string(::getpid()) + ".js");
  std::ofstream(file, std::ios::binary) << program.str();
  const fs::path log = file.string() + ".out";
  const int status = std::system(("node '" + file.string() + "' >'" + log.string() + "' 2>&1").c_str());
  std::stringstream answer;
  answer << std::ifstream(log).rdbuf();
  fs::remove(file);
  fs::remove(log);
  ASSERT_EQ(status, 0) << answer.str();
  EXPECT_EQ(answer.str(), "[[false,true,true,true,false,false],3]");
}

INSTANTIATE_TEST_SUITE_P(
    Types, LimitCheckTest,
    ::testing::Values(TLimitCase{"Uint", "variable=\"%MW10\" lolim=\"1\" hilim=\"9\"",
                                 "CheckValueLimits(Input1.value,0,'','1','9');"},
                      TLimitCase{"WordDefault", "variable=\"%MW14\" lolim=\"0\" hilim=\"FF\"",
                                 "CheckValueLimits(Input1.value,1,'','0','FF');"},
                      TLimitCase{"WordSigned", "variable=\"%MW14\" intf=\"1\" lolim=\"0\" hilim=\"9\"",
                                 "CheckValueLimits(Input1.value,0,'','0','9');"},
                      TLimitCase{"IntHex", "variable=\"%MW12\" intf=\"3\" lolim=\"0\" hilim=\"7F\"",
                                 "CheckValueLimits(Input1.value,1,'','0','7F');"},
                      TLimitCase{"TimeDefaultFormat", "variable=\"%MD16\" lolim=\"T#0s\" hilim=\"T#1h\"",
                                 "CheckValueLimits(Input1.value,2,'Thh:mm:ss.zzz','T#0s','T#1h');"},
                      TLimitCase{"TimeOwnFormat", "variable=\"%MD16\" timf=\"hh:mm\" lolim=\"a\" hilim=\"b\"",
                                 "CheckValueLimits(Input1.value,2,'hh:mm','a','b');"},
                      TLimitCase{"Date", "variable=\"%MD24\" lolim=\"a\"",
                                 "CheckValueLimits(Input1.value,2,'TYYYY-MM-DD','a','');"},
                      TLimitCase{"TimeOfDay", "variable=\"%MD28\" lolim=\"a\"",
                                 "CheckValueLimits(Input1.value,2,'Thh:mm:ss.zzz','a','');"},
                      TLimitCase{"DateAndTime", "variable=\"%MD32\" lolim=\"a\"",
                                 "CheckValueLimits(Input1.value,2,'TYYYY-MM-DD-hh:mm:ss.zzz','a','');"},
                      TLimitCase{"QuoteInLimit", "variable=\"%MW10\" lolim=\"it's\"",
                                 "CheckValueLimits(Input1.value,0,'','it\\'s','');"},
                      TLimitCase{"HighLimitAlone", "variable=\"%MW10\" hilim=\"9\"", ""}),
    [](const ::testing::TestParamInfo<TLimitCase>& info) { return std::string(info.param.name); });

struct TWidthCase {
  const char* name;
  const char* web;     // attributes of `web`
  const char* object;  // attributes of `object`
  const char* kind;    // attributes of the edit kind
  const char* style;   // the expected start of the field's style
};

// Field widths with and without the measured-fonts option.
class FieldWidthTest : public ::testing::TestWithParam<TWidthCase> {};

TEST_P(FieldWidthTest, GlobalFieldWidth) {
  const TWidthCase& c = GetParam();
  const TPageRun run =
      Compile(Object(c.object, std::string("<edit variable=\"%MW10\" global=\"true\" ") + c.kind + " />"), c.web);
  EXPECT_NE(run.stylesheet.find(c.style), std::string::npos) << run.stylesheet;
}

INSTANTIATE_TEST_SUITE_P(
    Widths, FieldWidthTest,
    ::testing::Values(
        // 10 x 13 x 0.615 = 79.95: 79 + 1
        TWidthCase{"FixedFactor", "", "", "size=\"10\" height=\"20\"", "width: 80px; z-index: 1; height: 18px;"},
        // 8 x 20 x 0.615 = 98.4: 98 + 1; a border writes no height
        TWidthCase{"FixedFactorBorder", "", "size=\"20\"", "size=\"8\" border=\"true\" height=\"20\"",
                   "width: 99px; z-index: 1; font-size: 20px;"},
        // Courier New's digit at 13 pixels is 8 wide: 8 x 8 + 4 + 2
        TWidthCase{"MeasuredCourier", " newdim=\"1\"", "", "size=\"8\" height=\"20\"", "width: 70px; z-index: 1;"},
        TWidthCase{"MeasuredCourierBorder", " newdim=\"1\"", "", "size=\"8\" border=\"true\"",
                   "width: 68px; z-index: 1;"}),
    [](const ::testing::TestParamInfo<TWidthCase>& info) { return std::string(info.param.name); });

// The proportional font measures wider digits than the fixed one.
TEST(InputWritersTest, MeasuredWidthFollowsTheProjectFont) {
  const std::string kind =
      Object("size=\"40\"", "<edit variable=\"%MW10\" global=\"true\" size=\"10\" border=\"true\" />");
  const TPageRun courier = Compile(kind, " newdim=\"1\"");
  const TPageRun verdana = Compile(kind, " newdim=\"1\" propfont=\"true\"");
  const auto width = [](const std::string& xsl) {
    const std::string field = "left: 8px; width: ";
    return std::stoi(xsl.substr(xsl.find(field) + field.size()));
  };
  // Courier New's digit at 40 pixels is 24 wide: 10 x 24 + 4.
  EXPECT_EQ(width(courier.stylesheet), 244);
  EXPECT_NE(width(verdana.stylesheet), width(courier.stylesheet));
}

TEST(InputWritersTest, PasswordFieldIsPasswordWhateverItsType) {
  for (const char* variable : {"%MW10", "%MB20", "%MD16"}) {
    const TPageRun run = Compile(
        Object("", std::string("<edit pass=\"true\" size=\"6\" global=\"true\" variable=\"") + variable + "\" />") +
        Object("", std::string("<edit pass=\"true\" size=\"6\" variable=\"") + variable + "\" />"));
    EXPECT_EQ(run.stylesheet.find("type=\"text\""), std::string::npos) << variable;
    std::size_t count = 0;
    for (std::size_t at = run.stylesheet.find("type=\"password\""); at != std::string::npos;
         at = run.stylesheet.find("type=\"password\"", at + 1))
      ++count;
    EXPECT_EQ(count, 2u) << variable;
  }
}

TEST(InputWritersTest, DropdownKeepsTheProjectsOptionOrder) {
  const TPageRun run = Compile(Object("",
                                      "<dropdown variable=\"%MW10\" size=\"6\">"
                                      "<option value=\"3\">c</option><option value=\"1\">a</option>"
                                      "<option value=\"2\">b</option></dropdown>"));
  const std::size_t c = run.stylesheet.find(">c</option>");
  const std::size_t a = run.stylesheet.find(">a</option>");
  const std::size_t b = run.stylesheet.find(">b</option>");
  ASSERT_NE(b, std::string::npos) << run.stylesheet;
  EXPECT_LT(c, a);
  EXPECT_LT(a, b);
}

// Read-only edit and drop-down objects show the value, post nothing and have
// no name.
TEST(InputWritersTest, ReadOnlyFieldsPostNothing) {
  const TPageRun run = Compile(
      Object("readonly=\"true\"", "<edit variable=\"%MW10\" size=\"6\" global=\"true\" />") +
      Object("readonly=\"true\"", "<edit variable=\"%MW10\" size=\"6\" />") +
      Object("readonly=\"true\"",
             "<dropdown variable=\"%MW10\" size=\"6\" global=\"true\"><option value=\"0\">a</option></dropdown>"));
  EXPECT_EQ(run.stylesheet.find("name=\"{INPUT"), std::string::npos) << run.stylesheet;
  EXPECT_EQ(run.script.find("PostXML("), std::string::npos) << run.script;
  EXPECT_EQ(run.script.find("SetInputEdited"), std::string::npos) << run.script;
  EXPECT_NE(run.script.find("Input3.value = x[0].getAttribute('VALUE');"), std::string::npos) << run.script;
}

// The user's level is shown read-only: no data entry and no script line.
TEST(InputWritersTest, UserLevelFieldsTakeNoEntryAndNoScript) {
  const TPageRun run =
      Compile(Object("", "<edit variable=\"#USER_LEVEL\" size=\"2\" global=\"true\" />") +
              Object("", "<dropdown variable=\"#USER_LEVEL\" size=\"2\"><option value=\"0\">a</option></dropdown>"));
  EXPECT_NE(run.stylesheet.find("value=\"{ACCESS/@USER_LEVEL}\" readonly=\"readonly\""), std::string::npos)
      << run.stylesheet;
  EXPECT_NE(run.stylesheet.find("value=\"{ACCESS/@USER_LEVEL}\" disabled=\"\""), std::string::npos) << run.stylesheet;
  EXPECT_EQ(run.script.find("Input1"), std::string::npos) << run.script;
  EXPECT_EQ(run.dataPage.find("#USER_LEVEL"), std::string::npos) << run.dataPage;
  EXPECT_EQ(run.errors, 0u);
}

// Missing variables are reported; the edit and upload fields leave their red
// placeholder, the drop-down list nothing.
TEST(InputWritersTest, MissingVariablesAreReported) {
  const TPageRun run =
      Compile(Object("", "<edit variable=\"%MW99\" size=\"2\" global=\"true\" />") +
              Object("", "<dropdown variable=\"%MW98\" size=\"2\"><option value=\"0\">a</option></dropdown>") +
              Object("", "<postfile variable=\"%MB97\" size=\"20\" />"));
  EXPECT_EQ(run.errors & 1u, 1u);
  ASSERT_EQ(run.messages.size(), 3u);
  EXPECT_NE(run.messages[0].second.find("Edit field"), std::string::npos) << run.messages[0].second;
  EXPECT_NE(run.messages[1].second.find("Drop-down list"), std::string::npos) << run.messages[1].second;
  EXPECT_NE(run.messages[2].second.find("Upload file field"), std::string::npos) << run.messages[2].second;
  std::size_t frames = 0;
  for (std::size_t at = run.stylesheet.find("border: solid red 2px;"); at != std::string::npos;
       at = run.stylesheet.find("border: solid red 2px;", at + 1))
    ++frames;
  EXPECT_EQ(frames, 2u);
  EXPECT_EQ(run.stylesheet.find("<select"), std::string::npos);
}

// A submit button with a value writes that value by the common post, except
// for the hidden copy of a visibility-wrapped button.
TEST(InputWritersTest, SubmitValueJoinsTheCommonPostOnce) {
  const TPageRun run = Compile(Object("caption=\"Go\" visvar=\"%MW12\"",
                                      "<submit height=\"20\" width=\"40\" value=\"it's\" variable=\"%MW10\" />"));
  const std::string pair = "encodeURIComponent('__R10_UINT_u')+'='+encodeURIComponent('it\\'s')+'&'";
  const std::size_t at = run.script.find(pair);
  ASSERT_NE(at, std::string::npos) << run.script;
  EXPECT_EQ(run.script.find(pair, at + 1), std::string::npos) << run.script;
}

// Both copies of a visibility-wrapped field share one element number: the
// common post and the own button's post function take the field once.
TEST(InputWritersTest, VisibilityWrappedFieldsPostOnce) {
  const TPageRun run = Compile(
      Object("visvar=\"%MW12\"", "<edit variable=\"%MW10\" size=\"6\" global=\"true\" lolim=\"1\" />") +
      Object("visvar=\"%MW12\"", "<edit variable=\"%MW14\" size=\"6\" />") +
      Object("visvar=\"%MW12\"",
             "<dropdown variable=\"%MD16\" size=\"6\" global=\"true\"><option value=\"0\">a</option></dropdown>"));
  const auto count = [&](const std::string& text) {
    std::size_t n = 0;
    for (std::size_t at = run.script.find(text); at != std::string::npos; at = run.script.find(text, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("(InputEdited[1] ?"), 1u) << run.script;
  EXPECT_EQ(count("InputEdited[1] &= CheckValueLimits"), 1u) << run.script;
  EXPECT_EQ(count("(InputEdited[3] ?"), 1u) << run.script;
  EXPECT_EQ(count("function PostXML2()"), 1u) << run.script;
}

}  // namespace
