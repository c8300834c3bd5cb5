// TFormPasswords: the components, the rows of the three kinds, loading and
// OK through the password model, the count choosers, placement and the
// small handlers.

#include "project/FormPasswords.h"

#include <algorithm>

#include "core/ProjectLocation.h"
#include "core/ProjectPaths.h"
#include "core/UiText.h"
#include "core/WriteFailureNotice.h"
#include "core/XmlNode.h"
#include "generator/CompileHost.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/PageControl.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Paths.h"
#include "platform/win/WindowMessages.h"
#include "project/DialogControls.h"
#include "project/FramMac.h"
#include "project/FramUser.h"
#include "properties/ComboBoxNoWheel.h"
#include "properties/DesignerContext.h"

namespace {

constexpr const char* kSection = "FormPasswords";
constexpr const char* kPswFile = "PSW.TXT";
constexpr int kClientWidth = 760;
// The dialog's height is fixed (452 to 453 pixels with its frame and
// caption); it can only be made wider, from 652 pixels on.
constexpr int kClientHeight = 421;
constexpr int kMinHeight = 452;
constexpr int kMaxHeight = 453;
constexpr int kMinWidth = 652;
constexpr int kRowGap = 3;
constexpr int kRowStep = 10;
constexpr int kWheelStep = 32;
constexpr int kWheelDelta = 120;
constexpr int kTextWarning = 2038;
constexpr int kTextCryptWarning = 7229;
constexpr int kTextCannotCreate = 7074;  // "[Tarnwell] - Cannot create : "

using F = TFormPasswords;
struct TCaption {
  TControl* (*control)(const F&);
  int textId;
};
#define CAPTION(Name, Id)                              \
  {                                                    \
    [](const F& f) -> TControl* { return f.Name; }, Id \
  }
const TCaption kCaptions[] = {
    CAPTION(TabSheet1, 7081),      CAPTION(TabSheet2, 7084), CAPTION(lblLevel, 7033), CAPTION(lblLevel2, 7033),
    CAPTION(lblUser, 7079),        CAPTION(lblUser2, 7079),  CAPTION(lblPass, 7080),  CAPTION(lblPass2, 7080),
    CAPTION(lblMac, 7083),         CAPTION(lblPage, 7034),   CAPTION(lblPage2, 7034), CAPTION(lblComment, 7280),
    CAPTION(lblCnt, 7310),         CAPTION(lblCnt2, 7310),   CAPTION(lblCnt3, 7310),  CAPTION(cbCrypt, 7228),
    CAPTION(cbShowPassword, 7263), CAPTION(Button1, 2005),   CAPTION(Button2, 2006),
};
#undef CAPTION

int CpmOf(TDesignerContext* designer) { return designer != nullptr ? designer->CompileHost().CpmCode() : -1; }

}  // namespace

TFormPasswords::TFormPasswords(TDesignerContext* designer)
    : TFormPasswords(designer != nullptr ? designer->DialogOwner() : nullptr, designer, CpmOf(designer)) {}

TFormPasswords::TFormPasswords(TComponent* owner, TDesignerContext* designer, int cpmCode)
    : TForm(owner), designer_(designer), model_(PasswordCountsForCpm(cpmCode)) {
  SetName(kSection);
  SetBorderStyle(bsSizeable);
  SetPosition(poScreenCenter);
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  Constraints.MinWidth = kMinWidth;
  Constraints.MinHeight = kMinHeight;
  Constraints.MaxHeight = kMaxHeight;
  SetDialogFont(this);
  model_.SetPageLookup([this](const std::string& name) {
    const std::string shown = ShownPage(name);
    return shown.empty() ? std::string() : PageNameOfRow(shown);
  });
  CountsEnabled = model_.Counts() == TPasswordCounts::kChosen;
  CreateComponents();
  for (TComboBoxNoWheel* counter : {cbCntUser, cbCntMac, cbCntApi}) counter->SetVisible(CountsEnabled);
  for (TLabel* label : {lblCnt, lblCnt2, lblCnt3}) label->SetVisible(CountsEnabled);
  EnsureRows(kPasswordDefaultRows, TRowKind::kUser);
  EnsureRows(kPasswordDefaultRows, TRowKind::kMac);
  EnsureRows(kPasswordDefaultRows, TRowKind::kApi);
  SetCaptions();
  OnShow = {this, &TFormPasswords::FormShow};
  OnClose = {this, &TFormPasswords::FormClose};
  AfterConstruction();
}

