#include "platform/vcl/Panel.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/ClassicLook.h"

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  ControlStyle |= csAcceptsControls | csSetCaption | csOpaque;
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 185, 41);
}

void TCustomPanel::Changed() {
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
  if (value == bevelOuter_) return;
  bevelOuter_ = value;
  Changed();
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
  if (value == bevelInner_) return;
  bevelInner_ = value;
  Changed();
}

void TCustomPanel::SetBevelWidth(int value) {
  value = std::max(1, value);
  if (value == bevelWidth_) return;
  bevelWidth_ = value;
  Changed();
}

void TCustomPanel::SetBorderWidth(int value) {
  value = std::max(0, value);
  if (value == borderWidth_) return;
  borderWidth_ = value;
  Changed();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  Changed();
}

void TCustomPanel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& rect) const {
  int inset = borderWidth_ + (borderStyle_ == bsSingle ? 1 : 0);
  if (bevelOuter_ != bvNone) inset += bevelWidth_;
  if (bevelInner_ != bvNone) inset += bevelWidth_;
  rect = Rect(rect.Left + inset, rect.Top + inset, std::max(rect.Left + inset, rect.Right - inset),
              std::max(rect.Top + inset, rect.Bottom - inset));
}

void TCustomPanel::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  if (borderStyle_ == bsSingle) {
    canvas->Brush->Color = cl3DDkShadow;
    canvas->FrameRect(r);
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  }
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvNone) return;
    if (cut == bvSpace)
      Frame3D(canvas, r, Color(), Color(), bevelWidth_);
    else
      DrawBevel(canvas, r, cut == bvLowered, bevelWidth_);
  };
  bevel(bevelOuter_);
  Frame3D(canvas, r, Color(), Color(), borderWidth_);
  bevel(bevelInner_);
  canvas->Brush->Color = Color();
  canvas->FillRect(r);
  TTextStyle style;
  style.hAlign = alignment_ == taCenter         ? THAlign::Center
                 : alignment_ == taRightJustify ? THAlign::Right
                                                : THAlign::Left;
  style.vAlign = TVAlign::Center;
  style.disabled = !Enabled();
  DrawTextInRect(canvas, r, Caption(), style);
}
