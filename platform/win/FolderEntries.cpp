#include "platform/win/FolderEntries.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/win/FileFault.h"
#include "platform/win/FileTime.h"
#include "platform/win/SystemError.h"

namespace {

// The entry's name as it exists (as written, else without regard to case) and
// its own status (a link not followed); false when neither exists.
bool FindFolderEntry(const OpenFolder& folder, const std::string& name, std::string& found, struct stat& st) {
  if (::fstatat(folder.fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    found = name;
    return true;
  }
  std::optional<std::string> other = FindEntryIgnoringCase(folder, name);
  if (!other || ::fstatat(folder.fd, other->c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
  found = std::move(*other);
  return true;
}

}  // namespace

TFolderEntries::TFolderEntries(const std::string& nativeFolder) {
  folder_.path = nativeFolder;
  folder_.fd = ::open(nativeFolder.empty() ? "." : nativeFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  struct stat st;
  if (folder_.fd < 0 || ::fstat(folder_.fd, &st) != 0) return;
  folder_.device = st.st_dev;
  folder_.inode = st.st_ino;
}

TFolderEntries::~TFolderEntries() {
  if (folder_.fd >= 0) ::close(folder_.fd);
}

bool TFolderEntries::WriteFile(const std::string& name, const void* data, std::size_t size,
                               WrittenFileTimes& times) const {
  if (!IsOpen()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  // The kept names answer without a call for the entry itself: a new file's
  // name is not looked for in the file system before it is made.
  const std::optional<std::string> entry = FindEntryIgnoringCase(folder_, name);
  std::string target = entry.value_or(name);
  if (target != name) {
    // Renamed in letter case only: the file takes the new spelling first,
    // then its new content (a folder of that name stays as it is).
    struct stat st;
    if (::fstatat(folder_.fd, target.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode) &&
        FileOpFaultAt(TFileOp::kRename, folder_.fd, target, name) == 0 &&
        ::renameat(folder_.fd, target.c_str(), folder_.fd, name.c_str()) == 0)
      target = name;
  }
  if (WriteDerivedFileAt(folder_.fd, target, data, size, times)) return true;
  SetLastErrorFromErrno(errno);
  return false;
}

bool TFolderEntries::DeleteFile(const std::string& name) const {
  const int fd = folder_.fd;
  std::string entry;
  struct stat st;
  if (fd < 0 || !FindFolderEntry(folder_, name, entry, st) || S_ISDIR(st.st_mode)) return true;
  // A link counts as a file when what it leads to is one.
  if (S_ISLNK(st.st_mode) && (::fstatat(fd, entry.c_str(), &st, 0) != 0 || S_ISDIR(st.st_mode))) return true;
  if (FileOpFaultAt(TFileOp::kDelete, fd, entry) == 0 && ::unlinkat(fd, entry.c_str(), 0) == 0) return true;
  SetLastErrorFromErrno(errno);
  return false;
}

bool TFolderEntries::SetFileTime(const std::string& name, const FILETIME*, const FILETIME* lastAccess,
                                 const FILETIME* lastWrite) const {
  const int fd = folder_.fd;
  if (fd < 0) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  // Most names exist as written: one call.
  if (SetEntryFileTime(fd, name, lastAccess, lastWrite)) return true;
  struct stat st;
  if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return false;
  const std::optional<std::string> other = FindEntryIgnoringCase(folder_, name);
  return other && SetEntryFileTime(fd, *other, lastAccess, lastWrite);
}
