// The designer's life in the host, through the built library installed into
// the simulated host: the host's menu command opens it docked and shown on
// the project, choosing it again shows the same window, closing the project
// closes, undocks and deletes it (its placement and the desktop saved), the
// end of the closing deletes it without closing it, and the next desktop
// restore makes it again as it was saved. Every host reference comes back.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "PluginTestSupport.h"
#include "host/sim/HalvexHost.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/IniFiles.h"

namespace {

using plugintest::CreatePlugin;
using plugintest::HostFolder;
using plugintest::Plugin;
using Calls = std::vector<std::string>;

const std::string kConvertorTrace = "delete WebNameConvertor 0x";

class DesignerLife : public ::testing::Test {
 protected:
  void SetUp() override {
    Plugin().controledDestruction(0);
    project = folder.Path() / "demo";
    std::filesystem::copy(std::string(TARNWELL_SOURCE_DIR) + "/examples/demo", project,
                          std::filesystem::copy_options::recursive);
    host.OpenProject(project.string());
    Application->SetMainForm(window.get());
    host.SetMainWindow(window.get());
    plugin = CreatePlugin();
    ASSERT_NE(plugin, nullptr);
    ASSERT_EQ(plugin->InstallPlugin(ComPtr<IUnknown>(host.Object()).Detach(), window.get()), S_OK);
    // The project opens; its CPU type enables the command.
    ASSERT_EQ(host.RaiseOpeningEvents(), S_OK);
  }

  void TearDown() override {
    // The host closes the project (as at the end of a run) and removes the
    // plug-in; every reference it handed out has come back then.
    bool mayClose = true;
    host.RaiseClosingEvents(&mayClose);
    EXPECT_TRUE(host.Ide().Forms().empty());
    if (plugin) plugin->UninstallPlugin();
    plugin.Reset();
    for (const HalvexHost::ReferenceCount& r : host.References()) EXPECT_EQ(r.count, 0u) << r.name;
    EXPECT_EQ(host.OverReleases(), 0);
    host.Menu().ReleaseAll();
    host.Menu().RemoveForeignItems();
    host.Events().EndAllSubscriptions();
    Plugin().controledDestruction(0);
    host.SetMainWindow(nullptr);
    Application->SetMainForm(nullptr);
    window.reset();
    host.CloseProject();
    host.SetLanguage(1033);  // and the machine's code page back to 1252
  }

  // The user chooses the plug-in's command in the host's menu.
  void ChooseCommand() {
    const std::vector<HostMenuCommand> commands = host.Menu().Commands();
    ASSERT_EQ(commands.size(), 1u);
    ASSERT_NE(commands[0].item, nullptr);
    ASSERT_TRUE(commands[0].item->Enabled());
    commands[0].item->Click();
    Application->ProcessMessages();
  }

  // The one form docked into the IDE; null (with a failure) when there is
  // not exactly one.
  TCustomForm* DockedForm() {
    const auto forms = host.Ide().Forms();
    EXPECT_EQ(forms.size(), 1u);
    return forms.size() == 1 ? forms.begin()->first : nullptr;
  }

  // The page tree's nodes, as "text" with "  " per level, and the selected one.
  static std::vector<std::string> TreeTexts(TCustomForm* form) {
    std::vector<std::string> texts;
    auto* tree = dynamic_cast<TTreeView*>(form->FindComponent("tvPageList"));
    if (tree == nullptr) return texts;
    for (TTreeNode* n = tree->Items()->GetFirstNode(); n != nullptr; n = n->GetNext())
      texts.push_back(std::string(n->Parent() != nullptr ? "  " : "") + n->Text() + (n->Selected() ? " *" : ""));
    return texts;
  }

