#include "platform/win/FileTime.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <limits>

#include "platform/win/Paths.h"
#include "platform/win/SystemError.h"

namespace {

constexpr std::uint64_t kTicksPerSecond = 10000000;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kEpochSeconds = 11644473600;
constexpr std::uint64_t kMaxTicks = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t kNoChange = kMaxTicks;  // SetFileTime: leave (or stop updating) this time

// Seconds since 1970 (rounded down) and the 100 ns ticks left over.
void SplitTicks(std::uint64_t ticks, std::int64_t& seconds, std::uint64_t& rest) {
  const std::uint64_t whole = ticks / kTicksPerSecond;  // below 2^64 / 10^7, so it fits
  seconds = static_cast<std::int64_t>(whole) - kEpochSeconds;
  rest = ticks % kTicksPerSecond;
}

// Ticks of seconds since 1970 plus a rest; false outside the FILETIME range.
bool JoinTicks(std::int64_t seconds, std::uint64_t rest, std::uint64_t& ticks) {
  if (seconds < -kEpochSeconds) return false;
  const auto since1601 = static_cast<std::uint64_t>(seconds + kEpochSeconds);
  if (since1601 > (kMaxTicks - rest) / kTicksPerSecond) return false;
  ticks = since1601 * kTicksPerSecond + rest;
  return true;
}

bool IsLeapYear(unsigned year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

unsigned DaysInMonth(unsigned year, unsigned month) {
  static const unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

void SystemTimeFromTm(const std::tm& tm, unsigned milliseconds, SYSTEMTIME* st) {
  st->wYear = static_cast<WORD>(tm.tm_year + 1900);
  st->wMonth = static_cast<WORD>(tm.tm_mon + 1);
  st->wDayOfWeek = static_cast<WORD>(tm.tm_wday);
  st->wDay = static_cast<WORD>(tm.tm_mday);
  st->wHour = static_cast<WORD>(tm.tm_hour);
  st->wMinute = static_cast<WORD>(tm.tm_min);
  st->wSecond = static_cast<WORD>(tm.tm_sec > 59 ? 59 : tm.tm_sec);
  st->wMilliseconds = static_cast<WORD>(milliseconds);
}

BOOL Fail(DWORD code) {
  SetLastError(code);
  return FALSE;
}

void FillTimes(const struct stat& st, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite) {
  const FILETIME written = FileTimeFromTimespec(st.st_mtim);
  if (creation != nullptr) *creation = written;  // no creation time on Linux
  if (lastAccess != nullptr) *lastAccess = FileTimeFromTimespec(st.st_atim);
  if (lastWrite != nullptr) *lastWrite = written;
}

// The utimensat/futimens argument for one time.
timespec TimeToSet(const FILETIME* ft) {
  if (ft != nullptr) {
    const std::uint64_t ticks = FileTimeToUInt64(*ft);
    if (ticks != 0 && ticks != kNoChange) return FileTimeToTimespec(*ft);
  }
  timespec omit{};
  omit.tv_nsec = UTIME_OMIT;
  return omit;
}

}  // namespace

FILETIME FileTimeFromTimespec(const timespec& ts) {
  const long nsec = ts.tv_nsec < 0 ? 0 : (ts.tv_nsec > 999999999 ? 999999999 : ts.tv_nsec);
  std::uint64_t ticks;
  if (JoinTicks(ts.tv_sec, static_cast<std::uint64_t>(nsec) / 100, ticks)) return UInt64ToFileTime(ticks);
  return UInt64ToFileTime(ts.tv_sec < 0 ? 0 : kMaxTicks);
}

timespec FileTimeToTimespec(const FILETIME& ft) {
  std::int64_t seconds;
  std::uint64_t rest;
  SplitTicks(FileTimeToUInt64(ft), seconds, rest);
  timespec ts{};
  ts.tv_sec = static_cast<std::time_t>(seconds);
  ts.tv_nsec = static_cast<long>(rest * 100);
  return ts;
}

FILETIME FileTimeFromTimeT(std::time_t t) {
  timespec ts{};
  ts.tv_sec = t;
  return FileTimeFromTimespec(ts);
}

std::time_t FileTimeToTimeT(const FILETIME& ft) { return FileTimeToTimespec(ft).tv_sec; }

LONG CompareFileTime(const FILETIME* a, const FILETIME* b) {
  const std::uint64_t x = FileTimeToUInt64(*a), y = FileTimeToUInt64(*b);
  return x < y ? -1 : (x > y ? 1 : 0);
}

BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localFileTime) {
  if (fileTime == nullptr || localFileTime == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  std::int64_t seconds;
  std::uint64_t rest;
  SplitTicks(FileTimeToUInt64(*fileTime), seconds, rest);
  const auto t = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (::localtime_r(&t, &local) == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  std::uint64_t ticks;
  if (!JoinTicks(seconds + local.tm_gmtoff, rest, ticks)) return Fail(ERROR_INVALID_PARAMETER);
  *localFileTime = UInt64ToFileTime(ticks);
  return TRUE;
}

BOOL LocalFileTimeToFileTime(const FILETIME* localFileTime, FILETIME* fileTime) {
  if (fileTime == nullptr || localFileTime == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  std::int64_t seconds;
  std::uint64_t rest;
  SplitTicks(FileTimeToUInt64(*localFileTime), seconds, rest);
  // The local calendar parts, read back through the time zone.
  const auto t = static_cast<std::time_t>(seconds);
  std::tm parts{};
  if (::gmtime_r(&t, &parts) == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  parts.tm_isdst = -1;
  errno = 0;
  const std::time_t utc = ::mktime(&parts);
  if (utc == static_cast<std::time_t>(-1) && errno != 0) return Fail(ERROR_INVALID_PARAMETER);
  std::uint64_t ticks;
  if (!JoinTicks(utc, rest, ticks)) return Fail(ERROR_INVALID_PARAMETER);
  *fileTime = UInt64ToFileTime(ticks);
  return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime) {
  if (fileTime == nullptr || systemTime == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  const std::uint64_t ticks = FileTimeToUInt64(*fileTime);
  if (ticks >= 0x8000000000000000ull) return Fail(ERROR_INVALID_PARAMETER);
  std::int64_t seconds;
  std::uint64_t rest;
  SplitTicks(ticks, seconds, rest);
  const auto t = static_cast<std::time_t>(seconds);
  std::tm parts{};
  if (::gmtime_r(&t, &parts) == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  SystemTimeFromTm(parts, static_cast<unsigned>(rest / 10000), systemTime);
  return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* fileTime) {
  if (st == nullptr || fileTime == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  if (st->wYear < 1601 || st->wYear > 30827 || st->wMonth < 1 || st->wMonth > 12 || st->wDay < 1 ||
      st->wDay > DaysInMonth(st->wYear, st->wMonth) || st->wHour > 23 || st->wMinute > 59 || st->wSecond > 59 ||
      st->wMilliseconds > 999)
    return Fail(ERROR_INVALID_PARAMETER);
  std::tm parts{};
  parts.tm_year = st->wYear - 1900;
  parts.tm_mon = st->wMonth - 1;
  parts.tm_mday = st->wDay;
  parts.tm_hour = st->wHour;
  parts.tm_min = st->wMinute;
  parts.tm_sec = st->wSecond;
  const std::time_t t = ::timegm(&parts);
  std::uint64_t ticks;
  if (!JoinTicks(t, std::uint64_t{st->wMilliseconds} * 10000, ticks)) return Fail(ERROR_INVALID_PARAMETER);
  *fileTime = UInt64ToFileTime(ticks);
  return TRUE;
}

void GetSystemTimeAsFileTime(FILETIME* fileTime) {
  timespec ts{};
  ::clock_gettime(CLOCK_REALTIME, &ts);
  *fileTime = FileTimeFromTimespec(ts);
}

void GetSystemTime(SYSTEMTIME* systemTime) {
  timespec ts{};
  ::clock_gettime(CLOCK_REALTIME, &ts);
  std::tm parts{};
  ::gmtime_r(&ts.tv_sec, &parts);
  SystemTimeFromTm(parts, static_cast<unsigned>(ts.tv_nsec / 1000000), systemTime);
}

void GetLocalTime(SYSTEMTIME* systemTime) {
  timespec ts{};
  ::clock_gettime(CLOCK_REALTIME, &ts);
  std::tm parts{};
  ::localtime_r(&ts.tv_sec, &parts);
  SystemTimeFromTm(parts, static_cast<unsigned>(ts.tv_nsec / 1000000), systemTime);
}

BOOL GetPathFileTime(const std::string& path, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite) {
  const std::string native = ToNativePath(path);
  struct stat st;
  if (::stat(native.c_str(), &st) != 0) {
    SetLastErrorForPath(errno, native);
    return FALSE;
  }
  FillTimes(st, creation, lastAccess, lastWrite);
  return TRUE;
}

namespace {

// The times of a native path, relative to the folder open as `folderFd`
// (AT_FDCWD: the working folder); the errno of a failure, 0 when set.
int SetTimesAt(int folderFd, const char* native, const FILETIME* lastAccess, const FILETIME* lastWrite) {
  const timespec times[2] = {TimeToSet(lastAccess), TimeToSet(lastWrite)};
  // With nothing to set the path must still exist.
  struct stat st;
  const bool nothing = times[0].tv_nsec == UTIME_OMIT && times[1].tv_nsec == UTIME_OMIT;
  if (nothing ? ::fstatat(folderFd, native, &st, 0) != 0 : ::utimensat(folderFd, native, times, 0) != 0) return errno;
  return 0;
}

}  // namespace

BOOL SetPathFileTime(const std::string& path, const FILETIME*, const FILETIME* lastAccess, const FILETIME* lastWrite) {
  const std::string native = ToNativePath(path);
  if (const int error = SetTimesAt(AT_FDCWD, native.c_str(), lastAccess, lastWrite); error != 0) {
    SetLastErrorForPath(error, native);
    return FALSE;
  }
  return TRUE;
}

BOOL SetEntryFileTime(int folderFd, const std::string& name, const FILETIME* lastAccess, const FILETIME* lastWrite) {
  if (const int error = SetTimesAt(folderFd, name.c_str(), lastAccess, lastWrite); error != 0) {
    SetLastErrorFromErrno(error);
    return FALSE;
  }
  return TRUE;
}

BOOL GetDescriptorFileTime(int fd, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite) {
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  FillTimes(st, creation, lastAccess, lastWrite);
  return TRUE;
}

BOOL SetDescriptorFileTime(int fd, const FILETIME*, const FILETIME* lastAccess, const FILETIME* lastWrite) {
  const timespec times[2] = {TimeToSet(lastAccess), TimeToSet(lastWrite)};
  if (::futimens(fd, times) != 0) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}
