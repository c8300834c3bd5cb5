// The drawing canvas dialog and its image list: references derived from the
// control structure, the return boxes on mixed selections, the structure
// check, the image list's warning, duplicates and hand-back.

#include <memory>

#include "core/UiText.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/ToolBar.h"
#include "properties/FormCanvasImages.h"
#include "properties/FormCanvasProperties.h"
#include "tests/properties/kinds/KindsTestSupport.h"

using namespace proptest;
using namespace kindstest;

namespace {

std::string Canvas(int uid, const std::string& base, const std::string& clicks, const std::string& images = "",
                   const std::string& y = "2") {
  return Object("canvas", "X=\"2\" Y=\"" + y + "\" " + clicks,
                "width=\"256\" height=\"256\" variable=\"" + base + ".bufHead\" datavariable=\"" + base + ".buf\"", uid,
                images);
}

std::string Returns(const std::string& base, bool position, bool colour) {
  std::string attrs;
  if (position) attrs += "clickxvar=\"" + base + ".touch.X\" clickyvar=\"" + base + ".touch.Y\" ";
  if (colour) attrs += "clickcol=\"" + base + ".touch.Color\"";
  return attrs;
}

// The project with its image list (long name "Pump", type "png").
std::string WithImages(const std::string& project) {
  std::string text = project;
  text.insert(text.rfind("</web>"),
              "<images>\r\n<img name=\"PUMP.PNG\" longname=\"Pump\" type=\"png\" />\r\n</images>\r\n");
  return text;
}

std::vector<std::string> ImageNames(const TGridWebElement& e) {
  std::vector<std::string> names;
  for (int i = 0; i < e.GetImageCount(); ++i) names.push_back(e.GetImageName(i));
  return names;
}

// The image list dialog, shown from the canvas dialog, answered by `act`.
int OnImageList(std::function<int(TFormImageList1&)> act) {
  return Driver::OnModal("TFormImageList1",
                         [act](TCustomForm& form) { return act(dynamic_cast<TFormImageList1&>(form)); });
}

std::unique_ptr<TStringList> Chosen(std::initializer_list<const char*> names) {
  auto list = std::make_unique<TStringList>();
  for (const char* name : names) list->Add(name);
  return list;
}

class CanvasDialog : public KindsTest {};

}  // namespace

TEST_F(CanvasDialog, AStructureTypedWithReturnPositionFillsEveryReference) {
  Open(Project(Canvas(10, "Old", "")));
  SelectObjects({0});
  Edit(0, [&](TPropertyForm& f) {
    ClickControl(f, "cbCursorPos");
    TypeInto(f, "edtStruct", "Draw");
    EXPECT_EQ(f.Get<TEdit>("edtVariableXCursor")->Text(), "Draw.touch.X");
    return PressOk(f);
  });
  const TGridWebElement& e = *Objects()[0];
  EXPECT_EQ(e.GetClickXVariable(), "Draw.touch.X");
  EXPECT_EQ(e.GetClickYVariable(), "Draw.touch.Y");
  EXPECT_EQ(e.GetVariable(), "Draw.bufHead");
  EXPECT_EQ(e.GetDataVariable(), "Draw.buf");
  EXPECT_EQ(e.GetClickColorVariable(), "");
  EXPECT_NE(designer->FToolTemplates[14].find("canvas"), std::string::npos);
}

