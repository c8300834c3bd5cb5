// The asset step of a compile: which assets it writes under which
// conditions, what the import folder and the scripts folder change, the site
// icon, and how files are registered, counted and failures reported.

#include "generator/StaticAssets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "AssetTools.h"
#include "core/HostEnvironment.h"
#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "generator/CompileState.h"
#include "generator/GeneratedFiles.h"
#include "tests/core/services/ServicesTestSupport.h"
#include "tests/support/FakeCompileHost.h"
#include "tests/support/TempFolder.h"

namespace {

using assettest::ResourceText;

// The output files of a project without JSON maps and notification pages,
// relative to the output root, with their resources.
struct Written {
  const char* file;
  const char* resource;
};
constexpr Written kAlwaysWritten[] = {
    {"REFCLR.JS", "REFCLR_JS"},      {"FAVICON.ICO", "FAVICON_ICO"}, {"STYLE.CSS", "STYLE_CSS"},
    {"IMAGES/LEFT.PNG", "LEFT_PNG"}, {"IMAGES/TOP.PNG", "TOP_PNG"},  {"LOGIN.XML", "LOGIN_XML"},
    {"LOGIN.XSL", "LOGIN_XSL"},      {"LOGOUT.XML", "LOGOUT_XML"},   {"LOGOUT.XSL", "LOGOUT_XSL"},
    {"PLCFORM.CSS", "PLCFORM_CSS"},  {"SHA1.JS", "SHA1_JS"},
};
constexpr Written kNotificationFiles[] = {
    {"NOTIFY/CLIENT.JS", "CLIENT_JS"},       {"NOTIFY/NOTIFYSW.JS", "WORKER_JS"}, {"NOTIFY/NOTIFRAM.JS", "NOTIFRAM_JS"},
    {"NOTIFY/NOTIFRAM.HTM", "NOTIFRAM_HTM"}, {"NOTIFY/CLIENT.CSS", "CLIENT_CSS"},
};
constexpr int kAlwaysFiles = 11;  // two of them pictures
constexpr int kAlwaysImages = 2;

class StaticAssets : public ::testing::Test {
 protected:
  void SetUp() override {
    manager_.projectFolder = tmp_.System("Plant") + "\\";
    SetHostProjectManager(&manager_);
    std::filesystem::create_directories(tmp_.Path() / "Plant" / "SendRoot" / "WWW" / "IMAGES");
    std::filesystem::create_directories(tmp_.Path() / "SCRIPTS");
    state_.outputRoot = tmp_.System("Plant\\SendRoot\\WWW\\");
    host_.scriptsFolder = tmp_.System("SCRIPTS\\");
    LoadProject("<web><group><page name=\"PAGE1.XML\" /></group></web>");
  }
  void TearDown() override { SetHostProjectManager(nullptr); }

  void LoadProject(const char* xml) {
    doc_.progress = false;
    doc_.LoadFromString(xml);
    root_.reset(doc_.Parse());
    project_.root = root_.get();
    project_.web = root_->FindChild("web");
  }
  // A file the import folder brought: in the output tree and in the list.
  void Import(const std::string& key, const std::string& relative, const std::string& content) {
    if (state_.importedFiles == nullptr) state_.importedFiles = std::make_unique<TStringList>();
    state_.importedFiles->Add(key);
    Out(relative, content);
  }
  void Out(const std::string& relative, const std::string& content) {
    tmp_.Write("Plant/SendRoot/WWW/" + relative, content);
  }
  std::string ReadOut(const std::string& relative) const { return tmp_.Read("Plant/SendRoot/WWW/" + relative); }
  bool OutExists(const std::string& relative) const { return tmp_.Exists("Plant/SendRoot/WWW/" + relative); }
  void Run() { WriteStaticAssets(project_, state_, host_, files_); }

