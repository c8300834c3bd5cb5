#include "platform/x11/X11Clipboard.h"

#include <cstring>

#include "platform/win/Clipboard.h"
#include "platform/win/CodePage.h"
#include "platform/win/GlobalMemory.h"
#include "platform/x11/X11Text.h"

namespace {

constexpr UINT kLatin1 = 28591;  // the encoding of the STRING target

}  // namespace

TX11Clipboard::TX11Clipboard(TX11Display& display) : display_(display) {
  XSetWindowAttributes attributes{};
  attributes.event_mask = PropertyChangeMask;
  window_ = XCreateWindow(display_.X(), display_.Root(), -10, -10, 1, 1, 0, 0, InputOnly, CopyFromParent, CWEventMask,
                          &attributes);
}

TX11Clipboard::~TX11Clipboard() { XDestroyWindow(display_.X(), window_); }

std::string TX11Clipboard::ProcessText() {
  if (!OpenClipboard(nullptr)) return {};
  std::string text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    const auto* p = static_cast<const char*>(GlobalLock(data));
    if (p != nullptr) text.assign(p, strnlen(p, GlobalSize(data)));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

void TX11Clipboard::SetProcessText(const std::string& text) {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (auto* p = static_cast<char*>(GlobalLock(block))) {
    std::memcpy(p, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    if (SetClipboardData(CF_TEXT, block) == nullptr) GlobalFree(block);
  }
  CloseClipboard();
}

void TX11Clipboard::Poll() {
  const std::string text = ProcessText();
  if (text.empty() || text == offered_) return;
  offered_ = text;
  XSetSelectionOwner(display_.X(), display_.clipboard, window_, CurrentTime);
  owner_ = XGetSelectionOwner(display_.X(), display_.clipboard) == window_;
}

void TX11Clipboard::Fetch() {
  const ::Window owner = XGetSelectionOwner(display_.X(), display_.clipboard);
  if (owner == 0 || owner == window_) return;
  XConvertSelection(display_.X(), display_.clipboard, display_.utf8String, display_.clipboardProperty, window_,
                    CurrentTime);
}

bool TX11Clipboard::Handle(XEvent& event) {
  switch (event.type) {
    case SelectionRequest: Answer(event.xselectionrequest); return true;
    case SelectionClear:
      if (event.xselectionclear.window != window_) return false;
      owner_ = false;
      return true;
    case SelectionNotify:
      if (event.xselection.requestor != window_) return false;
      Receive(event.xselection);
      return true;
    default: return false;
  }
}

void TX11Clipboard::Answer(const XSelectionRequestEvent& request) {
  ::Display* x = display_.X();
  XSelectionEvent reply{};
  reply.type = SelectionNotify;
  reply.requestor = request.requestor;
  reply.selection = request.selection;
  reply.target = request.target;
  reply.time = request.time;
  reply.property = None;
  const Atom text = XInternAtom(x, "TEXT", False);
  // Old clients name no property: the target is the property then.
  const Atom property = request.property != None ? request.property : request.target;
  if (owner_ && request.selection == display_.clipboard) {
    if (request.target == display_.targets) {
      const Atom targets[] = {display_.targets, display_.utf8String, XA_STRING, text};
      XChangeProperty(x, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(targets), 4);
      reply.property = property;
    } else if (request.target == display_.utf8String || request.target == XA_STRING || request.target == text) {
      // STRING is Latin-1; UTF-8 serves the others.
      const std::string data = request.target == XA_STRING ? WideToMultiByte(kLatin1, MultiByteToWide(CP_ACP, offered_))
                                                           : AnsiToUtf8(offered_);
      XChangeProperty(x, request.requestor, property, request.target == XA_STRING ? XA_STRING : display_.utf8String, 8,
                      PropModeReplace, reinterpret_cast<const unsigned char*>(data.data()),
                      static_cast<int>(data.size()));
      reply.property = property;
    }
  }
  XSendEvent(x, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
  XFlush(x);
}

void TX11Clipboard::Receive(const XSelectionEvent& event) {
  if (event.property == None) return;
  ::Display* x = display_.X();
  Atom type = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  // Texts up to 4 MB; longer ones are not taken.
  if (XGetWindowProperty(x, window_, event.property, 0, 1 << 20, True, AnyPropertyType, &type, &format, &count, &after,
                         &data) != Success)
    return;
  if (data != nullptr && format == 8 && after == 0 && (type == display_.utf8String || type == XA_STRING)) {
    const std::string raw(reinterpret_cast<const char*>(data), count);
    const std::string ansi =
        type == XA_STRING ? WideToMultiByte(CP_ACP, MultiByteToWide(kLatin1, raw)) : Utf8ToAnsi(raw);
    // Taken as the program's own: not offered back as a change.
    offered_ = ansi;
    SetProcessText(ansi);
  }
  if (data != nullptr) XFree(data);
}
