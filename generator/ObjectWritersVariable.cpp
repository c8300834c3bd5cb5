// The writers of the kinds that show a variable without taking typed input:
// the rectangle (plain, clickable, colour or bar), the inserted web page and
// the picture chosen by a string.

#include "core/TextEncoding.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "generator/CompileContext.h"
#include "generator/ObjectWriter.h"
#include "generator/ObjectWriters.h"
#include "generator/PageMessages.h"
#include "generator/Template.h"
#include "generator/WebVariables.h"
#include "grid/PlaceholderResolver.h"

namespace {

constexpr int kTextUnknownVariable = 7075;
constexpr int kTextUndefinedVariable = 7076;
constexpr int kCaptionInsertedPage = 7283;
constexpr int kCaptionStringPicture = 7243;
constexpr int kBorderWidths = 2;  // one pixel on each side
constexpr int kBaseHexadecimal = 3;
constexpr std::size_t kFrameStyleRoom = 160;  // the inserted page's usual style

// --- rectangle ------------------------------------------------------------------------

struct TBlockShape {
  int height = 0;
  int width = 0;
  bool border = false;
  std::string borderPiece;
};

TBlockShape ReadBlockShape(const TObjectWriter& writer) {
  TBlockShape shape;
  shape.height = writer.kind->GetAttrInt("height", 0);
  shape.width = writer.kind->GetAttrInt("width", 0);
  shape.border = AttrView(writer.kind, "border") == "true";
  if (!shape.border) {
    shape.borderPiece = " border: none;";
    return shape;
  }
  shape.height -= kBorderWidths;
  shape.width -= kBorderWidths;
  shape.borderPiece = " border: 1px solid #";
  shape.borderPiece += Hex6(writer.data.foreground);
  shape.borderPiece += ';';
  return shape;
}

// "height: %ipx; width: %ipx;"
void AppendSizeStyle(std::string& style, const TBlockShape& shape) {
  style += "height: ";
  style += std::to_string(shape.height);
  style += "px; width: ";
  style += std::to_string(shape.width);
  style += "px;";
}

std::string SizeStyle(const TBlockShape& shape) {
  std::string style;
  AppendSizeStyle(style, shape);
  return style;
}

// The border, background and hidden pieces.
void AppendBlockPieces(std::string& style, const TObjectWriter& writer, const TBlockShape& shape) {
  style += shape.borderPiece;
  AppendStylePieces(style, writer, kStyleBackground | kStyleHidden);
}

// The style of a rectangle without a click: position, `between`, size and pieces.
std::string BlockStyle(const TObjectWriter& writer, const TBlockShape& shape, std::string_view between) {
  std::string style = PositionStyle(writer);
  style += between;
  AppendSizeStyle(style, shape);
  AppendBlockPieces(style, writer, shape);
  return style;
}

// The inner element: a link with `href`, else a plain block.
void AddBlockElement(TObjectWriter& writer, TmyXmlNode* parent, const std::string& style, const std::string& id) {
  const std::string_view href = AttrView(writer.kind, "href");
  TTemplateValues values;
  values.XslAttribute("hint", writer.data.hint).Raw("style", style).Raw("id", id);
  if (!href.empty()) values.XslAttribute("href", href);
  TMarkupTemplate::Get("PAGE_BLOCK_XSL").AppendWritten(parent, href.empty() ? "plain" : "link", values);
}

void AddPostFunction(TObjectWriter& writer, const TBinding& binding) {
  TPageState& page = writer.page;
  const std::string third = page.postThird.empty() ? "" : ",'" + EscapeJsString(page.postThird) + "'";
  TTemplateValues values;
  values.Int("element", binding.element).JsString("target", page.postTarget);
  values.JsString("identifier", binding.identifier).JsString("value", writer.kind->GetAttr("value"));
  values.Raw("third", third);
  TScriptTemplate::Get("PAGE_BLOCK_JS").AppendTo(*page.stream3, "post", values);
}

void WriteClickableBlock(TObjectWriter& writer, const TBinding& binding, const TBlockShape& shape) {
  const int level = writer.data.level;
  TmyXmlNode* parent = level > 0 ? AddLevelIf(writer.parent, level, true) : writer.parent;
  TTemplateValues outer;
  outer.Int("element", binding.element).Raw("position", PositionStyle(writer));
  TmyXmlNode* live = TMarkupTemplate::Get("PAGE_BLOCK_XSL").AppendTo(parent, "clickable", outer);
  std::string style =
      "cursor:pointer;height:" + std::to_string(shape.height) + "px; width:" + std::to_string(shape.width) + "px;";
  AppendBlockPieces(style, writer, shape);
  AddBlockElement(writer, live, style, "");
  AddPostFunction(writer, binding);
  if (level <= 0) return;
  TmyXmlNode* inert = TMarkupTemplate::Get("PAGE_BLOCK_XSL")
                          .AppendTo(AddLevelIf(writer.parent, level, false), "inert",
                                    TTemplateValues().Raw("position", PositionStyle(writer)));
  std::string inertStyle = SizeStyle(shape);
  AppendBlockPieces(inertStyle, writer, shape);
  AddBlockElement(writer, inert, inertStyle, "");
}

// The update line of a colour field or a bar.
void AddBlockUpdate(TObjectWriter& writer, const TBinding& binding, const TBlockShape& shape) {
  const bool horizontal = writer.kind->GetAttrInt("horz", 0) != 0;
  TTemplateValues values;
  values.Int("element", binding.element).Int("index", binding.dataIndex);
  const char* part = "colour";
  if (writer.kind->GetAttrInt("color", 0) == 0) {
    values.Raw("size", horizontal ? "width" : "height").Raw("less", shape.border ? "-2" : "");
    part = "grow";
    if (writer.kind->GetAttrInt("natv", 0) == 0) {
      part = "shrink";
      const int far = horizontal ? writer.data.left + shape.width : writer.data.top + shape.height;
      values.Raw("edge", horizontal ? "left" : "top").Int("far", far);
    }
  }
  TScriptTemplate::Get("PAGE_BLOCK_JS").AppendTo(*writer.page.stream1, part, values);
}

void WriteValueBlock(TObjectWriter& writer, const TBinding& binding, const TBlockShape& shape) {
  const std::string id = "INPUT" + std::to_string(binding.element);
  AddBlockElement(writer, writer.parent, BlockStyle(writer, shape, ""), id);
  if (writer.page.hiddenCopy) return;
  AddFirstScriptLine(writer, binding.element);
  AddBlockUpdate(writer, binding, shape);
}

// The rectangle reports its own unknown variable and is then left out.
void ReportBlockVariable(TObjectWriter& writer, const TBinding& binding) {
  TPageState& page = writer.page;
  page.context.state.compileErrors |= kCompileErrorVariable;
  const int text = writer.kind->GetAttr("type").empty() ? kTextUnknownVariable : kTextUndefinedVariable;
  page.context.AddHostMessage(GetUiText(text), binding.variable);
}

// A rectangle coloured by its variable reads the value with GetColor, which
// takes hexadecimal digits: the PLC is asked to write the value so.
TIdentifierFormat BlockVariableFormat(const TObjectWriter& writer) {
  TIdentifierFormat format;
  if (writer.kind->FindAttr("value") == nullptr && writer.kind->GetAttrInt("color", 0) != 0)
    format.base = kBaseHexadecimal;
  return format;
}

// Binds the rectangle's variable; false when the object is left out.
bool BindBlockVariable(TObjectWriter& writer, TBinding& binding) {
  TPageState& page = writer.page;
  binding.identifier =
      page.context.variables.ResolveWebVariable(binding.variable, BlockVariableFormat(writer), &binding.info);
  if (binding.identifier.empty()) {
    ReportBlockVariable(writer, binding);
    return false;
  }
  SetFormatAttribute(writer.kind, binding.identifier);
  binding.dataIndex = FindInputEntry(page, binding.variable, binding.identifier);
  binding.isNew = binding.dataIndex < 0;
  if (binding.isNew) binding.dataIndex = static_cast<int>(page.inputs.size());
  page.newVariable = binding.isNew;
  if (!CanAddPageVariable(page)) {
    page.context.state.compileErrors |= kCompileErrorTooMany;
    return false;
  }
  binding.element = NextElement(page);
  if (binding.isNew) AddDataEntry(page, page.dataParent, false, binding.variable, binding.identifier, binding.variable);
  return true;
}

}  // namespace

