#include "platform/vcl/ComboBox.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/win/Monitors.h"
#include "platform/win/VirtualKeys.h"

namespace {
constexpr int kButtonWidth = 17;
// The rows a notch of the wheel moves the open list.
constexpr int kWheelRows = 3;
// The open list's frame, one pixel on each side.
constexpr int kListFrame = 1;

// Whole rows of height `h` in `room` pixels (two of them the frame's).
int RowsIn(long long room, int h) {
  return static_cast<int>(std::clamp<long long>((room - 2 * kListFrame) / h, 0, INT_MAX));
}
}  // namespace

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TCustomControl(AOwner) {
  // OnClick comes from a choice, not from the mouse button.
  ControlStyle &= ~static_cast<unsigned>(csSetCaption | csClickEvents);
  ControlStyle |= csFixedHeight;
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  items_ = std::make_unique<TStrings>();
  items_->OnChange = [this] { ItemsChanged(); };
  TCustomControl::SetBounds(0, 0, 145, 21);
  AdjustHeight();
}

TCustomComboBox::~TCustomComboBox() { items_->OnChange = nullptr; }

void TCustomComboBox::ItemsChanged() {
  if (items_->Count() == 0) {
    // Emptying the list empties the edit field too.
    itemIndex_ = -1;
    SetTextQuietly("");
  } else if (itemIndex_ >= items_->Count()) {
    itemIndex_ = -1;
    if (!HasEdit()) SetTextQuietly("");
  }
  topIndex_ = std::clamp(topIndex_, 0, std::max(0, items_->Count() - 1));
  Invalidate();
}

void TCustomComboBox::SetTextQuietly(const std::string& value) {
  // The base stores the text without any event of the combo box.
  TCustomControl::SetText(value);
  selLength_ = 0;
}

void TCustomComboBox::SetItemIndex(int value) {
  if (value < -1 || value >= items_->Count()) value = -1;
  itemIndex_ = value;
  if (value >= 0)
    SetTextQuietly(items_->Strings(value));
  else if (!HasEdit())
    SetTextQuietly("");
  Invalidate();
}

void TCustomComboBox::SetText(const std::string& value) {
  const int index = items_->IndexOf(value);
  if (HasEdit()) {
    itemIndex_ = index;
    SetTextQuietly(value);
  } else {
    SetItemIndex(index);
  }
  Invalidate();
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
  if (value == style_) return;
  style_ = value;
  if (!HasEdit()) SetItemIndex(itemIndex_);
  AdjustHeight();
  Invalidate();
}

int TCustomComboBox::ItemHeight() const {
  if (itemHeight_ > 0 && OwnerDrawn()) return itemHeight_;
  TCanvas measure;
  measure.Font->Assign(*const_cast<TCustomComboBox*>(this)->Font());
  return measure.TextHeight("Wg");
}

void TCustomComboBox::SetItemHeight(int value) {
  itemHeight_ = std::max(0, value);
  AdjustHeight();
}

void TCustomComboBox::AdjustHeight() {
  const int h = ItemHeight() + 8;
  if (h != Height()) TCustomControl::SetBounds(Left(), Top(), Width(), h);
}

void TCustomComboBox::SetBounds(int left, int top, int width, int) {
  // The closed box is as high as its items make it.
  TCustomControl::SetBounds(left, top, width, ItemHeight() + 8);
}

void TCustomComboBox::SetParent(TWinControl* parent) {
  TCustomControl::SetParent(parent);
  Font();
  AdjustHeight();
}

void TCustomComboBox::SelectAll() {
  selLength_ = static_cast<int>(Text().size());
  Invalidate();
}

void TCustomComboBox::SetDroppedDown(bool value) {
  if (value == droppedDown_) return;
  droppedDown_ = value;
  // The list opens with the chosen item in view, in its last row when the
  // first rows cannot show it.
  if (value) topIndex_ = std::max(0, itemIndex_ - DroppedRows() + 1);
  Invalidate();
  if (value)
    DropDown();
  else
    CloseUp();
}

void TCustomComboBox::SelectFromList(int index) {
  if (index < 0 || index >= items_->Count()) return;
  SetDroppedDown(false);
  UserChoose(index);
}

