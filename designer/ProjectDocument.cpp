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

// Removes the blanks from the first attribute of each of the names, in one
// walk over the node's attributes (a project holds tens of thousands of
// objects, each with a score of attributes).
template <std::size_t kCount>
void RemoveBlanks(TmyXmlNode* node, const std::array<std::string_view, kCount>& names) {
  if (node == nullptr) return;
  std::array<bool, kCount> seen{};
  for (TmyXmlAttrNode* attr = node->firstAttr; attr != nullptr; attr = attr->next) {
    std::size_t i = 0;
    while (i < kCount && !(attr->name == names[i])) ++i;
    if (i == kCount || seen[i]) continue;
    seen[i] = true;
    if (attr->value.find(' ') == std::string_view::npos) continue;
    std::string value(attr->value);
    std::erase(value, ' ');
    attr->value = value;
  }
}

// The object's kind element: its first child that is not the texts of the
// languages (`lang` stands first in a project with several languages).
TmyXmlNode* KindElementOf(const TmyXmlNode* object) {
  TmyXmlNode* child = object->firstChild;
  while (child != nullptr && (!IsElement(child) || child->name == "lang")) child = child->next;
  return child;
}

void StripObjectVariables(TmyXmlNode* object) {
  static constexpr std::array<std::string_view, 4> kObjectAttrs = {"visvar", "clickxvar", "clickyvar", "clickcol"};
  static constexpr std::array<std::string_view, 2> kKindAttrs = {"variable", "datavariable"};
  RemoveBlanks(object, kObjectAttrs);
  RemoveBlanks(KindElementOf(object), kKindAttrs);
}

// True when an ancestor of the node below `top` is an object: the blanks of an
// object's variables are stripped from the outermost object only.
bool InsideObject(const TmyXmlNode* node, const TmyXmlNode* top) {
  for (const TmyXmlNode* up = node->parent; up != nullptr && up != top; up = up->parent)
    if (IsElement(up) && up->name == "object") return true;
  return false;
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

void TProjectDocument::AssignMissingUids(TmyXmlNode* node) { AssignUids(node, false); }

void TProjectDocument::AssignUids(TmyXmlNode* top, bool stripVariables) {
  for (TmyXmlNode* cur = top; cur != nullptr; cur = NextInSubtree(cur, top, false)) {
    // The name first: most elements are none of the three, and their attributes are not read.
    if (!IsElement(cur)) continue;
    const bool object = cur->name == "object";
    if (!object && !(cur->name == "group" || cur->name == "page")) continue;
    if (cur->FindAttr("Uid") == nullptr) cur->SetAttrIntStr("Uid", uidCounter_++);
    if (stripVariables && object && !InsideObject(cur, top)) StripObjectVariables(cur);
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
