// TmyXmlNode: copies. A deep copy of a node is a new node of the same name,
// then CopyFrom, then the deep copies of its children in order.

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/XmlNode.h"

namespace {

// The deep copy of aSource as a new detached node; built without recursion.
TmyXmlNode* DeepCopy(const TmyXmlNode* aSource) {
  auto top = std::make_unique<TmyXmlNode>(aSource->name);
  top->CopyFrom(aSource);
  const TmyXmlNode* s = aSource->firstChild;
  TmyXmlNode* into = top.get();  // the copy of s's parent
  while (s != nullptr) {
    auto* c = new TmyXmlNode(s->name, into);
    c->CopyFrom(s);
    if (s->firstChild != nullptr) {
      s = s->firstChild;
      into = c;
      continue;
    }
    while (s != aSource && s->next == nullptr) {
      s = s->parent;
      into = into->parent;
    }
    if (s == aSource) break;
    s = s->next;
  }
  return top.release();
}

}  // namespace

void TmyXmlNode::CopyFrom(const TmyXmlNode* aSource) {
  if (aSource == nullptr) return;
  if (aSource != this) value = aSource->value;
  closed = aSource->closed;
  instruction = aSource->instruction;
  comment = aSource->comment;
  writtenDepth = aSource->writtenDepth;
  for (const TmyXmlAttrNode* a = aSource->firstAttr; a != nullptr; a = a->next) SetAttr(a->name, a->value);
}

void TmyXmlNode::CopyChildrenImpl(const TmyXmlNode* aSource, std::string_view aExceptTag, bool aSetAttr,
                                  std::string_view aAttrValue, std::string_view aAttrName, bool aAtEnd) {
  if (aSource == nullptr) return;
  // All copies are made before any is linked, so copying a node's children into
  // itself or into one of its descendants sees the source as it was.
  TmyXmlNode holder{std::string_view()};
  for (const TmyXmlNode* c = aSource->firstChild; c != nullptr; c = c->next) {
    if (!aExceptTag.empty() && c->name == aExceptTag) continue;
    TmyXmlNode* copy = DeepCopy(c);
    holder.LinkChildLast(copy);
    if (aSetAttr && !aAttrName.empty()) copy->SetAttr(aAttrName, aAttrValue);
  }
  TmyXmlNode* after = aAtEnd ? lastChild : nullptr;
  while (TmyXmlNode* copy = holder.firstChild) {
    copy->Unlink();
    LinkChildAfter(copy, after);
    after = copy;
  }
}

void TmyXmlNode::CopyChildren(const TmyXmlNode* aSource) { CopyChildrenImpl(aSource, {}, false, {}, {}, true); }

void TmyXmlNode::CopyChildrenExcept(const TmyXmlNode* aSource, std::string_view aTag) {
  CopyChildrenImpl(aSource, aTag, false, {}, {}, true);
}

void TmyXmlNode::CopyChildrenExceptSetAttr(const TmyXmlNode* aSource, std::string_view aTag,
                                           std::string_view aAttrValue, std::string_view aAttrName) {
  CopyChildrenImpl(aSource, aTag, true, aAttrValue, aAttrName, true);
}

void TmyXmlNode::CopyChildrenFirst(const TmyXmlNode* aSource) { CopyChildrenImpl(aSource, {}, false, {}, {}, false); }

void TmyXmlNode::CopyChildrenFirstExcept(const TmyXmlNode* aSource, std::string_view aTag) {
  CopyChildrenImpl(aSource, aTag, false, {}, {}, false);
}

void TmyXmlNode::CopyChildrenFirstExceptSetAttr(const TmyXmlNode* aSource, std::string_view aTag,
                                                std::string_view aAttrValue, std::string_view aAttrName) {
  CopyChildrenImpl(aSource, aTag, true, aAttrValue, aAttrName, false);
}

// --- copies that share the texts of a lasting tree ------------------------------

void TmyXmlNode::ShareText(TXmlString& aTo, const TXmlString& aFrom) {
  // A view ends at its first NUL: an owned text with one inside stays whole
  // only as a copy. The reader's texts hold none.
  if (aFrom.owned() && std::memchr(aFrom.data(), '\0', aFrom.size()) != nullptr) {
    aTo.assign(aFrom.view());
    return;
  }
  // The view keeps the source's size as any view does (a longer one is
  // measured when asked).
  const std::uintptr_t size = std::min(aFrom.size(), TXmlString::kLongView);
  aTo.bits_ =
      TXmlString::Address(aFrom.data()) | (aTo.bits_ & TXmlString::kResident) | (size << TXmlString::kViewSizeShift);
}

TmyXmlNode* TmyXmlNode::AddChildSharingName(const TmyXmlNode& aSource) {
  auto* node = Make(std::string_view(), this, this);
  ShareText(node->name, aSource.name);
  return node;
}

void TmyXmlNode::ShareValue(const TmyXmlNode& aSource) {
  Changing();
  value.clear();
  ShareText(value, aSource.value);
}

TmyXmlAttrNode* TmyXmlNode::AppendAttrSharing(const TmyXmlAttrNode& aSource) {
  auto* a = MakeAttr(std::string_view(), this, this);
  ShareText(a->name, aSource.name);
  ShareText(a->value, aSource.value);
  return a;
}

TmyXmlAttrNode* TmyXmlNode::AppendAttrSharingName(const TmyXmlAttrNode& aSource, std::string_view aValue) {
  auto* a = MakeAttr(std::string_view(), this, this);
  ShareText(a->name, aSource.name);
  a->value.assign(aValue);
  return a;
}
