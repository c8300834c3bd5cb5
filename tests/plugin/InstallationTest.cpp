#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "FakeHost.h"
#include "PluginTestSupport.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/ResultCodes.h"
#include "platform/vcl/Component.h"
#include "platform/win/MessageBox.h"

namespace {

using plugintest::CreatePlugin;
using plugintest::FakeHost;
using plugintest::HandedReference;
using plugintest::HostFolder;
using plugintest::Plugin;
using plugintest::RefsOf;

// The references an installation holds on the fake host: twelve interfaces
// (the language is given back, and so is the host object passed in).
constexpr long kInstalledHostReferences = 12;
// The plug-in object's while installed: the test's, six subscriptions and
// the command's sink.
constexpr ULONG kInstalledPluginReferences = 8;

class Installation : public ::testing::Test {
 protected:
  void SetUp() override {
    Plugin().controledDestruction(0);
    ClearMessageBoxLog();
    plugin = CreatePlugin();
    ASSERT_TRUE(plugin);
  }
  void TearDown() override {
    // Whatever a test left installed goes before its host does.
    if (plugin) plugin->UninstallPlugin();
    plugin.Reset();
    Plugin().controledDestruction(0);
  }
  // Installs with a reference of the host's own (the plug-in releases one).
  HRESULT Install() { return plugin->InstallPlugin(HandedReference(host.Unknown()), nullptr); }

  // Exactly one installation's worth is held: references, callback,
  // subscriptions and command.
  void ExpectOneInstallation(long hostRefsBefore) {
    EXPECT_EQ(host.refs, hostRefsBefore + kInstalledHostReferences);
    EXPECT_EQ(host.callbacks.size(), 1u);
    for (ConnectionPoint* point : host.points.Points()) {
      EXPECT_EQ(point->SinkCount(), 1u);
      EXPECT_EQ(point->References(), 2u);  // the list's and the plug-in's
    }
    EXPECT_EQ(RefsOf(plugin.Get()), kInstalledPluginReferences);
  }
  // Nothing is held any more.
  void ExpectNothingHeld(long hostRefsBefore) {
    EXPECT_EQ(host.refs, hostRefsBefore);
    EXPECT_TRUE(host.callbacks.empty());
    for (ConnectionPoint* point : host.points.Points()) {
      EXPECT_EQ(point->SinkCount(), 0u);
      EXPECT_EQ(point->References(), 1u);
    }
    EXPECT_EQ(RefsOf(plugin.Get()), 1u);
  }

  HostFolder folder;
  FakeHost host;
  ComPtr<IQendPlugin> plugin;
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
  ExpectOneInstallation(hostRefsBefore);
  EXPECT_TRUE(host.Called("AddCallback 88 Tarnwell"));
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
  EXPECT_TRUE(host.Called("PlaceOnToolbar 41 0 0"));
  EXPECT_TRUE(folder.Traced("InstallPlugin ------------------------------------------------"));
  EXPECT_TRUE(folder.Traced("InstallPlugin - End"));
  EXPECT_TRUE(MessageBoxLog().empty());

