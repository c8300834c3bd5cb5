// The page-script library at work under node, in a small stand-in of the
// browser (elements by id, timers, web storage, a fake XMLHttpRequest): limit
// checks, dates by format against the designer's own time texts, colours,
// value updates, the keys of an edited input, posts and the page change after
// them, the upload spinner and the back command. Each driver prints JSON
// lines that the test compares.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/IecTimeFormat.h"
#include "core/IecTypes.h"
#include "core/XmlNode.h"
#include "generator/ProjectCompiler.h"
#include "grid/GridWebElement.h"
#include "tests/generator/assets/AssetTools.h"
#include "tests/support/TempFolder.h"

namespace {

std::string JsString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// The browser stand-in: `ctx` is the page's window; `el(id)` makes an element
// known to getElementById; timers, alerts, confirms and requests are recorded.
constexpr const char* kBrowser = R"(
const vm = require('vm'); const fs = require('fs');
function out(v) { process.stdout.write(JSON.stringify(v) + '\n'); }
const ctx = {}; ctx.window = ctx; vm.createContext(ctx);
const els = {};
function el(id, extra) { const e = Object.assign({ id, style: {}, value: '', innerHTML: '', src: '' }, extra || {});
  els[id] = e; return e; }
ctx.document = { getElementById: (id) => els[id] || null, location: { href: 'http://plc/PAGE1.XML' } };
const timers = []; ctx.setTimeout = (f, t) => { timers.push({ f, t }); return timers.length; };
function runTimer() { const t = timers.shift(); if (typeof t.f === 'function') t.f(); else vm.runInContext(t.f, ctx); }
const alerts = []; ctx.alert = (m) => alerts.push(m);
let confirmAnswer = true; const confirms = []; ctx.confirm = (m) => { confirms.push(m); return confirmAnswer; };
const listeners = {}; ctx.addEventListener = (n, f) => { listeners[n] = f; };
const store = {}; ctx.Storage = function () {};
ctx.sessionStorage = { getItem: (k) => (k in store ? store[k] : null), setItem: (k, v) => { store[k] = String(v); } };
const requests = [];
ctx.XMLHttpRequest = function () { this.headers = {}; this.readyState = 0; requests.push(this); };
ctx.XMLHttpRequest.prototype.open = function (m, u) { this.method = m; this.url = u; };
ctx.XMLHttpRequest.prototype.setRequestHeader = function (n, v) { this.headers[n] = v; };
ctx.XMLHttpRequest.prototype.send = function (b) { this.body = b; };
function answer(r, status, statusText) { r.readyState = 4; r.status = status; r.statusText = statusText || '';
  r.onreadystatechange(); }
vm.runInContext('Math.random = function () { return 0.25; };', ctx);
function load(file) { vm.runInContext(fs.readFileSync(file, 'utf8'), ctx); }
)";

// Runs `driver` after the stand-in and the script text; answers what it printed.
assettest::ToolRun RunInBrowser(const std::string& script, const std::string& driver) {
  testsupport::TempFolder tmp("tw-pagescript-");
  tmp.Write("page.js", script);
  tmp.Write("driver.js", std::string(kBrowser) + "load(" + JsString(tmp.Native("page.js")) + ");\n" + driver);
  return assettest::RunTool("node " + assettest::Quoted(tmp.Native("driver.js")));
}

void ExpectPrints(const std::string& script, const std::string& driver, const std::string& expected) {
  const assettest::ToolRun run = RunInBrowser(script, driver);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output, expected);
}

struct LimitCase {
  const char* value;
  int type;
  const char* format;
  const char* low;
  const char* high;
  bool inside;
};

