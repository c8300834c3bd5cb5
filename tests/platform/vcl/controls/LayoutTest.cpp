#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/vcl/Control.h"
#include "platform/vcl/WinControl.h"

namespace {

class TCounted : public TWinControl {
 public:
  using TWinControl::TWinControl;
  int textChanges = 0;
  void Dispatch(void* message) override {
    if (static_cast<TMessage*>(message)->Msg == CM_TEXTCHANGED) ++textChanges;
    TWinControl::Dispatch(message);
  }
};

class LayoutTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    form = new TForm(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 400, 300);
  }
  void TearDown() override {
    delete form;
    ControlsTest::TearDown();
  }
  TWinControl* Panel(TAlign align, int size) {
    auto* p = new TWinControl(form);
    p->SetBounds(0, 0, size, size);
    p->SetParent(form);
    p->SetAlign(align);
    return p;
  }
  TForm* form = nullptr;
};

TEST_F(LayoutTest, AlignedChildrenShareTheClientArea) {
  auto* top = Panel(alTop, 30);
  auto* bottom = Panel(alBottom, 20);
  auto* left = Panel(alLeft, 50);
  auto* right = Panel(alRight, 40);
  auto* client = Panel(alClient, 10);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 400, 30));
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 280, 400, 300));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 30, 50, 280));
  EXPECT_EQ(right->BoundsRect(), Rect(360, 30, 400, 280));
  EXPECT_EQ(client->BoundsRect(), Rect(50, 30, 360, 280));
  // The parent grows: everything follows.
  form->SetBounds(0, 0, 500, 400);
  EXPECT_EQ(bottom->BoundsRect(), Rect(0, 380, 500, 400));
  EXPECT_EQ(client->BoundsRect(), Rect(50, 30, 460, 380));
  // A hidden aligned control gives its room back.
  top->Hide();
  EXPECT_EQ(left->Top(), 0);
  EXPECT_EQ(client->BoundsRect(), Rect(50, 0, 460, 380));
  top->Show();
  // A second top panel aligned at the top edge goes above the first one;
  // moved below it, it follows it.
  auto* top2 = Panel(alTop, 25);
  EXPECT_EQ(top2->Top(), 0);
  EXPECT_EQ(top->Top(), 25);
  top2->SetTop(40);
  EXPECT_EQ(top->Top(), 0);
  EXPECT_EQ(top2->Top(), 30);
  EXPECT_EQ(client->Top(), 55);
  // Resizing an aligned control lays the others out again.
  left->SetWidth(80);
  EXPECT_EQ(client->Left(), 80);
  // A child aligned only after it came in is laid out, in a parent whose
  // other children are no longer aligned or gone.
  for (TWinControl* c : {top, top2, bottom, right, client}) c->SetAlign(alNone);
  delete left;
  auto* inner = new TWinControl(form);
  inner->SetParent(top);
  inner->SetAlign(alClient);
  EXPECT_EQ(inner->BoundsRect(), Rect(0, 0, top->Width(), top->Height()));
  client->SetAlign(alClient);
  EXPECT_EQ(client->BoundsRect(), Rect(0, 0, 500, 400));
}

TEST_F(LayoutTest, AnchorsKeepDistancesToTheEdges) {
  auto* button = new TWinControl(form);
  button->SetParent(form);
  button->SetBounds(300, 250, 75, 25);
  button->SetAnchors(akRight | akBottom);
  auto* stretched = new TWinControl(form);
  stretched->SetParent(form);
  stretched->SetBounds(10, 10, 380, 100);
  stretched->SetAnchors(akLeft | akTop | akRight);
  form->SetBounds(0, 0, 500, 350);
  EXPECT_EQ(button->BoundsRect(), Rect(400, 300, 475, 325));
  EXPECT_EQ(stretched->BoundsRect(), Rect(10, 10, 490, 110));
  form->SetBounds(0, 0, 10, 100);  // too small: the stretched one is not negative
  EXPECT_EQ(stretched->Width(), 0);
  form->SetBounds(0, 0, 400, 300);  // and back, exactly
  EXPECT_EQ(button->BoundsRect(), Rect(300, 250, 375, 275));
  EXPECT_EQ(stretched->BoundsRect(), Rect(10, 10, 390, 110));
}

TEST_F(LayoutTest, ConstraintsNegativeSizesAndResizeEvents) {
  auto* c = new TWinControl(form);
  c->Constraints.MinWidth = 240;
  c->Constraints.MaxHeight = 462;
  int resized = 0;
  c->OnResize = [&](TObject*) { ++resized; };
  c->SetBounds(0, 0, 100, 1000);
  EXPECT_EQ(c->Width(), 240);
  EXPECT_EQ(c->Height(), 462);
  EXPECT_EQ(resized, 1);
  c->SetLeft(5);  // a move is no resize
  EXPECT_EQ(resized, 1);
  // A graphic control may be given a negative size (a band dragged up or
  // to the left); it covers nothing then.
  auto* band = new TGraphicControl(form);
  band->SetParent(form);
  band->SetBounds(100, 100, -40, -20);
  EXPECT_EQ(band->Width(), -40);
  EXPECT_EQ(band->ClientRect(), Rect(0, 0, -40, -20));
  form->Show();
  EXPECT_EQ(Driver::ControlAt(form, 90, 90), form);
}

