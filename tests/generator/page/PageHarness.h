#pragma once
// Compiles one page of a small test project the way the project compiler
// does around the page compiler: a page template with the marks it fills
// (data/template.xsl), a template data page, the three script streams, and
// the closing of the answer handler. The input is a `web` element:
//
//   <web encoding="windows-1250" ids="true" cpm="11" compile="PAGE1.XML">
//     <variable name="%MW10" type="UINT" code="12" area="3" size="9" offset="10" />
//     <images><img name="A.PNG" height="20" width="30" /></images>
//     <alarms><alarm var="%MX1.0" page="PAGE2.XML" /></alarms>
//     <group usetemp="1"><page name="PAGE1.XML" ...>objects</page></group>
//   </web>
//
// `variable` declares a host variable (a `moved` "true" stood elsewhere in
// the previous compile's variables document; `bytes` its size in bytes when
// not that of its size code; `members` the blank-separated member names the
// host answers for a structure),
// `ids` switches element ids on, `newdim` "1" the measured-fonts option
// (`propfont` "true" measures in Verdana), `cpm` is the central unit's code, `compile`
// names the page (default: the first page not named "#...").

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "generator/CompileContext.h"
#include "generator/CompileState.h"
#include "generator/GeneratedFiles.h"
#include "generator/ProjectImages.h"
#include "generator/ProjectSettings.h"
#include "generator/WebVariables.h"
#include "generator/XmlUtilities.h"
#include "grid/GlobalWebData.h"
#include "grid/PlaceholderResolver.h"
#include "tests/support/FakeCompileHost.h"
#include "tests/support/TempFolder.h"

class TmyXmlNode;

// The page's three outputs and what the compile reported.
struct TPageRun {
  std::string stylesheet;  // the whole page template after the page
  std::string dataPage;
  std::string script;  // stream 1 closed as the project compiler closes it, then streams 2 and 3
  std::string pageFileName;
  int refreshPeriod = 0;
  bool hasScript = false;
  std::uint32_t errors = 0;
  std::vector<std::pair<std::string, std::string>> messages;
  std::string pageAfter;  // the page element after the compile
};

// A designer stand-in for the change stamps: a fixed clock and a trace.
class TTestUcidDesigner : public TUcidDesigner {
 public:
  std::int32_t GetUcidTime() override { return now; }
  TmyXmlNode* ShownPage() const override { return nullptr; }
  void SetCurrentUcid(std::int32_t) override {}
  void Trace(const std::string& text) override { traces.push_back(text); }
  std::int32_t now = 1800000000;
  std::vector<std::string> traces;
};

class PageHarness {
 public:
  PageHarness();
  ~PageHarness();

  // Takes the input `web` element (text); declares its variables.
  void Load(const std::string& webXml);
  TPageRun Compile();
  // Compiles the page without a page template (no body, no plan cell); the
  // page file name it answers.
  std::string CompileWithoutTemplate(TmyXmlNode* page, TmyXmlNode* data);
  TCompileContext& Context() { return *context_; }
  TGeneratedFiles& Files() { return *files_; }

  FakeCompileHost host;
  TCompileState state;
  TProjectSettings settings;
  TGridGlobalWebData webData;
  TPlaceholderResolver resolver{&webData};
  TCompileProject project;
  TTestUcidDesigner ucid;
  // The page template: data/template.xsl, or this embedded resource when set.
  std::string templateResource;
  testsupport::TempFolder output{"tarnwell-page-"};

 private:
  void DeclareVariables();
  void ScanTemplates();
  void ResolveAlarms();

  std::unique_ptr<TGeneratedFiles> files_;
  std::unique_ptr<TWebVariables> variables_;
  std::unique_ptr<TProjectImages> images_;
  std::unique_ptr<TCompileContext> context_;
  std::unique_ptr<TmyXmlNode> input_;
  TmyXmlNode* web_ = nullptr;
  bool ids_ = false;
};

// The closing of the answer handler as the project compiler writes it.
std::string CloseAnswerHandler(const std::string& pageFileName, int refreshPeriod);

// The source folder of this suite's data.
std::string PageDataDir();
