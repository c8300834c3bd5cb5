#include "platform/com/ServerRegistration.h"

#include <cstdio>
#include <cstring>

#include "platform/com/Guid.h"
#include "platform/com/ResultCodes.h"
#include "platform/com/TaskMem.h"
#include "platform/win/RegistryStore.h"

namespace {

// {00020424-0000-0000-C000-000000000046}: the automation marshaler.
constexpr const char* kAutomationProxyStub = "{00020424-0000-0000-C000-000000000046}";

bool SetText(const std::string& key, const std::string& name, const std::string& text) {
  RegValue value;
  value.type = REG_SZ;
  value.text = text;
  return RegistryStore::CreateKey(HKEY_CLASSES_ROOT, key) &&
         RegistryStore::SetValue(HKEY_CLASSES_ROOT, key, name, value);
}

std::string VersionText(std::uint16_t major, std::uint16_t minor) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d", major, minor);
  return text;
}

std::string FolderOf(const std::string& path) {
  std::size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string ReadText(const std::string& key, const std::string& name) {
  RegValue value;
  if (!RegistryStore::GetValue(HKEY_CLASSES_ROOT, key, name, value) || value.type != REG_SZ) return {};
  return value.text;
}

}  // namespace

HRESULT RegisterServerClass(const ServerClassInfo& info) {
  std::string classKey = "CLSID\\" + GuidToString(info.clsid);
  bool ok = SetText(classKey, "", info.description);
  ok = ok && SetText(classKey + "\\InprocServer32", "", info.modulePath);
  if (ok && !info.threadingModel.empty())
    ok = SetText(classKey + "\\InprocServer32", "ThreadingModel", info.threadingModel);
  if (ok && !info.progId.empty()) ok = SetText(classKey + "\\ProgID", "", info.progId);
  if (ok && info.libid != nullptr) {
    ok = SetText(classKey + "\\Typelib", "", GuidToString(*info.libid)) &&
         SetText(classKey + "\\Version", "", VersionText(info.libMajor, info.libMinor));
  }
  if (ok && !info.progId.empty()) {
    ok = SetText(info.progId, "", info.description) && SetText(info.progId + "\\CLSID", "", GuidToString(info.clsid));
  }
  return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT UnregisterServerClass(const ServerClassInfo& info) {
  bool ok = RegistryStore::DeleteKeyIfPresent(HKEY_CLASSES_ROOT, "CLSID\\" + GuidToString(info.clsid));
  if (ok && !info.progId.empty()) ok = RegistryStore::DeleteKeyIfPresent(HKEY_CLASSES_ROOT, info.progId);
  return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT RegisterTypeLibEntries(const TypeLibInfo& info) {
  std::string libText = GuidToString(info.libid);
  std::string version = VersionText(info.major, info.minor);
  std::string versionKey = "TypeLib\\" + libText + "\\" + version;
  char lcid[16];
  std::snprintf(lcid, sizeof lcid, "%x", static_cast<unsigned>(info.lcid));
  bool ok =
      SetText(versionKey, "", info.helpText) && SetText(versionKey + "\\" + lcid + "\\win32", "", info.modulePath) &&
      SetText(versionKey + "\\FLAGS", "", "0") && SetText(versionKey + "\\HELPDIR", "", FolderOf(info.modulePath));
  for (const TypeLibInterface& itf : info.interfaces) {
    if (!ok) break;
    std::string key = "Interface\\" + GuidToString(itf.iid);
    ok = SetText(key, "", itf.name) && SetText(key + "\\ProxyStubClsid", "", kAutomationProxyStub) &&
         SetText(key + "\\ProxyStubClsid32", "", kAutomationProxyStub) && SetText(key + "\\TypeLib", "", libText) &&
         SetText(key + "\\TypeLib", "Version", version);
  }
  return ok ? S_OK : TYPE_E_REGISTRYACCESS;
}

HRESULT UnRegisterTypeLib(REFGUID libid, std::uint16_t major, std::uint16_t minor, std::uint32_t, int) {
  std::string libText = GuidToString(libid);
  std::string libKey = "TypeLib\\" + libText;
  std::string versionKey = libKey + "\\" + VersionText(major, minor);
  if (!RegistryStore::KeyExists(HKEY_CLASSES_ROOT, versionKey)) return TYPE_E_REGISTRYACCESS;
  if (!RegistryStore::DeleteKeyIfPresent(HKEY_CLASSES_ROOT, versionKey)) return TYPE_E_REGISTRYACCESS;
  if (RegistryStore::SubKeyNames(HKEY_CLASSES_ROOT, libKey).empty() &&
      !RegistryStore::DeleteKeyIfPresent(HKEY_CLASSES_ROOT, libKey))
    return TYPE_E_REGISTRYACCESS;
  // The interfaces this library described.
  for (const std::string& name : RegistryStore::SubKeyNames(HKEY_CLASSES_ROOT, "Interface")) {
    std::string key = "Interface\\" + name;
    GUID owner{};
    if (StringToGuid(ReadText(key + "\\TypeLib", ""), owner) && owner == libid &&
        !RegistryStore::DeleteKeyIfPresent(HKEY_CLASSES_ROOT, key))
      return TYPE_E_REGISTRYACCESS;
  }
  return S_OK;
}

HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* progId) {
  if (progId == nullptr) return E_INVALIDARG;
  *progId = nullptr;
  std::string text = ReadText("CLSID\\" + GuidToString(clsid) + "\\ProgID", "");
  if (text.empty()) return REGDB_E_CLASSNOTREG;
  auto* wide = static_cast<OLECHAR*>(CoTaskMemAlloc((text.size() + 1) * sizeof(OLECHAR)));
  if (wide == nullptr) return E_OUTOFMEMORY;
  for (std::size_t i = 0; i < text.size(); ++i) wide[i] = static_cast<unsigned char>(text[i]);
  wide[text.size()] = 0;
  *progId = wide;
  return S_OK;
}

HRESULT CLSIDFromProgID(const std::string& progId, CLSID* clsid) {
  if (clsid == nullptr) return E_INVALIDARG;
  if (progId.empty()) return CO_E_CLASSSTRING;
  return StringToGuid(ReadText(progId + "\\CLSID", ""), *clsid) ? S_OK : CO_E_CLASSSTRING;
}
