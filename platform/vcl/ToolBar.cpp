#include "platform/vcl/ToolBar.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/ComCtrlsPaint.h"
#include "platform/vcl/ImageList.h"

// --- TToolButton ---

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  ControlStyle = (ControlStyle | csCaptureMouse | csClickEvents) & ~static_cast<unsigned>(csSetCaption);
  SetBounds(0, 0, 23, 22);
}

TToolButton::~TToolButton() {
  if (toolBar_ != nullptr) toolBar_->RemoveButton(this);
}

void TToolButton::SetParent(TWinControl* parent) {
  if (toolBar_ != nullptr && toolBar_ != parent) toolBar_->RemoveButton(this);
  TGraphicControl::SetParent(parent);
  if (auto* bar = dynamic_cast<TToolBar*>(parent); bar != nullptr && toolBar_ != bar) bar->AddButton(this);
}

void TToolButton::SetVisible(bool value) {
  TGraphicControl::SetVisible(value);
  if (toolBar_ != nullptr) toolBar_->ArrangeButtons();
}

void TToolButton::SetEnabled(bool value) {
  TGraphicControl::SetEnabled(value);
  Invalidate();
}

int TToolButton::Index() const {
  if (toolBar_ == nullptr) return -1;
  const auto& b = toolBar_->buttons_;
  return static_cast<int>(std::find(b.begin(), b.end(), this) - b.begin());
}

std::vector<TToolButton*> TToolButton::Group() const {
  std::vector<TToolButton*> group;
  auto member = [](const TToolButton* b) { return b->grouped_ && b->style_ == tbsCheck; };
  if (toolBar_ == nullptr || !member(this)) return {const_cast<TToolButton*>(this)};
  const auto& b = toolBar_->buttons_;
  int first = Index(), last = first;
  while (first > 0 && member(b[static_cast<std::size_t>(first - 1)])) --first;
  while (last + 1 < static_cast<int>(b.size()) && member(b[static_cast<std::size_t>(last + 1)])) ++last;
  for (int i = first; i <= last; ++i) group.push_back(b[static_cast<std::size_t>(i)]);
  return group;
}

void TToolButton::SetDown(bool value) {
  if (value == down_) return;
  down_ = value;
  if (value && grouped_ && style_ == tbsCheck)
    for (TToolButton* other : Group())
      if (other != this && other->down_) {
        other->down_ = false;
        other->Invalidate();
      }
  Invalidate();
}

void TToolButton::SetStyle(TToolButtonStyle value) {
  if (value == style_) return;
  style_ = value;
  if (IsSeparator() && Width() == (toolBar_ ? toolBar_->ButtonWidth() : 23)) SetWidth(8);
  if (toolBar_ != nullptr) toolBar_->ArrangeButtons();
  Invalidate();
}

void TToolButton::SetGrouped(bool value) {
  grouped_ = value;
  if (down_) {
    down_ = false;
    SetDown(true);
  }
}

void TToolButton::SetAllowAllUp(bool value) { allowAllUp_ = value; }

void TToolButton::SetImageIndex(int value) {
  imageIndex_ = value;
  Invalidate();
}

void TToolButton::SetIndeterminate(bool value) {
  indeterminate_ = value;
  Invalidate();
}

void TToolButton::SetWrap(bool value) {
  wrap_ = value;
  if (toolBar_ != nullptr) toolBar_->ArrangeButtons();
}

void TToolButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button == mbLeft && Enabled() && !IsSeparator()) press_.Start(*this);
}

void TToolButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  press_.Move(*this, x, y);
}

void TToolButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (button == mbLeft) press_.End(*this);
}

