#pragma once
// Shared pieces of the page-object tests: a designer with two project
// languages and placeholders at three levels, a variable lookup that knows the
// demo host project's variables, and the read-then-write round trip of a page.

#include <memory>
#include <string>
#include <vector>

#include "core/XmlDocument.h"
#include "designer/FormDesign1.h"
#include "grid/GridWebElement.h"
#include "grid/ScrollPositions.h"

namespace gridtest {

// Types of the demo project's variables (names as the host project declares
// them); any other name is unknown (type code -1, empty type name).
void FakeLookup(const std::string& name, TPinVariable& record);

std::string ReadFile(const std::string& path);
std::string SourcePath(const std::string& relative);

// A parsed document and its tree.
struct TParsed {
  TmyXMLParser parser;
  std::unique_ptr<TmyXmlNode> root;
  explicit TParsed(const std::string& text);
};

// A designer with languages 1033 (editor) and 1029, and the placeholders
// motor = Speed (page), run = MotorOn (group), lamp = Lamp (global); the
// variable lookup is bound to FakeLookup while it lives.
class TDesignerFixture {
 public:
  TDesignerFixture();
  ~TDesignerFixture();
  TFormDesign1* designer() const { return designer_.get(); }
  std::vector<TGridWebElement*> Elements() const;
  // LoadObjects of the container's objects, then every element written back
  // with SaveToXml in surface order into the container (emptied of its
  // `object` children first).
  void LoadAndWriteBack(TmyXmlNode* container);
  void ClearSurface();

 private:
  std::unique_ptr<TFormDesign1> designer_;
};

// The page text (one `page` element) read and written back.
std::string RoundTripPage(TDesignerFixture& fixture, const std::string& text);
// Scrolls a surface to (x, y) whatever its children's extent.
void SetScroll(TScrollBox* box, int x, int y);
// The text of a tree as the writer writes it.
std::string WriteTree(TmyXmlNode* root);

}  // namespace gridtest

namespace gridtest {
// The objects of a page text read onto the fixture's emptied surface.
std::vector<TGridWebElement*> LoadPage(TDesignerFixture& fixture, const std::string& text);
// The one object of a page text.
TGridWebElement* LoadOne(TDesignerFixture& fixture, const std::string& objectText);
// The element written alone (its `object` element's text).
std::string Written(TGridWebElement* element, bool withLanguages = true);
}  // namespace gridtest
