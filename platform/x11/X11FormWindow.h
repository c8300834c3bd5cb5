#pragma once
// What the back end keeps for one form's window (X11Backend.h).

#include <cstdint>
#include <string>
#include <vector>

#include "platform/x11/X11Display.h"

class TCustomForm;

struct TX11FormWindow {
  TCustomForm* form = nullptr;
  ::Window window = 0;
  bool mapped = false;
  // The form was hidden; the window is unmapped at the next flush unless the
  // form is shown again before it (a form hidden and shown again at once,
  // as before showing it modally, does not blink).
  bool unmapPending = false;
  bool dirty = true;
  // What the server shows: the client area's pixels as last sent.
  std::vector<std::uint32_t> shown;
  int width = 0;
  int height = 0;
  // Where the window was put (screen coordinates of the client origin).
  int x = 0;
  int y = 0;
  std::string title;
  ::Cursor cursor = 0;
};
