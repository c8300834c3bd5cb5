#include "platform/vcl/MenuLevel.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Menus.h"

namespace {

constexpr int kTextLeft = 22;
constexpr int kRightMargin = 22;
constexpr int kShortCutGap = 24;

}  // namespace

void SetMenuFont(TCanvas* canvas) {
  canvas->Font->Name = "Tahoma";
  canvas->Font->SetSize(8);
  canvas->Font->Color = clMenuText;
}

TMenuLevel::TMenuLevel(TMenuItem* parent, TCanvas* canvas, const TSize& area) : parent_(parent) {
  for (int i = 0; i < parent->Count(); ++i)
    if (parent->Items(i)->Visible()) items_.push_back(parent->Items(i));
  SetMenuFont(canvas);
  int textWidth = 0;
  int shortCutWidth = 0;
  for (TMenuItem* item : items_) {
    tops_.push_back(contentHeight_);
    contentHeight_ += item->IsLine() ? kMenuLineHeight : kMenuItemHeight;
    if (item->IsLine()) continue;
    // Past the widest a caption may show, the exact width does not matter.
    textWidth = std::max(textWidth, std::min(kMenuTextMaxWidth + 1, canvas->TextWidth(StripHotkey(item->Caption()))));
    if (item->ShortCut() != 0)
      shortCutWidth = std::max(shortCutWidth, canvas->TextWidth(ShortCutToText(item->ShortCut())));
  }
  const int frame = kMenuBorder * 2 + kTextLeft + (shortCutWidth > 0 ? kShortCutGap + shortCutWidth : 0) + kRightMargin;
  textWidth = std::max(0, std::min({textWidth, kMenuTextMaxWidth, static_cast<int>(area.cx) - frame}));
  width_ = frame + textWidth;
  for (TMenuItem* item : items_)
    texts_.push_back(item->IsLine() ? std::string() : EllipsizedText(canvas, StripHotkey(item->Caption()), textWidth));
  height_ = contentHeight_ + kMenuBorder * 2;
  if (height_ > area.cy) {
    // Room for the arrows and at least one item, however small the area.
    scrolls_ = true;
    height_ = std::max(static_cast<int>(area.cy), kMenuBorder * 2 + kMenuScrollArrowHeight * 2 + kMenuItemHeight);
  }
}

int TMenuLevel::ItemHeight(int index) const { return Item(index)->IsLine() ? kMenuLineHeight : kMenuItemHeight; }

int TMenuLevel::LastShown() const {
  if (items_.empty()) return -1;
  // The items that end at or above the bottom of the view.
  const int bottom = tops_[static_cast<std::size_t>(first_)] + ViewBottom() - ViewTop();
  const auto after = std::upper_bound(tops_.begin() + first_, tops_.end(), bottom);
  int last = std::max(first_, static_cast<int>(after - tops_.begin()) - 1);
  if (last > first_ && tops_[static_cast<std::size_t>(last)] + ItemHeight(last) > bottom) --last;
  return last;
}

int TMenuLevel::LastFirst() const {
  // The first item from which the rest of the column fills the view.
  const int from = contentHeight_ - (ViewBottom() - ViewTop());
  if (from <= 0) return 0;
  const auto it = std::lower_bound(tops_.begin(), tops_.end(), from);
  return std::min(static_cast<int>(it - tops_.begin()), Count() - 1);
}

bool TMenuLevel::ScrollTo(int first) {
  const int wanted = std::clamp(first, 0, std::max(0, LastFirst()));
  if (wanted == first_) return false;
  first_ = wanted;
  return true;
}

bool TMenuLevel::ShowItem(int index) {
  if (index < 0 || index >= Count()) return false;
  if (index < first_) return ScrollTo(index);
  if (index <= LastShown()) return false;
  // The first item from which `index` is the last one shown.
  const int bottom = tops_[static_cast<std::size_t>(index)] + ItemHeight(index) - (ViewBottom() - ViewTop());
  const auto it = std::lower_bound(tops_.begin(), tops_.end(), bottom);
  return ScrollTo(static_cast<int>(it - tops_.begin()));
}

TRect TMenuLevel::ItemRect(int index) const {
  if (index < first_ || index > LastShown()) return TRect{};
  const int top = ViewTop() + tops_[static_cast<std::size_t>(index)] - tops_[static_cast<std::size_t>(first_)];
  return Rect(kMenuBorder, top, width_ - kMenuBorder, top + ItemHeight(index));
}