TCustomComboBox::TListPlace TCustomComboBox::ListPlace() const {
  const int h = std::max(1, ItemHeight());
  const int wanted = std::max(1, std::min(items_->Count(), DropDownCount));
  // The room on the box's monitor: the work area below the box and above it.
  const TPoint at = Parent() != nullptr ? Parent()->ClientToScreen({Left(), Top()}) : TPoint{Left(), Top()};
  MONITORINFO info;
  if (!GetMonitorInfo(::MonitorFromPoint({at.x, at.y}, MONITOR_DEFAULTTONEAREST), &info))
    return {Rect(0, Height(), Width(), Height() + wanted * h + 2 * kListFrame), wanted};
  const int below = RowsIn(static_cast<long long>(info.rcWork.bottom) - at.y - Height(), h);
  const int above = RowsIn(static_cast<long long>(at.y) - info.rcWork.top, h);
  if (wanted <= below || below >= above) {
    const int rows = std::max(1, std::min(wanted, below));
    return {Rect(0, Height(), Width(), Height() + rows * h + 2 * kListFrame), rows};
  }
  const int rows = std::max(1, std::min(wanted, above));
  return {Rect(0, -(rows * h + 2 * kListFrame), Width(), 0), rows};
}

TRect TCustomComboBox::DroppedListRect() const { return ListPlace().rect; }

int TCustomComboBox::DroppedRows() const { return ListPlace().rows; }

int TCustomComboBox::FirstShown(int rows) const {
  return std::clamp(topIndex_, 0, std::max(0, items_->Count() - rows));
}

int TCustomComboBox::TopIndex() const { return FirstShown(DroppedRows()); }

void TCustomComboBox::ScrollList(int rows) {
  const int first = std::clamp(TopIndex() + rows, 0, std::max(0, items_->Count() - DroppedRows()));
  if (first == topIndex_) return;
  topIndex_ = first;
  Invalidate();
}

void TCustomComboBox::ShowInList(int index) {
  const int rows = DroppedRows();
  const int first = TopIndex();
  if (index < first)
    ScrollList(index - first);
  else if (index >= first + rows)
    ScrollList(index - first - rows + 1);
}

bool TCustomComboBox::PressInList(int x, int y) {
  const TListPlace place = ListPlace();
  const int h = std::max(1, ItemHeight());
  const int count = items_->Count();
  const int inner = y - kListFrame;
  const int length = place.rows * h;
  if (place.rows < count && x >= Width() - kListFrame - kScrollBarSize && inner >= 0 && inner < length) {
    const int button = std::min(kScrollBarSize, length / 2);
    const int track = length - 2 * button;
    if (inner < button) {
      ScrollList(-1);
    } else if (inner >= length - button) {
      ScrollList(1);
    } else if (track > 0) {
      // The track stands for all the items: the rows at that height come
      // into view, in the middle of the list.
      const long long item = static_cast<long long>(inner - button) * count / track;
      ScrollList(static_cast<int>(item) - place.rows / 2 - TopIndex());
    }
    return true;
  }
  const int row = inner >= 0 ? inner / h : -1;
  const int index = FirstShown(place.rows) + row;
  if (row >= 0 && row < place.rows && index < count)
    SelectFromList(index);
  else
    SetDroppedDown(false);
  return false;
}

void TCustomComboBox::UserChoose(int index) {
  if (index < 0 || index >= items_->Count()) return;
  itemIndex_ = index;
  if (droppedDown_) ShowInList(index);
  SetTextQuietly(items_->Strings(index));
  if (HasEdit()) selLength_ = static_cast<int>(Text().size());
  Invalidate();
  Click();
  Select();
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect)
    OnSelect(this);
  else
    Change();
}

