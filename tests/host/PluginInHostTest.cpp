// The built plug-in library installed into the simulated host in this
// process: its bitmap lands in the host's image list, its command gets the
// host's own menu item and tool button (enabled by the CPU type the host
// reports), its help entry hangs in the host's help menu, and the removal
// takes all of it out again; a double click on a compiler message of the
// plug-in in the host's message window shows the page it is about.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "host/sim/HalvexHost.h"
#include "host/sim/HostGuiFrame.h"
#include "host/sim/PluginLibrary.h"
#include "hostapi/IQendPlugin.h"
#include "platform/com/ClassFactory.h"
#include "platform/com/ComPtr.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/ListBox.h"
#include "platform/win/Resources.h"
#include "platform/win/VirtualClock.h"
#include "tests/host/HostTestProject.h"

#if defined(TARNWELL_PLUGIN_PATH)

namespace {

class PluginInHost : public ::testing::Test {
 protected:
  void SetUp() override {
    project = WriteTestProject("project P\ncpm 5\nvar Speed UINT R 0\n");
    ASSERT_FALSE(project.empty());
    host.OpenProject(project);
    exe = project + "/halvex";
    Application->SetExeName(exe);
    Application->SetMainForm(window.get());
    host.SetMainWindow(window.get());

    resourcesBeforeLoading = HInstance->resources.size();
    ASSERT_TRUE(library.Load(TARNWELL_PLUGIN_PATH)) << library.Error();
    const char* argv[] = {exe.c_str(), "/USELOGFILE"};
    library.setHostCommandLine(2, argv);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(library.getClassObject(CLSID_TarnwellCoClass, IID_IClassFactory, factory.PutVoid()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IQendPlugin, plugin.PutVoid()), S_OK);
    ASSERT_EQ(Install(), S_OK);
  }

  void TearDown() override {
    if (plugin) {
      plugin->UninstallPlugin();
      plugin.Reset();
    }
    if (library.Loaded()) {
      EXPECT_EQ(library.controledDestruction(0), S_OK);
      library.Unload();
    }
    host.SetMainWindow(nullptr);
    Application->SetMainForm(nullptr);
    Application->SetExeName("");
    window.reset();
    host.CloseProject();
    std::filesystem::remove_all(project);
  }

  // Installs with a reference to the host object that the plug-in takes over.
  HRESULT Install() { return plugin->InstallPlugin(ComPtr<IUnknown>(host.Object()).Detach(), window.get()); }

  // The host's parts that have references handed out: "IQendMenu 1", ...
  std::vector<std::string> HeldReferences() const {
    std::vector<std::string> held;
    for (const HalvexHost::ReferenceCount& r : host.References())
      if (r.count != 0) held.push_back(r.name + " " + std::to_string(r.count));
    return held;
  }

  const HostMenuCommand& Command() {
    commands = host.Menu().Commands();
    EXPECT_EQ(commands.size(), 1u);
    return commands.at(0);
  }

  HalvexHost host;
  std::unique_ptr<HostMainWindow> window = std::make_unique<HostMainWindow>(nullptr);
  PluginLibrary library;
  ComPtr<IQendPlugin> plugin;
  std::string project;
  std::string exe;
  std::vector<HostMenuCommand> commands;
  std::size_t resourcesBeforeLoading = 0;
};

TEST_F(PluginInHost, BitmapCommandAndHelpEntryInTheHostsMenus) {
  // The menu bitmap: one 16 x 16 picture, the command's image.
  std::vector<HostMenuBitmap> bitmaps = host.Menu().Bitmaps();
  ASSERT_EQ(bitmaps.size(), 1u);
  EXPECT_EQ(bitmaps[0].width, 16);
  EXPECT_EQ(bitmaps[0].height, 16);
  EXPECT_EQ(bitmaps[0].imageIndex, 0);
  EXPECT_EQ(host.Menu().Images()->Count(), 1);
  TBitmap picture;
  ASSERT_TRUE(host.Menu().Images()->GetBitmap(0, &picture));
  TBitmap file;
  file.LoadFromFile(std::string(TARNWELL_SOURCE_DIR) + "/resources/bitmaps/tarnwell.bmp");
  // The colour of the bottom-left corner is transparent (black in the copy);
  // every other pixel is the file's.
  const TColor key = file.Canvas->Pixels[0][15];
  int same = 0, keyed = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      TColor expected = file.Canvas->Pixels[x][y];
      keyed += expected == key;
      same += static_cast<TColor>(picture.Canvas->Pixels[x][y]) == (expected == key ? clBlack : expected);
    }
  EXPECT_EQ(same, 256);
  EXPECT_GT(keyed, 16);

