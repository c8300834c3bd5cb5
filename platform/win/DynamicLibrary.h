#pragma once
// Loading shared libraries at run time, in place of Win32's LoadLibrary,
// GetProcAddress and FreeLibrary.
//
// A Windows library name maps to the shared library of the same stem:
// "mypnglib.dll" is "libmypnglib.so" (the stem in lower case, as Linux names
// libraries). A name with a folder ("C:\\Prog\\mypnglib.dll" or a native
// path) is looked for in that folder only; a plain name goes through the
// system's library search path. Loading the same library twice gives the same
// handle and needs two FreeLibrary calls, as on Windows.
//
// The handle is a module record (platform/win/Resources.h) of its own, so the
// resource calls accept it and find nothing in it.

#include <string>

#include "platform/win/WinTypes.h"

using FARPROC = void (*)();

// The library, or null when it cannot be loaded (missing, or not a library).
HMODULE LoadLibrary(LPCSTR fileName);
// The address of an exported name, or null (also for a null or unknown
// module).
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
// Drops one reference; the library is unloaded with the last. FALSE for a
// handle that LoadLibrary did not give.
BOOL FreeLibrary(HMODULE module);

// The shared-library file name that a Windows library name maps to ("x.dll"
// -> "libx.so"); other names stay as they are.
std::string SharedLibraryFileName(const std::string& windowsName);

// The folder of the plug-in module (the file that holds this code), without a
// trailing separator. Tests and the host may set another folder; an empty
// text goes back to the module's own folder.
std::string PluginModuleFolder();
void SetPluginModuleFolder(const std::string& folder);
