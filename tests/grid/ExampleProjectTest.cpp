// The demo's web project: every page loads onto the design surface and is
// written back unchanged, it uses every object kind, and its variables are
// the demo host project's.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "grid/PictureLoading.h"
#include "grid/ScrollPositions.h"
#include "platform/vcl/Picture.h"
#include "tests/grid/GridTestSupport.h"

using namespace gridtest;

namespace {

const char* kProject = "examples/demo/Tarnwell/Demo.xml";

// Names of the variables the host project declares ("var NAME TYPE ...").
std::set<std::string> HostVariables() {
  std::set<std::string> names;
  std::ifstream in(SourcePath("examples/demo/halvex.prj"));
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string keyword, name;
    if (words >> keyword >> name && keyword == "var") names.insert(name);
  }
  return names;
}

// A variable the host project declares: its memory area and its type text.
struct THostDecl {
  std::string area;
  std::string type;
};

// "var NAME TYPE... AREA OFFSET[.BIT] [tdi NUMBER]": the type may take two
// words ("BOOL R_EDGE").
std::map<std::string, THostDecl> HostDeclarations() {
  std::map<std::string, THostDecl> declared;
  std::ifstream in(SourcePath("examples/demo/halvex.prj"));
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::vector<std::string> w{std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
    if (w.size() < 5 || w[0] != "var") continue;
    std::size_t end = w.size();
    if (end >= 2 && w[end - 2] == "tdi") end -= 2;
    THostDecl decl;
    decl.area = w[end - 2];
    for (std::size_t i = 2; i + 2 < end; ++i) decl.type += (decl.type.empty() ? "" : " ") + w[i];
    declared[w[1]] = decl;
  }
  return declared;
}

// Whether the object sends a value to its variable when the visitor uses it.
bool WritesItsVariable(TGridWebElement& e) {
  switch (e.Kind()) {
    case wkEdit:
    case wkEditLocal:
    case wkImage: return !e.FReadOnly;
    case wkSubmit:
    case wkBlock: return !e.FDynamic && !e.GetVariable().empty();
    case wkImageBtn:
    case wkDropDown:
    case wkPostFile: return true;
    default: return false;
  }
}

// Whether the object shows a picture chosen by its variable's value.
bool ShowsPictureOfItsVariable(const TGridWebElement& e) {
  return e.Kind() == wkImage || e.Kind() == wkMultiImage || e.Kind() == wkImageBtn || e.Kind() == wkStrImg;
}

// The variable name up to its first member or index.
std::string RootName(const std::string& reference) {
  const std::size_t cut = reference.find_first_of(".[");
  return cut == std::string::npos ? reference : reference.substr(0, cut);
}

struct TDemoProject : ::testing::Test {
  TDesignerFixture fixture;
  TParsed parsed{ReadFile(SourcePath(kProject))};
  TmyXmlNode* web = nullptr;

  void SetUp() override {
    ASSERT_NE(parsed.root, nullptr);
    ASSERT_EQ(parsed.parser.errorWord, 0u);
    web = parsed.root->FindChild("web");
    ASSERT_NE(web, nullptr);
    TFormDesign1& d = *fixture.designer();
    d.FEditorLangCode = 9;
    d.FLangCodes[0] = 9;
    d.FLangCodes[1] = 5;
    d.FGlobalWebData.GlobalPlaceHolders.ClearAndLoad(web->FindChild("placeholders"));
    d.FGlobalWebData.Images.ClearAndLoad(web->FindChild("images"));
  }

  // Calls f(group, page) for every page, with the group's and the page's
  // placeholders loaded as the designer loads them.
  template <class F>
  void ForEachPage(F f) {
    TFormDesign1& d = *fixture.designer();
    for (TmyXmlNode* group = web->firstChild; group != nullptr; group = group->next) {
      if (group->name != "group") continue;
      d.FGlobalWebData.GroupPlaceHolders.ClearAndLoad(group->FindChild("placeholders"));
      for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next) {
        if (page->name != "page") continue;
        d.FGlobalWebData.PagePlaceHolders.ClearAndLoad(page->FindChild("placeholders"));
        f(group, page);
      }
    }
  }
};

}  // namespace

