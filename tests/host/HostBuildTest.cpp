// The host's build: the compiler events, the link event with the status
// window's handle and each library's ClLinkExtendedProgMap, in that order;
// the build succeeds only when every step answered S_OK, and the reference
// to the host object handed to the export is given back whatever the export
// did with it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/sim/HalvexHost.h"
#include "host/sim/HostBuild.h"
#include "tests/host/FakePlugin.h"
#include "tests/host/HostTestProject.h"

namespace {

// What the exports below saw, in order with the plug-in's events.
std::vector<std::string>* gCalls = nullptr;

// The compile driver ran: outputs 0, the host object's reference given back.
HRESULT ExportThatRuns(std::uint32_t, std::uint32_t, IUnknown* host, std::uint32_t, std::uint32_t* out5,
                       std::uint32_t* out6) {
  gCalls->push_back("ClLinkExtendedProgMap runs");
  *out5 = 0;
  *out6 = 0;
  host->Release();
  return S_OK;
}

// A host object without an interface the driver needs: the reference is kept.
HRESULT ExportThatRefuses(std::uint32_t, std::uint32_t, IUnknown*, std::uint32_t, std::uint32_t* out5,
                          std::uint32_t* out6) {
  gCalls->push_back("ClLinkExtendedProgMap refuses");
  *out5 = 0;
  *out6 = 0;
  return E_NOINTERFACE;
}

// Gives the reference back and still fails (no driver built in).
HRESULT ExportWithoutDriver(std::uint32_t, std::uint32_t, IUnknown* host, std::uint32_t, std::uint32_t* out5,
                            std::uint32_t* out6) {
  gCalls->push_back("ClLinkExtendedProgMap without driver");
  *out5 = 0;
  *out6 = 0;
  host->Release();
  return E_NOTIMPL;
}

class HostBuild : public ::testing::Test {
 protected:
  void SetUp() override {
    gCalls = &plugin.calls;
    host.OpenProject(DemoProjectFolder());
    IConnectionPointContainer* container = nullptr;
    ASSERT_EQ(host.Object()->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)), S_OK);
    ASSERT_EQ(container->FindConnectionPoint(IID_IQendCompilerEvents, &point), S_OK);
    container->Release();
    ASSERT_EQ(point->Advise(plugin.Unknown(), &cookie), S_OK);
  }
  void TearDown() override {
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    point->Release();
    gCalls = nullptr;
    EXPECT_EQ(host.TotalReferences(), 0u);
  }

  HalvexHost host;
  FakePlugin plugin;
  IConnectionPoint* point = nullptr;
  std::uint32_t cookie = 0;
  HWND statusWindow = reinterpret_cast<HWND>(std::uintptr_t{0x1234});
};

TEST_F(HostBuild, StepsRunInTheHostsOrderWithTheStatusWindow) {
  const HostBuildResult build =
      RunHostBuild(host, statusWindow, {{"liba.so", ExportThatRuns}, {"libnone.so", nullptr}});
  EXPECT_EQ(plugin.calls, (std::vector<std::string>{"OnStartCompiling", "OnLinkingExtendedProgMap 4660",
                                                    "ClLinkExtendedProgMap runs", "OnEndCompiling"}));
  std::vector<std::string> names;
  for (const HostBuildStep& step : build.steps) names.push_back(step.name);
  EXPECT_EQ(names, (std::vector<std::string>{
                       "IQendCompilerEvents::OnStartCompiling", "IQendCompilerEventsExt1::OnLinkingExtendedProgMap",
                       "ClLinkExtendedProgMap (liba.so)", "IQendCompilerEvents::OnEndCompiling"}));
  EXPECT_EQ(build.steps[1].sinks, 1u);
  EXPECT_TRUE(build.Succeeded());
}

TEST_F(HostBuild, EachExportsAnswerDecidesTheBuildAndNoReferenceIsLeft) {
  struct Case {
    const char* name;
    ClLinkExtendedProgMapFunction function;
    HRESULT result;
    bool releasedByPlugin;
  };
  const Case cases[] = {
      {"runs", ExportThatRuns, S_OK, true},
      {"refuses", ExportThatRefuses, E_NOINTERFACE, false},
      {"without driver", ExportWithoutDriver, E_NOTIMPL, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const HostBuildResult build = RunHostBuild(host, statusWindow, {{"lib.so", c.function}});
    ASSERT_EQ(build.steps.size(), 4u);
    const HostBuildStep& step = build.steps[2];
    EXPECT_EQ(step.kind, HostBuildStep::Kind::Export);
    EXPECT_EQ(step.result, c.result);
    EXPECT_EQ(step.out5, 0u);
    EXPECT_EQ(step.out6, 0u);
    EXPECT_EQ(step.hostReferenceReleasedByPlugin, c.releasedByPlugin);
    EXPECT_EQ(build.Succeeded(), c.result == S_OK);
    EXPECT_EQ(host.ObjectReferences(), 0u);
  }
}

TEST_F(HostBuild, AFailingLinkEventFailsTheBuild) {
  plugin.linkResult = E_FAIL;
  const HostBuildResult build = RunHostBuild(host, statusWindow, {});
  ASSERT_EQ(build.steps.size(), 3u);
  EXPECT_EQ(build.steps[1].result, E_FAIL);
  EXPECT_FALSE(build.Succeeded());
}

TEST_F(HostBuild, ASinkWithoutTheExtensionIsNotAskedToLink) {
  plugin.answerExtension = false;
  const HostBuildResult build = RunHostBuild(host, statusWindow, {});
  EXPECT_EQ(plugin.calls, (std::vector<std::string>{"OnStartCompiling", "OnEndCompiling"}));
  EXPECT_EQ(build.steps[1].sinks, 0u);
  EXPECT_TRUE(build.Succeeded());
}

}  // namespace