TEST(ScriptLibraryBehaviour, CheckValueLimitsAcceptsInsideAndRefusesOutsideOrUnreadable) {
  const LimitCase cases[] = {
      {"5", 0, "", "0", "10", true},
      {"10", 0, "", "0", "10", true},
      {"10.5", 0, "", "0", "10", false},
      {"-0.1", 0, "", "0", "10", false},
      {"1.5E1", 0, "", "0", "20", true},
      {"abc", 0, "", "0", "10", false},
      {"", 0, "", "0", "10", false},
      {"1,5", 0, "", "0", "10", false},
      {"1000000", 0, "", "0", "", true},
      {"-5", 0, "", "", "0", true},
      {"FF", 1, "", "0", "FF", true},
      {"100", 1, "", "0", "FF", false},
      {"0x1f", 1, "", "10", "20", true},
      {"G1", 1, "", "0", "FF", false},
      {"1:30:15.500", 2, "Th:mm:ss.zzz", "0:00:00.000", "2:00:00.000", true},
      {"2:00:00.001", 2, "Th:mm:ss.zzz", "0:00:00.000", "2:00:00.000", false},
      {"2024-05-07", 2, "TYYYY-MM-DD", "2024-01-01", "2024-12-31", true},
      {"2025-01-01", 2, "TYYYY-MM-DD", "2024-01-01", "2024-12-31", false},
      {"07.05.24", 2, "DD.MM.YY", "01.01.24", "31.12.24", true},
      {"07.05.25", 2, "DD.MM.YY", "01.01.24", "31.12.24", false},
      {"12:00", 2, "hh:mm", "08:00", "16:30", true},
      {"17:00", 2, "hh:mm", "08:00", "16:30", false},
      {"now", 2, "hh:mm", "08:00", "16:30", false},
  };
  std::string driver;
  std::string expected;
  for (const LimitCase& c : cases) {
    driver += "out(ctx.CheckValueLimits(" + JsString(c.value) + "," + std::to_string(c.type) + "," +
              JsString(c.format) + "," + JsString(c.low) + "," + JsString(c.high) + "));\n";
    expected += std::string(c.inside ? "true" : "false") + "\n";
  }
  ExpectPrints(ScriptLibrary(), driver, expected);
}

// The texts the designer prints for the four time types, read back by the
// page script: the same milliseconds come out.
TEST(ScriptLibraryBehaviour, GetDateByFormatReadsTheDesignersTimeTexts) {
  struct Case {
    bool duration;  // TIME and TIME_OF_DAY: milliseconds; DATE and DT: seconds since 1970
    double value;
    const char* format;
  };
  const Case cases[] = {
      {true, 5415500, "Th:mm:ss.zzz"},
      {true, 43200000, "Thh:mm:ss.zzz"},
      {true, 0, "Thh:mm:ss.zzz"},
      {true, -1250, "Th:mm:ss.zzz"},
      {true, 360000000, "Th:mm:ss.zzz"},
      {true, 5400000, "Thh:mm"},
      {false, 1715040000, "TYYYY-MM-DD"},
      {false, 0, "TYYYY-MM-DD-hh:mm:ss.zzz"},
      {false, 1715084730.25, "TYYYY-MM-DD-hh:mm:ss.zzz"},
      {false, 1715040000, "TDD.MM.YY"},
      {false, 951782400, "TYYYYMMDD"},
      {false, 4102444800.0, "TYYYY-MM-DD"},
  };
  std::string driver;
  std::string expected;
  for (const Case& c : cases) {
    char text[64] = {};
    if (c.duration)
      FormatTimeValue(static_cast<std::int32_t>(c.value), text, c.format, sizeof text - 1);
    else
      FormatDateTimeValue(c.value, text, c.format, sizeof text - 1);
    const double expectedMs = c.duration ? c.value : c.value * 1000;
    driver +=
        "out([" + JsString(text) + ", ctx.GetDateByFormat(" + JsString(c.format) + ", " + JsString(text) + ")]);\n";
    expected += "[" + JsString(text) + "," + std::to_string(static_cast<long long>(expectedMs)) + "]\n";
  }
  ExpectPrints(ScriptLibrary(), driver, expected);
}

