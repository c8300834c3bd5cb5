#include "platform/x11/X11MenuTracker.h"

#include <X11/keysym.h>
#include <sys/select.h>

#include <algorithm>

#include "platform/vcl/Application.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Menus.h"
#include "platform/x11/X11Backend.h"
#include "platform/x11/X11Clipboard.h"
#include "platform/x11/X11ControlMap.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11EventHandler.h"

namespace {

constexpr int kBorder = 3;
constexpr int kItemHeight = 20;
constexpr int kLineHeight = 8;
constexpr int kTextLeft = 22;
constexpr int kRightMargin = 22;
constexpr int kShortCutGap = 24;

void SetMenuFont(TCanvas* canvas) {
  canvas->Font->Name = "Tahoma";
  canvas->Font->SetSize(8);
  canvas->Font->Color = clMenuText;
}

bool Usable(const TMenuItem* item) { return item->Enabled() && !item->IsLine(); }

}  // namespace

struct TX11MenuTracker::Level {
  TMenuItem* parent = nullptr;
  std::vector<TMenuItem*> items;
  std::vector<TRect> rects;  // in the level's window
  ::Window window = 0;
  TRect bounds{};  // on the screen
  int hot = -1;
  TBitmap bitmap;
};

TX11MenuTracker::TX11MenuTracker(TX11Backend& backend) : backend_(backend) {}

TX11MenuTracker::~TX11MenuTracker() { CloseLevelsAfter(0); }

void TX11MenuTracker::OpenLevel(TMenuItem* parent, int x, int y) {
  auto level = std::make_unique<Level>();
  level->parent = parent;
  for (int i = 0; i < parent->Count(); ++i)
    if (parent->Items(i)->Visible()) level->items.push_back(parent->Items(i));
  if (level->items.empty()) return;
  TCanvas* canvas = level->bitmap.Canvas;
  SetMenuFont(canvas);
  int textWidth = 0;
  int shortCutWidth = 0;
  int height = kBorder;
  for (TMenuItem* item : level->items) {
    const int h = item->IsLine() ? kLineHeight : kItemHeight;
    level->rects.push_back(Rect(kBorder, height, 0, height + h));
    height += h;
    if (item->IsLine()) continue;
    textWidth = std::max(textWidth, canvas->TextWidth(StripHotkey(item->Caption())));
    if (item->ShortCut() != 0)
      shortCutWidth = std::max(shortCutWidth, canvas->TextWidth(ShortCutToText(item->ShortCut())));
  }
  height += kBorder;
  const int width =
      kBorder * 2 + kTextLeft + textWidth + (shortCutWidth > 0 ? kShortCutGap + shortCutWidth : 0) + kRightMargin;
  for (TRect& r : level->rects) r.Right = width - kBorder;
  TX11Display& d = backend_.Display();
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
  if (backend_.ControlMapEnabled()) {
    std::string map;
    for (std::size_t i = 0; i < level->items.size(); ++i)
      if (!level->items[i]->IsLine()) map += ControlMapLine(level->rects[i], StripHotkey(level->items[i]->Caption()));
    PublishControlMapText(d, level->window, map);
  }
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
  TCanvas* canvas = level.bitmap.Canvas;
  const int width = level.bitmap.Width();
  const int height = level.bitmap.Height();
  canvas->Brush->Color = clMenu;
  canvas->Brush->Style = bsSolid;
  canvas->FillRect(Rect(0, 0, width, height));
  TRect frame = Rect(0, 0, width, height);
  DrawEdge(canvas, frame, TEdge::Raised);
  SetMenuFont(canvas);
  for (std::size_t i = 0; i < level.items.size(); ++i) {
    TMenuItem* item = level.items[i];
    const TRect r = level.rects[i];
    if (item->IsLine()) {
      DrawEdgeLine(canvas, r.Left + 1, r.Top + kLineHeight / 2 - 1, static_cast<int>(r.Width()) - 2, true, true);
      continue;
    }
    const bool hot = static_cast<int>(i) == level.hot;
    canvas->Brush->Color = hot ? clHighlight : clMenu;
    canvas->FillRect(r);
    canvas->Brush->Style = bsClear;
    canvas->Font->Color = !item->Enabled() ? clGrayText : hot ? clHighlightText : clMenuText;
    const int textY = r.Top + (kItemHeight - canvas->TextHeight("Ag")) / 2;
    canvas->TextOut(r.Left + kTextLeft, textY, StripHotkey(item->Caption()));
    if (item->ShortCut() != 0) {
      const std::string text = ShortCutToText(item->ShortCut());
      canvas->TextOut(r.Right - kRightMargin - canvas->TextWidth(text), textY, text);
    }
    canvas->Brush->Style = bsSolid;
    canvas->Pen->Color = canvas->Font->Color;
    canvas->Brush->Color = canvas->Font->Color;
    const int midY = r.Top + kItemHeight / 2;
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
  backend_.Display().PutPixels(level.window, level.bitmap.ScanLine(0), width * 4, 0, 0, width, height);
}

TMenuItem* TX11MenuTracker::Run(TMenuItem* items, const TPoint& screenPos) {
  if (items == nullptr) return nullptr;
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
    Application->ProcessMessages();
  }
  XUngrabPointer(x, CurrentTime);
  XUngrabKeyboard(x, CurrentTime);
  CloseLevelsAfter(0);
  XSync(x, False);
  return chosen_;
}

