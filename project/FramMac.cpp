#include "project/FramMac.h"

#include <cstdio>

#include "core/SimpleLock.h"
#include "core/UiText.h"
#include "generator/PasswordFile.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Screen.h"
#include "project/DialogControls.h"
#include "project/FramUser.h"
#include "properties/DesignerContext.h"

namespace {

constexpr int kMaxMacLength = 19;
constexpr int kLevels = 10;
constexpr const char* kMacFont = "Courier New";
constexpr int kTextGenericMac = 7269;
constexpr int kTextAllPanels = 7270;
constexpr int kTextPanel = 7271;
// Control characters that pass the MAC edit: Ctrl+A, Ctrl+C, backspace,
// Ctrl+V, Ctrl+X.
constexpr char kPassingControls[] = {1, 3, 8, 22, 24};

// Shared by all MAC rows: the formatting does not run again while it sets the text.
bool gMacChanging = false;

}  // namespace

TFramMac::TFramMac(TComponent* owner, TDesignerContext* designer) : TFrame(owner), designer_(designer) {
  SetBounds(0, 0, kWidth, kHeight);
  CreateComponents();
  CreateMenu();
  SetCaptions();
}

void TFramMac::CreateComponents() {
  lblOrder = AddControl<TLabel>(this, this, "lblOrder", {16, 7, 28, 15});
  edtLevel = AddControl<TComboBox>(this, this, "edtLevel", {48, 3, 52, 23});
  edtLevel->SetStyle(csDropDownList);
  for (int level = 0; level < kLevels; ++level) edtLevel->Items()->Add(std::to_string(level));
  edtLevel->SetItemIndex(0);
  edtMac = AddControl<TEdit>(this, this, "edtMac", {108, 3, 150, 23});
  edtMac->Font()->Name = kMacFont;
  edtMac->SetMaxLength(kMaxMacLength);
  edtMac->SetText(kEmptyMac);
  edtMac->OnKeyPress = {this, &TFramMac::edtMacKeyPress};
  edtMac->OnChange = {this, &TFramMac::edtMacChange};
  Button1 = AddControl<TButton>(this, this, "Button1", {260, 3, 23, 23});
  Button1->SetCaption("...");
  Button1->OnClick = {this, &TFramMac::Button1Click};
  cbStartPage = AddControl<TEdit>(this, this, "cbStartPage", {290, 3, 250, 23});
  cbStartPage->SetReadOnly(true);
  cbStartPage->OnClick = {this, &TFramMac::cbStartPageClick};
  edtComment = AddControl<TEdit>(this, this, "edtComment", {546, 3, 150, 23});
  edtComment->SetAnchors(akLeft | akTop | akRight);
}

void TFramMac::CreateMenu() {
  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->SetName("PopupMenu1");
  header_ = new TMenuItem(PopupMenu1);
  PopupMenu1->Items()->Add(header_);
  auto* line = new TMenuItem(PopupMenu1);
  line->SetCaption("-");
  PopupMenu1->Items()->Add(line);
  allPanels_ = new TMenuItem(PopupMenu1);
  allPanels_->SetName("Alloperatorpanels1");
  allPanels_->Tag = 0;
  allPanels_->OnClick = {this, &TFramMac::Alloperatorpanels1Click};
  PopupMenu1->Items()->Add(allPanels_);
  for (std::size_t i = 0; i < std::size(kPanelModels); ++i) {
    models_[i] = new TMenuItem(PopupMenu1);
    models_[i]->Tag = kPanelModels[i].number;
    models_[i]->OnClick = {this, &TFramMac::Alloperatorpanels1Click};
    PopupMenu1->Items()->Add(models_[i]);
  }
}

void TFramMac::SetCaptions() {
  header_->SetCaption(GetUiText(kTextGenericMac));
  allPanels_->SetCaption(GetUiText(kTextAllPanels));
  for (TMenuItem* item : models_) item->SetCaption(GetUiText(kTextPanel) + std::to_string(item->Tag));
}

void TFramMac::SetStartPage(const std::string& name, const std::string& shown) {
  StartPageName = shown.empty() ? std::string() : name;
  cbStartPage->SetText(StartPageName.empty() ? std::string() : shown);
}

void TFramMac::edtMacKeyPress(TObject*, char& key) {
  for (char control : kPassingControls)
    if (key == control) return;
  if (key == ':' || (key >= '0' && key <= '9') || (key >= 'A' && key <= 'F')) return;
  if (key >= 'a' && key <= 'f') {
    key = static_cast<char>(key - 'a' + 'A');
    return;
  }
  key = key == '-' ? ':' : '\0';
}

void TFramMac::edtMacChange(TObject*) {
  if (gMacChanging) return;
  TSimpleLock lock(&gMacChanging);
  int caret = edtMac->SelStart();
  const int length = edtMac->SelLength();
  const std::string formatted = FormatMacText(edtMac->Text(), &caret);
  if (formatted == edtMac->Text()) return;
  edtMac->SetText(formatted);
  edtMac->SetSelStart(caret);
  edtMac->SetSelLength(length);
}

void TFramMac::Button1Click(TObject*) {
  const TPoint at = Mouse->CursorPos();
  PopupMenu1->Popup(at.x, at.y);
}

void TFramMac::Alloperatorpanels1Click(TObject* sender) {
  const auto* item = dynamic_cast<TMenuItem*>(sender);
  if (item == nullptr) return;
  char text[32];
  std::snprintf(text, sizeof text, "FF:FF:FF:FF:FF:%02i", item->Tag);
  edtMac->SetText(text);
}

void TFramMac::cbStartPageClick(TObject*) { PopupPageLinkMenu(designer_, {this, &TFramMac::PageMenuClick}); }

void TFramMac::PageMenuClick(TObject* sender) {
  const std::string shown = StartPageOfMenuEntry(sender);
  SetStartPage(PageNameOfRow(shown), shown);
}
