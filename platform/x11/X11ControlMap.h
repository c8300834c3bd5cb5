#pragma once
// The control map that scripts read (TX11Backend::ControlMapEnabled).

#include <string>

#include "platform/vcl/GraphicsTypes.h"
#include "platform/x11/X11Display.h"

// One line of the map: "left top width height name\n".
std::string ControlMapLine(const TRect& r, const std::string& name);
// Sets the window's _TARNWELL_CONTROLS property to the text.
void PublishControlMapText(TX11Display& display, unsigned long window, const std::string& text);
