#include "platform/x11/X11Backend.h"

#include <sys/select.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/vcl/Application.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/HintWindow.h"
#include "platform/vcl/OpenDialog.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/Screen.h"
#include "platform/win/CodePage.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Monitors.h"
#include "platform/win/VirtualClock.h"
#include "platform/x11/X11Clipboard.h"
#include "platform/x11/X11DropDown.h"
#include "platform/x11/X11EventHandler.h"
#include "platform/x11/X11FileDialog.h"
#include "platform/x11/X11FormWindow.h"
#include "platform/x11/X11MenuTracker.h"
#include "platform/x11/X11MessageBox.h"
#include "platform/x11/X11Text.h"

// The shape extension needs Xlib, which the back end's headers bring in.
#include <X11/extensions/shape.h>

namespace {

// Changes are compared and sent in tiles of this size.
constexpr int kTile = 32;

// A step whose failure (a paint that needs more than the screen can give, a
// handler that throws) must not end the program, nor reach the code that
// merely showed a form: the application tells the person and the rounds go
// on, with everything the person made still there.
template <class Step>
void Guarded(Step&& step) {
  try {
    step();
  } catch (...) {
    Application->HandleException(Application);
  }
}

}  // namespace

std::unique_ptr<TX11Backend> TX11Backend::Open(const char* displayName, std::string& error) {
  std::unique_ptr<TX11Display> display(TX11Display::Open(displayName, error));
  if (!display) return nullptr;
  return std::unique_ptr<TX11Backend>(new TX11Backend(std::move(display)));
}

TX11Backend::TX11Backend(std::unique_ptr<TX11Display> display)
    : display_(std::move(display)),
      events_(std::make_unique<TX11EventHandler>(*this)),
      clipboard_(std::make_unique<TX11Clipboard>(*display_)),
      dropDown_(std::make_unique<TX11DropDown>(*display_)),
      thread_(std::this_thread::get_id()) {
  const char* map = std::getenv("TARNWELL_X11_CONTROL_MAP");
  controlMap_ = map != nullptr && std::strcmp(map, "1") == 0;
}

TX11Backend::~TX11Backend() {
  Uninstall();
  dropDown_.reset();
  clipboard_.reset();
}

void TX11Backend::Install() {
  if (installed_) return;
  installed_ = true;
  SetUiBackend(this);
  clockBefore_ = GetClockMode() == ClockMode::Real;
  monitorsBefore_ = GetMonitorLayout();
  SetClockMode(ClockMode::Real);
  MonitorLayout monitor;
  monitor.bounds = {0, 0, display_->ScreenWidth(), display_->ScreenHeight()};
  monitor.workArea = monitor.bounds;
  SetMonitorLayout({monitor});
  SetMessageBoxPresenter(
      [](const MessageBoxRecord& box, const std::vector<int>& answers) { return ShowX11MessageBox(box, answers); });
}

void TX11Backend::Uninstall() {
  if (!installed_) return;
  installed_ = false;
  SetMessageBoxPresenter(nullptr);
  SetUiBackend(nullptr);
  SetClockMode(clockBefore_ ? ClockMode::Real : ClockMode::Virtual);
  SetMonitorLayout(monitorsBefore_);
  // Headless again: nothing stays on the screen.
  dropDown_->Close();
  for (auto& [form, w] : windows_) {
    events_->Forget(w.get());
    XDestroyWindow(display_->X(), w->window);
  }
  windows_.clear();
  focused_ = 0;
  XSync(display_->X(), False);
}

// --- windows ---

TX11FormWindow* TX11Backend::Find(TCustomForm* form) {
  auto it = windows_.find(form);
  return it != windows_.end() ? it->second.get() : nullptr;
}

TX11FormWindow* TX11Backend::FindWindow(unsigned long window) {
  for (auto& [form, w] : windows_)
    if (w->window == window) return w.get();
  return nullptr;
}

