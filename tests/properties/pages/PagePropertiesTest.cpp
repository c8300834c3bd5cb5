// The page properties from the page tree and the design surface: the file
// name rule, taken names, the attributes written back in their order, the
// default page, the refresh pause, and the settings common to a group's pages.

#include "core/UiText.h"
#include "core/XmlNode.h"
#include "designer/ProjectDocument.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/Shape.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Resources.h"
#include "properties/FormPageProperties.h"
#include "properties/MyEdit.h"
#include "tests/properties/pages/PagesTestSupport.h"
#include "tests/support/UiLanguages.h"

using namespace pagetest;
using proptest::ClickControl;
using proptest::PressOk;
using proptest::PressTab;
using proptest::TypeInto;

namespace {

class PageDialog : public PagesTest {
 protected:
  // Edits page `index` of group "G" with `act`; answers its attributes.
  std::string EditPage(int index, const std::function<int(TFormPageProperties&)>& act) {
    EXPECT_TRUE(EditNode(PageNode(0, index), "TFormPageProperties",
                         [&](TPropertyForm& f) { return act(dynamic_cast<TFormPageProperties&>(f)); }));
    return Attrs(Page(index));
  }
  TmyXmlNode* Page(int index) { return ElementOf(PageNode(0, index)); }
};

TEST(PageFileName, TheStemRule) {
  struct Row {
    const char* typed;
    const char* stem;
  };
  const Row rows[] = {
      {"page 1.xml", "PAGE_1"},
      {"longername12", "LONGERNA"},
      {"  lead", "LEAD"},
      {"a;b\\c/d", "A_B_C_D"},
      {"x:y*z<q", "X_Y_Z_Q"},
      {"a\"b>c|d", "A_B_C_D"},
      {"[ab]", "_AB_"},
      {"a~b\x80", "A_B_"},
      {".xml", ""},
      {"", ""},
      {"ab.cd.ef", "AB"},
      {"abcdefgh.x", "ABCDEFGH"},
  };
  for (const Row& row : rows) EXPECT_EQ(TFormPageProperties::FileNameStem(row.typed), row.stem) << row.typed;
}

// The page keeps its own `Uid`, written last: the texts for translation find
// pages by it.
TEST_F(PageDialog, OkWritesTheAttributesInTheTableOrder) {
  Open(Project("",
               " notification=\"true\" jsonmap=\"true\" ucid=\"5\" Uid=\"2\" other=\"1\" level=\"3\" "
               "bgcolor=\"255\" hidden=\"true\" repeat=\"true\" ajax=\"true\" pause=\"500\""));
  EXPECT_EQ(EditPage(0, [](TFormPageProperties& f) { return PressOk(f); }),
            "notification=true caption=P name=P.XML background= bgcolor=255 repeat=true hidden=true jsonmap=true "
            "ajax=true pause=500 level=3 Uid=2");
  EXPECT_TRUE(designer->Document().Modified());
}

TEST_F(PageDialog, UncheckedOptionsWriteFalseOrNothing) {
  Open(Project("", " notification=\"true\" jsonmap=\"true\" ajax=\"true\""));
  EXPECT_EQ(EditPage(0,
                     [](TFormPageProperties& f) {
                       ClickControl(f, "cbNotification1");
                       f.GenerateJsonMap1->Click();
                       ClickControl(f, "cbAjax");
                       EXPECT_FALSE(f.Get<TmyEdit>("csRefresh1")->Enabled());
                       return PressOk(f);
                     }),
            "caption=P name=P.XML background= bgcolor=16777215 repeat=false hidden=false ajax=false pause=1000 "
            "level=0 Uid=501");
}

TEST_F(PageDialog, TypedFileNamesFollowTheRule) {
  struct Row {
    const char* name;
    std::function<void(TFormPageProperties&)> act;
    const char* stored;
  };
  const Row rows[] = {
      {"pasted with space and extension",
       [](TFormPageProperties& f) { f.Get<TEdit>("edtFileName1")->SetText("page 1.xml"); }, "PAGE_1.XML"},
      {"typed longer than 8", [](TFormPageProperties& f) { TypeInto(f, "edtFileName1", "longname12"); },
       "LONGNAME.XML"},
      {"empty takes the next number", [](TFormPageProperties& f) { TypeInto(f, "edtFileName1", ""); }, "PAGE12.XML"},
  };
  for (const Row& row : rows) {
    Open(Project(""));
    EditPage(0, [&](TFormPageProperties& f) {
      row.act(f);
      return PressOk(f);
    });
    EXPECT_EQ(Page(0)->GetAttr("name"), row.stored) << row.name;
  }
}

TEST_F(PageDialog, AnotherPagesNameAsksAndNoKeepsTheDialogOpen) {
  Open(Project(""));
  Driver::AnswerMessageBox("Page name already exists", IDNO);
  std::string before;
  EditPage(0, [&](TFormPageProperties& f) {
    before = Attrs(Page(0));
    TypeInto(f, "edtFileName1", "start");
    PressOk(f);
    EXPECT_EQ(f.ModalResult, mrNone);
    const auto boxes = Driver::MessageBoxes();
    EXPECT_EQ(boxes.size(), 1u);
    if (!boxes.empty()) {
      EXPECT_EQ(boxes[0].caption, "Page properties");
    }
    return mrCancel;
  });
  EXPECT_EQ(Attrs(Page(0)), before);
}

TEST_F(PageDialog, AnotherPagesNameAnsweredYesTakesANumberedName) {
  Open(Project(""));
  Driver::AnswerMessageBox("Page name already exists", IDYES);
  EditPage(0, [](TFormPageProperties& f) {
    TypeInto(f, "edtFileName1", "index");
    return PressOk(f);
  });
  EXPECT_EQ(Page(0)->GetAttr("name"), "PAGE12.XML");
}

TEST_F(PageDialog, ARenamedPageIsRenamedWhereTheProjectNamesItAndAnAlarmPageCannotBeDefault) {
  std::string project = Project("");
  const std::string grid = "<Grid Enable=\"0\" X=\"1\" Y=\"1\" />\r\n";
  project.insert(project.find(grid) + grid.size(),
                 "<alarms><alarm var=\"A\" page=\"P.XML\" /><alarm page=\"P2.XML\" /></alarms>\r\n");
  Open(project);
  TmyXmlNode* alarms = designer->Document().Web()->FindChild("alarms");
  ASSERT_NE(alarms, nullptr);
  EditPage(0, [](TFormPageProperties& f) {
    EXPECT_FALSE(f.Get<TCheckBox>("cbIndex")->Enabled());
    TypeInto(f, "edtFileName1", "moved");
    return PressOk(f);
  });
  EXPECT_EQ(Page(0)->GetAttr("name"), "MOVED.XML");
  EXPECT_EQ(alarms->firstChild->GetAttr("page"), "MOVED.XML");
  // An alarm without a variable does not hold its page back.
  EditPage(1, [](TFormPageProperties& f) {
    EXPECT_TRUE(f.Get<TCheckBox>("cbIndex")->Enabled());
    return mrCancel;
  });
}

TEST_F(PageDialog, CheckingTheDefaultBoxMovesTheMarkAndADefaultPageShowsItDisabled) {
  Open(Project(""));
  EditPage(0, [](TFormPageProperties& f) {
    EXPECT_TRUE(f.Get<TCheckBox>("cbIndex")->Enabled());
    ClickControl(f, "cbIndex");
    EXPECT_FALSE(f.Get<TCheckBox>("cbIndex")->Enabled());
    return PressOk(f);
  });
  EXPECT_EQ(Page(0)->GetAttr("default"), "true");
  EXPECT_EQ(ElementOf(PageNode(1, 0))->FindAttr("default"), nullptr);
  EditPage(0, [](TFormPageProperties& f) {
    EXPECT_TRUE(f.Get<TCheckBox>("cbIndex")->Checked());
    EXPECT_FALSE(f.Get<TCheckBox>("cbIndex")->Enabled());
    return mrCancel;
  });
}

TEST_F(PageDialog, ZeroPauseBecomesOneAndLevelsClamp) {
  Open(Project("", " ajax=\"true\""));
  EditPage(0, [](TFormPageProperties& f) {
    TypeInto(f, "csRefresh1", "0");
    PressTab();
    EXPECT_EQ(f.Get<TmyEdit>("csRefresh1")->Text(), "1");
    TypeInto(f, "seSecLevel", "12");
    PressTab();
    EXPECT_EQ(f.Get<TmyEdit>("seSecLevel")->Text(), "9");
    return PressOk(f);
  });
  EXPECT_EQ(Page(0)->GetAttr("pause"), "1");
  EXPECT_EQ(Page(0)->GetAttr("level"), "9");
}

TEST_F(PageDialog, ALockedGroupsPageShowsOnlyTheWarning) {
  Open(Project(" locked=\"1\""));
  const std::string before = Attrs(Page(0));
  EXPECT_FALSE(EditNode(PageNode(0, 0), "TFormPageProperties", [](TPropertyForm&) { return mrOk; }));
  ASSERT_EQ(Driver::MessageBoxes().size(), 1u);
  EXPECT_EQ(Driver::MessageBoxes()[0].text, "Group is locked for editing");
  EXPECT_EQ(Attrs(Page(0)), before);
}

TEST_F(PageDialog, TheSurfacesDoubleClickEditsTheShownGroupsFirstPage) {
  Open(Project(""));
  designer->tvPageList->SetSelected(GroupNode(0));
  bool shown = false;
  Driver::OnModal("TFormPageProperties", [&](TCustomForm& form) {
    shown = true;
    EXPECT_EQ(dynamic_cast<TPropertyForm&>(form).Get<TEdit>("edtCaption1")->Text(), "P");
    return mrCancel;
  });
  designer->sbDesign1DblClick(nullptr);
  EXPECT_TRUE(shown);
  EXPECT_FALSE(designer->FFromDesignSurface);
}

TEST_F(PageDialog, CommonSettingsKeepEachPagesValueForUntouchedMixedControls) {
  Open(Project("", " repeat=\"true\" bgcolor=\"255\" level=\"2\" pause=\"700\""));
  Page(1)->SetAttr("repeat", "false");
  Page(1)->SetAttr("bgcolor", "255");
  Page(1)->SetAttr("level", "4");
  designer->tvPageList->SetSelected(PageNode(0, 1));
  Driver::OnModal("TFormPageProperties", [](TCustomForm& form) {
    auto& f = dynamic_cast<TFormPageProperties&>(form);
    EXPECT_EQ(f.Get<TCheckBox>("cbRepeat")->State(), cbGrayed);
    EXPECT_EQ(f.Get<TShape>("shBack")->Brush->Style, bsSolid);
    EXPECT_EQ(f.Get<TmyEdit>("seSecLevel")->Text(), "0");
    EXPECT_EQ(f.Get<TmyEdit>("csRefresh1")->Text(), "1000");
    EXPECT_EQ(f.Get<TEdit>("edtCaption1")->Text(), "");
    EXPECT_FALSE(f.Get<TEdit>("edtFileName1")->Enabled());
    EXPECT_FALSE(f.Get<TControl>("btnPlaceHolders")->Visible());
    SavePicture(f, "page-common-en");
    ClickControl(f, "cbHidden");
    return PressOk(f);
  });
  designer->GroupPageSettings1Click(nullptr);
  EXPECT_EQ(Page(0)->GetAttr("repeat"), "true");
  EXPECT_EQ(Page(1)->GetAttr("repeat"), "false");
  EXPECT_EQ(Page(0)->GetAttr("level"), "2");
  EXPECT_EQ(Page(1)->GetAttr("level"), "4");
  EXPECT_EQ(Page(0)->GetAttr("caption"), "P");
  EXPECT_EQ(Page(0)->GetAttr("hidden"), "true");
  EXPECT_EQ(Page(1)->GetAttr("hidden"), "true");
  EXPECT_EQ(Page(1)->GetAttr("name"), "P2.XML");
}

TEST_F(PageDialog, CommonSettingsCancelledChangeNothing) {
  Open(Project(""));
  designer->tvPageList->SetSelected(GroupNode(0));
  std::string before;
  Driver::OnModal("TFormPageProperties", [&](TCustomForm& form) {
    before = Attrs(Page(0)) + "|" + Attrs(Page(1));
    ClickControl(dynamic_cast<TPropertyForm&>(form), "cbHidden");
    return mrCancel;
  });
  designer->GroupPageSettings1Click(nullptr);
  EXPECT_EQ(Attrs(Page(0)) + "|" + Attrs(Page(1)), before);
}

TEST_F(PageDialog, PicturesInEveryLanguage) {
  for (const testsupport::TUiLanguage& language : testsupport::kUiLanguages) {
    ASSERT_TRUE(testsupport::SelectHostLanguage(language));
    Open(Project("", " ajax=\"true\""));
    EditPage(0, [&](TFormPageProperties& f) {
      SavePicture(f, std::string("page-") + language.code);
      EXPECT_EQ(f.Caption(), GetUiText(7028));
      return mrCancel;
    });
  }
  testsupport::SelectEnglish();
}

}  // namespace

namespace {

TEST_F(PageDialog, SizeAndPositionAreKeptInTheProjectsSettingsFile) {
  Open(Project(""));
  folder.Write("Tarnwell/Proj.webx", "[FormPageProperties]\r\nWidth=600\r\nHeight=500\r\nTop=40\r\nLeft=30\r\n");
  EditPage(0, [](TFormPageProperties& f) {
    EXPECT_EQ(f.Width(), 600);
    EXPECT_EQ(f.Height(), 500);
    f.SetWidth(640);
    return mrCancel;
  });
  const std::string stored = folder.Read("Tarnwell/Proj.webx");
  EXPECT_NE(stored.find("Width=640"), std::string::npos) << stored;
  EXPECT_NE(stored.find("Top=40"), std::string::npos) << stored;
}

}  // namespace
