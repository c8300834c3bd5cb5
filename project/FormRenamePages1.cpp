#include "project/FormRenamePages1.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "core/UiText.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/SysUtils.h"
#include "project/DialogControls.h"

namespace {

constexpr int kClientWidth = 420;
constexpr int kClientHeight = 400;
constexpr int kGlyphSize = 16;
constexpr int kValidImage = 0;
constexpr int kInvalidImage = 1;

constexpr int kCaptionId = 7290;  // "Rename pages"
constexpr int kOldNameId = 7291;
constexpr int kNewNameId = 7292;
constexpr int kTemplateId = 7293;
constexpr int kOkId = 2005;
constexpr int kCancelId = 2006;

// The token menu: each entry's tag, caption and the text it inserts.
struct TTokenEntry {
  int tag;
  int captionId;
  const char* token;
};
constexpr TTokenEntry kTokens[] = {
    {1, 7294, "[n]"},    {2, 7295, "[nx]"},     {3, 7296, "[n-x]"},      {4, 7297, "[n,x]"},
    {5, 7298, "[n,-x]"}, {6, 7299, "[n,x,y]"},  {7, 7300, "[n,-x,y]"},   {8, 7301, "[c]"},
    {9, 7302, "[c,x]"},  {10, 7303, "[c,x,y]"}, {11, 7304, "[c,x,y,z]"},
};
// The separator stands between the name tokens and the counter tokens.
constexpr int kLastNameTag = 7;

// The state pictures: a green tick for a usable name, a red cross for one
// that is empty or repeated.
void AddStateGlyph(TImageList& list, bool valid) {
  TBitmap glyph;
  glyph.SetSize(kGlyphSize, kGlyphSize);
  glyph.Canvas->Brush->Color = clFuchsia;
  glyph.Canvas->FillRect({0, 0, kGlyphSize, kGlyphSize});
  glyph.Canvas->Pen->Color = valid ? clGreen : clRed;
  for (int thick = 0; thick < 2; ++thick) {
    if (valid) {
      glyph.Canvas->MoveTo(3, 8 + thick);
      glyph.Canvas->LineTo(6, 11 + thick);
      glyph.Canvas->LineTo(13, 4 + thick);
    } else {
      glyph.Canvas->MoveTo(4 + thick, 4);
      glyph.Canvas->LineTo(12 + thick, 12);
      glyph.Canvas->MoveTo(11 + thick, 4);
      glyph.Canvas->LineTo(3 + thick, 12);
    }
  }
  list.AddMasked(&glyph, clFuchsia);
}

}  // namespace

TFormRenamePages1::TFormRenamePages1(TComponent* owner) : TForm(owner) {
  SetName("FormRenamePages1");
  SetBorderStyle(bsSizeable);
  SetPosition(poScreenCenter);
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  SetDialogFont(this);
  Label1 = AddControl<TLabel>(this, this, "Label1", {8, 8, 200, 15});
  edtTransform1 = AddControl<TEdit>(this, this, "edtTransform1", {8, 24, kClientWidth - 48, 23});
  edtTransform1->SetAnchors(akLeft | akTop | akRight);
  btnTokens = AddControl<TButton>(this, this, "_", {kClientWidth - 36, 24, 28, 23});
  btnTokens->SetAnchors(akTop | akRight);
  btnTokens->SetCaption("_");
  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->SetName("PopupMenu1");
  for (const TTokenEntry& entry : kTokens) {
    auto* item = new TMenuItem(PopupMenu1);
    item->Tag = entry.tag;
    item->OnClick = {this, &TFormRenamePages1::PopupClickInsertText};
    PopupMenu1->Items()->Add(item);
    if (entry.tag == kLastNameTag) {
      auto* line = new TMenuItem(PopupMenu1);
      line->SetCaption("-");
      PopupMenu1->Items()->Add(line);
    }
  }
  ImageList1 = new TImageList(this);
  ImageList1->SetName("ImageList1");
  ImageList1->SetSize(kGlyphSize, kGlyphSize);
  AddStateGlyph(*ImageList1, true);
  AddStateGlyph(*ImageList1, false);
  ListView1 = AddControl<TListView>(this, this, "ListView1", {8, 56, kClientWidth - 16, kClientHeight - 100});
  ListView1->SetAnchors(akLeft | akTop | akRight | akBottom);
  ListView1->SetViewStyle(vsReport);
  ListView1->ReadOnly = true;
  ListView1->SetRowSelect(true);
  ListView1->Font()->Name = "Courier New";
  ListView1->Font()->SetSize(8);
  ListView1->SetStateImages(ImageList1);
  for (int column = 0; column < 2; ++column) ListView1->Columns()->Add()->SetWidth((kClientWidth - 40) / 2);
  const int buttonTop = kClientHeight - 35;
  Button1 = AddControl<TButton>(this, this, "Button1", {kClientWidth - 166, buttonTop, 75, 25});
  Button1->ModalResult = mrOk;
  Button1->SetDefault(true);
  Button2 = AddControl<TButton>(this, this, "Button2", {kClientWidth - 83, buttonTop, 75, 25});
  Button2->ModalResult = mrCancel;
  Button2->Cancel = true;
  for (TButton* button : {Button1, Button2}) button->SetAnchors(akRight | akBottom);
  edtTransform1->SetText("[n]");
  edtTransform1->OnChange = {this, &TFormRenamePages1::edtTransform1Change};
  btnTokens->OnMouseUp = {this, &TFormRenamePages1::_MouseUp};
  OnShow = {this, &TFormRenamePages1::FormShow};
  AfterConstruction();
}

