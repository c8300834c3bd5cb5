#include "properties/FormPlaceholders.h"

#include <algorithm>

#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/WriteFailureNotice.h"
#include "core/XmlNode.h"
#include "grid/StringDualList.h"
#include "platform/com/TaskMem.h"
#include "platform/vcl/Bevel.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/HeaderControl.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/MessageBox.h"

namespace {

constexpr const char* kSection = "FormPlaceHolders";
constexpr const char* kTypeList =
    "BOOL\r\nBOOL R_EDGE\r\nBOOL F_EDGE\r\nBYTE\r\nWORD\r\nDWORD\r\nSINT\r\nINT\r\nDINT\r\nUSINT\r\nUINT\r\nUDINT\r\n"
    "REAL\r\nLREAL\r\nTIME\r\nDATE\r\nTIME_OF_DAY\r\nDATE_AND_TIME\r\nSTRING\r\n";
constexpr int kEmptyNameTextId = 7261;
constexpr int kSameNameTextId = 7260;
constexpr int kWarningTextId = 2038;
constexpr HostLong kBrowserFlags = 15;
constexpr unsigned kWarningFlags = 0x40010;  // stop icon, topmost

// Header sections: text, initial width, minimum width.
struct TSectionRow {
  int textId;
  int width;
  int minWidth;
};
constexpr TSectionRow kSections[] = {{7255, 129, 50}, {7036, 154, 75}, {7191, 146, 50}, {7256, 5000, 125}};

template <class T>
T* Make(TComponent* owner, TWinControl* parent, const char* name) {
  auto* control = new T(owner);
  control->SetName(name);
  control->SetParent(parent);
  return control;
}

}  // namespace

// --- one row ------------------------------------------------------------------------

TFrameAlias::TFrameAlias(TComponent* owner) : TFrame(owner) {
  SetHeight(kHeight);
  Bevel1 = Make<TBevel>(this, this, "Bevel1");
  edtAliasName = Make<TEdit>(this, this, "edtAliasName");
  lblAliasName = Make<TLabel>(this, this, "lblAliasName");
  edtVariable = Make<TEdit>(this, this, "edtVariable");
  Button3 = Make<TButton>(this, this, "Button3");
  Button3->SetCaption("...");
  Button3->SetWidth(21);
  ComboBoxVarType = Make<TComboBox>(this, this, "ComboBoxVarType");
  ComboBoxVarType->SetStyle(csDropDown);
  ComboBoxVarType->DropDownCount = 28;
  lblVarType = Make<TLabel>(this, this, "lblVarType");
  edtDescription = Make<TEdit>(this, this, "edtDescription");
  lblDescription = Make<TLabel>(this, this, "lblDescription");
  bvlDescription = Make<TBevel>(this, this, "bvlDescription");
  btnDeleteAlias = Make<TButton>(this, this, "btnDeleteAlias");
  btnDeleteAlias->SetCaption("x");
  btnDeleteAlias->SetWidth(21);
  btnDeleteAlias->OnClick = {this, &TFrameAlias::btnDeleteAliasClick};
  Button3->OnClick = {this, &TFrameAlias::Button3Click};
  edtAliasName->OnChange = {this, &TFrameAlias::edtAliasNameChange};
  ComboBoxVarType->OnChange = {this, &TFrameAlias::ComboBoxVarTypeChange};
  edtDescription->OnChange = {this, &TFrameAlias::edtDescriptionChange};
}

void TFrameAlias::LayOut(int w0, int w1, int w2) {
  const int h = kHeight, pick = Button3->Width(), del = btnDeleteAlias->Width();
  edtAliasName->SetBounds(0, 0, w0, h);
  lblAliasName->SetBounds(4, 3, w0 - 8, h - 4);
  edtVariable->SetBounds(w0, 0, w1 - pick, h);
  Button3->SetBounds(w0 + w1 - pick, 0, pick, h);
  ComboBoxVarType->SetBounds(w0 + w1, 0, w2, h);
  lblVarType->SetBounds(w0 + w1 + 4, 3, w2 - 8, h - 4);
  const int descLeft = w0 + w1 + w2;
  const int descWidth = std::max(0, Width() - del - descLeft);
  edtDescription->SetBounds(descLeft, 0, descWidth, h);
  lblDescription->SetBounds(descLeft + 4, 3, std::max(0, Width() - (descLeft + 4) - 8), h - 4);
  bvlDescription->SetBounds(descLeft - 2, 0, 2, h);
  Bevel1->SetBounds(0, 0, Width(), h);
  btnDeleteAlias->SetBounds(Width() - del, 0, del, h);
}

