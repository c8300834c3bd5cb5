// The page script's fixed texts: exact pieces the PLC's pages rely on, the
// whole script accepted by node, and texts converted from the project's code
// page rather than the machine's.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "core/XmlNode.h"
#include "generator/ProjectCompiler.h"
#include "generator/ProjectSettings.h"
#include "tests/support/TempFolder.h"

namespace {

// node --check on the text: 0 when it parses.
int NodeCheck(const std::string& script) {
  testsupport::TempFolder folder("page-script-");
  folder.Write("page.js", script);
  const std::string command = "node --check '" + folder.Native("page.js") + "' 2>&1";
  return std::system(command.c_str());
}

// A page script as the project compiler puts it together, with a small
// answer handler where the page compiler writes its own.
std::string WholeScript(const std::vector<TAlarmVariable>& alarms) {
  return ScriptLibrary() + BackToReferrerScript(alarms) +
         "function onResponse() {\r\nvar pd = '';\r\ntry {\r\nvar x=[];\r\nif(x[0]) {\r\n" +
         PageScriptClosing("PAGE1.XML", 1000);
}

TEST(ScriptLibrary, DefinesEveryFunctionAndGlobalThePagesCall) {
  const std::string& library = ScriptLibrary();
  for (const char* name : {"function RefreshCam(ipcamimg, elementid, url, t, d)",
                           "function SetBg(name, imag)",
                           "function SetCond(obj, val)",
                           "function GetColor(val)",
                           "function GetDateByFormat(e, a)",
                           "function CheckValueLimits(value, type, format, mmin, mmax)",
                           "xmlhttpGET",
                           "xmlhttpPOST",
                           "gNewLoc",
                           "function GetXML(e, t)",
                           "function PostXML(e, t, l)",
                           "g_postInProgress",
                           "UpdateFileSubmit",
                           "function TUpdateFileSubmit(div, name, size)",
                           "function postFileSubmit(sourceForm, colour, warning)",
                           "function SetInputEdited(i, e)",
                           "InputEdited",
                           "InputFocused",
                           "gCI",
                           "gLCI",
                           "gIC",
                           "gWatchDog",
                           "gTemp",
                           "function UpdateValue(input, x, color)",
                           "function onPostResponse()",
                           "function msetref()",
                           "'x-daltrex', 'data'",
                           "Your browser does not support XMLHTTP.",
                           "Problem posting XML data "})
    EXPECT_NE(library.find(name), std::string::npos) << name;
}

TEST(ScriptLibrary, LinesEndWithCrLf) {
  const std::string& library = ScriptLibrary();
  ASSERT_FALSE(library.empty());
  for (std::size_t i = 0; i < library.size(); ++i) {
    if (library[i] != '\n') continue;
    ASSERT_TRUE(i > 0 && library[i - 1] == '\r') << "at byte " << i;
  }
}

TEST(PageScript, WholeScriptParsesWithNode) {
  TmyXmlNode alarm("alarm");
  alarm.SetAttr("page", "ALARM1.XML");
  EXPECT_EQ(NodeCheck(WholeScript({{"__S0_BOOL_i", &alarm}})), 0);
}

TEST(PageScript, BackCommandSkipsAlarmPagesInLowerCase) {
  TmyXmlNode first("alarm");
  first.SetAttr("page", "ALARM1.XML");
  TmyXmlNode second("alarm");
  second.SetAttr("page", "Faults.xml");
  const std::string script = BackToReferrerScript({{"a", &first}, {"b", &second}});
  EXPECT_NE(
      script.find("r==document.location.href.toLowerCase()||r.search('alarm1.xml')!=-1||r.search('faults.xml')!=-1"
                  "||r.search('login.xml')!=-1||r.search('logout.xml')!=-1) {\r\n"),
      std::string::npos);
  EXPECT_EQ(script.rfind("function BackToReferrer(){\r\n", 0), 0u);
}

TEST(PageScript, ClosingRequestsTheNextDataPageAndStartsTheWatchdog) {
  EXPECT_EQ(
      PageScriptClosing("PAGE4.XML", 100),
      "} else {document.location.reload(true); return;}\r\n} catch(err) {console.log(err.message)}\r\n"
      "if(pd!=''){setTimeout(\"GetXML('PAGE4.XML','\"+pd+\"')\",1);}else{setTimeout(\"GetXML('PAGE4.XML')\",100);}}"
      "\r\nfunction FunWatchDog() {\r\nif(gWatchDog > 0 || g_postInProgress) {\r\ngWatchDog = 0;\r\n} else {\r\n"
      "document.location.reload(true);\r\n}\r\nsetTimeout(\"FunWatchDog()\", 5000);\r\n}\r\n\r\n");
}

struct WatchdogCase {
  int refresh;
  int watchdog;
};

class Watchdog : public testing::TestWithParam<WatchdogCase> {};

TEST_P(Watchdog, WaitsTwentyRefreshPeriodsButAtLeastFiveSeconds) {
  EXPECT_EQ(WatchdogPeriod(GetParam().refresh), GetParam().watchdog);
}

INSTANTIATE_TEST_SUITE_P(Periods, Watchdog,
                         testing::Values(WatchdogCase{100, 5000}, WatchdogCase{250, 5000}, WatchdogCase{251, 5020},
                                         WatchdogCase{1000, 20000}));

// Script and stylesheet texts are converted from the project's code page:
// byte 0xC0 is CYRILLIC A in windows-1251, A WITH GRAVE in the machine's 1252.
struct CodePageCase {
  int codePage;
  std::string text;
  std::string utf8;
};

class ProjectText : public testing::TestWithParam<CodePageCase> {};

TEST_P(ProjectText, ConvertsFromTheProjectsCodePage) {
  EXPECT_EQ(ProjectTextToUtf8(GetParam().text, GetParam().codePage), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(CodePages, ProjectText,
                         testing::Values(CodePageCase{1251, "\xC0", "\xD0\x90"}, CodePageCase{1250, "\x8A", "\xC5\xA0"},
                                         CodePageCase{1253, "\xC1", "\xCE\x91"},
                                         CodePageCase{kCodePageUtf8, "\xD0\x90", "\xD0\x90"},
                                         CodePageCase{1252, "\xC0", "\xC3\x80"}));

}  // namespace