void WriteBlock(TObjectWriter& writer) {
  const TBlockShape shape = ReadBlockShape(writer);
  TBinding binding;
  binding.variable = ExpandPlaceholders(writer.page.context.project.resolver, writer.kind->GetAttr("variable"));
  if (binding.variable.empty()) {
    const std::string id = writer.page.idsOn ? "INPUT" + std::to_string(NextElement(writer.page)) : "";
    AddBlockElement(writer, writer.parent, BlockStyle(writer, shape, " "), id);
    return;
  }
  if (!BindBlockVariable(writer, binding)) return;
  if (writer.kind->FindAttr("value") != nullptr)
    WriteClickableBlock(writer, binding, shape);
  else
    WriteValueBlock(writer, binding, shape);
}

void WriteIframe(TObjectWriter& writer) {
  TPageState& page = writer.page;
  TBinding binding;
  bool bound = false;
  if (!writer.data.readOnly)
    bound = BindVariable(writer, binding, {.kindCaptionId = kCaptionInsertedPage, .limitCheck = false}) ==
            TBindResult::kBound;
  const int noscroll = writer.kind->GetAttrInt("noscroll", 0);
  std::string style;
  style.reserve(kFrameStyleRoom);
  style += "border: none; ";
  style += PositionStyle(writer);
  style += " width: ";
  style += std::to_string(writer.kind->GetAttrInt("width", 0));
  style += "px; height: ";
  style += std::to_string(writer.kind->GetAttrInt("height", 0));
  style += "px;";
  if (noscroll != 0) style += " overflow: hidden;";
  AppendStylePieces(style, writer, kStyleDisplayNone);
  const int element = bound ? binding.element : page.idsOn ? NextElement(page) : 0;
  const std::string position = std::to_string(binding.dataIndex + 1);
  TTemplateValues values;
  values.XslAttribute("hint", writer.data.hint).Raw("style", style).Raw("scrolling", noscroll != 0 ? "no" : "");
  values.Raw("id", element != 0 ? "INPUT" + std::to_string(element) : "");
  if (bound)
    values.Raw("src", "{INPUT[" + position + "]/@VALUE}");
  else
    values.XslAttribute("src", DecodeHtmlEntities(writer.kind->GetAttr("href")));
  TMarkupTemplate::Get("PAGE_IFRAME_XSL").AppendWritten(writer.parent, "frame", values);
  if (!bound) return;
  TMarkupTemplate::Get("PAGE_IFRAME_XSL")
      .AppendWritten(writer.parent, "link", TTemplateValues().Raw("position", position).Int("element", element));
  if (page.hiddenCopy) return;
  AddFirstScriptLine(writer, element);
  TScriptTemplate::Get("PAGE_IFRAME_JS")
      .AppendTo(*page.stream1, "update", TTemplateValues().Int("element", element).Int("index", binding.dataIndex));
}

void WriteStringImage(TObjectWriter& writer) {
  TBinding binding;
  const TBindOptions options{.decodeEntities = true, .kindCaptionId = kCaptionStringPicture};
  if (BindVariable(writer, binding, options) != TBindResult::kBound) return;
  TTemplateValues values;
  values.XslAttribute("hint", writer.data.hint).Int("element", binding.element);
  values.Raw("style", StylePieces(writer, kStylePosition | kStyleBorderNone | kStyleHidden));
  TMarkupTemplate::Get("PAGE_STRIMG_XSL").AppendWritten(writer.parent, "img", values);
  if (writer.page.hiddenCopy) return;
  AddFirstScriptLine(writer, binding.element);
  TScriptTemplate::Get("PAGE_STRIMG_JS")
      .AppendTo(*writer.page.stream1, "update",
                TTemplateValues().Int("element", binding.element).Int("index", binding.dataIndex));
}
