#include "platform/win/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "base/ScopeExit.h"
#include "platform/win/FileFault.h"
#include "platform/win/LockFiles.h"
#include "platform/win/LockQueue.h"
#include "platform/win/Paths.h"
#include "platform/win/StopRequest.h"

namespace {

// Long enough for a slow save of a large project: on a busy machine a save
// held the lock for up to 26 s (64 pages, each page file written and
// flushed), so a run waits four times that. A run that holds the lock and
// does not go on (a stopped process) keeps the others no longer than that,
// and a stop asked of the waiting program ends its wait at once.
constexpr int kDefaultWaitMs = 120000;
constexpr auto kPollInterval = std::chrono::milliseconds(20);
constexpr auto kNoticeAfter = std::chrono::seconds(1);
// Another run holds the folder's gate only for the moment of an attempt: a
// run polls for it more often, and gives up on it only this long after its
// wait is over (a process stopped in the middle of an attempt).
constexpr auto kGatePollInterval = std::chrono::milliseconds(1);
constexpr auto kGateGrace = std::chrono::seconds(1);
// Tries at making or opening a lock file that other runs keep deleting.
constexpr int kOpenTries = 100;

constexpr const char* kWaitVariable = "TARNWELL_LOCK_WAIT";

int ConfiguredWaitMs() { return ReadFolderLockWaitSetting(std::getenv(kWaitVariable)).waitMs; }

// A value of TARNWELL_LOCK_WAIT that is not taken is told once a process, on
// standard error, when it first takes a lock: the wait it would have set
// matters from then on, and a run that silently waits another time than
// asked for looks hung (or gives up too soon).
void TellRefusedWaitSettingOnce() {
  static std::once_flag told;
  std::call_once(told, [] {
    const int errorBefore = errno;
    const TFolderLockWaitSetting setting = ReadFolderLockWaitSetting(std::getenv(kWaitVariable));
    if (!setting.refused.empty())
      std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, setting.refused.c_str());
    errno = errorBefore;
  });
}

// True on a thread while it waits for a folder lock.
thread_local bool tWaiting = false;

std::atomic<int> gWaitMs{ConfiguredWaitMs()};
std::mutex gHooksMutex;
TFolderLockClock gClock;
TFolderLockWaitNotice gNotice;

// The locks this process holds: lock file to its descriptor, how many
// holders share it, and the process that took it (a child made by fork
// inherits the map but not the lock).
struct THeldLock {
  int fd = -1;
  int holders = 0;
  pid_t owner = 0;
};
std::mutex gHeldMutex;
std::map<std::string, THeldLock>& HeldLocks() {
  static std::map<std::string, THeldLock> held;
  return held;
}

// True when this process holds the lock already; the caller is then one
// more holder.
bool JoinHeldLock(const std::string& native) {
  const std::lock_guard<std::mutex> guard(gHeldMutex);
  const auto it = HeldLocks().find(native);
  if (it == HeldLocks().end()) return false;
  if (it->second.owner != ::getpid()) {
    // The parent's: its lock stays the parent's when this copy goes.
    ::close(it->second.fd);
    HeldLocks().erase(it);
    return false;
  }
  ++it->second.holders;
  return true;
}

std::string FolderOf(const std::string& native) {
  const std::size_t cut = native.rfind('/');
  if (cut == std::string::npos) return ".";
  return cut == 0 ? "/" : native.substr(0, cut);
}

std::chrono::steady_clock::time_point Now() {
  const std::lock_guard<std::mutex> guard(gHooksMutex);
  return gClock ? gClock() : std::chrono::steady_clock::now();
}

void TellWaiting(const std::string& lockFile, int pid, int waitMs) {
  TFolderLockWaitNotice notice;
  {
    const std::lock_guard<std::mutex> guard(gHooksMutex);
    notice = gNotice;
  }
  if (notice) notice(lockFile, pid, waitMs);
}

