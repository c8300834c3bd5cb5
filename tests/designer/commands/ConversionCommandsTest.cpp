// The object menu's kind conversions: the picture-like kinds carry their
// pictures over, the block variants set their two flags, objects of other
// kinds and objects that may not be selected stay as they are, and no undo
// step is recorded.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "designer/ObjectConversions.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ScrollBox.h"
#include "tests/designer/commands/CommandsTestSupport.h"

using namespace commandstest;

namespace {

using F = TFormDesign1;

const char* const kObjects =
    "<object X=\"1\" Y=\"1\" Uid=\"10\"><image on=\"ON.PNG\" off=\"OFF.PNG\" variable=\"A\" /></object>\r\n"
    "<object caption=\"L\" X=\"1\" Y=\"5\" Uid=\"11\"><label /></object>\r\n"
    "<object X=\"1\" Y=\"9\" Uid=\"12\"><imagebtn on=\"BON.PNG\" off=\"BOFF.PNG\" variable=\"B\" /></object>\r\n"
    "<object X=\"1\" Y=\"13\" Uid=\"13\"><mulimg variable=\"C\"><img name=\"M1.PNG\" /><img name=\"M2.PNG\" "
    "/></mulimg></object>\r\n"
    "<object X=\"1\" Y=\"17\" Uid=\"14\"><mulimg variable=\"D\"><img name=\"S1.PNG\" /></mulimg></object>\r\n"
    "<object X=\"1\" Y=\"21\" Uid=\"15\"><picture img=\"P.PNG\" /></object>\r\n"
    "<object X=\"10\" Y=\"1\" Uid=\"16\"><block width=\"5\" height=\"5\" /></object>\r\n"
    "<object X=\"10\" Y=\"5\" Uid=\"17\"><block dynamic=\"true\" width=\"5\" height=\"5\" /></object>\r\n"
    "<object X=\"10\" Y=\"9\" Uid=\"18\"><block dynamic=\"true\" color=\"1\" width=\"5\" height=\"5\" /></object>\r\n"
    "<object X=\"10\" Y=\"13\" Uid=\"19\"><imagebtn on=\"X.PNG\" off=\"Y.PNG\" value=\"7\" variable=\"E\" "
    "/></object>\r\n";

const std::vector<int> kAll = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19};

// What an object shows after a conversion: kind, off and on picture names
// (for two-state kinds and pictures), the multi-image list, the value.
std::string Describe(TGridWebElement& e) {
  std::string text = std::to_string(e.Kind());
  if (e.Kind() == wkImage || e.Kind() == wkImageBtn || e.Kind() == wkPicture)
    text += " off=" + e.GetOffImageName() + " on=" + e.GetOnImageName();
  if (e.Kind() == wkMultiImage) {
    text += " list=";
    for (int i = 0; i < e.GetImageCount(); ++i) text += (i > 0 ? "," : "") + e.GetImageName(i);
  }
  if (e.Kind() == wkImageBtn) text += " value=" + e.GetValue();
  return text;
}

class ConversionCommands : public CommandsTest {
 protected:
  TNotifyEvent Editor(void (F::*handler)(TObject*)) { return {designer.get(), handler}; }
  TNotifyEvent EditorOfKind(int kind) {
    switch (kind) {
      case wkImage: return Editor(&F::EditImageObject);
      case wkPicture: return Editor(&F::EditPictureObject);
      case wkImageBtn: return Editor(&F::EditImageBtnObject);
      case wkMultiImage: return Editor(&F::EditMultiImageObject);
      case wkLabel: return Editor(&F::EditLabelObject);
      default: return Editor(&F::EditBlockObject);
    }
  }
};

struct ConversionCase {
  const char* item;
  std::vector<std::pair<int, std::string>> expected;
};

