#include "host/sim/HostOnlineBackup.h"

#include <sys/stat.h>

#include "platform/win/Paths.h"

HRESULT HostOnlineBackup::AddFile(const char* path, std::uint16_t flag) {
  if (path == nullptr) return E_POINTER;
  if (*path == '\0') return E_INVALIDARG;
  struct stat st;
  bool exists = ::stat(ToNativePath(path).c_str(), &st) == 0;
  std::lock_guard<std::mutex> lock(mutex_);
  files_.push_back({path, flag, exists});
  return exists ? S_OK : S_FALSE;
}

std::vector<HostBackupFile> HostOnlineBackup::Files() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return files_;
}

void HostOnlineBackup::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  files_.clear();
}
