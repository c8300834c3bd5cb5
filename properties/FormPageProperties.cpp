#include "properties/FormPageProperties.h"

#include <algorithm>

#include "core/FormPlacement.h"
#include "core/ProjectLocation.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/WriteFailureNotice.h"
#include "grid/PictureLoading.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/Shape.h"
#include "platform/vcl/StringList.h"
#include "platform/win/MessageBox.h"
#include "properties/DesignerContext.h"
#include "properties/FormPlaceholders.h"
#include "properties/MyEdit.h"

namespace {

using C = TControlClass;

constexpr int kBoxX = 200;
constexpr const char* kSection = "FormPageProperties";
constexpr int kNoImageTextId = 7027;
constexpr int kNameTakenTextId = 7020;
constexpr int kPlaceholdersTextId = 7259;
constexpr std::size_t kStemLength = 8;
constexpr const char* kBadNameChars = ";\\/:*<\">|[]";

constexpr TComponentRow kRows[] = {
    {C::Label, "Label1", "", 8, 11, 190, 16, 7094, ""},
    {C::Edit, "edtCaption1", "", kBoxX, 8, 220, 23, 0, "Index"},
    {C::Button, "btLangEdit1", "", 424, 8, 26, 23, 0, "..."},
    {C::Label, "Label2", "", 8, 39, 190, 16, 7030, ""},
    {C::Edit, "edtFileName1", "", kBoxX, 36, 120, 23, 0, "INDEX"},
    {C::Label, "Label3", "", kBoxX + 124, 39, 40, 16, 0, ".XML"},
    {C::CheckBox, "cbIndex", "", kBoxX, 64, 250, 19, 7034, ""},
    {C::Label, "Label5", "", 8, 91, 190, 16, 7032, ""},
    {C::MyEdit, "seSecLevel", "", kBoxX, 88, 50, 23, 0, "0"},
    {C::Label, "Label4", "", 8, 119, 190, 16, 7031, ""},
    {C::Panel, "Panel3", "", 8, 139, 412, 100, 0, ""},
    {C::Image, "Image1", "Panel3", 1, 1, 410, 98, 0, ""},
    {C::Button, "btnClearImage1", "", 424, 139, 26, 23, 0, "x"},
    {C::Label, "lblFntBck", "", 8, 251, 190, 16, 7053, ""},
    {C::Shape, "shBack", "", kBoxX, 248, 50, 23, 0, ""},
    {C::CheckBox, "cbRepeat", "", kBoxX + 60, 250, 190, 19, 7062, ""},
    {C::CheckBox, "cbHidden", "", 8, 278, 440, 19, 7114, ""},
    {C::CheckBox, "cbAjax", "", 8, 302, 440, 19, 7104, ""},
    {C::Label, "Label6", "", 8, 329, 190, 16, 7105, ""},
    {C::MyEdit, "csRefresh1", "", kBoxX, 326, 60, 23, 0, "1000"},
    {C::Label, "Label7", "", kBoxX + 64, 329, 30, 16, 0, "ms"},
    {C::CheckBox, "cbNotification1", "", 8, 360, 440, 19, 7309, ""},
    {C::CheckBox, "cbAlarm", "", 8, 378, 190, 19, 0, "Alarm"},
    {C::Label, "lblAlarm", "", 8, 402, 190, 16, 0, "Variable"},
    {C::Edit, "edtVariable", "", kBoxX, 399, 220, 23, 0, ""},
    {C::Button, "Button3", "", 424, 399, 26, 23, 0, "..."},
    {C::Button, "btnPlaceHolders", "", 8, 392, 150, 25, kPlaceholdersTextId, ""},
    {C::Button, "Button1", "", 284, 392, 80, 25, 2005, ""},
    {C::Button, "Button2", "", 370, 392, 80, 25, 2006, ""},
};

// Flagged by the common change handler when the user edits them.
constexpr const char* kEdits[] = {"edtFileName1", "seSecLevel", "csRefresh1", "edtVariable"};
constexpr const char* kChecks[] = {"cbIndex", "cbRepeat", "cbHidden", "cbAjax", "cbNotification1"};
constexpr const char* kAlarmControls[] = {"cbAlarm", "lblAlarm", "edtVariable", "Button3"};

// The file name rule runs once: its own rewrite of the box is no new input.
bool gFileNameChanging = false;

bool BadNameChar(unsigned char c) {
  return c <= 32 || c >= 126 || std::string_view(kBadNameChars).find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

std::string TFormPageProperties::FileNameStem(const std::string& text) {
  std::string stem = text.substr(std::min(text.size(), text.find_first_not_of(" \t\r\n")));
  for (char& c : stem)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  stem = stem.substr(0, kStemLength);
  stem = stem.substr(0, stem.find('.'));
  for (char& c : stem)
    if (BadNameChar(static_cast<unsigned char>(c))) c = '_';
  return stem;
}

TFormPageProperties::TFormPageProperties(TDesignerContext& designer)
    : TPropertyForm(designer, kRows, 7028), takenNames(std::make_unique<TStringList>()) {
  SetName("FormPageProperties");
  SetClientWidth(460);
  SetClientHeight(427);
  takenNames->SetSorted(true);
  takenNames->SetDuplicates(dupIgnore);
  takenNames->Add("INDEX");
  langTexts = {{.attr = "caption", .edit = "edtCaption1", .button = "btLangEdit1"}};
  WireCommonHandlers();
  for (const char* name : kEdits) Get<TEdit>(name)->OnChange = {this, &TPropertyForm::OnChange};
  for (const char* name : kChecks) Get<TCheckBox>(name)->OnClick = {this, &TPropertyForm::OnChange};
  for (const char* name : kAlarmControls) Get<TControl>(name)->SetVisible(false);
  Get<TEdit>("edtFileName1")->OnChange = {this, &TFormPageProperties::edtFileName1Change};
  Get<TCheckBox>("cbIndex")->OnClick = {this, &TFormPageProperties::cbIndexClick};
  Get<TCheckBox>("cbAjax")->OnClick = {this, &TFormPageProperties::cbAjaxClick};
  Get<TCheckBox>("cbAlarm")->OnClick = {this, &TFormPageProperties::cbAlarmClick};
  Get<TmyEdit>("csRefresh1")->OnExit = {this, &TFormPageProperties::csRefresh1Exit};
  Get<TmyEdit>("csRefresh1")->SetValue(1000);
  Get<TImage>("Image1")->OnClick = {this, &TFormPageProperties::Image1Click};
  Get<TPanel>("Panel3")->OnClick = {this, &TFormPageProperties::Image1Click};
  Get<TPanel>("Panel3")->OnResize = {this, &TFormPageProperties::Panel3Resize};
  Get<TPanel>("Panel3")->SetColor(clWhite);
  // The pause's caption is long in some languages: two lines.
  auto* pause = Get<TLabel>("Label6");
  pause->SetAutoSize(false);
  pause->SetWordWrap(true);
  pause->SetBounds(pause->Left(), pause->Top() - 6, kBoxX - 12, 32);
  Get<TButton>("btnClearImage1")->OnClick = {this, &TFormPageProperties::btnClearImage1Click};
  auto* back = Get<TShape>("shBack");
  back->SetBrushColor(clWhite);
  back->SetBrushStyle(bsSolid);
  Get<TButton>("Button1")->OnClick = {this, &TFormPageProperties::Button1Click};
  settingsFile_ = LoadFileNames(designer.ProjectLocation()).settingsFile;
  placeholders_ = std::make_unique<TPlaceholdersOpener>(
      *this, [this] { return page; }, settingsFile_, designer.IecVariables());
  OnShow = {this, &TFormPageProperties::FormShow};
  OnClose = {this, &TFormPageProperties::FormClose};
  Get<TButton>("btnPlaceHolders")->OnClick = {this, &TFormPageProperties::btnPlaceHoldersClick};
  OnActivate = {this, &TFormPageProperties::FormActivate};

  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->SetName("PopupMenu1");
  GenerateJsonMap1 = new TMenuItem(this);
  GenerateJsonMap1->SetName("GenerateJsonMap1");
  GenerateJsonMap1->OnClick = {this, &TFormPageProperties::GenerateJsonMap1Click};
  PopupMenu1->Items()->Add(GenerateJsonMap1);
  SetPopupMenu(PopupMenu1);
  cbAjaxClick(nullptr);
  FormActivate(this);
}

TFormPageProperties::~TFormPageProperties() {
  OnShow = {};
  OnClose = {};
}

void TFormPageProperties::FormActivate(TObject*) {
  TPropertyForm::FormActivate(this);
  Get<TButton>("btnPlaceHolders")->SetCaption(GetUiText(kPlaceholdersTextId) + " ...");
  GenerateJsonMap1->SetCaption(GetUiText(7312));
  ShowPanelText();
}

void TFormPageProperties::FormShow(TObject*) {
  if (settingsFile_.empty()) return;
  TIniFile ini(settingsFile_);
  SetHeight(ini.ReadInteger(kSection, "Height", Height()));
  SetWidth(ini.ReadInteger(kSection, "Width", Width()));
  SetTop(ini.ReadInteger(kSection, "Top", Top()));
  SetLeft(ini.ReadInteger(kSection, "Left", Left()));
}

void TFormPageProperties::FormClose(TObject*, TCloseAction&) {
  if (settingsFile_.empty()) return;
  WriteSettings([this] {
    TIniFile ini(settingsFile_);
    SaveFormPlacement(kSection, this, &ini);
  });
}

void TFormPageProperties::ShowPanelText() {
  const bool empty = Get<TImage>("Image1")->Picture()->Graphic() == nullptr;
  Get<TPanel>("Panel3")->SetCaption(empty ? GetUiText(kNoImageTextId) : std::string());
}

void TFormPageProperties::edtFileName1Change(TObject* sender) {
  if (gFileNameChanging) return;
  gFileNameChanging = true;
  auto* edit = Get<TEdit>("edtFileName1");
  const std::string stem = FileNameStem(edit->Text());
  if (stem != edit->Text()) {
    const int start = edit->SelStart(), length = edit->SelLength();
    edit->SetText(stem);
    edit->SetSelStart(std::min<int>(start, static_cast<int>(stem.size())));
    edit->SetSelLength(length);
  }
  gFileNameChanging = false;
  OnChange(sender);
}

void TFormPageProperties::cbIndexClick(TObject* sender) {
  auto* box = Get<TCheckBox>("cbIndex");
  if (box->Checked()) box->SetEnabled(false);
  OnChange(sender);
}

void TFormPageProperties::cbAjaxClick(TObject* sender) {
  const bool on = Get<TCheckBox>("cbAjax")->Checked();
  for (const char* name : {"Label7", "Label6", "csRefresh1"}) Get<TControl>(name)->SetEnabled(on);
  if (sender != nullptr) OnChange(sender);
}

void TFormPageProperties::csRefresh1Exit(TObject* sender) {
  auto* box = dynamic_cast<TmyEdit*>(sender);
  if (box != nullptr) box->SetValue(std::max(1, box->GetValue()));
}

void TFormPageProperties::cbAlarmClick(TObject* sender) {
  const bool on = Get<TCheckBox>("cbAlarm")->Checked();
  for (const char* name : {"lblAlarm", "edtVariable", "Button3"}) Get<TControl>(name)->SetEnabled(on);
  OnChange(sender);
}

void TFormPageProperties::Image1Click(TObject*) {
  std::string chosen;
  if (!pickImage || !pickImage(backgroundImage, chosen)) return;
  SetBackgroundImage(Get<TImage>("Image1"), chosen);
  Flag("Image1");
}

void TFormPageProperties::btnClearImage1Click(TObject*) {
  Get<TImage>("Image1")->Picture()->SetGraphic(nullptr);
  backgroundImage.clear();
  ShowPanelText();
  Flag("Image1");
}

void TFormPageProperties::SetBackgroundImage(TImage* image, const std::string& name) {
  backgroundImage = name;
  const char* path = Designer().GetImagePath(name);
  if (name.empty() || path == nullptr || !GridFileExists(path)) {
    image->Picture()->SetGraphic(nullptr);
    ShowPanelText();
    return;
  }
  LoadGridPicture(*image->Picture(), path);
  ShowPanelText();
  Panel3Resize(nullptr);
}

void TFormPageProperties::Panel3Resize(TObject*) {
  auto* panel = Get<TPanel>("Panel3");
  auto* image = Get<TImage>("Image1");
  const int pw = image->Picture()->Width(), ph = image->Picture()->Height();
  const int cw = panel->ClientWidth(), ch = panel->ClientHeight();
  const bool stretch = pw > cw || ph > ch;
  image->SetStretch(stretch);
  image->SetCenter(!stretch);
  if (!stretch || pw <= 0 || ph <= 0) {
    image->SetAlign(alClient);
    return;
  }
  image->SetAlign(alNone);
  int left = 0, top = 0, w = cw + 2, h = ch + 2;
  const int fitH = ph * w / pw, fitW = pw * h / ph;
  if (fitH <= h) {
    top = (h - fitH) / 2;
    left = 1;
    h = fitH;
  } else if (fitW <= w) {
    left = (w - fitW) / 2;
    top = 1;
    w = fitW;
  }
  image->SetBounds(left, top, w, h);
}

void TFormPageProperties::GenerateJsonMap1Click(TObject*) {
  GenerateJsonMap1->SetChecked(!GenerateJsonMap1->Checked());
  Flag("GenerateJsonMap1");
}

void TFormPageProperties::Button1Click(TObject*) {
  WriteTraceLog("FormPageProperties::Button1Click");
  auto* caption = Get<TEdit>("edtCaption1");
  // The dialog's own rewrite is no input of the user's: with the settings
  // common to several pages an untouched mixed caption stays each page's own.
  if (caption->Text().empty()) {
    const bool flagged = Flagged("edtCaption1");
    caption->SetText("-");
    if (!flagged) caption->Tag = 0;
  }
  WriteTraceLog("FormPageProperties::Button1Click - 1");
  auto* name = Get<TEdit>("edtFileName1");
  int index = 0;
  if (name->Enabled() && takenNames->Find(name->Text(), index)) {
    if (MessageBox(Handle(), GetUiText(kNameTakenTextId).c_str(), Caption().c_str(), MB_YESNO) != IDYES) {
      ModalResult = mrNone;
      return;
    }
    name->SetText("");
  }
  WriteTraceLog("FormPageProperties::Button1Click - 2");
  if (name->Text().empty()) name->SetText("PAGE" + std::to_string(highestPageNumber + 1));
  placeholders_->Save(Designer().GlobalWebData().PagePlaceHolders);
  WriteTraceLog("FormPageProperties::Button1Click - End");
}

void TFormPageProperties::btnPlaceHoldersClick(TObject*) { placeholders_->Click(); }