void TToolButton::Dispatch(void* message) {
  TMessage& m = *static_cast<TMessage*>(message);
  if (m.Msg == WM_LBUTTONUP && (ControlState & csClicked)) {
    const bool inside = PtInRect(ClientRect(), {GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
    if (IsSeparator()) {
      ControlState &= ~static_cast<unsigned>(csClicked);  // separators are not clicked
    } else if (inside && style_ == tbsCheck) {
      // The state changes before OnClick fires.
      if (!down_)
        SetDown(true);
      else if (!grouped_ || allowAllUp_)
        SetDown(false);
    }
  }
  if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) {
    hot_ = m.Msg == CM_MOUSEENTER;
    Invalidate();
  }
  TGraphicControl::Dispatch(message);
}

void TToolButton::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  const bool flat = toolBar_ == nullptr || toolBar_->Flat();
  if (IsSeparator()) {
    if (style_ == tbsDivider)
      DrawEdgeLine(canvas, static_cast<int>(r.Width() / 2 - 1), r.Top + 1, static_cast<int>(r.Height()) - 2, false,
                   true);
    return;
  }
  TButtonState state;
  state.pushed = down_ || press_.Pushed();
  // A check button held down shows a dithered face; an indeterminate one too.
  state.latched = (down_ && !press_.Pushed()) || indeterminate_;
  state.hot = hot_;
  state.enabled = Enabled();
  const int offset = DrawButtonFace(canvas, r, flat ? TButtonKind::FlatTool : TButtonKind::Tool, state);
  TCustomImageList* images = toolBar_ != nullptr ? toolBar_->Images() : nullptr;
  const bool showCaption = toolBar_ != nullptr && toolBar_->ShowCaptions();
  int imageHeight = 0;
  if (images != nullptr && imageIndex_ >= 0 && imageIndex_ < images->Count()) {
    imageHeight = images->Height();
    const int x = (Width() - images->Width()) / 2 + offset;
    const int y = showCaption ? 3 + offset : (Height() - images->Height()) / 2 + offset;
    TCustomImageList* disabled = toolBar_->DisabledImages();
    if (!Enabled() && disabled != nullptr && imageIndex_ < disabled->Count())
      disabled->Draw(canvas, x, y, imageIndex_, true);
    else
      images->Draw(canvas, x, y, imageIndex_, Enabled());
  }
  if (showCaption || imageHeight == 0) {
    TTextStyle style = CellTextStyle(taCenter);
    style.disabled = !Enabled();
    if (imageHeight > 0) style.vAlign = TVAlign::Top;
    const int top = imageHeight > 0 ? 3 + imageHeight + 1 : 0;
    canvas->Brush->Style = bsClear;
    DrawTextInRect(canvas, Rect(offset + 2, top + offset, Width() - 2 + offset, Height() + offset), Caption(), style);
    canvas->Brush->Style = bsSolid;
  }
}

// --- TToolBar ---

TToolBar::TToolBar(TComponent* AOwner) : TCustomControl(AOwner) {
  ControlStyle = (ControlStyle | csAcceptsControls) & ~static_cast<unsigned>(csSetCaption);
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 150, 29);
  SetAlign(alTop);
}

TToolBar::~TToolBar() {
  // The buttons are freed with the bar's children; they forget the bar first.
  for (TToolButton* b : buttons_) b->toolBar_ = nullptr;
  buttons_.clear();
}

TToolButton* TToolBar::Buttons(int index) const {
  if (index < 0 || index >= ButtonCount())
    throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
  return buttons_[static_cast<std::size_t>(index)];
}

void TToolBar::AddButton(TToolButton* button) {
  button->toolBar_ = this;
  buttons_.push_back(button);
  if (!button->IsSeparator()) button->SetBounds(button->Left(), button->Top(), buttonWidth_, buttonHeight_);
  ArrangeButtons();
}

void TToolBar::RemoveButton(TToolButton* button) {
  std::erase(buttons_, button);
  button->toolBar_ = nullptr;
  ArrangeButtons();
}

void TToolBar::SetImages(TCustomImageList* value) {
  SetImageListLink(this, images_, value);
  Invalidate();
}

void TToolBar::SetDisabledImages(TCustomImageList* value) {
  SetImageListLink(this, disabledImages_, value);
  Invalidate();
}

void TToolBar::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (images_ != nullptr && component == images_) images_ = nullptr;
  if (disabledImages_ != nullptr && component == disabledImages_) disabledImages_ = nullptr;
}

void TToolBar::SetButtonWidth(int value) {
  buttonWidth_ = std::max(1, value);
  ArrangeButtons();
}

void TToolBar::SetButtonHeight(int value) {
  buttonHeight_ = std::max(1, value);
  ArrangeButtons();
}

void TToolBar::SetFlat(bool value) {
  flat_ = value;
  Invalidate();
}

void TToolBar::SetShowCaptions(bool value) {
  showCaptions_ = value;
  Invalidate();
}

void TToolBar::SetWrapable(bool value) {
  wrapable_ = value;
  ArrangeButtons();
}

void TToolBar::SetIndent(int value) {
  indent_ = std::max(0, value);
  ArrangeButtons();
}

void TToolBar::SizeChanged() {
  TCustomControl::SizeChanged();
  ArrangeButtons();
}

void TToolBar::ArrangeButtons() {
  if (arranging_) return;
  arranging_ = true;
  int x = indent_;
  int y = 2;
  const int right = ClientWidth();
  for (TToolButton* b : buttons_) {
    if (!b->Visible() || b->Parent() != this) continue;
    const int w = b->IsSeparator() ? b->Width() : buttonWidth_;
    if (wrapable_ && x > indent_ && x + w > right && !b->IsSeparator()) {
      x = indent_;
      y += buttonHeight_;
    }
    b->SetBounds(x, y, w, buttonHeight_);
    x += w;
    if (b->Wrap()) {
      x = indent_;
      y += buttonHeight_;
    }
  }
  arranging_ = false;
  Invalidate();
}

void TToolBar::Paint() {
  // The etched line along the top edge of a classic tool bar.
  DrawEdgeLine(Canvas(), 0, 0, ClientWidth(), true, true);
}
