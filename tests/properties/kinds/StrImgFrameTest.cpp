// The string-image and inserted-page dialogs: mixed values that stay each
// object's own, clamps, the source switch and the link's default.

#include "grid/GridWebElement.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/win/VirtualKeys.h"
#include "properties/FormLangTextEdit.h"
#include "tests/properties/kinds/KindsTestSupport.h"

using namespace proptest;
using namespace kindstest;

namespace {

using E = TGridWebElement;

std::string StrImg(int uid, const std::string& variable, const std::string& y = "2") {
  return Object("strimg", "X=\"2\" Y=\"" + y + "\"", "width=\"32\" height=\"32\" variable=\"" + variable + "\"", uid);
}

std::string Frame(int uid, const std::string& attrs, const std::string& frameAttrs, const std::string& y = "2") {
  return Object("iframe", "X=\"2\" Y=\"" + y + "\" " + attrs, "width=\"256\" height=\"256\" " + frameAttrs, uid);
}

class StrImgDialog : public KindsTest {};
class FrameDialog : public KindsTest {};

}  // namespace

TEST_F(StrImgDialog, DifferentVariablesOpenEmptyAndStayEachObjectsOwn) {
  Open(Project(StrImg(10, "Name1") + StrImg(11, "Name2", "40")));
  SelectObjects({0, 1});
  Edit(0, [&](TPropertyForm& f) {
    EXPECT_EQ(f.Get<TEdit>("edtVariable")->Text(), "");
    TypeInto(f, "ceSizeY", "0");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->GetVariable(), "Name1");
  EXPECT_EQ(Objects()[1]->GetVariable(), "Name2");
  EXPECT_EQ(Objects()[0]->GetContentSize().cy, 1);
  EXPECT_EQ(Objects()[1]->GetContentSize().cy, 1);
  EXPECT_NE(designer->FToolTemplates[10].find("strimg"), std::string::npos);
}

TEST_F(StrImgDialog, BehaviourRows) {
  const TBehaviourRow rows[] = {
      {"edtVariable", "", [](const E& e) { return e.GetVariable() + "|" + e.FVarInfo.typeName; }, "|"},
      {"edtVariable", "Pic", [](const E& e) { return e.GetVariable(); }, "Pic"},
      {"ceSizeX", "0\t", [](const E& e) { return std::to_string(e.GetContentSize().cx); }, "1"},
      {"ceSizeX", "48", [](const E& e) { return std::to_string(e.GetContentSize().cx); }, "48"},
      {"cbActiveIn0", "click", [](const E& e) { return std::to_string(e.FVisNeg); }, "1"},
  };
  for (const TBehaviourRow& row : rows) {
    Open(Project(StrImg(10, "Name1")));
    SelectObjects({0});
    Edit(0, [&](TPropertyForm& f) {
      ApplyInput(f, row);
      return PressOk(f);
    });
    EXPECT_EQ(row.field(*Objects()[0]), row.expected) << row.control << " " << row.input;
  }
}

TEST_F(FrameDialog, AVariableAndALinkSourceOpenGrayedAndKeepTheirSources) {
  Open(Project(Frame(10, "readonly=\"false\"", "variable=\"PageVar\" href=\"a.xml\" noscroll=\"1\"") +
               Frame(11, "readonly=\"true\"", "href=\"b.xml\" noscroll=\"0\"", "40")));
  SelectObjects({0, 1});
  Edit(0, [&](TPropertyForm& f) {
    EXPECT_EQ(f.Get<TCheckBox>("cbUseVariable")->State(), cbGrayed);
    EXPECT_EQ(f.Get<TCheckBox>("cbNoScroll")->State(), cbGrayed);
    EXPECT_FALSE(f.Get<TEdit>("edtVariable")->Enabled());
    EXPECT_FALSE(f.Get<TEdit>("edtLink1")->Enabled());
    TypeInto(f, "ceSizeX", "-20");
    return PressOk(f);
  });
  EXPECT_FALSE(Objects()[0]->FReadOnly);
  EXPECT_TRUE(Objects()[1]->FReadOnly);
  EXPECT_TRUE(Objects()[0]->FNoScroll);
  EXPECT_FALSE(Objects()[1]->FNoScroll);
  EXPECT_EQ(Objects()[0]->FHref, "a.xml");
  EXPECT_EQ(Objects()[1]->FHref, "b.xml");
  EXPECT_EQ(Objects()[0]->GetContentSize().cx, 1);
  EXPECT_EQ(Objects()[1]->GetContentSize().cx, 1);
}

TEST_F(FrameDialog, BehaviourRows) {
  const TBehaviourRow rows[] = {
      {"edtLink1", "", [](const E& e) { return e.FHref; }, "index.xml"},
      {"cbUseVariable", "click",
       [](const E& e) { return std::to_string(e.FReadOnly) + "|" + e.GetVariable() + "|" + e.FHref; },
       "1|PageVar|a.xml"},
      {"cbNoScroll", "click", [](const E& e) { return std::to_string(e.FNoScroll); }, "1"},
      {"ceSizeY", "-20", [](const E& e) { return std::to_string(e.GetContentSize().cy); }, "1"},
      {"ceOffX", "-4\t", [](const E& e) { return std::to_string(e.GetPosition().x); }, "1"},
  };
  for (const TBehaviourRow& row : rows) {
    // The link row needs the link controls: that object's source is the link.
    const bool link = std::string(row.control) == "edtLink1";
    Open(Project(Frame(10, link ? "readonly=\"true\"" : "readonly=\"false\"",
                       "variable=\"PageVar\" href=\"a.xml\" noscroll=\"0\"")));
    SelectObjects({0});
    Edit(0, [&](TPropertyForm& f) {
      ApplyInput(f, row);
      return PressOk(f);
    });
    EXPECT_EQ(row.field(*Objects()[0]), row.expected) << row.control << " " << row.input;
  }
  EXPECT_NE(designer->FToolTemplates[15].find("iframe"), std::string::npos);
}

// In a multi-language project the caption and tooltip are edited through
// their language buttons; a caption emptied there is stored as "-".
TEST_F(FrameDialog, ACaptionEmptiedInTheLanguageEditorBecomesADash) {
  Open(Project(Frame(10, "caption=\"Page\" readonly=\"false\"", "href=\"a.xml\" noscroll=\"0\""), {9, 7}));
  SelectObjects({0});
  Driver::OnModal("TFormLangTextEdit", [&](TCustomForm& form) {
    auto& editor = dynamic_cast<TFormLangTextEdit&>(form);
    TEdit* text = editor.rows[0]->edtUserText;
    Driver::Focus(text);
    text->SelectAll();
    Driver::TypeText("x");
    Driver::PressKey(VK_BACK);
    Driver::Click(editor.Button1);
    return mrNone;
  });
  Edit(0, [&](TPropertyForm& f) {
    EXPECT_TRUE(f.Get<TControl>("btLangEdit1")->Visible());
    EXPECT_TRUE(f.Get<TControl>("lblLangHint")->Visible());
    ClickControl(f, "btLangEdit1");
    EXPECT_EQ(f.Get<TEdit>("edtCaption1")->Text(), "");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->GetCaption(), "-");
}

TEST_F(FrameDialog, ASingleLanguageProjectHidesTheLanguageButtonsAndLabels) {
  Open(Project(Frame(10, "readonly=\"false\"", "href=\"a.xml\"")));
  SelectObjects({0});
  Edit(0, [&](TPropertyForm& f) {
    for (const char* name : {"btLangEdit1", "btLangHint1", "lblLangEdit", "lblLangHint"})
      EXPECT_FALSE(f.Get<TControl>(name)->Visible()) << name;
    return mrCancel;
  });
}
