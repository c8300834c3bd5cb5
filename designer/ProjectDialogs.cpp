// TFormDesign1: the commands that open the project dialogs (access settings,
// global settings, about box, layers) and the dictionary-off flag they set.

#include <memory>

#include "core/ProjectPaths.h"
#include "core/UiText.h"
#include "core/WriteFailureNotice.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "designer/GlobalSettingsBridge.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/SysUtils.h"
#include "project/AboutBoxTarnwell.h"
#include "project/FormLayersSettings.h"
#include "project/FormPasswords.h"

void TFormDesign1::btnPassClick(TObject*) {
  TmyXmlNode* root = document_->Root();
  if (root == nullptr) return;
  auto dialog = std::make_unique<TFormPasswords>(this);
  dialog->LoadUsers(root->FindDeep("security"));
  dialog->LoadAutologin(root->FindDeep("autologin"));
  dialog->LoadApiUsers(root->FindDeep("vornapi"));
  dialog->UpdateRowStates();
  if (ShowModalWithNotice(*dialog) == mrOk) SetModified();
}

void TFormDesign1::btnGlobalClick(TObject*) { RunGlobalSettings(*this); }
void TFormDesign1::tbAboutClick(TObject*) {
  auto box = std::make_unique<TAboutBoxTarnwell>(
      this, [this](const std::string& file, const std::string& key) { return host_->ModuleFileVersion(file, key); });
  box->LoadVersionInfo(kProductWord, 1);
  ShowModalWithNotice(*box);
}
void TFormDesign1::tbLayersClick(TObject*) {
  auto dialog = std::make_unique<TFormLayersSettings>(this);
  dialog->Designer = this;
  dialog->LoadLayers();
  if (ShowModalWithNotice(*dialog) == mrOk) SetModified();
  // Objects on a layer that is hidden or frozen now cannot stay selected.
  for (TGridWebElement* element : PageObjects())
    if (!element->CanSelect()) element->DeselectInvalidate();
  sbDesign1->Repaint();
}

bool TFormDesign1::DictionaryOff() { return host_->CompileHost().TdiMapDisabled(); }

void TFormDesign1::SetDictionaryOff(bool off) { host_->CompileHost().SetTdiMapDisabled(off); }
