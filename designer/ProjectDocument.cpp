// TProjectDocument: construction, the document's elements, unique ids and the
// texts of the page tree. Loading is ProjectLoad.cpp, saving ProjectSave.cpp.

#include "designer/ProjectDocument.h"

#include <array>
#include <string_view>

#include "core/UiText.h"

namespace {

constexpr int kUnnamedTextId = 7141;
constexpr int kPageNameFormatName = 1;
constexpr int kPageNameFormatBoth = 2;

bool IsElement(const TmyXmlNode* node) { return !node->comment && !node->instruction; }

// The next node of a depth-first walk below `top` (not leaving it); with
// `skipChildren` the walk does not go below `node`.
TmyXmlNode* NextInSubtree(TmyXmlNode* node, const TmyXmlNode* top, bool skipChildren) {
  if (!skipChildren && node->firstChild != nullptr) return node->firstChild;
  while (node != top && node->next == nullptr) node = node->parent;
  return node == top ? nullptr : node->next;
}

void RemoveBlanks(TmyXmlNode* node, std::string_view attrName) {
  if (node == nullptr) return;
  TmyXmlAttrNode* attr = node->FindAttr(attrName);
  if (attr == nullptr || attr->value.find(' ') == std::string_view::npos) return;
  std::string value(attr->value);
  std::erase(value, ' ');
  attr->value = value;
}

void StripObjectVariables(TmyXmlNode* object) {
  static constexpr std::array<std::string_view, 4> kObjectAttrs = {"visvar", "clickxvar", "clickyvar", "clickcol"};
  static constexpr std::array<std::string_view, 2> kKindAttrs = {"variable", "datavariable"};
  for (std::string_view name : kObjectAttrs) RemoveBlanks(object, name);
  for (std::string_view name : kKindAttrs) RemoveBlanks(object->firstChild, name);
}

}  // namespace

TProjectDocument::TProjectDocument(TProjectDocumentUi& ui, TSecondsClock clock, std::function<int()> randomUid)
    : ui_(ui), clock_(std::move(clock)), randomUid_(std::move(randomUid)) {}

TProjectDocument::~TProjectDocument() = default;

void TProjectDocument::Clear() {
  images_ = nullptr;
  grid_ = nullptr;
  root_.reset();
}

TmyXmlNode* TProjectDocument::Web() const {
  if (root_ == nullptr) return nullptr;
  TmyXmlNode* last = root_->lastChild;
  return last != nullptr && IsElement(last) && last->name == "web" ? last : nullptr;
}

TmyXmlNode* TProjectDocument::LanguagesElement() const {
  TmyXmlNode* web = Web();
  return web != nullptr ? web->FindChild("Languages") : nullptr;
}

TmyXmlNode* TProjectDocument::LayersElement() const {
  TmyXmlNode* web = Web();
  return web != nullptr ? web->FindChild("Layers") : nullptr;
}

TmyXmlNode* TProjectDocument::PlaceholdersElement() const {
  TmyXmlNode* web = Web();
  return web != nullptr ? web->FindChild("placeholders") : nullptr;
}

bool TProjectDocument::GridEnabled() const { return grid_ != nullptr && grid_->GetAttrInt("Enable", 0) != 0; }

void TProjectDocument::AssignMissingUids(TmyXmlNode* node) {
  for (TmyXmlNode* cur = node; cur != nullptr; cur = NextInSubtree(cur, node, false)) {
    if (!IsElement(cur) || cur->FindAttr("Uid") != nullptr) continue;
    if (cur->name == "group" || cur->name == "page" || cur->name == "object") cur->SetAttrIntStr("Uid", uidCounter_++);
  }
}

std::string TProjectDocument::PageTreeText(const std::string& caption, const std::string& name, bool forceBoth) const {
  const std::string shown = caption.empty() ? GetUiText(kUnnamedTextId) : caption;
  if (name.empty()) return shown;
  if (pageNameFormat_ == kPageNameFormatName) return name;
  if (pageNameFormat_ == kPageNameFormatBoth || forceBoth) return shown + " (" + name + ")";
  return shown;
}

void StripVariableSpaces(TmyXmlNode* first) {
  if (first == nullptr) return;
  // The walk covers the node's following siblings too: it stops at their parent.
  const TmyXmlNode* const top = first->parent;
  TmyXmlNode* cur = first;
  while (cur != nullptr) {
    const bool isObject = IsElement(cur) && cur->name == "object";
    if (isObject) StripObjectVariables(cur);
    if (!isObject && cur->firstChild != nullptr) {
      cur = cur->firstChild;
      continue;
    }
    while (cur != nullptr && cur->next == nullptr) {
      cur = cur->parent;
      if (cur == top) return;
    }
    if (cur != nullptr) cur = cur->next;
  }
}
