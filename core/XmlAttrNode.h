#pragma once
// One attribute of an XML element: a name and a decoded value, kept in a doubly
// linked list of its owner in document order.
//
// Adding or removing an attribute of a node of a parsed tree, or changing one
// of its texts, marks that tree's arena as changed (XmlArena.h).

#include <cstddef>
#include <new>
#include <string>
#include <string_view>

#include "core/XmlArena.h"
#include "core/XmlString.h"

class TmyXmlNode;

class TmyXmlAttrNode {
 public:
  // With an owner, the attribute is appended as the owner's last attribute.
  inline TmyXmlAttrNode(std::string_view aName, TmyXmlNode* aOwner);
  // Unlinks the attribute from its owner's list.
  inline ~TmyXmlAttrNode();

  TmyXmlAttrNode(const TmyXmlAttrNode&) = delete;
  TmyXmlAttrNode& operator=(const TmyXmlAttrNode&) = delete;

  // Storage: the ordinary heap, or an arena that the reader fills
  // (new (arena) ...). Delete gives a reader's object back to its arena.
  static void* operator new(std::size_t aSize) { return ::operator new(aSize); }
  static void* operator new(std::size_t aSize, TXmlArena* aArena) {
    return aArena->Allocate(aSize, TXmlArena::kAttributeLane);
  }
  static void operator delete(TmyXmlAttrNode* aObject, std::destroying_delete_t) noexcept {
    TXmlArena::Destroy(aObject);
  }
  static void operator delete(void* aObject) noexcept { ::operator delete(aObject); }
  static void operator delete(void*, TXmlArena* aArena) noexcept { aArena->Unallocate(); }
  // The arena of a reader's object, null for a heap object.
  TXmlArena* ArenaOrNull() const noexcept { return name.resident() ? TXmlArena::ArenaAt(this) : nullptr; }

  TXmlString name;
  TXmlString value;
  TmyXmlNode* owner = nullptr;
  TmyXmlAttrNode* next = nullptr;
  TmyXmlAttrNode* prev = nullptr;

 private:
  friend class TXmlReader;
  template <typename T>
  friend void XmlLinkLast(T* aItem, T*& aFirst, T*& aLast) noexcept;
  friend class TmyXmlNode;
  struct ReadTag {};
  // Made by the reader in its arena: the name a resident view (aName followed by
  // a NUL), the value resident and empty, appended to aOwner without marking.
  inline TmyXmlAttrNode(ReadTag, const char* aName, std::size_t aNameSize, TmyXmlNode* aOwner) noexcept;
  // Marks the arena of a parsed tree that this attribute or its owner is in.
  inline void Changing() noexcept;
};

// The constructor and destructor are defined inline in XmlNode.h (they need the
// node's fields), so that the reader's attribute loop inlines them.
#include "core/XmlNode.h"
