#include "tests/designer/editing/EditingTestSupport.h"

#include <sstream>

#include "core/XmlDocument.h"
#include "designer/SurfaceObjects.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/ScrollBox.h"

namespace editingtest {

void TTestUndoSurface::WriteSurfaceObjects(TmyXmlNode& snapshot) {
  ::WriteSurfaceObjects(*designer_.sbDesign1, snapshot, designer_.FLangMutations);
}

void TTestUndoSurface::RestoreSurfaceObjects(TmyXmlNode& snapshot) {
  ++restores;
  for (TGridWebElement* object : OwnedPageObjects(*designer_.sbDesign1)) {
    std::unique_ptr<TGridWebElement> freed(object);
  }
  designer_.LoadObjects(&snapshot, designer_.sbDesign1);
}

EditingTest::EditingTest()
    : designer_(std::make_unique<TFormDesign1>(nullptr)), surface_(*designer_), history_(surface_) {
  designer_->SetBounds(0, 0, 700, 560);
  box()->SetBounds(0, 0, 640, 480);
  designer_->FUnitPixels = 8;
  designer_->Show();
}

EditingTest::~EditingTest() {
  Driver::Reset();
  designer_->Hide();
}

void EditingTest::LoadObjects(const std::string& objectsText) {
  for (TGridWebElement* object : OwnedPageObjects(*box())) {
    std::unique_ptr<TGridWebElement> freed(object);
  }
  TmyXMLParser parser;
  parser.LoadFromString(("<page>" + objectsText + "</page>").c_str());
  std::unique_ptr<TmyXmlNode> root(parser.Parse());
  ASSERT_NE(root, nullptr);
  designer_->LoadObjects(root->FindChild("page"), box());
}

std::vector<TGridWebElement*> EditingTest::Objects() const { return PageObjectsInZOrder(*box()); }

TGridWebElement* EditingTest::ObjectByUid(int uid) const {
  for (TGridWebElement* object : Objects())
    if (object->FUid == uid) return object;
  return nullptr;
}

std::string EditingTest::Dump() const {
  std::ostringstream out;
  for (TGridWebElement* o : Objects()) {
    const TPoint p = o->GetPosition();
    out << o->FUid << ' ' << o->Kind() << ' ' << p.x << ',' << p.y << ' ' << o->FLayer << ' '
        << (o->Selected() ? "sel" : "-") << ' ' << o->GetCaption() << '\n';
  }
  return out.str();
}

std::string EditingTest::SurfaceText() const {
  TmyXmlNode entry("Undo");
  WriteSurfaceObjects(*box(), entry, designer_->FLangMutations);
  return EntryText(&entry);
}

std::string EditingTest::EntryText(TmyXmlNode* entry) { return WriteTree(entry); }

std::string EditingTest::History() const {
  std::string text;
  for (TmyXmlNode* entry = history_.Tree()->firstChild; entry != nullptr; entry = entry->next) {
    if (!text.empty()) text += ' ';
    TmyXmlNode* object = entry->FindChild("object");
    text += object != nullptr ? object->GetAttr("caption") : "(none)";
    const std::string used = entry->GetAttr("used");
    if (used == "1") text += '*';
    if (used == "0") text += '-';
  }
  return text;
}

std::string Label(int uid, int posX, int posY, const std::string& caption, int layer) {
  std::ostringstream out;
  out << "<object caption=\"" << caption << "\" X=\"" << (posX - 1) / 8 + 1 << "\" Y=\"" << (posY - 1) / 8 + 1
      << "\" xoff=\"" << (posX - 1) % 8 << "\" yoff=\"" << (posY - 1) % 8 << "\" Uid=\"" << uid << "\"";
  if (layer != 0) out << " layer=\"" << layer << "\"";
  out << "><label/></object>";
  return out.str();
}

std::string WriteTree(TmyXmlNode* root) {
  TmyXMLParser writer;
  writer.progress = false;
  return writer.WriteNode(root, 0);
}

}  // namespace editingtest
