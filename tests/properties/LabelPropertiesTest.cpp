// The label dialog through the bridge: lock guard, fill and mixed states,
// write-back of what the user changed only, positions, links, the tool
// template and the texts per language.

#include "core/XmlNode.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Bevel.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ColorDialog.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/MenuLevel.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/PngWriter.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/Shape.h"
#include "platform/win/MessageBox.h"
#include "platform/win/VirtualKeys.h"
#include "properties/FormLangTextEdit.h"
#include "properties/MyEdit.h"
#include "tests/properties/PropertiesTestSupport.h"

using namespace proptest;

namespace {

const std::string kTwoLabels =
    "<object caption=\"A\" hint=\"tipA\" X=\"3\" Y=\"4\" size=\"12\" front=\"255\" visvar=\"Bit1\" Uid=\"10\">"
    "<label variable=\"V1\" /></object>\r\n"
    "<object caption=\"B\" hint=\"tipB\" X=\"7\" Y=\"9\" size=\"16\" front=\"255\" visvar=\"Bit2\" Uid=\"11\">"
    "<label variable=\"V2\" /></object>\r\n"
    "<object caption=\"C\" X=\"5\" Y=\"6\" Uid=\"12\"><label /></object>\r\n";

class LabelDialog : public PropertiesTest {};

}  // namespace

TEST_F(LabelDialog, ALockedGroupShowsOnlyTheWarning) {
  Open(Project(kTwoLabels, {9}, true));
  designer->FGlobalWebData.GroupLocked = true;
  int before = UndoCount();
  designer->EditLabelObject(Objects()[0]);
  const auto boxes = Driver::MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Group is locked for editing");
  EXPECT_EQ(boxes[0].caption, "Warning");
  EXPECT_TRUE(Driver::ModalLog().empty());
  EXPECT_EQ(UndoCount(), before);
  EXPECT_FALSE(Objects()[0]->FIgnoreMouseDown);
}

TEST_F(LabelDialog, TwoLabelsShowTheirCommonValuesAndOkWithoutEditsWritesNothing) {
  Open(Project(kTwoLabels));
  SelectObjects({0, 1});
  const std::string first = ObjectXml(0), second = ObjectXml(1);
  const int before = UndoCount();
  const std::string shown = DoubleClickObject(1, [&](TPropertyForm& f) {
    EXPECT_EQ(f.Get<TmyEdit>("seSize")->Text(), "0");
    EXPECT_EQ(f.Get<TShape>("shFront")->Brush->Color, 255);
    EXPECT_EQ(f.Get<TShape>("shFront")->Brush->Style, bsSolid);
    EXPECT_EQ(f.Get<TEdit>("edtCaption1")->Text(), "");
    EXPECT_EQ(f.Get<TmyEdit>("ceOffX")->Text(), "");
    SavePicture(f, "label-two-en");
    return PressOk(f);
  });
  EXPECT_EQ(shown, "TFormLabelProperties");
  EXPECT_EQ(ObjectXml(0), first);
  EXPECT_EQ(ObjectXml(1), second);
  EXPECT_EQ(UndoCount(), before + 1);
  const std::string& templ = designer->FToolTemplates[0];
  EXPECT_NE(templ.find("<template>"), std::string::npos) << templ;
  EXPECT_NE(templ.find("caption=\"B\""), std::string::npos) << templ;
  EXPECT_NE(templ.find("visvar=\"\""), std::string::npos) << templ;
  EXPECT_EQ(templ.find("Bit2"), std::string::npos) << templ;
  // The dialog leaves the object ignoring the next press, which here is the
  // press that ends the double click; called alone, the flag stays for it.
  EXPECT_FALSE(Objects()[1]->FIgnoreMouseDown);
  const int id = Driver::OnModal("TFormLabelProperties",
                                 [](TCustomForm& form) { return PressOk(dynamic_cast<TPropertyForm&>(form)); });
  Objects()[1]->OnDblClick(Objects()[1]);
  Driver::RemoveHandler(id);
  EXPECT_TRUE(Objects()[1]->FIgnoreMouseDown);
}

