#pragma once
// The plug-in's hidden main form: it lives from the first installation until
// ControledDestruction, is never shown, and keeps the list of operator
// panels, the shared-folder settings and the plug-in's menu items in the
// host.

#include <memory>
#include <string>

#include "platform/vcl/Form.h"
#include "plugin/PanelList.h"

class TMenuItem;

class TWebMainForm1 : public TForm {
 public:
  explicit TWebMainForm1(TComponent* AOwner);
  ~TWebMainForm1() override;

  TGPanelList& PanelList() { return panelList_; }

  // The web project is shared through the host's global folder.
  bool Global = false;
  std::string GlobalDir = "Tarnwell";
  // The UI language index the form was made with (1 English).
  int LanguageIndex = 1;
  // The index of the plug-in's bitmap in the host's menus.
  int MenuImageIndex = -1;
  // The help entry in the host's help menu (the form's, until the host frees
  // the menu it hangs in) and the submenu holding it (the host's). The form
  // is told when the host frees either, and forgets it.
  TMenuItem* HelpItem() const { return helpItem_.get(); }
  void SetHelpItem(std::unique_ptr<TMenuItem> item);
  // Frees the help entry, which takes it out of the host's menu.
  void FreeHelpItem();
  TMenuItem* HelpSubmenu() const { return helpSubmenu_; }
  void SetHelpSubmenu(TMenuItem* item);
  // Asks to be told when a host object the plug-in keeps (the command's menu
  // item or tool button) is freed, so that the pointer is forgotten.
  void WatchHostObject(TComponent* object);

  // The click handler of the help entry: the help file "Tarnwell" of the
  // current UI language at its default topic.
  void ShowPluginHelp(TObject* Sender);

  void Notification(TComponent* component, TOperation operation) override;

 private:
  TGPanelList panelList_;
  std::unique_ptr<TMenuItem> helpItem_;
  TMenuItem* helpSubmenu_ = nullptr;
};

// Selects `languageIndex` as the UI language when it differs from the one the
// form was made with (the form's own index stays).
void SetLanguageIfChanged(TWebMainForm1* form, int languageIndex);
