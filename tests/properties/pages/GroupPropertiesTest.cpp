// The group properties from the page tree: what the dialog shows of the
// group and the project, the attributes written back in their order, the
// template menu, and the change stamps of the group's pages.

#include "core/UiText.h"
#include "core/XmlNode.h"
#include "designer/ProjectDocument.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Menus.h"
#include "platform/win/Resources.h"
#include "properties/FormGroupProperties.h"
#include "properties/MyEdit.h"
#include "tests/properties/pages/PagesTestSupport.h"
#include "tests/support/UiLanguages.h"

using namespace pagetest;
using proptest::ClickControl;
using proptest::PressOk;
using proptest::PressTab;
using proptest::TypeInto;

namespace {

class GroupDialog : public PagesTest {
 protected:
  // Edits group "G" with `act`; answers the group's attributes afterwards.
  std::string EditGroup(const std::function<int(TFormGroupProperties&)>& act) {
    EXPECT_TRUE(EditNode(GroupNode(0), "TFormGroupProperties",
                         [&](TPropertyForm& f) { return act(dynamic_cast<TFormGroupProperties&>(f)); }));
    return Attrs(ElementOf(GroupNode(0)));
  }
  TmyXmlNode* Page(int index) { return ElementOf(PageNode(0, index)); }
};

// The group keeps its own `Uid`, written last: the texts for translation
// find groups by it.
TEST_F(GroupDialog, OkWritesEveryAttributeInTheTableOrderAndOnlyWhatItsRulesAllow) {
  struct Row {
    const char* name;
    std::string groupAttrs;
    std::function<void(TFormGroupProperties&)> act;
    std::string expected;
  };
  const Row rows[] = {
      {"untouched plain group", " notification=\"true\" Uid=\"1\" custom=\"x\"", [](TFormGroupProperties&) {},
       "notification=true caption=G level=0 locked=0 altdim=false notforid=false Uid=1"},
      {"own size and viewport", " altdim=\"true\" width=\"800\" height=\"600\" usetemp=\"3\" notforwww=\"true\"",
       [](TFormGroupProperties&) {},
       "caption=G level=0 locked=0 altdim=true notforid=false notforwww=true width=800 height=600 dwMode=0 "
       "useIniScale=false useMaxScale=false userScale=true iniScale=100 maxScale=100 usetemp=3 Uid=500"},
      {"level 12 clamps to 9", "",
       [](TFormGroupProperties& f) {
         TypeInto(f, "seSecLevel", "12");
         PressTab();
         EXPECT_EQ(f.Get<TmyEdit>("seSecLevel")->Text(), "9");
       },
       "caption=G level=9 locked=0 altdim=false notforid=false Uid=500"},
      {"level -3 stored as 0", "", [](TFormGroupProperties& f) { TypeInto(f, "seSecLevel", "-3"); },
       "caption=G level=0 locked=0 altdim=false notforid=false Uid=500"},
      {"empty caption and lock", "",
       [](TFormGroupProperties& f) {
         TypeInto(f, "edtCaption1", "");
         ClickControl(f, "cbLocked");
         ClickControl(f, "cbDontMakeForID");
       },
       "caption= level=0 locked=1 altdim=false notforid=true Uid=500"},
  };
  for (const Row& row : rows) {
    Open(Project(row.groupAttrs));
    EXPECT_EQ(EditGroup([&](TFormGroupProperties& f) {
                row.act(f);
                return PressOk(f);
              }),
              row.expected)
        << row.name;
  }
}

TEST_F(GroupDialog, TheTreeShowsUnnamedAndTheLockState) {
  Open(Project(""));
  EditGroup([](TFormGroupProperties& f) {
    TypeInto(f, "edtCaption1", "");
    ClickControl(f, "cbLocked");
    return PressOk(f);
  });
  EXPECT_EQ(GroupNode(0)->Text(), "Unnamed");
  EXPECT_EQ(GroupNode(0)->StateIndex(), 1);
  EXPECT_TRUE(designer->FGlobalWebData.GroupLocked);
  EXPECT_TRUE(designer->Document().Modified());
}

TEST_F(GroupDialog, AGroupWithoutViewportShowsTheProjectsMobileSettingsAndPageSize) {
  Open(Project("", "", " iniScale=\"150\" useIniScale=\"true\" useMaxScale=\"true\" width=\"1000\" height=\"700\""));
  EditGroup([](TFormGroupProperties& f) {
    EXPECT_EQ(f.Get<TmyEdit>("meInitialScale")->Text(), "150");
    EXPECT_TRUE(f.Get<TCheckBox>("cbInitialScale")->Checked());
    EXPECT_TRUE(f.Get<TCheckBox>("cbMaxScale")->Checked());
    EXPECT_EQ(f.Get<TmyEdit>("ceSizeX")->Text(), "980");
    EXPECT_FALSE(f.Get<TmyEdit>("ceSizeX")->Enabled());
    EXPECT_FALSE(f.Get<TCheckBox>("cbDontMakeForWWW")->Visible());
    return mrCancel;
  });
}

TEST_F(GroupDialog, TheGroupsOwnValuesOverrideTheProjects) {
  Open(Project(" altdim=\"true\" iniScale=\"x\" maxScale=\"70\" dwMode=\"zz\" width=\"w\"", "", " maxScale=\"150\""));
  EditGroup([](TFormGroupProperties& f) {
    EXPECT_EQ(f.Get<TmyEdit>("meInitialScale")->Text(), "100");
    EXPECT_EQ(f.Get<TmyEdit>("meMaxScale")->Text(), "70");
    EXPECT_TRUE(f.Get<TCheckBox>("cbDeviceWidthMode")->Checked());
    EXPECT_TRUE(f.Get<TmyEdit>("ceSizeX")->Enabled());
    EXPECT_TRUE(f.Get<TControl>("gbMobile")->Enabled());
    return mrCancel;
  });
}

TEST_F(GroupDialog, TemplateNumbersOutsideTheMenuCheckNoTemplate) {
  struct Row {
    const char* stored;
    int shown;
  };
  for (const Row& row : {Row{"3", 3}, Row{"9", 9}, Row{"10", 0}, Row{"-1", 0}, Row{"abc", 0}}) {
    Open(Project(std::string(" usetemp=\"") + row.stored + "\""));
    EditGroup([&](TFormGroupProperties& f) {
      EXPECT_EQ(f.GetTemplate(), row.shown) << row.stored;
      EXPECT_TRUE(f.templateItems[row.shown]->Checked()) << row.stored;
      return mrCancel;
    });
  }
}

TEST_F(GroupDialog, ChoosingATemplateInTheMenuStoresItsNumberAndNoTemplateStoresNone) {
  Open(Project(" usetemp=\"5\""));
  std::string attrs = EditGroup([](TFormGroupProperties& f) {
    f.templateItems[3]->Click();
    EXPECT_FALSE(f.templateItems[5]->Checked());
    return PressOk(f);
  });
  EXPECT_NE(attrs.find("usetemp=3"), std::string::npos) << attrs;
  attrs = EditGroup([](TFormGroupProperties& f) {
    f.templateItems[0]->Click();
    return PressOk(f);
  });
  EXPECT_EQ(attrs.find("usetemp"), std::string::npos) << attrs;
}

TEST_F(GroupDialog, SizeChangesRenewTheGroupsPageStampsOnlyWhenTheyCount) {
  struct Row {
    const char* name;
    std::string groupAttrs;
    std::function<void(TFormGroupProperties&)> act;
    bool renewed;
  };
  const Row rows[] = {
      {"nothing changed", " altdim=\"true\"", [](TFormGroupProperties&) {}, false},
      {"scale without own size", "", [](TFormGroupProperties& f) { ClickControl(f, "cbMaxScale"); }, false},
      {"device width does not count", " altdim=\"true\"",
       [](TFormGroupProperties& f) { ClickControl(f, "cbDeviceWidthMode"); }, false},
      {"own size checked", "", [](TFormGroupProperties& f) { ClickControl(f, "cbAlternativePageDim"); }, true},
      {"own size unchecked", " altdim=\"true\"",
       [](TFormGroupProperties& f) { ClickControl(f, "cbAlternativePageDim"); }, true},
      {"width changed", " altdim=\"true\"", [](TFormGroupProperties& f) { TypeInto(f, "ceSizeX", "640"); }, true},
  };
  for (const Row& row : rows) {
    Open(Project(row.groupAttrs, " ucid=\"5\""));
    designer->Document().SetModified(false);
    EditGroup([&](TFormGroupProperties& f) {
      row.act(f);
      return PressOk(f);
    });
    EXPECT_EQ(Page(1)->GetAttr("ucid") != "5", row.renewed) << row.name;
    // The other group's pages keep theirs.
    EXPECT_EQ(ElementOf(PageNode(1, 0))->GetAttr("ucid"), "5") << row.name;
    EXPECT_TRUE(designer->Document().Modified()) << row.name;
  }
}

TEST_F(GroupDialog, CancelLeavesTheGroupAsItWas) {
  Open(Project(" altdim=\"true\" Uid=\"1\" level=\"4\""));
  const std::string before = Attrs(ElementOf(GroupNode(0)));
  EXPECT_EQ(EditGroup([](TFormGroupProperties& f) {
              ClickControl(f, "cbAlternativePageDim");
              TypeInto(f, "edtCaption1", "New");
              return mrCancel;
            }),
            before);
  EXPECT_EQ(Page(1)->GetAttr("ucid"), "5");
}

TEST_F(GroupDialog, ADoubleClickOnTheBackgroundShowsTheWebServerBox) {
  Open(Project(""));
  EditGroup([](TFormGroupProperties& f) {
    f.OnDblClick(&f);
    EXPECT_TRUE(f.Get<TCheckBox>("cbDontMakeForWWW")->Visible());
    return mrCancel;
  });
}

TEST_F(GroupDialog, PicturesInEveryLanguage) {
  for (const testsupport::TUiLanguage& language : testsupport::kUiLanguages) {
    ASSERT_TRUE(testsupport::SelectHostLanguage(language));
    Open(Project(" altdim=\"true\""));
    EditGroup([&](TFormGroupProperties& f) {
      f.OnDblClick(&f);
      SavePicture(f, std::string("group-") + language.code);
      EXPECT_EQ(f.Caption(), GetUiText(7043));
      return mrCancel;
    });
  }
  testsupport::SelectEnglish();
}

}  // namespace
