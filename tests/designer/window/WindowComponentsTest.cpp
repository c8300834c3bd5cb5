// The designer window as it is made: every named component in its place and
// bound to its handler, the starting values, the help key, select all and the
// save of a window that holds nothing.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/HostEnvironment.h"
#include "platform/help/HtmlHelp.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/HintWindow.h"
#include "platform/vcl/ImageList.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/Timer.h"
#include "platform/vcl/ToolBar.h"
#include "platform/win/VirtualClock.h"
#include "platform/win/VirtualKeys.h"
#include "tests/designer/window/WindowTestSupport.h"

using namespace windowtest;

namespace {

using F = TFormDesign1;

// The name a component has, where it stands (its parent control, or the menu
// or item that holds it), and its field.
struct TPlace {
  const char* name;
  const char* parent;
  TComponent* (*field)(const F&);
};

#define PLACE(Name, Parent)                                         \
  {                                                                 \
#Name, Parent, [](const F& f) -> TComponent* { return f.Name; } \
  }

const TPlace kPlaces[] = {
    PLACE(tlbMain1, "FormDesign1"),
    PLACE(btnShowPanel1, "tlbMain1"),
    PLACE(btnHidePages, "tlbMain1"),
    PLACE(btnDebug, "tlbMain1"),
    PLACE(btnLoadBackground, "tlbMain1"),
    PLACE(btnSave1, "tlbMain1"),
    PLACE(tbPreview1, "tlbMain1"),
    PLACE(btnSave2, "tlbMain1"),
    PLACE(tbUndo, "tlbMain1"),
    PLACE(tbRedo, "tlbMain1"),
    PLACE(btnArrow, "tlbMain1"),
    PLACE(btnLabel, "tlbMain1"),
    PLACE(btnEditBox, "tlbMain1"),
    PLACE(btnEditBoxEx, "tlbMain1"),
    PLACE(btnGlobalSubmit, "tlbMain1"),
    PLACE(btnRectangle, "tlbMain1"),
    PLACE(btnBar, "tlbMain1"),
    PLACE(btnRectDynCol, "tlbMain1"),
    PLACE(btnStateImage, "tlbMain1"),
    PLACE(btnImageBtn, "tlbMain1"),
    PLACE(btnImage, "tlbMain1"),
    PLACE(btnMultiImage, "tlbMain1"),
    PLACE(btnCameraPic, "tlbMain1"),
    PLACE(btnPostFileBox, "tlbMain1"),
    PLACE(btnStrImg, "tlbMain1"),
    PLACE(btnCanvas, "tlbMain1"),
    PLACE(btnIFrame, "tlbMain1"),
    PLACE(btnDropDown, "tlbMain1"),
    PLACE(tbObjectList, "tlbMain1"),
    PLACE(tbLayers, "tlbMain1"),
    PLACE(btnImageManager, "tlbMain1"),
    PLACE(btnGlobal, "tlbMain1"),
    PLACE(btnPass, "tlbMain1"),
    PLACE(tbAlarm, "tlbMain1"),
    PLACE(tbLang, "tlbMain1"),
    PLACE(tbAbout, "tlbMain1"),
    PLACE(tbGridOff, "tlbMain1"),
    PLACE(tbGridOn, "tlbMain1"),
    PLACE(ToolButton6, "tlbMain1"),
    PLACE(pnlLeft, "FormDesign1"),
    PLACE(tlbLeft1, "pnlLeft"),
    PLACE(btnAddGroup, "tlbLeft1"),
    PLACE(btnAddPage, "tlbLeft1"),
    PLACE(btnDeletePage, "tlbLeft1"),
    PLACE(btnPageUp, "tlbLeft1"),
    PLACE(btnPageDown, "tlbLeft1"),
    PLACE(tvPageList, "pnlLeft"),
    PLACE(Splitter1, "FormDesign1"),
    PLACE(pnlCenter, "FormDesign1"),
    PLACE(sbDesign1, "pnlCenter"),
    PLACE(imgBg, "sbDesign1"),
    PLACE(lblDummy, "sbDesign1"),
    PLACE(sbStatus, "FormDesign1"),
    PLACE(tlbDebug1, "FormDesign1"),
    PLACE(btnShowPanel2, "tlbDebug1"),
    PLACE(btnDebug2, "tlbDebug1"),
    PLACE(ObjectPopup, ""),
    PLACE(Edit1, "ObjectPopup"),
    PLACE(Copy1, "ObjectPopup"),
    PLACE(Cut1, "ObjectPopup"),
    PLACE(Delete1, "ObjectPopup"),
    PLACE(Bringtofront1, "ObjectPopup"),
    PLACE(Sendtoback1, "ObjectPopup"),
    PLACE(BringForward1, "ObjectPopup"),
    PLACE(SendBackward1, "ObjectPopup"),
    PLACE(Align1, "ObjectPopup"),
    PLACE(AlignTop1, "Align1"),
    PLACE(AlignBottom1, "Align1"),
    PLACE(AlignLeft1, "Align1"),
    PLACE(AlignRight1, "Align1"),
    PLACE(AlignMiddle1, "Align1"),
    PLACE(AlignCenter1, "Align1"),
    PLACE(DistributeHorizontally1, "Align1"),
    PLACE(Left1, "DistributeHorizontally1"),
    PLACE(Centre1, "DistributeHorizontally1"),
    PLACE(Spacing1, "DistributeHorizontally1"),
    PLACE(Right1, "DistributeHorizontally1"),
    PLACE(DistributeVertically1, "Align1"),
    PLACE(Top1, "DistributeVertically1"),
    PLACE(Centre2, "DistributeVertically1"),
    PLACE(Spacing2, "DistributeVertically1"),
    PLACE(Bottom1, "DistributeVertically1"),
    PLACE(AlignToGrid1, "Align1"),
    PLACE(Editbase1, "ObjectPopup"),
    PLACE(EditVisibilityBase1, "ObjectPopup"),
    PLACE(VarNameReplace1, "ObjectPopup"),
    PLACE(AutoIndexArray1, "ObjectPopup"),
    PLACE(miLayers, "ObjectPopup"),
    PLACE(Convert1, "ObjectPopup"),
    PLACE(ToPicture1, "Convert1"),
    PLACE(ToImage1, "Convert1"),
    PLACE(ToImageBtn1, "Convert1"),
    PLACE(ToMulimg1, "Convert1"),
    PLACE(ToBlock1, "Convert1"),
    PLACE(ToBlockBar1, "Convert1"),
    PLACE(ToBlockColor1, "Convert1"),
    PLACE(ScrollPopup, ""),
    PLACE(Edit3, "ScrollPopup"),
    PLACE(Undo1, "ScrollPopup"),
    PLACE(Copy2, "ScrollPopup"),
    PLACE(Cut2, "ScrollPopup"),
    PLACE(Paste1, "ScrollPopup"),
    PLACE(PasteDirect1, "ScrollPopup"),
    PLACE(PasteInActiveLayer1, "ScrollPopup"),
    PLACE(SelectAll1, "ScrollPopup"),
    PLACE(Grid1, "ScrollPopup"),
    PLACE(Find1, "ScrollPopup"),
    PLACE(ShowInNewWindow1, "ScrollPopup"),
    PLACE(DebugPict1, "ScrollPopup"),
    PLACE(GlobalSettings1, "ScrollPopup"),
    PLACE(LanguageSettings1, "ScrollPopup"),
    PLACE(ExportTexts1, "ScrollPopup"),
    PLACE(ImportTexts1, "ScrollPopup"),
    PLACE(TreePopup, ""),
    PLACE(Addgroup1, "TreePopup"),
    PLACE(Addpage1, "TreePopup"),
    PLACE(Delete2, "TreePopup"),
    PLACE(MoveUp1, "TreePopup"),
    PLACE(MoveDown1, "TreePopup"),
    PLACE(Edit2, "TreePopup"),
    PLACE(GroupPageSettings1, "TreePopup"),
    PLACE(Copy3, "TreePopup"),
    PLACE(Paste2, "TreePopup"),
    PLACE(RenameAllPages1, "TreePopup"),
    PLACE(PagesDisplayFormat1, "TreePopup"),
    PLACE(Caption1, "PagesDisplayFormat1"),
    PLACE(FileName1, "PagesDisplayFormat1"),
    PLACE(CaptionFileName1, "PagesDisplayFormat1"),
    PLACE(PagesPopup1, ""),
    PLACE(CommonEditPopup1, ""),
    PLACE(CommonCut, "CommonEditPopup1"),
    PLACE(CommonCopy, "CommonEditPopup1"),
    PLACE(CommonPaste, "CommonEditPopup1"),
    PLACE(CommonSelectAll, "CommonEditPopup1"),
    PLACE(LangPopup1, ""),
    PLACE(ImageList1, ""),
    PLACE(ilStates, ""),
    PLACE(ilLayers, ""),
    PLACE(OpenPictureDialog1, ""),
    PLACE(ColorDialog1, ""),
    PLACE(CommTimer1, ""),
    PLACE(RefreshTimer1, ""),
};

#undef PLACE

// Where a component stands: its parent control's name, or the name of the
// menu or item that holds it; "" for the rest.
std::string ParentName(TComponent* component) {
  if (auto* control = dynamic_cast<TControl*>(component))
    return control->Parent() != nullptr ? control->Parent()->Name() : std::string();
  if (auto* item = dynamic_cast<TMenuItem*>(component)) {
    TMenuItem* parent = item->Parent();
    if (parent == nullptr) return std::string();
    if (parent->GetParentMenu() != nullptr && parent->GetParentMenu()->Items() == parent)
      return parent->GetParentMenu()->Name();
    return parent->Name();
  }
  return std::string();
}

// A click handler and the components whose OnClick it is.
struct TClickBinding {
  void (F::*handler)(TObject*);
  std::vector<const char*> components;
};

const std::vector<TClickBinding> kClicks = {
    {&F::SelectAll1Click, {"SelectAll1"}},
    {&F::btnLoadBackgroundClick, {"btnLoadBackground"}},
    {&F::btnSave2Click, {"btnSave2"}},
    {&F::btnShowPanel1Click, {"btnShowPanel1", "btnShowPanel2"}},
    {&F::btnAddGroupClick, {"btnAddGroup", "Addgroup1"}},
    {&F::btnAddPageClick, {"btnAddPage", "Addpage1"}},
    {&F::btnDeletePageClick, {"btnDeletePage", "Delete2"}},
    {&F::btnPageUpClick, {"btnPageUp", "MoveUp1"}},
    {&F::btnPageDownClick, {"btnPageDown", "MoveDown1"}},
    {&F::tbUndoClick, {"tbUndo", "Undo1"}},
    {&F::tbRedoClick, {"tbRedo"}},
    {&F::ToolButton6Click, {"ToolButton6"}},
    {&F::tvPageListDblClick, {"Edit2"}},
    {&F::GroupPageSettings1Click, {"GroupPageSettings1"}},
    {&F::sbDesign1DblClick, {"Edit3"}},
    {&F::btnImageManagerClick, {"btnImageManager"}},
    {&F::Edit1Click, {"Edit1"}},
    {&F::AlignToGrid1Click, {"AlignToGrid1"}},
    {&F::btnFunctionClick,
     {"btnArrow", "btnLabel", "btnEditBox", "btnEditBoxEx", "btnGlobalSubmit", "btnRectangle", "btnBar",
      "btnRectDynCol", "btnStateImage", "btnImageBtn", "btnImage", "btnMultiImage", "btnCameraPic", "btnPostFileBox",
      "btnStrImg", "btnCanvas", "btnIFrame", "btnDropDown"}},
    {&F::Copy1Click, {"Copy1", "Cut1", "Copy2", "Cut2"}},
    {&F::Delete1Click, {"Delete1"}},
    {&F::Paste1Click, {"Paste1"}},
    {&F::Copy3Click, {"Copy3"}},
    {&F::Paste2Click, {"Paste2"}},
    {&F::Bringtofront1Click, {"Bringtofront1"}},
    {&F::Sendtoback1Click, {"Sendtoback1"}},
    {&F::BringForward1Click, {"BringForward1"}},
    {&F::SendBackward1Click, {"SendBackward1"}},
    {&F::tbGridOnClick, {"tbGridOn"}},
    {&F::tbGridOffClick, {"tbGridOff"}},
    {&F::Grid1Click, {"Grid1"}},
    {&F::Editbase1Click, {"Editbase1"}},
    {&F::tbPreview1Click, {"tbPreview1"}},
    {&F::Find1Click, {"Find1"}},
    {&F::CommonCopyClick, {"CommonCopy"}},
    {&F::CommonCutClick, {"CommonCut"}},
    {&F::CommonPasteClick, {"CommonPaste"}},
    {&F::CommonSelectAllClick, {"CommonSelectAll"}},
    {&F::tbObjectListClick, {"tbObjectList"}},
    {&F::btnPassClick, {"btnPass"}},
    {&F::tbAlarmClick, {"tbAlarm"}},
    {&F::tbAboutClick, {"tbAbout"}},
    {&F::PasteDirect1Click, {"PasteDirect1"}},
    {&F::PagesDisplayFormat1Click, {"Caption1", "FileName1", "CaptionFileName1"}},
    {&F::DebugPict1Click, {"DebugPict1"}},
    {&F::AlignClick,
     {"AlignTop1", "AlignBottom1", "AlignLeft1", "AlignRight1", "AlignMiddle1", "AlignCenter1", "Left1", "Centre1",
      "Spacing1", "Right1", "Top1", "Centre2", "Spacing2", "Bottom1"}},
    {&F::tbLayersClick, {"tbLayers"}},
    {&F::tbLangClick, {"tbLang", "LanguageSettings1"}},
    {&F::PasteInActiveLayer1Click, {"PasteInActiveLayer1"}},
    {&F::EditVisibilityBase1Click, {"EditVisibilityBase1"}},
    {&F::VarNameReplace1Click, {"VarNameReplace1"}},
    {&F::AutoIndexArray1Click, {"AutoIndexArray1"}},
    {&F::ToPicture1Click, {"ToPicture1"}},
    {&F::ToImage1Click, {"ToImage1"}},
    {&F::ToImageBtn1Click, {"ToImageBtn1"}},
    {&F::ToMulimg1Click, {"ToMulimg1"}},
    {&F::ToBlock1Click, {"ToBlock1"}},
    {&F::ToBlockBar1Click, {"ToBlockBar1"}},
    {&F::ToBlockColor1Click, {"ToBlockColor1"}},
    {&F::RenameAllPages1Click, {"RenameAllPages1"}},
    {&F::btnSave1Click, {"btnSave1"}},
    {&F::btnDebugClick, {"btnDebug", "btnDebug2"}},
    {&F::ShowInNewWindow1Click, {"ShowInNewWindow1"}},
    {&F::btnGlobalClick, {"btnGlobal", "GlobalSettings1"}},
    {&F::ExportTexts1Click, {"ExportTexts1"}},
    {&F::ImportTexts1Click, {"ImportTexts1"}},
};

TNotifyEvent OnClickOf(TComponent* component) {
  if (auto* item = dynamic_cast<TMenuItem*>(component)) return item->OnClick;
  if (auto* control = dynamic_cast<TControl*>(component)) return control->OnClick;
  return nullptr;
}

class WindowComponents : public WindowTest {};

}  // namespace

