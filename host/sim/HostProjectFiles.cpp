#include "host/sim/HostProjectFiles.h"

#include <algorithm>
#include <cctype>

#include "host/sim/HalvexHost.h"
#include "host/sim/HostProjectManager.h"

namespace {
// Names compare without regard to case, and '/' and '\\' are one separator.
char Fold(char c) { return c == '/' ? '\\' : static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool SameNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Fold(x) == Fold(y); });
}
}  // namespace

HRESULT HostProjectFiles::GetFileList(char** files) {
  if (files == nullptr) return E_POINTER;
  std::string text;
  for (const HostProjectFile& f : Files()) text += f.name + "\r\n";
  return HostTaskText(text, files);
}

HRESULT HostProjectFiles::AddFile(const char* fullName, HostLong, const char*, HostLong* fileId) {
  if (fullName == nullptr || fileId == nullptr) return E_POINTER;
  std::string name = fullName;
  if (name.empty() || name.find_first_of("\r\n") != std::string::npos) return E_INVALIDARG;
  if (!host_.IsProjectOpen()) return E_UNEXPECTED;
  // Inside the project folder the name is kept relative.
  std::string folder = host_.Project().folder;
  if (name.size() > folder.size() + 1 && SameNoCase(name.substr(0, folder.size()), folder) &&
      (name[folder.size()] == '\\' || name[folder.size()] == '/'))
    name = name.substr(folder.size() + 1);
  std::lock_guard<std::mutex> lock(mutex_);
  for (const HostProjectFile& f : files_)
    if (SameNoCase(f.name, name)) {
      *fileId = f.id;
      return S_FALSE;
    }
  files_.push_back({nextId_++, name});
  *fileId = files_.back().id;
  return S_OK;
}

HRESULT HostProjectFiles::RemoveFile(HostLong index, VARIANT_BOOL) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index < 0 || static_cast<std::size_t>(index) >= files_.size()) return E_INVALIDARG;
  files_.erase(files_.begin() + index);
  return S_OK;
}

HRESULT HostProjectFiles::MoveFile(HostLong fileId, HostLong index, VARIANT_BOOL) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index < 0 || static_cast<std::size_t>(index) >= files_.size()) return E_INVALIDARG;
  auto it = std::find_if(files_.begin(), files_.end(), [&](const HostProjectFile& f) { return f.id == fileId; });
  if (it == files_.end()) return E_INVALIDARG;
  HostProjectFile moved = *it;
  files_.erase(it);
  files_.insert(files_.begin() + index, moved);
  return S_OK;
}

void HostProjectFiles::Reset(const std::vector<std::string>& names) {
  std::lock_guard<std::mutex> lock(mutex_);
  files_.clear();
  for (const std::string& n : names) files_.push_back({nextId_++, n});
}

std::vector<HostProjectFile> HostProjectFiles::Files() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return files_;
}
