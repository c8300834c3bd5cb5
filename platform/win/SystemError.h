#pragma once
// The thread's last error and the system's error texts, as the Win32 calls
// gave them.
//
// The file calls of this layer set the last error from errno, mapped to the
// Win32 codes that callers test for (file not found, path not found, access
// denied, file exists, ...). An errno without a Win32 counterpart travels as
// an application code: bit 29 set and the errno in the low bits, so that its
// text can still be found. Several errno values share one code (EACCES and
// EPERM are both "access denied"): the errno that the last error was set from
// is kept beside it, so that the text a user reads names the system's own
// reason ("Operation not permitted" for an immutable file, not "Permission
// denied").

#include <cstdarg>
#include <string>

#include "platform/win/WinTypes.h"

using LPCVOID = const void*;
using HLOCAL = void*;

inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_INVALID_FUNCTION = 1;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_TOO_MANY_OPEN_FILES = 4;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_OUTOFMEMORY = 14;
inline constexpr DWORD ERROR_NOT_SAME_DEVICE = 17;
inline constexpr DWORD ERROR_WRITE_PROTECT = 19;
inline constexpr DWORD ERROR_SHARING_VIOLATION = 32;
inline constexpr DWORD ERROR_HANDLE_EOF = 38;
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;
inline constexpr DWORD ERROR_FILE_EXISTS = 80;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_BROKEN_PIPE = 109;
inline constexpr DWORD ERROR_DISK_FULL = 112;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_INVALID_NAME = 123;
inline constexpr DWORD ERROR_NEGATIVE_SEEK = 131;
inline constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
inline constexpr DWORD ERROR_BUSY = 170;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;
inline constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr DWORD ERROR_FILE_TOO_LARGE = 223;
inline constexpr DWORD ERROR_DIRECTORY = 267;
inline constexpr DWORD ERROR_MR_MID_NOT_FOUND = 317;
inline constexpr DWORD ERROR_IO_DEVICE = 1117;
inline constexpr DWORD ERROR_TIMEOUT = 1460;
inline constexpr DWORD ERROR_CANT_RESOLVE_FILENAME = 1921;

// The calling thread's last error. SetLastError drops the errno kept beside
// the code: the code alone then stands for its reason.
DWORD GetLastError();
void SetLastError(DWORD code);

// The Win32 code of an errno value (see above); 0 for 0.
DWORD Win32ErrorFromErrno(int error);
// Sets the last error from an errno value, which is kept beside it.
void SetLastErrorFromErrno(int error);
// The same for a call on a native path, where a missing entry gives
// ERROR_PATH_NOT_FOUND instead of ERROR_FILE_NOT_FOUND when its folder is
// missing too, as Windows tells the two apart.
void SetLastErrorForPath(int error, const std::string& nativePath);
// The last error whole, its code and the errno kept beside it: what a caller
// puts back after calls that change it (a clean-up after a failure).
struct TLastError {
  DWORD code = ERROR_SUCCESS;
  int error = 0;
};
TLastError SavedLastError();
void RestoreLastError(const TLastError& saved);
// The errno behind the calling thread's last error: the one it was set from,
// else the one whose text stands for its code; 0 for none (no error, or a code
// without a system text).
int LastErrorErrno();

// FormatMessage flags.
inline constexpr DWORD FORMAT_MESSAGE_ALLOCATE_BUFFER = 0x00000100;
inline constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x00000200;
inline constexpr DWORD FORMAT_MESSAGE_FROM_STRING = 0x00000400;
inline constexpr DWORD FORMAT_MESSAGE_FROM_HMODULE = 0x00000800;
inline constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x00001000;
inline constexpr DWORD FORMAT_MESSAGE_ARGUMENT_ARRAY = 0x00002000;

// Language ids: neutral language, default sub-language.
inline constexpr DWORD LANG_NEUTRAL = 0x00;
inline constexpr DWORD SUBLANG_DEFAULT = 0x01;
constexpr DWORD MAKELANGID(DWORD primary, DWORD sub) { return (sub << 10) | primary; }

// The system's text of an error code, the only source this layer has
// (FORMAT_MESSAGE_FROM_SYSTEM must be given). Codes are Win32 errors, the
// HRESULTs that wrap them (0x8007xxxx) and the errno codes above; the text is
// the operating system's sentence for the matching errno, ended by CR LF as the
// system's message table ends it. The language and inserts are ignored.
// With FORMAT_MESSAGE_ALLOCATE_BUFFER `buffer` points to a char* that receives
// a new buffer of at least `size` bytes (at most 64 KB are honoured), to be
// freed with LocalFree; otherwise the text and its NUL go into `buffer` of
// `size` bytes. Returns the length of the text, or 0 with the last error set:
// ERROR_MR_MID_NOT_FOUND when the code has no text, ERROR_INSUFFICIENT_BUFFER
// when it does not fit, ERROR_INVALID_PARAMETER for another source or a null
// buffer.
DWORD FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPSTR buffer, DWORD size,
                     va_list* arguments);
inline DWORD FormatMessage(DWORD flags, LPCVOID source, DWORD messageId, DWORD languageId, LPSTR buffer, DWORD size,
                           va_list* arguments) {
  return FormatMessageA(flags, source, messageId, languageId, buffer, size, arguments);
}

// Frees a buffer that FormatMessage allocated. Returns null.
HLOCAL LocalFree(HLOCAL memory);

// The text FormatMessage gives for a code (with its CR LF), empty when none.
std::string SystemMessageText(DWORD code);
// The text of the calling thread's last error, ended by CR LF: the sentence
// of the errno it was set from when one is kept, else SystemMessageText of its
// code.
std::string LastErrorText();
// The operating system's sentence for an errno value (strerror), without a
// line end: "No space left on device".
std::string ErrnoText(int error);
