// TFormStatus1: its components made from one table that reads like the
// window's stored layout, the labels from the UI texts, and the help key.

#include "generator/FormStatus1.h"

#include <algorithm>

#include "core/HelpLink.h"
#include "core/UiText.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Panel.h"
#include "platform/win/WindowMessages.h"

namespace {

// The window's caption is fixed: it is not translated.
constexpr const char* kCaption = "Tarnwell status";
constexpr const char* kHelpBaseName = "Tarnwell";
constexpr const char* kFontName = "Segoe UI";
constexpr int kFontSize = 9;
constexpr int kClientWidth = 439;
constexpr int kClientHeight = 126;
constexpr int kMinWidth = 455;
constexpr int kMinHeight = 162;
// The button's caption "OK".
constexpr int kTextOk = 2005;
// Where the output and state values start, at least, and the room before
// them after their row's label.
constexpr int kStatusValueLeft = 85;
constexpr int kStatusValueGap = 12;

struct TBounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

enum class TRowKind {
  kButton,  // Button1
  kFrame,   // a panel that holds others
  kRow,     // a lowered row whose caption is its label
  kValue,   // the borderless panel inside a row that shows the value
};

enum TRowLook : unsigned {
  kPlain = 0,
  kNoBevel = 1,     // the outer bevel is none
  kStateFont = 2,   // bold green: the state turns it red on errors
  kRightAlign = 4,  // the value stands at the right
};

struct TComponentRow {
  TRowKind kind;
  TPanel* TFormStatus1::*panel;  // null for the button
  const char* name;
  const char* parent;  // "" for the form
  TBounds bounds;
  TAlign align;
  int textId;  // the label set by FormActivate; 0 none
  unsigned look;
};

using F = TFormStatus1;

// Parents come before their children.
const TComponentRow kLayout[] = {
    {TRowKind::kFrame, &F::Panel1, "Panel1", "", {0, 93, 439, 33}, alBottom, 0, kNoBevel},
    {TRowKind::kButton, nullptr, "Button1", "Panel1", {179, 4, 75, 25}, alNone, kTextOk, kPlain},
    {TRowKind::kFrame, &F::MainPanel, "MainPanel", "", {5, 5, 428, 84}, alNone, 0, kPlain},
    {TRowKind::kRow, &F::pnlOutput, "pnlOutput", "MainPanel", {7, 8, 410, 22}, alNone, 7063, kPlain},
    {TRowKind::kValue, &F::pnlPath, "pnlPath", "pnlOutput", {kStatusValueLeft, 1, 321, 20}, alNone, 0, kNoBevel},
    {TRowKind::kRow, &F::pnlGenerated, "pnlGenerated", "MainPanel", {7, 32, 410, 22}, alNone, 7064, kStateFont},
    {TRowKind::kValue,
     &F::pnlStatus,
     "pnlStatus",
     "pnlGenerated",
     {kStatusValueLeft, 1, 321, 20},
     alNone,
     0,
     kNoBevel | kStateFont},
    {TRowKind::kRow, &F::pnlFiles, "pnlFiles", "MainPanel", {7, 56, 163, 22}, alNone, 7065, kPlain},
    {TRowKind::kValue, &F::pnlFileNum, "pnlFileNum", "pnlFiles", {88, 1, 60, 20}, alNone, 0, kNoBevel | kRightAlign},
    {TRowKind::kRow, &F::pnlImages, "pnlImages", "MainPanel", {180, 56, 161, 22}, alNone, 7066, kPlain},
    {TRowKind::kValue, &F::pnlImgNum, "pnlImgNum", "pnlImages", {88, 1, 60, 20}, alNone, 0, kNoBevel | kRightAlign},
};

TAlignment AlignmentOf(const TComponentRow& row) {
  if (row.kind == TRowKind::kFrame) return taCenter;
  return (row.look & kRightAlign) != 0 ? taRightJustify : taLeftJustify;
}

void StylePanel(TPanel& panel, const TComponentRow& row) {
  if ((row.look & kNoBevel) != 0) panel.SetBevelOuter(bvNone);
  if (row.kind == TRowKind::kRow) panel.SetBevelOuter(bvLowered);
  panel.SetAlignment(AlignmentOf(row));
  // The value panels show only their values: no caption of their own.
  panel.SetCaption("");
  if ((row.look & kStateFont) != 0) {
    panel.Font()->Style = fsBold;
    panel.Font()->Color = clGreen;
  }
}

}  // namespace

TFormStatus1::TFormStatus1(TComponent* AOwner) : TForm(AOwner) {
  SetCaption(kCaption);
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu);
  SetPosition(poMainFormCenter);
  Scaled = false;
  Font()->Name = kFontName;
  Font()->SetSize(kFontSize);
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  Constraints.MinWidth = kMinWidth;
  Constraints.MinHeight = kMinHeight;
  CreateComponents();
  OnActivate = {this, &TFormStatus1::FormActivate};
  AfterConstruction();
}

void TFormStatus1::CreateComponents() {
  for (const TComponentRow& row : kLayout) {
    TControl* control = nullptr;
    if (row.kind == TRowKind::kButton) {
      Button1 = new TButton(this);
      Button1->SetDefault(true);
      Button1->Cancel = true;
      Button1->ModalResult = mrOk;
      Button1->SetAnchors(akRight | akBottom);
      control = Button1;
    } else {
      auto* panel = new TPanel(this);
      this->*row.panel = panel;
      control = panel;
    }
    control->SetName(row.name);
    control->SetBounds(row.bounds.left, row.bounds.top, row.bounds.width, row.bounds.height);
    control->SetAlign(row.align);
    if (auto* panel = dynamic_cast<TPanel*>(control)) StylePanel(*panel, row);
    TComponent* parent = row.parent[0] != '\0' ? FindComponent(row.parent) : this;
    control->SetParent(dynamic_cast<TWinControl*>(parent));
  }
}

void TFormStatus1::FormActivate(TObject*) {
  for (const TComponentRow& row : kLayout) {
    if (row.textId == 0) continue;
    if (row.kind == TRowKind::kButton)
      Button1->SetCaption(GetUiText(row.textId));
    else
      (this->*row.panel)->SetCaption(GetUiText(row.textId));
  }
  PlaceValuePanels();
}

void TFormStatus1::PlaceValuePanels() {
  int left = kStatusValueLeft;
  for (TPanel* row : {pnlOutput, pnlGenerated}) {
    TCanvas measure;
    measure.Font->Assign(*row->Font());
    left = std::max(left, measure.TextWidth(row->Caption()) + kStatusValueGap);
  }
  for (TPanel* value : {pnlPath, pnlStatus})
    value->SetBounds(left, value->Top(), value->Left() + value->Width() - left, value->Height());
}

void TFormStatus1::Dispatch(void* message) {
  if (static_cast<TMessage*>(message)->Msg == WM_HELP) {
    ShowHelp(GetUiLanguageIndex(), kHelpBaseName, "", "");
    return;
  }
  TForm::Dispatch(message);
}