  const HostMenuCommand& command = Command();
  EXPECT_EQ(command.imageIndex, 0);
  ASSERT_NE(command.item, nullptr);
  ASSERT_NE(command.button, nullptr);
  EXPECT_EQ(command.button->ToolBar(), host.Menu().ToolBar(0));
  EXPECT_EQ(command.button->ImageIndex(), 0);
  EXPECT_EQ(host.Menu().ToolbarLines(), (std::vector<std::string>{"toolbar 0: Tarnwell (image 0, disabled)"}));
  EXPECT_EQ(host.Menu().MenuLines(),
            (std::vector<std::string>{"menu 8 Plug-ins: Tarnwell (disabled)",
                                      "menu 9 Help: Contents, About Halvex, Tools{Tarnwell}"}));
  EXPECT_EQ(host.Menu().HelpMenuLines(), (std::vector<std::string>{"Help|Tools|Tarnwell"}));

  ASSERT_EQ(plugin->UninstallPlugin(), S_OK);
  EXPECT_TRUE(host.Menu().Commands().empty());
  EXPECT_EQ(host.Menu().ToolbarLines(), (std::vector<std::string>{"toolbar 0:"}));
  EXPECT_EQ(host.Menu().MenuLines(),
            (std::vector<std::string>{"menu 8 Plug-ins:", "menu 9 Help: Contents, About Halvex, Tools"}));
  EXPECT_TRUE(host.Menu().HelpMenuLines().empty());
  EXPECT_EQ(host.Menu().RemoveForeignItems(), 0) << "the plug-in left an item in the host's menus";
  EXPECT_EQ(host.TotalReferences(), 0u);
}

TEST_F(PluginInHost, SecondInstallationHoldsOneReferenceOfEachInterface) {
  const std::vector<std::string> once = HeldReferences();
  const std::vector<std::string> expected = {"IQendProjectManager 1",
                                             "IQendMenu 1",
                                             "IQendVariables 1",
                                             "IHalvexWebTdiMap 1",
                                             "IQendMessages 1",
                                             "IQendProject 1",
                                             "IHalvexSyncedPlcRead 1",
                                             "IHalvexCommLoopEx 1",
                                             "IConnectionPointContainer 1",
                                             "IConnectionPoint 6",
                                             "IQendTextEditor 1",
                                             "IHalvexPlcControl 1",
                                             "IHalvexIDE 1"};
  ASSERT_EQ(once, expected);

  // Installed again without a removal in between: the earlier installation's
  // references, subscriptions, callback, command and help entry are given
  // back first, so that the host sees one installation.
  ASSERT_EQ(Install(), S_OK);
  EXPECT_EQ(HeldReferences(), once);
  EXPECT_EQ(host.Loop().Registrations().size(), 1u);
  EXPECT_EQ(host.Events().SinkCount(IID_IQendProjectEvents), 1u);
  EXPECT_EQ(host.Events().SinkCount(IID_IHalvexOnlinePlcBackupEvent), 1u);
  EXPECT_EQ(host.Menu().Commands().size(), 1u);
  EXPECT_EQ(host.Menu().HelpMenuLines(), (std::vector<std::string>{"Help|Tools|Tarnwell"}));
  EXPECT_EQ(host.OverReleases(), 0);

  ASSERT_EQ(plugin->UninstallPlugin(), S_OK);
  EXPECT_EQ(HeldReferences(), std::vector<std::string>{});
  EXPECT_EQ(host.Menu().RemoveForeignItems(), 0) << "the plug-in left an item in the host's menus";
}

TEST_F(PluginInHost, UnloadingTheLibraryTakesItsResourcesAway) {
  // The library's resources are the host process's while it is loaded...
  EXPECT_NE(FindResource(HInstance, "BM_TARNWELL", RT_RCDATA), nullptr);
  EXPECT_GT(HInstance->resources.size(), resourcesBeforeLoading);
  ASSERT_EQ(plugin->UninstallPlugin(), S_OK);
  plugin.Reset();
  commands.clear();
  ASSERT_EQ(library.controledDestruction(0), S_OK);
  library.Unload();
  // ... and go with it: their names and data lay in the library, so no entry
  // may point there once it is unloaded (a library loaded again registers
  // them anew).
  EXPECT_EQ(HInstance->resources.size(), resourcesBeforeLoading);
  EXPECT_EQ(FindResource(HInstance, "BM_TARNWELL", RT_RCDATA), nullptr);
}

