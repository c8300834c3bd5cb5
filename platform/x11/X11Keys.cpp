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

char AnsiCharOfKeysym(KeySym keysym) {
  char32_t code = 0;
  if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF))
    code = static_cast<char32_t>(keysym);
  else if ((keysym & 0xFF000000UL) == 0x01000000UL)
    code = static_cast<char32_t>(keysym & 0xFFFFFF);
  else if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
    code = U'0' + static_cast<char32_t>(keysym - XK_KP_0);
  if (code == 0 || code > 0xFFFF) return 0;
  if (code < 0x80) return static_cast<char>(code);
  const std::u16string wide(1, static_cast<char16_t>(code));
  const std::string ansi = WideToMultiByte(GetACP(), wide);
  // A character the code page lacks comes back as '?' (or not at all).
  if (ansi.size() != 1 || ansi[0] == '?') return 0;
  return ansi[0];
}
