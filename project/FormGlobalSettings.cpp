// TFormGlobalSettings: components, texts and the rules that keep the
// controls consistent (presets, preview, size label, icon, colour swatch,
// enabling).

#include "project/FormGlobalSettings.h"

#include <filesystem>

#include "core/FileHelpers.h"
#include "core/ProjectLocation.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "platform/vcl/Bevel.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ColorDialog.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/GroupBox.h"
#include "platform/vcl/Icon.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/OpenDialog.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/Shape.h"
#include "platform/vcl/Streams.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Paths.h"
#include "platform/win/Resources.h"
#include "platform/win/WindowMessages.h"
#include "project/DialogControls.h"
#include "project/DialogFilters.h"
#include "properties/DesignerContext.h"

namespace {

constexpr int kClientWidth = 446;
constexpr int kClientHeight = 621;
// The free edge right of the rows of labels and boxes.
constexpr int kRowMargin = 8;
// Beside its text a drop-down list keeps its edges and its button, a button
// its edges and a little air.
constexpr int kListTextRoom = 29;
constexpr int kButtonTextRoom = 16;
constexpr int kButtonGap = 8;
constexpr int kPlaceHoldersWidth = 130;
constexpr int kPageMargin = 20;
constexpr int kMinPageSide = 200;
constexpr int kMenuWidth = 160;
constexpr int kTitleHeight = 40;
constexpr int kMaxIconSide = 32;
constexpr int kFirstPanel = 1;
constexpr int kLastPanel = 4;
constexpr int kFirstScreen = 5;
constexpr const char* kIconName = "FAVICON.ICO";
constexpr const char* kPendingSuffix = ".new";
constexpr const char* kDefaultFootnote = "Created with Tarnwell";
constexpr const char* kDefaultAuthor = "Tarnwell";
constexpr const char* kEncodings[] = {"windows-1250", "windows-1251", "windows-1252", "windows-1253",
                                      "windows-1254", "windows-1255", "UTF-8"};
constexpr int kTextCopyFailed = 7070;
constexpr int kTextUserResolution = 7040;

using F = TFormGlobalSettings;
struct TText {
  TControl* (*control)(const F&);
  int textId;
  const char* suffix;
};
#define TEXT(Name, Id, Suffix)                                 \
  {                                                            \
    [](const F& f) -> TControl* { return f.Name; }, Id, Suffix \
  }
const TText kTexts[] = {
    TEXT(Label1, 7041, ""),
    TEXT(Label3, 7025, ""),
    TEXT(Label2, 7024, ""),
    TEXT(Label4, 7042, ""),
    TEXT(cbMenu, 7073, ""),
    TEXT(cbTitle, 7092, ""),
    TEXT(cbBorder, 7135, ""),
    TEXT(lblBorder, 7215, ""),
    TEXT(lblLeft, 7216, ""),
    TEXT(lblTop, 7217, ""),
    TEXT(lblBackground, 7218, ""),
    TEXT(cbSameAsPage, 7219, ""),
    TEXT(cbVarFont, 7220, ""),
    TEXT(gbMobile, 7221, ""),
    TEXT(cbDeviceWidthMode, 7222, ""),
    TEXT(cbInitialScale, 7223, ""),
    TEXT(cbMaxScale, 7224, ""),
    TEXT(cbUserScale, 7225, ""),
    TEXT(cbWebApp, 7226, ""),
    TEXT(lblIcon, 7136, ""),
    TEXT(cbGrid, 7098, ""),
    TEXT(lblGridX, 7098, " X"),
    TEXT(lblGridY, 7098, " Y"),
    TEXT(lblFoot, 7113, ""),
    TEXT(lblAuthor, 7242, ""),
    TEXT(cbGenarateEveryTime, 7129, ""),
    TEXT(lblEncoding, 7131, ""),
    TEXT(cbGeneratePavoA, 7168, ""),
    TEXT(cbOldDim1, 7289, ""),
    TEXT(btnPlaceHolders, 7259, " ..."),
    TEXT(Button1, 2005, ""),
    TEXT(Button2, 2006, ""),
};
#undef TEXT

// The entries of the form's context menu and their texts (0: fixed text).
struct TMenuEntry {
  TMenuItem* F::*item;
  const char* name;
  int textId;
  const char* fixedText;
};
const TMenuEntry kMenuEntries[] = {
    {&F::GenerateVarNames1, "GenerateVarNames1", 7202, ""},
    {&F::GenerateXmlOnly1, "GenerateXmlOnly1", 7203, ""},
    {&F::DontDeleteXml1, "DontDeleteXml1", 0, "Debug XMZ"},
    {&F::UseWebpages1, "UseWebpages1", 7282, ""},
    {&F::DisableTdi1, "DisableTdi1", 7318, ""},
};

// The preview resources by menu and title.
const char* PreviewName(bool menu, bool title) {
  if (menu && title) return "REALPREV1";
  if (title) return "REALPREV2";
  if (menu) return "REALPREV3";
  return "REALPREV4";
}

TCheckBox* AddCheck(TComponent* owner, TWinControl* parent, const char* name, const TBox& box) {
  return AddControl<TCheckBox>(owner, parent, name, box);
}

}  // namespace

