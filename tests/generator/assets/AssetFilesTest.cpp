// The embedded web assets as files: each is there under its resource name,
// the XML and XSL files pass xmllint, the scripts pass node's syntax check,
// the pictures are what their names say, and the login and logout pages
// render under xsltproc with the elements the login exchange relies on.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

#include "AssetTools.h"
#include "tests/support/TempFolder.h"

namespace {

using assettest::Quoted;
using assettest::ResourceText;
using assettest::RunTool;

struct Asset {
  const char* resource;
  const char* file;
};

constexpr Asset kMarkupAssets[] = {
    {"LOGIN_XML", "LOGIN.XML"},       {"LOGIN_XSL", "LOGIN.XSL"},     {"LOGOUT_XML", "LOGOUT.XML"},
    {"LOGOUT_XSL", "LOGOUT.XSL"},     {"DEFAULT_XSL", "DEFAULT.XSL"}, {"DEFAULT_XML", "DEFAULT.XML"},
    {"NOTIFRAM_HTM", "NOTIFRAM.HTM"},
};

// Node takes a script by its extension: the copies are named in lower case.
constexpr Asset kScriptAssets[] = {
    {"REFCLR_JS", "refclr.js"}, {"SHA1_JS", "sha1.js"},       {"VORN_VAR_JS", "vorn_var.js"},
    {"CLIENT_JS", "client.js"}, {"WORKER_JS", "notifysw.js"}, {"NOTIFRAM_JS", "notifram.js"},
};

constexpr const char* kOtherAssets[] = {"FAVICON_ICO", "STYLE_CSS", "LEFT_PNG", "TOP_PNG", "PLCFORM_CSS", "CLIENT_CSS"};

TEST(WebAssets, EveryAssetIsEmbeddedUnderItsName) {
  for (const Asset& a : kMarkupAssets) EXPECT_FALSE(ResourceText(a.resource).empty()) << a.resource;
  for (const Asset& a : kScriptAssets) EXPECT_FALSE(ResourceText(a.resource).empty()) << a.resource;
  for (const char* name : kOtherAssets) EXPECT_FALSE(ResourceText(name).empty()) << name;
}

TEST(WebAssets, MarkupPassesXmllint) {
  testsupport::TempFolder tmp("tw-assets-");
  for (const Asset& a : kMarkupAssets) {
    SCOPED_TRACE(a.file);
    tmp.Write(a.file, ResourceText(a.resource));
    assettest::ToolRun run = RunTool("xmllint --noout " + Quoted(tmp.Native(a.file)));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "");
  }
}

TEST(WebAssets, ScriptsPassNodeSyntaxCheck) {
  testsupport::TempFolder tmp("tw-assets-");
  for (const Asset& a : kScriptAssets) {
    SCOPED_TRACE(a.file);
    tmp.Write(a.file, ResourceText(a.resource));
    assettest::ToolRun run = RunTool("node --check " + Quoted(tmp.Native(a.file)));
    EXPECT_EQ(run.exitCode, 0) << run.output;
  }
}

std::uint32_t Le16(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | (static_cast<std::uint8_t>(b[at + 1]) << 8);
}
std::uint32_t Be32(const std::string& b, std::size_t at) {
  return (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at])) << 24) |
         (static_cast<std::uint8_t>(b[at + 1]) << 16) | (static_cast<std::uint8_t>(b[at + 2]) << 8) |
         static_cast<std::uint8_t>(b[at + 3]);
}

TEST(WebAssets, SiteIconIsA16By16IconFile) {
  const std::string ico = ResourceText("FAVICON_ICO");
  ASSERT_GE(ico.size(), 22u);
  EXPECT_EQ(Le16(ico, 0), 0u);  // reserved
  EXPECT_EQ(Le16(ico, 2), 1u);  // an icon, not a cursor
  ASSERT_GE(Le16(ico, 4), 1u);  // images
  EXPECT_EQ(static_cast<std::uint8_t>(ico[6]), 16);
  EXPECT_EQ(static_cast<std::uint8_t>(ico[7]), 16);
  const std::uint32_t size = Le16(ico, 14) | (Le16(ico, 16) << 16);
  const std::uint32_t offset = Le16(ico, 18) | (Le16(ico, 20) << 16);
  EXPECT_LE(static_cast<std::uint64_t>(offset) + size, ico.size());
}

TEST(WebAssets, NavigationPicturesArePngFilesTheStyleSheetNames) {
  for (const char* name : {"LEFT_PNG", "TOP_PNG"}) {
    SCOPED_TRACE(name);
    const std::string png = ResourceText(name);
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_GT(Be32(png, 16), 0u);
    EXPECT_GT(Be32(png, 20), 0u);
  }
  const std::string css = ResourceText("STYLE_CSS");
  EXPECT_NE(css.find("url(\"IMAGES/LEFT.PNG\")"), std::string::npos);
  EXPECT_NE(css.find("url(\"IMAGES/TOP.PNG\")"), std::string::npos);
}

