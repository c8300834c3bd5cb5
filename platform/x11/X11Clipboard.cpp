#include "platform/x11/X11Clipboard.h"

#include <poll.h>

#include <cstring>
#include <string_view>
#include <utility>

#include "platform/win/Clipboard.h"
#include "platform/win/CodePage.h"
#include "platform/win/GlobalMemory.h"

namespace {

constexpr UINT kLatin1 = 28591;  // the encoding of the STRING target

// The events of the selection that reach the clipboard's window.
Bool IsForWindow(::Display*, XEvent* event, XPointer window) {
  const ::Window w = *reinterpret_cast<const ::Window*>(window);
  switch (event->type) {
    case SelectionNotify: return event->xselection.requestor == w ? True : False;
    case SelectionRequest: return event->xselectionrequest.owner == w ? True : False;
    case SelectionClear: return event->xselectionclear.window == w ? True : False;
    default: return False;
  }
}

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
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    const auto* p = static_cast<const char*>(GlobalLock(data));
    std::u16string wide;
    for (std::size_t i = 0; p != nullptr && i + 1 < GlobalSize(data); i += sizeof(char16_t)) {
      char16_t c;
      std::memcpy(&c, p + i, sizeof c);
      if (c == 0) break;
      wide.push_back(c);
    }
    GlobalUnlock(data);
    text = WideToMultiByte(CP_UTF8, wide);
  }
  CloseClipboard();
  return text;
}

void TX11Clipboard::SetProcessText(const std::string& text) {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  if (text.empty()) {
    CloseClipboard();
    return;
  }
  // The Unicode text as it came, and the 8-bit one made from it (a
  // character the ANSI code page lacks is '?' there only).
  const std::u16string wide = MultiByteToWide(CP_UTF8, text);
  const std::string ansi = WideToMultiByte(CP_ACP, wide);
  const std::pair<UINT, std::string_view> blocks[] = {
      {CF_UNICODETEXT, {reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(char16_t)}}, {CF_TEXT, ansi}};
  for (const auto& [format, bytes] : blocks) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size() + sizeof(char16_t));
    if (auto* p = static_cast<char*>(GlobalLock(block))) {
      std::memcpy(p, bytes.data(), bytes.size());
      GlobalUnlock(block);
      if (SetClipboardData(format, block) == nullptr) GlobalFree(block);
    }
  }
  CloseClipboard();
}

void TX11Clipboard::Poll() {
  const DWORD sequence = GetClipboardSequenceNumber();
  if (sequence == seen_) return;
  seen_ = sequence;
  const std::string text = ProcessText();
  if (text.empty()) return;
  offered_ = text;
  XSetSelectionOwner(display_.X(), display_.clipboard, window_, CurrentTime);
  owner_ = XGetSelectionOwner(display_.X(), display_.clipboard) == window_;
}

void TX11Clipboard::Refresh() {
  // A copy the program made since the last round is the newest: it takes
  // the selection first.
  Poll();
  ::Display* x = display_.X();
  const ::Window owner = XGetSelectionOwner(x, display_.clipboard);
  if (owner == window_) return;
  // No owner (the program that copied last has ended, or cleared it): the
  // clipboard holds nothing, as for every other program, not the program's
  // own older copy.
  if (owner == None) {
    Take({});
    return;
  }
  // An answer to an earlier request that came too late is not this one's.
  XEvent stale;
  while (XCheckTypedWindowEvent(x, window_, SelectionNotify, &stale)) {}
  XDeleteProperty(x, window_, display_.clipboardProperty);
  XConvertSelection(x, display_.clipboard, display_.utf8String, display_.clipboardProperty, window_, CurrentTime);
  XFlush(x);
  const auto deadline = std::chrono::steady_clock::now() + kAnswerTimeLimit;
  for (;;) {
    XEvent event;
    XEventsQueued(x, QueuedAfterReading);  // reads what the server sent, also behind events queued already
    if (XCheckIfEvent(x, &event, IsForWindow, reinterpret_cast<XPointer>(&window_))) {
      if (event.type == SelectionNotify) {
        Take(Receive(event.xselection));
        return;
      }
      Handle(event);
      continue;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) break;
    pollfd wait{ConnectionNumber(x), POLLIN, 0};
    poll(&wait, 1, static_cast<int>(left));
  }
  // No answer: the clipboard holds nothing the program can read.
  Take({});
}

void TX11Clipboard::Take(const std::string& text) {
  SetProcessText(text);
  seen_ = GetClipboardSequenceNumber();
}

bool TX11Clipboard::Handle(XEvent& event) {
  switch (event.type) {
    case SelectionRequest: Answer(event.xselectionrequest); return true;
    case SelectionClear:
      if (event.xselectionclear.window != window_) return false;
      owner_ = false;
      return true;
    case SelectionNotify:
      // An answer that came after Refresh stopped waiting: dropped.
      if (event.xselection.requestor != window_) return false;
      if (event.xselection.property != None) XDeleteProperty(display_.X(), window_, event.xselection.property);
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
      const std::string data =
          request.target == XA_STRING ? WideToMultiByte(kLatin1, MultiByteToWide(CP_UTF8, offered_)) : offered_;
      XChangeProperty(x, request.requestor, property, request.target == XA_STRING ? XA_STRING : display_.utf8String, 8,
                      PropModeReplace, reinterpret_cast<const unsigned char*>(data.data()),
                      static_cast<int>(data.size()));
      reply.property = property;
    }
  }
  XSendEvent(x, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
  XFlush(x);
}

std::string TX11Clipboard::Receive(const XSelectionEvent& event) {
  if (event.property == None) return {};
  ::Display* x = display_.X();
  Atom type = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  // Texts up to 4 MB; longer ones are not taken.
  if (XGetWindowProperty(x, window_, event.property, 0, 1 << 20, True, AnyPropertyType, &type, &format, &count, &after,
                         &data) != Success)
    return {};
  std::string text;
  if (data != nullptr && format == 8 && after == 0 && (type == display_.utf8String || type == XA_STRING)) {
    const std::string raw(reinterpret_cast<const char*>(data), count);
    text = type == XA_STRING ? WideToMultiByte(CP_UTF8, MultiByteToWide(kLatin1, raw)) : raw;
  }
  if (data != nullptr) XFree(data);
  return text;
}
