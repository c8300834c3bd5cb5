#include "properties/FormDropDownProperties.h"

#include "core/UiText.h"
#include "grid/GridWebElement.h"
#include "grid/StringDualListLang.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListView.h"
#include "properties/CommonBindings.h"
#include "properties/DesignerContext.h"
#include "properties/FormEditOption.h"
#include "properties/OptionRows.h"

namespace {

using C = TControlClass;
using E = TGridWebElement;

constexpr TComponentRow kRows[] = {
    {C::Label, "lblNotSupported", "", 0, 0, 740, 20, 7169, ""},
    {C::Label, "Label1", "", 8, 31, 180, 16, 7036, ""},
    {C::Edit, "edtVariable", "", 190, 28, 190, 23, 0, ""},
    {C::Button, "Button3", "", 384, 28, 26, 23, 0, "..."},
    {C::Label, "lblType", "", 190, 54, 190, 16, 0, ""},
    {C::Label, "lblHint", "", 8, 77, 180, 16, 7264, ""},
    {C::Edit, "edtHint1", "", 190, 74, 190, 23, 0, ""},
    {C::Button, "btLangHint1", "", 384, 74, 26, 23, 0, "..."},
    {C::Label, "lblFntSiz", "", 8, 105, 180, 16, 7052, ""},
    {C::MyEdit, "seSize", "", 190, 102, 50, 23, 0, ""},
    {C::Label, "lblPx", "", 244, 105, 20, 16, 0, "px"},
    {C::CheckBox, "cbStrong", "", 262, 104, 62, 19, 7050, ""},
    {C::CheckBox, "cbItalic", "", 330, 104, 80, 19, 7049, ""},
    {C::Label, "lblFntCol", "", 8, 133, 180, 16, 7054, ""},
    {C::Shape, "shFront", "", 190, 130, 50, 23, 0, ""},
    {C::Label, "lblFntBck", "", 8, 161, 180, 16, 7053, ""},
    {C::Shape, "shBack", "", 190, 158, 50, 23, 0, ""},
    {C::CheckBox, "cbTransparent", "", 250, 160, 130, 19, 7051, ""},
    {C::Label, "lblOff", "", 8, 189, 180, 16, 7142, ""},
    {C::Label, "lblX", "", 190, 189, 12, 16, 0, "X"},
    {C::MyEdit, "ceOffX", "", 204, 186, 50, 23, 0, ""},
    {C::Label, "lblY", "", 264, 189, 12, 16, 0, "Y"},
    {C::MyEdit, "ceOffY", "", 278, 186, 50, 23, 0, ""},
    {C::Label, "lblVisibility", "", 8, 217, 180, 16, 7132, ""},
    {C::Edit, "edtVisVar", "", 190, 214, 190, 23, 0, ""},
    {C::Button, "btnVis", "", 384, 214, 26, 23, 0, "..."},
    {C::Label, "lblVisType", "", 190, 240, 190, 16, 0, ""},
    {C::CheckBox, "cbActiveIn0", "", 190, 260, 230, 19, 7134, ""},
    {C::CheckBox, "cbSubmitOnChange", "", 8, 292, 400, 19, 7315, ""},
    {C::CheckBox, "cbBorder1", "", 8, 316, 400, 19, 7095, ""},
    {C::CheckBox, "cbReadOnly", "", 8, 340, 400, 19, 7038, ""},
    {C::Label, "Label2", "", 430, 31, 160, 16, 7086, ""},
    {C::MyEdit, "seSizeChar", "", 600, 28, 60, 23, 0, ""},
    {C::Label, "Label3", "", 430, 59, 160, 16, 7032, ""},
    {C::MyEdit, "seSecLevel", "", 600, 56, 60, 23, 0, ""},
    {C::Label, "Label4", "", 430, 87, 160, 16, 0, "Tab index"},
    {C::Edit, "seTabIndex", "", 600, 84, 60, 23, 0, ""},
    {C::Label, "lblDropDownItems", "", 430, 117, 300, 16, 7316, ""},
    {C::ListView, "lvOptions", "", 430, 136, 200, 220, 0, ""},
    {C::Button, "btnAdd", "", 636, 136, 96, 25, 2013, ""},
    {C::Button, "btnEdit", "", 636, 166, 96, 25, 7174, ""},
    {C::Button, "btnDelete", "", 636, 196, 96, 25, 7023, ""},
    {C::Button, "btnDeleteAll", "", 636, 226, 96, 25, 2010, ""},
    {C::Button, "btnMoveUp", "", 636, 266, 96, 25, 0, "Move up"},
    {C::Button, "btnMoveDn", "", 636, 296, 96, 25, 0, "Move down"},
    {C::Button, "Button1", "", 560, 372, 80, 25, 2005, ""},
    {C::Button, "Button2", "", 650, 372, 80, 25, 2006, ""},
};

TFormDropDownProperties& Self(TPropertyForm& f) { return static_cast<TFormDropDownProperties&>(f); }

void FillOptions(TPropertyForm& f, E& e, bool first) {
  TStringDualListLang& options = Self(f).Options();
  options.ClearAndLoad(e.GetXmlNode());
  Self(f).ShowOptions(options, first);
}

// Every written object gets the rows as its options, in all languages.
void WriteOptions(TPropertyForm& f, E& e) {
  TStringDualListLang& options = Self(f).Options();
  Self(f).ReadOptions(options);
  options.SaveToXml(e.GetXmlNode());
  options.CopyEditorTexts(e.FOptions);
}

std::vector<TPropertyBinding> MakeBindings() {
  using R = TCommonRow;
  return Joined({{.control = "hint", .kind = TBindKind::LangSlots}},
                {TooltipToTransparentBindings(),
                 CommonBindings({R::Variable, R::SizeChar, R::SecLevel, R::Border, R::ReadOnly}),
                 {{.control = "cbSubmitOnChange",
                   .kind = TBindKind::GrayCheck,
                   .field = FlagField([](const E& e) { return !e.FGlobal; }, [](E& e, bool on) { e.FGlobal = !on; })}},
                 CommonBindings({R::TabIndex}),
                 {{.control = "lvOptions", .kind = TBindKind::Custom, .fill = FillOptions, .write = WriteOptions}}});
}

}  // namespace