void TFrameAlias::SetEditing(bool editing) {
  for (TControl* c : std::initializer_list<TControl*>{edtAliasName, ComboBoxVarType, edtDescription, btnDeleteAlias})
    c->SetVisible(editing);
  for (TControl* c : std::initializer_list<TControl*>{lblAliasName, lblVarType, lblDescription})
    c->SetVisible(!editing);
}

void TFrameAlias::btnDeleteAliasClick(TObject*) { SetVisible(false); }

void TFrameAlias::Button3Click(TObject*) {
  if (variables == nullptr) return;
  // A row with a type offers the host's variables of that type only.
  const std::string type = Trim(ComboBoxVarType->Text());
  const std::string current = edtVariable->Text();
  char* chosen = nullptr;
  HostLong unused = 0;
  const HRESULT hr = type.empty() ? variables->BrowseVariable(current.c_str(), &chosen, kBrowserFlags)
                                  : variables->BrowseTypedVariable(current.c_str(), type.c_str(), &chosen, &unused);
  if (hr == S_OK && chosen != nullptr && *chosen != '\0') edtVariable->SetText(chosen);
  CoTaskMemFree(chosen);
}

void TFrameAlias::edtAliasNameChange(TObject*) { lblAliasName->SetCaption(edtAliasName->Text()); }
void TFrameAlias::ComboBoxVarTypeChange(TObject*) { lblVarType->SetCaption(ComboBoxVarType->Text()); }
void TFrameAlias::edtDescriptionChange(TObject*) { lblDescription->SetCaption(edtDescription->Text()); }

// --- the dialog -----------------------------------------------------------------------

namespace {

// The host's further type names, one a line; empty without a host or an answer.
std::string HostTypeList(IIECManVariables* variables) {
  if (variables == nullptr) return {};
  char* types = nullptr;
  std::string text;
  if (variables->GetTypeList(&types, 0) == S_OK && types != nullptr) text = types;
  CoTaskMemFree(types);
  return text;
}

}  // namespace

TFormPlaceHolders::TFormPlaceHolders(TComponent* owner, ComPtr<IIECManVariables> variables)
    : TForm(owner), variables_(std::move(variables)), typeList_(kTypeList + HostTypeList(variables_.Get())) {
  SetName("FormPlaceHolders");
  Font()->Name = "Segoe UI";
  Font()->SetSize(9);
  SetBorderStyle(bsSizeable);
  SetPosition(poOwnerFormCenter);
  SetClientWidth(640);
  SetClientHeight(300);
  SetCaption(GetUiText(7259));
  Panel1 = Make<TPanel>(this, this, "Panel1");
  Panel1->SetHeight(36);
  Panel1->SetAlign(alBottom);
  AddAlias = Make<TButton>(this, Panel1, "AddAlias");
  AddAlias->SetBounds(8, 6, 220, 25);
  cbEditable = Make<TCheckBox>(this, Panel1, "cbEditable");
  cbEditable->SetBounds(240, 10, 170, 19);
  Button1 = Make<TButton>(this, Panel1, "Button1");
  Button1->SetBounds(ClientWidth() - 170, 6, 80, 25);
  Button1->SetAnchors(akRight | akTop);
  Button1->ModalResult = mrOk;
  Button1->SetDefault(true);
  Button2 = Make<TButton>(this, Panel1, "Button2");
  Button2->SetBounds(ClientWidth() - 86, 6, 80, 25);
  Button2->SetAnchors(akRight | akTop);
  Button2->ModalResult = mrCancel;
  Button2->SetVisible(false);
  Button2->SetEnabled(false);
  HeaderControl1 = Make<THeaderControl>(this, this, "HeaderControl1");
  HeaderControl1->SetHeight(20);
  HeaderControl1->SetAlign(alTop);
  for (const TSectionRow& row : kSections) {
    THeaderSection* section = HeaderControl1->Sections()->Add();
    section->SetText(GetUiText(row.textId));
    section->SetWidth(row.width);
    section->MinWidth = row.minWidth;
  }
  ScrollBox = Make<TScrollBox>(this, this, "ScrollBox");
  ScrollBox->SetAlign(alClient);
  pmScrollBox = new TPopupMenu(this);
  pmScrollBox->SetName("pmScrollBox");
  AddAlias1 = new TMenuItem(this);
  AddAlias1->SetName("AddAlias1");
  pmScrollBox->Items()->Add(AddAlias1);
  ScrollBox->SetPopupMenu(pmScrollBox);
  AddAlias->SetCaption(GetUiText(7257));
  AddAlias1->SetCaption(GetUiText(7257));
  Button1->SetCaption(GetUiText(2005));
  Button2->SetCaption(GetUiText(2006));
  cbEditable->SetCaption(GetUiText(7262));

  AddAlias->OnClick = {this, &TFormPlaceHolders::AddAliasClick};
  AddAlias1->OnClick = {this, &TFormPlaceHolders::AddAliasClick};
  cbEditable->OnClick = {this, &TFormPlaceHolders::cbEditableClick};
  Button1->OnClick = {this, &TFormPlaceHolders::Button1Click};
  ScrollBox->OnMouseWheel = {this, &TFormPlaceHolders::ScrollBoxMouseWheel};
  HeaderControl1->OnResize = {this, &TFormPlaceHolders::HeaderControl1Resize};
  HeaderControl1->OnSectionResize = {this, &TFormPlaceHolders::HeaderControl1SectionResize};
  OnShow = {this, &TFormPlaceHolders::FormShow};
  OnClose = {this, &TFormPlaceHolders::FormClose};
  cbEditableClick(cbEditable);
}

