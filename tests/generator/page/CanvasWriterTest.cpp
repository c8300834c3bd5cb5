// The drawing canvas beyond its golden pages: the structure check, the report
// of a structure that is not a canvas, and the page script under node with a
// small stand-in of the browser: what a valid buffer draws, that an invalid
// one leaves the canvas blank without breaking the answer handler, and what a
// touch posts.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "core/UiText.h"
#include "generator/CanvasVariable.h"
#include "generator/CompileState.h"
#include "tests/generator/page/PageHarness.h"
#include "tests/support/FakeCompileHost.h"

namespace {

namespace fs = std::filesystem;

// The canvas structure CV and the structure BAD whose `touch` has an extra member.
const char kStructures[] =
    "<variable name=\"%MB20\" type=\"STRING\" code=\"21\" area=\"3\" size=\"8\" offset=\"20\" />"
    "<variable name=\"CV\" type=\"TC\" code=\"24\" area=\"3\" size=\"10\" offset=\"100\" bytes=\"272\""
    " members=\"info touch bufHead buf\" />"
    "<variable name=\"CV.info\" type=\"TI\" code=\"24\" area=\"3\" size=\"10\" offset=\"100\""
    " members=\"ver flags maxLen actLen macroptr\" />"
    "<variable name=\"CV.touch\" type=\"TT\" code=\"24\" area=\"3\" size=\"10\" offset=\"110\" members=\"x y color\" />"
    "<variable name=\"CV.bufHead\" type=\"TH\" code=\"24\" area=\"3\" size=\"10\" offset=\"118\""
    " members=\"dataChg dataLen\" />"
    "<variable name=\"CV.buf\" type=\"ARRAY\" code=\"23\" area=\"3\" size=\"10\" offset=\"122\" />"
    "<variable name=\"CV.touch.X\" type=\"INT\" code=\"8\" area=\"3\" size=\"9\" offset=\"110\" />"
    "<variable name=\"CV.touch.Y\" type=\"INT\" code=\"8\" area=\"3\" size=\"9\" offset=\"112\" />"
    "<variable name=\"BAD\" type=\"TC\" code=\"24\" area=\"3\" size=\"10\" offset=\"400\" bytes=\"40\""
    " members=\"info touch bufHead buf\" />"
    "<variable name=\"BAD.info\" type=\"TI\" code=\"24\" area=\"3\" size=\"10\" offset=\"400\""
    " members=\"ver flags maxLen actLen macroptr\" />"
    "<variable name=\"BAD.touch\" type=\"TT\" code=\"24\" area=\"3\" size=\"10\" offset=\"410\""
    " members=\"x y color pressure\" />"
    "<variable name=\"BAD.bufHead\" type=\"TH\" code=\"24\" area=\"3\" size=\"10\" offset=\"420\""
    " members=\"dataChg dataLen\" />"
    "<variable name=\"BAD.buf\" type=\"ARRAY\" code=\"23\" area=\"3\" size=\"10\" offset=\"424\" />"
    "<images><img name=\"VALVE.PNG\" type=\"png\" height=\"20\" width=\"30\" longname=\"valve\" /></images>";

std::string Project(const std::string& objects) {
  return std::string("<web encoding=\"windows-1250\">") + kStructures +
         "<group name=\"G\"><page name=\"PAGE1.XML\" caption=\"First page\" ucid=\"1700000000\" ajax=\"true\""
         " pause=\"500\">" +
         objects + "</page></group></web>";
}

std::string Canvas(const std::string& structure, const std::string& touch = "") {
  return "<object X=\"1\" Y=\"1\"" + touch + "><canvas variable=\"" + structure + ".bufHead\" datavariable=\"" +
         structure + ".buf\" height=\"120\" width=\"200\"><img longname=\"valve.png\" /></canvas></object>";
}

const char kStringImage[] = "<object X=\"1\" Y=\"9\"><strimg variable=\"%MB20\" /></object>";

TPageRun CompileProject(const std::string& objects) {
  PageHarness harness;
  harness.Load(Project(objects));
  return harness.Compile();
}

std::string RunNode(const std::string& script) {
  const fs::path file = fs::temp_directory_path() / ("tarnwell-canvas-" + std::to_string(::getpid()) + ".js");
  const fs::path log = fs::temp_directory_path() / ("tarnwell-canvas-" + std::to_string(::getpid()) + ".log");
  std::ofstream(file, std::ios::binary) << script;
  const int status = std::system(("node '" + file.string() + "' >'" + log.string() + "' 2>&1").c_str());
  std::stringstream out;
  out << std::ifstream(log).rdbuf();
  fs::remove(file);
  fs::remove(log);
  return (status == 0 ? "" : "exit " + std::to_string(status) + ": ") + out.str();
}

// A browser stand-in: the canvas INPUT1 records its drawing calls in `drawn`,
// the picture INPUT2 keeps its `src`, errors caught by the answer handler go
// to `errors`, timers to `timers`. answer(data, text) runs the answer handler
// with the DATA entry's value and the INPUT entry's value.
const char kBrowser[] =
    "var drawn = [], errors = [], timers = [];\n"
    "var gCI = [], gLCI = [], gWatchDog = 0, g_postInProgress = 0;\n"
    "function Image() { this.complete = true; this.naturalWidth = 32; }\n"
    "var console = {log: function(m) { errors.push(m); }};\n"
    "function setTimeout(code, delay) { timers.push([code, delay]); }\n"
    "var context = {};\n"
    "['clearRect','fillRect','beginPath','moveTo','lineTo','stroke','arc','fill','fillText','drawImage']"
    ".forEach(function(n) { context[n] = function() {\n"
    "  var a = Array.prototype.slice.call(arguments).map(function(v) { return v && v.complete ? 'image' : v; });\n"
    "  if (n == 'fillRect' || n == 'fill' || n == 'fillText') a.unshift(context.fillStyle);\n"
    "  if (n == 'stroke') a.unshift(context.strokeStyle, context.lineWidth);\n"
    "  if (n == 'fillText') a.unshift(context.font);\n"
    "  drawn.push([n].concat(a)); }; });\n"
    "context.getImageData = function() { return {data: [0x12, 0x34, 0x56, 255]}; };\n"
    "var elements = {INPUT1: {width: 200, height: 120, getContext: function() { return context; },\n"
    "  getBoundingClientRect: function() { return {left: 10, top: 20}; }}, INPUT2: {src: ''}};\n"
    "var document = {getElementById: function(id) { return elements[id] || null; },\n"
    "  location: {reload: function() { errors.push('reload'); }}};\n"
    "function Entry(v) { return {getAttribute: function(n) { return n == 'UCID' ? '1700000000' : v; }}; }\n"
    "var xmlhttpGET;\n"
    "function answer(data, text) {\n"
    "  var lists = {ACCESS: [Entry('9')], INPUT: [Entry(text)], DATA: [Entry(data)]};\n"
    "  xmlhttpGET = {readyState: 4, status: 200, responseXML: {documentElement: {\n"
    "    getElementsByTagName: function(t) { return lists[t] || []; }}}};\n"
    "  onResponse();\n"
    "}\n";

// The buffer of CanvasBuffer.md: clear white, a red rectangle, a green line 2
// wide, the text "A" + windows-1250 0x8A in blue 12 px, the picture
// "valve.png", a filled circle, end; then six unused bytes.
const char kValidBuffer[] =
    "C501440001FFFFFF020A0014001E002800FF00000300000000050005000200FF0004030009000C0000FF02418A05010002000976616C76"
    "652E706E6706320032000A000112345600000000000000";

TEST(CanvasVariableTest, StructureMustAnswerTheFourMemberListsExactly) {
  struct Case {
    const char* name;
    const char* member;  // a member list replaced ("" none)
    std::vector<std::string> answer;
    bool manager;
    bool fit;
  };
  const Case cases[] = {
      {"canvas", "", {}, true, true},
      {"touch with an extra member", "S.touch", {"x", "y", "color", "pressure"}, true, false},
      {"members in another order", "S", {"touch", "info", "bufHead", "buf"}, true, false},
      {"a name in another case", "S.bufHead", {"datachg", "dataLen"}, true, false},
      {"info not answered", "S.info", {}, true, false},
      {"no variables manager", "", {}, false, false},
  };
  for (const Case& c : cases) {
    FakeCompileHost host;
    host.hasIecManager = c.manager;
    host.members = {{"S", {"info", "touch", "bufHead", "buf"}},
                    {"S.info", {"ver", "flags", "maxLen", "actLen", "macroptr"}},
                    {"S.touch", {"x", "y", "color"}},
                    {"S.bufHead", {"dataChg", "dataLen"}}};
    if (*c.member != '\0') {
      if (c.answer.empty())
        host.members.erase(c.member);
      else
        host.members[c.member] = c.answer;
    }
    EXPECT_EQ(CheckCanvasVariable(host, "S"), c.fit) << c.name;
  }
}

// The fault: a structure that is not a canvas is reported and still written.
TEST(CanvasWriterTest, StructureThatIsNoCanvasIsReportedAndTheCanvasWritten) {
  const TPageRun run = CompileProject(Canvas("BAD"));
  EXPECT_EQ(run.errors & kCompileErrorVariable, kCompileErrorVariable);
  ASSERT_EQ(run.messages.size(), 1u);
  EXPECT_EQ(run.messages[0].first, "Drawing canvas - Invalid structure");
  EXPECT_EQ(run.messages[0].second.rfind("BAD.bufHead", 0), 0u) << run.messages[0].second;
  EXPECT_NE(run.stylesheet.find("<canvas style="), std::string::npos);
  EXPECT_NE(run.dataPage.find("<DATA NAME=\"__R424_ARRAY_u\" VALUE=\"0\" ML=\"40\" />"), std::string::npos);
  const TPageRun good = CompileProject(Canvas("CV"));
  EXPECT_TRUE(good.messages.empty());
  EXPECT_EQ(good.errors & kCompileErrorVariable, 0u);
}

TEST(CanvasWriterTest, CanvasPagesCarryTheDrawingAndTouchScriptsInOrder) {
  const TPageRun run = CompileProject(Canvas("CV"));
  const std::size_t conversion = run.script.find("function ArrayToText(");
  const std::size_t drawing = run.script.find("function ProcessCanvas(");
  const std::size_t touch = run.script.find("function GetCI(");
  const std::size_t handler = run.script.find("function onResponse(");
  ASSERT_NE(conversion, std::string::npos);
  EXPECT_LT(conversion, drawing);
  EXPECT_LT(drawing, touch);
  EXPECT_LT(touch, handler);
  EXPECT_EQ(run.script.find("\n", drawing) - 1, run.script.find("\r\n", drawing)) << "lines end with CR LF";
}

TEST(CanvasScriptTest, ValidBufferIsDrawnCommandByCommand) {
  const TPageRun run = CompileProject(Canvas("CV"));
  const std::string check =
      std::string("\nanswer('") + kValidBuffer + "', 'x');\nprocess.stdout.write(JSON.stringify([errors, drawn]));\n";
  EXPECT_EQ(RunNode(kBrowser + run.script + check),
            "[[],[[\"clearRect\",0,0,200,120],[\"fillRect\",\"#ffffff\",0,0,200,120],"
            "[\"fillRect\",\"#ff0000\",10,20,30,40],[\"beginPath\"],[\"moveTo\",0,0],[\"lineTo\",5,5],"
            "[\"stroke\",\"#00ff00\",2],[\"fillText\",\"12px sans-serif\",\"#0000ff\",\"A\u0160\",3,9],"
            "[\"drawImage\",\"image\",1,2],[\"beginPath\"],[\"arc\",50,50,10,0,6.283185307179586],"
            "[\"fill\",\"#123456\"]]]");
}

// The fault's other half: the page script must not fail on a canvas whose
// buffer is not a drawing buffer; the canvas stays blank and the objects
// after it are updated.
TEST(CanvasScriptTest, InvalidBufferLeavesTheCanvasBlankAndTheOtherObjectsUpdated) {
  const TPageRun run = CompileProject(Canvas("BAD") + kStringImage);
  const char* buffers[] = {"0000000000000000", "C5014400", "C501050007", "C50102000100", "not hex", "ABC"};
  for (const char* buffer : buffers) {
    const std::string check = std::string("\nanswer('") + buffer +
                              "', 'pic.png');\n"
                              "process.stdout.write(JSON.stringify([errors, drawn, elements.INPUT2.src,"
                              " timers.length]));\n";
    EXPECT_EQ(RunNode(kBrowser + run.script + check), "[[],[[\"clearRect\",0,0,200,120]],\"pic.png\",1]") << buffer;
  }
}

// A buffer variable the host does not know is reported, and its DATA entry
// is written all the same: the answer handler, which waits for a DATA entry,
// goes on (without it the page reloads on every answer) and the canvas stays
// blank.
TEST(CanvasScriptTest, CanvasWithUnknownBufferIsReportedAndStaysBlank) {
  std::string canvas = Canvas("CV");
  canvas.replace(canvas.find("CV.buf\""), 6, "CV.none");
  const TPageRun run = CompileProject(canvas + kStringImage);
  EXPECT_NE(run.script.find("ProcessCanvas(Input1, d[0],0);"), std::string::npos);
  EXPECT_NE(run.dataPage.find("<DATA NAME=\"\" VALUE=\"0\" ML=\"272\" />"), std::string::npos) << run.dataPage;
  EXPECT_NE(run.errors & kCompileErrorVariable, 0u);
  const std::pair<std::string, std::string> report{GetUiText(7076),
                                                   "CV.none - Drawing canvas - First page (PAGE1.XML)"};
  EXPECT_NE(std::find(run.messages.begin(), run.messages.end(), report), run.messages.end());
  const std::string check =
      "\nanswer('', 'pic.png');\n"
      "process.stdout.write(JSON.stringify([errors, drawn, elements.INPUT2.src]));\n";
  EXPECT_EQ(RunNode(kBrowser + run.script + check), "[[],[[\"clearRect\",0,0,200,120]],\"pic.png\"]");
}

TEST(CanvasScriptTest, PressIsPostedOnceThenTheStateWithoutTouch) {
  const TPageRun run = CompileProject(Canvas("CV", " clickxvar=\"CV.touch.X\" clickyvar=\"CV.touch.Y\""));
  const std::string check =
      "\nanswer('', 'x');\n"
      "GetCI({currentTarget: elements.INPUT1, clientX: 15, clientY: 27}, 0, 1);\n"
      "answer('', 'x'); answer('', 'x'); answer('', 'x');\n"
      "process.stdout.write(JSON.stringify([errors, timers.map(function(t) { return t[0]; })]));\n";
  EXPECT_EQ(RunNode(kBrowser + run.script + check),
            "[[],[\"GetXML('PAGE1.XML','__R110_INT_d%3D-1&__R112_INT_d%3D-1')\","
            "\"GetXML('PAGE1.XML','__R110_INT_d%3D5&__R112_INT_d%3D7')\","
            "\"GetXML('PAGE1.XML','__R110_INT_d%3D-1&__R112_INT_d%3D-1')\",\"GetXML('PAGE1.XML')\"]]");
}

}  // namespace