TFormPasswords::~TFormPasswords() = default;

void TFormPasswords::CreateTab(TTabSheet*& sheet, const char* name, TScrollBox*& box, const char* boxName) {
  sheet = new TTabSheet(this);
  sheet->SetName(name);
  sheet->SetPageControl(PageControl1);
  sheet->OnMouseUp = {[this](TObject* sender, TMouseButton, TShiftState, int, int) { NoFocusClick(sender); }};
  box = AddControl<TScrollBox>(this, sheet, boxName, {0, 24, sheet->ClientWidth(), sheet->ClientHeight() - 24 - 30});
  box->SetAnchors(akLeft | akTop | akRight | akBottom);
  box->OnClick = {this, &TFormPasswords::NoFocusClick};
  box->OnMouseWheel = {this, &TFormPasswords::ScrollBoxMouseWheel};
}

TComboBoxNoWheel* TFormPasswords::CreateCounter(TTabSheet* sheet, const char* name, TLabel*& label,
                                                const char* labelName) {
  // The count stands below the rows.
  const int top = sheet->ClientHeight() - 26;
  label = AddControl<TLabel>(this, sheet, labelName, {16, top + 4, 60, 15});
  label->SetAnchors(akLeft | akBottom);
  TComboBoxNoWheel* counter = AddControl<TComboBoxNoWheel>(this, sheet, name, {80, top, 60, 23});
  counter->SetAnchors(akLeft | akBottom);
  counter->SetStyle(csDropDownList);
  for (int count = kRowStep; count <= kPasswordMaxCount; count += kRowStep)
    counter->Items()->Add(std::to_string(count));
  counter->SetItemIndex(0);
  counter->OnChange = {this, &TFormPasswords::cbCntChange};
  return counter;
}

void TFormPasswords::CreateComponents() {
  PageControl1 = AddControl<TPageControl>(this, this, "PageControl1", {4, 4, kClientWidth - 8, kClientHeight - 48});
  PageControl1->SetAnchors(akLeft | akTop | akRight | akBottom);
  CreateTab(TabSheet1, "TabSheet1", ScrollBox, "ScrollBox");
  CreateTab(TabSheet2, "TabSheet2", ScrollBoxMac, "ScrollBoxMac");
  CreateTab(TabSheet3, "TabSheet3", ScrollBoxApi, "ScrollBoxApi");
  TabSheet3->SetCaption("VornApi");
  lblLevel = AddControl<TLabel>(this, TabSheet1, "lblLevel", {48, 4, 56, 15});
  lblUser = AddControl<TLabel>(this, TabSheet1, "lblUser", {108, 4, 150, 15});
  lblPass = AddControl<TLabel>(this, TabSheet1, "lblPass", {266, 4, 150, 15});
  lblPage = AddControl<TLabel>(this, TabSheet1, "lblPage", {424, 4, 150, 15});
  lblLevel2 = AddControl<TLabel>(this, TabSheet2, "lblLevel2", {48, 4, 56, 15});
  lblMac = AddControl<TLabel>(this, TabSheet2, "lblMac", {108, 4, 150, 15});
  lblPage2 = AddControl<TLabel>(this, TabSheet2, "lblPage2", {290, 4, 150, 15});
  lblComment = AddControl<TLabel>(this, TabSheet2, "lblComment", {546, 4, 50, 15});
  lblUser2 = AddControl<TLabel>(this, TabSheet3, "lblUser2", {108, 4, 150, 15});
  lblPass2 = AddControl<TLabel>(this, TabSheet3, "lblPass2", {266, 4, 150, 15});
  cbCntUser = CreateCounter(TabSheet1, "cbCntUser", lblCnt, "lblCnt");
  cbCntMac = CreateCounter(TabSheet2, "cbCntMac", lblCnt2, "lblCnt2");
  cbCntApi = CreateCounter(TabSheet3, "cbCntApi", lblCnt3, "lblCnt3");
  const int bottom = kClientHeight - 36;
  cbCrypt = AddControl<TCheckBox>(this, this, "cbCrypt", {12, bottom + 6, 200, 17});
  cbCrypt->SetAnchors(akLeft | akBottom);
  cbCrypt->SetChecked(true);
  cbCrypt->OnClick = {this, &TFormPasswords::cbCryptClick};
  cbShowPassword = AddControl<TCheckBox>(this, this, "cbShowPassword", {220, bottom + 6, 200, 17});
  cbShowPassword->SetAnchors(akLeft | akBottom);
  cbShowPassword->OnClick = {this, &TFormPasswords::cbShowPasswordClick};
  Button1 = AddControl<TButton>(this, this, "Button1", {kClientWidth - 170, bottom, 75, 25});
  Button1->SetAnchors(akRight | akBottom);
  Button1->ModalResult = mrOk;
  Button1->SetDefault(true);
  Button1->OnClick = {this, &TFormPasswords::Button1Click};
  Button2 = AddControl<TButton>(this, this, "Button2", {kClientWidth - 87, bottom, 75, 25});
  Button2->SetAnchors(akRight | akBottom);
  Button2->ModalResult = mrCancel;
  Button2->Cancel = true;
  PageControl1->SetActivePageIndex(0);
}

