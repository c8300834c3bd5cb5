// The objects of a page: the object record, the visibility wrapping (two
// copies in opposite `xsl:if` branches and the script that switches them) and
// the writers.

#include <string_view>

#include "core/TextEncoding.h"
#include "core/XmlNode.h"
#include "generator/CompileContext.h"
#include "generator/ObjectWriter.h"
#include "generator/PageCompilerSteps.h"
#include "generator/PageMessages.h"
#include "generator/Template.h"
#include "generator/WebVariables.h"
#include "grid/PlaceholderResolver.h"
#include "pictures/SwapRedBlue.h"

namespace {

constexpr int kGridStep = 8;  // pixels of one grid column or row
constexpr int kPrecisionVisibility = -2;

// The comparison value of a visibility variable by its IEC type.
struct TComparison {
  std::string_view typePrefix;
  std::string_view value;
};
constexpr TComparison kComparisons[] = {
    {"TIME_OF_DAY", "'00:00:00.000'"},
    {"TOD", "'00:00:00.000'"},
    {"TIME", "'00:00:00.000'"},
    {"DATE_AND_TIME", "'1970-01-01-00:00:00'"},
    {"DT", "'1970-01-01-00:00:00'"},
    {"DATE", "'1970-01-01'"},
    {"STRING", "''"},
};

std::string ComparisonValue(const std::string& typeName) {
  for (const TComparison& c : kComparisons) {
    if (typeName == c.typePrefix || (c.typePrefix == "STRING" && typeName.starts_with(c.typePrefix)))
      return std::string(c.value);
  }
  return "0";
}

// How the visibility script hides and shows an object of a kind.
enum class TSwitch { kVisibility, kDisplay, kOwnSubmit };

TSwitch SwitchOf(const TmyXmlNode* kind) {
  if (kind->name == "edit" && kind->GetAttr("global") != "true") return TSwitch::kOwnSubmit;
  if (kind->name == "image" || kind->name == "imagebtn" || kind->name == "iframe") return TSwitch::kDisplay;
  return TSwitch::kVisibility;
}

// The names of TObjectAttr, in its order.
constexpr std::string_view kObjectAttrNames[kObjectAttrCount] = {
    "X",     "xoff",   "Y",       "yoff",   "back",        "front",     "caption",
    "hint",  "size",   "italic",  "strong", "transparent", "readonly",  "ti",
    "level", "visvar", "vistype", "visneg", "clickxvar",   "clickyvar", "clickcol"};
constexpr TXmlAttrNames kObjectAttrs{kObjectAttrNames};

std::string_view AttrView(const TmyXmlAttrNode* a) { return a != nullptr ? a->value.view() : std::string_view(); }
std::string AttrText(const TmyXmlAttrNode* a) { return std::string(AttrView(a)); }
bool AttrTrue(const TmyXmlAttrNode* a) { return a != nullptr && a->value == "true"; }

int GridPixels(const TmyXmlAttrNode* cell, const TmyXmlAttrNode* offset) {
  const int n = TmyXmlNode::AttrInt(cell, 1);
  return (n < 1 ? 0 : n - 1) * kGridStep + TmyXmlNode::AttrInt(offset, 0);
}

// The resolved visibility variable of an object.
struct TVisibility {
  std::string variable;
  std::string identifier;
  TPinVariable info;
};

void WriteVisibilityScript(TPageState& page, const TmyXmlNode* kind, const TVisibility& vis, int element, int index,
                           bool negated) {
  const TScriptTemplate& frame = TScriptTemplate::Get("PAGE_FRAME_JS");
  const TSwitch how = SwitchOf(kind);
  TTemplateValues number;
  number.Int("element", element);
  if (!page.inputDeclared) frame.AppendTo(*page.stream1, "declare", number);
  if (how == TSwitch::kOwnSubmit) frame.AppendTo(*page.stream1, "declare-submit", number);
  const char* hide = how == TSwitch::kOwnSubmit ? "hide-submit"
                     : how == TSwitch::kDisplay ? "hide-display"
                                                : "hide-visibility";
  std::string show = page.showText;
  if (how != TSwitch::kVisibility || show.empty())
    show = frame.Fill(how == TSwitch::kOwnSubmit ? "show-inline"
                      : how == TSwitch::kDisplay ? "show-block"
                                                 : "show-visibility",
                      number);
  TTemplateValues values;
  values.Int("index", index).Raw("compare", negated ? "!=" : "==").Raw("value", ComparisonValue(vis.info.typeName));
  values.Raw("hide", frame.Fill(hide, number)).Raw("show", show);
  frame.AppendTo(*page.stream1, "visibility", values);
}

// The parent of an object's markup: the global fields, which the page's
// common submit button posts, and that button itself stand in the page's
// form, so that the button submits them (the form's action runs PostGlobal
// on script pages, a plain post sends their names and values otherwise);
// every other object stands in the page area.
TmyXmlNode* ObjectParent(const TPageLayout& layout, const TmyXmlNode* kind) {
  if (kind->name == "submit") return layout.form;
  const char first = kind->name.empty() ? '\0' : kind->name[0];
  const bool global =
      (first == 's' || first == 'e' || first == 'i' || kind->name == "dropdown") && kind->GetAttr("global") == "true";
  return global ? layout.form : layout.area;
}

// Writes the object twice, the hidden copy first, and the script that switches them.
void WriteWithVisibility(TObjectWriter& writer, const TPageLayout& layout, const TVisibility& vis, int index) {
  TPageState& page = writer.page;
  const std::string value = ComparisonValue(vis.info.typeName);
  const std::string position = std::to_string(index + 1);
  // The hidden copy stands where the value is the comparison value (the other way round when negated).
  const std::string hiddenTest = "INPUT[" + position + "]/@VALUE " + (writer.data.visNeg ? "!= " : "= ") + value;
  const std::string shownTest = "INPUT[" + position + "]/@VALUE " + (writer.data.visNeg ? "= " : "!= ") + value;
  // Both copies carry the same element numbers; ids are on, so that every kind has one to switch.
  const int elements = page.elementCounter;
  const int cameras = page.cameraCount;
  const bool idsOn = page.idsOn;
  page.idsOn = true;
  TmyXmlNode* parent = ObjectParent(layout, writer.kind);
  page.hiddenCopy = true;
  writer.parent = parent->AddChild("xsl:if");
  writer.parent->SetAttr("test", hiddenTest);
  RunObjectWriters(writer);
  page.hiddenCopy = false;
  page.elementCounter = elements;
  page.cameraCount = cameras;
  writer.parent = parent->AddChild("xsl:if");
  writer.parent->SetAttr("test", shownTest);
  RunObjectWriters(writer);
  page.idsOn = idsOn;
  if (page.elementCounter == elements) return;  // the writer wrote no element
  WriteVisibilityScript(page, writer.kind, vis, elements + 1, index, writer.data.visNeg);
}

void WriteObject(TPageState& page, const TPageLayout& layout, TmyXmlNode* object, const TObjectAttrs& attrs,
                 int zIndex) {
  TmyXmlNode* kind = KindElement(object);
  if (kind == nullptr) return;
  const TObjectData data = ReadObjectData(page, object, attrs);
  TObjectWriter writer{page, object, kind, ObjectParent(layout, kind), data, zIndex};
  page.showText.clear();
  page.inputDeclared = false;
  TVisibility vis;
  if (!data.visVar.empty()) {
    vis.variable = data.visVar;
    TIdentifierFormat format;
    format.precision = kPrecisionVisibility;
    vis.identifier = page.context.variables.ResolveWebVariable(vis.variable, format, &vis.info);
  }
  if (vis.identifier.empty()) {
    if (!data.visVar.empty()) {
      page.context.state.compileErrors |= kCompileErrorVariable;
      ReportVariableProblem(page.context, kind->name, vis.variable, vis.info.typeName, page.name, page.caption, data);
    }
    RunObjectWriters(writer);
    return;
  }
  object->SetAttr("format", FormatOfIdentifier(vis.identifier));
  const int index = PageVariableIndex(page, vis.variable, vis.identifier);
  if (index < 0) return;  // the page's variable limit
  WriteWithVisibility(writer, layout, vis, index);
}

}  // namespace