TEST_F(WindowComponents, EveryNamedComponentIsItsFieldInItsPlace) {
  F& d = MakeDesigner();
  EXPECT_EQ(d.Name(), "FormDesign1");
  for (const TPlace& place : kPlaces) {
    TComponent* field = place.field(d);
    ASSERT_NE(field, nullptr) << place.name;
    EXPECT_EQ(d.FindComponent(place.name), field) << place.name;
    EXPECT_EQ(field->Owner(), &d) << place.name;
    EXPECT_EQ(ParentName(field), place.parent) << place.name;
  }
}

// The pixels of picture `index` of the list (transparent ones black).
std::vector<TColor> PictureOf(const TCustomImageList& list, int index) {
  TBitmap picture;
  std::vector<TColor> pixels;
  if (!list.GetBitmap(index, &picture)) return pixels;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) pixels.push_back(picture.Canvas->GetPixel(x, y));
  return pixels;
}

// Colours a picture shows (transparent black aside).
int ColourCount(const std::vector<TColor>& pixels) {
  std::set<TColor> colours(pixels.begin(), pixels.end());
  colours.erase(clBlack);
  return static_cast<int>(colours.size());
}

TEST_F(WindowComponents, EveryToolButtonShowsAPictureOfItsOwn) {
  F& d = MakeDesigner();
  std::map<std::vector<TColor>, std::string> seen;
  std::set<int> indexes;
  for (TToolBar* bar : {d.tlbMain1, d.tlbLeft1, d.tlbDebug1}) {
    ASSERT_EQ(bar->Images(), d.ImageList1);
    for (int i = 0; i < bar->ButtonCount(); ++i) {
      TToolButton* button = bar->Buttons(i);
      if (button->ImageIndex() < 0) continue;
      indexes.insert(button->ImageIndex());
      const std::vector<TColor> picture = PictureOf(*d.ImageList1, button->ImageIndex());
      ASSERT_EQ(picture.size(), 256u) << button->Name();
      EXPECT_GE(ColourCount(picture), 1) << button->Name();
      const auto [where, added] = seen.emplace(picture, button->Name());
      // Buttons of one command share a picture; others differ.
      if (!added) {
        EXPECT_EQ(OnClickOf(button), OnClickOf(d.FindComponent(where->second))) << button->Name();
      }
    }
  }
  // Every picture of the list belongs to a button.
  EXPECT_EQ(static_cast<int>(indexes.size()), d.ImageList1->Count());
  EXPECT_EQ(*indexes.rbegin(), d.ImageList1->Count() - 1);
  d.Show();
  EXPECT_TRUE(SaveControlAsPng(d.tlbMain1, std::string(TARNWELL_BINARY_DIR) + "/pictures/designer-toolbar.png"));
}

