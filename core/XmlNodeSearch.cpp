// TmyXmlNode: searches. Every search is a linear walk in document order and
// returns the first match.

#include "core/XmlNode.h"

#include <span>

namespace {

bool Matches(const TmyXmlNode* n, std::string_view tag, std::string_view attrName, std::string_view attrValue) {
  if (!tag.empty() && n->name != tag) return false;
  if (attrName.empty()) return attrValue.empty();
  const TmyXmlAttrNode* a = n->FindAttr(attrName);
  if (a == nullptr) return false;
  return attrValue.empty() || a->value == attrValue;
}

// The walk of FindDeep: one cursor and a direction. Going down, the cursor node
// is tested (unless it is the start) and the cursor moves to its first child;
// without one, or coming up, it moves to the next sibling (going down again) or
// to the parent (coming up). It ends above the top of the tree.
template <typename Pred>
TmyXmlNode* WalkFollowing(TmyXmlNode* start, Pred pred) {
  TmyXmlNode* cur = start;
  bool down = true;
  while (cur != nullptr) {
    if (down) {
      if (cur != start && pred(cur)) return cur;
      if (cur->firstChild != nullptr) {
        cur = cur->firstChild;
        continue;
      }
    }
    if (cur->next != nullptr) {
      cur = cur->next;
      down = true;
    } else {
      cur = cur->parent;
      down = false;
    }
  }
  return nullptr;
}

// The walk of FindNode: pre-order over `start` and its following siblings
// (with their subtrees when descending); it never climbs above start's level.
template <typename Pred>
TmyXmlNode* WalkLevel(TmyXmlNode* start, bool descend, Pred pred) {
  const TmyXmlNode* level = start->parent;
  TmyXmlNode* cur = start;
  while (cur != nullptr) {
    if (pred(cur)) return cur;
    if (descend && cur->firstChild != nullptr) {
      cur = cur->firstChild;
      continue;
    }
    while (cur->next == nullptr) {
      if (cur->parent == level) return nullptr;
      cur = cur->parent;
    }
    cur = cur->next;
  }
  return nullptr;
}

// A predicate for the walks above that fills each empty slot of `found` whose
// tag (any name for an empty one) a node has, and stops the walk when every
// slot is filled.
class TFirstOfEach {
 public:
  TFirstOfEach(std::span<const std::string_view> tags, std::span<TmyXmlNode*> found) : tags_(tags), found_(found) {
    for (TmyXmlNode*& slot : found_) slot = nullptr;
  }
  bool operator()(TmyXmlNode* n) {
    for (std::size_t i = 0; i < tags_.size(); ++i) {
      if (found_[i] == nullptr && (tags_[i].empty() || n->name == tags_[i])) {
        found_[i] = n;
        ++filled_;
      }
    }
    return filled_ == tags_.size();
  }

 private:
  std::span<const std::string_view> tags_;
  std::span<TmyXmlNode*> found_;
  std::size_t filled_ = 0;
};

}  // namespace

TmyXmlNode* TmyXmlNode::FindNode(std::string_view aTag, std::string_view aAttrName, bool aDescend,
                                 std::string_view aAttrValue) {
  return WalkLevel(this, aDescend, [&](const TmyXmlNode* n) { return Matches(n, aTag, aAttrName, aAttrValue); });
}

TmyXmlNode* TmyXmlNode::FindNext(TmyXmlNode* aStart, std::string_view aTag, std::string_view aAttrName, bool aDescend,
                                 std::string_view aAttrValue) {
  return aStart != nullptr ? aStart->FindNode(aTag, aAttrName, aDescend, aAttrValue) : nullptr;
}

TmyXmlNode* TmyXmlNode::FindChild(std::string_view aTag, std::string_view aAttrName, bool aDescend,
                                  std::string_view aAttrValue) {
  return firstChild != nullptr ? firstChild->FindNode(aTag, aAttrName, aDescend, aAttrValue) : nullptr;
}

TmyXmlNode* TmyXmlNode::FindChildN(int aN, std::string_view aTag, std::string_view aAttrValue,
                                   std::string_view aAttrName) {
  if (aN < 1) return nullptr;
  for (TmyXmlNode* c = firstChild; c != nullptr; c = c->next)
    if (Matches(c, aTag, aAttrName, aAttrValue) && --aN == 0) return c;
  return nullptr;
}

TmyXmlNode* TmyXmlNode::FindInTree(std::string_view aTag) { return FindNode(aTag, {}, true, {}); }

TmyXmlNode* TmyXmlNode::FindDeep(std::string_view aTag) {
  return WalkFollowing(this, [&](const TmyXmlNode* n) { return Matches(n, aTag, {}, {}); });
}

void TmyXmlNode::FindChildEach(std::span<const std::string_view> aTags, std::span<TmyXmlNode*> aFound) {
  TFirstOfEach pred(aTags, aFound.first(aTags.size()));
  if (firstChild != nullptr && !aTags.empty()) WalkLevel(firstChild, true, pred);
}

void TmyXmlNode::FindDeepEach(std::span<const std::string_view> aTags, std::span<TmyXmlNode*> aFound) {
  TFirstOfEach pred(aTags, aFound.first(aTags.size()));
  if (!aTags.empty()) WalkFollowing(this, pred);
}

TmyXmlNode* TmyXmlNode::FindDeepAttr(std::string_view aTag, std::string_view aAttrName, std::string_view aAttrValue) {
  return WalkFollowing(this, [&](const TmyXmlNode* n) { return Matches(n, aTag, aAttrName, aAttrValue); });
}

TmyXmlNode* TmyXmlNode::FindComment(std::string_view aText) {
  return WalkFollowing(this, [&](const TmyXmlNode* n) { return n->comment && n->name == aText; });
}
