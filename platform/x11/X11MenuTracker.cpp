#include "platform/x11/X11MenuTracker.h"

#include <X11/keysym.h>
#include <sys/select.h>

#include <algorithm>
#include <chrono>
#include <optional>

#include "base/ScopeExit.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/MenuLevel.h"
#include "platform/vcl/Menus.h"
#include "platform/x11/X11Backend.h"
#include "platform/x11/X11Clipboard.h"
#include "platform/x11/X11ControlMap.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11EventHandler.h"

namespace {

// While the pointer rests on a scroll arrow the level moves one item this
// often.
constexpr auto kScrollInterval = std::chrono::milliseconds(40);
// Items a turn of the wheel scrolls.
constexpr int kWheelItems = 3;

bool Usable(const TMenuItem* item) { return item->Enabled() && !item->IsLine(); }

}  // namespace

struct TX11MenuTracker::Level {
  TBitmap bitmap;  // before the layout, which measures on its canvas
  std::optional<TMenuLevel> menu;
  ::Window window = 0;
  TRect bounds{};  // on the screen
  int hot = -1;
};

TX11MenuTracker::TX11MenuTracker(TX11Backend& backend) : backend_(backend) {}

TX11MenuTracker::~TX11MenuTracker() { CloseLevelsAfter(0); }

void TX11MenuTracker::OpenLevel(TMenuItem* parent, int x, int y) {
  auto level = std::make_unique<Level>();
  TX11Display& d = backend_.Display();
  const TMenuLevel& menu = level->menu.emplace(parent, level->bitmap.Canvas, TSize{d.ScreenWidth(), d.ScreenHeight()});
  if (menu.Count() == 0) return;
  const int width = menu.Width();
  const int height = menu.Height();
  // Kept on the screen: moved left or up when it would leave it.
  x = std::max(0, std::min(x, d.ScreenWidth() - width));
  y = std::max(0, std::min(y, d.ScreenHeight() - height));
  level->bounds = Bounds(x, y, width, height);
  level->bitmap.SetSize(width, height);
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.save_under = True;
  attributes.event_mask = ExposureMask;
  level->window =
      XCreateWindow(d.X(), d.Root(), x, y, static_cast<unsigned>(width), static_cast<unsigned>(height), 0, 24,
                    InputOutput, d.TheVisual(), CWOverrideRedirect | CWSaveUnder | CWEventMask, &attributes);
  d.SetClass(level->window, "Menu");
  XMapRaised(d.X(), level->window);
  levels_.push_back(std::move(level));
  Paint(*levels_.back());
}

void TX11MenuTracker::CloseLevelsAfter(std::size_t index) {
  while (levels_.size() > index) {
    XDestroyWindow(backend_.Display().X(), levels_.back()->window);
    levels_.pop_back();
  }
  if (!levels_.empty() && index > 0) XFlush(backend_.Display().X());
}

void TX11MenuTracker::Paint(Level& level) {
  level.menu->Paint(level.bitmap.Canvas, level.hot);
  const int width = level.bitmap.Width();
  backend_.Display().PutPixels(level.window, level.bitmap.ScanLine(0), width * 4, 0, 0, width, level.bitmap.Height());
  if (!backend_.ControlMapEnabled()) return;
  // The items shown now, for a script that looks for what to click.
  std::string map;
  const TMenuLevel& menu = *level.menu;
  for (int i = menu.FirstShown(); i <= menu.LastShown(); ++i)
    if (!menu.Item(i)->IsLine()) map += ControlMapLine(menu.ItemRect(i), StripHotkey(menu.Item(i)->Caption()));
  PublishControlMapText(backend_.Display(), level.window, map);
}

bool TX11MenuTracker::Scroll(std::size_t index, int items) {
  Level& level = *levels_[index];
  if (!level.menu->ScrollBy(items)) return false;
  // What opened from the level stood beside an item that moved.
  CloseLevelsAfter(index + 1);
  if (level.hot >= 0 && level.menu->ItemRect(level.hot).IsEmpty()) level.hot = -1;
  Paint(level);
  return true;
}

