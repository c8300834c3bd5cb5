// The template engine: holes, escaping by destination, the parsed markup and
// script templates (parsed once per process and kept by resource name).

#include "generator/Template.h"

#include <algorithm>

#include "core/TextEncoding.h"
#include "core/XmlDocument.h"
#include "core/XmlResource.h"
#include "platform/win/Resources.h"

namespace {

constexpr std::string_view kHoleMark = "%%";
constexpr char kOptionalMark = '?';
constexpr std::string_view kPartHeader = "@@ ";
constexpr std::string_view kLineEnd = "\r\n";
constexpr char kJoinMark = '\\';

// The embedded resource's bytes; ETemplateError when it does not exist.
std::string_view ResourceText(const std::string& resource) {
  HRSRC found = FindResource(HInstance, resource.c_str(), RT_RCDATA);
  if (found == nullptr) throw ETemplateError("template '" + resource + "' is not embedded");
  const void* data = LockResource(LoadResource(HInstance, found));
  return {static_cast<const char*>(data), SizeofResource(HInstance, found)};
}

void CheckAllUsed(const TTemplateValues& values, std::vector<std::string>& used, std::string_view where) {
  std::sort(used.begin(), used.end());
  for (const std::string& name : values.Names()) {
    if (!std::binary_search(used.begin(), used.end(), name))
      throw ETemplateError(std::string(where) + ": no hole '" + name + "'");
  }
}

std::string Where(const std::string& name, std::string_view part) { return name + " part '" + std::string(part) + "'"; }

// An attribute value that is one optional hole, "%%name?%%".
bool IsOptionalHole(std::string_view value) {
  if (!value.starts_with(kHoleMark) || !value.ends_with(kOptionalMark + std::string(kHoleMark))) return false;
  return value.find(kHoleMark, kHoleMark.size()) == value.size() - kHoleMark.size();
}

// Fills the holes of one copied node's attributes and text, and drops the
// attributes whose optional hole came out empty.
void FillNode(TmyXmlNode* node, const TTemplateValues& values, std::string_view where, std::vector<std::string>& used) {
  node->value = FillHoles(node->value, values, where, used);
  std::vector<std::string> dropped;
  for (TmyXmlAttrNode* a = node->firstAttr; a != nullptr; a = a->next) {
    const bool optional = IsOptionalHole(a->value);
    a->value = FillHoles(a->value, values, where, used);
    if (optional && a->value.empty()) dropped.push_back(a->name);
  }
  for (const std::string& name : dropped) node->DeleteAttr(name);
}

void FillSubtree(TmyXmlNode* node, const TTemplateValues& values, std::string_view where,
                 std::vector<std::string>& used) {
  FillNode(node, values, where, used);
  for (TmyXmlNode* c = node->firstChild; c != nullptr; c = c->next) FillSubtree(c, values, where, used);
}

}  // namespace

std::string EscapeXslAttribute(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out += c;
    if (c == '{' || c == '}') out += c;
  }
  return out;
}

// --- TTemplateValues ---------------------------------------------------------------

TTemplateValues& TTemplateValues::Raw(std::string_view name, std::string_view value) {
  values_.insert_or_assign(std::string(name), std::string(value));
  return *this;
}

TTemplateValues& TTemplateValues::Int(std::string_view name, long long value) {
  return Raw(name, std::to_string(value));
}

TTemplateValues& TTemplateValues::XslAttribute(std::string_view name, std::string_view value) {
  return Raw(name, EscapeXslAttribute(value));
}

TTemplateValues& TTemplateValues::JsString(std::string_view name, std::string_view value) {
  return Raw(name, EscapeJsString(value));
}

const std::string* TTemplateValues::Find(std::string_view name) const {
  auto it = values_.find(name);
  return it == values_.end() ? nullptr : &it->second;
}

std::vector<std::string> TTemplateValues::Names() const {
  std::vector<std::string> names;
  for (const auto& [name, value] : values_) names.push_back(name);
  return names;
}