TEST_F(TDemoProject, EveryPageLoadsAndWritesBackUnchanged) {
  int pages = 0;
  ForEachPage([&](TmyXmlNode*, TmyXmlNode* page) {
    ++pages;
    TParsed before(WriteTree(parsed.root.get()));  // a private copy of the whole project
    const std::string expected = WriteTree(page);
    fixture.LoadAndWriteBack(page);
    EXPECT_EQ(WriteTree(page), expected) << "page " << page->GetAttr("name");
    EXPECT_TRUE(fixture.designer()->FLoadFailures.empty());
  });
  EXPECT_GE(pages, 4);
}

TEST_F(TDemoProject, UsesEveryKindBoundToHostVariables) {
  const std::set<std::string> host = HostVariables();
  ASSERT_FALSE(host.empty());
  std::set<int> kinds;
  std::set<std::string> levels;  // placeholder levels met: page, group, global
  ForEachPage([&](TmyXmlNode*, TmyXmlNode* page) {
    fixture.ClearSurface();
    fixture.designer()->LoadObjects(page, fixture.designer()->sbDesign1);
    for (TGridWebElement* e : fixture.Elements()) {
      kinds.insert(e->Kind());
      for (const std::string& stored : {e->GetVariable(), e->GetVisVariable()}) {
        if (stored.find("{::") != std::string::npos)
          levels.insert("global");
        else if (stored.find("{:") != std::string::npos)
          levels.insert("group");
        else if (stored.find('{') != std::string::npos)
          levels.insert("page");
      }
      const std::string main = e->GetResolvedVariable();
      const std::string vis = e->GetResolvedVisVariable();
      // Headings, units, the logo, the camera and the form's own submit button
      // show no PLC value; every other object is bound.
      const bool mayStandAlone = e->Kind() == wkLabel || e->Kind() == wkPicture || e->Kind() == wkCamera ||
                                 (e->Kind() == wkSubmit && e->GetVariable().empty());
      if (!mayStandAlone) {
        EXPECT_TRUE(!main.empty() || !vis.empty()) << "object " << e->FUid << " is bound to no variable";
      }
      for (const std::string& name : {main, vis, e->GetResolvedDataVariable(), e->GetResolvedClickXVariable()}) {
        if (!name.empty()) {
          EXPECT_TRUE(host.count(RootName(name))) << name << " (object " << e->FUid << ")";
        }
      }
    }
  });
  for (int k = 0; k <= 14; ++k) EXPECT_TRUE(kinds.count(k)) << "kind " << k;
  EXPECT_EQ(levels.size(), 3u);
}

// A plant's pages write only to memory the program owns (never to a physical
// input), and no picture follows an edge-triggered input, which is true for a
// single cycle only.
TEST_F(TDemoProject, ObjectsUseVariablesFitForTheirRole) {
  const std::map<std::string, THostDecl> host = HostDeclarations();
  ASSERT_EQ(host.at("DoorOpen").type, "BOOL R_EDGE");  // the reading itself
  ASSERT_EQ(host.at("P1Running").area, "X");
  int writers = 0, pictures = 0;
  ForEachPage([&](TmyXmlNode*, TmyXmlNode* page) {
    fixture.ClearSurface();
    fixture.designer()->LoadObjects(page, fixture.designer()->sbDesign1);
    for (TGridWebElement* e : fixture.Elements()) {
      const std::string name = RootName(e->GetResolvedVariable());
      if (name.empty()) continue;
      const auto decl = host.find(name);
      ASSERT_NE(decl, host.end()) << name;
      if (WritesItsVariable(*e)) {
        ++writers;
        EXPECT_NE(decl->second.area, "X") << "object " << e->FUid << " writes the input " << name;
      }
      if (ShowsPictureOfItsVariable(*e)) {
        ++pictures;
        EXPECT_EQ(decl->second.type.find("_EDGE"), std::string::npos)
            << "object " << e->FUid << " shows a picture of the edge " << name;
      }
    }
  });
  fixture.ClearSurface();
  EXPECT_GE(writers, 8);
  EXPECT_GE(pictures, 6);
}