TFormDropDownProperties::TFormDropDownProperties(TDesignerContext& designer)
    : TTabOrderedForm(designer, kRows, 7314),
      options_(std::make_unique<TStringDualListLang>(designer.EditorLangCode(), designer.LangCodes(), false)) {
  SetClientWidth(740);
  SetClientHeight(405);
  auto* info = Get<TLabel>("lblNotSupported");
  info->SetAutoSize(false);
  info->SetColor(clInfoBk);
  info->SetTransparent(false);
  TListView* view = lvOptions();
  view->SetViewStyle(vsReport);
  view->SetMultiSelect(true);
  view->ReadOnly = true;
  view->SetRowSelect(true);
  TListColumn* name = view->Columns()->Add();
  name->SetCaption(GetUiText(2056));
  name->SetWidth(118);
  TListColumn* value = view->Columns()->Add();
  value->SetCaption(GetUiText(7239));
  value->SetWidth(70);
  value->SetAlignment(taRightJustify);
  langTexts = {{.attr = "hint", .edit = "edtHint1", .button = "btLangHint1"}};
  WireCommonHandlers();
  Get<TButton>("btnAdd")->OnClick = {this, &TFormDropDownProperties::btnAddClick};
  Get<TButton>("btnEdit")->OnClick = {this, &TFormDropDownProperties::btnEditClick};
  Get<TButton>("btnDelete")->OnClick = {this, &TFormDropDownProperties::btnDeleteClick};
  Get<TButton>("btnDeleteAll")->OnClick = {this, &TFormDropDownProperties::btnDeleteAllClick};
  Get<TButton>("btnMoveUp")->OnClick = {this, &TFormDropDownProperties::btnMoveUpClick};
  Get<TButton>("btnMoveDn")->OnClick = {this, &TFormDropDownProperties::btnMoveDnClick};
  view->OnDblClick = {this, &TFormDropDownProperties::lvOptionsDblClick};
  view->OnSelectItem = {this, &TFormDropDownProperties::lvOptionsSelectItem};
}

TFormDropDownProperties::~TFormDropDownProperties() = default;

std::span<const TPropertyBinding> TFormDropDownProperties::Bindings() const {
  static const std::vector<TPropertyBinding> bindings = MakeBindings();
  return bindings;
}

bool TFormDropDownProperties::TakesKind(int kind) const { return kind == wkDropDown; }
int TFormDropDownProperties::TemplateSlot(const TGridWebElement&) const { return 16; }
void TFormDropDownProperties::ShowLangButtons(bool visible) { Get<TButton>("btLangHint1")->SetVisible(visible); }
void TFormDropDownProperties::AfterFill() { UpdateOptionButtons(); }
TListView* TFormDropDownProperties::lvOptions() const { return Get<TListView>("lvOptions"); }

void TFormDropDownProperties::ShowOptions(TStringDualListLang& options, bool fill) {
  if (fill)
    FillListView(options, lvOptions());
  else if (!SameAsListView(options, lvOptions()))
    lvOptions()->Items()->Clear();
}

void TFormDropDownProperties::ReadOptions(TStringDualListLang& options) { ReadListView(options, lvOptions()); }

