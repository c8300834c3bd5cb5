#include "properties/FormCanvasImages.h"

#include "core/ProjectLocation.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/WriteFailureNotice.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/SysUtils.h"
#include "platform/vcl/ToolBar.h"
#include "properties/DesignerContext.h"
#include "properties/FormCanvasProperties.h"

namespace {

constexpr const char* kSection = "FormImageList1";
constexpr int kAddImage = 8;
constexpr int kRemoveImage = 9;

// The two state pictures: 0 the project has the image (a green dot), 1 it
// lacks it (a red square).
void AddStatePicture(TImageList& list, TColor colour, bool square) {
  TBitmap bitmap;
  bitmap.SetSize(16, 16);
  bitmap.Canvas->Brush->Color = clWhite;
  bitmap.Canvas->FillRect({0, 0, 16, 16});
  bitmap.Canvas->Brush->Color = colour;
  if (square)
    bitmap.Canvas->FillRect({3, 3, 13, 13});
  else
    bitmap.Canvas->Ellipse(4, 4, 12, 12);
  list.AddMasked(&bitmap, clWhite);
}

// A name's caption (up to its last ".") and its extension (the rest).
std::pair<std::string, std::string> SplitName(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return {name, ""};
  return {name.substr(0, dot), name.substr(dot)};
}

}  // namespace

// The list is found by either column: the long name is its key, and a list
// read from the `images` element keyed by short name holds it as the value.
bool ProjectHasImage(TDesignerContext& designer, const std::string& longName) {
  const TStringDualList& images = designer.GlobalWebData().Images;
  if (images.IndexOf(longName) >= 0) return true;
  for (int i = 0; i < images.Count(); ++i)
    if (SameText(images.GetValue(i), longName)) return true;
  return false;
}

TFormImageList1::TFormImageList1(TComponent* owner) : TForm(owner) {
  Font()->Name = "Segoe UI";
  Font()->SetSize(9);
  SetBorderStyle(bsSizeable);
  SetPosition(poOwnerFormCenter);
  SetClientWidth(360);
  SetClientHeight(300);
  ilStates = new TImageList(this);
  ilStates->SetName("ilStates");
  AddStatePicture(*ilStates, clGreen, false);
  AddStatePicture(*ilStates, clRed, true);
  ToolBar1 = new TToolBar(this);
  ToolBar1->SetName("ToolBar1");
  ToolBar1->SetParent(this);
  ToolBar1->SetAlign(alTop);
  tbAdd = new TToolButton(this);
  tbAdd->SetName("tbAdd");
  tbAdd->SetParent(ToolBar1);
  tbAdd->SetImageIndex(kAddImage);
  tbRemove = new TToolButton(this);
  tbRemove->SetName("tbRemove");
  tbRemove->SetParent(ToolBar1);
  tbRemove->SetImageIndex(kRemoveImage);
  tbRemove->SetEnabled(false);
  Panel = new TPanel(this);
  Panel->SetName("Panel");
  Panel->SetParent(this);
  Panel->SetAlign(alBottom);
  Panel->SetHeight(40);
  Panel->SetCaption("");
  btnOk = new TButton(this);
  btnOk->SetName("btnOk");
  btnOk->SetParent(Panel);
  btnOk->SetBounds(184, 8, 80, 25);
  btnOk->ModalResult = mrOk;
  btnOk->SetDefault(true);
  btnCancel = new TButton(this);
  btnCancel->SetName("btnCancel");
  btnCancel->SetParent(Panel);
  btnCancel->SetBounds(272, 8, 80, 25);
  btnCancel->ModalResult = mrCancel;
  btnCancel->Cancel = true;
  ListView1 = new TListView(this);
  ListView1->SetName("ListView1");
  ListView1->SetParent(this);
  ListView1->SetAlign(alClient);
  ListView1->SetViewStyle(vsReport);
  ListView1->SetShowColumnHeaders(false);
  ListView1->SetGridLines(true);
  ListView1->SetMultiSelect(true);
  ListView1->SetHideSelection(false);
  ListView1->SetStateImages(ilStates);
  ListView1->Columns()->Add()->SetWidth(220);
  ListView1->Columns()->Add()->SetWidth(100);

  tbAdd->Hint = GetUiText(7021);
  tbRemove->Hint = GetUiText(7023);
  btnOk->SetCaption(GetUiText(2005));
  btnCancel->SetCaption(GetUiText(2006));
  SetCaption(GetUiText(7281));

  tbAdd->OnClick = {this, &TFormImageList1::tbAddClick};
  tbRemove->OnClick = {this, &TFormImageList1::tbRemoveClick};
  ListView1->OnChange = {this, &TFormImageList1::ListView1Change};
  btnOk->OnClick = {this, &TFormImageList1::btnOkClick};
  OnShow = {this, &TFormImageList1::FormShow};
  OnClose = {this, &TFormImageList1::FormClose};
  pickImages = [this](const std::string& current) -> std::unique_ptr<TStringList> {
    return designer != nullptr ? designer->PickImages(current, true) : nullptr;
  };
}