void TFormPasswords::SetCaptions() {
  SetCaption(GetUiText(7082));
  for (const TCaption& caption : kCaptions) caption.control(*this)->SetCaption(GetUiText(caption.textId));
}

int& TFormPasswords::CountOf(TRowKind kind) {
  return kind == TRowKind::kUser ? UserCount : kind == TRowKind::kMac ? MacCount : ApiCount;
}

TComboBoxNoWheel* TFormPasswords::CounterOf(TRowKind kind) {
  return kind == TRowKind::kUser ? cbCntUser : kind == TRowKind::kMac ? cbCntMac : cbCntApi;
}

void TFormPasswords::EnsureRows(int count, TRowKind kind) {
  count = std::min(count, kPasswordMaxRows);
  int& rows = CountOf(kind);
  while (rows < count) CreateRow(rows++, kind);
  rows = count;
}

void TFormPasswords::CreateRow(int index, TRowKind kind) {
  if (index < 0 || index >= kPasswordMaxRows) return;
  const bool exists = kind == TRowKind::kUser  ? UserRows[index] != nullptr
                      : kind == TRowKind::kMac ? MacRows[index] != nullptr
                                               : ApiRows[index] != nullptr;
  if (exists) return;
  const std::string label = std::to_string(index) + ".";
  const int visibleRows = std::max(CountOf(kind), kPasswordDefaultRows);
  TFrame* frame = nullptr;
  if (kind == TRowKind::kMac) {
    auto* row = new TFramMac(this, designer_);
    const TPasswordMacRow& from = model_.Mac(index);
    row->edtMac->SetText(from.mac);
    row->edtLevel->SetItemIndex(from.levelIndex);
    MacRows[index] = row;
    row->lblOrder->SetCaption(label);
    frame = row;
  } else {
    auto* row = new TFramUser(this, designer_);
    const bool api = kind == TRowKind::kApi;
    FillUserRow(*row, api ? model_.Api(index) : model_.User(index));
    if (api) row->SetApiMode(true);
    row->cntLevelChange(row);
    (api ? ApiRows : UserRows)[index] = row;
    row->lblOrder->SetCaption(label);
    frame = row;
  }
  TScrollBox* box = kind == TRowKind::kUser ? ScrollBox : kind == TRowKind::kMac ? ScrollBoxMac : ScrollBoxApi;
  frame->SetName(std::string(kind == TRowKind::kMac   ? "FramMac"
                             : kind == TRowKind::kApi ? "FramApi"
                                                      : "FramUser") +
                 std::to_string(index));
  frame->SetVisible(CountsEnabled ? index < visibleRows : index < kPasswordDefaultRows);
  frame->SetParent(box);
  const int top = (frame->Height() + kRowGap) * index - box->VertScrollBar()->Position();
  frame->SetBounds(0, top, frame->Width(), frame->Height());
  frame->OnClick = {this, &TFormPasswords::NoFocusClick};
}

void TFormPasswords::FillUserRow(TFramUser& row, const TPasswordUserRow& from) {
  row.SetLevelIndex(from.levelIndex);
  row.edtUser->SetText(from.name);
  row.SetPassword(from.password);
  row.SetStartPage(from.startPage, ShownPage(from.startPage));
}

std::string TFormPasswords::ShownPage(const std::string& name) const {
  if (name.empty()) return {};
  return designer_ != nullptr ? designer_->GetPageDisplayName(name) : name;
}

int TFormPasswords::RowsOf(TRowKind kind) const {
  return kind == TRowKind::kUser ? model_.UserRows() : kind == TRowKind::kMac ? model_.MacRows() : model_.ApiRows();
}

