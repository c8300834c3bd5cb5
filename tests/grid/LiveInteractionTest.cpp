// Page objects under the mouse: in the live view they commit entries, toggle
// values, open in-place editors and follow links; in design mode they move
// on the grid and resize to whole grid steps.

#include <gtest/gtest.h>

#include "GridTestSupport.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"

namespace {

using gridtest::LoadPage;
using gridtest::TDesignerFixture;

std::string Obj(const std::string& attrs, const std::string& kind) {
  return "<object " + attrs + ">" + kind + "</object>";
}

TEdit* EditorOf(TGridWebElement* e) {
  for (int i = 0; i < e->ComponentCount(); ++i)
    if (auto* editor = dynamic_cast<TEdit*>(e->Components(i))) return editor;
  return nullptr;
}

class LiveInteraction : public ::testing::Test {
 protected:
  void SetUp() override {
    // The mouse reaches only the controls of a window on screen.
    fixture_.designer()->SetVisible(true);
  }
  std::vector<TGridWebElement*> Load(const std::string& objects) {
    auto elements = LoadPage(fixture_, "<page>" + objects + "</page>");
    fixture_.designer()->FLiveMode = true;
    // The objects take their size as they draw.
    TBitmap aside;
    aside.SetSize(1, 1);
    for (TGridWebElement* e : elements) e->Draw(0, 0, aside.Canvas);
    return elements;
  }
  TDesignerFixture fixture_;
};

TEST_F(LiveInteraction, ASubmitCommitsTheGlobalEntriesAndTheSubmitsButNotALocalEdit) {
  auto e = Load(Obj("X=\"1\" Y=\"1\"", "<edit variable=\"StartLevel\" type=\"UINT\" global=\"true\" />") +
                Obj("X=\"1\" Y=\"2\"", "<edit variable=\"StopLevel\" type=\"UINT\" global=\"false\" />") +
                Obj("X=\"1\" Y=\"3\"", "<submit variable=\"ResetCounters\" type=\"BOOL\" value=\"1\" />") +
                Obj("X=\"1\" Y=\"4\"", "<submit variable=\"AlarmAck\" type=\"BOOL\" value=\"1\" />"));
  ASSERT_EQ(e.size(), 4u);
  e[0]->FPending = true;
  e[0]->FPendingText = "300";
  e[1]->FPending = true;
  e[1]->FPendingText = "70";
  e[3]->FVarValid = false;
  Driver::Click(e[2]);
  EXPECT_TRUE(e[0]->FWritten);
  EXPECT_FALSE(e[0]->FPending);
  EXPECT_EQ(e[0]->FWriteBuf[0] | (e[0]->FWriteBuf[1] << 8), 300);
  EXPECT_FALSE(e[1]->FWritten) << "a local edit waits for its own button";
  EXPECT_TRUE(e[1]->FPending);
  EXPECT_TRUE(e[2]->FWritten);
  EXPECT_EQ(e[2]->FWriteBuf[0], 1);
  EXPECT_FALSE(e[3]->FWritten) << "a submit whose variable is unknown writes nothing";

  // The submit whose variable is unknown still commits the others.
  e[0]->FPending = true;
  e[0]->FPendingText = "310";
  e[0]->FWritten = false;
  Driver::Click(e[3]);
  EXPECT_TRUE(e[0]->FWritten);
}

TEST_F(LiveInteraction, ATwoStateImageWritesTheOtherValue) {
  auto e = Load(Obj("", "<image variable=\"P1Running\" type=\"BOOL\" />"));
  ASSERT_EQ(e.size(), 1u);
  // Without its pictures the image shows nothing: it gets a size to click.
  e[0]->SetBounds(e[0]->Left(), e[0]->Top(), 32, 32);
  for (std::uint8_t shown : {0, 1}) {
    e[0]->FValueBuf[0] = shown;
    e[0]->FWritten = false;
    Driver::Click(e[0]);
    EXPECT_TRUE(e[0]->FWritten);
    EXPECT_EQ(e[0]->FWriteBuf[0], shown == 0 ? 1 : 0);
  }
  e[0]->FVarValid = false;
  e[0]->FWritten = false;
  Driver::Click(e[0]);
  EXPECT_FALSE(e[0]->FWritten);
}

// A double click in design mode whose release the opened dialog took leaves
// the next press ignored; in the live view its release ends that.
TEST_F(LiveInteraction, OnlyThePressAfterADoubleClickIsIgnored) {
  auto e = Load(Obj("", "<image variable=\"P1Running\" type=\"BOOL\" />"));
  ASSERT_EQ(e.size(), 1u);
  e[0]->SetBounds(e[0]->Left(), e[0]->Top(), 32, 32);
  fixture_.designer()->FLiveMode = false;
  Driver::MouseDownDouble(e[0], 5, 5);
  Driver::ReleaseMouse();
  fixture_.designer()->FLiveMode = true;
  Driver::Click(e[0]);
  EXPECT_FALSE(e[0]->FWritten);
  Driver::Click(e[0]);
  EXPECT_TRUE(e[0]->FWritten);
}

TEST_F(LiveInteraction, TheInPlaceEditWritesOnEnterAndDropsOnEscape) {
  auto e = Load(Obj("", "<edit variable=\"StartLevel\" type=\"UINT\" global=\"true\" />"));
  ASSERT_EQ(e.size(), 1u);
  e[0]->FValueBuf[0] = 250;
  Driver::Click(e[0]);
  TEdit* editor = EditorOf(e[0]);
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->Visible());
  EXPECT_EQ(editor->Text(), "250");
  EXPECT_EQ(editor->Left(), e[0]->Left() + e[0]->FPadX);
  editor->SetText("260");
  Driver::KeyPress(27, editor);
  EXPECT_FALSE(editor->Visible());
  EXPECT_FALSE(e[0]->FWritten);
  EXPECT_FALSE(e[0]->FPending);