TFormImageList1::~TFormImageList1() = default;

void TFormImageList1::AddRow(const std::string& name) {
  const auto [caption, extension] = SplitName(name);
  TListItem* item = ListView1->Items()->Add();
  item->SetCaption(caption);
  item->SubItems()->Add(extension);
}

std::string TFormImageList1::RowName(int index) const {
  TListItem* item = ListView1->Items()->Item(index);
  return item->Caption() + (item->SubItems()->Count() > 0 ? item->SubItems()->Strings(0) : std::string());
}

void TFormImageList1::LoadImages() {
  if (designer != nullptr) ToolBar1->SetImages(designer->ToolImages());
  ListView1->Items()->Clear();
  if (canvasForm != nullptr) {
    const TStringList& names = canvasForm->ImageNames();
    for (int i = 0; i < names.Count(); ++i) AddRow(names[i]);
  }
  MarkMissing();
}

void TFormImageList1::MarkMissing() {
  for (int i = 0; i < ListView1->Items()->Count(); ++i) {
    const bool known = designer != nullptr && ProjectHasImage(*designer, RowName(i));
    ListView1->Items()->Item(i)->SetStateIndex(known ? 0 : 1);
  }
}

void TFormImageList1::tbAddClick(TObject*) {
  TListItem* selected = ListView1->Selected();
  std::unique_ptr<TStringList> chosen = pickImages(selected != nullptr ? selected->Caption() : std::string());
  if (chosen != nullptr) {
    if (chosen->Count() > 0) Tag = 1;
    for (int i = 0; i < chosen->Count(); ++i) {
      bool present = false;
      for (int row = 0; row < ListView1->Items()->Count() && !present; ++row) present = RowName(row) == (*chosen)[i];
      if (!present) AddRow((*chosen)[i]);
    }
  }
  MarkMissing();
}

void TFormImageList1::tbRemoveClick(TObject*) {
  for (int row = ListView1->Items()->Count() - 1; row >= 0; --row)
    if (ListView1->Items()->Item(row)->Selected()) ListView1->Items()->Delete(row);
  Tag = 1;
  tbRemove->SetEnabled(ListView1->SelCount() > 0);
}

void TFormImageList1::ListView1Change(TObject*, TListItem*, TItemChange) {
  tbRemove->SetEnabled(ListView1->SelCount() > 0);
}

void TFormImageList1::btnOkClick(TObject*) {
  if (canvasForm == nullptr) return;
  TStringList& names = canvasForm->ImageNames();
  names.Clear();
  for (int row = 0; row < ListView1->Items()->Count(); ++row) names.Add(RowName(row));
  if (Tag != 0) canvasForm->Tag = 1;
}

std::string TFormImageList1::SettingsFile() const {
  if (designer == nullptr) return {};
  const std::string file = LoadFileNames(designer->ProjectLocation()).settingsFile;
  WriteTraceLog(file);
  return file;
}

void TFormImageList1::FormShow(TObject*) {
  const std::string file = SettingsFile();
  if (file.empty()) return;
  TIniFile ini(file);
  SetHeight(ini.ReadInteger(kSection, "Height", Height()));
  SetWidth(ini.ReadInteger(kSection, "Width", Width()));
}

void TFormImageList1::FormClose(TObject*, TCloseAction&) {
  const std::string file = SettingsFile();
  if (file.empty()) return;
  WriteSettings([&] {
    TIniFile(file).WriteStrings(kSection, {{"Height", std::to_string(Height())}, {"Width", std::to_string(Width())}});
  });
}
