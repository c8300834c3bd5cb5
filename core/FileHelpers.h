#pragma once
// Files and folders: existence, copies that keep their file times, deleting
// folder contents, the shell's delete, file times on the FAT grid, PLC file
// dates and the CRC-32 of whole files. Paths are system paths (see
// platform/win/Paths.h).

#include <cstdint>
#include <string>

#include "platform/win/FileTime.h"

// True when the file or folder exists.
bool PathExists(const std::string& path);

// Copies `source` to `destination` with the source's creation and last-write
// times (rounded to even seconds on the source first, RoundFileTimesToFat).
// Results: 3 for an empty source name; 2 when `copyAlways` is clear and the
// destination exists (nothing done); 1 when copied; 0 when a step failed.
// With `copyAlways` set an existing destination is replaced (the copy keeps
// its mode and group, TakeModeOf in FileIo.h), and one whose name differs
// from the destination's in letter case only takes the destination's
// spelling (TakeSpellingOf, FileIo.h). The copy goes to a temporary file
// beside the destination which is renamed over it at the end, so a failed
// copy leaves an old destination whole. A failure is reported to the host's
// message window (ReportHostMessage, HostEnvironment.h) as UI text 7077 with
// the system's error text in parentheses, the source name as its source; when
// the source was read and the destination's folder did not take the file, the
// parentheses name that folder too (UI text 7521).
int CopyFileKeepTime(const std::string& source, const std::string& destination, bool copyAlways);
// The copy that always replaces: true when it succeeded.
bool CopyFileKeepTime(const std::string& source, const std::string& destination);

// The path with the letter case of each name that exists as the file system
// spells it, its separators as they were: writers address the pictures'
// folder "IMAGES" as "images\\", and a message names the folder the user sees.
std::string SpeltAsOnDisk(const std::string& path);

// The system's text for the calling thread's last error, without its line
// end (and cut to a length a message can carry): the reason a message gives
// in parentheses. Empty when the system has none.
std::string LastErrorReason();

// True for the name of a temporary file that this program's own writers make
// beside the file they write, and rename over it once it is whole: "NAME" +
// kWriterTempMark (FileIo.h) + letters, digits and '_' (WriteFileReplacing,
// WriteDerivedFile, CopyFileKeepTime). A user's file such as "report.tmp1"
// does not carry the mark. One that is left was never renamed (the run that
// wrote it was killed, or the machine went down): its file holds its old
// content, and the temporary file is of no use.
bool IsOwnTemporaryFileName(const std::string& name);

// Deletes the files of `folder` (a system path) whose names
// IsOwnTemporaryFileName accepts, with `recursive` in its sub-folders too
// (links to folders are not followed), but not those of a run that is still
// alive (TemporaryFileWriterRuns, FileIo.h): it may be writing them. Answers how many it deleted; a file
// that cannot be deleted is left.
int RemoveOwnTemporaryFiles(const std::string& folder, bool recursive);

// Deletes every file and every sub-folder with its content inside the folder
// (with or without a trailing backslash), except entries whose names begin
// with '.'; the folder itself stays. Failures are silent. Links are deleted,
// never followed.
void DeleteDirTree(const std::string& folder);

// The shell's delete on one path or on several separated by NULs (wildcards
// allowed in the last component): silent, into the recycle bin unless
// `permanent` is set. True when everything named was deleted.
bool DeletePathToRecycle(const std::string& paths, bool permanent);

// Opens the file for writing, makes the seconds of its creation and last-write
// times even (the odd second loses one second; fractions stay), writes them
// back (last access unchanged) and returns the three times as they now are
// (null pointers skip one). False when the file cannot be opened for writing.
bool RoundFileTimesToFat(const std::string& fileName, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite);

// A PLC file date (year - 1900, month, day, hour, minute, second) as a
// FILETIME of that moment with milliseconds 0; 0 when the parts name no date.
FILETIME PlcDateToFileTime(const unsigned char date[6]);

// The CRC-32 of the whole file; 0 when it cannot be opened.
std::uint32_t FileCrc32(const std::string& fileName);
