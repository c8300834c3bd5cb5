#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "FakeHost.h"
#include "PluginTestSupport.h"
#include "hostapi/HostRecords.h"
#include "platform/com/ResultCodes.h"

namespace {

using plugintest::CreatePlugin;
using plugintest::FakeHost;
using plugintest::HandedReference;
using plugintest::HostFolder;
using plugintest::Plugin;

class HostEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    Plugin().controledDestruction(0);
    plugin = CreatePlugin();
    ASSERT_NE(plugin, nullptr);
    host.projectFolder = (folder.Path() / "Plant1").string() + "/";
    std::filesystem::create_directories(folder.Path() / "Plant1");
    ASSERT_EQ(plugin->InstallPlugin(HandedReference(host.Unknown()), nullptr), S_OK);
  }
  void TearDown() override {
    if (plugin) plugin->UninstallPlugin();
    plugin.Reset();
    Plugin().controledDestruction(0);
  }

  // Raises a project notification through the subscription; answers the
  // result the plug-in left (preset 77).
  HostLong Notify(std::uint32_t source, std::uint32_t code, void* data) {
    HostLong result = 77;
    host.projectPoint->Fire<IQendProjectEvents>(
        [&](IQendProjectEvents* sink) { EXPECT_EQ(sink->OnProjectNotification(source, code, data, &result), S_OK); });
    return result;
  }

  HostFolder folder;
  FakeHost host;
  ComPtr<IQendPlugin> plugin;
};

// A roll call of the host: a circular list with a head node.
struct RollCall {
  explicit RollCall(std::vector<HostPanelEntry> entries) : nodes(entries.size()) {
    record.head = &head;
    HostPanelNode* previous = &head;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      nodes[i].entry = entries[i];
      previous->next = &nodes[i];
      nodes[i].prev = previous;
      previous = &nodes[i];
    }
    previous->next = &head;
    head.prev = previous;
  }
  HostPanelRollCall record;
  HostPanelNode head;
  std::vector<HostPanelNode> nodes;
};

HostPanelEntry Entry(const char* type, const char* name, int rack, int position, const char* in = "In1") {
  HostPanelEntry entry;
  entry.type = type;
  entry.name = name;
  entry.rack = rack;
  entry.position = position;
  entry.in = in;
  entry.out = "Out1";
  return entry;
}

HostPanelRecord Record(std::uint8_t operation, const char* type, const char* name, int rack, int position) {
  HostPanelRecord record;
  record.operation = operation;
  record.type = type;
  record.name = name;
  record.rack = rack;
  record.position = position;
  record.in = "";
  record.out = "";
  return record;
}

TEST_F(HostEvents, PanelsFromRollCallsAndSingleRecordsWithMarkAndSweep) {
  RollCall first({Entry("HMI7", "", 2, 5), Entry("HMI10", "Line", 1, 1), Entry("HMI8", "Other model", 3, 3)});
  EXPECT_EQ(Notify(1, PROJECT_NOTIFY_PANEL_ROLLCALL, &first.record), 0);
  EXPECT_TRUE(folder.Traced("rollcall Added r2_p5_HMI7 - Panel 2/5"));
  EXPECT_TRUE(folder.Traced("rollcall Added r1_p1_HMI10 - Line"));
  EXPECT_FALSE(folder.Traced("Other model"));

  // A single record adds a panel; the same record again changes nothing and
  // leaves the result alone.
  HostPanelRecord added = Record(PANEL_ADD, "HMI12", "", 4, 2);
  EXPECT_EQ(Notify(1, PROJECT_NOTIFY_PANEL_RECORD, &added), 0);
  EXPECT_EQ(Notify(1, PROJECT_NOTIFY_PANEL_RECORD, &added), 77);

  // Another in text alone keeps the record; another name replaces it.
  folder.ClearTrace();
  RollCall second({Entry("HMI7", "", 2, 5, "Changed"), Entry("HMI10", "Renamed", 1, 1)});
  EXPECT_EQ(Notify(1, PROJECT_NOTIFY_PANEL_ROLLCALL, &second.record), 0);
  EXPECT_FALSE(folder.Traced("r2_p5_HMI7"));
  EXPECT_TRUE(folder.Traced("rollcall Renamed r1_p1_HMI10 - Renamed"));
  // The single record's panel was confirmed since the last roll call: it stays this time...
  EXPECT_FALSE(folder.Traced("rollcall Delete r4_p2"));
  // ...and goes with the next roll call that does not list it.
  RollCall third({Entry("HMI7", "", 2, 5), Entry("HMI10", "Renamed", 1, 1)});
  Notify(1, PROJECT_NOTIFY_PANEL_ROLLCALL, &third.record);
  EXPECT_TRUE(folder.Traced("rollcall Delete r4_p2_HMI12 - Panel4_2"));

  // An empty roll call sweeps whatever it does not confirm.
  folder.ClearTrace();
  RollCall empty({});
  Notify(1, PROJECT_NOTIFY_PANEL_ROLLCALL, &empty.record);
  EXPECT_TRUE(folder.Traced("rollcall Delete r2_p5_HMI7 - Panel 2/5"));
  EXPECT_TRUE(folder.Traced("rollcall Delete r1_p1_HMI10 - Renamed"));
}