void TX11MenuTracker::ScrollWhileOnArrow() {
  if (arrowLevel_ >= levels_.size() || arrowStep_ == 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastScroll_ < kScrollInterval) return;
  lastScroll_ = now;
  if (!Scroll(arrowLevel_, arrowStep_)) arrowStep_ = 0;
}

TMenuItem* TX11MenuTracker::Run(TMenuItem* items, const TPoint& screenPos) {
  if (items == nullptr) return nullptr;
  // Whatever ends the tracking (a choice, a dismissal, a failure), no level
  // stays on the screen and the pointer and keyboard go back.
  ScopeExit closeAll([this] {
    ::Display* x = backend_.Display().X();
    XUngrabPointer(x, CurrentTime);
    XUngrabKeyboard(x, CurrentTime);
    CloseLevelsAfter(0);
    XSync(x, False);
  });
  OpenLevel(items, screenPos.x, screenPos.y);
  if (levels_.empty()) return nullptr;
  TX11Display& d = backend_.Display();
  ::Display* x = d.X();
  const ::Window grab = levels_.front()->window;
  XSync(x, False);
  XGrabPointer(x, grab, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync, GrabModeAsync,
               None, d.FontCursor(68 /* XC_left_ptr */), CurrentTime);
  XGrabKeyboard(x, grab, False, GrabModeAsync, GrabModeAsync, CurrentTime);
  while (!done_ && !Application->Terminated() && backend_.Interactive()) {
    // A failure here (a form that cannot be painted) ends the menu as
    // dismissed, its grab released, and goes on to the round that runs it.
    backend_.Flush();
    if (XPending(x) == 0) {
      const int fd = ConnectionNumber(x);
      fd_set set;
      FD_ZERO(&set);
      FD_SET(fd, &set);
      timeval timeout{0, 10000};
      select(fd + 1, &set, nullptr, nullptr, &timeout);
    }
    while (!done_ && XPending(x) > 0) {
      XEvent event;
      XNextEvent(x, &event);
      HandleEvent(event);
    }
    ScrollWhileOnArrow();
    Application->ProcessMessages();
  }
  return chosen_;
}

void TX11MenuTracker::HandleEvent(XEvent& event) {
  switch (event.type) {
    case MotionNotify: PointerAt(event.xmotion.x_root, event.xmotion.y_root, false, false); return;
    case kXButtonPress:
      if (event.xbutton.button <= Button3) PointerAt(event.xbutton.x_root, event.xbutton.y_root, false, true);
      if (event.xbutton.button == Button4 || event.xbutton.button == Button5)
        Wheel(event.xbutton.x_root, event.xbutton.y_root, event.xbutton.button == Button4 ? -1 : 1);
      return;
    case kXButtonRelease:
      if (event.xbutton.button <= Button3) PointerAt(event.xbutton.x_root, event.xbutton.y_root, true, false);
      return;
    case kXKeyPress: Key(event); return;
    case kXKeyRelease: return;
    case kXExpose:
      for (auto& level : levels_)
        if (level->window == event.xexpose.window) Paint(*level);
      return;
    default: break;
  }
  if (backend_.Clipboard().Handle(event)) return;
  // The forms' own windows keep being shown; their input waits.
  if (event.type == kXExpose || event.type == ConfigureNotify) backend_.events_->Handle(event);
}

void TX11MenuTracker::Wheel(int x, int y, int direction) {
  // The level under the pointer, else the newest one.
  std::size_t index = levels_.size() - 1;
  for (std::size_t l = 0; l < levels_.size(); ++l)
    if (PtInRect(levels_[l]->bounds, {x, y})) index = l;
  Scroll(index, direction * kWheelItems);
}

