#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "TestSupport.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/win/Clipboard.h"
#include "platform/win/CodePage.h"
#include "platform/win/Cursors.h"
#include "platform/win/GlobalMemory.h"
#include "platform/win/Resources.h"

namespace {

class ScreenClipboardTest : public ControlsTest {
 protected:
  void TearDown() override {
    Screen->SetCursor(crDefault);
    Clipboard()->Clear();
    ControlsTest::TearDown();
  }
};

MonitorLayout Layout(RECT bounds, RECT work) {
  MonitorLayout m;
  m.bounds = bounds;
  m.workArea = work;
  return m;
}

TEST_F(ScreenClipboardTest, DefaultScreenIsOneFullHdMonitor) {
  EXPECT_EQ(Screen->Width(), 1920);
  EXPECT_EQ(Screen->Height(), 1080);
  EXPECT_EQ(Screen->MonitorCount(), 1);
  EXPECT_EQ(Screen->WorkAreaRect(), Rect(0, 0, 1920, 1040));
  TMonitor* m = Screen->MonitorFromPoint({-500, 5000});  // nearest: the only one
  ASSERT_NE(m, nullptr);
  EXPECT_TRUE(m->Primary());
  EXPECT_EQ(m->WorkareaRect(), Rect(0, 0, 1920, 1040));
  EXPECT_EQ(Screen->MonitorFromPoint({-500, 5000}, mdNull), nullptr);
  EXPECT_EQ(Screen->MonitorFromPoint({-500, 5000}, mdPrimary), m);
}

TEST_F(ScreenClipboardTest, TwoMonitorsNearestToPointAndRect) {
  ASSERT_TRUE(SetMonitorLayout(
      {Layout({0, 0, 1920, 1080}, {0, 0, 1920, 1040}), Layout({1920, -200, 3200, 824}, {1920, -200, 3200, 800})}));
  EXPECT_EQ(Screen->MonitorCount(), 2);
  EXPECT_EQ(Screen->DesktopTop(), -200);
  EXPECT_EQ(Screen->DesktopWidth(), 3200);
  EXPECT_EQ(Screen->MonitorFromPoint({2000, 0})->MonitorNum(), 1);
  EXPECT_EQ(Screen->MonitorFromPoint({5000, 300})->MonitorNum(), 1);   // right of both
  EXPECT_EQ(Screen->MonitorFromPoint({-50, 1000})->MonitorNum(), 0);   // left of both
  EXPECT_EQ(Screen->MonitorFromPoint({1919, 1079})->MonitorNum(), 0);  // the last pixel
  EXPECT_EQ(Screen->MonitorFromPoint({1920, 900})->MonitorNum(), 0);   // below the second
  // The larger share of a rectangle decides.
  EXPECT_EQ(Screen->MonitorFromRect(Rect(1800, 0, 2100, 100))->MonitorNum(), 1);
  EXPECT_EQ(Screen->MonitorFromRect(Rect(1700, 0, 2000, 100))->MonitorNum(), 0);
  EXPECT_EQ(Screen->MonitorFromRect(Rect(4000, 4000, 4100, 4100))->MonitorNum(), 1);
  EXPECT_EQ(Screen->MonitorFromRect(Rect(4000, 4000, 4100, 4100), mdNull), nullptr);
  EXPECT_EQ(Screen->Monitors(1)->WorkareaRect(), Rect(1920, -200, 3200, 800));
  EXPECT_EQ(Screen->Monitors(2), nullptr);
  // Layouts that cannot be are refused and the old one stays.
  EXPECT_FALSE(SetMonitorLayout({}));
  EXPECT_FALSE(SetMonitorLayout({Layout({10, 0, 100, 100}, {10, 0, 100, 100})}));
  EXPECT_FALSE(SetMonitorLayout({Layout({0, 0, 100, 100}, {0, 0, 200, 100})}));
  EXPECT_EQ(Screen->MonitorCount(), 2);
}

TEST_F(ScreenClipboardTest, CursorsAndTheMousePosition) {
  EXPECT_EQ(Screen->Cursor(), crDefault);
  Screen->SetCursor(crHourGlass);
  EXPECT_EQ(Screen->Cursor(), crHourGlass);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_WAIT));
  EXPECT_EQ(Screen->Cursors(crHandPoint), LoadCursor(nullptr, IDC_HAND));
  EXPECT_EQ(Screen->Cursors(crIBeam)->name, "IDC_IBEAM");
  // A number without a cursor shows the default one; a cursor resource
  // that is missing loads as none.
  EXPECT_EQ(Screen->Cursors(4128), LoadCursor(nullptr, IDC_ARROW));
  EXPECT_EQ(LoadCursor(HInstance, "CR_NO_SUCH_CURSOR"), nullptr);
  CursorRecord custom{"CR_MOVE"};
  Screen->SetCursors(4128, &custom);
  EXPECT_EQ(Screen->Cursors(4128), &custom);
  Screen->SetCursor(4128);
  EXPECT_EQ(GetCursor(), &custom);
  Screen->SetCursor(crDefault);
  Screen->SetCursors(4128, nullptr);
  EXPECT_EQ(Screen->Cursors(4128), LoadCursor(nullptr, IDC_ARROW));
  Mouse->SetCursorPos({123, -45});
  EXPECT_EQ(Mouse->CursorPos(), (TPoint{123, -45}));
}

