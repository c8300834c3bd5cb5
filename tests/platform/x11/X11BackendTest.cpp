// The X11 back end on a virtual X server: forms become windows showing what
// the layer paints, and input sent through the server (XTest) reaches the
// controls as the driver's input does.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/Application.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/OpenDialog.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/PngWriter.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/Timer.h"
#include "platform/win/CodePage.h"
#include "platform/win/MessageBox.h"
#include "platform/win/VirtualKeys.h"
#include "platform/x11/X11Backend.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11DropDown.h"
#include "platform/x11/X11FileDialog.h"
#include "platform/x11/X11Keys.h"
#include "platform/x11/X11MessageBox.h"
#include "project/DialogFilters.h"
#include "tests/platform/x11/X11ServerTest.h"
#include "tests/support/TempFolder.h"

// After the layer's headers (X11Display.h says why).
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

class X11BackendTest : public X11ServerTest {
 protected:
  void SetUp() override {
    X11ServerTest::SetUp();
    if (backend) x = backend->Display().X();
  }
  void TearDown() override {
    forms.clear();
    X11ServerTest::TearDown();
  }

  TForm* MakeForm(const std::string& name, int left, int top, int width, int height) {
    forms.push_back(std::make_unique<TForm>(nullptr));
    TForm* form = forms.back().get();
    form->SetName(name);
    form->SetBounds(left, top, width, height);
    return form;
  }

  // Rounds of the back end until `done` holds (at most about five seconds:
  // the server answers far sooner).
  bool PumpUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 500 && !done(); ++i) backend->Pump(10);
    return done();
  }

  // --- input through the server ---
  void MoveTo(TControl* control, int cx, int cy) {
    const TPoint p = control->ClientToScreen({cx, cy});
    XTestFakeMotionEvent(x, -1, p.x, p.y, CurrentTime);
    XFlush(x);
  }
  void Button(unsigned button, bool down) {
    XTestFakeButtonEvent(x, button, down ? True : False, CurrentTime);
    XFlush(x);
  }
  void ClickAt(TControl* control, int cx, int cy, unsigned button = 1) {
    MoveTo(control, cx, cy);
    Button(button, true);
    Button(button, false);
  }
  void Key(KeySym keysym, bool shift = false) {
    const KeyCode shiftCode = XKeysymToKeycode(x, XK_Shift_L);
    if (shift) XTestFakeKeyEvent(x, shiftCode, True, CurrentTime);
    const KeyCode code = XKeysymToKeycode(x, keysym);
    XTestFakeKeyEvent(x, code, True, CurrentTime);
    XTestFakeKeyEvent(x, code, False, CurrentTime);
    if (shift) XTestFakeKeyEvent(x, shiftCode, False, CurrentTime);
    XFlush(x);
  }

  // The pixels of the window that differ from what the layer paints (-1:
  // the window is missing or of another size).
  int PixelsDifferingFromForm(TCustomForm* form) {
    std::vector<std::uint32_t> shown;
    int width = 0;
    int height = 0;
    if (!backend->CaptureWindow(form, shown, width, height)) return -1;
    TBitmap painted;
    PaintClientToBitmap(form, painted);
    if (width != painted.Width() || height != painted.Height()) return -1;
    int differing = 0;
    for (int row = 0; row < height; ++row) {
      const auto* p = static_cast<const std::uint32_t*>(painted.ScanLine(row));
      for (int col = 0; col < width; ++col)
        differing += (p[col] & 0xFFFFFF) != shown[static_cast<std::size_t>(row) * width + col] ? 1 : 0;
    }
    return differing;
  }
  void ExpectWindowShowsForm(TCustomForm* form) { EXPECT_EQ(PixelsDifferingFromForm(form), 0); }

  // What the server shows in the rectangle of the screen, into a PNG file of
  // the build folder, for a person to look at.
  void SaveScreen(const TRect& r, const std::string& name) {
    XImage* image = XGetImage(x, DefaultRootWindow(x), r.Left, r.Top, static_cast<unsigned>(r.Width()),
                              static_cast<unsigned>(r.Height()), AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    TBitmap bitmap;
    bitmap.SetSize(r.Width(), r.Height());
    for (int row = 0; row < r.Height(); ++row) {
      auto* line = static_cast<std::uint32_t*>(bitmap.ScanLine(row));
      for (int col = 0; col < r.Width(); ++col) line[col] = 0xFF000000u | (XGetPixel(image, col, row) & 0xFFFFFF);
    }
    XDestroyImage(image);
    EXPECT_TRUE(SaveBitmapAsPng(bitmap, std::string(TARNWELL_BINARY_DIR) + "/" + name));
  }

  ::Display* x = nullptr;
  std::vector<std::unique_ptr<TForm>> forms;
};

