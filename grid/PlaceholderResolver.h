#pragma once
// Placeholders in variable references and texts: "{name}" is replaced by the
// name's text from the page list, then the group list, then the global list;
// "{:name}" skips the page list and "{::name}" uses the global list only. An
// unknown name vanishes with its braces; an unclosed "{" drops the rest.

#include <string>

struct TGridGlobalWebData;

class TPlaceholderResolver {
 public:
  explicit TPlaceholderResolver(const TGridGlobalWebData* globalData) : globalData_(globalData) {}
  const TGridGlobalWebData* GlobalData() const { return globalData_; }

 private:
  const TGridGlobalWebData* globalData_;
};

std::string ExpandPlaceholders(const TPlaceholderResolver* resolver, const std::string& text);
std::string ExpandGlobalPlaceholders(const TPlaceholderResolver* resolver, const std::string& text);
