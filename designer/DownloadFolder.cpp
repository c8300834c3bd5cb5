#include "designer/DownloadFolder.h"

#include <filesystem>
#include <system_error>

#include "core/FileHelpers.h"
#include "core/ProjectPaths.h"
#include "platform/win/Paths.h"

namespace {

constexpr const char* kTempFolderName = "\\temp\\";
constexpr const char* kEverything = "*.*";

// The folder's real path (links and ".." resolved); empty when the system
// path is empty, relative, or names no existing folder.
std::filesystem::path ExistingAbsoluteFolder(const std::string& systemPath) {
  if (systemPath.empty()) return {};
  const std::filesystem::path native(ToNativePath(systemPath));
  std::error_code ec;
  if (!native.is_absolute() || !std::filesystem::is_directory(native, ec)) return {};
  std::filesystem::path real = std::filesystem::canonical(native, ec);
  return ec ? std::filesystem::path() : real;
}

// True when `inner` is `outer` or lies below it (both real paths).
bool IsSameOrBelow(const std::filesystem::path& inner, const std::filesystem::path& outer) {
  auto i = inner.begin();
  for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
    if (o->empty()) continue;  // a trailing separator
    if (i == inner.end() || *i != *o) return false;
  }
  return true;
}

}  // namespace

std::string ProjectTempFolder(const TProjectLocation& location) {
  if (location.hostProjectDir.empty()) return std::string();
  return location.hostProjectDir + kProductWord + kTempFolderName;
}

bool EmptyDownloadFolder(const std::string& folder, const std::string& tempFolder) {
  const std::filesystem::path target = ExistingAbsoluteFolder(folder);
  const std::filesystem::path root = ExistingAbsoluteFolder(tempFolder);
  if (target.empty() || root.empty() || !IsSameOrBelow(target, root)) return false;
  // An empty folder is emptied already (the shell's delete answers that it
  // found nothing). The delete names the folder by the real path checked.
  std::error_code ec;
  if (std::filesystem::is_empty(target, ec)) return true;
  return DeletePathToRecycle((target / kEverything).string(), true);
}
