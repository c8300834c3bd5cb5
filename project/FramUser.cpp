#include "project/FramUser.h"

#include "core/SimpleLock.h"
#include "generator/PasswordFile.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Screen.h"
#include "project/DialogControls.h"
#include "properties/DesignerContext.h"

namespace {

constexpr int kMaxText = 10;
constexpr char kMask = '*';
constexpr int kLevelItems = 11;

// Shared by all rows: a handler that sets its edit's text does not run again.
bool gNameChanging = false;
bool gPassChanging = false;
bool gLevelChanging = false;

}  // namespace

void ReplaceKeepingCaret(TEdit* edit, const std::string& text) {
  const int start = edit->SelStart();
  const int length = edit->SelLength();
  edit->SetText(text);
  edit->SetSelStart(start);
  edit->SetSelLength(length);
}

std::string StartPageOfMenuEntry(TObject* entry) {
  auto* item = dynamic_cast<TMenuItem*>(entry);
  if (item == nullptr || item->Caption().find('-') == std::string::npos) return {};
  const std::string parent = item->Parent() != nullptr ? item->Parent()->Caption() : std::string();
  return parent + " > " + item->Caption();
}

void PopupPageLinkMenu(TDesignerContext* designer, TNotifyEvent onClick) {
  if (designer == nullptr) return;
  TPopupMenu* menu = designer->FillPageLinkMenu(true, onClick);
  const TPoint at = Mouse->CursorPos();
  menu->Popup(at.x, at.y);
}

TFramUser::TFramUser(TComponent* owner, TDesignerContext* designer) : TFrame(owner), designer_(designer) {
  SetBounds(0, 0, kWidth, kHeight);
  CreateComponents();
}

void TFramUser::CreateComponents() {
  lblOrder = AddControl<TLabel>(this, this, "lblOrder", {16, 7, 28, 15});
  edtLevel = AddControl<TComboBox>(this, this, "edtLevel", {48, 3, 52, 23});
  edtLevel->SetStyle(csDropDownList);
  edtLevel->Items()->Add("-");
  for (int level = 0; level < kLevelItems - 1; ++level) edtLevel->Items()->Add(std::to_string(level));
  edtLevel->SetItemIndex(0);
  edtLevel->OnChange = {this, &TFramUser::cntLevelChange};
  cbLevel = AddControl<TCheckBox>(this, this, "cbLevel", {64, 6, 17, 17});
  cbLevel->SetVisible(false);
  cbLevel->OnClick = {this, &TFramUser::cntLevelChange};
  edtUser = AddControl<TEdit>(this, this, "edtUser", {108, 3, 150, 23});
  edtUser->SetMaxLength(kMaxText);
  edtUser->OnChange = {this, &TFramUser::edtChange};
  edtPass = AddControl<TEdit>(this, this, "edtPass", {266, 3, 150, 23});
  edtPass->SetMaxLength(kMaxText);
  edtPass->SetPasswordChar(kMask);
  edtPass->OnChange = {this, &TFramUser::edtPassChange};
  edtPass->OnEnter = {this, &TFramUser::edtPassEnter};
  cbStartPage = AddControl<TEdit>(this, this, "cbStartPage", {424, 3, 290, 23});
  cbStartPage->SetReadOnly(true);
  cbStartPage->SetAnchors(akLeft | akTop | akRight);
  cbStartPage->OnClick = {this, &TFramUser::cbStartPageClick};
}

int TFramUser::LevelIndex() const { return edtLevel->ItemIndex(); }

void TFramUser::SetLevelIndex(int index) { edtLevel->SetItemIndex(index); }

void TFramUser::SetPassword(const std::string& password) {
  edtPass->SetPasswordChar(kMask);
  edtPass->SetText(password);
  Password = edtPass->Text();
}

void TFramUser::SetStartPage(const std::string& name, const std::string& shown) {
  StartPageName = shown.empty() ? std::string() : name;
  cbStartPage->SetText(StartPageName.empty() ? std::string() : shown);
}

void TFramUser::SetShowPassword(bool show) { edtPass->SetPasswordChar(show ? '\0' : kMask); }

void TFramUser::SetApiMode(bool api) {
  apiMode_ = api;
  cbLevel->SetVisible(api);
  edtLevel->SetVisible(!api);
  cbStartPage->SetVisible(!api);
}

void TFramUser::cntLevelChange(TObject* sender) {
  if (gLevelChanging) return;
  TSimpleLock lock(&gLevelChanging);
  if (sender != cbLevel)
    cbLevel->SetChecked(LevelIndex() > 0);
  else
    SetLevelIndex(cbLevel->Checked() ? 1 : 0);
  const bool inUse = cbLevel->Checked();
  for (TEdit* edit : {edtUser, edtPass, cbStartPage}) {
    edit->SetEnabled(inUse);
    edit->SetColor(inUse ? clWindow : clBtnFace);
  }
}

void TFramUser::edtChange(TObject*) {
  if (gNameChanging) return;
  TSimpleLock lock(&gNameChanging);
  const std::string filtered = SanitizeUserName(edtUser->Text());
  if (filtered != edtUser->Text()) ReplaceKeepingCaret(edtUser, filtered);
}

void TFramUser::edtPassChange(TObject*) {
  if (gPassChanging) return;
  TSimpleLock lock(&gPassChanging);
  const std::string filtered = SanitizePassword(edtPass->Text());
  if (filtered != edtPass->Text()) ReplaceKeepingCaret(edtPass, filtered);
  Password = edtPass->Text();
}

void TFramUser::edtPassEnter(TObject*) { edtPass->SetPasswordChar('\0'); }

void TFramUser::cbStartPageClick(TObject*) { PopupPageLinkMenu(designer_, {this, &TFramUser::PageMenuClick}); }

void TFramUser::PageMenuClick(TObject* sender) {
  const std::string shown = StartPageOfMenuEntry(sender);
  SetStartPage(PageNameOfRow(shown), shown);
}
