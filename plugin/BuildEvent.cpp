// The host's build event: whether the web pages are compiled while the host
// links the PLC program. The marker file makes every build compile; else the
// one-time question (while the designer is open), the check of the variables'
// positions and the time stamps of the last save and compilation decide,
// with a question each. A compilation that failed fails the host's build: its
// error is already in the host's message window and goes with the result.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "core/OpenIniReg.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/WriteFailureNotice.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "generator/SaveAndCompile.h"
#include "platform/com/ComCheck.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Paths.h"
#include "platform/win/Win32File.h"
#include "plugin/DesignerLink.h"
#include "plugin/PluginState.h"
#include "plugin/TarnwellCoClassImpl.h"
#include "plugin/VarPosCheck.h"
#include "project/FormSimpleMessage.h"

namespace {

constexpr const char* kProductName = "Tarnwell";
constexpr const char* kMarkerSuffix = ".auto";
constexpr const char* kSettingsSuffix = ".webx";
constexpr const char* kVariablesSuffix = "_var.xml";
constexpr const char* kMarkerContent = "On";
constexpr const char* kAskKey = "Ask";
constexpr const char* kTimeStampsSection = "TimeStamps";
constexpr const char* kSaveTimeKey = "SaveTD";
constexpr int kTextAskCompile = 7130;
constexpr int kTextVariablesMoved = 7125;
constexpr int kTextPagesModified = 7126;

// The first child of `node` that is an element, or none.
TmyXmlNode* FirstElement(TmyXmlNode* node) {
  TmyXmlNode* child = node != nullptr ? node->firstChild : nullptr;
  while (child != nullptr && (child->comment || child->instruction)) child = child->next;
  return child;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(ToNativePath(path), ec);
}

// One compilation for the host's build: the designer (opened hidden when it
// is absent) compiles quietly and sends its progress to the host's status
// window; the compilation clears the host-build flag.
void CompileForBuild(std::uint32_t statusWindow) {
  if (FormDesign1 == nullptr) OpenDesigner(false);
  if (FormDesign1 == nullptr) return;
  FormDesign1->compileState.hostStatusWindow = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(statusWindow));
  FormDesign1->compileState.compileForHost = true;
  FormDesign1->btnSave1Click(nullptr);
  gBuildCompileCopy = FormDesign1->lastCompile.projectCopy;
  if (FormDesign1->lastCompile.outcome != TCompileOutcome::kFailed) return;
  gBuildCompileError = FormDesign1->lastCompile.error;
  gBuildCompileLeftOutput = FormDesign1->lastCompile.outputTouched;
}

// The marker file with its two bytes; a file that cannot be made is left out.
void CreateMarkerFile(const std::string& path) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, kMarkerContent, 2, &written, nullptr);
  CloseHandle(file);
}

// The modal question of the build; answers whether the user said Yes and
// whether the check box "Don't ask next time" was checked.
struct TBuildAnswer {
  bool yes = false;
  bool dontAskAgain = false;
};

TBuildAnswer AskSimpleMessage(int textId) {
  const auto form = std::make_unique<TFormSimpleMessage>(nullptr);
  form->Message1->SetCaption(GetUiText(textId));
  TBuildAnswer answer;
  answer.yes = form->ShowModal() == mrOk;
  answer.dontAskAgain = form->cbAskNextTime->Checked();
  return answer;
}

// The one-time question; true when it compiled. A settings file that cannot
// take the answer does not hold the question back: it is asked, and comes
// again at the next build, and the notice names the file.
bool AskOnce(TIniFile& ini, const std::string& section, const std::string& base, std::uint32_t statusWindow) {
  if (!ini.ReadBool(section, kAskKey, true)) return false;
  // At most once per project, whatever the answer.
  WriteSettings([&] { ini.WriteBool(section, kAskKey, false); });
  const std::string text = GetUiText(kTextAskCompile);
  if (MessageBox(nullptr, text.c_str(), kProductName, MB_YESNO | MB_TOPMOST) != IDYES) return false;
  CreateMarkerFile(base + kMarkerSuffix);
  CompileForBuild(statusWindow);
  return true;
}

