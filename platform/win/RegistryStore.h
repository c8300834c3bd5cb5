#pragma once
// The registry: a file-backed store, one per user.
//
// Three roots (HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE) hold
// keys named by backslash paths ("CLSID\{...}\InprocServer32"); key and value
// names compare without regard to letter case and keep the case they were
// created with. Values are texts (REG_SZ) or 32-bit numbers (REG_DWORD); the
// value named "" is the key's default value.
//
// The store is a text file, by default "registry" in $HALVEX_HOME or, without
// it, in ~/.local/share/halvex; tests point it elsewhere with SetPath. Every
// call reads the file, and every change writes it again at once through a
// temporary file and a rename, under a lock file beside it, so that the host
// and the plug-in (and several processes) see one registry. A change is
// refused while the file is there but cannot be read.
//
// A change that answers false sets the thread's last error (SystemError.h),
// as the system's registry calls answer: ERROR_FILE_NOT_FOUND for a missing
// key or value, ERROR_INVALID_PARAMETER for a name or value refused, else the
// error of the file that could not be read or written.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/WinTypes.h"

struct HKEY__;
using HKEY = HKEY__*;

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u));

inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_DWORD = 4;

struct RegValue {
  DWORD type = REG_SZ;  // REG_SZ or REG_DWORD
  std::string text;     // REG_SZ
  DWORD number = 0;     // REG_DWORD
};

namespace RegistryStore {

// The store's file (a native path); an empty path restores the default.
void SetPath(const std::string& nativeFile);
std::string Path();

// The root's name ("HKEY_CURRENT_USER"), empty for an unknown root.
std::string RootName(HKEY root);

// Key paths are relative to the root; leading, trailing and doubled
// backslashes are ignored, and the empty path is the root itself, which always
// exists. Names holding control characters are refused (false).
bool KeyExists(HKEY root, const std::string& key);
// Creates the key with every missing parent; true when it exists afterwards.
bool CreateKey(HKEY root, const std::string& key);
// Deletes the key with all its sub-keys and values; false when it is missing
// (or is the root).
bool DeleteKey(HKEY root, const std::string& key);
// The same, where a key that is missing already is no failure: false only
// when the key could not be deleted (the store could not be written).
bool DeleteKeyIfPresent(HKEY root, const std::string& key);

// False when the key or the value is missing.
bool GetValue(HKEY root, const std::string& key, const std::string& name, RegValue& value);
// False when the key is missing or the store cannot be written. A value that
// holds this type and content already is left as it is: the file is not
// written, so an unwritable store refuses no such call.
bool SetValue(HKEY root, const std::string& key, const std::string& name, const RegValue& value);
bool DeleteValue(HKEY root, const std::string& key, const std::string& name);

// Reads the file as every call does: 0 when it could be read (or there is no
// file), else the errno of the failure (EISDIR: a folder at its path; EINVAL:
// something else that is no file). A store that cannot be read reads as
// empty to the lookups, and refuses every change.
int ReadError();

// Writes the file again with what it holds, as every change writes it, to
// learn whether a change could be written now: 0 when it could (or there is
// no file), else the errno of the read or write that failed.
int RewriteError();

// The names of the key's direct sub-keys and of its values, sorted without
// regard to case; empty when the key is missing.
std::vector<std::string> SubKeyNames(HKEY root, const std::string& key);
std::vector<std::string> ValueNames(HKEY root, const std::string& key);

}  // namespace RegistryStore
