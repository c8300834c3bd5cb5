// TmyXmlNode: construction, destruction, the sibling lists, creating, moving and
// deleting nodes.

#include "core/XmlNode.h"

#include "core/XmlBuildArena.h"

TmyXmlNode::TmyXmlNode(std::string_view aName, TmyXmlNode* aParent) : name(aName) {
  if (aParent != nullptr) aParent->LinkChildLast(this);
}

TmyXmlNode::~TmyXmlNode() {
  // A tree as it was read holds only its arena's objects, with texts in the
  // arena: its root takes the whole arena with it.
  if (name.resident()) {
    TXmlArena* arena = TXmlArena::ArenaAt(this);
    if (arena->IsRoot(this) && !arena->Changed()) {
      arena->ReleaseTree();
      return;
    }
  }
  Unlink();
  if (firstChild == nullptr && firstAttr == nullptr) return;
  TXmlFreeBatch batch;
  if (TmyXmlNode* first = firstChild) {
    firstChild = lastChild = nullptr;
    DestroyForest(first, batch);
  }
  if (TmyXmlAttrNode* first = firstAttr) {
    firstAttr = lastAttr = nullptr;
    DestroyAttrs(first, batch);
  }
}

void TmyXmlNode::DestroyForest(TmyXmlNode* aFirst, TXmlFreeBatch& aBatch) noexcept {
  // The sibling links serve as the stack of nodes still to destroy: a node's
  // children are put in front of its remaining siblings, then the node goes
  // with its links cleared, so its own destructor has nothing left to walk.
  TmyXmlNode* stack = aFirst;
  while (stack != nullptr) {
    TmyXmlNode* n = stack;
    stack = n->next;
    if (n->firstChild != nullptr) {
      n->lastChild->next = stack;
      stack = n->firstChild;
    }
    if (n->firstAttr != nullptr) DestroyAttrs(n->firstAttr, aBatch);
    n->firstChild = n->lastChild = nullptr;
    n->firstAttr = n->lastAttr = nullptr;
    n->parent = n->next = n->prev = nullptr;
    TXmlArena* arena = n->ArenaOrNull();
    n->~TmyXmlNode();
    aBatch.Free(n, arena);
  }
}

void TmyXmlNode::DestroyChild(TmyXmlNode* aChild) noexcept {
  aChild->Unlink();
  TXmlFreeBatch batch;
  DestroyForest(aChild, batch);
}

void TmyXmlNode::LinkChildLast(TmyXmlNode* aChild) {
  Changing();
  aChild->Changing();
  aChild->parent = this;
  aChild->next = nullptr;
  XmlLinkLast(aChild, firstChild, lastChild);
}

void TmyXmlNode::LinkChildAfter(TmyXmlNode* aChild, TmyXmlNode* aAfter) {
  Changing();
  aChild->Changing();
  if (aAfter == nullptr) {
    aChild->parent = this;
    aChild->prev = nullptr;
    aChild->next = firstChild;
    if (firstChild != nullptr)
      firstChild->prev = aChild;
    else
      lastChild = aChild;
    firstChild = aChild;
    return;
  }
  aChild->parent = this;
  aChild->prev = aAfter;
  aChild->next = aAfter->next;
  if (aAfter->next != nullptr)
    aAfter->next->prev = aChild;
  else
    lastChild = aChild;
  aAfter->next = aChild;
}

bool TmyXmlNode::IsSelfOrAncestorOf(const TmyXmlNode* aNode) const {
  for (const TmyXmlNode* n = aNode; n != nullptr; n = n->parent)
    if (n == this) return true;
  return false;
}

// --- creating ------------------------------------------------------------------

TmyXmlNode* TmyXmlNode::Make(std::string_view aName, const TmyXmlNode* aFor, TmyXmlNode* aParent) {
  TXmlArena* arena = TXmlBuildArena::For(aFor);
  if (arena == nullptr) return new TmyXmlNode(aName, aParent);
  // Resident from the start, so that the name's text comes from the arena too.
  auto* node = new (arena) TmyXmlNode(std::string_view(), nullptr);
  node->name.MakeResident();
  node->value.MakeResident();
  node->name = aName;
  if (aParent != nullptr) aParent->LinkChildLast(node);
  return node;
}

TmyXmlAttrNode* TmyXmlNode::MakeAttr(std::string_view aName, const TmyXmlNode* aFor, TmyXmlNode* aOwner) {
  TXmlArena* arena = TXmlBuildArena::For(aFor);
  if (arena == nullptr) return new TmyXmlAttrNode(aName, aOwner);
  auto* attr = new (arena) TmyXmlAttrNode(std::string_view(), nullptr);
  attr->name.MakeResident();
  attr->value.MakeResident();
  attr->name = aName;
  if (aOwner != nullptr) {
    aOwner->Changing();
    attr->owner = aOwner;
    XmlLinkLast(attr, aOwner->firstAttr, aOwner->lastAttr);
  }
  return attr;
}

TmyXmlNode* TmyXmlNode::AddChild(std::string_view aName) { return Make(aName, this, this); }

TmyXmlNode* TmyXmlNode::InsertFirstChild(std::string_view aName) {
  auto* node = Make(aName, this, nullptr);
  LinkChildAfter(node, nullptr);
  return node;
}

TmyXmlNode* TmyXmlNode::InsertAfter(std::string_view aName) {
  if (parent == nullptr) return nullptr;
  auto* node = Make(aName, parent, nullptr);
  parent->LinkChildAfter(node, this);
  return node;
}

