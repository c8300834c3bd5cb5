#include "core/IecNames.h"

std::string FlattenVariableName(const std::string& name) {
  std::string flat;
  flat.reserve(name.size());
  for (char c : name) {
    if (c == '.' || c == '[' || c == ']') c = '_';
    if (c == '_' && !flat.empty() && flat.back() == '_') continue;
    flat += c;
  }
  return flat;
}
