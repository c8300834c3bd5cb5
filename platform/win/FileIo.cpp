#include "platform/win/FileIo.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/win/FdWrite.h"
#include "platform/win/FileFault.h"
#include "platform/win/FileTime.h"
#include "platform/win/Paths.h"

namespace {

// Why the entry of mode `mode` holds no text to read: a folder (EISDIR); a
// pipe, a socket or a device (EINVAL), whose opening or reading may wait for
// another program without end. 0 for a file.
int NoTextIn(mode_t mode) {
  if (S_ISDIR(mode)) return EISDIR;
  return S_ISREG(mode) ? 0 : EINVAL;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& out) {
  const std::string native = ToNativePath(path);
  struct stat st;
  // The type first, so that a pipe is never opened (its writer would take
  // that for a reader); the open does not wait should one be put there
  // meanwhile, and the check after it holds for what was opened.
  if (::stat(native.c_str(), &st) == 0 && NoTextIn(st.st_mode) != 0) {
    errno = NoTextIn(st.st_mode);
    return false;
  }
  int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  const int statError = ::fstat(fd, &st) != 0 ? errno : NoTextIn(st.st_mode);
  if (statError != 0) {
    ::close(fd);
    errno = statError;
    return false;
  }
  std::string data;
  data.reserve(static_cast<std::size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t r = ::read(fd, buf, sizeof buf);
    if (r < 0) {
      if (errno == EINTR) continue;
      const int readError = errno;
      ::close(fd);
      errno = readError;
      return false;
    }
    if (r == 0) break;
    data.append(buf, static_cast<std::size_t>(r));
  }
  ::close(fd);
  out.swap(data);
  return true;
}

namespace {

// Gives the open file the mode and group of `model` (TakeModeOf). The group
// goes first, since its change clears the set-id bits that the mode then sets
// again. Neither call can spoil the file's content, so a group the user is
// not in (EPERM) or a file system without modes leaves them as they were.
void KeepModeOf(int fd, const struct stat& model) {
  [[maybe_unused]] const int grouped = ::fchown(fd, static_cast<uid_t>(-1), model.st_gid);
  [[maybe_unused]] const int moded = ::fchmod(fd, model.st_mode & 07777);
}

// Writes the pieces through a temporary file renamed over `path` (WriteFileReplacing).
bool WriteReplacing(const std::string& path, std::span<const std::string_view> pieces,
                    const std::string& newFileModel) {
  std::string target = ToNativePath(path);
  std::string temp = target + std::string(kWriterTempMark) + std::to_string(::getpid()) + "_XXXXXX";
  if (FileOpFault(TFileOp::kCreate, temp) != 0) return false;
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  // The old file's mode and group, else the model's, or those an ordinary
  // new file would get (mkstemp's are the owner's alone).
  struct stat old;
  if (::stat(target.c_str(), &old) == 0 ||
      (!newFileModel.empty() && ::stat(ToNativePath(newFileModel).c_str(), &old) == 0)) {
    KeepModeOf(fd, old);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }
  bool ok = true;
  for (const std::string_view piece : pieces) ok = ok && WriteAllToFd(fd, piece.data(), piece.size());
  ok = ok && FileOpFault(TFileOp::kFlush, temp) == 0 && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok && FileOpFault(TFileOp::kRename, temp, target) == 0 && ::rename(temp.c_str(), target.c_str()) == 0)
    return true;
  // errno tells why the write failed, not how the clean-up went.
  const int error = errno;
  if (FileOpFault(TFileOp::kDelete, temp) == 0) ::unlink(temp.c_str());
  errno = error;
  return false;
}

}  // namespace

bool TakeModeOf(const std::string& path, const std::string& model) {
  struct stat st;
  if (model.empty() || ::stat(ToNativePath(model).c_str(), &st) != 0) return false;
  const std::string native = ToNativePath(path);
  [[maybe_unused]] const int grouped = ::chown(native.c_str(), static_cast<uid_t>(-1), st.st_gid);
  [[maybe_unused]] const int moded = ::chmod(native.c_str(), st.st_mode & 07777);
  return true;
}

bool WriteFileReplacing(const std::string& path, const void* data, std::size_t size) {
  const std::string_view whole(static_cast<const char*>(data), size);
  return WriteFileReplacing(path, std::span<const std::string_view>(&whole, 1));
}

bool WriteFileReplacing(const std::string& path, std::span<const std::string_view> pieces) {
  return WriteReplacing(path, pieces, std::string());
}

bool WriteFileReplacing(const std::string& path, const void* data, std::size_t size, const std::string& newFileModel) {
  const std::string_view whole(static_cast<const char*>(data), size);
  return WriteReplacing(path, std::span<const std::string_view>(&whole, 1), newFileModel);
}

bool FlushFile(const std::string& path) {
  const std::string native = ToNativePath(path);
  if (FileOpFault(TFileOp::kFlush, native) != 0) return false;
  const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  return (::close(fd) == 0) && ok;
}

