#include "grid/PlaceholderResolver.h"

#include "grid/GlobalWebData.h"

namespace {

// One pass over the text; globalOnly looks every name up in the global list.
std::string Expand(const TPlaceholderResolver* resolver, const std::string& text, bool globalOnly) {
  if (resolver == nullptr || resolver->GlobalData() == nullptr || text.find('{') == std::string::npos) return text;
  const TGridGlobalWebData& data = *resolver->GlobalData();
  std::string result;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t open = text.find('{', pos);
    if (open == std::string::npos) break;
    result.append(text, pos, open - pos);
    const std::size_t close = text.find('}', open + 1);
    if (close == std::string::npos) return result;  // the rest is dropped
    std::string name = text.substr(open + 1, close - open - 1);
    int colons = 0;
    if (!name.empty() && name[0] == ':') {
      name.erase(0, 1);
      colons = 1;
      if (!name.empty() && name[0] == ':') {
        name.erase(0, 1);
        colons = 2;
      }
    }
    std::string value;
    bool found = false;
    if (globalOnly || colons == 2) {
      found = data.GlobalPlaceHolders.Find(name, value);
    } else {
      if (colons == 0) found = data.PagePlaceHolders.Find(name, value);
      if (!found) found = data.GroupPlaceHolders.Find(name, value);
      if (!found) found = data.GlobalPlaceHolders.Find(name, value);
    }
    if (found) result += value;
    pos = close + 1;
  }
  if (pos < text.size()) result.append(text, pos, std::string::npos);
  return result;
}

}  // namespace

std::string ExpandPlaceholders(const TPlaceholderResolver* resolver, const std::string& text) {
  return Expand(resolver, text, false);
}

std::string ExpandGlobalPlaceholders(const TPlaceholderResolver* resolver, const std::string& text) {
  return Expand(resolver, text, true);
}