unsigned long TX11Backend::WindowOf(TCustomForm* form) const {
  auto it = windows_.find(form);
  return it != windows_.end() ? it->second->window : 0;
}

TX11FormWindow& TX11Backend::Make(TCustomForm* form) {
  auto w = std::make_unique<TX11FormWindow>();
  w->form = form;
  ::Display* x = display_->X();
  const TRect client = form->ClientRect();
  const TPoint origin = form->ClientOrigin();
  w->width = std::max(1, static_cast<int>(client.Width()));
  w->height = std::max(1, static_cast<int>(client.Height()));
  w->x = origin.x;
  w->y = origin.y;
  XSetWindowAttributes attributes{};
  attributes.background_pixel = 0xD4D0C8;
  attributes.bit_gravity = NorthWestGravity;
  attributes.override_redirect = form->BorderStyle() == bsNone ? True : False;
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                          KeyReleaseMask | FocusChangeMask | StructureNotifyMask | LeaveWindowMask;
  w->window = XCreateWindow(x, display_->Root(), w->x, w->y, static_cast<unsigned>(w->width),
                            static_cast<unsigned>(w->height), 0, 24, InputOutput, display_->TheVisual(),
                            CWBackPixel | CWBitGravity | CWOverrideRedirect | CWEventMask, &attributes);
  XSetWMProtocols(x, w->window, &display_->wmDeleteWindow, 1);
  display_->SetClass(w->window, form->Name().empty() ? form->ClassName() : form->Name());
  XSizeHints* hints = XAllocSizeHints();
  hints->flags = USPosition | PPosition;
  if (form->BorderStyle() != bsSizeable && form->BorderStyle() != bsSizeToolWin) {
    hints->flags |= PMinSize | PMaxSize;
    hints->min_width = hints->max_width = w->width;
    hints->min_height = hints->max_height = w->height;
  }
  hints->x = w->x;
  hints->y = w->y;
  XSetWMNormalHints(x, w->window, hints);
  XFree(hints);
  XWMHints wmHints{};
  wmHints.flags = InputHint;
  wmHints.input = True;
  XSetWMHints(x, w->window, &wmHints);
  TCustomForm* main = Application->MainForm();
  if (main != nullptr && main != form) {
    if (TX11FormWindow* owner = Find(main)) XSetTransientForHint(x, w->window, owner->window);
    XChangeProperty(x, w->window, display_->netWmWindowType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&display_->netWmWindowTypeDialog), 1);
  }
  // A hint lets the mouse through to the window below it, as the system's
  // hint windows do: its input region is empty.
  if (dynamic_cast<THintWindow*>(form) != nullptr)
    XShapeCombineRectangles(x, w->window, ShapeInput, 0, 0, nullptr, 0, ShapeSet, YXBanded);
  TX11FormWindow& result = *w;
  windows_[form] = std::move(w);
  SetTitle(result);
  return result;
}

void TX11Backend::SetTitle(TX11FormWindow& w) {
  const std::string title = w.form->Caption();
  if (title == w.title && !title.empty()) return;
  w.title = title;
  const std::string utf8 = AnsiToUtf8(title);
  ::Display* x = display_->X();
  XChangeProperty(x, w.window, display_->netWmName, display_->utf8String, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
  XStoreName(x, w.window, title.c_str());
}

void TX11Backend::FormShown(TCustomForm* form) {
  TX11FormWindow* w = Find(form);
  if (w == nullptr) w = &Make(form);
  ::Display* x = display_->X();
  if (form->FormState & fsModal) {
    XChangeProperty(x, w->window, display_->netWmState, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&display_->netWmStateModal), 1);
  } else {
    XDeleteProperty(x, w->window, display_->netWmState);
  }
  // Mapped first: what is drawn into an unmapped window is lost. (Under a
  // window manager the map waits for it; the expose that follows draws.)
  w->unmapPending = false;
  XMapRaised(x, w->window);
  w->mapped = true;
  w->dirty = true;
  w->shown.clear();
  Guarded([this, w] { Repaint(*w); });
  XFlush(x);
}

