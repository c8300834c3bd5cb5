// The project compiler's walk over the groups and pages: each page fills the
// page template and the template data page (which are reused from page to
// page, so whatever the previous page added is removed first), the page
// compiler writes its content, and the page's files are written.

#include "generator/ProjectCompiler.h"

#include <optional>

#include "base/ScopeExit.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/XmlBuildArena.h"
#include "core/XmlDocument.h"
#include "generator/GeneratedFiles.h"
#include "generator/PageCompiler.h"
#include "generator/ProjectDescription.h"
#include "generator/ProjectPageFrame.h"
#include "generator/ProjectSettings.h"
#include "generator/PublicVariableList.h"
#include "grid/GlobalWebData.h"
#include "platform/vcl/SysUtils.h"

namespace {

constexpr int kPageTooLargeText = 7204;  // "Xml file (%s) is too large. ..."
constexpr const char* kIndexPage = "INDEX.XML";
constexpr std::size_t kExtensionLength = 3;  // "XML" of the page file name

bool IsTrue(const TmyXmlNode* node, const char* attribute) { return node->GetAttr(attribute) == "true"; }

std::string WithUcid(const std::string& address, const TmyXmlNode* page) {
  return address + "?U=" + std::to_string(page->GetAttrInt("ucid", 0));
}

// The first child `xsl:value-of` (added when missing) shows the page's title.
void SetTitleText(TmyXmlNode* element, const std::string& caption) {
  TmyXmlNode* valueOf = element->FindChild("xsl:value-of");
  if (valueOf == nullptr) valueOf = element->AddChild("xsl:value-of");
  valueOf->closed = true;
  valueOf->SetAttr("select", "/PAGE/@TITLE");
  element->value = caption;
}

TmyXmlNode* InsertScriptElement(TmyXmlNode* after, const std::string& source) {
  TmyXmlNode* script = after->InsertAfter("script");
  script->SetAttr("src", source);
  script->SetAttr("language", "JavaScript");
  script->SetAttr("charset", "utf-8");
  script->closed = true;
  return script;
}

std::string ReplaceFirst(std::string text, const std::string& what, const std::string& with) {
  const std::size_t at = text.find(what);
  if (at != std::string::npos) text.replace(at, what.size(), with);
  return text;
}

// The menu cell the compile placed after the "menu" comment, if any.
TmyXmlNode* PlacedMenuCell(TmyXmlNode* pageTemplate) {
  TmyXmlNode* mark = pageTemplate->FindComment("menu");
  TmyXmlNode* cell = mark != nullptr ? mark->next : nullptr;
  return cell != nullptr && cell->name == "td" && cell->GetAttr("id") == "menu" ? cell : nullptr;
}

class TProjectCompiler {
 public:
  TProjectCompiler(TCompileContext& context, TmyXmlNode* templateData, TmyXmlNode* pageTemplate,
                   const TProjectCompileInputs& inputs)
      : context_(context),
        state_(context.state),
        settings_(*context.project.settings),
        templateData_(templateData),
        pageTemplate_(pageTemplate),
        inputs_(inputs) {
    writer_.progress = false;
  }

  void Run() {
    state_.anyJsonMap = false;
    Prepare();
    frame_ = FindPageFrame(context_, pageTemplate_);
    AdaptPageFrame(context_, pageTemplate_, frame_);
    // Every page's stylesheet repeats the menu, which no page changes (it lists
    // every page, so it is most of a large project's output): written once.
    if (!state_.menuOff) writer_.KeepWritten(PlacedMenuCell(pageTemplate_));
    if (TmyXmlNode* web = context_.project.web) {
      for (TmyXmlNode* group = web->firstChild; group != nullptr; group = group->next)
        if (group->name == "group") CompileGroup(group);
    }
    state_.notForId = false;
    state_.notForWww = false;
    WritePanelOutputs();
    context_.alarmVariables.clear();
  }