  // The trace lines from the first one reading `first` to the first one
  // reading `last`, both included.
  std::vector<std::string> TraceBetween(const std::string& first, const std::string& last) const {
    std::vector<std::string> texts;
    for (const std::string& line : folder.TraceLines()) {
      const std::size_t tab = line.rfind('\t');
      const std::size_t ms = line.rfind(" (");
      std::string text = line.substr(tab + 1, ms - tab - 1);
      // Addresses differ from run to run.
      if (text.rfind(kConvertorTrace, 0) == 0 && text.size() == kConvertorTrace.size() + 8)
        text = kConvertorTrace + "########";
      texts.push_back(text);
    }
    const auto from = std::find(texts.begin(), texts.end(), first);
    const auto to = std::find(from, texts.end(), last);
    return to == texts.end() ? std::vector<std::string>() : std::vector<std::string>(from, to + 1);
  }

  std::string Settings(const std::string& section, const std::string& key) const {
    return TIniFile((project / "Tarnwell" / "Demo.webx").string()).ReadString(section, key, "(none)");
  }

  HostFolder folder;
  std::filesystem::path project;
  HalvexHost host;
  std::unique_ptr<HostMainWindow> window = std::make_unique<HostMainWindow>(nullptr);
  ComPtr<IQendPlugin> plugin;
};

const std::vector<std::string> kDemoTree = {"Station", "  Overview *",  "  Settings",
                                            "Service", "  Diagnostics", "  Schematic"};

TEST_F(DesignerLife, TheMenuCommandOpensTheDesignerDockedAndShownOnTheProject) {
  EXPECT_TRUE(host.Ide().Forms().empty()) << "no designer before the command";
  ChooseCommand();
  TCustomForm* form = DockedForm();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Name(), "FormDesign1");
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(form->Owner(), window.get());
  const HostDockedForm state = host.Ide().Forms().at(form);
  EXPECT_TRUE(state.shown);
  EXPECT_EQ(state.tabImage, host.Menu().Commands().at(0).imageIndex);
  EXPECT_EQ(state.dockPosition, 1);
  EXPECT_EQ(host.Ide().Calls(), (Calls{"InsertDockableForm(FormDesign1)", "SetTabImage(FormDesign1, 0)",
                                       "ShowDockableForm(FormDesign1)", "SetDockPosition(FormDesign1, 1)",
                                       "SetStayOnTop(FormDesign1, false)", "SetCanDock(FormDesign1, false)"}));
  EXPECT_EQ(TreeTexts(form), kDemoTree);
}

// The project's placeholders, opened from the global settings: the type box
// lists the host's structure types after the fixed ones, and a row of a
// type browses with the host's typed browser.
TEST_F(DesignerLife, ThePlaceholdersOfferTheHostsStructureTypesAndItsTypedBrowser) {
  ChooseCommand();
  TCustomForm* designer = DockedForm();
  ASSERT_NE(designer, nullptr);
  host.IecVariables().ScriptBrowser("Recipes[1]");
  std::vector<std::string> types;
  std::string chosen;
  Driver::OnModal("TFormPlaceHolders", [&](TCustomForm& form) {
    Driver::Click(dynamic_cast<TCheckBox*>(form.FindComponent("cbEditable")));
    dynamic_cast<TButton*>(form.FindComponent("AddAlias"))->Click();
    TComponent* row = form.FindComponent("ScrollBox")->FindComponent("FrameAlias2");
    auto* type = dynamic_cast<TComboBox*>(row->FindComponent("ComboBoxVarType"));
    for (int i = 19; i < type->Items()->Count(); ++i) types.push_back(type->Items()->Strings(i));
    type->SetText("TRecipe");
    dynamic_cast<TButton*>(row->FindComponent("Button3"))->Click();
    chosen = dynamic_cast<TEdit*>(row->FindComponent("edtVariable"))->Text();
    return static_cast<int>(mrCancel);
  });
  Driver::OnModal("TFormGlobalSettings", [](TCustomForm& form) {
    dynamic_cast<TButton*>(form.FindComponent("btnPlaceHolders"))->Click();
    return static_cast<int>(mrCancel);
  });
  dynamic_cast<TToolButton*>(designer->FindComponent("btnGlobal"))->Click();
  Driver::Reset();
  EXPECT_EQ(types, (std::vector<std::string>{"TCanvasInfo", "TCanvasTouch", "TCanvasBufHead", "TCanvas", "TPanelIn",
                                             "TPanelOut", "TRecipe"}));
  ASSERT_EQ(host.IecVariables().BrowserCalls().size(), 1u);
  EXPECT_EQ(host.IecVariables().BrowserCalls()[0].typeName, "TRecipe");
  EXPECT_EQ(chosen, "Recipes[1]");
}

