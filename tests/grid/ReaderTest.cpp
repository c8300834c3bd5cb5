// The reader's own rules: positions, kinds, attribute conversions and their
// order, the read-only and dynamic rules, "/LINVAR", the Uid counter, texts in
// the editor's language, and objects that cannot be built.

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/win/MessageBox.h"

#include "grid/ScrollPositions.h"
#include "grid/VariableInfo.h"
#include "tests/grid/GridTestSupport.h"

using namespace gridtest;

namespace {

std::string Obj(const std::string& attrs, const std::string& kind) {
  return "<object " + attrs + ">" + kind + "</object>";
}

}  // namespace

TEST(Reader, EmptyContainersCreateNothing) {
  TDesignerFixture f;
  EXPECT_TRUE(LoadPage(f, "<page></page>").empty());
  EXPECT_TRUE(LoadPage(f, "<page><group /><objects><label /></objects></page>").empty());
  f.designer()->LoadObjects(nullptr, f.designer()->sbDesign1);
  EXPECT_TRUE(f.Elements().empty());
  EXPECT_TRUE(f.designer()->FLoadFailures.empty());
}

// An object whose kind this designer does not know (one from a newer version,
// or one without a kind element) is kept as it was: a hidden stand-in writes
// it back unchanged, and the user is told.
TEST(Reader, ObjectsOfUnknownKindsAreKeptUnchanged) {
  const struct {
    const char* object;
    const char* reason;
  } cases[] = {
      {"<object caption=\"G\" X=\"3\" needle=\"red\"><gauge variable=\"Speed\" max=\"9\"><scale step=\"5\" />"
       "</gauge></object>",
       "unknown kind \"gauge\""},
      {"<object X=\"2\"><lang><caption code=\"1033\">Texts only</caption></lang></object>", "no kind element"},
      {"<object Uid=\"4\" />", "no kind element"},
      {"<object><lang /><slider></slider><extra /></object>", "unknown kind \"slider\""},
  };
  for (const auto& c : cases) {
    TDesignerFixture f;
    std::string shown;
    const int handler = AddMessageBoxHandler("", [&](const MessageBoxRecord& box) {
      shown = box.text;
      return 0;
    });
    const std::vector<TGridWebElement*> all = LoadPage(f, std::string("<page>") + c.object + "</page>");
    RemoveMessageBoxHandler(handler);
    ASSERT_EQ(all.size(), 1u) << c.object;
    EXPECT_TRUE(all[0]->IsUnreadNode());
    EXPECT_FALSE(all[0]->Visible());
    EXPECT_FALSE(all[0]->CanSelect());
    const std::string failure = std::string("Object 1: ") + c.reason;
    EXPECT_EQ(f.designer()->FLoadFailures, std::vector<std::string>{failure});
    EXPECT_NE(shown.find(failure), std::string::npos) << shown;
    TParsed in(std::string("<Wrapper>") + c.object + "</Wrapper>");
    EXPECT_EQ(Written(all[0]), WriteTree(in.root->firstChild)) << c.object;
  }
}

TEST(Reader, LabelsPicturesAndCamerasReadNoVariable) {
  TDesignerFixture f;
  for (const std::string kind : {"label", "picture", "camera"}) {
    TGridWebElement* e = LoadOne(f, Obj("", "<" + kind + " variable=\"Speed\" type=\"INT\" />"));
    ASSERT_NE(e, nullptr) << kind;
    EXPECT_EQ(e->GetVariable(), "") << kind;
    EXPECT_EQ(e->FVarInfo.typeName, "") << kind;
    EXPECT_EQ(Written(e).find("variable"), std::string::npos) << kind;
  }
  // A variable that something set on a label is written with its type.
  TGridWebElement* label = LoadOne(f, Obj("", "<label href=\"P\" />"));
  label->SetVariable("Speed");
  label->ResolveVariables();
  EXPECT_NE(Written(label).find("<label variable=\"Speed\" type=\"INT\" href=\"P\" />"), std::string::npos);
}

