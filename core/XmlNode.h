#pragma once
// The XML document model: elements, comments and processing instructions are all
// nodes of one class, held in doubly linked sibling lists in document order; a
// node owns its children and its attributes (TmyXmlAttrNode).
//
// Names compare exactly (byte by byte, case-sensitive). Absent nodes and
// attributes give null, false, empty text or the stated default; the only
// exception that leaves the model is EConvertError from GetAttrIntStrict.
//
// Every walk over a subtree (destruction, copies, searches) runs without
// recursion, so a tree of any depth can be handled.
//
// A tree that the reader built lives in one TXmlArena, names and values as
// views into the arena's copy of the text. Its nodes are ordinary nodes: they
// can be changed, moved into other trees, detached and kept, or deleted one by
// one, and each change marks the arena (XmlArena.h). Deleting the root of a tree
// that was not changed since it was read releases the arena in one step.

#include <cstddef>
#include <cstdint>
#include <new>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/XmlArena.h"
#include "core/XmlAttrNode.h"
#include "core/XmlString.h"

// Links aItem (whose own links are set by the caller) as the last of the sibling list that
// aFirst and aLast hold: children of a node or its attributes.
// Attribute names prepared once for FindAttrs, for a reader that asks many
// nodes for the same names (a static table): each name's bit under its first
// byte, so that an attribute is compared only with the names that start as it
// does. At most kMaxNames names; the names must outlive the table.
class TXmlAttrNames {
 public:
  static constexpr std::size_t kMaxNames = 64;
  constexpr explicit TXmlAttrNames(std::span<const std::string_view> aNames) : names_(aNames) {
    if (aNames.size() > kMaxNames) throw std::length_error("TXmlAttrNames: too many names");
    // An empty name stands under the NUL that an empty text starts with.
    for (std::size_t i = 0; i < aNames.size(); ++i)
      byFirst_[aNames[i].empty() ? 0 : static_cast<unsigned char>(aNames[i][0])] |= std::uint64_t{1} << i;
  }
  std::size_t size() const noexcept { return names_.size(); }

 private:
  friend class TmyXmlNode;
  std::span<const std::string_view> names_;
  std::uint64_t byFirst_[256] = {};
};

template <typename T>
inline void XmlLinkLast(T* aItem, T*& aFirst, T*& aLast) noexcept {
  aItem->prev = aLast;
  if (aLast != nullptr)
    aLast->next = aItem;
  else
    aFirst = aItem;
  aLast = aItem;
}

class TmyXmlNode {
 public:
  // value empty, line -1, flags clear; with a parent the node is appended as the
  // parent's last child.
  explicit TmyXmlNode(std::string_view aName, TmyXmlNode* aParent = nullptr);
  // Unlinks the node from its parent and siblings, then destroys its subtree and
  // its attributes.
  ~TmyXmlNode();

  TmyXmlNode(const TmyXmlNode&) = delete;
  TmyXmlNode& operator=(const TmyXmlNode&) = delete;

  // Storage: the ordinary heap, or an arena that the reader fills
  // (new (arena) ...). Delete gives a reader's object back to its arena.
  static void* operator new(std::size_t aSize) { return ::operator new(aSize); }
  static void* operator new(std::size_t aSize, TXmlArena* aArena) { return aArena->Allocate(aSize); }
  static void operator delete(TmyXmlNode* aObject, std::destroying_delete_t) noexcept { TXmlArena::Destroy(aObject); }
  static void operator delete(void* aObject) noexcept { ::operator delete(aObject); }
  static void operator delete(void*, TXmlArena* aArena) noexcept { aArena->Unallocate(); }
  // The arena of a reader's object, null for a heap object.
  TXmlArena* ArenaOrNull() const noexcept { return name.resident() ? TXmlArena::ArenaAt(this) : nullptr; }

  // --- creating nodes -------------------------------------------------------
  // A new detached node that will become a child of aFor: from the build arena
  // open for aFor's children (XmlBuildArena.h), or from the heap.
  static TmyXmlNode* NewFor(std::string_view aName, const TmyXmlNode* aFor) { return Make(aName, aFor, nullptr); }
  TmyXmlNode* AddChild(std::string_view aName);
  TmyXmlNode* InsertFirstChild(std::string_view aName);
  // Right after this node among its siblings; null (nothing made) without parent.
  TmyXmlNode* InsertAfter(std::string_view aName);
  // The first direct child with that tag whose attribute aAttrName equals
  // aAttrValue; otherwise a new last child carrying that one attribute.
  TmyXmlNode* FindOrAddChild(std::string_view aName, std::string_view aAttrName, std::string_view aAttrValue);