// Tabbing through mixed boxes is no edit: nothing moves, no size changes.
TEST_F(LabelDialog, TabbingThroughMixedBoxesWritesNothing) {
  Open(Project(kTwoLabels));
  SelectObjects({0, 1});
  const std::string first = ObjectXml(0), second = ObjectXml(1);
  DoubleClickObject(0, [&](TPropertyForm& f) {
    for (const char* name : {"seSize", "ceOffX", "ceOffY"}) {
      Driver::Focus(f.Get<TmyEdit>(name));
      PressTab();
    }
    EXPECT_EQ(f.Get<TmyEdit>("ceOffX")->Text(), "0");
    return PressOk(f);
  });
  EXPECT_EQ(ObjectXml(0), first);
  EXPECT_EQ(ObjectXml(1), second);
}

TEST_F(LabelDialog, ANewXMovesEveryLabelAndKeepsEachY) {
  Open(Project(kTwoLabels));
  SelectObjects({0, 1, 2});
  std::vector<int> ys;
  for (TGridWebElement* e : Objects()) ys.push_back(e->GetPosition().y);
  DoubleClickObject(2, [&](TPropertyForm& f) {
    TypeInto(f, "ceOffX", "10");
    return PressOk(f);
  });
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Objects()[i]->GetPosition().x, 11) << i;
    EXPECT_EQ(Objects()[i]->GetPosition().y, ys[i]) << i;
  }
}

