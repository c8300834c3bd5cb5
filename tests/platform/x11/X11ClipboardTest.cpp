// The clipboard's text between the program and another X client, through
// the CLIPBOARD selection, in the ANSI code page on the program's side.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/vcl/Driver.h"
#include "platform/x11/X11Backend.h"
#include "platform/x11/X11Clipboard.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Text.h"
#include "tests/platform/x11/X11ServerTest.h"

namespace {

class X11ClipboardTest : public X11ServerTest {
 protected:
  void SetUp() override {
    X11ServerTest::SetUp();
    if (!backend) return;
    // The other client: a connection and a window of its own.
    other = XOpenDisplay(server.Name().c_str());
    ASSERT_NE(other, nullptr);
    otherWindow = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0, 0);
    clipboard = XInternAtom(other, "CLIPBOARD", False);
    utf8 = XInternAtom(other, "UTF8_STRING", False);
    TX11Clipboard::SetProcessText("");
  }
  void TearDown() override {
    if (other != nullptr) XCloseDisplay(other);
    X11ServerTest::TearDown();
  }

  ::Display* other = nullptr;
  ::Window otherWindow = 0;
  Atom clipboard = 0;
  Atom utf8 = 0;
};

TEST_F(X11ClipboardTest, TextTheProgramCopiesIsOfferedAsUtf8) {
  TX11Clipboard::SetProcessText(
      "Gr\xFC\xDF"
      "e aus K\xF6ln");  // windows-1252
  backend->Pump(0);
  const Atom property = XInternAtom(other, "OTHER_PROPERTY", False);
  XConvertSelection(other, clipboard, utf8, property, otherWindow, CurrentTime);
  XFlush(other);
  std::string received;
  bool answered = false;
  for (int i = 0; i < 500 && !answered; ++i) {
    backend->Pump(10);
    while (XPending(other) > 0) {
      XEvent event;
      XNextEvent(other, &event);
      if (event.type != SelectionNotify) continue;
      answered = true;
      ASSERT_EQ(event.xselection.property, property) << "the owner refused";
      Atom type;
      int format;
      unsigned long count, after;
      unsigned char* data = nullptr;
      XGetWindowProperty(other, otherWindow, property, 0, 1 << 16, True, AnyPropertyType, &type, &format, &count,
                         &after, &data);
      EXPECT_EQ(type, utf8);
      received.assign(reinterpret_cast<const char*>(data), count);
      XFree(data);
    }
  }
  ASSERT_TRUE(answered);
  EXPECT_EQ(received, "Grü\u00dfe aus Köln");
}

TEST_F(X11ClipboardTest, TextAnotherClientHoldsIsFetchedIntoTheProgramsClipboard) {
  XSetSelectionOwner(other, clipboard, otherWindow, CurrentTime);
  XSync(other, False);
  backend->Clipboard().Fetch();
  const std::string offered = "Zürich \u20ac 5 \u4e2d";  // the last one is not in windows-1252
  for (int i = 0; i < 500 && TX11Clipboard::ProcessText().empty(); ++i) {
    backend->Pump(10);
    while (XPending(other) > 0) {
      XEvent event;
      XNextEvent(other, &event);
      if (event.type != SelectionRequest) continue;
      const XSelectionRequestEvent& r = event.xselectionrequest;
      XChangeProperty(other, r.requestor, r.property, utf8, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(offered.data()), static_cast<int>(offered.size()));
      XSelectionEvent reply{};
      reply.type = SelectionNotify;
      reply.requestor = r.requestor;
      reply.selection = r.selection;
      reply.target = r.target;
      reply.property = r.property;
      reply.time = r.time;
      XSendEvent(other, r.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
      XFlush(other);
    }
  }
  EXPECT_EQ(TX11Clipboard::ProcessText(), "Z\xFCrich \x80 5 ?");
  // Taken from the other client: the program does not take the selection back.
  backend->Pump(0);
  EXPECT_EQ(XGetSelectionOwner(other, clipboard), otherWindow);
}

TEST(X11Text, AnsiAndUtf8RoundTripWhatTheCodePageHas) {
  EXPECT_EQ(AnsiToUtf8("caf\xE9 \x80"), "café €");
  EXPECT_EQ(Utf8ToAnsi("café €"), "caf\xE9 \x80");
  EXPECT_EQ(Utf8ToAnsi("\u4e2d"), "?");
}

}  // namespace
