#include "plugin/HelpEntry.h"

#include <algorithm>
#include <memory>
#include <string>

#include "core/TraceLog.h"
#include "core/UiText.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/SysUtils.h"
#include "plugin/WebMainForm.h"

namespace {

// The component name of the help menu's submenu shared by the plug-ins.
constexpr const char* kHelpSubmenuName = "miPluginsHelpIn_miHelp";
// Its caption: "Tools".
constexpr int kToolsText = 2063;

TMenuItem* FindHelpSubmenu(TMenuItem* helpMenu) {
  for (int i = 0; i < helpMenu->Count(); ++i)
    if (SameText(helpMenu->Items(i)->Name(), kHelpSubmenuName)) return helpMenu->Items(i);
  return nullptr;
}

// Asks the host for a new item in its help menu and makes it the submenu,
// third in the help menu. Null when the host hands out none.
TMenuItem* MakeHelpSubmenu(IQendMenu* menu, TMenuItem* helpMenu) {
  TMenuItem* submenu = nullptr;
  menu->AddHelpItem(HOST_MENU_HELP, "HELP", &submenu);
  if (submenu == nullptr) return nullptr;
  submenu->SetName(kHelpSubmenuName);
  submenu->SetCaption(GetUiText(kToolsText));
  if (submenu->Parent() != nullptr) submenu->Parent()->Remove(submenu);
  // A short help menu gets the submenu at its end.
  helpMenu->Insert(std::min(2, helpMenu->Count()), submenu);
  return submenu;
}

}  // namespace

void AddHelpEntry(IQendMenu* menu, TWebMainForm1* form) {
  form->SetHelpItem(std::make_unique<TMenuItem>(nullptr));
  TMenuItem* item = form->HelpItem();
  TMenuItem* handed = item;
  menu->AddHelpItem(HOST_MENU_HELP, "TarnwellHELP", &handed);
  // The menu the host put the item into is the help menu.
  TMenuItem* helpMenu = item->Parent();
  if (helpMenu == nullptr) {
    WriteTraceLog("Help entry - no help menu");
    RemoveHelpEntry(form);
    return;
  }
  TMenuItem* submenu = FindHelpSubmenu(helpMenu);
  if (submenu == nullptr) submenu = MakeHelpSubmenu(menu, helpMenu);
  form->SetHelpSubmenu(submenu);
  if (submenu == nullptr) return;
  helpMenu->Remove(item);
  submenu->Add(item);
  item->SetCaption("Tarnwell");
  item->OnClick = {form, &TWebMainForm1::ShowPluginHelp};
  item->SetEnabled(true);
}

void RemoveHelpEntry(TWebMainForm1* form) {
  if (form == nullptr) return;
  form->SetHelpSubmenu(nullptr);
  // Freeing the item takes it out of its menu.
  form->FreeHelpItem();
}
