// TFormDesign1: the commands of the page tree. Top-level nodes are the
// project's groups, their children the groups' pages; each node's data is its
// element, the node's text only a display copy. Every command marks the
// project modified first.

#include "designer/PageTree.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <memory>
#include <string>
#include <string_view>

#include "base/ScopeExit.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/MessageBox.h"

namespace {

constexpr int kDeleteQuestionId = 7133;
constexpr int kUnnamedTextId = 7141;
constexpr const char* kMessageCaption = "Tarnwell";
constexpr const char* kNewPagePause = "1000";
// Only so many characters of a page's file name count for its number.
constexpr std::size_t kPageNameLimit = 31;
// Page file names that count for the numbering begin with this (letter case
// aside).
constexpr std::string_view kPagePrefix = "PAGE";
constexpr int kModalOk = 1;

TmyXmlNode* ElementOf(const TTreeNode* node) {
  return node != nullptr ? static_cast<TmyXmlNode*>(node->Data) : nullptr;
}

bool IsLockedGroup(const TmyXmlNode* group) {
  return group != nullptr && group->name == "group" && group->GetAttrInt("locked", 0) != 0;
}

// Frees an element of the document (its destructor unlinks it).
void DeleteElement(TmyXmlNode* element) { std::unique_ptr<TmyXmlNode> owned(element); }

// What follows the prefix as the C library's atoi reads it: blanks, a sign, the
// digits up to the first other character; 0 without digits.
long long PageNumberOf(const std::string& stem) {
  std::size_t i = kPagePrefix.size();
  while (i < stem.size() && std::isspace(static_cast<unsigned char>(stem[i]))) ++i;
  bool negative = false;
  if (i < stem.size() && (stem[i] == '+' || stem[i] == '-')) negative = stem[i++] == '-';
  long long value = 0;
  for (; i < stem.size() && std::isdigit(static_cast<unsigned char>(stem[i])); ++i)
    value = std::min<long long>(value * 10 + (stem[i] - '0'), INT_MAX);
  return negative ? -value : value;
}

void CopyNodeLooks(const TTreeNode& from, TTreeNode& to) {
  to.SetImageIndex(from.ImageIndex());
  to.SetSelectedIndex(from.SelectedIndex());
  to.SetStateIndex(from.StateIndex());
}

}  // namespace

int MakeUniquePageName(TFormDesign1& designer, TStringList* stems, bool includeSelected) {
  TTreeNode* reference = designer.tvPageList->Selected();
  if (designer.FFromDesignSurface && reference != nullptr && reference->Parent() == nullptr)
    reference = reference->getFirstChild();
  long long highest = 0;
  for (TTreeNode* group = designer.tvPageList->Items()->GetFirstNode(); group != nullptr;
       group = group->getNextSibling()) {
    for (TTreeNode* page = group->getFirstChild(); page != nullptr; page = page->getNextSibling()) {
      std::string stem = ElementOf(page)->GetAttr("name").substr(0, kPageNameLimit);
      stem = stem.substr(0, stem.find('.'));
      if (stems != nullptr && (page != reference || includeSelected)) stems->Add(stem);
      if (UpperCase(stem.substr(0, kPagePrefix.size())) == kPagePrefix) highest = std::max(highest, PageNumberOf(stem));
    }
  }
  return static_cast<int>(highest);
}

TmyXmlNode* TFormDesign1::GroupOfNode(TTreeNode* node) const {
  if (node == nullptr) return nullptr;
  return ElementOf(node->Parent() != nullptr ? node->Parent() : node);
}

