#pragma once
// The shell's delete operation with its recycle bin.
//
// The recycle bin is a folder of this layer: by default "halvex/Trash" in
// $XDG_DATA_HOME or, without it, in ~/.local/share; tests point it elsewhere.
// A recycled file or folder is moved there whole under its own name (with
// " (2)", " (3)", ... before its extension when that name is taken), so that a
// person can take it back.

#include <string>

// The bin's folder (a native path); an empty path restores the default.
void SetRecycleBinPath(const std::string& nativeFolder);
std::string RecycleBinPath();

// Deletes the entries of a list of system paths (see Paths.h), each ended by
// a NUL, the list ended by a second NUL, silently and without asking: into the
// recycle bin, or for good (folders with all their content) when `permanent`
// is set. The last component of a path may hold the wildcards '*' and '?'.
// Entries that cannot be deleted are skipped. True when every path named at
// least one entry and every entry was deleted; false otherwise (a null or
// empty list included).
bool ShellDeletePaths(const char* pathList, bool permanent);
