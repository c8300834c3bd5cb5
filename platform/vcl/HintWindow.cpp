#include "platform/vcl/HintWindow.h"

#include <algorithm>

#include "platform/vcl/Application.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/UiBackend.h"

namespace {
// Room between the frame and the text, left and right / top and bottom.
constexpr int kMarginX = 3;
constexpr int kMarginY = 1;

// The face of the hint window: the frame and the window's caption.
class THintFace : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  void Paint() override {
    TCanvas* canvas = Canvas();
    canvas->Brush->Color = Color();
    canvas->Brush->Style = bsSolid;
    canvas->Pen->Color = clBlack;
    canvas->Rectangle(0, 0, Width(), Height());
    canvas->Font->Assign(*Font());
    canvas->Brush->Style = bsClear;
    canvas->TextOut(kMarginX + 1, kMarginY + 1, Parent()->Caption());
    canvas->Brush->Style = bsSolid;
  }
};
}  // namespace

THintWindow::THintWindow(TComponent* AOwner) : TCustomForm(AOwner) {
  SetBorderStyle(bsNone);
  SetColor(Application->HintColor);
  SetName("HintWindow");
  auto* face = new THintFace(this);
  face->SetParent(this);
  face->SetAlign(alClient);
}

void THintWindow::ActivateHint(const TPoint& at, const std::string& hint) {
  TCanvas* canvas = Canvas();
  canvas->Font->Assign(*Font());
  // Sized to the text, but never wider than the work area: a longer text
  // shows cut, ending in "...".
  const int frame = 2 * (kMarginX + 1);
  const std::string shown =
      EllipsizedText(canvas, hint, std::max(0, static_cast<int>(Screen->WorkAreaRect().Width()) - frame));
  SetCaption(shown);
  const int width = canvas->TextWidth(shown) + frame;
  const int height = canvas->TextHeight(shown) + 2 * (kMarginY + 1);
  SetBounds(at.x, at.y, width, height);
  SetVisible(true);
  Invalidate();
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->Invalidate();
}

void THintWindow::ReleaseHandle() { SetVisible(false); }

void THintWindow::SetVisible(bool value) {
  if (value == Visible()) return;
  TControl::SetVisible(value);
  if (value)
    UiBackend().FormShown(this);
  else
    UiBackend().FormHidden(this);
}

std::string GetShortHint(const std::string& hint) { return hint.substr(0, hint.find('|')); }
