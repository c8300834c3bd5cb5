#include "grid/GridGraphic.h"

#include <algorithm>
#include <cstdint>

#include "core/TraceLog.h"
#include "grid/DrawingGeometry.h"
#include "grid/ScrollPositions.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/WinControl.h"

namespace {

// A gradient has at most this many bands.
constexpr long long kGradientBands = 32;
// The shades of a 3D bar run over a third of its thickness, then back.
constexpr int kBarShadeParts = 3;
// The three 8-bit channels of a colour (0x00BBGGRR), by their shift.
constexpr int kChannelShifts[] = {16, 8, 0};
constexpr long long kChannelMax = 0xFF;

// c / u rounded with halves away from zero, in truncating divisions.
int RoundedUnits(int c, int u) {
  if (u <= 0) return 0;
  const long long half = u / 2;
  if (c <= 0) return ClampToInt((static_cast<long long>(c) - half) / u);
  return ClampToInt((static_cast<long long>(c) + half) / u);
}

}  // namespace

TGridGraphic::TGridGraphic(TComponent* owner, int unitPixels) : TGraphicControl(owner), FUnitPixels(unitPixels) {
  // A page holds thousands of these and none refers to another: telling each
  // of the coming and going of every other would make a page quadratic.
  DeclineOwnerNotifications();
  SetUnitPixels(unitPixels);
}

TGridGraphic::~TGridGraphic() = default;

void TGridGraphic::Select() {
  Invalidate();
  FSelected = CanSelect();
}

void TGridGraphic::SetMenus(void* liveMenu, TPopupMenu* multiPopup) {
  FLiveMenu = liveMenu;
  FMultiPopup = multiPopup;
}

void TGridGraphic::MoveHook(int, int) {}
bool TGridGraphic::WantsMoveHook() { return false; }
bool TGridGraphic::CanSelect() { return true; }

TRect TGridGraphic::GetRect() {
  return {Left(), Top(), ClampToInt(static_cast<long long>(Left()) + Width()),
          ClampToInt(static_cast<long long>(Top()) + Height())};
}

bool TGridGraphic::InRect(bool contained, int left, int top, int right, int bottom) {
  const TRect r = GetRect();
  if (contained) return left <= r.Left && top <= r.Top && right >= r.Right && bottom >= r.Bottom;
  return top <= r.Bottom && left <= r.Right && bottom >= r.Top && right >= r.Left;
}

void TGridGraphic::Draw(int, int, TCanvas*) {}

void TGridGraphic::SetUnitPixels(int newPixels) {
  const int old = FUnitPixels;
  if (old <= 0 || newPixels <= 0) {  // nothing to scale from (or to)
    FUnitPixels = newPixels;
    return;
  }
  int sx = 0, sy = 0;
  ScrollPositionsOf(this, sx, sy);
  auto scale = [&](int v, int scroll) {
    const long long r = (static_cast<long long>(v) + scroll) / old * newPixels - scroll;
    return ClampToInt(r);
  };
  SetBounds(scale(Left(), sx), scale(Top(), sy), scale(Width(), 0), scale(Height(), 0));
  FUnitPixels = newPixels;
}

std::vector<TGridGraphic*> TGridGraphic::Siblings() const {
  std::vector<TGridGraphic*> items;
  TWinControl* parent = Parent();
  if (parent == nullptr) return items;
  for (int i = 0; i < parent->ComponentCount(); ++i)
    if (auto* item = dynamic_cast<TGridGraphic*>(parent->Components(i))) items.push_back(item);
  return items;
}

TPoint TGridGraphic::ClientToParent(const TPoint& point) {
  if (Parent() == nullptr) {
    WriteTraceLog("No parent - error!!!");
    return point;
  }
  return Parent()->ScreenToClient(ClientToScreen(point));
}

TPoint TGridGraphic::ParentToClient(const TPoint& point) {
  if (Parent() == nullptr) {
    WriteTraceLog("No parent - error!!!");
    return point;
  }
  return ScreenToClient(Parent()->ClientToScreen(point));
}

bool TGridGraphic::MoreThanOneSelected() {
  int found = 0;
  for (TGridGraphic* item : Siblings())
    if (item->FSelected && item->CanSelect() && ++found >= 2) return true;
  return false;
}

void TGridGraphic::MoveBy(TGridGraphic* item, int dx, int dy) {
  if (item == nullptr) return;
  item->SetPosition(ClampToInt(static_cast<long long>(item->FPosX) + dx),
                    ClampToInt(static_cast<long long>(item->FPosY) + dy));
}