TEST(Reader, CellsAssignAndOffsetsAdd) {
  TDesignerFixture f;
  f.designer()->FUnitPixels = 4;
  TGridWebElement* e = LoadOne(f, Obj("X=\"3\" xoff=\"5\" Y=\"2\" yoff=\"1\"", "<label />"));
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->GetPosition(), (TPoint{22, 10}));
  EXPECT_EQ(e->Left(), 21 * 4);
  e = LoadOne(f, Obj("xoff=\"5\" X=\"3\" yoff=\"1\" Y=\"2\"", "<label />"));
  EXPECT_EQ(e->GetPosition(), (TPoint{17, 9}));
  e = LoadOne(f, Obj("xoff=\"2\" yoff=\"3\"", "<label />"));
  EXPECT_EQ(e->GetPosition(), (TPoint{2, 3}));
  e = LoadOne(f, Obj("x=\"3\" X=\"bad\"", "<label />"));  // lowercase ignored, bad number is 0
  EXPECT_EQ(e->GetPosition(), (TPoint{-7, 0}));
  EXPECT_EQ(e->Left(), 0);  // never placed left of the surface
}

TEST(Reader, PositionsBelowOneReadBackUnchanged) {
  TDesignerFixture f;
  TGridWebElement* e = LoadOne(f, Obj("xoff=\"0\" yoff=\"0\"", "<label />"));
  ASSERT_EQ(e->GetPosition(), (TPoint{0, 0}));
  const std::string text = Written(e);
  EXPECT_NE(text.find("X=\"1\" Y=\"1\" xoff=\"-1\" yoff=\"-1\""), std::string::npos);
  auto all = LoadPage(f, "<page>" + text + "</page>");
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0]->GetPosition(), (TPoint{0, 0}));
}

TEST(Reader, SizeOfEditAndDropDownIsAtLeastOneButLabelSizeIsTheFont) {
  TDesignerFixture f;
  EXPECT_EQ(LoadOne(f, Obj("", "<edit size=\"0\" />"))->FSize, 1);
  EXPECT_EQ(LoadOne(f, Obj("", "<dropdown size=\"-4\" />"))->FSize, 1);
  EXPECT_EQ(LoadOne(f, Obj("", "<edit size=\"x\" />"))->FSize, 3);
  EXPECT_EQ(LoadOne(f, Obj("", "<postfile />"))->FSize, 23);
  TGridWebElement* label = LoadOne(f, Obj("", "<label size=\"-4\" />"));
  EXPECT_EQ(label->FFontSize, -4);
  EXPECT_EQ(label->FSize, 3);
  EXPECT_EQ(LoadOne(f, Obj("", "<label size=\"0\" />"))->FFontSize, 0);
}

TEST(Reader, OnlyGlobalFalseMakesTheEditLocal) {
  TDesignerFixture f;
  TFormDesign1* d = f.designer();
  for (const char* value : {"global=\"true\"", "global=\"False\"", ""}) {
    TGridWebElement* e = LoadOne(f, Obj("", std::string("<edit ") + value + " />"));
    EXPECT_EQ(e->Kind(), wkEdit) << value;
    EXPECT_TRUE(e->OnDblClick == TNotifyEvent(d, &TFormDesign1::EditEditObject));
  }
  TGridWebElement* e = LoadOne(f, Obj("", "<edit global=\"false\" />"));
  EXPECT_EQ(e->Kind(), wkEditLocal);
  EXPECT_TRUE(e->OnDblClick == TNotifyEvent(d, &TFormDesign1::EditLocalEditObject));
  EXPECT_NE(Written(e).find("global=\"false\""), std::string::npos);
}

TEST(Reader, GlobalOfImageAndDropDownIsAFlag) {
  TDesignerFixture f;
  EXPECT_TRUE(LoadOne(f, Obj("", "<image global=\"true\" />"))->FGlobal);
  EXPECT_FALSE(LoadOne(f, Obj("", "<image global=\"1\" />"))->FGlobal);
  EXPECT_TRUE(LoadOne(f, Obj("", "<dropdown global=\"true\" />"))->FGlobal);
  EXPECT_FALSE(LoadOne(f, Obj("", "<label global=\"true\" />"))->FGlobal);
}

TEST(Reader, IFrameIsReadOnlyUnlessItHasAVariable) {
  TDesignerFixture f;
  EXPECT_TRUE(LoadOne(f, Obj("readonly=\"false\"", "<iframe></iframe>"))->FReadOnly);
  EXPECT_FALSE(LoadOne(f, Obj("readonly=\"false\"", "<iframe variable=\"Message\"></iframe>"))->FReadOnly);
  EXPECT_TRUE(LoadOne(f, Obj("readonly=\"true\"", "<iframe variable=\"Message\"></iframe>"))->FReadOnly);
  // Without a readonly attribute the constructor's value stays.
  EXPECT_FALSE(LoadOne(f, Obj("", "<iframe></iframe>"))->FReadOnly);
  EXPECT_FALSE(LoadOne(f, Obj("readonly=\"true\"", "<label />"))->FReadOnly);
  EXPECT_TRUE(LoadOne(f, Obj("readonly=\"true\"", "<edit />"))->FReadOnly);
}

