#include <gtest/gtest.h>

#include "FakeHost.h"
#include "PluginTestSupport.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/ResultCodes.h"
#include "platform/vcl/Component.h"
#include "platform/win/MessageBox.h"

namespace {

using plugintest::CreatePlugin;
using plugintest::FakeHost;
using plugintest::HostFolder;
using plugintest::Plugin;

// Set once a test installed through the builder interface: that flag stays
// for the life of the library (so the toolbar is left out afterwards).
bool gBuilderUsed = false;

ULONG RefsOf(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

class Installation : public ::testing::Test {
 protected:
  void SetUp() override {
    Plugin().controledDestruction(0);
    ClearMessageBoxLog();
    plugin = CreatePlugin();
    ASSERT_NE(plugin, nullptr);
  }
  void TearDown() override {
    if (plugin != nullptr) plugin->Release();
    Plugin().controledDestruction(0);
  }
  // Installs with a reference of the host's own (the plug-in releases one).
  HRESULT Install() {
    host.AddRef();
    return plugin->InstallPlugin(host.Unknown(), nullptr);
  }

  HostFolder folder;
  FakeHost host;
  IQendPlugin* plugin = nullptr;
};

TEST_F(Installation, TakesTheInterfacesInOrderAndGivesEveryReferenceBack) {
  long hostRefsBefore = host.refs;
  ASSERT_EQ(Install(), S_OK);
  const std::vector<std::string> expected = {"IQendProjectManager",      "IQendMenu",         "IQendVariables",
                                             "IHalvexWebTdiMap",         "IQendMessages",     "IQendProject",
                                             "IHalvexSyncedPlcRead",     "IHalvexCommLoopEx", "IHalvexIDE",
                                             "IQendTextEditor",          "IHalvexPlcControl", "IQendLanguage",
                                             "IConnectionPointContainer"};
  EXPECT_EQ(host.asked, expected);
  // Twelve interfaces held; the language was given back, the passed reference too.
  EXPECT_EQ(host.refs, hostRefsBefore + 12);
  ASSERT_EQ(host.callbacks.size(), 1u);
  EXPECT_TRUE(host.Called("AddCallback 88 Tarnwell"));
  for (ConnectionPoint* point : host.points.Points()) {
    EXPECT_EQ(point->SinkCount(), 1u);
    EXPECT_EQ(RefsOf(point), 2u);  // the list's and the plug-in's
  }
  const std::vector<std::string> finds = {"FindConnectionPoint " + GuidToString(IID_IQendProjectEvents),
                                          "FindConnectionPoint " + GuidToString(IID_IQendDesktopEvents),
                                          "FindConnectionPoint " + GuidToString(IID_IQendCpmEvents),
                                          "FindConnectionPoint " + GuidToString(IID_IHalvexCommStateEvent),
                                          "FindConnectionPoint " + GuidToString(IID_IQendCompilerEvents),
                                          "FindConnectionPoint " + GuidToString(IID_IHalvexOnlinePlcBackupEvent)};
  std::vector<std::string> found;
  for (const std::string& call : host.calls)
    if (call.rfind("FindConnectionPoint", 0) == 0) found.push_back(call);
  EXPECT_EQ(found, finds);
  EXPECT_TRUE(host.Called("AddBitmap"));
  EXPECT_TRUE(host.Called("RegisterCommand Tarnwell Tarnwell 0 17 0"));
  EXPECT_TRUE(host.Called("PlaceInMenu 41 8 0 0"));
  if (!gBuilderUsed) {
    EXPECT_TRUE(host.Called("PlaceOnToolbar 41 0 0"));
  }
  // The plug-in object: the test's reference, six subscriptions and the command's sink.
  EXPECT_EQ(RefsOf(plugin), 8u);
  EXPECT_TRUE(folder.Traced("InstallPlugin ------------------------------------------------"));
  EXPECT_TRUE(folder.Traced("InstallPlugin - End"));
  EXPECT_TRUE(MessageBoxLog().empty());

  ASSERT_EQ(plugin->UninstallPlugin(), S_OK);
  EXPECT_EQ(host.refs, hostRefsBefore);
  EXPECT_TRUE(host.callbacks.empty());
  EXPECT_TRUE(host.Called("RemoveCommand 41"));
  for (ConnectionPoint* point : host.points.Points()) {
    EXPECT_EQ(point->SinkCount(), 0u);
    EXPECT_EQ(RefsOf(point), 1u);
  }
  EXPECT_EQ(RefsOf(plugin), 1u);
  // The removal's trace, in its order.
  std::vector<std::string> order = {"UninstallPlugin",
                                    "Remove from comm loop - start",
                                    "Remove from comm loop - end",
                                    "ifHalvexPlcControl - relase",
                                    "ifHalvexPlcControl - relased",
                                    "ifQendVariables - relase",
                                    "ifHalvexWebTdiMap - relase",
                                    "ifQendMessages - relase",
                                    "ifQendProject - relase",
                                    "ifHalvexIDE - relase",
                                    "ifHalvexSyncedPlcRead - relase",
                                    "ifQendTextEditor - relase",
                                    "ifMenu - relase",
                                    "ifPrjMngr - relase",
                                    "ifProjectEventCP - relase",
                                    "g_ulDesktopEventsCookie - relase",
                                    "ifCommunEventCP - relase",
                                    "ifCpmEventCP - relase",
                                    "ifCompilerEventCP - relase",
                                    "ifCPC - relased",
                                    "UninstallPlugin - end"};
  std::vector<std::string> lines = folder.TraceLines();
  std::size_t at = 0;
  for (const std::string& step : order) {
    while (at < lines.size() && lines[at].find("\t\t" + step + " (") == std::string::npos) ++at;
    EXPECT_LT(at, lines.size()) << "missing or out of order: " << step;
  }

  // The main form stays until the controlled destruction; then the library may go.
  EXPECT_EQ(Plugin().controledDestruction(0), S_FALSE);  // the test still holds the object
  EXPECT_TRUE(folder.Traced("WebMainForm1 - deleted"));
  plugin->Release();
  plugin = nullptr;
  EXPECT_EQ(Plugin().controledDestruction(0), S_OK);
}

TEST_F(Installation, SecondRemovalDoesNothingButAReinstallationCanBeRemoved) {
  ASSERT_EQ(Install(), S_OK);
  ASSERT_EQ(plugin->UninstallPlugin(), S_OK);
  long refs = host.refs;
  folder.ClearTrace();
  EXPECT_EQ(plugin->UninstallPlugin(), S_OK);
  EXPECT_TRUE(folder.TraceLines().empty());
  EXPECT_EQ(host.refs, refs);

  // Installed again (as the builder edition's second installation would):
  // the removal works again and leaves no callback and no subscription.
  ASSERT_EQ(Install(), S_OK);
  EXPECT_EQ(host.callbacks.size(), 1u);
  ASSERT_EQ(plugin->UninstallPlugin(), S_OK);
  EXPECT_TRUE(host.callbacks.empty());
  for (ConnectionPoint* point : host.points.Points()) EXPECT_EQ(point->SinkCount(), 0u);
  EXPECT_EQ(host.refs, refs);
}

TEST_F(Installation, GoesOnWithoutTheWebVariableMap) {
  host.withheld.insert("IHalvexWebTdiMap");
  long refs = host.refs;
  ASSERT_EQ(Install(), S_OK);
  EXPECT_TRUE(MessageBoxLog().empty());
  EXPECT_EQ(host.callbacks.size(), 1u);
  ASSERT_EQ(plugin->UninstallPlugin(), S_OK);
  EXPECT_EQ(host.refs, refs);
  EXPECT_FALSE(folder.Traced("ifHalvexWebTdiMap - relase"));
}

TEST_F(Installation, MissingRequiredInterfaceShowsTheErrorBoxAndFails) {
  host.withheld.insert("IQendMenu");
  long refs = host.refs;
  EXPECT_EQ(Install(), E_NOINTERFACE);
  std::vector<MessageBoxRecord> boxes = MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Error ");
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].flags & (MB_ICONERROR | MB_TOPMOST), MB_ICONERROR | MB_TOPMOST);
  EXPECT_TRUE(host.callbacks.empty());
  // The project manager it got is released by the removal.
  EXPECT_EQ(host.refs, refs + 1);
  plugin->UninstallPlugin();
  EXPECT_EQ(host.refs, refs);
}

