// The commands on the page objects' variables: the common base of the
// visibility variables, variable names dropped from the host's list (onto an
// object, onto the empty surface, refused in the live view), the tab order,
// and the canvas check against the simulated host's IEC variables.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/IecTypes.h"
#include "grid/VariableInfo.h"
#include "host/sim/HalvexHost.h"
#include "platform/com/TaskMem.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/ProvideVarNameDragObject.h"
#include "platform/vcl/ScrollBox.h"
#include "tests/designer/commands/CommandsTestSupport.h"
#include "tests/support/FakeCompileHost.h"
#include "tests/support/SimVariableLookup.h"
#include "tests/support/TempFolder.h"

using namespace commandstest;

namespace {

// --- the simulated host -----------------------------------------------------------

const char* const kHostProject =
    "project \"Sim\"\n"
    "struct TCanvasInfo\n  ver UINT\n  flags UINT\n  maxLen UINT\n  actLen UINT\n  macroptr UDINT\nend\n"
    "struct TCanvasTouch\n  x INT\n  y INT\n  color UDINT\nend\n"
    "struct TWideTouch\n  x INT\n  y INT\n  color UDINT\n  extra INT\nend\n"
    "struct TCanvasBufHead\n  dataChg USINT\n  dataLen UINT\nend\n"
    "struct TCanvas\n  info TCanvasInfo\n  touch TCanvasTouch\n  bufHead TCanvasBufHead\n"
    "  buf ARRAY[0..511] OF BYTE\nend\n"
    "struct TWideCanvas\n  info TCanvasInfo\n  touch TWideTouch\n  bufHead TCanvasBufHead\n"
    "  buf ARRAY[0..511] OF BYTE\nend\n"
    "struct TTank\n  Full BOOL\n  Level UINT\nend\n"
    "var Canvas1 TCanvas T 0 tdi 1\n"
    "var Canvas2 TWideCanvas T 1024 tdi 2\n"
    "var Tank1 TTank R 0 tdi 3\n"
    "var Speed INT R 16 tdi 4\n";

HalvexHost* gSimHost = nullptr;

// A compile host whose member lists come from the simulated host: each
// answer is one text of names each ended by CR LF.
class SimCompileHost : public FakeCompileHost {
 public:
  bool GetMembers(const std::string& name, std::vector<std::string>& members) override {
    members.clear();
    char* text = nullptr;
    const HRESULT hr = gSimHost->IecVariables().GetMembers(name.c_str(), "", &text);
    if (FAILED(hr) || text == nullptr) return false;
    std::string all = text;
    CoTaskMemFree(text);
    for (std::size_t at = 0; at < all.size();) {
      const std::size_t end = all.find("\r\n", at);
      if (end == std::string::npos) return false;
      members.push_back(all.substr(at, end - at));
      at = end + 2;
    }
    return true;
  }
};

class SimDesignerHost : public windowtest::TTestHost {
 public:
  using TTestHost::TTestHost;
  TCompileHost& CompileHost() override { return compileHost; }
  SimCompileHost compileHost;
};

// --- the page -------------------------------------------------------------------------

const char* const kObjects =
    "<object X=\"1\" Y=\"1\" Uid=\"10\" visvar=\"PLC.Tank1.Full\"><label /></object>\r\n"
    "<object X=\"1\" Y=\"5\" Uid=\"11\" visvar=\"plc.tank2.full\"><image variable=\"Speed\" /></object>\r\n"
    "<object X=\"1\" Y=\"9\" Uid=\"12\"><label /></object>\r\n"
    "<object X=\"1\" Y=\"13\" Uid=\"13\" visvar=\"A.X\"><label /></object>\r\n"
    "<object X=\"1\" Y=\"17\" Uid=\"14\" visvar=\"B.Y\"><label /></object>\r\n"
    "<object X=\"1\" Y=\"21\" Uid=\"15\" visvar=\"{p}.Full\"><label /></object>\r\n";

class VariableCommands : public CommandsTest {
 protected:
  void SetUp() override {
    CommandsTest::SetUp();
    hostFolder.Write("halvex.prj", kHostProject);
    sim.OpenProject(hostFolder.Path().string());
    gSimHost = &sim;
    testsupport::gLookupHost = &sim;
    gGridVariableLookup = &testsupport::SimVariableLookup;
  }
  void TearDown() override {
    gGridVariableLookup = nullptr;
    CommandsTest::TearDown();
    gSimHost = nullptr;
    testsupport::gLookupHost = nullptr;
  }
  TFormDesign1& OpenSim(const std::string& objects) {
    PutProject(OnePageProject(objects));
    auto testHost = std::make_unique<SimDesignerHost>(folder, "Proj");
    host = testHost.get();
    designer = std::make_unique<TFormDesign1>(nullptr, std::move(testHost));
    designer->Show();
    designer->FTreeChangeSuppressed = false;
    return *designer;
  }
  std::string VisVariables(const std::vector<int>& uids) const {
    std::string text;
    for (int uid : uids) text += (text.empty() ? "" : " ") + Object(uid)->GetVisVariable();
    return text;
  }

