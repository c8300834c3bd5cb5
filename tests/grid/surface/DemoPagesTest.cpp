// Every page of the demo project, and every kind side by side, painted in the
// design view and in the live view (with values in the objects) and compared
// with reviewed golden pictures (GoldenPicture.h). The pictures, and an
// enlarged crop of each object, are also written to the build folder's
// "surface" folder for viewing.

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "platform/vcl/PngWriter.h"
#include "tests/grid/surface/GoldenPicture.h"
#include "tests/grid/surface/SurfaceTestSupport.h"

using namespace surfacetest;

namespace {

// How much the crops of single objects are enlarged, and their margin.
constexpr int kCropFactor = 3;
constexpr int kCropMargin = 4;
constexpr int kCropMaxWidth = 400;
constexpr int kCropMaxHeight = 300;

struct TDemoValue {
  const char* type;
  long long integer;
  const char* text;  // strings; null for numbers
};

// Values of the demo project's variables in the live view: the pumping
// station in automatic mode, pump 1 running, the sump a little under half full.
const std::map<std::string, TDemoValue>& DemoValues() {
  static const std::map<std::string, TDemoValue> values = {
      {"P1Running", {"BOOL", 1, nullptr}},
      {"P2Running", {"BOOL", 0, nullptr}},
      {"ValveOpen", {"BOOL", 1, nullptr}},
      {"HighLevel", {"BOOL", 0, nullptr}},
      {"P2Enabled", {"BOOL", 1, nullptr}},
      {"TankLevel", {"UINT", 182, nullptr}},
      {"LevelPercent", {"USINT", 46, nullptr}},
      {"StatusColor", {"DWORD", 0x3CAA28, nullptr}},  // green (BGR): in operation
      {"P1Hours", {"UDINT", 12875, nullptr}},
      {"StartLevel", {"UINT", 250, nullptr}},
      {"StopLevel", {"UINT", 60, nullptr}},
      {"AlternateTime", {"TIME", 4 * 3600 * 1000, nullptr}},
      {"StartP1Cmd", {"BOOL", 0, nullptr}},
      {"AlarmAck", {"BOOL", 0, nullptr}},
      {"ResetCounters", {"BOOL", 0, nullptr}},
      {"Mode", {"ENUM", 2, nullptr}},
      {"ParamFile", {"STRING[40]", 0, "PARAMS/STATION.CSV"}},
      {"TrendPicture", {"STRING[40]", 0, "images/logo.bmp"}},
      {"EventPage", {"STRING[40]", 0, "EVENTS.HTM"}}};
  return values;
}

// The REAL values, which the integer table cannot hold.
const std::map<std::string, float>& DemoRealValues() {
  static const std::map<std::string, float> values = {{"Flow", 38.6f}, {"OutletPressure", 2.35f}};
  return values;
}

void SetDemoValue(TGridWebElement* e) {
  const std::string name = e->GetResolvedVariable();
  const auto real = DemoRealValues().find(name);
  if (real != DemoRealValues().end()) {
    e->FVarInfo.typeName = "REAL";
    std::memcpy(e->FValueBuf, &real->second, sizeof real->second);
    return;
  }
  const auto it = DemoValues().find(name);
  if (it == DemoValues().end()) return;
  const int code = e->FVarInfo.typeCode;
  if (it->second.text != nullptr)
    SetLiveText(e, it->second.type, it->second.text);
  else
    SetLiveValue(e, it->second.type, it->second.integer);
  if (code != -1) e->FVarInfo.typeCode = code;  // enumerations keep the lookup's code
  e->FVarInfo.typeName = it->second.type;
}

std::vector<TGridWebElement*> ElementsOf(TScrollBox* box) {
  std::vector<TGridWebElement*> out;
  for (int i = 0; i < box->ComponentCount(); ++i)
    if (auto* e = dynamic_cast<TGridWebElement*>(box->Components(i))) out.push_back(e);
  return out;
}

void ClearSurface(TScrollBox* box) {
  for (TGridWebElement* e : ElementsOf(box)) delete e;
}

std::string AreaName(const TGridWebElement* e) {
  return GridWebKindElement(e->Kind()) + std::string(" ") + std::to_string(e->FUid) + " at (" +
         std::to_string(e->Left()) + ", " + std::to_string(e->Top()) + ")";
}

// --- every kind side by side ---------------------------------------------------------

using TSetUp = void (*)(TGridWebElement*);

void SetBoxSize(TGridWebElement* e, int w, int h) {
  e->SetContentWidth(w);
  e->SetContentHeight(h);
  e->SetBounds(e->Left(), e->Top(), w, h);
}

struct TKindPlace {
  int kind, x, y;
  TSetUp setUp;
};

// Each kind at a unit position with the fields that make it show something.
const TKindPlace kKindPlaces[] = {
    {wkLabel, 2, 2,
     [](TGridWebElement* e) {
       e->FHref = "PAGE2";
       e->SetCaption("Link label");
     }},
    {wkEdit, 2, 6,
     [](TGridWebElement* e) {
       e->FSize = 6;
       e->FAlignRight = true;
     }},
    {wkEditLocal, 2, 10, [](TGridWebElement*) {}},
    {wkImage, 2, 14,
     [](TGridWebElement* e) {
       e->SetCaption("Off");
       e->SetOptCaption("On");
     }},
    {wkSubmit, 2, 20, [](TGridWebElement* e) { e->SetBounds(e->Left(), e->Top(), 20, 10); }},
    {wkPicture, 2, 26, [](TGridWebElement*) {}},
    {wkCamera, 22, 2,
     [](TGridWebElement* e) {
       SetBoxSize(e, 120, 80);
       e->FHref = "http://cam/1.jpg";
     }},
    {wkBlock, 22, 16,
     [](TGridWebElement* e) {
       SetBoxSize(e, 60, 24);
       e->FTransparent = false;
       e->FBackColor = 0x00C0FF;
       e->FGradient = true;
       e->FFrontColor = 0x004080;
     }},
    {wkMultiImage, 22, 22, [](TGridWebElement* e) { e->AddImage("mode_manual.png", false); }},
    {wkPostFile, 2, 34, [](TGridWebElement* e) { e->FSize = 23; }},
    {wkImageBtn, 12, 14, [](TGridWebElement*) {}},
    {wkStrImg, 40, 16, [](TGridWebElement* e) { SetBoxSize(e, 48, 40); }},
    {wkCanvas, 40, 22, [](TGridWebElement* e) { SetBoxSize(e, 100, 50); }},
    {wkIFrame, 52, 2,
     [](TGridWebElement* e) {
       SetBoxSize(e, 120, 80);
       e->FHref = "status.html";
     }},
    {wkDropDown, 2, 40,
     [](TGridWebElement* e) {
       e->FSize = 8;
       e->FOptions.Add("0", "Off");
       e->FOptions.Add("1", "On");
     }},
};

}  // namespace