TFormGlobalSettings::TFormGlobalSettings(TComponent* owner) : TForm(owner) {
  SetName("FormGlobalSettings");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  SetDialogFont(this);
  CreateComponents();
  OnActivate = {this, &TFormGlobalSettings::FormActivate};
  SetUiTexts();
  AfterConstruction();
}

TFormGlobalSettings::~TFormGlobalSettings() { DiscardPendingIcon(); }

int TFormGlobalSettings::BoxValue(const TEdit* box) { return StrToIntDef(Trim(box->Text()), 0); }

void TFormGlobalSettings::SetBoxValue(TEdit* box, int value) { box->SetText(std::to_string(value)); }

void TFormGlobalSettings::CreateComponents() {
  Label1 = AddControl<TLabel>(this, this, "Label1", {8, 8, 120, 15});
  Label3 = AddControl<TLabel>(this, this, "Label3", {16, 30, 50, 15});
  scWidth = AddControl<TEdit>(this, this, "scWidth", {70, 26, 56, 23});
  Label2 = AddControl<TLabel>(this, this, "Label2", {136, 30, 50, 15});
  scHeight = AddControl<TEdit>(this, this, "scHeight", {190, 26, 56, 23});
  Label4 = AddControl<TLabel>(this, this, "Label4", {16, 58, 130, 15});
  cbTarget = AddControl<TComboBox>(this, this, "cbTarget", {150, 54, 122, 23});
  cbTarget->SetStyle(csDropDownList);
  for (const TTargetPreset& preset : kTargetPresets) cbTarget->Items()->Add(preset.text);
  cbTarget->SetItemIndex(0);
  cbMenu = AddCheck(this, this, "cbMenu", {16, 82, 220, 17});
  cbTitle = AddCheck(this, this, "cbTitle", {16, 100, 220, 17});
  cbBorder = AddCheck(this, this, "cbBorder", {16, 118, 220, 17});
  lblBorder = AddControl<TLabel>(this, this, "lblBorder", {16, 140, 120, 15});
  lblLeft = AddControl<TLabel>(this, this, "lblLeft", {24, 162, 44, 15});
  scLeft = AddControl<TEdit>(this, this, "scLeft", {70, 158, 50, 23});
  lblTop = AddControl<TLabel>(this, this, "lblTop", {130, 162, 44, 15});
  scTop = AddControl<TEdit>(this, this, "scTop", {176, 158, 50, 23});
  for (TEdit* box : {scWidth, scHeight, scLeft, scTop}) box->OnChange = {this, &TFormGlobalSettings::scChange};
  scHeight->OnExit = {this, &TFormGlobalSettings::scHeightExit};
  scWidth->OnExit = {this, &TFormGlobalSettings::scWidthExit};
  cbTarget->OnChange = {this, &TFormGlobalSettings::cbTargetChange};
  for (TCheckBox* box : {cbMenu, cbTitle, cbBorder}) box->OnClick = {this, &TFormGlobalSettings::cbClick};
  CreatePreview();
  lblBackground = AddControl<TLabel>(this, this, "lblBackground", {16, 218, 192, 15});
  shFront = AddControl<TShape>(this, this, "shFront", {212, 214, 40, 22});
  shFront->SetShape(stRoundRect);
  shFront->SetCursor(crHandPoint);
  shFront->OnMouseDown = {this, &TFormGlobalSettings::shFrontMouseDown};
  shFront->OnMouseUp = {this, &TFormGlobalSettings::shFrontMouseUp};
  cbSameAsPage = AddCheck(this, this, "cbSameAsPage", {262, 216, 176, 17});
  cbSameAsPage->OnClick = {this, &TFormGlobalSettings::cbSameAsPageClick};
  cbVarFont = AddCheck(this, this, "cbVarFont", {16, 240, 420, 17});
  CreateMobileGroup();
  CreateBottomPart();
  CreateMenu();
  rows_.AddRow({Label3, scWidth, Label2, scHeight});
  rows_.AddRow({Label4, cbTarget});
  rows_.AddRow({lblLeft, scLeft, lblTop, scTop});
  rows_.AddRow({lblBackground, shFront, cbSameAsPage});
  rows_.AddRow({lblGridX, seGridX, lblGridY, seGridY});
  rows_.AddRow({lblFoot, edtFoot});
  rows_.AddRow({lblAuthor, edtAuthor});
  rows_.AddRow({lblEncoding, cbEncoding});
}

