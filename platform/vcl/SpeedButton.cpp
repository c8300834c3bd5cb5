#include "platform/vcl/SpeedButton.h"

#include <algorithm>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/WinControl.h"

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), glyph_(std::make_unique<TBitmap>()) {
  ControlStyle &= ~static_cast<unsigned>(csSetCaption);
  SetBounds(0, 0, 23, 22);
  glyph_->OnChange = [this] { Invalidate(); };
}

TSpeedButton::~TSpeedButton() { glyph_->OnChange = nullptr; }

void TSpeedButton::SetGlyph(const TBitmap* value) {
  glyph_->Assign(value);
  Invalidate();
}

void TSpeedButton::SetDown(bool value) {
  if (groupIndex_ == 0) value = false;  // a button without group springs back
  if (value == down_) return;
  if (down_ && !value && !allowAllUp_) return;  // the group keeps one down
  down_ = value;
  if (value) UpdateExclusive();
  Invalidate();
}

void TSpeedButton::SetGroupIndex(int value) {
  if (value == groupIndex_) return;
  groupIndex_ = value;
  if (down_) UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool value) {
  allowAllUp_ = value;
  // The whole group shares the setting.
  if (TWinControl* parent = Parent(); parent != nullptr && groupIndex_ != 0)
    for (int i = 0; i < parent->ControlCount(); ++i)
      if (auto* b = dynamic_cast<TSpeedButton*>(parent->Controls(i)); b != nullptr && b->groupIndex_ == groupIndex_)
        b->allowAllUp_ = value;
}

void TSpeedButton::SetFlat(bool value) {
  flat_ = value;
  Invalidate();
}

void TSpeedButton::UpdateExclusive() {
  TWinControl* parent = Parent();
  if (parent == nullptr || groupIndex_ == 0) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* b = dynamic_cast<TSpeedButton*>(parent->Controls(i));
    if (b == nullptr || b == this || b->groupIndex_ != groupIndex_) continue;
    if (b->down_) {
      b->down_ = false;
      b->Invalidate();
    }
    b->allowAllUp_ = allowAllUp_;
  }
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button == mbLeft && Enabled()) press_.Start(*this);
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  press_.Move(*this, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (button == mbLeft) press_.End(*this);
}

void TSpeedButton::Dispatch(void* message) {
  TMessage& m = *static_cast<TMessage*>(message);
  if (m.Msg == WM_LBUTTONUP && (ControlState & csClicked)) {
    // A grouped button goes down (or, with AllowAllUp, up again) before
    // OnClick fires.
    if (groupIndex_ != 0 && PtInRect(ClientRect(), {GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)})) {
      if (down_ && allowAllUp_)
        SetDown(false);
      else if (!down_)
        SetDown(true);
    }
  }
  if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) {
    hot_ = m.Msg == CM_MOUSEENTER;
    if (flat_) Invalidate();
  }
  TGraphicControl::Dispatch(message);
}

void TSpeedButton::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  TButtonState state;
  state.pushed = ShownDown();
  // A button held down by its group shows a dithered face.
  state.latched = down_ && !press_.Pushed();
  state.hot = hot_;
  state.enabled = Enabled();
  const int offset = DrawButtonFace(canvas, r, flat_ ? TButtonKind::FlatTool : TButtonKind::Tool, state);
  // Glyph and caption side by side (glyph left by default), centred together.
  int gw = 0, gh = 0;
  if (!glyph_->Empty()) {
    gw = glyph_->Width() / std::max(1, NumGlyphs);
    gh = glyph_->Height();
  }
  const std::string caption = Caption();
  const TSize textSize = caption.empty() ? TSize{0, 0} : canvas->TextExtent(caption);
  const bool vertical = Layout == blGlyphTop || Layout == blGlyphBottom;
  const int gap = (gw > 0 && !caption.empty()) ? Spacing : 0;
  const int totalW = vertical ? std::max(gw, textSize.cx) : gw + gap + textSize.cx;
  const int totalH = vertical ? gh + gap + textSize.cy : std::max(gh, textSize.cy);
  const int x0 = Width() / 2 - totalW / 2 + offset;
  const int y0 = Height() / 2 - totalH / 2 + offset;
  int gx = x0, gy = y0 + (totalH - gh) / 2, tx = x0 + gw + gap, ty = y0 + (totalH - textSize.cy) / 2;
  if (Layout == blGlyphRight) {
    tx = x0;
    gx = x0 + textSize.cx + gap;
  } else if (vertical) {
    gx = x0 + (totalW - gw) / 2;
    tx = x0 + (totalW - textSize.cx) / 2;
    gy = Layout == blGlyphTop ? y0 : y0 + textSize.cy + gap;
    ty = Layout == blGlyphTop ? y0 + gh + gap : y0;
  }
  if (gw > 0) {
    // The first picture, or the second one (disabled) when there is one.
    const int index = (!Enabled() && NumGlyphs > 1) ? 1 : 0;
    TBitmap part;
    part.SetSize(gw, gh);
    part.Canvas->CopyRect(Rect(0, 0, gw, gh), glyph_->Canvas, Rect(index * gw, 0, (index + 1) * gw, gh));
    if (!Enabled() && NumGlyphs < 2) {
      // Without a picture of its own the disabled glyph is the embossed one.
      const TColor key = ColorToRGB(glyph_->TransparentColor());
      DrawEmbossed(canvas, gx, gy, gw, gh, [&](int x, int y) {
        const TColor c = part.Canvas->GetPixel(x, y);
        return c != key && IsDarkForEmboss(c);
      });
    } else {
      part.SetTransparentColor(glyph_->TransparentColor());
      part.SetTransparent(true);
      canvas->Draw(gx, gy, &part);
    }
  }
  if (!caption.empty()) {
    TTextStyle style;
    style.disabled = !Enabled();
    DrawTextInRect(canvas, Rect(tx, ty, tx + textSize.cx + 1, ty + textSize.cy), caption, style);
  }
}
