#pragma once
// The files that runs lock with the system's advisory lock (flock): the
// folder lock's file and the tickets of its waiting line (FileLock.h,
// LockQueue.h). Such a file is made openable by every user who may work in
// its folder, whatever their umask, is deleted only while it is still the
// file its holder locked, and tells who holds it even to a run that may not
// open it.

#include <sys/stat.h>

#include <string>

// Makes the file `path` (a native path) anew, failing when anything is there
// (O_EXCL: a link is not followed), with the mode rw-rw-rw- whatever the
// umask. The descriptor, or -1 with errno set.
int MakeLockFile(const std::string& path);

// Opens the existing file `path` to lock it: for reading and writing, or
// only for reading when this user may not write it (the lock works on
// either); a link is not followed. The descriptor, or -1 with errno set:
// EISDIR for a folder, ELOOP for a link, EINVAL for anything else that is no
// file; EACCES when this user may not open it at all.
int OpenLockFile(const std::string& path);

// True when the descriptor's file is the one at `path` now (same device and
// inode; a link at the path is not followed).
bool IsFileAt(int fd, const std::string& path);

// Deletes `path` when it is still the file of the descriptor `fd`: a file
// that was deleted and made anew meanwhile belongs to another run.
void DeleteIfFileAt(int fd, const std::string& path);

struct TFlockHolder {
  bool known = false;  // the system's list of locks could be read
  bool held = false;   // a process holds a lock on the file
  int pid = 0;         // that process's id, when the list gives one (0: not)
};

// Who holds a lock on the file `file` describes (its lstat or fstat), from
// the system's list of held locks (/proc/locks: the kind, the id of the
// process that took it, the file's device and inode). A lock the list names
// by the inode alone, on another device number, counts as held too: some
// file systems (btrfs subvolumes, overlays) show another device there than
// stat does, and a lock wrongly taken as held only makes a run wait.
TFlockHolder FlockHolderOf(const struct stat& file);