TEST_F(Installation, MissingCommunicationLoopFailsSilently) {
  host.withheld.insert("IHalvexCommLoopEx");
  long refs = host.refs;
  EXPECT_EQ(Install(), E_NOINTERFACE);
  EXPECT_TRUE(MessageBoxLog().empty());
  plugin->UninstallPlugin();
  EXPECT_EQ(host.refs, refs);
}

TEST_F(Installation, AnExceptionIsReportedThroughTheErrorInformation) {
  host.throwInAddBitmap = true;
  long refs = host.refs;
  SetErrorInfo(0, nullptr);
  EXPECT_EQ(Install(), DISP_E_EXCEPTION);
  IErrorInfo* info = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  GUID guid{};
  info->GetGUID(&guid);
  EXPECT_EQ(guid, IID_IQendPlugin);
  BSTR text = nullptr;
  info->GetSource(&text);
  EXPECT_EQ(BstrToWide(text), u"Tarnwell.TarnwellCoClass");
  SysFreeString(text);
  info->GetDescription(&text);
  EXPECT_EQ(BstrToWide(text), u"menu broken");
  SysFreeString(text);
  info->Release();
  EXPECT_TRUE(folder.Traced("InstallError: menu broken"));
  // What it obtained before the failure goes with the removal.
  plugin->UninstallPlugin();
  EXPECT_EQ(host.refs, refs);
  EXPECT_TRUE(host.callbacks.empty());
  for (ConnectionPoint* point : host.points.Points()) EXPECT_EQ(point->SinkCount(), 0u);
}