void TFormPasswords::SetRowVisible(int index, TRowKind kind, bool visible) {
  TControl* row = kind == TRowKind::kUser  ? static_cast<TControl*>(UserRows[index])
                  : kind == TRowKind::kMac ? static_cast<TControl*>(MacRows[index])
                                           : static_cast<TControl*>(ApiRows[index]);
  if (row != nullptr) row->SetVisible(visible);
}

void TFormPasswords::cbCntChange(TObject* sender) {
  const TRowKind kind = sender == cbCntMac ? TRowKind::kMac : sender == cbCntApi ? TRowKind::kApi : TRowKind::kUser;
  // Without a choice the count is the model's: ten for older units, the
  // project's own while the unit is not known.
  int count = kind == TRowKind::kUser  ? model_.UserCount()
              : kind == TRowKind::kMac ? model_.MacCount()
                                       : model_.ApiCount();
  if (CountsEnabled) {
    count = (CounterOf(kind)->ItemIndex() + 1) * kRowStep;
    if (kind == TRowKind::kUser) model_.SetUserCount(count);
    if (kind == TRowKind::kMac) model_.SetMacCount(count);
    if (kind == TRowKind::kApi) model_.SetApiCount(count);
  }
  EnsureRows(count, kind);
  for (int i = 0; i < kPasswordMaxRows; ++i) SetRowVisible(i, kind, i < count);
}

// After the model loaded a kind: the chooser shows the count, and every row
// the model holds has its frame with the loaded values.
void TFormPasswords::AfterLoad(TRowKind kind, int modelCount) {
  EnsureRows(modelCount, kind);
  CounterOf(kind)->SetItemIndex(std::clamp((modelCount - kRowStep) / kRowStep, 0, kPasswordMaxCount / kRowStep - 1));
  cbCntChange(CounterOf(kind));
  for (int i = 0; i < RowsOf(kind); ++i) {
    CreateRow(i, kind);
    if (kind == TRowKind::kUser) FillUserRow(*UserRows[i], model_.User(i));
    if (kind == TRowKind::kApi) FillUserRow(*ApiRows[i], model_.Api(i));
    if (kind != TRowKind::kMac) continue;
    const TPasswordMacRow& from = model_.Mac(i);
    MacRows[i]->edtMac->SetText(from.mac);
    MacRows[i]->edtLevel->SetItemIndex(from.levelIndex);
    MacRows[i]->SetStartPage(from.startPage, ShownPage(from.startPage));
    MacRows[i]->edtComment->SetText(from.note);
  }
}

void TFormPasswords::LoadUsers(TmyXmlNode* security) {
  SecurityNode = security;
  model_.LoadUsers(security);
  cbCrypt->SetChecked(model_.crypt);
  if (security != nullptr) AfterLoad(TRowKind::kUser, model_.UserCount());
  for (TFramUser* row : UserRows)
    if (row != nullptr) row->SetShowPassword(false);
}

void TFormPasswords::LoadAutologin(TmyXmlNode* autologin) {
  AutologinNode = autologin;
  model_.LoadAutologin(autologin);
  if (autologin != nullptr) {
    AfterLoad(TRowKind::kMac, model_.MacCount());
    return;
  }
  for (TFramMac* row : MacRows)
    if (row != nullptr) row->edtLevel->SetItemIndex(0);
}

void TFormPasswords::LoadApiUsers(TmyXmlNode* vornapi) {
  ApiNode = vornapi;
  model_.LoadApiUsers(vornapi);
  if (vornapi != nullptr) AfterLoad(TRowKind::kApi, model_.ApiCount());
  for (TFramUser* row : ApiRows)
    if (row != nullptr) row->SetShowPassword(false);
}

void TFormPasswords::UpdateRowStates() {
  for (auto* rows : {&UserRows, &ApiRows})
    for (TFramUser* row : *rows)
      if (row != nullptr) row->cntLevelChange(row);
}

void TFormPasswords::StoreRowsInModel() {
  model_.crypt = cbCrypt->Checked();
  for (int i = 0; i < kPasswordMaxRows; ++i) {
    if (const TFramUser* row = UserRows[i])
      model_.User(i) = {row->LevelIndex(), row->edtUser->Text(), row->Password, row->StartPageName};
    if (const TFramUser* row = ApiRows[i]) model_.Api(i) = {row->LevelIndex(), row->edtUser->Text(), row->Password, {}};
    if (const TFramMac* row = MacRows[i])
      model_.Mac(i) = {row->edtMac->Text(), row->edtLevel->ItemIndex(), row->StartPageName, row->edtComment->Text()};
  }
}

