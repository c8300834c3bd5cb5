#pragma once
// One level of a popped-up menu as the screen shows it: the visible
// sub-items of a menu item, one under the other in the menu font, painted
// in the classic look. The level always fits the work area it is given:
//   - a caption wider than kMenuTextMaxWidth (or than the area leaves) shows
//     cut, ending in "..."; the item itself keeps its whole caption;
//   - a level taller than the area is as tall as the area and shows the
//     items that fit between a scroll arrow at its top and one at its
//     bottom; scrolling (by items) brings every other item into view.
// A back end that shows menus (the X11 one) places, paints and hit-tests
// its levels through this class; a test can paint one into a bitmap.

#include <string>
#include <vector>

#include "platform/vcl/GraphicsTypes.h"

class TCanvas;
class TMenuItem;

inline constexpr int kMenuBorder = 3;
inline constexpr int kMenuItemHeight = 20;
inline constexpr int kMenuLineHeight = 8;
inline constexpr int kMenuScrollArrowHeight = 16;
// The widest a caption shows before it is cut.
inline constexpr int kMenuTextMaxWidth = 400;

// The font menus are drawn in.
void SetMenuFont(TCanvas* canvas);

class TMenuLevel {
 public:
  // What lies at a point of the level besides an item.
  static constexpr int kNoItem = -1;
  static constexpr int kUpArrow = -2;
  static constexpr int kDownArrow = -3;

  // Lays out the visible sub-items of `parent`, measured on `canvas` (its
  // font is set to the menu font), to fit an area of `area` pixels.
  TMenuLevel(TMenuItem* parent, TCanvas* canvas, const TSize& area);

  TMenuItem* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Item(int index) const { return items_[static_cast<std::size_t>(index)]; }
  // The caption as it shows (without '&' marks, cut when too wide).
  const std::string& Text(int index) const { return texts_[static_cast<std::size_t>(index)]; }
  // The size of the level's window.
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Whether not every item fits: the level shows its scroll arrows.
  bool Scrolls() const { return scrolls_; }

  // The first and last item shown now.
  int FirstShown() const { return first_; }
  int LastShown() const;
  // Scrolls so that `first` is the first item shown (kept between the
  // first item and the last one that still fills the level); answers
  // whether the items shown changed.
  bool ScrollTo(int first);
  bool ScrollBy(int items) { return ScrollTo(first_ + items); }
  // Scrolls as little as needed for the item to show.
  bool ShowItem(int index);

  // The item's rectangle in the level's window; empty when it is scrolled
  // out of sight.
  TRect ItemRect(int index) const;
  // The item at a point of the level's window, or kUpArrow, kDownArrow or
  // kNoItem.
  int HitTest(const TPoint& point) const;

  // Paints the level at (0, 0) of `canvas`, the item `hot` lit (-1 none).
  void Paint(TCanvas* canvas, int hot) const;

 private:
  int ViewTop() const { return kMenuBorder + (scrolls_ ? kMenuScrollArrowHeight : 0); }
  int ViewBottom() const { return height_ - kMenuBorder - (scrolls_ ? kMenuScrollArrowHeight : 0); }
  int ItemHeight(int index) const;
  int LastFirst() const;
  void PaintItem(TCanvas* canvas, int index, bool hot) const;
  void PaintArrow(TCanvas* canvas, bool up) const;

  TMenuItem* parent_;
  std::vector<TMenuItem*> items_;
  std::vector<std::string> texts_;
  std::vector<int> tops_;  // each item's top in the whole column of items
  int contentHeight_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool scrolls_ = false;
  int first_ = 0;
};
