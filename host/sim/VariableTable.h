#pragma once
// The host's table of PLC variables, built from the host project: answers
// what the host's variables interface, its IEC variables manager and its web
// variable map are asked about a variable name.
//
// The web variable map numbers every name a page can use: a declared
// variable keeps the number the project gives it (`tdi`), the others get the
// numbers above the highest given one in declaration order; then every
// member and element of each variable, in declaration order and depth first,
// gets the next numbers. So the numbers stay the same from build to build
// while the declarations stay, whatever order the names are asked in.
//
// A name is a declared variable followed by any number of ".member" and
// "[index]" selectors ("Canvas1.touch.x", "Recipes[2].speed"); names compare
// without regard to case, as IEC identifiers do.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/sim/HostProject.h"
#include "host/sim/PlcTypeShape.h"

struct ResolvedVariable {
  std::string name;  // as asked
  PlcTypeShapePtr shape;
  PlcArea area = PlcArea::R;
  std::uint32_t address = 0;  // byte offset in the area
  int bit = -1;               // 0..7 for a BOOL, -1 otherwise
  // The number the web variable map gives the name: the declared variable's
  // own, or one of its members' or elements' (each has a number of its own).
  std::uint32_t tdi = 0;
  std::uint32_t tdiOffset = 0;  // byte offset from the declared variable's start

  // The size code of the host's position query: the bit number for a BOOL.
  std::uint16_t SizeCode() const { return bit >= 0 ? static_cast<std::uint16_t>(bit) : shape->sizeCode; }
  // Size in bytes (1 for a BOOL).
  std::uint32_t Size() const { return shape->isBit ? 1 : shape->size; }
};

class VariableTable {
 public:
  VariableTable() = default;
  // Raises HostProjectError when a type cannot be laid out (ReadHostProject
  // has checked that already).
  explicit VariableTable(const HostProject& project);

  std::optional<ResolvedVariable> Resolve(const std::string& name) const;

  // Member names of a structure (in declaration order), none for a name that
  // is unknown or not a structure.
  std::optional<std::vector<std::string>> Members(const std::string& name) const;

  // The declared variables' names in declaration order.
  std::vector<std::string> Names() const;
  // The declared variables whose host type name (or structure name) is
  // `hostTypeName`, for the typed variable browser.
  std::vector<std::string> NamesOfType(const std::string& hostTypeName) const;
  // The structure type names, for the type list.
  std::vector<std::string> StructTypeNames() const;

 private:
  struct Entry {
    HostVariableDecl decl;
    PlcTypeShapePtr shape;
    std::uint32_t number = 0;      // the variable's map number
    std::uint32_t firstBelow = 0;  // the map number of its first member or element
  };
  void NumberEntries();
  std::vector<Entry> entries_;
  std::vector<std::string> structNames_;
};