TEST_F(X11BackendTest, ShownFormIsAWindowOfItsClientAreaWithItsCaptionAndPixels) {
  TForm* form = MakeForm("FormShown", 100, 80, 320, 240);
  form->SetCaption("Caption of the form");
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 120, 60);
  panel->SetColor(clRed);
  form->Show();
  backend->Flush();
  const ::Window window = backend->WindowOf(form);
  ASSERT_NE(window, 0u);
  ::Window root;
  int wx, wy;
  unsigned width, height, border, depth;
  XGetGeometry(x, window, &root, &wx, &wy, &width, &height, &border, &depth);
  const TPoint origin = form->ClientOrigin();
  EXPECT_EQ(wx, origin.x);
  EXPECT_EQ(wy, origin.y);
  EXPECT_EQ(static_cast<int>(width), form->ClientWidth());
  EXPECT_EQ(static_cast<int>(height), form->ClientHeight());
  char* name = nullptr;
  ASSERT_TRUE(XFetchName(x, window, &name));
  EXPECT_STREQ(name, "Caption of the form");
  XFree(name);
  ExpectWindowShowsForm(form);

  form->SetCaption("Renamed");
  backend->Flush();
  ASSERT_TRUE(XFetchName(x, window, &name));
  EXPECT_STREQ(name, "Renamed");
  XFree(name);

  form->Hide();
  backend->Flush();
  XWindowAttributes attributes;
  XGetWindowAttributes(x, window, &attributes);
  EXPECT_EQ(attributes.map_state, IsUnmapped);
}

// A form hidden and shown again at once (as a window is before it is shown
// modally) keeps its window on the screen: it does not blink.
TEST_F(X11BackendTest, FormHiddenAndShownAgainAtOnceStaysOnTheScreen) {
  TForm* form = MakeForm("FormAgain", 100, 80, 200, 100);
  form->Show();
  backend->Flush();
  const ::Window window = backend->WindowOf(form);
  XSelectInput(x, window, StructureNotifyMask);
  XSync(x, False);
  form->Hide();
  form->Show();
  backend->Flush();
  XSync(x, False);
  XEvent event;
  EXPECT_FALSE(XCheckTypedWindowEvent(x, window, UnmapNotify, &event));
  XWindowAttributes attributes;
  XGetWindowAttributes(x, window, &attributes);
  EXPECT_EQ(attributes.map_state, IsViewable);
}

TEST_F(X11BackendTest, SmallChangeSendsOnlyTheTilesThatChanged) {
  TForm* form = MakeForm("FormChange", 50, 50, 600, 400);
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetBounds(20, 20, 60, 16);
  label->SetCaption("one");
  form->Show();
  backend->Flush();
  const std::int64_t first = backend->TakeSentPixelCount();
  EXPECT_EQ(first, static_cast<std::int64_t>(form->ClientWidth()) * form->ClientHeight());
  backend->Flush();
  EXPECT_EQ(backend->TakeSentPixelCount(), 0) << "nothing changed, nothing sent";
  label->SetCaption("two");
  backend->Flush();
  const std::int64_t changed = backend->TakeSentPixelCount();
  EXPECT_GT(changed, 0);
  EXPECT_LE(changed, 4 * 32 * 32) << "a few tiles around the label";
  ExpectWindowShowsForm(form);
}

TEST_F(X11BackendTest, CoveredWindowIsRepaintedFromTheKeptCopy) {
  TForm* form = MakeForm("FormExposed", 60, 60, 300, 200);
  form->SetColor(clTeal);
  form->Show();
  backend->Flush();
  // Another client's window covers it and goes again.
  XSetWindowAttributes a{};
  a.override_redirect = True;
  a.background_pixel = 0x000000;
  const ::Window cover = XCreateWindow(x, DefaultRootWindow(x), 40, 40, 400, 300, 0, CopyFromParent, InputOutput,
                                       CopyFromParent, CWOverrideRedirect | CWBackPixel, &a);
  XMapRaised(x, cover);
  XSync(x, False);
  EXPECT_GT(PixelsDifferingFromForm(form), 0) << "covered";
  XDestroyWindow(x, cover);
  XSync(x, False);
  backend->TakeSentPixelCount();
  EXPECT_TRUE(PumpUntil([&] { return PixelsDifferingFromForm(form) == 0; }));
  EXPECT_EQ(backend->TakeSentPixelCount(), 0) << "nothing painted anew";
}

TEST_F(X11BackendTest, ClickThroughTheServerClicksTheButton) {
  TForm* form = MakeForm("FormClick", 100, 100, 300, 200);
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetBounds(40, 40, 100, 30);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  backend->Flush();
  ClickAt(button, 50, 15);
  EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
  // A press outside the button and a release on it is no click: the form
  // that took the press keeps the mouse.
  bool formReleased = false;
  form->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { formReleased = true; };
  MoveTo(form, 5, 5);
  Button(1, true);
  MoveTo(button, 50, 15);
  Button(1, false);
  EXPECT_TRUE(PumpUntil([&] { return formReleased; }));
  EXPECT_EQ(clicks, 1);
}

TEST_F(X11BackendTest, TypedKeysReachTheFocusedEditWithTheirShiftState) {
  TForm* form = MakeForm("FormType", 100, 100, 300, 200);
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetBounds(20, 20, 200, 24);
  form->Show();
  form->SetActiveControl(edit);
  backend->Flush();
  Key(XK_a, true);
  Key(XK_b);
  Key(XK_1, true);  // '!' on the server's keyboard
  Key(XK_x);
  Key(XK_BackSpace);
  Key(XK_y);
  EXPECT_TRUE(PumpUntil([&] { return edit->Text() == "Ab!y"; })) << edit->Text();
  EXPECT_FALSE(GetKeyState(VK_SHIFT) < 0) << "Shift was let go";
}

