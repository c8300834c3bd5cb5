#include "plugin/LinkCompileHost.h"

#include "core/UiText.h"
#include "generator/WebCompiler.h"
#include "plugin/PluginState.h"

namespace {

// The constant arguments of a compiler message: kind, value and two flags.
constexpr HostLong kMessageKind = 0;
constexpr HostLong kMessageValue = 0;
constexpr HostLong kMessageFlag = 1;
constexpr int kNotCompiledText = 7341;     // The web pages were not compiled:
constexpr int kNothingWrittenText = 7340;  // Nothing was written for the PLC: ...

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
  const bool compiled = driver.Compile();
  failure = driver.Failure();
  return compiled;
}