TEST_F(ScreenClipboardTest, ClipboardTextConvertsBetweenAnsiAndUnicode) {
  const UINT acp = GetACP();
  SetAnsiCodePage(1252);
  Clipboard()->SetAsText("caf\xE9 <page/>");
  EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_UNICODETEXT));
  EXPECT_EQ(Clipboard()->AsText(), "caf\xE9 <page/>");
  EXPECT_EQ(Clipboard()->AsUnicodeText(), u"caf\u00E9 <page/>");
  Clipboard()->SetAsUnicodeText(u"\u20AC \u015E");
  EXPECT_EQ(Clipboard()->AsText(), "\x80 ?");  // the euro sign is in 1252, S-cedilla is not
  EXPECT_EQ(Clipboard()->AsUnicodeText(), u"\u20AC \u015E");
  Clipboard()->Clear();
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_EQ(Clipboard()->AsText(), "");
  SetAnsiCodePage(acp);
}

TEST_F(ScreenClipboardTest, ClipboardCallsCheckTheirArguments) {
  // Closed: nothing is read or written.
  EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 4);
  std::memcpy(GlobalLock(block), "abc", 4);
  EXPECT_EQ(SetClipboardData(CF_TEXT, block), nullptr);
  ASSERT_TRUE(OpenClipboard(nullptr));
  // Open by this thread: another thread cannot open it.
  bool otherOpened = true;
  std::thread([&] { otherOpened = OpenClipboard(nullptr) != FALSE; }).join();
  EXPECT_FALSE(otherOpened);
  int local = 0;
  EXPECT_EQ(SetClipboardData(CF_TEXT, &local), nullptr);    // not a block
  EXPECT_EQ(SetClipboardData(CF_TEXT, block), block);       // the clipboard owns it now
  EXPECT_EQ(SetClipboardData(CF_OEMTEXT, block), nullptr);  // not twice
  EXPECT_EQ(SetClipboardData(CF_TEXT, block), block);       // the same again is no change
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT))), "abc");
  EXPECT_EQ(GetClipboardData(CF_BITMAP), nullptr);
  EXPECT_TRUE(EmptyClipboard());
  EXPECT_EQ(GlobalSize(block), 0u);  // freed with the clipboard's contents
  EXPECT_TRUE(CloseClipboard());
  EXPECT_FALSE(CloseClipboard());
  EXPECT_EQ(GlobalFree(&local), &local);
  // A text block without its terminating zero is read to its end only.
  HGLOBAL raw = GlobalAlloc(GMEM_MOVEABLE, 3);
  std::memcpy(GlobalLock(raw), "xyz", 3);
  ASSERT_TRUE(OpenClipboard(nullptr));
  SetClipboardData(CF_TEXT, raw);
  CloseClipboard();
  EXPECT_EQ(Clipboard()->AsText(), "xyz");
  EXPECT_EQ(Clipboard()->AsUnicodeText(), u"xyz");
}

}  // namespace