TEST(Reader, BlockWithVariableAndNoValueBecomesDynamic) {
  TDesignerFixture f;
  EXPECT_TRUE(LoadOne(f, Obj("", "<block variable=\"Level\" />"))->FDynamic);
  EXPECT_FALSE(LoadOne(f, Obj("", "<block variable=\"Level\" value=\"\" />"))->FDynamic);
  EXPECT_TRUE(LoadOne(f, Obj("", "<block variable=\"Level\" value=\"\" dynamic=\"true\" />"))->FDynamic);
  EXPECT_FALSE(LoadOne(f, Obj("", "<block />"))->FDynamic);
  TGridWebElement* colour =
      LoadOne(f, Obj("", "<block dynamic=\"true\" color=\"1\" horz=\"1\" variable=\"SysFlags\" value=\"5\" />"));
  const std::string text = Written(colour);
  EXPECT_NE(text.find("color=\"1\""), std::string::npos);
  EXPECT_EQ(text.find("horz"), std::string::npos);
  EXPECT_EQ(text.find("natv"), std::string::npos);
  EXPECT_EQ(text.find("value"), std::string::npos);
}

TEST(Reader, ObjectAttributesWinOverTheLabels) {
  TDesignerFixture f;
  TGridWebElement* e = LoadOne(f, Obj("back=\"5\" size=\"20\" strong=\"false\"",
                                      "<label back=\"7\" size=\"9\" strong=\"true\" italic=\"true\" />"));
  EXPECT_EQ(e->FBackColor, 5);
  EXPECT_EQ(e->FFontSize, 20);
  EXPECT_FALSE(e->FStrong);
  EXPECT_TRUE(e->FItalic);
  // Defaults of bad numbers.
  e = LoadOne(f, Obj("back=\"x\" front=\"\"", "<label />"));
  EXPECT_EQ(e->FBackColor, 16777215);
  EXPECT_EQ(e->FFrontColor, 0);
  EXPECT_EQ(LoadOne(f, Obj("", "<submit tabindex=\"x\" />"))->FTabIndex, -1);
  EXPECT_EQ(LoadOne(f, Obj("", "<imagebtn timeout=\"x\" />"))->FTimeout, 500);
  EXPECT_EQ(LoadOne(f, Obj("", "<camera refresh=\"x\" width=\"x\" />"))->Width(), 8);
}

TEST(Reader, TypeAttributeGivesTheTypeCodeWithoutALookup) {
  TDesignerFixture f;
  gGridVariableLookup = nullptr;  // no host: the stored types stay
  TGridWebElement* e = LoadOne(f, Obj("visvar=\"X\" vistype=\"BOOL\"", "<edit variable=\"Y\" type=\"STRING[20]\" />"));
  EXPECT_EQ(e->FVarInfo.typeName, "STRING[20]");
  EXPECT_EQ(e->FVarInfo.typeCode, 21);
  EXPECT_EQ(e->FVisInfo.typeCode, 0);
  // With a lookup the host's answer replaces what was stored.
  gGridVariableLookup = FakeLookup;
  e = LoadOne(f, Obj("", "<edit variable=\"Speed\" type=\"STRING[20]\" />"));
  EXPECT_EQ(e->FVarInfo.typeName, "INT");
  EXPECT_EQ(e->FVarInfo.typeCode, 8);
}

TEST(Reader, LinvarFlattensOnlyVariableAndVisvar) {
  TDesignerFixture f;
  gFlattenVariableNames = true;
  TGridWebElement* e =
      LoadOne(f, Obj("visvar=\"Recipes[1].active\" clickxvar=\"A.b[2]\" clickyvar=\"C.d\" clickcol=\"E[1]\"",
                     "<canvas variable=\"Canvas1.info\" datavariable=\"Canvas1.buf[0]\" />"));
  EXPECT_EQ(e->GetVisVariable(), "Recipes_1_active");
  EXPECT_EQ(e->GetVariable(), "Canvas1_info");
  EXPECT_EQ(e->GetDataVariable(), "Canvas1.buf[0]");
  EXPECT_EQ(e->GetClickXVariable(), "A.b[2]");
  EXPECT_EQ(e->GetClickYVariable(), "C.d");
  EXPECT_EQ(e->GetClickColorVariable(), "E[1]");
  gFlattenVariableNames = false;
  e = LoadOne(f, Obj("visvar=\"Recipes[1].active\"", "<edit variable=\"Recipes[1].speed\" />"));
  EXPECT_EQ(e->GetVariable(), "Recipes[1].speed");
  EXPECT_EQ(e->GetVisVariable(), "Recipes[1].active");
}

