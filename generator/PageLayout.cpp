// The page's layout in the page template: background, `onload`, page size,
// viewport, UCID guards, the page area and its form.

#include <algorithm>
#include <cstdio>

#include "core/XmlNode.h"
#include "generator/CompileContext.h"
#include "generator/ObjectWriter.h"
#include "generator/PageCompilerSteps.h"
#include "generator/ProjectImages.h"
#include "generator/ProjectSettings.h"
#include "generator/Template.h"
#include "pictures/SwapRedBlue.h"

namespace {

constexpr int kWhite = 16777215;
constexpr int kDefaultMargin = 8;
constexpr int kMenuWidth = 160;
constexpr int kAltDimExtra = 20;
constexpr int kWidthLessMenuOff = 20;
constexpr int kWidthLessMenu = 180;
constexpr int kHeightTitleOff = 40;
constexpr int kHeightLess = 60;
constexpr int kWidthModeFixed = 1;
constexpr double kPercent = 0.01;

struct TPageSize {
  int width = 0;
  int height = 0;
};

struct TScale {
  bool useIni = false;
  bool useMax = false;
  bool user = true;
  int ini = 100;
  int max = 100;
  int widthMode = 0;
};

// A page's own size when it lies within the limit; the limit otherwise.
int Limited(int own, int limit) { return own > 0 && own < limit ? own : limit; }

TPageSize PageSize(const TPageState& page) {
  const TProjectSettings& settings = *page.context.project.settings;
  int areaWidth = settings.pageWidth;
  int areaHeight = settings.pageHeight;
  const TmyXmlNode* group = page.page->parent;
  if (group != nullptr && group->GetAttr("altdim") == "true") {
    areaWidth = group->GetAttrInt("width", 0) + kAltDimExtra;
    areaHeight = group->GetAttrInt("height", 0) + kAltDimExtra;
  }
  TPageSize size;
  size.width = Limited(page.page->GetAttrInt("width", 0),
                       areaWidth - (page.context.state.menuOff ? kWidthLessMenuOff : kWidthLessMenu));
  size.height =
      Limited(page.page->GetAttrInt("height", 0), areaHeight + (settings.titleOff ? kHeightTitleOff : 0) - kHeightLess);
  return size;
}

TScale ScaleOf(const TPageState& page) {
  const TProjectSettings& s = *page.context.project.settings;
  TScale scale{s.useIniScale, s.useMaxScale, s.userScale, s.iniScale, s.maxScale, s.displayMode};
  const TmyXmlNode* group = page.page->parent;
  if (group == nullptr || group->FindAttr("useIniScale") == nullptr) return scale;
  scale.useIni = group->GetAttr("useIniScale") == "true";
  scale.useMax = group->GetAttr("useMaxScale") == "true";
  scale.user = group->GetAttr("userScale") == "true";
  scale.ini = group->GetAttrInt("iniScale", scale.ini);
  scale.max = group->GetAttrInt("maxScale", scale.max);
  scale.widthMode = group->GetAttrInt("dwMode", scale.widthMode);
  return scale;
}

std::string ScaleText(const char* name, int percent) {
  char text[64];
  std::snprintf(text, sizeof text, ", %s=%g", name, percent * kPercent);
  return text;
}

void SetViewport(const TPageState& page, TmyXmlNode* planCell, const TPageSize& size) {
  TmyXmlNode* top = planCell;
  while (top->parent != nullptr) top = top->parent;
  TmyXmlNode* viewport = top->FindChild("meta", "name", true, "viewport");
  if (viewport == nullptr) return;
  const TScale scale = ScaleOf(page);
  const int menu = page.context.state.menuOff ? 0 : kMenuWidth;
  std::string content =
      scale.widthMode == kWidthModeFixed
          ? "width=" + std::to_string(size.width + menu + 2 * page.context.project.settings->leftMargin)
          : "width=device-width";
  if (scale.useIni) content += ScaleText("initial-scale", scale.ini);
  if (scale.useMax) content += ScaleText("maximum-scale", scale.max);
  if (!scale.user) content += ", user-scalable=no";
  viewport->SetAttr("content", content);
}

void SetUcidGuards(const TPageState& page, TmyXmlNode* body) {
  TmyXmlNode* first = body->firstChild;
  if (first == nullptr || first->name != "xsl:if") return;
  first->SetAttr("test", std::to_string(page.ucid) + " != ACCESS/@UCID");
  if (first->next != nullptr && first->next->name == "xsl:if")
    first->next->SetAttr("test", std::to_string(page.ucid) + " = ACCESS/@UCID");
}

// The body's style when the page is not full-screen; empty: leave the body.
std::string BodyStyle(const TProjectSettings& s, std::uint32_t pageColour) {
  char margin[96];
  std::snprintf(margin, sizeof margin, "margin: %ipx %ipx %ipx %ipx", s.topMargin, s.leftMargin, s.topMargin,
                s.leftMargin);
  if (!s.background) return "background-color:#" + Hex6(pageColour) + "; " + margin;
  if (s.bgColor != kWhite) return "background-color:#" + Hex6(SwapRedBlue(s.bgColor)) + "; " + margin;
  if (s.topMargin == kDefaultMargin && s.leftMargin == kDefaultMargin) return "";
  return margin;
}

// The page's background text; a background picture widens the page size.
std::string BackgroundText(TPageState& page, TPageSize& size, std::uint32_t colour) {
  const std::string name = page.page->GetAttr("background");
  TmyXmlNode* image = name.empty() ? nullptr : page.context.images.CopyProjectImage(name, page.pictureFolder);
  if (image == nullptr) return "background-color:#" + Hex6(colour) + ";";
  size.width = std::max(size.width, image->GetAttrInt("width", 0));
  size.height = std::max(size.height, image->GetAttrInt("height", 0));
  const char* repeat =
      page.page->GetAttr("repeat") == "true" ? "background-repeat: repeat;" : "background-repeat: no-repeat;";
  return "background-image: url(\"IMAGES/" + name + "\"); " + repeat + " background-color:#" + Hex6(colour) + ";";
}

void AddHeadStyle(TmyXmlNode* body) {
  TmyXmlNode* head = body->prev;
  while (head != nullptr && (head->comment || head->instruction)) head = head->prev;
  if (head != nullptr) TMarkupTemplate::Get("PAGE_FRAME_XSL").AppendTo(head, "mono-style");
}

}  // namespace