// The mouse resting on a tool button shows the button's hint below the
// mouse after the hint pause, without taking the activation; moving on takes
// it away.
TEST_F(WindowComponents, AToolButtonShowsItsHintWhileTheMouseRestsOnIt) {
  F& d = OpenDesigner();
  Driver::MouseMove(d.btnAddGroup, 5, 6);
  AdvanceVirtualClock(static_cast<ULONGLONG>(Application->HintPause));
  THintWindow* hint = Application->HintWindow();
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(hint->Visible());
  EXPECT_EQ(hint->Caption(), "Add group");
  const TPoint mouse = d.btnAddGroup->ClientToScreen({5, 6});
  EXPECT_EQ(hint->Left(), mouse.x);
  EXPECT_EQ(hint->Top(), mouse.y + 20);
  EXPECT_TRUE(d.Active());
  EXPECT_TRUE(SaveControlAsPng(hint, std::string(TARNWELL_BINARY_DIR) + "/pictures/designer-hint.png"));
  Driver::MouseMove(d.tvPageList, 5, 5);
  EXPECT_FALSE(hint->Visible());
}

TEST_F(WindowComponents, TheLayerMenuShowsHiddenAndFrozenLayersWithTheirPictures) {
  F& d = MakeDesigner();
  ASSERT_EQ(d.ObjectPopup->Images(), d.ilLayers);
  ASSERT_EQ(d.ilLayers->Count(), 3);
  d.FLayers[2].Visible = false;
  d.FLayers[3].Frozen = true;
  d.ObjectPopup->Popup(0, 0);
  ASSERT_EQ(d.miLayers->Count(), 16);
  const std::vector<TColor> hidden = PictureOf(*d.ilLayers, d.miLayers->Items(2)->ImageIndex);
  const std::vector<TColor> frozen = PictureOf(*d.ilLayers, d.miLayers->Items(3)->ImageIndex);
  EXPECT_EQ(d.miLayers->Items(0)->ImageIndex, -1);
  EXPECT_GE(ColourCount(hidden), 2);
  EXPECT_GE(ColourCount(frozen), 1);
  EXPECT_NE(hidden, frozen);
}

