// Page objects: defaults of construction, positions and snapping, variable
// references, image lists, kind captions, and the writer's own rules.

#include <gtest/gtest.h>

#include <memory>

#include "core/UiText.h"
#include "grid/PictureLoading.h"
#include "grid/ScrollPositions.h"
#include "grid/SizingRules.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Picture.h"
#include "tests/grid/GridTestSupport.h"

using namespace gridtest;

namespace {

std::unique_ptr<TGridWebElement> Make(int kind, TComponent* owner = nullptr, int unit = 8,
                                      TGridWebElement::TGlobalWebData* data = nullptr) {
  return std::make_unique<TGridWebElement>(owner, data, nullptr, unit, 0, 0, 1, 1, kind, nullptr);
}

}  // namespace

TEST(Element, DefaultsOfEveryKind) {
  for (int kind = 0; kind <= 14; ++kind) {
    auto e = Make(kind);
    EXPECT_EQ(e->Width(), 17 * 8);
    EXPECT_EQ(e->Height(), 3 * 8);
    EXPECT_EQ(e->FTabIndex, -1);
    EXPECT_EQ(e->FFontSize, 13);
    EXPECT_EQ(e->FBackColor, -1);
    EXPECT_EQ(e->FSize, 3);
    EXPECT_TRUE(e->FTransparent);
    EXPECT_TRUE(e->FBorder);
    EXPECT_EQ(e->FTimeout, 500);
    EXPECT_EQ(e->GetCaption(), kind == 0 ? "Label" : kind == 4 ? "Submit" : "");
    EXPECT_EQ(e->FDelimiter, kind == 6 ? "?" : "");
    EXPECT_EQ(e->FTimer != nullptr, kind == 10);
    EXPECT_EQ(e->FBrokenPicture != nullptr, kind == 11);
    EXPECT_EQ(e->FDropDownPicture != nullptr, kind == 14);
    EXPECT_TRUE(e->CanSelect());
    EXPECT_EQ(e->GetXmlNode()->name, "object");
  }
}

TEST(Element, KindCaptions) {
  EXPECT_EQ(Make(0)->GetKindCaption(), GetUiText(7002));
  EXPECT_EQ(Make(14)->GetKindCaption(), GetUiText(7313));
  auto block = Make(wkBlock);
  EXPECT_EQ(block->GetKindCaption(), GetUiText(7137));
  block->FDynamic = true;
  EXPECT_EQ(block->GetKindCaption(), GetUiText(7138));
  block->FColorMode = true;
  EXPECT_EQ(block->GetKindCaption(), GetUiText(7245));
  EXPECT_EQ(Make(15)->GetKindCaption(), "?");
  EXPECT_EQ(Make(-1)->GetKindCaption(), "?");
}

TEST(Element, TheNodeCopyIsPrivate) {
  TParsed doc("<object caption=\"c\"><lang><caption code=\"1\">x</caption></lang><label /></object>");
  TGridWebElement e(nullptr, nullptr, nullptr, 8, 0, 0, 1, 1, 0, doc.root->firstChild);
  doc.root->firstChild->DeleteChildren();
  EXPECT_EQ(e.GetXmlNode()->GetAttr("caption"), "c");
  EXPECT_EQ(e.GetXmlNode()->ChildCount(), 2);
}

TEST(Element, PositionsOnAScrolledSurface) {
  TScrollBox box(nullptr);
  SetScroll(&box, 30, 40);
  auto e = Make(0, &box, 4);
  e->SetParent(&box);
  e->SetPosition(1, 1);
  EXPECT_EQ(e->Left(), -30);
  EXPECT_EQ(e->Top(), -40);
  e->SetPosition(0, 0);
  EXPECT_EQ(e->Left(), -30);
  e->SetPosition(11, 3);
  EXPECT_EQ(e->Left(), 40 - 30);
  EXPECT_EQ(e->Top(), 8 - 40);
  e->SetZoom(8);
  EXPECT_EQ(e->Left(), (40) / 4 * 8 - 30);
  EXPECT_EQ(e->Width(), 17 * 4);
  e->SetParent(nullptr);
}

TEST(Element, SnapToGrid) {
  auto e = Make(0);
  int grid = 8;
  e->FGridX = &grid;
  e->FGridY = &grid;
  e->SetPosition(12, 11);
  EXPECT_EQ(e->SnapToGrid(), (TPoint{17, 9}));
  grid = 2;
  e->SetPosition(2, 4);
  EXPECT_EQ(e->SnapToGrid(), (TPoint{3, 5}));
  e->FGridX = e->FGridY = nullptr;
  e->SetPosition(12, 11);
  EXPECT_EQ(e->SnapToGrid(), (TPoint{12, 11}));
}