TEST_F(HostEvents, RemoveRecordOfAnyModelAndUnknownOperations) {
  HostPanelRecord added = Record(PANEL_ADD, "HMI15", "Door", 1, 2);
  EXPECT_EQ(Notify(1, PROJECT_NOTIFY_PANEL_RECORD, &added), 0);
  // Removing an absent panel changes nothing.
  HostPanelRecord absent = Record(PANEL_REMOVE, "XYZ", "", 9, 9);
  EXPECT_EQ(Notify(1, PROJECT_NOTIFY_PANEL_RECORD, &absent), 77);
  // An unsupported model is ignored when added, but its removal removes.
  HostPanelRecord otherModel = Record(PANEL_ADD, "HMI99", "", 5, 5);
  EXPECT_EQ(Notify(1, PROJECT_NOTIFY_PANEL_RECORD, &otherModel), 0);
  HostPanelRecord remove = Record(PANEL_REMOVE, "HMI99", "", 1, 2);
  EXPECT_EQ(Notify(1, PROJECT_NOTIFY_PANEL_RECORD, &remove), 0);
  EXPECT_EQ(Notify(1, PROJECT_NOTIFY_PANEL_RECORD, &remove), 77);
  HostPanelRecord unknown = Record(7, "HMI15", "", 1, 2);
  EXPECT_EQ(Notify(1, PROJECT_NOTIFY_PANEL_RECORD, &unknown), 77);
  // Records without data are ignored.
  EXPECT_EQ(Notify(1, PROJECT_NOTIFY_PANEL_RECORD, nullptr), 0);
}

