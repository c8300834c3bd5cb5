#include "plugin/TarnwellCoClassImpl.h"

#include <cstring>

#include "core/TraceLog.h"
#include "platform/com/ComModule.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/ResultCodes.h"
#include "platform/com/TaskMem.h"
#include "plugin/LinkCompileHost.h"
#include "plugin/PluginState.h"
#include "plugin/WebMainForm.h"

TTarnwellCoClassImpl::TTarnwellCoClassImpl() { ComModuleLock(); }

TTarnwellCoClassImpl::~TTarnwellCoClassImpl() { ComModuleUnlock(); }

HRESULT TTarnwellCoClassImpl::Create(REFIID iid, void** object) {
  // The object is made with the one reference `made` holds; the caller's
  // comes from QueryInterface.
  auto made = ComPtr<ITarnwellCoClass>::Adopt(new TTarnwellCoClassImpl());
  return made->QueryInterface(iid, object);
}

HRESULT TTarnwellCoClassImpl::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  void* answer = nullptr;
  if (iid == IID_IUnknown || iid == IID_ITarnwellCoClass)
    answer = static_cast<ITarnwellCoClass*>(this);
  else if (iid == IID_IQendPlugin)
    answer = static_cast<IQendPlugin*>(this);
  else if (iid == IID_IQendCompilerEvents)
    answer = static_cast<IQendCompilerEvents*>(this);
  else if (iid == IID_IQendProjectEvents)
    answer = static_cast<IQendProjectEvents*>(this);
  else if (iid == IID_IQendMenuEvents)
    answer = static_cast<IQendMenuEvents*>(this);
  else if (iid == IID_IQendDesktopEvents)
    answer = static_cast<IQendDesktopEvents*>(this);
  else if (iid == IID_IQendCpmEvents)
    answer = static_cast<IQendCpmEvents*>(this);
  else if (iid == IID_IHalvexCommStateEvent)
    answer = static_cast<IHalvexCommStateEvent*>(this);
  else if (iid == IID_IIECManVariables)
    answer = static_cast<IIECManVariables*>(this);
  else if (iid == IID_IQendDockEvents)
    answer = static_cast<IQendDockEvents*>(this);
  else if (iid == IID_IQendCompilerEventsExt1)
    answer = static_cast<IQendCompilerEventsExt1*>(this);
  else if (iid == IID_IHalvexOnlinePlcBackupEvent)
    answer = static_cast<IHalvexOnlinePlcBackupEvent*>(this);
  else if (iid == IID_IHalvexBuilderPlugin)
    answer = static_cast<IHalvexBuilderPlugin*>(this);
  *object = answer;
  if (answer == nullptr) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG TTarnwellCoClassImpl::AddRef() { return ++refs_; }

ULONG TTarnwellCoClassImpl::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT ReportPluginException(REFIID iid, const char* message, HRESULT code) {
  return ReportComError(iid, ComModuleProgId(CLSID_TarnwellCoClass), message != nullptr ? message : "", code);
}

HRESULT TarnwellControledDestruction() {
  if (WebMainForm1) {
    WriteTraceLog("WebMainForm1 - deleting");
    WebMainForm1.reset();
    WriteTraceLog("WebMainForm1 - deleted");
  }
  return ComModuleCanUnloadNow();
}

// --- IQendPlugin answers -----------------------------------------------------

HRESULT TTarnwellCoClassImpl::GetPluginVersion(HostLong* version) {
  if (version == nullptr) return E_POINTER;
  *version = 0x18010000;
  return S_OK;
}

HRESULT TTarnwellCoClassImpl::GetPluginName(char** name, HostLong* value) {
  if (name == nullptr || value == nullptr) return E_POINTER;
  static constexpr char kName[] = "Tarnwell";
  *name = static_cast<char*>(CoTaskMemAlloc(sizeof kName));
  if (*name == nullptr) return E_OUTOFMEMORY;
  std::memcpy(*name, kName, sizeof kName);
  *value = -1;
  return S_OK;
}

HRESULT TTarnwellCoClassImpl::GetPluginGuid(GUID* guid) {
  if (guid == nullptr) return E_INVALIDARG;
  *guid = GUID_NULL;
  return S_OK;
}

// --- IQendCompilerEvents -----------------------------------------------------