void TFormGlobalSettings::CreatePreview() {
  Shape1 = AddControl<TShape>(this, this, "Shape1", {278, 80, 164, 114});
  Shape1->Brush->Style = bsClear;
  Image1 = AddControl<TImage>(this, this, "Image1", {280, 82, 160, 110});
  Image1->SetStretch(true);
  Shape2 = AddControl<TShape>(this, this, "Shape2", {280, 82, 160, 110});
  Shape2->Brush->Style = bsClear;
  Shape2->SetVisible(false);
  lbSize = AddControl<TLabel>(this, this, "lbSize", {300, 160, 120, 15});
  lbSize->SetAlignment(taCenter);
  lbSize->SetTransparent(true);
  lbWidth = AddControl<TLabel>(this, this, "lbWidth", {330, 194, 60, 15});
  lbWidth->SetAlignment(taCenter);
  lbHeight = AddControl<TLabel>(this, this, "lbHeight", {240, 128, 36, 15});
  lbHeight->SetAlignment(taRightJustify);
}

void TFormGlobalSettings::CreateMobileGroup() {
  gbMobile = AddControl<TGroupBox>(this, this, "gbMobile", {8, 262, 430, 132});
  cbDeviceWidthMode = AddCheck(this, gbMobile, "cbDeviceWidthMode", {10, 18, 410, 17});
  cbInitialScale = AddCheck(this, gbMobile, "cbInitialScale", {10, 40, 160, 17});
  meInitialScale = AddControl<TEdit>(this, gbMobile, "meInitialScale", {176, 36, 50, 23});
  cbMaxScale = AddCheck(this, gbMobile, "cbMaxScale", {10, 64, 160, 17});
  meMaxScale = AddControl<TEdit>(this, gbMobile, "meMaxScale", {176, 60, 50, 23});
  for (TEdit* box : {meInitialScale, meMaxScale}) {
    box->SetText("100");
    box->SetEnabled(false);
    auto* percent = AddControl<TLabel>(this, gbMobile, "", {box->Left() + 54, box->Top() + 4, 14, 15});
    percent->SetCaption("%");
  }
  cbInitialScale->OnClick = {this, &TFormGlobalSettings::cbInitialScaleClick};
  cbMaxScale->OnClick = {this, &TFormGlobalSettings::cbMaxScaleClick};
  cbUserScale = AddCheck(this, gbMobile, "cbUserScale", {10, 88, 300, 17});
  cbUserScale->SetChecked(true);
  cbWebApp = AddCheck(this, gbMobile, "cbWebApp", {10, 108, 300, 17});
}

