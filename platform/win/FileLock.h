#pragma once
// An exclusive lock that runs of this program (processes, and callers in one
// process) take on a folder before they change files in it that must change
// together. The lock is the system's advisory lock on a lock file in the
// folder: the system lets it go when the process ends, a killed one too, so
// no lock outlives its holder. The lock file is made when the lock is taken
// and deleted when it is given back; one that a killed run left is taken
// over by the next run.
//
// Within a process the lock nests: a caller that holds it may take it again
// (a load that recovers a save takes it once for the folder and once for
// each file), and the folder is free once every holder gave it back.

#include <string>

class TFolderLock {
 public:
  enum class TState {
    kHeld,       // this caller holds the lock
    kTaken,      // another run held it for the whole wait
    kNoLockFile  // the lock file could not be made (a folder that may not be
                 // written, a full disk); errno tells why
  };

  // Takes the lock on `lockFile` (a system path), waiting while another run
  // holds it, for the time that SetFolderLockWaitForTests set (a few seconds
  // by default).
  explicit TFolderLock(std::string lockFile);
  ~TFolderLock();
  TFolderLock(const TFolderLock&) = delete;
  TFolderLock& operator=(const TFolderLock&) = delete;

  TState State() const { return state_; }
  bool Held() const { return state_ == TState::kHeld; }

 private:
  std::string native_;
  TState state_ = TState::kNoLockFile;
};

// How long a run waits for another run's lock, in milliseconds (0: it tries
// once). Tests set it to make a held lock answer at once.
void SetFolderLockWaitForTests(int milliseconds);