TEST_F(X11BackendTest, SecondQuickPressIsADoubleClick) {
  TForm* form = MakeForm("FormDouble", 100, 100, 300, 200);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(20, 20, 150, 100);
  int doubles = 0;
  int clicks = 0;
  panel->OnDblClick = [&](TObject*) { ++doubles; };
  panel->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  backend->Flush();
  ClickAt(panel, 30, 30);
  ClickAt(panel, 31, 30);
  EXPECT_TRUE(PumpUntil([&] { return doubles == 1; }));
  EXPECT_EQ(clicks, 1);
}

// Also when the program is busy and finds the whole drag waiting at once:
// the moves after the press are not taken before it.
TEST_F(X11BackendTest, DragKeepsTheMouseWithThePressedControl) {
  TForm* form = MakeForm("FormDrag", 100, 100, 400, 300);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(20, 20, 100, 80);
  std::vector<std::string> seen;
  panel->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int px, int py) {
    seen.push_back("down " + std::to_string(px) + "," + std::to_string(py));
  };
  panel->OnMouseMove = [&](TObject*, TShiftState shift, int px, int py) {
    if (shift & ssLeft) seen.push_back("drag " + std::to_string(px) + "," + std::to_string(py));
  };
  panel->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int px, int py) {
    seen.push_back("up " + std::to_string(px) + "," + std::to_string(py));
  };
  form->Show();
  backend->Flush();
  for (const bool busy : {false, true}) {
    SCOPED_TRACE(busy ? "all events waiting at once" : "each event taken as it comes");
    seen.clear();
    MoveTo(panel, 10, 10);
    Button(1, true);
    if (!busy) PumpUntil([&] { return !seen.empty(); });
    if (busy) MoveTo(panel, 100, 70);
    MoveTo(panel, 200, 150);  // outside the panel, inside the form
    if (!busy) PumpUntil([&] { return seen.size() >= 2; });
    Button(1, false);
    if (busy) XSync(x, False);  // every event of the drag in the queue before the first is taken
    ASSERT_TRUE(PumpUntil([&] { return seen.size() >= 3 && seen.back().rfind("up", 0) == 0; })) << seen.size();
    ASSERT_EQ(seen.size(), 3u) << seen[1];
    EXPECT_EQ(seen.front(), "down 10,10");
    EXPECT_EQ(seen[1], "drag 200,150");
    EXPECT_EQ(seen.back(), "up 200,150");
  }
}

TEST_F(X11BackendTest, WheelTurnsReachTheActiveForm) {
  TForm* form = MakeForm("FormWheel", 100, 100, 300, 200);
  std::vector<int> deltas;
  form->OnMouseWheel = [&](TObject*, TShiftState, int delta, TPoint, bool& handled) {
    deltas.push_back(delta);
    handled = true;
  };
  form->Show();
  backend->Flush();
  ClickAt(form, 50, 50, 4);
  ClickAt(form, 50, 50, 5);
  EXPECT_TRUE(PumpUntil([&] { return deltas.size() == 2; }));
  EXPECT_EQ(deltas, (std::vector<int>{WHEEL_DELTA, -WHEEL_DELTA}));
}

TEST_F(X11BackendTest, CloseBoxOfTheWindowManagerClosesTheForm) {
  TForm* form = MakeForm("FormClose", 100, 100, 300, 200);
  bool closed = false;
  form->OnClose = [&](TObject*, TCloseAction& action) {
    closed = true;
    action = caHide;
  };
  form->Show();
  backend->Flush();
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = backend->WindowOf(form);
  event.xclient.message_type = backend->Display().wmProtocols;
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(backend->Display().wmDeleteWindow);
  XSendEvent(x, event.xclient.window, False, NoEventMask, &event);
  XFlush(x);
  EXPECT_TRUE(PumpUntil([&] { return closed; }));
  EXPECT_FALSE(form->Visible());
}

// Input sent while a modal call waits: a timer of the layer sends it on the
// real clock, from inside the modal loop.
class TScript : public TComponent {
 public:
  explicit TScript(std::vector<std::function<void()>> steps) : TComponent(nullptr), steps_(std::move(steps)) {
    timer_ = new TTimer(this);
    timer_->SetInterval(60);
    timer_->OnTimer = [this](TObject*) {
      if (next_ < steps_.size()) steps_[next_++]();
    };
  }

 private:
  std::vector<std::function<void()>> steps_;
  std::size_t next_ = 0;
  TTimer* timer_;
};

TEST_F(X11BackendTest, ModalFormWaitsForEnterOrEscape) {
  TForm* form = MakeForm("FormModal", 200, 200, 300, 150);
  auto* ok = new TButton(form);
  ok->SetParent(form);
  ok->SetBounds(20, 60, 75, 25);
  ok->ModalResult = mrOk;
  ok->SetDefault(true);
  auto* cancel = new TButton(form);
  cancel->SetParent(form);
  cancel->SetBounds(120, 60, 75, 25);
  cancel->ModalResult = mrCancel;
  cancel->Cancel = true;
  {
    TScript script({[] {}, [&] { Key(XK_Return); }});
    EXPECT_EQ(form->ShowModal(), mrOk);
  }
  {
    TScript script({[] {}, [&] { Key(XK_Escape); }});
    EXPECT_EQ(form->ShowModal(), mrCancel);
  }
  ASSERT_EQ(Driver::ModalLog().size(), 2u);
  EXPECT_FALSE(Driver::ModalLog()[0].answeredByHandler);
}

