// The save-and-compile command with the parts of the generator it hands work
// to replaced by recorders: what one run writes and reports, the run for the
// host's build, and a run that an exception ends.

#include "generator/SaveAndCompile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "generator/FormStatus1.h"
#include "generator/ProjectSettings.h"
#include "grid/GlobalWebData.h"
#include "grid/PlaceholderResolver.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Panel.h"
#include "platform/win/Resources.h"
#include "tests/support/FakeCompileHost.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr const char* kProject =
    "<web><group name=\"G\"><page name=\"PAGE1.XML\" caption=\"One\" ajax=\"true\" /></group>"
    "<security crypt=\"false\" count=\"10\"><user name=\"ADMIN\" pass=\"41\" level=\"9\" /></security></web>";

class RecordingPages : public TPageCompileStep {
 public:
  std::string CompilePage(TmyXmlNode* page, TmyXmlNode*, std::string& pageFileName, int& refreshPeriod, std::string&,
                          std::string&, std::string& stream1, bool& hasScript, TmyXmlNode*,
                          TmyXmlNode* templateData) override {
    if (throwIn) throw std::runtime_error("page compiler broke");
    pageFileName = page->GetAttr("name");
    refreshPeriod = 1000;
    hasScript = true;
    stream1 += "function onResponse() {\r\nvar pd = '';\r\ntry {\r\nif(1) {\r\n";
    for (int i = 0; i < inputs; ++i) {
      TmyXmlNode* input = templateData->AddChild("INPUT");
      input->SetAttr("NAME", "__R" + std::to_string(2 * i) + "_INT_d_with_a_long_format");
      input->SetAttr("VALUE", "0");
      input->closed = true;
    }
    return pageFileName;
  }
  bool throwIn = false;
  int inputs = 0;  // INPUT entries each page gets
};

class RecordingParts : public TCompileParts {
 public:
  TPageCompileStep& Pages(TCompileContext&) override { return pages; }
  void CopyImportFolder(TCompileContext& context, const std::string& folder) override {
    importFolders.push_back(folder);
    context.state.importedFiles->Add("b.txt");
    context.state.importedFiles->Add("A.TXT");
  }
  void WriteStaticAssets(TCompileContext& context) override {
    ++assetRuns;
    if (context.state.importedFiles != nullptr)
      for (int i = 0; i < context.state.importedFiles->Count(); ++i)
        importedAtAssets.push_back((*context.state.importedFiles)[i]);
    if (throwInAssets) throw std::runtime_error("assets broke");
  }
  RecordingPages pages;
  std::vector<std::string> importFolders;
  std::vector<std::string> importedAtAssets;
  int assetRuns = 0;
  bool throwInAssets = false;
};

class SaveAndCompile : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadDefaultUiTable(HInstance));
    Driver::Reset();
    Driver::OnModal("TFormStatus1", [this](TCustomForm& form) {
      auto& status = static_cast<TFormStatus1&>(form);
      modalTexts.push_back(status.pnlStatus->Caption());
      modalColours.push_back(status.pnlStatus->Font()->Color);
      return mrOk;
    });
    TmyXMLParser reader;
    reader.LoadFromString(kProject);
    root.reset(reader.Parse());
    project.root = root.get();
    project.web = root->FindChild("web", {}, true);
    project.settings = &settings;
    project.webData = &webData;
    project.resolver = &resolver;
    project.projectDir = folder.Path().string() + "\\";
    project.projectName = "DEMO";
    std::filesystem::create_directories(folder.Path() / "Tarnwell");
  }
  void TearDown() override { Driver::Reset(); }

  TCompileResult Run() {
    TSaveAndCompileSetup setup{project, state, host, parts, formatCode, {}, {}, {}, {}};
    return TSaveAndCompile(setup).Run();
  }
  bool Exists(const std::string& relative) const { return std::filesystem::exists(folder.Path() / relative); }

  testsupport::TempFolder folder{"save-compile-"};
  std::unique_ptr<TmyXmlNode> root;
  TProjectSettings settings;
  TGridGlobalWebData webData;
  TPlaceholderResolver resolver{&webData};
  TCompileProject project;
  TCompileState state;
  FakeCompileHost host;
  RecordingParts parts;
  int formatCode = kFormatCodeCurrent;
  std::vector<std::string> modalTexts;
  std::vector<TColor> modalColours;
};

