#pragma once
// GetShortPathName: the 8.3 alias of each component of an existing path, as
// Windows generates them on its file systems.
//
// A component that is already a legal 8.3 name (at most eight characters, an
// optional dot and at most three, none of the characters 8.3 names refuse, no
// blank) comes back unchanged, in the case it has on disk. Any other name gets
// an alias: blanks and every dot but the last dropped, the characters
// + , ; = [ ] and every non-ASCII character turned into '_', letters upper-
// cased; the first six characters of the stem, "~" and a number, then the
// first three of the extension ("holiday.jpeg" -> "HOLIDA~1.JPE"). Names of one
// folder that share those parts are numbered ~1, ~2, ... in the order of their
// names (byte order), skipping aliases that exist as real names; from ~10 the
// stem gives up one character for each further digit.
//
// Linux keeps no aliases, so they are worked out from the folder's content
// whenever asked; an alias is not a name the file calls can open.

#include <string>

#include "platform/win/WinTypes.h"

// Writes the short form of `longPath` (a system path, see Paths.h; separators
// are kept as written) with its NUL into `shortPath` and returns its length.
// When `bufferLength` is too small, returns the size needed (NUL included) and
// leaves the buffer alone. 0 with the last error set when the path does not
// exist (ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND) or an argument is null
// (ERROR_INVALID_PARAMETER). `shortPath` may be `longPath`.
DWORD GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD bufferLength);
inline DWORD GetShortPathName(LPCSTR longPath, LPSTR shortPath, DWORD bufferLength) {
  return GetShortPathNameA(longPath, shortPath, bufferLength);
}

// The alias of one name inside a native folder (the name as it stands on disk).
std::string ShortNameInFolder(const std::string& nativeFolder, const std::string& name);

// True when the name is a legal 8.3 name that needs no alias.
bool IsLegalShortName(const std::string& name);