  // --- attributes -----------------------------------------------------------
  TmyXmlAttrNode* FindAttr(std::string_view aName) const;
  // The first attribute of each of aNames (null where there is none), found in
  // one pass over the list: for a reader of many attributes of one node.
  void FindAttrs(std::span<const std::string_view> aNames, std::span<const TmyXmlAttrNode*> aFound) const;
  // The same for names prepared once; aFound holds a slot for each name.
  void FindAttrs(const TXmlAttrNames& aNames, std::span<const TmyXmlAttrNode*> aFound) const;
  // An attribute's value read as GetAttrInt reads it: the default without an
  // attribute or a decimal number.
  static std::int32_t AttrInt(const TmyXmlAttrNode* aAttr, std::int32_t aDefault);
  // Sets the first attribute of that name, or appends a new one at the end.
  TmyXmlAttrNode* SetAttr(std::string_view aName, std::string_view aValue);
  TmyXmlAttrNode* UpdateAttr(std::string_view aName, std::string_view aValue);
  // Appends a new attribute without looking for one of the same name.
  TmyXmlAttrNode* AppendAttr(std::string_view aName, std::string_view aValue);
  TmyXmlAttrNode* SetAttrInt(std::string_view aName, std::int32_t aValue);
  TmyXmlAttrNode* SetAttrIntStr(std::string_view aName, std::int32_t aValue);
  // In front of the existing attributes (no look-up by name); as SetAttr when the
  // node has none.
  TmyXmlAttrNode* InsertFirstAttr(std::string_view aName, std::string_view aValue);
  bool SetAttrIfExists(std::string_view aName, std::string_view aValue);
  std::string GetAttr(std::string_view aName) const;
  // The value when present and not empty, else the default.
  std::string GetAttrDef(std::string_view aName, std::string_view aDefault) const;
  // Decimal integer; the default when absent or not a number.
  std::int32_t GetAttrInt(std::string_view aName, std::int32_t aDefault) const;
  // Hexadecimal digits in either case, as scanf's "%X" reads them; the default
  // (0 unless given) when absent or unreadable.
  std::uint32_t GetAttrHex(std::string_view aName, std::uint32_t aDefault = 0) const;
  // False (aOut untouched) when absent; otherwise the decimal value and true.
  // Throws EConvertError when the text is not a decimal integer.
  bool GetAttrIntStrict(std::string_view aName, std::int32_t& aOut) const;
  bool DeleteAttr(std::string_view aName);
  void DeleteAllAttrs();

  // --- searching ------------------------------------------------------------
  // A node matches when: a non-empty tag equals its name; a non-empty attribute
  // name is one of its attributes; a non-empty attribute value equals that
  // attribute's value. A value without an attribute name matches nothing.
  //
  // This node, then each following sibling; with aDescend each node's subtree is
  // searched right after the node (document order).
  TmyXmlNode* FindNode(std::string_view aTag, std::string_view aAttrName = {}, bool aDescend = false,
                       std::string_view aAttrValue = {});
  // FindNode started at aStart; null for a null start.
  static TmyXmlNode* FindNext(TmyXmlNode* aStart, std::string_view aTag, std::string_view aAttrName = {},
                              bool aDescend = false, std::string_view aAttrValue = {});
  // FindNode started at the first child.
  TmyXmlNode* FindChild(std::string_view aTag, std::string_view aAttrName = {}, bool aDescend = false,
                        std::string_view aAttrValue = {});
  // The n-th (1-based) matching direct child.
  TmyXmlNode* FindChildN(int aN, std::string_view aTag, std::string_view aAttrValue = {},
                         std::string_view aAttrName = {});
  // This node with its descendants, then each following sibling with its own.
  TmyXmlNode* FindInTree(std::string_view aTag);
  // The nodes after this one in document order up to the end of the whole tree
  // (descendants, following siblings, following siblings of every ancestor);
  // this node itself never matches.
  TmyXmlNode* FindDeep(std::string_view aTag);
  TmyXmlNode* FindDeepAttr(std::string_view aTag, std::string_view aAttrName, std::string_view aAttrValue);
  // Several searches in one walk, for a tree too large to walk once a tag:
  // aFound[i] (aFound holds at least as many slots as aTags) becomes what
  // FindChild(aTags[i], {}, true) / FindDeep(aTags[i]) finds.
  void FindChildEach(std::span<const std::string_view> aTags, std::span<TmyXmlNode*> aFound);
  void FindDeepEach(std::span<const std::string_view> aTags, std::span<TmyXmlNode*> aFound);
  // The same walk; a comment node whose text equals aText.
  TmyXmlNode* FindComment(std::string_view aText);
  int ChildCount() const;