HRESULT TTarnwellCoClassImpl::OnStartCompiling(std::uint32_t) {
  WriteTraceLog("OnStartCompiling");
  gBuildCompileError.clear();
  gBuildCompileLeftOutput = false;
  gBuildNotCompiled.pending = false;
  WriteTraceLog("OnStartCompiling - end ");
  return S_OK;
}

HRESULT TTarnwellCoClassImpl::OnEndCompiling(std::uint32_t) {
  WriteTraceLog("OnEndCompiling");
  gBuildCompileError.clear();
  gBuildCompileLeftOutput = false;
  // A host that did not run the export: the plug-in wrote nothing.
  TellBuildNotCompiled(false, false);
  WriteTraceLog("OnEndCompiling - end ");
  return S_OK;
}

HRESULT TTarnwellCoClassImpl::Reserved5(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                        std::uint32_t, std::uint32_t) {
  return S_OK;
}

HRESULT TTarnwellCoClassImpl::Reserved6(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {
  return S_OK;
}

HRESULT TTarnwellCoClassImpl::Reserved7(std::uint32_t, char** text) {
  if (text == nullptr) return E_POINTER;
  *text = static_cast<char*>(CoTaskMemAlloc(1));
  if (*text == nullptr) return E_OUTOFMEMORY;
  (*text)[0] = 0;
  return S_OK;
}

// --- IIECManVariables, implemented side: nothing ------------------------------

HRESULT TTarnwellCoClassImpl::BrowseVariable(const char*, char**, HostLong) { return S_OK; }
HRESULT TTarnwellCoClassImpl::BrowseTypedVariable(const char*, const char*, char**, HostLong*) { return S_OK; }
HRESULT TTarnwellCoClassImpl::GetVariableInfo(const char*, const char*, char**, char**, HostLong*) { return S_OK; }
HRESULT TTarnwellCoClassImpl::GetTypeList(char**, HostLong) { return S_OK; }
HRESULT TTarnwellCoClassImpl::GetMembers(const char*, const char*, char**) { return S_OK; }
HRESULT TTarnwellCoClassImpl::GetVariableSize(const char*, HostLong*) { return S_OK; }

// --- IHalvexBuilderPlugin: the builder edition's entry to the same methods ----

HRESULT TTarnwellCoClassImpl::BuilderInstallPlugin(IUnknown* host, TComponent* owner) {
  gBuilderHost = true;
  return InstallPlugin(host, owner);
}

HRESULT TTarnwellCoClassImpl::BuilderControledDestruction() { return TarnwellControledDestruction(); }
HRESULT TTarnwellCoClassImpl::BuilderUninstallPlugin() { return UninstallPlugin(); }
HRESULT TTarnwellCoClassImpl::BuilderGetPluginVersion(HostLong* version) { return GetPluginVersion(version); }
HRESULT TTarnwellCoClassImpl::BuilderGetPluginName(char** name, HostLong* value) { return GetPluginName(name, value); }
HRESULT TTarnwellCoClassImpl::BuilderGetPluginGuid(GUID* guid) { return GetPluginGuid(guid); }

// --- methods without a role ---------------------------------------------------

HRESULT TTarnwellCoClassImpl::Reserved3() { return S_OK; }
HRESULT TTarnwellCoClassImpl::Reserved4() { return S_OK; }
HRESULT TTarnwellCoClassImpl::Reserved5() { return S_OK; }
HRESULT TTarnwellCoClassImpl::Reserved6() { return S_OK; }
HRESULT TTarnwellCoClassImpl::Reserved7() { return S_OK; }
HRESULT TTarnwellCoClassImpl::Reserved8() { return S_OK; }
HRESULT TTarnwellCoClassImpl::Reserved9() { return S_OK; }
HRESULT TTarnwellCoClassImpl::Reserved10() { return S_OK; }
HRESULT TTarnwellCoClassImpl::Reserved11() { return S_OK; }
HRESULT TTarnwellCoClassImpl::Reserved13() { return S_OK; }
HRESULT TTarnwellCoClassImpl::Reserved14() { return S_OK; }
HRESULT TTarnwellCoClassImpl::Reserved18() { return S_OK; }
HRESULT TTarnwellCoClassImpl::Reserved19() { return S_OK; }
HRESULT TTarnwellCoClassImpl::Reserved20() { return S_OK; }
