// The camera and upload-field dialogs: clamps, mixed values that stay each
// object's own, the upload field's warning controls.

#include "core/UiText.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ColorDialog.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/win/VirtualKeys.h"
#include "properties/FormPostFileProperties.h"
#include "tests/properties/kinds/KindsTestSupport.h"

using namespace proptest;
using namespace kindstest;

namespace {

using E = TGridWebElement;

std::string Camera(int uid, int refresh, const std::string& y = "2") {
  return Object("camera", "X=\"2\" Y=\"" + y + "\"",
                "href=\"http://cam/a.jpg\" width=\"320\" height=\"240\" refresh=\"" + std::to_string(refresh) +
                    "\" delimiter=\"?\"",
                uid);
}

std::string Upload(int uid, const std::string& warning, const std::string& attrs = "X=\"2\" Y=\"2\"") {
  return Object("postfile", attrs, "variable=\"F\"" + (warning.empty() ? "" : " warning=\"" + warning + "\""), uid);
}

class CameraDialog : public KindsTest {};
class UploadDialog : public KindsTest {};

}  // namespace

TEST_F(CameraDialog, BehaviourRows) {
  const TBehaviourRow rows[] = {
      {"ceRefresh", "-100\t", [](const E& e) { return std::to_string(e.FSize); }, "0"},
      {"ceRefresh", "0", [](const E& e) { return std::to_string(e.FSize); }, "0"},
      {"ceRefresh", "250", [](const E& e) { return std::to_string(e.FSize); }, "250"},
      {"ceSizeX", "3", [](const E& e) { return std::to_string(e.Width()); }, "8"},
      {"ceSizeY", "100", [](const E& e) { return std::to_string(e.Height()); }, "100"},
      {"ceOffY", "-1\t", [](const E& e) { return std::to_string(e.GetPosition().y); }, "1"},
      {"edtDelimiter", "&", [](const E& e) { return e.FDelimiter; }, "&"},
      {"edtLink1", "", [](const E& e) { return e.FHref; }, ""},
      {"edtHint1", "Gate", [](const E& e) { return e.Hint; }, "Gate"},
  };
  for (const TBehaviourRow& row : rows) {
    Open(Project(Camera(10, 1000)));
    SelectObjects({0});
    Edit(0, [&](TPropertyForm& f) {
      ApplyInput(f, row);
      return PressOk(f);
    });
    EXPECT_EQ(row.field(*Objects()[0]), row.expected) << row.control << " " << row.input;
  }
}

TEST_F(CameraDialog, APositionLeftNegativeReadsZero) {
  Open(Project(Camera(10, 1000)));
  SelectObjects({0});
  Edit(0, [&](TPropertyForm& f) {
    TypeInto(f, "ceOffY", "-1");
    PressTab();
    EXPECT_EQ(f.Get<TEdit>("ceOffY")->Text(), "0");
    return mrCancel;
  });
}

TEST_F(CameraDialog, ANegativeRefreshConfirmedByEnterIsStoredAsZero) {
  Open(Project(Camera(10, 1000)));
  SelectObjects({0});
  Edit(0, [&](TPropertyForm& f) {
    TypeInto(f, "ceRefresh", "-100");
    Driver::PressKey(VK_RETURN);
    return mrNone;
  });
  EXPECT_EQ(Objects()[0]->FSize, 0);
}

