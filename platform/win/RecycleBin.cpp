#include "platform/win/RecycleBin.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/win/FdWrite.h"
#include "platform/win/FileFault.h"
#include "platform/win/Folders.h"
#include "platform/win/Paths.h"

namespace {

std::mutex gBinLock;
std::string gBinPath;  // empty: the default

std::string DefaultBinPath() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data == '/')
    return std::string(data) + "/halvex/Trash";
  std::string home;
  if (const char* h = std::getenv("HOME"); h != nullptr && *h != '\0') {
    home = h;
  } else if (passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
    home = pw->pw_dir;
  } else {
    home = "/tmp";
  }
  return home + "/.local/share/halvex/Trash";
}

std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  DIR* d = ::opendir(folder.c_str());
  if (d == nullptr) return names;
  while (dirent* e = ::readdir(d)) {
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.emplace_back(e->d_name);
  }
  ::closedir(d);
  return names;
}

// Removes a file, a link or a folder tree; links are removed, never followed.
bool RemoveTree(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) return FileOpFault(TFileOp::kDelete, path) == 0 && ::unlink(path.c_str()) == 0;
  bool ok = true;
  for (const std::string& name : ListFolder(path)) ok = RemoveTree(path + "/" + name) && ok;
  return FileOpFault(TFileOp::kRemoveFolder, path) == 0 && ::rmdir(path.c_str()) == 0 && ok;
}

bool CopyFileData(const std::string& from, const std::string& to, const struct stat& st) {
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  int out = FileOpFault(TFileOp::kCreate, to) != 0
                ? -1
                : ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
  if (out < 0) {
    ::close(in);
    return false;
  }
  char buf[65536];
  bool ok = true;
  for (;;) {
    ssize_t r = ::read(in, buf, sizeof buf);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) {
      ok = r == 0;
      break;
    }
    if (!WriteAllToFd(out, buf, static_cast<std::size_t>(r))) {
      ok = false;
      break;
    }
  }
  timespec times[2] = {st.st_atim, st.st_mtim};
  if (ok) ::futimens(out, times);
  ok = (::close(out) == 0) && ok;
  ::close(in);
  return ok;
}

// Copies a tree (for a bin on another file system); links stay links.
bool CopyTree(const std::string& from, const std::string& to) {
  struct stat st;
  if (::lstat(from.c_str(), &st) != 0) return false;
  if (S_ISLNK(st.st_mode)) {
    std::vector<char> target(static_cast<std::size_t>(st.st_size) + 1);
    ssize_t n = ::readlink(from.c_str(), target.data(), target.size());
    if (n < 0 || static_cast<std::size_t>(n) >= target.size()) return false;
    target[static_cast<std::size_t>(n)] = '\0';
    return FileOpFault(TFileOp::kCreate, to) == 0 && ::symlink(target.data(), to.c_str()) == 0;
  }
  if (S_ISDIR(st.st_mode)) {
    if (FileOpFault(TFileOp::kMakeFolder, to) != 0 || ::mkdir(to.c_str(), st.st_mode & 07777) != 0) return false;
    bool ok = true;
    for (const std::string& name : ListFolder(from)) ok = CopyTree(from + "/" + name, to + "/" + name) && ok;
    return ok;
  }
  if (S_ISREG(st.st_mode)) return CopyFileData(from, to, st);
  return false;
}

// A free name for `name` in the bin: the name itself, or with " (n)" before
// its extension.
std::string FreeBinName(const std::string& bin, const std::string& name) {
  std::size_t dot = name.find_last_of('.');
  if (dot == 0 || dot == std::string::npos) dot = name.size();
  struct stat st;
  std::string candidate = name;
  for (unsigned n = 2; ::lstat((bin + "/" + candidate).c_str(), &st) == 0; ++n)
    candidate = name.substr(0, dot) + " (" + std::to_string(n) + ")" + name.substr(dot);
  return bin + "/" + candidate;
}

bool Recycle(const std::string& native) {
  std::string bin = RecycleBinPath();
  if (!ForceDirectories(bin)) return false;
  std::size_t slash = native.find_last_of('/');
  std::string name = slash == std::string::npos ? native : native.substr(slash + 1);
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::string target = FreeBinName(bin, name);
    if (FileOpFault(TFileOp::kRename, native, target) != 0) return false;
    if (::renameat2(AT_FDCWD, native.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EEXIST) continue;  // taken meanwhile: pick the next name
    if (errno == EINVAL || errno == ENOSYS) return ::rename(native.c_str(), target.c_str()) == 0;
    if (errno != EXDEV) return false;
    // The bin lies on another file system: copy, then remove the original.
    if (!CopyTree(native, target)) {
      RemoveTree(target);
      return false;
    }
    return RemoveTree(native);
  }
  return false;
}

bool DeleteOne(const std::string& native, bool permanent) { return permanent ? RemoveTree(native) : Recycle(native); }

// Deletes what one path names; false when it names nothing or a deletion fails.
bool DeletePath(const std::string& path, bool permanent) {
  std::string native = ToNativePath(path);
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  std::size_t slash = native.find_last_of('/');
  std::string mask = slash == std::string::npos ? native : native.substr(slash + 1);
  if (!HasWildcards(mask)) {
    struct stat st;
    if (native.empty() || native == "/" || ::lstat(native.c_str(), &st) != 0) return false;
    return DeleteOne(native, permanent);
  }
  std::string folder = slash == std::string::npos ? std::string(".") : native.substr(0, slash == 0 ? 1 : slash);
  bool any = false, ok = true;
  for (const std::string& name : ListFolder(folder)) {
    if (!WildcardMatch(mask, name)) continue;
    any = true;
    ok = DeleteOne(folder == "/" ? "/" + name : folder + "/" + name, permanent) && ok;
  }
  return any && ok;
}

}  // namespace

void SetRecycleBinPath(const std::string& nativeFolder) {
  std::lock_guard<std::mutex> guard(gBinLock);
  gBinPath = nativeFolder;
}

std::string RecycleBinPath() {
  std::lock_guard<std::mutex> guard(gBinLock);
  return gBinPath.empty() ? DefaultBinPath() : gBinPath;
}

bool ShellDeletePaths(const char* pathList, bool permanent) {
  if (pathList == nullptr || *pathList == '\0') return false;
  bool ok = true;
  for (const char* p = pathList; *p != '\0'; p += std::strlen(p) + 1) ok = DeletePath(p, permanent) && ok;
  return ok;
}
