#include "properties/FormGroupProperties.h"

#include "core/ProjectLocation.h"
#include "core/UiText.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Menus.h"
#include "properties/DesignerContext.h"
#include "properties/FormPlaceholders.h"
#include "properties/MyEdit.h"

namespace {

using C = TControlClass;

constexpr int kBoxX = 200;
constexpr int kPlaceholdersTextId = 7259;
constexpr int kTemplateCount = 10;

constexpr TComponentRow kRows[] = {
    {C::Label, "Label1", "", 8, 11, 190, 16, 7094, ""},
    {C::Edit, "edtCaption1", "", kBoxX, 8, 220, 23, 0, ""},
    {C::Button, "btLangEdit1", "", 424, 8, 26, 23, 0, "..."},
    {C::Label, "Label2", "", 8, 39, 190, 16, 7032, ""},
    {C::MyEdit, "seSecLevel", "", kBoxX, 36, 50, 23, 0, "0"},
    {C::CheckBox, "cbLocked", "", 8, 64, 440, 19, 7253, ""},
    {C::CheckBox, "cbDontMakeForID", "", 8, 86, 440, 19, 7268, ""},
    {C::CheckBox, "cbDontMakeForWWW", "", 8, 108, 440, 19, 7311, ""},
    {C::CheckBox, "cbAlternativePageDim", "", 8, 132, 190, 19, 7041, ""},
    {C::Label, "Label3", "", kBoxX, 134, 60, 16, 7025, ""},
    {C::MyEdit, "ceSizeX", "", kBoxX + 64, 130, 60, 23, 0, ""},
    {C::Label, "Label4", "", kBoxX + 130, 134, 50, 16, 7024, ""},
    {C::MyEdit, "ceSizeY", "", kBoxX + 184, 130, 60, 23, 0, ""},
    {C::GroupBox, "gbMobile", "", 8, 160, 442, 130, 7221, ""},
    {C::CheckBox, "cbDeviceWidthMode", "gbMobile", 10, 20, 420, 19, 7222, ""},
    {C::CheckBox, "cbInitialScale", "gbMobile", 10, 46, 170, 19, 0, "Initial scale"},
    {C::MyEdit, "meInitialScale", "gbMobile", 184, 44, 50, 23, 0, "100"},
    {C::Label, "lblPrc1", "gbMobile", 238, 48, 14, 16, 0, "%"},
    {C::CheckBox, "cbMaxScale", "gbMobile", 10, 74, 170, 19, 0, "Maximum scale"},
    {C::MyEdit, "meMaxScale", "gbMobile", 184, 72, 50, 23, 0, "100"},
    {C::Label, "Label5", "gbMobile", 238, 76, 14, 16, 0, "%"},
    {C::CheckBox, "cbUserScale", "gbMobile", 10, 102, 300, 19, 0, "User scalable"},
    {C::Button, "btnPlaceHolders", "", 8, 302, 150, 25, kPlaceholdersTextId, ""},
    {C::Button, "Button1", "", 284, 302, 80, 25, 2005, ""},
    {C::Button, "Button2", "", 370, 302, 80, 25, 2006, ""},
};

// Enabled with an own page size.
constexpr const char* kSizeControls[] = {
    "Label3",         "Label4",         "ceSizeX",    "ceSizeY",    "gbMobile",    "cbDeviceWidthMode",
    "cbInitialScale", "meInitialScale", "cbMaxScale", "meMaxScale", "cbUserScale", "lblPrc1",
    "Label5"};

}  // namespace

TFormGroupProperties::TFormGroupProperties(TDesignerContext& designer) : TPropertyForm(designer, kRows, 7043) {
  SetName("FormGroupProperties");
  SetClientWidth(460);
  SetClientHeight(337);
  langTexts = {{.attr = "caption", .edit = "edtCaption1", .button = "btLangEdit1"}};
  WireCommonHandlers();
  Get<TCheckBox>("cbUserScale")->SetChecked(true);
  Get<TCheckBox>("cbDontMakeForWWW")->SetVisible(false);
  Get<TCheckBox>("cbAlternativePageDim")->OnClick = {this, &TFormGroupProperties::cbAlternativePageDimClick};
  placeholders_ = std::make_unique<TPlaceholdersOpener>(
      *this, [this] { return group; }, LoadFileNames(designer.ProjectLocation()).settingsFile, designer.IecVariables());
  Get<TButton>("btnPlaceHolders")->OnClick = {this, &TFormGroupProperties::btnPlaceHoldersClick};
  Get<TButton>("Button1")->OnClick = {this, &TFormGroupProperties::Button1Click};
  OnActivate = {this, &TFormGroupProperties::FormActivate};
  OnDblClick = {this, &TFormGroupProperties::FormDblClick};

  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->SetName("PopupMenu1");
  for (int i = 0; i < kTemplateCount; ++i) {
    auto* item = new TMenuItem(this);
    item->SetName(i == 0 ? std::string("notemplate1") : "template" + std::to_string(i));
    item->SetCaption(i == 0 ? std::string("no template") : "template " + std::to_string(i));
    item->SetRadioItem(true);
    item->Tag = i;
    item->OnClick = {this, &TFormGroupProperties::template1Click};
    PopupMenu1->Items()->Add(item);
    templateItems[i] = item;
  }
  SetPopupMenu(PopupMenu1);
  cbAlternativePageDimClick(nullptr);
  LoadCaptions();
}

TFormGroupProperties::~TFormGroupProperties() = default;

void TFormGroupProperties::btnPlaceHoldersClick(TObject*) { placeholders_->Click(); }

void TFormGroupProperties::Button1Click(TObject*) { placeholders_->Save(Designer().GlobalWebData().GroupPlaceHolders); }

void TFormGroupProperties::LoadCaptions() {
  TPropertyForm::FormActivate(this);
  Get<TButton>("btnPlaceHolders")->SetCaption(GetUiText(kPlaceholdersTextId) + " ...");
}

void TFormGroupProperties::FormActivate(TObject*) { LoadCaptions(); }

void TFormGroupProperties::cbAlternativePageDimClick(TObject*) {
  const bool on = Get<TCheckBox>("cbAlternativePageDim")->Checked();
  for (const char* name : kSizeControls) Get<TControl>(name)->SetEnabled(on);
}

void TFormGroupProperties::template1Click(TObject* sender) {
  for (TMenuItem* item : templateItems) item->SetChecked(item == sender);
}

int TFormGroupProperties::GetTemplate() const {
  for (int i = 0; i < kTemplateCount; ++i)
    if (templateItems[i]->Checked()) return i;
  return 0;
}

void TFormGroupProperties::SetTemplate(int index) {
  if (index < 0 || index >= kTemplateCount) index = 0;
  template1Click(templateItems[index]);
}

void TFormGroupProperties::FormDblClick(TObject*) { Get<TCheckBox>("cbDontMakeForWWW")->SetVisible(true); }
