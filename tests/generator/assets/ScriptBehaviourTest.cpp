// The static scripts run under node with a small stand-in of the browser: the
// digest script's SHA-1 against OpenSSL's, the login procedure (what it sends,
// what it never sends), the mobile detection, the cache warning's texts per
// language, the push notification's options and the JSON-map client's value
// mapping. Each driver prints one JSON line that the test compares.

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "AssetTools.h"
#include "tests/support/TempFolder.h"

namespace {

using assettest::Quoted;
using assettest::ResourceText;
using assettest::RunTool;

std::string OpenSslSha1Hex(const std::string& bytes) {
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int length = 0;
  EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha1(), nullptr);
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02X", digest[i]);
    hex += pair;
  }
  return hex;
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// Runs the driver with the asset loaded into a fresh context as `ctx` (the
// driver sets the browser's stand-ins on it first, then calls `load()`).
assettest::ToolRun RunDriver(const testsupport::TempFolder& tmp, const char* resource, const std::string& driver) {
  tmp.Write("asset.js", ResourceText(resource));
  const std::string prelude =
      "const vm = require('vm'); const fs = require('fs');\n"
      "const ctx = {}; vm.createContext(ctx);\n"
      "function load() { vm.runInContext(fs.readFileSync(" +
      JsonString(tmp.Native("asset.js")) +
      ", 'utf8'), ctx); }\n"
      "function out(v) { process.stdout.write(JSON.stringify(v) + '\\n'); }\n";
  tmp.Write("driver.js", prelude + driver);
  return RunTool("node " + Quoted(tmp.Native("driver.js")));
}

TEST(DigestScript, Sha1MatchesOpenSslOnTestVectors) {
  const std::vector<std::string> vectors = {
      "",
      "abc",
      "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
      "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrst"
      "u",
      std::string(55, 'x'),
      std::string(56, 'x'),
      std::string(63, 'x'),
      std::string(64, 'x'),
      std::string(1000000, 'a'),
      "P\xC5\x99\xC3\xAD\x6C\x69\xC5\xA1 \xC5\xBE\x6C\x75\xC5\xA5\x6F\x75\xC4\x8D\x6B\xC3\xBD k\xC5\xAF\xC5\x88",
      "\xF0\x9F\x98\x80 smile",
  };
  testsupport::TempFolder tmp("tw-sha1-");
  std::string list = "[";
  for (const std::string& v : vectors) list += (list.size() > 1 ? "," : "") + JsonString(v);
  tmp.Write("vectors.json", list + "]");
  assettest::ToolRun run = RunDriver(tmp, "SHA1_JS",
                                     "load();\n"
                                     "const vectors = JSON.parse(fs.readFileSync(" +
                                         JsonString(tmp.Native("vectors.json")) +
                                         ", 'utf8'));\n"
                                         "for (const v of vectors) process.stdout.write(ctx.Sha1Hex(v) + '\\n');\n");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  std::string expected;
  for (const std::string& v : vectors) expected += OpenSslSha1Hex(v) + "\n";
  EXPECT_EQ(run.output, expected);
}

constexpr const char* kLoginDom = R"(
const els = {
  user: { value: 'OPERATOR' }, pass: { value: 'Pa$$w0rd' },
  sendUser: { value: '' }, sendPass: { value: '' }, sendAcer: { value: '5A17C0FFEE5A17C0FFEE5A17C0FFEE00' },
  sendform: { submitted: 0, submit() { this.submitted++; } },
};
ctx.document = { getElementById: (id) => els[id] || null, body: { className: '' } };
ctx.navigator = { userAgent: 'Mozilla/5.0 (X11; Linux x86_64) Firefox/120.0' };
load();
)";

TEST(DigestScript, ProccessLoginSendsNameAndDigestNeverThePassword) {
  testsupport::TempFolder tmp("tw-login-");
  assettest::ToolRun run = RunDriver(tmp, "SHA1_JS",
                                     std::string(kLoginDom) +
                                         "const answer = ctx.ProccessLogin();\n"
                                         "out([answer, els.sendform.submitted, els.sendUser.value, els.sendPass.value, "
                                         "els.pass.value, els.sendAcer.value]);\n");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string digest = OpenSslSha1Hex("5A17C0FFEE5A17C0FFEE5A17C0FFEE00Pa$$w0rd");
  EXPECT_EQ(run.output, "[false,1,\"OPERATOR\",\"" + digest + "\",\"\",\"5A17C0FFEE5A17C0FFEE5A17C0FFEE00\"]\n");
}

TEST(DigestScript, StyleForMobMarksTheBodyOnPhonesAndTabletsOnly) {
  struct Case {
    const char* agent;
    const char* bodyClass;
    const char* expected;
  };
  const Case cases[] = {
      {"Mozilla/5.0 (Linux; Android 13; Pixel 7) Mobile Safari/537.36", "", "[true,\"mob\"]"},
      {"Mozilla/5.0 (iPad; CPU OS 17_0 like Mac OS X) Safari/604.1", "wide", "[true,\"wide mob\"]"},
      {"Mozilla/5.0 (iPhone; CPU iPhone OS 17_0 like Mac OS X)", "mob", "[true,\"mob\"]"},
      {"Mozilla/5.0 (Windows NT 10.0; Win64; x64) Chrome/120.0 Safari/537.36", "", "[false,\"\"]"},
      {"Mozilla/5.0 (X11; Linux x86_64; rv:120.0) Gecko/20100101 Firefox/120.0", "wide", "[false,\"wide\"]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.agent);
    testsupport::TempFolder tmp("tw-mob-");
    assettest::ToolRun run = RunDriver(tmp, "SHA1_JS",
                                       "ctx.document = { body: { className: " + JsonString(c.bodyClass) +
                                           " } };\n"
                                           "ctx.navigator = { userAgent: " +
                                           JsonString(c.agent) +
                                           " };\n"
                                           "load();\n"
                                           "out([ctx.StyleForMob(), ctx.document.body.className]);\n");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, std::string(c.expected) + "\n");
  }
}

