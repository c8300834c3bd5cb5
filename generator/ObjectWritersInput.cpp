// The writers of the fields that show a variable and take the user's value:
// the edit field (global, or with its own submit button) and the drop-down
// list.

#include <algorithm>
#include <array>
#include <climits>
#include <string_view>

#include "core/TextEncoding.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "generator/CompileContext.h"
#include "generator/InputFieldPieces.h"
#include "generator/ObjectWriter.h"
#include "generator/ObjectWriters.h"
#include "generator/PageMessages.h"
#include "generator/ProjectSettings.h"
#include "generator/Template.h"
#include "generator/WebVariables.h"
#include "grid/GlobalWebData.h"
#include "grid/PlaceholderResolver.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/GraphicsObjects.h"

namespace {

constexpr int kCaptionEditField = 7003;
constexpr int kCaptionDropdown = 7313;

constexpr std::string_view kUserLevelVariable = "#USER_LEVEL";
constexpr const char* kUserLevelValue = "{ACCESS/@USER_LEVEL}";
constexpr int kBorderWidths = 2;  // one pixel on each side

// What a measured field adds to its digits.
constexpr long long kMeasuredExtraWidth = 4;
constexpr long long kMeasuredExtraWithoutBorder = 2;

int ClampToInt(long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }

// The width of "0" in the field's font: the project's font option chooses
// the family, the object gives size, bold and italic.
long long MeasuredDigitWidth(const TObjectWriter& writer) {
  const TProjectSettings* settings = writer.page.context.project.settings;
  TCanvas canvas;
  canvas.Font->Name = settings != nullptr && settings->propFont ? "Verdana" : "Courier New";
  canvas.Font->Height = -std::max(writer.data.fontSize, 1);
  canvas.Font->Style =
      (writer.data.strong ? TFontStyles{fsBold} : 0u) | (writer.data.italic ? TFontStyles{fsItalic} : 0u);
  return canvas.TextWidth("0");
}

// The width in pixels of an edit field or drop-down list of `size` characters.
int FieldWidth(const TObjectWriter& writer) {
  const long long size = writer.kind->GetAttrInt("size", 0);
  const TGridGlobalWebData* webData = writer.page.context.project.webData;
  if (webData != nullptr && webData->MeasuredFonts) {
    const bool border = writer.kind->GetAttr("border") == "true";
    return ClampToInt(MeasuredDigitWidth(writer) * size + kMeasuredExtraWidth +
                      (border ? 0 : kMeasuredExtraWithoutBorder));
  }
  return ClampToInt(size * writer.data.fontSize * kCharacterPerMille / kPerMille + 1);
}

// " height: %ipx;" for a field without a border, else "". A drop-down list
// has no `height` of its own: it keeps the browser's height.
std::string HeightPiece(const TObjectWriter& writer) {
  if (writer.kind->GetAttr("border") == "true" || writer.kind->FindAttr("height") == nullptr) return "";
  return " height: " + Px(static_cast<long long>(writer.kind->GetAttrInt("height", 0)) - kBorderWidths);
}

// "position: absolute; top: %ipx; left: %ipx; width: %ipx; z-index: %i;"
std::string PositionWithWidth(const TObjectWriter& writer, int width) {
  return "position: absolute; top: " + Px(writer.data.top) + " left: " + Px(writer.data.left) + " width: " + Px(width) +
         " z-index: " + std::to_string(writer.zIndex) + ";";
}

std::string AlignPiece(const TObjectWriter& writer) {
  const std::string align = writer.kind->GetAttr("align");
  if (align == "left") return "";
  return align == "center" ? " text-align: center;" : " text-align: right;";
}

std::string InputType(const TObjectWriter& writer) {
  return writer.kind->GetAttr("pass") == "true" ? "password" : "text";
}

// "{INPUT[%i]/...}" of the data index.
std::string InputField(int dataIndex, const char* attribute) {
  return "{INPUT[" + std::to_string(dataIndex + 1) + "]/@" + attribute + "}";
}

// The update lines of an edit field or drop-down list that takes input.
void AddUpdateLines(TObjectWriter& writer, const TBinding& binding) {
  AddFirstScriptLine(writer, binding.element);
  TScriptTemplate::Get("PAGE_EDIT_JS")
      .AppendTo(*writer.page.stream1, "update",
                TTemplateValues()
                    .Int("element", binding.element)
                    .Int("index", binding.dataIndex)
                    .Raw("background",
                         writer.data.transparent ? std::string("transparent") : "#" + Hex6(writer.data.background)));
}

// The lines of a read-only field: its value from the data page.
void AddReadOnlyLines(TObjectWriter& writer, const TBinding& binding) {
  AddFirstScriptLine(writer, binding.element);
  TScriptTemplate::Get("PAGE_EDIT_JS")
      .AppendTo(*writer.page.stream1, "read-only",
                TTemplateValues().Int("element", binding.element).Int("index", binding.dataIndex));
}

// --- edit field: limits ------------------------------------------------------------------

enum class TLimitKind { kNone = 0, kUnsigned = 1, kTime = 2 };

struct TTypeLimit {
  std::string_view type;
  TLimitKind kind;
  std::string_view timeFormat;  // when the field has no `timf`
};

// The IEC types whose limits are checked as more than plain numbers.
constexpr std::array<TTypeLimit, 6> kTypeLimits = {{
    {"TIME", TLimitKind::kTime, "Thh:mm:ss.zzz"},
    {"TOD", TLimitKind::kTime, "Thh:mm:ss.zzz"},
    {"TIME_OF_DAY", TLimitKind::kTime, "Thh:mm:ss.zzz"},
    {"DATE", TLimitKind::kTime, "TYYYY-MM-DD"},
    {"DT", TLimitKind::kTime, "TYYYY-MM-DD-hh:mm:ss.zzz"},
    {"DATE_AND_TIME", TLimitKind::kTime, "TYYYY-MM-DD-hh:mm:ss.zzz"},
}};

constexpr std::array<std::string_view, 3> kBitStringTypes = {"BYTE", "WORD", "DWORD"};
constexpr std::array<std::string_view, 9> kIntegerTypes = {"SINT", "INT",   "DINT",  "LINT", "USINT",
                                                           "UINT", "UDINT", "ULINT", "LWORD"};
constexpr int kIntegerFormatDefault = 0;
constexpr int kIntegerFormatHex = 3;

template <std::size_t N>
bool Holds(const std::array<std::string_view, N>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The limit kind and the time format of "CheckValueLimits" for the type.
TTypeLimit LimitOfType(std::string_view type, int integerFormat) {
  for (const TTypeLimit& limit : kTypeLimits) {
    if (limit.type == type) return limit;
  }
  const bool bitString = Holds(kBitStringTypes, type);
  if ((bitString && integerFormat == kIntegerFormatDefault) ||
      ((bitString || Holds(kIntegerTypes, type)) && integerFormat == kIntegerFormatHex))
    return {type, TLimitKind::kUnsigned, ""};
  return {type, TLimitKind::kNone, ""};
}

// The values of a limit check; false when the field has no `lolim`.
bool LimitValues(const TObjectWriter& writer, const TBinding& binding, TTemplateValues& values) {
  if (writer.kind->FindAttr("lolim") == nullptr) return false;
  const TTypeLimit limit = LimitOfType(binding.info.typeName, writer.kind->GetAttrInt("intf", kIntegerFormatDefault));
  std::string format = writer.kind->GetAttr("timf");
  if (format.empty()) format = limit.timeFormat;
  values.Int("element", binding.element).Int("kind", static_cast<int>(limit.kind));
  values.JsString("low", writer.kind->GetAttr("lolim")).JsString("high", writer.kind->GetAttr("hilim"));
  values.JsString("format", format);
  return true;
}

// --- edit field: markup ------------------------------------------------------------------

// What both edit kinds share once the variable is bound.
struct TEditField {
  TBinding binding;
  bool userLevel = false;  // the field shows the user's level
  bool readOnly = false;   // a read-only object, or the user's level
  int width = 0;
};

// The values of the "input" part with the live attributes left empty.
TTemplateValues EditInputValues(const TObjectWriter& writer, const TEditField& field, const std::string& style) {
  TTemplateValues values;
  values.XslAttribute("hint", writer.data.hint).Raw("tabindex", TabIndex(writer)).Raw("type", InputType(writer));
  values.Int("element", field.binding.element).Raw("style", style);
  values.Raw("value", field.userLevel ? kUserLevelValue : InputField(field.binding.dataIndex, "VALUE"));
  values.Raw("readonly", "").Raw("name", "").Raw("onfocus", "").Raw("onblur", "").Raw("onkeydown", "");
  return values;
}

TmyXmlNode* AddReadOnlyInput(TObjectWriter& writer, TmyXmlNode* parent, const TEditField& field,
                             const std::string& style) {
  TTemplateValues values = EditInputValues(writer, field, style);
  values.Raw("readonly", "readonly");
  return TMarkupTemplate::Get("PAGE_EDIT_XSL").AppendTo(parent, "input", values);
}

void WriteGlobalEdit(TObjectWriter& writer, const TEditField& field) {
  TPageState& page = writer.page;
  const int element = field.binding.element;
  const std::string style = PositionWithWidth(writer, field.width) + HeightPiece(writer) +
                            StylePieces(writer, kStyleFontSize | kStyleColor | kStyleBackground | kStyleFontStyle |
                                                    kStyleBorderNone | kStyleHidden) +
                            AlignPiece(writer);
  if (field.readOnly) {
    AddReadOnlyInput(writer, writer.parent, field, style);
    if (!field.userLevel && !page.hiddenCopy) AddReadOnlyLines(writer, field.binding);
    return;
  }
  TTemplateValues values = EditInputValues(writer, field, style);
  const std::string handler = "SetInputEdited(" + std::to_string(element) + ", event);";
  values.Raw("name", InputField(field.binding.dataIndex, "NAME")).Raw("onfocus", handler);
  values.Raw("onblur", "InputFocused[" + std::to_string(element) + "]=0").Raw("onkeydown", handler);
  TmyXmlNode* input = TMarkupTemplate::Get("PAGE_EDIT_XSL").AppendTo(writer.parent, "input", values);
  AddLock(writer, input, "PAGE_EDIT_XSL");
  // Both copies of a visibility-wrapped field carry one element number; the
  // visible copy alone joins the common post so the value goes once.
  if (page.hiddenCopy) return;
  TTemplateValues limit;
  const std::string check =
      LimitValues(writer, field.binding, limit) ? TScriptTemplate::Get("PAGE_EDIT_JS").Fill("global-limit", limit) : "";
  page.globalFields.push_back({element, check});
  AddUpdateLines(writer, field.binding);
}

// "PostXML%i": posts the field when it was edited, after its limit check.
void AddOwnPostFunction(TObjectWriter& writer, const TEditField& field) {
  TPageState& page = writer.page;
  const int element = field.binding.element;
  const TScriptTemplate& script = TScriptTemplate::Get("PAGE_EDIT_JS");
  const TTemplateValues numbered = TTemplateValues().Int("element", element);
  script.AppendTo(*page.stream3, "post-begin", numbered);
  TScriptTemplate::Get("PAGE_OBJECT_JS").AppendTo(*page.stream3, "first-line", numbered);
  script.AppendTo(*page.stream3, "post-hide", numbered);
  TTemplateValues values;
  const bool checked = LimitValues(writer, field.binding, values);
  if (!checked) values.Int("element", element);
  values.JsString("target", page.postTarget);
  script.AppendTo(*page.stream3, checked ? "post-checked" : "post-plain", values);
}

void AddOwnLiveInput(TObjectWriter& writer, TmyXmlNode* parent, const TEditField& field, const std::string& style) {
  TTemplateValues values;
  values.XslAttribute("hint", writer.data.hint).Int("element", field.binding.element);
  values.Raw("tabindex", TabIndex(writer)).Raw("type", InputType(writer)).Raw("style", style);
  values.Int("position", field.binding.dataIndex + 1).Int("height", writer.kind->GetAttrInt("height", 0));
  TMarkupTemplate::Get("PAGE_EDIT_XSL").AppendTo(parent, "own", values);
}

void WriteOwnButtonEdit(TObjectWriter& writer, const TEditField& field) {
  TPageState& page = writer.page;
  const int element = field.binding.element;
  TTemplateValues formValues;
  formValues.Raw("method", page.scriptPost ? "" : "post");
  if (page.scriptPost)
    formValues.Raw("action", "javascript:PostXML" + std::to_string(element) + "()");
  else
    formValues.XslAttribute("action", page.postTarget);
  formValues.Raw("style", PositionStyle(writer) + " font-size: " + Px(writer.data.fontSize));
  TmyXmlNode* form = TMarkupTemplate::Get("PAGE_EDIT_XSL").AppendTo(writer.parent, "form", formValues);
  const std::string style =
      "width: " + Px(field.width) + HeightPiece(writer) +
      StylePieces(writer, kStyleColor | kStyleBackground | kStyleFontStyle | kStyleBorderNone | kStyleDisplayNone) +
      AlignPiece(writer);
  if (field.readOnly) {
    AddReadOnlyInput(writer, form, field, style);
    if (!field.userLevel && !page.hiddenCopy) AddReadOnlyLines(writer, field.binding);
    return;
  }
  const int level = writer.data.level;
  AddOwnLiveInput(writer, level > 0 ? AddLevelIf(form, level, true) : form, field, style);
  if (level > 0) AddReadOnlyInput(writer, AddLevelIf(form, level, false), field, style);
  // The visible copy writes the one post function of both copies.
  if (page.hiddenCopy) return;
  AddUpdateLines(writer, field.binding);
  AddOwnPostFunction(writer, field);
}

// The red-framed read-only stand-in of a field whose variable is missing.
void WriteMissingEdit(TObjectWriter& writer, bool global) {
  TPageState& page = writer.page;
  const int element = page.idsOn ? NextElement(page) : 0;
  const std::string id = element != 0 ? "INPUT" + std::to_string(element) : "";
  const std::string frame = PositionStyle(writer) + kMissingFrame + StylePieces(writer, kStyleHidden);
  TTemplateValues values;
  values.XslAttribute("hint", writer.data.hint).Raw("tabindex", TabIndex(writer)).Raw("type", InputType(writer));
  values.Raw("size", writer.kind->GetAttr("size")).Raw("id", id);
  const TMarkupTemplate& markup = TMarkupTemplate::Get("PAGE_EDIT_XSL");
  if (global) {
    markup.AppendTo(writer.parent, "missing", values.Raw("style", frame + AlignPiece(writer)));
    return;
  }
  TmyXmlNode* form = markup.AppendTo(writer.parent, "missing-form",
                                     TTemplateValues().Raw("style", frame + StylePieces(writer, kStyleDisplayNone)));
  // The form holds the position and the frame; the input keeps its alignment.
  std::string align = AlignPiece(writer);
  if (!align.empty()) align.erase(0, 1);  // the piece's leading blank
  markup.AppendTo(form, "missing", values.Raw("style", align));
  markup.AppendTo(form, "missing-button",
                  TTemplateValues().XslAttribute("caption", writer.data.caption).Raw("id", id.empty() ? "" : id + "x"));
}

// Binds the edit field's variable; false when nothing more is written.
bool BindEditField(TObjectWriter& writer, TEditField& field, bool global) {
  if (writer.kind->GetAttr("variable") == kUserLevelVariable) {
    field.userLevel = field.readOnly = true;
    field.binding.element = NextElement(writer.page);
    return true;
  }
  // The field's display format, as the designer shows the value: decimals,
  // length, zero fill, alignment and base.
  TIdentifierFormat format;
  format.timeFormat = writer.kind->GetAttr("timf");
  format.zero = writer.kind->GetAttr("zero") == "true";
  format.left = writer.kind->GetAttr("align") != "right";
  format.precision = writer.kind->GetAttrInt("prec", 0);
  format.length = writer.kind->GetAttrInt("size", 0);
  format.base = writer.kind->GetAttrInt("intf", kIntegerFormatDefault);
  const TBindResult result =
      BindVariable(writer, field.binding, {.decodeEntities = false, .kindCaptionId = kCaptionEditField}, format);
  if (result == TBindResult::kMissing) WriteMissingEdit(writer, global);
  field.readOnly = writer.data.readOnly;
  return result == TBindResult::kBound;
}

// --- drop-down list ------------------------------------------------------------------------

// The kind's options, in the project's order, as the select's options.
void AddOptions(const TObjectWriter& writer, TmyXmlNode* select) {
  const TMarkupTemplate& markup = TMarkupTemplate::Get("PAGE_DROPDOWN_XSL");
  for (const TmyXmlNode* option = writer.kind->firstChild; option != nullptr; option = option->next) {
    if (option->name != "option") continue;
    TTemplateValues values;
    values.XslAttribute("value", option->GetAttr("value")).Raw("text", option->value);
    markup.AppendTo(select, "option", values);
  }
}

TTemplateValues SelectValues(const TObjectWriter& writer, const TBinding& binding, bool userLevel) {
  const std::string style = PositionWithWidth(writer, FieldWidth(writer)) + HeightPiece(writer) +
                            StylePieces(writer, kStyleFontSize | kStyleColor | kStyleBackground | kStyleFontStyle |
                                                    kStyleBorderNone | kStyleHidden);
  TTemplateValues values;
  values.XslAttribute("hint", writer.data.hint).Raw("tabindex", TabIndex(writer)).Int("element", binding.element);
  values.Raw("style", style).Raw("value", userLevel ? kUserLevelValue : InputField(binding.dataIndex, "VALUE"));
  return values;
}

// The select of a list that takes input; a global one joins the page's fields.
TmyXmlNode* AddLiveSelect(TObjectWriter& writer, const TBinding& binding) {
  TPageState& page = writer.page;
  const bool global = writer.kind->GetAttr("global") == "true";
  const std::string element = std::to_string(binding.element);
  TTemplateValues values = SelectValues(writer, binding, false);
  values.Raw("name", InputField(binding.dataIndex, "NAME")).Raw("onblur", "InputFocused[" + element + "]=0");
  if (global) {
    values.Raw("onchange", "SetInputEdited(" + element + ", event);");
    if (!page.hiddenCopy) page.globalFields.push_back({binding.element, ""});
  } else {
    values.Raw("onchange", EscapeXslAttribute("PostXML('" + EscapeJsString(page.postTarget) +
                                              "', encodeURIComponent(this.name+'='+this.value));"));
  }
  TmyXmlNode* select = TMarkupTemplate::Get("PAGE_DROPDOWN_XSL").AppendTo(writer.parent, "select", values);
  AddLock(writer, select, "PAGE_DROPDOWN_XSL");
  return select;
}

}  // namespace

void WriteEdit(TObjectWriter& writer) {
  const bool global = writer.kind->GetAttr("global") == "true";
  TEditField field;
  if (!BindEditField(writer, field, global)) return;
  field.width = FieldWidth(writer);
  if (global)
    WriteGlobalEdit(writer, field);
  else
    WriteOwnButtonEdit(writer, field);
}

void WriteDropdown(TObjectWriter& writer) {
  TBinding binding;
  const bool userLevel = writer.kind->GetAttr("variable") == kUserLevelVariable;
  if (userLevel)
    binding.element = NextElement(writer.page);
  else if (BindVariable(writer, binding, {.decodeEntities = false, .kindCaptionId = kCaptionDropdown}) !=
           TBindResult::kBound)
    return;
  TmyXmlNode* select = nullptr;
  if (userLevel || writer.data.readOnly) {
    select = TMarkupTemplate::Get("PAGE_DROPDOWN_XSL")
                 .AppendTo(writer.parent, "select-disabled", SelectValues(writer, binding, userLevel));
    if (!userLevel && !writer.page.hiddenCopy) AddReadOnlyLines(writer, binding);
  } else {
    select = AddLiveSelect(writer, binding);
    if (!writer.page.hiddenCopy) AddUpdateLines(writer, binding);
  }
  AddOptions(writer, select);
}
