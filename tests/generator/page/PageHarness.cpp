#include "tests/generator/page/PageHarness.h"

#include <cstdio>
#include <sstream>

#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "core/XmlResource.h"
#include "generator/PageCompiler.h"
#include "platform/win/Resources.h"

namespace {

constexpr int kWatchDogFactor = 20;
constexpr int kWatchDogMinimum = 5000;

std::unique_ptr<TmyXmlNode> ParseText(const std::string& text) {
  TmyXMLParser parser;
  parser.LoadFromString(text.c_str());
  std::unique_ptr<TmyXmlNode> root(parser.Parse());
  if (parser.errorWord != 0)
    throw std::runtime_error("test input is not well-formed, line " + std::to_string(parser.lineCounter));
  return root;
}

std::string ReadFile(const std::string& path) {
  std::string text;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    std::fclose(f);
  }
  return text;
}

std::string Write(TmyXmlNode* root) {
  TmyXMLParser writer;
  writer.progress = false;
  return writer.WriteNode(root, 0);
}

// The page to compile: `compile` of the web element, else the first page not
// named "#...".
TmyXmlNode* PageToCompile(TmyXmlNode* web) {
  const std::string wanted = web->GetAttr("compile");
  for (TmyXmlNode* group = web->firstChild; group != nullptr; group = group->next) {
    if (group->name != "group") continue;
    for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next) {
      if (page->name != "page") continue;
      const std::string name = page->GetAttr("name");
      if (wanted.empty() ? !name.starts_with("#") : name == wanted) return page;
    }
  }
  throw std::runtime_error("no page to compile");
}

}  // namespace

std::string PageDataDir() { return std::string(TARNWELL_SOURCE_DIR) + "/tests/generator/page/data"; }

std::string CloseAnswerHandler(const std::string& name, int refresh) {
  const int watchDog = std::max(refresh * kWatchDogFactor, kWatchDogMinimum);
  return "} else {document.location.reload(true); return;}\r\n} catch(err) {console.log(err.message)}\r\n"
         "if(pd!=''){setTimeout(\"GetXML('" +
         name + "','\"+pd+\"')\",1);}else{setTimeout(\"GetXML('" + name + "')\"," + std::to_string(refresh) +
         ");}}\r\nfunction FunWatchDog() {\r\nif(gWatchDog > 0 || g_postInProgress) {\r\ngWatchDog = 0;\r\n} else "
         "{\r\ndocument.location.reload(true);\r\n}\r\nsetTimeout(\"FunWatchDog()\", " +
         std::to_string(watchDog) + ");\r\n}\r\n\r\n";
}

PageHarness::PageHarness() {
  LoadDefaultUiTable(HInstance);
  state.outputRoot = output.System("WWW") + "\\";
  project.settings = &settings;
  project.webData = &webData;
  project.resolver = &resolver;
  project.ucid = &ucid;
  files_ = std::make_unique<TGeneratedFiles>(state, host);
  variables_ = std::make_unique<TWebVariables>(state, host);
}

PageHarness::~PageHarness() = default;

void PageHarness::Load(const std::string& webXml) {
  input_ = ParseText(webXml);
  web_ = input_->FindChild("web");
  settings.encoding = web_->GetAttrDef("encoding", settings.encoding);
  settings.propFont = web_->GetAttr("propfont") == "true";
  webData.MeasuredFonts = web_->GetAttrInt("newdim", 0) != 0;
  ids_ = web_->GetAttr("ids") == "true";
  host.cpmCode = web_->GetAttrInt("cpm", host.cpmCode);
  project.web = web_;
  DeclareVariables();
  images_ = std::make_unique<TProjectImages>(web_->FindChild("images"), project, state, files_.get());
  context_ = std::make_unique<TCompileContext>(
      TCompileContext{project, state, host, *files_, *variables_, *images_, {}, {}, {}});
  ScanTemplates();
  ResolveAlarms();
}