TEST_F(PluginInHost, CpuTypeEnablesTheHostsItemAndButton) {
  // The project's CPU type 5 comes with the events of opening.
  ASSERT_EQ(host.RaiseOpeningEvents(), S_OK);
  const HostMenuCommand& command = Command();
  TMenuItem* item = command.item;
  TToolButton* button = command.button;
  EXPECT_FALSE(item->Enabled());
  EXPECT_FALSE(button->Enabled());
  // A click of the disabled button does nothing.
  Driver::Click(button);
  EXPECT_TRUE(host.Ide().Forms().empty());

  ASSERT_EQ(host.Events().CpmChanged(6), S_OK);
  EXPECT_TRUE(item->Enabled());
  EXPECT_TRUE(button->Enabled());
  EXPECT_EQ(host.Menu().ToolbarLines(), (std::vector<std::string>{"toolbar 0: Tarnwell (image 0)"}));
  // The enabled button runs the plug-in's command: the designer opens docked.
  Driver::Click(button);
  ASSERT_EQ(host.Ide().Forms().size(), 1u);
  EXPECT_EQ(host.Ide().Forms().begin()->first->Name(), "FormDesign1");

  ASSERT_EQ(host.Events().CpmChanged(5), S_OK);
  EXPECT_FALSE(item->Enabled());
  EXPECT_FALSE(button->Enabled());
  ASSERT_EQ(host.Events().CpmChanged(12), S_OK);
  EXPECT_TRUE(item->Enabled());
  // Closing the project disables the command and takes the designer away.
  bool mayClose = false;
  ASSERT_EQ(host.RaiseClosingEvents(&mayClose), S_OK);
  EXPECT_FALSE(item->Enabled());
  EXPECT_FALSE(button->Enabled());
  EXPECT_TRUE(host.Ide().Forms().empty());
}

// The compile of the designer reports the unknown variable of page TWO.XML
// in the host's message window; the person double-clicks that line and the
// designer shows the page. The variables document it cannot write (a folder
// has its name) is named in the window with '/' only.
TEST_F(PluginInHost, ADoubleClickOnACompilerMessageShowsItsPage) {
  std::filesystem::create_directories(project + "/Tarnwell");
  std::ofstream(project + "/Tarnwell/P.xml", std::ios::binary)
      << "<web version=\"8.1\" MaxUid=\"10\">\r\n<group caption=\"G\" Uid=\"1\">\r\n"
         "<page caption=\"One\" name=\"ONE.XML\" default=\"true\" Uid=\"2\" />\r\n"
         "<page caption=\"Two\" name=\"TWO.XML\" Uid=\"3\">\r\n<object caption=\"\" X=\"2\" Y=\"2\" Uid=\"4\">"
         "<edit variable=\"Nothing\" type=\"UINT\" global=\"true\" size=\"5\" /></object>\r\n</page>\r\n"
         "</group>\r\n<images />\r\n</web>\r\n";
  std::filesystem::create_directories(project + "/Tarnwell/P_var.xml");
  ASSERT_EQ(host.RaiseShowDesigner(true), S_OK);
  ASSERT_EQ(host.Ide().Forms().size(), 1u);
  TCustomForm* designer = host.Ide().Forms().begin()->first;
  auto* tree = dynamic_cast<TTreeView*>(designer->FindComponent("tvPageList"));
  ASSERT_NE(tree, nullptr);
  ASSERT_EQ(tree->Selected()->Text(), "One");
  Driver::Click(dynamic_cast<TControl*>(designer->FindComponent("btnSave1")));
  const std::vector<HostMessageLine> lines = host.Messages().All();
  int row = -1;
  int unwritten = -1;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].source.ends_with("(TWO.XML)")) row = static_cast<int>(i);
    if (lines[i].source.ends_with("P_var.xml")) unwritten = static_cast<int>(i);
  }
  ASSERT_GE(row, 0) << "no message about TWO.XML";
  ASSERT_GE(unwritten, 0) << "no message about the variables document";

  HostGuiFrame frame(*window, host.Menu(), host.Messages(),
                     [this](const HostMessageLine& line) { host.RaiseMessageChosen(line); });
  window->Show();
  TListBox* list = frame.MessageList();
  EXPECT_EQ(list->Items()->Strings(unwritten),
            "compiler: [" + project + "/Tarnwell/P_var.xml] " + lines[static_cast<std::size_t>(unwritten)].text);
  list->SetTopIndex(row);
  const TRect rect = list->ItemRect(row);
  Driver::DoubleClick(list, rect.Left + 4, (rect.Top + rect.Bottom) / 2);
  AdvanceVirtualClock(50);
  EXPECT_EQ(list->ItemIndex(), row);
  EXPECT_EQ(tree->Selected()->Text(), "Two");
  // The designer goes with the project.
  bool mayClose = false;
  EXPECT_EQ(host.RaiseClosingEvents(&mayClose), S_OK);
}

}  // namespace

#endif