class DemoPagesTest : public SurfaceTest {
 protected:
  void LoadProjectSettings(TmyXmlNode* web) {
    TFormDesign1& d = *designer();
    box()->Font()->Name = web->GetAttr("propfont") == "true" ? "Verdana" : "Courier New";
    for (TmyXmlNode* n = web->firstChild; n != nullptr; n = n->next) {
      if (n->name == "globalset") d.FGlobalWebData.MeasuredFonts = n->GetAttrInt("newdim", 0) != 0;
      if (n->name == "placeholders") d.FGlobalWebData.GlobalPlaceHolders.LoadFromXml(n);
      if (n->name == "images") d.FGlobalWebData.Images.LoadFromXml(n);
      if (n->name == "Layers") LoadLayers(n);
    }
  }

  void LoadLayers(TmyXmlNode* layers) {
    int i = 0;
    for (TmyXmlNode* l = layers->firstChild; l != nullptr && i < kLayerCount; l = l->next, ++i) {
      designer()->FLayers[i].Visible = l->GetAttr("visible") == "1";
      designer()->FLayers[i].Frozen = l->GetAttr("frozen") == "1";
    }
  }

  // The surface painted, written with a crop of every object, and compared
  // with its golden picture.
  void PaintPage(const std::string& pageName, const std::string& view) {
    TBitmap b;
    PaintSurface(b);
    const std::string name = pageName + "_" + view;
    ASSERT_TRUE(SaveBitmapAsPng(b, OutputPath(name + ".png")));
    std::vector<TPictureArea> areas;
    for (TGridWebElement* e : ElementsOf(box())) {
      if (!e->Visible() || e->Width() <= 0 || e->Height() <= 0) continue;
      areas.push_back({AreaName(e), e->BoundsRect()});
      const TRect r{e->Left() - kCropMargin, e->Top() - kCropMargin,
                    e->Left() + std::min(e->Width(), kCropMaxWidth) + kCropMargin,
                    e->Top() + std::min(e->Height(), kCropMaxHeight) + kCropMargin};
      SaveCrop(b, r, kCropFactor,
               OutputPath(name + "_" + std::to_string(e->FUid) + "_" + std::to_string(e->Kind()) + ".png"));
    }
    EXPECT_TRUE(MatchesGolden(b, name + ".png", areas));
  }

