#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Control.h"
#include "platform/vcl/HintWindow.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/WinControl.h"
#include "platform/win/Cursors.h"
#include "platform/win/VirtualClock.h"

namespace {

// Logs its mouse events into a shared log; can refuse the hit test.
class TLogGraphic : public TGraphicControl {
 public:
  TLogGraphic(TComponent* owner, EventLog* log, const std::string& name) : TGraphicControl(owner), log_(log) {
    SetName(name);
    OnClick = [this](TObject*) { log_->Add(Name() + ".Click"); };
    OnDblClick = [this](TObject*) { log_->Add(Name() + ".DblClick"); };
    OnMouseDown = [this](TObject*, TMouseButton b, TShiftState s, int x, int y) {
      log_->Add(Name() + ".Down(" + Button(b) + Shift(s) + "," + std::to_string(x) + "," + std::to_string(y) + ")");
    };
    OnMouseUp = [this](TObject*, TMouseButton b, TShiftState s, int x, int y) {
      log_->Add(Name() + ".Up(" + Button(b) + Shift(s) + "," + std::to_string(x) + "," + std::to_string(y) + ")");
    };
    OnMouseEnter = [this](TObject*) { log_->Add(Name() + ".Enter"); };
    OnMouseLeave = [this](TObject*) { log_->Add(Name() + ".Leave"); };
  }
  void WndProc(TMessage& m) override {
    if (m.Msg == CM_HITTEST && !hit) {
      m.Result = HTNOWHERE;
      return;
    }
    TGraphicControl::WndProc(m);
  }
  static std::string Button(TMouseButton b) { return b == mbLeft ? "L" : b == mbRight ? "R" : "M"; }
  static std::string Shift(TShiftState s) {
    std::string t;
    if (s & ssShift) t += "+Shift";
    if (s & ssCtrl) t += "+Ctrl";
    if (s & ssAlt) t += "+Alt";
    if (s & ssDouble) t += "+Double";
    return t;
  }
  bool hit = true;

 private:
  EventLog* log_;
};

class TLogWin : public TWinControl {
 public:
  TLogWin(TComponent* owner, EventLog* log, const std::string& name) : TWinControl(owner), log_(log) {
    SetName(name);
    OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int x, int y) {
      log_->Add(Name() + ".Down(" + std::to_string(x) + "," + std::to_string(y) + ")");
    };
    OnClick = [this](TObject*) { log_->Add(Name() + ".Click"); };
  }

 private:
  EventLog* log_;
};

class MouseTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(100, 50, 400, 300);
    form->Show();
  }
  void TearDown() override {
    delete form;
    ControlsTest::TearDown();
  }
  TLogGraphic* Graphic(const std::string& name, int l, int t, int w, int h, TWinControl* parent = nullptr) {
    auto* g = new TLogGraphic(form, &log, name);
    g->SetBounds(l, t, w, h);
    g->SetParent(parent ? parent : form);
    return g;
  }
  TForm* form = nullptr;
  EventLog log;
};

TEST_F(MouseTest, ClickRunsDownClickUpWithControlCoordinates) {
  auto* a = Graphic("a", 10, 20, 50, 40);
  EXPECT_EQ(Driver::Click(a, 5, 6), a);
  EXPECT_EQ(log.Joined(), "a.Enter a.Down(L,5,6) a.Click a.Up(L,5,6)");
  // The screen point of the click went to the mouse position.
  EXPECT_EQ(Mouse->CursorPos(), (TPoint{100 + 10 + 5, 50 + 20 + 6}));
}

