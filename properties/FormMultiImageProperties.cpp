#include "properties/FormMultiImageProperties.h"

#include "core/FileHelpers.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
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

namespace {

using C = TControlClass;
using E = TGridWebElement;

constexpr TComponentRow kRows[] = {
    {C::Label, "Label3", "", 8, 11, 190, 16, 7036, ""},
    {C::Edit, "edtVariable", "", 200, 8, 220, 23, 0, ""},
    {C::Button, "Button3", "", 424, 8, 26, 23, 0, "..."},
    {C::Label, "lblType", "", 200, 34, 220, 16, 0, ""},
    {C::Button, "btnAdd", "", 316, 56, 134, 25, 7022, ""},
    {C::Button, "btnEdit", "", 316, 86, 134, 25, 7174, ""},
    {C::Button, "btnDelete", "", 316, 116, 134, 25, 7023, ""},
    {C::Button, "btnMoveUp", "", 316, 146, 134, 25, 7014, ""},
    {C::Button, "btnMoveDn", "", 316, 176, 134, 25, 7015, ""},
    {C::Label, "lblHint", "", 8, 267, 190, 16, 7264, ""},
    {C::Edit, "edtHint1", "", 200, 264, 220, 23, 0, ""},
    {C::Button, "btLangHint1", "", 424, 264, 26, 23, 0, "..."},
    {C::Label, "lblOff", "", 8, 295, 190, 16, 7142, ""},
    {C::Label, "lblX", "", 200, 295, 12, 16, 0, "X"},
    {C::MyEdit, "ceOffX", "", 214, 292, 50, 23, 0, ""},
    {C::Label, "lblY", "", 274, 295, 12, 16, 0, "Y"},
    {C::MyEdit, "ceOffY", "", 288, 292, 50, 23, 0, ""},
    {C::CheckBox, "cbLink", "", 200, 322, 220, 19, 7058, ""},
    {C::Label, "Label4", "", 8, 349, 190, 16, 7046, ""},
    {C::Edit, "edtLink1", "", 200, 346, 220, 23, 0, ""},
    {C::Button, "AddPage", "", 424, 346, 26, 23, 0, "..."},
    {C::Label, "lblVisibility", "", 8, 377, 190, 16, 7132, ""},
    {C::Edit, "edtVisVar", "", 200, 374, 220, 23, 0, ""},
    {C::Button, "btnVis", "", 424, 374, 26, 23, 0, "..."},
    {C::Label, "lblVisType", "", 200, 400, 220, 16, 0, ""},
    {C::CheckBox, "cbActiveIn0", "", 200, 420, 220, 19, 7134, ""},
    {C::Button, "Button1", "", 524, 450, 80, 25, 2005, ""},
    {C::Button, "Button2", "", 610, 450, 80, 25, 2006, ""},
};

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

TFormMultiImageProperties::TFormMultiImageProperties(TFormDesign1& designer) : TPictureFormBase(designer, kRows, 7173) {
  SetClientWidth(700);
  SetClientHeight(485);
  linkLabel_ = "Label4";
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
  OnActivate = {this, &TFormMultiImageProperties::MultiActivate};
  Get<TButton>("btnAdd")->OnClick = {this, &TFormMultiImageProperties::btnAddClick};
  Get<TButton>("btnEdit")->OnClick = {this, &TFormMultiImageProperties::btnEditClick};
  Get<TButton>("btnDelete")->OnClick = {this, &TFormMultiImageProperties::btnDeleteClick};
  Get<TButton>("btnMoveUp")->OnClick = {this, &TFormMultiImageProperties::btnMoveUp1Click};
  Get<TButton>("btnMoveDn")->OnClick = {this, &TFormMultiImageProperties::btnMoveDn1Click};
  Get<TCheckBox>("cbLink")->OnClick = {this, &TPictureFormBase::cbLinkClick};
  Get<TButton>("AddPage")->OnClick = {this, &TPictureFormBase::AddPageClick};
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
  return ProjectImageLongName(Designer(), name) + "|" + name;
}

bool TFormMultiImageProperties::EntryMissing(int index) const {
  if (index < 0 || index >= List()->Count()) return false;
  const char* path = Designer().GetImagePath(EntryName(List()->Items()->Strings(index)));
  return path == nullptr || !PathExists(path);
}

// The list shows each entry's index and long name; an entry whose picture
// file is missing keeps its name and shows it in red, so that OK does not
// lose it and the user sees which one to replace.
void TFormMultiImageProperties::lbPicturesDrawItem(TWinControl*, int index, TRect rect, TOwnerDrawState state) {
  TCanvas* canvas = List()->Canvas();
  const std::string entry = List()->Items()->Strings(index);
  const bool selected = (state & odSelected) != 0;
  canvas->Brush->Color = selected ? clHighlight : clWindow;
  canvas->FillRect(rect);
  std::string text = std::to_string(index) + " : " + EntryLongName(entry);
  if (EntryMissing(index)) {
    text += " (" + EntryName(entry) + ")";
    canvas->Font->Color = clRed;
  } else {
    canvas->Font->Color = selected ? clHighlightText : clWindowText;
  }
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
