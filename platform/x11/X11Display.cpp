#include "platform/x11/X11Display.h"

#include <cstdint>
#include <cstdio>

namespace {

// A request that failed because a window went or was not yet viewable (the
// focus given to a window the window manager has not mapped yet) is no
// fault of the program; Xlib's default handler would end the process.
int IgnoreWindowErrors(::Display* display, XErrorEvent* error) {
  if (error->error_code == BadMatch || error->error_code == BadWindow) return 0;
  char text[256];
  XGetErrorText(display, error->error_code, text, sizeof text);
  std::fprintf(stderr, "X error: %s (request %d)\n", text, error->request_code);
  return 0;
}

}  // namespace

TX11Display* TX11Display::Open(const char* name, std::string& error) {
  XSetErrorHandler(IgnoreWindowErrors);
  ::Display* display = XOpenDisplay(name);
  if (display == nullptr) {
    const char* shown = name != nullptr ? name : XDisplayName(nullptr);
    error = std::string("cannot open the X display \"") + (shown != nullptr ? shown : "") + "\"";
    return nullptr;
  }
  XVisualInfo wanted{};
  wanted.screen = DefaultScreen(display);
  wanted.depth = 24;
  wanted.c_class = TrueColor;
  int count = 0;
  XVisualInfo* found = XGetVisualInfo(display, VisualScreenMask | VisualDepthMask | VisualClassMask, &wanted, &count);
  Visual* visual = nullptr;
  for (int i = 0; i < count && visual == nullptr; ++i)
    if (found[i].red_mask == 0xFF0000 && found[i].green_mask == 0x00FF00 && found[i].blue_mask == 0x0000FF)
      visual = found[i].visual;
  if (found != nullptr) XFree(found);
  if (visual == nullptr || visual != DefaultVisual(display, DefaultScreen(display))) {
    error = "the X display has no default 24-bit true-colour visual";
    XCloseDisplay(display);
    return nullptr;
  }
  return new TX11Display(display, visual);
}

TX11Display::TX11Display(::Display* display, Visual* visual)
    : display_(display), screen_(DefaultScreen(display)), root_(RootWindow(display, screen_)), visual_(visual) {
  gc_ = XCreateGC(display_, root_, 0, nullptr);
  auto atom = [this](const char* n) { return XInternAtom(display_, n, False); };
  wmProtocols = atom("WM_PROTOCOLS");
  wmDeleteWindow = atom("WM_DELETE_WINDOW");
  netWmName = atom("_NET_WM_NAME");
  netWmState = atom("_NET_WM_STATE");
  netWmStateModal = atom("_NET_WM_STATE_MODAL");
  netWmWindowType = atom("_NET_WM_WINDOW_TYPE");
  netWmWindowTypeDialog = atom("_NET_WM_WINDOW_TYPE_DIALOG");
  utf8String = atom("UTF8_STRING");
  clipboard = atom("CLIPBOARD");
  targets = atom("TARGETS");
  clipboardProperty = atom("TARNWELL_CLIPBOARD");
}

TX11Display::~TX11Display() {
  for (const auto& [shape, cursor] : cursors_) XFreeCursor(display_, cursor);
  XFreeGC(display_, gc_);
  XCloseDisplay(display_);
}

int TX11Display::ScreenWidth() const { return DisplayWidth(display_, screen_); }
int TX11Display::ScreenHeight() const { return DisplayHeight(display_, screen_); }

void TX11Display::SetClass(::Window window, const std::string& instance) {
  std::string name = instance.empty() ? "Form" : instance;
  std::string className = "Tarnwell";
  XClassHint hint;
  hint.res_name = name.data();
  hint.res_class = className.data();
  XSetClassHint(display_, window, &hint);
}

::Cursor TX11Display::FontCursor(unsigned shape) {
  auto it = cursors_.find(shape);
  if (it != cursors_.end()) return it->second;
  ::Cursor cursor = XCreateFontCursor(display_, shape);
  cursors_[shape] = cursor;
  return cursor;
}

void TX11Display::PutPixels(::Window window, const void* pixels, int stride, int x, int y, int width, int height) {
  if (width <= 0 || height <= 0) return;
  // The image points into the caller's pixels from (x, y) on, one row of
  // `stride` bytes after the other; it owns nothing.
  auto* start = static_cast<const std::uint8_t*>(pixels) + static_cast<std::ptrdiff_t>(y) * stride + x * 4;
  XImage* image =
      XCreateImage(display_, visual_, 24, ZPixmap, 0, const_cast<char*>(reinterpret_cast<const char*>(start)),
                   static_cast<unsigned>(width), static_cast<unsigned>(height), 32, stride);
  if (image == nullptr) return;
  image->byte_order = LSBFirst;
  XPutImage(display_, window, gc_, image, 0, 0, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height));
  image->data = nullptr;
  XDestroyImage(image);
}