bool TGridGraphic::MoveSelected(int dx, int dy) {
  if (dx == 0 && dy == 0) return false;
  if (Parent() == nullptr) return true;
  const std::vector<TGridGraphic*> items = Siblings();
  for (TGridGraphic* item : items)
    if (item->WantsMoveHook()) item->MoveHook(dx, dy);
  for (TGridGraphic* item : items)
    if (item->FSelected && item->CanSelect()) MoveBy(item, dx, dy);
  return true;
}

void TGridGraphic::DeselectInvalidate() {
  if (!FSelected) return;
  FSelected = false;
  Invalidate();
}

void TGridGraphic::DeselectRepaint() {
  if (!FSelected) return;
  FSelected = false;
  Repaint();
}

void TGridGraphic::DeselectOthers() {
  if (Parent() == nullptr) return;
  for (TGridGraphic* item : Siblings())
    if (item != this) item->DeselectInvalidate();
  Parent()->Repaint();
}

void TGridGraphic::EditorKeyDown(TObject* sender, WORD&, TShiftState shift) {
  if ((shift & ssCtrl) && FEditPopup != nullptr) FEditPopup->PopupComponent = dynamic_cast<TComponent*>(sender);
}

void TGridGraphic::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button == mbLeft) {
    if (!FSelected) {
      Select();
      if (!(shift & ssShift)) DeselectOthers();
    } else if (shift & ssShift) {
      DeselectRepaint();
    }
  }
  if (Parent() != nullptr && Parent()->CanFocus()) Parent()->SetFocus();
}

void TGridGraphic::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (button == mbRight && FPopupMenu != nullptr) {
    if (!FSelected) {
      Select();
      if (!(shift & ssShift)) DeselectOthers();
    }
    if (FLiveMenu != nullptr && IsLive()) {
      FHover = false;
      return;
    }
    FPopupMenu->PopupComponent = this;
    FClickPos = {RoundedUnits(x, FUnitPixels), RoundedUnits(y, FUnitPixels)};
    const TPoint screen = ClientToScreen({x, y});
    TPopupMenu* menu = MoreThanOneSelected() && FMultiPopup != nullptr ? FMultiPopup : FPopupMenu;
    FHover = false;
    // The last step: the chosen command may free this item (Delete, Cut).
    menu->Popup(screen.x, screen.y);
  }
}

void TGridGraphic::DblClick() {
  FDblClicked = true;
  TGraphicControl::DblClick();
}

// --- TGridSelect ---------------------------------------------------------------

TGridSelect::TGridSelect(TComponent* owner, int unitPixels, int left, int top) : TGridGraphic(owner, unitPixels) {
  SetBounds(left, top, 0, 0);
}

void TGridSelect::SetPosition(int, int) {}

void TGridSelect::Select() { SelectContained(); }

void TGridSelect::ResizeTo(int x, int y) {
  // The band's size may be negative: it is kept as given (the class library
  // stores it), so the far corner is always (x, y).
  SetBounds(Left(), Top(), ClampToInt(static_cast<long long>(x) - Left()),
            ClampToInt(static_cast<long long>(y) - Top()));
}

void TGridSelect::SelectContained() {
  if (Parent() == nullptr) return;
  int left = Left(), top = Top();
  int right = ClampToInt(static_cast<long long>(Left()) + Width());
  int bottom = ClampToInt(static_cast<long long>(Top()) + Height());
  if (Height() < 0) std::swap(top, bottom);
  bool contained = true;
  if (Width() < 0) {
    std::swap(left, right);
    contained = false;
  }
  for (TGridGraphic* item : Siblings()) {
    if (item == this || !item->CanSelect()) continue;
    if (item->InRect(contained, left, top, right, bottom)) item->Select();
  }
}

void TGridSelect::Paint() {
  TCanvas* c = Canvas();
  c->Pen->Color = clBlack;
  c->Pen->Style = psDot;
  c->Pen->Width = 1;
  c->Brush->Color = clBlack;
  c->Brush->Style = bsDiagCross;
  c->Rectangle(0, 0, Width(), Height());
}

// --- drawing helpers -----------------------------------------------------------

