#include "platform/win/SystemError.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;
// The errno the last error was set from (0: none kept).
thread_local int lastErrno = 0;

// Application codes (bit 29) carry an errno that has no Win32 counterpart.
constexpr DWORD kErrnoCode = 0x20000000u;

struct ErrnoPair {
  int error;
  DWORD code;
};

// errno -> Win32 code. The first entry of a code also gives the errno whose
// text stands for that code.
constexpr ErrnoPair kPairs[] = {
    {ENOENT, ERROR_FILE_NOT_FOUND},
    {ENOENT, ERROR_PATH_NOT_FOUND},
    {ENOTDIR, ERROR_PATH_NOT_FOUND},
    {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENFILE, ERROR_TOO_MANY_OPEN_FILES},
    {EACCES, ERROR_ACCESS_DENIED},
    {EPERM, ERROR_ACCESS_DENIED},
    {EISDIR, ERROR_ACCESS_DENIED},
    {EBADF, ERROR_INVALID_HANDLE},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
    {ENOMEM, ERROR_OUTOFMEMORY},
    {EXDEV, ERROR_NOT_SAME_DEVICE},
    {EROFS, ERROR_WRITE_PROTECT},
    {EBUSY, ERROR_SHARING_VIOLATION},
    {ETXTBSY, ERROR_SHARING_VIOLATION},
    {ENOTSUP, ERROR_NOT_SUPPORTED},
    {EOPNOTSUPP, ERROR_NOT_SUPPORTED},
    {EEXIST, ERROR_FILE_EXISTS},
    {EEXIST, ERROR_ALREADY_EXISTS},
    {EINVAL, ERROR_INVALID_PARAMETER},
    {EINVAL, ERROR_INVALID_NAME},
    {EINVAL, ERROR_NEGATIVE_SEEK},
    {EPIPE, ERROR_BROKEN_PIPE},
    {ENOSPC, ERROR_DISK_FULL},
    {EDQUOT, ERROR_DISK_FULL},
    {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},
    {EBUSY, ERROR_BUSY},
    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
    {EFBIG, ERROR_FILE_TOO_LARGE},
    {ENOTDIR, ERROR_DIRECTORY},
    {EIO, ERROR_IO_DEVICE},
    {ETIMEDOUT, ERROR_TIMEOUT},
    {ELOOP, ERROR_CANT_RESOLVE_FILENAME},
};

// The errno whose text stands for a code; -1 when there is none.
int ErrnoOfCode(DWORD code) {
  if ((code & 0xFFFF0000u) == 0x80070000u) code &= 0xFFFFu;  // HRESULT of a Win32 error
  if (code == ERROR_SUCCESS) return 0;
  if ((code & 0xFFFF0000u) == kErrnoCode) return static_cast<int>(code & 0xFFFFu);
  for (const ErrnoPair& p : kPairs)
    if (p.code == code) return p.error;
  return -1;
}

// strerror_r comes in two flavours; both end here.
[[maybe_unused]] const char* PickText(int result, const char* buffer) { return result == 0 ? buffer : ""; }
[[maybe_unused]] const char* PickText(const char* result, const char*) { return result != nullptr ? result : ""; }

}  // namespace

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD code) {
  lastError = code;
  lastErrno = 0;
}

DWORD Win32ErrorFromErrno(int error) {
  if (error == 0) return ERROR_SUCCESS;
  if (error == ENOTDIR) return ERROR_PATH_NOT_FOUND;
  if (error == EEXIST) return ERROR_FILE_EXISTS;
  if (error == EBUSY) return ERROR_BUSY;
  for (const ErrnoPair& p : kPairs)
    if (p.error == error) return p.code;
  return kErrnoCode | (static_cast<DWORD>(error) & 0xFFFFu);
}

void SetLastErrorFromErrno(int error) {
  lastError = Win32ErrorFromErrno(error);
  lastErrno = error;
}

TLastError SavedLastError() { return TLastError{lastError, lastErrno}; }

void RestoreLastError(const TLastError& saved) {
  lastError = saved.code;
  lastErrno = saved.error;
}

int LastErrorErrno() {
  if (lastErrno != 0) return lastErrno;
  const int error = ErrnoOfCode(lastError);
  return error < 0 ? 0 : error;
}

void SetLastErrorForPath(int error, const std::string& nativePath) {
  if (error == ENOENT) {
    std::string folder = nativePath;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    const std::size_t slash = folder.rfind('/');
    folder = slash == std::string::npos ? "." : slash == 0 ? "/" : folder.substr(0, slash);
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      SetLastError(ERROR_PATH_NOT_FOUND);
      return;
    }
  }
  SetLastErrorFromErrno(error);
}

std::string ErrnoText(int error) {
  char buffer[256] = {};
  return PickText(strerror_r(error, buffer, sizeof buffer), buffer);
}

std::string SystemMessageText(DWORD code) {
  const int error = ErrnoOfCode(code);
  if (error < 0) return std::string();
  std::string text = ErrnoText(error);
  if (text.empty()) return text;
  text += "\r\n";
  return text;
}

std::string LastErrorText() {
  if (lastErrno == 0) return SystemMessageText(lastError);
  std::string text = ErrnoText(lastErrno);
  if (!text.empty()) text += "\r\n";
  return text;
}

DWORD FormatMessageA(DWORD flags, LPCVOID, DWORD messageId, DWORD, LPSTR buffer, DWORD size, va_list*) {
  if ((flags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 ||
      (flags & (FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_FROM_HMODULE)) != 0 || buffer == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::string text = SystemMessageText(messageId);
  if (text.empty()) {
    SetLastError(ERROR_MR_MID_NOT_FOUND);
    return 0;
  }
  const auto length = static_cast<DWORD>(text.size());
  if ((flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0) {
    // The size asked for is a minimum; like the system, no more than 64 KB.
    constexpr std::size_t kMaxAllocated = std::size_t{64} << 10;
    const std::size_t wanted = size < kMaxAllocated ? size : kMaxAllocated;
    const std::size_t bytes = wanted > length + 1 ? wanted : length + 1;
    auto* memory = static_cast<char*>(std::calloc(bytes, 1));
    if (memory == nullptr) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return 0;
    }
    std::memcpy(memory, text.c_str(), length + 1);
    *reinterpret_cast<char**>(buffer) = memory;
    return length;
  }
  if (size < length + 1) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(buffer, text.c_str(), length + 1);
  return length;
}

HLOCAL LocalFree(HLOCAL memory) {
  std::free(memory);
  return nullptr;
}