void TX11Backend::FormHidden(TCustomForm* form) {
  TX11FormWindow* w = Find(form);
  if (w == nullptr || !w->mapped) return;
  dropDown_->Forget(form);
  // The window goes at the next flush: a form shown again before it (hidden
  // to be shown modally) stays on the screen all along.
  w->unmapPending = true;
}

void TX11Backend::UnmapHiddenWindows() {
  for (auto& [form, w] : windows_) {
    if (!w->unmapPending) continue;
    w->unmapPending = false;
    XUnmapWindow(display_->X(), w->window);
    w->mapped = false;
    if (focused_ == w->window) focused_ = 0;
  }
}

void TX11Backend::FormDestroyed(TCustomForm* form) {
  auto it = windows_.find(form);
  if (it == windows_.end()) return;
  dropDown_->Forget(form);
  events_->Forget(it->second.get());
  if (focused_ == it->second->window) focused_ = 0;
  XDestroyWindow(display_->X(), it->second->window);
  windows_.erase(it);
  XFlush(display_->X());
}

void TX11Backend::FormInvalidated(TCustomForm* form) {
  if (TX11FormWindow* w = Find(form)) w->dirty = true;
}

void TX11Backend::CaptionChanged(TCustomForm* form) {
  if (TX11FormWindow* w = Find(form)) SetTitle(*w);
}

// --- painting ---

void TX11Backend::Place(TX11FormWindow& w, int width, int height) {
  const TPoint origin = w.form->ClientOrigin();
  if (width == w.width && height == w.height && origin.x == w.x && origin.y == w.y) return;
  w.width = width;
  w.height = height;
  w.x = origin.x;
  w.y = origin.y;
  w.shown.clear();
  XMoveResizeWindow(display_->X(), w.window, w.x, w.y, static_cast<unsigned>(std::max(1, width)),
                    static_cast<unsigned>(std::max(1, height)));
}

void TX11Backend::Repaint(TX11FormWindow& w) {
  if (!w.dirty) return;
  w.dirty = false;
  TBitmap bitmap;
  PaintClientToBitmap(w.form, bitmap);
  const int width = bitmap.Width();
  const int height = bitmap.Height();
  if (width <= 0 || height <= 0) return;
  Place(w, width, height);
  const auto* pixels = static_cast<const std::uint32_t*>(bitmap.ScanLine(0));
  const bool full = w.shown.size() != static_cast<std::size_t>(width) * height;
  const int stride = width * 4;
  // Tiles whose pixels differ from what the server shows go out; the rest
  // stays as it is.
  for (int ty = 0; ty < height; ty += kTile) {
    const int th = std::min(kTile, height - ty);
    for (int tx = 0; tx < width; tx += kTile) {
      const int tw = std::min(kTile, width - tx);
      bool changed = full;
      for (int y = ty; y < ty + th && !changed; ++y)
        changed = std::memcmp(&pixels[y * width + tx], &w.shown[y * width + tx], tw * 4) != 0;
      if (!changed) continue;
      display_->PutPixels(w.window, pixels, stride, tx, ty, tw, th);
      sentPixels_ += static_cast<std::int64_t>(tw) * th;
    }
  }
  w.shown.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
  SetTitle(w);
  if (controlMap_) PublishControlMap(w);
  dropDown_->Sync(w.form);
}

void TX11Backend::Flush() {
  UnmapHiddenWindows();
  // Painting may invalidate again (controls that size themselves to the text
  // they measure while they paint): a few passes let them settle.
  for (int pass = 0; pass < 3; ++pass) {
    bool any = false;
    std::vector<TX11FormWindow*> dirty;
    for (auto& [form, w] : windows_)
      if (w->dirty && form->Visible()) dirty.push_back(w.get());
    for (TX11FormWindow* w : dirty) {
      if (FindWindow(w->window) != w) continue;  // freed meanwhile
      Repaint(*w);
      any = true;
    }
    if (!any) break;
  }
  FollowActiveForm();
  XSync(display_->X(), False);
}