void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::MouseWheelHandler(TMessage& message) {
  const TShiftState shift = KeysToShiftState(LOWORD(message.WParam));
  const int delta = static_cast<short>(HIWORD(message.WParam));
  const TPoint pos{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
  if (droppedDown_) {
    // An open list takes the wheel: its rows move, the choice stays.
    ScrollList(delta / -WHEEL_DELTA * kWheelRows);
    message.Result = 1;
    return;
  }
  if (DoMouseWheel(shift, delta, pos)) {
    message.Result = 1;
    return;
  }
  if (items_->Count() > 0 && delta != 0) {
    const int step = delta > 0 ? -1 : 1;
    const int next = std::clamp(itemIndex_ + step, 0, items_->Count() - 1);
    if (next != itemIndex_) UserChoose(next);
  }
  message.Result = 1;
}

void TCustomComboBox::Dispatch(void* message) {
  TMessage& m = *static_cast<TMessage*>(message);
  switch (m.Msg) {
    case WM_GETDLGCODE: m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; return;
    case CM_WANTSPECIALKEY:
      // An open list takes Enter and Escape itself.
      m.Result = (droppedDown_ && (m.WParam == VK_RETURN || m.WParam == VK_ESCAPE)) ? 1 : 0;
      return;
    case CM_MOUSEWHEEL: MouseWheelHandler(m); return;
    case WM_KILLFOCUS:
    case CM_EXIT:
      SetDroppedDown(false);
      TCustomControl::Dispatch(message);
      return;
    case CM_FONTCHANGED:
      TCustomControl::Dispatch(message);
      AdjustHeight();
      return;
    case CM_TEXTCHANGED: TCustomControl::Dispatch(message); return;
    default: TCustomControl::Dispatch(message);
  }
}

void TCustomComboBox::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  const int count = items_->Count();
  switch (key) {
    case VK_F4: SetDroppedDown(!droppedDown_); break;
    case VK_DOWN:
    case VK_UP:
      if (shift & ssAlt) {
        SetDroppedDown(!droppedDown_);
      } else if (count > 0) {
        const int next = key == VK_DOWN ? std::min(itemIndex_ + 1, count - 1) : std::max(itemIndex_ - 1, 0);
        if (next != itemIndex_) UserChoose(next);
      }
      break;
    case VK_HOME:
      if (!HasEdit() && count > 0 && itemIndex_ != 0) UserChoose(0);
      break;
    case VK_END:
      if (!HasEdit() && count > 0 && itemIndex_ != count - 1) UserChoose(count - 1);
      break;
    case VK_RETURN:
    case VK_ESCAPE: SetDroppedDown(false); break;
    default: break;
  }
}

void TCustomComboBox::KeyPress(char& key) {
  TCustomControl::KeyPress(key);
  const auto c = static_cast<unsigned char>(key);
  if (c == 0 || c == '\r' || c == 27) return;
  if (!HasEdit()) {
    // A letter chooses the next item that starts with it.
    if (c < 32) return;
    const int count = items_->Count();
    for (int k = 1; k <= count; ++k) {
      const int i = (itemIndex_ + k + count) % count;
      const std::string& s = items_->Strings(i);
      if (!s.empty() && std::tolower(static_cast<unsigned char>(s[0])) == std::tolower(c)) {
        if (i != itemIndex_) UserChoose(i);
        return;
      }
    }
    return;
  }
  std::string text = Text();
  if (selLength_ > 0) text.resize(text.size() - static_cast<std::size_t>(selLength_));
  if (c == '\b') {
    if (selLength_ == 0 && !text.empty()) text.pop_back();
  } else if (c >= 32) {
    if (MaxLength > 0 && static_cast<int>(text.size()) >= MaxLength) return;
    text += key;
  } else {
    return;
  }
  if (text == Text()) return;
  SetTextQuietly(text);
  Invalidate();
  Change();
}

void TCustomComboBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    const bool onButton = x >= ClientWidth() - kButtonWidth;
    if (!HasEdit() || onButton)
      SetDroppedDown(!droppedDown_);
    else
      selLength_ = 0;
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  TCanvas* canvas = Canvas();
  if (OwnerDrawn() && OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  canvas->Brush->Style = bsSolid;
  canvas->FillRect(rect);
  if (index >= 0 && index < items_->Count()) {
    TTextStyle style;
    style.vAlign = TVAlign::Center;
    DrawTextInRect(canvas, Rect(rect.Left + 2, rect.Top, rect.Right, rect.Bottom), items_->Strings(index), style);
  }
}

void TCustomComboBox::PaintNonClient(TCanvas* canvas) {
  TRect r = Rect(0, 0, Width(), Height());
  DrawEdge(canvas, r, TEdge::Sunken);
}

