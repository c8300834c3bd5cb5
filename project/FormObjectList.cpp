#include "project/FormObjectList.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/WriteFailureNotice.h"
#include "core/XmlNode.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/ScrollBox.h"
#include "project/DialogControls.h"
#include "project/FormLayersSettings.h"
#include "project/VariableListDialog.h"
#include "properties/DesignerContext.h"

namespace {

constexpr const char* kPlacementSection = "FormObjectList";
constexpr const char* kTopItemKey = "TopItem";
constexpr int kHiddenIcon = 1;
constexpr int kFrozenIcon = 2;
constexpr TColor kFrozenText = 0xFF6600;  // RGB (0, 102, 255)
constexpr TColor kFrozenBack = 0xFFF0D1;  // RGB (209, 240, 255)

// Column headers: a UI text, or a fixed text where the id is 0, and the
// column's width. Together the columns fit in the list beside its vertical
// scroll bar, so that the last one (the layer) does not pass the window edge.
struct TColumnHeader {
  int textId;
  const char* fixed;
  int width;
};
constexpr TColumnHeader kHeaders[TFormObjectList::kColumns] = {
    {7190, "", 48}, {7191, "", 110},      {7036, "", 110}, {7192, "", 70}, {7134, "", 62},
    {7032, "", 62}, {0, "X", 44},         {0, "Y", 44},    {7025, "", 50}, {7024, "", 50},
    {7046, "", 70}, {0, "Tab index", 56}, {7249, "", 100},
};

std::string HeaderText(int column) {
  const TColumnHeader& header = kHeaders[column];
  return header.textId != 0 ? GetUiText(header.textId) : header.fixed;
}

// The designer's object commands of the menu, by the entries' tags.
struct TCommand {
  const char* name;
  int textId;
  TObjectCommand command;
  TShortCut shortCut;
  bool refresh;
};
const TCommand kCommands[] = {
    {"EditBase1", 7110, TObjectCommand::EditBase, 0, true},
    {"EditVisibilityBase1", 7149, TObjectCommand::EditVisibilityBase, 0, true},
    {"VarNameReplace1", 7320, TObjectCommand::VarNameReplace, 0, true},
    {"AutoIndexArray1", 7193, TObjectCommand::AutoIndexArray, 0, true},
    {"Bringtofront1", 7106, TObjectCommand::BringToFront, 0, true},
    {"Sendtoback1", 7107, TObjectCommand::SendToBack, 0, true},
    {"BringForward1", 7108, TObjectCommand::BringForward, scCtrl | 'U', true},
    {"SendBackward1", 7109, TObjectCommand::SendBackward, scCtrl | 'D', true},
    {"Copy1", 2029, TObjectCommand::Copy, scCtrl | 'C', false},
    {"Cut1", 2028, TObjectCommand::Cut, scCtrl | 'X', true},
};

bool HasNoMainVariable(const TGridWebElement& element) {
  switch (element.Kind()) {
    case wkLabel:
    case wkPicture:
    case wkCamera: return true;
    case wkSubmit:
    case wkBlock: return element.GetVariable().empty();
    default: return false;
  }
}

const TGridWebElement::TLayer* LayerOf(const TDesignerContext& designer, const TGridWebElement& element) {
  return element.FLayer >= 0 && element.FLayer < kLayerCount ? &designer.Layer(element.FLayer) : nullptr;
}

int LayerIcon(const TGridWebElement::TLayer* layer) {
  if (layer == nullptr) return -1;
  if (!layer->Visible) return kHiddenIcon;
  return layer->Frozen ? kFrozenIcon : -1;
}

std::string LayerText(const TDesignerContext& designer, int layer) {
  const std::string name = layer >= 0 && layer < kLayerCount ? designer.Layer(layer).Name : std::string();
  return std::to_string(layer + 1) + ". " + name;
}

std::string ColumnText(const TListItem* item, int column) {
  if (column == 0) return item->Caption();
  TStrings* sub = const_cast<TListItem*>(item)->SubItems();
  return column - 1 < sub->Count() ? sub->Strings(column - 1) : std::string();
}

}  // namespace

