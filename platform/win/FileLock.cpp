#include "platform/win/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "platform/win/FileFault.h"
#include "platform/win/Paths.h"

namespace {

constexpr int kDefaultWaitMs = 5000;
constexpr auto kPollInterval = std::chrono::milliseconds(10);

std::atomic<int> gWaitMs{kDefaultWaitMs};

// The locks this process holds: lock file to its descriptor and how many
// holders share it.
struct THeldLock {
  int fd = -1;
  int holders = 0;
};
std::mutex gHeldMutex;
std::map<std::string, THeldLock>& HeldLocks() {
  static std::map<std::string, THeldLock> held;
  return held;
}

// Opens (making it when missing) the lock file and takes its lock when it is
// free. -1 with errno set when the file cannot be opened; -2 when another run
// holds the lock. A lock file that was deleted or replaced while this run
// waited for it locks nothing any more, so the run opens the file anew.
int TryLock(const std::string& native) {
  for (;;) {
    if (FileOpFault(TFileOp::kCreate, native) != 0) return -1;
    int fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    // A lock file of another user that this one may only read locks as well.
    if (fd < 0 && errno == EACCES) fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      ::close(fd);
      if (error == EWOULDBLOCK || error == EINTR) return -2;
      errno = error;
      return -1;
    }
    struct stat held;
    struct stat named;
    if (::fstat(fd, &held) == 0 && ::lstat(native.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino)
      return fd;
    ::close(fd);
  }
}

}  // namespace

void SetFolderLockWaitForTests(int milliseconds) { gWaitMs.store(milliseconds < 0 ? kDefaultWaitMs : milliseconds); }

TFolderLock::TFolderLock(std::string lockFile) : native_(ToNativePath(lockFile)) {
  {
    const std::lock_guard<std::mutex> guard(gHeldMutex);
    if (auto it = HeldLocks().find(native_); it != HeldLocks().end()) {
      ++it->second.holders;
      state_ = TState::kHeld;
      return;
    }
  }
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(gWaitMs.load());
  for (;;) {
    const int fd = TryLock(native_);
    if (fd >= 0) {
      const std::lock_guard<std::mutex> guard(gHeldMutex);
      HeldLocks()[native_] = THeldLock{fd, 1};
      state_ = TState::kHeld;
      return;
    }
    if (fd == -1) {
      state_ = TState::kNoLockFile;
      return;
    }
    if (std::chrono::steady_clock::now() >= until) {
      state_ = TState::kTaken;
      return;
    }
    std::this_thread::sleep_for(kPollInterval);
  }
}

TFolderLock::~TFolderLock() {
  if (state_ != TState::kHeld) return;
  const std::lock_guard<std::mutex> guard(gHeldMutex);
  auto it = HeldLocks().find(native_);
  if (it == HeldLocks().end() || --it->second.holders > 0) return;
  // The file goes while the lock is still held, so that a run waiting for it
  // finds its file gone and opens a new one.
  const int errorBefore = errno;
  if (FileOpFault(TFileOp::kDelete, native_) == 0) ::unlink(native_.c_str());
  ::close(it->second.fd);
  HeldLocks().erase(it);
  errno = errorBefore;
}
