#pragma once
// FILETIME and SYSTEMTIME, their conversions, and the times of files.
//
// A FILETIME counts 100-nanosecond intervals since 1601-01-01 00:00 UTC (or,
// for a local file time, since that moment of the local calendar). File times
// are kept to the full 100 ns in both directions. Linux keeps no creation time
// that can be set: the creation time of a file reads as its last-write time,
// and setting it has no effect.

#include <cstdint>
#include <ctime>
#include <string>

#include "platform/win/WinTypes.h"

struct SYSTEMTIME {
  WORD wYear = 0;
  WORD wMonth = 0;
  WORD wDayOfWeek = 0;  // 0 = Sunday
  WORD wDay = 0;
  WORD wHour = 0;
  WORD wMinute = 0;
  WORD wSecond = 0;
  WORD wMilliseconds = 0;
};

using LPFILETIME = FILETIME*;

// The FILETIME of 1970-01-01 00:00 UTC.
inline constexpr std::uint64_t FILETIME_UNIX_EPOCH = 116444736000000000ull;

inline std::uint64_t FileTimeToUInt64(const FILETIME& ft) {
  return (std::uint64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime;
}
inline FILETIME UInt64ToFileTime(std::uint64_t ticks) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(ticks);
  ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return ft;
}

// Between FILETIME and the C library's times. Nanoseconds are cut to whole
// 100 ns; times before 1601 become 0 and times past the FILETIME range its
// largest value.
FILETIME FileTimeFromTimespec(const timespec& ts);
timespec FileTimeToTimespec(const FILETIME& ft);
FILETIME FileTimeFromTimeT(std::time_t t);
std::time_t FileTimeToTimeT(const FILETIME& ft);  // whole seconds, rounded down

// -1, 0 or 1 as a is earlier than, equal to or later than b.
LONG CompareFileTime(const FILETIME* a, const FILETIME* b);

// UTC to the local calendar and back, with the time zone and daylight saving
// in force at that moment. FALSE for null arguments or a result outside the
// FILETIME range.
BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localFileTime);
BOOL LocalFileTimeToFileTime(const FILETIME* localFileTime, FILETIME* fileTime);

// A FILETIME to calendar parts (with the day of the week) and back. FALSE for
// null arguments, a FILETIME of 0x8000000000000000 or more, or parts that name
// no moment (year 1601 to 30827, month 1-12, a day of that month, hour 0-23,
// minute and second 0-59, milliseconds 0-999; the day of the week is not read).
// The conversions set ERROR_INVALID_PARAMETER when they fail.
BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime);
BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, FILETIME* fileTime);

// The current time: as a FILETIME, in UTC parts, in local parts.
void GetSystemTimeAsFileTime(FILETIME* fileTime);
void GetSystemTime(SYSTEMTIME* systemTime);
void GetLocalTime(SYSTEMTIME* systemTime);

// The times of the file or folder at a system path (see Paths.h), like
// GetFileTime/SetFileTime on a handle. Null pointers skip a time; in
// SetPathFileTime a time of 0 or 0xFFFFFFFFFFFFFFFF leaves it unchanged, too.
// FALSE with the last error set when the path cannot be reached.
BOOL GetPathFileTime(const std::string& path, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite);
BOOL SetPathFileTime(const std::string& path, const FILETIME* creation, const FILETIME* lastAccess,
                     const FILETIME* lastWrite);
// The same for the entry `name` (one component, taken as it is) of the folder
// open as the descriptor `folderFd`.
BOOL SetEntryFileTime(int folderFd, const std::string& name, const FILETIME* lastAccess, const FILETIME* lastWrite);

// The same on an open file descriptor (for the handle calls of Win32File.h).
BOOL GetDescriptorFileTime(int fd, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite);
BOOL SetDescriptorFileTime(int fd, const FILETIME* creation, const FILETIME* lastAccess, const FILETIME* lastWrite);
