// The plug-in's command and help entry in the host's menus, with the host's
// own class-library objects: the menu bitmap handed over, the help entry
// placed into the help menu's "Tools" submenu and taken out again, and the
// command's menu item and tool button enabled by the CPU type the host
// reports.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "FakeHost.h"
#include "PluginTestSupport.h"
#include "platform/help/HtmlHelp.h"

namespace {

using plugintest::CreatePlugin;
using plugintest::FakeHost;
using plugintest::HandedReference;
using plugintest::HostFolder;
using plugintest::Plugin;

constexpr HostLcid kEnglishLcid = 1033;

class CommandAndHelp : public ::testing::Test {
 protected:
  void SetUp() override {
    Plugin().controledDestruction(0);
    plugin = CreatePlugin();
    ASSERT_TRUE(plugin);
  }
  void TearDown() override {
    // The UI language goes back to English for the tests that follow in this
    // process, whatever the test chose.
    host.desktopPoint->Fire<IQendDesktopEvents>(
        [](IQendDesktopEvents* sink) { EXPECT_EQ(sink->OnLanguageChanged(kEnglishLcid, 0), S_OK); });
    if (plugin) plugin->UninstallPlugin();
    plugin.Reset();
    Plugin().controledDestruction(0);
  }
  HRESULT Install() { return plugin->InstallPlugin(HandedReference(host.Unknown()), nullptr); }
  int CallCount(const std::string& call) const {
    return static_cast<int>(std::count(host.calls.begin(), host.calls.end(), call));
  }
  void RaiseCpm(HostLong cpm) {
    host.cpmPoint->Fire<IQendCpmEvents>([&](IQendCpmEvents* sink) { EXPECT_EQ(sink->OnCpmChanged(7, cpm, 9), S_OK); });
  }
  TMenuItem* HelpSubmenu() const {
    for (int i = 0; i < host.helpMenu->Count(); ++i)
      if (host.helpMenu->Items(i)->Name() == "miPluginsHelpIn_miHelp") return host.helpMenu->Items(i);
    return nullptr;
  }

