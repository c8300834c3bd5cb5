#include "grid/ObjectXmlFormat.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>

#include "core/IecNames.h"
#include "core/IecTypes.h"
#include "core/TextEncoding.h"
#include "core/XmlNode.h"
#include "grid/GridWebElement.h"

namespace {

using E = TGridWebElement;

// Numbers the reader cannot read take the default of their attribute.
constexpr int kWhite = 16777215;    // the background of a label
constexpr int kDefaultExtent = 8;   // a width or height in pixels
constexpr int kNoTabIndex = -1;     // outside the tab order
constexpr int kLeastFieldSize = 1;  // edit and drop-down fields

// --- values as the reader converts them -------------------------------------------

// A whole decimal integer (optional sign, digits) within 32 bits.
bool StrictInt(const std::string& text, int& out) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size()) return false;
  long long n = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    n = n * 10 + (text[i] - '0');
    if (n > -static_cast<long long>(INT32_MIN)) return false;
  }
  if (negative) n = -n;
  if (n > INT32_MAX) return false;
  out = static_cast<int>(n);
  return true;
}

int IntOr(const std::string& text, int fallback) {
  int n = 0;
  return StrictInt(text, n) ? n : fallback;
}

// Texts that the reader decodes once more (the parser has decoded them once).
std::string Decoded(const std::string& text) { return DecodeHtmlEntities(text); }

std::string Flattened(const TObjectReading& r, const std::string& text) {
  const std::string decoded = Decoded(text);
  return r.host->FlattensVariableNames() ? FlattenVariableName(decoded) : decoded;
}

void SetTypeOf(TPinVariable& info, const std::string& typeName) {
  info.typeName = typeName;
  info.typeCode = TypeCodeOfName(typeName.c_str());
}

// --- how an attribute is read -------------------------------------------------------

using TReadRule = void (*)(TObjectReading& reading, const std::string& value);
constexpr TReadRule kNotRead = nullptr;

// integer (fallback)
template <int E::*field, int fallback>
void ReadInt(TObjectReading& r, const std::string& v) {
  r.element->*field = IntOr(v, fallback);
}
// flag "true"
template <bool E::*field>
void ReadFlag(TObjectReading& r, const std::string& v) {
  r.element->*field = v == "true";
}
// flag "1"
template <bool E::*field>
void ReadBit(TObjectReading& r, const std::string& v) {
  r.element->*field = v == "1";
}
template <std::string E::*field>
void ReadRaw(TObjectReading& r, const std::string& v) {
  r.element->*field = v;
}
template <std::string E::*field>
void ReadDecoded(TObjectReading& r, const std::string& v) {
  r.element->*field = Decoded(v);
}
template <void (E::*set)(const std::string&)>
void ReadDecodedBy(TObjectReading& r, const std::string& v) {
  (r.element->*set)(Decoded(v));
}

// `X` and `Y` set the position to the first unit of their cell (cells count
// from 1); `xoff` and `yoff` add the units inside it.
long long FirstUnitOfCell(const std::string& v) { return (IntOr(v, 0) - 1LL) * kUnitsPerCell + 1; }
void ReadCellX(TObjectReading& r, const std::string& v) { r.posX = FirstUnitOfCell(v); }
void ReadCellY(TObjectReading& r, const std::string& v) { r.posY = FirstUnitOfCell(v); }
void ReadOffsetX(TObjectReading& r, const std::string& v) { r.posX += IntOr(v, 0); }
void ReadOffsetY(TObjectReading& r, const std::string& v) { r.posY += IntOr(v, 0); }

// A label is never read-only; an iframe without a variable always is.
void ReadReadOnly(TObjectReading& r, const std::string& v) {
  r.element->FReadOnly = r.element->Kind() != wkLabel && (v == "true" || r.forcedReadOnly);
}
void ReadVisVariable(TObjectReading& r, const std::string& v) { r.element->SetVisVariable(Flattened(r, v)); }
void ReadVisType(TObjectReading& r, const std::string& v) { SetTypeOf(r.element->FVisInfo, v); }
// A Uid that is no number takes the designer's counter.
void ReadUid(TObjectReading& r, const std::string& v) {
  r.hadUid = true;
  int uid = 0;
  r.element->FUid = StrictInt(v, uid) ? uid : r.host->TakeUid();
}
void ReadHint(TObjectReading& r, const std::string& v) { r.element->Hint = Decoded(v); }

