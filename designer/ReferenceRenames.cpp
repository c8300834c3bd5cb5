#include "designer/ReferenceRenames.h"

#include <array>

#include "core/XmlNode.h"

namespace {

// The image references by element: the attributes that hold an image name.
// `mulimg` names its images in its children (empty attribute list here).
struct TImageReference {
  const char* element;
  std::array<const char*, 2> attributes;
};

constexpr std::array<TImageReference, 5> kImageReferences{{
    {"image", {"on", "off"}},
    {"imagebtn", {"on", "off"}},
    {"picture", {"img", nullptr}},
    {"mulimg", {nullptr, nullptr}},
    {"page", {"background", nullptr}},
}};

int RenameAttr(TmyXmlNode* node, const char* attribute, const std::string& oldName, const std::string& newName) {
  if (attribute == nullptr) return 0;
  TmyXmlAttrNode* attr = node->FindAttr(attribute);
  if (attr == nullptr || attr->value != oldName) return 0;
  attr->value = newName;
  return 1;
}

int RenameChildNames(TmyXmlNode* node, const std::string& oldName, const std::string& newName) {
  int count = 0;
  for (TmyXmlNode* child = node->firstChild; child != nullptr; child = child->next)
    if (!child->comment && !child->instruction) count += RenameAttr(child, "name", oldName, newName);
  return count;
}

// `page` of every child named `child` of the first element named `list`.
int RenameListPages(TmyXmlNode* root, const char* list, const char* child, const std::string& oldName,
                    const std::string& newName) {
  TmyXmlNode* first = root->FindDeep(list);
  if (first == nullptr) return 0;
  int count = 0;
  for (TmyXmlNode* node = first->firstChild; node != nullptr; node = node->next)
    if (node->name == child) count += RenameAttr(node, "page", oldName, newName);
  return count;
}

}  // namespace

int RenameImageReferencesAfter(TmyXmlNode* start, const std::string& oldName, const std::string& newName) {
  if (start == nullptr || oldName.empty()) return 0;
  int count = 0;
  for (const TImageReference& reference : kImageReferences) {
    for (TmyXmlNode* node = start->FindDeep(reference.element); node != nullptr;
         node = node->FindDeep(reference.element)) {
      for (const char* attribute : reference.attributes) count += RenameAttr(node, attribute, oldName, newName);
      if (node->name == "mulimg") count += RenameChildNames(node, oldName, newName);
    }
  }
  return count;
}

int RenamePageReferencesBelow(TmyXmlNode* root, const std::string& oldName, const std::string& newName) {
  if (root == nullptr || oldName.empty()) return 0;
  int count = 0;
  for (TmyXmlNode* node = root->FindDeepAttr("", "href", ""); node != nullptr;
       node = node->FindDeepAttr("", "href", ""))
    count += RenameAttr(node, "href", oldName, newName);
  count += RenameListPages(root, "alarms", "alarm", oldName, newName);
  count += RenameListPages(root, "security", "user", oldName, newName);
  count += RenameListPages(root, "autologin", "mac", oldName, newName);
  return count;
}

// --- the designer's renames: the project document and the shown page ---------

#include "designer/FormDesign1.h"
#include "grid/GridWebElement.h"

void TFormDesign1::RenameImageReferences(TmyXmlNode* root, const std::string& oldName, const std::string& newName) {
  if (root == nullptr) root = document_->Root();
  RenameImageReferencesAfter(root, oldName, newName);
}

void TFormDesign1::RenameImageOnPage(const std::string& oldName, const std::string& newName) {
  for (TGridWebElement* object : PageObjects()) {
    switch (object->Kind()) {
      case wkImage:
      case wkPicture:
      case wkImageBtn:
        if (object->GetOnImageName() == oldName) object->SetOnImageName(newName);
        if (object->GetOffImageName() == oldName) object->SetOffImageName(newName);
        break;
      case wkMultiImage: object->RenameImage(oldName, newName); break;
      default: break;
    }
  }
}

void TFormDesign1::RenamePageReferences(const std::string& oldName, const std::string& newName) {
  RenamePageReferencesBelow(document_->Root(), oldName, newName);
  if (oldName.empty()) return;
  for (TGridWebElement* object : PageObjects())
    if (object->FHref == oldName) object->FHref = newName;
}