  testsupport::TempFolder tmp_{"tw-assetstep-"};
  servicestest::FakeProjectManager manager_;
  TCompileState state_;
  FakeCompileHost host_;
  TGeneratedFiles files_{state_, host_};
  TmyXMLParser doc_;
  std::unique_ptr<TmyXmlNode> root_;
  TCompileProject project_;
};

TEST_F(StaticAssets, PlainProjectGetsTheElevenAlwaysAssetsRegisteredAndCounted) {
  Run();
  for (const Written& w : kAlwaysWritten) {
    SCOPED_TRACE(w.file);
    EXPECT_EQ(ReadOut(w.file), ResourceText(w.resource));
    std::string key = w.file;
    for (char& c : key)
      if (c == '/') c = '\\';
    EXPECT_NE(files_.Find(key), nullptr);
  }
  EXPECT_EQ(files_.Table().Count(), kAlwaysFiles);
  EXPECT_EQ(state_.compiledFiles, kAlwaysFiles);
  EXPECT_EQ(state_.compiledImages, kAlwaysImages);
  EXPECT_EQ(state_.compileErrors, 0u);
  EXPECT_EQ(state_.hostStatusText, "SHA1.JS");  // the last row written
  EXPECT_FALSE(OutExists("JS"));
  EXPECT_FALSE(OutExists("NOTIFY"));
}

TEST_F(StaticAssets, WithoutJsonMapNoClientEvenWithAUserCopy) {
  tmp_.Write("SCRIPTS/VORN_VAR.JS", "var userCopy = 1;\n");
  Run();
  EXPECT_FALSE(OutExists("JS"));
  EXPECT_EQ(state_.compiledFiles, kAlwaysFiles);
}

TEST_F(StaticAssets, JsonMapGetsTheBuiltInClientInANewFolder) {
  state_.anyJsonMap = true;
  Run();
  EXPECT_EQ(ReadOut("JS/VORN_VAR.JS"), ResourceText("VORN_VAR_JS"));
  EXPECT_NE(files_.Find("JS\\VORN_VAR.JS"), nullptr);
  EXPECT_EQ(state_.compiledFiles, kAlwaysFiles + 1);
  EXPECT_EQ(state_.compileErrors, 0u);
}

TEST_F(StaticAssets, JsonMapGetsTheUserCopyFromTheScriptsFolder) {
  state_.anyJsonMap = true;
  tmp_.Write("SCRIPTS/VORN_VAR.JS", "var userCopy = 1;\n");
  Run();
  EXPECT_EQ(ReadOut("JS/VORN_VAR.JS"), "var userCopy = 1;\n");
  EXPECT_NE(files_.Find("JS\\VORN_VAR.JS"), nullptr);
  EXPECT_EQ(state_.compiledFiles, kAlwaysFiles + 1);
  EXPECT_EQ(state_.compileErrors, 0u);
}

TEST_F(StaticAssets, ImportedJsonMapClientStays) {
  state_.anyJsonMap = true;
  tmp_.Write("SCRIPTS/VORN_VAR.JS", "var userCopy = 1;\n");
  Import("js\\vorn_var.js", "JS/VORN_VAR.JS", "var imported = 1;\n");
  Run();
  EXPECT_EQ(ReadOut("JS/VORN_VAR.JS"), "var imported = 1;\n");
  EXPECT_EQ(files_.Find("JS\\VORN_VAR.JS"), nullptr);  // the import folder copy registers it
  EXPECT_EQ(state_.compiledFiles, kAlwaysFiles);
  EXPECT_EQ(state_.compileErrors, 0u);
}

TEST_F(StaticAssets, ImportedStyleSheetStaysImportedCacheScriptIsOverwritten) {
  Import("style.css", "STYLE.CSS", "body { color: red; }\n");
  Import("REFCLR.JS", "REFCLR.JS", "// imported\n");
  Import("IMAGES\\left.png", "IMAGES/LEFT.PNG", "picture of the user");
  Run();
  EXPECT_EQ(ReadOut("STYLE.CSS"), "body { color: red; }\n");
  EXPECT_EQ(ReadOut("IMAGES/LEFT.PNG"), "picture of the user");
  EXPECT_EQ(ReadOut("REFCLR.JS"), ResourceText("REFCLR_JS"));
  EXPECT_EQ(state_.compiledFiles, kAlwaysFiles - 2);
  EXPECT_EQ(state_.compiledImages, kAlwaysImages - 1);
  EXPECT_EQ(state_.compileErrors, 0u);
}

TEST_F(StaticAssets, ProjectIconReplacesTheBuiltInIcon) {
  LoadProject("<web icon=\"PLANT.ICO\"><group><page name=\"PAGE1.XML\" /></group></web>");
  tmp_.Write("Plant/Tarnwell/Images/PLANT.ICO", "the project's icon");
  Run();
  EXPECT_EQ(ReadOut("FAVICON.ICO"), "the project's icon");
  EXPECT_NE(files_.Find("FAVICON.ICO"), nullptr);
  EXPECT_EQ(state_.compiledFiles, kAlwaysFiles);
  EXPECT_EQ(state_.compiledImages, kAlwaysImages + 1);
}

TEST_F(StaticAssets, ProjectIconLeavesAnImportedIconInPlace) {
  LoadProject("<web icon=\"PLANT.ICO\"><group><page name=\"PAGE1.XML\" /></group></web>");
  tmp_.Write("Plant/Tarnwell/Images/PLANT.ICO", "the project's icon");
  Import("FAVICON.ICO", "FAVICON.ICO", "imported icon");
  Run();
  EXPECT_EQ(ReadOut("FAVICON.ICO"), "imported icon");
  EXPECT_NE(files_.Find("FAVICON.ICO"), nullptr);  // registered in every case
  EXPECT_EQ(state_.compiledFiles, kAlwaysFiles - 1);
  EXPECT_EQ(state_.compiledImages, kAlwaysImages);
  EXPECT_EQ(state_.compileErrors, 0u);
}

TEST_F(StaticAssets, WithoutAnIconPictureTheBuiltInIconGoesOverAnImportedOne) {
  struct Case {
    const char* project;
  };
  const Case cases[] = {
      {"<web><group /></web>"}, {"<web icon=\"\"><group /></web>"}, {"<web icon=\"MISSING.ICO\"><group /></web>"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.project);
    LoadProject(c.project);
    Import("FAVICON.ICO", "FAVICON.ICO", "imported icon");
    Run();
    EXPECT_EQ(ReadOut("FAVICON.ICO"), ResourceText("FAVICON_ICO"));
  }
}

TEST_F(StaticAssets, NotificationPageGetsTheNotificationFiles) {
  LoadProject("<web><group><page name=\"PAGE1.XML\" /><page name=\"PAGE2.XML\" notification=\"true\" /></group></web>");
  std::filesystem::create_directories(tmp_.Path() / "Plant" / "SendRoot" / "WWW" / "NOTIFY");
  tmp_.Write("SCRIPTS/NOTIFYSW.JS", "// the user's worker\n");
  tmp_.Write("SCRIPTS/SHA1.JS", "// not a user copy\n");
  tmp_.Write("SCRIPTS/STYLE.CSS", "/* not a user copy */\n");
  Run();
  for (const Written& w : kNotificationFiles) {
    SCOPED_TRACE(w.file);
    if (std::string(w.resource) == "WORKER_JS")
      EXPECT_EQ(ReadOut(w.file), "// the user's worker\n");
    else
      EXPECT_EQ(ReadOut(w.file), ResourceText(w.resource));
  }
  EXPECT_EQ(ReadOut("SHA1.JS"), ResourceText("SHA1_JS"));
  EXPECT_EQ(ReadOut("STYLE.CSS"), ResourceText("STYLE_CSS"));
  EXPECT_NE(files_.Find("NOTIFY\\NOTIFYSW.JS"), nullptr);
  EXPECT_EQ(state_.compiledFiles, kAlwaysFiles + 5);
  EXPECT_EQ(state_.hostStatusText, "CLIENT.CSS");
  EXPECT_EQ(state_.compileErrors, 0u);
}

TEST_F(StaticAssets, WithoutNotificationPageNothingGoesIntoNotify) {
  LoadProject("<web><group><page name=\"PAGE1.XML\" notification=\"false\" /></group></web>");
  for (const char* name : {"CLIENT.JS", "NOTIFYSW.JS", "NOTIFRAM.JS", "NOTIFRAM.HTM", "CLIENT.CSS"})
    tmp_.Write(std::string("SCRIPTS/") + name, "// user copy\n");
  Run();
  EXPECT_FALSE(OutExists("NOTIFY"));
  EXPECT_EQ(state_.compiledFiles, kAlwaysFiles);
}

// A file at a user copy's destination is an earlier compile's, listed or not
// (after a lost stamp list, say): the user's copy replaces it, as the
// built-in asset would. Only a copy that fails is an error, named.
TEST_F(StaticAssets, UserCopyReplacesAFileLeftInPlaceAndAFailedOneIsNamed) {
  LoadProject("<web><group><page name=\"PAGE1.XML\" notification=\"true\" /></group></web>");
  tmp_.Write("SCRIPTS/CLIENT.JS", "// the user's client\n");
  tmp_.Write("SCRIPTS/CLIENT.CSS", "/* the user's style */\n");
  Out("NOTIFY/CLIENT.JS", "// left from before\n");
  std::filesystem::create_directories(tmp_.Path() / "Plant" / "SendRoot" / "WWW" / "NOTIFY" / "CLIENT.CSS");
  host_.AcquireCompilerMessages();
  Run();
  EXPECT_EQ(ReadOut("NOTIFY/CLIENT.JS"), "// the user's client\n");
  EXPECT_NE(files_.Find("NOTIFY\\CLIENT.JS"), nullptr);
  EXPECT_EQ(files_.Find("NOTIFY\\CLIENT.CSS"), nullptr);
  EXPECT_EQ(state_.compileErrors, static_cast<std::uint32_t>(kCompileErrorFile));
  ASSERT_FALSE(host_.messages.empty());
  EXPECT_EQ(host_.messages.back().first, GetUiText(7074));  // the file not written
  EXPECT_EQ(host_.messages.back().second, state_.outputRoot + "NOTIFY\\CLIENT.CSS");
  EXPECT_EQ(state_.failedFiles, std::vector<std::string>{state_.outputRoot + "NOTIFY\\CLIENT.CSS"});
  EXPECT_EQ(state_.compiledFiles, kAlwaysFiles + 4);  // the other four notification files
}

// An icon file left by an earlier compile is no import: the project's icon
// picture, which may have changed since, replaces it.
TEST_F(StaticAssets, ProjectIconReplacesAnIconLeftInPlace) {
  LoadProject("<web icon=\"PLANT.ICO\"><group><page name=\"PAGE1.XML\" /></group></web>");
  tmp_.Write("Plant/Tarnwell/Images/PLANT.ICO", "the project's new icon");
  Out("FAVICON.ICO", "an earlier compile's icon");
  Run();
  EXPECT_EQ(ReadOut("FAVICON.ICO"), "the project's new icon");
  EXPECT_EQ(state_.compiledImages, kAlwaysImages + 1);
  EXPECT_EQ(state_.compileErrors, 0u);
}

TEST_F(StaticAssets, FailedWritesSetTheErrorBitTakeTheirCountBackAndTheRestIsWritten) {
  std::filesystem::remove_all(tmp_.Path() / "Plant" / "SendRoot" / "WWW" / "IMAGES");
  Run();
  EXPECT_FALSE(OutExists("IMAGES"));
  EXPECT_EQ(state_.compileErrors, static_cast<std::uint32_t>(kCompileErrorFile));
  EXPECT_EQ(state_.compiledFiles, kAlwaysFiles - 2);
  EXPECT_EQ(state_.compiledImages, 0);
  EXPECT_EQ(files_.Find("images\\LEFT.PNG"), nullptr);
  EXPECT_EQ(ReadOut("SHA1.JS"), ResourceText("SHA1_JS"));  // written after the failed ones
}

TEST_F(StaticAssets, DataPagesOnlyWritesNoAsset) {
  // The last full compile's assets, but for the style sheet that went since.
  for (const Written& asset : kAlwaysWritten) Out(asset.file, "the last full compile's");
  Out("JS/VORN_VAR.JS", "the last full compile's");
  std::filesystem::remove(tmp_.Path() / "Plant" / "SendRoot" / "WWW" / "STYLE.CSS");
  state_.generateXmlOnly = true;
  state_.anyJsonMap = true;
  Run();
  EXPECT_EQ(ReadOut("REFCLR.JS"), "the last full compile's");
  EXPECT_EQ(ReadOut("FAVICON.ICO"), "the last full compile's");
  EXPECT_EQ(ReadOut("STYLE.CSS"), ResourceText("STYLE_CSS"));
  EXPECT_EQ(files_.Table().Count(), 1);
  EXPECT_EQ(state_.compiledFiles, 1);
}

}  // namespace