TEST_F(LabelDialog, ANegativeOffsetBecomesZeroWhenLeft) {
  Open(Project(kTwoLabels));
  SelectObjects({0});
  DoubleClickObject(0, [&](TPropertyForm& f) {
    TypeInto(f, "ceOffX", "-8");
    PressTab();
    EXPECT_EQ(f.Get<TmyEdit>("ceOffX")->Text(), "0");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->GetPosition().x, 1);
}

// One row an edit of the user: control, input, what the object then holds.
TEST_F(LabelDialog, EachControlWritesItsFieldOnly) {
  struct Row {
    const char* control;
    std::function<void(TPropertyForm&)> input;
    std::function<std::string(const TGridWebElement&)> field;
    std::string expected;
  };
  const Row rows[] = {
      {"edtCaption1", [](TPropertyForm& f) { TypeInto(f, "edtCaption1", "New"); },
       [](const TGridWebElement& e) { return e.GetCaption(); }, "New"},
      {"edtCaption1 emptied", [](TPropertyForm& f) { TypeInto(f, "edtCaption1", ""); },
       [](const TGridWebElement& e) { return e.GetCaption(); }, "-"},
      {"edtHint1", [](TPropertyForm& f) { TypeInto(f, "edtHint1", "Tip"); },
       [](const TGridWebElement& e) { return e.Hint; }, "Tip"},
      {"seSize", [](TPropertyForm& f) { TypeInto(f, "seSize", "20"); },
       [](const TGridWebElement& e) { return std::to_string(e.FFontSize); }, "20"},
      {"cbStrong", [](TPropertyForm& f) { ClickControl(f, "cbStrong"); },
       [](const TGridWebElement& e) { return std::to_string(e.FStrong); }, "1"},
      {"cbLink with no link",
       [](TPropertyForm& f) {
         ClickControl(f, "cbLink");
         TypeInto(f, "edtLink1", "x");
         TypeInto(f, "edtLink1", "");
       },
       [](const TGridWebElement& e) { return e.FHref; }, "index.xml"},
      {"cbLink checked, the link untouched", [](TPropertyForm& f) { ClickControl(f, "cbLink"); },
       [](const TGridWebElement& e) { return e.FHref; }, "index.xml"},
      {"edtVisVar", [](TPropertyForm& f) { TypeInto(f, "edtVisVar", "Bit9"); },
       [](const TGridWebElement& e) { return e.GetVisVariable(); }, "Bit9"},
      {"cbActiveIn0", [](TPropertyForm& f) { ClickControl(f, "cbActiveIn0"); },
       [](const TGridWebElement& e) { return std::to_string(e.FVisNeg); }, "1"},
  };
  for (const Row& row : rows) {
    Open(Project(kTwoLabels));
    SelectObjects({0, 1});
    const std::string untouched = ObjectXml(2);
    DoubleClickObject(0, [&](TPropertyForm& f) {
      row.input(f);
      return PressOk(f);
    });
    EXPECT_EQ(row.field(*Objects()[0]), row.expected) << row.control;
    EXPECT_EQ(row.field(*Objects()[1]), row.expected) << row.control;
    EXPECT_EQ(ObjectXml(2), untouched) << row.control;
    EXPECT_EQ(Objects()[0]->GetPosition().x, 17) << row.control;
    EXPECT_EQ(Objects()[1]->GetPosition().x, 49) << row.control;
  }
}

TEST_F(LabelDialog, UncheckingTheLinkRemovesItAndALabelWithoutLinkDisablesTheEdit) {
  Open(
      Project("<object caption=\"A\" X=\"3\" Y=\"4\" Uid=\"10\"><label href=\"PAGE.XML\" /></object>\r\n"
              "<object caption=\"B\" X=\"3\" Y=\"8\" Uid=\"11\"><label /></object>\r\n"));
  SelectObjects({1});
  DoubleClickObject(1, [&](TPropertyForm& f) {
    EXPECT_FALSE(f.Get<TCheckBox>("cbLink")->Checked());
    EXPECT_FALSE(f.Get<TEdit>("edtLink1")->Enabled());
    return mrCancel;
  });
  SelectObjects({0});
  DoubleClickObject(0, [&](TPropertyForm& f) {
    EXPECT_TRUE(f.Get<TEdit>("edtLink1")->Enabled());
    ClickControl(f, "cbLink");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->FHref, "");
}

TEST_F(LabelDialog, PickingABackgroundColourMakesTheLabelOpaque) {
  Open(Project("<object caption=\"A\" X=\"3\" Y=\"4\" transparent=\"true\" Uid=\"10\"><label /></object>\r\n"));
  SelectObjects({0});
  Driver::OnDialog("TColorDialog", [](TCommonDialog& d) {
    dynamic_cast<TColorDialog&>(d).Color = 0x00FF00;
    return true;
  });
  DoubleClickObject(0, [&](TPropertyForm& f) {
    EXPECT_TRUE(f.Get<TCheckBox>("cbTransparent")->Checked());
    ClickControl(f, "shBack");
    EXPECT_FALSE(f.Get<TCheckBox>("cbTransparent")->Checked());
    return PressOk(f);
  });
  EXPECT_FALSE(Objects()[0]->FTransparent);
  EXPECT_EQ(Objects()[0]->FBackColor, 0x00FF00);
}

TEST_F(LabelDialog, AChosenPageLinkIsThePageFileName) {
  Open(Project("<object caption=\"A\" X=\"3\" Y=\"4\" Uid=\"10\"><label href=\"P.XML\" /></object>\r\n"));
  SelectObjects({0});
  Driver::ChoosePopupItem("PagesPopup1", "Other|Start - main - START.XML");
  DoubleClickObject(0, [&](TPropertyForm& f) {
    ClickControl(f, "AddPage");
    EXPECT_EQ(f.Get<TEdit>("edtLink1")->Text(), "START.XML");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->FHref, "START.XML");
}

// A project of many pages, one named with a million letters: the page
// group's menu fits the screen, the long name cut, and scrolls so that the
// last page can be shown, lit and chosen.
TEST_F(LabelDialog, ThePageMenuOfManyPagesAndALongNameFitsTheScreenAndReachesTheLastPage) {
  constexpr int kPages = 3300;
  std::string many = "<group caption=\"Many\" Uid=\"600\">\r\n";
  for (int i = 0; i < kPages; ++i)
    many += "<page caption=\"" + (i == 1 ? std::string(1000000, 'l') : "Page " + std::to_string(i)) + "\" name=\"P" +
            std::to_string(i) + ".XML\" Uid=\"" + std::to_string(601 + i) + "\" />\r\n";
  std::string project =
      Project("<object caption=\"A\" X=\"3\" Y=\"4\" Uid=\"10\"><label href=\"P.XML\" /></object>\r\n");
  project.insert(project.rfind("</web>"), many + "</group>\r\n");
  Open(project);
  SelectObjects({0});
  Driver::OnPopupMenu("PagesPopup1", [&](TPopupMenu& menu) -> TMenuItem* {
    TMenuItem* group = Driver::FindMenuItem(menu.Items(), "Many");
    EXPECT_NE(group, nullptr);
    if (group == nullptr) return nullptr;
    // The level as the screen shows it.
    const TRect area = Screen->WorkAreaRect();
    TBitmap bmp;
    TMenuLevel level(group, bmp.Canvas, {static_cast<int>(area.Width()), static_cast<int>(area.Height())});
    EXPECT_EQ(level.Count(), kPages);
    EXPECT_LE(level.Width(), area.Width());
    EXPECT_LE(level.Height(), area.Height());
    EXPECT_EQ(level.Text(1).substr(level.Text(1).size() - 3), "...");
    const int last = level.Count() - 1;
    level.ShowItem(last);
    EXPECT_FALSE(level.ItemRect(last).IsEmpty());
    bmp.SetSize(level.Width(), level.Height());
    level.Paint(bmp.Canvas, last);
    EXPECT_TRUE(SaveBitmapAsPng(bmp, std::string(TARNWELL_BINARY_DIR) + "/pictures/label-page-menu-of-many-pages.png"));
    return level.Item(last);
  });
  DoubleClickObject(0, [&](TPropertyForm& f) {
    ClickControl(f, "AddPage");
    EXPECT_EQ(f.Get<TEdit>("edtLink1")->Text(), "P3299.XML");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->FHref, "P3299.XML");
}

namespace {

const std::string kLangLabels =
    "<object caption=\"One\" X=\"3\" Y=\"4\" Uid=\"10\"><lang><caption code=\"9\">One</caption>"
    "<caption code=\"7\">Eins</caption><caption code=\"5\">Jedna</caption></lang><label /></object>\r\n"
    "<object caption=\"Two\" X=\"3\" Y=\"8\" Uid=\"11\"><lang><caption code=\"9\">Two</caption>"
    "<caption code=\"7\">Zwei</caption><caption code=\"5\">Dva</caption></lang><label /></object>\r\n";

std::string LangCaption(TGridWebElement& e, int code) {
  for (TmyXmlNode* c = e.GetXmlNode()->FindChild("lang")->firstChild; c != nullptr; c = c->next)
    if (c->name == "caption" && c->GetAttr("code") == std::to_string(code)) return c->value;
  return "?";
}

}  // namespace

TEST_F(LabelDialog, TheLanguageEditorWritesOnlyTheEditedSlotOfEveryLabel) {
  Open(Project(kLangLabels, {9, 7, 5}));
  SelectObjects({0, 1});
  int editorRounds = 0;
  Driver::OnModal("TFormLangTextEdit", [&](TCustomForm& form) {
    ++editorRounds;
    auto& editor = dynamic_cast<TFormLangTextEdit&>(form);
    for (int slot = 0; slot < kLangSlots; ++slot) {
      const bool used = slot < 3;
      EXPECT_EQ(editor.rows[slot]->edtUserText->Enabled(), used) << slot;
      EXPECT_EQ(editor.rows[slot]->lblLanguage->Caption(), slot == 0   ? "English"
                                                           : slot == 1 ? "German"
                                                           : slot == 2 ? "Czech"
                                                                       : "-")
          << slot;
      EXPECT_EQ(editor.rows[slot]->bvDefault->Visible(), slot == 0) << slot;
    }
    EXPECT_EQ(editor.rows[1]->edtUserText->Text(), "");  // the labels differ in German
    PropertiesTest::SavePicture(editor, "langtextedit-en");
    Driver::Focus(editor.rows[1]->edtUserText);
    Driver::TypeText("Neu");
    Driver::Click(editor.Button1);
    return mrNone;
  });
  DoubleClickObject(0, [&](TPropertyForm& f) {
    EXPECT_TRUE(f.Get<TControl>("btLangEdit1")->Visible());
    ClickControl(f, "btLangEdit1");
    return PressOk(f);
  });
  EXPECT_EQ(editorRounds, 1);
  EXPECT_EQ(LangCaption(*Objects()[0], 7), "Neu");
  EXPECT_EQ(LangCaption(*Objects()[1], 7), "Neu");
  EXPECT_EQ(LangCaption(*Objects()[0], 5), "Jedna");
  EXPECT_EQ(LangCaption(*Objects()[1], 5), "Dva");
  EXPECT_EQ(LangCaption(*Objects()[0], 9), "One");
  EXPECT_EQ(Objects()[1]->GetCaption(), "Two");
}

TEST_F(LabelDialog, ASingleLanguageProjectHidesTheLanguageButtons) {
  Open(Project(kTwoLabels));
  SelectObjects({0});
  DoubleClickObject(0, [&](TPropertyForm& f) {
    EXPECT_FALSE(f.Get<TControl>("btLangEdit1")->Visible());
    EXPECT_FALSE(f.Get<TControl>("btLangHint1")->Visible());
    TypeInto(f, "edtCaption1", "Solo");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->GetXmlNode()->FindChild("lang"), nullptr);
  EXPECT_EQ(Objects()[0]->GetCaption(), "Solo");
}

// The background swatch compares a further label's colour only when that
// label is opaque.
TEST_F(LabelDialog, TheBackgroundSwatchComparesOnlyOpaqueLabels) {
  struct Row {
    const char* first;
    const char* second;
    TBrushStyle style;
  };
  const Row rows[] = {
      {"transparent=\"false\" back=\"255\"", "transparent=\"true\" back=\"16711680\"", bsSolid},
      {"transparent=\"true\" back=\"255\"", "transparent=\"false\" back=\"16711680\"", bsDiagCross},
      {"transparent=\"false\" back=\"255\"", "transparent=\"false\" back=\"255\"", bsSolid},
  };
  for (const Row& row : rows) {
    Open(Project(std::string("<object caption=\"A\" X=\"3\" Y=\"4\" ") + row.first +
                 " Uid=\"10\"><label /></object>\r\n<object caption=\"B\" X=\"3\" Y=\"8\" " + row.second +
                 " Uid=\"11\"><label /></object>\r\n"));
    SelectObjects({0, 1});
    DoubleClickObject(0, [&](TPropertyForm& f) {
      EXPECT_EQ(f.Get<TShape>("shBack")->Brush->Color, 255) << row.first;
      EXPECT_EQ(f.Get<TShape>("shBack")->Brush->Style, row.style) << row.first << " / " << row.second;
      return mrCancel;
    });
  }
}

// Typing a text and restoring it is still a change of that language slot;
// without an editor slot no row carries the bevel.
TEST_F(LabelDialog, ARestoredTextInTheLanguageEditorStillCounts) {
  Open(Project(kLangLabels, {9, 7, 5}));
  std::array<std::string, kLangSlots> texts{"One", "Eins", "Jedna"};
  std::array<bool, kLangSlots> changed{};
  changed[0] = true;
  Driver::OnModal("TFormLangTextEdit", [&](TCustomForm& form) {
    auto& editor = dynamic_cast<TFormLangTextEdit&>(form);
    for (int slot = 0; slot < kLangSlots; ++slot) EXPECT_FALSE(editor.rows[slot]->bvDefault->Visible()) << slot;
    Driver::Focus(editor.rows[2]->edtUserText);
    Driver::PressKey(VK_END);
    Driver::TypeText("x");
    Driver::PressKey(VK_BACK);
    Driver::Click(editor.Button1);
    return mrNone;
  });
  EXPECT_TRUE(RunLangTextEditor(designer.get(), *designer, -1, texts, changed));
  EXPECT_TRUE(changed[0]);  // set before, stays set
  EXPECT_FALSE(changed[1]);
  EXPECT_TRUE(changed[2]);
  EXPECT_EQ(texts[2], "Jedna");
}

// An object that is selected but lies on a frozen or hidden layer is neither
// read nor written.
TEST_F(LabelDialog, ObjectsOnFrozenOrHiddenLayersAreLeftAlone) {
  for (bool frozen : {true, false}) {
    Open(
        Project("<object caption=\"A\" X=\"3\" Y=\"4\" Uid=\"10\"><label /></object>\r\n"
                "<object caption=\"B\" X=\"3\" Y=\"8\" layer=\"1\" Uid=\"11\"><label /></object>\r\n"));
    SelectObjects({0, 1});
    ASSERT_TRUE(Objects()[1]->Selected());
    ASSERT_EQ(Objects()[1]->FLayer, 1);
    if (frozen)
      designer->FLayers[1].Frozen = true;
    else
      designer->FLayers[1].Visible = false;
    DoubleClickObject(0, [&](TPropertyForm& f) {
      EXPECT_EQ(f.Get<TEdit>("edtCaption1")->Text(), "A");  // B is not compared
      TypeInto(f, "edtCaption1", "New");
      return PressOk(f);
    });
    EXPECT_EQ(Objects()[0]->GetCaption(), "New") << frozen;
    EXPECT_EQ(Objects()[1]->GetCaption(), "B") << frozen;
  }
}

TEST_F(LabelDialog, AnEmptiedCaptionBecomesADashInTheEditorLanguageToo) {
  Open(Project(kLangLabels, {9, 7, 5}));
  SelectObjects({0});
  DoubleClickObject(0, [&](TPropertyForm& f) {
    TypeInto(f, "edtCaption1", "");
    return PressOk(f);
  });
  EXPECT_EQ(Objects()[0]->GetCaption(), "-");
  EXPECT_EQ(LangCaption(*Objects()[0], 9), "-");
  EXPECT_EQ(LangCaption(*Objects()[0], 7), "Eins");
}
