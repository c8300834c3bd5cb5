#include "plugin/HostStatus.h"

#include "platform/vcl/Application.h"
#include "platform/vcl/Form.h"
#include "platform/win/VirtualClock.h"
#include "platform/win/WindowMessages.h"

namespace {

DWORD gLastKeepAlive = 0;
bool gKeepAliveStarted = false;

HWND TargetWindow(HWND window) { return window != nullptr ? window : HostMainWindow(); }

}  // namespace

HWND HostMainWindow() {
  if (Application == nullptr || Application->MainForm() == nullptr) return nullptr;
  return Application->MainForm()->Handle();
}

void SendHostStatusText(HWND window, const std::string& text) {
  HWND target = TargetWindow(window);
  if (target == nullptr) return;
  if (text.empty())
    SendMessage(target, kMsgHostStatusText, 0, 0);
  else
    SendMessage(target, kMsgHostStatusText, reinterpret_cast<WPARAM>(text.c_str()), 0);
}

void KeepHostResponsive(HWND window) {
  if (!gKeepAliveStarted) {
    gKeepAliveStarted = true;
    gLastKeepAlive = GetTickCount();
  }
  DWORD now = GetTickCount();
  if (static_cast<DWORD>(now - gLastKeepAlive) < kHostKeepAliveInterval) return;
  HWND target = TargetWindow(window);
  if (target != nullptr) SendMessage(target, kMsgHostKeepAlive, kHostKeepAliveCode, 0);
  gLastKeepAlive = GetTickCount();
}

void ResetKeepAliveClock() {
  gKeepAliveStarted = false;
  gLastKeepAlive = 0;
}
