#include "host/sim/VariableTable.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/vcl/SysUtils.h"

namespace {

bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The members and elements below a shape, theirs included: the names the web
// variable map numbers under a variable of that shape.
std::uint64_t NamesBelow(const PlcTypeShape& shape) {
  std::uint64_t count = 0;
  if (shape.kind == PlcTypeShape::Kind::Struct) {
    for (const PlcTypeMember& m : shape.members) count += 1 + NamesBelow(*m.shape);
  } else if (shape.kind == PlcTypeShape::Kind::Array) {
    count = static_cast<std::uint64_t>(shape.high - shape.low + 1) * (1 + NamesBelow(*shape.element));
  }
  return count;
}

// Map numbers past the 32 bits wrap; no area holds that many names.
std::uint32_t Low32(std::uint64_t value) { return static_cast<std::uint32_t>(value); }

}  // namespace

VariableTable::VariableTable(const HostProject& project) {
  for (const HostVariableDecl& v : project.variables) entries_.push_back({v, ShapeOfType(v.type, project.structs)});
  for (const HostStructType& s : project.structs) structNames_.push_back(s.name);
  NumberEntries();
}

void VariableTable::NumberEntries() {
  std::uint64_t next = 1;
  for (const Entry& e : entries_) next = std::max<std::uint64_t>(next, std::uint64_t{e.decl.tdi} + 1);
  for (Entry& e : entries_) e.number = e.decl.tdi != 0 ? e.decl.tdi : Low32(next++);
  for (Entry& e : entries_) {
    e.firstBelow = Low32(next);
    next += NamesBelow(*e.shape);
  }
}

std::optional<ResolvedVariable> VariableTable::Resolve(const std::string& name) const {
  std::size_t i = 0;
  while (i < name.size() && IsIdentChar(name[i])) ++i;
  if (i == 0) return std::nullopt;
  const Entry* entry = nullptr;
  std::string base = name.substr(0, i);
  for (const Entry& e : entries_)
    if (SameText(e.decl.name, base)) entry = &e;
  if (!entry) return std::nullopt;

  ResolvedVariable r;
  r.name = name;
  r.shape = entry->shape;
  r.area = entry->decl.area;
  r.address = entry->decl.offset;
  r.bit = entry->shape->isBit ? (entry->decl.bit >= 0 ? entry->decl.bit : 0) : -1;
  // The place of the name among the variable's members and elements, depth
  // first (0: the variable itself).
  std::uint64_t below = 0;

  while (i < name.size()) {
    if (name[i] == '.') {
      std::size_t start = ++i;
      while (i < name.size() && IsIdentChar(name[i])) ++i;
      if (i == start || r.shape->kind != PlcTypeShape::Kind::Struct) return std::nullopt;
      std::string member = name.substr(start, i - start);
      const PlcTypeMember* found = nullptr;
      std::uint64_t before = 0;
      for (const PlcTypeMember& m : r.shape->members) {
        if (SameText(m.name, member)) {
          found = &m;
          break;
        }
        before += 1 + NamesBelow(*m.shape);
      }
      if (!found) return std::nullopt;
      below += 1 + before;
      r.address += found->offset;
      r.shape = found->shape;
    } else if (name[i] == '[') {
      std::size_t close = name.find(']', i);
      if (close == std::string::npos || r.shape->kind != PlcTypeShape::Kind::Array) return std::nullopt;
      std::string digits = name.substr(i + 1, close - i - 1);
      std::size_t k = (!digits.empty() && digits[0] == '-') ? 1 : 0;
      if (k == digits.size() || digits.size() > 7) return std::nullopt;
      for (; k < digits.size(); ++k)
        if (!std::isdigit(static_cast<unsigned char>(digits[k]))) return std::nullopt;
      long index = std::strtol(digits.c_str(), nullptr, 10);
      if (index < r.shape->low || index > r.shape->high) return std::nullopt;
      PlcTypeShapePtr element = r.shape->element;
      r.address += static_cast<std::uint32_t>(index - r.shape->low) * (element->isBit ? 1 : element->size);
      below += 1 + static_cast<std::uint64_t>(index - r.shape->low) * (1 + NamesBelow(*element));
      r.shape = element;
      i = close + 1;
    } else {
      return std::nullopt;
    }
    // Below the declared variable every BOOL takes a byte of its own.
    r.bit = r.shape->isBit ? 0 : -1;
  }
  r.tdiOffset = r.address - entry->decl.offset;
  r.tdi = below == 0 ? entry->number : Low32(entry->firstBelow + below - 1);
  return r;
}

std::optional<std::vector<std::string>> VariableTable::Members(const std::string& name) const {
  auto r = Resolve(name);
  if (!r || r->shape->kind != PlcTypeShape::Kind::Struct) return std::nullopt;
  std::vector<std::string> out;
  for (const PlcTypeMember& m : r->shape->members) out.push_back(m.name);
  return out;
}

std::vector<std::string> VariableTable::Names() const {
  std::vector<std::string> out;
  for (const Entry& e : entries_) out.push_back(e.decl.name);
  return out;
}

std::vector<std::string> VariableTable::NamesOfType(const std::string& hostTypeName) const {
  std::vector<std::string> out;
  for (const Entry& e : entries_)
    if (SameText(e.shape->hostTypeName, hostTypeName) ||
        (e.shape->kind == PlcTypeShape::Kind::Struct && SameText(e.shape->furtherText, hostTypeName)))
      out.push_back(e.decl.name);
  return out;
}

std::vector<std::string> VariableTable::StructTypeNames() const { return structNames_; }