  // --- moving and deleting --------------------------------------------------
  // Detaches the node (with its subtree) from parent and siblings.
  void Unlink();
  // Puts aOther in this node's place and returns this node, detached. A null
  // aOther, this node itself, or an ancestor of this node changes nothing.
  TmyXmlNode* ReplaceWith(TmyXmlNode* aOther);
  // Exchanges this node with its directly preceding or following sibling.
  bool SwapWithAdjacent(TmyXmlNode* aSibling);
  // Exchanges two children of the same parent, adjacent or not.
  bool SwapSiblings(TmyXmlNode* aOther);
  // Appends all children, in order, to aTarget. A null target, this node or one
  // of its descendants changes nothing.
  void MoveChildrenTo(TmyXmlNode* aTarget);
  void DeleteChildren();
  void DeleteChildrenByName(std::string_view aTag);
  // Destroys the nodes with that tag at every depth below this node.
  void DeleteChildrenByNameDeep(std::string_view aTag);
  void DeleteChildrenWithAttr(std::string_view aAttrName);

  // --- copying (a null source copies nothing) --------------------------------
  // Value, the three flags and every attribute (through SetAttr); the name stays.
  void CopyFrom(const TmyXmlNode* aSource);
  // Deep copies of the source's children appended to this node's children.
  void CopyChildren(const TmyXmlNode* aSource);
  void CopyChildrenExcept(const TmyXmlNode* aSource, std::string_view aTag);
  // ...and on each copied top-level child the attribute aAttrName set to aAttrValue.
  void CopyChildrenExceptSetAttr(const TmyXmlNode* aSource, std::string_view aTag, std::string_view aAttrValue,
                                 std::string_view aAttrName);
  // The same, inserted in front of the existing children, in source order.
  void CopyChildrenFirst(const TmyXmlNode* aSource);
  void CopyChildrenFirstExcept(const TmyXmlNode* aSource, std::string_view aTag);
  void CopyChildrenFirstExceptSetAttr(const TmyXmlNode* aSource, std::string_view aTag, std::string_view aAttrValue,
                                      std::string_view aAttrName);

  // --- copies that share the texts of a lasting tree --------------------------
  // For copies made from a tree that outlives every node made from it (the
  // generator's templates, kept until the process ends): the new node's name,
  // or an attribute's name and value, is a view of the source's text instead of
  // a copy of its own. Changing such a text copies it first, as with any view,
  // and a copy of the new node owns its texts as always. A source text with a
  // NUL inside is copied.
  //
  // A new last child named as aSource.
  TmyXmlNode* AddChildSharingName(const TmyXmlNode& aSource);
  // This node's value becomes aSource's value.
  void ShareValue(const TmyXmlNode& aSource);
  // A new last attribute with aSource's name and value, or with aSource's name
  // and the value aValue.
  TmyXmlAttrNode* AppendAttrSharing(const TmyXmlAttrNode& aSource);
  TmyXmlAttrNode* AppendAttrSharingName(const TmyXmlAttrNode& aSource, std::string_view aValue);

  // --- fields ---------------------------------------------------------------
  // Tag of an element, target of a processing instruction, whole text of a comment.
  TXmlString name;
  // Character data of an element, already decoded.
  TXmlString value;
  // Source line where the reader made the node; -1 for a node made in memory.
  std::int32_t line = -1;
  // Written in the short form without end tag (read from "/>", comments and
  // processing instructions).
  bool closed = false;
  bool instruction = false;
  bool comment = false;
  // Not 0: the node stands for markup already in its written form. `value`
  // holds the text the writer puts in the node's place, made for this depth
  // (1 for a child of the root); the node has no name, attributes or children.
  // The page compile makes such nodes for template copies that nothing reads
  // again (TMarkupTemplate::AppendWritten).
  std::uint8_t writtenDepth = 0;
  TmyXmlNode* next = nullptr;
  TmyXmlNode* prev = nullptr;
  TmyXmlNode* parent = nullptr;
  TmyXmlNode* firstChild = nullptr;
  TmyXmlNode* lastChild = nullptr;
  TmyXmlAttrNode* firstAttr = nullptr;
  TmyXmlAttrNode* lastAttr = nullptr;