TmyXmlNode* TmyXmlNode::FindOrAddChild(std::string_view aName, std::string_view aAttrName,
                                       std::string_view aAttrValue) {
  if (TmyXmlNode* found = FindChild(aName, aAttrName, false, aAttrValue)) return found;
  TmyXmlNode* node = AddChild(aName);
  if (!aAttrName.empty()) node->SetAttr(aAttrName, aAttrValue);
  return node;
}

// --- moving and deleting -------------------------------------------------------

void TmyXmlNode::Unlink() {
  Changing();
  if (parent != nullptr) parent->Changing();
  if (prev != nullptr)
    prev->next = next;
  else if (parent != nullptr)
    parent->firstChild = next;
  if (next != nullptr)
    next->prev = prev;
  else if (parent != nullptr)
    parent->lastChild = prev;
  parent = nullptr;
  next = nullptr;
  prev = nullptr;
}

TmyXmlNode* TmyXmlNode::ReplaceWith(TmyXmlNode* aOther) {
  // Putting a node into its own place, or an ancestor into its descendant's
  // place, would make the tree a cycle.
  if (aOther == nullptr || aOther->IsSelfOrAncestorOf(this)) return this;
  aOther->Unlink();
  Changing();
  if (parent != nullptr) parent->Changing();
  aOther->parent = parent;
  aOther->prev = prev;
  aOther->next = next;
  if (prev != nullptr)
    prev->next = aOther;
  else if (parent != nullptr)
    parent->firstChild = aOther;
  if (next != nullptr)
    next->prev = aOther;
  else if (parent != nullptr)
    parent->lastChild = aOther;
  parent = nullptr;
  prev = nullptr;
  next = nullptr;
  return this;
}

bool TmyXmlNode::SwapWithAdjacent(TmyXmlNode* aSibling) {
  if (aSibling == nullptr || aSibling == this) return false;
  TmyXmlNode* first;
  TmyXmlNode* second;
  if (next == aSibling) {
    first = this;
    second = aSibling;
  } else if (prev == aSibling) {
    first = aSibling;
    second = this;
  } else {
    return false;
  }
  // first, second -> second, first
  Changing();
  aSibling->Changing();
  TmyXmlNode* before = first->prev;
  TmyXmlNode* after = second->next;
  TmyXmlNode* p = first->parent;
  second->prev = before;
  second->next = first;
  first->prev = second;
  first->next = after;
  if (before != nullptr)
    before->next = second;
  else if (p != nullptr)
    p->firstChild = second;
  if (after != nullptr)
    after->prev = first;
  else if (p != nullptr)
    p->lastChild = first;
  return true;
}

bool TmyXmlNode::SwapSiblings(TmyXmlNode* aOther) {
  if (aOther == nullptr || parent == nullptr || aOther->parent != parent) return false;
  if (aOther == this) return true;
  if (next == aOther || prev == aOther) return SwapWithAdjacent(aOther);
  TmyXmlNode* p = parent;
  TmyXmlNode* aPrev = prev;  // neither is adjacent, so these stay in place
  TmyXmlNode* bPrev = aOther->prev;
  Unlink();
  aOther->Unlink();
  // Relink each one where the other was, the earlier position first.
  p->LinkChildAfter(this, bPrev);
  p->LinkChildAfter(aOther, aPrev);
  return true;
}

void TmyXmlNode::MoveChildrenTo(TmyXmlNode* aTarget) {
  if (aTarget == nullptr || IsSelfOrAncestorOf(aTarget) || firstChild == nullptr) return;
  Changing();
  aTarget->Changing();
  for (TmyXmlNode* c = firstChild; c != nullptr; c = c->next) c->parent = aTarget;
  firstChild->prev = aTarget->lastChild;
  if (aTarget->lastChild != nullptr)
    aTarget->lastChild->next = firstChild;
  else
    aTarget->firstChild = firstChild;
  aTarget->lastChild = lastChild;
  firstChild = nullptr;
  lastChild = nullptr;
}

void TmyXmlNode::DeleteChildren() {
  if (TmyXmlNode* first = firstChild) {
    Changing();
    firstChild = lastChild = nullptr;
    TXmlFreeBatch batch;
    DestroyForest(first, batch);
  }
}

void TmyXmlNode::DeleteChildrenByName(std::string_view aTag) {
  // The cursor moves on before its node is tested, so a destroyed node is never
  // visited again.
  TmyXmlNode* cur = firstChild;
  while (cur != nullptr) {
    TmyXmlNode* candidate = cur;
    cur = cur->next;
    if (candidate->name == aTag) DestroyChild(candidate);
  }
}

void TmyXmlNode::DeleteChildrenByNameDeep(std::string_view aTag) {
  // Pre-order walk below this node; a matching node is destroyed with its subtree
  // and the walk goes on with the node that followed that subtree.
  auto after = [this](TmyXmlNode* n) -> TmyXmlNode* {
    while (n != this && n->next == nullptr) n = n->parent;
    return n == this ? nullptr : n->next;
  };
  TmyXmlNode* cur = firstChild;
  while (cur != nullptr) {
    if (cur->name == aTag) {
      TmyXmlNode* following = after(cur);
      cur->parent->DestroyChild(cur);
      cur = following;
    } else if (cur->firstChild != nullptr) {
      cur = cur->firstChild;
    } else {
      cur = after(cur);
    }
  }
}

void TmyXmlNode::DeleteChildrenWithAttr(std::string_view aAttrName) {
  TmyXmlNode* cur = firstChild;
  while (cur != nullptr) {
    TmyXmlNode* candidate = cur;
    cur = cur->next;
    if (candidate->FindAttr(aAttrName) != nullptr) DestroyChild(candidate);
  }
}

int TmyXmlNode::ChildCount() const {
  int n = 0;
  for (const TmyXmlNode* c = firstChild; c != nullptr; c = c->next) ++n;
  return n;
}
