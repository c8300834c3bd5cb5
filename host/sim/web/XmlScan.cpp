#include "host/sim/web/XmlScan.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The position of ` name="` in a tag (at the blank), npos when none.
std::size_t AttributeAt(std::string_view tag, std::string_view name) {
  for (std::size_t at = tag.find(name); at != std::string_view::npos; at = tag.find(name, at + 1)) {
    const std::size_t after = at + name.size();
    if (at > 0 && IsBlank(tag[at - 1]) && after + 1 < tag.size() && tag[after] == '=' && tag[after + 1] == '"')
      return at;
  }
  return std::string_view::npos;
}

}  // namespace

std::vector<XmlTag> FindXmlTags(std::string_view text, std::string_view name) {
  std::vector<XmlTag> tags;
  const std::string open = "<" + std::string(name);
  for (std::size_t at = text.find(open); at != std::string_view::npos; at = text.find(open, at + 1)) {
    const std::size_t after = at + open.size();
    if (after >= text.size() || !(IsBlank(text[after]) || text[after] == '/' || text[after] == '>')) continue;
    const std::size_t end = text.find('>', after);
    if (end == std::string_view::npos) break;
    tags.push_back({at, end + 1 - at});
  }
  return tags;
}

std::string XmlTagAttribute(std::string_view tag, std::string_view name, bool* found) {
  const std::size_t at = AttributeAt(tag, name);
  if (found != nullptr) *found = at != std::string_view::npos;
  if (at == std::string_view::npos) return {};
  const std::size_t start = at + name.size() + 2;
  const std::size_t end = tag.find('"', start);
  return std::string(tag.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::string XmlTagWithAttribute(std::string_view tag, std::string_view name, std::string_view value) {
  const std::size_t at = AttributeAt(tag, name);
  if (at != std::string_view::npos) {
    const std::size_t start = at + name.size() + 2;
    const std::size_t end = tag.find('"', start);
    if (end != std::string_view::npos)
      return std::string(tag.substr(0, start)) + std::string(value) + std::string(tag.substr(end));
  }
  std::size_t end = tag.size() - 1;
  if (end > 0 && tag[end - 1] == '/') --end;
  while (end > 0 && IsBlank(tag[end - 1])) --end;
  return std::string(tag.substr(0, end)) + " " + std::string(name) + "=\"" + std::string(value) + "\"" +
         (tag[end] == '/' ? " " : "") + std::string(tag.substr(end));
}