TEST_F(WindowComponents, ClickHandlersAreBoundToTheirComponents) {
  F& d = MakeDesigner();
  for (const TClickBinding& binding : kClicks) {
    const TNotifyEvent expected{&d, binding.handler};
    for (const char* name : binding.components) {
      TComponent* component = d.FindComponent(name);
      ASSERT_NE(component, nullptr) << name;
      EXPECT_TRUE(OnClickOf(component) == expected) << name;
    }
  }
}

TEST_F(WindowComponents, EventsOfFormTreeSurfaceAndTimersAreBound) {
  F& d = MakeDesigner();
  EXPECT_TRUE(d.OnShow == (TNotifyEvent{&d, &F::FormShow}));
  EXPECT_TRUE(d.OnCreate == (TNotifyEvent{&d, &F::FormCreate}));
  EXPECT_TRUE(d.OnDestroy == (TNotifyEvent{&d, &F::FormDestroy}));
  EXPECT_TRUE(d.OnCloseQuery == (TCloseQueryEvent{&d, &F::FormCloseQuery}));
  EXPECT_TRUE(d.OnClose == (TCloseEvent{&d, &F::FormClose}));
  EXPECT_TRUE(d.tvPageList->OnChange == (TTVChangedEvent{&d, &F::tvPageListChange}));
  EXPECT_TRUE(d.tvPageList->OnChanging == (TTVChangingEvent{&d, &F::tvPageListChanging}));
  EXPECT_TRUE(d.tvPageList->OnCollapsing == (TTVCollapsingEvent{&d, &F::tvPageListCollapsing}));
  EXPECT_TRUE(d.tvPageList->OnMouseDown == (TMouseEvent{&d, &F::tvPageListMouseDown}));
  EXPECT_TRUE(d.tvPageList->OnDblClick == (TNotifyEvent{&d, &F::tvPageListDblClick}));
  for (TControl* surface : {static_cast<TControl*>(d.sbDesign1), static_cast<TControl*>(d.imgBg)}) {
    EXPECT_TRUE(surface->OnMouseDown == (TMouseEvent{&d, &F::sbDesign1MouseDown})) << surface->Name();
    EXPECT_TRUE(surface->OnDblClick == (TNotifyEvent{&d, &F::sbDesign1DblClick})) << surface->Name();
  }
  EXPECT_TRUE(d.sbDesign1->OnKeyDown == (TKeyEvent{&d, &F::sbDesign1KeyDown}));
  EXPECT_TRUE(d.sbDesign1->OnKeyPress == (TKeyPressEvent{&d, &F::sbDesign1KeyPress}));
  EXPECT_TRUE(d.sbDesign1->OnKeyUp == (TKeyEvent{&d, &F::sbDesign1KeyUp}));
  EXPECT_TRUE(d.Splitter1->OnMoved == (TNotifyEvent{&d, &F::Splitter1Moved}));
  EXPECT_TRUE(d.ObjectPopup->OnPopup == (TNotifyEvent{&d, &F::ObjectPopupPopup}));
  EXPECT_TRUE(d.CommTimer1->OnTimer == (TNotifyEvent{&d, &F::CommTimer1Timer}));
  EXPECT_EQ(d.CommTimer1->Interval(), 50u);
  EXPECT_FALSE(d.CommTimer1->Enabled());
  EXPECT_FALSE(d.RefreshTimer1->Enabled());
}

