#include "host/sim/PluginLibrary.h"

#include <dlfcn.h>

#include <cstdio>

#include "platform/com/ComPtr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/win/CodePage.h"

namespace {

std::string Narrow(BSTR text) { return WideToMultiByte(CP_ACP, BstrToWide(text)); }

template <class F>
F Find(void* handle, const char* name) {
  return reinterpret_cast<F>(dlsym(handle, name));
}
}  // namespace

PluginLibrary::~PluginLibrary() { Unload(); }

bool PluginLibrary::Load(const std::string& path) {
  Unload();
  path_ = path;
  handle_ = dlopen(path.c_str(), RTLD_NOW);
  if (handle_ == nullptr) {
    const char* e = dlerror();
    error_ = e ? e : "cannot load the library";
    return false;
  }
  getClassObject = Find<DllGetClassObjectFunction>(handle_, EXPORT_DllGetClassObject);
  canUnloadNow = Find<DllCanUnloadNowFunction>(handle_, EXPORT_DllCanUnloadNow);
  registerServer = Find<DllRegisterServerFunction>(handle_, EXPORT_DllRegisterServer);
  unregisterServer = Find<DllUnregisterServerFunction>(handle_, EXPORT_DllUnregisterServer);
  controledDestruction = Find<ControledDestructionFunction>(handle_, EXPORT_ControledDestruction);
  linkExtendedProgMap = Find<ClLinkExtendedProgMapFunction>(handle_, EXPORT_ClLinkExtendedProgMap);
  setHostCommandLine = Find<TarnwellSetHostCommandLineFunction>(handle_, EXPORT_TarnwellSetHostCommandLine);
  takeCompileFailure = Find<TarnwellTakeCompileFailureFunction>(handle_, EXPORT_TarnwellTakeCompileFailure);
  designerOpenFailure = Find<TarnwellDesignerOpenFailureFunction>(handle_, EXPORT_TarnwellDesignerOpenFailure);
  return true;
}

void PluginLibrary::Unload() {
  if (handle_ != nullptr) dlclose(handle_);
  handle_ = nullptr;
  getClassObject = nullptr;
  canUnloadNow = nullptr;
  registerServer = nullptr;
  unregisterServer = nullptr;
  controledDestruction = nullptr;
  linkExtendedProgMap = nullptr;
  setHostCommandLine = nullptr;
  takeCompileFailure = nullptr;
  designerOpenFailure = nullptr;
}

std::string ResultText(HRESULT code) {
  if (code == S_OK) return "S_OK";
  if (code == S_FALSE) return "S_FALSE";
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
  return text;
}

std::string TakeErrorDescription() {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.Put()) != S_OK || !info) return std::string();
  BSTR description = nullptr, source = nullptr;
  info->GetDescription(&description);
  info->GetSource(&source);
  std::string text = Narrow(description);
  std::string from = Narrow(source);
  SysFreeString(description);
  SysFreeString(source);
  return from.empty() ? text : text + " (source " + from + ")";
}
