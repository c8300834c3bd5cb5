#pragma once
// The keys of the X keyboard as the class library's virtual keys, and the
// character a key typed in the ANSI code page.

#include <X11/X.h>

#include "platform/win/WinTypes.h"

// The virtual key (VK_...) of a key's unshifted keysym; 0 for a key the
// layer has no virtual key for.
WORD VirtualKeyOfKeysym(KeySym keysym);

// The character that a keysym (with the shift applied) types, in the ANSI
// code page; 0 when it types none or the code page lacks it.
char AnsiCharOfKeysym(KeySym keysym);