  Driver::Click(e[0]);
  editor->SetText("270");
  Driver::KeyPress('\r', editor);
  EXPECT_FALSE(editor->Visible());
  EXPECT_TRUE(e[0]->FWritten);
  EXPECT_EQ(e[0]->FWriteBuf[0] | (e[0]->FWriteBuf[1] << 8), 270);
}

TEST_F(LiveInteraction, AClickOnTheOwnButtonOfALocalEditCommitsItsEntry) {
  auto e = Load(Obj("", "<edit variable=\"StopLevel\" type=\"UINT\" global=\"false\" size=\"5\" />"));
  ASSERT_EQ(e.size(), 1u);
  e[0]->FPending = true;
  e[0]->FPendingText = "75";
  Driver::Click(e[0], e[0]->Width() - 3, e[0]->Height() / 2);
  EXPECT_TRUE(e[0]->FWritten);
  EXPECT_EQ(e[0]->FWriteBuf[0], 75);
  EXPECT_EQ(EditorOf(e[0]), nullptr) << "no editor opens on the button";
}

TEST_F(LiveInteraction, ALinkIsFollowedOnMouseUpButNotByAnIFrame) {
  auto e = Load(Obj("", "<label href=\"SETTINGS.XML\" />") +
                Obj("X=\"30\"", "<iframe href=\"x.html\" width=\"50\" height=\"40\" />"));
  ASSERT_EQ(e.size(), 2u);
  std::vector<std::string> links;
  for (TGridWebElement* object : e)
    object->FOnHyperLink = [&links](TObject*, const std::string& link) { links.push_back(link); };
  Driver::Click(e[0]);
  Driver::Click(e[1]);
  EXPECT_EQ(links, (std::vector<std::string>{"SETTINGS.XML"}));
}

TEST_F(LiveInteraction, InDesignModeADragMovesByWholeGridStepsAndNeverBelowZero) {
  auto e = LoadPage(fixture_, "<page>" + Obj("X=\"2\" Y=\"2\"", "<label />") + "</page>");
  ASSERT_EQ(e.size(), 1u);
  e[0]->AutoSize();
  TFormDesign1* d = fixture_.designer();
  d->FGridX = 5;
  d->FGridY = 5;
  TGridWebElement* label = e[0];
  const TPoint start = label->GetPosition();
  // Shorter than a step: no move.
  Driver::MouseDown(label, 1, 1);
  Driver::MouseMove(label, 1 + 4 * label->UnitPixels(), 1);
  Driver::MouseUp(label, 1 + 4 * label->UnitPixels(), 1);
  EXPECT_EQ(label->GetPosition().x, start.x);
  // Two steps right and far up: only the horizontal part is taken.
  Driver::MouseDown(label, 1, 1);
  Driver::MouseMove(label, 1 + 10 * label->UnitPixels(), 1 - 1000 * label->UnitPixels());
  Driver::MouseUp(label, 1 + 10 * label->UnitPixels(), 1 - 1000 * label->UnitPixels());
  EXPECT_EQ(label->GetPosition().x, start.x + 10);
  EXPECT_EQ(label->GetPosition().y, start.y);
}

}  // namespace
