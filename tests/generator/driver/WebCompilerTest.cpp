// The compile driver of the host's build on a temporary host project: the
// settings stamp, the folders, the password file (byte for byte the one the
// save-and-compile command writes), the import copy from the compile's own
// import folder with its stamps, the previous output left in place, the
// status window closed and freed, and the host's variable map.

#include "generator/WebCompiler.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Crc.h"
#include "core/PasswordScramble.h"
#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "generator/ImportFolder.h"
#include "generator/ProjectSettings.h"
#include "generator/SaveAndCompile.h"
#include "grid/GlobalWebData.h"
#include "grid/PlaceholderResolver.h"
#include "hostapi/IQendProjectManager.h"
#include "platform/com/TaskMem.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Screen.h"
#include "platform/win/Resources.h"
#include "tests/support/FakeCompileHost.h"
#include "tests/support/FileTree.h"
#include "tests/support/TempFolder.h"

namespace {

using testsupport::TempFolder;

constexpr const char* kProjectName = "DEMO";
constexpr const char* kCannotCreate = "[Tarnwell] - Cannot create :\xA0";

// The host's project manager: the project's name and folders.
class FakeProjectManager : public IQendProjectManager {
 public:
  std::string projectName = kProjectName;
  std::string projectFolder;  // a system path ending in a backslash; empty: no project
  std::string globalFolder;

  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IQendProjectManager) {
      *object = static_cast<IQendProjectManager*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  HRESULT GetProjectName(char** name) override { return Answer(projectName, name); }
  HRESULT GetProjectFolder(char** folder) override { return Answer(projectFolder, folder); }
  HRESULT GetGlobalFolder(char** folder) override { return Answer(globalFolder, folder); }

 private:
  static HRESULT Answer(const std::string& text, char** out) {
    *out = static_cast<char*>(CoTaskMemAlloc(text.size() + 1));
    std::memcpy(*out, text.c_str(), text.size() + 1);
    return S_OK;
  }
};

class CountingProgress : public TWebCompileProgress {
 public:
  void Progress(int state) override { states.push_back(state); }
  std::vector<int> states;
};

// The page compiler is not the driver's concern: pages get their names only.
class NamingPages : public TPageCompileStep {
 public:
  std::string CompilePage(TmyXmlNode* page, TmyXmlNode*, std::string& pageFileName, int& refreshPeriod, std::string&,
                          std::string&, std::string&, bool& hasScript, TmyXmlNode*, TmyXmlNode*) override {
    pageFileName = page->GetAttr("name");
    refreshPeriod = 1000;
    hasScript = false;
    return pageFileName;
  }
};

class PlainParts : public TCompileParts {
 public:
  TPageCompileStep& Pages(TCompileContext&) override { return pages; }
  void CopyImportFolder(TCompileContext& context, const std::string& folder) override {
    CopyFolderToOutput(folder, std::string(), context.state, context.files);
  }
  void WriteStaticAssets(TCompileContext&) override {}
  NamingPages pages;
};

// A project file with the given access elements inside `web`.
std::string ProjectText(const std::string& access) {
  return "<?xml version=\"1.0\" encoding=\"windows-1250\"?>\r\n<web version=\"8.1\" encoding=\"windows-1250\">"
         "<group name=\"G\"><page name=\"PAGE1.XML\" caption=\"One\" notification=\"true\" /></group>" +
         access + "</web>\r\n";
}

class WebCompilerTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadDefaultUiTable(HInstance));
    Driver::Reset();
    manager.projectFolder = folder.System("");
    std::filesystem::create_directories(folder.Path() / "Tarnwell");
  }
  void TearDown() override { Driver::Reset(); }

  void WriteProject(const std::string& access) { folder.Write("Tarnwell/DEMO.xml", ProjectText(access)); }

  void RunDriver(bool quiet = true, TWebCompileProgress* progress = nullptr) {
    TWebCompiler driver(&manager, host, progress, nullptr, quiet);
    driver.Compile();
  }

  // The save-and-compile command on the project file, as the designer runs it.
  std::string RunSaveAndCompile() {
    TmyXMLParser reader;
    EXPECT_TRUE(reader.LoadFromFile(folder.System("Tarnwell\\DEMO.xml")));
    std::unique_ptr<TmyXmlNode> root(reader.Parse());
    TProjectSettings settings;
    TGridGlobalWebData webData;
    TPlaceholderResolver resolver{&webData};
    TCompileProject project;
    project.root = root.get();
    project.web = root->FindChild("web", {}, true);
    project.settings = &settings;
    project.webData = &webData;
    project.resolver = &resolver;
    project.projectDir = manager.projectFolder;
    project.projectName = kProjectName;
    TCompileState state;
    state.compileForHost = true;
    PlainParts parts;
    TSaveAndCompileSetup setup{project, state, host, parts, kFormatCodeCurrent, {}, {}, {}, {}};
    compiled = TSaveAndCompile(setup).Run();
    EXPECT_EQ(compiled.outcome, TCompileOutcome::kCompiled) << compiled.error;
    return folder.Read("SendRoot/PSW.TXT");
  }
  TCompileResult compiled;

  TempFolder folder{"web-compiler-"};
  FakeProjectManager manager;
  FakeCompileHost host;
};