TEST_F(DesignerLife, ChoosingTheCommandAgainShowsTheSameDesigner) {
  ChooseCommand();
  TCustomForm* first = DockedForm();
  host.Ide().SetPageVisible(first, false);
  ChooseCommand();
  EXPECT_EQ(DockedForm(), first);
  EXPECT_TRUE(host.Ide().Forms().at(first).shown);
  const Calls calls = host.Ide().Calls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "InsertDockableForm(FormDesign1)"), 1);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "ShowDockableForm(FormDesign1)"), 2);
  EXPECT_EQ(calls.back(), "SetCanDock(FormDesign1, false)") << "the placement is applied again";
}

TEST_F(DesignerLife, ACommandOfAnotherIdOpensNothing) {
  ComPtr<IQendMenuEvents> events = plugin.Query<IQendMenuEvents>(IID_IQendMenuEvents);
  ASSERT_TRUE(events);
  const HostLong own = host.Menu().Commands().at(0).id;
  EXPECT_EQ(events->OnMenuCommand(own + 1), S_OK);
  EXPECT_EQ(events->OnMenuCommand(0), S_OK);
  EXPECT_TRUE(host.Ide().Forms().empty());
  EXPECT_EQ(window->FindComponent("FormDesign1"), nullptr);
}

TEST_F(DesignerLife, ClosingTheProjectClosesUndocksAndDeletesTheDesigner) {
  ChooseCommand();
  ASSERT_NE(DockedForm(), nullptr);
  bool mayClose = false;
  EXPECT_EQ(host.RaiseClosingEvents(&mayClose), S_OK);
  EXPECT_TRUE(mayClose);
  EXPECT_TRUE(host.Ide().Forms().empty());
  EXPECT_EQ(window->FindComponent("FormDesign1"), nullptr);
  // The desktop keeps that the designer was shown, docked where it was.
  EXPECT_EQ(Settings("Settings", "Show"), "-1");
  EXPECT_NE(host.Desktop().values.count("FormDesign1"), 0u);
  // Closing stored the placement.
  EXPECT_EQ(Settings("FormDesign1", "DockPos"), "1");
  EXPECT_EQ(Settings("FormDesign1", "LeftPanel"), "145");
  // The project was saved with the desktop just before: the close does not
  // save it again.
  EXPECT_EQ(
      TraceBetween("OnCloseControler", "OnCloseControler - end"),
      (Calls{"OnCloseControler", "check FormDesign1", "close FormDesign1", "FormCloseQuery", "Delete CommItems",
             "FormCloseQuery - end", "FormClose", (project.string() + "\\Tarnwell\\Demo.webx"), "Delete directory",
             "Delete directory - left alone: \"" + project.string() + "\\Tarnwell\\temp\\\"",
             kConvertorTrace + "########", "FormClose - end", "RemoveDockableForm - FormDesign1", "delete FormDesign1",
             "FormDestroy", "FormDesign1 = NULL", "FormDestroy - end", "OnCloseControler - end"}));
}

TEST_F(DesignerLife, TheEndOfTheClosingDeletesTheDesignerWithoutClosingIt) {
  ChooseCommand();
  ASSERT_NE(DockedForm(), nullptr);
  EXPECT_EQ(host.Events().EndOfClosingProject(), S_OK);
  EXPECT_TRUE(host.Ide().Forms().empty());
  EXPECT_EQ(window->FindComponent("FormDesign1"), nullptr);
  EXPECT_EQ(Settings("FormDesign1", "DockPos"), "(none)") << "not closed: no placement stored";
  EXPECT_EQ(TraceBetween("EndOfClosingProject", "EndOfClosingProject - end"),
            (Calls{"EndOfClosingProject", "RemoveDockableForm - FormDesign1", "FormDestroy", "FormDesign1 = NULL",
                   "FormDestroy - end", "EndOfClosingProject - end"}));
}