TFormPlaceHolders::~TFormPlaceHolders() {
  // The rows and the header go after this class: their events must not
  // reach it any more.
  HeaderControl1->OnResize = {};
  HeaderControl1->OnSectionResize = {};
  ScrollBox->OnMouseWheel = {};
  OnShow = {};
  OnClose = {};
}

TFrameAlias* TFormPlaceHolders::NewRow() {
  auto* row = new TFrameAlias(ScrollBox);
  row->SetName("FrameAlias" + std::to_string(++rowCounter_));
  row->SetParent(ScrollBox);
  row->ComboBoxVarType->Items()->SetText(typeList_);
  row->variables = variables_.Get();
  rows_.push_back(row);
  return row;
}

void TFormPlaceHolders::LoadFromXml(TmyXmlNode* owner) {
  owner_ = owner;
  placeholders_ = owner != nullptr ? owner->FindChild("placeholders") : nullptr;
  for (TmyXmlNode* a = placeholders_ != nullptr ? placeholders_->firstChild : nullptr; a != nullptr; a = a->next) {
    if (a->name != "alias") continue;
    TFrameAlias* row = NewRow();
    row->SetTop(static_cast<int>(rows_.size() - 1) * TFrameAlias::kHeight);
    row->SetAlign(alTop);
    row->alias = a;
    row->edtAliasName->SetText(a->GetAttr("name"));
    row->ComboBoxVarType->SetText(a->GetAttr("type"));
    row->lblVarType->SetCaption(row->ComboBoxVarType->Text());
    row->edtDescription->SetText(a->GetAttr("description"));
    row->edtVariable->SetText(a->value);
  }
  if (placeholders_ == nullptr) cbEditable->SetChecked(true);
  cbEditableClick(cbEditable);
  LayOutRows();
}

void TFormPlaceHolders::cbEditableClick(TObject*) {
  const bool editing = cbEditable->Checked();
  for (TFrameAlias* row : rows_) row->SetEditing(editing);
  AddAlias->SetEnabled(editing);
  AddAlias1->SetEnabled(editing);
}

void TFormPlaceHolders::AddAliasClick(TObject*) {
  TFrameAlias* row = NewRow();
  row->SetTop(0);
  row->SetAlign(alTop);
  row->SetTabOrder(0);
  row->SetEditing(cbEditable->Checked());
  LayOutRows();
  if (row->edtAliasName->Visible() && row->edtAliasName->CanFocus()) row->edtAliasName->SetFocus();
}

void TFormPlaceHolders::Button1Click(TObject*) {
  TStringList names;
  names.SetSorted(true);
  names.SetDuplicates(dupError);
  for (TFrameAlias* row : rows_) {
    if (!row->Visible()) continue;
    const std::string name = Trim(row->edtAliasName->Text());
    int index = 0;
    const bool empty = name.empty();
    if (empty || names.Find(name, index)) {
      MessageBox(Handle(), GetUiText(empty ? kEmptyNameTextId : kSameNameTextId).c_str(),
                 GetUiText(kWarningTextId).c_str(), kWarningFlags);
      ModalResult = mrNone;
      if (row->edtAliasName->CanFocus()) row->edtAliasName->SetFocus();
      return;
    }
    names.Add(name);
  }
}

void TFormPlaceHolders::SaveToXml() {
  if (owner_ == nullptr) return;
  if (placeholders_ == nullptr) placeholders_ = owner_->InsertFirstChild("placeholders");
  for (TFrameAlias* row : rows_) {
    if (!row->Visible()) {
      if (row->alias != nullptr) std::unique_ptr<TmyXmlNode> gone(row->alias);
      row->alias = nullptr;
      continue;
    }
    if (row->alias == nullptr) row->alias = placeholders_->InsertFirstChild("alias");
    row->alias->SetAttr("name", Trim(row->edtAliasName->Text()));
    row->alias->SetAttr("type", Trim(row->ComboBoxVarType->Text()));
    row->alias->SetAttr("description", row->edtDescription->Text());
    row->alias->value = Trim(row->edtVariable->Text());
  }
}