void TFormRenamePages1::AddRow(const std::string& oldName) {
  TListItem* row = ListView1->Items()->Add();
  row->SetCaption(oldName);
  row->SubItems()->Add("");
}

std::vector<std::string> TFormRenamePages1::OldNames() const {
  std::vector<std::string> names;
  for (int i = 0; i < ListView1->Items()->Count(); ++i) names.push_back(ListView1->Items()->Item(i)->Caption());
  return names;
}

std::vector<std::string> TFormRenamePages1::NewNames() const {
  std::vector<std::string> names;
  for (int i = 0; i < ListView1->Items()->Count(); ++i)
    names.push_back(ListView1->Items()->Item(i)->SubItems()->Strings(0));
  return names;
}

void TFormRenamePages1::ApplyTemplate() {
  Button1->SetEnabled(true);
  CompileTemplate(edtTransform1->Text());
  std::vector<std::string> earlier;
  bool allValid = true;
  ListView1->Items()->BeginUpdate();
  for (int i = 0; i < ListView1->Items()->Count(); ++i) {
    TListItem* row = ListView1->Items()->Item(i);
    const std::string name = EvaluateTemplate(row->Caption());
    row->SubItems()->SetStrings(0, name);
    const bool repeated = std::any_of(earlier.begin(), earlier.end(),
                                      [&name](const std::string& other) { return SameText(other, name); });
    const bool valid = !name.empty() && !repeated;
    row->SetStateIndex(valid ? kValidImage : kInvalidImage);
    allValid = allValid && valid;
    earlier.push_back(name);
  }
  ListView1->Items()->EndUpdate();
  Button1->SetEnabled(allValid);
}

void TFormRenamePages1::edtTransform1Change(TObject*) { ApplyTemplate(); }

void TFormRenamePages1::FormShow(TObject*) {
  SetCaption(GetUiText(kCaptionId));
  Label1->SetCaption(GetUiText(kTemplateId));
  ListView1->Columns()->Items(0)->SetCaption(GetUiText(kOldNameId));
  ListView1->Columns()->Items(1)->SetCaption(GetUiText(kNewNameId));
  Button1->SetCaption(GetUiText(kOkId));
  Button2->SetCaption(GetUiText(kCancelId));
  for (int i = 0; i < PopupMenu1->Items()->Count(); ++i) {
    TMenuItem* item = PopupMenu1->Items()->Items(i);
    const auto entry = std::find_if(std::begin(kTokens), std::end(kTokens),
                                    [item](const TTokenEntry& token) { return token.tag == item->Tag; });
    if (!item->IsLine() && entry != std::end(kTokens)) item->SetCaption(GetUiText(entry->captionId));
  }
}

void TFormRenamePages1::PopupClickInsertText(TObject* sender) {
  const auto* item = dynamic_cast<TMenuItem*>(sender);
  if (item == nullptr) return;
  for (const TTokenEntry& entry : kTokens)
    if (entry.tag == item->Tag) edtTransform1->SetSelText(entry.token);
}

void TFormRenamePages1::_MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  const TPoint at = Mouse->CursorPos();
  PopupMenu1->Popup(at.x, at.y);
}