void TX11MenuTracker::HandleEvent(XEvent& event) {
  switch (event.type) {
    case MotionNotify: PointerAt(event.xmotion.x_root, event.xmotion.y_root, false, false); return;
    case kXButtonPress:
      if (event.xbutton.button <= Button3) PointerAt(event.xbutton.x_root, event.xbutton.y_root, false, true);
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

void TX11MenuTracker::PointerAt(int x, int y, bool release, bool press) {
  for (std::size_t l = levels_.size(); l-- > 0;) {
    Level& level = *levels_[l];
    if (!PtInRect(level.bounds, {x, y})) continue;
    const TPoint local{x - static_cast<int>(level.bounds.Left), y - static_cast<int>(level.bounds.Top)};
    int hit = -1;
    for (std::size_t i = 0; i < level.rects.size(); ++i)
      if (PtInRect(level.rects[i], local)) hit = static_cast<int>(i);
    if (!release && !press) moved_ = true;
    if (hit >= 0 && level.items[static_cast<std::size_t>(hit)]->IsLine()) hit = -1;
    if (hit != level.hot) {
      level.hot = hit;
      Paint(level);
    }
    CloseLevelsAfter(l + 1);
    if (hit < 0) return;
    TMenuItem* item = level.items[static_cast<std::size_t>(hit)];
    if (item->Count() > 0 && item->Enabled()) {
      const TRect r = level.rects[static_cast<std::size_t>(hit)];
      OpenLevel(item, static_cast<int>(level.bounds.Right) - kBorder,
                static_cast<int>(level.bounds.Top + r.Top) - kBorder);
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

void TX11MenuTracker::Choose(TMenuItem* item) {
  chosen_ = item;
  done_ = true;
}

void TX11MenuTracker::MoveLight(int step) {
  Level& level = *levels_.back();
  const int n = static_cast<int>(level.items.size());
  int i = level.hot;
  for (int tries = 0; tries < n; ++tries) {
    i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
    if (!level.items[static_cast<std::size_t>(i)]->IsLine()) break;
  }
  level.hot = i;
  Paint(level);
}

void TX11MenuTracker::OpenHot() {
  Level& level = *levels_.back();
  if (level.hot < 0) return;
  TMenuItem* item = level.items[static_cast<std::size_t>(level.hot)];
  if (!item->Enabled()) return;
  if (item->Count() == 0) {
    Choose(item);
    return;
  }
  const TRect r = level.rects[static_cast<std::size_t>(level.hot)];
  OpenLevel(item, static_cast<int>(level.bounds.Right) - kBorder, static_cast<int>(level.bounds.Top + r.Top) - kBorder);
  if (levels_.back()->parent == item) MoveLight(1);
}

void TX11MenuTracker::Key(XEvent& event) {
  switch (XLookupKeysym(&event.xkey, 0)) {
    case XK_Escape:
      if (levels_.size() <= 1)
        done_ = true;
      else
        CloseLevelsAfter(levels_.size() - 1);
      return;
    case XK_Up: MoveLight(-1); return;
    case XK_Down: MoveLight(1); return;
    case XK_Left:
      if (levels_.size() > 1) CloseLevelsAfter(levels_.size() - 1);
      return;
    case XK_Right:
      if (levels_.back()->hot >= 0 && levels_.back()->items[static_cast<std::size_t>(levels_.back()->hot)]->Count() > 0)
        OpenHot();
      return;
    case XK_Return:
    case XK_KP_Enter: OpenHot(); return;
    default: return;
  }
}
