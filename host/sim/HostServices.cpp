#include "host/sim/HostServices.h"

#include <algorithm>

#include "host/sim/HalvexHost.h"
#include "platform/win/Paths.h"

#include <sys/stat.h>

HostLong LanguageIndexOfLcid(HostLcid lcid) {
  switch (lcid) {
    case 1029: return 0;
    case 1031: return 4;
    case 1045: return 5;
    case 1049: return 2;
    default: return 1;
  }
}

HRESULT HostApp::IsOnline(std::int16_t* online) {
  if (online == nullptr) return E_POINTER;
  *online = host_.Plc().Online() && host_.LoggedIn() ? 1 : 0;
  return S_OK;
}

HRESULT HostLanguage::GetLanguageIndex(HostLong* index) {
  if (index == nullptr) return E_POINTER;
  *index = LanguageIndexOfLcid(host_.Language());
  return S_OK;
}

HRESULT HostCpm::GetCpmType(HostLong* cpmType) {
  if (cpmType == nullptr) return E_POINTER;
  if (!host_.IsProjectOpen()) return E_UNEXPECTED;
  *cpmType = host_.Project().cpm;
  return S_OK;
}

HRESULT HostTextEditor::OpenFile(const char* path, HostLong, HostLong* result) {
  if (path == nullptr) return E_POINTER;
  struct stat st;
  bool exists = ::stat(ToNativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.push_back({"open", path, exists});
  if (result != nullptr) *result = exists ? 1 : 0;
  if (!exists) return E_INVALIDARG;
  if (std::find(open_.begin(), open_.end(), path) == open_.end()) open_.push_back(path);
  return S_OK;
}

HRESULT HostTextEditor::CloseFile(const char* path, VARIANT_BOOL) {
  if (path == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = std::find(open_.begin(), open_.end(), path);
  calls_.push_back({"close", path, it != open_.end()});
  if (it == open_.end()) return S_FALSE;
  open_.erase(it);
  return S_OK;
}

std::vector<HostEditorCall> HostTextEditor::Calls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

std::vector<std::string> HostTextEditor::OpenFiles() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return open_;
}