TEST_F(X11BackendTest, MessageBoxIsAWindowWhoseButtonAnswers) {
  std::string manyWords;
  for (int i = 0; i < 100000; ++i) manyWords += "word ";
  // However long its text, a box fits the screen.
  const struct {
    std::string text;
    UINT flags;
    int answer;
  } cases[] = {
      {"Save the changes?", MB_YESNO | MB_ICONQUESTION, IDNO},
      {std::string(1000000, 'l'), MB_OK | MB_ICONSTOP, IDOK},
      {manyWords, MB_OK, IDOK},
  };
  for (const auto& c : cases) {
    TCustomForm* shown = nullptr;
    TScript script({[] {},
                    [&] {
                      for (int i = 0; i < Screen->FormCount(); ++i)
                        if (Screen->Forms(i)->Name() == "MessageForm") shown = Screen->Forms(i);
                      if (shown == nullptr) return;
                      backend->Flush();
                      EXPECT_EQ(shown->FindComponent("imgIcon") != nullptr, (c.flags & MB_ICONMASK) != 0);
                      EXPECT_LE(shown->Width(), 1280);
                      EXPECT_LE(shown->Height(), 1024);
                      if (c.answer == IDNO)
                        SaveControlAsPng(shown, std::string(TARNWELL_BINARY_DIR) + "/x11-message-box.png");
                      auto* button = dynamic_cast<TControl*>(shown->FindComponent("Button" + std::to_string(c.answer)));
                      if (button != nullptr) ClickAt(button, 10, 10);
                    }});
    EXPECT_EQ(MessageBox(nullptr, c.text.c_str(), "Question", c.flags), c.answer);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(MessageBoxLog().back().answer, c.answer);
    EXPECT_FALSE(MessageBoxLog().back().answeredByHandler);
  }
}

TEST_F(X11BackendTest, PopupMenuIsChosenWithTheMouseOrTheKeys) {
  TPopupMenu menu(nullptr);
  menu.SetName("Popup");
  std::vector<std::string> clicked;
  for (const char* caption : {"First", "-", "Second", "Third"}) {
    auto* item = new TMenuItem(&menu);
    item->SetCaption(caption);
    item->OnClick = [&clicked, caption](TObject*) { clicked.push_back(caption); };
    menu.Items()->Add(item);
  }
  menu.Items()->Items(3)->SetEnabled(false);
  {
    // The menu opens at (300, 300): items 20 pixels high below a 3-pixel
    // border, the line 8 pixels.
    TScript script({[] {},
                    [&] {
                      XTestFakeMotionEvent(x, -1, 330, 300 + 3 + 20 + 8 + 10, CurrentTime);
                      Button(1, true);
                      Button(1, false);
                    }});
    menu.Popup(300, 300);
  }
  {
    TScript script({[] {}, [&] { Key(XK_Down); }, [&] { Key(XK_Return); }});
    menu.Popup(300, 300);
  }
  {
    // The disabled item cannot be chosen; Escape dismisses the menu.
    TScript script({[] {}, [&] { Key(XK_Up); }, [&] { Key(XK_Return); }, [&] { Key(XK_Escape); }});
    menu.Popup(300, 300);
  }
  EXPECT_EQ(clicked, (std::vector<std::string>{"Second", "First"}));
}

TEST_F(X11BackendTest, PopupMenuItemsShowThePicturesOfTheMenusImageList) {
  TPopupMenu menu(nullptr);
  menu.SetName("Popup");
  TImageList images(nullptr);
  for (TColor colour : {clRed, clBlue}) {
    TBitmap picture;
    picture.SetSize(16, 16);
    picture.Canvas->Brush->Color = colour;
    picture.Canvas->FillRect(Rect(0, 0, 16, 16));
    images.Add(&picture, nullptr);
  }
  menu.SetImages(&images);
  const int indexes[] = {-1, 0, 1};
  for (int index : indexes) {
    auto* item = new TMenuItem(&menu);
    item->SetCaption("Item " + std::to_string(index));
    item->ImageIndex = index;
    item->SetChecked(index == 1);
    menu.Items()->Add(item);
  }
  // The middle of each item's picture: the menu at (300, 300), a 3-pixel
  // border, items 20 pixels high, pictures 2 pixels inside the item.
  std::vector<std::uint32_t> shown;
  TScript script({[] {},
                  [&] {
                    for (int row = 0; row < 3; ++row) {
                      XImage* image = XGetImage(x, DefaultRootWindow(x), 300 + 3 + 2 + 8, 300 + 3 + 20 * row + 10, 1, 1,
                                                AllPlanes, ZPixmap);
                      shown.push_back(image != nullptr ? XGetPixel(image, 0, 0) & 0xFFFFFF : 0);
                      if (image != nullptr) XDestroyImage(image);
                    }
                    SaveScreen(Rect(295, 295, 420, 375), "x11-menu-pictures.png");
                  },
                  [&] { Key(XK_Escape); }});
  menu.Popup(300, 300);
  ASSERT_EQ(shown.size(), 3u);
  // The server's pixels are 0xRRGGBB; a TColor is 0xBBGGRR.
  const auto serverPixel = [](TColor colour) {
    const auto c = static_cast<std::uint32_t>(ColorToRGB(colour));
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  };
  EXPECT_EQ(shown[0], serverPixel(clMenu));  // no picture
  EXPECT_EQ(shown[1], serverPixel(clRed));
  EXPECT_EQ(shown[2], serverPixel(clBlue));  // checked: framed, still shown
}