TEST_F(WindowComponents, ANewWindowStartsEmptyWithItsDefaults) {
  F& d = MakeDesigner();
  EXPECT_EQ(d.Caption(), "Tarnwell");
  EXPECT_TRUE(d.DockSite);
  EXPECT_EQ(d.Font()->Name, "Segoe UI");
  EXPECT_EQ(d.Font()->Size(), 9);
  EXPECT_EQ(d.sbDesign1->Font()->Name, "Courier New");
  EXPECT_TRUE(d.sbDesign1->DoubleBuffered);
  EXPECT_TRUE(d.sbStatus->DoubleBuffered);
  EXPECT_TRUE(d.btnArrow->Down());
  EXPECT_EQ(d.FEditorLangCode, -1);
  EXPECT_EQ(d.Document().FormatCode(), 0);
  EXPECT_EQ(d.Document().Root(), nullptr);
  EXPECT_FALSE(d.Document().Modified());
  EXPECT_FALSE(d.Document().ReadOnly());
  EXPECT_EQ(d.FGridX, 5);
  EXPECT_EQ(d.FGridY, 5);
  EXPECT_EQ(d.FPasteRaster, 1);
  EXPECT_TRUE(d.FSaveOnClose);
  EXPECT_TRUE(d.FApplyDocking);
  EXPECT_TRUE(d.FPasteInActiveLayer);
  EXPECT_EQ(d.Document().Settings().pageHeight, 560);
  EXPECT_EQ(d.Document().Settings().pageWidth, 980);
  EXPECT_EQ(d.Document().Settings().encoding, "windows-1250");
  EXPECT_EQ(d.Document().Settings().codePage, 1250);
  ASSERT_NE(d.FUndoTree, nullptr);
  EXPECT_EQ(d.FUndoTree->name, "UndoTree");
  EXPECT_EQ(d.FUndoTree->ChildCount(), 0);
  ASSERT_NE(d.FWebNameConvertor, nullptr);
  EXPECT_EQ(d.FWebNameConvertor->GlobalData(), &d.FGlobalWebData);
  EXPECT_EQ(d.tvPageList->Items()->Count(), 0);
  EXPECT_EQ(d.pnlCenter->Caption(), "No page selected");
  EXPECT_EQ(d.btnSave2->Hint, "Save");
  EXPECT_EQ(d.Delete2->Caption(), "Delete");
  EXPECT_EQ(d.CaptionFileName1->Caption(), "Caption (File name)");
  EXPECT_EQ(FormDesign1, &d);
  designer.reset();
  EXPECT_EQ(FormDesign1, nullptr);
}

