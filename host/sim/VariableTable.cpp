#include "host/sim/VariableTable.h"

#include <cctype>
#include <cstdlib>

#include "platform/vcl/SysUtils.h"

namespace {

bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

}  // namespace

VariableTable::VariableTable(const HostProject& project) {
  for (const HostVariableDecl& v : project.variables) entries_.push_back({v, ShapeOfType(v.type, project.structs)});
  for (const HostStructType& s : project.structs) structNames_.push_back(s.name);
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
  r.tdi = entry->decl.tdi;

  while (i < name.size()) {
    if (name[i] == '.') {
      std::size_t start = ++i;
      while (i < name.size() && IsIdentChar(name[i])) ++i;
      if (i == start || r.shape->kind != PlcTypeShape::Kind::Struct) return std::nullopt;
      std::string member = name.substr(start, i - start);
      const PlcTypeMember* found = nullptr;
      for (const PlcTypeMember& m : r.shape->members)
        if (SameText(m.name, member)) found = &m;
      if (!found) return std::nullopt;
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
      r.shape = element;
      i = close + 1;
    } else {
      return std::nullopt;
    }
    // Below the declared variable every BOOL takes a byte of its own.
    r.bit = r.shape->isBit ? 0 : -1;
  }
  r.tdiOffset = r.address - entry->decl.offset;
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