// The menu windows the server shows (levels in the order they opened).
std::vector<TRect> MenuWindows(::Display* x) {
  std::vector<TRect> found;
  ::Window root, parent;
  ::Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count)) return found;
  for (unsigned i = 0; i < count; ++i) {
    XClassHint hint{};
    XWindowAttributes a{};
    if (!XGetClassHint(x, children[i], &hint)) continue;
    const bool menu = std::string(hint.res_name) == "Menu";
    XFree(hint.res_name);
    XFree(hint.res_class);
    if (menu && XGetWindowAttributes(x, children[i], &a) && a.map_state == IsViewable)
      found.push_back(Bounds(a.x, a.y, a.width, a.height));
  }
  XFree(children);
  return found;
}

// A submenu of more pages than the screen holds, one named with a million
// letters: each level stays within the screen, the long name cut; End and
// Enter reach the last page, a turn of the wheel and a click a later one.
TEST_F(X11BackendTest, PopupMenuTallerThanTheScreenScrollsToEveryItem) {
  TPopupMenu menu(nullptr);
  menu.SetName("Popup");
  auto* pages = new TMenuItem(&menu);
  pages->SetCaption("Pages");
  menu.Items()->Add(pages);
  std::vector<std::string> clicked;
  for (int i = 0; i < 3300; ++i) {
    auto* item = new TMenuItem(&menu);
    const std::string name = "Page " + std::to_string(i);
    item->SetCaption(i == 1 ? std::string(1000000, 'l') : name);
    item->OnClick = [&clicked, name](TObject*) { clicked.push_back(name); };
    pages->Add(item);
  }
  std::vector<TRect> levels;
  {
    TScript script({[] {}, [&] { Key(XK_Down); }, [&] { Key(XK_Right); },
                    [&] {
                      levels = MenuWindows(x);
                      Key(XK_End);
                    },
                    [&] {
                      SaveScreen(levels.empty() ? Rect(0, 0, 10, 10) : levels.back(), "x11-menu-scrolled-to-end.png");
                      Key(XK_Return);
                    }});
    menu.Popup(300, 300);
  }
  EXPECT_EQ(clicked, std::vector<std::string>{"Page 3299"});
  ASSERT_EQ(levels.size(), 2u);
  for (const TRect& level : levels) {
    EXPECT_GE(level.Top, 0);
    EXPECT_LE(level.Bottom, 1024);
    EXPECT_LE(level.Width(), 500);
  }
  {
    TScript script({[] {}, [&] { Key(XK_Down); }, [&] { Key(XK_Right); },
                    [&] {
                      const TRect sub = MenuWindows(x).back();
                      // On the first page shown, below the arrow up.
                      XTestFakeMotionEvent(x, -1, sub.Left + 40, sub.Top + 3 + 16 + 10, CurrentTime);
                      Button(5, true);
                      Button(5, false);
                    },
                    [&] {
                      Button(1, true);
                      Button(1, false);
                    }});
    menu.Popup(300, 300);
  }
  EXPECT_EQ(clicked.back(), "Page 3");
}

// A window that needs more pixels than a bitmap may hold fails to paint:
// the person is told in an error box, the rounds go on, and the form shows
// again once it has a size that can be painted.
TEST_F(X11BackendTest, AFormThatCannotBePaintedIsToldAndTheRoundsGoOn) {
  TForm* form = MakeForm("FormHuge", 0, 0, 20000, 20000);
  Driver::AnswerMessageBox("", IDOK);
  form->Show();
  EXPECT_NO_THROW(backend->Pump(10));
  const auto boxes = MessageBoxLog();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back().text, "Out of system resources.");
  EXPECT_EQ(boxes.back().flags & MB_ICONMASK, MB_ICONSTOP);
  form->SetBounds(100, 100, 200, 120);
  form->Invalidate();
  EXPECT_TRUE(PumpUntil([&] { return PixelsDifferingFromForm(form) == 0; }));
}