TEST_F(DesignerLife, TheNextDesktopRestoreMakesTheDesignerAsItWasSaved) {
  ChooseCommand();
  bool mayClose = true;
  host.RaiseClosingEvents(&mayClose);
  ASSERT_TRUE(host.Ide().Forms().empty());
  folder.ClearTrace();
  const std::size_t callsBefore = host.Ide().Calls().size();
  ASSERT_EQ(host.RaiseOpeningEvents(), S_OK);
  TCustomForm* form = DockedForm();
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(host.Ide().Forms().at(form).shown);
  const Calls all = host.Ide().Calls();
  // The host restored the docking: the settings file's docking keys stay out.
  EXPECT_EQ(Calls(all.begin() + static_cast<long>(callsBefore), all.end()),
            (Calls{"InsertDockableForm(FormDesign1)", "SetTabImage(FormDesign1, 0)",
                   "RestoreDockingState(FormDesign1, FormDesign1)", "RestoreFurtherState(FormDesign1)"}));
  EXPECT_EQ(TreeTexts(form), kDemoTree);
}

TEST_F(DesignerLife, ADesktopSavedWithoutTheDesignerRestoresNone) {
  ChooseCommand();
  bool mayClose = true;
  host.RaiseClosingEvents(&mayClose);
  // The user closes the project with the designer closed this time.
  ASSERT_EQ(host.Events().SaveDesktop(&host.Desktop()), S_OK);
  EXPECT_EQ(Settings("Settings", "Show"), "0");
  ASSERT_EQ(host.RaiseOpeningEvents(), S_OK);
  EXPECT_TRUE(host.Ide().Forms().empty());
}

TEST_F(DesignerLife, TheHostsLanguageChangeReachesTheOpenDesigner) {
  ChooseCommand();
  TCustomForm* form = DockedForm();
  ASSERT_NE(form, nullptr);
  auto* undo = dynamic_cast<TToolButton*>(form->FindComponent("tbUndo"));
  ASSERT_NE(undo, nullptr);
  EXPECT_EQ(undo->Hint, "Undo");
  EXPECT_EQ(host.Events().LanguageChanged(1031), S_OK);  // German
  EXPECT_EQ(undo->Hint,
            "R\xFC"
            "ckg\xE4ngig");
  EXPECT_EQ(host.Events().LanguageChanged(1033), S_OK);
  EXPECT_EQ(undo->Hint, "Undo");
}

// A host in Czech or Polish runs on a Windows of code page 1250: the letters
// outside code page 1252 arrive whole, and the designer draws them with it.
TEST_F(DesignerLife, CzechAndPolishTextsKeepTheirLettersInCodePage1250) {
  ChooseCommand();
  TCustomForm* form = DockedForm();
  ASSERT_NE(form, nullptr);
  auto* undo = dynamic_cast<TToolButton*>(form->FindComponent("tbUndo"));
  auto* preview = dynamic_cast<TToolButton*>(form->FindComponent("tbPreview1"));
  ASSERT_NE(undo, nullptr);
  ASSERT_NE(preview, nullptr);
  host.SetLanguage(1029);
  EXPECT_EQ(host.Events().LanguageChanged(1029), S_OK);
  EXPECT_EQ(undo->Hint, "Zp\xECt");  // "Zpět"
  host.SetLanguage(1045);
  EXPECT_EQ(host.Events().LanguageChanged(1045), S_OK);
  EXPECT_EQ(preview->Hint,
            "Podgl\xB9"
            "d");  // "Podgląd"
  // Back to English: the plug-in's language outlives the test.
  host.SetLanguage(1033);
  EXPECT_EQ(host.Events().LanguageChanged(1033), S_OK);
}

}  // namespace