void ReadVariable(TObjectReading& r, const std::string& v) { r.element->SetVariable(Flattened(r, v)); }
void ReadIFrameVariable(TObjectReading& r, const std::string& v) {
  ReadVariable(r, v);
  r.forcedReadOnly = false;
}
void ReadVarType(TObjectReading& r, const std::string& v) { SetTypeOf(r.element->FVarInfo, v); }
void ReadOnImage(TObjectReading& r, const std::string& v) {
  const std::string name = Decoded(v);
  r.element->LoadOnImage(name, r.host->PictureFile(name));
}
void ReadOffImage(TObjectReading& r, const std::string& v) {
  const std::string name = Decoded(v);
  r.element->LoadOffImage(name, r.host->PictureFile(name));
}
// The image's second caption, replaced by its text in the editor's language.
void ReadOptCaption(TObjectReading& r, const std::string& v) {
  r.element->SetOptCaption(Decoded(v));
  std::string text;
  if (r.host->EditorLangText("optcap", text)) r.element->SetOptCaption(text);
}
void ReadValue(TObjectReading& r, const std::string& v) {
  r.element->SetValue(Decoded(v));
  r.hadValue = true;
}
// Only "false" makes the edit one with its own submit button.
void ReadEditGlobal(TObjectReading& r, const std::string& v) {
  r.element->SetKind(v == "false" ? wkEditLocal : wkEdit);
}
void ReadAlign(TObjectReading& r, const std::string& v) {
  r.element->FAlignRight = v == "right";
  r.element->FAlignCenter = v == "center";
}
void ReadLoLimit(TObjectReading& r, const std::string& v) {
  r.element->FLimits = true;
  r.element->FLoLimit = v;
}
void ReadHiLimit(TObjectReading& r, const std::string& v) {
  r.element->FLimits = true;
  r.element->FHiLimit = v;
}
void ReadFieldSize(TObjectReading& r, const std::string& v) {
  r.element->FSize = std::max(IntOr(v, kDefaultSize), kLeastFieldSize);
}
void ReadControlWidth(TObjectReading& r, const std::string& v) { r.element->SetWidth(IntOr(v, kDefaultExtent)); }
void ReadControlHeight(TObjectReading& r, const std::string& v) { r.element->SetHeight(IntOr(v, kDefaultExtent)); }
void ReadContentWidth(TObjectReading& r, const std::string& v) { r.element->SetContentWidth(IntOr(v, kDefaultExtent)); }
void ReadContentHeight(TObjectReading& r, const std::string& v) {
  r.element->SetContentHeight(IntOr(v, kDefaultExtent));
}
void ReadNoScroll(TObjectReading& r, const std::string& v) { r.element->FNoScroll = IntOr(v, 0) != 0; }

// --- what is written and when -------------------------------------------------------

using TWriteValue = std::string (*)(E& element);
using TWriteWhen = bool (*)(const E& element);
constexpr TWriteValue kNotWritten = nullptr;

template <int E::*field>
std::string Int(E& e) {
  return std::to_string(e.*field);
}
template <bool E::*field>
std::string Flag(E& e) {
  return e.*field ? "true" : "false";
}
template <bool E::*field>
std::string Bit(E& e) {
  return e.*field ? "1" : "0";
}
template <std::string E::*field>
std::string Text(E& e) {
  return e.*field;
}
std::string True(E&) { return "true"; }
std::string One(E&) { return "1"; }

// Positions split into the cell (from 1) and the unit inside it; division
// and remainder truncate, so a position below 1 reads back unchanged.
long long FromFirstUnit(int pos) { return pos - 1LL; }
std::string CellX(E& e) { return std::to_string(FromFirstUnit(e.GetPosition().x) / kUnitsPerCell + 1); }
std::string CellY(E& e) { return std::to_string(FromFirstUnit(e.GetPosition().y) / kUnitsPerCell + 1); }
std::string OffsetX(E& e) { return std::to_string(FromFirstUnit(e.GetPosition().x) % kUnitsPerCell); }
std::string OffsetY(E& e) { return std::to_string(FromFirstUnit(e.GetPosition().y) % kUnitsPerCell); }

