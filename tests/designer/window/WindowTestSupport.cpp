#include "tests/designer/window/WindowTestSupport.h"

#include <fstream>
#include <sstream>

#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Resources.h"

namespace windowtest {

std::string SourcePath(const std::string& relative) { return std::string(TARNWELL_SOURCE_DIR) + "/" + relative; }

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TProjectLocation TTestHost::ProjectLocation() {
  TProjectLocation location;
  if (noProject) return location;
  location.hostProjectDir = folder_.Path().string() + "\\";
  location.hostProjectName = name_;
  return location;
}

std::string TTestHost::UpdateStConstants(TmyXmlNode*) {
  ++stConstantsCalls;
  return {};
}

void WindowTest::SetUp() {
  ASSERT_TRUE(LoadDefaultUiTable(HInstance));
  Driver::Reset();
  ClearMessageBoxLog();
}

void WindowTest::TearDown() {
  designer.reset();
  Driver::Reset();
  ClearMessageBoxLog();
  FreeUiTable();
}

void WindowTest::PutProject(const std::string& text, const std::string& relative) {
  folder.Write("Tarnwell/" + relative, text);
}

void WindowTest::CopyTree(const std::string& sourceRelative, const std::string& relative) {
  const std::filesystem::path target = folder.Path() / "Tarnwell" / relative;
  std::filesystem::create_directories(target);
  std::filesystem::copy(SourcePath(sourceRelative), target, std::filesystem::copy_options::recursive);
}

TFormDesign1& WindowTest::MakeDesigner(const std::string& projectName) {
  auto testHost = std::make_unique<TTestHost>(folder, projectName);
  host = testHost.get();
  designer = std::make_unique<TFormDesign1>(nullptr, std::move(testHost));
  return *designer;
}

TFormDesign1& WindowTest::OpenDesigner(const std::string& projectName) {
  TFormDesign1& d = MakeDesigner(projectName);
  d.Show();
  d.FTreeChangeSuppressed = false;
  return d;
}

namespace {

void CollectTexts(TTreeNode* node, int level, std::vector<std::string>& out) {
  for (; node != nullptr; node = node->getNextSibling()) {
    out.push_back(std::string(2 * level, ' ') + node->Text());
    CollectTexts(node->getFirstChild(), level + 1, out);
  }
}

}  // namespace

std::vector<std::string> WindowTest::TreeTexts() const {
  std::vector<std::string> texts;
  CollectTexts(designer->tvPageList->Items()->GetFirstNode(), 0, texts);
  return texts;
}

TTreeNode* WindowTest::Node(const std::string& text) const {
  for (TTreeNode* n = designer->tvPageList->Items()->GetFirstNode(); n != nullptr; n = n->GetNext())
    if (n->Text() == text) return n;
  ADD_FAILURE() << "no tree node \"" << text << "\"";
  return nullptr;
}

void WindowTest::ClickNode(TTreeNode* node) {
  ASSERT_NE(node, nullptr);
  const TRect label = node->DisplayRect(true);
  ASSERT_FALSE(label.Right <= label.Left) << "node \"" << node->Text() << "\" is not visible";
  Driver::Click(designer->tvPageList, (label.Left + label.Right) / 2, (label.Top + label.Bottom) / 2);
}

void WindowTest::ClickButton(TControl* button) { Driver::Click(button); }

std::string WindowTest::DocumentText() const {
  TFormDesign1& d = *designer;
  if (d.Document().Root() == nullptr) return std::string();
  return d.Document().Parser().WriteNode(d.Document().Root(), 0);
}

std::vector<std::string> WindowTest::SurfaceDump() const {
  std::vector<std::string> lines;
  for (TGridWebElement* e : designer->PageObjects()) {
    const TPoint p = e->GetPosition();
    lines.push_back(std::to_string(e->Kind()) + " " + std::to_string(p.x) + "," + std::to_string(p.y) + " " +
                    std::to_string(e->Width()) + "x" + std::to_string(e->Height()) + " " + std::to_string(e->FUid));
  }
  return lines;
}

}  // namespace windowtest