int NaturalCompare(const std::string& a, const std::string& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() &&
         std::toupper(static_cast<unsigned char>(a[i])) == std::toupper(static_cast<unsigned char>(b[i])))
    ++i;
  if (i == a.size() || i == b.size()) return (i == a.size() ? 0 : 1) - (i == b.size() ? 0 : 1);
  const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
  if (digit(a[i]) && digit(b[i])) {
    std::size_t ea = i, eb = i;
    while (ea < a.size() && digit(a[ea])) ++ea;
    while (eb < b.size() && digit(b[eb])) ++eb;
    if (ea - i != eb - i) return ea - i < eb - i ? -1 : 1;
    return a[i] < b[i] ? -1 : 1;
  }
  const auto weight = [&digit](char c) {
    const int upper = std::toupper(static_cast<unsigned char>(c));
    return digit(c) ? upper + 128 : upper;
  };
  return weight(a[i]) < weight(b[i]) ? -1 : 1;
}

bool TFormObjectList::TNoCase::operator()(const std::string& a, const std::string& b) const {
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    const int ca = std::toupper(static_cast<unsigned char>(a[i]));
    const int cb = std::toupper(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb;
  }
  return a.size() < b.size();
}

TFormObjectList::TFormObjectList(TComponent* owner) : TForm(owner) {
  SetName(kPlacementSection);
  SetPosition(poScreenCenter);
  SetClientWidth(900);
  SetClientHeight(420);
  SetDialogFont(this);
  Panel1 = AddControl<TPanel>(this, this, "Panel1", {0, 380, 900, 40});
  Panel1->SetAlign(alBottom);
  Panel1->SetBevelOuter(bvNone);
  Panel1->SetCaption("");
  Panel1->OnDblClick = {this, &TFormObjectList::Panel1DblClick};
  lblNumberOfObjects = AddControl<TLabel>(this, Panel1, "lblNumberOfObjects", {8, 4, 220, 15});
  lblNumberOfVariables = AddControl<TLabel>(this, Panel1, "lblNumberOfVariables", {8, 21, 260, 15});
  btnLayers = AddControl<TButton>(this, Panel1, "btnLayers", {300, 8, 90, 25});
  btnLayers->OnClick = {this, &TFormObjectList::btnLayersClick};
  Button1 = AddControl<TButton>(this, Panel1, "Button1", {900 - 166, 8, 75, 25});
  Button1->ModalResult = mrOk;
  Button1->SetDefault(true);
  Button1->OnClick = {this, &TFormObjectList::CloseClick};
  Button2 = AddControl<TButton>(this, Panel1, "Button2", {900 - 83, 8, 75, 25});
  Button2->ModalResult = mrCancel;
  Button2->Cancel = true;
  Button2->OnClick = {this, &TFormObjectList::CloseClick};
  for (TButton* button : {Button1, Button2}) button->SetAnchors(akRight | akTop);
  ObjectListView1 = AddControl<TListView>(this, this, "ObjectListView1", {0, 0, 900, 380});
  ObjectListView1->SetAlign(alClient);
  ObjectListView1->SetViewStyle(vsReport);
  ObjectListView1->SetMultiSelect(true);
  ObjectListView1->ReadOnly = true;
  ObjectListView1->SetRowSelect(true);
  ObjectListView1->SetGridLines(true);
  ObjectListView1->SetShowHint(true);
  for (const TColumnHeader& header : kHeaders) ObjectListView1->Columns()->Add()->SetWidth(header.width);
  ObjectListView1->OnSelectItem = {this, &TFormObjectList::ObjectListView1SelectItem};
  ObjectListView1->OnColumnClick = {this, &TFormObjectList::ObjectListView1ColumnClick};
  ObjectListView1->OnCompare = {this, &TFormObjectList::ObjectListView1Compare};
  ObjectListView1->OnAdvancedCustomDrawItem = {this, &TFormObjectList::ObjectListView1AdvancedCustomDrawItem};
  ObjectListView1->OnMouseMove = {this, &TFormObjectList::ObjectListView1MouseMove};
  ObjectListView1->OnDblClick = {this, &TFormObjectList::ObjectListView1DblClick};
  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->SetName("PopupMenu1");
  PopupMenu1->OnPopup = {this, &TFormObjectList::PopupMenu1Popup};
  Properties1 = AddItem("Properties1", &TFormObjectList::ObjectListView1DblClick);
  TMenuItem** fields[] = {&EditBase1,   &EditVisibilityBase1, &VarNameReplace1, &AutoIndexArray1, &Bringtofront1,
                          &Sendtoback1, &BringForward1,       &SendBackward1,   &Copy1,           &Cut1};
  for (int i = 0; i < static_cast<int>(std::size(kCommands)); ++i) {
    if (i == 4 || i == 8) AddItem("", nullptr)->SetCaption("-");
    *fields[i] = AddItem(kCommands[i].name, &TFormObjectList::CommandClick, i);
    (*fields[i])->SetShortCut(kCommands[i].shortCut);
    if (i == 7) {
      AddItem("", nullptr)->SetCaption("-");
      miLayers = AddItem("miLayers", nullptr);
      AddItem("", nullptr)->SetCaption("-");
      Paste1 = AddItem("Paste1", &TFormObjectList::Paste1Click);
      Paste1->SetShortCut(scCtrl | 'V');
    }
  }
  ObjectListView1->SetPopupMenu(PopupMenu1);
  OnActivate = {this, &TFormObjectList::FormActivate};
  OnShow = {this, &TFormObjectList::FormShow};
  OnCloseQuery = {this, &TFormObjectList::FormCloseQuery};
  SetCaptions();
  AfterConstruction();
}