std::string VisTypeName(E& e) { return e.FVisInfo.typeName; }
std::string VarTypeName(E& e) { return e.FVarInfo.typeName; }
std::string HintText(E& e) { return e.Hint; }
std::string EditGlobal(E& e) { return e.Kind() == wkEdit ? "true" : "false"; }
std::string Align(E& e) { return e.FAlignRight ? "right" : e.FAlignCenter ? "center" : "left"; }
// Sizes are written without the element's padding.
std::string ControlWidth(E& e) { return std::to_string(static_cast<long long>(e.Width()) - e.FPadX); }
std::string ControlHeight(E& e) { return std::to_string(static_cast<long long>(e.Height()) - e.FPadY); }
std::string ContentWidth(E& e) { return std::to_string(static_cast<long long>(e.FContentWidth) - e.FPadX); }
std::string ContentHeight(E& e) { return std::to_string(static_cast<long long>(e.FContentHeight) - e.FPadY); }
std::string EditWidth(E& e) { return std::to_string(e.EditFieldXmlSize().cx); }
std::string EditHeight(E& e) { return std::to_string(e.EditFieldXmlSize().cy); }
std::string ImageCount(E& e) { return std::to_string(e.GetImageCount()); }

bool Always(const E&) { return true; }
bool Never(const E&) { return false; }
template <std::string E::*field>
bool NotEmpty(const E& e) {
  return !(e.*field).empty();
}
template <bool E::*field>
bool IsSet(const E& e) {
  return e.*field;
}
template <int E::*field>
bool NotZero(const E& e) {
  return e.*field != 0;
}
bool HasVariable(const E& e) { return !e.FVariable.empty(); }
bool HasHint(const E& e) { return !e.Hint.empty(); }
bool DynamicColor(const E& e) { return e.FDynamic && e.FColorMode; }
bool DynamicBar(const E& e) { return e.FDynamic && !e.FColorMode; }
bool StaticWithVariable(const E& e) { return !e.FDynamic && !e.FVariable.empty(); }

// --- the tables -------------------------------------------------------------------------

struct TAttributeRule {
  const char* name;
  TReadRule read;     // kNotRead: the reader ignores the attribute
  TWriteValue value;  // kNotWritten: the writer never writes it
  TWriteWhen when;    // whether the writer writes it
};

constexpr TAttributeRule kObjectRules[] = {
    {"caption", ReadDecodedBy<&E::SetCaption>, Text<&E::FCaption>, Always},
    {"X", ReadCellX, CellX, Always},
    {"Y", ReadCellY, CellY, Always},
    {"xoff", ReadOffsetX, OffsetX, Always},
    {"yoff", ReadOffsetY, OffsetY, Always},
    {"level", ReadInt<&E::FLevel, 0>, Int<&E::FLevel>, Always},
    {"readonly", ReadReadOnly, Flag<&E::FReadOnly>, Always},
    {"front", ReadInt<&E::FFrontColor, 0>, Int<&E::FFrontColor>, Always},
    {"back", ReadInt<&E::FBackColor, kWhite>, Int<&E::FBackColor>, Always},
    {"strong", ReadFlag<&E::FStrong>, Flag<&E::FStrong>, Always},
    {"italic", ReadFlag<&E::FItalic>, Flag<&E::FItalic>, Always},
    {"size", ReadInt<&E::FFontSize, kDefaultFontSize>, Int<&E::FFontSize>, Always},
    {"transparent", ReadFlag<&E::FTransparent>, Flag<&E::FTransparent>, Always},
    {"visvar", ReadVisVariable, Text<&E::FVisVariable>, NotEmpty<&E::FVisVariable>},
    {"vistype", ReadVisType, VisTypeName, NotEmpty<&E::FVisVariable>},
    {"visneg", ReadFlag<&E::FVisNeg>, Flag<&E::FVisNeg>, Always},
    {"clickxvar", ReadDecodedBy<&E::SetClickXVariable>, Text<&E::FClickXVariable>, NotEmpty<&E::FClickXVariable>},
    {"clickyvar", ReadDecodedBy<&E::SetClickYVariable>, Text<&E::FClickYVariable>, NotEmpty<&E::FClickYVariable>},
    {"clickcol", ReadDecodedBy<&E::SetClickColorVariable>, Text<&E::FClickColorVariable>,
     NotEmpty<&E::FClickColorVariable>},
    {"Uid", ReadUid, Int<&E::FUid>, Always},
    {"layer", ReadInt<&E::FLayer, 0>, Int<&E::FLayer>, NotZero<&E::FLayer>},
    {"hint", ReadHint, HintText, HasHint},
};

