// The node tree of TTreeView: TTreeNode and TTreeNodes.

#include <algorithm>
#include <functional>

#include "platform/vcl/TreeView.h"

namespace {
[[noreturn]] void IndexError(int index) {
  throw EInvalidOperation("List index out of bounds (" + std::to_string(index) + ")");
}
}  // namespace

// --- TTreeNode ---

TTreeNode::~TTreeNode() = default;

std::unique_ptr<TTreeNode> TTreeNode::Unlink(TTreeNode* child) {
  const auto it = std::find_if(children_.begin(), children_.end(), [child](const auto& c) { return c.get() == child; });
  std::unique_ptr<TTreeNode> node = std::move(*it);
  children_.erase(it);
  return node;
}

TTreeView* TTreeNode::TreeView() const { return owner_->view_; }

void TTreeNode::SetText(const std::string& value) {
  text_ = value;
  TreeView()->Invalidate();
}

void TTreeNode::SetImageIndex(int value) {
  imageIndex_ = value;
  TreeView()->Invalidate();
}

void TTreeNode::SetSelectedIndex(int value) {
  selectedIndex_ = value;
  TreeView()->Invalidate();
}

void TTreeNode::SetStateIndex(int value) {
  stateIndex_ = value;
  TreeView()->Invalidate();
}

void TTreeNode::SetHasChildren(bool value) {
  hasChildren_ = value;
  TreeView()->Invalidate();
}

void TTreeNode::SetExpanded(bool value) {
  if (value)
    Expand(false);
  else
    Collapse(false);
}

void TTreeNode::Expand(bool recurse) {
  TTreeView* view = TreeView();
  if (HasChildren() && !expanded_ && view->CanExpand(this)) {
    expanded_ = true;
    view->Invalidate();
    if (view->OnExpanded && !view->Quiet()) view->OnExpanded(view, this);
  }
  if (recurse)
    for (std::size_t i = 0; i < children_.size(); ++i) children_[i]->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
  TTreeView* view = TreeView();
  if (expanded_ && view->CanCollapse(this)) {
    expanded_ = false;
    view->Invalidate();
    // A hidden selection moves to the collapsed node.
    if (view->selected_ != nullptr && view->selected_->HasAsParent(this)) view->MoveSelection(this, false);
    if (view->OnCollapsed && !view->Quiet()) view->OnCollapsed(view, this);
  }
  if (recurse)
    for (std::size_t i = 0; i < children_.size(); ++i) children_[i]->Collapse(true);
}

TTreeNode* TTreeNode::Parent() const { return parent_ == owner_->root_.get() ? nullptr : parent_; }

TTreeNode* TTreeNode::Item(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return children_[static_cast<std::size_t>(index)].get();
}

int TTreeNode::IndexOf(const TTreeNode* child) const {
  const auto it = std::find_if(children_.begin(), children_.end(), [child](const auto& c) { return c.get() == child; });
  return it == children_.end() ? -1 : static_cast<int>(it - children_.begin());
}

int TTreeNode::Index() const { return parent_ == nullptr ? -1 : parent_->IndexOf(this); }

TTreeNode* TTreeNode::getNextSibling() const {
  if (parent_ == nullptr) return nullptr;
  const int i = Index();
  return i + 1 < parent_->Count() ? parent_->children_[static_cast<std::size_t>(i + 1)].get() : nullptr;
}

TTreeNode* TTreeNode::getPrevSibling() const {
  if (parent_ == nullptr) return nullptr;
  const int i = Index();
  return i > 0 ? parent_->children_[static_cast<std::size_t>(i - 1)].get() : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (!children_.empty()) return children_.front().get();
  for (const TTreeNode* n = this; n != nullptr && n->parent_ != nullptr; n = n->parent_)
    if (TTreeNode* next = n->getNextSibling()) return next;
  return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
  TTreeNode* prev = getPrevSibling();
  if (prev == nullptr) return Parent();
  while (!prev->children_.empty()) prev = prev->children_.back().get();
  return prev;
}

