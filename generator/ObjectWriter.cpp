// The common frame of the object writers: variable binding, data entries,
// element numbers, style pieces, user level, script lines, and the writers'
// table.

#include "generator/ObjectWriter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <string_view>

#include "core/TextEncoding.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "generator/CompileContext.h"
#include "generator/ObjectWriters.h"
#include "generator/PageMessages.h"
#include "generator/Template.h"
#include "generator/WebVariables.h"
#include "grid/PlaceholderResolver.h"

namespace {

constexpr int kDefaultFontSize = 13;
constexpr const char* kBlankReference = "&#32;";

struct TWriterEntry {
  std::string_view keyword;  // a literal: its data ends in a NUL
  void (*write)(TObjectWriter&);
};

// The fourteen writers in their fixed order.
constexpr std::array<TWriterEntry, kObjectWriterCount> kWriters = {{
    {"block", WriteBlock},
    {"camera", WriteCamera},
    {"canvas", WriteCanvas},
    {"edit", WriteEdit},
    {"dropdown", WriteDropdown},
    {"picture", WritePicture},
    {"postfile", WritePostFile},
    {"iframe", WriteIframe},
    {"image", WriteTwoStateImage},
    {"imagebtn", WriteImageButton},
    {"label", WriteLabel},
    {"mulimg", WriteMultiStateImage},
    {"submit", WriteSubmit},
    {"strimg", WriteStringImage},
}};

constexpr std::array<const char*, kObjectWriterCount> kKeywords = [] {
  std::array<const char*, kObjectWriterCount> keywords{};
  for (std::size_t i = 0; i < kWriters.size(); ++i) keywords[i] = kWriters[i].keyword.data();
  return keywords;
}();

void AppendJsonVariable(TPageState& page, const std::string& variable) {
  if (!page.jsonMap) return;
  if (!page.jsonFirst) page.json += ',';
  page.jsonFirst = false;
  page.json += JsonString(variable);
}

// Room for a style with its position and a few pieces more.
constexpr std::size_t kUsualStyleSize = 128;
// Room for the decimal digits and sign of any long long.
constexpr std::size_t kLongDigits = 24;

// A number's digits at `at`, where there is room for any long long; the end.
char* PutInt(char* at, long long value) { return std::to_chars(at, at + kLongDigits, value).ptr; }

char* PutText(char* at, std::string_view text) { return std::copy(text.begin(), text.end(), at); }

void AppendInt(std::string& out, long long value) {
  char text[kLongDigits];
  out.append(text, PutInt(text, value));
}

// As printf's "%06X": upper-case hexadecimal digits, at least six.
void AppendHex6(std::string& out, std::uint32_t value) {
  char text[8];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value, 16);
  (void)ec;
  const auto digits = static_cast<std::size_t>(end - text);
  if (digits < 6) out.append(6 - digits, '0');
  for (const char* c = text; c != end; ++c) out += *c >= 'a' ? static_cast<char>(*c - 'a' + 'A') : *c;
}

// Built in a buffer of its own and appended in one step.
void AppendPositionStyle(std::string& out, const TObjectWriter& writer) {
  constexpr std::string_view kTop = "position: absolute; top: ";
  constexpr std::string_view kLeft = "px; left: ";
  constexpr std::string_view kZ = "px; z-index: ";
  char text[kTop.size() + kLeft.size() + kZ.size() + 3 * kLongDigits + 1];
  char* at = PutInt(PutText(text, kTop), writer.data.top);
  at = PutInt(PutText(at, kLeft), writer.data.left);
  at = PutInt(PutText(at, kZ), writer.zIndex);
  *at++ = ';';
  out.append(text, at);
}

void ReportMissing(TObjectWriter& writer, const TBinding& binding, int captionId) {
  TPageState& page = writer.page;
  page.context.state.compileErrors |= kCompileErrorVariable;
  ReportVariableProblem(page.context, GetUiText(captionId), binding.variable, binding.info.typeName, page.name,
                        page.caption, writer.data);
}

}  // namespace

