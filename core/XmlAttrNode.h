#pragma once
// One attribute of an XML element: a name and a decoded value, kept in a doubly
// linked list of its owner in document order.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/XmlArena.h"

class TmyXmlNode;

class TmyXmlAttrNode {
 public:
  // With an owner, the attribute is appended as the owner's last attribute.
  inline TmyXmlAttrNode(std::string_view aName, TmyXmlNode* aOwner);
  // Unlinks the attribute from its owner's list.
  inline ~TmyXmlAttrNode();

  TmyXmlAttrNode(const TmyXmlAttrNode&) = delete;
  TmyXmlAttrNode& operator=(const TmyXmlAttrNode&) = delete;

  // Storage with the hidden word of TXmlArena: the ordinary heap, or an arena
  // that the reader fills (new (arena) ...).
  static void* operator new(std::size_t aSize) { return TXmlArena::HeapAllocate(aSize); }
  static void* operator new(std::size_t aSize, TXmlArena* aArena) { return aArena->Allocate(aSize); }
  static void operator delete(void* aObject) noexcept { TXmlArena::Free(aObject); }
  static void operator delete(void* aObject, TXmlArena*) noexcept { TXmlArena::Free(aObject); }

  std::string name;
  std::string value;
  TmyXmlNode* owner = nullptr;
  TmyXmlAttrNode* next = nullptr;
  TmyXmlAttrNode* prev = nullptr;
};

// The constructor and destructor are defined inline in XmlNode.h (they need the
// node's fields), so that the reader's attribute loop inlines them.
#include "core/XmlNode.h"