std::string FillHoles(std::string_view text, const TTemplateValues& values, std::string_view where,
                      std::vector<std::string>& used) {
  std::string out;
  std::size_t pos = 0;
  while (true) {
    const std::size_t open = text.find(kHoleMark, pos);
    if (open == std::string_view::npos) break;
    const std::size_t start = open + kHoleMark.size();
    const std::size_t close = text.find(kHoleMark, start);
    if (close == std::string_view::npos) throw ETemplateError(std::string(where) + ": unclosed hole");
    std::string_view name = text.substr(start, close - start);
    if (!name.empty() && name.back() == kOptionalMark) name.remove_suffix(1);
    const std::string* value = values.Find(name);
    if (value == nullptr) throw ETemplateError(std::string(where) + ": hole '" + std::string(name) + "' is not filled");
    out.append(text.substr(pos, open - pos));
    out += *value;
    used.emplace_back(name);
    pos = close + kHoleMark.size();
  }
  out.append(text.substr(pos));
  return out;
}

// --- TScriptTemplate ---------------------------------------------------------------

const TScriptTemplate& TScriptTemplate::Get(const std::string& resource) {
  static std::map<std::string, std::unique_ptr<TScriptTemplate>, std::less<>> cache;
  auto it = cache.find(resource);
  if (it == cache.end())
    it = cache.emplace(resource, std::make_unique<TScriptTemplate>(resource, ResourceText(resource))).first;
  return *it->second;
}

TScriptTemplate::TScriptTemplate(std::string name, std::string_view text) : name_(std::move(name)) {
  std::string* part = nullptr;
  bool joinNext = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.starts_with(kPartHeader)) {
      part = &parts_[std::string(line.substr(kPartHeader.size()))];
      joinNext = false;
      continue;
    }
    if (part == nullptr) continue;  // the file's comment
    joinNext = !line.empty() && line.back() == kJoinMark;
    if (joinNext) line.remove_suffix(1);
    part->append(line);
    if (!joinNext) part->append(kLineEnd);
  }
}

std::string TScriptTemplate::Fill(std::string_view part, const TTemplateValues& values) const {
  auto it = parts_.find(part);
  if (it == parts_.end()) throw ETemplateError(name_ + ": no part '" + std::string(part) + "'");
  std::vector<std::string> used;
  const std::string where = Where(name_, part);
  std::string text = FillHoles(it->second, values, where, used);
  CheckAllUsed(values, used, where);
  return text;
}

void TScriptTemplate::AppendTo(std::string& stream, std::string_view part, const TTemplateValues& values) const {
  stream += Fill(part, values);
}

// --- TMarkupTemplate ---------------------------------------------------------------

const TMarkupTemplate& TMarkupTemplate::Get(const std::string& resource) {
  static std::map<std::string, std::unique_ptr<TMarkupTemplate>, std::less<>> cache;
  auto it = cache.find(resource);
  if (it == cache.end())
    it =
        cache.emplace(resource, std::make_unique<TMarkupTemplate>(resource, std::string(ResourceText(resource)))).first;
  return *it->second;
}

TMarkupTemplate::TMarkupTemplate(std::string name, const std::string& text) : name_(std::move(name)) {
  TmyXMLParser parser;
  if (!parser.LoadFromString(text.c_str())) throw ETemplateError(name_ + ": empty template");
  root_.reset(parser.Parse());
  if (root_ == nullptr || parser.errorWord != 0)
    throw ETemplateError(name_ + ":" + std::to_string(parser.lineCounter) + ": not well-formed");
}

TMarkupTemplate::~TMarkupTemplate() = default;

const TmyXmlNode* TMarkupTemplate::FindPart(std::string_view part) const {
  if (TmyXmlNode* found = root_->FindChild("part", "name", true, part)) return found;
  throw ETemplateError(name_ + ": no part '" + std::string(part) + "'");
}

TmyXmlNode* TMarkupTemplate::AppendTo(TmyXmlNode* parent, std::string_view part, const TTemplateValues& values) const {
  const TmyXmlNode* source = FindPart(part);
  TmyXmlNode* before = parent->lastChild;
  parent->CopyChildren(source);
  TmyXmlNode* first = before != nullptr ? before->next : parent->firstChild;
  const std::string where = Where(name_, part);
  std::vector<std::string> used;
  for (TmyXmlNode* n = first; n != nullptr; n = n->next) FillSubtree(n, values, where, used);
  CheckAllUsed(values, used, where);
  return first;
}