void BuildPageLayout(TPageState& page, TPageLayout& layout) {
  const TProjectSettings& settings = *page.context.project.settings;
  const std::uint32_t colour = SwapRedBlue(static_cast<std::uint32_t>(page.page->GetAttrInt("bgcolor", kWhite)));
  if (settings.propFont) AddHeadStyle(layout.body);
  TmyXmlNode* body = layout.body;
  // The template serves every page: a page without a script of its own must
  // not keep the `onload` of the script page before it.
  body->SetAttr("onload", layout.hasScript ? "GetXML('" + page.name + "'); FunWatchDog();" : "");
  TPageSize size = PageSize(page);
  SetViewport(page, layout.planCell, size);
  const std::string background = BackgroundText(page, size, colour);
  SetUcidGuards(page, body);
  const std::string position =
      "position: relative; width: " + std::to_string(size.width) + "px; height: " + std::to_string(size.height) + "px;";
  std::string areaStyle = background + " " + position;
  if (settings.fullScreen) {
    body->SetAttr("style", background + " margin: 0px;");
    areaStyle = position;
  } else if (const std::string bodyStyle = BodyStyle(settings, colour); !bodyStyle.empty()) {
    body->SetAttr("style", bodyStyle);
  }
  const TMarkupTemplate& frame = TMarkupTemplate::Get("PAGE_FRAME_XSL");
  layout.area = frame.AppendTo(layout.planCell, "area", TTemplateValues().Raw("style", areaStyle));
  layout.form = layout.hasScript
                    ? frame.AppendTo(layout.area, "form-script")
                    : frame.AppendTo(layout.area, "form-post", TTemplateValues().XslAttribute("action", page.name));
}
