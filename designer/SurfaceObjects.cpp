#include "designer/SurfaceObjects.h"

#include "grid/GridWebElement.h"
#include "platform/vcl/WinControl.h"

std::vector<TGridWebElement*> OwnedPageObjects(const TWinControl& surface) {
  std::vector<TGridWebElement*> objects;
  for (int i = 0; i < surface.ComponentCount(); ++i)
    if (auto* object = dynamic_cast<TGridWebElement*>(surface.Components(i))) objects.push_back(object);
  return objects;
}

std::vector<TGridWebElement*> PageObjectsInZOrder(const TWinControl& surface) {
  std::vector<TGridWebElement*> objects;
  // The surface lists its children bottom first.
  for (int i = 0; i < surface.ControlCount(); ++i)
    if (auto* object = dynamic_cast<TGridWebElement*>(surface.Controls(i))) objects.push_back(object);
  return objects;
}

void WriteSurfaceObjects(const TWinControl& surface, TmyXmlNode& parent, bool withLanguages) {
  for (TGridWebElement* object : PageObjectsInZOrder(surface)) object->SaveToXml(&parent, withLanguages);
}
