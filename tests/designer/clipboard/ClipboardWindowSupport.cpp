#include "tests/designer/clipboard/ClipboardWindowSupport.h"

#include "core/UiText.h"
#include "core/XmlNode.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/PngWriter.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Resources.h"
#include "platform/win/ShellOpen.h"

namespace cliptest {

namespace {

class THost : public TDesignerHost {
 public:
  explicit THost(const testsupport::TempFolder& folder) : folder_(folder) {}
  TProjectLocation ProjectLocation() override {
    TProjectLocation location;
    location.hostProjectDir = folder_.Path().string() + "\\";
    location.hostProjectName = "Proj";
    return location;
  }
  std::string UpdateStConstants(TmyXmlNode*) override { return {}; }

 private:
  const testsupport::TempFolder& folder_;
};

}  // namespace

std::string SolidPng(int width, int height, unsigned colour) {
  testsupport::TempFolder scratch("clippng");
  TBitmap bitmap;
  bitmap.SetSize(width, height);
  bitmap.Canvas->Brush->Color = static_cast<TColor>(colour);
  bitmap.Canvas->FillRect(TRect{0, 0, width, height});
  const std::string file = scratch.Native("p.png");
  EXPECT_TRUE(SaveBitmapAsPng(bitmap, file));
  return scratch.Read("p.png");
}

void ClipboardWindow::SetUp() {
  ASSERT_TRUE(LoadDefaultUiTable(HInstance));
  Driver::Reset();
  ClearMessageBoxLog();
  ClearShellOpenLog();
  Clipboard()->Clear();
}

void ClipboardWindow::TearDown() {
  designer.reset();
  Driver::Reset();
  ClearMessageBoxLog();
  ClearShellOpenLog();
  SetShellOpenHandler(nullptr);
  Clipboard()->Clear();
  FreeUiTable();
}

TFormDesign1& ClipboardWindow::Open(testsupport::TempFolder& folder, const std::string& project,
                                    const std::map<std::string, std::string>& pictures) {
  designer.reset();
  folder.Write("Tarnwell/Proj.xml", project);
  for (const auto& [name, bytes] : pictures) folder.Write("Tarnwell/Images/" + name, bytes);
  designer = std::make_unique<TFormDesign1>(nullptr, std::make_unique<THost>(folder));
  designer->Show();
  designer->FTreeChangeSuppressed = false;
  return *designer;
}

TTreeNode* ClipboardWindow::Node(const std::string& text) const {
  for (TTreeNode* n = designer->tvPageList->Items()->GetFirstNode(); n != nullptr; n = n->GetNext())
    if (n->Text() == text) return n;
  ADD_FAILURE() << "no tree node \"" << text << "\"";
  return nullptr;
}

void ClipboardWindow::ClickNode(TTreeNode* node) {
  ASSERT_NE(node, nullptr);
  const TRect label = node->DisplayRect(true);
  Driver::Click(designer->tvPageList, (label.Left + label.Right) / 2, (label.Top + label.Bottom) / 2);
}

void ClipboardWindow::ChooseFromTreeMenu(TTreeNode* node, const std::string& caption) {
  ASSERT_NE(node, nullptr);
  const TRect label = node->DisplayRect(true);
  Driver::ChoosePopupItem("TreePopup", caption);
  Driver::Click(designer->tvPageList, (label.Left + label.Right) / 2, (label.Top + label.Bottom) / 2, mbRight);
}

std::vector<std::string> ClipboardWindow::TreeTexts() const {
  std::vector<std::string> texts;
  for (TTreeNode* n = designer->tvPageList->Items()->GetFirstNode(); n != nullptr; n = n->GetNext())
    texts.push_back((n->Parent() != nullptr ? "  " : "") + n->Text());
  return texts;
}

TGridWebElement* ClipboardWindow::ObjectByCaption(const std::string& caption) const {
  for (TGridWebElement* object : designer->PageObjects())
    if (object->GetCaption() == caption) return object;
  return nullptr;
}

std::string ClipboardWindow::ZOrder() const {
  std::string order;
  for (TGridWebElement* object : designer->PageObjects()) order += object->GetCaption();
  return order;
}

std::vector<std::string> ClipboardWindow::Dump() const {
  std::vector<std::string> lines;
  for (TGridWebElement* object : designer->PageObjects()) {
    const TPoint p = object->GetPosition();
    lines.push_back(object->GetCaption() + " " + std::to_string(p.x) + "," + std::to_string(p.y) +
                    (object->Visible() ? "" : " hidden") + (object->Selected() ? " sel" : ""));
  }
  return lines;
}

std::string ClipboardWindow::DocumentText() const {
  TmyXMLParser writer;
  writer.progress = false;
  return writer.WriteNode(designer->Document().Root(), 0);
}

void ClipboardWindow::SaveSurfacePng(const std::string& name) const {
  const std::string png = std::string(TARNWELL_BINARY_DIR) + "/tests/designer/clipboard/" + name + ".png";
  EXPECT_TRUE(SaveControlAsPng(designer.get(), png)) << png;
}

}  // namespace cliptest
