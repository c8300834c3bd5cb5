#include "platform/win/VirtualKeys.h"

#include <atomic>

namespace {

std::atomic<bool>* Keys() {
  static std::atomic<bool>* keys = new std::atomic<bool>[256]();  // used until the process ends
  return keys;
}

bool IsDown(int key) { return key >= 0 && key < 256 && Keys()[key].load(); }

}  // namespace

short GetKeyState(int virtualKey) {
  bool down = IsDown(virtualKey);
  if (virtualKey == VK_SHIFT) down = down || IsDown(VK_LSHIFT) || IsDown(VK_RSHIFT);
  if (virtualKey == VK_CONTROL) down = down || IsDown(VK_LCONTROL) || IsDown(VK_RCONTROL);
  if (virtualKey == VK_MENU) down = down || IsDown(VK_LMENU) || IsDown(VK_RMENU);
  return down ? static_cast<short>(0x8000) : 0;
}

short GetAsyncKeyState(int virtualKey) { return GetKeyState(virtualKey); }

void SetKeyboardKeyDown(int virtualKey, bool down) {
  if (virtualKey < 0 || virtualKey >= 256) return;
  Keys()[virtualKey].store(down);
}

void ResetKeyboardState() {
  for (int i = 0; i < 256; ++i) Keys()[i].store(false);
}
