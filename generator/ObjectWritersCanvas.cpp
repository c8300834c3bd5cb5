// The writer of the drawing canvas: a structure in the PLC's memory whose
// buffer the page draws and whose touch members receive the pointer
// (generator/CanvasBuffer.md).

#include <array>

#include "base/ScopeExit.h"
#include "core/TextEncoding.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "generator/CanvasVariable.h"
#include "generator/CompileContext.h"
#include "generator/ObjectWriter.h"
#include "generator/ObjectWriters.h"
#include "generator/PageMessages.h"
#include "generator/ProjectImages.h"
#include "generator/Template.h"
#include "generator/WebVariables.h"
#include "grid/PlaceholderResolver.h"
#include "platform/vcl/SysUtils.h"

namespace {

constexpr int kCaptionCanvas = 7266;
constexpr int kTextInvalidStructure = 7277;
constexpr int kTextNotInImageManager = 7097;
constexpr std::array<const char*, 3> kTouchAttributes = {"clickxvar", "clickyvar", "clickcol"};

struct TCanvasVariables {
  std::string variable;  // `variable`, placeholders expanded
  std::string identifier;
  std::string structure;  // the variable before its last "."
  std::string structureIdentifier;
  TPinVariable info;
};

std::string Resolve(TPageState& page, const std::string& name, TPinVariable* info = nullptr,
                    const TIdentifierFormat& format = {}) {
  return name.empty() ? std::string() : page.context.variables.ResolveWebVariable(name, format, info);
}

// The structure and its buffer are read as whole blocks of bytes.
TIdentifierFormat WholeVariable() {
  TIdentifierFormat format;
  format.whole = true;
  return format;
}

std::string Expanded(const TPageState& page, const std::string& text) {
  return ExpandPlaceholders(page.context.project.resolver, text);
}

TCanvasVariables ReadCanvasVariables(TObjectWriter& writer) {
  TPageState& page = writer.page;
  TCanvasVariables v;
  v.variable = Expanded(page, writer.kind->GetAttr("variable"));
  v.identifier = Resolve(page, v.variable, &v.info);
  const std::size_t dot = v.variable.rfind('.');
  v.structure = dot == std::string::npos ? v.variable : v.variable.substr(0, dot);
  v.structureIdentifier = Resolve(page, v.structure, nullptr, WholeVariable());
  return v;
}

void ReportInvalidStructure(TObjectWriter& writer, const TCanvasVariables& v) {
  TPageState& page = writer.page;
  page.context.state.compileErrors |= kCompileErrorVariable;
  AddObjectMessage(page.context, GetUiText(kCaptionCanvas) + " - " + GetUiText(kTextInvalidStructure), v.variable,
                   page.name, page.caption, writer.data);
}

// The index of the canvas's DATA entry, made when the page has none yet. The
// entry is written also for a buffer without identifier (reported), so that
// the page's answer handler finds the DATA entry it waits for.
int CanvasDataIndex(TObjectWriter& writer, const TCanvasVariables& v) {
  TPageState& page = writer.page;
  const std::string buffer = Expanded(page, writer.kind->GetAttr("datavariable"));
  TPinVariable info;
  const std::string identifier = Resolve(page, buffer, &info, WholeVariable());
  if (identifier.empty()) {
    page.context.state.compileErrors |= kCompileErrorVariable;
    ReportVariableProblem(page.context, GetUiText(kCaptionCanvas), buffer, info.typeName, page.name, page.caption,
                          writer.data);
  }
  for (std::size_t i = 0; i < page.datas.size(); ++i) {
    if (page.datas[i].entry == buffer + identifier) return static_cast<int>(i);
  }
  AddDataEntry(page, page.dataParent, true, buffer, identifier, v.structure);
  return static_cast<int>(page.datas.size()) - 1;
}

// The identifiers of the touch's x, y and colour variables ("" when absent).
std::array<std::string, 3> TouchIdentifiers(TObjectWriter& writer) {
  std::array<std::string, 3> identifiers;
  for (std::size_t i = 0; i < kTouchAttributes.size(); ++i)
    identifiers[i] = Resolve(writer.page, Expanded(writer.page, writer.object->GetAttr(kTouchAttributes[i])));
  return identifiers;
}

void AppendCanvasElement(TObjectWriter& writer, TmyXmlNode* parent, int element, bool touch) {
  const TObjectData& d = writer.data;
  std::string style = "position: absolute;top: " + std::to_string(d.top) + "px;left: " + std::to_string(d.left) +
                      "px;z-index: " + std::to_string(writer.zIndex) + ";";
  if (writer.page.hiddenCopy) style += "visibility: hidden;";
  if (touch) style += "cursor: pointer;";
  TTemplateValues values;
  values.Raw("style", style).Int("element", element);
  values.Int("height", writer.kind->GetAttrInt("height", 0)).Int("width", writer.kind->GetAttrInt("width", 0));
  if (touch) values.Int("index", element - 1);
  TMarkupTemplate::Get("PAGE_CANVAS_XSL").AppendTo(parent, touch ? "touch" : "plain", values);
}

// With touch and a level the live canvas and the one for users below it.
void WriteCanvasElement(TObjectWriter& writer, int element, bool touch) {
  const int level = writer.data.level;
  if (!touch || level <= 0) return AppendCanvasElement(writer, writer.parent, element, touch);
  AppendCanvasElement(writer, AddLevelIf(writer.parent, level, true), element, true);
  AppendCanvasElement(writer, AddLevelIf(writer.parent, level, false), element, false);
}

void AddCanvasScript(TObjectWriter& writer, int element, int dataIndex, const std::array<std::string, 3>& touch) {
  const int level = writer.data.level;
  AddFirstScriptLine(writer, element);
  TTemplateValues values;
  values.Int("element", element).Int("data", dataIndex).Int("index", element - 1);
  values.Raw("level", level > 0 ? "if(access.getAttribute('USER_LEVEL')>=" + std::to_string(level) + ") " : "");
  values.JsString("x", touch[0]).JsString("y", touch[1]).JsString("colour", touch[2]);
  TScriptTemplate::Get("PAGE_CANVAS_JS").AppendTo(*writer.page.stream1, "update", values);
}

void AddOnce(std::vector<std::string>& list, const std::string& name) {
  for (const std::string& listed : list) {
    if (listed == name) return;
  }
  list.push_back(name);
}

// The pictures the canvas may draw join the page's picture cache. They are
// registered not-for-id: the operator panels' description leaves them out
// unless another object uses them too.
void AddCanvasPictures(TObjectWriter& writer) {
  TPageState& page = writer.page;
  bool& notForId = page.context.state.notForId;
  const bool groupNotForId = notForId;
  notForId = true;
  ScopeExit restore([&notForId, groupNotForId] { notForId = groupNotForId; });
  for (TmyXmlNode* c = writer.kind->firstChild; c != nullptr; c = c->next) {
    if (c->comment || c->instruction || c->FindAttr("longname") == nullptr) continue;
    const std::string longName = c->GetAttr("longname");
    TmyXmlNode* image = page.context.images.FindImageByLongName(longName);
    if (image == nullptr) {
      page.context.state.compileErrors |= kCompileErrorFile;
      AddObjectMessage(page.context, GetUiText(kTextNotInImageManager), longName + " - " + GetUiText(kCaptionCanvas),
                       page.name, page.caption, writer.data);
      continue;
    }
    AddOnce(page.pictures, UpperCase(longName));
    AddOnce(page.pictureFiles, UpperCase(image->GetAttr("name")));
    page.context.images.CopyProjectImage(image->GetAttr("name"), page.pictureFolder);
  }
}

}  // namespace

void WriteCanvas(TObjectWriter& writer) {
  TPageState& page = writer.page;
  const TCanvasVariables v = ReadCanvasVariables(writer);
  if (v.structureIdentifier.empty()) {
    page.context.state.compileErrors |= kCompileErrorVariable;
    ReportVariableProblem(page.context, GetUiText(kCaptionCanvas), v.variable, v.info.typeName, page.name, page.caption,
                          writer.data);
    return;
  }
  // A structure that is not a canvas is reported and still written: its page
  // draws nothing from it.
  if (v.identifier.empty() || !CheckCanvasVariable(page.context.host, v.structure)) ReportInvalidStructure(writer, v);
  const int element = NextElement(page);
  const int dataIndex = CanvasDataIndex(writer, v);
  const std::array<std::string, 3> touch = TouchIdentifiers(writer);
  const bool touches = !touch[0].empty() || !touch[1].empty() || !touch[2].empty();
  WriteCanvasElement(writer, element, touches);
  // Only a canvas page carries the canvas scripts and the DATA list.
  if (!page.hiddenCopy && page.canvasPage) AddCanvasScript(writer, element, dataIndex, touch);
  AddCanvasPictures(writer);
}