TEST_F(HostEvents, OtherNotifications) {
  HostDataReady ready;
  ready.kind = DATA_READY_SYNCED_READ;
  EXPECT_EQ(Notify(1, PROJECT_NOTIFY_DATA_READY, &ready), 77);
  ready.kind = 1;
  EXPECT_EQ(Notify(1, PROJECT_NOTIFY_DATA_READY, &ready), 77);

  // The file list of a project that the host's project list does not name
  // (the request names none, so the host's project name is taken): the file
  // is opened for appending, and nothing is written.
  std::string listPath = (folder.Path() / "list.txt").string();
  { std::ofstream(listPath) << "before\n"; }
  HostFileListRequest request;
  request.projectName = "";
  request.listFile = listPath.c_str();
  EXPECT_EQ(Notify(PROJECT_NOTIFY_SOURCE_PROJECT, PROJECT_NOTIFY_FILE_LIST, &request), 0);
  std::ifstream in(listPath);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(all, "before\n");

  // A request to show the designer opens it docked and shown; any other value
  // asks for nothing.
  HostShowRequest show;
  show.show = 2;
  EXPECT_EQ(Notify(PROJECT_NOTIFY_SOURCE_BUILD, PROJECT_NOTIFY_SHOW_DESIGNER, &show), 0);
  EXPECT_FALSE(host.Called("InsertDockableForm"));
  show.show = 1;
  EXPECT_EQ(Notify(PROJECT_NOTIFY_SOURCE_BUILD, PROJECT_NOTIFY_SHOW_DESIGNER, &show), 0);
  EXPECT_TRUE(host.Called("InsertDockableForm"));
  EXPECT_TRUE(host.Called("ShowDockableForm"));
  EXPECT_EQ(Notify(PROJECT_NOTIFY_SOURCE_BUILD, PROJECT_NOTIFY_FILES_CHANGED, nullptr), 0);
  // The project's close takes it out of the IDE again.
  host.projectPoint->Fire<IQendProjectEvents>(
      [](IQendProjectEvents* sink) { EXPECT_EQ(sink->OnCloseControler(), S_OK); });
  EXPECT_TRUE(host.Called("RemoveDockableForm"));
  EXPECT_TRUE(folder.Traced("delete FormDesign1"));
}

TEST_F(HostEvents, ProjectOpenMakesTheWebFolderAndCloseQueriesWithoutDesigner) {
  host.projectPoint->Fire<IQendProjectEvents>(
      [](IQendProjectEvents* sink) { EXPECT_EQ(sink->OnOpenControler(), S_OK); });
  EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "Plant1" / "Tarnwell"));
  EXPECT_TRUE(folder.Traced("OnOpenControler - end"));
  VARIANT_BOOL mayClose = 5;
  host.projectPoint->Fire<IQendProjectEvents>([&](IQendProjectEvents* sink) {
    EXPECT_EQ(sink->OnQueryCloseProject(0, &mayClose), S_OK);
    EXPECT_EQ(sink->OnQueryCloseControler(&mayClose), S_OK);
    EXPECT_EQ(sink->OnQueryCloseControler(nullptr), S_OK);
    EXPECT_EQ(sink->OnCloseControler(), S_OK);
  });
  EXPECT_EQ(mayClose, 5);  // no designer: the host's answer stays
  EXPECT_TRUE(folder.Traced("OnCloseControler - end"));
}

TEST_F(HostEvents, CpmCommunicationMenuAndCompilerEvents) {
  host.cpmPoint->Fire<IQendCpmEvents>([](IQendCpmEvents* sink) { EXPECT_EQ(sink->OnCpmChanged(0, 5, 0), S_OK); });
  EXPECT_TRUE(folder.Traced("OnCpmChanged - end"));
  host.commStatePoint->Fire<IHalvexCommStateEvent>([](IHalvexCommStateEvent* sink) {
    EXPECT_EQ(sink->OnCommunicationState(VARIANT_FALSE), S_OK);
    EXPECT_EQ(sink->OnCommunicationStateEx(VARIANT_TRUE), S_OK);
  });
  host.compilerPoint->Fire<IQendCompilerEvents>([](IQendCompilerEvents* sink) {
    EXPECT_EQ(sink->OnStartCompiling(0), S_OK);
    EXPECT_EQ(sink->OnEndCompiling(0), S_OK);
    // The extension is reached through the compiler sink.
    ComPtr<IQendCompilerEventsExt1> ext;
    ASSERT_EQ(sink->QueryInterface(IID_IQendCompilerEventsExt1, ext.PutVoid()), S_OK);
    EXPECT_EQ(ext->OnLinkingExtendedProgMap(0, 0, 0, 0, 0, 0), S_OK);
  });
  EXPECT_TRUE(folder.Traced("OnStartCompiling - end "));
  EXPECT_TRUE(folder.Traced("OnEndCompiling - end "));
  ComPtr<IQendMenuEvents> menu = plugin.Query<IQendMenuEvents>(IID_IQendMenuEvents);
  ASSERT_TRUE(menu);
  EXPECT_EQ(menu->OnMenuCommand(12345), S_OK);
  EXPECT_FALSE(host.Called("InsertDockableForm")) << "another command's id opens no designer";
}

