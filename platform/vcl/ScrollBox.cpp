#include "platform/vcl/ScrollBox.h"

#include <algorithm>

#include "base/ScopeExit.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ClassicLook.h"

// --- TControlScrollBar ---

int TControlScrollBar::Range() const {
  if (!control_->AutoScroll) return range_;
  const TSize extent = control_->ChildExtent();
  return kind_ == sbHorizontal ? extent.cx : extent.cy;
}

void TControlScrollBar::SetRange(int value) {
  range_ = std::max(0, value);
  control_->Invalidate();
}

bool TControlScrollBar::IsScrollBarVisible() const {
  bool h = false, v = false;
  control_->BarsShown(h, v);
  return kind_ == sbHorizontal ? h : v;
}

int TControlScrollBar::MaxPosition() const {
  const int client = kind_ == sbHorizontal ? control_->ClientWidth() : control_->ClientHeight();
  return std::max(0, Range() - client);
}

void TControlScrollBar::SetPosition(int value) {
  value = std::clamp(value, 0, MaxPosition());
  if (value == position_) return;
  const int delta = position_ - value;
  position_ = value;
  if (kind_ == sbHorizontal)
    control_->MoveChildren(delta, 0, true);
  else
    control_->MoveChildren(0, delta, true);
}

// --- TScrollingWinControl ---

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner)
    : TCustomControl(AOwner),
      horz_(std::make_unique<TControlScrollBar>(this, sbHorizontal)),
      vert_(std::make_unique<TControlScrollBar>(this, sbVertical)) {
  ControlStyle |= csAcceptsControls;
}

TScrollingWinControl::~TScrollingWinControl() = default;

TSize TScrollingWinControl::ChildExtent() const {
  return {static_cast<int>(std::clamp<long long>(extent_.Right(), 0, 0x3FFFFFFF)),
          static_cast<int>(std::clamp<long long>(extent_.Bottom(), 0, 0x3FFFFFFF))};
}

void TScrollingWinControl::ChildChanged(TControl* child) {
  if (child->Parent() != this || !child->Visible()) {
    extent_.Erase(child);
    return;
  }
  extent_.Set(child, static_cast<long long>(child->Left()) + child->Width() + horz_->position_,
              static_cast<long long>(child->Top()) + child->Height() + vert_->position_);
}

void TScrollingWinControl::BarsShown(bool& horz, bool& vert) const {
  const int border = BorderWidthPx();
  const int fullW = std::max(0, Width() - 2 * border);
  const int fullH = std::max(0, Height() - 2 * border);
  const int rangeH = horz_->Range();
  const int rangeV = vert_->Range();
  horz = horz_->Visible && rangeH > fullW;
  vert = vert_->Visible && rangeV > fullH;
  if (vert && !horz) horz = horz_->Visible && rangeH > fullW - TControlScrollBar::Size;
  if (horz && !vert) vert = vert_->Visible && rangeV > fullH - TControlScrollBar::Size;
  // A bar scrolled away from 0 stays until the position is back.
  horz = horz || (horz_->Visible && horz_->position_ > 0);
  vert = vert || (vert_->Visible && vert_->position_ > 0);
}

TRect TScrollingWinControl::BorderInsets() const {
  const int b = BorderWidthPx();
  bool h = false, v = false;
  BarsShown(h, v);
  return {b, b, b + (v ? TControlScrollBar::Size : 0), b + (h ? TControlScrollBar::Size : 0)};
}

void TScrollingWinControl::ScrollBy(int dx, int dy) { MoveChildren(dx, dy, false); }

void TScrollingWinControl::MoveChildren(int dx, int dy, bool withPosition) {
  if (dx == 0 && dy == 0) return;
  // The children move first and are laid out once (aligned children keep
  // their places); a move that raises leaves the layout to the next change.
  DisableAlign();
  ScopeExit resume([this] { ResumeAlignLater(); });
  const std::vector<TControl*> limited = ScrollChildren(dx, dy);
  // The windowed children told their moves; the graphic ones that moved with
  // the position kept their edges in scrolled coordinates, the others not.
  if (withPosition) {
    for (TControl* c : limited) ChildChanged(c);
  } else {
    for (int i = 0; i < ControlCount(); ++i) ChildChanged(Controls(i));
  }
  Realign();
  resume.Dismiss();
  EnableAlign();
}

