// Pieces of the class library that the system's windows rely on, beyond the
// SysUtils unit: the host's drag object and a few form and control members.

#include <gtest/gtest.h>

#include <string>

#include "platform/vcl/Application.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/ProvideVarNameDragObject.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/win/Monitors.h"

namespace {

class InventoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Driver::Reset();
    ResetMonitorLayout();
  }
  void TearDown() override {
    Application->ProcessMessages();
    Driver::Reset();
    EXPECT_EQ(Screen->FormCount(), 0);
  }
};

TEST_F(InventoryTest, TheHostsDragObjectArrivesAsItselfWithItsName) {
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  form.SetBounds(0, 0, 300, 200);
  auto* list = new TGraphicControl(&form);  // the host's variable list, the drag's source
  list->SetBounds(200, 0, 100, 200);
  list->SetParent(&form);
  auto* object = new TGraphicControl(&form);  // a page object
  object->SetBounds(10, 10, 80, 40);
  object->SetParent(&form);
  std::string dropped;
  TObject* ended = nullptr;
  // As the designer takes variable names: by the source's class name, the
  // name after the host's 17 characters, and the host's refusal.
  object->OnDragOver = [](TObject*, TObject* source, int, int, TDragState, bool& accept) {
    auto* drag = dynamic_cast<TProvideVarNameDragControlObject*>(source);
    accept = source->ClassName() == "TProvideVarNameDragControlObject" && drag != nullptr && !drag->refuseDrop;
  };
  object->OnDragDrop = [&](TObject*, TObject* source, int, int) {
    dropped = static_cast<TProvideVarNameDragControlObject*>(source)->text.substr(17);
  };
  list->OnEndDrag = [&](TObject*, TObject* target, int, int) { ended = target; };
  form.Show();

  TProvideVarNameDragControlObject drag(list, "0123456789ABCDEF:Motor.Speed");
  EXPECT_EQ(drag.ClassName(), "TProvideVarNameDragControlObject");
  EXPECT_EQ(drag.VariableName(), "Motor.Speed");
  drag.refuseDrop = true;
  EXPECT_FALSE(Driver::DragAndDrop(&drag, object, 5, 5));
  EXPECT_EQ(dropped, "");
  EXPECT_EQ(ended, nullptr);
  drag.refuseDrop = false;
  EXPECT_TRUE(Driver::DragAndDrop(&drag, object, 5, 5));
  EXPECT_EQ(dropped, "Motor.Speed");
  EXPECT_EQ(drag.DragTarget, object);
  EXPECT_EQ(ended, object);  // the source control hears where it ended
  EXPECT_EQ(TProvideVarNameDragControlObject(nullptr, "short").VariableName(), "");
}

TEST_F(InventoryTest, ConstraintsHoldForBoundsAndClientSize) {
  TForm form(nullptr);
  form.Constraints.MinWidth = 652;
  form.Constraints.MinHeight = 452;
  form.Constraints.MaxHeight = 452;  // a fixed height
  form.SetBounds(0, 0, 400, 600);
  EXPECT_EQ(form.Width(), 652);
  EXPECT_EQ(form.Height(), 452);
  form.SetClientHeight(100);
  EXPECT_EQ(form.Height(), 452);
  form.SetWidth(900);
  EXPECT_EQ(form.Width(), 900);
}

TEST_F(InventoryTest, MainFormCentredDialogs) {
  TForm main(nullptr);
  main.SetBounds(100, 50, 1000, 800);
  Application->SetMainForm(&main);
  TForm dialog(nullptr);
  dialog.SetBounds(0, 0, 200, 100);
  dialog.SetPosition(poMainFormCenter);
  dialog.SetBorderIcons(biSystemMenu);
  dialog.Show();
  EXPECT_EQ(dialog.BoundsRect(), Rect(500, 400, 700, 500));
  EXPECT_EQ(dialog.BorderIcons(), static_cast<TBorderIcons>(biSystemMenu));
  dialog.Hide();
  Application->SetMainForm(nullptr);
}

TEST_F(InventoryTest, AWheelHandlerDecidesWhetherTheParentSeesIt) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 300);
  auto* box = new TScrollBox(&form);
  box->SetBounds(0, 0, 300, 200);
  box->SetParent(&form);
  box->VertScrollBar()->Increment = 21;
  auto* frame = new TPanel(&form);  // a tall child gives the box something to scroll
  frame->SetBounds(0, 0, 100, 1000);
  frame->SetParent(box);
  int formWheels = 0;
  form.OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool& handled) {
    ++formWheels;
    handled = true;
  };
  // As the frame lists scroll: by the increment, against the wheel's sign.
  box->OnMouseWheel = [box](TObject*, TShiftState, int delta, TPoint, bool& handled) {
    box->VertScrollBar()->SetPosition(box->VertScrollBar()->Position() -
                                      (delta > 0 ? 1 : -1) * box->VertScrollBar()->Increment);
    handled = delta < 0;  // only downwards is taken here
  };
  form.Show();
  Driver::Focus(box);
  Driver::MouseWheel(box, 10, 10, -120);
  EXPECT_EQ(box->VertScrollBar()->Position(), 21);
  EXPECT_EQ(formWheels, 0);
  Driver::MouseWheel(box, 10, 10, 120);
  EXPECT_EQ(box->VertScrollBar()->Position(), 0);
  EXPECT_EQ(formWheels, 1);  // not handled: up to the parent
}

}  // namespace
