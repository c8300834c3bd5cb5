#include "plugin/PluginCompileHost.h"

#include <ctime>

#include "core/HostEnvironment.h"
#include "platform/com/TaskMem.h"
#include "platform/vcl/StringList.h"
#include "platform/win/VirtualClock.h"
#include "plugin/HostStatus.h"
#include "plugin/PluginState.h"
#include "plugin/Switches.h"
#include "plugin/VariableLookup.h"

namespace {

// The arguments of the message page's reset before a compile of the user's own.
constexpr HostLong kMessagePage = 1;
// The constant arguments of a compiler message: kind, value and two flags.
constexpr HostLong kMessageKind = 0;
constexpr HostLong kMessageValue = 0;
constexpr HostLong kMessageFlag = 1;

// A host text freed with the task allocator when the holder goes.
struct THostText {
  char* text = nullptr;
  ~THostText() { CoTaskMemFree(text); }
};

// The folder of a path (with its trailing backslash or slash); empty without one.
std::string FolderOf(const std::string& path) {
  const std::size_t at = path.find_last_of("\\/");
  return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

}  // namespace

void TPluginCompileHost::PrepareMessages() {
  if (gHost.ifQendMessages) gHost.ifQendMessages->ResetMessages(kMessagePage, VARIANT_FALSE);
}

bool TPluginCompileHost::AcquireCompilerMessages() {
  compiler_ = gHost.ifPrjMngr.Query<IQendCompiler>(IID_IQendCompiler);
  return static_cast<bool>(compiler_);
}

void TPluginCompileHost::ReleaseCompilerMessages() { compiler_.Reset(); }

void TPluginCompileHost::AddCompilerMessage(const std::string& text, const std::string& source) {
  if (compiler_)
    compiler_->AddCompilerMessage(kMessageKind, kMessageValue, text.c_str(), source.c_str(), kMessageFlag,
                                  kMessageFlag);
}

void TPluginCompileHost::GetVariableInfo(const std::string& name, TPinVariable& record) {
  ::GetVariableInfo(name, record);
}

bool TPluginCompileHost::HasVariablesInterface() { return static_cast<bool>(gHost.ifQendVariables); }

bool TPluginCompileHost::GetVariablePosition(const std::string& name, TVariablePosition& position) {
  if (!gHost.ifQendVariables) return false;
  std::uint8_t area = 0;
  std::uint16_t kind = 0;
  std::uint32_t address = 0;
  std::uint8_t size = 0;
  if (FAILED(gHost.ifQendVariables->GetVariablePosition(name.c_str(), &area, &kind, &address, &size))) return false;
  position.area = area;
  position.sizeCode = kind;
  position.offset = static_cast<std::int32_t>(address);
  position.extra = size;
  return true;
}

bool TPluginCompileHost::OpenTdiPass() {
  return gHost.ifHalvexWebTdiMap && gHost.ifHalvexWebTdiMap->WebTdi_OpenPass() == S_OK;
}

bool TPluginCompileHost::AddTdiVariable(const std::string& name, WebTdiVarInfo& info) {
  return gHost.ifHalvexWebTdiMap && SUCCEEDED(gHost.ifHalvexWebTdiMap->WebTdi_AddVariable(name.c_str(), &info));
}

void TPluginCompileHost::CloseTdiPass() {
  if (gHost.ifHalvexWebTdiMap) gHost.ifHalvexWebTdiMap->WebTdi_ClosePass();
}

bool TPluginCompileHost::GetVariableSize(const std::string& name, int& size) {
  if (!gHost.ifIECManVariables) return false;
  HostLong value = 0;
  if (FAILED(gHost.ifIECManVariables->GetVariableSize(name.c_str(), &value))) return false;
  size = static_cast<int>(value);
  return true;
}

bool TPluginCompileHost::GetMembers(const std::string& name, std::vector<std::string>& members) {
  members.clear();
  if (!gHost.ifIECManVariables) return false;
  THostText answer;
  if (FAILED(gHost.ifIECManVariables->GetMembers(name.c_str(), "", &answer.text)) || answer.text == nullptr)
    return false;
  TStringList lines;
  lines.SetText(answer.text);
  for (int i = 0; i < lines.Count(); ++i) members.push_back(lines[i]);
  return true;
}

int TPluginCompileHost::CpmCode() { return static_cast<int>(gCpmType); }

void TPluginCompileHost::SendStatusText(HWND window, const std::string& text) { SendHostStatusText(window, text); }

void TPluginCompileHost::KeepResponsive(HWND window) { KeepHostResponsive(window); }

bool TPluginCompileHost::ReportCompileTime() { return gStartup.reportCompileTime; }

bool TPluginCompileHost::TdiMapDisabled() { return gWebTdiMapDisabled; }
void TPluginCompileHost::SetTdiMapDisabled(bool disabled) { gWebTdiMapDisabled = disabled; }

std::string TPluginCompileHost::ScriptsFolder() {
  const std::string folder = FolderOf(HostExeName());
  return folder.empty() ? std::string() : folder + "..\\SCRIPTS\\";
}

std::int64_t TPluginCompileHost::Now() { return static_cast<std::int64_t>(std::time(nullptr)); }

std::uint64_t TPluginCompileHost::TickCount() { return GetTickCount64(); }
