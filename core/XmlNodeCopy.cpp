// TmyXmlNode: copies. A deep copy of a node is a new node of the same name,
// then CopyFrom, then the deep copies of its children in order.

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