TEST(Reader, TextsAreDecodedOnceMoreButRawValuesAreNot) {
  TDesignerFixture f;
  // The parser decodes "&amp;lt;" to "&lt;"; decoded values become "<".
  TGridWebElement* e =
      LoadOne(f, Obj("caption=\"a&amp;lt;b\"", "<edit timf=\"&amp;lt;\" variable=\"v&amp;lt;\" lolim=\"&amp;lt;\" />"));
  EXPECT_EQ(e->GetCaption(), "a<b");
  EXPECT_EQ(e->GetVariable(), "v<");
  EXPECT_EQ(e->FTimeFormat, "&lt;");
  EXPECT_EQ(e->FLoLimit, "&lt;");
  EXPECT_TRUE(e->FLimits);
}

TEST(Reader, UidCounterAdvancesForEveryObjectWithoutAValidUid) {
  TDesignerFixture f;
  f.designer()->Document().SetUidCounter(40);
  auto all = LoadPage(f, "<page>" + Obj("", "<label />") + Obj("Uid=\"7\"", "<label />") +
                             Obj("Uid=\"x7\"", "<label />") + Obj("", "<label />") + "</page>");
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[0]->FUid, 40);
  EXPECT_EQ(all[1]->FUid, 7);
  EXPECT_EQ(all[2]->FUid, 41);
  EXPECT_EQ(all[3]->FUid, 42);
  EXPECT_EQ(f.designer()->Document().UidCounter(), 43);
}

TEST(Reader, EditorLanguageTexts) {
  TDesignerFixture f;
  // Language mutations on and a lang child without the editor's caption: empty.
  TGridWebElement* e =
      LoadOne(f, Obj("caption=\"Plain\" hint=\"H\"",
                     "<lang><caption code=\"1029\">Cz</caption><hint code=\"1033\">En</hint></lang><label />"));
  EXPECT_EQ(e->GetCaption(), "");
  EXPECT_EQ(e->Hint, "En");
  // Without a lang child the attributes stay.
  e = LoadOne(f, Obj("caption=\"Plain\"", "<label />"));
  EXPECT_EQ(e->GetCaption(), "Plain");
  // An image without optcap gets no language text for it.
  e = LoadOne(f, Obj("", "<lang><optcap code=\"1033\">Second</optcap></lang><image />"));
  EXPECT_EQ(e->GetOptCaption(), "");
  e = LoadOne(f, Obj("", "<lang><optcap code=\"1033\">Second</optcap></lang><image optcap=\"x\" />"));
  EXPECT_EQ(e->GetOptCaption(), "Second");
  // Mutations off: the lang child is kept but not used.
  f.designer()->FLangMutations = false;
  e = LoadOne(f, Obj("caption=\"Plain\"", "<lang><caption code=\"1033\">En</caption></lang><label />"));
  EXPECT_EQ(e->GetCaption(), "Plain");
  EXPECT_EQ(Written(e, false).find("<lang>"), std::string::npos);
  EXPECT_NE(Written(e, true).find("<lang>"), std::string::npos);
}

TEST(Reader, DropDownOptionsInTheEditorsLanguage) {
  TDesignerFixture f;
  const std::string text = Obj("",
                               "<lang><options code=\"1029\"><option>Jedna</option></options>"
                               "<options code=\"1033\"><option>One</option><option>Two</option></options></lang>"
                               "<dropdown><option value=\"1\">Uno</option><option value=\"2\">Due</option></dropdown>");
  TGridWebElement* e = LoadOne(f, text);
  ASSERT_EQ(e->FOptions.Count(), 2);
  EXPECT_EQ(e->FOptions.GetValue(0), "One");
  EXPECT_EQ(e->FOptions.GetValue(1), "Two");
  f.designer()->FLangMutations = false;
  e = LoadOne(f, text);
  EXPECT_EQ(e->FOptions.GetValue(0), "Uno");
  EXPECT_EQ(e->FOptions.GetKey(1), "2");
}

