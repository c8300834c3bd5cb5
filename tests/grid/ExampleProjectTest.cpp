// The demo's web project: every page loads onto the design surface and is
// written back unchanged, it uses every object kind, and its variables are
// the demo host project's.

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

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
      EXPECT_TRUE(!main.empty() || !vis.empty()) << "object " << e->FUid << " is bound to no variable";
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
  EXPECT_EQ(checked, 7);  // image (2), picture, image button (2), multi-image, canvas
}
