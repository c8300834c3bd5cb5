#include <cstring>

#include "platform/vcl/Menus.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/VirtualKeys.h"

namespace {

struct KeyName {
  WORD key;
  const char* name;
};

constexpr KeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},        {VK_ESCAPE, "Esc"}, {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},      {VK_END, "End"},    {VK_HOME, "Home"},    {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"},    {VK_DOWN, "Down"},  {VK_INSERT, "Ins"},   {VK_DELETE, "Del"},
    {VK_ADD, "Num +"},  {VK_SUBTRACT, "Num -"},
};

std::string KeyText(WORD key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
  if (key >= VK_F1 && key < VK_F1 + 24) return "F" + std::to_string(key - VK_F1 + 1);
  for (const KeyName& k : kKeyNames)
    if (k.key == key) return k.name;
  return "";
}

}  // namespace

TShortCut ShortCut(WORD key, TShiftState shift) {
  if ((key & 0xFF00) != 0) return scNone;
  TShortCut sc = key;
  if (shift & ssShift) sc |= scShift;
  if (shift & ssCtrl) sc |= scCtrl;
  if (shift & ssAlt) sc |= scAlt;
  return sc;
}

void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift) {
  key = shortCut & 0xFF;
  shift = 0;
  if (shortCut & scShift) shift |= ssShift;
  if (shortCut & scCtrl) shift |= ssCtrl;
  if (shortCut & scAlt) shift |= ssAlt;
}

std::string ShortCutToText(TShortCut shortCut) {
  const std::string name = KeyText(shortCut & 0xFF);
  if (name.empty()) return "";
  std::string text;
  if (shortCut & scShift) text += "Shift+";
  if (shortCut & scCtrl) text += "Ctrl+";
  if (shortCut & scAlt) text += "Alt+";
  return text + name;
}

TShortCut TextToShortCut(const std::string& text) {
  std::string rest = text;
  TShortCut mods = 0;
  for (;;) {
    bool found = false;
    for (const auto& [prefix, bit] :
         {std::pair<const char*, TShortCut>{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}}) {
      const std::size_t n = std::strlen(prefix);
      if (rest.size() > n && SameText(rest.substr(0, n), prefix)) {
        mods |= bit;
        rest = rest.substr(n);
        found = true;
      }
    }
    if (!found) break;
  }
  if (rest.empty()) return scNone;
  for (int key = 1; key < 0x100; ++key) {
    const std::string name = KeyText(static_cast<WORD>(key));
    if (!name.empty() && SameText(rest, name)) return static_cast<TShortCut>(key | mods);
  }
  return scNone;
}