TEST_F(MouseTest, ReleaseOutsideTheControlIsNoClick) {
  auto* a = Graphic("a", 10, 20, 50, 40);
  Driver::MouseDown(a, 5, 5);
  // The mouse is captured: the release outside still goes to the control.
  EXPECT_EQ(Driver::MouseUp(a, 100, 5), a);
  EXPECT_EQ(log.Joined(), "a.Down(L,5,5) a.Up(L,100,5)");
  EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST_F(MouseTest, DoubleClickOrderAndShiftState) {
  auto* a = Graphic("a", 0, 0, 50, 50);
  Driver::DoubleClick(a, 1, 2, ssCtrl);
  EXPECT_EQ(log.Joined(),
            "a.Enter a.Down(L+Ctrl,1,2) a.Click a.Up(L+Ctrl,1,2) a.DblClick a.Down(L+Ctrl+Double,1,2) "
            "a.Up(L+Ctrl,1,2)");
  log.Clear();
  // Without double clicks the second press is a plain one.
  a->ControlStyle &= ~static_cast<unsigned>(csDoubleClicks);
  Driver::DoubleClick(a, 1, 2);
  EXPECT_EQ(log.Joined(), "a.Down(L,1,2) a.Click a.Up(L,1,2) a.Down(L,1,2) a.Click a.Up(L,1,2)");
}

TEST_F(MouseTest, RightClickHasNoClickEvent) {
  auto* a = Graphic("a", 0, 0, 50, 50);
  Driver::Click(a, 3, 3, mbRight, ssShift);
  EXPECT_EQ(log.Joined(), "a.Enter a.Down(R+Shift,3,3) a.Up(R+Shift,3,3)");
}

TEST_F(MouseTest, TopMostControlTakesTheClickAndNoHitFallsThrough) {
  auto* below = Graphic("below", 0, 0, 100, 100);
  auto* above = Graphic("above", 20, 20, 100, 100);
  EXPECT_EQ(Driver::ControlAt(form, 50, 50), above);
  above->hit = false;
  // "No hit" lets the mouse fall through to the control below ...
  EXPECT_EQ(Driver::Click(above, 5, 5), below);
  EXPECT_EQ(log.Joined(), "below.Enter below.Down(L,25,25) below.Click below.Up(L,25,25)");
  // ... and where nothing is below, to the parent.
  EXPECT_EQ(Driver::ControlAt(form, 110, 110), form);
  // The z-order decides: sent to the back, the other one is on top.
  above->hit = true;
  above->SendToBack();
  EXPECT_EQ(Driver::ControlAt(form, 50, 50), below);
  below->SendToBack();
  EXPECT_EQ(Driver::ControlAt(form, 50, 50), above);
  EXPECT_EQ(form->Controls(0), below);
}

TEST_F(MouseTest, HiddenAndDisabledControls) {
  auto* below = Graphic("below", 0, 0, 100, 100);
  auto* above = Graphic("above", 0, 0, 100, 100);
  above->Hide();
  EXPECT_EQ(Driver::ControlAt(form, 5, 5), below);
  above->Show();
  above->SetEnabled(false);
  // A disabled graphic control lets the mouse through.
  EXPECT_EQ(Driver::ControlAt(form, 5, 5), below);
  // A disabled windowed control swallows it.
  auto* panel = new TLogWin(form, &log, "panel");
  panel->SetBounds(0, 0, 50, 50);
  panel->SetParent(form);
  panel->SetEnabled(false);
  EXPECT_EQ(Driver::Click(form, 5, 5), nullptr);
  EXPECT_EQ(log.Joined(), "");
  panel->SetEnabled(true);
  EXPECT_EQ(Driver::Click(form, 5, 5), panel);
  EXPECT_EQ(log.Joined(), "panel.Down(5,5) panel.Click");
}

TEST_F(MouseTest, WindowedControlsLieAboveGraphicOnesAndCoordinatesNest) {
  auto* panel = new TLogWin(form, &log, "panel");
  panel->SetBounds(50, 50, 200, 150);
  panel->SetParent(form);
  auto* graphic = Graphic("g", 40, 40, 100, 100);  // under the panel
  auto* inner = Graphic("inner", 10, 10, 20, 20, panel);
  EXPECT_EQ(Driver::ControlAt(form, 60, 60), inner);
  EXPECT_EQ(Driver::ControlAt(form, 45, 45), graphic);
  graphic->BringToFront();  // stays below the windowed panel
  EXPECT_EQ(Driver::ControlAt(form, 55, 55), panel);
  EXPECT_EQ(panel->ClientToScreen({0, 0}), (TPoint{150, 100}));
  EXPECT_EQ(inner->ScreenToClient({165, 115}), (TPoint{5, 5}));
  Driver::Click(inner, 5, 5);
  EXPECT_EQ(log.Joined(), "inner.Enter inner.Down(L,5,5) inner.Click inner.Up(L,5,5)");
}

TEST_F(MouseTest, EnterAndLeaveFollowTheMouse) {
  auto* a = Graphic("a", 0, 0, 50, 50);
  auto* b = Graphic("b", 60, 0, 50, 50);
  Driver::MouseMove(a, 1, 1);
  Driver::MouseMove(a, 2, 2);
  Driver::MouseMove(b, 1, 1);
  Driver::MouseMove(form, 200, 200);
  EXPECT_EQ(log.Joined(), "a.Enter a.Leave b.Enter b.Leave");
  // A control freed under the mouse is forgotten, not told.
  Driver::MouseMove(a, 1, 1);
  log.Clear();
  delete a;
  Driver::MouseMove(b, 1, 1);
  EXPECT_EQ(log.Joined(), "b.Enter");
}

TEST_F(MouseTest, AControlFreedInItsOwnHandlerEndsTheClickQuietly) {
  auto* a = Graphic("a", 0, 0, 50, 50);
  a->OnMouseDown = [a](TObject*, TMouseButton, TShiftState, int, int) { delete a; };
  EXPECT_EQ(Driver::Click(a, 5, 5), nullptr);
  EXPECT_EQ(form->ControlCount(), 0);
}

TEST_F(MouseTest, WindowWithoutParentIsItsOwnScreenArea) {
  auto* loose = new TLogWin(nullptr, &log, "loose");
  loose->SetBounds(500, 500, 40, 40);
  EXPECT_EQ(Driver::Click(loose, 5, 5), loose);
  EXPECT_EQ(Driver::Click(loose, 45, 5), nullptr);  // outside it: nothing
  EXPECT_EQ(log.Joined(), "loose.Down(5,5) loose.Click");
  delete loose;
}

TEST_F(MouseTest, WheelGoesToTheFocusedControlAndUpItsParents) {
  auto* panel = new TLogWin(form, &log, "panel");
  panel->SetBounds(0, 0, 200, 200);
  panel->SetParent(form);
  auto* child = new TLogWin(form, &log, "child");
  child->SetBounds(0, 0, 50, 50);
  child->SetParent(panel);
  child->SetFocus();
  int delta = 0;
  panel->OnMouseWheel = [&](TObject*, TShiftState shift, int d, TPoint, bool& handled) {
    delta = d;
    handled = (shift & ssCtrl) != 0;
    log.Add("panel.Wheel");
  };
  form->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool& handled) {
    log.Add("form.Wheel");
    handled = true;
  };
  Driver::MouseWheel(form, 300, 250, -WHEEL_DELTA, ssCtrl);
  EXPECT_EQ(delta, -120);
  EXPECT_EQ(log.Joined(), "panel.Wheel");
  log.Clear();
  Driver::MouseWheel(form, 300, 250, WHEEL_DELTA);
  EXPECT_EQ(log.Joined(), "panel.Wheel form.Wheel");
}

