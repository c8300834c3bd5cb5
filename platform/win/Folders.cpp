#include "platform/win/Folders.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>

#include "platform/win/FileFault.h"
#include "platform/win/Paths.h"

namespace {

bool IsNativeDir(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

char Fold(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

bool ForceDirectories(const std::string& dir) {
  if (dir.empty()) {
    errno = ENOENT;
    return false;
  }
  std::string native = ToNativePath(dir);
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  if (IsNativeDir(native)) return true;
  // Create each missing component from the top down.
  for (std::size_t pos = 1; pos <= native.size(); ++pos) {
    if (pos != native.size() && native[pos] != '/') continue;
    std::string prefix = native.substr(0, pos);
    if (prefix.empty() || IsNativeDir(prefix)) continue;
    if (FileOpFault(TFileOp::kMakeFolder, prefix) != 0) return false;
    if (::mkdir(prefix.c_str(), 0777) != 0 && !(errno == EEXIST && IsNativeDir(prefix))) return false;
  }
  return IsNativeDir(native);
}

bool DirectoryExists(const std::string& dir) {
  if (dir.empty()) return false;
  return IsNativeDir(ToNativePath(dir));
}

bool HasWildcards(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

bool WildcardMatch(std::string_view mask, std::string_view name) {
  if (mask == "*.*" || mask == "*") return true;
  // Greedy match with one back-track point for the last '*'.
  std::size_t m = 0, n = 0, starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (m < mask.size() && (mask[m] == '?' || Fold(mask[m]) == Fold(name[n]))) {
      ++m;
      ++n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}