void TFormGlobalSettings::CreateBottomPart() {
  lblIcon = AddControl<TLabel>(this, this, "lblIcon", {16, 412, 50, 15});
  Bevel1 = AddControl<TBevel>(this, this, "Bevel1", {70, 400, 41, 41});
  imgIco = AddControl<TImage>(this, this, "imgIco", {74, 404, 32, 32});
  btnIcon = AddControl<TButton>(this, this, "btnIcon", {118, 408, 23, 23});
  btnIcon->SetCaption("...");
  btnIcon->OnClick = {this, &TFormGlobalSettings::btnIconClick};
  cbGrid = AddCheck(this, this, "cbGrid", {190, 400, 100, 17});
  cbGrid->SetEnabled(false);
  cbGrid->OnClick = {this, &TFormGlobalSettings::cbGridClick};
  lblGridX = AddControl<TLabel>(this, this, "lblGridX", {190, 424, 60, 15});
  seGridX = AddControl<TEdit>(this, this, "seGridX", {250, 420, 50, 23});
  lblGridY = AddControl<TLabel>(this, this, "lblGridY", {314, 424, 60, 15});
  seGridY = AddControl<TEdit>(this, this, "seGridY", {374, 420, 50, 23});
  for (TControl* control : {static_cast<TControl*>(lblGridX), static_cast<TControl*>(seGridX),
                            static_cast<TControl*>(lblGridY), static_cast<TControl*>(seGridY)})
    control->SetEnabled(false);
  lblFoot = AddControl<TLabel>(this, this, "lblFoot", {16, 454, 80, 15});
  edtFoot = AddControl<TEdit>(this, this, "edtFoot", {100, 450, 338, 23});
  edtFoot->SetText(kDefaultFootnote);
  lblAuthor = AddControl<TLabel>(this, this, "lblAuthor", {16, 480, 80, 15});
  edtAuthor = AddControl<TEdit>(this, this, "edtAuthor", {100, 476, 338, 23});
  edtAuthor->SetText(kDefaultAuthor);
  cbGenarateEveryTime = AddCheck(this, this, "cbGenarateEveryTime", {16, 503, 420, 17});
  lblEncoding = AddControl<TLabel>(this, this, "lblEncoding", {16, 528, 210, 15});
  cbEncoding = AddControl<TComboBox>(this, this, "cbEncoding", {240, 524, 198, 23});
  for (const char* encoding : kEncodings) cbEncoding->Items()->Add(encoding);
  cbEncoding->SetText(kEncodings[0]);
  cbGeneratePavoA = AddCheck(this, this, "cbGeneratePavoA", {16, 551, 420, 17});
  cbOldDim1 = AddCheck(this, this, "cbOldDim1", {16, 570, 420, 17});
  btnPlaceHolders = AddControl<TButton>(this, this, "btnPlaceHolders", {8, 592, kPlaceHoldersWidth, 25});
  Button1 = AddControl<TButton>(this, this, "Button1", {kClientWidth - 166, 592, 75, 25});
  Button1->ModalResult = mrOk;
  Button1->SetDefault(true);
  Button2 = AddControl<TButton>(this, this, "Button2", {kClientWidth - 83, 592, 75, 25});
  Button2->ModalResult = mrCancel;
  Button2->Cancel = true;
}

void TFormGlobalSettings::CreateMenu() {
  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->SetName("PopupMenu1");
  for (const TMenuEntry& entry : kMenuEntries) {
    auto* item = new TMenuItem(this);
    item->SetName(entry.name);
    item->OnClick = {this, &TFormGlobalSettings::ToggleCheck};
    PopupMenu1->Items()->Add(item);
    this->*entry.item = item;
  }
  SetPopupMenu(PopupMenu1);
}

void TFormGlobalSettings::FormActivate(TObject*) { SetUiTexts(); }

void TFormGlobalSettings::SetUiTexts() {
  SetCaption(GetUiText(7011));
  for (const TText& text : kTexts) text.control(*this)->SetCaption(GetUiText(text.textId) + text.suffix);
  for (const TMenuEntry& entry : kMenuEntries)
    (this->*entry.item)->SetCaption(entry.textId != 0 ? GetUiText(entry.textId) : std::string(entry.fixedText));
  // The list keeps its choice when its first entry is renamed.
  const int chosen = cbTarget->ItemIndex();
  cbTarget->Items()->SetStrings(0, GetUiText(kTextUserResolution));
  cbTarget->SetItemIndex(chosen);
  rows_.Apply(kClientWidth - kRowMargin);
  std::vector<std::string> presets;
  for (int i = 0; i < cbTarget->Items()->Count(); ++i) presets.push_back(cbTarget->Items()->Strings(i));
  FitWidthToTexts(*cbTarget, presets, kListTextRoom, cbTarget->Width(), kClientWidth - kRowMargin);
  FitWidthToTexts(*btnPlaceHolders, {btnPlaceHolders->Caption()}, kButtonTextRoom, kPlaceHoldersWidth,
                  Button1->Left() - kButtonGap);
}