  HalvexHost sim;
  testsupport::TempFolder hostFolder{"simhost"};
};

// --- the visibility base ------------------------------------------------------------------

TEST_F(VariableCommands, TheVisibilityBaseIsTheCommonStartIgnoringCase) {
  TFormDesign1& d = OpenSim(kObjects);
  Select({10, 11, 12});
  std::string offered;
  ASSERT_TRUE(d.EditVisibilityBase([&](std::string& base) {
    offered = base;
    base = "Line.Tank";
    return true;
  }));
  EXPECT_EQ(offered, "PLC.Tank");
  EXPECT_EQ(VisVariables({10, 11, 12}), "Line.Tank1.Full Line.Tank2.full ");
  EXPECT_EQ(d.FUndoTree->ChildCount(), 1);
  EXPECT_TRUE(d.Document().Modified());
}

TEST_F(VariableCommands, ReferencesWithNothingInCommonGetTheTextInFront) {
  TFormDesign1& d = OpenSim(kObjects);
  Select({13, 14});
  std::string offered = "?";
  d.EditVisibilityBase([&](std::string& base) {
    offered = base;
    base = "Pre.";
    return true;
  });
  EXPECT_EQ(offered, "");
  EXPECT_EQ(VisVariables({13, 14}), "Pre.A.X Pre.B.Y");
}

TEST_F(VariableCommands, CancellingTheBaseChangesNothing) {
  TFormDesign1& d = OpenSim(kObjects);
  Select({10, 11});
  EXPECT_FALSE(d.EditVisibilityBase([](std::string& base) {
    base = "X";
    return false;
  }));
  EXPECT_EQ(VisVariables({10, 11}), "PLC.Tank1.Full plc.tank2.full");
  EXPECT_EQ(d.FUndoTree->ChildCount(), 0);
  EXPECT_FALSE(d.Document().Modified());
}

TEST_F(VariableCommands, ARebasedReferenceIsLookedUpWithPlaceholdersExpanded) {
  TFormDesign1& d = OpenSim(kObjects);
  d.FGlobalWebData.PagePlaceHolders.Add("p", "Tank1");
  Select({15});
  std::string offered;
  d.EditVisibilityBase([&](std::string& base) {
    offered = base;
    base = "{p}.Level";
    return true;
  });
  EXPECT_EQ(offered, "{p}.Full");
  EXPECT_EQ(VisVariables({15}), "{p}.Level");
  EXPECT_EQ(Object(15)->FVisInfo.name, "Tank1.Level");
  EXPECT_EQ(Object(15)->FVisInfo.typeCode, IecUint);
}

// --- dropped variable names -----------------------------------------------------------------

TEST_F(VariableCommands, ANameDroppedOnAnObjectWaitsForItsNextMouseMove) {
  TFormDesign1& d = OpenSim(kObjects);
  TProvideVarNameDragControlObject drag(nullptr, "0123456789ABCDEF:Tank1.Level");
  TGridWebElement* target = Object(12);
  ASSERT_TRUE(Driver::DragAndDrop(&drag, target, 2, 2));
  EXPECT_EQ(target->FDroppedVariable, "Tank1.Level");
  EXPECT_EQ(d.FUndoTree->ChildCount(), 1);
  EXPECT_TRUE(d.Document().Modified());
}

TEST_F(VariableCommands, DropsThatAreNotTaken) {
  TFormDesign1& d = OpenSim(kObjects);
  TGridWebElement* target = Object(12);
  TProvideVarNameDragControlObject drag(nullptr, "0123456789ABCDEF:Speed");

  // Onto the empty surface: nothing there takes a variable.
  EXPECT_FALSE(Driver::DragAndDrop(&drag, d.sbDesign1, 600, 400));
  // In the live view.
  d.FLiveMode = true;
  EXPECT_FALSE(Driver::DragAndDrop(&drag, target, 2, 2));
  d.FLiveMode = false;
  // The host refuses it.
  drag.refuseDrop = true;
  EXPECT_FALSE(Driver::DragAndDrop(&drag, target, 2, 2));
  // Another kind of drag source.
  TDragControlObject other(nullptr);
  EXPECT_FALSE(Driver::DragAndDrop(&other, target, 2, 2));

  EXPECT_EQ(target->FDroppedVariable, "");
  EXPECT_EQ(d.FUndoTree->ChildCount(), 0);
}

TEST_F(VariableCommands, AShortNameTextDropsAnEmptyName) {
  OpenSim(kObjects);
  TProvideVarNameDragControlObject drag(nullptr, "short");
  TGridWebElement* target = Object(12);
  target->FDroppedVariable = "old";
  ASSERT_TRUE(Driver::DragAndDrop(&drag, target, 2, 2));
  EXPECT_EQ(target->FDroppedVariable, "");
}

TEST_F(VariableCommands, RefreshingLooksEveryObjectUpAgain) {
  TFormDesign1& d = OpenSim(kObjects);
  Object(11)->FVarInfo = TPinVariable{};
  d.RefreshAllObjectVarInfo();
  EXPECT_EQ(Object(11)->FVarInfo.typeCode, IecInt);
  EXPECT_EQ(Object(11)->FVarInfo.typeName, "INT");
}

// --- the canvas check ---------------------------------------------------------------------------

TEST_F(VariableCommands, TheCanvasCheckAsksTheHostsMemberLists) {
  TFormDesign1& d = OpenSim("");
  EXPECT_TRUE(d.CheckCanvasVariable("Canvas1"));
  EXPECT_FALSE(d.CheckCanvasVariable("Canvas2"));  // `touch` has a member more
  EXPECT_FALSE(d.CheckCanvasVariable("canvas1.info"));
  EXPECT_FALSE(d.CheckCanvasVariable("Speed"));    // no members
  EXPECT_FALSE(d.CheckCanvasVariable("Unknown"));  // not a variable
}

// --- the tab order --------------------------------------------------------------------------------

TEST_F(VariableCommands, TabOrderNumbersInputObjectsByIndexThenPlace) {
  TFormDesign1& d = OpenSim(
      "<object X=\"1\" Y=\"1\" Uid=\"20\"><edit variable=\"Speed\" tabindex=\"5\" /></object>\r\n"
      "<object X=\"1\" Y=\"5\" Uid=\"21\"><edit variable=\"Speed\" tabindex=\"2\" /></object>\r\n"
      "<object X=\"1\" Y=\"9\" Uid=\"22\"><label /></object>\r\n"
      "<object X=\"1\" Y=\"13\" Uid=\"23\"><submit tabindex=\"2\" /></object>\r\n"
      "<object X=\"1\" Y=\"17\" Uid=\"24\"><dropdown variable=\"Speed\" /></object>\r\n");
  Object(22)->FTabIndex = 1;
  d.BuildTabOrder();
  std::vector<int> order;
  for (int uid : {20, 21, 22, 23, 24}) order.push_back(Object(uid)->FTabIndex);
  EXPECT_EQ(order, (std::vector<int>{3, 1, -1, 2, 4}));
}

}  // namespace