TEST_F(SaveAndCompile, RunWritesTheProjectFilesAroundThePages) {
  const TCompileResult result = Run();
  ASSERT_EQ(result.outcome, TCompileOutcome::kCompiled) << result.error;
  EXPECT_TRUE(Exists("SendRoot/WWW/PAGE1.XML"));
  EXPECT_TRUE(Exists("SendRoot/WWW/PAGE1.XSL"));
  EXPECT_TRUE(Exists("SendRoot/WWW/PAGE1.JS"));
  EXPECT_TRUE(Exists("SendRoot/WWW/INDEX.XML"));
  EXPECT_TRUE(Exists("SendRoot/PSW.TXT"));
  EXPECT_TRUE(Exists("Tarnwell/DEMO.xml"));
  EXPECT_TRUE(Exists("Tarnwell/DEMO_var.xml"));
  const std::string stamps = folder.Read("Tarnwell/DEMO.txt");
  EXPECT_NE(stamps.find("..\\PSW.TXT"), std::string::npos);
  EXPECT_NE(stamps.find("PAGE1.XSL"), std::string::npos);
  EXPECT_NE(folder.Read("Tarnwell/DEMO.webx").find("CompileTD=1700000000"), std::string::npos);
  EXPECT_EQ(parts.assetRuns, 1);
  EXPECT_FALSE(state.compileRunning);
}

TEST_F(SaveAndCompile, UsersCompileEndsWithTheStatusShownModallyInGreen) {
  ASSERT_EQ(Run().outcome, TCompileOutcome::kCompiled);
  EXPECT_EQ(modalTexts, std::vector<std::string>{"Without errors"});
  EXPECT_EQ(modalColours, std::vector<TColor>{clGreen});
  EXPECT_EQ(host.prepareCalls, 1);
  EXPECT_EQ(state.statusForm, nullptr);
}

TEST_F(SaveAndCompile, CompileForTheHostsBuildShowsNoWindowAndClearsItsFlag) {
  state.compileForHost = true;
  ASSERT_EQ(Run().outcome, TCompileOutcome::kCompiled);
  EXPECT_TRUE(modalTexts.empty());
  EXPECT_EQ(host.prepareCalls, 0);
  EXPECT_FALSE(state.compileForHost);
}

TEST_F(SaveAndCompile, NewerFormatIsNotCompiled) {
  formatCode = 9000;
  EXPECT_EQ(Run().outcome, TCompileOutcome::kNotCompiled);
  EXPECT_FALSE(Exists("SendRoot"));
  EXPECT_FALSE(Exists("Tarnwell/DEMO.webx"));
  EXPECT_FALSE(state.compileRunning);
}

TEST_F(SaveAndCompile, VariableMapPassOpensAndClosesOnce) {
  host.hasTdiMap = true;
  ASSERT_EQ(Run().outcome, TCompileOutcome::kCompiled);
  EXPECT_EQ(host.passesOpened, 1);
  EXPECT_EQ(host.passesClosed, 1);
  EXPECT_FALSE(state.tdiMapPass);
}

TEST_F(SaveAndCompile, DisabledVariableMapIsNotOpened) {
  host.hasTdiMap = true;
  host.tdiDisabled = true;
  ASSERT_EQ(Run().outcome, TCompileOutcome::kCompiled);
  EXPECT_EQ(host.passesOpened, 0);
}

TEST_F(SaveAndCompile, ImportFolderIsCopiedAndItsListSorted) {
  std::filesystem::create_directories(folder.Path() / "Tarnwell" / "Import");
  ASSERT_EQ(Run().outcome, TCompileOutcome::kCompiled);
  ASSERT_EQ(parts.importFolders.size(), 1u);
  EXPECT_EQ(parts.importFolders[0], project.projectDir + "Tarnwell\\Import\\");
  EXPECT_EQ(parts.importedAtAssets, (std::vector<std::string>{"A.TXT", "b.txt"}));
  EXPECT_EQ(state.importedFiles, nullptr);
}