// The value texts the designer's live view prints for each IEC type, checked
// by the page script with the limit kind the edit writer gives the type: a
// value equal to both limits is accepted, one limit beyond it refuses it.
TEST(ScriptLibraryBehaviour, CheckValueLimitsReadsTheDesignersValueTexts) {
  struct Case {
    const char* type;
    std::int64_t raw;  // the value's bytes, little-endian, as the PLC holds them
    double real;       // for REAL, LREAL, DATE and DT (seconds since 1970) instead of raw
    int precision;
    int kind;           // 0 decimal, 1 hexadecimal, 2 time by format
    const char* text;   // what the live view prints
    const char* above;  // a low limit just above the value
    const char* format;
  };
  const Case cases[] = {
      {"SINT", -5, 0, 0, 0, "-5", "-4", ""},
      {"INT", -32768, 0, 0, 0, "-32768", "-32767", ""},
      {"DINT", 2147483647, 0, 0, 0, "2147483647", "2147483648", ""},
      {"USINT", 255, 0, 0, 0, "255", "256", ""},
      {"UINT", 65535, 0, 0, 0, "65535", "65536", ""},
      {"UDINT", 4294967295LL, 0, 0, 0, "4294967295", "4294967296", ""},
      {"INT", -5, 0, 1, 0, "-0.5", "-0.4", ""},
      {"BYTE", 200, 0, 0, 1, "C8", "C9", ""},
      {"WORD", 0xBEEF, 0, 0, 1, "BEEF", "BEF0", ""},
      {"DWORD", 0xDEADBEEFLL, 0, 0, 1, "DEADBEEF", "DEADBEF0", ""},
      {"REAL", 0, 3.14159, 2, 0, "3.14", "3.15", ""},
      {"LREAL", 0, -2.5, 3, 0, "-2.500", "-2.499", ""},
      {"TIME", 5415500, 0, 0, 2, "1:30:15.500", "1:30:15.501", "Thh:mm:ss.zzz"},
      {"TOD", 43200000, 0, 0, 2, "12:00:00.000", "12:00:00.001", "Thh:mm:ss.zzz"},
      {"DATE", 0, 1715040000, 0, 2, "2024-05-07", "2024-05-08", "TYYYY-MM-DD"},
      {"DT", 0, 1715084730, 0, 2, "2024-05-07-12:25:30.000", "2024-05-07-12:25:30.001", "TYYYY-MM-DD-hh:mm:ss.zzz"},
      {"BOOL", 1, 0, 0, 0, "1", "2", ""},
  };
  std::string driver;
  std::string expected;
  for (const Case& c : cases) {
    auto element = std::make_unique<TGridWebElement>(nullptr, nullptr, nullptr, 8, 0, 0, 1, 1, wkEdit, nullptr);
    element->FVarInfo.typeName = c.type;
    element->FVarInfo.typeCode = TypeCodeOfName(c.type);
    element->FPrecision = c.precision;
    if (std::string(c.type) == "REAL") {
      const float value = static_cast<float>(c.real);
      std::memcpy(element->FValueBuf, &value, sizeof value);
    } else if (c.real != 0) {
      std::memcpy(element->FValueBuf, &c.real, sizeof c.real);
    } else {
      std::memcpy(element->FValueBuf, &c.raw, sizeof c.raw);
    }
    const std::string text = element->FormatValue();
    EXPECT_EQ(text, c.text) << c.type;
    const std::string head =
        "out(ctx.CheckValueLimits(" + JsString(text) + "," + std::to_string(c.kind) + "," + JsString(c.format) + ",";
    driver += head + JsString(c.text) + "," + JsString(c.text) + "));\n";
    driver += head + JsString(c.above) + ",''));\n";
    expected += "true\nfalse\n";
  }
  ExpectPrints(ScriptLibrary(), driver, expected);
}

// Numbers, and the value texts of the data page, where a colour word is
// written in hexadecimal ("X").
TEST(ScriptLibraryBehaviour, GetColorExchangesRedAndBlue) {
  ExpectPrints(ScriptLibrary(),
               "out([0, 255, 65280, 16711680, 1193046, -1, '3CAA28', 'FFFFFF', '0', 'ff', '10'].map((v) => "
               "ctx.GetColor(v)));\n",
               R"(["#000000","#ff0000","#00ff00","#0000ff","#563412","#ffffff","#28aa3c","#ffffff","#000000",)"
               R"("#ff0000","#100000"])"
               "\n");
}

// Counts assignments so that "only when different" is seen.
constexpr const char* kCountingInput = R"(
function counting(initial) { const e = { writes: 0, v: initial.value, c: initial.color, style: {} };
  Object.defineProperty(e, 'value', { get() { return this.v; }, set(x) { this.writes++; this.v = x; } });
  Object.defineProperty(e.style, 'backgroundColor', { get() { return e.c; }, set(x) { e.writes++; e.c = x; } });
  return e; }