TEST_F(LayoutTest, ParentFontAndColorFollowTheParent) {
  auto* panel = new TWinControl(form);
  panel->SetParent(form);
  auto* child = new TGraphicControl(form);
  child->SetParent(panel);
  form->Font()->Name = "Segoe UI";
  form->Font()->SetSize(9);
  EXPECT_EQ(child->Font()->Name, "Segoe UI");
  EXPECT_EQ(child->Font()->Height, -12);
  EXPECT_TRUE(child->ParentFont());
  child->Font()->Name = "Courier New";  // its own from now on
  form->Font()->Name = "Verdana";
  EXPECT_EQ(child->Font()->Name, "Courier New");
  EXPECT_FALSE(child->ParentFont());
  EXPECT_EQ(panel->Font()->Name, "Verdana");
  child->SetParentFont(true);
  EXPECT_EQ(child->Font()->Name, "Verdana");
  TFont bold;
  bold.Name = "Arial";
  bold.Style = fsBold;
  panel->SetFont(bold);
  EXPECT_EQ(child->Font()->Name, "Arial");
  EXPECT_FALSE(panel->ParentFont());
  // A control made before it had a parent and given its own font keeps it.
  auto* early = new TGraphicControl(form);
  early->Font()->Color = clRed;
  early->SetParent(form);
  EXPECT_EQ(early->Font()->Color, clRed);
  EXPECT_EQ(early->Font()->Name, "MS Sans Serif");
  // Colours: the form's button face, until a control takes its own.
  EXPECT_EQ(form->Color(), clBtnFace);
  EXPECT_EQ(child->Color(), clBtnFace);
  form->SetColor(clWhite);
  EXPECT_EQ(child->Color(), clWhite);
  child->SetColor(clRed);
  EXPECT_FALSE(child->ParentColor());
  form->SetColor(clBlack);
  EXPECT_EQ(child->Color(), clRed);
}

TEST_F(LayoutTest, TextChangesAndRepaintRequests) {
  auto* c = new TCounted(form);
  c->SetParent(form);
  c->SetText("a");
  c->SetText("a");
  c->SetCaption("b");
  EXPECT_EQ(c->textChanges, 2);
  EXPECT_EQ(c->Text(), "b");
  form->Show();
  form->Update();
  c->Update();
  EXPECT_FALSE(form->NeedsPaint());
  EXPECT_FALSE(c->NeedsPaint());
  auto* g = new TGraphicControl(form);
  g->SetParent(form);
  form->Update();
  g->Invalidate();  // painted with its parent
  EXPECT_TRUE(g->NeedsPaint());
  EXPECT_TRUE(form->NeedsPaint());
  g->Update();
  EXPECT_FALSE(g->NeedsPaint());
  c->Repaint();
  EXPECT_FALSE(c->NeedsPaint());
}

TEST_F(LayoutTest, ReparentingAndParentLoopsAreRefused) {
  auto* outer = new TWinControl(form);
  outer->SetParent(form);
  auto* inner = new TWinControl(form);
  inner->SetParent(outer);
  EXPECT_THROW(outer->SetParent(inner), EInvalidOperation);
  EXPECT_THROW(outer->SetParent(outer), EInvalidOperation);
  inner->SetParent(form);
  EXPECT_EQ(outer->ControlCount(), 0);
  EXPECT_EQ(form->ControlCount(), 2);
  EXPECT_EQ(form->Controls(1), inner);
  inner->SetParent(nullptr);
  EXPECT_EQ(form->ControlCount(), 1);
  EXPECT_THROW(form->Controls(1), EInvalidOperation);
  delete inner;
}

}  // namespace

TEST_F(LayoutTest, AnOnResizeThatRaisesDuringAlignmentLeavesTheLayoutWorking) {
  TWinControl* top = Panel(alTop, 50);
  TWinControl* client = Panel(alClient, 10);
  bool raise = true;
  client->OnResize = [&](TObject*) {
    if (raise) throw Exception("resize failed");
  };
  EXPECT_THROW(form->SetBounds(0, 0, 400, 200), Exception);
  raise = false;
  // The next change lays the children out again.
  form->SetBounds(0, 0, 300, 100);
  EXPECT_EQ(top->Width(), 300);
  EXPECT_EQ(client->Top(), 50);
  EXPECT_EQ(client->Height(), 50);
  EXPECT_EQ(client->Width(), 300);
}