TEST_F(CameraDialog, DifferentRatesOpenAtZeroAndStayUntouched) {
  Open(Project(Camera(10, 1000) + Camera(11, 500, "30")));
  SelectObjects({0, 1});
  Edit(0, [&](TPropertyForm& f) {
    EXPECT_EQ(f.Get<TEdit>("ceRefresh")->Text(), "0");
    TypeInto(f, "edtDelimiter", "#");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->FSize, 1000);
  EXPECT_EQ(Objects()[1]->FSize, 500);
  EXPECT_EQ(Objects()[1]->FDelimiter, "#");
  EXPECT_NE(designer->FToolTemplates[7].find("camera"), std::string::npos);
}

TEST_F(UploadDialog, AWarningOpensShownAndNoneStaysHiddenUntilTheBackgroundIsDoubleClicked) {
  for (bool warned : {true, false}) {
    Open(Project(Upload(10, warned ? "Really?" : "")));
    SelectObjects({0});
    Edit(0, [&](TPropertyForm& f) {
      EXPECT_EQ(f.Get<TControl>("edtWarning1")->Visible(), warned);
      EXPECT_EQ(f.ClientHeight(), warned ? 384 : 340);
      if (warned) {
        EXPECT_TRUE(f.Get<TCheckBox>("cbWarning1")->Checked());
        EXPECT_EQ(f.Get<TEdit>("edtWarning1")->Text(), "Really?");
        return mrCancel;
      }
      Driver::DoubleClick(&f, 5, f.ClientHeight() - 5);
      EXPECT_TRUE(f.Get<TControl>("edtWarning1")->Visible());
      ClickControl(f, "cbWarning1");
      TypeInto(f, "edtWarning1", "Overwrite?");
      return PressOk(f);
    });
    EXPECT_EQ(Objects()[0]->GetOptCaption(), warned ? "Really?" : "Overwrite?");
  }
}

TEST_F(UploadDialog, OneWithAndOneWithoutWarningShowsTheBoxGrayedAndKeepsBoth) {
  Open(Project(Upload(10, "Really?") + Upload(11, "", "X=\"2\" Y=\"30\"")));
  SelectObjects({0, 1});
  Edit(0, [&](TPropertyForm& f) {
    EXPECT_TRUE(f.Get<TControl>("edtWarning1")->Visible());
    EXPECT_EQ(f.Get<TEdit>("edtWarning1")->Text(), "");
    EXPECT_EQ(f.Get<TCheckBox>("cbWarning1")->State(), cbGrayed);
    TypeInto(f, "edtHint1", "Upload");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->GetOptCaption(), "Really?");
  EXPECT_EQ(Objects()[1]->GetOptCaption(), "");
  EXPECT_EQ(Objects()[1]->Hint, "Upload");
  EXPECT_EQ(ObjectXml(1).find("warning="), std::string::npos) << ObjectXml(1);
}

TEST_F(UploadDialog, UncheckingTheWarningRemovesIt) {
  Open(Project(Upload(10, "Really?")));
  SelectObjects({0});
  Edit(0, [&](TPropertyForm& f) {
    ClickControl(f, "cbWarning1");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->GetOptCaption(), "");
  EXPECT_EQ(ObjectXml(0).find("warning="), std::string::npos) << ObjectXml(0);
}

TEST_F(UploadDialog, ABackgroundColourUnchecksTransparent) {
  Open(Project(Upload(10, "", "X=\"2\" Y=\"2\" transparent=\"true\"")));
  SelectObjects({0});
  Driver::OnDialog("TColorDialog", [](TCommonDialog& d) {
    dynamic_cast<TColorDialog&>(d).Color = 0x224466;
    return true;
  });
  Edit(0, [&](TPropertyForm& f) {
    EXPECT_TRUE(f.Get<TCheckBox>("cbTransparent")->Checked());
    ClickControl(f, "shBack");
    EXPECT_FALSE(f.Get<TCheckBox>("cbTransparent")->Checked());
    return PressOk(f);
  });
  EXPECT_FALSE(Objects()[0]->FTransparent);
  EXPECT_EQ(Objects()[0]->FBackColor, 0x224466);
  EXPECT_NE(ObjectXml(0).find("transparent=\"false\""), std::string::npos) << ObjectXml(0);
  EXPECT_NE(designer->FToolTemplates[1].find("postfile"), std::string::npos);
}

// A press on a swatch opens the colour dialog; the release opens nothing more.
TEST_F(UploadDialog, APressOnASwatchOpensTheColourDialog) {
  Open(Project(Upload(10, "")));
  SelectObjects({0});
  int opened = 0;
  Driver::OnDialog("TColorDialog", [&opened](TCommonDialog& d) {
    dynamic_cast<TColorDialog&>(d).Color = 0x112233;
    return ++opened > 0;
  });
  Edit(0, [&](TPropertyForm& f) {
    Driver::MouseDown(f.Get<TControl>("shFront"), 5, 5);
    EXPECT_EQ(opened, 1);
    Driver::MouseUp(f.Get<TControl>("shFront"), 5, 5);
    return PressOk(f);
  });
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(Objects()[0]->FFrontColor, 0x112233);
}