TEST_F(WindowComponents, SavingAWindowThatHoldsNothingWritesNothing) {
  F& d = MakeDesigner();
  Driver::Click(d.btnSave2);
  d.btnSave2Click(nullptr);
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Tarnwell"));
  EXPECT_EQ(host->stConstantsCalls, 0);
}

TEST_F(WindowComponents, SelectAllOnAnEmptyPageSelectsNothing) {
  F& d = MakeDesigner();
  d.SelectAll1->Click();
  EXPECT_TRUE(d.PageObjects().empty());
  for (int i = 0; i < d.sbDesign1->ControlCount(); ++i)
    EXPECT_EQ(dynamic_cast<TGridGraphic*>(d.sbDesign1->Controls(i)), nullptr);
}

TEST_F(WindowComponents, F1OpensTheHelpOfTarnwell) {
  folder.Write("bin/halvex", "");
  folder.Write("HELP/ENU_Tarnwell.chm", "ITSF");
  SetHostExeName(folder.System("bin\\halvex"));
  ClearHtmlHelpRequests();
  F& d = MakeDesigner();
  d.Show();
  Driver::PressKey(VK_F1, 0, &d);
  SetHostExeName("");
  const std::vector<HtmlHelpRequest> requests = HtmlHelpRequests();
  ClearHtmlHelpRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].command, HH_DISPLAY_TOPIC);
  EXPECT_NE(requests[0].file.find("ENU_Tarnwell.chm"), std::string::npos) << requests[0].file;
}