// The system's lock on the folder itself, held by a run for the moment of
// one attempt. A folder that cannot be opened or locked (no read permission,
// a file system without such locks) has no gate: runs then go without it,
// and none replaces a lock file of another user.
class TGate {
 public:
  explicit TGate(const std::string& folder) : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ < 0) return;
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      held_ = true;
      return;
    }
    busy_ = errno == EWOULDBLOCK;
  }
  ~TGate() {
    if (fd_ >= 0) ::close(fd_);
  }
  TGate(const TGate&) = delete;
  TGate& operator=(const TGate&) = delete;

  bool Held() const { return held_; }
  bool Busy() const { return busy_; }

 private:
  int fd_;
  bool held_ = false;
  bool busy_ = false;
};

// What one attempt found.
struct TAttempt {
  enum class TKind { kHeld, kBusy, kGateBusy, kFailed };
  TKind kind = TKind::kFailed;
  int fd = -1;    // kHeld: the locked lock file
  int pid = 0;    // kBusy: the process this run waits for, when known
  int error = 0;  // kFailed: errno
};

TAttempt Failed(int error) { return TAttempt{TAttempt::TKind::kFailed, -1, 0, error}; }
TAttempt Busy(int pid) { return TAttempt{TAttempt::TKind::kBusy, -1, pid, 0}; }

int HolderPid(const std::string& native) {
  struct stat st;
  return ::lstat(native.c_str(), &st) == 0 ? FlockHolderOf(st).pid : 0;
}

// A lock file of another user that this one may not open: waited for while
// a process holds it; else (its run ended) replaced by a new one when this
// run holds the gate and the folder lets it delete the file. Nothing when the
// file is to be opened again.
std::optional<TAttempt> TakeUnopenable(const std::string& native, bool gateHeld) {
  struct stat st;
  if (::lstat(native.c_str(), &st) != 0) return errno == ENOENT ? std::nullopt : std::optional(Failed(errno));
  const TFlockHolder holder = FlockHolderOf(st);
  if (holder.held) return Busy(holder.pid);
  if (!holder.known || !gateHeld) return Failed(EACCES);
  if (FileOpFault(TFileOp::kDelete, native) != 0 || ::unlink(native.c_str()) != 0)
    return errno == ENOENT ? std::nullopt : std::optional(Failed(errno));
  return std::nullopt;
}

// Makes or opens the lock file and takes its lock when it is free. A lock
// file that was deleted or replaced meanwhile locks nothing, so the run opens
// the file at the path anew.
TAttempt LockFileAt(const std::string& native, bool gateHeld) {
  for (int tries = 0; tries < kOpenTries; ++tries) {
    int fd = MakeLockFile(native);
    if (fd < 0 && errno == EEXIST) {
      fd = OpenLockFile(native);
      if (fd < 0 && errno == ENOENT) continue;
      if (fd < 0 && errno == EACCES) {
        if (std::optional<TAttempt> attempt = TakeUnopenable(native, gateHeld)) return *attempt;
        continue;
      }
    }
    if (fd < 0) return Failed(errno);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      ::close(fd);
      if (error == EWOULDBLOCK || error == EINTR) return Busy(HolderPid(native));
      return Failed(error);
    }
    if (IsFileAt(fd, native)) return TAttempt{TAttempt::TKind::kHeld, fd, 0, 0};
    ::close(fd);
  }
  return Busy(0);
}

// One attempt under the folder's gate: the lock is taken when it is free and
// no earlier run waits for it; a run that is to wait on takes its place in
// line (`join`).
TAttempt Attempt(const std::string& native, TLockQueue& queue, bool join) {
  if (FileOpFault(TFileOp::kCreate, native) != 0) return Failed(errno);
  const TGate gate(FolderOf(native));
  if (gate.Busy()) return TAttempt{TAttempt::TKind::kGateBusy, -1, 0, 0};
  int firstInLine = 0;
  TAttempt attempt;
  if (queue.OthersFirst(gate.Held(), firstInLine)) {
    const int holder = HolderPid(native);
    attempt = Busy(holder != 0 ? holder : firstInLine);
  } else {
    attempt = LockFileAt(native, gate.Held());
  }
  if (attempt.kind == TAttempt::TKind::kBusy && join) queue.Join();
  return attempt;
}

}  // namespace

