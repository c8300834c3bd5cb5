#include "platform/vcl/StatusBar.h"

#include <algorithm>

#include "platform/vcl/ComCtrlsPaint.h"

// --- panels ---

void TStatusPanel::SetText(const std::string& value) {
  if (text_ == value) return;
  text_ = value;
  bar_->Panels()->Changed();
}

void TStatusPanel::SetWidth(int value) {
  width_ = std::max(0, value);
  bar_->Panels()->Changed();
}

void TStatusPanel::SetStyle(TStatusPanelStyle value) {
  style_ = value;
  bar_->Panels()->Changed();
}

void TStatusPanel::SetAlignment(TAlignment value) {
  alignment_ = value;
  bar_->Panels()->Changed();
}

void TStatusPanel::SetBevel(TStatusPanelBevel value) {
  bevel_ = value;
  bar_->Panels()->Changed();
}

int TStatusPanel::Index() const {
  TStatusPanels* panels = bar_->Panels();
  for (int i = 0; i < panels->Count(); ++i)
    if (panels->Items(i) == this) return i;
  return -1;
}

TStatusPanel* TStatusPanels::Add() { return Insert(Count()); }

TStatusPanel* TStatusPanels::Insert(int index) {
  index = std::clamp(index, 0, Count());
  panels_.insert(panels_.begin() + index, std::unique_ptr<TStatusPanel>(new TStatusPanel(bar_)));
  Changed();
  return panels_[static_cast<std::size_t>(index)].get();
}

void TStatusPanels::Delete(int index) {
  Items(index);
  panels_.erase(panels_.begin() + index);
  Changed();
}

void TStatusPanels::Clear() {
  panels_.clear();
  Changed();
}

TStatusPanel* TStatusPanels::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
  return panels_[static_cast<std::size_t>(index)].get();
}

void TStatusPanels::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0) Changed();
}

void TStatusPanels::Changed() {
  if (updating_ == 0) bar_->Invalidate();
}

// --- the bar ---

TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner), panels_(std::make_unique<TStatusPanels>(this)) {
  ControlStyle &= ~static_cast<unsigned>(csSetCaption);
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 200, 19);
  SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::SetSimplePanel(bool value) {
  simplePanel_ = value;
  Invalidate();
}

void TStatusBar::SetSimpleText(const std::string& value) {
  simpleText_ = value;
  Invalidate();
}

void TStatusBar::SetSizeGrip(bool value) {
  sizeGrip_ = value;
  Invalidate();
}

TRect TStatusBar::PanelRect(int index) const {
  const int count = panels_->Count();
  if (index < 0 || index >= count) return {};
  int left = 0;
  for (int i = 0; i < index; ++i) left += panels_->Items(i)->Width() + 2;
  int right = left + panels_->Items(index)->Width();
  if (index == count - 1) right = std::max(right, ClientWidth());
  return Rect(left, 2, right, ClientHeight());
}

void TStatusBar::DrawPanel(TStatusPanel* panel, const TRect& rect) {
  TCanvas* canvas = Canvas();
  if (panel->Style() == psOwnerDraw) {
    if (OnDrawPanel) OnDrawPanel(this, panel, rect);
    return;
  }
  const TTextStyle style = CellTextStyle(panel->Alignment());
  canvas->Brush->Style = bsClear;
  DrawTextInRect(canvas, Rect(rect.Left + 2, rect.Top, rect.Right - 2, rect.Bottom), panel->Text(), style);
  canvas->Brush->Style = bsSolid;
}

void TStatusBar::Paint() {
  TCanvas* canvas = Canvas();
  const int w = ClientWidth();
  const int h = ClientHeight();
  const int grip = sizeGrip_ ? h - 2 : 0;
  canvas->Brush->Color = Color();
  if (simplePanel_) {
    TTextStyle style;
    style.vAlign = TVAlign::Center;
    canvas->Brush->Style = bsClear;
    DrawTextInRect(canvas, Rect(2, 2, w - grip, h), simpleText_, style);
    canvas->Brush->Style = bsSolid;
  } else {
    for (int i = 0; i < panels_->Count(); ++i) {
      TStatusPanel* panel = panels_->Items(i);
      TRect r = PanelRect(i);
      if (i == panels_->Count() - 1) r.Right = std::max(r.Left, w - grip);
      if (panel->Bevel() == pbLowered)
        DrawEdge(canvas, r, TEdge::SunkenThin);
      else if (panel->Bevel() == pbRaised)
        DrawEdge(canvas, r, TEdge::RaisedThin);
      else
        r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
      // The panel draws inside its frame and nowhere else.
      canvas->Brush->Style = bsSolid;
      canvas->Brush->Color = Color();
      canvas->Font->Assign(*Font());
      TClipScope clip(canvas, r);
      DrawPanel(panel, r);
    }
  }
  if (sizeGrip_) DrawSizeGrip(canvas, w, h, grip);
}
