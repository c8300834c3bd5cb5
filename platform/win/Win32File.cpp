#include "platform/win/Win32File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>

#include "platform/win/FileFault.h"
#include "platform/win/Paths.h"
#include "platform/win/WriteFault.h"

namespace {

// A handle is the descriptor plus one, so that neither null nor
// INVALID_HANDLE_VALUE is ever a valid handle.
HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(fd) + 1); }

int DescriptorOf(HANDLE h) {
  const auto v = reinterpret_cast<std::intptr_t>(h);
  if (v <= 0 || v > INT_MAX) return -1;
  return static_cast<int>(v - 1);
}

BOOL Fail(DWORD code) {
  SetLastError(code);
  return FALSE;
}

// EBADF on a descriptor that is open means the handle lacks the access asked
// for, which Windows reports as access denied.
void SetLastErrorForTransfer(int fd, int error) {
  if (error == EBADF && ::fcntl(fd, F_GETFD) != -1)
    SetLastError(ERROR_ACCESS_DENIED);
  else
    SetLastErrorFromErrno(error);
}

int OpenNative(const std::string& native, int flags) { return ::open(native.c_str(), flags | O_CLOEXEC, 0666); }

}  // namespace

HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD, HANDLE) {
  if (fileName == nullptr || *fileName == '\0') {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  const bool read = (access & GENERIC_READ) != 0, write = (access & GENERIC_WRITE) != 0;
  const int mode = write ? (read ? O_RDWR : O_WRONLY) : O_RDONLY;
  if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING || (disposition == TRUNCATE_EXISTING && !write)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const std::string native = ToNativePath(fileName);
  if ((write || disposition != OPEN_EXISTING) && FileOpFault(TFileOp::kCreate, native) != 0) {
    SetLastErrorForPath(errno, native);
    return INVALID_HANDLE_VALUE;
  }
  int fd = -1;
  bool existed = false;
  switch (disposition) {
    case CREATE_NEW: fd = OpenNative(native, mode | O_CREAT | O_EXCL); break;
    case OPEN_EXISTING: fd = OpenNative(native, mode); break;
    case TRUNCATE_EXISTING: fd = OpenNative(native, mode | O_TRUNC); break;
    default:  // CREATE_ALWAYS, OPEN_ALWAYS: tell a new file from an old one without a race
      for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        fd = OpenNative(native, mode | O_CREAT | O_EXCL);
        if (fd >= 0 || errno != EEXIST) break;
        fd = OpenNative(native, mode | (disposition == CREATE_ALWAYS ? O_TRUNC : 0));
        if (fd >= 0)
          existed = true;
        else if (errno != ENOENT)
          break;  // ENOENT: removed meanwhile, try again
      }
      break;
  }
  if (fd < 0) {
    SetLastErrorForPath(errno, native);
    return INVALID_HANDLE_VALUE;
  }
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return HandleOf(fd);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD bytesRead, LPOVERLAPPED overlapped) {
  if (bytesRead != nullptr) *bytesRead = 0;
  const int fd = DescriptorOf(file);
  if (fd < 0) return Fail(ERROR_INVALID_HANDLE);
  if (overlapped != nullptr || (buffer == nullptr && toRead > 0)) return Fail(ERROR_INVALID_PARAMETER);
  auto* p = static_cast<char*>(buffer);
  DWORD done = 0;
  while (done < toRead) {
    const ssize_t r = ::read(fd, p + done, toRead - done);
    if (r < 0) {
      if (errno == EINTR) continue;
      SetLastErrorForTransfer(fd, errno);
      if (bytesRead != nullptr) *bytesRead = done;
      return FALSE;
    }
    if (r == 0) break;
    done += static_cast<DWORD>(r);
  }
  if (bytesRead != nullptr) *bytesRead = done;
  return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD bytesWritten, LPOVERLAPPED overlapped) {
  if (bytesWritten != nullptr) *bytesWritten = 0;
  const int fd = DescriptorOf(file);
  if (fd < 0) return Fail(ERROR_INVALID_HANDLE);
  if (overlapped != nullptr || (buffer == nullptr && toWrite > 0)) return Fail(ERROR_INVALID_PARAMETER);
  if (const int error = toWrite > 0 ? FileOpFaultOnFd(TFileOp::kWrite, fd) : 0; error != 0) {
    CountFileWriteFailure();
    SetLastErrorFromErrno(error);
    return FALSE;
  }
  const auto* p = static_cast<const char*>(buffer);
  DWORD done = 0;
  while (done < toWrite) {
    const std::size_t allowed = AllowedFileWriteSize(toWrite - done);
    if (allowed == 0) {
      CountFileWriteFailure();
      SetLastError(ERROR_DISK_FULL);
      if (bytesWritten != nullptr) *bytesWritten = done;
      return FALSE;
    }
    const ssize_t w = ::write(fd, p + done, allowed);
    if (w < 0) {
      if (errno == EINTR) continue;
      CountFileWriteFailure();
      SetLastErrorForTransfer(fd, errno);
      if (bytesWritten != nullptr) *bytesWritten = done;
      return FALSE;
    }
    done += static_cast<DWORD>(w);
  }
  if (bytesWritten != nullptr) *bytesWritten = done;
  return TRUE;
}