TEST(Reader, PictureListsTakeOnlyImgChildren) {
  TDesignerFixture f;
  TGridWebElement* e = LoadOne(f, Obj("", "<mulimg><img name=\"a\" /><note name=\"x\" /><img name=\"b\" /></mulimg>"));
  ASSERT_EQ(e->GetImageCount(), 2);
  EXPECT_EQ(e->GetImageName(0), "a");
  EXPECT_EQ(e->GetImageName(1), "b");
  e = LoadOne(f, Obj("", "<canvas><img longname=\"c\" name=\"n\" /></canvas>"));
  EXPECT_EQ(e->GetImageName(0), "c");
}

TEST(Reader, WiringToTheDesigner) {
  TDesignerFixture f;
  TFormDesign1* d = f.designer();
  d->FUnitPixels = 2;
  SetScroll(d->sbDesign1, 10, 20);
  TGridWebElement* e = LoadOne(f, Obj("X=\"2\" Y=\"2\"", "<picture />"));
  EXPECT_EQ(e->Parent(), d->sbDesign1);
  EXPECT_EQ(e->Owner(), d->sbDesign1);
  EXPECT_EQ(e->LiveModeFlag(), &d->FLiveMode);
  EXPECT_EQ(e->FGridX, &d->FGridX);
  EXPECT_EQ(e->FGridY, &d->FGridY);
  EXPECT_TRUE(e->FOnMoved == TNotifyEvent(d, &TFormDesign1::UpdateScrollExtentHandler));
  EXPECT_TRUE(e->FOnBeforeMove == TNotifyEvent(d, &TFormDesign1::ObjectBeforeMove));
  EXPECT_TRUE(e->OnDblClick == TNotifyEvent(d, &TFormDesign1::EditPictureObject));
  EXPECT_TRUE(e->ShowHint());
  EXPECT_EQ(e->Left(), (9 - 1) * 2 - 10);
  EXPECT_EQ(e->Top(), (9 - 1) * 2 - 20);
}

TEST(Reader, TwoKindChildrenLeaveOnlyTheLastObject) {
  TDesignerFixture f;
  auto all = LoadPage(f, "<page>" + Obj("", "<label /><edit /><submit />") + "</page>");
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0]->Kind(), wkSubmit);
}

namespace {
void ThrowingLookup(const std::string& name, TPinVariable& record) {
  if (name == "Broken") throw std::runtime_error("lookup failed");
  FakeLookup(name, record);
}
}  // namespace

TEST(Reader, AnObjectThatCannotBeBuiltIsKeptAndTheRestIsRead) {
  TDesignerFixture f;
  gGridVariableLookup = ThrowingLookup;
  const std::string bad =
      Obj("caption=\"odd\" X=\"4\" unknown=\"kept\"", "<edit variable=\"Broken\" /><extra a=\"1\" />");
  const std::string page = "<page>" + Obj("Uid=\"1\"", "<label />") + bad + Obj("Uid=\"3\"", "<submit />") + "</page>";
  std::string shown;
  const int handler = AddMessageBoxHandler("", [&](const MessageBoxRecord& box) {
    shown = box.text;
    return 0;
  });
  auto all = LoadPage(f, page);
  RemoveMessageBoxHandler(handler);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0]->Kind(), wkLabel);
  EXPECT_TRUE(all[1]->IsUnreadNode());
  EXPECT_FALSE(all[1]->Visible());
  EXPECT_FALSE(all[1]->CanSelect());
  EXPECT_EQ(all[2]->Kind(), wkSubmit);
  ASSERT_EQ(f.designer()->FLoadFailures.size(), 1u);
  EXPECT_NE(f.designer()->FLoadFailures[0].find("lookup failed"), std::string::npos);
  EXPECT_NE(shown.find("lookup failed"), std::string::npos);
  // The page is written back with the unread object unchanged, in its place.
  TParsed in("<x>" + bad + "</x>");
  TParsed out(page);
  TmyXmlNode* p = out.root->FindChild("page");
  p->DeleteChildrenByName("object");
  for (TGridWebElement* e : f.Elements()) e->SaveToXml(p, true);
  auto untabbed = [](std::string t) {
    std::erase(t, '\t');
    return t;
  };
  const std::string written = WriteTree(out.root.get());
  EXPECT_NE(untabbed(written).find(untabbed(WriteTree(in.root->firstChild))), std::string::npos);
  EXPECT_NE(written.find("unknown=\"kept\""), std::string::npos);
  EXPECT_NE(written.find("<extra a=\"1\" />"), std::string::npos);
  EXPECT_LT(written.find("Uid=\"1\""), written.find("unknown=\"kept\""));
  EXPECT_LT(written.find("unknown=\"kept\""), written.find("Uid=\"3\""));
}