void TFormGlobalSettings::scChange(TObject*) {
  if (updating_) return;
  updating_ = true;
  lbHeight->SetCaption(std::to_string(BoxValue(scHeight) + kPageMargin));
  lbWidth->SetCaption(std::to_string(BoxValue(scWidth) + kPageMargin));
  UpdateSizeLabel();
  // The preset whose size the boxes hold: an operator panel without menu
  // and title, otherwise a screen.
  const bool panel = !cbMenu->Checked() && !cbTitle->Checked();
  const int first = panel ? kFirstPanel : kFirstScreen;
  const int last = panel ? kLastPanel : static_cast<int>(std::size(kTargetPresets)) - 1;
  int entry = 0;
  for (int i = first; i <= last && entry == 0; ++i)
    if (kTargetPresets[i].width == BoxValue(scWidth) && kTargetPresets[i].height == BoxValue(scHeight)) entry = i;
  cbTarget->SetItemIndex(entry);
  updating_ = false;
}

void TFormGlobalSettings::scHeightExit(TObject*) {
  if (BoxValue(scHeight) < kMinPageSide) SetBoxValue(scHeight, kMinPageSide);
}

void TFormGlobalSettings::scWidthExit(TObject*) {
  if (BoxValue(scWidth) < kMinPageSide) SetBoxValue(scWidth, kMinPageSide);
}

void TFormGlobalSettings::cbTargetChange(TObject*) {
  if (updating_) return;
  updating_ = true;
  const int entry = cbTarget->ItemIndex();
  if (entry > 0 && entry < static_cast<int>(std::size(kTargetPresets))) {
    const TTargetPreset& preset = kTargetPresets[entry];
    SetBoxValue(scWidth, preset.width);
    SetBoxValue(scHeight, preset.height);
    if (preset.panel) {
      cbMenu->SetChecked(false);
      cbTitle->SetChecked(false);
      cbGeneratePavoA->SetChecked(true);
      cbClick(cbTarget);
    }
  }
  lbHeight->SetCaption(std::to_string(BoxValue(scHeight) + kPageMargin));
  lbWidth->SetCaption(std::to_string(BoxValue(scWidth) + kPageMargin));
  UpdateSizeLabel();
  updating_ = false;
}

void TFormGlobalSettings::cbClick(TObject*) {
  cbBorder->SetEnabled(!cbMenu->Checked());
  if (cbMenu->Checked()) cbBorder->SetChecked(false);
  try {
    Image1->Picture()->Bitmap()->LoadFromResourceName(HInstance, PreviewName(cbMenu->Checked(), cbTitle->Checked()));
  } catch (const std::exception&) {
    // A build without the previews shows none.
    Image1->Picture()->SetGraphic(nullptr);
  }
  Image1->Invalidate();
  UpdateSizeLabel();
}

void TFormGlobalSettings::UpdateSizeLabel() {
  const int width = BoxValue(scWidth) - (cbMenu->Checked() ? kMenuWidth : 0);
  const int height = BoxValue(scHeight) - (cbTitle->Checked() ? kTitleHeight : 0);
  lbSize->SetCaption(std::to_string(width) + " x " + std::to_string(height));
}

void TFormGlobalSettings::ShowDefaultIcon() {
  try {
    TResourceStream stream(HInstance, "FAVICON_ICO", RT_RCDATA);
    TIcon icon;
    icon.LoadFromStream(stream);
    imgIco->Picture()->Assign(&icon);
  } catch (const std::exception&) {
    imgIco->Picture()->SetGraphic(nullptr);
  }
}

std::string TFormGlobalSettings::SettingsFile() const {
  if (Designer == nullptr) return {};
  return LoadFileNames(Designer->ProjectLocation()).settingsFile;
}

void TFormGlobalSettings::btnIconClick(TObject*) {
  if (btnIcon->Tag != 0) {
    btnIcon->SetCaption("...");
    btnIcon->Tag = 0;
    IconName.clear();
    DiscardPendingIcon();
    ShowDefaultIcon();
    PlaceIconImage();
    return;
  }
  const std::string settingsFile = SettingsFile();
  WriteTraceLog(settingsFile);
  if (settingsFile.empty()) return;
  PickIcon();
  PlaceIconImage();
}

