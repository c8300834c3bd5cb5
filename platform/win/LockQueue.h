#pragma once
// The line of runs that wait for a folder's lock (TFolderLock, FileLock.h),
// so that a run that waits is served before the runs that come after it.
//
// A waiting run holds a ticket in the folder: the file
// ".~tarnwell~queue-NNNNNNNNNN-PID", numbered one past the highest ticket
// there and locked (flock) by its run for as long as it waits. A run takes
// a free lock only when no live ticket older than its own stands (none at
// all, while it has none). A ticket nobody holds locked belongs to a run that
// ended (a killed one): it counts for nothing, and the next look at the line
// deletes it. Tickets are made openable by every user, as the lock file is.
// The '-' after the mark keeps the names from the sweep of the writers'
// temporary files.

#include <cstdint>
#include <string>

class TLockQueue {
 public:
  // `folder`: the native path of the folder whose lock the run waits for.
  explicit TLockQueue(std::string folder);
  ~TLockQueue();
  TLockQueue(const TLockQueue&) = delete;
  TLockQueue& operator=(const TLockQueue&) = delete;

  // Looks at the line, deleting the tickets of runs that ended when
  // `mayDelete` (the caller holds the folder's gate, so that no ticket is
  // deleted while its run makes it). True when a live ticket older than this
  // run's own stands; `pid` then tells its run.
  bool OthersFirst(bool mayDelete, int& pid);
  // Takes a ticket behind every ticket OthersFirst saw; nothing when the
  // folder takes no file (the run then waits without its place in line).
  void Join();
  // Gives the ticket back (deletes it).
  void Leave();
  bool Joined() const { return fd_ >= 0; }

 private:
  std::string folder_;
  std::string ticket_;
  int fd_ = -1;
  std::uint64_t number_ = 0;
  std::uint64_t highest_ = 0;  // the highest number OthersFirst saw
};