 private:
  void Prepare() {
    EnsureDefaultPage(context_.project.web);
    RefreshHostVariables(context_, inputs_.panelStructures);
    // The project's pictures and alarms in one walk of the project: the
    // picture sizes change attributes only, no element.
    constexpr std::string_view kLists[] = {"images", "alarms"};
    TmyXmlNode* lists[std::size(kLists)] = {};
    if (context_.project.root != nullptr) context_.project.root->FindChildEach(kLists, lists);
    UpdateImageSizes(lists[0], inputs_.pictureSize);
    CheckAlarmVariables(context_, lists[1]);
    ScanTemplatePages(context_);
  }

  // The operator panels' files, for a project made for them. The project
  // description reloads the placeholder lists group by group and page by
  // page, and it may end the compile (a `count` that is no number): the
  // shown page's lists come back on every way out.
  void WritePanelOutputs() {
    const ScopeExit restore([this] { RestoreShownPlaceholders(); });
    if (!settings_.operatorPanels) return;
    WritePublicVariableList(context_);
    WriteProjectDescription(context_);
  }

  void CompileGroup(TmyXmlNode* group) {
    state_.notForId = IsTrue(group, "notforid");
    state_.notForWww = IsTrue(group, "notforwww");
    if (TGridGlobalWebData* data = context_.project.webData)
      data->GroupPlaceHolders.ClearAndLoad(group->FindChild("placeholders"));
    for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next)
      if (page->name == "page") CompilePage(page);
  }

  void CompilePage(TmyXmlNode* page) {
    if (TGridGlobalWebData* data = context_.project.webData)
      data->PagePlaceHolders.ClearAndLoad(page->FindChild("placeholders"));
    // Assigned, not replaced: the script keeps the room of the previous page's,
    // which the page's objects would otherwise grow it to again.
    script_.assign(ScriptLibrary());
    script_ += BackToReferrerScript(context_.alarmVariables);
    stream2_.clear();
    stream3_.clear();
    pageArena_.reset();
    pageArena_.emplace(
        std::initializer_list<const TmyXmlNode*>{templateData_->lastChild, frame_.logoCell, frame_.planCell,
                                                 frame_.title != nullptr ? frame_.title->parent : nullptr});
    ClearPage();
    FillFrame(page);
    std::string pageFileName;
    int refreshPeriod = 0;
    bool hasScript = false;
    RunPageCompiler(page, pageFileName, refreshPeriod, hasScript);
    script_ += PageScriptClosing(pageFileName, refreshPeriod);
    AddScriptElements(page, pageFileName, hasScript);
    if (frame_.planCell != nullptr && frame_.planCell->firstChild != nullptr) frame_.planCell->value.clear();
    if (hasScript) WriteScript(pageFileName);
    const std::string stylesheetName = StylesheetName(pageFileName);
    if (TmyXmlNode* instruction = StylesheetInstruction())
      instruction->SetAttrIfExists("href", WithUcid(stylesheetName, page));
    WriteTraceLog("** save page");
    if (!state_.notForWww) WritePageFiles(page, pageFileName, stylesheetName);
    WriteTraceLog("* next page");
  }

  // Removes what the previous page left in the two documents.
  void ClearPage() {
    WriteTraceLog("** clear page");
    if (TmyXmlNode* data = templateData_->lastChild) data->DeleteChildren();
    if (frame_.logoCell != nullptr) {
      frame_.logoCell->DeleteChildren();
      frame_.logoCell->value = "&#160;";
      TmyXmlNode* div = frame_.logoCell->AddChild("div");
      div->SetAttr("id", "top_left_div");
      div->SetAttr("style", "width: 150px;");
    }
    if (frame_.title != nullptr)
      while (frame_.title->next != nullptr) DeleteNode(frame_.title->next);
    if (frame_.planCell != nullptr) {
      frame_.planCell->DeleteChildren();
      frame_.planCell->value = "&#160;";
    }
  }

