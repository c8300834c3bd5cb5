#include "host/sim/HostIecVariables.h"

#include "host/sim/HalvexHost.h"
#include "host/sim/HostProjectManager.h"
#include "host/sim/HostVariableBrowser.h"
#include "platform/vcl/UiBackend.h"

HRESULT HostIecVariables::Browse(const char* current, const char* typeName, HostLong flags, char** chosen) {
  if (chosen == nullptr) return E_POINTER;
  *chosen = nullptr;
  const std::string currentName = current ? current : "";
  const std::string type = typeName ? typeName : "";
  std::optional<std::string> answer;
  bool scripted = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!script_.empty()) {
      answer = script_.front();
      script_.pop_front();
      scripted = true;
    }
  }
  // On a screen a person chooses in the host's window; the lock is not held
  // while they do.
  if (!scripted && UiBackendInstalled()) {
    const VariableTable& table = host_.Variables();
    answer = ShowHostVariableBrowser(type.empty() ? table.Names() : table.NamesOfType(type), currentName, type);
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back({currentName, type, flags, answer});
  }
  if (!answer) return S_FALSE;
  return HostTaskText(*answer, chosen);
}

HRESULT HostIecVariables::BrowseVariable(const char* current, char** chosen, HostLong flags) {
  return Browse(current, nullptr, flags, chosen);
}

HRESULT HostIecVariables::BrowseTypedVariable(const char* current, const char* typeName, char** chosen,
                                              HostLong* value) {
  if (value != nullptr) *value = 0;
  return Browse(current, typeName ? typeName : "", 0, chosen);
}

HRESULT HostIecVariables::GetVariableInfo(const char* name, const char*, char** typeName, char** furtherText,
                                          HostLong* typeCode) {
  if (typeName == nullptr || furtherText == nullptr || typeCode == nullptr) return E_POINTER;
  *typeName = nullptr;
  *furtherText = nullptr;
  *typeCode = -1;
  auto v = host_.Variables().Resolve(name ? name : "");
  if (!v) return E_INVALIDARG;
  HRESULT hr = HostTaskText(v->shape->hostTypeName, typeName);
  if (SUCCEEDED(hr)) hr = HostTaskText(v->shape->furtherText, furtherText);
  if (FAILED(hr)) return hr;
  *typeCode = v->shape->code;
  return S_OK;
}

HRESULT HostIecVariables::GetTypeList(char** types, HostLong) {
  if (types == nullptr) return E_POINTER;
  std::string text;
  for (const std::string& t : host_.Variables().StructTypeNames()) text += t + "\r\n";
  return HostTaskText(text, types);
}

HRESULT HostIecVariables::GetMembers(const char* name, const char*, char** members) {
  if (members == nullptr) return E_POINTER;
  *members = nullptr;
  std::string n = name ? name : "";
  if (!host_.Variables().Resolve(n)) return E_INVALIDARG;
  auto list = host_.Variables().Members(n);
  if (!list) return S_FALSE;  // a variable without members
  std::string text;
  for (const std::string& m : *list) text += m + "\r\n";
  return HostTaskText(text, members);
}

HRESULT HostIecVariables::GetVariableSize(const char* name, HostLong* size) {
  if (size == nullptr) return E_POINTER;
  auto v = host_.Variables().Resolve(name ? name : "");
  if (!v) return E_INVALIDARG;
  *size = static_cast<HostLong>(v->Size());
  return S_OK;
}

void HostIecVariables::ScriptBrowser(std::optional<std::string> answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  script_.push_back(std::move(answer));
}

std::vector<HostBrowserCall> HostIecVariables::BrowserCalls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}