const entry = (v) => ({ getAttribute: (n) => (n === 'VALUE' ? v : null) });
)";

TEST(ScriptLibraryBehaviour, UpdateValueWritesOnlyWhatDiffers) {
  ExpectPrints(
      ScriptLibrary(),
      std::string(kCountingInput) +
          "const a = counting({ value: '12', color: '#FFFFFF' }); ctx.UpdateValue(a, entry('12'), '#FFFFFF');\n"
          "const b = counting({ value: '12', color: '#FFFFFF' }); ctx.UpdateValue(b, entry('13'), '#FFFFFF');\n"
          "const c = counting({ value: '12', color: '#FF0000' }); ctx.UpdateValue(c, entry('12'), '#FFFFFF');\n"
          "const s = { innerHTML: 'on' }; let sw = 0; ctx.SetCond(s, 'on');\n"
          "out([a.writes, b.writes, b.value, c.writes, c.style.backgroundColor, s.innerHTML]);\n"
          "ctx.SetCond(s, 'off'); out(s.innerHTML);\n",
      "[0,1,\"13\",1,\"#FFFFFF\",\"on\"]\n\"off\"\n");
}

// A browser's style answers a colour as "rgb(r, g, b)" whatever form it was
// set in.
TEST(ScriptLibraryBehaviour, UpdateValueComparesColoursAsTheBrowserAnswersThem) {
  ExpectPrints(ScriptLibrary(),
               std::string(kCountingInput) +
                   "const e = { value: '1', writes: 0, c: 'rgb(255, 255, 255)', style: {} };\n"
                   "Object.defineProperty(e.style, 'backgroundColor', { get() { return e.c; }, set(x) { e.writes++;\n"
                   "  const h = /^#(..)(..)(..)$/.exec(x); e.c = h ? 'rgb(' + h.slice(1).map((p) => parseInt(p, 16))"
                   ".join(', ') + ')' : x; } });\n"
                   "ctx.UpdateValue(e, entry('1'), '#FFFFFF'); const same = e.writes;\n"
                   "ctx.UpdateValue(e, entry('1'), '#FF0000'); out([same, e.writes, e.style.backgroundColor]);\n",
               "[0,1,\"rgb(255, 0, 0)\"]\n");
}