void FrameColorRect(TCanvas* canvas, int x, int y, int w, int h, TColor colour) {
  if (canvas == nullptr) return;
  const long long r = static_cast<long long>(x) + w, b = static_cast<long long>(y) + h;
  if (w == 1) {
    const TColor old = canvas->Pen->Color;
    canvas->Pen->Color = colour;
    canvas->MoveTo(x, y);
    canvas->LineTo(x, ClampToInt(b));
    canvas->Pen->Color = old;
  } else if (h == 1) {
    const TColor old = canvas->Pen->Color;
    canvas->Pen->Color = colour;
    canvas->MoveTo(x, y);
    canvas->LineTo(ClampToInt(r), y);
    canvas->Pen->Color = old;
  } else {
    const TColor old = canvas->Brush->Color;
    const TBrushStyle oldStyle = canvas->Brush->Style;
    canvas->Brush->Color = colour;
    canvas->Brush->Style = bsSolid;
    canvas->FrameRect({x, y, ClampToInt(r), ClampToInt(b)});
    canvas->Brush->Color = old;
    canvas->Brush->Style = oldStyle;
  }
}

void FillColorRect(TCanvas* canvas, int x, int y, int w, int h, TColor colour) {
  if (canvas == nullptr) return;
  if (w == 1 || h == 1) {
    FrameColorRect(canvas, x, y, w, h, colour);
    return;
  }
  const TColor old = canvas->Brush->Color;
  const TBrushStyle oldStyle = canvas->Brush->Style;
  canvas->Brush->Color = colour;
  canvas->Brush->Style = bsSolid;
  canvas->FillRect({x, y, ClampToInt(static_cast<long long>(x) + w), ClampToInt(static_cast<long long>(y) + h)});
  canvas->Brush->Color = old;
  canvas->Brush->Style = oldStyle;
}

void DrawGradient(TCanvas* canvas, int x, int y, int w, int h, TColor colour1, TColor colour2, bool horizontal,
                  bool forward) {
  const long long size = horizontal ? w : h;
  if (size < 1) return;
  const long long step = std::max<long long>(size / kGradientBands, 1);
  const auto c1 = static_cast<std::uint32_t>(colour1), c2 = static_cast<std::uint32_t>(colour2);
  long long i = size;
  while (i > 0) {
    i -= step;
    const long long t = size - i;
    std::uint32_t band = 0;
    for (int shift : kChannelShifts) {
      const long long a = (c1 >> shift) & kChannelMax, b = (c2 >> shift) & kChannelMax;
      const long long d = b - a;
      // The last band may lie beyond the area (t > size): its colour stays
      // within the channel's range instead of wrapping around.
      const long long channel = std::clamp<long long>(b - d * t / size, 0, kChannelMax);
      band |= static_cast<std::uint32_t>(channel) << shift;
    }
    const long long offset = forward ? i : size - 1 - i - step;
    const TColor colour = static_cast<TColor>(band);
    if (horizontal)
      FillColorRect(canvas, ClampToInt(x + offset), y, static_cast<int>(step), h, colour);
    else
      FillColorRect(canvas, x, ClampToInt(y + offset), w, static_cast<int>(step), colour);
  }
}

void Draw3DBar(TCanvas* canvas, int x, int y, int w, int h, TColor colour1, TColor colour2, bool horizontal) {
  if (w == 0 || h == 0) return;
  long long lx = x, ly = y, lw = w, lh = h;
  if (lw < 0) {
    lx += lw;
    lw = -lw;
  }
  if (lh < 0) {
    ly += lh;
    lh = -lh;
  }
  // Sizes beyond an int (a negated -2^31) are cut to what an int holds; the
  // canvas clips them anyway.
  const int X = ClampToInt(lx), Y = ClampToInt(ly), W = ClampToInt(lw), H = ClampToInt(lh);
  // Shaded from the edge to a third of the thickness (forward), and from
  // there to the other edge (backward).
  if (horizontal) {
    DrawGradient(canvas, X, Y, W / kBarShadeParts, H, colour1, colour2, true, true);
    DrawGradient(canvas, ClampToInt(lx + W / kBarShadeParts), Y, ClampToInt(2LL * W / kBarShadeParts), H, colour1,
                 colour2, true, false);
  } else {
    DrawGradient(canvas, X, Y, W, H / kBarShadeParts, colour1, colour2, false, true);
    DrawGradient(canvas, X, ClampToInt(ly + H / kBarShadeParts), W, ClampToInt(2LL * H / kBarShadeParts), colour1,
                 colour2, false, false);
  }
  FrameColorRect(canvas, X, Y, W, H, colour1);
  FrameColorRect(canvas, ClampToInt(lx + 1), ClampToInt(ly + 1), ClampToInt(lw - 2), ClampToInt(lh - 2), colour1);
}