void TFormPlaceHolders::LayOutRows() {
  THeaderSections& s = *HeaderControl1->Sections();
  for (TFrameAlias* row : rows_) row->LayOut(s[0]->Width(), s[1]->Width(), s[2]->Width());
}

void TFormPlaceHolders::HeaderControl1Resize(TObject*) {
  THeaderSections& s = *HeaderControl1->Sections();
  for (int k = 0; k < 3; ++k) {
    const int room = Width() - s[3]->MinWidth;
    if (room >= s[0]->Width() + s[1]->Width() + s[2]->Width()) continue;
    int others = 0;
    for (int j = 0; j < 3; ++j)
      if (j != k) others += s[j]->Width();
    s[k]->SetWidth(std::max(s[k]->MinWidth, room - others));
  }
  LayOutRows();
  if (!cbEditable->Checked()) return;
  for (TFrameAlias* row : rows_)
    if (row->Visible() && row->ComboBoxVarType->CanFocus()) row->ComboBoxVarType->SetFocus();
  if (!rows_.empty() && rows_.front()->edtAliasName->CanFocus()) rows_.front()->edtAliasName->SetFocus();
}

void TFormPlaceHolders::HeaderControl1SectionResize(THeaderControl*, THeaderSection*) { LayOutRows(); }

void TFormPlaceHolders::ScrollBoxMouseWheel(TObject*, TShiftState, int wheelDelta, TPoint, bool& handled) {
  TControlScrollBar* bar = ScrollBox->VertScrollBar();
  if (wheelDelta > 0) bar->SetPosition(bar->Position() - bar->Increment);
  if (wheelDelta < 0) bar->SetPosition(bar->Position() + bar->Increment);
  handled = true;
}

void TFormPlaceHolders::FormShow(TObject*) {
  WriteTraceLog(settingsFile);
  if (!settingsFile.empty()) {
    TIniFile ini(settingsFile);
    SetHeight(ini.ReadInteger(kSection, "Height", Height()));
    SetWidth(ini.ReadInteger(kSection, "Width", Width()));
    THeaderSections& s = *HeaderControl1->Sections();
    for (int k = 0; k < 3; ++k)
      s[k]->SetWidth(ini.ReadInteger(kSection, "H" + std::to_string(k + 1) + "Width", s[k]->Width()));
    if (Top() > Screen->Height() - 32) SetTop((Screen->Height() - Height()) / 2);
    if (Left() > Screen->Width() - 32) SetLeft((Screen->Width() - Width()) / 2);
  }
  LayOutRows();
}

void TFormPlaceHolders::FormClose(TObject*, TCloseAction& action) {
  WriteTraceLog(settingsFile);
  if (!settingsFile.empty()) {
    std::vector<std::pair<std::string, std::string>> values{{"Height", std::to_string(Height())},
                                                            {"Width", std::to_string(Width())}};
    THeaderSections& s = *HeaderControl1->Sections();
    for (int k = 0; k < 3; ++k)
      values.emplace_back("H" + std::to_string(k + 1) + "Width", std::to_string(s[k]->Width()));
    WriteSettings([&] { TIniFile(settingsFile).WriteStrings(kSection, values); });
  }
  action = caHide;
}

// --- the opener's part ---------------------------------------------------------------

TPlaceholdersOpener::TPlaceholdersOpener(TCustomForm& opener, std::function<TmyXmlNode*()> owner,
                                         std::string settingsFile, ComPtr<IIECManVariables> variables)
    : opener_(opener),
      owner_(std::move(owner)),
      settingsFile_(std::move(settingsFile)),
      variables_(std::move(variables)) {}

TPlaceholdersOpener::~TPlaceholdersOpener() = default;

void TPlaceholdersOpener::Make() {
  dialog_.reset();
  dialog_ = std::make_unique<TFormPlaceHolders>(&opener_, variables_);
  dialog_->settingsFile = settingsFile_;
  dialog_->LoadFromXml(owner_());
}

void TPlaceholdersOpener::Click() {
  if (!dialog_) Make();
  if (dialog_->ShowModal() != mrOk) Make();
}

bool TPlaceholdersOpener::Save(TStringDualList& list) {
  if (!dialog_) return false;
  dialog_->SaveToXml();
  list.ClearAndLoad(dialog_->GetPlaceholdersNode());
  return true;
}