// The variables of the last compilation moved: recompile? True when it
// compiled.
bool CheckVariablePositions(const std::string& base, std::uint32_t statusWindow) {
  const std::string document = base + kVariablesSuffix;
  if (!FileExists(document)) return false;
  TmyXMLParser parser;
  const std::unique_ptr<TmyXmlNode> root(parser.LoadFromFile(document) ? parser.Parse() : nullptr);
  // The parser's wrapper holds the document's root element, `Variables`,
  // whose `Item` children the check reads. A document without a root element
  // counts as absent.
  TmyXmlNode* variables = FirstElement(root.get());
  if (variables == nullptr || CheckAllVarPos(FormDesign1, variables)) return false;
  const TBuildAnswer answer = AskSimpleMessage(kTextVariablesMoved);
  bool compiled = false;
  if (answer.yes) {
    ShowDesigner();
    CompileForBuild(statusWindow);
    compiled = true;
  }
  // Off until the next compilation writes the document again.
  if (answer.dontAskAgain) DeleteFileA(document.c_str());
  return compiled;
}

// Pages saved after the last compilation: recompile? True when it compiled.
bool CheckPagesModified(TIniFile& ini, std::uint32_t statusWindow) {
  if (!SaveAwaitsCompile(ini)) return false;
  const TBuildAnswer answer = AskSimpleMessage(kTextPagesModified);
  if (answer.yes) CompileForBuild(statusWindow);
  // Off until the next save.
  if (answer.dontAskAgain) WriteSettings([&] { ini.WriteInteger(kTimeStampsSection, kSaveTimeKey, 0); });
  return answer.yes;
}

// A build that compiled no web page says so in the host's message window,
// with the way to have them compiled: a server would go on serving the last
// compile's pages (or none) without a word. The export tells it once its
// driver has run, with what the build wrote. `questionPending`: the one-time
// question is still to come, once the designer is open at a build.
void NoteNothingCompiled(const std::string& marker, bool questionPending) {
  gBuildNotCompiled.pending = true;
  gBuildNotCompiled.marker = marker;
  gBuildNotCompiled.questionPending = questionPending;
}

void DecideAndCompile(std::uint32_t statusWindow) {
  // What the build could not write into the settings file is told once, at its end.
  const TWriteFailureNotice notice;
  TclBuildFileName web(gHost.ifPrjMngr.Get(), kProductName, false);
  const std::string base = web.GetBase();
  if (!base.empty() && FileExists(base + kMarkerSuffix)) {
    CompileForBuild(statusWindow);
    return;
  }
  TclOpenIniReg settings(gHost.ifPrjMngr.Get(), kProductName, kSettingsSuffix);
  TIniFile* ini = settings.GetIniFile();
  const bool questionPending =
      ini != nullptr && FormDesign1 == nullptr && ini->ReadBool(settings.GetSection(), kAskKey, true);
  bool compiled = false;
  if (ini != nullptr && FormDesign1 != nullptr && !base.empty())
    compiled = AskOnce(*ini, settings.GetSection(), base, statusWindow);
  // The variables are checked whether or not the question compiled.
  if (!base.empty() && CheckVariablePositions(base, statusWindow)) compiled = true;
  if (!compiled && ini != nullptr) compiled = CheckPagesModified(*ini, statusWindow);
  if (!compiled && !base.empty()) NoteNothingCompiled(base + kMarkerSuffix, questionPending);
}

}  // namespace

HRESULT TTarnwellCoClassImpl::OnLinkingExtendedProgMap(std::uint32_t statusWindow, std::uint32_t, std::uint32_t,
                                                       std::uint32_t, std::uint32_t, std::uint32_t) {
  try {
    WriteTraceLog("OnLinkingExtendedProgMap");
    gBuildCompileError.clear();
    gBuildCompileLeftOutput = false;
    gBuildCompileCopy = TProjectFilePrint{};
    gBuildNotCompiled.pending = false;
    DecideAndCompile(statusWindow);
    WriteTraceLog("OnLinkingExtendedProgMap - end");
    if (gBuildCompileError.empty()) return S_OK;
    return ReportPluginException(IID_IQendCompilerEventsExt1, gBuildCompileError.c_str(), E_FAIL);
  } catch (const std::exception& e) {
    WriteTraceLog("OnLinkingExtendedProgMap - exception");
    HRESULT code = E_UNEXPECTED;
    if (const auto* ole = dynamic_cast<const EOleSysError*>(&e)) code = ole->ErrorCode();
    return ReportPluginException(IID_IQendCompilerEventsExt1, e.what(), code);
  }
}
