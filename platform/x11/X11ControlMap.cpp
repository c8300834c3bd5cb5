// The control map of a window (TX11Backend::ControlMapEnabled).

#include <string>

#include "platform/vcl/Form.h"
#include "platform/vcl/WinControl.h"
#include "platform/x11/X11Backend.h"
#include "platform/x11/X11ControlMap.h"
#include "platform/x11/X11FormWindow.h"

namespace {

void AddControls(TWinControl* parent, const TPoint& windowOrigin, std::string& text) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (!c->Visible()) continue;
    if (const std::string name = c->MapName(); !name.empty()) {
      // The control's own rectangle (its client origin may lie inside a
      // border), in the window's coordinates. A disabled control says so
      // after its name, so that a script waits for it to become enabled
      // instead of clicking it in vain.
      const TPoint topLeft = c->Parent()->ClientToScreen({c->Left(), c->Top()});
      text += ControlMapLine(Bounds(topLeft.x - windowOrigin.x, topLeft.y - windowOrigin.y, c->Width(), c->Height()),
                             c->Enabled() ? name : name + " (disabled)");
    }
    if (auto* win = dynamic_cast<TWinControl*>(c)) AddControls(win, windowOrigin, text);
  }
}

}  // namespace

std::string ControlMapLine(const TRect& r, const std::string& name) {
  return std::to_string(r.Left) + " " + std::to_string(r.Top) + " " + std::to_string(r.Width()) + " " +
         std::to_string(r.Height()) + " " + name + "\n";
}

void PublishControlMapText(TX11Display& display, unsigned long window, const std::string& text) {
  ::Display* x = display.X();
  const Atom property = XInternAtom(x, "_TARNWELL_CONTROLS", False);
  XChangeProperty(x, window, property, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
}

void TX11Backend::PublishControlMap(TX11FormWindow& w) {
  std::string text;
  AddControls(w.form, w.form->ClientOrigin(), text);
  PublishControlMapText(*display_, w.window, text);
}
