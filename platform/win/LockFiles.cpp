#include "platform/win/LockFiles.h"

#include <fcntl.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

constexpr mode_t kEveryoneMayUse = 0666;

// One line of the list: "1: FLOCK  ADVISORY  WRITE 1234 fe:00:5678 0 EOF";
// a run blocked on a lock shows as "1: -> FLOCK ..." and holds nothing.
struct TListedLock {
  int pid = 0;
  unsigned major = 0, minor = 0;
  unsigned long long inode = 0;
};

bool ReadListedLock(const std::string& line, TListedLock& lock) {
  std::istringstream in(line);
  std::string number, kind, mode, access, file;
  if (!(in >> number >> kind) || kind == "->") return false;
  if (!(in >> mode >> access >> lock.pid >> file)) return false;
  return std::sscanf(file.c_str(), "%x:%x:%llu", &lock.major, &lock.minor, &lock.inode) == 3;
}

}  // namespace

int MakeLockFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kEveryoneMayUse);
  // The umask took bits from the mode; the file's owner may give them back.
  // Where the file system keeps no modes, the file stays as it was made.
  if (fd >= 0) static_cast<void>(::fchmod(fd, kEveryoneMayUse));
  return fd;
}

int OpenLockFile(const std::string& path) {
  // O_NONBLOCK: a pipe at the path must not hold the run up.
  constexpr int kFlags = O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
  int fd = ::open(path.c_str(), O_RDWR | kFlags);
  if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) fd = ::open(path.c_str(), O_RDONLY | kFlags);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

bool IsFileAt(int fd, const std::string& path) {
  struct stat held;
  struct stat named;
  return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
         held.st_ino == named.st_ino;
}

void DeleteIfFileAt(int fd, const std::string& path) {
  if (IsFileAt(fd, path)) ::unlink(path.c_str());
}

TFlockHolder FlockHolderOf(const struct stat& file) {
  TFlockHolder holder;
  std::ifstream list("/proc/locks");
  if (!list) return holder;
  holder.known = true;
  bool exact = false;
  for (std::string line; std::getline(list, line);) {
    TListedLock lock;
    if (!ReadListedLock(line, lock) || lock.inode != static_cast<unsigned long long>(file.st_ino)) continue;
    const bool sameDevice = lock.major == major(file.st_dev) && lock.minor == minor(file.st_dev);
    // The first lock on this device and inode, else the first on the inode.
    if (holder.held && (exact || !sameDevice)) continue;
    holder.held = true;
    holder.pid = lock.pid > 0 ? lock.pid : 0;
    exact = sameDevice;
  }
  return holder;
}
