// The insert tools: their templates, the frame that follows the mouse, the
// drop with one undo snapshot and the properties dialog's hook, Escape and
// tool switches, user templates; driven through the toolbar and the mouse.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "designer/ObjectTemplates.h"
#include "grid/GridInsert.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/ToolBar.h"
#include "platform/win/VirtualKeys.h"
#include "tests/designer/mouse/MouseTestSupport.h"

using namespace mousetest;

namespace {

// What each tool places: its button, the kind and the kind element.
struct TToolCase {
  TToolButton* TFormDesign1::*button;
  int kind;
  const char* element;
};

const std::vector<TToolCase> kTools = {
    {&TFormDesign1::btnLabel, wkLabel, "label"},
    {&TFormDesign1::btnEditBox, wkEdit, "edit"},
    {&TFormDesign1::btnEditBoxEx, wkEditLocal, "edit"},
    {&TFormDesign1::btnStateImage, wkImage, "image"},
    {&TFormDesign1::btnGlobalSubmit, wkSubmit, "submit"},
    {&TFormDesign1::btnImage, wkPicture, "picture"},
    {&TFormDesign1::btnCameraPic, wkCamera, "camera"},
    {&TFormDesign1::btnRectangle, wkBlock, "block"},
    {&TFormDesign1::btnBar, wkBlock, "block"},
    {&TFormDesign1::btnMultiImage, wkMultiImage, "mulimg"},
    {&TFormDesign1::btnPostFileBox, wkPostFile, "postfile"},
    {&TFormDesign1::btnImageBtn, wkImageBtn, "imagebtn"},
    {&TFormDesign1::btnRectDynCol, wkBlock, "block"},
    {&TFormDesign1::btnStrImg, wkStrImg, "strimg"},
    {&TFormDesign1::btnCanvas, wkCanvas, "canvas"},
    {&TFormDesign1::btnIFrame, wkIFrame, "iframe"},
    {&TFormDesign1::btnDropDown, wkDropDown, "dropdown"},
};

class InsertTools : public MouseTest {
 protected:
  void SetUp() override {
    MouseTest::SetUp();
    Load(Block(1, 300, 300, 40, 20));
  }
  // Clicks the tool's button and moves the mouse onto the surface.
  TGridInsert* Pick(TToolButton* button, int x = 100, int y = 100) {
    Driver::Click(button);
    Driver::MouseMove(designer->sbDesign1, x, y);
    return designer->FInsert;
  }
  // Every carried object's double click is recorded (the properties dialog).
  void WatchDialogs(TGridInsert& frame) {
    for (TGridGraphic* item : frame.Items())
      item->OnDblClick = [this](TObject* sender) {
        auto* object = dynamic_cast<TGridWebElement*>(sender);
        dialogs.push_back(object != nullptr ? object->GetKindCaption() : "?");
        // The dialog marks the object when it closes.
        if (object != nullptr) object->FIgnoreMouseDown = true;
      };
  }
  std::vector<std::string> dialogs;
};

TEST_F(InsertTools, EveryToolPlacesAValidObjectOfItsKindAtTheClick) {
  for (const TToolCase& tool : kTools) {
    Load("");
    TToolButton* button = (*designer).*tool.button;
    TGridInsert* frame = Pick(button, 200, 150);
    ASSERT_NE(frame, nullptr) << button->Name();
    EXPECT_TRUE(button->Down()) << button->Name();
    Driver::Click(designer->sbDesign1, 200, 150);
    EXPECT_EQ(designer->FInsert, nullptr) << button->Name();
    EXPECT_TRUE(designer->btnArrow->Down()) << button->Name();
    const std::vector<TGridWebElement*> objects = designer->PageObjects();
    ASSERT_EQ(objects.size(), 1u) << button->Name();
    TGridWebElement& object = *objects.front();
    EXPECT_EQ(object.Kind(), tool.kind) << button->Name();
    EXPECT_TRUE(object.Visible() && object.Selected()) << button->Name();
    EXPECT_GT(object.FUid, 0) << button->Name();
    // The object is written back as an `object` of its kind element.
    TmyXmlNode page("page");
    object.SaveToXml(&page, false);
    TmyXmlNode* written = page.FindChild("object");
    ASSERT_NE(written, nullptr) << button->Name();
    EXPECT_NE(written->FindChild(tool.element), nullptr) << button->Name();
    // Near the click: the frame's grid step (1) right of and below its corner.
    const TPoint p = object.GetPosition();
    EXPECT_NEAR(p.x - 1 + object.Width() / 2, 200, object.Width() / 2 + 2) << button->Name();
    EXPECT_NEAR(p.y - 1 + object.Height() / 2, 150, object.Height() / 2 + 2) << button->Name();
  }
}

TEST_F(InsertTools, TheDropRecordsOneSnapshotAndOpensThePropertiesOfThePlacedObject) {
  TGridInsert* frame = Pick(designer->btnRectangle);
  ASSERT_NE(frame, nullptr);
  WatchDialogs(*frame);
  EXPECT_EQ(Entries(), 0) << "nothing is recorded before the drop";
  EXPECT_EQ(Selected(), "") << "the carried object is still hidden";
  Driver::Click(designer->sbDesign1, 100, 100);
  EXPECT_EQ(Entries(), 1);
  EXPECT_EQ(dialogs, std::vector<std::string>{"Rectangle"});
  // The drop was no double click: no press is left to swallow.
  ASSERT_EQ(designer->PageObjects().size(), 2u);
  EXPECT_FALSE(designer->PageObjects().back()->FIgnoreMouseDown);
  // The snapshot holds the page before the insert.
  designer->tbUndoClick(nullptr);
  EXPECT_EQ(Dump(), "1 301,301 40x20\n");
}

TEST_F(InsertTools, EnterDropsTheFrameWhereTheMouseIs) {
  Pick(designer->btnRectangle, 150, 120);
  Driver::PressKey(VK_RETURN);
  EXPECT_EQ(designer->FInsert, nullptr);
  EXPECT_EQ(Entries(), 1);
  ASSERT_EQ(designer->PageObjects().size(), 2u);
  EXPECT_TRUE(designer->btnArrow->Down());
}

TEST_F(InsertTools, EscapeCancelsTheInsertAndRestoresTheArrow) {
  Pick(designer->btnCanvas);
  ASSERT_TRUE(designer->btnCanvas->Down());
  Driver::PressKey(VK_ESCAPE);
  EXPECT_EQ(designer->FInsert, nullptr);
  EXPECT_TRUE(designer->btnArrow->Down());
  EXPECT_FALSE(designer->btnCanvas->Down());
  EXPECT_EQ(Dump(), "1 301,301 40x20\n");
  EXPECT_EQ(Entries(), 0);
}

TEST_F(InsertTools, ANewToolReplacesThePendingFrameAndKeepsItsButtonDown) {
  Pick(designer->btnLabel);
  TGridInsert* second = Pick(designer->btnIFrame);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(designer->FInsert, second);
  EXPECT_TRUE(designer->btnIFrame->Down());
  EXPECT_FALSE(designer->btnArrow->Down());
  // Only the iframe and the page's block remain (one hidden in the frame).
  ASSERT_EQ(designer->PageObjects().size(), 2u);
  Driver::Click(designer->sbDesign1, 100, 100);
  EXPECT_EQ(designer->PageObjects().back()->Kind(), wkIFrame);
}

TEST_F(InsertTools, TheArrowCancelsAPendingFrame) {
  Pick(designer->btnLabel);
  Driver::Click(designer->btnArrow);
  EXPECT_EQ(designer->FInsert, nullptr);
  EXPECT_TRUE(designer->btnArrow->Down());
  EXPECT_EQ(designer->PageObjects().size(), 1u);
}

class CancelledFrame : public InsertTools, public ::testing::WithParamInterface<const char*> {};

// A paste, an undo or the live view's switch cancels the pending frame: the
// frame leaves the surface and the arrow is pressed again.
TEST_P(CancelledFrame, IsReleasedAndTheArrowPressed) {
  const std::string action = GetParam();
  Driver::Click(Object(1), 2, 2);
  Driver::PressKey('C', ssCtrl);
  Driver::PressKey(VK_RIGHT);
  TGridInsert* frame = Pick(designer->btnLabel);
  ASSERT_NE(frame, nullptr);
  ASSERT_FALSE(designer->btnArrow->Down());
  if (action == "paste") designer->Paste1->Click();
  if (action == "undo") Driver::Click(designer->tbUndo);
  if (action == "live view") Driver::Click(designer->btnDebug);
  EXPECT_NE(designer->FInsert, frame);
  EXPECT_TRUE(designer->btnArrow->Down());
  int frames = 0;
  for (int i = 0; i < designer->sbDesign1->ComponentCount(); ++i)
    frames += dynamic_cast<TGridInsert*>(designer->sbDesign1->Components(i)) != nullptr ? 1 : 0;
  // The paste's own frame is the only one left.
  EXPECT_EQ(frames, action == "paste" ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(ByPasteUndoAndLiveView, CancelledFrame, ::testing::Values("paste", "undo", "live view"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param).substr(0, 4);
                         });

TEST_F(InsertTools, AUserTemplateInTheToolsSlotIsPastedWithANewUid) {
  designer->FToolTemplates[8] =
      "<template><object caption=\"\" X=\"40\" Y=\"30\" xoff=\"3\" yoff=\"2\" Uid=\"1\" back=\"255\" "
      "transparent=\"false\"><block width=\"24\" height=\"16\"/></object></template>";
  Pick(designer->btnRectangle);
  Driver::Click(designer->sbDesign1, 100, 100);
  const std::vector<TGridWebElement*> objects = designer->PageObjects();
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects.back()->Width(), 24);
  EXPECT_EQ(objects.back()->FBackColor, 255);
  EXPECT_NE(objects.back()->FUid, 1);
}

TEST_F(InsertTools, TheStatusBarShowsWhereTheFramesObjectWillLand) {
  designer->FGridX = designer->FGridY = 5;
  TGridInsert* frame = Pick(designer->btnRectangle, 120, 90);
  ASSERT_NE(frame, nullptr);
  // The frame reports the move before it follows the pointer.
  const int left = frame->Left(), top = frame->Top();
  SavePng("insert-frame");
  Driver::MouseMove(frame, 10, 10);
  EXPECT_EQ(Status(), "x: " + std::to_string(left + 5) + " y: " + std::to_string(top + 5) + " (" +
                          std::to_string(frame->Width()) + "x" + std::to_string(frame->Height()) + ")");
  // A move reported by an object centres the frame on the pointer without
  // snapping (the frame, which follows the pointer, covers the object for
  // the driver, so the object's event is raised directly).
  TGridWebElement* block = Object(1);
  designer->ObjectMouseMove(block, 0, 3, 3);
  EXPECT_EQ(frame->Left(), 303 - (frame->Width() + 1) / 2);
  EXPECT_EQ(frame->Top(), 303 - (frame->Height() + 1) / 2);
  EXPECT_EQ(Status(), "x: 300 y: 300 (40x20) Rectangle");
  Driver::PressKey(VK_ESCAPE);
}

// The built-in templates, Tags without a tool and the slots' precedence.
TEST(ObjectTemplates, TheBuiltInTextsAndTheTagsWithoutATool) {
  std::array<std::string, kTemplateSlots> slots;
  EXPECT_EQ(ToolTemplate(0, slots),
            "<clipboard><object caption=\"Label\" X=\"1\" Y=\"1\" xoff=\"0\" yoff=\"0\" level=\"0\" readonly=\"false\" "
            "front=\"0\" back=\"16777215\" strong=\"false\" italic=\"false\" size=\"13\" transparent=\"true\">"
            "<label/></object></clipboard>");
  EXPECT_NE(ToolTemplate(10, slots).find("<mulimg count=\"0\"></mulimg>"), std::string::npos);
  EXPECT_NE(ToolTemplate(17, slots).find("<dropdown variable=\"\" type=\"\" size=\"12\"></dropdown>"),
            std::string::npos);
  EXPECT_NE(ToolTemplate(7, slots).find("back=\"-1\""), std::string::npos);
  for (int tag : {-1, 5, 18, 1000}) EXPECT_EQ(ToolTemplate(tag, slots), "") << tag;
  slots[2] = "<template/>";
  EXPECT_EQ(ToolTemplate(1, slots), "<template/>");
  EXPECT_NE(ToolTemplate(2, slots), "<template/>");
  // Every slot belongs to one tool.
  std::array<int, kTemplateSlots> used{};
  for (const TObjectTemplate& tool : kObjectTemplates) ++used[static_cast<std::size_t>(tool.slot)];
  for (int n : used) EXPECT_EQ(n, 1);
}

TEST(ObjectTemplates, EveryBuiltInTextParsesToOneObjectWithItsKindElement) {
  for (const TObjectTemplate& tool : kObjectTemplates) {
    TmyXMLParser parser;
    const std::string text = BuiltInTemplate(tool);
    parser.LoadFromString(text.c_str());
    std::unique_ptr<TmyXmlNode> root(parser.Parse());
    ASSERT_NE(root, nullptr) << tool.button;
    TmyXmlNode* object = root->FindNode("object", {}, true);
    ASSERT_NE(object, nullptr) << tool.button;
    EXPECT_EQ(object->firstChild != nullptr ? object->firstChild->name.str() : "", tool.kind) << tool.button;
    EXPECT_EQ(object->GetAttr("X"), "1") << tool.button;
  }
}

}  // namespace
