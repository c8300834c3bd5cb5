#include "platform/vcl/Screen.h"

#include <algorithm>

#include "platform/vcl/Form.h"
#include "platform/vcl/WinControl.h"

TScreen* Screen = new TScreen(nullptr);  // lives as long as the process
TMouse* Mouse = new TMouse;

namespace {

TRect ToTRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// The built-in cursors by their numbers.
LPCSTR BuiltInCursor(int index) {
  switch (index) {
    case crDefault:
    case crArrow: return IDC_ARROW;
    case crCross: return IDC_CROSS;
    case crIBeam: return IDC_IBEAM;
    case crSizeNESW: return IDC_SIZENESW;
    case crSizeNS: return IDC_SIZENS;
    case crSizeNWSE: return IDC_SIZENWSE;
    case crSizeWE: return IDC_SIZEWE;
    case crUpArrow: return IDC_UPARROW;
    case crHourGlass: return IDC_WAIT;
    case crNo: return IDC_NO;
    case crAppStart: return IDC_APPSTARTING;
    case crHelp: return IDC_HELP;
    case crHandPoint: return IDC_HAND;
    case crSizeAll: return IDC_SIZEALL;
    default: return nullptr;
  }
}

}  // namespace

TRect TMonitor::BoundsRect() const {
  MONITORINFO info;
  if (!GetMonitorInfo(Handle(), &info)) return {};
  return ToTRect(info.rcMonitor);
}

TRect TMonitor::WorkareaRect() const {
  MONITORINFO info;
  if (!GetMonitorInfo(Handle(), &info)) return {};
  return ToTRect(info.rcWork);
}

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

TScreen::~TScreen() = default;

void TScreen::SetCursor(TCursor value) {
  if (value == cursor_) return;
  cursor_ = value;
  ::SetCursor(Cursors(value));
}

HCURSOR TScreen::Cursors(int index) const {
  for (const auto& [number, cursor] : cursors_)
    if (number == index) return cursor;
  LPCSTR builtIn = BuiltInCursor(index);
  return LoadCursor(nullptr, builtIn != nullptr ? builtIn : IDC_ARROW);
}

void TScreen::SetCursors(int index, HCURSOR cursor) {
  std::erase_if(cursors_, [index](const auto& entry) { return entry.first == index; });
  if (cursor != nullptr) cursors_.emplace_back(index, cursor);
  if (index == cursor_) ::SetCursor(Cursors(index));
}

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }
int TScreen::DesktopLeft() const { return GetSystemMetrics(SM_XVIRTUALSCREEN); }
int TScreen::DesktopTop() const { return GetSystemMetrics(SM_YVIRTUALSCREEN); }
int TScreen::DesktopWidth() const { return GetSystemMetrics(SM_CXVIRTUALSCREEN); }
int TScreen::DesktopHeight() const { return GetSystemMetrics(SM_CYVIRTUALSCREEN); }

TRect TScreen::WorkAreaRect() const {
  MONITORINFO info;
  if (!GetMonitorInfo(MonitorHandle(0), &info)) return {};
  return ToTRect(info.rcWork);
}

int TScreen::MonitorCount() const { return GetSystemMetrics(SM_CMONITORS); }

TMonitor* TScreen::Monitors(int index) {
  if (index < 0 || index >= MonitorCount()) return nullptr;
  // Monitor objects are kept (never freed) so that pointers handed out stay
  // valid when the layout changes.
  while (static_cast<int>(monitors_.size()) <= index)
    monitors_.push_back(std::make_unique<TMonitor>(static_cast<int>(monitors_.size())));
  return monitors_[static_cast<std::size_t>(index)].get();
}

TMonitor* TScreen::MonitorOf(HMONITOR monitor) {
  if (monitor == nullptr) return nullptr;
  for (int i = 0; i < MonitorCount(); ++i)
    if (MonitorHandle(i) == monitor) return Monitors(i);
  return nullptr;
}

static DWORD ToFlags(TMonitorDefaultTo fallback) {
  switch (fallback) {
    case mdNull: return MONITOR_DEFAULTTONULL;
    case mdPrimary: return MONITOR_DEFAULTTOPRIMARY;
    default: return MONITOR_DEFAULTTONEAREST;
  }
}

TMonitor* TScreen::MonitorFromPoint(const TPoint& point, TMonitorDefaultTo fallback) {
  POINT p;
  p.x = point.x;
  p.y = point.y;
  return MonitorOf(::MonitorFromPoint(p, ToFlags(fallback)));
}

TMonitor* TScreen::MonitorFromRect(const TRect& rect, TMonitorDefaultTo fallback) {
  RECT r;
  r.left = rect.Left;
  r.top = rect.Top;
  r.right = rect.Right;
  r.bottom = rect.Bottom;
  return MonitorOf(::MonitorFromRect(&r, ToFlags(fallback)));
}

TCustomForm* TScreen::ActiveForm() const { return dynamic_cast<TCustomForm*>(activeTopLevel_); }

TWinControl* TScreen::ActiveControl() const {
  if (activeTopLevel_ == nullptr) return nullptr;
  TWinControl* focused = activeTopLevel_->FocusedControl();
  return focused != nullptr && focused != activeTopLevel_ ? focused : nullptr;
}

TCustomForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount())
    throw EComponentError("List index out of bounds (" + std::to_string(index) + ")");
  return forms_[static_cast<std::size_t>(index)];
}

void TScreen::AddForm(TCustomForm* form) {
  if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form) {
  std::erase(forms_, form);
  TopLevelGone(form);
}

void TScreen::SetActiveTopLevel(TWinControl* topLevel) {
  activeTopLevel_ = topLevel;
  if (topLevel == nullptr) return;
  std::erase(activationOrder_, topLevel);
  activationOrder_.push_back(topLevel);
}

TWinControl* TScreen::PreviousTopLevel(const TWinControl* except) const {
  for (auto it = activationOrder_.rbegin(); it != activationOrder_.rend(); ++it) {
    TWinControl* t = *it;
    if (t == except || !t->Showing() || !t->Enabled()) continue;
    if (t->HandleAllocated() && !IsWindowEnabled(t->Handle())) continue;
    return t;
  }
  return nullptr;
}

void TScreen::TopLevelGone(TWinControl* topLevel) {
  if (activeTopLevel_ == topLevel) activeTopLevel_ = nullptr;
  std::erase(activationOrder_, topLevel);
}

TPoint TMouse::CursorPos() const {
  POINT p;
  GetCursorPos(&p);
  return {p.x, p.y};
}

void TMouse::SetCursorPos(const TPoint& point) { ::SetCursorPos(point.x, point.y); }