// A label reads no variable; one set by its properties is written back.
constexpr TAttributeRule kLabelRules[] = {
    {"variable", kNotRead, Text<&E::FVariable>, HasVariable},
    {"type", kNotRead, VarTypeName, HasVariable},
    {"href", ReadDecoded<&E::FHref>, Text<&E::FHref>, NotEmpty<&E::FHref>},
    {"back", ReadInt<&E::FBackColor, kWhite>, kNotWritten, Never},
    {"front", ReadInt<&E::FFrontColor, 0>, kNotWritten, Never},
    {"italic", ReadFlag<&E::FItalic>, kNotWritten, Never},
    {"size", ReadInt<&E::FFontSize, kDefaultFontSize>, kNotWritten, Never},
    {"strong", ReadFlag<&E::FStrong>, kNotWritten, Never},
    {"transparent", ReadFlag<&E::FTransparent>, kNotWritten, Never},
};

// Edit fields of both kinds: `global` tells them apart.
constexpr TAttributeRule kEditRules[] = {
    {"variable", ReadVariable, Text<&E::FVariable>, Always},
    {"type", ReadVarType, VarTypeName, Always},
    {"intf", ReadInt<&E::FIntFormat, 0>, Int<&E::FIntFormat>, Always},
    {"timf", ReadRaw<&E::FTimeFormat>, Text<&E::FTimeFormat>, Always},
    {"align", ReadAlign, Align, Always},
    {"zero", ReadFlag<&E::FZero>, Flag<&E::FZero>, Always},
    {"prec", ReadInt<&E::FPrecision, 0>, Int<&E::FPrecision>, Always},
    {"size", ReadFieldSize, Int<&E::FSize>, Always},
    {"global", ReadEditGlobal, EditGlobal, Always},
    {"border", ReadFlag<&E::FBorder>, Flag<&E::FBorder>, Always},
    {"width", kNotRead, EditWidth, Always},
    {"height", kNotRead, EditHeight, Always},
    {"lolim", ReadLoLimit, Text<&E::FLoLimit>, IsSet<&E::FLimits>},
    {"hilim", ReadHiLimit, Text<&E::FHiLimit>, IsSet<&E::FLimits>},
    {"tabindex", ReadInt<&E::FTabIndex, kNoTabIndex>, Int<&E::FTabIndex>, Always},
    {"pass", ReadFlag<&E::FPassword>, True, IsSet<&E::FPassword>},
};

constexpr TAttributeRule kImageRules[] = {
    {"optcap", ReadOptCaption, Text<&E::FOptCaption>, Always},
    {"variable", ReadVariable, Text<&E::FVariable>, Always},
    {"type", ReadVarType, VarTypeName, Always},
    {"on", ReadOnImage, Text<&E::FOnImage>, Always},
    {"off", ReadOffImage, Text<&E::FOffImage>, Always},
    {"global", ReadFlag<&E::FGlobal>, True, IsSet<&E::FGlobal>},
    {"href", ReadDecoded<&E::FHref>, Text<&E::FHref>, NotEmpty<&E::FHref>},
};

constexpr TAttributeRule kSubmitRules[] = {
    {"width", ReadControlWidth, ControlWidth, Always},
    {"height", ReadControlHeight, ControlHeight, Always},
    {"border", ReadFlag<&E::FBorder>, Flag<&E::FBorder>, Always},
    {"variable", ReadVariable, Text<&E::FVariable>, HasVariable},
    {"type", ReadVarType, VarTypeName, HasVariable},
    {"value", ReadValue, Text<&E::FValue>, HasVariable},
    {"tabindex", ReadInt<&E::FTabIndex, kNoTabIndex>, Int<&E::FTabIndex>, Always},
};

// A static picture reads no variable.
constexpr TAttributeRule kPictureRules[] = {
    {"href", ReadDecoded<&E::FHref>, Text<&E::FHref>, Always},
    {"img", ReadOffImage, Text<&E::FOffImage>, Always},
};

// A camera reads no variable; `refresh` is its period.
constexpr TAttributeRule kCameraRules[] = {
    {"href", ReadDecoded<&E::FHref>, Text<&E::FHref>, Always},
    {"width", ReadControlWidth, ControlWidth, Always},
    {"height", ReadControlHeight, ControlHeight, Always},
    {"refresh", ReadInt<&E::FSize, kDefaultSize>, Int<&E::FSize>, Always},
    {"delimiter", ReadDecoded<&E::FDelimiter>, Text<&E::FDelimiter>, Always},
};