TEST(ScriptLibraryBehaviour, SetInputEditedMarksByKey) {
  struct Case {
    const char* event;
    const char* expected;  // [edited, focused, background]
  };
  const Case cases[] = {
      {"{ type: 'focus' }", "[0,1,\"#FFFFFF\"]"},
      {"{ type: 'keydown', keyCode: 9 }", "[0,1,\"#FFFFFF\"]"},
      {"{ type: 'keydown', keyCode: 11 }", "[0,1,\"#FFFFFF\"]"},
      {"{ type: 'keydown', keyCode: 16 }", "[0,1,\"#FFFFFF\"]"},
      {"{ type: 'keydown', keyCode: 17 }", "[0,1,\"#FFFFFF\"]"},
      {"{ type: 'keydown', keyCode: 65 }", "[1,1,\"#FF0000\"]"},
      {"{ type: 'keydown', keyCode: 8 }", "[1,1,\"#FF0000\"]"},
      {"{ type: 'change' }", "[1,1,\"#FF0000\"]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.event);
    ExpectPrints(ScriptLibrary(),
                 "const input = el('INPUT3', { style: { backgroundColor: '#FFFFFF' } });\n"
                 "ctx.InputEdited[3] = 0; ctx.InputFocused[3] = 0;\n"
                 "ctx.SetInputEdited(3, " +
                     std::string(c.event) +
                     ");\n"
                     "out([ctx.InputEdited[3], ctx.InputFocused[3], input.style.backgroundColor]);\n",
                 std::string(c.expected) + "\n");
  }
}

TEST(ScriptLibraryBehaviour, EscapeDropsAnEdit) {
  ExpectPrints(ScriptLibrary(),
               "el('INPUT2', { style: {} });\n"
               "ctx.SetInputEdited(2, { type: 'keydown', keyCode: 49 }); const edited = ctx.InputEdited[2];\n"
               "ctx.SetInputEdited(2, { type: 'keydown', keyCode: 27 }); out([edited, ctx.InputEdited[2]]);\n",
               "[1,0]\n");
}

TEST(ScriptLibraryBehaviour, GetXmlAsksForTheDataPageByGetOrWithTheFormByPost) {
  ExpectPrints(ScriptLibrary(),
               "ctx.onResponse = function () {};\n"
               "ctx.GetXML('PAGE1.XML'); ctx.GetXML('PAGE1.XML', 'a=1');\n"
               "out(requests.map((r) => [r.method, r.url, r.body, r.headers]));\n"
               "delete ctx.XMLHttpRequest; ctx.GetXML('PAGE1.XML'); out(alerts);\n",
               R"([["GET","PAGE1.XML",null,{"x-daltrex":"data"}],["POST","PAGE1.XML","a=1",)"
               R"({"Content-Type":"application/x-www-form-urlencoded","x-daltrex":"data"}]])"
               "\n"
               R"(["Your browser does not support XMLHTTP."])"
               "\n");
}

TEST(ScriptLibraryBehaviour, PostXmlSendsTheBodyAndGoesToTheNextPageAfterwards) {
  ExpectPrints(ScriptLibrary(),
               "ctx.PostXML('PAGE1.XML', '__S2_INT_i%3D5', 'PAGE2.XML'); const r = requests[0];\n"
               "out([r.method, r.url, r.body, ctx.g_postInProgress, ctx.document.location.href]);\n"
               "answer(r, 200); out([ctx.g_postInProgress, ctx.document.location.href]);\n"
               "ctx.PostXML('PAGE2.XML', 'x=1'); answer(requests[1], 200); out(ctx.document.location.href);\n"
               "ctx.PostXML('PAGE2.XML', 'x=2', 'PAGE3.XML'); answer(requests[2], 403, 'Forbidden');\n"
               "out([alerts, ctx.document.location.href, ctx.g_postInProgress]);\n",
               "[\"POST\",\"PAGE1.XML\",\"__S2_INT_i%3D5\",1,\"http://plc/PAGE1.XML\"]\n"
               "[0,\"PAGE2.XML\"]\n"
               "\"PAGE2.XML\"\n"
               "[[\"Problem posting XML data Forbidden(403)\"],\"PAGE2.XML\",0]\n");
}

TEST(ScriptLibraryBehaviour, TwoPostsInFlightKeepTheirOwnPageChange) {
  ExpectPrints(ScriptLibrary(),
               "ctx.PostXML('PAGE1.XML', 'a=1', 'PAGE2.XML'); ctx.PostXML('PAGE1.XML', 'b=1');\n"
               "out(ctx.g_postInProgress); answer(requests[1], 200);\n"
               "out([ctx.g_postInProgress, ctx.document.location.href]); answer(requests[0], 200);\n"
               "out([ctx.g_postInProgress, ctx.document.location.href]);\n",
               "2\n[1,\"http://plc/PAGE1.XML\"]\n[0,\"PAGE2.XML\"]\n");
}

constexpr const char* kUploadForm = R"(
const div = { style: {}, innerHTML: '' }; let submitted = 0;
const form = { getElementsByTagName: (t) => (t === 'div' ? [div] : []),
  elements: [{ files: [{ name: 'RECIPE.CSV', size: 2048 }] }], submit() { submitted++; } };
)";

TEST(ScriptLibraryBehaviour, UploadShowsTheFileWithATurningSpinner) {
  ExpectPrints(ScriptLibrary(),
               std::string(kUploadForm) +
                   "ctx.postFileSubmit(form, '#0000FF');\n"
                   "const seen = [div.innerHTML]; for (let i = 0; i < 4; i++) { seen.push(timers[0].t); runTimer(); "
                   "seen.push(div.innerHTML); }\n"
                   "out([submitted, div.style.display, div.style.color, ctx.g_postInProgress, confirms, seen]);\n",
               "[1,\"block\",\"#0000FF\",1,[],[\"RECIPE.CSV | 2048\",500,\"RECIPE.CSV / 2048\",500,"
               "\"RECIPE.CSV - 2048\",500,\"RECIPE.CSV \\\\ 2048\",500,\"RECIPE.CSV | 2048\"]]\n");
}