void TCustomComboBox::Paint() {
  TCanvas* canvas = Canvas();
  const TRect client = ClientRect();
  const bool enabled = Enabled();
  canvas->Brush->Color = enabled ? Color() : clBtnFace;
  canvas->FillRect(client);
  // The drop-down button.
  const TRect button = Rect(client.Right - kButtonWidth, client.Top, client.Right, client.Bottom);
  TRect face = button;
  TButtonState look;
  look.pushed = droppedDown_;
  look.enabled = enabled;
  const int shift = DrawButtonFace(canvas, face, TButtonKind::Push, look);
  DrawDropDownArrow(canvas, Rect(button.Left + shift, button.Top + shift, button.Right + shift, button.Bottom + shift),
                    enabled ? clBtnText : clGrayText);
  const TRect area = Rect(client.Left, client.Top, button.Left, client.Bottom);
  const bool focused = Focused() && enabled;
  if (HasEdit()) {
    const std::string text = Text();
    const int textHeight = canvas->TextHeight("Wg");
    const int top = static_cast<int>((area.Height() - textHeight) / 2);
    canvas->Font->Color = enabled ? Font()->Color : clGrayText;
    canvas->Brush->Style = bsClear;
    const std::string kept = text.substr(0, text.size() - static_cast<std::size_t>(selLength_));
    canvas->TextRect(area, 2, top, kept);
    const int keptWidth = canvas->TextWidth(kept);
    if (focused && selLength_ > 0) {
      const std::string sel = text.substr(kept.size());
      canvas->Brush->Style = bsSolid;
      canvas->Brush->Color = clHighlight;
      canvas->Font->Color = clHighlightText;
      const TRect selRect = Rect(2 + keptWidth, top, 2 + keptWidth + canvas->TextWidth(sel), top + textHeight);
      TRect clipped;
      if (IntersectRect(clipped, selRect, area)) canvas->TextRect(clipped, 2 + keptWidth, top, sel);
    } else if (focused) {
      canvas->Brush->Style = bsSolid;
      canvas->Brush->Color = clWindowText;
      canvas->FillRect(Rect(2 + keptWidth, top, 3 + keptWidth, top + textHeight));
    }
    return;
  }
  const TRect itemRect = Rect(area.Left + 1, area.Top + 1, area.Right - 1, area.Bottom - 1);
  TOwnerDrawState state = odComboBoxEdit;
  if (focused) state |= odSelected | odFocused;
  if (!enabled) state |= odDisabled;
  canvas->Brush->Style = bsSolid;
  canvas->Brush->Color = focused ? clHighlight : (enabled ? Color() : clBtnFace);
  canvas->Font->Color = focused ? clHighlightText : (enabled ? Font()->Color : clGrayText);
  DrawItem(itemIndex_, itemRect, state);
  if (focused) canvas->DrawFocusRect(itemRect);
}

void TCustomComboBox::PaintOverlay(TCanvas* canvas) {
  const TListPlace place = ListPlace();
  const int h = std::max(1, ItemHeight());
  const int count = items_->Count();
  const TRect frame = place.rect;
  canvas->Brush->Style = bsSolid;
  canvas->Brush->Color = Color();
  canvas->FillRect(frame);
  canvas->Brush->Color = clWindowFrame;
  canvas->FrameRect(frame);
  const bool scrolls = place.rows < count;
  const int right = Width() - kListFrame - (scrolls ? kScrollBarSize : 0);
  const int first = FirstShown(place.rows);
  const int top = frame.Top + kListFrame;
  for (int row = 0; row < place.rows && first + row < count; ++row) {
    const int index = first + row;
    const TRect r = Rect(kListFrame, top + row * h, right, top + (row + 1) * h);
    const bool chosen = index == itemIndex_;
    canvas->Brush->Color = chosen ? clHighlight : Color();
    canvas->Font->Color = chosen ? clHighlightText : Font()->Color;
    DrawItem(index, r, chosen ? (odSelected | odFocused) : 0);
  }
  if (scrolls)
    DrawScrollBar(canvas, Rect(right, top, Width() - kListFrame, top + place.rows * h), false, first, count,
                  place.rows);
}
