// The page compiler: the order of one page's output, the template pages, the
// moved-variable scan, the data page's `ACCESS` element, the variable limit.
// Layout, objects and script are in PageLayout.cpp, PageObjects.cpp and
// PageScript.cpp.

#include "generator/PageCompiler.h"

#include <algorithm>
#include <cctype>

#include "core/UiText.h"
#include "core/XmlNode.h"
#include "generator/CompileContext.h"
#include "generator/ObjectWriter.h"
#include "generator/PageCompilerSteps.h"
#include "generator/PageMessages.h"
#include "generator/ProjectSettings.h"
#include "generator/WebVariables.h"
#include "generator/XmlUtilities.h"
#include "grid/PlaceholderResolver.h"
#include "platform/win/Folders.h"

namespace {

constexpr int kTextCannotCreate = 7074;
constexpr int kTextTooManyVariables = 7072;
constexpr int kDefaultRefresh = 1000;
constexpr int kMinimumRefresh = 1;
constexpr int kTemplateSlots = 9;
constexpr int kSmallPageVariables = 128;
constexpr int kLargePageVariables = 256;
constexpr int kLargeCpmCode = 11;
constexpr int kBytesPerVariable = 64;
constexpr std::size_t kEncodingDigitUtf8 = 4;  // "utf-8": its fifth character
constexpr std::size_t kEncodingDigit = 11;     // "windows-125x": its twelfth character
constexpr const char* kSystemWordVariable = "%SW22";
constexpr const char* kSystemWordIdentifier = "__S22_UINT_u";
constexpr const char* kOrientationAttributes[] = {"alpha", "beta", "gamma"};

std::string Trimmed(std::string text) {
  const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), blank));
  text.erase(std::find_if_not(text.rbegin(), text.rend(), blank).base(), text.end());
  return text;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

char CodePageDigit(const std::string& encoding) {
  if (encoding.size() > kEncodingDigitUtf8 && encoding[kEncodingDigitUtf8] == '8') return '8';
  return encoding.size() > kEncodingDigit ? encoding[kEncodingDigit] : '0';
}

// Resolves a reference for the moved scan; true when its variable moved.
bool ResolveMoved(TPageState& page, const std::string& reference, std::string* identifier = nullptr) {
  if (reference.empty()) return false;
  std::string id = page.context.variables.ResolveWebVariable(reference, {});
  if (identifier != nullptr) *identifier = id;
  return page.context.variables.Moved();
}

std::string ScanReference(TPageState& page, const TXmlString& value) {
  return Upper(Trimmed(ExpandPlaceholders(page.context.project.resolver, value)));
}

// Step 5: the orientation variables; true when one moved.
bool ResolveOrientation(TPageState& page) {
  bool moved = false;
  for (int i = 0; i < 3; ++i) {
    TIdentifierFormat format;
    format.precision = 1;
    const std::string ref =
        ExpandPlaceholders(page.context.project.resolver, page.page->GetAttr(kOrientationAttributes[i]));
    if (ref.empty()) continue;
    page.orientation[i] = page.context.variables.ResolveWebVariable(ref, format);
    moved |= page.context.variables.Moved();
  }
  return moved;
}

// Step 7: the variables of touch, canvas, image-button and rectangle objects.
// The object's attributes are found here once and kept for its record.
bool ScanMovedVariables(TPageState& page) {
  bool moved = false;
  std::size_t objects = 0;
  for (const TmyXmlNode* object = page.page->firstChild; object != nullptr; object = object->next)
    objects += object->name == "object" ? 1 : 0;
  page.objectAttrs.clear();
  page.objectAttrs.reserve(objects);
  for (TmyXmlNode* object = page.page->firstChild; object != nullptr; object = object->next) {
    if (object->name != "object") continue;
    TObjectAttrs& attrs = page.objectAttrs.emplace_back();
    FindObjectAttrs(object, attrs);
    for (std::size_t i = kAttrClickX; i <= kAttrClickColour; ++i)
      if (attrs.found[i] != nullptr) moved |= ResolveMoved(page, ScanReference(page, attrs.found[i]->value));
    TmyXmlNode* kind = KindElement(object);
    if (kind == nullptr) continue;
    if (kind->name == "canvas") {
      std::string id;
      moved |= ResolveMoved(page, ExpandPlaceholders(page.context.project.resolver, kind->GetAttr("variable")), &id);
      page.canvasPage |= !id.empty();
    } else if (kind->name == "imagebtn" || kind->name == "block") {
      if (const TmyXmlAttrNode* variable = kind->FindAttr("variable"))
        moved |= ResolveMoved(page, ScanReference(page, variable->value));
    }
  }
  return moved;
}

// Step 6: copies of the group's template pages around the page's own objects.
void CopyTemplatePages(TPageState& page) {
  const TmyXmlNode* group = page.page->parent;
  const int n = group != nullptr ? group->GetAttrInt("usetemp", 0) : 0;
  if (n < 1 || n > kTemplateSlots) return;
  TmyXmlNode* background = page.context.backgroundTemplates[n];
  TmyXmlNode* foreground = page.context.foregroundTemplates[n];
  if (page.page == background || page.page == foreground) return;
  TUcidDesigner* designer = page.context.project.ucid;
  if (background != nullptr) {
    if (designer != nullptr) CheckTemplateUcid(*designer, page.page, background, true);
    page.page->CopyChildrenFirstExceptSetAttr(background, "placeholders", std::to_string(-n), "ti");
  }
  if (foreground != nullptr) {
    if (designer != nullptr) CheckTemplateUcid(*designer, page.page, foreground, false);
    page.page->CopyChildrenExceptSetAttr(foreground, "placeholders", std::to_string(n), "ti");
  }
}

