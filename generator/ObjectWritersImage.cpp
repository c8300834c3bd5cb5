// The writers of the kinds that show project pictures chosen by a variable's
// value: the two-state image (a display or a switch), the image button and
// the multi-state image.

#include <vector>

#include "core/TextEncoding.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "generator/CompileContext.h"
#include "generator/ObjectWriter.h"
#include "generator/ObjectWriters.h"
#include "generator/PageCompilerSteps.h"
#include "generator/PageMessages.h"
#include "generator/ProjectImages.h"
#include "generator/Template.h"
#include "generator/WebVariables.h"
#include "grid/PlaceholderResolver.h"

namespace {

constexpr int kTextNotInImageManager = 7097;
constexpr int kCaptionTwoStateImage = 7005;
constexpr int kCaptionImageButton = 7237;
constexpr int kCaptionMultiStateImage = 7173;
constexpr int kDefaultButtonTimeout = 500;  // milliseconds the pressed picture stays
constexpr const char* kMissingBorder = "border: solid red 2px; ";
constexpr const char* kUserLevelVariable = "#USER_LEVEL";
constexpr std::uint32_t kFontPieces = kStyleFontSize | kStyleColor | kStyleFontStyle;

// A project picture found, copied into the output's picture folder and
// registered; empty `file` when the name is empty or unknown.
struct TPicture {
  std::string file;  // the file name in "IMAGES"
  std::string height;
  std::string width;
};

TPicture CopyPicture(TObjectWriter& writer, const std::string& name) {
  TPageState& page = writer.page;
  TPicture picture;
  TmyXmlNode* image = page.context.images.CopyProjectImage(name, page.pictureFolder);
  if (image == nullptr) {
    if (name.empty()) return picture;
    page.context.state.compileErrors |= kCompileErrorFile;
    AddObjectMessage(page.context, GetUiText(kTextNotInImageManager), name, page.name, page.caption, writer.data);
    return picture;
  }
  picture.file = image->GetAttr("name");
  picture.height = image->GetAttr("height");
  picture.width = image->GetAttr("width");
  return picture;
}

// " background-image: url(IMAGES/%s); line-height: %ipx; height: %ipx; width: %ipx;"
std::string PictureStyle(const TPicture& picture) {
  if (picture.file.empty()) return "";
  return " background-image: url(IMAGES/" + picture.file + "); line-height: " + picture.height +
         "px; height: " + picture.height + "px; width: " + picture.width + "px;";
}

// The picture's style, else the kind element's own size, else nothing.
std::string PictureOrSizeStyle(const TObjectWriter& writer, const TPicture& picture) {
  if (!picture.file.empty()) return PictureStyle(picture);
  const std::string height = writer.kind->GetAttr("height");
  const std::string width = writer.kind->GetAttr("width");
  if (height.empty() || width.empty()) return "";
  return " line-height: " + height + "px; height: " + height + "px; width: " + width + "px;";
}

std::string ElementId(int element) { return element != 0 ? "INPUT" + std::to_string(element) : ""; }

// The red-framed placeholder of an object whose variable is unknown.
void WriteMissingPlaceholder(TObjectWriter& writer, const char* resource, const std::string& pictureStyle,
                             std::uint32_t pieces) {
  const int element = writer.page.idsOn ? NextElement(writer.page) : 0;
  TTemplateValues values;
  values.XslAttribute("hint", writer.data.hint).Raw("id", ElementId(element));
  values.Raw("style", kMissingBorder + PositionStyle(writer) + pictureStyle + StylePieces(writer, pieces));
  TMarkupTemplate::Get(resource).AppendWritten(writer.parent, "missing", values);
}

// The third argument of PostXML, with its leading comma; "" without one.
std::string PostThird(const TPageState& page) {
  return page.postThird.empty() ? "" : ",'" + EscapeJsString(page.postThird) + "'";
}

// A caption in a single-quoted script string; a blank for an empty one.
std::string ScriptCaption(const std::string& caption) { return caption.empty() ? " " : EscapeJsString(caption); }

// --- two-state image ---------------------------------------------------------------------

struct TTwoStates {
  TPicture off;  // the value 0
  TPicture on;   // any other value
  std::string offCaption;
  std::string onCaption;
};

TTwoStates ReadTwoStates(TObjectWriter& writer) {
  TTwoStates states;
  states.off = CopyPicture(writer, writer.kind->GetAttr("off"));
  states.on = CopyPicture(writer, writer.kind->GetAttr("on"));
  states.offCaption = writer.data.caption;
  states.onCaption = writer.kind->GetAttr("optcap");
  TakeLanguageText(writer.page.context.project, writer.object, "optcap", states.onCaption);
  return states;
}

TmyXmlNode* AddStateTest(TmyXmlNode* parent, const TBinding& binding, bool zero) {
  const std::string test = "INPUT[" + std::to_string(binding.dataIndex + 1) + "]/@VALUE " + (zero ? "=" : "!=") + " 0";
  return TMarkupTemplate::Get("PAGE_IMAGE_XSL").AppendTo(parent, "state", TTemplateValues().Raw("test", test));
}

// Step 2: both states of the display under `parent`.
void WriteImageDisplay(TObjectWriter& writer, TmyXmlNode* parent, const TBinding& binding, const TTwoStates& states) {
  const std::string href = writer.kind->GetAttr("href");
  for (const bool zero : {true, false}) {
    const TPicture& picture = zero ? states.off : states.on;
    TTemplateValues values;
    values.XslAttribute("hint", writer.data.hint).Int("element", binding.element);
    values.Raw("caption", zero ? states.offCaption : states.onCaption);
    values.Raw("style", PositionStyle(writer) + PictureOrSizeStyle(writer, picture) +
                            StylePieces(writer, kFontPieces | kStyleDisplayNone));
    if (!href.empty()) values.XslAttribute("href", href);
    TMarkupTemplate::Get("PAGE_IMAGE_XSL")
        .AppendWritten(AddStateTest(parent, binding, zero), href.empty() ? "plain" : "link", values);
  }
}

void AddDisplayScript(const TBinding& binding, const TTwoStates& states, std::string& out) {
  TTemplateValues values;
  values.Int("element", binding.element).Int("index", binding.dataIndex);
  values.JsString("off", states.off.file).JsString("on", states.on.file);
  values.Raw("offcaption", ScriptCaption(states.offCaption)).Raw("oncaption", ScriptCaption(states.onCaption));
  TScriptTemplate::Get("PAGE_IMAGE_JS").AppendTo(out, "display", values);
}

// Step 3: the switch's two states, each with its hidden field.
void WriteImageSwitch(TObjectWriter& writer, TmyXmlNode* parent, const TBinding& binding, const TTwoStates& states) {
  const bool global = writer.kind->GetAttr("global") == "true";
  const std::string position = global ? PositionStyle(writer) : "";
  if (!global)
    parent = TMarkupTemplate::Get("PAGE_IMAGE_XSL")
                 .AppendTo(parent, "form", TTemplateValues().Raw("position", PositionStyle(writer)));
  for (const bool zero : {true, false}) {
    TTemplateValues values;
    values.XslAttribute("hint", writer.data.hint).Int("element", binding.element);
    values.Int("position", binding.dataIndex + 1).Raw("post", zero ? "1" : "0");
    values.Raw("caption", zero ? states.offCaption : states.onCaption);
    std::string style =
        position + PictureStyle(zero ? states.off : states.on) + StylePieces(writer, kFontPieces | kStyleDisplayNone);
    if (!style.empty() && style.front() == ' ') style.erase(0, 1);  // no position in a form
    values.Raw("style", style);
    TMarkupTemplate::Get("PAGE_IMAGE_XSL").AppendWritten(AddStateTest(parent, binding, zero), "switch", values);
  }
}

std::string BackgroundLine(const TPicture& picture) {
  return picture.file.empty() ? "''" : "'url(\"IMAGES/" + EscapeJsString(picture.file) + "\")'";
}

// Step 4: the switch's update lines and its post function.
void AddSwitchScript(TObjectWriter& writer, const TBinding& binding, const TTwoStates& states) {
  TPageState& page = writer.page;
  const TScriptTemplate& script = TScriptTemplate::Get("PAGE_IMAGE_JS");
  std::string& out = *page.stream1;
  const TTemplateValues head = TTemplateValues().Int("element", binding.element).Int("index", binding.dataIndex);
  script.AppendTo(out, "switch-begin", head);
  for (const bool zero : {true, false}) {
    if (!zero) script.AppendTo(out, "switch-else");
    TTemplateValues values;
    values.Int("element", binding.element).Raw("post", zero ? "1" : "0");
    values.Raw("background", BackgroundLine(zero ? states.off : states.on));
    const std::string& caption = zero ? states.offCaption : states.onCaption;
    values.Raw("valuecaption", EscapeJsString(caption)).Raw("caption", ScriptCaption(caption));
    script.AppendTo(out, "switch-state", values);
  }
  script.AppendTo(out, "switch-end");
  AddDisplayScript(binding, states, out);
  script.AppendTo(out, "close");
  // A global switch also posts with the page's submit button; its picture
  // calls PostXML%i all the same, so it gets the function too and a click
  // switches it at once instead of failing on an undefined name.
  if (writer.kind->GetAttr("global") == "true") page.globalFields.push_back({-binding.element, ""});
  TTemplateValues post;
  post.Int("element", binding.element).JsString("target", page.postTarget).Raw("third", PostThird(page));
  script.AppendTo(*page.stream3, "post", post);
}

void WriteImageSwitchLevels(TObjectWriter& writer, const TBinding& binding, const TTwoStates& states) {
  const int level = writer.data.level;
  WriteImageSwitch(writer, level > 0 ? AddLevelIf(writer.parent, level, true) : writer.parent, binding, states);
  if (level > 0) WriteImageDisplay(writer, AddLevelIf(writer.parent, level, false), binding, states);
}

// --- image button ------------------------------------------------------------------------

// The button's picture style: " background-image: url(%s); height: %ipx; width: %ipx; line-height: %ipx;"
std::string ButtonPictureStyle(const TPicture& picture) {
  if (picture.file.empty()) return "";
  return "background-image: url(IMAGES/" + picture.file + "); height: " + picture.height +
         "px; width: " + picture.width + "px; line-height: " + picture.height + "px;";
}

std::string ButtonSizeStyle(const TObjectWriter& writer, const TPicture& picture) {
  if (!picture.file.empty()) return ButtonPictureStyle(picture);
  const std::string height = writer.kind->GetAttr("height");
  const std::string width = writer.kind->GetAttr("width");
  if (height.empty() || width.empty()) return "";
  return "height: " + height + "px; width: " + width + "px;";
}

void AddWrittenOnly(TPageState& page, const std::string& variable, const std::string& identifier) {
  const std::string entry = variable + identifier;
  for (const TListedVariable& listed : page.writtenOnly) {
    if (listed.entry == entry) return;
  }
  page.writtenOnly.push_back({entry, variable.size()});
}

void AddButtonScript(TObjectWriter& writer, int element, const std::string& identifier, const TPicture& pressed,
                     const TPicture& normal) {
  TPageState& page = writer.page;
  const TScriptTemplate& script = TScriptTemplate::Get("PAGE_IMAGEBTN_JS");
  std::string& out = *page.stream3;
  TTemplateValues begin;
  begin.Int("element", element).JsString("target", page.postTarget).JsString("identifier", identifier);
  begin.JsString("value", DecodeHtmlEntities(writer.kind->GetAttr("value"))).Raw("third", PostThird(page));
  script.AppendTo(out, "post-begin", begin);
  if (!pressed.file.empty())
    script.AppendTo(out, "pressed", TTemplateValues().Int("element", element).JsString("image", pressed.file));
  if (!normal.file.empty()) {
    TTemplateValues restore;
    restore.Int("element", element).JsString("image", normal.file);
    restore.Int("timeout", writer.kind->GetAttrInt("timeout", kDefaultButtonTimeout));
    script.AppendTo(out, "restore", restore);
  }
  script.AppendTo(out, "post-end");
}

void WriteButtonMarkup(TObjectWriter& writer, int element, const TPicture& normal) {
  const int level = writer.data.level;
  const std::string pieces = StylePieces(writer, kFontPieces | kStyleDisplayNone);
  TTemplateValues live;
  live.Int("element", element).Raw("position", PositionStyle(writer)).XslAttribute("hint", writer.data.hint);
  live.Raw("style", ButtonSizeStyle(writer, normal) + pieces).Raw("caption", writer.data.caption);
  TMarkupTemplate::Get("PAGE_IMAGEBTN_XSL")
      .AppendWritten(level > 0 ? AddLevelIf(writer.parent, level, true) : writer.parent, "live", live);
  if (level <= 0) return;
  const std::string size = ButtonSizeStyle(writer, normal);
  TTemplateValues inert;
  inert.Int("element", element).XslAttribute("hint", writer.data.hint).Raw("caption", writer.data.caption);
  inert.Raw("style", PositionStyle(writer) + (size.empty() ? "" : " " + size) + pieces);
  TMarkupTemplate::Get("PAGE_IMAGEBTN_XSL").AppendWritten(AddLevelIf(writer.parent, level, false), "inert", inert);
}

// --- multi-state image ------------------------------------------------------------------

std::vector<TPicture> ReadStatePictures(TObjectWriter& writer) {
  std::vector<TPicture> pictures;
  for (TmyXmlNode* c = writer.kind->firstChild; c != nullptr; c = c->next) {
    if (!c->comment && !c->instruction) pictures.push_back(CopyPicture(writer, c->GetAttr("name")));
  }
  return pictures;
}

void AddStateBranch(TObjectWriter& writer, TmyXmlNode* branch, int element, const TPicture& picture) {
  const std::string href = writer.kind->GetAttr("href");
  TTemplateValues values;
  values.XslAttribute("hint", writer.data.hint).Raw("id", ElementId(element)).Raw("caption", writer.data.caption);
  values.Raw("style", PositionStyle(writer) + PictureStyle(picture) + StylePieces(writer, kStyleHidden));
  if (!href.empty()) values.XslAttribute("href", href);
  TMarkupTemplate::Get("PAGE_MULIMG_XSL").AppendWritten(branch, href.empty() ? "plain" : "link", values);
}

void WriteStateChoice(TObjectWriter& writer, int element, int dataIndex, const std::vector<TPicture>& pictures) {
  const TMarkupTemplate& markup = TMarkupTemplate::Get("PAGE_MULIMG_XSL");
  TmyXmlNode* choose = markup.AppendTo(writer.parent, "choose");
  for (std::size_t state = 0; state < pictures.size(); ++state) {
    const std::string test = dataIndex < 0
                                 ? "ACCESS/@USER_LEVEL = " + std::to_string(state)
                                 : "INPUT[" + std::to_string(dataIndex + 1) + "]/@VALUE = " + std::to_string(state);
    AddStateBranch(writer, markup.AppendTo(choose, "when", TTemplateValues().Raw("test", test)), element,
                   pictures[state]);
  }
  AddStateBranch(writer, markup.AppendTo(choose, "otherwise"), element, TPicture());
}

void AddStateScript(TObjectWriter& writer, const TBinding& binding, const std::vector<TPicture>& pictures) {
  const TScriptTemplate& script = TScriptTemplate::Get("PAGE_MULIMG_JS");
  std::string& out = *writer.page.stream1;
  AddFirstScriptLine(writer, binding.element);
  script.AppendTo(out, "switch-begin", TTemplateValues().Int("index", binding.dataIndex));
  for (std::size_t state = 0; state < pictures.size(); ++state) {
    if (pictures[state].file.empty()) continue;
    script.AppendTo(
        out, "case",
        TTemplateValues().Int("state", static_cast<long long>(state)).JsString("image", pictures[state].file));
  }
  script.AppendTo(out, "switch-end", TTemplateValues().Int("element", binding.element));
}

}  // namespace

