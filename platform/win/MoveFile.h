#pragma once
// MoveFile as Win32 gives it: renames a file or folder, and fails when the
// new name exists (a plain POSIX rename would replace it); and the rename
// that replaces an existing file in one step.

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

// Renames the file `existing` to `newName` (system paths, see Paths.h),
// replacing a file of that name in one step: at every moment the name holds
// the old file or the new one whole. Both must lie on one file system
// (ERROR_NOT_SAME_DEVICE otherwise); a folder at `newName` is not replaced
// (ERROR_ACCESS_DENIED). A name that exists in another letter case is the one
// replaced, and keeps its spelling. The last error is set on failure.
BOOL RenameReplacing(LPCSTR existing, LPCSTR newName);
