#include "platform/vcl/HeaderControl.h"

#include <algorithm>
#include <cstdlib>

void DrawHeaderCell(TCanvas* canvas, const TRect& rect, const std::string& text, TAlignment alignment, bool pressed) {
  constexpr int kTextMargin = 4;
  TRect r = rect;
  TButtonState state;
  state.pushed = pressed;
  const int shift = DrawButtonFace(canvas, r, TButtonKind::Push, state);
  TTextStyle style;
  style.vAlign = TVAlign::Center;
  style.hAlign = alignment == taCenter ? THAlign::Center : alignment == taRightJustify ? THAlign::Right : THAlign::Left;
  style.endEllipsis = true;
  DrawTextInRect(canvas,
                 Rect(r.Left + kTextMargin + shift, r.Top + shift, r.Right - kTextMargin + shift, r.Bottom + shift),
                 text, style);
  canvas->Brush->Style = bsSolid;
}

// --- sections ---

void THeaderSection::SetText(const std::string& value) {
  text_ = value;
  header_->Invalidate();
}

void THeaderSection::SetWidth(int value) {
  width_ = std::clamp(value, std::max(0, MinWidth), std::max(MinWidth, MaxWidth));
  header_->Invalidate();
}

void THeaderSection::SetAlignment(TAlignment value) {
  alignment_ = value;
  header_->Invalidate();
}

int THeaderSection::Index() const { return header_->Sections()->IndexOf(this); }

int THeaderSection::Left() const {
  int x = 0;
  THeaderSections* sections = header_->Sections();
  for (int i = 0; i < sections->Count() && sections->Items(i) != this; ++i) x += sections->Items(i)->Width();
  return x;
}

THeaderSection* THeaderSections::Add() { return Insert(Count()); }

THeaderSection* THeaderSections::Insert(int index) {
  index = std::clamp(index, 0, Count());
  sections_.insert(sections_.begin() + index, std::unique_ptr<THeaderSection>(new THeaderSection(header_)));
  header_->Invalidate();
  return sections_[static_cast<std::size_t>(index)].get();
}

void THeaderSections::Delete(int index) {
  Items(index);
  sections_.erase(sections_.begin() + index);
  header_->Invalidate();
}

void THeaderSections::Clear() {
  sections_.clear();
  header_->Invalidate();
}

THeaderSection* THeaderSections::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
  return sections_[static_cast<std::size_t>(index)].get();
}

int THeaderSections::IndexOf(const THeaderSection* section) const {
  for (int i = 0; i < Count(); ++i)
    if (sections_[static_cast<std::size_t>(i)].get() == section) return i;
  return -1;
}

// --- the control ---

THeaderControl::THeaderControl(TComponent* AOwner)
    : TCustomControl(AOwner), sections_(std::make_unique<THeaderSections>(this)) {
  ControlStyle &= ~static_cast<unsigned>(csSetCaption);
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 200, 17);
  SetAlign(alTop);
}

THeaderControl::~THeaderControl() = default;

THeaderSection* THeaderControl::SectionAt(int x) const {
  int left = 0;
  for (int i = 0; i < sections_->Count(); ++i) {
    THeaderSection* s = sections_->Items(i);
    if (x >= left && x < left + s->Width()) return s;
    left += s->Width();
  }
  return nullptr;
}

void THeaderControl::Paint() {
  TCanvas* canvas = Canvas();
  const int h = ClientHeight();
  int x = 0;
  for (int i = 0; i < sections_->Count(); ++i) {
    THeaderSection* s = sections_->Items(i);
    const TRect r = Rect(x, 0, x + s->Width(), h);
    const bool pressed = s == pressed_ && press_.Pushed();
    if (s->Style == hsOwnerDraw && OnDrawSection) {
      canvas->Brush->Color = clBtnFace;
      canvas->FillRect(r);
      OnDrawSection(this, s, r, pressed);
    } else {
      DrawHeaderCell(canvas, r, s->Text(), s->Alignment(), pressed);
    }
    x += s->Width();
  }
  // The empty rest of the row.
  if (x < ClientWidth()) DrawHeaderCell(canvas, Rect(x, 0, ClientWidth() + 2, h), "", taLeftJustify, false);
}

void THeaderControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    // Within 3 pixels of a right edge: size that section.
    for (int i = 0; i < sections_->Count(); ++i) {
      THeaderSection* s = sections_->Items(i);
      if (std::abs(x - s->Right()) <= 3) {
        sizing_ = s;
        sizeStartX_ = x;
        sizeStartWidth_ = s->Width();
      }
    }
    if (sizing_ == nullptr) {
      THeaderSection* s = SectionAt(x);
      if (s != nullptr && s->AllowClick) {
        pressed_ = s;
        press_.Start(*this, Rect(s->Left(), 0, s->Right(), ClientHeight()));
      }
    }
    Invalidate();
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void THeaderControl::MouseMove(TShiftState shift, int x, int y) {
  if (sizing_ != nullptr) sizing_->SetWidth(sizeStartWidth_ + x - sizeStartX_);
  press_.Move(*this, x, y);
  TCustomControl::MouseMove(shift, x, y);
}

void THeaderControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    if (sizing_ != nullptr) {
      THeaderSection* s = sizing_;
      sizing_ = nullptr;
      s->SetWidth(sizeStartWidth_ + x - sizeStartX_);
      if (OnSectionResize) OnSectionResize(this, s);
    } else if (pressed_ != nullptr) {
      THeaderSection* s = pressed_;
      const bool inside = press_.Pushed();
      pressed_ = nullptr;
      press_.End(*this);
      if (inside && OnSectionClick) OnSectionClick(this, s);
    }
  }
  TCustomControl::MouseUp(button, shift, x, y);
}
