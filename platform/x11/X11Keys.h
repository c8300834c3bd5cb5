#pragma once
// The keys of the X keyboard as the class library's virtual keys, and the
// character a key typed in the ANSI code page.

#include <X11/X.h>

#include "platform/win/WinTypes.h"

// The virtual key (VK_...) of a key's unshifted keysym; 0 for a key the
// layer has no virtual key for.
WORD VirtualKeyOfKeysym(KeySym keysym);

// The Unicode character of a keysym (with the shift applied): Latin-1 and
// Unicode keysyms, the keypad's digits and the keysyms of the older sets
// (Latin-2 to Latin-4, Latin-9, Cyrillic, Greek, Hebrew, publishing) whose
// characters an ANSI code page can hold; 0 for a keysym that types none.
char32_t UnicodeOfKeysym(KeySym keysym);

// The character that a keysym (with the shift applied) types, in the ANSI
// code page (UnicodeOfKeysym, then the code page); 0 when it types none or
// the code page lacks it: a "č" is typed under 1250, and under 1252 it is not.
char AnsiCharOfKeysym(KeySym keysym);
