// The designer's host through the core services: the project manager that
// the plug-in registered gives the folder and the name; a host that raises
// makes the name unusable; a window made without a host of its own loads the
// project the project manager names.

#include <gtest/gtest.h>

#include "core/HostEnvironment.h"
#include "designer/DesignerHost.h"
#include "tests/core/services/ServicesTestSupport.h"
#include "tests/designer/window/WindowTestSupport.h"

using namespace windowtest;

namespace {

// A host that shares its web project through the global folder.
class TSharedHost : public TCoreDesignerHost {
 protected:
  bool GlobalMode() const override { return true; }
  std::string GlobalDir() const override { return "Shared"; }
};

class DesignerHost : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    manager.projectFolder = folder.Path().string() + "\\";
    manager.globalFolder = folder.Path().string() + "\\global\\";
    manager.projectName = "Plant1";
    SetHostProjectManager(&manager);
  }
  void TearDown() override {
    SetHostProjectManager(nullptr);
    WindowTest::TearDown();
  }
  servicestest::FakeProjectManager manager;
};

}  // namespace

TEST_F(DesignerHost, TheProjectManagerGivesFolderAndName) {
  TCoreDesignerHost host;
  const TProjectLocation location = host.ProjectLocation();
  EXPECT_EQ(location.hostProjectDir, manager.projectFolder);
  EXPECT_EQ(location.hostProjectName, "Plant1");
  EXPECT_TRUE(location.hostAnswered);
  EXPECT_FALSE(location.globalMode);
}

TEST_F(DesignerHost, AHostThatRaisesGivesNoName) {
  manager.nameResult = E_FAIL;
  TCoreDesignerHost host;
  const TProjectLocation location = host.ProjectLocation();
  EXPECT_FALSE(location.hostAnswered);
  EXPECT_EQ(location.hostProjectName, "");
}

TEST_F(DesignerHost, WithoutAProjectManagerThereIsNoProject) {
  SetHostProjectManager(nullptr);
  TCoreDesignerHost host;
  EXPECT_EQ(host.ProjectLocation().hostProjectDir, "");
}

TEST_F(DesignerHost, ASharedProjectLiesInTheGlobalFolder) {
  TSharedHost host;
  const TProjectLocation location = host.ProjectLocation();
  EXPECT_TRUE(location.globalMode);
  EXPECT_EQ(location.globalDir, "Shared");
  EXPECT_EQ(location.projectPath, manager.globalFolder);
}

TEST_F(DesignerHost, AWindowWithoutAHostOfItsOwnLoadsTheManagersProject) {
  PutProject("<web><group caption=\"Plant\"><page caption=\"Start\" name=\"START.XML\" /></group></web>", "Plant1.xml");
  designer = std::make_unique<TFormDesign1>(nullptr);
  ASSERT_TRUE(designer->EnsureProjectLoaded());
  EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"Plant", "  Start"}));
}
