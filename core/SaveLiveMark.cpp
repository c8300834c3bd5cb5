#include "core/SaveLiveMark.h"

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/win/FileFault.h"
#include "platform/win/LockFiles.h"
#include "platform/win/Paths.h"

namespace {

// Tries at a mark that other runs keep deleting and making anew.
constexpr int kOpenTries = 100;

}  // namespace

TSaveLiveMark::TSaveLiveMark(const std::string& path, TMode mode) : native_(ToNativePath(path)) {
  for (int tries = 0; tries < kOpenTries; ++tries)
    if (Attempt(mode)) return;
  // Made and deleted again at each try: other runs are at work on it.
  state_ = TState::kLive;
}

TSaveLiveMark::~TSaveLiveMark() {
  if (fd_ < 0) return;
  // Deleted while still locked, so that a run that opened it meanwhile finds
  // its file gone once it gets the lock, and looks again.
  const int errorBefore = errno;
  if (FileOpFault(TFileOp::kDelete, native_) == 0) DeleteIfFileAt(fd_, native_);
  ::close(fd_);
  errno = errorBefore;
}

// One try: false when the mark went or came meanwhile, to be looked at anew.
bool TSaveLiveMark::Attempt(TMode mode) {
  const auto fail = [this](TState state, int error) {
    state_ = state;
    error_ = error;
    return true;
  };
  int fd = -1;
  if (mode == TMode::kMake) {
    fd = FileOpFault(TFileOp::kCreate, native_) != 0 ? -1 : MakeLockFile(native_);
    if (fd < 0 && errno == EEXIST) fd = OpenLockFile(native_);
  } else {
    fd = OpenLockFile(native_);
    if (fd < 0 && errno == ENOENT) return fail(TState::kNone, 0);
  }
  if (fd < 0 && errno == ENOENT) return false;
  if (fd < 0 && errno == EACCES) {
    // Another user's that this one may not open: held while the system's
    // list of locks names a holder (or cannot be read); else a dead save's,
    // which goes.
    struct stat st;
    if (::lstat(native_.c_str(), &st) != 0) return errno == ENOENT ? false : fail(TState::kFailed, errno);
    const TFlockHolder holder = FlockHolderOf(st);
    if (holder.held || !holder.known) return fail(TState::kLive, EWOULDBLOCK);
    if (FileOpFault(TFileOp::kDelete, native_) != 0 || (::unlink(native_.c_str()) != 0 && errno != ENOENT))
      return fail(TState::kFailed, errno);
    return false;
  }
  if (fd < 0) return fail(TState::kFailed, errno);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    // Where the file system has no such locks, no save can hold the mark
    // either (nor the folder's lock).
    return fail(error == EWOULDBLOCK || error == EINTR ? TState::kLive : TState::kFailed, error);
  }
  if (!IsFileAt(fd, native_)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  state_ = TState::kHeld;
  return true;
}