TMenuItem* TFormObjectList::AddItem(const char* name, void (TFormObjectList::*handler)(TObject*), int tag) {
  auto* item = new TMenuItem(this);
  if (*name != '\0') item->SetName(name);
  item->Tag = tag;
  if (handler != nullptr) item->OnClick = {this, handler};
  PopupMenu1->Items()->Add(item);
  return item;
}

void TFormObjectList::SetCaptions() {
  SetCaption(GetUiText(7189));
  Button1->SetCaption(GetUiText(2005));
  Button2->SetCaption(GetUiText(2006));
  btnLayers->SetCaption(GetUiText(7248));
  Properties1->SetCaption(GetUiText(7016));
  miLayers->SetCaption(GetUiText(7249));
  Paste1->SetCaption(GetUiText(2030));
  for (int i = 0; i < static_cast<int>(std::size(kCommands)); ++i)
    static_cast<TMenuItem*>(FindComponent(kCommands[i].name))->SetCaption(GetUiText(kCommands[i].textId));
  for (int c = 0; c < kColumns; ++c) ObjectListView1->Columns()->Items(c)->SetCaption(HeaderText(c));
}

void TFormObjectList::FormActivate(TObject*) {
  SetCaptions();
  ObjectListView1->SetWidth(1);
}

void TFormObjectList::FormShow(TObject*) {
  ReadVariableDialogPlacement(kPlacementSection, *this, Designer);
  const std::string file = DialogSettingsFile(Designer);
  const int count = ObjectListView1->Items()->Count();
  if (file.empty() || count == 0) return;
  try {
    const int top = TIniFile(file).ReadInteger(kPlacementSection, kTopItemKey, 0);
    ObjectListView1->SetTopIndex(std::clamp(top, 0, count - 1));
  } catch (const EIniFileException& e) {
    WriteTraceLog("FormObjectList FormShow - " + e.Message());
  }
}

void TFormObjectList::FormCloseQuery(TObject*, bool&) {
  WriteVariableDialogPlacement(kPlacementSection, *this, Designer);
  const std::string file = DialogSettingsFile(Designer);
  if (file.empty()) return;
  WriteSettings([&] { TIniFile(file).WriteInteger(kPlacementSection, kTopItemKey, ObjectListView1->TopIndex()); });
}