TEST(ScriptLibraryBehaviour, UploadAsksTheWarningFirst) {
  for (const bool yes : {true, false}) {
    SCOPED_TRACE(yes);
    ExpectPrints(ScriptLibrary(),
                 std::string(kUploadForm) + "confirmAnswer = " + (yes ? "true" : "false") +
                     ";\nctx.postFileSubmit(form, '#000000', 'Replace the recipe?');\n"
                     "out([confirms, submitted, timers.length > 0]);\n",
                 std::string("[[\"Replace the recipe?\"],") + (yes ? "1,true" : "0,false") + "]\n");
  }
}

TEST(ScriptLibraryBehaviour, SetBgAndRefreshCam) {
  ExpectPrints(ScriptLibrary(),
               "const b = el('INPUT4'); ctx.SetBg('INPUT4', 'ON.PNG'); const on = b.style.backgroundImage;\n"
               "ctx.SetBg('INPUT4', ''); out([on, b.style.backgroundImage]); ctx.SetBg('NONE', 'X.PNG');\n"
               "ctx.ipcamimg1 = { src: 'http://cam/a.jpg?0.5' };\n"
               "const box = { style: { visibility: 'visible' } };\n"
               "const pic = el('campic1', { parentNode: { parentNode: box } });\n"
               "ctx.RefreshCam('ipcamimg1', 'campic1', 'http://cam/a.jpg', 200, '?');\n"
               "out([pic.src, timers.length, timers[0].t]); runTimer(); out(ctx.ipcamimg1.src);\n"
               "box.style.visibility = 'hidden'; ctx.ipcamimg1.src = 'http://cam/b.jpg';\n"
               "ctx.RefreshCam('ipcamimg1', 'campic1', 'http://cam/a.jpg', 200, '?');\n"
               "out([pic.src, timers.length]);\n",
               "[\"url(\\\"IMAGES/ON.PNG\\\")\",\"none\"]\n"
               "[\"http://cam/a.jpg?0.5\",1,200]\n"
               "\"http://cam/a.jpg?0.25\"\n"
               "[\"http://cam/b.jpg\",0]\n");
}

// The back command with the library's referrer records: pages visited in
// turn, then back.
TEST(ScriptLibraryBehaviour, BackToReferrerReturnsToThePreviousPageButNeverToAnAlarmOrLoginPage) {
  TmyXmlNode alarm("alarm");
  alarm.SetAttr("page", "ALARM1.XML");
  const std::string script = ScriptLibrary() + BackToReferrerScript({{"__S0_BOOL_i", &alarm}});
  struct Case {
    const char* visits;
    const char* destination;
  };
  const Case cases[] = {
      {"['http://plc/PAGE1.XML', 'http://plc/PAGE2.XML']", "http://plc/PAGE1.XML"},
      {"['http://plc/PAGE2.XML']", "INDEX.XML"},
      {"['http://plc/PAGE2.XML', 'http://plc/PAGE2.XML']", "INDEX.XML"},
      {"['http://plc/Alarm1.xml', 'http://plc/PAGE2.XML']", "INDEX.XML"},
      {"['http://plc/LOGIN.XML', 'http://plc/PAGE2.XML']", "INDEX.XML"},
      {"['http://plc/PAGE3.XML', 'http://plc/LOGOUT.XML']", "http://plc/PAGE3.XML"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.visits);
    ExpectPrints(script,
                 std::string("for (const page of ") + c.visits +
                     ") { ctx.document.location.href = page; listeners.load(); }\n"
                     "ctx.BackToReferrer(); out(ctx.document.location.href);\n",
                 JsString(c.destination) + "\n");
  }
  ExpectPrints(script, "delete ctx.Storage; listeners.load(); ctx.BackToReferrer(); out(ctx.document.location.href);\n",
               "\"INDEX.XML\"\n");
}

}  // namespace

