#pragma once
// The connection to the X server and what the back end's windows share: the
// visual, the atoms, a graphics context and the font cursors. Include it
// after the class library's headers: Xlib's macros would rename their
// members (KeyPress), so the event numbers are copied and the macros removed.

// Xlib names a type Screen, which is the class library's global screen;
// Xlib's type is renamed while its headers are read.
#define Screen TX11XlibScreen
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef Screen

#include <map>
#include <string>

inline constexpr int kXKeyPress = KeyPress;
inline constexpr int kXKeyRelease = KeyRelease;
inline constexpr int kXButtonPress = ButtonPress;
inline constexpr int kXButtonRelease = ButtonRelease;
inline constexpr int kXExpose = Expose;
#undef KeyPress
#undef KeyRelease
#undef ButtonPress
#undef ButtonRelease
#undef Expose

class TX11Display {
 public:
  // Null when the display cannot be opened or has no 24-bit true-colour
  // visual; the reason in `error`.
  static TX11Display* Open(const char* name, std::string& error);
  ~TX11Display();
  TX11Display(const TX11Display&) = delete;
  TX11Display& operator=(const TX11Display&) = delete;

  ::Display* X() const { return display_; }
  int ScreenNumber() const { return screen_; }
  ::Window Root() const { return root_; }
  Visual* TheVisual() const { return visual_; }
  GC Gc() const { return gc_; }
  int ScreenWidth() const;
  int ScreenHeight() const;

  Atom wmProtocols = 0;
  Atom wmDeleteWindow = 0;
  Atom netWmName = 0;
  Atom netWmState = 0;
  Atom netWmStateModal = 0;
  Atom netWmWindowType = 0;
  Atom netWmWindowTypeDialog = 0;
  Atom utf8String = 0;
  Atom clipboard = 0;
  Atom targets = 0;
  Atom clipboardProperty = 0;

  // Names the window for the window manager and for scripts: the instance
  // (a form's name, "Menu" for a menu) and the class "Tarnwell".
  void SetClass(::Window window, const std::string& instance);

  // A font cursor (XC_* shape), made once.
  ::Cursor FontCursor(unsigned shape);

  // An image of 32-bit pixels (0x00RRGGBB, rows from the top) of the given
  // size over `pixels`, which the caller keeps; XDestroyImage must not free
  // them (PutPixels does it right).
  void PutPixels(::Window window, const void* pixels, int stride, int x, int y, int width, int height);

 private:
  TX11Display(::Display* display, Visual* visual);

  ::Display* display_;
  int screen_;
  ::Window root_;
  Visual* visual_;
  GC gc_;
  std::map<unsigned, ::Cursor> cursors_;
};
