#pragma once
// Mouse cursors and the mouse position.
//
// A cursor is a handle that names where it came from (a built-in cursor or a
// cursor resource of a module); nothing is drawn. The mouse position is the
// one the user-interface driver last moved the mouse to.

#include <string>

#include "platform/win/WindowTypes.h"

struct CursorRecord {
  std::string name;  // "IDC_ARROW", or the resource name ("CR_MOVE", "#4128")
};
using HCURSOR = const CursorRecord*;

// The built-in cursors (as the integer names MAKEINTRESOURCE(32512) ...).
inline LPCSTR const IDC_ARROW = MAKEINTRESOURCE(32512);
inline LPCSTR const IDC_IBEAM = MAKEINTRESOURCE(32513);
inline LPCSTR const IDC_WAIT = MAKEINTRESOURCE(32514);
inline LPCSTR const IDC_CROSS = MAKEINTRESOURCE(32515);
inline LPCSTR const IDC_UPARROW = MAKEINTRESOURCE(32516);
inline LPCSTR const IDC_SIZENWSE = MAKEINTRESOURCE(32642);
inline LPCSTR const IDC_SIZENESW = MAKEINTRESOURCE(32643);
inline LPCSTR const IDC_SIZEWE = MAKEINTRESOURCE(32644);
inline LPCSTR const IDC_SIZENS = MAKEINTRESOURCE(32645);
inline LPCSTR const IDC_SIZEALL = MAKEINTRESOURCE(32646);
inline LPCSTR const IDC_NO = MAKEINTRESOURCE(32648);
inline LPCSTR const IDC_HAND = MAKEINTRESOURCE(32649);
inline LPCSTR const IDC_APPSTARTING = MAKEINTRESOURCE(32650);
inline LPCSTR const IDC_HELP = MAKEINTRESOURCE(32651);

// With no module: a built-in cursor (null for an unknown id). With a module:
// its cursor resource of that name (type RT_GROUP_CURSOR or RT_CURSOR), or
// null when the module has none. Loading the same cursor twice gives the same
// handle; handles stay valid for the life of the process.
HCURSOR LoadCursor(HINSTANCE module, LPCSTR name);

// The cursor shown now; SetCursor answers the previous one.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();

// The mouse position in screen coordinates.
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);