TEST_F(X11BackendTest, DroppedDownListIsAWindowBeyondTheFormWhoseRowsChoose) {
  TForm* form = MakeForm("FormCombo", 100, 100, 300, 120);
  auto* combo = new TComboBox(form);
  combo->SetParent(form);
  combo->SetStyle(csDropDownList);
  combo->SetBounds(20, 60, 150, 24);
  for (const char* item : {"Alpha", "Beta", "Gamma", "Delta", "Epsilon"}) combo->Items()->Add(item);
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetBounds(200, 10, 80, 24);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  backend->Flush();
  ClickAt(combo, combo->Width() - 8, combo->Height() / 2);
  ASSERT_TRUE(PumpUntil([&] { return backend->DropDown().IsOpen(); }));
  ::Window root;
  int lx, ly;
  unsigned width, height, border, depth;
  XGetGeometry(x, backend->DropDown().Window(), &root, &lx, &ly, &width, &height, &border, &depth);
  EXPECT_EQ(lx, combo->ClientToScreen({0, 0}).x - 2);  // below the box's border, as wide as the box
  EXPECT_EQ(static_cast<int>(width), combo->Width());
  EXPECT_GT(ly + static_cast<int>(height), form->ClientOrigin().y + form->ClientHeight()) << "reaches beyond the form";
  SaveScreen(Bounds(form->Left(), form->Top(), form->Width(), ly + static_cast<int>(height) - form->Top() + 10),
             "x11-dropped-down.png");
  // The third row.
  XTestFakeMotionEvent(x, -1, lx + 20, ly + 1 + 2 * combo->ItemHeight() + combo->ItemHeight() / 2, CurrentTime);
  Button(1, true);
  Button(1, false);
  EXPECT_TRUE(PumpUntil([&] { return !backend->DropDown().IsOpen() && combo->ItemIndex() == 2; }));
  EXPECT_EQ(combo->Text(), "Gamma");
  EXPECT_EQ(changes, 1);
  // Open again; a press elsewhere closes it and goes no further.
  ClickAt(combo, combo->Width() - 8, combo->Height() / 2);
  ASSERT_TRUE(PumpUntil([&] { return backend->DropDown().IsOpen(); }));
  ClickAt(button, 10, 10);
  EXPECT_TRUE(PumpUntil([&] { return !combo->DroppedDown(); }));
  backend->Pump(10);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_FALSE(backend->DropDown().IsOpen());

  // As many rows as items, 10,000 of them: the list ends at the screen's
  // bottom, with a scroll bar that the wheel and a press on the track move.
  combo->DropDownCount = 10000;
  for (int i = 0; i < 10000; ++i) combo->Items()->Add("Item " + std::to_string(i));
  ClickAt(combo, combo->Width() - 8, combo->Height() / 2);
  ASSERT_TRUE(PumpUntil([&] { return backend->DropDown().IsOpen(); }));
  XGetGeometry(x, backend->DropDown().Window(), &root, &lx, &ly, &width, &height, &border, &depth);
  EXPECT_LE(ly + static_cast<int>(height), DisplayHeight(x, DefaultScreen(x)));
  EXPECT_GT(ly + static_cast<int>(height), DisplayHeight(x, DefaultScreen(x)) - combo->ItemHeight() - 2);
  SaveScreen(Bounds(form->Left(), form->Top(), form->Width(), 400), "x11-dropped-down-many.png");
  XTestFakeMotionEvent(x, -1, lx + 20, ly + 50, CurrentTime);
  Button(5, true);
  Button(5, false);
  EXPECT_TRUE(PumpUntil([&] { return combo->TopIndex() == 3; })) << "a notch of the wheel: three rows";
  XTestFakeMotionEvent(x, -1, lx + static_cast<int>(width) - 8, ly + static_cast<int>(height) / 2, CurrentTime);
  Button(1, true);
  Button(1, false);
  EXPECT_TRUE(PumpUntil([&] { return combo->TopIndex() > 4000 && combo->TopIndex() < 5000; }))
      << "the middle of the track: " << combo->TopIndex();
  EXPECT_TRUE(backend->DropDown().IsOpen());
  // A repaint of the form that changes nothing sends nothing of the list.
  backend->Flush();
  const int sends = backend->DropDown().Sends();
  form->Invalidate();
  backend->Flush();
  EXPECT_EQ(backend->DropDown().Sends(), sends);
}

// A folder of the test's own with a few files and a sub-folder.
class TTempFolder {
 public:
  explicit TTempFolder(std::vector<std::string> names = {"b.PNG", "a.png", "notes.txt", ".hidden.png"}) {
    path = testsupport::MakeTempFolder("x11-files-");
    for (const std::string& name : names) std::ofstream(path + "/" + name) << "x";
    std::filesystem::create_directory(path + "/sub");
  }
  ~TTempFolder() { std::filesystem::remove_all(path); }
  std::string path;
};

TEST(X11FileDialogEntries, FoldersFirstThenTheFilesTheFilterLets) {
  TTempFolder folder;
  ASSERT_FALSE(folder.path.empty());
  EXPECT_EQ(FileDialogEntries(folder.path, "*.png"), (std::vector<std::string>{"../", "sub/", "a.png", "b.PNG"}));
  EXPECT_EQ(FileDialogEntries(folder.path, "*.txt;*.bmp"), (std::vector<std::string>{"../", "sub/", "notes.txt"}));
  EXPECT_EQ(FileDialogEntries(folder.path, ""),
            (std::vector<std::string>{"../", "sub/", "a.png", "b.PNG", "notes.txt"}));
  EXPECT_EQ(FileDialogEntries("/", "*.none").front(), "bin/") << "the root has no parent";
}

