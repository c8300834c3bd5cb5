// The writers of the kinds that only post: the submit button of the global
// fields (with an optional value of its own) and the upload-file field.

#include "core/TextEncoding.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "generator/CompileContext.h"
#include "generator/InputFieldPieces.h"
#include "generator/ObjectWriter.h"
#include "generator/ObjectWriters.h"
#include "generator/PageMessages.h"
#include "generator/Template.h"
#include "generator/WebVariables.h"
#include "grid/PlaceholderResolver.h"

namespace {

constexpr int kCaptionUploadField = 7234;
constexpr int kCaptionSubmit = 7237;

// The upload field: its file input is 23 characters wide, its state block
// 1.15 font sizes + 10 high.
constexpr long long kUploadCharacters = 23;
constexpr long long kUploadHeightPerMille = 1150;
constexpr long long kUploadHeightExtra = 10;

// The look of the file inputs: "width: %ipx;" and the font and colour pieces.
std::string FileInputStyle(const TObjectWriter& writer) {
  const long long width = kUploadCharacters * writer.data.fontSize * kCharacterPerMille / kPerMille + 1;
  return "width: " + Px(width) +
         StylePieces(writer, kStyleFontSize | kStyleColor | kStyleBackground | kStyleFontStyle | kStyleBorderNone);
}

// The block in which the upload reports its state.
std::string UploadStateStyle(const TObjectWriter& writer) {
  const long long height = writer.data.fontSize * kUploadHeightPerMille / kPerMille + kUploadHeightExtra;
  return "display:none; height: " + Px(height) + " overflow: visible;" +
         StylePieces(writer, kStyleColor | kStyleBackground) + StylePieces(writer, kStyleFontSize) +
         StylePieces(writer, kStyleFontStyle);
}

std::string UploadChange(const TObjectWriter& writer) {
  const std::string warning = writer.kind->GetAttr("warning");
  std::string call = "postFileSubmit(this.form,'#" + Hex6(writer.data.foreground) + "'";
  if (!warning.empty()) call += ",'" + EscapeJsString(warning) + "'";
  return EscapeXslAttribute(call + ")");
}

void WriteMissingUpload(TObjectWriter& writer, const std::string& id) {
  TTemplateValues values;
  values.Raw("id", id).Raw("style", PositionStyle(writer) + kMissingFrame + StylePieces(writer, kStyleHidden));
  values.XslAttribute("hint", writer.data.hint).Raw("size", writer.kind->GetAttr("size"));
  TMarkupTemplate::Get("PAGE_POSTFILE_XSL").AppendWritten(writer.parent, "missing", values);
}

// The button's own value: the pair "identifier=value" joins the common post
// when this button was pressed (its click sets gSubmit to its element number;
// another submit button of the page posts the fields without it). The pair is
// listed once: the hidden copy of a wrapped button leaves it to the visible
// one. Answers the click handler of the button, "" without a pair.
std::string AddSubmitValue(TObjectWriter& writer) {
  TPageState& page = writer.page;
  const std::string variable =
      ExpandPlaceholders(page.context.project.resolver, DecodeHtmlEntities(writer.kind->GetAttr("variable")));
  TPinVariable info;
  const std::string identifier = page.context.variables.ResolveWebVariable(variable, {}, &info);
  if (identifier.empty()) {
    page.context.state.compileErrors |= kCompileErrorVariable;
    ReportVariableProblem(page.context, GetUiText(kCaptionSubmit), variable, info.typeName, page.name, page.caption,
                          writer.data);
    return "";
  }
  SetFormatAttribute(writer.kind, identifier);
  const std::string element = std::to_string(NextElement(page));
  if (!page.hiddenCopy) {
    const std::string value = DecodeHtmlEntities(writer.kind->GetAttr("value"));
    page.postPairs.push_back("(gSubmit == " + element + " ? encodeURIComponent('" + EscapeJsString(identifier) +
                             "')+'='+encodeURIComponent('" + EscapeJsString(value) + "')+'&' : '')");
  }
  return "gSubmit = " + element + ";";
}

}  // namespace

void WriteSubmit(TObjectWriter& writer) {
  TPageState& page = writer.page;
  page.hasSubmit = true;
  const std::string style = PositionStyle(writer) + " height: " + Px(writer.kind->GetAttrInt("height", 0)) +
                            " width: " + Px(writer.kind->GetAttrInt("width", 0)) +
                            StylePieces(writer, kStyleFontSize | kStyleColor | kStyleBackground | kStyleFontStyle |
                                                    kStyleBorderNone | kStyleHidden);
  std::string onclick;
  if (writer.kind->FindAttr("value") != nullptr && writer.kind->FindAttr("variable") != nullptr)
    onclick = AddSubmitValue(writer);
  const std::string id = page.idsOn ? "INPUT" + std::to_string(NextElement(page)) : "";
  TTemplateValues values;
  values.XslAttribute("hint", writer.data.hint).Raw("style", style).XslAttribute("caption", writer.data.caption);
  values.Raw("tabindex", TabIndex(writer)).Raw("id", id).Raw("onclick", onclick);
  TmyXmlNode* button = TMarkupTemplate::Get("PAGE_SUBMIT_XSL").AppendTo(writer.parent, "button", values);
  AddLock(writer, button, "PAGE_SUBMIT_XSL");
}

void WritePostFile(TObjectWriter& writer) {
  TPageState& page = writer.page;
  const std::string variable = ExpandPlaceholders(page.context.project.resolver, writer.kind->GetAttr("variable"));
  TPinVariable info;
  const std::string identifier = variable.empty() ? "" : page.context.variables.ResolveWebVariable(variable, {}, &info);
  if (!identifier.empty()) SetFormatAttribute(writer.kind, identifier);
  const std::string id = page.idsOn ? "INPUT" + std::to_string(NextElement(page)) : "";
  if (identifier.empty()) {
    page.context.state.compileErrors |= kCompileErrorVariable;
    ReportVariableProblem(page.context, GetUiText(kCaptionUploadField), variable, info.typeName, page.name,
                          page.caption, writer.data);
    WriteMissingUpload(writer, id);
    return;
  }
  const TMarkupTemplate& markup = TMarkupTemplate::Get("PAGE_POSTFILE_XSL");
  TTemplateValues formValues;
  formValues.Raw("id", id).XslAttribute("action", page.postTarget);
  formValues.Raw("style", PositionStyle(writer) + StylePieces(writer, kStyleHidden));
  TmyXmlNode* form = markup.AppendTo(writer.parent, "form", formValues);
  const int level = writer.data.level;
  TTemplateValues live;
  live.Raw("state", UploadStateStyle(writer)).XslAttribute("hint", writer.data.hint);
  live.Raw("onchange", UploadChange(writer)).Raw("style", FileInputStyle(writer)).XslAttribute("name", identifier);
  markup.AppendWritten(level > 0 ? AddLevelIf(form, level, true) : form, "live", live);
  if (level <= 0) return;
  TTemplateValues disabled;
  disabled.XslAttribute("hint", writer.data.hint).Raw("style", FileInputStyle(writer));
  markup.AppendWritten(AddLevelIf(form, level, false), "disabled", disabled);
}