// The grid points of a step are 1, 1 + step, 1 + 2 step, ...: a snapped
// position is one of them and stays where it is when snapped again.
TEST(Element, SnappingTwiceIsSnappingOnce) {
  auto e = Make(0);
  for (int step : {1, 2, 3, 4, 5, 8, 16}) {
    int stepX = step;
    int stepY = step;
    e->FGridX = &stepX;
    e->FGridY = &stepY;
    for (int pos : {-17, -9, -8, -1, 0, 1, 2, 3, 4, 5, 7, 8, 9, 12, 17, 33, 1000, INT32_MAX, INT32_MIN}) {
      e->SetPosition(pos, pos);
      const TPoint once = e->SnapToGrid();
      EXPECT_EQ((once.x - 1LL) % step, 0) << "step " << step << ", position " << pos;
      EXPECT_EQ(e->SnapToGrid(), once) << "step " << step << ", position " << pos;
      EXPECT_EQ(e->GetPosition(), once) << "step " << step << ", position " << pos;
    }
    // A position on the grid stays.
    for (int k : {-2, 0, 1, 5}) {
      const int onGrid = 1 + k * step;
      e->SetPosition(onGrid, onGrid);
      EXPECT_EQ(e->SnapToGrid(), (TPoint{onGrid, onGrid})) << "step " << step << ", position " << onGrid;
    }
  }
  e->FGridX = e->FGridY = nullptr;
}

TEST(Element, CanvasVariableCarriesItsMembers) {
  auto c = Make(wkCanvas);
  c->SetVariable("Drw.x");
  EXPECT_EQ(c->GetDataVariable(), "Drw.buf");
  EXPECT_EQ(c->GetClickXVariable(), "");
  c->SetClickXVariable("on");
  c->SetClickColorVariable("on");
  c->SetVariable("Pad.info");
  EXPECT_EQ(c->GetClickXVariable(), "Pad.touch.X");
  EXPECT_EQ(c->GetClickYVariable(), "Pad.touch.Y");
  EXPECT_EQ(c->GetClickColorVariable(), "Pad.touch.Color");
  c->SetVariable("Plain");
  EXPECT_EQ(c->GetVariableBase(), "");
  EXPECT_EQ(c->GetDataVariable(), "Pad.buf");
  auto label = Make(wkLabel);
  label->SetVariable("A.b");
  EXPECT_EQ(label->GetDataVariable(), "");
}

namespace {
int gLoads = 0;
void CountingLoader(TPicture& picture, const std::string&) {
  ++gLoads;
  TBitmap bitmap;
  bitmap.SetSize(10 + gLoads, 5);
  picture.Assign(&bitmap);
}
const char* ExistingFile(const std::string& name) {
  static std::string path;
  path = SourcePath("examples/demo/Tarnwell/Images/" + name);
  return path.c_str();
}
}  // namespace

TEST(Element, ImageListLoadsOnlyTheFirstOrForcedEntries) {
  gGridPictureLoader = CountingLoader;
  gGridImagePath = ExistingFile;
  gLoads = 0;
  auto m = Make(wkMultiImage);
  EXPECT_EQ(m->GetImagesMaxSize(), (TSize{0, 0}));
  EXPECT_EQ(m->AddImage("logo.bmp", false), 1);
  EXPECT_EQ(m->AddImage("mode_off.png", false), 2);
  EXPECT_EQ(gLoads, 1);
  EXPECT_EQ(m->GetImagePicture(1), nullptr);
  EXPECT_EQ(m->AddImage("valve_open.gif", true), 3);
  EXPECT_EQ(gLoads, 2);
  EXPECT_EQ(m->AddImage("missing.png", true), 4);
  EXPECT_EQ(gLoads, 2);
  m->FPadX = 1;
  EXPECT_EQ(m->GetImagesMaxSize(), (TSize{13, 5}));
  EXPECT_EQ(m->GetImageName(-1), "");
  EXPECT_EQ(m->GetImageName(4), "");
  m->RenameImage("mode_off.png", "new.png");
  EXPECT_EQ(m->GetImageName(1), "new.png");
  m->RenameImage("VALVE_OPEN.GIF", "x");  // case-sensitive
  EXPECT_EQ(m->GetImageName(2), "valve_open.gif");
  m->ClearImages();
  EXPECT_EQ(m->GetImageCount(), 0);
  // A canvas maps its names through the project's picture list.
  TGridWebElement::TGlobalWebData data;
  data.Images.Add("logo", "logo.bmp");
  auto c = Make(wkCanvas, nullptr, 8, &data);
  c->AddImage("logo", false);
  EXPECT_EQ(gLoads, 3);
  EXPECT_EQ(c->GetImageName(0), "logo");
  // Pictures by name: missing files leave the picture empty.
  c->LoadOnImage("pump_on.png", ExistingFile("pump_on.png"));
  EXPECT_FALSE(c->OnPicture()->Empty());
  c->LoadOnImage("none.png", ExistingFile("none.png"));
  EXPECT_TRUE(c->OnPicture()->Empty());
  EXPECT_EQ(c->GetOnImageName(), "none.png");
  c->LoadOffImage("x", nullptr);
  EXPECT_TRUE(c->OffPicture()->Empty());
  gGridPictureLoader = nullptr;
  gGridImagePath = nullptr;
}

