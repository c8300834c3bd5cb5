#include "platform/vcl/ProgressBar.h"

#include <algorithm>

#include "platform/vcl/ClassicLook.h"

TProgressBar::TProgressBar(TComponent* AOwner) : TCustomControl(AOwner) {
  ControlStyle &= ~static_cast<unsigned>(csSetCaption);
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 150, 16);
}

void TProgressBar::SetRange(int min, int max) {
  min_ = min;
  max_ = max;
  SetPosition(position_);
  Invalidate();
}

void TProgressBar::SetMin(int value) { SetRange(value, max_); }
void TProgressBar::SetMax(int value) { SetRange(min_, value); }

void TProgressBar::SetPosition(int value) {
  value = std::clamp(value, std::min(min_, max_), std::max(min_, max_));
  if (value == position_) return;
  position_ = value;
  Invalidate();
}

void TProgressBar::StepIt() {
  const long long next = static_cast<long long>(position_) + Step;
  if (next > std::max(min_, max_))
    SetPosition(std::min(min_, max_));
  else
    SetPosition(static_cast<int>(next));
}

void TProgressBar::StepBy(int delta) {
  const long long next = static_cast<long long>(position_) + delta;
  SetPosition(static_cast<int>(std::clamp<long long>(next, std::min(min_, max_), std::max(min_, max_))));
}

void TProgressBar::SetSmooth(bool value) {
  smooth_ = value;
  Invalidate();
}

void TProgressBar::SetOrientation(TProgressBarOrientation value) {
  orientation_ = value;
  Invalidate();
}

void TProgressBar::PaintNonClient(TCanvas* canvas) {
  TRect r = Rect(0, 0, Width(), Height());
  DrawEdge(canvas, r, TEdge::SunkenThin);
}

void TProgressBar::Paint() {
  TCanvas* canvas = Canvas();
  const int w = ClientWidth();
  const int h = ClientHeight();
  const long long range = static_cast<long long>(max_) - min_;
  if (range <= 0 || w <= 0 || h <= 0) return;
  const bool horizontal = orientation_ == pbHorizontal;
  const int length = horizontal ? w - 2 : h - 2;
  const int filled = static_cast<int>((static_cast<long long>(position_) - min_) * length / range);
  canvas->Brush->Style = bsSolid;
  canvas->Brush->Color = BarColor == clDefault ? clHighlight : BarColor;
  auto fill = [&](int from, int to) {
    if (horizontal)
      canvas->FillRect(Rect(1 + from, 1, 1 + to, h - 1));
    else
      canvas->FillRect(Rect(1, h - 1 - to, w - 1, h - 1 - from));
  };
  if (smooth_) {
    fill(0, filled);
    return;
  }
  // Blocks two thirds of the bar's thickness wide with a gap of two pixels;
  // a block shows as soon as the position reaches into it.
  const int thickness = horizontal ? h - 2 : w - 2;
  const int block = std::max(2, thickness * 2 / 3);
  for (int at = 0; at < filled; at += block + 2) fill(at, std::min(at + block, length));
}
