// The writers of the kinds that bind no variable: static text, static
// picture and IP-camera picture.

#include "core/TextEncoding.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "generator/CompileContext.h"
#include "generator/ObjectWriter.h"
#include "generator/ObjectWriters.h"
#include "generator/PageMessages.h"
#include "generator/ProjectImages.h"
#include "generator/Template.h"

namespace {

constexpr int kTextNotInImageManager = 7097;
constexpr int kDefaultCameraRefresh = 1000;
constexpr const char* kDefaultCameraDelimiter = "?";

// The next element number while ids are on; 0 otherwise.
int OptionalElement(TObjectWriter& writer) { return writer.page.idsOn ? NextElement(writer.page) : 0; }

// "INPUT%i", or "" for no element.
std::string ElementId(int element) { return element != 0 ? "INPUT" + std::to_string(element) : ""; }

// The picture's part of the style, or "" without the picture (reported when
// it has a name).
std::string PictureStyle(TObjectWriter& writer, const std::string& name) {
  TPageState& page = writer.page;
  TmyXmlNode* image = page.context.images.CopyProjectImage(name, page.pictureFolder);
  if (image == nullptr) {
    if (name.empty()) return "";
    page.context.state.compileErrors |= kCompileErrorFile;
    AddObjectMessage(page.context, GetUiText(kTextNotInImageManager), name, page.name, page.caption, writer.data);
    return "";
  }
  const std::string height = image->GetAttr("height");
  return " background-image: url(IMAGES/" + image->GetAttr("name") + "); line-height: " + height +
         "px; height: " + height + "px; width: " + image->GetAttr("width") + "px;";
}

}  // namespace

void WriteLabel(TObjectWriter& writer) {
  const std::string href = DecodeHtmlEntities(AttrView(writer.kind, "href"));
  const std::string style = StylePieces(
      writer, kStylePosition | kStyleFontSize | kStyleColor | kStyleBackgroundColour | kStyleFontStyle | kStyleHidden);
  TTemplateValues values;
  values.XslAttribute("hint", writer.data.hint).Raw("style", style).Raw("caption", writer.data.caption);
  values.Raw("id", ElementId(OptionalElement(writer)));
  if (!href.empty()) values.XslAttribute("href", href);
  TMarkupTemplate::Get("PAGE_LABEL_XSL").AppendWritten(writer.parent, href.empty() ? "text" : "link", values);
}

void WritePicture(TObjectWriter& writer) {
  const std::string_view href = AttrView(writer.kind, "href");
  std::string style = PositionStyle(writer);
  style += PictureStyle(writer, writer.kind->GetAttr("img"));
  AppendStylePieces(style, writer, kStyleFontSize | kStyleColor | kStyleFontStyle | kStyleHidden);
  TTemplateValues values;
  values.XslAttribute("hint", writer.data.hint).Raw("style", style).Raw("id", ElementId(OptionalElement(writer)));
  if (!href.empty()) values.XslAttribute("href", href);
  TMarkupTemplate::Get("PAGE_PICTURE_XSL").AppendWritten(writer.parent, href.empty() ? "plain" : "link", values);
}

void WriteCamera(TObjectWriter& writer) {
  TPageState& page = writer.page;
  const std::string_view href = AttrView(writer.kind, "href");
  const int refresh = writer.kind->GetAttrInt("refresh", kDefaultCameraRefresh);
  const std::string_view delimiterText = AttrView(writer.kind, "delimiter");
  const std::string delimiter =
      DecodeHtmlEntities(delimiterText.empty() ? std::string_view(kDefaultCameraDelimiter) : delimiterText);
  const int camera = ++page.cameraCount;
  const int element = OptionalElement(writer);
  TTemplateValues values;
  values.Raw("id", ElementId(element)).Raw("style", StylePieces(writer, kStylePosition | kStyleHidden));
  values.XslAttribute("hint", writer.data.hint).Int("camera", camera);
  values.Int("height", writer.kind->GetAttrInt("height", 0)).Int("width", writer.kind->GetAttrInt("width", 0));
  if (refresh == 0) {
    values.XslAttribute("href", href);
    TMarkupTemplate::Get("PAGE_CAMERA_XSL").AppendWritten(writer.parent, "still", values);
    return;
  }
  const std::string start = page.hiddenCopy ? "" : "ipcamrefr" + std::to_string(camera) + "();";
  values.JsString("href", href).Int("refresh", refresh).JsString("delimiter", delimiter).Raw("start", start);
  TMarkupTemplate::Get("PAGE_CAMERA_XSL").AppendWritten(writer.parent, "live", values);
  if (!page.hiddenCopy || element == 0) return;
  // The hidden copy starts reloading when the page shows it.
  TTemplateValues show;
  show.Int("element", element).Int("camera", camera).JsString("href", href);
  show.Int("refresh", refresh).JsString("delimiter", delimiter);
  page.showText = TScriptTemplate::Get("PAGE_CAMERA_JS").Fill("show", show);
}