void TFormDesign1::btnAddGroupClick(TObject*) {
  WriteTraceLog("AddGroupClick");
  SetModified();
  TmyXmlNode* web = document_->Web();
  if (web == nullptr) return;
  TTreeNodes* items = tvPageList->Items();
  const std::string unnamed = GetUiText(kUnnamedTextId);
  TmyXmlNode* group = nullptr;
  TTreeNode* node = nullptr;
  if (TTreeNode* selected = tvPageList->Selected()) {
    TTreeNode* groupNode = selected->Parent() != nullptr ? selected->Parent() : selected;
    group = ElementOf(groupNode)->InsertAfter("group");
    TTreeNode* next = groupNode->getNextSibling();
    node = next != nullptr ? items->InsertObject(next, unnamed, group) : items->AddObject(nullptr, unnamed, group);
  } else {
    group = web->AddChild("group");
    node = items->AddObject(nullptr, unnamed, group);
  }
  tvPageList->SetSelected(node);
  group->SetAttr("caption", "");
  // A unique id from the start, as the load gives every group: the texts for
  // translation find groups by it.
  document_->AssignMissingUids(group);
  // The group stays whatever its properties dialog answers.
  tvPageListDblClick(tvPageList);
  WriteTraceLog("AddGroupClick - end");
}

void TFormDesign1::btnAddPageClick(TObject*) {
  WriteTraceLog("AddPageClick");
  // A page that is not added changes nothing and marks nothing: the flags and
  // the unique-id counter as they were come back then.
  const bool wasModified = document_->Modified();
  const bool refusalShown = FSaveRefusalShown;
  const bool saveEnabled = btnSave2->Enabled();
  const int uidCounter = document_->UidCounter();
  const auto unmark = [&] {
    document_->SetUidCounter(uidCounter);
    if (wasModified) return;
    document_->SetModified(false);
    FSaveRefusalShown = refusalShown;
    btnSave2->SetEnabled(saveEnabled);
  };
  SetModified();
  const std::string caption = "Page" + std::to_string(MakeUniquePageName(*this, nullptr, false) + 1);
  TTreeNode* selected = tvPageList->Selected();
  if (selected == nullptr) {
    unmark();
    WriteTraceLog("AddPageClick - end");
    return;
  }
  // A locked group takes no new page, and nothing is said.
  if (IsLockedGroup(GroupOfNode(selected))) {
    unmark();
    return;
  }
  TTreeNodes* items = tvPageList->Items();
  TmyXmlNode* page = nullptr;
  TTreeNode* node = nullptr;
  if (selected->Parent() != nullptr) {
    page = ElementOf(selected)->InsertAfter("page");
    TTreeNode* next = selected->getNextSibling();
    node = next != nullptr ? items->InsertObject(next, caption, page) : items->AddObject(selected, caption, page);
  } else {
    page = ElementOf(selected)->InsertFirstChild("page");
    node = items->AddChildObjectFirst(selected, caption, page);
  }
  tvPageList->SetSelected(node);
  page->SetAttr("caption", caption);
  page->SetAttr("name", UpperCase(caption) + ".xml");
  page->SetAttr("ajax", "true");
  page->SetAttr("pause", kNewPagePause);
  document_->AssignMissingUids(page);
  node->SetText(NodeText(page));
  tvPageListDblClick(tvPageList);
  if (FPropertiesResult == kModalOk) {
    if (!document_->Settings().menuOff) RenewAllPageUcids();
  } else {
    // Cancelled: the page goes again.
    RemoveSelectedNode(node, page);
    unmark();
  }
  WriteTraceLog("AddPageClick - end");
}