TEST_F(HostEvents, DesktopSaveWithoutDesignerStoresItsStateThroughTheIde) {
  int storage = 0;
  host.desktopPoint->Fire<IQendDesktopEvents>([&](IQendDesktopEvents* sink) {
    EXPECT_EQ(sink->SaveDesktop(&storage), S_OK);
    EXPECT_EQ(sink->LoadDesktop(&storage), S_OK);
  });
  EXPECT_TRUE(host.Called("SaveDockingState FormDesign1"));
  EXPECT_TRUE(host.Called("FinishSave"));
  std::ifstream settings(folder.Path() / "Plant1" / "Tarnwell" / "Plant1.webx");
  std::string all((std::istreambuf_iterator<char>(settings)), std::istreambuf_iterator<char>());
  EXPECT_NE(all.find("Show=0"), std::string::npos) << all;
  EXPECT_TRUE(folder.Traced("SaveDesktop - End"));
  EXPECT_TRUE(folder.Traced("LoadDesktop - end"));

  // Without a project there is no settings file.
  host.projectFolder.clear();
  host.calls.clear();
  folder.ClearTrace();
  host.desktopPoint->Fire<IQendDesktopEvents>([&](IQendDesktopEvents* sink) {
    EXPECT_EQ(sink->SaveDesktop(&storage), S_OK);
    EXPECT_EQ(sink->LoadDesktop(&storage), S_OK);
  });
  EXPECT_TRUE(folder.Traced("SaveDesktop - failed to open inifile with settings! - End"));
  EXPECT_TRUE(folder.Traced("LoadDesktop - end (delete?)"));
  EXPECT_FALSE(host.Called("SaveDockingState FormDesign1"));
}

TEST(Switches, LogSwitchComparedWholeAfterUpperCaseAndTrim) {
  struct Case {
    std::vector<std::string> switches;
    bool logs;
  };
  const Case cases[] = {
      {{"/USELOGFILE"}, true},
      {{"  /uselogfile\t"}, true},
      {{"/UseLogFile"}, true},
      {{"/USELOGFILE=1"}, false},
      {{"/USELOGFILEX"}, false},
      {{}, false},
      {{"/WEBOLDCOMM", "/LINVAR"}, false},
      {{"/USELOGFILE", "/other"}, true},
  };
  for (const Case& c : cases) {
    HostFolder folder;
    folder.StartHost(c.switches);
    folder.ClearTrace();
    ComPtr<IQendPlugin> plugin = CreatePlugin();
    GUID guid;
    plugin->GetPluginGuid(&guid);
    FakeHost host;
    host.withheld.insert("IQendMenu");
    plugin->InstallPlugin(HandedReference(host.Unknown()), nullptr);  // fails early, after its first trace line
    plugin->UninstallPlugin();
    EXPECT_EQ(std::filesystem::exists(folder.Path() / "plugins.log"), c.logs)
        << (c.switches.empty() ? std::string("(none)") : c.switches[0]);
  }
}

TEST(Switches, ArgumentZeroCountsLikeAnyOther) {
  HostFolder folder;
  folder.ClearTrace();
  const char* argv[] = {"/USELOGFILE"};
  Plugin().setHostCommandLine(1, argv);
  ComPtr<IQendPlugin> plugin = CreatePlugin();
  FakeHost host;
  host.withheld.insert("IQendProjectManager");
  plugin->InstallPlugin(HandedReference(host.Unknown()), nullptr);
  plugin->UninstallPlugin();
  // The executable's folder comes from the application, so the log lands beside it.
  EXPECT_TRUE(folder.Traced("InstallPlugin ---"));
  Plugin().setHostCommandLine(0, nullptr);
}

}  // namespace
