// The example project (examples/demo) in the designer window: every page is
// shown in turn through the page tree and stored back, the window is painted
// with each page into a PNG in the build folder (look at them), pixels prove
// that the surface shows the page, and the project saved unchanged equals the
// example apart from what a save changes.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

#include "core/IecTypes.h"
#include "core/XmlNode.h"
#include "grid/VariableInfo.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Painting.h"
#include "platform/win/MessageBox.h"
#include "tests/designer/window/WindowTestSupport.h"

using namespace windowtest;

namespace {

constexpr const char* kExample = "examples/demo/Tarnwell/Demo.xml";

// The variables the demo host project declares ("var NAME TYPE ..."), as the
// host's variable lookup gives them to the page objects.
std::map<std::string, std::string>& HostVariables() {
  static std::map<std::string, std::string> variables;
  return variables;
}

void HostLookup(const std::string& name, TPinVariable& record) {
  record.name = name;
  const auto found = HostVariables().find(name);
  record.typeName = found != HostVariables().end() ? found->second : std::string();
  record.typeCode = record.typeName.empty() ? -1 : TypeCodeOfName(record.typeName.c_str());
}

class ExampleProject : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    std::ifstream in(SourcePath("examples/demo/halvex.prj"));
    for (std::string line; std::getline(in, line);) {
      std::istringstream words(line);
      std::string keyword, name, type;
      // The host gives a bit variable's type as BOOL and an enumeration's as ENUM.
      if (words >> keyword >> name >> type && keyword == "var")
        HostVariables()[name] = type == "BIT" ? "BOOL" : type.starts_with('(') ? "ENUM" : type;
    }
    gGridVariableLookup = HostLookup;
    CopyTree("examples/demo/Tarnwell");
    OpenDesigner("Demo");
  }
  void TearDown() override {
    WindowTest::TearDown();
    gGridVariableLookup = nullptr;
  }
  // A point of a control's client area in the painted window's bitmap.
  TPoint InWindow(TControl* control, TPoint point) const {
    const TPoint screen = control->ClientToScreen(point);
    return {screen.x - designer->Left(), screen.y - designer->Top()};
  }
  // The page nodes of the tree in order.
  std::vector<TTreeNode*> PageNodes() const {
    std::vector<TTreeNode*> pages;
    for (TTreeNode* n = designer->tvPageList->Items()->GetFirstNode(); n != nullptr; n = n->GetNext())
      if (n->Parent() != nullptr) pages.push_back(n);
    return pages;
  }
};

int ObjectCount(const TmyXmlNode* page) {
  int n = 0;
  for (const TmyXmlNode* c = page->firstChild; c != nullptr; c = c->next) n += c->name == "object" ? 1 : 0;
  return n;
}

// The project text without what storing a page changes on its element: the
// change stamp and the size.
std::string WithoutAttribute(std::string line, const std::string& name) {
  const std::size_t at = line.find(" " + name + "=\"");
  if (at == std::string::npos) return line;
  const std::size_t close = line.find('"', at + name.size() + 3);
  return close == std::string::npos ? line : line.erase(at, close + 1 - at);
}

std::string WithoutPageStamps(const std::string& text) {
  std::string out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    std::string line = text.substr(start, end - start);
    if (line.find("<page ") != std::string::npos)
      for (const char* name : {"ucid", "width", "height"}) line = WithoutAttribute(line, name);
    out += line;
    start = end;
  }
  return out;
}

}  // namespace

TEST_F(ExampleProject, OpensWithItsGroupsAndPages) {
  EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"Station", "  Overview", "  Settings", "Service", "  Diagnostics",
                                                   "  Schematic"}));
  EXPECT_TRUE(MessageBoxLog().empty());
  EXPECT_TRUE(designer->FLangMutations);
  EXPECT_EQ(designer->FEditorLangCode, 9);
}