TTreeNode* TTreeNode::GetNextVisible() const {
  if (expanded_ && !children_.empty()) return children_.front().get();
  for (const TTreeNode* n = this; n != nullptr && n->parent_ != nullptr; n = n->parent_)
    if (TTreeNode* next = n->getNextSibling()) return next;
  return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const {
  TTreeNode* prev = getPrevSibling();
  if (prev == nullptr) return Parent();
  while (prev->expanded_ && !prev->children_.empty()) prev = prev->children_.back().get();
  return prev;
}

int TTreeNode::Level() const {
  int level = 0;
  for (const TTreeNode* p = Parent(); p != nullptr; p = p->Parent()) ++level;
  return level;
}

int TTreeNode::AbsoluteIndex() const {
  int index = 0;
  for (const TTreeNode* n = owner_->GetFirstNode(); n != nullptr; n = n->GetNext(), ++index)
    if (n == this) return index;
  return -1;
}

bool TTreeNode::HasAsParent(const TTreeNode* node) const {
  if (node == nullptr) return false;
  for (const TTreeNode* p = Parent(); p != nullptr; p = p->Parent())
    if (p == node) return true;
  return false;
}

bool TTreeNode::IsVisible() const {
  for (const TTreeNode* p = Parent(); p != nullptr; p = p->Parent())
    if (!p->expanded_) return false;
  return true;
}

bool TTreeNode::Selected() const { return TreeView()->selected_ == this; }

void TTreeNode::SetSelected(bool value) {
  TTreeView* view = TreeView();
  if (value)
    view->SetSelected(this);
  else if (view->selected_ == this)
    view->SetSelected(nullptr);
}

void TTreeNode::Delete() { owner_->Delete(this); }

void TTreeNode::DeleteChildren() {
  while (!children_.empty()) owner_->Delete(children_.back().get());
}

void TTreeNode::MoveTo(TTreeNode* destination, TNodeAttachMode mode) {
  if (destination == this || (destination != nullptr && destination->HasAsParent(this))) return;
  if (destination != nullptr && destination->owner_ != owner_) return;
  TTreeNode* root = owner_->root_.get();
  TTreeNode* newParent = root;
  if (mode == naAddChild || mode == naAddChildFirst)
    newParent = destination != nullptr ? destination : root;
  else
    newParent = destination != nullptr ? destination->parent_ : root;
  // Unlink first: indexes below refer to the list without this node.
  std::unique_ptr<TTreeNode> self = parent_->Unlink(this);
  std::size_t index = newParent->children_.size();
  if (mode == naAddFirst || mode == naAddChildFirst) index = 0;
  if (mode == naInsert && destination != nullptr) index = static_cast<std::size_t>(destination->Index());
  newParent->children_.insert(newParent->children_.begin() + static_cast<std::ptrdiff_t>(index), std::move(self));
  parent_ = newParent;
  TreeView()->Invalidate();
}

void TTreeNode::MakeVisible() {
  TTreeView* view = TreeView();
  for (TTreeNode* p = Parent(); p != nullptr; p = p->Parent())
    if (!p->expanded_) p->Expand(false);
  const int row = view->RowOf(this);
  if (row < 0) return;
  if (row < view->topIndex_)
    view->SetTopIndex(row);
  else if (row >= view->topIndex_ + view->VisibleCount())
    view->SetTopIndex(row - view->VisibleCount() + 1);
}

bool TTreeNode::AlphaSort(bool recurse) {
  TTreeView* view = TreeView();
  std::stable_sort(children_.begin(), children_.end(),
                   [view](const auto& a, const auto& b) { return view->CompareNodes(a.get(), b.get()) < 0; });
  if (recurse)
    for (const auto& child : children_) child->AlphaSort(true);
  view->Invalidate();
  return true;
}

// --- TTreeNodes ---

TTreeNodes::TTreeNodes(TTreeView* view) : view_(view), root_(new TTreeNode(this)) { root_->expanded_ = true; }

TTreeNodes::~TTreeNodes() = default;

TTreeNode* TTreeNodes::InsertNode(TTreeNode* parent, int index, const std::string& text, void* data) {
  if (parent == nullptr) parent = root_.get();
  if (parent->owner_ != this) throw EInvalidOperation("The node belongs to another tree");
  index = std::clamp(index, 0, parent->Count());
  auto owned = std::unique_ptr<TTreeNode>(new TTreeNode(this));
  TTreeNode* node = owned.get();
  node->text_ = text;
  node->Data = data;
  node->parent_ = parent;
  parent->children_.insert(parent->children_.begin() + index, std::move(owned));
  view_->Invalidate();
  return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) { return AddObject(sibling, text, nullptr); }

TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const std::string& text, void* data) {
  TTreeNode* parent = sibling != nullptr ? sibling->parent_ : root_.get();
  return InsertNode(parent, parent->Count(), text, data);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const std::string& text) {
  return AddObjectFirst(sibling, text, nullptr);
}

TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* sibling, const std::string& text, void* data) {
  return InsertNode(sibling != nullptr ? sibling->parent_ : root_.get(), 0, text, data);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
  return AddChildObject(parent, text, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const std::string& text, void* data) {
  TTreeNode* p = parent != nullptr ? parent : root_.get();
  return InsertNode(p, p->Count(), text, data);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const std::string& text) {
  return AddChildObjectFirst(parent, text, nullptr);
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* parent, const std::string& text, void* data) {
  return InsertNode(parent, 0, text, data);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::string& text) {
  return InsertObject(sibling, text, nullptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* sibling, const std::string& text, void* data) {
  if (sibling == nullptr) return AddObject(nullptr, text, data);
  return InsertNode(sibling->parent_, sibling->Index(), text, data);
}

void TTreeNodes::FreeBranch(TTreeNode* node) {
  node->deleting_ = true;
  while (!node->children_.empty()) FreeBranch(node->children_.back().get());
  if (view_->OnDeletion && !view_->Quiet()) view_->OnDeletion(view_, node);
  if (view_->dropTarget_ == node) view_->dropTarget_ = nullptr;
  if (view_->selected_ == node) view_->selected_ = nullptr;
  node->parent_->Unlink(node);  // and freed
}

void TTreeNodes::Delete(TTreeNode* node) {
  if (node == nullptr || node->deleting_ || node->owner_ != this || node == root_.get()) return;
  TTreeNode* selected = view_->selected_;
  if (selected != nullptr && (selected == node || selected->HasAsParent(node)) && !view_->Quiet()) {
    TTreeNode* next = node->getNextSibling();
    if (next == nullptr) next = node->getPrevSibling();
    if (next == nullptr) next = node->Parent();
    view_->MoveSelection(next, false);
    // A handler may have freed the node meanwhile.
    bool stillThere = false;
    for (TTreeNode* n = GetFirstNode(); n != nullptr && !stillThere; n = n->GetNext()) stillThere = n == node;
    if (!stillThere) return;
  }
  FreeBranch(node);
  view_->SetTopIndex(view_->topIndex_);
  view_->Invalidate();
}

void TTreeNodes::Clear() {
  if (view_->selected_ != nullptr && !view_->Quiet()) view_->MoveSelection(nullptr, false);
  while (!root_->children_.empty()) FreeBranch(root_->children_.back().get());
  view_->selected_ = nullptr;
  view_->topIndex_ = 0;
  view_->Invalidate();
}

int TTreeNodes::Count() const {
  int count = 0;
  for (const TTreeNode* n = GetFirstNode(); n != nullptr; n = n->GetNext()) ++count;
  return count;
}

TTreeNode* TTreeNodes::Item(int index) const {
  if (index < 0) IndexError(index);
  int i = 0;
  for (TTreeNode* n = GetFirstNode(); n != nullptr; n = n->GetNext(), ++i)
    if (i == index) return n;
  IndexError(index);
}

void TTreeNodes::EndUpdate() {
  if (updating_ > 0 && --updating_ == 0) view_->Invalidate();
}