namespace {

// A data page as the PLC answers it, for the JSON-map client.
constexpr const char* kDataPage = R"(
const attrs = (a) => ({ getAttribute: (n) => (n in a ? a[n] : null) });
function dataPage(ucid, level, inputs, datas) {
  const tags = { INPUT: inputs.map(attrs), DATA: datas.map(attrs), ACCESS: [attrs({ USER_LEVEL: level, UCID: ucid })] };
  return { getElementsByTagName: (t) => tags[t] || [] };
}
const updates = []; const onUpdate = (values, level) => updates.push([values, level]);
function reply(r, status, fields) { Object.assign(r, fields); answer(r, status); }
const map = '{"UCID":7,"rw":["%MW10","Pump.On"],"d":["Trend"],"w":[{"n":"Reset","v":"__R4_BOOL_i"}]}';
const page7 = dataPage('7', '4', [{ NAME: '__S10_INT_i', VALUE: '12' }, { NAME: '__R2.1_BOOL_i', VALUE: '1' }],
  [{ NAME: '__S30_REAL_r', VALUE: '3.5' }]);
)";

TEST(JsonMapClientBehaviour, ReadsTheMapThenPollsTheDataPageForValuesAndLevel) {
  ExpectPrints(
      assettest::ResourceText("VORN_VAR_JS"),
      std::string(kDataPage) +
          "ctx.VornVarStart('PAGE1.XML', 500, onUpdate);\n"
          "out([requests[0].method, requests[0].url, requests[0].headers]);\n"
          "reply(requests[0], 200, { responseText: map });\n"
          "out([requests[1].method, requests[1].url]);\n"
          "reply(requests[1], 200, { responseXML: page7 });\n"
          "out([updates, timers.map((t) => t.t)]);\n"
          "runTimer(); out(requests.length); reply(requests[2], 403, {}); out([updates.length, timers.length]);\n",
      R"(["GET","JSN/PAGE1.JSN",{"x-daltrex":"data"}])"
      "\n"
      R"(["GET","PAGE1.XML"])"
      "\n"
      R"([[[{"%MW10":"12","Pump.On":"1","Trend":"3.5"},4]],[500]])"
      "\n3\n[1,1]\n");
}

TEST(JsonMapClientBehaviour, WritesMapVariablesUnderTheirIdentifiers) {
  ExpectPrints(assettest::ResourceText("VORN_VAR_JS"),
               std::string(kDataPage) +
                   "ctx.VornVarStart('PAGE1.XML', 500, onUpdate);\n"
                   "reply(requests[0], 200, { responseText: map }); reply(requests[1], 200, { responseXML: page7 });\n"
                   "const done = []; const a = ctx.VornVarWrite('Pump.On', '0', (ok) => done.push(ok));\n"
                   "const b = ctx.VornVarWrite('Reset', 'a b', (ok) => done.push(ok));\n"
                   "const c = ctx.VornVarWrite('Trend', '1');\n"
                   "reply(requests[2], 200, {}); reply(requests[3], 500, {});\n"
                   "out([a, b, c, requests.length, done]);\n"
                   "out(requests.slice(2).map((r) => [r.method, r.url, r.body, r.headers['Content-Type']]));\n",
               "[true,true,false,4,[true,false]]\n"
               R"([["POST","PAGE1.XML","__R2.1_BOOL_i=0","application/x-www-form-urlencoded"],)"
               R"(["POST","PAGE1.XML","__R4_BOOL_i=a%20b","application/x-www-form-urlencoded"]])"
               "\n");
}

TEST(JsonMapClientBehaviour, DataPageOfANewCompilationMakesItReadTheMapAgain) {
  ExpectPrints(assettest::ResourceText("VORN_VAR_JS"),
               std::string(kDataPage) +
                   "ctx.VornVarStart('PAGE1.XML', 0, onUpdate);\n"
                   "reply(requests[0], 404, {});\n"
                   "reply(requests[1], 200, { responseXML: page7 });\n"
                   "out([requests[2].url, updates.length]);\n"
                   "reply(requests[2], 200, { responseText: map }); reply(requests[3], 200, { responseXML: page7 });\n"
                   "out([updates.length, updates[0][1], timers.map((t) => t.t)]);\n",
               "[\"JSN/PAGE1.JSN\",0]\n[1,4,[1000]]\n");
}

}  // namespace
