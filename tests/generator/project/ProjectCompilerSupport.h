#pragma once
// A project compile with everything a test needs around it: a fake host, a
// temporary output root, the generated-file table, the variables document,
// a small page template with every mark, the template data page, and a page
// step that writes a little of each page's content the way the page compiler
// does.

#include <memory>
#include <string>

#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "generator/CompileContext.h"
#include "generator/GeneratedFiles.h"
#include "generator/ProjectCompiler.h"
#include "generator/ProjectImages.h"
#include "generator/ProjectSettings.h"
#include "generator/WebVariables.h"
#include "grid/GlobalWebData.h"
#include "grid/PlaceholderResolver.h"
#include "platform/win/Resources.h"
#include "tests/support/FakeCompileHost.h"
#include "tests/support/TempFolder.h"

namespace projecttest {

inline constexpr const char* kPageTemplate =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<xsl:stylesheet version=\"1.0\" "
    "xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">\n"
    "<xsl:template match=\"/\"><html><head><meta name=\"viewport\" "
    "content=\"width=device-width\" />"
    "<meta name=\"author\" content=\"\" /><title>x</title></head>"
    "<body style=\"margin: 0px;\"><script>var home = 1;</script><table>"
    "<tr><!--logo--><td>logo</td><!--title--><td><span>t</span></td></tr>"
    "<tr><!--menu--><td>menu</td><!--plan--><td>plan</td></tr>"
    "<!--bottom--><tr><td>foot</td></tr>"
    "</table></body></html></xsl:template></xsl:stylesheet>\n";

inline constexpr const char* kTemplateData =
    "<?xml version=\"1.0\" encoding=\"windows-1250\"?>\n"
    "<?xml-stylesheet type=\"text/xsl\" href=\"\"?>\n"
    "<PAGE TITLE=\"\"><ACCESS PAGE_LEVEL=\"0\" USER_LEVEL=\"0\" /></PAGE>\n";

// Writes one INPUT entry per `object` child, a div into the plan cell and the
// opening of the answer handler; the page file name is the page's `name`.
class FakePageStep : public TPageCompileStep {
 public:
  std::string CompilePage(TmyXmlNode* page, TmyXmlNode*, std::string& pageFileName, int& refreshPeriod,
                          std::string& stream2, std::string& stream3, std::string& stream1, bool& hasScript,
                          TmyXmlNode* planCell, TmyXmlNode* templateData) override {
    pageFileName = page->GetAttr("name");
    refreshPeriod = page->GetAttrInt("pause", 1000);
    hasScript = page->GetAttr("ajax") == "true";
    for (TmyXmlNode* object = page->firstChild; object != nullptr; object = object->next) {
      if (object->name != "object") continue;
      TmyXmlNode* input = templateData->AddChild("INPUT");
      input->SetAttr("NAME", object->GetAttr("var"));
      input->SetAttr("VALUE", "0");
      input->closed = true;
    }
    if (planCell != nullptr) planCell->AddChild("div")->value = page->GetAttr("caption");
    stream1 +=
        "function onResponse() {\r\nvar pd = '';\r\ntry {\r\nvar "
        "x=[];\r\nif(x[0]) {\r\n";
    stream1 += "var caption = '" + page->GetAttr("caption") + "';\r\n";
    stream2 += "function PostGlobal() {\r\n}\r\n";
    stream3 += "var stream3 = 1;\r\n";
    if (state != nullptr) {
      errorsAtStart.push_back(state->compileErrors);
      state->compileErrors |= static_cast<std::uint32_t>(page->GetAttrInt("errors", 0));
    }
    ++pages;
    return pageFileName;
  }
  TCompileState* state = nullptr;
  int pages = 0;
  std::vector<std::uint32_t> errorsAtStart;  // the error bits each page started with
};

class ProjectCompile {
 public:
  explicit ProjectCompile(const std::string& projectXml) : out_("project-compile-") {
    LoadDefaultUiTable(HInstance);
    TmyXMLParser reader;
    reader.LoadFromString(projectXml.c_str());
    root.reset(reader.Parse());
    project.root = root.get();
    project.web = root->FindChild("web", {}, true);
    project.settings = &settings;
    project.webData = &webData;
    project.resolver = &resolver;
    state.outputRoot = out_.System("WWW\\");
    std::filesystem::create_directories(out_.Path() / "WWW");
    host.hasCompilerMessages = true;
    host.AcquireCompilerMessages();
    pages.state = &state;
    context =
        std::make_unique<TCompileContext>(TCompileContext{project, state, host, files, variables, images, {}, {}, {}});
  }

  void Run() {
    TmyXMLParser templateReader;
    templateReader.LoadFromString(pageTemplateText.c_str());
    std::unique_ptr<TmyXmlNode> pageTemplate(templateReader.Parse());
    TmyXMLParser dataReader;
    dataReader.LoadFromString(kTemplateData);
    std::unique_ptr<TmyXmlNode> data(dataReader.Parse());
    TProjectCompileInputs inputs{pages, panelStructures, pictureSize};
    CompileProject(*context, data.get(), pageTemplate.get(), inputs);
  }

  bool Exists(const std::string& name) const { return std::filesystem::exists(out_.Path() / "WWW" / name); }
  std::string Read(const std::string& name) const { return out_.Read("WWW/" + name); }
  bool HasMessage(const std::string& text, const std::string& source) const {
    for (const auto& [t, s] : host.messages)
      if (t == text && s == source) return true;
    return false;
  }
  const testsupport::TempFolder& Folder() const { return out_; }

  std::unique_ptr<TmyXmlNode> root;
  std::string pageTemplateText = kPageTemplate;
  TProjectSettings settings;
  TGridGlobalWebData webData;
  TPlaceholderResolver resolver{&webData};
  TCompileProject project;
  TCompileState state;
  FakeCompileHost host;
  FakePageStep pages;
  std::vector<std::string> panelStructures;
  TPictureSizeLookup pictureSize;

 private:
  testsupport::TempFolder out_;

 public:
  TGeneratedFiles files{state, host};
  TWebVariables variables{state, host};
  TProjectImages images{nullptr, project, state, &files};
  std::unique_ptr<TCompileContext> context;
};

// A project of one group with the given pages (each an element text).
inline std::string OneGroup(const std::string& pages, const std::string& webAttributes = "") {
  return "<web" + webAttributes + "><group name=\"G\">" + pages + "</group></web>";
}

}  // namespace projecttest