// The picked icon goes to a temporary name beside the pictures; the old icon
// stays until OK commits the new one.
void TFormGlobalSettings::PickIcon() {
  TIniFile ini(SettingsFile());
  TOpenPictureDialog* dialog = Designer->PictureOpenDialog();
  dialog->FileName.clear();
  dialog->InitialDir = ini.ReadString("Settings", "PicturesPath", "");
  dialog->Filter = kIconFilter;
  if (!dialog->Execute() || !FileExists(dialog->FileName)) return;
  const char* target = Designer->GetImagePath(kIconName);
  if (target == nullptr) return;
  const std::string pending = std::string(target) + kPendingSuffix;
  ForceDirectories(ExtractFilePath(pending));
  DiscardPendingIcon();
  if (!CopyFileKeepTime(dialog->FileName, pending)) {
    DeleteFile(pending);
    const std::string text = GetUiText(kTextCopyFailed) + "\n" + ShownPath(dialog->FileName);
    MessageBox(nullptr, text.c_str(), "Tarnwell", MB_OK | MB_ICONERROR);
    return;
  }
  pendingIcon_ = pending;
  IconName = kIconName;
  btnIcon->SetCaption("x");
  btnIcon->Tag = 1;
  try {
    imgIco->Picture()->LoadFromFile(pending);
  } catch (const std::exception&) {
    // A picture that does not load shows nothing; the file stays chosen.
    imgIco->Picture()->SetGraphic(nullptr);
  }
}

void TFormGlobalSettings::DiscardPendingIcon() {
  if (pendingIcon_.empty()) return;
  DeleteFile(pendingIcon_);
  pendingIcon_.clear();
}

bool TFormGlobalSettings::CommitIcon() {
  if (pendingIcon_.empty()) return true;
  std::error_code error;
  const std::string target = pendingIcon_.substr(0, pendingIcon_.size() - std::string(kPendingSuffix).size());
  std::filesystem::rename(ToNativePath(pendingIcon_), ToNativePath(target), error);
  if (error) {
    const std::string text = GetUiText(kTextCopyFailed) + "\n" + ShownPath(target);
    MessageBox(nullptr, text.c_str(), "Tarnwell", MB_OK | MB_ICONERROR);
    DiscardPendingIcon();
    // Without an old icon in place the project names none.
    if (!FileExists(target)) IconName.clear();
    return false;
  }
  pendingIcon_.clear();
  return true;
}

void TFormGlobalSettings::PlaceIconImage() {
  const int width = std::min(kMaxIconSide, imgIco->Picture()->Width());
  const int height = std::min(kMaxIconSide, imgIco->Picture()->Height());
  const int top = imgIco->Top() + (imgIco->Height() - height) / 2;
  const int left = imgIco->Left() + (imgIco->Width() - width) / 2;
  imgIco->SetBounds(left, top, width, height);
}

void TFormGlobalSettings::shFrontMouseDown(TObject*, TMouseButton, TShiftState, int, int) { swatchPressed_ = true; }

void TFormGlobalSettings::shFrontMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  if (Designer == nullptr) return;
  TColorDialog* dialog = Designer->ColorDialog();
  dialog->Color = shFront->Brush->Color;
  if (!dialog->Execute() || !swatchPressed_) return;
  shFront->SetBrushColor(dialog->Color);
  cbSameAsPage->SetChecked(false);
  shFront->SetBrushStyle(bsSolid);
}

void TFormGlobalSettings::cbSameAsPageClick(TObject*) {
  shFront->SetBrushStyle(cbSameAsPage->Checked() ? bsDiagCross : bsSolid);
}

void TFormGlobalSettings::cbGridClick(TObject*) {
  const bool on = cbGrid->Checked();
  for (TControl* control : {static_cast<TControl*>(lblGridX), static_cast<TControl*>(seGridX),
                            static_cast<TControl*>(lblGridY), static_cast<TControl*>(seGridY)})
    control->SetEnabled(on);
}

void TFormGlobalSettings::cbInitialScaleClick(TObject*) { meInitialScale->SetEnabled(cbInitialScale->Checked()); }

void TFormGlobalSettings::cbMaxScaleClick(TObject*) { meMaxScale->SetEnabled(cbMaxScale->Checked()); }

void TFormGlobalSettings::ToggleCheck(TObject* sender) {
  if (auto* item = dynamic_cast<TMenuItem*>(sender)) item->SetChecked(!item->Checked());
}

void TFormGlobalSettings::Dispatch(void* message) {
  if (static_cast<TMessage*>(message)->Msg == WM_HELP) {
    ShowProjectHelp();
    return;
  }
  TForm::Dispatch(message);
}
