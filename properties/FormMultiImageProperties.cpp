#include "properties/FormMultiImageProperties.h"

#include <utility>
#include <vector>
#include "core/FileHelpers.h"
#include "core/UiText.h"
#include "core/XmlNode.h"

#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/PageControl.h"
#include "properties/CommonBindings.h"
#include "properties/DesignerContext.h"
#include "properties/PageLinkPicker.h"
#include "properties/PictureRows.h"

namespace {

using C = TControlClass;
using E = TGridWebElement;

std::span<const TComponentRow> Rows() {
  static const std::vector<TComponentRow> rows = [] {
    using B = TRowBlock;
    std::vector<TComponentRow> r;
    AppendRows(r, B::Variable, 8);
    int top = 56;
    for (auto [name, id] : {std::pair{"btnAdd", 7022},
                            {"btnEdit", 7174},
                            {"btnDelete", 7023},
                            {"btnMoveUp", 7014},
                            {"btnMoveDn", 7015}}) {
      r.push_back({C::Button, name, "", 316, top, 134, 25, id, ""});
      top += 30;
    }
    AppendRows(r, B::Hint, 264);
    AppendRows(r, B::Position, 292);
    AppendRows(r, B::Link, 322, "Label4");
    AppendRows(r, B::Visibility, 374);
    AppendRows(r, B::OkCancel, 450);
    return r;
  }();
  return rows;
}

TListBox* ListOf(TPropertyForm& f) { return f.Get<TListBox>("lbPictures"); }

// The first object fills the list; a further one with another list
// empties it (mixed).
void FillList(TPropertyForm& f, E& e, bool first) {
  auto& form = dynamic_cast<TFormMultiImageProperties&>(f);
  TStrings* items = ListOf(f)->Items();
  if (first) {
    items->Clear();
    for (int i = 0; i < e.GetImageCount(); ++i) items->Add(form.MakeEntry(e.GetImageName(i)));
    return;
  }
  if (items->Count() == 0) return;
  bool same = items->Count() == e.GetImageCount();
  for (int i = 0; same && i < items->Count(); ++i)
    same = TFormMultiImageProperties::EntryName(items->Strings(i)) == e.GetImageName(i);
  if (!same) items->Clear();
}

void WriteList(TPropertyForm& f, E& e) {
  TStrings* items = ListOf(f)->Items();
  e.ClearImages();
  for (int i = 0; i < items->Count(); ++i) e.AddImage(TFormMultiImageProperties::EntryName(items->Strings(i)), true);
}

std::vector<TPropertyBinding> MakeBindings() {
  using R = TCommonRow;
  return Joined(CommonBindings({R::Variable}),
                {{{.control = "lbPictures", .kind = TBindKind::Custom, .fill = FillList, .write = WriteList}},
                 CommonBindings({R::Hint, R::PosX, R::PosY}),
                 LinkBindings(),
                 CommonBindings({R::VisVariable, R::VisNeg}),
                 {{.control = "hint", .kind = TBindKind::LangSlots}}});
}

}  // namespace

TFormMultiImageProperties::TFormMultiImageProperties(TDesignerContext& designer)
    : TPictureFormBase(designer, Rows(), 7173) {
  SetClientWidth(700);
  SetClientHeight(485);
  auto* list = new TListBox(this);
  list->SetName("lbPictures");
  list->SetParent(this);
  list->SetBounds(8, 56, 300, 200);
  list->SetStyle(lbOwnerDrawFixed);
  list->SetItemHeight(18);
  list->OnClick = {this, &TFormMultiImageProperties::lbPicturesClick};
  list->OnDrawItem = {this, &TFormMultiImageProperties::lbPicturesDrawItem};
  BuildPreviewPages(460, 8, 230, 300, {{"1", 7036, " = 0", false}});
  Get<TImage>("Image1")->OnClick = {this, &TFormMultiImageProperties::Image1Click};
  langTexts = {{.attr = "hint", .edit = "edtHint1", .button = "btLangHint1"}};
  WireCommonHandlers();
  WirePictureHandlers("Label4");
  OnActivate = {this, &TFormMultiImageProperties::MultiActivate};
  Get<TButton>("btnAdd")->OnClick = {this, &TFormMultiImageProperties::btnAddClick};
  Get<TButton>("btnEdit")->OnClick = {this, &TFormMultiImageProperties::btnEditClick};
  Get<TButton>("btnDelete")->OnClick = {this, &TFormMultiImageProperties::btnDeleteClick};
  Get<TButton>("btnMoveUp")->OnClick = {this, &TFormMultiImageProperties::btnMoveUp1Click};
  Get<TButton>("btnMoveDn")->OnClick = {this, &TFormMultiImageProperties::btnMoveDn1Click};
  lbPicturesClick(nullptr);
}

std::span<const TPropertyBinding> TFormMultiImageProperties::Bindings() const {
  static const std::vector<TPropertyBinding> bindings = MakeBindings();
  return bindings;
}

bool TFormMultiImageProperties::TakesKind(int kind) const { return kind == wkMultiImage; }
int TFormMultiImageProperties::TemplateSlot(const TGridWebElement&) const { return 12; }

TListBox* TFormMultiImageProperties::List() const { return Get<TListBox>("lbPictures"); }

std::string TFormMultiImageProperties::EntryName(const std::string& entry) {
  const auto bar = entry.find('|');
  return bar == std::string::npos ? std::string() : entry.substr(bar + 1);
}