TEST_F(WebCompilerTest, StampsTheCompileTimeAndMakesTheOutputFolders) {
  WriteProject("");
  RunDriver();
  EXPECT_NE(folder.Read("Tarnwell/DEMO.webx").find("CompileTD=1700000000"), std::string::npos);
  EXPECT_TRUE(folder.IsFolder("SendRoot/WWW"));
  EXPECT_TRUE(folder.IsFolder("SendRoot/WWW/IMAGES"));
  // A page with notifications needs their folder.
  EXPECT_TRUE(folder.IsFolder("SendRoot/WWW/NOTIFY"));
  EXPECT_TRUE(host.messages.empty());
}

// A save that awaits compilation keeps its question: the driver compiles no page.
TEST_F(WebCompilerTest, TheStampPassesNoSaveThatAwaitsCompilation) {
  WriteProject("");
  for (const char* saved : {"1500000000", "1300000000", "0"}) {
    folder.Write("Tarnwell/DEMO.webx", std::string("[TimeStamps]\r\nSaveTD=") + saved + "\r\nCompileTD=1400000000\r\n");
    RunDriver();
    const char* stamp = std::string(saved) == "1500000000" ? "CompileTD=1400000000" : "CompileTD=1700000000";
    EXPECT_NE(folder.Read("Tarnwell/DEMO.webx").find(stamp), std::string::npos) << saved;
  }
}

TEST_F(WebCompilerTest, ImagesFolderInAnotherCaseIsRenamed) {
  WriteProject("");
  std::filesystem::create_directories(folder.Path() / "SendRoot" / "WWW" / "images");
  RunDriver();
  EXPECT_TRUE(folder.IsFolder("SendRoot/WWW/IMAGES"));
  EXPECT_FALSE(folder.Exists("SendRoot/WWW/images"));
}

// Every kind of row the two writers once disagreed on: plain and scrambled
// files, stored passwords, API users at level 0, empty slots, MAC levels,
// start pages, more rows than ten.
TEST_F(WebCompilerTest, PasswordFileIsByteForByteTheSaveAndCompileOne) {
  const std::string secret = EncodeUserPassword("s3cret");
  const std::string accesses[] = {
      "",
      "<security crypt=\"0\" count=\"10\"><user level=\"9\" name=\"ADMIN\" pass=\"" + secret +
          "\" /></security><vornapi count=\"10\"><api level=\"0\" name=\"robot\" pass=\"" + secret + "\" /></vornapi>",
      "<security crypt=\"1\" count=\"10\"><user level=\"2\" name=\"op\" pass=\"" + secret +
          "\" page=\"PAGE1.XML\" /></security><autologin count=\"10\"><mac level=\"3\" mac=\"0:1b:2C:3:4:5\" "
          "note=\"panel\" /></autologin>",
      "<security crypt=\"0\" count=\"20\"><user level=\"1\" name=\"a\" pass=\"" + secret +
          "\" /></security><autologin count=\"10\" /><vornapi count=\"10\"><api level=\"-1\" name=\"\" pass=\"\" "
          "/></vornapi>",
  };
  for (const std::string& access : accesses) {
    SCOPED_TRACE(access);
    WriteProject(access);
    std::filesystem::remove_all(folder.Path() / "SendRoot");
    const std::string compiled = RunSaveAndCompile();
    ASSERT_FALSE(compiled.empty());
    std::filesystem::remove(folder.Path() / "SendRoot" / "PSW.TXT");
    RunDriver();
    EXPECT_EQ(folder.Read("SendRoot/PSW.TXT"), compiled);
  }
}

