#include "platform/vcl/ListBox.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/win/VirtualKeys.h"

TCustomListBox::TCustomListBox(TComponent* AOwner) : TCustomControl(AOwner) {
  // OnClick comes from a change of the choice, not from the mouse button.
  ControlStyle &= ~static_cast<unsigned>(csSetCaption | csClickEvents);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  items_ = std::make_unique<TStrings>();
  items_->OnChange = [this] { ItemsChanged(); };
  SetBounds(0, 0, 121, 97);
}

TCustomListBox::~TCustomListBox() { items_->OnChange = nullptr; }

void TCustomListBox::ItemsChanged() {
  selected_.resize(static_cast<std::size_t>(items_->Count()), false);
  if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
  if (anchor_ >= items_->Count()) anchor_ = -1;
  if (!multiSelect_) {
    // A single-choice list: the chosen index stays chosen.
    std::fill(selected_.begin(), selected_.end(), false);
    if (itemIndex_ >= 0) selected_[static_cast<std::size_t>(itemIndex_)] = true;
  }
  if (topIndex_ >= items_->Count()) topIndex_ = std::max(0, items_->Count() - 1);
  Invalidate();
}

int TCustomListBox::ItemHeight() const {
  if (itemHeightSet_ && style_ != lbStandard) return itemHeight_;
  TCanvas measure;
  measure.Font->Assign(*const_cast<TCustomListBox*>(this)->Font());
  return std::max(1, measure.TextHeight("Wg"));
}

void TCustomListBox::SetItemHeight(int value) {
  if (value <= 0) return;
  itemHeight_ = value;
  itemHeightSet_ = true;
  Invalidate();
}

void TCustomListBox::SetStyle(TListBoxStyle value) {
  style_ = value;
  Invalidate();
}

void TCustomListBox::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  SizeChanged();
  Invalidate();
}

bool TCustomListBox::ScrollBarShown() const {
  const int border = borderStyle_ == bsSingle ? 2 : 0;
  return static_cast<long long>(items_->Count()) * ItemHeight() > Height() - 2 * border;
}

TRect TCustomListBox::BorderInsets() const {
  const int b = borderStyle_ == bsSingle ? 2 : 0;
  return {b, b, b + (ScrollBarShown() ? kScrollBarSize : 0), b};
}

int TCustomListBox::VisibleRows() const { return std::max(1, ClientHeight() / ItemHeight()); }

void TCustomListBox::SetTopIndex(int value) {
  value = std::clamp(value, 0, std::max(0, items_->Count() - 1));
  if (value == topIndex_) return;
  topIndex_ = value;
  Invalidate();
}

void TCustomListBox::MakeVisible(int index) {
  if (index < 0) return;
  if (index < topIndex_)
    SetTopIndex(index);
  else if (index >= topIndex_ + VisibleRows())
    SetTopIndex(index - VisibleRows() + 1);
}

void TCustomListBox::SetItemIndex(int value) {
  if (value < -1 || value >= items_->Count()) value = -1;
  if (!multiSelect_) {
    std::fill(selected_.begin(), selected_.end(), false);
    if (value >= 0) selected_[static_cast<std::size_t>(value)] = true;
  }
  itemIndex_ = value;
  anchor_ = value;
  MakeVisible(value);
  Invalidate();
}

void TCustomListBox::SetMultiSelect(bool value) {
  multiSelect_ = value;
  if (!value) SetItemIndex(itemIndex_);
}

bool TCustomListBox::Selected(int index) const {
  if (index < 0 || index >= items_->Count())
    throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
  return selected_[static_cast<std::size_t>(index)];
}

void TCustomListBox::SetSelected(int index, bool value) {
  if (index < 0 || index >= items_->Count())
    throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
  if (!multiSelect_) {
    // A single-choice list: selecting chooses the item, unselecting the
    // chosen item clears the choice.
    if (value)
      SetItemIndex(index);
    else if (index == itemIndex_)
      SetItemIndex(-1);
    return;
  }
  selected_[static_cast<std::size_t>(index)] = value;
  Invalidate();
}