TEST_F(Installation, MainFormFreedWithTheHostsOwnerIsForgotten) {
  auto* owner = new TComponent(nullptr);
  host.AddRef();
  ASSERT_EQ(plugin->InstallPlugin(host.Unknown(), owner), S_OK);
  ASSERT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(owner->Components(0)->Name(), "WebMainForm1");
  plugin->UninstallPlugin();
  delete owner;  // frees the main form with it
  folder.ClearTrace();
  plugin->Release();
  plugin = nullptr;
  EXPECT_EQ(Plugin().controledDestruction(0), S_OK);
  EXPECT_FALSE(folder.Traced("WebMainForm1 - deleting"));
}

TEST_F(Installation, NullHostIsRefused) { EXPECT_EQ(plugin->InstallPlugin(nullptr, nullptr), E_POINTER); }

TEST_F(Installation, BuilderEditionAddsNoToolbarButton) {
  IHalvexBuilderPlugin* builder = nullptr;
  ASSERT_EQ(plugin->QueryInterface(IID_IHalvexBuilderPlugin, reinterpret_cast<void**>(&builder)), S_OK);
  gBuilderUsed = true;
  host.AddRef();
  ASSERT_EQ(builder->BuilderInstallPlugin(host.Unknown(), nullptr), S_OK);
  EXPECT_TRUE(host.Called("PlaceInMenu 41 8 0 0"));
  EXPECT_FALSE(host.Called("PlaceOnToolbar 41 0 0"));
  EXPECT_EQ(builder->BuilderUninstallPlugin(), S_OK);
  EXPECT_TRUE(host.callbacks.empty());
  builder->Release();
  EXPECT_EQ(builder->BuilderControledDestruction(), S_FALSE);  // `plugin` is still alive
}

}  // namespace
