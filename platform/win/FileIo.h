#pragma once
// Whole-file reads and safe whole-file writes at the file-system boundary.
// Paths are system paths (see Paths.h).

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "platform/win/WinTypes.h"

// The mark in the name of every temporary file that this program's writers
// make beside a file they replace: "NAME" + the mark + the writing process's
// id + '_' + letters, digits and '_'. No name a user gives a file carries it,
// so that a sweep of the temporary files a killed run left behind removes
// only ours, and the id tells which run made it, so that the sweep spares the
// files that a run still alive is writing.
inline constexpr std::string_view kWriterTempMark = ".~tarnwell~";

// True when the temporary file's name (kWriterTempMark) names a process that
// still runs: its writer may be in the middle of it. False for a name without
// a process id (made before names carried one), for a process that ended and
// for this process (whose sweeps run between its writes).
bool TemporaryFileWriterRuns(std::string_view name);

// A name for a writer's temporary file beside the file `name`: `name` +
// kWriterTempMark + this process's id, '_' and six letters or digits, another
// at each call.
std::string WriterTemporaryName(const std::string& name);

// Forces the file's content to the disk (fsync). False when it cannot be
// opened or flushed.
bool FlushFile(const std::string& path);

// Reads the whole file into `out`. False (and `out` unchanged) when it cannot be
// opened or read; errno tells why (EISDIR for a folder, EINVAL for a pipe, a
// socket or a device, which is never waited for; a pipe seen as one is not
// opened).
bool ReadWholeFile(const std::string& path, std::string& out);

// Gives the file or folder `path` the permission bits of `model` and, where
// the user may set it, its group: what a file put in the place of another
// keeps of it, so that those who could read the old one read the new one.
// False (nothing changed) when `model` cannot be examined. A group the user
// is not in, or a mode the file system keeps no room for, stays as it was:
// the file is whole all the same.
bool TakeModeOf(const std::string& path, const std::string& model);

// Writes `size` bytes as the file's new content: the bytes go to a temporary
// file in the same folder ("NAME" + kWriterTempMark + the process id, '_' and
// six letters or digits),
// which is flushed and renamed over the old file, so a failed write leaves the
// old file whole. The new file keeps the old one's mode and group
// (TakeModeOf); a file that was not there gets the mode of a file created
// under the umask. False when anything fails (errno tells why); the
// temporary file is then removed.
bool WriteFileReplacing(const std::string& path, const void* data, std::size_t size);
// The same for a content given in pieces, written one after the other.
bool WriteFileReplacing(const std::string& path, std::span<const std::string_view> pieces);
// The same, where a file that was not there takes the mode and group of the
// file `newFileModel` (TakeModeOf) instead of those the umask gives: a file
// new in a project reads for whoever reads the project. A model that cannot
// be examined leaves the umask's.
bool WriteFileReplacing(const std::string& path, const void* data, std::size_t size, const std::string& newFileModel);

// Writes `size` bytes as the file's whole content in place (created, or
// truncated and rewritten), without a temporary file or a flush to disk: for
// derived files that are written anew each time, such as a compile's output,
// whose old versions are gone before they are written. A failed write
// removes the file, so that none is left short or empty; false when anything
// fails.
bool WriteFileInPlace(const std::string& path, const void* data, std::size_t size);

// The same, and the written file's times as GetFileTime gives them (taken
// from the open file after the last byte, so no second open is needed).
struct WrittenFileTimes {
  FILETIME creation{};
  FILETIME lastAccess{};
  FILETIME lastWrite{};
};
bool WriteFileInPlace(const std::string& path, const void* data, std::size_t size, WrittenFileTimes& times);
// The same for the entry `name` (taken as it is) of a folder held open (a
// descriptor, O_PATH is enough); errno tells why it failed.
bool WriteFileInPlaceAt(int folderFd, const std::string& name, const void* data, std::size_t size,
                        WrittenFileTimes& times);

// Writes `size` bytes as the file's new content through a temporary file
// beside it ("NAME" + kWriterTempMark + the process id, '_' and six letters or digits) that is
// renamed over it, without a flush to disk: for derived files, such as a
// compile's output, of which a failed write must leave the old file whole and
// no short one. The new file keeps the old one's mode and group
// (TakeModeOf). The entry `name` of a folder held open (AT_FDCWD: a path); its
// times as GetFileTime gives them. False when anything fails (errno tells
// why); the temporary file is then removed.
bool WriteDerivedFileAt(int folderFd, const std::string& name, const void* data, std::size_t size,
                        WrittenFileTimes& times);
// The same by a system path. A file that exists under a name differing from
// the path's last one in letter case only takes the path's spelling
// (TakeSpellingOf).
bool WriteDerivedFile(const std::string& path, const void* data, std::size_t size, WrittenFileTimes& times);

// When the file (or link) of the system path exists under a name that differs
// from the path's last component in letter case only ("PG2.XML" for
// "pg2.xml"), renames it to the path's spelling, so that the file written
// over it carries the new name as the one it replaces did the old. A folder
// keeps its name; a rename that fails leaves the old one.
void TakeSpellingOf(const std::string& path);

// Appends bytes to a file, creating it when missing. False when it cannot be
// opened or written.
bool AppendToFile(const std::string& path, const void* data, std::size_t size);
