#include "host/sim/HostProjectManager.h"

#include <cstring>

#include "host/sim/HalvexHost.h"
#include "platform/com/TaskMem.h"
#include "platform/win/CodePage.h"

HRESULT HostTaskText(const std::string& text, char** out) {
  if (out == nullptr) return E_POINTER;
  *out = static_cast<char*>(CoTaskMemAlloc(text.size() + 1));
  if (*out == nullptr) return E_OUTOFMEMORY;
  std::memcpy(*out, text.c_str(), text.size() + 1);
  return S_OK;
}

HRESULT HostProjectManager::GetProjectName(char** name) {
  return HostTaskText(host_.IsProjectOpen() ? host_.Project().name : std::string(), name);
}

HRESULT HostProjectManager::GetProjectFolder(char** folder) {
  return HostTaskText(host_.IsProjectOpen() ? host_.Project().folder + "\\" : std::string(), folder);
}

HRESULT HostProjectManager::GetGlobalFolder(char** folder) {
  return HostTaskText(host_.IsProjectOpen() ? host_.GlobalFolder() + "\\" : std::string(), folder);
}

HRESULT HostProjectManager::GetOwnerComponent(TComponent** owner) {
  if (owner == nullptr) return E_POINTER;
  *owner = host_.OwnerComponent();
  return S_OK;
}

HRESULT HostProjectManager::GetProjectNameW(BSTR* name) {
  if (name == nullptr) return E_POINTER;
  *name = nullptr;
  if (!host_.IsProjectOpen()) return E_FAIL;
  *name = SysAllocStringOf(MultiByteToWide(CP_ACP, host_.Project().name));
  return *name ? S_OK : E_OUTOFMEMORY;
}

HRESULT HostProjectManager::GetProjectList(char** list) {
  if (list == nullptr) return E_POINTER;
  std::string text;
  for (const HostProjectEntry& e : host_.ProjectList()) text += e.name + "|" + e.path + "\r\n";
  return HostTaskText(text, list);
}