void PageHarness::DeclareVariables() {
  std::string previous;
  for (TmyXmlNode* v = web_->firstChild; v != nullptr; v = v->next) {
    if (v->name != "variable") continue;
    host.Declare(v->GetAttr("name"), v->GetAttr("type"), v->GetAttrInt("code", -1),
                 static_cast<std::uint8_t>(v->GetAttrInt("area", 3)),
                 static_cast<std::uint16_t>(v->GetAttrInt("size", 8)), v->GetAttrInt("offset", 0));
    if (v->FindAttr("bytes") != nullptr) host.variables[v->GetAttr("name")].size = v->GetAttrInt("bytes", 0);
    if (v->FindAttr("members") != nullptr) {
      std::istringstream members(v->GetAttr("members"));
      std::vector<std::string>& list = host.members[v->GetAttr("name")];
      for (std::string member; members >> member;) list.push_back(member);
    }
    // A moved variable stood elsewhere in the previous compile's document.
    if (v->GetAttr("moved") == "true")
      previous += "<Item Name=\"" + v->GetAttr("name") + "\" Pos=\"FFFFFFFF\" Type=\"0\" />";
  }
  if (previous.empty()) return;
  output.Write("previous_var.xml", "<Variables>" + previous + "</Variables>");
  variables_->Begin(output.System("previous_var.xml"));
}

void PageHarness::ScanTemplates() {
  for (TmyXmlNode* group = web_->firstChild; group != nullptr; group = group->next) {
    for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next) {
      int n = 0;
      const std::string name = page->GetAttr("name");
      if (std::sscanf(name.c_str(), "#TEMPFG%i.XML", &n) == 1 && n >= 1 && n <= 9)
        context_->foregroundTemplates[n] = page;
      else if (std::sscanf(name.c_str(), "#TEMPBG%i.XML", &n) == 1 && n >= 1 && n <= 9)
        context_->backgroundTemplates[n] = page;
    }
  }
}

void PageHarness::ResolveAlarms() {
  TmyXmlNode* alarms = web_->FindChild("alarms");
  if (alarms == nullptr) return;
  for (TmyXmlNode* alarm = alarms->firstChild; alarm != nullptr; alarm = alarm->next) {
    const std::string id = variables_->ResolveWebVariable(alarm->GetAttr("var"), {});
    if (!id.empty()) context_->alarmVariables.push_back({id, alarm});
  }
}

TPageRun PageHarness::Compile() {
  TmyXmlNode* page = PageToCompile(web_);
  std::unique_ptr<TmyXmlNode> stylesheet;
  if (templateResource.empty()) {
    stylesheet = ParseText(ReadFile(PageDataDir() + "/template.xsl"));
  } else {
    TmyXMLParser reader;
    stylesheet.reset(LoadXmlResource(&reader, templateResource.c_str()));
  }
  TmyXmlNode* body = stylesheet->FindInTree("body");
  TmyXmlNode* planComment = stylesheet->FindComment("plan");
  TmyXmlNode* planCell = planComment != nullptr ? planComment->next : nullptr;
  std::unique_ptr<TmyXmlNode> data = ParseText(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><?xml-stylesheet type=\"text/xsl\" href=\"page.xsl\"?><PAGE></PAGE>");
  TmyXmlNode* pageData = data->FindChild("PAGE");
  pageData->SetAttr("TITLE", page->GetAttr("caption"));
  planCell->DeleteChildren();
  host.hasCompilerMessages = true;
  host.AcquireCompilerMessages();
  TPageRun run;
  std::string stream1, stream2, stream3;
  TPageCompiler compiler(*context_);
  compiler.SetElementIds(ids_);
  compiler.CompilePage(page, body, run.pageFileName, run.refreshPeriod, stream2, stream3, stream1, run.hasScript,
                       planCell, pageData);
  if (planCell->firstChild != nullptr) planCell->value.clear();
  run.script = stream1 + CloseAnswerHandler(run.pageFileName, run.refreshPeriod) + stream2 + stream3;
  run.stylesheet = Write(stylesheet.get());
  run.dataPage = Write(data.get());
  run.errors = state.compileErrors;
  run.messages = host.messages;
  TmyXmlNode copy("page");
  copy.CopyFrom(page);
  copy.CopyChildren(page);
  TmyXMLParser writer;
  writer.progress = false;
  run.pageAfter = writer.WriteNode(&copy, 1);
  return run;
}

std::string PageHarness::CompileWithoutTemplate(TmyXmlNode* page, TmyXmlNode* data) {
  std::string stream1, stream2, stream3, name;
  int refresh = 0;
  bool hasScript = false;
  TPageCompiler compiler(*context_);
  return compiler.CompilePage(page, nullptr, name, refresh, stream2, stream3, stream1, hasScript, nullptr, data);
}