TEST_F(ConversionCommands, PictureKindsCarryTheirPicturesOver) {
  const std::vector<ConversionCase> cases = {
      {"ToPicture1",
       {{10, "5 off=OFF.PNG on=ON.PNG"},
        {11, "0"},
        {12, "5 off=BOFF.PNG on=BON.PNG"},
        {13, "5 off=M1.PNG on="},
        {14, "5 off=S1.PNG on="},
        {15, "5 off=P.PNG on="},
        {19, "5 off=Y.PNG on=X.PNG"}}},
      {"ToImage1",
       {{10, "3 off=OFF.PNG on=ON.PNG"},
        {12, "3 off=BOFF.PNG on=BON.PNG"},
        {13, "3 off=M1.PNG on=M2.PNG"},
        {14, "3 off=S1.PNG on="},
        {15, "3 off=P.PNG on="}}},
      {"ToImageBtn1",
       {{10, "10 off=OFF.PNG on=ON.PNG value=1"},
        {12, "10 off=BOFF.PNG on=BON.PNG value=1"},
        {13, "10 off=M1.PNG on=M2.PNG value=1"},
        {15, "10 off=P.PNG on= value=1"},
        {19, "10 off=Y.PNG on=X.PNG value=7"}}},
      {"ToMulimg1",
       {{10, "8 list=OFF.PNG,ON.PNG"},
        {12, "8 list=BOFF.PNG,BON.PNG"},
        {13, "8 list=M1.PNG,M2.PNG"},
        {14, "8 list=S1.PNG"},
        {15, "8 list=P.PNG"},
        {19, "8 list=Y.PNG,X.PNG"}}},
  };
  for (const ConversionCase& c : cases) {
    SCOPED_TRACE(c.item);
    designer.reset();
    TFormDesign1& d = Open(OnePageProject(kObjects));
    Select(kAll);
    auto* item = dynamic_cast<TMenuItem*>(d.FindComponent(c.item));
    ASSERT_NE(item, nullptr);
    item->Click();
    for (const auto& [uid, expected] : c.expected) {
      TGridWebElement* e = Object(uid);
      ASSERT_NE(e, nullptr);
      EXPECT_EQ(Describe(*e), expected) << uid;
      EXPECT_TRUE(e->OnDblClick == EditorOfKind(e->Kind())) << uid;
    }
    // Blocks and labels keep their kind and their editor.
    EXPECT_EQ(Object(11)->Kind(), wkLabel);
    EXPECT_TRUE(Object(11)->OnDblClick == Editor(&F::EditLabelObject));
    EXPECT_EQ(Object(16)->Kind(), wkBlock);
    // A conversion is no undo step and no change of the project until the
    // page is stored.
    EXPECT_EQ(d.FUndoTree->ChildCount(), 0);
    EXPECT_FALSE(d.Document().Modified());
  }
}

TEST_F(ConversionCommands, AMultiImageListThatIsAlreadyOffAndOnStays) {
  TFormDesign1& d = Open(OnePageProject(kObjects));
  TGridWebElement* image = Object(10);
  image->ClearImages();
  for (const char* name : {"OFF.PNG", "ON.PNG", "EXTRA.PNG"}) image->AddImage(name, true);
  Select({10});
  d.ToMulimg1Click(nullptr);
  EXPECT_EQ(Describe(*image), "8 list=OFF.PNG,ON.PNG,EXTRA.PNG");
}

TEST_F(ConversionCommands, ObjectsThatMayNotBeSelectedAreLeftAlone) {
  TFormDesign1& d = Open(OnePageProject(
      kObjects + std::string("<object X=\"20\" Y=\"1\" Uid=\"20\" layer=\"3\"><image off=\"H.PNG\" /></object>\r\n")));
  Select({10, 20});
  ASSERT_TRUE(Object(20)->Selected());
  d.FLayers[3].Frozen = true;
  d.ToPicture1Click(nullptr);
  EXPECT_EQ(Object(10)->Kind(), wkPicture);
  EXPECT_EQ(Object(20)->Kind(), wkImage);
}

TEST_F(ConversionCommands, BlockVariantsSetTheirTwoFlags) {
  struct Case {
    void (F::*handler)(TObject*);
    bool dynamic;
    bool color;
  };
  const std::vector<Case> cases = {
      {&F::ToBlock1Click, false, false},
      {&F::ToBlockBar1Click, true, false},
      {&F::ToBlockColor1Click, true, true},
  };
  for (const Case& c : cases) {
    designer.reset();
    TFormDesign1& d = Open(OnePageProject(kObjects));
    Select({11, 16, 17, 18});
    (d.*c.handler)(nullptr);
    for (int uid : {16, 17, 18}) {
      EXPECT_EQ(Object(uid)->FDynamic, c.dynamic) << uid;
      EXPECT_EQ(Object(uid)->FColorMode, c.color) << uid;
    }
    EXPECT_FALSE(Object(11)->FDynamic);
    EXPECT_EQ(d.FUndoTree->ChildCount(), 0);
  }
}

TEST_F(ConversionCommands, TheOfferFollowsTheSelectedKinds) {
  struct Case {
    std::vector<int> selection;
    const char* offer;  // picture image button multi rectangle bar colour, "-" for hidden
  };
  const std::vector<Case> cases = {
      {{}, "-------"},   {{11}, "-------"}, {{10}, "P-BM---"},     {{12}, "PI-M---"},
      {{13}, "PIB----"}, {{15}, "-IBM---"}, {{10, 15}, "PIBM---"}, {{16}, "-----BC"},
      {{17}, "----R-C"}, {{18}, "----RB-"}, {{16, 17}, "----RBC"},
  };
  Open(OnePageProject(kObjects));
  for (const Case& c : cases) {
    Select(c.selection);
    const TConversionOffer o = ConversionOfferFor(SelectedPageObjects(*designer->sbDesign1));
    const std::string text = std::string(o.toPicture ? "P" : "-") + (o.toImage ? "I" : "-") +
                             (o.toImageBtn ? "B" : "-") + (o.toMultiImage ? "M" : "-") + (o.toRectangle ? "R" : "-") +
                             (o.toDynamicBar ? "B" : "-") + (o.toColorRectangle ? "C" : "-");
    EXPECT_EQ(text, c.offer) << c.selection.size();
    EXPECT_EQ(o.Any(), text != "-------");
  }
}

}  // namespace
