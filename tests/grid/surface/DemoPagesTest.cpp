// Every page of the demo project on a design surface, painted in the design
// view and in the live view (with values in the objects) into PNG files of
// the build folder's "surface" folder, with an enlarged crop of each object.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "platform/vcl/PngWriter.h"
#include "tests/grid/surface/SurfaceTestSupport.h"

using namespace surfacetest;

namespace {

struct TDemoValue {
  const char* type;
  long long integer;
  const char* text;  // strings; null for numbers
};

// Values of the demo project's variables in the live view.
const std::map<std::string, TDemoValue>& DemoValues() {
  static const std::map<std::string, TDemoValue> values = {{"Speed", {"INT", 1234, nullptr}},
                                                           {"MotorOn", {"BOOL", 1, nullptr}},
                                                           {"Lamp", {"BOOL", 1, nullptr}},
                                                           {"DoorOpen", {"BOOL", 1, nullptr}},
                                                           {"Level", {"SINT", 70, nullptr}},
                                                           {"SysFlags", {"DWORD", 0x2080F0, nullptr}},
                                                           {"Mode", {"(OFF,MANUAL,AUTO)", 2, nullptr}},
                                                           {"Setpoint", {"UINT", 1500, nullptr}},
                                                           {"Uptime", {"TIME", 3723000, nullptr}},
                                                           {"Percent", {"USINT", 100, nullptr}},
                                                           {"StartButton", {"BOOL", 1, nullptr}},
                                                           {"Message", {"STRING[40]", 0, "UPLOAD/RECIPE.CSV"}},
                                                           {"Title", {"STRING", 0, "images/logo.bmp"}}};
  return values;
}

void SetDemoValue(TGridWebElement* e) {
  const std::string name = e->GetResolvedVariable();
  if (name == "Temperature") {
    const float f = 21.5f;
    e->FVarInfo.typeName = "REAL";
    std::memcpy(e->FValueBuf, &f, sizeof f);
    e->FVarInfo.typeCode = e->FVarInfo.typeCode;  // as the lookup found it
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
      if (n->name == "Layers") {
        int i = 0;
        for (TmyXmlNode* l = n->firstChild; l != nullptr && i < kLayerCount; l = l->next, ++i) {
          d.FLayers[i].Visible = l->GetAttr("visible") == "1";
          d.FLayers[i].Frozen = l->GetAttr("frozen") == "1";
        }
      }
    }
  }

  void PaintPage(const std::string& pageName, const std::string& view) {
    TBitmap b;
    PaintSurface(b);
    ASSERT_TRUE(SaveBitmapAsPng(b, OutputPath(pageName + "_" + view + ".png")));
    for (TGridWebElement* e : ElementsOf(box())) {
      if (!e->Visible() || e->Width() <= 0 || e->Height() <= 0) continue;
      const TRect r{e->Left() - 4, e->Top() - 4, e->Left() + std::min(e->Width(), 400) + 4,
                    e->Top() + std::min(e->Height(), 300) + 4};
      SaveCrop(
          b, r, 3,
          OutputPath(pageName + "_" + view + "_" + std::to_string(e->FUid) + "_" + std::to_string(e->Kind()) + ".png"));
    }
  }
};

TEST_F(DemoPagesTest, EveryPageInBothViews) {
  TmyXMLParser parser;
  ASSERT_TRUE(parser.LoadFromFile(SourcePath("examples/demo/Tarnwell/Demo.xml")));
  TmyXmlNode* root = parser.Parse();
  ASSERT_NE(root, nullptr);
  TmyXmlNode* web = root->name == "web" ? root : root->firstChild;
  while (web != nullptr && web->name != "web") web = web->next;
  ASSERT_NE(web, nullptr);
  LoadProjectSettings(web);
  TFormDesign1& d = *designer();
  // The demo's objects lie apart at a zoom of two pixels a unit.
  d.FUnitPixels = 2;
  d.SetBounds(0, 0, 1040, 660);
  box()->SetBounds(0, 0, 1000, 600);
  int pages = 0;
  for (TmyXmlNode* group = web->firstChild; group != nullptr; group = group->next) {
    if (group->name != "group") continue;
    d.FGlobalWebData.GroupPlaceHolders.Clear();
    for (TmyXmlNode* n = group->firstChild; n != nullptr; n = n->next)
      if (n->name == "placeholders") d.FGlobalWebData.GroupPlaceHolders.LoadFromXml(n);
    for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next) {
      if (page->name != "page") continue;
      ++pages;
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
  }
  EXPECT_EQ(pages, 4);
  ClearSurface(box());
  delete root;
}

// Every kind side by side, selected and not, in both views, with a variable
// the live view did not find: the link frames and the "-" of constants.
TEST_F(DemoPagesTest, EveryKindSideBySide) {
  struct TPlace {
    int kind, x, y;
  };
  const TPlace places[] = {{wkLabel, 2, 2},        {wkEdit, 2, 6},      {wkEditLocal, 2, 10}, {wkImage, 2, 14},
                           {wkSubmit, 2, 20},      {wkPicture, 2, 26},  {wkCamera, 22, 2},    {wkBlock, 22, 16},
                           {wkMultiImage, 22, 22}, {wkPostFile, 2, 34}, {wkImageBtn, 12, 14}, {wkStrImg, 40, 16},
                           {wkCanvas, 40, 22},     {wkIFrame, 52, 2},   {wkDropDown, 2, 40}};
  std::vector<TGridWebElement*> all;
  for (const TPlace& p : places) {
    auto* e = Make(p.kind, p.x, p.y);
    all.push_back(e);
    switch (p.kind) {
      case wkImage:
        e->SetCaption("Off");
        e->SetOptCaption("On");
        break;
      case wkCamera:
        e->SetContentWidth(120);
        e->SetContentHeight(80);
        e->FHref = "http://cam/1.jpg";
        break;
      case wkIFrame:
        e->SetContentWidth(120);
        e->SetContentHeight(80);
        e->FHref = "status.html";
        break;
      case wkBlock:
        e->SetContentWidth(60);
        e->SetContentHeight(24);
        e->FTransparent = false;
        e->FBackColor = 0x00C0FF;
        e->FGradient = true;
        e->FFrontColor = 0x004080;
        break;
      case wkMultiImage: e->AddImage("state1.gif", false); break;
      case wkStrImg:
        e->SetContentWidth(48);
        e->SetContentHeight(40);
        break;
      case wkCanvas:
        e->SetContentWidth(100);
        e->SetContentHeight(50);
        break;
      case wkDropDown:
        e->FSize = 8;
        e->FOptions.Add("0", "Off");
        e->FOptions.Add("1", "On");
        break;
      case wkEdit:
        e->FSize = 6;
        e->FAlignRight = true;
        break;
      case wkLabel:
        e->FHref = "PAGE2";
        e->SetCaption("Link label");
        break;
      case wkPostFile: e->FSize = 23; break;
      case wkSubmit: e->SetBounds(e->Left(), e->Top(), 20, 10); break;
      default: break;
    }
    if (p.kind == wkCamera || p.kind == wkIFrame || p.kind == wkBlock || p.kind == wkStrImg || p.kind == wkCanvas)
      e->SetBounds(e->Left(), e->Top(), e->FContentWidth, e->FContentHeight);
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
