#include "host/sim/web/WebVariableMap.h"

#include <strings.h>

#include <charconv>
#include <fstream>
#include <sstream>

#include "core/TextEncoding.h"
#include "host/sim/web/XmlScan.h"

namespace {

bool SameText(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

// The type name an identifier carries for a variable of this shape.
bool TypeMatches(const PlcTypeShape& shape, const std::string& typeName) {
  if (SameText(shape.hostTypeName, typeName)) return true;
  return shape.kind == PlcTypeShape::Kind::Struct && typeName == "UDINT";
}

}  // namespace

WebVariableMap::WebVariableMap(const HostProject& project, const VariableTable& table,
                               const std::string& variablesDocument)
    : structs_(project.structs) {
  std::ifstream file(variablesDocument);
  if (file) {
    std::stringstream text;
    text << file.rdbuf();
    const std::string all = text.str();
    for (const XmlTag& tag : FindXmlTags(all, "Item")) {
      const std::string_view element = std::string_view(all).substr(tag.position, tag.length);
      const std::string tdi = XmlTagAttribute(element, "Tdi");
      const auto variable = table.Resolve(DecodeHtmlEntities(XmlTagAttribute(element, "Name")));
      std::uint32_t number = 0;
      const auto [end, error] = std::from_chars(tdi.data(), tdi.data() + tdi.size(), number, 16);
      if (tdi.empty() || error != std::errc() || end != tdi.data() + tdi.size() || !variable) continue;
      AddMapped(number, *variable);
    }
  }
  for (const std::string& name : table.Names()) {
    const auto variable = table.Resolve(name);
    if (variable && variable->tdi != 0 && !mapped_.count(variable->tdi)) AddMapped(variable->tdi, *variable);
  }
}

void WebVariableMap::AddMapped(std::uint32_t tdi, const ResolvedVariable& variable) {
  mapped_[tdi].push_back(variable);
}

std::optional<WebVariable> WebVariableMap::Locate(const std::string& identifier) const {
  const std::optional<WebIdentifier> id = ParseWebIdentifier(identifier);
  if (!id) return std::nullopt;
  return id->mapped ? LocateMapped(*id) : LocateDirect(*id);
}

std::optional<WebVariable> WebVariableMap::LocateDirect(const WebIdentifier& id) const {
  WebVariable v;
  try {
    v.shape = ShapeOfType(id.typeName, structs_);
  } catch (const std::exception&) {
    return std::nullopt;
  }
  if (v.shape->isBit != (id.bit >= 0)) return std::nullopt;
  v.area = id.area;
  v.address = id.offset;
  v.bit = id.bit;
  v.format = id.format;
  return v;
}

std::optional<WebVariable> WebVariableMap::LocateMapped(const WebIdentifier& id) const {
  const auto found = mapped_.find(id.tdi);
  if (found == mapped_.end()) return std::nullopt;
  const ResolvedVariable* chosen = nullptr;
  for (const ResolvedVariable& candidate : found->second) {
    if (id.code >= 0 && PlcAreaMemoryCode(candidate.area) != id.code) continue;
    if (chosen == nullptr) chosen = &candidate;
    if (TypeMatches(*candidate.shape, id.typeName)) {
      chosen = &candidate;
      break;
    }
  }
  if (chosen == nullptr) return std::nullopt;
  WebVariable v;
  v.area = chosen->area;
  v.address = chosen->address;
  v.bit = chosen->shape->isBit ? std::max(chosen->bit, 0) : -1;
  v.shape = chosen->shape;
  v.format = id.format;
  return v;
}
