#pragma once
// TX11Backend: puts the forms on an X11 display.
//
// Every shown form is a top-level X window of the form's client size at its
// client origin, with the form's caption as its title and its name (its
// class name when it has none) as the instance of its class hint (class
// "Tarnwell"); a window manager adds the frame. The window shows the form's client area as the layer paints it
// (PaintClientToBitmap): after a change only the rectangles whose pixels
// differ go to the server, and an expose is answered from the copy kept of
// what was sent. Forms without border (bsNone) are override-redirect windows;
// a hint window (THintWindow) lets the mouse through to what lies below it.
// A modal form's window is transient for the main form's and marked modal;
// the layer keeps the other windows disabled meanwhile, so they take no input.
//
// Input goes through the driver (Driver.h) as if a test acted: presses,
// releases, moves (with the capture the layer keeps while dragging), the
// wheel, double clicks (a second left press within 500 ms and 4 pixels),
// keys with their modifiers and the characters they type in the ANSI code
// page. A window's close box closes the form; focus that the window manager
// gives a window activates its form, and the keyboard focus follows the form
// the layer activates. The pointer shows the cursor of the
// control under it (the screen's cursor when one is set).
//
// The open list of a combo box is a window of its own (X11DropDown.h). The
// clipboard's text is shared with the other clients (X11Clipboard.h): a read
// of the clipboard on the thread that made the back end asks the client
// that holds it then.
//
// Timers run on the real clock; PumpModal waits on the display at most 10 ms
// before it runs the due timers and posted messages again. A failure while a
// round paints a window or handles the person's input (a window too big to
// paint) ends no program: it goes to Application->HandleException (an error
// box with its text) and the rounds go on.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/vcl/GraphicsTypes.h"
#include "platform/vcl/UiBackend.h"
#include "platform/win/Monitors.h"

class TCustomForm;
class TMenuItem;
class TX11Display;
struct TX11FormWindow;
class TX11MenuTracker;
class TX11EventHandler;
class TX11Clipboard;
class TX11DropDown;

class TX11Backend : public TUiBackend {
 public:
  // Connects to the display (null: $DISPLAY); null with the reason in
  // `error` when it cannot.
  static std::unique_ptr<TX11Backend> Open(const char* displayName, std::string& error);
  ~TX11Backend() override;
  TX11Backend(const TX11Backend&) = delete;
  TX11Backend& operator=(const TX11Backend&) = delete;

  // Installs this back end (SetUiBackend), switches the clock to real time,
  // sets the monitor layout to the X screen's size and shows message boxes
  // as windows; Uninstall takes all that back (the clock mode and the
  // monitors as they were) and closes every window.
  void Install();
  void Uninstall();

  void FormShown(TCustomForm* form) override;
  void FormHidden(TCustomForm* form) override;
  void FormDestroyed(TCustomForm* form) override;
  void FormInvalidated(TCustomForm* form) override;
  void CaptionChanged(TCustomForm* form) override;
  // True unless the stop check (SetStopCheck) answers true.
  bool Interactive() const override { return !stopCheck_ || !stopCheck_(); }
  // What tells that nobody waits at the screen any more (the program got a
  // signal to stop): modal forms, menus and message boxes then end as
  // dismissed.
  void SetStopCheck(std::function<bool()> check) { stopCheck_ = std::move(check); }
  void PumpModal() override;
  TMenuItem* TrackMenu(TMenuItem* items, const TPoint& screenPos) override;
  // The open and save dialogs (X11FileDialog.h); no window for the others.
  int ExecuteDialog(TCommonDialog& dialog) override;
  void ClipboardWillBeRead() override;

  // Rounds until the application terminates or `mainForm` is hidden or freed.
  void Run(TCustomForm* mainForm);
  // One round: handle what the display sent (waiting at most `waitMs`), the
  // due timers and posted messages, then show what changed.
  void Pump(int waitMs);
  // Paints every form that waits for it and sends what changed; the display
  // has it when this returns.
  void Flush();

  // The X window of a shown form (0 when it has none).
  unsigned long WindowOf(TCustomForm* form) const;
  // What the window shows now, as the server has it (read back from the
  // server): 32-bit pixels, rows from the top; false when the form has no
  // window.
  bool CaptureWindow(TCustomForm* form, std::vector<std::uint32_t>& pixels, int& width, int& height);
  // With TARNWELL_X11_CONTROL_MAP=1 in the environment every window carries
  // the property _TARNWELL_CONTROLS (a text, one line a visible control
  // with a MapName: "left top width height Name" in the window's
  // coordinates, " (disabled)" after the name of a disabled one, the
  // controls of a form depth first; a menu's window lists its items by
  // caption), so that scripts driving the program with an input tool find
  // what to click and wait for what they caused. Read when the back end is
  // made.
  bool ControlMapEnabled() const { return controlMap_; }

  // Rectangles sent to the server since the count was last taken (tests
  // check that a small change sends a small area).
  std::int64_t TakeSentPixelCount();

  TX11Display& Display() { return *display_; }
  TX11Clipboard& Clipboard() { return *clipboard_; }
  TX11DropDown& DropDown() { return *dropDown_; }

 private:
  explicit TX11Backend(std::unique_ptr<TX11Display> display);
  friend class TX11EventHandler;
  friend class TX11MenuTracker;

  TX11FormWindow* Find(TCustomForm* form);
  TX11FormWindow* FindWindow(unsigned long window);
  TX11FormWindow& Make(TCustomForm* form);
  void Repaint(TX11FormWindow& w);
  void Place(TX11FormWindow& w, int width, int height);
  void SetTitle(TX11FormWindow& w);
  void HandlePending();
  void UnmapHiddenWindows();
  void FollowActiveForm();

  std::unique_ptr<TX11Display> display_;
  std::map<TCustomForm*, std::unique_ptr<TX11FormWindow>> windows_;
  std::unique_ptr<TX11EventHandler> events_;
  std::unique_ptr<TX11Clipboard> clipboard_;
  std::unique_ptr<TX11DropDown> dropDown_;
  TX11MenuTracker* menu_ = nullptr;  // the menu being tracked, if any
  std::int64_t sentPixels_ = 0;
  bool installed_ = false;
  bool controlMap_ = false;
  std::function<bool()> stopCheck_;
  bool clockBefore_ = false;  // the clock ran in real time before Install
  std::vector<MonitorLayout> monitorsBefore_;
  unsigned long focused_ = 0;  // the window last given the keyboard focus
  std::thread::id thread_;     // the one that uses the display
  void PublishControlMap(TX11FormWindow& w);
};