  HostFolder folder;
  FakeHost host;
  ComPtr<IQendPlugin> plugin;
};

TEST_F(CommandAndHelp, MenuBitmapIsHandedOverAsTheSixteenBySixteenPicture) {
  ASSERT_EQ(Install(), S_OK);
  ASSERT_NE(host.bitmapCopy, nullptr);
  EXPECT_EQ(host.bitmapCopy->Width(), 16);
  EXPECT_EQ(host.bitmapCopy->Height(), 16);
  // The same pixels as the file the library embeds.
  TBitmap file;
  file.LoadFromFile(std::string(TARNWELL_SOURCE_DIR) + "/resources/bitmaps/tarnwell.bmp");
  ASSERT_EQ(file.Width(), 16);
  ASSERT_EQ(file.Height(), 16);
  for (int y = 0; y < 16; ++y)
    EXPECT_EQ(std::memcmp(file.ScanLine(y), host.bitmapCopy->ScanLine(y), 16 * 4), 0) << "row " << y;
  // The image index the host answered goes with the command.
  EXPECT_TRUE(host.Called("RegisterCommand Tarnwell Tarnwell 0 17 0"));
}

TEST_F(CommandAndHelp, HelpEntryGoesIntoANewToolsSubmenuAndLeavesWithTheRemoval) {
  ASSERT_EQ(Install(), S_OK);
  auto first = std::find(host.calls.begin(), host.calls.end(), "AddHelpItem 9 TarnwellHELP");
  auto second = std::find(host.calls.begin(), host.calls.end(), "AddHelpItem 9 HELP");
  ASSERT_NE(first, host.calls.end());
  ASSERT_NE(second, host.calls.end());
  EXPECT_LT(first, second);
  // Contents, About, then the submenu at index 2.
  ASSERT_EQ(host.helpMenu->Count(), 3);
  TMenuItem* tools = host.helpMenu->Items(2);
  EXPECT_EQ(tools->Name(), "miPluginsHelpIn_miHelp");
  EXPECT_EQ(tools->Caption(), "Tools");
  ASSERT_EQ(tools->Count(), 1);
  TMenuItem* entry = tools->Items(0);
  EXPECT_EQ(entry->Caption(), "Tarnwell");
  EXPECT_TRUE(entry->Enabled());
  EXPECT_TRUE(static_cast<bool>(entry->OnClick));

  ASSERT_EQ(plugin->UninstallPlugin(), S_OK);
  // The entry is gone; the shared submenu is the host's and stays.
  ASSERT_EQ(host.helpMenu->Count(), 3);
  EXPECT_EQ(host.helpMenu->Items(2), tools);
  EXPECT_EQ(tools->Count(), 0);

  // Installed again: the submenu is found, and one entry comes back.
  ASSERT_EQ(Install(), S_OK);
  EXPECT_EQ(CallCount("AddHelpItem 9 HELP"), 1);
  EXPECT_EQ(CallCount("AddHelpItem 9 TarnwellHELP"), 2);
  EXPECT_EQ(host.helpMenu->Count(), 3);
  ASSERT_EQ(tools->Count(), 1);
  EXPECT_EQ(tools->Items(0)->Caption(), "Tarnwell");
}

TEST_F(CommandAndHelp, ExistingSubmenuGetsTheEntryAtItsEnd) {
  auto* tools = new TMenuItem(nullptr);
  tools->SetName("MIPLUGINSHELPIN_MIHELP");
  tools->SetCaption("Extras");
  host.helpMenu->Insert(1, tools);
  auto* other = new TMenuItem(nullptr);
  other->SetCaption("Other plug-in");
  tools->Add(other);

  ASSERT_EQ(Install(), S_OK);
  EXPECT_EQ(CallCount("AddHelpItem 9 HELP"), 0);
  ASSERT_EQ(host.helpMenu->Count(), 3);
  EXPECT_EQ(host.helpMenu->Items(1), tools);
  EXPECT_EQ(tools->Caption(), "Extras");
  ASSERT_EQ(tools->Count(), 2);
  EXPECT_EQ(tools->Items(0), other);
  EXPECT_EQ(tools->Items(1)->Caption(), "Tarnwell");

  ASSERT_EQ(plugin->UninstallPlugin(), S_OK);
  ASSERT_EQ(tools->Count(), 1);
  EXPECT_EQ(tools->Items(0), other);
}

TEST_F(CommandAndHelp, SubmenuIsCaptionedInTheHostsLanguage) {
  host.languageIndex = 4;  // German
  ASSERT_EQ(Install(), S_OK);
  TMenuItem* tools = HelpSubmenu();
  ASSERT_NE(tools, nullptr);
  EXPECT_EQ(tools->Caption(), "Extras");
  ASSERT_EQ(tools->Count(), 1);
  EXPECT_EQ(tools->Items(0)->Caption(), "Tarnwell");
}

TEST_F(CommandAndHelp, HostsThatPlaceNoHelpEntryOrNoSubmenu) {
  // The item lands in no menu: there is no help menu to put it into.
  host.helpWithoutMenu = true;
  ASSERT_EQ(Install(), S_OK);
  EXPECT_TRUE(folder.Traced("Help entry - no help menu"));
  EXPECT_EQ(CallCount("AddHelpItem 9 HELP"), 0);
  EXPECT_EQ(host.helpMenu->Count(), 2);
  ASSERT_EQ(plugin->UninstallPlugin(), S_OK);

  // No submenu is handed out: the entry stays where the host put it, until
  // the removal takes it out.
  host.helpWithoutMenu = false;
  host.helpSubmenuRefused = true;
  ASSERT_EQ(Install(), S_OK);
  EXPECT_EQ(CallCount("AddHelpItem 9 HELP"), 1);
  ASSERT_EQ(host.helpMenu->Count(), 3);
  EXPECT_EQ(host.helpMenu->Items(2)->Count(), 0);
  ASSERT_EQ(plugin->UninstallPlugin(), S_OK);
  EXPECT_EQ(host.helpMenu->Count(), 2);
}

TEST_F(CommandAndHelp, HelpMenuFreedByTheHostIsForgotten) {
  ASSERT_EQ(Install(), S_OK);
  host.helpMenu.reset();  // frees the submenu and the entry with it
  host.commandItem.reset();
  RaiseCpm(8);  // only the tool button is left to enable
  ASSERT_NE(host.commandButton, nullptr);
  EXPECT_TRUE(host.commandButton->Enabled());
  EXPECT_EQ(plugin->UninstallPlugin(), S_OK);
  plugin.Reset();
  EXPECT_EQ(Plugin().controledDestruction(0), S_OK);
}

TEST_F(CommandAndHelp, ClickingTheHelpEntryOpensThePluginsHelpFile) {
  // Help files lie in "HELP" beside the base folder.
  std::filesystem::create_directories(folder.Path() / "oem" / "bin");
  std::filesystem::create_directories(folder.Path() / "oem" / "HELP");
  std::ofstream(folder.Path() / "oem" / "HELP" / "ENU_Tarnwell.chm") << "chm";
  folder.StartHost({"/USELOGFILE", "/OEMDIR=" + (folder.Path() / "oem" / "bin").string()});
  ASSERT_EQ(Install(), S_OK);
  TMenuItem* tools = HelpSubmenu();
  ASSERT_NE(tools, nullptr);
  ASSERT_EQ(tools->Count(), 1);
  ClearHtmlHelpRequests();
  tools->Items(0)->Click();
  std::vector<HtmlHelpRequest> requests = HtmlHelpRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].command, HH_DISPLAY_TOPIC);
  EXPECT_NE(requests[0].file.find("ENU_Tarnwell.chm"), std::string::npos) << requests[0].file;
}

TEST_F(CommandAndHelp, CommandIsEnabledFromCpuTypeSixOn) {
  ASSERT_EQ(Install(), S_OK);
  ASSERT_NE(host.commandItem, nullptr);
  ASSERT_NE(host.commandButton, nullptr);
  // Disabled until the host reports a CPU type.
  EXPECT_FALSE(host.commandItem->Enabled());
  EXPECT_FALSE(host.commandButton->Enabled());

  struct Step {
    HostLong cpm;
    bool enabled;
  };
  for (Step step : {Step{6, true}, Step{5, false}, Step{11, true}, Step{-1, false}, Step{0x7FFFFFFF, true},
                    Step{static_cast<HostLong>(0x80000000u), false}, Step{6, true}}) {
    RaiseCpm(step.cpm);
    EXPECT_EQ(host.commandItem->Enabled(), step.enabled) << step.cpm;
    EXPECT_EQ(host.commandButton->Enabled(), step.enabled) << step.cpm;
  }
  // Closing the project disables the command again.
  host.projectPoint->Fire<IQendProjectEvents>(
      [](IQendProjectEvents* sink) { EXPECT_EQ(sink->OnCloseControler(), S_OK); });
  EXPECT_FALSE(host.commandItem->Enabled());
  EXPECT_FALSE(host.commandButton->Enabled());

  ASSERT_EQ(plugin->UninstallPlugin(), S_OK);
  EXPECT_EQ(host.commandItem, nullptr) << "the host freed the command's item with the command";
  EXPECT_EQ(host.commandButton, nullptr);
  EXPECT_EQ(host.toolBar->ButtonCount(), 0);
  EXPECT_EQ(host.pluginsMenu->Count(), 0);
}

}  // namespace