TEST_F(CanvasDialog, UncheckingReturnColourClearsItAndKeepsTheStructures) {
  Open(Project(Canvas(10, "A", Returns("A", false, true)) + Canvas(11, "B", Returns("B", true, true), "", "40")));
  SelectObjects({0, 1});
  Edit(0, [&](TPropertyForm& f) {
    EXPECT_EQ(f.Get<TEdit>("edtStruct")->Text(), "");
    EXPECT_EQ(f.Get<TCheckBox>("cbCursorPos")->State(), cbGrayed);
    EXPECT_TRUE(f.Get<TCheckBox>("cbCursorColor")->Checked());
    ClickControl(f, "cbCursorColor");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->GetClickColorVariable(), "");
  EXPECT_EQ(Objects()[1]->GetClickColorVariable(), "");
  EXPECT_EQ(Objects()[0]->GetVariable(), "A.bufHead");
  EXPECT_EQ(Objects()[1]->GetVariable(), "B.bufHead");
  EXPECT_EQ(Objects()[1]->GetClickXVariable(), "B.touch.X");
}

// A new structure on a selection that differs in what it returns: each
// object's click references follow the new name only where it had them.
TEST_F(CanvasDialog, ANewStructureOnAMixedSelectionKeepsEachObjectsReturns) {
  Open(Project(Canvas(10, "A", Returns("A", true, false)) + Canvas(11, "B", Returns("B", false, true), "", "40")));
  SelectObjects({0, 1});
  Edit(0, [&](TPropertyForm& f) {
    EXPECT_EQ(f.Get<TCheckBox>("cbCursorPos")->State(), cbGrayed);
    EXPECT_EQ(f.Get<TCheckBox>("cbCursorColor")->State(), cbGrayed);
    TypeInto(f, "edtStruct", "New");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->GetClickXVariable(), "New.touch.X");
  EXPECT_EQ(Objects()[0]->GetClickYVariable(), "New.touch.Y");
  EXPECT_EQ(Objects()[0]->GetClickColorVariable(), "");
  EXPECT_EQ(Objects()[1]->GetClickXVariable(), "");
  EXPECT_EQ(Objects()[1]->GetClickColorVariable(), "New.touch.Color");
  for (int i : {0, 1}) EXPECT_EQ(Objects()[i]->GetDataVariable(), "New.buf") << i;
}

TEST_F(CanvasDialog, AnInvalidStructureIsShownSoAndStoredAllTheSame) {
  Open(Project(Canvas(10, "A", "")));
  SelectObjects({0});
  Edit(0, [&](TPropertyForm& f) {
    TypeInto(f, "edtStruct", "NoSuch");
    EXPECT_EQ(f.Get<TLabel>("lblStruct")->Caption(), "NoSuch : " + GetUiText(7277));
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->GetVariable(), "NoSuch.bufHead");
  EXPECT_EQ(Objects()[0]->GetDataVariable(), "NoSuch.buf");
}

TEST_F(CanvasDialog, AWidthOfZeroIsStoredAsOne) {
  Open(Project(Canvas(10, "A", "")));
  SelectObjects({0});
  Edit(0, [&](TPropertyForm& f) {
    TypeInto(f, "ceSizeX", "0");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->GetContentSize().cx, 1);
}

TEST_F(CanvasDialog, AnImageTheProjectLacksShowsTheWarningAndIsKept) {
  for (const char* image : {"Pump.png", "Gone.png"}) {
    folder.Write("Tarnwell/Images/PUMP.PNG", "png");
    Open(WithImages(Project(Canvas(10, "A", "", "<img longname=\"" + std::string(image) + "\" />"))));
    SelectObjects({0});
    Edit(0, [&](TPropertyForm& f) {
      EXPECT_EQ(f.Get<TControl>("imgWarning")->Visible(), std::string(image) == "Gone.png") << image;
      TypeInto(f, "edtHint1", "Tip");
      return PressOk(f);
    });
    EXPECT_EQ(ImageNames(*Objects()[0]), std::vector<std::string>{image});
  }
}

TEST_F(CanvasDialog, DifferentImageListsOpenEmptyAndStayEachCanvassOwn) {
  Open(Project(Canvas(10, "A", "", "<img longname=\"Pump.png\" />") +
               Canvas(11, "A", "", "<img longname=\"Valve.png\" /><img longname=\"Pump.png\" />", "40")));
  SelectObjects({0, 1});
  Edit(0, [&](TPropertyForm& f) {
    EXPECT_EQ(dynamic_cast<TFormCanvasProperties&>(f).ImageNames().Count(), 0);
    return PressOk(f);
  });
  EXPECT_EQ(ImageNames(*Objects()[0]), std::vector<std::string>{"Pump.png"});
  EXPECT_EQ(ImageNames(*Objects()[1]), (std::vector<std::string>{"Valve.png", "Pump.png"}));
}

TEST_F(CanvasDialog, TheImageListSkipsDuplicatesAndSplitsNamesAtTheLastDot) {
  folder.Write("Tarnwell/Images/PUMP.PNG", "png");
  Open(WithImages(Project(Canvas(10, "A", "", "<img longname=\"Pump.png\" />"))));
  SelectObjects({0});
  OnImageList([&](TFormImageList1& d) {
    d.pickImages = [](const std::string&) { return Chosen({"Pump.png", "My.Valve.gif", "Pump.png"}); };
    Driver::Click(d.tbAdd);
    EXPECT_EQ(d.ListView1->Items()->Count(), 2);
    EXPECT_EQ(d.ListView1->Items()->Item(1)->Caption(), "My.Valve");
    EXPECT_EQ(d.ListView1->Items()->Item(1)->SubItems()->Strings(0), ".gif");
    EXPECT_EQ(d.ListView1->Items()->Item(0)->StateIndex(), 0);
    EXPECT_EQ(d.ListView1->Items()->Item(1)->StateIndex(), 1);
    SavePicture(d, "kinds-canvas-images");
    Driver::Click(d.btnOk);
    return mrNone;
  });
  Edit(0, [&](TPropertyForm& f) {
    ClickControl(f, "btnAssignImages");
    EXPECT_TRUE(f.Get<TControl>("imgWarning")->Visible());
    return PressOk(f);
  });
  EXPECT_EQ(ImageNames(*Objects()[0]), (std::vector<std::string>{"Pump.png", "My.Valve.gif"}));
}

TEST_F(CanvasDialog, OnlyDuplicatesStillCountAsAChange) {
  Open(Project(Canvas(10, "A", "", "<img longname=\"Pump.png\" />") + Canvas(11, "A", "", "", "40")));
  SelectObjects({0, 1});
  OnImageList([&](TFormImageList1& d) {
    d.pickImages = [](const std::string&) { return Chosen({"Pump.png"}); };
    Driver::Click(d.tbAdd);
    Driver::Click(d.tbAdd);
    EXPECT_EQ(d.ListView1->Items()->Count(), 1);
    Driver::Click(d.btnOk);
    return mrNone;
  });
  Edit(0, [&](TPropertyForm& f) {
    ClickControl(f, "btnAssignImages");
    return PressOk(f);
  });
  for (int i : {0, 1}) EXPECT_EQ(ImageNames(*Objects()[i]), std::vector<std::string>{"Pump.png"}) << i;
}

TEST_F(CanvasDialog, RemovingEveryRowEmptiesTheListOnOkAndCancelKeepsIt) {
  for (bool ok : {true, false}) {
    Open(Project(Canvas(10, "A", "", "<img longname=\"Pump.png\" /><img longname=\"Valve.png\" />")));
    SelectObjects({0});
    OnImageList([&](TFormImageList1& d) {
      EXPECT_FALSE(d.tbRemove->Enabled());
      for (int i = 0; i < d.ListView1->Items()->Count(); ++i) d.ListView1->Items()->Item(i)->SetSelected(true);
      EXPECT_TRUE(d.tbRemove->Enabled());
      Driver::Click(d.tbRemove);
      EXPECT_EQ(d.ListView1->Items()->Count(), 0);
      if (!ok) return static_cast<int>(mrCancel);
      Driver::Click(d.btnOk);
      return static_cast<int>(mrNone);
    });
    Edit(0, [&](TPropertyForm& f) {
      ClickControl(f, "btnAssignImages");
      return PressOk(f);
    });
    EXPECT_EQ(ImageNames(*Objects()[0]).size(), ok ? 0u : 2u);
  }
}
