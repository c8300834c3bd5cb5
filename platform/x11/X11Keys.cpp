#include "platform/x11/X11Keys.h"

#include <X11/keysym.h>

#include "platform/win/CodePage.h"
#include "platform/win/VirtualKeys.h"

namespace {

struct KeyEntry {
  KeySym keysym;
  WORD key;
};

constexpr KeyEntry kKeys[] = {
    {XK_BackSpace, VK_BACK},
    {XK_Tab, VK_TAB},
    {XK_ISO_Left_Tab, VK_TAB},
    {XK_Return, VK_RETURN},
    {XK_KP_Enter, VK_RETURN},
    {XK_Escape, VK_ESCAPE},
    {XK_space, VK_SPACE},
    {XK_Prior, VK_PRIOR},
    {XK_Next, VK_NEXT},
    {XK_End, VK_END},
    {XK_Home, VK_HOME},
    {XK_Left, VK_LEFT},
    {XK_Up, VK_UP},
    {XK_Right, VK_RIGHT},
    {XK_Down, VK_DOWN},
    {XK_Insert, VK_INSERT},
    {XK_Delete, VK_DELETE},
    {XK_Pause, VK_PAUSE},
    {XK_Caps_Lock, VK_CAPITAL},
    {XK_Help, VK_HELP},
    {XK_Shift_L, VK_SHIFT},
    {XK_Shift_R, VK_SHIFT},
    {XK_Control_L, VK_CONTROL},
    {XK_Control_R, VK_CONTROL},
    {XK_Alt_L, VK_MENU},
    {XK_Alt_R, VK_MENU},
    {XK_KP_Multiply, VK_MULTIPLY},
    {XK_KP_Add, VK_ADD},
    {XK_KP_Subtract, VK_SUBTRACT},
    {XK_KP_Decimal, VK_DECIMAL},
    {XK_KP_Divide, VK_DIVIDE},
    {XK_KP_Home, VK_HOME},
    {XK_KP_End, VK_END},
    {XK_KP_Left, VK_LEFT},
    {XK_KP_Right, VK_RIGHT},
    {XK_KP_Up, VK_UP},
    {XK_KP_Down, VK_DOWN},
    {XK_KP_Prior, VK_PRIOR},
    {XK_KP_Next, VK_NEXT},
    {XK_KP_Insert, VK_INSERT},
    {XK_KP_Delete, VK_DELETE},
    {XK_semicolon, VK_OEM_1},
    {XK_equal, VK_OEM_PLUS},
    {XK_comma, VK_OEM_COMMA},
    {XK_minus, VK_OEM_MINUS},
    {XK_period, VK_OEM_PERIOD},
    {XK_slash, VK_OEM_2},
    {XK_grave, VK_OEM_3},
    {XK_bracketleft, VK_OEM_4},
    {XK_backslash, VK_OEM_5},
    {XK_bracketright, VK_OEM_6},
    {XK_apostrophe, VK_OEM_7},
};

// Keysyms whose character the code page of their ISO 8859 set (or KOI8)
// gives: the keysym less `base` is the character's byte there.
struct CodePageRange {
  KeySym first;
  KeySym last;
  KeySym base;
  UINT codePage;
};

constexpr CodePageRange kCodePageRanges[] = {
    {0x1A1, 0x1FF, 0x100, 28592},  // Latin-2: Aogonek .. abovedot (Czech, Polish, Hungarian ...)
    {0x2A1, 0x2FE, 0x200, 28593},  // Latin-3: Hstroke .. scircumflex (Turkish, Maltese ...)
    {0x3A2, 0x3FE, 0x300, 28594},  // Latin-4: kra .. umacron (Baltic)
    {0x6C0, 0x6FF, 0x600, 20866},  // Cyrillic_yu .. Cyrillic_HARDSIGN, in KOI8-R's order
    {0xCDF, 0xCFA, 0xC00, 28598},  // Hebrew: hebrew_doublelowline .. hebrew_taw
};

// Keysyms of the other sets whose characters the ANSI code pages hold, as
// runs whose characters follow each other in Unicode.
struct UnicodeRun {
  KeySym first;
  KeySym last;
  char32_t code;  // the character of `first`
};

constexpr UnicodeRun kUnicodeRuns[] = {
    {0x06A1, 0x06A2, 0x0452},  // Serbian_dje .. Macedonia_gje
    {0x06A3, 0x06A3, 0x0451},  // Cyrillic_io
    {0x06A4, 0x06AC, 0x0454},  // Ukrainian_ie .. Macedonia_kje
    {0x06AD, 0x06AD, 0x0491},  // Ukrainian_ghe_with_upturn
    {0x06AE, 0x06AF, 0x045E},  // Byelorussian_shortu .. Cyrillic_dzhe
    {0x06B0, 0x06B0, 0x2116},  // numerosign
    {0x06B1, 0x06B2, 0x0402},  // Serbian_DJE .. Macedonia_GJE
    {0x06B3, 0x06B3, 0x0401},  // Cyrillic_IO
    {0x06B4, 0x06BC, 0x0404},  // Ukrainian_IE .. Macedonia_KJE
    {0x06BD, 0x06BD, 0x0490},  // Ukrainian_GHE_WITH_UPTURN
    {0x06BE, 0x06BF, 0x040E},  // Byelorussian_SHORTU .. Cyrillic_DZHE
    {0x07A1, 0x07A1, 0x0386},  // Greek_ALPHAaccent
    {0x07A2, 0x07A4, 0x0388},  // Greek_EPSILONaccent .. Greek_IOTAaccent
    {0x07A5, 0x07A5, 0x03AA},  // Greek_IOTAdieresis
    {0x07A7, 0x07A7, 0x038C},  // Greek_OMICRONaccent
    {0x07A8, 0x07A8, 0x038E},  // Greek_UPSILONaccent
    {0x07A9, 0x07A9, 0x03AB},  // Greek_UPSILONdieresis
    {0x07AB, 0x07AB, 0x038F},  // Greek_OMEGAaccent
    {0x07AE, 0x07AE, 0x0385},  // Greek_accentdieresis
    {0x07AF, 0x07AF, 0x2015},  // Greek_horizbar
    {0x07B1, 0x07B4, 0x03AC},  // Greek_alphaaccent .. Greek_iotaaccent
    {0x07B5, 0x07B5, 0x03CA},  // Greek_iotadieresis
    {0x07B6, 0x07B6, 0x0390},  // Greek_iotaaccentdieresis
    {0x07B7, 0x07B8, 0x03CC},  // Greek_omicronaccent .. Greek_upsilonaccent
    {0x07B9, 0x07B9, 0x03CB},  // Greek_upsilondieresis
    {0x07BA, 0x07BA, 0x03B0},  // Greek_upsilonaccentdieresis
    {0x07BB, 0x07BB, 0x03CE},  // Greek_omegaaccent
    {0x07C1, 0x07D1, 0x0391},  // Greek_ALPHA .. Greek_RHO
    {0x07D2, 0x07D2, 0x03A3},  // Greek_SIGMA
    {0x07D4, 0x07D9, 0x03A4},  // Greek_TAU .. Greek_OMEGA
    {0x07E1, 0x07F1, 0x03B1},  // Greek_alpha .. Greek_rho
    {0x07F2, 0x07F2, 0x03C3},  // Greek_sigma
    {0x07F3, 0x07F3, 0x03C2},  // Greek_finalsmallsigma
    {0x07F4, 0x07F9, 0x03C4},  // Greek_tau .. Greek_omega
    {0x08F6, 0x08F6, 0x0192},  // function
    {0x0AA9, 0x0AA9, 0x2014},  // emdash
    {0x0AAA, 0x0AAA, 0x2013},  // endash
    {0x0AAE, 0x0AAE, 0x2026},  // ellipsis
    {0x0AC9, 0x0AC9, 0x2122},  // trademark
    {0x0AD0, 0x0AD1, 0x2018},  // leftsinglequotemark .. rightsinglequotemark
    {0x0AD2, 0x0AD3, 0x201C},  // leftdoublequotemark .. rightdoublequotemark
    {0x0AD5, 0x0AD5, 0x2030},  // permille
    {0x0AE6, 0x0AE6, 0x2022},  // enfilledcircbullet
    {0x0AF1, 0x0AF2, 0x2020},  // dagger .. doubledagger
    {0x0AFD, 0x0AFD, 0x201A},  // singlelowquotemark
    {0x0AFE, 0x0AFE, 0x201E},  // doublelowquotemark
    {0x0BC0, 0x0BC0, 0x00AF},  // overbar
    {0x13BC, 0x13BD, 0x0152},  // OE .. oe
    {0x13BE, 0x13BE, 0x0178},  // Ydiaeresis
    {0x20AC, 0x20AC, 0x20AC},  // EuroSign
};

}  // namespace