// The filters the program's dialogs set, blanks after ';' too.
TEST(X11FileDialogEntries, EveryFilterOfTheProgramsDialogsListsTheFilesItNames) {
  TTempFolder folder({"a.png", "b.jpg", "c.gif", "d.JPEG", "e.bmp", "f.ico", "g.txt", "h"});
  ASSERT_FALSE(folder.path.empty());
  const TOpenPictureDialog pictures(nullptr);
  const struct {
    std::string filter;
    int index;
    std::vector<std::string> files;
  } rows[] = {
      {kImageManagerFilter, 1, {"a.png", "b.jpg", "c.gif", "d.JPEG"}},
      {kIconFilter, 1, {"f.ico"}},
      {pictures.Filter, 1, {"a.png", "b.jpg", "c.gif", "d.JPEG", "e.bmp", "f.ico"}},
      {pictures.Filter, 2, {"b.jpg"}},
      {pictures.Filter, 3, {"d.JPEG"}},
      {pictures.Filter, 4, {"e.bmp"}},
      {pictures.Filter, 5, {"a.png"}},
      {pictures.Filter, 6, {"c.gif"}},
      {pictures.Filter, 7, {"f.ico"}},
  };
  for (const auto& row : rows) {
    TOpenDialog dialog(nullptr);
    dialog.Filter = row.filter;
    std::vector<std::string> expected{"../", "sub/"};
    expected.insert(expected.end(), row.files.begin(), row.files.end());
    EXPECT_EQ(FileDialogEntries(folder.path, dialog.FilterPatterns(row.index)), expected)
        << row.filter << " #" << row.index;
  }
}

TEST_F(X11BackendTest, OpenDialogIsFilledByTheKeyboard) {
  TTempFolder folder;
  TOpenDialog dialog(nullptr);
  dialog.InitialDir = folder.path;
  dialog.Filter = "Pictures (*.png)|*.png";
  dialog.Options |= ofFileMustExist;
  TCustomForm* shown = nullptr;
  std::string shownClass;
  {
    TScript script({[] {},
                    [&] {
                      shown = Screen->ActiveForm();
                      shownClass = shown != nullptr ? shown->ClassName() : "";
                      for (KeySym k : {XK_a, XK_period, XK_p, XK_n, XK_g}) Key(k);
                    },
                    [&] {
                      SaveControlAsPng(shown, std::string(TARNWELL_BINARY_DIR) + "/x11-open-dialog.png");
                      Key(XK_Return);
                    },
                    // Bounds the test when the dialog stayed open.
                    [&] { Key(XK_Escape); }, [&] { Key(XK_Escape); }});
    ASSERT_TRUE(dialog.Execute());
  }
  EXPECT_EQ(shownClass, "TFileDialogForm");
  EXPECT_EQ(dialog.FileName, folder.path + "/a.png");
  {
    // Escape cancels; the name stays.
    TScript script({[] {}, [&] { Key(XK_Escape); }});
    EXPECT_FALSE(dialog.Execute());
  }
  EXPECT_EQ(dialog.FileName, folder.path + "/a.png");
}

// With ofAllowMultiSelect a Ctrl click adds a file to the choice; the name
// field shows both, each in quotes, and OK gives both.
TEST_F(X11BackendTest, OpenDialogWithMultiSelectReturnsEveryChosenFile) {
  TTempFolder folder;
  TOpenDialog dialog(nullptr);
  dialog.InitialDir = folder.path;
  dialog.Filter = "Pictures (*.png)|*.png";
  dialog.Options |= ofAllowMultiSelect | ofFileMustExist;
  std::string field;
  {
    TListBox* list = nullptr;
    auto clickRow = [&](int row, bool control) {
      const TRect r = list->ItemRect(row);
      const KeyCode code = XKeysymToKeycode(x, XK_Control_L);
      if (control) XTestFakeKeyEvent(x, code, True, CurrentTime);
      ClickAt(list, r.Left + 10, (r.Top + r.Bottom) / 2);
      if (control) XTestFakeKeyEvent(x, code, False, CurrentTime);
      XFlush(x);
    };
    // The list: "../", "sub/", "a.png", "b.PNG".
    TScript script({[] {},
                    [&] {
                      list = dynamic_cast<TListBox*>(Screen->ActiveForm()->FindComponent("lbFiles"));
                      clickRow(2, false);
                    },
                    [&] { clickRow(3, true); },
                    [&] {
                      field = dynamic_cast<TEdit*>(Screen->ActiveForm()->FindComponent("edName"))->Text();
                      Key(XK_Return);
                    },
                    [&] { Key(XK_Escape); }, [&] { Key(XK_Escape); }});
    ASSERT_TRUE(dialog.Execute());
  }
  EXPECT_EQ(field, "\"a.png\" \"b.PNG\"");
  ASSERT_EQ(dialog.Files()->Count(), 2);
  EXPECT_EQ(dialog.Files()->Strings(0), folder.path + "/a.png");
  EXPECT_EQ(dialog.Files()->Strings(1), folder.path + "/b.PNG");
  EXPECT_EQ(dialog.FileName, folder.path + "/a.png");
  EXPECT_EQ(FileDialogNames("\"a b.png\" \"c.png\"", true), (std::vector<std::string>{"a b.png", "c.png"}));
  EXPECT_EQ(FileDialogNames("\"a.png\"", false), (std::vector<std::string>{"\"a.png\""}));
}