  void FillFrame(TmyXmlNode* page) {
    const std::string caption = page->GetAttr("caption");
    if (frame_.titleCell != nullptr) {
      SetTitleText(frame_.titleCell, caption);
      if (state_.menuOff && frame_.titleCell->parent != nullptr)
        frame_.titleCell->parent->SetAttr("style", "border-left: 1px solid black;");
    }
    StylePlanCell();
    if (frame_.title != nullptr) SetTitleText(frame_.title, caption);
    WriteTraceLog("** create page " + caption);
    if (frame_.body == nullptr) return;
    if (TmyXmlNode* head = frame_.body->prev) DeleteNode(head->FindChild("style"));
    frame_.body->SetAttrIfExists("style", "");
  }

  void StylePlanCell() {
    if (frame_.planCell != nullptr) {
      if (state_.menuOff && settings_.titleOff)
        frame_.planCell->SetAttr("style", "border-left: 1px solid black; border-top: 1px solid black;");
      else if (state_.menuOff)
        frame_.planCell->SetAttr("style", "border-left: 1px solid black;");
      else if (settings_.titleOff)
        frame_.planCell->SetAttr("style", "border-top: 1px solid black;");
    }
    if (!settings_.borderOff) return;
    if (frame_.titleCell != nullptr && frame_.titleCell->parent != nullptr)
      frame_.titleCell->parent->SetAttr("style", "border: 0px;");
    if (frame_.planCell != nullptr) frame_.planCell->SetAttr("style", "border: 0px;");
  }

  // The page's own error bits are kept apart while it compiles, then joined.
  void RunPageCompiler(TmyXmlNode* page, std::string& pageFileName, int& refreshPeriod, bool& hasScript) {
    const std::uint32_t saved = state_.compileErrors;
    state_.compileErrors = 0;
    inputs_.pages.CompilePage(page, frame_.body, pageFileName, refreshPeriod, stream2_, stream3_, script_, hasScript,
                              frame_.planCell, templateData_->lastChild);
    state_.compileErrors |= saved;
    WriteTraceLog("** " + pageFileName);
  }

  void AddScriptElements(TmyXmlNode* page, const std::string& pageFileName, bool hasScript) {
    if (frame_.title == nullptr || !hasScript) return;
    TmyXmlNode* script = InsertScriptElement(frame_.title, WithUcid(ScriptName(pageFileName), page));
    if (IsTrue(page, "notification")) InsertScriptElement(script, WithUcid("NOTIFY/CLIENT.JS", page));
  }

  void WriteScript(const std::string& pageFileName) {
    script_ += stream2_;
    script_ += stream3_;
    if (state_.notForWww || KeptFromFullCompile(ScriptName(pageFileName))) return;
    WriteTraceLog("** charset conversion");
    // A script that needs no conversion is written as it is.
    const bool asItIs = ProjectTextIsUtf8(script_, settings_.codePage);
    const std::string converted = asItIs ? std::string() : ProjectTextToUtf8(script_, settings_.codePage);
    WriteTraceLog("*** save JS");
    WriteOutput(ScriptName(pageFileName), asItIs ? script_ : converted);
    WriteTraceLog("*** save JS end");
  }