TFolderLockWaitSetting ReadFolderLockWaitSetting(const char* text) {
  constexpr int kMaxSeconds = 3600;
  TFolderLockWaitSetting setting{kDefaultWaitMs, std::string()};
  if (text == nullptr) return setting;
  char* end = nullptr;
  errno = 0;
  const long seconds = std::strtol(text, &end, 10);
  // strtol takes blanks and a sign before the digits: a whole number of
  // seconds is digits only.
  const bool digits = *text >= '0' && *text <= '9';
  if (digits && errno == 0 && *end == '\0' && seconds <= kMaxSeconds) {
    setting.waitMs = static_cast<int>(seconds) * 1000;
    return setting;
  }
  setting.refused = std::string(kWaitVariable) + "=\"" + text + "\" is not taken (it takes whole seconds from 0 to " +
                    std::to_string(kMaxSeconds) + "): a run waits up to " + std::to_string(kDefaultWaitMs / 1000) +
                    " seconds for another run's lock on a project folder";
  return setting;
}

bool FolderLockWaiting() { return tWaiting; }

void SetFolderLockWaitForTests(int milliseconds) {
  gWaitMs.store(milliseconds < 0 ? ConfiguredWaitMs() : milliseconds);
}

void SetFolderLockClockForTests(TFolderLockClock clock) {
  const std::lock_guard<std::mutex> guard(gHooksMutex);
  gClock = std::move(clock);
}

void SetFolderLockWaitNotice(TFolderLockWaitNotice notice) {
  const std::lock_guard<std::mutex> guard(gHooksMutex);
  gNotice = std::move(notice);
}

TFolderLock::TFolderLock(std::string lockFile) : lockFile_(std::move(lockFile)), native_(ToNativePath(lockFile_)) {
  if (JoinHeldLock(native_)) {
    state_ = TState::kHeld;
    return;
  }
  TellRefusedWaitSettingOnce();
  tWaiting = true;
  const ScopeExit notWaiting([] { tWaiting = false; });
  const int waitMs = gWaitMs.load();
  const auto start = Now();
  const auto until = start + std::chrono::milliseconds(waitMs);
  TLockQueue queue(FolderOf(native_));
  bool told = false;
  for (;;) {
    const TAttempt attempt = Attempt(native_, queue, Now() < until);
    if (attempt.kind == TAttempt::TKind::kHeld) {
      const std::lock_guard<std::mutex> guard(gHeldMutex);
      HeldLocks()[native_] = THeldLock{attempt.fd, 1, ::getpid()};
      state_ = TState::kHeld;
      return;
    }
    if (attempt.kind == TAttempt::TKind::kFailed) {
      state_ = TState::kNoLockFile;
      error_ = attempt.error;
      return;
    }
    const bool gateBusy = attempt.kind == TAttempt::TKind::kGateBusy;
    const auto now = Now();
    if (StopRequestSignal() != 0 || now >= until + (gateBusy ? kGateGrace : std::chrono::seconds(0))) {
      state_ = TState::kTaken;
      return;
    }
    if (!gateBusy && !told && now - start >= kNoticeAfter) {
      TellWaiting(lockFile_, attempt.pid, waitMs);
      told = true;
    }
    std::this_thread::sleep_for(gateBusy ? kGatePollInterval : kPollInterval);
  }
}

TFolderLock::~TFolderLock() {
  if (state_ != TState::kHeld) return;
  const std::lock_guard<std::mutex> guard(gHeldMutex);
  const auto it = HeldLocks().find(native_);
  if (it == HeldLocks().end() || it->second.owner != ::getpid() || --it->second.holders > 0) return;
  // The file goes while the lock is still held, so that a run waiting for it
  // finds its file gone and makes a new one; a file that is no longer the
  // one locked here is another run's, and stays.
  const int errorBefore = errno;
  if (FileOpFault(TFileOp::kDelete, native_) == 0) DeleteIfFileAt(it->second.fd, native_);
  ::close(it->second.fd);
  HeldLocks().erase(it);
  errno = errorBefore;
}