bool TemporaryFileWriterRuns(std::string_view name) {
  const std::size_t mark = name.rfind(kWriterTempMark);
  if (mark == std::string_view::npos) return false;
  const std::string_view rest = name.substr(mark + kWriterTempMark.size());
  const std::size_t digits = rest.find('_');
  if (digits == 0 || digits == std::string_view::npos || digits > 9) return false;
  long pid = 0;
  for (const char c : rest.substr(0, digits)) {
    if (c < '0' || c > '9') return false;
    pid = pid * 10 + (c - '0');
  }
  if (pid <= 0) return false;
  // This process's writers remove their temporary file before they return,
  // and sweeps run between writes, so one of its own that a sweep finds is a
  // leftover of a write that could not remove it.
  if (pid == ::getpid()) return false;
  const int errorBefore = errno;
  const bool runs = ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
  errno = errorBefore;
  return runs;
}

namespace {

// Writes the file in place (openat's folder and path); with `times`, reads its
// times from the open file after the write.
bool WriteInPlace(int folderFd, const char* path, const void* data, std::size_t size, WrittenFileTimes* times) {
  if (FileOpFaultAt(TFileOp::kCreate, folderFd, path) != 0) return false;
  int fd = ::openat(folderFd, path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = WriteAllToFd(fd, static_cast<const char*>(data), size);
  if (ok && times != nullptr)
    ok = GetDescriptorFileTime(fd, &times->creation, &times->lastAccess, &times->lastWrite) != FALSE;
  ok = (::close(fd) == 0) && ok;
  if (ok) return true;
  // A file that is not whole is not left behind short or empty.
  const int error = errno;
  if (FileOpFaultAt(TFileOp::kDelete, folderFd, path) == 0) ::unlinkat(folderFd, path, 0);
  errno = error;
  return false;
}

bool WriteInPlace(const std::string& path, const void* data, std::size_t size, WrittenFileTimes* times) {
  return WriteInPlace(AT_FDCWD, ToNativePath(path).c_str(), data, size, times);
}

}  // namespace

bool WriteFileInPlace(const std::string& path, const void* data, std::size_t size) {
  return WriteInPlace(path, data, size, nullptr);
}

bool WriteFileInPlace(const std::string& path, const void* data, std::size_t size, WrittenFileTimes& times) {
  return WriteInPlace(path, data, size, &times);
}

bool WriteFileInPlaceAt(int folderFd, const std::string& name, const void* data, std::size_t size,
                        WrittenFileTimes& times) {
  return WriteInPlace(folderFd, name.c_str(), data, size, &times);
}

std::string WriterTemporaryName(const std::string& name) {
  static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  constexpr int kTempLetters = 6;
  static std::atomic<unsigned> counter{0};
  unsigned seed = static_cast<unsigned>(::getpid()) * 7919u + counter.fetch_add(1) * 104729u;
  std::string temp = name + std::string(kWriterTempMark) + std::to_string(::getpid()) + "_";
  for (int i = 0; i < kTempLetters; ++i) {
    temp += kLetters[seed % (sizeof kLetters - 1)];
    seed = seed / (sizeof kLetters - 1) + static_cast<unsigned>(i) * 31u + 17u;
  }
  return temp;
}

bool WriteDerivedFileAt(int folderFd, const std::string& name, const void* data, std::size_t size,
                        WrittenFileTimes& times) {
  constexpr int kAttempts = 100;
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < kAttempts && fd < 0; ++attempt) {
    temp = WriterTemporaryName(name);
    if (FileOpFaultAt(TFileOp::kCreate, folderFd, temp) != 0) return false;
    fd = ::openat(folderFd, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  struct stat old;
  if (::fstatat(folderFd, name.c_str(), &old, 0) == 0) KeepModeOf(fd, old);
  bool ok = WriteAllToFd(fd, static_cast<const char*>(data), size) &&
            GetDescriptorFileTime(fd, &times.creation, &times.lastAccess, &times.lastWrite) != FALSE;
  ok = (::close(fd) == 0) && ok;
  if (ok && FileOpFaultAt(TFileOp::kRename, folderFd, temp, name) == 0 &&
      ::renameat(folderFd, temp.c_str(), folderFd, name.c_str()) == 0)
    return true;
  const int error = errno;
  if (FileOpFaultAt(TFileOp::kDelete, folderFd, temp) == 0) ::unlinkat(folderFd, temp.c_str(), 0);
  errno = error;
  return false;
}

bool WriteDerivedFile(const std::string& path, const void* data, std::size_t size, WrittenFileTimes& times) {
  TakeSpellingOf(path);
  return WriteDerivedFileAt(AT_FDCWD, ToNativePath(path), data, size, times);
}

void TakeSpellingOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/");
  const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  const std::string native = ToNativePath(path);
  const std::size_t nativeCut = native.find_last_of('/');
  const std::string folder = nativeCut == std::string::npos ? std::string() : native.substr(0, nativeCut + 1);
  if (name.empty() || native.compare(folder.size(), std::string::npos, name) == 0) return;
  struct stat st;
  if (::lstat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return;
  const std::string spelt = folder + name;
  if (FileOpFault(TFileOp::kRename, native, spelt) == 0) ::rename(native.c_str(), spelt.c_str());
}

bool AppendToFile(const std::string& path, const void* data, std::size_t size) {
  const std::string native = ToNativePath(path);
  if (FileOpFault(TFileOp::kCreate, native) != 0) return false;
  int fd = ::open(native.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = WriteAllToFd(fd, static_cast<const char*>(data), size);
  return (::close(fd) == 0) && ok;
}