// A tiny element tree: each element records its tag, its text children and
// its own children; the driver prints the box as [tag, text] pairs.
constexpr const char* kWarningDom = R"(
function el(tag) { return { tag, kids: [], firstChild: null,
  appendChild(k) { this.kids.push(k); this.firstChild = this.kids[0]; return k; },
  removeChild(k) { this.kids = this.kids.filter((x) => x !== k); this.firstChild = this.kids[0] || null; } }; }
let reloads = 0;
const box = el('div'); box.appendChild({ text: 'old' });
ctx.document = { createElement: el, createTextNode: (text) => ({ text }),
  getElementById: (id) => (id === 'cachewarning' && hasBox ? box : null) };
ctx.window = { location: { reload() { reloads++; } } };
load();
function flat(e) { return e.kids.map((k) => (k.text !== undefined ? k.text : [k.tag, flat(k)])); }
)";

struct WarningCase {
  const char* language;
  const char* agent;
  const char* title;
  const char* hint;  // a piece of the browser's instruction
};

TEST(CacheWarningScript, WritesTheNoticeInTheBrowsersLanguage) {
  const WarningCase cases[] = {
      {"cs-CZ", "Chrome/120.0 Safari/537.36", "Tato str\xC3\xA1nka je zastaral\xC3\xA1", "Ctrl+F5"},
      {"sk", "Firefox/120.0", "Tato str\xC3\xA1nka je zastaral\xC3\xA1", "Ctrl+Shift+R"},
      {"de-DE", "Firefox/120.0", "This page is out of date", "Ctrl+Shift+R"},
      {"en-US", "Version/17.0 Safari/605.1.15", "This page is out of date", "Cmd+Option+E"},
      {"", "Edg/120.0 Chrome/120.0", "This page is out of date", "press Ctrl+F5."},
  };
  for (const WarningCase& c : cases) {
    SCOPED_TRACE(c.language);
    testsupport::TempFolder tmp("tw-refclr-");
    assettest::ToolRun run = RunDriver(
        tmp, "REFCLR_JS",
        std::string("const hasBox = true;\n") + kWarningDom + "const shown = ctx.ShowCacheWarning(ctx.document, " +
            "{ language: " + JsonString(c.language) + ", userAgent: " + JsonString(c.agent) +
            " });\n"
            "const button = box.kids[2]; button.onclick();\n"
            "out([shown, flat(box), button.tag, button.type, reloads]);\n");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.rfind("[true,[[\"h2\",[\"" + std::string(c.title) + "\"]],[\"p\",[", 0), 0u) << run.output;
    EXPECT_NE(run.output.find(c.hint), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("\"button\",\"button\",1]"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("\"old\""), std::string::npos) << run.output;
  }
}

TEST(CacheWarningScript, PageWithoutTheElementIsLeftAlone) {
  testsupport::TempFolder tmp("tw-refclr-");
  assettest::ToolRun run =
      RunDriver(tmp, "REFCLR_JS",
                std::string("const hasBox = false;\n") + kWarningDom +
                    "out([ctx.ShowCacheWarning(ctx.document, { language: 'cs', userAgent: '' }), flat(box)]);\n");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output, "[false,[\"old\"]]\n");
}

TEST(NotificationWorker, PushMessageBecomesTitleAndOptions) {
  struct Case {
    const char* message;
    const char* expected;
  };
  const Case cases[] = {
      {R"({"title":"Boiler","body":"Pressure high","icon":"I.PNG","badge":"B.PNG","image":"P.PNG","vibrate":[200,"100",200],"url":"../PAGE2.XML"})",
       R"({"title":"Boiler","options":{"body":"Pressure high","icon":"I.PNG","badge":"B.PNG","data":{"url":"../PAGE2.XML"},"image":"P.PNG","vibrate":[200,100,200]}})"},
      {"Pump stopped",
       R"({"title":"PLC","options":{"body":"Pump stopped","icon":"../FAVICON.ICO","badge":"../FAVICON.ICO","data":{"url":"../INDEX.XML"}}})"},
      {"42",
       R"({"title":"PLC","options":{"body":"42","icon":"../FAVICON.ICO","badge":"../FAVICON.ICO","data":{"url":"../INDEX.XML"}}})"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    testsupport::TempFolder tmp("tw-worker-");
    assettest::ToolRun run =
        RunDriver(tmp, "WORKER_JS", "load();\nout(ctx.NotificationFromMessage(" + JsonString(c.message) + "));\n");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, std::string(c.expected) + "\n");
  }
}

TEST(JsonMapClient, DataPageValuesBelongToTheMapsVariablesInOrder) {
  testsupport::TempFolder tmp("tw-vornvar-");
  assettest::ToolRun run = RunDriver(tmp, "VORN_VAR_JS", R"(
load();
const attrs = (a) => ({ getAttribute: (n) => (n in a ? a[n] : null) });
const xml = { getElementsByTagName: (tag) => tag === 'INPUT'
  ? [attrs({ VALUE: '12' }), attrs({ VALUE: 'on' }), attrs({ VALUE: '7' })]
  : [attrs({ USER_LEVEL: '3' })] };
out([ctx.VornVarMapPath('PAGE1.XML'), ctx.VornVarTakeValues({ rw: ['%MW10', 'Pump.On'] }, xml)]);
)");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output, R"(["JSN/PAGE1.JSN",{"values":{"%MW10":"12","Pump.On":"on"},"level":3}])"
                        "\n");
}

}  // namespace