void TX11Backend::FollowActiveForm() {
  // The keyboard goes where the layer's active form is.
  auto* active = dynamic_cast<TCustomForm*>(Screen->ActiveTopLevel());
  TX11FormWindow* w = active != nullptr ? Find(active) : nullptr;
  if (w == nullptr || !w->mapped || w->window == focused_) return;
  focused_ = w->window;
  XSetInputFocus(display_->X(), w->window, RevertToParent, CurrentTime);
}

std::int64_t TX11Backend::TakeSentPixelCount() {
  const std::int64_t n = sentPixels_;
  sentPixels_ = 0;
  return n;
}

bool TX11Backend::CaptureWindow(TCustomForm* form, std::vector<std::uint32_t>& pixels, int& width, int& height) {
  TX11FormWindow* w = Find(form);
  if (w == nullptr || !w->mapped) return false;
  XSync(display_->X(), False);
  XImage* image = XGetImage(display_->X(), w->window, 0, 0, static_cast<unsigned>(w->width),
                            static_cast<unsigned>(w->height), AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  width = w->width;
  height = w->height;
  pixels.resize(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels[static_cast<std::size_t>(y) * width + x] = XGetPixel(image, x, y) & 0xFFFFFF;
  XDestroyImage(image);
  return true;
}

// --- the rounds ---

void TX11Backend::HandlePending() {
  ::Display* x = display_->X();
  while (XPending(x) > 0) {
    XEvent event;
    XNextEvent(x, &event);
    if (!clipboard_->Handle(event) && !dropDown_->Handle(event)) events_->Handle(event);
    // One press or key a round: a modal loop waiting in the caller sees
    // each one's effect (Enter closing a dialog) before the next (an Escape
    // typed right after, which then goes to the window below).
    const int type = event.type;
    if (type == kXKeyPress || type == kXKeyRelease || type == kXButtonPress || type == kXButtonRelease) break;
  }
}

void TX11Backend::Pump(int waitMs) {
  Guarded([this] { Flush(); });
  ::Display* x = display_->X();
  if (XPending(x) == 0 && waitMs > 0) {
    const int fd = ConnectionNumber(x);
    fd_set set;
    FD_ZERO(&set);
    FD_SET(fd, &set);
    timeval timeout{0, waitMs * 1000};
    select(fd + 1, &set, nullptr, nullptr, &timeout);
  }
  Guarded([this] { HandlePending(); });
  Application->ProcessMessages();
  Guarded([this] { clipboard_->Poll(); });
  Guarded([this] { Flush(); });
}

void TX11Backend::PumpModal() { Pump(10); }

void TX11Backend::ClipboardWillBeRead() {
  if (std::this_thread::get_id() == thread_) clipboard_->Refresh();
}

int TX11Backend::ExecuteDialog(TCommonDialog& dialog) {
  if (auto* open = dynamic_cast<TOpenDialog*>(&dialog)) return ShowX11FileDialog(*open);
  return -1;
}

TMenuItem* TX11Backend::TrackMenu(TMenuItem* items, const TPoint& screenPos) {
  if (menu_ != nullptr) return nullptr;  // one menu at a time
  TX11MenuTracker tracker(*this);
  menu_ = &tracker;
  TMenuItem* chosen = tracker.Run(items, screenPos);
  menu_ = nullptr;
  return chosen;
}

void TX11Backend::Run(TCustomForm* mainForm) {
  TCustomForm* watched = mainForm;
  while (!Application->Terminated() && watched != nullptr && Find(watched) != nullptr && watched->Visible()) Pump(10);
}