std::string TFormMultiImageProperties::EntryLongName(const std::string& entry) {
  return entry.substr(0, entry.find('|'));
}

std::string TFormMultiImageProperties::MakeEntry(const std::string& name) const {
  const TmyXmlNode* image = Designer().FindImageNode(name);
  return (image != nullptr ? image->GetAttr("longname") : std::string()) + "|" + name;
}

bool TFormMultiImageProperties::EntryMissing(int index) const {
  if (index < 0 || index >= List()->Count()) return false;
  const char* path = Designer().GetImagePath(EntryName(List()->Items()->Strings(index)));
  return path == nullptr || !PathExists(path);
}

// The list shows each entry's index and long name; an entry whose picture
// file is missing keeps its name and shows it after the long name (in red
// unless selected), so that OK does not lose it and the user sees which one
// to replace.
void TFormMultiImageProperties::lbPicturesDrawItem(TWinControl*, int index, TRect rect, TOwnerDrawState state) {
  TCanvas* canvas = List()->Canvas();
  const std::string entry = List()->Items()->Strings(index);
  const bool selected = (state & odSelected) != 0;
  canvas->Brush->Color = selected ? clHighlight : clWindow;
  canvas->FillRect(rect);
  std::string text = std::to_string(index) + " : " + EntryLongName(entry);
  const bool missing = EntryMissing(index);
  if (missing) text += " (" + EntryName(entry) + ")";
  canvas->Font->Color = selected ? clHighlightText : (missing ? clRed : clWindowText);
  canvas->TextOut(rect.Left + 2, rect.Top + 1, text);
}

void TFormMultiImageProperties::AfterFill() {
  TPictureFormBase::AfterFill();
  if (List()->Count() > 0) List()->SetItemIndex(0);
  lbPicturesClick(nullptr);
}

void TFormMultiImageProperties::MultiActivate(TObject* sender) {
  FormActivate(sender);
  Get<TTabSheet>("TabSheet1")->SetText(GetUiText(7036) + " = 0");
  lbPicturesClick(nullptr);
}

// Selecting shows the entry; a missing picture file only empties the
// preview: the entry and its name stay, and the list is not changed.
void TFormMultiImageProperties::lbPicturesClick(TObject*) {
  TListBox* list = List();
  const int sel = list->ItemIndex();
  auto* image = Get<TImage>("Image1");
  auto* tab = Get<TTabSheet>("TabSheet1");
  if (sel < 0) {
    tab->SetText(GetUiText(7036) + " = ?");
    selectedName_.clear();
    ClearPreview(image);
  } else {
    selectedName_ = EntryName(list->Items()->Strings(sel));
    tab->SetText(GetUiText(7036) + " = " + std::to_string(sel));
    ShowImage(image, selectedName_);
  }
  Get<TButton>("btnEdit")->SetEnabled(sel >= 0);
  Get<TButton>("btnDelete")->SetEnabled(sel >= 0);
  Get<TButton>("btnMoveUp")->SetEnabled(sel > 0);
  Get<TButton>("btnMoveDn")->SetEnabled(sel >= 0 && sel < list->Count() - 1);
  list->Invalidate();
}

void TFormMultiImageProperties::btnAddClick(TObject*) {
  Get<TImage>("Image1")->Tag = 1;
  Image1Click(nullptr);
}

void TFormMultiImageProperties::btnEditClick(TObject*) {
  Get<TImage>("Image1")->Tag = 0;
  Image1Click(nullptr);
}

void TFormMultiImageProperties::Image1Click(TObject*) {
  auto* image = Get<TImage>("Image1");
  const bool add = image->Tag == 1;
  image->Tag = 0;
  TmyXmlNode* chosen = PickProjectImage(Designer(), selectedName_);
  if (chosen == nullptr) return;
  const std::string entry = chosen->GetAttr("longname") + "|" + chosen->GetAttr("name");
  TListBox* list = List();
  const int sel = list->ItemIndex();
  if (add) {
    list->Items()->Insert(sel + 1, entry);
    list->SetItemIndex(sel + 1);
  } else if (sel >= 0) {
    list->Items()->SetStrings(sel, entry);
    list->SetItemIndex(sel);
  } else {
    // Nothing selected to replace: a mixed (emptied) list must not be
    // written over every object.
    return;
  }
  lbPicturesClick(nullptr);
  Flag("lbPictures");
}

void TFormMultiImageProperties::btnDeleteClick(TObject*) {
  TListBox* list = List();
  const int sel = list->ItemIndex();
  if (sel < 0) return;
  ClearPreview(Get<TImage>("Image1"));
  list->Items()->Delete(sel);
  const int next = sel > 0 ? sel - 1 : (list->Count() > 0 ? 0 : -1);
  list->SetItemIndex(next);
  lbPicturesClick(nullptr);
  Flag("lbPictures");
}

void TFormMultiImageProperties::Move(int delta) {
  TListBox* list = List();
  const int sel = list->ItemIndex();
  const int to = sel + delta;
  if (sel < 0 || to < 0 || to >= list->Count()) return;
  list->Items()->Exchange(sel, to);
  list->SetItemIndex(to);
  lbPicturesClick(nullptr);
  Flag("lbPictures");
}

void TFormMultiImageProperties::btnMoveUp1Click(TObject*) { Move(-1); }
void TFormMultiImageProperties::btnMoveDn1Click(TObject*) { Move(1); }