std::string Hex6(std::uint32_t colour) {
  std::string text;
  AppendHex6(text, colour);
  return text;
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

void RunObjectWriters(TObjectWriter& writer) {
  for (const TWriterEntry& entry : kWriters) {
    if (writer.kind->name != entry.keyword) continue;
    entry.write(writer);
  }
}

const char* const* ObjectWriterKeywords() { return kKeywords.data(); }

int FindInputEntry(const TPageState& page, const std::string& entry) {
  for (std::size_t i = 0; i < page.inputs.size(); ++i) {
    if (page.inputs[i] == entry) return static_cast<int>(i);
  }
  return -1;
}

int FindInputEntry(const TPageState& page, std::string_view variable, std::string_view identifier) {
  const std::size_t size = variable.size() + identifier.size();
  for (std::size_t i = 0; i < page.inputs.size(); ++i) {
    const std::string& entry = page.inputs[i];
    if (entry.size() == size && entry.starts_with(variable) && entry.ends_with(identifier)) return static_cast<int>(i);
  }
  return -1;
}

std::string EscapeFirstBlank(const std::string& identifier) {
  std::string out = identifier;
  const std::size_t blank = out.find(' ');
  if (blank != std::string::npos) out.replace(blank, 1, kBlankReference);
  return out;
}

void AddDataEntry(TPageState& page, TmyXmlNode* parent, bool data, const std::string& variable,
                  const std::string& identifier, const std::string& hostName) {
  TmyXmlNode* entry = parent->AddChild(data ? "DATA" : "INPUT");
  entry->closed = true;
  entry->SetAttr("NAME", page.codePageDigit == '8' ? EscapeFirstBlank(identifier) : identifier);
  entry->SetAttr("VALUE", "0");
  if (!data) {
    page.inputs.push_back(variable + identifier);
    AppendJsonVariable(page, variable);
  } else {
    page.datas.push_back({variable + identifier, variable.size()});
    int size = 0;
    if (page.context.host.GetVariableSize(hostName, size)) entry->SetAttrInt("ML", size);
  }
  if (page.varAttribute) entry->SetAttr("VAR", variable);
}

std::string_view AttrView(const TmyXmlNode* node, std::string_view name) {
  const TmyXmlAttrNode* attr = node->FindAttr(name);
  return attr != nullptr ? attr->value.view() : std::string_view();
}

int NextElement(TPageState& page) { return ++page.elementCounter; }

void SetFormatAttribute(TmyXmlNode* kind, const std::string& identifier) {
  kind->SetAttr("format", FormatOfIdentifier(identifier));
}

TBindResult BindVariable(TObjectWriter& writer, TBinding& binding, const TBindOptions& options,
                         const TIdentifierFormat& format) {
  TPageState& page = writer.page;
  const std::string_view variable = AttrView(writer.kind, "variable");
  binding.variable = ExpandPlaceholders(page.context.project.resolver,
                                        options.decodeEntities ? DecodeHtmlEntities(variable) : std::string(variable));
  if (!binding.variable.empty())
    binding.identifier = page.context.variables.ResolveWebVariable(binding.variable, format, &binding.info);
  if (!binding.identifier.empty()) SetFormatAttribute(writer.kind, binding.identifier);
  binding.dataIndex = FindInputEntry(page, binding.variable, binding.identifier);
  binding.isNew = binding.dataIndex < 0;
  if (binding.isNew) binding.dataIndex = static_cast<int>(page.inputs.size());
  if (binding.identifier.empty()) {
    ReportMissing(writer, binding, options.kindCaptionId);
    return TBindResult::kMissing;
  }
  if (options.limitCheck) {
    page.newVariable = binding.isNew;
    if (!CanAddPageVariable(page)) {
      page.context.state.compileErrors |= kCompileErrorTooMany;
      return TBindResult::kTooMany;
    }
  }
  binding.element = NextElement(page);
  if (binding.isNew) AddDataEntry(page, page.dataParent, false, binding.variable, binding.identifier, binding.variable);
  return TBindResult::kBound;
}

std::string PositionStyle(const TObjectWriter& writer) {
  std::string style;
  style.reserve(kUsualStyleSize);
  AppendPositionStyle(style, writer);
  return style;
}

std::string StylePieces(const TObjectWriter& writer, std::uint32_t pieces) {
  std::string style;
  style.reserve(kUsualStyleSize);
  AppendStylePieces(style, writer, pieces);
  return style;
}

void AppendStylePieces(std::string& style, const TObjectWriter& writer, std::uint32_t pieces) {
  const TObjectData& d = writer.data;
  const bool hidden = writer.page.hiddenCopy;
  if (pieces & kStylePosition) AppendPositionStyle(style, writer);
  if ((pieces & kStyleFontSize) && d.fontSize != kDefaultFontSize) {
    style += " font-size: ";
    AppendInt(style, d.fontSize);
    style += "px;";
  }
  if ((pieces & kStyleColor) && d.foreground != 0) {
    style += " color: #";
    AppendHex6(style, d.foreground);
    style += ';';
  }
  if ((pieces & kStyleBackground) && d.transparent) style += " background: none;";
  if ((pieces & (kStyleBackground | kStyleBackgroundColour)) && !d.transparent) {
    style += " background-color: #";
    AppendHex6(style, d.background);
    style += ';';
  }
  if ((pieces & kStyleFontStyle) && d.italic) style += " font-style: italic;";
  if ((pieces & kStyleFontStyle) && d.strong) style += " font-weight: bold;";
  if ((pieces & kStyleBorderNone) && AttrView(writer.kind, "border") != "true") style += " border: none;";
  if ((pieces & kStyleHidden) && hidden) style += " visibility: hidden;";
  if ((pieces & kStyleDisplayNone) && hidden) style += " display: none;";
}

TmyXmlNode* AddLevelIf(TmyXmlNode* parent, int level, bool live) {
  TmyXmlNode* test = parent->AddChild("xsl:if");
  test->SetAttr("test", std::to_string(level) + (live ? " <= " : " > ") + "ACCESS/@USER_LEVEL");
  return test;
}

void AddFirstScriptLine(TObjectWriter& writer, int element) {
  TScriptTemplate::Get("PAGE_OBJECT_JS")
      .AppendTo(*writer.page.stream1, "first-line", TTemplateValues().Int("element", element));
  writer.page.readsValues = true;
  writer.page.inputDeclared = true;
}