// A dynamic block shows its variable (as a colour or as a bar) and writes no
// value; a static one writes the value a click sets.
constexpr TAttributeRule kBlockRules[] = {
    {"dynamic", ReadFlag<&E::FDynamic>, True, IsSet<&E::FDynamic>},
    {"width", ReadContentWidth, ContentWidth, Always},
    {"height", ReadContentHeight, ContentHeight, Always},
    {"border", ReadFlag<&E::FBorder>, Flag<&E::FBorder>, Always},
    {"color", ReadBit<&E::FColorMode>, One, DynamicColor},
    {"horz", ReadBit<&E::FHorz>, Bit<&E::FHorz>, DynamicBar},
    {"natv", ReadBit<&E::FNatv>, Bit<&E::FNatv>, DynamicBar},
    {"gradient", ReadFlag<&E::FGradient>, True, IsSet<&E::FGradient>},
    {"href", ReadDecoded<&E::FHref>, Text<&E::FHref>, NotEmpty<&E::FHref>},
    {"variable", ReadVariable, Text<&E::FVariable>, HasVariable},
    {"type", kNotRead, VarTypeName, HasVariable},
    {"value", ReadValue, Text<&E::FValue>, StaticWithVariable},
};

// The states' pictures are `img` children (see WriteStateImages).
constexpr TAttributeRule kMultiImageRules[] = {
    {"variable", ReadVariable, Text<&E::FVariable>, Always},
    {"type", ReadVarType, VarTypeName, Always},
    {"count", kNotRead, ImageCount, Always},
    {"href", ReadDecoded<&E::FHref>, Text<&E::FHref>, NotEmpty<&E::FHref>},
};

constexpr TAttributeRule kPostFileRules[] = {
    {"variable", ReadVariable, Text<&E::FVariable>, Always},
    {"warning", ReadDecodedBy<&E::SetOptCaption>, Text<&E::FOptCaption>, NotEmpty<&E::FOptCaption>},
    {"type", ReadVarType, VarTypeName, Always},
    {"border", ReadFlag<&E::FBorder>, Flag<&E::FBorder>, Always},
};

constexpr TAttributeRule kImageBtnRules[] = {
    {"variable", ReadVariable, Text<&E::FVariable>, Always},
    {"value", ReadValue, Text<&E::FValue>, Always},
    {"timeout", ReadInt<&E::FTimeout, kDefaultTimeout>, Int<&E::FTimeout>, Always},
    {"type", ReadVarType, VarTypeName, Always},
    {"on", ReadOnImage, Text<&E::FOnImage>, Always},
    {"off", ReadOffImage, Text<&E::FOffImage>, Always},
    {"href", ReadDecoded<&E::FHref>, Text<&E::FHref>, NotEmpty<&E::FHref>},
};

constexpr TAttributeRule kStrImgRules[] = {
    {"width", ReadContentWidth, ContentWidth, Always},
    {"height", ReadContentHeight, ContentHeight, Always},
    {"variable", ReadVariable, Text<&E::FVariable>, Always},
    {"type", kNotRead, VarTypeName, Always},
};

// The pictures are `img` children (see WriteCanvasImages).
constexpr TAttributeRule kCanvasRules[] = {
    {"width", ReadContentWidth, ContentWidth, Always},
    {"height", ReadContentHeight, ContentHeight, Always},
    {"variable", ReadVariable, Text<&E::FVariable>, Always},
    {"datavariable", ReadDecodedBy<&E::SetDataVariable>, Text<&E::FDataVariable>, Always},
};

// A variable makes the iframe writable.
constexpr TAttributeRule kIFrameRules[] = {
    {"variable", ReadIFrameVariable, Text<&E::FVariable>, HasVariable},
    {"type", kNotRead, VarTypeName, HasVariable},
    {"width", ReadContentWidth, ContentWidth, Always},
    {"height", ReadContentHeight, ContentHeight, Always},
    {"href", ReadDecoded<&E::FHref>, Text<&E::FHref>, Always},
    {"noscroll", ReadNoScroll, Bit<&E::FNoScroll>, Always},
};