// Nothing is written from a copy that another run wrote after the compile.
TEST_F(WebCompilerTest, ACopyChangedAfterTheBuildsCompileIsNotRead) {
  WriteProject("<security crypt=\"0\" count=\"10\" />");
  RunSaveAndCompile();
  WriteProject("");
  const auto before = testsupport::ReadFileTree(folder.Path());
  TWebCompiler driver(&manager, host, nullptr, nullptr, true);
  driver.ExpectProjectCopy(compiled.projectCopy);
  EXPECT_FALSE(driver.Compile());
  EXPECT_EQ(testsupport::ChangedFiles(before, testsupport::ReadFileTree(folder.Path())), std::vector<std::string>{});
}

TEST_F(WebCompilerTest, PasswordFileIsRegisteredWithItsCrc) {
  WriteProject("<security crypt=\"0\" count=\"10\" />");
  TWebCompiler driver(&manager, host, nullptr, nullptr, true);
  driver.Compile();
  const std::string text = folder.Read("SendRoot/PSW.TXT");
  ASSERT_EQ(text.rfind("v,1,1\r\n", 0), 0u);
  const GeneratedFileRecord* record = driver.Stamps().Find("..\\PSW.TXT");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->size, text.size());
  EXPECT_EQ(record->crc32, Crc32::Of(text.data(), static_cast<std::uint32_t>(text.size())));
}

TEST_F(WebCompilerTest, WithoutAProjectCopyNoPasswordFileButTheFolders) {
  RunDriver();
  EXPECT_FALSE(folder.Exists("SendRoot/PSW.TXT"));
  EXPECT_TRUE(folder.IsFolder("SendRoot/WWW/IMAGES"));
}

// The driver compiles no pages: the previous compile's pages stay for the
// PLC; only the import copies it writes again are replaced.
TEST_F(WebCompilerTest, PreviousOutputStaysAndImportCopiesAreReplaced) {
  WriteProject("");
  folder.Write("SendRoot/WWW/PAGE1.XML", "<page/>");
  folder.Write("SendRoot/WWW/PAGE1.XSL", "<xsl/>");
  folder.Write("SendRoot/WWW/extra.txt", "old");
  const std::string stamps = "PAGE1.XML,0,0,0,0,0,7\r\nPAGE1.XSL,0,0,0,0,0,6\r\nextra.txt,0,0,0,0,0,3\r\n";
  folder.Write("Tarnwell/DEMO.txt", stamps);
  folder.Write("Tarnwell/Import/extra.txt", "new text");
  RunDriver();
  EXPECT_EQ(folder.Read("SendRoot/WWW/PAGE1.XML"), "<page/>");
  EXPECT_EQ(folder.Read("SendRoot/WWW/PAGE1.XSL"), "<xsl/>");
  EXPECT_EQ(folder.Read("SendRoot/WWW/extra.txt"), "new text");
  // The stamp list is the save-and-compile command's: the driver leaves it.
  EXPECT_EQ(folder.Read("Tarnwell/DEMO.txt"), stamps);
}

