// TFormDesign1: the clipboard of the page tree. Copy writes the selected
// group or page with everything it holds and the pictures it uses; Paste puts
// such a copy next to the selected node, renaming pasted pages whose file
// names the project already has ("PAGE%i.XML") and, inside a pasted group,
// the links to them.

#include <memory>
#include <utility>
#include <vector>

#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "designer/ClipboardText.h"
#include "designer/FormDesign1.h"
#include "designer/PageClipboard.h"
#include "designer/PageTree.h"
#include "designer/ProjectDocument.h"
#include "generator/XmlUtilities.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/MessageBox.h"

namespace {

constexpr int kUnnamedTextId = 7141;
constexpr std::size_t kStemLimit = 31;
constexpr const char* kMessageCaption = "Tarnwell";

TmyXmlNode* ElementOf(const TTreeNode* node) {
  return node != nullptr ? static_cast<TmyXmlNode*>(node->Data) : nullptr;
}

TmyXmlNode* FirstElementChild(TmyXmlNode* node) {
  for (TmyXmlNode* child = node->firstChild; child != nullptr; child = child->next)
    if (!child->comment && !child->instruction) return child;
  return nullptr;
}

// A deep copy of `source` (tag, value, flags, attributes, children) made by
// `make`, which creates the element in its place.
template <typename Make>
TmyXmlNode* CopyElement(const TmyXmlNode* source, Make make) {
  TmyXmlNode* copy = make(source->name);
  copy->CopyFrom(source);
  copy->CopyChildren(source);
  // Read as an empty element or not, the copy is written with the children
  // it holds now or gets later (objects stored into a pasted page).
  copy->closed = false;
  return copy;
}

std::string PageName(int number) { return "PAGE" + std::to_string(number) + ".XML"; }

// The project's page stems (compared without regard to case) and the next
// free page number.
struct TPageNames {
  TStringList stems;
  int next = 1;

  // The new name of a pasted page whose stem the project has; empty when its
  // name is free. The new stem is taken at once.
  std::string Rename(const std::string& name) {
    if (stems.IndexOf(FileStem(name)) < 0) return std::string();
    const std::string renamed = PageName(next++);
    stems.Add(FileStem(renamed));
    return renamed;
  }
};

// Every element below `root`, in document order.
std::vector<TmyXmlNode*> ElementsBelow(TmyXmlNode* root) {
  std::vector<TmyXmlNode*> elements;
  std::vector<TmyXmlNode*> pending;
  for (TmyXmlNode* child = root->lastChild; child != nullptr; child = child->prev) pending.push_back(child);
  while (!pending.empty()) {
    TmyXmlNode* node = pending.back();
    pending.pop_back();
    if (node->comment || node->instruction) continue;
    elements.push_back(node);
    for (TmyXmlNode* child = node->lastChild; child != nullptr; child = child->prev) pending.push_back(child);
  }
  return elements;
}

// The group's tree node right after `groupNode` (or last), with its pages.
void PasteGroup(TFormDesign1& d, TmyXmlNode* item, TTreeNode* selected, TPageNames& names) {
  TTreeNode* groupNode = selected->Parent() != nullptr ? selected->Parent() : selected;
  if (groupNode != selected) d.tvPageList->SetSelected(groupNode);
  TmyXmlNode* target = ElementOf(groupNode);
  TmyXmlNode* group = CopyElement(item, [&](const std::string& name) { return target->InsertAfter(name); });
  const std::string caption = group->GetAttr("caption");
  TTreeNodes* items = d.tvPageList->Items();
  const std::string text = caption.empty() ? GetUiText(kUnnamedTextId) : caption;
  TTreeNode* nextNode = groupNode->getNextSibling();
  TTreeNode* node =
      nextNode != nullptr ? items->InsertObject(nextNode, text, group) : items->AddObject(nullptr, text, group);
  node->SetStateIndex(group->GetAttrInt("locked", 0) != 0 ? 1 : 0);
  std::vector<std::pair<std::string, std::string>> renamed;
  for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next) {
    if (page->name != "page") continue;
    const std::string oldName = page->GetAttr("name");
    const std::string newName = names.Rename(oldName);
    if (!newName.empty()) {
      renamed.emplace_back(oldName, newName);
      page->SetAttrIfExists("name", newName);
    }
    page->DeleteAttr("default");
    items->AddChildObject(node, d.NodeText(page), page);
  }
  // The copy's ids were stripped: the pasted group, its pages and their
  // objects take new ones.
  d.Document().AssignMissingUids(group);
  for (TmyXmlNode* link : ElementsBelow(group)) {
    TmyXmlAttrNode* href = link->FindAttr("href");
    if (href == nullptr) continue;
    for (const auto& [oldName, newName] : renamed)
      if (SameText(href->value, oldName)) {
        href->value = newName;
        break;
      }
  }
  // Selected once its pages stand, so that its first page is shown.
  d.tvPageList->SetSelected(node);
  d.SetModified();
}

