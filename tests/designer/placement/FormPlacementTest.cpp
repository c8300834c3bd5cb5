// Where the designer window stands: the docking keys of the settings file's
// section "FormDesign1" go to the host IDE (dock position, stay-on-top,
// can-dock) or, for a floating window, to its bounds; the left panel's width
// comes back and a collapsed panel can be shown again; the placement goes
// back into the file when the window closes; the dock drag suppresses the
// page tree's changes.

#include <gtest/gtest.h>

#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/IniFiles.h"
#include "tests/designer/placement/PlacementTestSupport.h"

using namespace placementtest;

namespace {

using Calls = std::vector<std::string>;

class FormPlacement : public PlacementTest {
 protected:
  int Key(const std::string& key, int missing = -12345) const {
    return TIniFile(folder.System("Tarnwell\\Proj.webx")).ReadInteger("FormDesign1", key, missing);
  }
};

struct TDockingCase {
  const char* name;
  const char* section;  // the settings file's text
  Calls calls;          // what the IDE is asked
};

// Test output names the case.
void PrintTo(const TDockingCase& c, std::ostream* out) { *out << c.name; }

class DockingKeys : public FormPlacement, public ::testing::WithParamInterface<TDockingCase> {};

TEST_P(DockingKeys, GoToTheIde) {
  PutSettings(GetParam().section);
  TFormDesign1& d = MakeDesigner();
  d.LoadFormPlacement();
  EXPECT_EQ(ide.calls, GetParam().calls);
  EXPECT_EQ(d.pnlLeft->Width(), 145) << "the panel keeps its designed width";
  EXPECT_FALSE(d.btnShowPanel1->Visible());
  EXPECT_FALSE(d.btnShowPanel2->Visible());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, DockingKeys,
    ::testing::Values(TDockingCase{"NoSection",
                                   "[Settings]\r\nShow=-1\r\n",
                                   {"SetDockPosition(1)", "SetStayOnTop(false)", "SetCanDock(false)"}},
                      TDockingCase{"StoredStates",
                                   "[FormDesign1]\r\nDockPos=3\r\nStayOnTop=-1\r\nCanDock=1\r\n",
                                   {"SetDockPosition(3)", "SetStayOnTop(true)", "SetCanDock(true)"}},
                      TDockingCase{"FloatingWindow",
                                   "[FormDesign1]\r\nDockPos=0\r\nStayOnTop=0\r\nCanDock=-1\r\n",
                                   {"SetStayOnTop(false)", "SetCanDock(true)"}},
                      TDockingCase{"NegativeDockPosition",
                                   "[FormDesign1]\r\nDockPos=-4\r\n",
                                   {"SetStayOnTop(false)", "SetCanDock(false)"}}),
    [](const ::testing::TestParamInfo<TDockingCase>& info) { return std::string(info.param.name); });

TEST_F(FormPlacement, AFloatingWindowTakesItsStoredBounds) {
  PutSettings("[FormDesign1]\r\nDockPos=0\r\nHeight=500\r\nWidth=700\r\nTop=40\r\nLeft=60\r\n");
  TFormDesign1& d = MakeDesigner();
  d.LoadFormPlacement();
  EXPECT_EQ(d.Height(), 500);
  EXPECT_EQ(d.Width(), 700);
  EXPECT_EQ(d.Top(), 40);
  EXPECT_EQ(d.Left(), 60);
}

TEST_F(FormPlacement, ADockedWindowKeepsItsBounds) {
  PutSettings("[FormDesign1]\r\nDockPos=2\r\nHeight=500\r\nWidth=700\r\nTop=40\r\nLeft=60\r\n");
  TFormDesign1& d = MakeDesigner();
  const TRect before = d.BoundsRect();
  d.LoadFormPlacement();
  EXPECT_EQ(d.BoundsRect(), before);
}

TEST_F(FormPlacement, WithoutIqendWindowsNoDockPositionIsSet) {
  ide.withoutWindows = true;
  TFormDesign1& d = MakeDesigner();
  d.LoadFormPlacement();
  EXPECT_EQ(ide.calls, (Calls{"SetStayOnTop(false)", "SetCanDock(false)"}));
}

TEST_F(FormPlacement, TheDesktopRestoreLeavesTheDockingKeysOut) {
  PutSettings("[FormDesign1]\r\nDockPos=3\r\nStayOnTop=-1\r\nLeftPanel=200\r\n");
  TFormDesign1& d = MakeDesigner();
  d.FApplyDocking = false;
  d.LoadFormPlacement();
  EXPECT_TRUE(ide.calls.empty());
  EXPECT_EQ(d.pnlLeft->Width(), 200);
}

TEST_F(FormPlacement, WithoutAProjectNothingIsRead) {
  PutSettings("[FormDesign1]\r\nLeftPanel=200\r\n");
  TFormDesign1& d = MakeDesigner();
  host->noProject = true;
  d.LoadFormPlacement();
  EXPECT_TRUE(ide.calls.empty());
  EXPECT_EQ(d.pnlLeft->Width(), 145);
}

struct TPanelCase {
  const char* name;
  const char* leftPanel;
  int width;
  bool collapsed;
};

// Test output names the case.
void PrintTo(const TPanelCase& c, std::ostream* out) { *out << c.name; }

class LeftPanel : public FormPlacement, public ::testing::WithParamInterface<TPanelCase> {};

TEST_P(LeftPanel, TakesItsStoredWidth) {
  PutSettings(std::string("[FormDesign1]\r\nLeftPanel=") + GetParam().leftPanel + "\r\n");
  TFormDesign1& d = MakeDesigner();
  d.LoadFormPlacement();
  EXPECT_EQ(d.pnlLeft->Width(), GetParam().width);
  EXPECT_EQ(d.btnShowPanel1->Visible(), GetParam().collapsed);
  EXPECT_EQ(d.btnShowPanel2->Visible(), GetParam().collapsed);
  // The splitter stays right of the panel.
  EXPECT_EQ(d.Splitter1->Left(), d.pnlLeft->Left() + d.pnlLeft->Width());
}

INSTANTIATE_TEST_SUITE_P(Settings, LeftPanel,
                         ::testing::Values(TPanelCase{"Wider", "230", 230, false},
                                           TPanelCase{"Collapsed", "0", 1, true}, TPanelCase{"OnePixel", "1", 1, true},
                                           TPanelCase{"TwoPixels", "2", 2, false},
                                           TPanelCase{"Negative", "-40", 1, true},
                                           TPanelCase{"NotANumber", "wide", 145, false}),
                         [](const ::testing::TestParamInfo<TPanelCase>& info) { return std::string(info.param.name); });

TEST_F(FormPlacement, EitherShowPanelButtonBringsTheCollapsedPanelBack) {
  for (bool second : {false, true}) {
    PutSettings("[FormDesign1]\r\nLeftPanel=0\r\n");
    TFormDesign1& d = MakeDesigner();
    d.LoadFormPlacement();
    ASSERT_TRUE(d.btnShowPanel1->Visible());
    (second ? d.btnShowPanel2 : d.btnShowPanel1)->Click();
    EXPECT_EQ(d.pnlLeft->Width(), 145) << second;
    EXPECT_FALSE(d.btnShowPanel1->Visible()) << second;
    EXPECT_FALSE(d.btnShowPanel2->Visible()) << second;
    EXPECT_EQ(d.Splitter1->Left(), 145) << second;
    designer.reset();
  }
}

TEST_F(FormPlacement, DraggingTheSplitterToNothingShowsTheButtons) {
  TFormDesign1& d = MakeDesigner();
  d.pnlLeft->SetWidth(1);
  d.Splitter1->OnMoved(d.Splitter1);
  EXPECT_TRUE(d.btnShowPanel1->Visible());
  EXPECT_TRUE(d.btnShowPanel2->Visible());
  d.pnlLeft->SetWidth(80);
  d.Splitter1->OnMoved(d.Splitter1);
  EXPECT_FALSE(d.btnShowPanel1->Visible());
  EXPECT_FALSE(d.btnShowPanel2->Visible());
}

TEST_F(FormPlacement, SavingWritesTheIdesStatesTheBoundsAndThePanel) {
  TFormDesign1& d = MakeDesigner();
  ide.dockPosition = 4;
  ide.stayOnTop = true;
  ide.canDock = false;
  d.SetBounds(30, 20, 800, 600);
  d.pnlLeft->SetWidth(190);
  d.SaveFormPlacement();
  EXPECT_EQ(Key("DockPos"), 4);
  EXPECT_EQ(Key("StayOnTop"), -1);
  EXPECT_EQ(Key("CanDock"), 0);
  EXPECT_EQ(Key("Height"), 600);
  EXPECT_EQ(Key("Width"), 800);
  EXPECT_EQ(Key("Top"), 20);
  EXPECT_EQ(Key("Left"), 30);
  EXPECT_EQ(Key("LeftPanel"), 190);
}

TEST_F(FormPlacement, StatesTheIdeRefusesAreNotWritten) {
  TFormDesign1& d = MakeDesigner();
  ide.refuseGets = true;
  d.SaveFormPlacement();
  EXPECT_EQ(Key("DockPos"), -12345);
  EXPECT_EQ(Key("StayOnTop"), -12345);
  EXPECT_EQ(Key("CanDock"), -12345);
  EXPECT_EQ(Key("Width"), d.Width());
  EXPECT_EQ(Key("LeftPanel"), 145);
}

TEST_F(FormPlacement, WithoutTheIdeOrAProjectNothingIsWritten) {
  TFormDesign1& d = MakeDesigner();
  host->ide = nullptr;
  d.SaveFormPlacement();
  EXPECT_FALSE(folder.Exists("Tarnwell/Proj.webx"));
  host->ide = &ide;
  host->noProject = true;
  d.SaveFormPlacement();
  EXPECT_FALSE(folder.Exists("Tarnwell/Proj.webx"));
}

TEST_F(FormPlacement, WhatIsSavedComesBack) {
  {
    TFormDesign1& d = MakeDesigner();
    ide.dockPosition = 0;
    ide.stayOnTop = true;
    ide.canDock = true;
    d.SetBounds(70, 50, 720, 480);
    d.pnlLeft->SetWidth(0);
    d.SaveFormPlacement();
    designer.reset();
  }
  ide.calls.clear();
  TFormDesign1& d = MakeDesigner();
  d.LoadFormPlacement();
  EXPECT_EQ(ide.calls, (Calls{"SetStayOnTop(true)", "SetCanDock(true)"}));
  EXPECT_EQ(d.BoundsRect(), (TRect{70, 50, 790, 530}));
  EXPECT_EQ(d.pnlLeft->Width(), 1);
  EXPECT_TRUE(d.btnShowPanel1->Visible());
}

TEST_F(FormPlacement, ADockDragSuppressesTheTreesChangesUntilItEnds) {
  TFormDesign1& d = MakeDesigner();
  d.FTreeChangeSuppressed = false;
  TDragDockObject* drag = nullptr;
  d.OnStartDock(&d, drag);
  EXPECT_TRUE(d.FTreeChangeSuppressed);
  d.OnEndDock(&d, nullptr, 0, 0);
  EXPECT_FALSE(d.FTreeChangeSuppressed);
}

}  // namespace
