#pragma once
// MoveFile as Win32 gives it: renames a file or folder, and fails when the
// new name exists (a plain POSIX rename would replace it).

#include "platform/win/WinTypes.h"

// Moves `existing` to `newName` (system paths, see Paths.h). Fails with
// ERROR_ALREADY_EXISTS when `newName` names an existing entry, letter case
// aside (renaming a file to another case of its own name is allowed), and
// with ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND when the source or the
// target's folder is missing. A file moves across file systems by copying and
// deleting; a folder does not (ERROR_NOT_SAME_DEVICE). The last error is set
// on failure.
BOOL MoveFileA(LPCSTR existing, LPCSTR newName);
inline BOOL MoveFile(LPCSTR existing, LPCSTR newName) { return MoveFileA(existing, newName); }