// The text of the object in the project's language: its `lang` entry
// (<caption code="7">...</caption>), "" when the entry is missing; the
// attribute's text when the project keeps no texts per language or the
// object has no `lang`.
void TakeLanguageText(const TCompileProject& project, TmyXmlNode* object, std::string_view name, std::string& text) {
  if (!project.languageTexts) return;
  TmyXmlNode* lang = object->FindChild("lang");
  if (lang == nullptr) return;
  TmyXmlNode* entry = lang->FindChild(name, "code", false, std::to_string(project.languageCode));
  text = entry != nullptr ? entry->value : std::string();
}

TmyXmlNode* KindElement(TmyXmlNode* object) {
  for (TmyXmlNode* c = object->firstChild; c != nullptr; c = c->next) {
    if (!c->comment && !c->instruction && c->name != "lang") return c;
  }
  return nullptr;
}

void FindObjectAttrs(const TmyXmlNode* object, TObjectAttrs& attrs) {
  attrs.object = object;
  object->FindAttrs(kObjectAttrs, attrs.found);
}

TObjectData ReadObjectData(TPageState& page, TmyXmlNode* object, const TObjectAttrs& attrs) {
  const auto& a = attrs.found;
  TObjectData d;
  d.left = GridPixels(a[kAttrX], a[kAttrXOffset]);
  d.top = GridPixels(a[kAttrY], a[kAttrYOffset]);
  const int back = TmyXmlNode::AttrInt(a[kAttrBack], 0);
  d.background = back == -1 ? 0 : SwapRedBlue(static_cast<std::uint32_t>(back));
  d.foreground = SwapRedBlue(static_cast<std::uint32_t>(TmyXmlNode::AttrInt(a[kAttrFront], 0)));
  d.caption = DecodeHtmlEntities(AttrView(a[kAttrCaption]));
  d.hint = DecodeHtmlEntities(AttrView(a[kAttrHint]));
  d.fontSize = TmyXmlNode::AttrInt(a[kAttrSize], d.fontSize);
  d.italic = AttrTrue(a[kAttrItalic]);
  d.strong = AttrTrue(a[kAttrStrong]);
  d.transparent = AttrTrue(a[kAttrTransparent]);
  d.readOnly = AttrTrue(a[kAttrReadOnly]);
  d.templateMark = TmyXmlNode::AttrInt(a[kAttrTemplateMark], 0);
  d.level = TmyXmlNode::AttrInt(a[kAttrLevel], 0);
  d.visVar = ExpandPlaceholders(page.context.project.resolver, AttrText(a[kAttrVisVar]));
  d.visType = AttrText(a[kAttrVisType]);
  d.visNeg = AttrTrue(a[kAttrVisNeg]);
  TakeLanguageText(page.context.project, object, "caption", d.caption);
  TakeLanguageText(page.context.project, object, "hint", d.hint);
  return d;
}

void WritePageObjects(TPageState& page, const TPageLayout& layout) {
  int zIndex = 0;
  std::size_t index = 0;
  TObjectAttrs own;
  for (TmyXmlNode* object = page.page->firstChild; object != nullptr; object = object->next) {
    if (object->name != "object") continue;
    // The scan's attributes of this object, or found now when the scan did not see it.
    const TObjectAttrs* attrs = index < page.objectAttrs.size() ? &page.objectAttrs[index] : nullptr;
    ++index;
    if (attrs == nullptr || attrs->object != object) {
      FindObjectAttrs(object, own);
      attrs = &own;
    }
    WriteObject(page, layout, object, *attrs, ++zIndex);
  }
}