int TCustomListBox::SelCount() const {
  if (!multiSelect_) return -1;
  return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

void TCustomListBox::ClearSelection() {
  std::fill(selected_.begin(), selected_.end(), false);
  if (!multiSelect_) itemIndex_ = -1;
  Invalidate();
}

void TCustomListBox::SelectAll() {
  if (!multiSelect_) return;
  std::fill(selected_.begin(), selected_.end(), true);
  Invalidate();
}

int TCustomListBox::ItemAtPos(const TPoint& pos, bool existing) const {
  const int count = items_->Count();
  if (pos.x < 0 || pos.y < 0 || pos.x >= ClientWidth()) return existing ? -1 : count;
  const int index = topIndex_ + pos.y / ItemHeight();
  if (index < count && pos.y < ClientHeight()) return index;
  return existing ? -1 : count;
}

TRect TCustomListBox::ItemRect(int index) const {
  const int h = ItemHeight();
  return Rect(0, (index - topIndex_) * h, ClientWidth(), (index - topIndex_ + 1) * h);
}

void TCustomListBox::UserChoose(int index, TShiftState shift) {
  if (index < 0 || index >= items_->Count()) return;
  if (multiSelect_) {
    if (ExtendedSelect && (shift & ssShift) && anchor_ >= 0) {
      if (!(shift & ssCtrl)) std::fill(selected_.begin(), selected_.end(), false);
      for (int i = std::min(anchor_, index); i <= std::max(anchor_, index); ++i)
        selected_[static_cast<std::size_t>(i)] = true;
    } else if (!ExtendedSelect || (shift & ssCtrl)) {
      selected_[static_cast<std::size_t>(index)] = !selected_[static_cast<std::size_t>(index)];
      anchor_ = index;
    } else {
      std::fill(selected_.begin(), selected_.end(), false);
      selected_[static_cast<std::size_t>(index)] = true;
      anchor_ = index;
    }
  } else {
    std::fill(selected_.begin(), selected_.end(), false);
    selected_[static_cast<std::size_t>(index)] = true;
    anchor_ = index;
  }
  itemIndex_ = index;
  MakeVisible(index);
  Invalidate();
  Click();
}

bool TCustomListBox::DoMouseWheel(TShiftState shift, int wheelDelta, const TPoint& mousePos) {
  if (TCustomControl::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  SetTopIndex(topIndex_ - wheelDelta / 120 * 3);
  return true;
}

void TCustomListBox::Dispatch(void* message) {
  TMessage& m = *static_cast<TMessage*>(message);
  if (m.Msg == WM_GETDLGCODE) {
    m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
    return;
  }
  if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK || m.Msg == WM_LBUTTONUP) {
    const int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    if (x < 0 || y < 0 || x >= ClientWidth() || y >= ClientHeight()) {
      // The frame is no client area: the scroll bar's upper half scrolls up
      // a row, its lower half down; no mouse event.
      if (m.Msg != WM_LBUTTONUP && ScrollBarShown() && x >= ClientWidth() && y >= 0 && y < ClientHeight())
        SetTopIndex(topIndex_ + (y < ClientHeight() / 2 ? -1 : 1));
      return;
    }
  }
  TCustomControl::Dispatch(message);
}

void TCustomListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    const int index = ItemAtPos({x, y}, true);
    if (index >= 0 && !(shift & ssDouble)) UserChoose(index, shift);
    // A double click on an item is the list's double click (the list has
    // no click events of its own).
    if (index >= 0 && (shift & ssDouble)) DblClick();
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomListBox::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  const int count = items_->Count();
  if (count == 0) return;
  int next = itemIndex_;
  switch (key) {
    case VK_UP: next = std::max(0, itemIndex_ - 1); break;
    case VK_DOWN: next = std::min(count - 1, itemIndex_ + 1); break;
    case VK_HOME: next = 0; break;
    case VK_END: next = count - 1; break;
    case VK_PRIOR: next = std::max(0, itemIndex_ - VisibleRows() + 1); break;
    case VK_NEXT: next = std::min(count - 1, std::max(0, itemIndex_) + VisibleRows() - 1); break;
    default: return;
  }
  if (next != itemIndex_ || (itemIndex_ >= 0 && !selected_[static_cast<std::size_t>(itemIndex_)]))
    UserChoose(next, shift & ssShift);
}

void TCustomListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  TCanvas* canvas = Canvas();
  if (style_ != lbStandard && OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  canvas->FillRect(rect);
  TTextStyle style;
  style.vAlign = TVAlign::Center;
  DrawTextInRect(canvas, Rect(rect.Left + 2, rect.Top, rect.Right, rect.Bottom), items_->Strings(index), style);
}

void TCustomListBox::PaintNonClient(TCanvas* canvas) {
  TRect r = Rect(0, 0, Width(), Height());
  if (borderStyle_ == bsSingle) DrawEdge(canvas, r, TEdge::Sunken);
  if (ScrollBarShown())
    DrawScrollBar(canvas, Rect(r.Right - kScrollBarSize, r.Top, r.Right, r.Bottom), false, topIndex_, items_->Count(),
                  VisibleRows());
}

void TCustomListBox::Paint() {
  TCanvas* canvas = Canvas();
  const bool enabled = Enabled();
  const bool focused = Focused() && enabled;
  const int count = items_->Count();
  const int rows = VisibleRows() + 1;
  for (int i = topIndex_; i < count && i < topIndex_ + rows; ++i) {
    const TRect r = ItemRect(i);
    const bool sel = selected_[static_cast<std::size_t>(i)];
    TOwnerDrawState state = 0;
    if (sel) state |= odSelected;
    if (focused && i == itemIndex_) state |= odFocused;
    if (!enabled) state |= odDisabled;
    canvas->Brush->Style = bsSolid;
    canvas->Brush->Color = sel ? clHighlight : Color();
    canvas->Font->Color = sel ? clHighlightText : (enabled ? Font()->Color : clGrayText);
    DrawItem(i, r, state);
    if (focused && i == itemIndex_) canvas->DrawFocusRect(r);
  }
  if (focused && itemIndex_ < 0 && count == 0) canvas->DrawFocusRect(Rect(0, 0, ClientWidth(), ItemHeight()));
}
