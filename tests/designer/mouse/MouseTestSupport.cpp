#include "tests/designer/mouse/MouseTestSupport.h"

#include <filesystem>
#include <memory>
#include <sstream>

#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "designer/SurfaceObjects.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/StdCtrls.h"

namespace mousetest {

std::string Block(int uid, int left, int top, int width, int height, int layer) {
  std::ostringstream out;
  out << "<object X=\"" << left / 8 + 1 << "\" Y=\"" << top / 8 + 1 << "\" xoff=\"" << left % 8 << "\" yoff=\""
      << top % 8 << "\" back=\"15790320\" transparent=\"false\" Uid=\"" << uid << "\"";
  if (layer != 0) out << " layer=\"" << layer << "\"";
  out << "><block width=\"" << width << "\" height=\"" << height << "\"/></object>";
  return out.str();
}

void MouseTest::SetUp() {
  WindowTest::SetUp();
  CopyTree("examples/demo/Tarnwell");
  OpenDesigner("Demo");
  ASSERT_EQ(designer->FUnitPixels, 1);
  designer->FGridX = designer->FGridY = 1;
}

void MouseTest::Load(const std::string& objectsText) {
  designer->ClearDesignElements();
  TmyXMLParser parser;
  parser.LoadFromString(("<page>" + objectsText + "</page>").c_str());
  std::unique_ptr<TmyXmlNode> root(parser.Parse());
  ASSERT_NE(root, nullptr);
  designer->LoadObjects(root->FindChild("page"), designer->sbDesign1);
  designer->ResetUndo();
  // The scroll range only grows: the marker starts anew for the test's page.
  designer->lblDummy->SetBounds(0, 0, 1, 1);
}

TGridWebElement* MouseTest::Object(int uid) const {
  for (TGridWebElement* e : OwnedPageObjects(*designer->sbDesign1))
    if (e->FUid == uid) return e;
  return nullptr;
}

std::string MouseTest::Selected() const {
  std::string text;
  for (TGridWebElement* e : OwnedPageObjects(*designer->sbDesign1))
    if (e->Selected()) text += (text.empty() ? "" : " ") + std::to_string(e->FUid);
  return text;
}

std::string MouseTest::Dump() const {
  std::ostringstream out;
  for (TGridWebElement* e : OwnedPageObjects(*designer->sbDesign1)) {
    const TPoint p = e->GetPosition();
    out << e->FUid << ' ' << p.x << ',' << p.y << ' ' << e->Width() << 'x' << e->Height() << '\n';
  }
  return out.str();
}

int MouseTest::Entries() const {
  int n = 0;
  for (TmyXmlNode* entry = designer->FUndoTree->firstChild; entry != nullptr; entry = entry->next) ++n;
  return n;
}

void MouseTest::Drag(int x0, int y0, int x1, int y1, TShiftState shift) {
  TScrollBox* box = designer->sbDesign1;
  Driver::MouseMove(box, x0, y0, shift);
  Driver::MouseDown(box, x0, y0, mbLeft, shift);
  // The first move beyond the threshold starts a band; the next sizes it.
  Driver::MouseMove(box, x1, y1, shift | ssLeft);
  Driver::MouseMove(box, x1, y1, shift | ssLeft);
  Driver::MouseUp(box, x1, y1, mbLeft, shift);
}

std::string MouseTest::Status() const { return designer->sbStatus->Panels()->Items(0)->Text(); }

void MouseTest::SavePng(const std::string& name) const {
  const std::filesystem::path folder = std::filesystem::path(TARNWELL_BINARY_DIR) / "test-png" / "designer-mouse";
  std::filesystem::create_directories(folder);
  EXPECT_TRUE(SaveControlAsPng(designer->sbDesign1, (folder / (name + ".png")).string())) << name;
}

}  // namespace mousetest