// The options are `option` children (see WriteOptions).
constexpr TAttributeRule kDropDownRules[] = {
    {"global", ReadFlag<&E::FGlobal>, Flag<&E::FGlobal>, Always},
    {"variable", ReadVariable, Text<&E::FVariable>, Always},
    {"type", ReadVarType, VarTypeName, Always},
    {"size", ReadFieldSize, Int<&E::FSize>, Always},
    {"border", ReadFlag<&E::FBorder>, Flag<&E::FBorder>, Always},
    {"tabindex", ReadInt<&E::FTabIndex, kNoTabIndex>, kNotWritten, Never},
};

// --- the kind element's children ---------------------------------------------------

using TWriteBody = void (*)(E& element, TmyXmlNode& kindElement);

// Written closed at once, without children.
void WriteEmpty(E&, TmyXmlNode& k) { k.closed = true; }
// Start and end tag, without children.
void WriteOpen(E&, TmyXmlNode& k) { k.closed = false; }

void AppendImages(E& e, TmyXmlNode& k, const char* attribute) {
  for (int i = 0; i < e.GetImageCount(); ++i) {
    TmyXmlNode* img = k.AddChild("img");
    img->closed = true;
    img->AppendAttr(attribute, e.GetImageName(i));
  }
}
void WriteStateImages(E& e, TmyXmlNode& k) {
  k.closed = false;
  AppendImages(e, k, "name");
}
// A canvas without pictures is written closed.
void WriteCanvasImages(E& e, TmyXmlNode& k) {
  k.closed = e.GetImageCount() == 0;
  AppendImages(e, k, "longname");
}
void WriteOptions(E& e, TmyXmlNode& k) {
  k.closed = false;
  e.FOptions.SaveToXml(&k);
}

struct TKindFormat {
  std::span<const TAttributeRule> rules;
  TWriteBody body;
};

// By kind code.
constexpr std::array<TKindFormat, kKindCount> kKindFormats = {{
    {kLabelRules, WriteEmpty},
    {kEditRules, WriteEmpty},
    {kEditRules, WriteEmpty},
    {kImageRules, WriteEmpty},
    {kSubmitRules, WriteEmpty},
    {kPictureRules, WriteEmpty},
    {kCameraRules, WriteEmpty},
    {kBlockRules, WriteEmpty},
    {kMultiImageRules, WriteStateImages},
    {kPostFileRules, WriteEmpty},
    {kImageBtnRules, WriteEmpty},
    {kStrImgRules, WriteEmpty},
    {kCanvasRules, WriteCanvasImages},
    {kIFrameRules, WriteOpen},
    {kDropDownRules, WriteOptions},
}};

const TKindFormat* KindFormatOf(int kind) {
  return kind >= 0 && kind < kKindCount ? &kKindFormats[static_cast<std::size_t>(kind)] : nullptr;
}

// --- reading and writing by a table -----------------------------------------------------

void ReadAttributes(TObjectReading& reading, std::span<const TAttributeRule> rules, const TmyXmlNode& node) {
  for (const TmyXmlAttrNode* a = node.firstAttr; a != nullptr; a = a->next) {
    const auto rule =
        std::find_if(rules.begin(), rules.end(), [&](const TAttributeRule& r) { return a->name == r.name; });
    if (rule != rules.end() && rule->read != kNotRead) rule->read(reading, a->value);
  }
}

void WriteAttributes(E& element, std::span<const TAttributeRule> rules, TmyXmlNode& node) {
  for (const TAttributeRule& rule : rules)
    if (rule.value != kNotWritten && rule.when(element)) node.AppendAttr(rule.name, rule.value(element));
}

}  // namespace

void ReadKindAttributes(TObjectReading& reading, const TmyXmlNode& kindElement) {
  if (const TKindFormat* format = KindFormatOf(reading.element->Kind()))
    ReadAttributes(reading, format->rules, kindElement);
}

void ReadObjectAttributes(TObjectReading& reading, const TmyXmlNode& object) {
  ReadAttributes(reading, kObjectRules, object);
}

void WriteObjectAttributes(TGridWebElement& element, TmyXmlNode& object) {
  WriteAttributes(element, kObjectRules, object);
}

void WriteKindElement(TGridWebElement& element, TmyXmlNode& object) {
  const TKindFormat* format = KindFormatOf(element.Kind());
  if (format == nullptr) return;
  TmyXmlNode* kindElement = object.AddChild(GridWebKindElement(element.Kind()));
  WriteAttributes(element, format->rules, *kindElement);
  format->body(element, *kindElement);
}