TEST(Element, LayersAndLockedGroupsRefuseSelection) {
  TGridWebElement::TGlobalWebData data;
  TGridWebElement::TLayer layers[kLayerCount];
  TGridWebElement e(nullptr, &data, layers, 8, 0, 0, 1, 1, 0, nullptr);
  EXPECT_TRUE(e.CanSelect());
  e.FLayer = 3;
  layers[3].Frozen = true;
  EXPECT_FALSE(e.CanSelect());
  layers[3].Frozen = false;
  layers[3].Visible = false;
  EXPECT_FALSE(e.CanSelect());
  layers[3].Visible = true;
  data.GroupLocked = true;
  EXPECT_TRUE(e.IsGroupLocked());
  EXPECT_FALSE(e.CanSelect());
  EXPECT_FALSE(Make(0)->IsGroupLocked());
}

TEST(Writer, PositionsAndOptionalAttributes) {
  auto e = Make(wkLabel);
  e->SetCaption("");
  auto text = [&] { return Written(e.get()); };
  e->SetPosition(1, 1);
  EXPECT_NE(text().find("X=\"1\" Y=\"1\" xoff=\"0\" yoff=\"0\""), std::string::npos);
  e->SetPosition(17, 12);
  EXPECT_NE(text().find("X=\"3\" Y=\"2\" xoff=\"0\" yoff=\"3\""), std::string::npos);
  EXPECT_EQ(text().find("visvar"), std::string::npos);
  EXPECT_EQ(text().find("vistype"), std::string::npos);
  EXPECT_NE(text().find("visneg=\"false\" Uid=\"0\">"), std::string::npos);  // no layer, no hint
  EXPECT_NE(text().find("<label />"), std::string::npos);
  e->SetVisible(false);
  EXPECT_EQ(text(), "");
  e->SaveToXml(nullptr, true);
}

TEST(Writer, EditSizesWithoutMeasuredFonts) {
  TGridWebElement::TGlobalWebData data;
  auto e = Make(wkEdit, nullptr, 8, &data);
  EXPECT_NE(Written(e.get()).find("width=\"29\" height=\"21\""), std::string::npos);
  e->FBorder = false;
  EXPECT_NE(Written(e.get()).find("width=\"27\" height=\"19\""), std::string::npos);
  EXPECT_NE(Written(e.get()).find("variable=\"\" type=\"\""), std::string::npos);
  e->FBorder = true;
  e->FFontSize = 20;
  e->FSize = 10;
  EXPECT_EQ(e->EditFieldXmlSize(), (TSize{128, 28}));
  data.MeasuredFonts = true;
  const int digit = e->MeasureDigitWidth(true);
  EXPECT_GT(digit, 0);
  EXPECT_EQ(e->EditFieldXmlSize().cx, digit * 10 + 10);
}

TEST(SizingRules, TheExamplesComeOutExactly) {
  EXPECT_EQ(FixedFactorFieldWidth(13, 3), 29);
  EXPECT_EQ(FixedFactorFieldWidth(20, 10), 128);
  EXPECT_EQ(FixedFactorFieldWidth(13, 6), 53);
  EXPECT_EQ(FixedFactorFieldWidth(0, 5), 6);
  EXPECT_EQ(UploadFieldHeight(13), 22);
  EXPECT_EQ(UploadFieldHeight(20), 30);
  EXPECT_EQ(UploadFieldHeight(0), 8);
  EXPECT_EQ(FixedFactorFieldWidth(2000000, 2000000), INT32_MAX);  // no overflow
}

TEST(Element, TheDemoPicturesLoadWithThePictureLoader) {
  gGridImagePath = ExistingFile;
  for (const char* name : {"logo.bmp", "pump_on.png", "valve_closed.gif", "mode_auto.jpg", "button_off.bmp"}) {
    auto e = Make(wkImage);
    e->LoadOffImage(name, ExistingFile(name));
    EXPECT_FALSE(e->OffPicture()->Empty()) << name;
    EXPECT_GT(e->OffPicture()->Width(), 0) << name;
  }
  gGridImagePath = nullptr;
}

namespace {
TGridWebElement* gForgotten = nullptr;
void Forget(void*, TGridWebElement* owner) { gForgotten = owner; }
}  // namespace

TEST(Element, AStringPictureLeavesTheDownloadQueueWhenDestroyed) {
  gGridForgetQueuedPicture = Forget;
  int queue = 0;
  auto e = Make(wkStrImg);
  TGridWebElement* address = e.get();
  e->FRecvQueue = &queue;
  e.reset();
  EXPECT_EQ(gForgotten, address);
  gForgotten = nullptr;
  Make(wkStrImg).reset();  // no queue: nothing to forget
  EXPECT_EQ(gForgotten, nullptr);
  gGridForgetQueuedPicture = nullptr;
}