BOOL CloseHandle(HANDLE object) {
  const int fd = DescriptorOf(object);
  if (fd < 0) return Fail(ERROR_INVALID_HANDLE);
  // The descriptor is released even when close reports an error (EINTR, EIO).
  if (::close(fd) != 0 && errno == EBADF) return Fail(ERROR_INVALID_HANDLE);
  return TRUE;
}

DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh) {
  const int fd = DescriptorOf(file);
  struct stat st;
  if (fd < 0 || ::fstat(fd, &st) != 0) {
    if (fd < 0)
      SetLastError(ERROR_INVALID_HANDLE);
    else
      SetLastErrorFromErrno(errno);
    return INVALID_FILE_SIZE;
  }
  const auto size = static_cast<std::uint64_t>(st.st_size);
  if (sizeHigh != nullptr) *sizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size);
}

DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod) {
  const int fd = DescriptorOf(file);
  if (fd < 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_SET_FILE_POINTER;
  }
  std::int64_t offset = distance;
  if (distanceHigh != nullptr)
    offset = static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<DWORD>(*distanceHigh)) << 32) |
                                       static_cast<DWORD>(distance));
  int whence;
  switch (moveMethod) {
    case FILE_BEGIN: whence = SEEK_SET; break;
    case FILE_CURRENT: whence = SEEK_CUR; break;
    case FILE_END: whence = SEEK_END; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return INVALID_SET_FILE_POINTER;
  }
  const off_t position = ::lseek(fd, static_cast<off_t>(offset), whence);
  if (position < 0) {
    SetLastError(errno == EINVAL ? ERROR_NEGATIVE_SEEK : Win32ErrorFromErrno(errno));
    return INVALID_SET_FILE_POINTER;
  }
  const auto p = static_cast<std::uint64_t>(position);
  if (distanceHigh != nullptr) *distanceHigh = static_cast<LONG>(static_cast<DWORD>(p >> 32));
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(p);
}

BOOL GetFileTime(HANDLE file, LPFILETIME creation, LPFILETIME lastAccess, LPFILETIME lastWrite) {
  const int fd = DescriptorOf(file);
  if (fd < 0) return Fail(ERROR_INVALID_HANDLE);
  return GetDescriptorFileTime(fd, creation, lastAccess, lastWrite);
}

BOOL SetFileTime(HANDLE file, const FILETIME* creation, const FILETIME* lastAccess, const FILETIME* lastWrite) {
  const int fd = DescriptorOf(file);
  if (fd < 0) return Fail(ERROR_INVALID_HANDLE);
  return SetDescriptorFileTime(fd, creation, lastAccess, lastWrite);
}

BOOL DeleteFileA(LPCSTR fileName) {
  if (fileName == nullptr || *fileName == '\0') return Fail(ERROR_PATH_NOT_FOUND);
  const std::string native = ToNativePath(fileName);
  if (FileOpFault(TFileOp::kDelete, native) != 0 || ::unlink(native.c_str()) != 0) {
    SetLastErrorForPath(errno, native);
    return FALSE;
  }
  return TRUE;
}

DWORD GetFileAttributesA(LPCSTR fileName) {
  if (fileName == nullptr || *fileName == '\0') {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
  }
  const std::string native = ToNativePath(fileName);
  struct stat st;
  if (::stat(native.c_str(), &st) != 0) {
    SetLastErrorForPath(errno, native);
    return INVALID_FILE_ATTRIBUTES;
  }
  if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  return (st.st_mode & 0222) == 0 ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
}

BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES) {
  if (pathName == nullptr || *pathName == '\0') return Fail(ERROR_PATH_NOT_FOUND);
  const std::string native = ToNativePath(pathName);
  if (FileOpFault(TFileOp::kMakeFolder, native) != 0 || ::mkdir(native.c_str(), 0777) != 0) {
    if (errno == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
    if (errno == ENOENT || errno == ENOTDIR) return Fail(ERROR_PATH_NOT_FOUND);
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR pathName) {
  if (pathName == nullptr || *pathName == '\0') return Fail(ERROR_PATH_NOT_FOUND);
  const std::string native = ToNativePath(pathName);
  if (FileOpFault(TFileOp::kRemoveFolder, native) != 0 || ::rmdir(native.c_str()) != 0) {
    if (errno == ENOTEMPTY || errno == EEXIST) return Fail(ERROR_DIR_NOT_EMPTY);
    if (errno == ENOTDIR) return Fail(ERROR_DIRECTORY);
    SetLastErrorForPath(errno, native);
    return FALSE;
  }
  return TRUE;
}