WORD VirtualKeyOfKeysym(KeySym keysym) {
  if (keysym >= XK_a && keysym <= XK_z) return static_cast<WORD>('A' + (keysym - XK_a));
  if (keysym >= XK_A && keysym <= XK_Z) return static_cast<WORD>(keysym);
  if (keysym >= XK_0 && keysym <= XK_9) return static_cast<WORD>(keysym);
  if (keysym >= XK_F1 && keysym <= XK_F12) return static_cast<WORD>(VK_F1 + (keysym - XK_F1));
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return static_cast<WORD>(VK_NUMPAD0 + (keysym - XK_KP_0));
  for (const KeyEntry& e : kKeys)
    if (e.keysym == keysym) return e.key;
  return 0;
}

char32_t UnicodeOfKeysym(KeySym keysym) {
  if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF)) return static_cast<char32_t>(keysym);
  if ((keysym & 0xFF000000UL) == 0x01000000UL) return static_cast<char32_t>(keysym & 0xFFFFFF);
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return U'0' + static_cast<char32_t>(keysym - XK_KP_0);
  for (const CodePageRange& r : kCodePageRanges) {
    if (keysym < r.first || keysym > r.last) continue;
    const std::u16string wide = MultiByteToWide(r.codePage, std::string(1, static_cast<char>(keysym - r.base)));
    // A byte the set leaves undefined comes back as U+FFFD.
    return wide.size() == 1 && wide[0] != u'\uFFFD' ? wide[0] : 0;
  }
  for (const UnicodeRun& r : kUnicodeRuns)
    if (keysym >= r.first && keysym <= r.last) return r.code + static_cast<char32_t>(keysym - r.first);
  return 0;
}

char AnsiCharOfKeysym(KeySym keysym) {
  const char32_t code = UnicodeOfKeysym(keysym);
  if (code == 0 || code > 0xFFFF) return 0;
  if (code < 0x80) return static_cast<char>(code);
  const std::u16string wide(1, static_cast<char16_t>(code));
  const std::string ansi = WideToMultiByte(GetACP(), wide);
  // A character the code page lacks comes back as '?' (or not at all).
  if (ansi.size() != 1 || ansi[0] == '?') return 0;
  return ansi[0];
}