void TScrollingWinControl::ScrollInView(TControl* control) {
  if (control == nullptr || !ContainsControl(control) || control == this) return;
  const TPoint origin = ScreenToClient(control->ClientToScreen({0, 0}));
  // In view: the control's rectangle lies inside the client area if it can.
  auto fit = [](int pos, int start, int size, int client) {
    if (start < 0) return pos + start;
    if (start + size > client) return pos + std::min(start, start + size - client);
    return pos;
  };
  horz_->SetPosition(fit(horz_->Position(), origin.x, control->Width(), ClientWidth()));
  vert_->SetPosition(fit(vert_->Position(), origin.y, control->Height(), ClientHeight()));
}

void TScrollingWinControl::PaintNonClient(TCanvas* canvas) {
  TRect r = Rect(0, 0, Width(), Height());
  if (BorderWidthPx() > 0) DrawEdge(canvas, r, TEdge::Sunken);
  bool h = false, v = false;
  BarsShown(h, v);
  const int size = TControlScrollBar::Size;
  if (h)
    DrawScrollBar(canvas, Rect(r.Left, r.Bottom - size, r.Right - (v ? size : 0), r.Bottom), true, horz_->Position(),
                  horz_->Range(), ClientWidth());
  if (v)
    DrawScrollBar(canvas, Rect(r.Right - size, r.Top, r.Right, r.Bottom - (h ? size : 0)), false, vert_->Position(),
                  vert_->Range(), ClientHeight());
  if (h && v) {
    canvas->Brush->Color = clBtnFace;
    canvas->FillRect(Rect(r.Right - size, r.Bottom - size, r.Right, r.Bottom));
  }
}

namespace {

// What a press at `pos` along a bar of `length` does: -1 / +1 for the
// arrows, -2 / +2 for the track before or after the thumb, 0 on the thumb.
int BarPart(int pos, int length, int position, int range, int page) {
  const int button = std::min(TControlScrollBar::Size, length / 2);
  if (pos < button) return -1;
  if (pos >= length - button) return 1;
  const int track = length - 2 * button;
  if (range <= 0 || page >= range || track <= 0) return 0;
  const long long thumb = std::max<long long>(8, static_cast<long long>(track) * page / range);
  const long long maxPos = std::max(1, range - page);
  const long long start = button + (track - thumb) * std::min<long long>(position, maxPos) / maxPos;
  if (pos < start) return -2;
  if (pos >= start + thumb) return 2;
  return 0;
}

}  // namespace

void TScrollingWinControl::Dispatch(void* message) {
  TMessage& m = *static_cast<TMessage*>(message);
  const bool press = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK;
  if (press || m.Msg == WM_LBUTTONUP) {
    const int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    const int cw = ClientWidth(), ch = ClientHeight();
    if (x < 0 || y < 0 || x >= cw || y >= ch) {
      // The frame: scroll bars and border.
      if (press) {
        bool h = false, v = false;
        BarsShown(h, v);
        if (v && x >= cw && y >= 0 && y < ch) {
          const int part = BarPart(y, ch, vert_->Position(), vert_->Range(), ch);
          const int step = (part == -1 || part == 1) ? vert_->Increment : ch;
          if (part != 0) vert_->SetPosition(vert_->Position() + (part < 0 ? -step : step));
        } else if (h && y >= ch && x >= 0 && x < cw) {
          const int part = BarPart(x, cw, horz_->Position(), horz_->Range(), cw);
          const int step = (part == -1 || part == 1) ? horz_->Increment : cw;
          if (part != 0) horz_->SetPosition(horz_->Position() + (part < 0 ? -step : step));
        }
      }
      return;
    }
  }
  TCustomControl::Dispatch(message);
}

// --- TScrollBox ---

TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner) { SetBounds(0, 0, 185, 41); }

void TScrollBox::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  SizeChanged();
  Invalidate();
}