TEST_F(WebCompilerTest, CopiesTheCompilesImportFolderWithStamps) {
  WriteProject("");
  folder.Write("Tarnwell/Import/a.txt", "alpha");
  folder.Write("Tarnwell/Import/sub/b.js", "var b;");
  folder.Write("Tarnwell/Import/default.xsl", "<xsl/>");
  // The host project's own "Import" folder is not the compile's.
  folder.Write("Import/stray.txt", "no");
  TWebCompiler driver(&manager, host, nullptr, nullptr, true);
  driver.Compile();
  EXPECT_EQ(folder.Read("SendRoot/WWW/a.txt"), "alpha");
  EXPECT_EQ(folder.Read("SendRoot/WWW/sub/b.js"), "var b;");
  EXPECT_FALSE(folder.Exists("SendRoot/WWW/default.xsl"));
  EXPECT_FALSE(folder.Exists("SendRoot/WWW/stray.txt"));
  EXPECT_EQ(driver.UserStylesheet(), folder.System("Tarnwell\\Import\\") + "default.xsl");
  struct Stamp {
    const char* key;
    std::string content;
  };
  for (const Stamp& stamp : {Stamp{"a.txt", "alpha"}, Stamp{"sub\\b.js", "var b;"}}) {
    const GeneratedFileRecord* record = driver.Stamps().Find(stamp.key);
    ASSERT_NE(record, nullptr) << stamp.key;
    EXPECT_EQ(record->size, stamp.content.size()) << stamp.key;
    EXPECT_EQ(record->crc32, Crc32::Of(stamp.content.data(), static_cast<std::uint32_t>(stamp.content.size())))
        << stamp.key;
  }
  EXPECT_EQ(driver.Stamps().Find("default.xsl"), nullptr);
}

TEST_F(WebCompilerTest, GlobalModeReadsTheSharedProjectAndItsImportFolder) {
  manager.globalFolder = folder.System("global\\");
  folder.Write("Tarnwell/DEMO.webx", "[Settings]\r\nGlobal=-1\r\nGlobalDir=Shared\r\n");
  folder.Write("global/Shared/Global.xml", ProjectText("<security crypt=\"0\" count=\"10\" />"));
  folder.Write("global/Shared/Import/shared.txt", "shared");
  folder.Write("Tarnwell/Import/own.txt", "own");
  RunDriver();
  EXPECT_EQ(folder.Read("SendRoot/WWW/shared.txt"), "shared");
  EXPECT_FALSE(folder.Exists("SendRoot/WWW/own.txt"));
  EXPECT_EQ(folder.Read("SendRoot/PSW.TXT").rfind("v,1,1\r\n", 0), 0u);
}

TEST_F(WebCompilerTest, QuietRunShowsNoWindowAndTellsNoProgress) {
  WriteProject("");
  CountingProgress progress;
  const int forms = Screen->FormCount();
  TWebCompiler driver(&manager, host, &progress, nullptr, true);
  driver.Compile();
  EXPECT_FALSE(driver.StatusShown());
  EXPECT_EQ(Screen->FormCount(), forms);
  EXPECT_TRUE(progress.states.empty());
}

TEST_F(WebCompilerTest, ShownStatusWindowIsClosedAndFreedAtTheEnd) {
  WriteProject("");
  CountingProgress progress;
  const int forms = Screen->FormCount();
  TWebCompiler driver(&manager, host, &progress, nullptr, false);
  driver.Compile();
  EXPECT_FALSE(driver.StatusShown());
  EXPECT_EQ(Screen->FormCount(), forms);
  EXPECT_EQ(progress.states, std::vector<int>{TWebCompileProgress::kWorkStarts});
}

TEST_F(WebCompilerTest, VariableMapPassOpensAndClosesOnceUnlessSwitchedOff) {
  WriteProject("");
  host.hasTdiMap = true;
  RunDriver();
  EXPECT_EQ(host.passesOpened, 1);
  EXPECT_EQ(host.passesClosed, 1);
  host.tdiDisabled = true;
  RunDriver();
  EXPECT_EQ(host.passesOpened, 1);
}

// A file in the output folder's place is named once, and nothing is written.
TEST_F(WebCompilerTest, FolderThatCannotBeMadeIsAHostMessage) {
  WriteProject("");
  folder.Write("SendRoot/WWW", "a file in the folder's place");
  RunDriver();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].second.find("/SendRoot/WWW\" is not a folder"), std::string::npos)
      << host.messages[0].second;
  EXPECT_FALSE(folder.Exists("SendRoot/PSW.TXT"));
}

TEST_F(WebCompilerTest, WithoutAProjectFolderNothingIsWritten) {
  WriteProject("");
  manager.projectFolder.clear();
  RunDriver();
  EXPECT_FALSE(folder.Exists("SendRoot"));
  EXPECT_EQ(folder.Read("Tarnwell/DEMO.webx"), "");
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