void TFormPasswords::Button1Click(TObject*) {
  StoreRowsInModel();
  PswFileName = SendRootDir();
  if (!PswFileName.empty()) PswFileName += kPswFile;
  // Every MAC row written is brought into its full form, rows from 10 on too.
  model_.NormalizeMacs();
  for (int i = 0; i < kPasswordMaxRows; ++i)
    if (MacRows[i] != nullptr) MacRows[i]->edtMac->SetText(model_.Mac(i).mac);
  const bool writes = FormatVersion == kPasswordFileFormat && !PswFileName.empty();
  fileWritten_ = writes && model_.WritePasswordFile(PswFileName);
  if (writes && !fileWritten_) ShowWriteFailure(GetUiText(kTextCannotCreate) + ShownPath(PswFileName));
  TmyXmlNode* web = designer_ != nullptr ? designer_->WebElement() : nullptr;
  model_.WriteXml(web);
  if (web == nullptr) return;
  SecurityNode = web->FindChild("security");
  AutologinNode = web->FindChild("autologin");
  ApiNode = web->FindChild("vornapi");
}

void TFormPasswords::cbCryptClick(TObject*) {
  if (!Visible() || !cbCrypt->Checked()) return;
  const std::string text = GetUiText(kTextCryptWarning);
  const std::string caption = GetUiText(kTextWarning);
  MessageBox(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING | MB_TOPMOST);
}

void TFormPasswords::cbShowPasswordClick(TObject*) {
  for (auto* rows : {&UserRows, &ApiRows})
    for (TFramUser* row : *rows)
      if (row != nullptr) row->SetShowPassword(cbShowPassword->Checked());
}

void TFormPasswords::NoFocusClick(TObject* sender) {
  auto* control = dynamic_cast<TWinControl*>(sender);
  if (control != nullptr && control->CanFocus()) control->SetFocus();
}

void TFormPasswords::ScrollBoxMouseWheel(TObject*, TShiftState, int wheelDelta, TPoint, bool& handled) {
  const TWinControl* focused = ActiveControl();
  if (focused != nullptr && focused->Name() == "edtLevel") return;
  const int page = PageControl1->ActivePageIndex();
  TScrollBox* box = page == 1 ? ScrollBoxMac : page == 2 ? ScrollBoxApi : ScrollBox;
  const int notches = wheelDelta / kWheelDelta;
  box->VertScrollBar()->SetPosition(box->VertScrollBar()->Position() - notches * kWheelStep);
  handled = true;
}

// The output root of the designer's host project, or of the host's open
// project without a designer; empty when there is none.
std::string TFormPasswords::SendRootDir() const {
  if (designer_ == nullptr) {
    const char* folder = GetSendRootDir();
    return folder != nullptr ? folder : "";
  }
  const std::string projectDir = designer_->ProjectLocation().hostProjectDir;
  return projectDir.empty() ? std::string() : projectDir + "SendRoot\\";
}

std::string TFormPasswords::SettingsFile() const {
  if (designer_ == nullptr) return {};
  return LoadFileNames(designer_->ProjectLocation()).settingsFile;
}

void TFormPasswords::FormShow(TObject*) {
  const std::string file = SettingsFile();
  if (file.empty()) return;
  TIniFile ini(file);
  SetWidth(std::max(kMinWidth, ini.ReadInteger(kSection, "Width", Width())));
  const int tab = ini.ReadInteger(kSection, "Tab", 0);
  PageControl1->SetActivePageIndex(tab == 1 || tab == 2 ? tab : 0);
}

void TFormPasswords::FormClose(TObject*, TCloseAction&) {
  const std::string file = SettingsFile();
  if (file.empty()) return;
  WriteSettings([&] {
    TIniFile(file).WriteStrings(
        kSection, {{"Width", std::to_string(Width())}, {"Tab", std::to_string(PageControl1->ActivePageIndex())}});
  });
}

void TFormPasswords::ShowWriteFailure(const std::string& text) {
  MessageBox(nullptr, text.c_str(), Caption().c_str(), MB_OK | MB_ICONERROR | MB_TOPMOST);
}

void TFormPasswords::Dispatch(void* message) {
  if (static_cast<TMessage*>(message)->Msg == WM_HELP) {
    ShowProjectHelp();
    return;
  }
  TForm::Dispatch(message);
}
