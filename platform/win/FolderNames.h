#pragma once
// The case-insensitive name look-up inside one folder, for ToNativePath.
//
// Each folder is listed once and its names are kept, folded to lower case;
// the kernel's change notifications (inotify) on the folder keep the kept
// names current: an entry that any program creates, renames or deletes there
// is applied before the next look-up answers, so a file made by another
// program between two look-ups is found. A folder is recognised by its device
// and inode, so a folder renamed, replaced or reached by another path is never
// answered from another folder's names. Where notifications cannot be had (no
// inotify, its watch limit reached, its event queue overflowed) or do not see
// every change (network and FUSE file systems, changed by other machines), the
// folder is listed for every look-up instead.
//
// Safe to call from several threads.

#include <cstdint>
#include <optional>
#include <string>

// The name of the entry of `folder` ("" for the current folder) that equals
// `name` when ASCII letters are compared without regard to case; nothing when
// there is none or the folder cannot be read. When several entries match, one
// of them. With `folderFound`, it is set to whether `folder` is a folder (the
// look-up examines it anyway, so callers need not ask the file system again).
std::optional<std::string> FindEntryIgnoringCase(const std::string& folder, const std::string& name,
                                                 bool* folderFound = nullptr);

// A folder held open: its descriptor (O_PATH is enough), the path it was
// opened by, and its device and inode as the descriptor gives them.
struct OpenFolder {
  int fd = -1;
  std::string path;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
};

// The same look-up in a folder held open, for work on many entries of one
// folder: the folder is the one the descriptor holds, so it is not looked for
// by its path again, and its names are listed through the descriptor when
// they cannot be kept. An entry named exactly `name` is preferred to one that
// differs in case.
std::optional<std::string> FindEntryIgnoringCase(const OpenFolder& folder, const std::string& name);
