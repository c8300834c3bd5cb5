#pragma once
// TScreen (`Screen`): the cursor, the custom cursor table, the monitors and
// the forms of the application; TMouse (`Mouse`): the mouse position.

#include <memory>
#include <vector>

#include "platform/vcl/Component.h"
#include "platform/vcl/ControlTypes.h"
#include "platform/vcl/GraphicsTypes.h"
#include "platform/win/Cursors.h"
#include "platform/win/Monitors.h"

class TCustomForm;
class TWinControl;

enum TMonitorDefaultTo { mdNearest, mdNull, mdPrimary };

// One monitor of the layout (platform/win/Monitors.h); it reads the layout
// each time it is asked.
class TMonitor {
 public:
  explicit TMonitor(int index) : index_(index) {}
  HMONITOR Handle() const { return MonitorHandle(index_); }
  int MonitorNum() const { return index_; }
  TRect BoundsRect() const;
  TRect WorkareaRect() const;
  int Left() const { return BoundsRect().Left; }
  int Top() const { return BoundsRect().Top; }
  int Width() const { return static_cast<int>(BoundsRect().Width()); }
  int Height() const { return static_cast<int>(BoundsRect().Height()); }
  bool Primary() const { return index_ == 0; }

 private:
  int index_;
};

class TScreen : public TComponent {
 public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  // The cursor the application shows (crDefault: each control's own).
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor value);
  // The cursor table: the built-in cursors (negative numbers) and the ones
  // the application adds. A number without a cursor gives the default
  // cursor; setting null removes the entry.
  HCURSOR Cursors(int index) const;
  void SetCursors(int index, HCURSOR cursor);

  // The primary monitor's size, and the box around all monitors.
  int Width() const;
  int Height() const;
  int DesktopLeft() const;
  int DesktopTop() const;
  int DesktopWidth() const;
  int DesktopHeight() const;
  // The primary monitor's work area.
  TRect WorkAreaRect() const;

  int MonitorCount() const;
  // Null outside 0 .. MonitorCount() - 1.
  TMonitor* Monitors(int index);
  TMonitor* PrimaryMonitor() { return Monitors(0); }
  TMonitor* MonitorFromPoint(const TPoint& point, TMonitorDefaultTo fallback = mdNearest);
  TMonitor* MonitorFromRect(const TRect& rect, TMonitorDefaultTo fallback = mdNearest);

  int PixelsPerInch = 96;

  // The active form and the control that has the focus.
  TCustomForm* ActiveForm() const;
  TWinControl* ActiveControl() const;
  int FormCount() const { return static_cast<int>(forms_.size()); }
  // In the order the forms were made; EComponentError outside the range.
  TCustomForm* Forms(int index) const;

  // --- kept by the forms and windowed controls ---
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);
  TWinControl* ActiveTopLevel() const { return activeTopLevel_; }
  void SetActiveTopLevel(TWinControl* topLevel);
  // The most recently active top-level control other than `except` that is
  // showing and enabled (a window another modal form disabled is not).
  TWinControl* PreviousTopLevel(const TWinControl* except) const;
  // A top-level control was destroyed or got a parent.
  void TopLevelGone(TWinControl* topLevel);

 private:
  TMonitor* MonitorOf(HMONITOR monitor);

  TCursor cursor_ = crDefault;
  std::vector<std::pair<int, HCURSOR>> cursors_;
  std::vector<std::unique_ptr<TMonitor>> monitors_;
  std::vector<TCustomForm*> forms_;
  TWinControl* activeTopLevel_ = nullptr;
  std::vector<TWinControl*> activationOrder_;  // most recent last
};

class TMouse {
 public:
  TPoint CursorPos() const;
  void SetCursorPos(const TPoint& point);
};

extern TScreen* Screen;
extern TMouse* Mouse;