TEST(WebAssets, NotificationFramePageLinksItsScriptAndStyle) {
  const std::string htm = ResourceText("NOTIFRAM_HTM");
  EXPECT_NE(htm.find("src=\"NOTIFRAM.JS\""), std::string::npos);
  EXPECT_NE(htm.find("href=\"CLIENT.CSS\""), std::string::npos);
  EXPECT_NE(ResourceText("CLIENT_JS").find("'notiframe'"), std::string::npos);
  EXPECT_NE(ResourceText("CLIENT_JS").find("NOTIFY/NOTIFRAM.HTM"), std::string::npos);
}

// The login page rendered from a LOGIN.XML as the PLC serves it.
assettest::ToolRun RenderLogin(const testsupport::TempFolder& tmp, const std::string& user, const std::string& pass,
                               const std::string& acer) {
  tmp.Write("LOGIN.XSL", ResourceText("LOGIN_XSL"));
  std::string xml = ResourceText("LOGIN_XML");
  for (const auto& [tag, value] : {std::pair<std::string, std::string>{"<USER VALUE=\"\"", user},
                                   {"<PASS VALUE=\"\"", pass},
                                   {"<ACER VALUE=\"\"", acer}}) {
    const std::size_t at = xml.find(tag);
    if (at == std::string::npos) return {};
    xml.insert(at + tag.size() - 1, value);
  }
  tmp.Write("LOGIN.XML", xml);
  return RunTool("xsltproc " + Quoted(tmp.Native("LOGIN.XSL")) + " " + Quoted(tmp.Native("LOGIN.XML")));
}

TEST(LoginPage, RendersTheFormsTheExchangeNeeds) {
  testsupport::TempFolder tmp("tw-login-");
  assettest::ToolRun run = RenderLogin(tmp, "", "", "0123456789ABCDEF0123456789ABCDEF");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string& html = run.output;
  const char* expected[] = {
      "href=\"PLCFORM.CSS\"",
      "src=\"SHA1.JS\"",
      "onsubmit=\"return ProccessLogin();\"",
      "StyleForMob();",
      "<form id=\"sendform\" method=\"post\" action=\"LOGIN.XML\">",
      "id=\"sendUser\" name=\"USER\"",
      "id=\"sendPass\" name=\"PASS\"",
      "id=\"sendAcer\" name=\"ACER\" value=\"0123456789ABCDEF0123456789ABCDEF\"",
      "type=\"password\" id=\"pass\"",
  };
  for (const char* piece : expected) EXPECT_NE(html.find(piece), std::string::npos) << piece << "\n" << html;
  // The visible fields carry no names, so the browser never sends them.
  const std::size_t visible = html.find("<form id=\"loginform\"");
  const std::size_t hidden = html.find("<form id=\"sendform\"");
  ASSERT_LT(visible, hidden);
  EXPECT_EQ(html.substr(visible, hidden - visible).find("name="), std::string::npos);
  EXPECT_EQ(html.find("id=\"failed\""), std::string::npos);
  EXPECT_EQ(html.find("id=\"expired\""), std::string::npos);
}

TEST(LoginPage, ShowsTheOutcomeOfARefusedAttempt) {
  struct Case {
    const char* pass;
    const char* shown;
    const char* hidden;
  };
  const Case cases[] = {{"FAILED", "id=\"failed\"", "id=\"expired\""}, {"EXPIRED", "id=\"expired\"", "id=\"failed\""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pass);
    testsupport::TempFolder tmp("tw-login-");
    assettest::ToolRun run = RenderLogin(tmp, "OPERATOR", c.pass, "00");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find(c.shown), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find(c.hidden), std::string::npos);
    EXPECT_NE(run.output.find("id=\"user\" maxlength=\"10\" autocomplete=\"username\" value=\"OPERATOR\""),
              std::string::npos);
  }
}

TEST(LogoutPage, RendersWithTheFormStyleAndALinkToLogin) {
  testsupport::TempFolder tmp("tw-logout-");
  tmp.Write("LOGOUT.XSL", ResourceText("LOGOUT_XSL"));
  tmp.Write("LOGOUT.XML", ResourceText("LOGOUT_XML"));
  assettest::ToolRun run =
      RunTool("xsltproc " + Quoted(tmp.Native("LOGOUT.XSL")) + " " + Quoted(tmp.Native("LOGOUT.XML")));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("href=\"PLCFORM.CSS\""), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("href=\"LOGIN.XML\""), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("<title>Logout</title>"), std::string::npos) << run.output;
}

}  // namespace