  void WritePageFiles(TmyXmlNode* page, const std::string& pageFileName, const std::string& stylesheetName) {
    const std::string dataPage = writer_.WriteNode(templateData_, 0);
    if (IsTrue(page, "default")) {
      WriteOutput(kIndexPage, dataPage);
      WriteTraceLog("*** save index page end");
    }
    WriteOutput(pageFileName, dataPage);
    if (dataPage.size() > static_cast<std::size_t>(MaxDataPageBytes(context_.host.CpmCode()))) {
      const std::string text =
          ReplaceFirst(GetUiText(kPageTooLargeText), "%s", pageFileName + " - " + page->GetAttr("caption"));
      context_.AddHostMessage(text, pageFileName);
      state_.compileErrors |= kCompileErrorTooMany;
    }
    WriteTraceLog("*** save xml page end");
    if (KeptFromFullCompile(stylesheetName)) return;
    if (state_.importedFiles != nullptr && state_.importedFiles->IndexOf(stylesheetName) >= 0) return;
    // Written into the text of the previous page's stylesheet, whose room it reuses.
    stylesheet_.clear();
    writer_.WriteNode(pageTemplate_, stylesheet_, 0);
    if (ProjectTextIsUtf8(stylesheet_, settings_.codePage))
      WriteOutput(stylesheetName, stylesheet_);
    else
      WriteOutput(stylesheetName, ProjectTextToUtf8(stylesheet_, settings_.codePage));
    WriteTraceLog("*** save xsl page end");
  }

  // A compile of the data pages alone keeps the page's script and stylesheet
  // of the last full compile. One that is not there (a full compile after the
  // page had left the project deleted it) is written as a full compile would,
  // so that the data page is never served without it.
  bool KeptFromFullCompile(const std::string& name) const {
    return state_.generateXmlOnly && FileExists(state_.outputRoot + name);
  }

  // Writes, registers and counts one file of the output root; a file that
  // cannot be written is reported and marked as an error.
  void WriteOutput(const std::string& name, const std::string& bytes) {
    const std::string path = state_.outputRoot + name;
    if (!context_.files.WriteGeneratedFile(path, bytes)) {
      context_.files.ReportWriteFailure(path);
      return;
    }
    context_.files.StepCompileProgress();
  }

  // The `xml-stylesheet` instruction after the XML declaration.
  TmyXmlNode* StylesheetInstruction() const {
    return templateData_->firstChild != nullptr ? templateData_->firstChild->next : nullptr;
  }

  void RestoreShownPlaceholders() {
    TmyXmlNode* shown = context_.project.shownPage;
    TGridGlobalWebData* data = context_.project.webData;
    if (shown == nullptr || data == nullptr) return;
    data->PagePlaceHolders.ClearAndLoad(shown->FindChild("placeholders"));
    if (shown->parent != nullptr && shown->parent->name == "group")
      data->GroupPlaceHolders.ClearAndLoad(shown->parent->FindChild("placeholders"));
  }

  static std::string Stem(const std::string& pageFileName) {
    return pageFileName.size() < kExtensionLength ? std::string()
                                                  : pageFileName.substr(0, pageFileName.size() - kExtensionLength);
  }
  // PAGE1.XML gives PAGE1.JS and PAGE1.XSL.
  static std::string ScriptName(const std::string& pageFileName) { return Stem(pageFileName) + "JS"; }
  static std::string StylesheetName(const std::string& pageFileName) {
    std::string name = pageFileName;
    if (name.size() >= 2) name[name.size() - 2] = 'S';
    return name;
  }

  TCompileContext& context_;
  TCompileState& state_;
  const TProjectSettings& settings_;
  TmyXmlNode* templateData_;
  TmyXmlNode* pageTemplate_;
  const TProjectCompileInputs& inputs_;
  TmyXMLParser writer_;
  TPageFrame frame_;
  // The page script (stream 1) and the two streams appended to it.
  std::string script_;
  std::string stylesheet_;
  std::string stream2_;
  std::string stream3_;
  // The arena of what the page being compiled puts into the two documents
  // (XmlBuildArena.h); the next page's clearing gives it back.
  std::optional<TXmlBuildArena> pageArena_;
};

}  // namespace

void CompileProject(TCompileContext& context, TmyXmlNode* templateData, TmyXmlNode* pageTemplate,
                    const TProjectCompileInputs& inputs) {
  if (templateData == nullptr || pageTemplate == nullptr || context.project.settings == nullptr) return;
  TProjectCompiler(context, templateData, pageTemplate, inputs).Run();
}
