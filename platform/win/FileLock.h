#pragma once
// An exclusive lock that runs of this program (processes, and callers in one
// process) take on a folder before they change files in it that must change
// together. The lock is the system's advisory lock (flock) on a lock file in
// the folder: the system lets it go when the process ends, a killed one too,
// so no lock outlives its holder. The lock file is made when the lock is
// taken, openable by every user whatever their umask (the lock works on a
// file opened only for reading as well), and deleted when it is given back,
// unless it is no longer the file that was locked (someone deleted it and
// another run made a new one). One that a killed run left is taken over by
// the next run; one of another user that this user may not open at all is
// waited for while a process holds it (the system's list of locks tells), and
// replaced when none does and the folder allows it.
//
// A run that finds the lock taken waits, polling, and is served before the
// runs that come after it (LockQueue.h). After a second it tells, once,
// through the wait notice, which process it waits for. A stop asked of the
// program (SIGINT, SIGTERM: StopRequest.h) ends the wait as a lock held for
// the whole wait does.
//
// The runs take the folder's gate, the system's lock on the folder itself,
// for the moment of each attempt (making or opening the lock file, locking
// it, replacing a stale one, the waiting line's tickets), so that no two of
// them ever act on the lock file at once.
//
// Within a process the lock nests: a caller that holds it may take it again
// (a load that recovers a save takes it once for the folder and once for
// each file), and the folder is free once every holder gave it back. A child
// process (fork) holds none of its parent's locks.

#include <chrono>
#include <functional>
#include <string>

class TFolderLock {
 public:
  enum class TState {
    kHeld,       // this caller holds the lock
    kTaken,      // another run held it for the whole wait, or a stop was
                 // asked for while this one waited
    kNoLockFile  // the lock file could not be made or opened (a folder that
                 // may not be written, a full disk, a folder or link at its
                 // path); Error() tells why
  };

  // Takes the lock on `lockFile` (a system path), waiting while another run
  // holds it (or an earlier run waits for it), for the wait that
  // SetFolderLockWaitForTests set (by default two minutes, or the whole
  // seconds of the environment's TARNWELL_LOCK_WAIT, 0 to 3600:
  // ReadFolderLockWaitSetting).
  explicit TFolderLock(std::string lockFile);
  ~TFolderLock();
  TFolderLock(const TFolderLock&) = delete;
  TFolderLock& operator=(const TFolderLock&) = delete;

  TState State() const { return state_; }
  bool Held() const { return state_ == TState::kHeld; }
  // kNoLockFile: the errno value of the failure. EISDIR: a folder is at the
  // lock file's path; ELOOP: a link; EINVAL: something else that is no file;
  // EACCES (EPERM, EROFS): this user may not make the file (the folder
  // takes no new file: no lock file is there then), or not open another
  // user's that no process holds (and may not replace it).
  int Error() const { return error_; }

 private:
  std::string lockFile_;
  std::string native_;
  TState state_ = TState::kNoLockFile;
  int error_ = 0;
};

// The wait that a value of the environment's TARNWELL_LOCK_WAIT asks for
// (`text`; null when it is not set): whole seconds from 0 to 3600, digits
// only. Any other value (empty, negative, too large, "5s") is not taken: the
// wait is the default two minutes, and `refused` says so, naming the value
// and the wait used. A process that takes a lock tells that once on standard
// error, when it takes its first.
struct TFolderLockWaitSetting {
  int waitMs;
  std::string refused;  // empty when the value is taken (or not set)
};
TFolderLockWaitSetting ReadFolderLockWaitSetting(const char* text);

// True on the calling thread while it waits for a folder lock (from the
// first attempt to the end of the wait): what it says meanwhile, the wait
// notice, is said while the run is held up.
bool FolderLockWaiting();

// How long a run waits for another run's lock, in milliseconds (0: it tries
// once; a negative value gives the configured wait back).
void SetFolderLockWaitForTests(int milliseconds);

// The clock that the wait counts on (null: the system's monotonic clock), so
// that a test can run the whole wait without waiting for it.
using TFolderLockClock = std::function<std::chrono::steady_clock::time_point()>;
void SetFolderLockClockForTests(TFolderLockClock clock);

// Called once by a run that has waited a second for a lock: the lock file (as
// the caller named it), the id of the process that holds the lock or that
// waits before this run (0 when the system does not tell) and the whole wait
// in milliseconds. Null: nobody is told.
using TFolderLockWaitNotice = std::function<void(const std::string& lockFile, int pid, int waitMs)>;
void SetFolderLockWaitNotice(TFolderLockWaitNotice notice);