// Numbers that are no 32-bit integers take their attribute's default;
// positions are summed in 64 bits and clamped to the int range, and an object
// at such a position snaps to the grid and writes back without overflowing.
TEST(Reader, ExtremeNumbersAreClampedOrTakeTheirDefaults) {
  constexpr int kCounter = 77;
  const struct {
    const char* text;
    int position;  // X, xoff, Y and yoff all of the text
    int snapped;   // on the designer's grid of 5
    int number;    // level, layer and precision
    int fontSize;
    int tabIndex;
    int fieldSize;
    int uid;
    int extent;      // a block's width and height
    int zoomedLeft;  // a block at X of the text, zoomed from 8 to 3 pixels a unit
  } cases[] = {
      {"2147483647", INT32_MAX, 2147483646, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX,
       INT32_MAX / 8 * 3},
      {"-2147483648", INT32_MIN, -2147483644, INT32_MIN, INT32_MIN, INT32_MIN, 1, INT32_MIN, INT32_MIN, 0},
      {"-1", -16, -9, -1, -1, -1, 1, -1, -1, 0},
      {"0", -7, -4, 0, 0, 0, 1, 0, 0, 0},
      {"2147483648", -7, -4, 0, 13, -1, 3, kCounter, 8, 0},
      {"99999999999", -7, -4, 0, 13, -1, 3, kCounter, 8, 0},
      {"1e9", -7, -4, 0, 13, -1, 3, kCounter, 8, 0},
      {" 5", -7, -4, 0, 13, -1, 3, kCounter, 8, 0},
      {"0x10", -7, -4, 0, 13, -1, 3, kCounter, 8, 0},
  };
  for (const auto& c : cases) {
    TDesignerFixture f;
    f.designer()->Document().SetUidCounter(kCounter);
    const std::string a = std::string("\"") + c.text + "\"";
    TGridWebElement* e = LoadOne(f, Obj("X=" + a + " xoff=" + a + " Y=" + a + " yoff=" + a + " size=" + a +
                                            " layer=" + a + " level=" + a + " Uid=" + a,
                                        "<edit size=" + a + " prec=" + a + " tabindex=" + a + " />"));
    ASSERT_NE(e, nullptr) << c.text;
    EXPECT_EQ(e->GetPosition(), (TPoint{c.position, c.position})) << c.text;
    EXPECT_EQ(e->FFontSize, c.fontSize) << c.text;
    EXPECT_EQ(e->FLevel, c.number) << c.text;
    EXPECT_EQ(e->FLayer, c.number) << c.text;
    EXPECT_EQ(e->FPrecision, c.number) << c.text;
    EXPECT_EQ(e->FTabIndex, c.tabIndex) << c.text;
    EXPECT_EQ(e->FSize, c.fieldSize) << c.text;
    EXPECT_EQ(e->FUid, c.uid) << c.text;
    EXPECT_EQ(e->SnapToGrid(), (TPoint{c.snapped, c.snapped})) << c.text;
    const std::vector<TGridWebElement*> again = LoadPage(f, "<page>" + Written(e) + "</page>");
    ASSERT_EQ(again.size(), 1u) << c.text;
    EXPECT_EQ(again[0]->GetPosition(), (TPoint{c.snapped, c.snapped})) << c.text;

    TGridWebElement* block = LoadOne(f, Obj("X=" + a, "<block width=" + a + " height=" + a + " />"));
    ASSERT_NE(block, nullptr) << c.text;
    EXPECT_EQ(block->GetContentSize(), (TSize{c.extent, c.extent})) << c.text;
    const std::string extent = std::to_string(c.extent);
    EXPECT_NE(Written(block).find("width=\"" + extent + "\" height=\"" + extent + "\""), std::string::npos) << c.text;
    block->SetZoom(3);
    EXPECT_EQ(block->Left(), c.zoomedLeft) << c.text;
  }
}
