#pragma once
// The backups a project save keeps beside each project file it replaces:
// FILE.bak holds the previous content, FILE.bak.big the largest backup seen
// so far, so that a save that lost content can be undone by hand.
//
// Paths are system paths (see platform/win/Paths.h).

#include <cstdint>
#include <string>

// Keeps the file's present content as file + ".bak": an existing backup first
// goes through KeepBiggestBackup and is deleted; only when that delete
// succeeded (or there was no backup) is the file renamed to the backup.
// Nothing happens to a file that does not exist (a leftover backup still
// goes to its ".big" copy and is deleted). False when the ".big" copy could
// not be written: then the backup and the file stay as they were.
bool MakeBackup(const std::string& fileName);

// Keeps backup + ".big" as the largest backup: a missing ".big" becomes a copy
// of the backup; an existing one is replaced by a copy with the backup's file
// times only when the backup is larger. The copy is written whole before it
// takes the old one's place, so a failed copy keeps the old ".big"; false then,
// and false without a copy when either is a folder.
bool KeepBiggestBackup(const std::string& backupName);

// The file's size in bytes; 0 when it cannot be opened.
std::uint64_t GetFileSizeByName(const std::string& fileName);