// A file whose name has letters beyond ASCII (UTF-8 on the file system), in
// the Czech UI (code page 1250): listed with its letters, chosen by a click
// or by typing its name, it is found.
TEST_F(X11BackendTest, OpenDialogShowsAndTakesNamesBeyondAscii) {
  const UINT saved = GetACP();
  SetAnsiCodePage(1250);
  // A file not found is told in a box: answered, so that the test ends.
  Driver::AnswerMessageBox("File not found", IDOK);
  TTempFolder folder({"\u010Cerpadlo.png", "\u017Dlut\u00FD k\u016F\u0148.png"});
  const std::string listed[] = {"\xC8\x65rpadlo.png", "\x8Elut\xFD k\xF9\xF2.png"};
  for (const bool typed : {false, true}) {
    SCOPED_TRACE(typed ? "typed" : "clicked");
    TOpenDialog dialog(nullptr);
    dialog.InitialDir = folder.path;
    dialog.Filter = "Pictures (*.png)|*.png";
    dialog.Options |= ofFileMustExist;
    std::vector<std::string> rows;
    TScript script({[] {},
                    [&] {
                      TCustomForm* form = Screen->ActiveForm();
                      auto* list = dynamic_cast<TListBox*>(form->FindComponent("lbFiles"));
                      for (int i = 0; i < list->Items()->Count(); ++i) rows.push_back(list->Items()->Strings(i));
                      if (!typed) {
                        const TRect r = list->ItemRect(2);
                        ClickAt(list, r.Left + 10, (r.Top + r.Bottom) / 2);
                      } else {
                        dynamic_cast<TEdit*>(form->FindComponent("edName"))->SetText(listed[0]);
                      }
                    },
                    [&] { Key(XK_Return); }, [&] { Key(XK_Escape); }, [&] { Key(XK_Escape); }});
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(rows, (std::vector<std::string>{"../", "sub/", listed[0], listed[1]}));
    EXPECT_EQ(dialog.FileName, folder.path + "/\u010Cerpadlo.png");
  }
  SetAnsiCodePage(saved);
}

TEST(X11MessageBoxText, WrapsAtTheWidthAndKeepsParagraphs) {
  auto measure = [](const std::string& s) { return static_cast<int>(s.size()) * 10; };
  EXPECT_EQ(WrapText("one two three four", 90, measure), (std::vector<std::string>{"one two", "three", "four"}));
  EXPECT_EQ(WrapText("first\nsecond line", 1000, measure), (std::vector<std::string>{"first", "second line"}));
  EXPECT_EQ(WrapText("averyveryverylongword x", 50, measure), (std::vector<std::string>{"averyveryverylongword", "x"}));
  EXPECT_EQ(WrapText("a\r\n\r\nb", 100, measure), (std::vector<std::string>{"a", "", "b"}));
}

TEST(X11MessageBoxText, ButtonCaptionsFollowTheKindOfBox) {
  EXPECT_STREQ(MessageBoxButtonCaption(MessageBoxRecord::Box, IDTRYAGAIN), "Try Again");
  EXPECT_STREQ(MessageBoxButtonCaption(MessageBoxRecord::Dialog, mrYesToAll), "Yes to All");
  EXPECT_STREQ(MessageBoxButtonCaption(MessageBoxRecord::Box, IDNO), "No");
}

// A key types its letter in the ANSI code page in force; a letter that code
// page cannot hold is not typed (0).
TEST(X11Keys, KeysymTypesItsLetterInTheAnsiCodePage) {
  struct Row {
    KeySym keysym;
    UINT codePage;
    char typed;
  };
  const Row rows[] = {
      {XK_ccaron, 1250, '\xE8'},      {XK_Rcaron, 1250, '\xD8'},
      {XK_uring, 1250, '\xF9'},       {XK_zabovedot, 1250, '\xBF'},
      {XK_ecaron, 1252, 0},           {XK_aring, 1250, 0},
      {0x1000159, 1250, '\xF8'},      {0x1000161, 1252, '\x9A'},
      {XK_scaron, 1252, '\x9A'},      {XK_Cyrillic_io, 1251, '\xB8'},
      {XK_Cyrillic_ya, 1251, '\xFF'}, {XK_Greek_SIGMA, 1253, '\xD3'},
      {XK_gbreve, 1254, '\xF0'},      {XK_hebrew_aleph, 1255, '\xE0'},
      {XK_EuroSign, 1250, '\x80'},    {0xAAA /* endash */, 1252, '\x96'},
      {XK_OE, 1252, '\x8C'},          {XK_eacute, 1250, '\xE9'},
  };
  const UINT saved = GetACP();
  for (const Row& row : rows) {
    SetAnsiCodePage(row.codePage);
    EXPECT_EQ(AnsiCharOfKeysym(row.keysym), row.typed) << std::hex << row.keysym << " in " << std::dec << row.codePage;
  }
  SetAnsiCodePage(saved);
}

}  // namespace
