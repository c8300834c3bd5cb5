// TFormDesign1: the image manager command and the image pickers that the
// property dialogs use; renames of several images at once.

#include <memory>

#include "core/WriteFailureNotice.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "generator/ProjectImages.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/StringList.h"
#include "project/FormImageManager.h"

namespace {

std::unique_ptr<TFormImageManager> OpenImageManager(TFormDesign1& designer, TmyXmlNode* images) {
  auto dialog = std::make_unique<TFormImageManager>(&designer);
  dialog->Designer = &designer;
  dialog->LoadXML(images);
  return dialog;
}

}  // namespace

void TFormDesign1::btnImageManagerClick(TObject*) {
  auto dialog = OpenImageManager(*this, Document().Images());
  if (ShowModalWithNotice(*dialog) == mrOk) SetModified();
}

TmyXmlNode* TFormDesign1::PickImage(const std::string& current) {
  auto dialog = OpenImageManager(*this, Document().Images());
  dialog->SelectImage(current);
  if (ShowModalWithNotice(*dialog) != mrOk) return nullptr;
  SetModified();
  TmyXmlNode* chosen = dialog->ChosenImage();
  return chosen == nullptr ? nullptr : FindImageNode(chosen->GetAttr("name"));
}

std::unique_ptr<TStringList> TFormDesign1::PickImages(const std::string& current, bool withType) {
  auto dialog = OpenImageManager(*this, Document().Images());
  dialog->lvImages->SetMultiSelect(true);
  dialog->SelectImage(current);
  // The list's items carry the working copy's elements, which OK moves into
  // the project: the lines are read before the dialog is freed.
  if (ShowModalWithNotice(*dialog) != mrOk) return nullptr;
  SetModified();
  auto lines = std::make_unique<TStringList>();
  TListItems* items = dialog->lvImages->Items();
  for (int i = 0; i < items->Count(); ++i) {
    TListItem* item = items->Item(i);
    if (!item->Selected() || item->Data == nullptr) continue;
    const auto* node = static_cast<const TmyXmlNode*>(item->Data);
    lines->Add(withType ? node->GetAttr("longname") + "." + node->GetAttr("type") : node->GetAttr("name"));
  }
  return lines;
}

TmyXmlNode* TFormDesign1::FindImageNode(const std::string& name) const {
  return ::FindImageNode(Document().Images(), name);
}

void TFormDesign1::RenameImages(const std::map<std::string, std::string>& renames) {
  // Each old name first becomes a placeholder no file can have, then its new
  // name: a name that is both old and new is never confused.
  int i = 0;
  for (const auto& [oldName, newName] : renames) {
    const std::string parked = "?" + std::to_string(i++);
    RenameImageReferences(nullptr, oldName, parked);
    RenameImageOnPage(oldName, parked);
  }
  i = 0;
  for (const auto& [oldName, newName] : renames) {
    const std::string parked = "?" + std::to_string(i++);
    RenameImageReferences(nullptr, parked, newName);
    RenameImageOnPage(parked, newName);
  }
}