// The sump camera is asked for a new picture once a second, a pace a network
// camera serves (its `refresh` is in milliseconds).
TEST_F(TDemoProject, TheCameraIsAskedAtAPaceACameraServes) {
  int cameras = 0;
  ForEachPage([&](TmyXmlNode*, TmyXmlNode* page) {
    fixture.ClearSurface();
    fixture.designer()->LoadObjects(page, fixture.designer()->sbDesign1);
    for (TGridWebElement* e : fixture.Elements())
      if (e->Kind() == wkCamera) {
        ++cameras;
        EXPECT_GE(e->FSize, 500) << "object " << e->FUid;
      }
  });
  fixture.ClearSurface();
  EXPECT_EQ(cameras, 1);
}

// The project file is in code page 1250, and its Czech texts keep their
// diacritics in it: "Čerpací stanice" and "Řízení hladiny" as that code page's bytes.
TEST_F(TDemoProject, CzechTextsAreInCodePage1250) {
  const std::string text = ReadFile(SourcePath(kProject));
  EXPECT_NE(text.find("encoding=\"windows-1250\""), std::string::npos);
  EXPECT_NE(text.find("\xC8"
                      "erpac\xED stanice"),
            std::string::npos);
  EXPECT_NE(text.find("\xD8\xEDzen\xED hladiny"), std::string::npos);
  // Not UTF-8: the two-byte forms of the same letters are absent.
  EXPECT_EQ(text.find("\xC4\x8C"), std::string::npos);
  EXPECT_EQ(text.find("\xC3\xAD"), std::string::npos);
}

TEST_F(TDemoProject, PicturesExistInEveryFormat) {
  std::set<std::string> types;
  for (TmyXmlNode* img = web->FindChild("images")->firstChild; img != nullptr; img = img->next) {
    const std::string file = img->GetAttr("longname") + "." + img->GetAttr("type");
    std::ifstream in(SourcePath("examples/demo/Tarnwell/Images/" + file), std::ios::binary);
    EXPECT_TRUE(in.good()) << file;
    types.insert(img->GetAttr("type"));
  }
  EXPECT_EQ(types, (std::set<std::string>{"bmp", "gif", "jpg", "png"}));
}

namespace {
const char* DemoImage(const std::string& name) {
  static std::string path;
  path = SourcePath("examples/demo/Tarnwell/Images/" + name);
  return path.c_str();
}
}  // namespace

TEST_F(TDemoProject, ObjectsShowTheirPictures) {
  gGridImagePath = DemoImage;
  int checked = 0;
  ForEachPage([&](TmyXmlNode*, TmyXmlNode* page) {
    fixture.ClearSurface();
    fixture.designer()->LoadObjects(page, fixture.designer()->sbDesign1);
    for (TGridWebElement* e : fixture.Elements()) {
      if (!e->GetOffImageName().empty()) {
        EXPECT_FALSE(e->OffPicture()->Empty()) << e->GetOffImageName();
        ++checked;
      }
      if (!e->GetOnImageName().empty()) {
        EXPECT_FALSE(e->OnPicture()->Empty()) << e->GetOnImageName();
        ++checked;
      }
      if (e->GetImageCount() > 0) {
        EXPECT_NE(e->GetImagePicture(0), nullptr) << e->GetImageName(0);
        ++checked;
      }
    }
  });
  fixture.ClearSurface();
  gGridImagePath = nullptr;
  EXPECT_EQ(checked, 15);  // five images (2 each), picture, image button (2), multi-image, canvas
}
