#include "platform/win/FolderEntries.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/win/FileTime.h"
#include "platform/win/FolderNames.h"
#include "platform/win/SystemError.h"

namespace {

// The entry's name as it exists (as written, else without regard to case) and
// its own status (a link not followed); false when neither exists.
bool FindFolderEntry(int fd, const std::string& folder, const std::string& name, std::string& found, struct stat& st) {
  if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    found = name;
    return true;
  }
  std::optional<std::string> other = FindEntryIgnoringCase(folder, name);
  if (!other || ::fstatat(fd, other->c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
  found = std::move(*other);
  return true;
}

}  // namespace

TFolderEntries::TFolderEntries(const std::string& nativeFolder) : folder_(nativeFolder) {
  fd_ = ::open(nativeFolder.empty() ? "." : nativeFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

TFolderEntries::~TFolderEntries() {
  if (fd_ >= 0) ::close(fd_);
}

bool TFolderEntries::DeleteFile(const std::string& name) const {
  std::string entry;
  struct stat st;
  if (fd_ < 0 || !FindFolderEntry(fd_, folder_, name, entry, st) || S_ISDIR(st.st_mode)) return true;
  // A link counts as a file when what it leads to is one.
  if (S_ISLNK(st.st_mode) && (::fstatat(fd_, entry.c_str(), &st, 0) != 0 || S_ISDIR(st.st_mode))) return true;
  if (::unlinkat(fd_, entry.c_str(), 0) == 0) return true;
  SetLastErrorFromErrno(errno);
  return false;
}

bool TFolderEntries::SetFileTime(const std::string& name, const FILETIME*, const FILETIME* lastAccess,
                                 const FILETIME* lastWrite) const {
  if (fd_ < 0) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  // Most names exist as written: one call.
  if (SetEntryFileTime(fd_, name, lastAccess, lastWrite)) return true;
  struct stat st;
  if (::fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return false;
  const std::optional<std::string> other = FindEntryIgnoringCase(folder_, name);
  return other && SetEntryFileTime(fd_, *other, lastAccess, lastWrite);
}
