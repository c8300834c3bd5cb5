#pragma once
// Messages to the host's main window during long work: a status text
// (0x8003) and a keep-alive message (0x8002, at most one every 34 ms).

#include <string>

#include "platform/win/WindowTypes.h"

inline constexpr UINT kMsgHostStatusText = 0x8003;
inline constexpr UINT kMsgHostKeepAlive = 0x8002;
inline constexpr WPARAM kHostKeepAliveCode = 5;
inline constexpr DWORD kHostKeepAliveInterval = 34;

// The host's main window: the window of the application's main form, or none.
HWND HostMainWindow();

// Sends the status text to `window` (none: the host's main window); the first
// parameter is the text's address (read during the call), or 0 for an empty
// text.
void SendHostStatusText(HWND window, const std::string& text);

// Sends the keep-alive message (first parameter 5) to `window` (none: the
// host's main window) when 34 ms or more passed since the last one; the first
// call only starts the clock.
void KeepHostResponsive(HWND window);

// Forgets the clock (for tests and a new load of the library).
void ResetKeepAliveClock();
