#include "core/XmlWriterHooks.h"

#include <utility>

namespace {

TXmlStatusTextHook& StatusTextHook() {
  static TXmlStatusTextHook hook;
  return hook;
}

TXmlKeepAliveHook& KeepAliveHook() {
  static TXmlKeepAliveHook hook;
  return hook;
}

}  // namespace

void SetXmlStatusTextHook(TXmlStatusTextHook aHook) { StatusTextHook() = std::move(aHook); }
void SetXmlKeepAliveHook(TXmlKeepAliveHook aHook) { KeepAliveHook() = std::move(aHook); }

void XmlStatusText(HWND aWindow, const char* aText) {
  if (StatusTextHook()) StatusTextHook()(aWindow, aText);
}

void XmlKeepAlive(HWND aWindow) {
  if (KeepAliveHook()) KeepAliveHook()(aWindow);
}
