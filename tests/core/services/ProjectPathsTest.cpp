// Project paths through a project manager of the test's own: the folder
// functions, the output paths with their shared buffer and second NUL, the
// picture paths and their refusal of names that would leave the folder,
// TclBuildFileName, TclOpenIniReg and TSimpleLock.

#include <gtest/gtest.h>
#include <unistd.h>

#include "base/ScopeExit.h"
#include "core/BuildFileName.h"
#include "core/HostEnvironment.h"
#include "core/OpenIniReg.h"
#include "core/ProjectPaths.h"
#include "core/SimpleLock.h"
#include "platform/com/ComCheck.h"
#include "tests/core/services/ServicesTestSupport.h"

using servicestest::FakeProjectManager;
using servicestest::TempFolder;

namespace {

class ProjectPathsTest : public testing::Test {
 protected:
  void SetUp() override {
    host.projectFolder = project.Path().string() + "\\";
    host.globalFolder = global.Path().string() + "\\";
    SetHostProjectManager(&host);
  }
  void TearDown() override { SetHostProjectManager(nullptr); }
  // The text and what follows its NUL.
  static std::string WithSecondNul(const char* text) {
    std::size_t n = std::strlen(text);
    return std::string(text, n + 2);
  }
  TempFolder project, global;
  FakeProjectManager host;
};

}  // namespace

TEST_F(ProjectPathsTest, FoldersComeFromTheHostAndGetTheirWebFolder) {
  EXPECT_EQ(GetHostProjectDir(), host.projectFolder);
  EXPECT_EQ(GetHostProjectPath(), host.globalFolder);
  EXPECT_FALSE(project.Exists("Tarnwell"));
  EXPECT_EQ(GetProjectDir(), host.projectFolder);
  EXPECT_TRUE(project.IsFolder("Tarnwell"));
  EXPECT_EQ(GetProjectPath(), host.globalFolder);
  EXPECT_TRUE(global.IsFolder("Tarnwell"));
}

TEST_F(ProjectPathsTest, NoProjectOrAFailingHostGivesEmptyTextsAndCreatesNothing) {
  host.projectFolder.clear();
  EXPECT_EQ(GetProjectDir(), "");
  host.projectFolder = project.Path().string() + "\\";
  host.folderResult = E_FAIL;
  host.globalResult = E_INVALIDARG;
  EXPECT_EQ(GetProjectDir(), "");
  EXPECT_EQ(GetProjectPath(), "");
  EXPECT_FALSE(project.Exists("Tarnwell"));
  EXPECT_FALSE(global.Exists("Tarnwell"));
  SetHostProjectManager(nullptr);
  EXPECT_EQ(GetHostProjectDir(), "");
}

TEST_F(ProjectPathsTest, QueryHostTextRaisesTheComCheckErrorAndFreesTheText) {
  host.nameResult = E_FAIL;
  try {
    QueryHostText(&host, &IQendProjectManager::GetProjectName);
    FAIL() << "no exception";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.ErrorCode(), E_FAIL);
    EXPECT_EQ(e.Message(), "OLE error 80004005");
  }
  EXPECT_THROW(QueryHostText(nullptr, &IQendProjectManager::GetProjectName), EOleSysError);
  host.nameResult = S_FALSE;  // a success code
  EXPECT_EQ(QueryHostText(&host, &IQendProjectManager::GetProjectName), "Plant1");
}

TEST_F(ProjectPathsTest, OutputPathsEndWithTwoNuls) {
  std::string root = host.projectFolder;
  EXPECT_EQ(WithSecondNul(GetSendRootDir()), root + "SendRoot\\" + std::string(2, '\0'));
  EXPECT_EQ(WithSecondNul(GetSendRootWwwDir()), root + "SendRoot\\WWW\\" + std::string(2, '\0'));
  const char* path = GetSendRootWwwPath("VORN_VAR.JS", "JS\\");
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(WithSecondNul(path), root + "SendRoot\\WWW\\JS\\VORN_VAR.JS" + std::string(2, '\0'));
  EXPECT_TRUE(project.IsFolder("SendRoot/WWW/JS"));
  // A longer path in the same buffer after a shorter one, and back.
  std::string deep, deepNative;
  for (int i = 0; i < 6; ++i) {
    deep += std::string(60, static_cast<char>('a' + i)) + "\\";
    deepNative += std::string(60, static_cast<char>('a' + i)) + "/";
  }
  path = GetSendRootWwwPath("x.png", (deep + "IMAGES\\").c_str());
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(WithSecondNul(path), root + "SendRoot\\WWW\\" + deep + "IMAGES\\x.png" + std::string(2, '\0'));
  EXPECT_TRUE(project.IsFolder("SendRoot/WWW/" + deepNative + "IMAGES"));
  path = GetSendRootWwwPath("index.xml");
  EXPECT_EQ(WithSecondNul(path), root + "SendRoot\\WWW\\index.xml" + std::string(2, '\0'));
}