void TX11MenuTracker::PointerAt(int x, int y, bool release, bool press) {
  arrowStep_ = 0;
  for (std::size_t l = levels_.size(); l-- > 0;) {
    Level& level = *levels_[l];
    if (!PtInRect(level.bounds, {x, y})) continue;
    const TPoint local{x - static_cast<int>(level.bounds.Left), y - static_cast<int>(level.bounds.Top)};
    const TMenuLevel& menu = *level.menu;
    int hit = menu.HitTest(local);
    if (!release && !press) moved_ = true;
    if (hit == TMenuLevel::kUpArrow || hit == TMenuLevel::kDownArrow) {
      // Resting on an arrow scrolls item by item; a press scrolls a page.
      const int step = hit == TMenuLevel::kUpArrow ? -1 : 1;
      if (press) Scroll(l, step * std::max(1, menu.LastShown() - menu.FirstShown()));
      arrowLevel_ = l;
      arrowStep_ = step;
      return;
    }
    if (hit >= 0 && menu.Item(hit)->IsLine()) hit = -1;
    if (hit != level.hot) {
      level.hot = hit;
      Paint(level);
    }
    CloseLevelsAfter(l + 1);
    if (hit < 0) return;
    TMenuItem* item = menu.Item(hit);
    if (item->Count() > 0 && item->Enabled()) {
      OpenSubmenu(level, hit);
      return;
    }
    // A release right where the menu opened is the end of the click that
    // opened it, unless the pointer moved over the items or pressed first.
    if (press) pressed_ = true;
    if (release && (moved_ || pressed_) && Usable(item)) Choose(item);
    return;
  }
  if (press) done_ = true;  // outside every level: dismissed
}

void TX11MenuTracker::OpenSubmenu(Level& level, int index) {
  const TRect r = level.menu->ItemRect(index);
  OpenLevel(level.menu->Item(index), static_cast<int>(level.bounds.Right) - kMenuBorder,
            static_cast<int>(level.bounds.Top + r.Top) - kMenuBorder);
}

void TX11MenuTracker::Choose(TMenuItem* item) {
  chosen_ = item;
  done_ = true;
}

void TX11MenuTracker::MoveLight(int step) {
  Level& level = *levels_.back();
  const int n = level.menu->Count();
  int i = level.hot;
  for (int tries = 0; tries < n; ++tries) {
    i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
    if (!level.menu->Item(i)->IsLine()) break;
  }
  LightItem(i);
}

void TX11MenuTracker::LightItem(int index) {
  Level& level = *levels_.back();
  const int n = level.menu->Count();
  // The nearest item that is no line, in the way the light moves (inwards
  // at either end).
  int i = std::clamp(index, 0, n - 1);
  const int step = i == 0 ? 1 : i == n - 1 ? -1 : index > level.hot ? 1 : -1;
  while (i >= 0 && i < n && level.menu->Item(i)->IsLine()) i += step;
  if (i < 0 || i >= n) return;
  level.hot = i;
  level.menu->ShowItem(i);
  Paint(level);
}

void TX11MenuTracker::OpenHot() {
  Level& level = *levels_.back();
  if (level.hot < 0) return;
  TMenuItem* item = level.menu->Item(level.hot);
  if (!item->Enabled()) return;
  if (item->Count() == 0) {
    Choose(item);
    return;
  }
  OpenSubmenu(level, level.hot);
  if (levels_.back()->menu->Parent() == item) MoveLight(1);
}

void TX11MenuTracker::Key(XEvent& event) {
  Level& level = *levels_.back();
  // A page: as many items as the level shows.
  const int page = std::max(1, level.menu->LastShown() - level.menu->FirstShown());
  switch (XLookupKeysym(&event.xkey, 0)) {
    case XK_Escape:
      if (levels_.size() <= 1)
        done_ = true;
      else
        CloseLevelsAfter(levels_.size() - 1);
      return;
    case XK_Up: MoveLight(-1); return;
    case XK_Down: MoveLight(1); return;
    case XK_Home: LightItem(0); return;
    case XK_End: LightItem(level.menu->Count() - 1); return;
    case XK_Page_Up: LightItem(std::max(0, level.hot - page)); return;
    case XK_Page_Down: LightItem(level.hot + page); return;
    case XK_Left:
      if (levels_.size() > 1) CloseLevelsAfter(levels_.size() - 1);
      return;
    case XK_Right:
      if (level.hot >= 0 && level.menu->Item(level.hot)->Count() > 0) OpenHot();
      return;
    case XK_Return:
    case XK_KP_Enter: OpenHot(); return;
    default: return;
  }
}
