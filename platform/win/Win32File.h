#pragma once
// The Win32 file-handle calls over POSIX files.
//
// Names are system paths (see Paths.h): backslashes and names that differ in
// case from what exists are resolved at this boundary. A HANDLE carries an open
// file descriptor. Every call sets the thread's last error (SystemError.h) when
// it fails, with the Win32 codes callers test for. Share modes are accepted
// and not enforced: POSIX files know no sharing violations. Overlapped (queued)
// reads and writes are not offered.

#include <cstdint>

#include "platform/win/FileTime.h"
#include "platform/win/SystemError.h"
#include "platform/win/WinTypes.h"

using LPDWORD = DWORD*;
using PLONG = LONG*;
using LPSECURITY_ATTRIBUTES = void*;
struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED*;

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

inline constexpr DWORD GENERIC_READ = 0x80000000u;
inline constexpr DWORD GENERIC_WRITE = 0x40000000u;

inline constexpr DWORD FILE_SHARE_READ = 0x1;
inline constexpr DWORD FILE_SHARE_WRITE = 0x2;
inline constexpr DWORD FILE_SHARE_DELETE = 0x4;

inline constexpr DWORD CREATE_NEW = 1;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD TRUNCATE_EXISTING = 5;

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;

inline constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;
inline constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFFu;
inline constexpr DWORD FILE_BEGIN = 0;
inline constexpr DWORD FILE_CURRENT = 1;
inline constexpr DWORD FILE_END = 2;

// Opens or creates a file. access: GENERIC_READ and/or GENERIC_WRITE (0 opens
// for reading the file's size and times). disposition:
//   CREATE_NEW         create; fails with ERROR_FILE_EXISTS when it exists
//   CREATE_ALWAYS      create or empty; last error ERROR_ALREADY_EXISTS when it existed
//   OPEN_EXISTING      open; ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND when missing
//   OPEN_ALWAYS        open or create; last error ERROR_ALREADY_EXISTS when it existed
//   TRUNCATE_EXISTING  open and empty (needs GENERIC_WRITE)
// A folder cannot be opened (ERROR_ACCESS_DENIED). INVALID_HANDLE_VALUE on failure.
// Share mode, security attributes, flags and template are not used.
HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);

// Reads up to `toRead` bytes; fewer only at the end of the file. `bytesRead`
// (may be null) receives the count. Overlapped must be null.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD bytesRead, LPOVERLAPPED overlapped);
// Writes all `toWrite` bytes or fails (ERROR_DISK_FULL, ...); `bytesWritten`
// (may be null) receives what was written.
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD bytesWritten, LPOVERLAPPED overlapped);
BOOL CloseHandle(HANDLE object);

// The low 32 bits of the size, the high ones into `sizeHigh` when it is not
// null; INVALID_FILE_SIZE with the last error set on failure (the last error is
// ERROR_SUCCESS when the size only looks like it).
DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh);
// Moves the file position; a non-null `distanceHigh` makes the distance 64
// bits wide and receives the high half of the new position. Returns the low
// half, or INVALID_SET_FILE_POINTER with the last error set (ERROR_SUCCESS when
// the position only looks like it); a position before the start fails with
// ERROR_NEGATIVE_SEEK.
DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod);

// The file's times (see FileTime.h: creation reads as last write, setting it
// has no effect; a time of 0 or all ones leaves it unchanged).
BOOL GetFileTime(HANDLE file, LPFILETIME creation, LPFILETIME lastAccess, LPFILETIME lastWrite);
BOOL SetFileTime(HANDLE file, const FILETIME* creation, const FILETIME* lastAccess, const FILETIME* lastWrite);

// Deletes a file (a folder gives ERROR_ACCESS_DENIED).
BOOL DeleteFileA(LPCSTR fileName);
// FILE_ATTRIBUTE_DIRECTORY for a folder, FILE_ATTRIBUTE_NORMAL for a file
// (FILE_ATTRIBUTE_READONLY instead when nobody may write it);
// INVALID_FILE_ATTRIBUTES with the last error set when the path does not exist.
DWORD GetFileAttributesA(LPCSTR fileName);
// Creates one folder; ERROR_ALREADY_EXISTS when it exists, ERROR_PATH_NOT_FOUND
// when its parent is missing.
BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES security);
// Removes an empty folder; ERROR_DIR_NOT_EMPTY otherwise.
BOOL RemoveDirectoryA(LPCSTR pathName);

inline HANDLE CreateFile(LPCSTR fileName, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                         DWORD disposition, DWORD flagsAndAttributes, HANDLE templateFile) {
  return CreateFileA(fileName, access, shareMode, security, disposition, flagsAndAttributes, templateFile);
}
inline BOOL DeleteFile(LPCSTR fileName) { return DeleteFileA(fileName); }
inline DWORD GetFileAttributes(LPCSTR fileName) { return GetFileAttributesA(fileName); }
inline BOOL CreateDirectory(LPCSTR pathName, LPSECURITY_ATTRIBUTES security) {
  return CreateDirectoryA(pathName, security);
}
inline BOOL RemoveDirectory(LPCSTR pathName) { return RemoveDirectoryA(pathName); }