void TFormDesign1::btnDeletePageClick(TObject*) {
  WriteTraceLog("DeletePageClick");
  TTreeNode* selected = tvPageList->Selected();
  if (selected != nullptr) {
    // A page of a locked group stays, silently; a locked group itself goes.
    if (selected->Parent() != nullptr && IsLockedGroup(GroupOfNode(selected))) return;
    // The project is marked changed only once the user said Yes: while the
    // question is open, and after No, nothing changed and Save stays as it was.
    const std::string question = GetUiText(kDeleteQuestionId);
    if (MessageBox(Handle(), question.c_str(), kMessageCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    SetModified();
    RemoveSelectedNode(selected, ElementOf(selected));
    EnsureDefaultPage();
    if (!document_->Settings().menuOff) RenewAllPageUcids();
  }
  WriteTraceLog("DeletePageClick - end");
}

// Deletes the element (a group with its pages, or one page) and the selected
// node that stands for it, then selects the next sibling, else the previous
// one, else the parent. The current page is cleared first, so that leaving it
// stores nothing; and the node leaves the selection before it goes, since the
// tree would otherwise select a neighbour itself while the node still stands:
// its parent group shows its first page, which is the page being deleted,
// and the surface would then be stored into an element that no longer exists.
void TFormDesign1::RemoveSelectedNode(TTreeNode* node, TmyXmlNode* element) {
  TTreeNode* next = node->getNextSibling();
  if (next == nullptr) next = node->getPrevSibling();
  if (next == nullptr) next = node->Parent();
  DeleteElement(element);
  FCurrentPage = nullptr;
  tvPageList->SetSelected(nullptr);
  node->Delete();
  tvPageList->SetSelected(next);
}

void TFormDesign1::btnPageUpClick(TObject*) { MoveSelectedNode(true); }
void TFormDesign1::btnPageDownClick(TObject*) { MoveSelectedNode(false); }

// The node and its neighbour exchange their elements in the document (also
// when other elements stand between them); in the tree the node is made anew
// at its new place with its pages, and keeps its expanded state.
void TFormDesign1::MoveSelectedNode(bool up) {
  SetModified();
  TTreeNode* node = tvPageList->Selected();
  if (node == nullptr) return;
  TTreeNode* neighbour = up ? node->getPrevSibling() : node->getNextSibling();
  if (neighbour == nullptr) return;
  ElementOf(node)->SwapSiblings(ElementOf(neighbour));
  TTreeNodes* items = tvPageList->Items();
  items->BeginUpdate();
  ScopeExit endUpdate([items] { items->EndUpdate(); });
  const bool expanded = node->Expanded();
  TTreeNode* before = up ? neighbour : neighbour->getNextSibling();
  TTreeNode* moved = before != nullptr ? items->InsertObject(before, node->Text(), node->Data)
                                       : items->AddObject(node, node->Text(), node->Data);
  CopyNodeLooks(*node, *moved);
  for (TTreeNode* child = node->getFirstChild(); child != nullptr; child = child->getNextSibling())
    CopyNodeLooks(*child, *items->AddChildObject(moved, child->Text(), child->Data));
  node->Delete();
  tvPageList->SetSelected(moved);
  moved->SetExpanded(expanded);
}

void TFormDesign1::EnsureDefaultPage() {
  TmyXmlNode* web = document_->Web();
  if (web == nullptr) return;
  TmyXmlNode* first = web->FindDeep("page");
  for (TmyXmlNode* page = first; page != nullptr; page = page->FindDeep("page"))
    if (page->FindAttr("default") != nullptr) return;
  if (first != nullptr) first->SetAttr("default", "true");
}

std::int32_t TFormDesign1::RenewAllPageUcids() {
  std::int32_t time = GetUcidTime();
  TmyXmlNode* web = document_->Web();
  if (web == nullptr) return time;
  for (TmyXmlNode* page = web->FindDeep("page"); page != nullptr; page = page->FindDeep("page"))
    time = RenewPageUcid(page);
  return time;
}

// The shown page is stored with the designer's stamp (SavePage): it takes
// the new one too, or the next store would write the old stamp back.
std::int32_t TFormDesign1::RenewPageUcid(TmyXmlNode* page) {
  const std::int32_t time = GetUcidTime();
  page->SetAttrIntStr("ucid", time);
  if (page == FCurrentPage) FCurrentUcid = time;
  return time;
}

// A collapse only follows a press on the node's expand button (so that a
// double click on a group, which opens its properties, leaves it open).
void TFormDesign1::tvPageListCollapsing(TObject*, TTreeNode*, bool& allowCollapse) {
  allowCollapse = tvPageList->Tag != 0;
  tvPageList->Tag = 0;
}

void TFormDesign1::tvPageListMouseDown(TObject*, TMouseButton button, TShiftState, int x, int y) {
  tvPageList->Tag = (tvPageList->GetHitTestInfoAt(x, y) & htOnButton) != 0 ? 1 : 0;
  if (button != mbRight) return;
  if (TTreeNode* node = tvPageList->GetNodeAt(x, y)) tvPageList->SetSelected(node);
  const TPoint screen = tvPageList->ClientToScreen({x, y});
  TreePopup->Popup(screen.x, screen.y);
}