  ASSERT_EQ(plugin->UninstallPlugin(), S_OK);
  ExpectNothingHeld(hostRefsBefore);
  EXPECT_TRUE(host.Called("RemoveCommand 41"));
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
  plugin.Reset();
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

TEST_F(Installation, SecondInstallationGivesBackWhatTheFirstHeld) {
  const long refs = host.refs;
  ASSERT_EQ(Install(), S_OK);
  ExpectOneInstallation(refs);
  folder.ClearTrace();

  // Installed again without a removal in between: the first installation's
  // references, subscriptions, callback and command go back first.
  ASSERT_EQ(Install(), S_OK);
  ExpectOneInstallation(refs);
  EXPECT_TRUE(host.Called("RemoveCallback"));
  EXPECT_TRUE(host.Called("RemoveCommand 41"));
  EXPECT_TRUE(folder.Traced("ifPrjMngr - relased"));
  // One help entry in the submenu, not two.
  ASSERT_EQ(host.helpMenu->Count(), 3);
  EXPECT_EQ(host.helpMenu->Items(2)->Count(), 1);

  ASSERT_EQ(plugin->UninstallPlugin(), S_OK);
  ExpectNothingHeld(refs);
  EXPECT_EQ(host.helpMenu->Items(2)->Count(), 0);
}

TEST_F(Installation, InstallationAfterAFailedOneHoldsOneReferenceOfEach) {
  // A host that tries again after a failure, without a removal: what the
  // failed installation got before its failure is given back first.
  const char* failingAt[] = {"IQendMenu",  "IQendProject",      "IHalvexCommLoopEx",
                             "IHalvexIDE", "IHalvexPlcControl", "IConnectionPointContainer"};
  const long refs = host.refs;
  for (const char* missing : failingAt) {
    SCOPED_TRACE(missing);
    host.withheld = {missing};
    EXPECT_EQ(Install(), E_NOINTERFACE);
    host.withheld.clear();
    ASSERT_EQ(Install(), S_OK);
    ExpectOneInstallation(refs);
    ASSERT_EQ(plugin->UninstallPlugin(), S_OK);
    ExpectNothingHeld(refs);
  }
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
  ComPtr<IErrorInfo> info;
  ASSERT_EQ(GetErrorInfo(0, info.Put()), S_OK);
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
  EXPECT_TRUE(folder.Traced("InstallError: menu broken"));
  // What it obtained before the failure goes with the removal.
  plugin->UninstallPlugin();
  EXPECT_EQ(host.refs, refs);
  EXPECT_TRUE(host.callbacks.empty());
  for (ConnectionPoint* point : host.points.Points()) EXPECT_EQ(point->SinkCount(), 0u);
}

TEST_F(Installation, MainFormFreedWithTheHostsOwnerIsForgotten) {
  auto owner = std::make_unique<TComponent>(nullptr);
  ASSERT_EQ(plugin->InstallPlugin(HandedReference(host.Unknown()), owner.get()), S_OK);
  ASSERT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(owner->Components(0)->Name(), "WebMainForm1");
  plugin->UninstallPlugin();
  owner.reset();  // frees the main form with it
  folder.ClearTrace();
  plugin.Reset();
  EXPECT_EQ(Plugin().controledDestruction(0), S_OK);
  EXPECT_FALSE(folder.Traced("WebMainForm1 - deleting"));
}

TEST_F(Installation, NullHostIsRefused) { EXPECT_EQ(plugin->InstallPlugin(nullptr, nullptr), E_POINTER); }

// The builder edition's flag stays for the life of the library (nothing
// clears it), so its installation runs in a child process of its own: the
// checks are made there and reported through its exit code and its errors.
[[noreturn]] void InstallAsTheBuilderEdition(IQendPlugin* plugin, FakeHost& host) {
  std::vector<std::string> faults;
  auto check = [&](bool held, const char* what) {
    if (!held) faults.push_back(what);
  };
  ComPtr<IHalvexBuilderPlugin> builder;
  plugin->QueryInterface(IID_IHalvexBuilderPlugin, builder.PutVoid());
  check(builder && builder->BuilderInstallPlugin(HandedReference(host.Unknown()), nullptr) == S_OK,
        "the builder's installation succeeds");
  check(host.Called("PlaceInMenu 41 8 0 0"), "the command is placed in the plug-ins menu");
  check(!host.Called("PlaceOnToolbar 41 0 0"), "no toolbar button");
  check(builder && builder->BuilderUninstallPlugin() == S_OK && host.callbacks.empty(),
        "the builder's removal takes the callback out");
  host.calls.clear();
  check(plugin->InstallPlugin(HandedReference(host.Unknown()), nullptr) == S_OK, "a later installation succeeds");
  check(!host.Called("PlaceOnToolbar 41 0 0"), "the flag stays: a later installation adds no toolbar button");
  plugin->UninstallPlugin();
  check(builder && builder->BuilderControledDestruction() == S_FALSE, "the object is still alive");
  for (const std::string& fault : faults) std::fprintf(stderr, "not so: %s\n", fault.c_str());
  std::fprintf(stderr, "%s\n", faults.empty() ? "builder edition as expected" : "builder edition differs");
  std::fflush(stderr);
  std::_Exit(faults.empty() ? EXIT_SUCCESS : EXIT_FAILURE);
}

TEST_F(Installation, BuilderEditionAddsNoToolbarButton) {
  EXPECT_EXIT(InstallAsTheBuilderEdition(plugin.Get(), host), ::testing::ExitedWithCode(EXIT_SUCCESS),
              "builder edition as expected");
}

}  // namespace