TDualAnsiString TFormDropDownProperties::EditOption(TListItem* row) {
  TDualAnsiString record;
  auto dialog = std::make_unique<TFormEditOption>(this);
  if (row != nullptr) {
    TStrings* sub = row->SubItems();
    if (editorSlot >= 0)
      for (int k = 1; k < sub->Count() && k - 1 < kLangSlots; ++k) dialog->texts[k - 1] = sub->Strings(k);
    dialog->editedRow = row->Index();
  }
  dialog->designer = &Designer();
  dialog->editorSlot = editorSlot;
  dialog->Tag = row == nullptr ? 1 : 0;
  dialog->listView = lvOptions();
  dialog->edtCaption->SetText(row != nullptr ? row->Caption() : std::string());
  dialog->edtValue->SetText(row != nullptr && row->SubItems()->Count() > 0 ? row->SubItems()->Strings(0) : "");
  dialog->btLang1->SetVisible(editorSlot >= 0);
  if (dialog->ShowModal() != mrOk) return record;
  record.caption = dialog->edtCaption->Text();
  record.value = dialog->edtValue->Text();
  if (editorSlot >= 0) {
    record.texts = dialog->texts;
    record.changed = dialog->changed;
  }
  record.accepted = true;
  return record;
}

void TFormDropDownProperties::UpdateOptionButtons() {
  TListItems* rows = lvOptions()->Items();
  int first = -1, last = -1;
  for (int i = 0; i < rows->Count(); ++i)
    if (rows->Item(i)->Selected()) {
      if (first < 0) first = i;
      last = i;
    }
  Get<TButton>("btnEdit")->SetEnabled(lvOptions()->SelCount() == 1);
  Get<TButton>("btnMoveUp")->SetEnabled(first > 0);
  Get<TButton>("btnMoveDn")->SetEnabled(last >= 0 && last < rows->Count() - 1);
  Get<TButton>("btnDelete")->SetEnabled(first >= 0);
  Get<TButton>("btnDeleteAll")->SetEnabled(rows->Count() > 0);
}

void TFormDropDownProperties::btnAddClick(TObject*) {
  const TDualAnsiString record = EditOption(nullptr);
  if (!record.accepted) return;
  TListItems* rows = lvOptions()->Items();
  int at = -1;
  for (int i = 0; i < rows->Count(); ++i)
    if (rows->Item(i)->Selected()) at = i;
  TListItem* row = at >= 0 ? rows->Insert(at) : rows->Add();
  row->SetCaption(record.caption);
  row->SubItems()->Add(record.value);
  if (editorSlot >= 0)
    for (const std::string& text : record.texts) row->SubItems()->Add(text);
  lvOptions()->Tag = 1;
  UpdateOptionButtons();
}

void TFormDropDownProperties::btnEditClick(TObject*) {
  TListItem* row = lvOptions()->Selected();
  if (row == nullptr) return;
  const TDualAnsiString record = EditOption(row);
  if (!record.accepted) return;
  row->SetCaption(record.caption);
  TStrings* sub = row->SubItems();
  if (sub->Count() > 0) {
    sub->SetStrings(0, record.value);
    if (editorSlot >= 0)
      for (int k = 0; k < kLangSlots; ++k) {
        if (!record.changed[k]) continue;
        while (sub->Count() <= k + 1) sub->Add("");
        sub->SetStrings(k + 1, record.texts[k]);
      }
  } else {
    sub->Add(record.value);
    if (editorSlot >= 0)
      for (const std::string& text : record.texts) sub->Add(text);
  }
  lvOptions()->Tag = 1;
}

void TFormDropDownProperties::btnDeleteClick(TObject*) {
  TListItems* rows = lvOptions()->Items();
  for (int i = rows->Count() - 1; i >= 0; --i)
    if (rows->Item(i)->Selected()) rows->Delete(i);
  lvOptions()->Tag = 1;
  UpdateOptionButtons();
}

void TFormDropDownProperties::btnDeleteAllClick(TObject*) {
  lvOptions()->Items()->Clear();
  lvOptions()->Tag = 1;
  UpdateOptionButtons();
}

void TFormDropDownProperties::btnMoveUpClick(TObject*) {
  MoveSelectedRows(lvOptions(), true);
  lvOptions()->Tag = 1;
  UpdateOptionButtons();
}

void TFormDropDownProperties::btnMoveDnClick(TObject*) {
  MoveSelectedRows(lvOptions(), false);
  lvOptions()->Tag = 1;
  UpdateOptionButtons();
}

void TFormDropDownProperties::lvOptionsDblClick(TObject* sender) {
  if (Get<TButton>("btnEdit")->Enabled()) btnEditClick(sender);
}

void TFormDropDownProperties::lvOptionsSelectItem(TObject*, TListItem*, bool) { UpdateOptionButtons(); }