void OpenJsonMap(TPageState& page) {
  page.jsonMap = page.page->GetAttr("jsonmap") == "true";
  if (!page.jsonMap) return;
  if (!page.context.state.anyJsonMap) {
    const std::string folder = page.context.state.outputRoot + "JSN\\";
    if (!ForceDirectories(folder)) page.context.AddHostMessage(GetUiText(kTextCannotCreate), folder);
  }
  page.context.state.anyJsonMap = true;
}

void AddAccessEntry(TPageState& page) {
  TmyXmlNode* access = page.dataParent->AddChild("ACCESS");
  access->closed = true;
  access->SetAttrInt("PAGE_LEVEL", page.page->GetAttrInt("level", 0));
  access->SetAttr("USER_LEVEL", "0");
  access->SetAttrInt("UCID", page.ucid);
}

void WriteScriptHead(TPageState& page) {
  if (page.canvasPage) *page.stream1 += CanvasTextConversion(page.codePageDigit) + CanvasScripts();
  const bool orientation = !page.orientation[0].empty() || !page.orientation[1].empty() || !page.orientation[2].empty();
  if (orientation) *page.stream1 += OrientationSupport();
  *page.stream1 += AnswerHandlerBegin(page);
}

// Steps 22 to 28: alarms, the variable limit's message, the system word,
// PostGlobal, gcImg, the JSON map, the template copies removed.
void FinishPage(TPageState& page) {
  WriteAlarms(page);
  if (page.context.state.compileErrors & kCompileErrorTooMany)
    AddPlacedMessage(page.context, GetUiText(kTextTooManyVariables), "", page.name, page.caption);
  if (page.inputs.empty())
    AddDataEntry(page, page.dataParent, false, kSystemWordVariable, kSystemWordIdentifier, kSystemWordVariable);
  WritePostGlobalEnd(page);
  WriteImageCache(page);
  WriteJsonMap(page);
  page.page->DeleteChildrenWithAttr("ti");
}

}  // namespace

struct TPageCompiler::TState : TPageState {
  using TPageState::TPageState;
};

TPageCompiler::TPageCompiler(TCompileContext& context) : context_(context) {}
TPageCompiler::~TPageCompiler() = default;

void TPageCompiler::SetElementIds(bool on) { elementIds_ = on; }

std::string TPageCompiler::CompilePage(TmyXmlNode* page, TmyXmlNode* body, std::string& pageFileName,
                                       int& refreshPeriod, std::string& stream2, std::string& stream3,
                                       std::string& stream1, bool& hasScript, TmyXmlNode* planCell,
                                       TmyXmlNode* templateData) {
  state_ = std::make_unique<TState>(context_);
  TPageState& p = *state_;
  p.page = page;
  p.name = page->GetAttr("name");
  p.caption = page->GetAttr("caption");
  p.pictureFolder = context_.state.outputRoot + "images\\";
  p.idsOn = elementIds_;
  pageFileName = p.name;
  if (body == nullptr || planCell == nullptr) {
    context_.AddHostMessage("[Tarnwell]", "Failed to create: " + p.name);
    return pageFileName;
  }
  p.codePageDigit = CodePageDigit(context_.project.settings->encoding);
  p.stream1 = &stream1;
  p.stream2 = &stream2;
  p.stream3 = &stream3;
  p.dataParent = templateData;
  OpenJsonMap(p);
  hasScript = page->GetAttr("ajax") == "true";
  refreshPeriod = std::max(page->GetAttrInt("pause", kDefaultRefresh), kMinimumRefresh);
  p.scriptPost = hasScript;
  p.postTarget = p.name;
  bool moved = ResolveOrientation(p);
  CopyTemplatePages(p);
  moved |= ScanMovedVariables(p);
  if (moved && context_.project.ucid != nullptr) SetPageUcid(*context_.project.ucid, page);
  p.ucid = page->GetAttrInt("ucid", 0);
  if (p.jsonMap) p.json = "{\"UCID\":" + std::to_string(p.ucid) + ",\"rw\":[";
  WriteScriptHead(p);
  WritePostGlobalBegin(p);
  AddAccessEntry(p);
  TPageLayout layout{body, planCell, nullptr, nullptr, hasScript};
  BuildPageLayout(p, layout);
  WritePageObjects(p, layout);
  FinishPage(p);
  return pageFileName;
}

bool CanAddPageVariable(TPageState& page) {
  if (!page.newVariable) return true;
  page.newVariable = false;
  const std::size_t count = page.inputs.size() + page.datas.size();
  return count < static_cast<std::size_t>(MaxPageVariables(page.context.host.CpmCode()));
}

std::string TemplatePageName(int mark) {
  if (mark < 0) return "#TEMPBG" + std::to_string(-static_cast<long long>(mark)) + ".XML";
  if (mark > 0) return "#TEMPFG" + std::to_string(mark) + ".XML";
  return "";
}

int MaxPageVariables(int cpmCode) { return cpmCode < kLargeCpmCode ? kSmallPageVariables : kLargePageVariables; }

int MaxDataPageBytes(int cpmCode) { return kBytesPerVariable * MaxPageVariables(cpmCode); }
