// The edit commands' keys, pressed as a user presses them while the design
// surface or the page tree has the keys: the shortcuts of the surface's and
// the tree's menus reach their commands (copy, cut, paste, direct paste,
// select all, undo, and find, whose item is hidden), while the right mouse
// button still opens each menu once.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/XmlNode.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/ToolBar.h"
#include "tests/designer/clipboard/ClipboardWindowSupport.h"

using namespace cliptest;

namespace {

const char* kProject =
    "<web version=\"8.1\" MaxUid=\"500\">\r\n"
    "<Grid Enable=\"1\" X=\"5\" Y=\"5\" />\r\n"
    "<group caption=\"Main\" Uid=\"1\">\r\n"
    "<page caption=\"Start\" name=\"START.XML\" default=\"true\" Uid=\"2\">\r\n"
    "<object caption=\"P\" X=\"2\" Y=\"2\" Uid=\"10\"><label /></object>\r\n"
    "<object caption=\"Q\" X=\"20\" Y=\"10\" Uid=\"11\"><label /></object>\r\n"
    "</page>\r\n"
    "<page caption=\"Second\" name=\"SECOND.XML\" Uid=\"3\">\r\n"
    "<object caption=\"T\" X=\"2\" Y=\"2\" Uid=\"14\"><edit variable=\"Pump.Speed\" global=\"true\" /></object>\r\n"
    "</page>\r\n"
    "</group>\r\n"
    "</web>";

class ShortCutKeys : public ClipboardWindow {
 protected:
  void SetUp() override {
    ClipboardWindow::SetUp();
    Open(folderA, kProject);
  }
  // A click on the object selects it and gives the surface the keys.
  void ClickObject(const std::string& caption) {
    TGridWebElement* object = ObjectByCaption(caption);
    ASSERT_NE(object, nullptr) << caption;
    Driver::Click(object, 2, 2);
    ASSERT_EQ(Driver::KeyTarget(), designer->sbDesign1);
  }
  int Count(const std::string& caption) const {
    int n = 0;
    for (TGridWebElement* object : designer->PageObjects()) n += object->GetCaption() == caption ? 1 : 0;
    return n;
  }
  bool ClipboardHolds(const std::string& part) const { return Clipboard()->AsText().find(part) != std::string::npos; }
  int PopupsOf(const std::string& menu) const {
    int n = 0;
    for (const Driver::PopupRecord& record : Driver::PopupLog()) n += record.menuName == menu ? 1 : 0;
    return n;
  }
};

// A key the user presses on the surface and what the page and the clipboard
// hold afterwards.
struct TKeyStep {
  char key;
  TShiftState shift;
  int objectsQ;        // objects captioned Q on the surface
  bool carried;        // an insertion frame follows the mouse
  bool clipboardHasQ;  // the clipboard holds Q
};

}  // namespace

TEST_F(ShortCutKeys, CopyCutUndoAndPasteReachTheSurfacesCommands) {
  ClickObject("Q");
  const std::vector<TKeyStep> steps = {
      {'C', ssCtrl, 1, false, true},  // copy leaves the page as it is
      {'X', ssCtrl, 0, false, true},  // cut deletes it
      {'Z', ssCtrl, 1, false, true},  // undo brings it back
      {'V', ssCtrl, 2, true, true},   // paste: the copy follows the mouse
  };
  for (const TKeyStep& step : steps) {
    Driver::PressKey(step.key, step.shift);
    EXPECT_EQ(Count("Q"), step.objectsQ) << step.key;
    EXPECT_EQ(designer->FInsert != nullptr, step.carried) << step.key;
    EXPECT_EQ(ClipboardHolds("caption=\"Q\""), step.clipboardHasQ) << step.key;
    EXPECT_EQ(Count("P"), 1) << step.key;
  }
  // The carried copy lands where the mouse clicks.
  Driver::MouseMove(designer->sbDesign1, 300, 200);
  Driver::Click(designer->sbDesign1, 300, 200);
  EXPECT_EQ(designer->FInsert, nullptr);
  EXPECT_EQ(Count("Q"), 2);
  SaveSurfacePng("shortcut-keys-pasted");
}

TEST_F(ShortCutKeys, DirectPasteAndSelectAllByKeys) {
  ClickObject("Q");
  const std::vector<std::string> before = Dump();
  Driver::PressKey('C', ssCtrl);
  Driver::PressKey('V', ssCtrl | ssShift);
  EXPECT_EQ(designer->FInsert, nullptr);
  ASSERT_EQ(Count("Q"), 2);
  // Both copies stand at the place the clipboard carries.
  std::vector<TPoint> places;
  for (TGridWebElement* object : designer->PageObjects())
    if (object->GetCaption() == "Q") places.push_back(object->GetPosition());
  EXPECT_EQ(places[0], places[1]);
  ClickObject("P");
  Driver::PressKey('A', ssCtrl);
  for (TGridWebElement* object : designer->PageObjects()) EXPECT_TRUE(object->Selected()) << object->GetCaption();
  EXPECT_EQ(Dump().size(), before.size() + 1);
}

TEST_F(ShortCutKeys, TheHiddenFindItemAnswersItsKey) {
  ClickObject("P");
  ASSERT_FALSE(designer->Find1->Visible());
  Driver::OnModal("TFormSimpleEdit", [](TCustomForm& form) {
    auto* edit = dynamic_cast<TEdit*>(form.FindComponent("Edit1"));
    if (edit == nullptr) return static_cast<int>(mrCancel);
    edit->SetText("Pump.Speed");
    return static_cast<int>(mrOk);
  });
  Driver::PressKey('F', ssCtrl);
  ASSERT_NE(designer->FPendingPageNode, nullptr);
  EXPECT_EQ(designer->FPendingPageNode->Text(), "Second");
}

TEST_F(ShortCutKeys, CopyAndPasteOfAPageByKeysInTheTree) {
  ClickNode(Node("Start"));
  ASSERT_EQ(Driver::KeyTarget(), designer->tvPageList);
  Driver::PressKey('C', ssCtrl);
  EXPECT_TRUE(ClipboardHolds("<page caption=\"Start\" name=\"START.XML\""));
  Driver::PressKey('V', ssCtrl);
  EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"Main", "  Start", "  Start", "  Second"}));
}

TEST_F(ShortCutKeys, DisabledCommandsLetTheKeysGoOn) {
  ClickObject("Q");
  designer->Cut2->SetEnabled(false);
  Driver::PressKey('X', ssCtrl);
  EXPECT_EQ(Count("Q"), 1);
  EXPECT_FALSE(ClipboardHolds("caption=\"Q\""));
}

TEST_F(ShortCutKeys, TheRightButtonOpensEachMenuOnce) {
  Driver::Click(designer->sbDesign1, 400, 300, mbRight);
  EXPECT_EQ(PopupsOf("ScrollPopup"), 1);
  const TRect label = Node("Second")->DisplayRect(true);
  Driver::Click(designer->tvPageList, label.Left + 2, label.Top + 2, mbRight);
  EXPECT_EQ(PopupsOf("TreePopup"), 1);
  EXPECT_EQ(static_cast<int>(Driver::PopupLog().size()), 2);
}