void TFormObjectList::RefreshObjectList() {
  if (Designer == nullptr) return;
  updating_ = true;
  ObjectCount = 0;
  counted_.clear();
  all_.clear();
  if (TmyXmlNode* root = Designer->ProjectRoot()) {
    if (TmyXmlNode* alarms = root->FindDeep("alarms")) {
      for (TmyXmlNode* alarm = alarms->firstChild; alarm != nullptr; alarm = alarm->next) {
        if (alarm->name != "alarm" || alarm->GetAttr("var").empty()) continue;
        counted_.insert(alarm->GetAttr("var"));
        all_.insert(alarm->GetAttr("var"));
      }
    }
  }
  TListItems& items = *ObjectListView1->Items();
  const int remembered = items.Count() == 0 ? 0 : ObjectListView1->TopIndex() + ObjectListView1->VisibleRowCount() - 1;
  items.BeginUpdate();
  items.Clear();
  int number = 0;
  for (TGridWebElement* element : Designer->PageObjects()) AddRow(*element, ++number);
  lblNumberOfObjects->SetCaption(GetUiText(7206) + " " + std::to_string(ObjectCount));
  std::string variables = GetUiText(7207) + " " + std::to_string(counted_.size());
  if (counted_.size() != all_.size()) variables += " (" + std::to_string(all_.size()) + ")";
  lblNumberOfVariables->SetCaption(variables);
  items.EndUpdate();
  if (items.Count() > 0) items.Item(std::min(remembered, items.Count() - 1))->MakeVisible();
  ObjectListView1->AlphaSort();
  updating_ = false;
}

void TFormObjectList::AddRow(TGridWebElement& element, int number) {
  TListItem* item = ObjectListView1->Items()->Add();
  item->SetCaption(std::to_string(number));
  item->Data = &element;
  const std::string variable = element.GetResolvedVariable();
  const std::string visibility = element.GetResolvedVisVariable();
  TStrings& sub = *item->SubItems();
  sub.Add(element.GetKindCaption());
  sub.Add(HasNoMainVariable(element) ? "-" : variable);
  sub.Add(visibility);
  sub.Add(element.FVisNeg ? "*" : "");
  sub.Add(std::to_string(element.FLevel));
  sub.Add(std::to_string(element.GetPosition().x - 1));
  sub.Add(std::to_string(element.GetPosition().y - 1));
  sub.Add(std::to_string(element.Width()));
  sub.Add(std::to_string(element.Height()));
  sub.Add(element.FHref);
  sub.Add(element.FTabIndex >= 0 ? std::to_string(element.FTabIndex) : "");
  sub.Add(LayerText(*Designer, element.FLayer));
  if (!variable.empty()) {
    all_.insert(variable);
    const bool countable = element.Kind() != wkImageBtn && (element.Kind() != wkBlock || element.FDynamic);
    if (countable) counted_.insert(variable);
  }
  if (!visibility.empty()) {
    all_.insert(visibility);
    counted_.insert(visibility);
  }
  item->SetImageIndex(LayerIcon(LayerOf(*Designer, element)));
  if (element.Selected() && element.CanSelect()) item->SetSelected(true);
  ++ObjectCount;
}

std::string TFormObjectList::RowsText() const {
  std::string text;
  TListItems& items = *ObjectListView1->Items();
  for (int i = 0; i < items.Count(); ++i) {
    text += items.Item(i)->Caption();
    TStrings& sub = *items.Item(i)->SubItems();
    for (int c = 0; c < sub.Count(); ++c) text += "\t" + sub.Strings(c);
    text += "\r\n";
  }
  return text;
}

void TFormObjectList::ObjectListView1SelectItem(TObject*, TListItem* item, bool selected) {
  if (updating_ || reselecting_ || item == nullptr || item->Data == nullptr) return;
  auto* element = static_cast<TGridWebElement*>(item->Data);
  if (!selected) {
    element->DeselectRepaint();
    return;
  }
  if (element->CanSelect()) {
    element->Select();
    return;
  }
  reselecting_ = true;
  item->SetSelected(false);
  reselecting_ = false;
}

void TFormObjectList::ObjectListView1ColumnClick(TObject*, TListColumn* column) {
  ObjectListView1->Tag = column->Index();
  ObjectListView1->AlphaSort();
}

void TFormObjectList::ObjectListView1Compare(TObject*, TListItem* item1, TListItem* item2, int, int& compare) {
  const int column = ObjectListView1->Tag;
  compare = NaturalCompare(ColumnText(item1, column), ColumnText(item2, column));
}