int TMenuLevel::HitTest(const TPoint& point) const {
  if (point.x < 0 || point.x >= width_ || point.y < 0 || point.y >= height_) return kNoItem;
  if (scrolls_ && point.y < ViewTop()) return kUpArrow;
  if (scrolls_ && point.y >= ViewBottom()) return kDownArrow;
  for (int i = first_; i >= 0 && i <= LastShown(); ++i)
    if (PtInRect(ItemRect(i), point)) return i;
  return kNoItem;
}

void TMenuLevel::Paint(TCanvas* canvas, int hot) const {
  canvas->Brush->Color = clMenu;
  canvas->Brush->Style = bsSolid;
  canvas->FillRect(Rect(0, 0, width_, height_));
  TRect frame = Rect(0, 0, width_, height_);
  DrawEdge(canvas, frame, TEdge::Raised);
  SetMenuFont(canvas);
  if (items_.empty()) return;
  for (int i = first_; i <= LastShown(); ++i) PaintItem(canvas, i, i == hot);
  if (!scrolls_) return;
  PaintArrow(canvas, true);
  PaintArrow(canvas, false);
}

void TMenuLevel::PaintArrow(TCanvas* canvas, bool up) const {
  // Grey at the end the list cannot scroll beyond.
  const bool more = up ? first_ > 0 : first_ < LastFirst();
  const TColor colour = more ? clMenuText : clGrayText;
  canvas->Pen->Color = colour;
  canvas->Brush->Color = colour;
  canvas->Brush->Style = bsSolid;
  const int mx = width_ / 2;
  const int my = up ? kMenuBorder + kMenuScrollArrowHeight / 2 : height_ - kMenuBorder - kMenuScrollArrowHeight / 2;
  const int d = up ? -1 : 1;
  canvas->Polygon({TPoint{mx - 4, my - 2 * d}, TPoint{mx + 4, my - 2 * d}, TPoint{mx, my + 2 * d}});
}

void TMenuLevel::PaintItem(TCanvas* canvas, int index, bool hot) const {
  TMenuItem* item = Item(index);
  const TRect r = ItemRect(index);
  if (item->IsLine()) {
    DrawEdgeLine(canvas, r.Left + 1, r.Top + kMenuLineHeight / 2 - 1, static_cast<int>(r.Width()) - 2, true, true);
    return;
  }
  canvas->Brush->Color = hot ? clHighlight : clMenu;
  canvas->Brush->Style = bsSolid;
  canvas->FillRect(r);
  canvas->Brush->Style = bsClear;
  canvas->Font->Color = !item->Enabled() ? clGrayText : hot ? clHighlightText : clMenuText;
  const int textY = r.Top + (kMenuItemHeight - canvas->TextHeight("Ag")) / 2;
  canvas->TextOut(r.Left + kTextLeft, textY, Text(index));
  if (item->ShortCut() != 0) {
    const std::string text = ShortCutToText(item->ShortCut());
    canvas->TextOut(r.Right - kRightMargin - canvas->TextWidth(text), textY, text);
  }
  canvas->Brush->Style = bsSolid;
  canvas->Pen->Color = canvas->Font->Color;
  canvas->Brush->Color = canvas->Font->Color;
  const int midY = r.Top + kMenuItemHeight / 2;
  const TMenu* menu = item->GetParentMenu();
  const TCustomImageList* images = menu != nullptr ? menu->Images() : nullptr;
  if (images != nullptr && item->ImageIndex >= 0 && item->ImageIndex < images->Count()) {
    // The item's picture; a checked one sits in a sunken frame.
    const int top = midY - images->Height() / 2;
    images->Draw(canvas, r.Left + 2, top, item->ImageIndex, item->Enabled());
    if (item->Checked()) {
      TRect sunken = Rect(r.Left + 1, top - 1, r.Left + 3 + images->Width(), top + 1 + images->Height());
      DrawEdge(canvas, sunken, TEdge::SunkenThin);
      canvas->Pen->Color = canvas->Font->Color;
    }
  } else if (item->Checked()) {
    // A tick.
    canvas->MoveTo(r.Left + 6, midY);
    canvas->LineTo(r.Left + 8, midY + 2);
    canvas->LineTo(r.Left + 13, midY - 3);
    canvas->MoveTo(r.Left + 6, midY + 1);
    canvas->LineTo(r.Left + 8, midY + 3);
    canvas->LineTo(r.Left + 13, midY - 2);
  }
  if (item->Count() > 0) {
    const int ax = r.Right - 10;
    canvas->Polygon({TPoint{ax, midY - 4}, TPoint{ax + 4, midY}, TPoint{ax, midY + 4}});
  }
}