TEST_F(SaveAndCompile, PasswordFileThatCannotBeWrittenIsReportedAndNotListed) {
  std::filesystem::create_directories(folder.Path() / "SendRoot" / "PSW.TXT" / "blocker");
  ASSERT_EQ(Run().outcome, TCompileOutcome::kFailed);
  EXPECT_NE(state.compileErrors & kCompileErrorFile, 0u);
  EXPECT_EQ(folder.Read("Tarnwell/DEMO.txt").find("PSW.TXT"), std::string::npos);
  EXPECT_EQ(modalColours, std::vector<TColor>{clRed});
}

TEST_F(SaveAndCompile, DataPageTooLargeForTheCentralUnitTurnsTheStatusRed) {
  parts.pages.inputs = 200;
  host.cpmCode = 10;
  ASSERT_EQ(Run().outcome, TCompileOutcome::kCompiled);
  EXPECT_NE(state.compileErrors & kCompileErrorTooMany, 0u);
  bool reported = false;
  for (const auto& [text, source] : host.messages)
    reported |= source == "PAGE1.XML" && text.find("too large") != std::string::npos;
  EXPECT_TRUE(reported);
  EXPECT_EQ(modalTexts, std::vector<std::string>{"Error - too many variables on the page"});
  EXPECT_EQ(modalColours, std::vector<TColor>{clRed});
}

// A run that an exception ends: the pass is closed, the error is reported to
// the host and in the status window, the window is freed, the caller learns it.
TEST_F(SaveAndCompile, ExceptionEndsTheRunClosesThePassAndReportsTheError) {
  host.hasTdiMap = true;
  parts.pages.throwIn = true;
  const TCompileResult result = Run();
  EXPECT_EQ(result.outcome, TCompileOutcome::kFailed);
  EXPECT_EQ(result.error, "page compiler broke");
  EXPECT_EQ(host.passesClosed, 1);
  EXPECT_FALSE(host.passOpen);
  EXPECT_FALSE(state.tdiMapPass);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], std::make_pair(std::string("[Tarnwell]"), std::string("page compiler broke")));
  EXPECT_EQ(modalTexts, std::vector<std::string>{"page compiler broke"});
  EXPECT_EQ(modalColours, std::vector<TColor>{clRed});
  EXPECT_EQ(state.statusForm, nullptr);
  EXPECT_FALSE(state.compileRunning);
  EXPECT_FALSE(host.holdsCompilerMessages);
}

TEST_F(SaveAndCompile, ExceptionInTheHostsBuildShowsNoWindow) {
  state.compileForHost = true;
  parts.throwInAssets = true;
  const TCompileResult result = Run();
  EXPECT_EQ(result.outcome, TCompileOutcome::kFailed);
  EXPECT_EQ(result.error, "assets broke");
  EXPECT_TRUE(modalTexts.empty());
  EXPECT_EQ(state.statusForm, nullptr);
}

TEST(CompileStatusText, MostSeriousErrorIsShown) {
  ASSERT_TRUE(LoadDefaultUiTable(HInstance));
  EXPECT_EQ(CompileStatusText(0), "Without errors");
  EXPECT_EQ(CompileStatusText(kCompileErrorVariable), "Error - Unknown or undefined variables");
  EXPECT_EQ(CompileStatusText(kCompileErrorVariable | kCompileErrorFile),
            "Error - copying of images was not successful");
  EXPECT_EQ(CompileStatusText(7), "Error - too many variables on the page");
}

TEST(CompileTimeText, MinutesAndSecondsWithMilliseconds) {
  EXPECT_EQ(CompileTimeText(65250), "1:5.250");
  EXPECT_EQ(CompileTimeText(999), "0:0.999");
  EXPECT_EQ(CompileTimeText(120000), "2:0.000");
}

}  // namespace
