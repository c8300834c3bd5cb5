#pragma once
// The mark of a save that runs: a file beside the project file (its name
// carries the save's mark, see ProjectFileCommit.h) that the save makes
// before its first staged file and holds the system's advisory lock (flock)
// on until its commit ends, when it deletes it. It tells every other run that
// the save's files are in use, also where the folder's lock no longer does
// (its lock file deleted by hand while the save ran). The system lets the
// lock go when the process ends, a killed one too, so a mark that no process
// holds is a dead save's: a recovery takes it for as long as it works on the
// save's files, and deletes it then.
//
// The mark is made as the folder lock's file is (LockFiles.h): openable by
// every user whatever their umask, so that any run can tell whether it is
// held; one that this user may not open counts as held while the system's
// list of locks names a holder, and is deleted when it names none.

#include <string>

class TSaveLiveMark {
 public:
  enum class TState {
    kNone,    // no mark is there (only when it was not to be made)
    kHeld,    // this run holds the mark: one it made, or a dead save's
    kLive,    // another run holds it: that run's save goes on
    kFailed,  // it could not be made or opened (Error() tells why: EISDIR,
              // ELOOP, EINVAL for what is no file at its path)
  };
  enum class TMode {
    kMake,  // a save's own: made when missing
    kTake,  // a recovery's: only one that is there
  };

  // `path`: the mark's system path.
  TSaveLiveMark(const std::string& path, TMode mode);
  // Deletes the mark it holds, unless it is no longer the file at its path.
  ~TSaveLiveMark();
  TSaveLiveMark(const TSaveLiveMark&) = delete;
  TSaveLiveMark& operator=(const TSaveLiveMark&) = delete;

  TState State() const { return state_; }
  int Error() const { return error_; }

 private:
  bool Attempt(TMode mode);

  std::string native_;
  int fd_ = -1;
  TState state_ = TState::kFailed;
  int error_ = 0;
};