TEST_F(MouseTest, ARightClickAsksForTheContextMenuUpTheParents) {
  auto* panel = new TLogWin(form, &log, "panel");
  panel->SetBounds(0, 0, 200, 200);
  panel->SetParent(form);
  auto* a = Graphic("a", 10, 10, 50, 50, panel);
  TPoint asked{-1, -1};
  // Nobody below has a popup menu: the request travels up to the panel.
  panel->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_CONTEXTMENU) {
      asked = {GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      m.Result = 1;
      return;
    }
    panel->WndProc(m);
  };
  Driver::Click(a, 5, 5, mbRight);
  EXPECT_EQ(asked, (TPoint{100 + 15, 50 + 15}));  // screen coordinates
  asked = {-1, -1};
  Driver::Click(a, 5, 5);  // a left click asks nothing
  EXPECT_EQ(asked, (TPoint{-1, -1}));
}

}  // namespace

// The mouse resting on a control shows its hint sized to the text; a text
// wider than the work area (a tooltip of a million letters) shows cut with
// an ellipsis in a window no wider than the area.
TEST_F(MouseTest, AHintShowsSizedToItsTextAndNoWiderThanTheWorkArea) {
  struct Case {
    std::string hint;
    bool cut;
  };
  const Case cases[] = {{"Add group", false}, {std::string(1000000, 'l'), true}};
  for (const Case& c : cases) {
    auto* a = Graphic("a", 0, 0, 50, 50);
    a->Hint = c.hint;
    a->SetShowHint(true);
    Driver::MouseMove(a, 5, 5);
    AdvanceVirtualClock(static_cast<ULONGLONG>(Application->HintPause));
    THintWindow* hint = Application->HintWindow();
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->Visible());
    EXPECT_LE(hint->Width(), Screen->WorkAreaRect().Width());
    const std::string& shown = hint->Caption();
    EXPECT_EQ(shown == c.hint, !c.cut);
    if (c.cut) {
      EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    }
    TBitmap bmp;
    EXPECT_NO_THROW(PaintControlToBitmap(hint, bmp));
    Driver::MouseMove(form, 300, 200);
    EXPECT_FALSE(hint->Visible());
    delete a;
  }
  delete Application->HintWindow();  // the application's, made by the first hint
}
