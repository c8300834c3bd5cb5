#pragma once
// A popped-up menu on the X display: one override-redirect window for each
// open level (the items of a menu, then the sub-items of the item opened in
// it), laid out and painted by TMenuLevel (MenuLevel.h), with the pointer
// and keyboard grabbed while it lasts. Moving over an item lights it and
// opens its sub-items; a release on an enabled item without sub-items
// chooses it; a press outside every level, Escape on the first level, the
// application ending or the back end no longer waiting for a person
// dismisses the menu. Up and Down move the light (the level scrolls to show
// it), Home, End, Page Up and Page Down jump, Right opens, Left closes a
// level, Enter chooses. A level taller than the screen scrolls: the wheel
// scrolls three items, the pointer resting on a scroll arrow scrolls item by
// item, a press on one scrolls a page. Timers and posted messages keep
// running meanwhile. A failure while the menu is open (a form that cannot be
// painted) ends it as dismissed, grab released, and goes on to the caller.

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/GraphicsTypes.h"
#include "platform/x11/X11Display.h"

class TX11Backend;
class TMenuItem;

class TX11MenuTracker {
 public:
  explicit TX11MenuTracker(TX11Backend& backend);
  ~TX11MenuTracker();
  TX11MenuTracker(const TX11MenuTracker&) = delete;
  TX11MenuTracker& operator=(const TX11MenuTracker&) = delete;

  // Shows the sub-items of `items` at the screen point and answers the item
  // chosen, or null.
  TMenuItem* Run(TMenuItem* items, const TPoint& screenPos);

  struct Level;

 private:
  void OpenLevel(TMenuItem* parent, int x, int y);
  void OpenSubmenu(Level& level, int index);
  void CloseLevelsAfter(std::size_t index);
  void Paint(Level& level);
  void HandleEvent(XEvent& event);
  void PointerAt(int x, int y, bool release, bool press);
  void Wheel(int x, int y, int direction);
  // Scrolls the level by a number of items; false when it moved no more.
  bool Scroll(std::size_t index, int items);
  void ScrollWhileOnArrow();
  void Key(XEvent& event);
  void MoveLight(int step);
  void LightItem(int index);
  void OpenHot();
  void Choose(TMenuItem* item);

  TX11Backend& backend_;
  std::vector<std::unique_ptr<Level>> levels_;
  TMenuItem* chosen_ = nullptr;
  bool done_ = false;
  bool moved_ = false;    // the pointer moved over the menu since it opened
  bool pressed_ = false;  // a button went down on the menu
  // The scroll arrow the pointer rests on: its level and direction (0: none).
  std::size_t arrowLevel_ = 0;
  int arrowStep_ = 0;
  std::chrono::steady_clock::time_point lastScroll_{};
};
