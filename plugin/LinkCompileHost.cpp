#include "plugin/LinkCompileHost.h"

#include <utility>

#include "core/UiText.h"
#include "designer/FormDesign1.h"
#include "generator/WebCompiler.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/Paths.h"
#include "plugin/PluginState.h"

namespace {

// The constant arguments of a compiler message: kind, value and two flags.
constexpr HostLong kMessageKind = 0;
constexpr HostLong kMessageValue = 0;
constexpr HostLong kMessageFlag = 1;
constexpr int kNotCompiledText = 7341;            // The web pages were not compiled:
constexpr int kNothingWrittenText = 7340;         // Nothing was written for the PLC: ...
constexpr int kNotCompiledAskPendingText = 7540;  // No web page was compiled ... open the designer before the build ...
constexpr int kNotCompiledBuildText = 7541;       // No web page was compiled ... Global settings ...
// What the build wrote instead, by password file and import copies.
constexpr int kWroteBothText = 7542;      // The build wrote only the password file and the imported files.
constexpr int kWrotePasswordText = 7543;  // The build wrote only the password file.
constexpr int kWroteImportsText = 7544;   // The build wrote only the imported files.
constexpr int kWroteNothingText = 7545;   // The build wrote no file for the PLC.

}  // namespace

TLinkCompileHost::TLinkCompileHost(IQendProjectManager* manager, IHalvexWebTdiMap* map)
    : manager_(manager), map_(map) {}

bool TLinkCompileHost::AcquireCompilerMessages() {
  compiler_.Reset();
  if (manager_ != nullptr) manager_->QueryInterface(IID_IQendCompiler, compiler_.PutVoid());
  return static_cast<bool>(compiler_);
}

void TLinkCompileHost::ReleaseCompilerMessages() { compiler_.Reset(); }

void TLinkCompileHost::AddCompilerMessage(const std::string& text, const std::string& source) {
  if (compiler_)
    compiler_->AddCompilerMessage(kMessageKind, kMessageValue, text.c_str(), source.c_str(), kMessageFlag,
                                  kMessageFlag);
}

bool TLinkCompileHost::OpenTdiPass() { return map_ != nullptr && map_->WebTdi_OpenPass() == S_OK; }

bool TLinkCompileHost::AddTdiVariable(const std::string& name, WebTdiVarInfo& info) {
  return map_ != nullptr && SUCCEEDED(map_->WebTdi_AddVariable(name.c_str(), &info));
}

void TLinkCompileHost::CloseTdiPass() {
  if (map_ != nullptr) map_->WebTdi_ClosePass();
}

bool RunLinkCompileDriver(IQendProjectManager* manager, IHalvexWebTdiMap* map, std::string& failure) {
  if (!gBuildCompileError.empty()) {
    failure = GetUiText(kNotCompiledText) + " " + gBuildCompileError;
    // The failed compilation's own text says what became of the output.
    if (!gBuildCompileLeftOutput) failure += " " + GetUiText(kNothingWrittenText);
    return false;
  }
  TLinkCompileHost host(manager, map);
  TWebCompiler driver(manager, host, nullptr, nullptr, true);
  driver.ExpectProjectCopy(std::exchange(gBuildCompileCopy, TProjectFilePrint{}));
  const bool compiled = driver.Compile();
  failure = driver.Failure();
  if (driver.Refused()) {
    gBuildDriverRefused = true;
    if (FormDesign1 != nullptr) FormDesign1->FRunRefused = true;
  }
  TellBuildNotCompiled(driver.WrotePasswordFile(), driver.WroteImportedFiles());
  return compiled;
}

void TellBuildNotCompiled(bool wrotePasswordFile, bool wroteImportedFiles) {
  if (!gBuildNotCompiled.pending) return;
  gBuildNotCompiled.pending = false;
  if (!gHost.ifQendMessages) return;
  const int wrote = wrotePasswordFile ? (wroteImportedFiles ? kWroteBothText : kWrotePasswordText)
                                      : (wroteImportedFiles ? kWroteImportsText : kWroteNothingText);
  const std::string text =
      Format(GetUiText(gBuildNotCompiled.questionPending ? kNotCompiledAskPendingText : kNotCompiledBuildText),
             ShownPath(gBuildNotCompiled.marker), GetUiText(wrote));
  gHost.ifQendMessages->AddMessage(text.c_str(), "Tarnwell");
}