void WriteTwoStateImage(TObjectWriter& writer) {
  const TTwoStates states = ReadTwoStates(writer);
  TBinding binding;
  const TBindOptions options{.decodeEntities = true, .kindCaptionId = kCaptionTwoStateImage};
  const TBindResult result = BindVariable(writer, binding, options);
  if (result == TBindResult::kMissing)
    WriteMissingPlaceholder(writer, "PAGE_IMAGE_XSL", PictureStyle(states.off), kFontPieces | kStyleDisplayNone);
  if (result != TBindResult::kBound) return;
  if (writer.data.readOnly) {
    WriteImageDisplay(writer, writer.parent, binding, states);
    if (writer.page.hiddenCopy) return;
    AddFirstScriptLine(writer, binding.element);
    AddDisplayScript(binding, states, *writer.page.stream1);
    return;
  }
  WriteImageSwitchLevels(writer, binding, states);
  if (writer.page.hiddenCopy) return;
  AddFirstScriptLine(writer, binding.element);
  AddSwitchScript(writer, binding, states);
}

void WriteImageButton(TObjectWriter& writer) {
  TPageState& page = writer.page;
  const TPicture pressed = CopyPicture(writer, writer.kind->GetAttr("on"));
  const TPicture normal = CopyPicture(writer, writer.kind->GetAttr("off"));
  TBinding binding;
  binding.variable =
      ExpandPlaceholders(page.context.project.resolver, DecodeHtmlEntities(writer.kind->GetAttr("variable")));
  if (!binding.variable.empty())
    binding.identifier = page.context.variables.ResolveWebVariable(binding.variable, {}, &binding.info);
  if (binding.identifier.empty()) {
    page.context.state.compileErrors |= kCompileErrorVariable;
    ReportVariableProblem(page.context, GetUiText(kCaptionImageButton), binding.variable, binding.info.typeName,
                          page.name, page.caption, writer.data);
    WriteMissingPlaceholder(writer, "PAGE_IMAGEBTN_XSL", normal.file.empty() ? "" : " " + ButtonPictureStyle(normal),
                            kFontPieces | kStyleDisplayNone);
    return;
  }
  SetFormatAttribute(writer.kind, binding.identifier);
  const int element = NextElement(page);
  AddWrittenOnly(page, binding.variable, binding.identifier);
  WriteButtonMarkup(writer, element, normal);
  // The shown copy writes the post function of both copies.
  if (!page.hiddenCopy) AddButtonScript(writer, element, binding.identifier, pressed, normal);
}

void WriteMultiStateImage(TObjectWriter& writer) {
  TPageState& page = writer.page;
  const std::vector<TPicture> pictures = ReadStatePictures(writer);
  const std::string variable =
      ExpandPlaceholders(page.context.project.resolver, DecodeHtmlEntities(writer.kind->GetAttr("variable")));
  if (variable == kUserLevelVariable) {
    WriteStateChoice(writer, NextElement(page), -1, pictures);
    return;
  }
  TBinding binding;
  const TBindOptions options{.decodeEntities = true, .kindCaptionId = kCaptionMultiStateImage};
  const TBindResult result = BindVariable(writer, binding, options);
  if (result == TBindResult::kMissing)
    WriteMissingPlaceholder(writer, "PAGE_MULIMG_XSL", pictures.empty() ? "" : PictureStyle(pictures.front()),
                            kFontPieces | kStyleHidden);
  if (result != TBindResult::kBound) return;
  WriteStateChoice(writer, binding.element, binding.dataIndex, pictures);
  if (!page.hiddenCopy) AddStateScript(writer, binding, pictures);
}