// A single page: the first page of a selected group, or right after the
// selected page; nothing in a locked group. Its links stay as they are.
void PastePage(TFormDesign1& d, TmyXmlNode* item, TTreeNode* selected, TPageNames& names) {
  TmyXmlNode* target = ElementOf(selected);
  const bool toGroup = target->name == "group";
  const TmyXmlNode* group = toGroup ? target : target->parent;
  if (group != nullptr && group->GetAttrInt("locked", 0) != 0) return;
  TmyXmlNode* page = CopyElement(item, [&](const std::string& name) {
    return toGroup ? target->InsertFirstChild(name) : target->InsertAfter(name);
  });
  const std::string newName = names.Rename(page->GetAttr("name"));
  if (!newName.empty()) page->SetAttr("name", newName);
  page->DeleteAttr("default");
  d.Document().AssignMissingUids(page);
  TTreeNodes* items = d.tvPageList->Items();
  TTreeNode* node = nullptr;
  if (toGroup) {
    node = items->AddChildObjectFirst(selected, d.NodeText(page), page);
  } else {
    TTreeNode* nextNode = selected->getNextSibling();
    node = nextNode != nullptr ? items->InsertObject(nextNode, d.NodeText(page), page)
                               : items->AddChildObject(selected->Parent(), d.NodeText(page), page);
  }
  d.tvPageList->SetSelected(node);
  d.SetModified();
}
}  // namespace

std::string FileStem(const std::string& fileName) {
  const std::string limited = fileName.substr(0, kStemLimit);
  return limited.substr(0, limited.find('.'));
}

void TFormDesign1::Copy3Click(TObject*) {
  if (FCurrentPage != nullptr) SavePage(FCurrentPage);
  TmyXmlNode* element = ElementOf(tvPageList->Selected());
  if (element == nullptr) return;
  TmyXmlNode wrapper("");
  TmyXmlNode* clipboard = wrapper.AddChild("clipboard");
  clipboard->SetAttr("src", ClipboardSource());
  CopyElement(element, [&](const std::string& name) { return clipboard->AddChild(name); });
  if (!FLangMutations) clipboard->DeleteChildrenByNameDeep("lang");
  clipboard->AddChild("images");
  CollectClipboardImages(clipboard);
  Clipboard()->SetAsText(ClipboardTextOf(&wrapper));
}

void TFormDesign1::Paste2Click(TObject*) {
  TTreeNode* selected = tvPageList->Selected();
  TmyXmlNode* target = ElementOf(selected);
  if (target == nullptr) return;
  const std::string text = Clipboard()->AsText();
  TClipboardDocument document = ReadClipboardText(text, {"clipboard"});
  if (!document.fault.empty()) {
    WriteTraceLog("Paste2Click refused: " + document.fault);
    const std::string message = PasteRefusalText(document.fault);
    MessageBox(Handle(), message.c_str(), kMessageCaption, MB_OK | MB_ICONWARNING);
    return;
  }
  if (document.top == nullptr) return;
  TmyXmlNode* item = FirstElementChild(document.top);
  StripUidAttrs(document.root->firstChild);
  if (item == nullptr) return;
  ImportClipboardImages(document.top);
  TPageNames names;
  names.next = MakeUniquePageName(*this, &names.stems, true) + 1;
  if (item->name == "group") {
    PasteGroup(*this, item, selected, names);
  } else if (item->name == "page") {
    PastePage(*this, item, selected, names);
  } else {
    PasteObjectsFromText(text);
  }
}