TEST_F(ExampleProject, EveryPageIsShownPaintedAndStoredBack) {
  TFormDesign1& d = *designer;
  const std::vector<TTreeNode*> pages = PageNodes();
  ASSERT_EQ(pages.size(), 4u);
  for (TTreeNode* node : pages) {
    ClickNode(node);
    TmyXmlNode* page = static_cast<TmyXmlNode*>(node->Data);
    const std::string name = page->GetAttr("name");
    ASSERT_EQ(d.CurrentPage(), page) << name;
    EXPECT_EQ(static_cast<int>(d.PageObjects().size()), ObjectCount(page)) << name;
    EXPECT_TRUE(d.FLoadFailures.empty()) << name;

    TBitmap window;
    PaintControlToBitmap(&d, window);
    ASSERT_GE(window.Width(), 640);
    ASSERT_GE(window.Height(), 400);
    const std::string png = std::string(TARNWELL_BINARY_DIR) + "/tests/designer/window/designer_" + name + ".png";
    EXPECT_TRUE(SaveControlAsPng(&d, png)) << png;
    // The page frame starts dotted at the surface's corner, the page area is
    // white away from the objects, and the first object is drawn.
    const TPoint corner = InWindow(d.sbDesign1, {0, 0});
    EXPECT_EQ(window.Canvas->GetPixel(corner.x, corner.y), clBlack) << name;
    EXPECT_EQ(window.Canvas->GetPixel(corner.x, corner.y + 2), clBlack) << name;
    EXPECT_NE(window.Canvas->GetPixel(corner.x, corner.y + 1), clBlack) << name;
    const TPoint blank = InWindow(d.sbDesign1, {792, 493});
    EXPECT_EQ(window.Canvas->GetPixel(blank.x, blank.y), clWhite) << name;
    TGridWebElement* first = d.PageObjects().front();
    const TPoint topLeft = InWindow(first, {0, 0});
    int drawn = 0;
    for (int y = topLeft.y; y < topLeft.y + first->Height(); ++y)
      for (int x = topLeft.x; x < topLeft.x + first->Width(); ++x) {
        const TColor c = window.Canvas->GetPixel(x, y);
        drawn += c != clWhite && c != static_cast<TColor>(0x999999) ? 1 : 0;
      }
    EXPECT_GT(drawn, 10) << name << " object " << first->FUid;
  }
  // Back to the first page: every page was stored on leaving it.
  ClickNode(pages.front());
  for (TTreeNode* node : pages) {
    TmyXmlNode* page = static_cast<TmyXmlNode*>(node->Data);
    EXPECT_NE(page->FindAttr("ucid"), nullptr) << page->GetAttr("name");
    EXPECT_NE(page->GetAttr("width"), "0") << page->GetAttr("name");
  }
}

TEST_F(ExampleProject, SavedUnchangedItEqualsTheExampleButForThePagesStamps) {
  // The demo's operator panels, as the host reports them.
  for (const auto& [rack, pos, type, in, out, name] : {std::tuple{0, 1, "HMI10", "PnlIn1", "PnlOut1", "Line panel"},
                                                       std::tuple{2, 5, "HMI12", "PnlIn2", "PnlOut2", "Panel 2/5"}}) {
    TGPanel panel;
    panel.rack = rack;
    panel.position = pos;
    std::snprintf(panel.type, sizeof panel.type, "%s", type);
    std::snprintf(panel.in, sizeof panel.in, "%s", in);
    std::snprintf(panel.out, sizeof panel.out, "%s", out);
    std::snprintf(panel.name, sizeof panel.name, "%s", name);
    host->panels.push_back(panel);
  }
  for (TTreeNode* node : PageNodes()) ClickNode(node);
  ClickNode(PageNodes().front());
  designer->SetModified();
  designer->btnSave2Click(nullptr);
  const std::string example = ReadBytes(SourcePath(kExample));
  const std::string saved = ReadBytes(folder.Path() / "Tarnwell" / "Demo.xml");
  ASSERT_FALSE(saved.empty());
  EXPECT_NE(saved, example);  // every page carries its stamp and size now
  EXPECT_EQ(WithoutPageStamps(saved), WithoutPageStamps(example));
  EXPECT_EQ(ReadBytes(folder.Path() / "Tarnwell" / "Demo.xml.bak"), example);
}
