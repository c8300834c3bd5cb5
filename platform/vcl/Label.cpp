#include "platform/vcl/Label.h"

#include "platform/vcl/Canvas.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/Painting.h"

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  ControlStyle |= csSetCaption;
  SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Invalidate();
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_) return;
  TCanvas measure;
  measure.Font->Assign(*Font());
  const std::string text = Caption().empty() ? std::string(" ") : Caption();
  const TSize size = MeasureText(&measure, text, wordWrap_ ? Width() : 0);
  int left = Left();
  // A right-aligned label keeps its right edge, a centred one its middle.
  if (!wordWrap_ && alignment_ == taRightJustify) left += Width() - size.cx;
  if (!wordWrap_ && alignment_ == taCenter) left += (Width() - size.cx) / 2;
  SetBounds(left, Top(), wordWrap_ ? Width() : size.cx, size.cy);
}

void TCustomLabel::Dispatch(void* message) {
  TMessage& m = *static_cast<TMessage*>(message);
  TGraphicControl::Dispatch(message);
  if (m.Msg == CM_TEXTCHANGED || m.Msg == CM_FONTCHANGED) AdjustBounds();
}

void TCustomLabel::SetParent(TWinControl* parent) {
  TGraphicControl::SetParent(parent);
  Font();  // takes the parent's font over now, so that the size follows it
  AdjustBounds();
}

void TCustomLabel::Paint() {
  TCanvas* canvas = Canvas();
  const TRect r = ClientRect();
  if (!transparent_) {
    canvas->Brush->Style = bsSolid;
    canvas->Brush->Color = Color();
    canvas->FillRect(r);
  }
  TTextStyle style;
  style.hAlign = alignment_ == taCenter         ? THAlign::Center
                 : alignment_ == taRightJustify ? THAlign::Right
                                                : THAlign::Left;
  style.vAlign = layout_ == tlCenter ? TVAlign::Center : layout_ == tlBottom ? TVAlign::Bottom : TVAlign::Top;
  style.wordWrap = wordWrap_;
  style.disabled = !Enabled();
  DrawTextInRect(canvas, r, Caption(), style);
}