TEST_F(ProjectPathsTest, OutputPathsRefuseNamesThatLeaveTheOutputFolder) {
  EXPECT_EQ(GetSendRootWwwPath("..\\..\\evil.txt"), nullptr);
  EXPECT_EQ(GetSendRootWwwPath("/etc/passwd"), nullptr);
  EXPECT_EQ(GetSendRootWwwPath("C:evil"), nullptr);
  EXPECT_EQ(GetSendRootWwwPath("x.txt", "..\\"), nullptr);
  EXPECT_EQ(GetSendRootWwwPath("x.txt", "JS\\..\\..\\"), nullptr);
  EXPECT_EQ(GetSendRootWwwPath("x.txt", "\\abs\\"), nullptr);
  EXPECT_FALSE(project.Exists("SendRoot"));
}

TEST_F(ProjectPathsTest, WithoutAProjectThereIsNoOutputPath) {
  TempFolder cwd;
  char old[4096];
  ASSERT_NE(::getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(::chdir(cwd.Path().c_str()), 0);
  ScopeExit back([&] { EXPECT_EQ(::chdir(old), 0); });
  struct Answers {
    const char* root;
    const char* www;
    const char* path;
  };
  auto ask = [] { return Answers{GetSendRootDir(), GetSendRootWwwDir(), GetSendRootWwwPath("a.js", "JS\\")}; };
  host.projectFolder.clear();  // no project open
  const Answers none = ask();
  host.projectFolder = project.Path().string() + "\\";
  host.folderResult = E_FAIL;  // the host call fails
  const Answers failed = ask();
  for (const Answers& a : {none, failed}) {
    EXPECT_EQ(a.root, nullptr);
    EXPECT_EQ(a.www, nullptr);
    EXPECT_EQ(a.path, nullptr);
  }
  EXPECT_FALSE(cwd.Exists("SendRoot"));
  EXPECT_FALSE(project.Exists("SendRoot"));
}

TEST_F(ProjectPathsTest, ImagePathsOfTheProjectAndOfAGlobalProject) {
  EXPECT_EQ(GetImagePath("", false, ""), nullptr);
  const char* path = GetImagePath("LEFT.PNG", false, "");
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(WithSecondNul(path), host.projectFolder + "Tarnwell\\Images\\LEFT.PNG" + std::string(2, '\0'));
  path = GetImagePath("LEFT.PNG", true, "Shared");
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(WithSecondNul(path), host.globalFolder + "Shared\\Images\\LEFT.PNG" + std::string(2, '\0'));
}

TEST_F(ProjectPathsTest, ImagePathsRefuseNamesFromProjectFilesThatLeaveTheFolder) {
  for (const char* name : {"..", ".", "..\\..\\etc\\passwd", "sub\\x.png", "sub/x.png", "/etc/passwd", "C:x.png"}) {
    EXPECT_EQ(GetImagePath(name, false, ""), nullptr) << name;
    EXPECT_EQ(GetImagePath(name, true, "Shared"), nullptr) << name;
  }
  for (const char* dir : {"", "..", "a\\b", "/abs", "C:"}) EXPECT_EQ(GetImagePath("x.png", true, dir), nullptr) << dir;
  host.projectFolder.clear();
  EXPECT_EQ(GetImagePath("x.png", false, ""), nullptr);
}

TEST_F(ProjectPathsTest, BuildFileNameFromTheHost) {
  TclBuildFileName name(&host, "Tarnwell", false);
  EXPECT_TRUE(name.IsValid());
  EXPECT_EQ(name.GetBuiltPath(), host.projectFolder + "Tarnwell\\");
  EXPECT_EQ(name.GetProjectFolder(), host.projectFolder + "Tarnwell\\");
  EXPECT_EQ(name.GetBase(), host.projectFolder + "Tarnwell\\Plant1");
  // Even a caller that only wanted a path leaves the folder on disk.
  EXPECT_TRUE(project.IsFolder("Tarnwell"));
  EXPECT_EQ(name.GetDirFromHost(), host.projectFolder);
  EXPECT_EQ(name.BuildDir(false), host.projectFolder);
  EXPECT_EQ(name.BuildDir(true), host.projectFolder + "Tarnwell\\");

  host.projectName = "Line2";
  name.InitFromHost("Tarnwell");
  EXPECT_EQ(name.GetBase(), host.projectFolder + "Tarnwell\\Line2");
}

TEST_F(ProjectPathsTest, BuildFileNameDirectMakesTheGlobalStemAndCreatesNothing) {
  TclBuildFileName name(&host, "Tarnwell", true);
  EXPECT_TRUE(name.IsValid());
  EXPECT_EQ(name.GetBuiltPath(), "");
  EXPECT_EQ(name.GetProjectFolder(), host.projectFolder + "Tarnwell\\");
  EXPECT_EQ(name.GetBase(), host.projectFolder + "Tarnwell\\Global");
  EXPECT_FALSE(project.Exists("Tarnwell"));
}

TEST_F(ProjectPathsTest, BuildFileNameIsInvalidWhenTheHostFails) {
  EXPECT_FALSE(TclBuildFileName(nullptr, "Tarnwell", false).IsValid());
  EXPECT_FALSE(TclBuildFileName(nullptr, "Tarnwell", true).IsValid());
  host.nameResult = E_FAIL;
  TclBuildFileName noName(&host, "Tarnwell", false);
  EXPECT_FALSE(noName.IsValid());
  EXPECT_EQ(noName.GetBase(), "");
  EXPECT_FALSE(project.Exists("Tarnwell"));
  host.nameResult = S_OK;
  host.folderResult = E_FAIL;
  EXPECT_FALSE(TclBuildFileName(&host, "Tarnwell", false).IsValid());
  EXPECT_FALSE(TclBuildFileName(&host, "Tarnwell", true).IsValid());
  host.folderResult = S_OK;
  host.projectFolder.clear();
  EXPECT_FALSE(TclBuildFileName(&host, "Tarnwell", false).IsValid());
}

TEST_F(ProjectPathsTest, SettingsFileOfTheProject) {
  {
    TclOpenIniReg settings(&host, "Tarnwell", ".webx");
    ASSERT_NE(settings.GetIniFile(), nullptr);
    EXPECT_EQ(settings.GetSection(), "Settings");
    EXPECT_EQ(settings.GetIniFile()->FileName(), host.projectFolder + "Tarnwell\\Plant1.webx");
    settings.GetIniFile()->WriteBool(settings.GetSection(), "Global", true);
    settings.GetIniFile()->WriteString(settings.GetSection(), "GlobalDir", "Shared");
    settings.GetIniFile()->WriteInteger("TimeStamps", "SaveTD", 1700000000);
  }
  EXPECT_EQ(project.Read("Tarnwell/Plant1.webx"),
            "[Settings]\r\nGlobal=-1\r\nGlobalDir=Shared\r\n\r\n[TimeStamps]\r\nSaveTD=1700000000\r\n");
  TclOpenIniReg again(&host, "Tarnwell", ".webx");
  ASSERT_NE(again.GetIniFile(), nullptr);
  EXPECT_TRUE(again.GetIniFile()->ReadBool("Settings", "Global", false));

  host.projectFolder.clear();
  TclOpenIniReg none(&host, "Tarnwell", ".webx");
  EXPECT_EQ(none.GetIniFile(), nullptr);
}

TEST(SimpleLock, NestedGuardsLeaveTheFlagToTheFirstOwner) {
  bool busy = false;
  {
    TSimpleLock outer(&busy);
    EXPECT_TRUE(outer.IsOwner());
    EXPECT_TRUE(busy);
    {
      TSimpleLock inner(&busy);
      EXPECT_FALSE(inner.IsOwner());
      EXPECT_TRUE(busy);
    }
    EXPECT_TRUE(busy);
  }
  EXPECT_FALSE(busy);

  bool alreadySet = true;
  { TSimpleLock guard(&alreadySet); }
  EXPECT_TRUE(alreadySet);
  { TSimpleLock nothing(nullptr); }
}