  void PaintDemoPage(TmyXmlNode* page);
};

void DemoPagesTest::PaintDemoPage(TmyXmlNode* page) {
  TFormDesign1& d = *designer();
  d.FGlobalWebData.PagePlaceHolders.Clear();
  for (TmyXmlNode* n = page->firstChild; n != nullptr; n = n->next)
    if (n->name == "placeholders") d.FGlobalWebData.PagePlaceHolders.LoadFromXml(n);
  ClearSurface(box());
  d.FLiveMode = false;
  d.LoadObjects(page, box());
  EXPECT_TRUE(d.FLoadFailures.empty());
  std::vector<TGridWebElement*> elements = ElementsOf(box());
  ASSERT_FALSE(elements.empty());
  // The first two objects are selected in the design view.
  elements[0]->Select();
  if (elements.size() > 1) elements[1]->Select();
  const std::string name = page->GetAttr("name");
  PaintPage(name, "design");
  for (TGridWebElement* e : elements) EXPECT_GT(e->Width(), 0) << name << " " << e->FUid;

  // The live view: values in the objects, visibility variables on.
  d.FLiveMode = true;
  for (TGridWebElement* e : elements) {
    e->FVarValid = e->GetVariable().empty() || e->FVarInfo.typeCode != -1;
    SetDemoValue(e);
    e->FVisValue[0] = 1;
  }
  PaintPage(name, "live");
  d.FLiveMode = false;
}

TEST_F(DemoPagesTest, EveryPageInBothViews) {
  TmyXMLParser parser;
  ASSERT_TRUE(parser.LoadFromFile(SourcePath("examples/demo/Tarnwell/Demo.xml")));
  const std::unique_ptr<TmyXmlNode> root(parser.Parse());
  ASSERT_NE(root, nullptr);
  TmyXmlNode* web = root->name == "web" ? root.get() : root->firstChild;
  while (web != nullptr && web->name != "web") web = web->next;
  ASSERT_NE(web, nullptr);
  LoadProjectSettings(web);
  TFormDesign1& d = *designer();
  // The demo's objects lie apart at a zoom of two pixels a unit; the surface
  // holds the whole page the demo fills (100 x 62 units).
  d.FUnitPixels = 2;
  d.SetBounds(0, 0, 1640, 1060);
  box()->SetBounds(0, 0, 1600, 1000);
  int pages = 0;
  for (TmyXmlNode* group = web->firstChild; group != nullptr; group = group->next) {
    if (group->name != "group") continue;
    d.FGlobalWebData.GroupPlaceHolders.Clear();
    for (TmyXmlNode* n = group->firstChild; n != nullptr; n = n->next)
      if (n->name == "placeholders") d.FGlobalWebData.GroupPlaceHolders.LoadFromXml(n);
    for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next) {
      if (page->name != "page") continue;
      ++pages;
      PaintDemoPage(page);
    }
  }
  EXPECT_EQ(pages, 4);
  ClearSurface(box());
}

// Every kind side by side, every second one selected, in both views; in the
// live view with a variable the live view did not find (the red link frames)
// and, for the edit field, a constant (its "-").
TEST_F(DemoPagesTest, EveryKindSideBySide) {
  std::vector<TGridWebElement*> all;
  for (const TKindPlace& p : kKindPlaces) {
    all.push_back(Make(p.kind, p.x, p.y));
    p.setUp(all.back());
  }
  for (std::size_t i = 0; i < all.size(); i += 2) all[i]->Select();
  PaintPage("kinds", "design");
  designer()->FLiveMode = true;
  for (TGridWebElement* e : all) {
    e->SetVariable("Unknown");
    e->FVarValid = false;
    SetLiveValue(e, "INT", 1);
  }
  all[1]->SetVariable("#1");
  PaintPage("kinds", "live");
}
