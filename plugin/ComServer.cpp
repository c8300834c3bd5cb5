#include "plugin/ComServer.h"

#include "hostapi/IQendPlugin.h"
#include "platform/com/ComCheck.h"
#include "platform/com/ComModule.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ComponentCategories.h"
#include "platform/com/ResultCodes.h"
#include "platform/com/ServerRegistration.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/Resources.h"
#include "plugin/TarnwellCoClassImpl.h"
#include "plugin/VersionInfo.h"

namespace {

constexpr const char* kClassDescription = "Plugin for Halvex (support for Webserver)";

ServerClassInfo TarnwellClassInfo() {
  ServerClassInfo info;
  info.clsid = CLSID_TarnwellCoClass;
  info.progId = TARNWELL_PROGID;
  info.description = kClassDescription;
  info.threadingModel = "Apartment";
  info.modulePath = ModuleFilePath();
  info.libid = &LIBID_Tarnwell;
  info.libMajor = 1;
  info.libMinor = 0;
  return info;
}

TypeLibInfo TarnwellTypeLib() {
  TypeLibInfo info;
  info.libid = LIBID_Tarnwell;
  info.name = "Tarnwell";
  info.helpText = "Project1 Library";
  info.major = 1;
  info.minor = 0;
  info.lcid = 0x409;
  info.modulePath = ModuleFilePath();
  info.interfaces.push_back({IID_ITarnwellCoClass, "ITarnwellCoClass"});
  return info;
}

// The system's component categories manager; raises when it cannot be made.
ComPtr<ICatRegister> CreateCategoriesManager() {
  ComPtr<ICatRegister> manager;
  OleCheck(CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_ALL, IID_ICatRegister, manager.PutVoid()));
  return manager;
}

bool SetProgIdText(const char* name, const std::string& text) {
  RegValue value;
  value.type = REG_SZ;
  value.text = text;
  return RegistryStore::SetValue(HKEY_CLASSES_ROOT, TARNWELL_PROGID, name, value);
}

}  // namespace

void InitTarnwellModule() {
  ComObjectMapEntry entry;
  entry.clsid = CLSID_TarnwellCoClass;
  entry.create = &TTarnwellCoClassImpl::Create;
  entry.progId = TARNWELL_PROGID;
  entry.description = kClassDescription;
  entry.threadingModel = "Apartment";
  ComModuleInit({entry}, HInstance);
}

HRESULT RegisterTarnwellServer() {
  HRESULT hr = RegisterServerClass(TarnwellClassInfo());
  if (SUCCEEDED(hr)) hr = RegisterTypeLibEntries(TarnwellTypeLib());
  if (FAILED(hr)) return hr;

  ComPtr<ICatRegister> manager = CreateCategoriesManager();
  CATID first = CATID_HalvexPlugin;
  CATID second = CATID_HalvexPluginEx;
  manager->RegisterClassImplCategories(CLSID_TarnwellCoClass, 1, &first);  // a failure here is of no matter
  hr = manager->RegisterClassImplCategories(CLSID_TarnwellCoClass, 1, &second);
  manager.Reset();
  OleCheck(hr);

  // The host loads a plug-in by these values: one not written fails the
  // registration.
  std::string version = GetModuleFileVersion("Tarnwell.dll", "FileVersion");
  const bool written = SetProgIdText("Load", "1") && SetProgIdText("Version", version) &&
                       SetProgIdText("Description", "Tarnwell for Halvex (support for web server)");
  return written ? hr : SELFREG_E_CLASS;
}

HRESULT UnregisterTarnwellServer() {
  ComPtr<ICatRegister> manager = CreateCategoriesManager();
  CATID first = CATID_HalvexPlugin;
  CATID second = CATID_HalvexPluginEx;
  manager->UnRegisterClassImplCategories(CLSID_TarnwellCoClass, 1, &first);
  HRESULT hr = manager->UnRegisterClassImplCategories(CLSID_TarnwellCoClass, 1, &second);
  manager.Reset();
  OleCheck(hr);

  hr = UnregisterServerClass(TarnwellClassInfo());
  if (FAILED(hr)) return hr;
  return UnRegisterTypeLib(LIBID_Tarnwell, 1, 0, 0, SYS_WIN32);
}
