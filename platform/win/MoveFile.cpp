#include "platform/win/MoveFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/win/FdWrite.h"
#include "platform/win/FileFault.h"
#include "platform/win/Paths.h"
#include "platform/win/SystemError.h"

namespace {

std::string LastComponent(const std::string& path) {
  std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ParentOf(const std::string& nativePath) {
  std::size_t slash = nativePath.find_last_of('/');
  if (slash == std::string::npos) return std::string();
  return nativePath.substr(0, slash + 1);
}

// rename that never replaces: EEXIST when the target exists.
int RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  // File systems without the flag: test first (a race with another writer is
  // accepted there).
  struct stat st;
  if (::lstat(to.c_str(), &st) == 0) {
    errno = EEXIST;
    return -1;
  }
  return ::rename(from.c_str(), to.c_str());
}

// Copies a regular file to a new file (never replacing one), with its mode
// and times, then deletes the source. errno tells the failure.
bool CopyAcrossDevices(const std::string& from, const std::string& to, const struct stat& st) {
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  int out = FileOpFault(TFileOp::kCreate, to) != 0
                ? -1
                : ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
  if (out < 0) {
    int e = errno;
    ::close(in);
    errno = e;
    return false;
  }
  char buf[65536];
  bool ok = true;
  for (;;) {
    ssize_t r = ::read(in, buf, sizeof buf);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) {
      ok = false;
      break;
    }
    if (r == 0) break;
    if (!WriteAllToFd(out, buf, static_cast<std::size_t>(r))) {
      ok = false;
      break;
    }
  }
  int e = errno;
  timespec times[2] = {st.st_atim, st.st_mtim};
  if (ok) ::futimens(out, times);
  ok = (::close(out) == 0) && ok;
  ::close(in);
  if (!ok) {
    if (FileOpFault(TFileOp::kDelete, to) == 0) ::unlink(to.c_str());
    errno = e ? e : EIO;
    return false;
  }
  if (FileOpFault(TFileOp::kDelete, from) != 0 || ::unlink(from.c_str()) != 0) {
    e = errno;
    if (FileOpFault(TFileOp::kDelete, to) == 0) ::unlink(to.c_str());
    errno = e;
    return false;
  }
  return true;
}

}  // namespace

BOOL MoveFileA(LPCSTR existing, LPCSTR newName) {
  if (existing == nullptr || newName == nullptr || *existing == '\0' || *newName == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string from = ToNativePath(existing);
  struct stat src;
  if (::lstat(from.c_str(), &src) != 0) {
    SetLastErrorForPath(errno, from);
    return FALSE;
  }
  std::string to = ToNativePath(newName);
  struct stat dst;
  if (::lstat(to.c_str(), &dst) == 0) {
    if (dst.st_dev != src.st_dev || dst.st_ino != src.st_ino) {
      SetLastError(ERROR_ALREADY_EXISTS);
      return FALSE;
    }
    // The target resolved to the source itself: a change of letter case.
    to = ParentOf(to) + LastComponent(newName);
    if (to == from) return TRUE;
  }
  if (FileOpFault(TFileOp::kRename, from, to) != 0) {
    SetLastErrorForPath(errno, to);
    return FALSE;
  }
  if (RenameNoReplace(from, to) == 0) return TRUE;
  if (errno == EEXIST) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return FALSE;
  }
  if (errno == EXDEV) {
    if (!S_ISREG(src.st_mode)) {
      SetLastError(ERROR_NOT_SAME_DEVICE);
      return FALSE;
    }
    if (CopyAcrossDevices(from, to, src)) return TRUE;
    if (errno == EEXIST) {
      SetLastError(ERROR_ALREADY_EXISTS);
      return FALSE;
    }
  }
  SetLastErrorForPath(errno, to);
  return FALSE;
}

BOOL RenameReplacing(LPCSTR existing, LPCSTR newName) {
  if (existing == nullptr || newName == nullptr || *existing == '\0' || *newName == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string from = ToNativePath(existing);
  const std::string to = ToNativePath(newName);
  if (FileOpFault(TFileOp::kRename, from, to) != 0 || ::rename(from.c_str(), to.c_str()) != 0) {
    SetLastErrorForPath(errno, to);
    return FALSE;
  }
  return TRUE;
}