 private:
  friend class TXmlReader;
  template <typename T>
  friend void XmlLinkLast(T* aItem, T*& aFirst, T*& aLast) noexcept;
  friend class TmyXmlAttrNode;
  struct ReadTag {};
  // Made by the reader in its arena: the name a resident view (aName followed
  // by a NUL), the value resident and empty; appended to aParent (when given)
  // without marking.
  TmyXmlNode(ReadTag, const char* aName, std::size_t aNameSize, TmyXmlNode* aParent) noexcept {
    name.SetResidentView(aName, aNameSize);
    value.MakeResident();
    if (aParent == nullptr) return;
    parent = aParent;
    XmlLinkLast(this, aParent->firstChild, aParent->lastChild);
  }
  // Marks the arena of a parsed tree that this node belongs to.
  void Changing() noexcept { name.Changing(); }
  // A new node named aName (linked as aParent's last child when aParent is
  // given), or a new attribute (appended to aOwner's when given), from the
  // build arena open for children of aFor (XmlBuildArena.h) or from the heap.
  static TmyXmlNode* Make(std::string_view aName, const TmyXmlNode* aFor, TmyXmlNode* aParent);
  static TmyXmlAttrNode* MakeAttr(std::string_view aName, const TmyXmlNode* aFor, TmyXmlNode* aOwner);
  // Link a detached node as the last child, or directly after aAfter (a child of
  // this node; null for the front).
  void LinkChildLast(TmyXmlNode* aChild);
  void LinkChildAfter(TmyXmlNode* aChild, TmyXmlNode* aAfter);
  // True when this node is aNode or one of aNode's ancestors.
  bool IsSelfOrAncestorOf(const TmyXmlNode* aNode) const;
  // Destroy a detached chain of siblings with their subtrees, or a detached list
  // of attributes, without recursion and without unlinking one by one.
  static void DestroyForest(TmyXmlNode* aFirst, TXmlFreeBatch& aBatch) noexcept;
  static void DestroyAttrs(TmyXmlAttrNode* aFirst, TXmlFreeBatch& aBatch) noexcept;
  // Unlinks one child (or attribute) of this node and destroys it.
  void DestroyChild(TmyXmlNode* aChild) noexcept;
  void DestroyAttr(TmyXmlAttrNode* aAttr) noexcept;
  // aTo (empty) becomes a view of aFrom's text, or a copy when that text holds a NUL.
  static void ShareText(TXmlString& aTo, const TXmlString& aFrom);
  // Builds the deep copies of aSource's children (skipping aExceptTag when not
  // empty) and links them after aAfter, or at the end when aAtEnd.
  void CopyChildrenImpl(const TmyXmlNode* aSource, std::string_view aExceptTag, bool aSetAttr,
                        std::string_view aAttrValue, std::string_view aAttrName, bool aAtEnd);
};

inline TmyXmlAttrNode::TmyXmlAttrNode(std::string_view aName, TmyXmlNode* aOwner) : name(aName), owner(aOwner) {
  if (aOwner == nullptr) return;
  aOwner->Changing();
  XmlLinkLast(this, aOwner->firstAttr, aOwner->lastAttr);
}

inline TmyXmlAttrNode::TmyXmlAttrNode(ReadTag, const char* aName, std::size_t aNameSize, TmyXmlNode* aOwner) noexcept
    : owner(aOwner) {
  name.SetResidentView(aName, aNameSize);
  value.MakeResident();
  XmlLinkLast(this, aOwner->firstAttr, aOwner->lastAttr);
}

inline void TmyXmlAttrNode::Changing() noexcept {
  name.Changing();
  if (owner != nullptr) owner->Changing();
}

inline TmyXmlAttrNode::~TmyXmlAttrNode() {
  if (owner != nullptr || prev != nullptr || next != nullptr) Changing();
  if (prev != nullptr)
    prev->next = next;
  else if (owner != nullptr)
    owner->firstAttr = next;
  if (next != nullptr)
    next->prev = prev;
  else if (owner != nullptr)
    owner->lastAttr = prev;
}