void TFormObjectList::ObjectListView1AdvancedCustomDrawItem(TListView* sender, TListItem* item, TCustomDrawState,
                                                            TCustomDrawStage stage, bool&) {
  TCanvas& canvas = *sender->Canvas();
  const auto* element = static_cast<const TGridWebElement*>(item->Data);
  const TGridWebElement::TLayer* layer = element != nullptr ? LayerOf(*Designer, *element) : nullptr;
  canvas.Brush->Color = clWindow;
  canvas.Font->Color = clWindowText;
  if (stage != cdPrePaint) return;  // after the row: the plain colours again
  if (layer != nullptr && !layer->Visible) {
    canvas.Brush->Color = clBtnFace;
    canvas.Font->Color = clGrayText;
  } else if (layer != nullptr && layer->Frozen) {
    canvas.Brush->Color = kFrozenBack;
    canvas.Font->Color = kFrozenText;
  }
}

void TFormObjectList::ObjectListView1MouseMove(TObject*, TShiftState, int x, int) {
  int right = 0;
  for (int c = 0; c < ObjectListView1->Columns()->Count(); ++c) {
    right += ObjectListView1->Columns()->Items(c)->Width();
    if (x < right) {
      ObjectListView1->Hint = HeaderText(c);
      return;
    }
  }
}

void TFormObjectList::ObjectListView1DblClick(TObject*) {
  TListItem* item = ObjectListView1->Selected();
  if (item == nullptr || item->Data == nullptr) return;
  auto* element = static_cast<TGridWebElement*>(item->Data);
  if (element->OnDblClick) element->OnDblClick(element);
  element->FIgnoreMouseDown = false;
  RefreshObjectList();
}

void TFormObjectList::CommandClick(TObject* sender) {
  const auto* item = dynamic_cast<TMenuItem*>(sender);
  if (item == nullptr || Designer == nullptr || item->Tag < 0 || item->Tag >= static_cast<int>(std::size(kCommands)))
    return;
  const TCommand& command = kCommands[item->Tag];
  Designer->RunObjectCommand(command.command);
  if (command.refresh) RefreshObjectList();
}

void TFormObjectList::Paste1Click(TObject*) {
  if (Designer == nullptr) return;
  const std::string text = Clipboard()->AsText();
  if (text.find("<page") != std::string::npos) return;
  Designer->PasteObjectsDirect(text);
  RefreshObjectList();
}

void TFormObjectList::PopupMenu1Popup(TObject*) {
  if (Designer == nullptr) return;
  miLayers->Clear();
  for (int layer = 0; layer < kLayerCount; ++layer) {
    auto* item = new TMenuItem(this);
    item->SetCaption(LayerText(*Designer, layer));
    item->Tag = layer;
    item->ImageIndex = LayerIcon(&Designer->Layer(layer));
    item->OnClick = {this, &TFormObjectList::LayerClick};
    miLayers->Add(item);
  }
}

void TFormObjectList::LayerClick(TObject* sender) {
  const auto* item = dynamic_cast<TMenuItem*>(sender);
  if (item == nullptr || Designer == nullptr) return;
  // Unlike the designer's own layer menu, the list's move records no undo
  // step; the project is marked modified so that the move is saved.
  for (TGridWebElement* element : Designer->PageObjects()) {
    if (!element->Selected() || !element->CanSelect()) continue;
    element->FLayer = item->Tag;
    if (!element->CanSelect()) element->DeselectRepaint();
  }
  Designer->SetModified();
  RefreshObjectList();
}

void TFormObjectList::btnLayersClick(TObject*) {
  if (Designer == nullptr) return;
  auto dialog = std::make_unique<TFormLayersSettings>(this);
  dialog->Designer = Designer;
  dialog->LoadLayers();
  if (dialog->ShowModal() == mrOk) Designer->SetModified();
  dialog.reset();
  for (TGridWebElement* element : Designer->PageObjects())
    if (!element->CanSelect()) element->DeselectRepaint();
  Designer->DesignSurface()->Repaint();
  RefreshObjectList();
}

void TFormObjectList::Panel1DblClick(TObject*) { Clipboard()->SetAsText(RowsText()); }

void TFormObjectList::CloseClick(TObject*) { updating_ = true; }
