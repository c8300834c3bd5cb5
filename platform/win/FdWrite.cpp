#include "platform/win/FdWrite.h"

#include <unistd.h>

#include <cerrno>

#include "platform/win/FileFault.h"
#include "platform/win/WriteFault.h"

bool WriteAllToFd(int fd, const char* data, std::size_t size) {
  // A write of no bytes asks nothing of the system.
  if (size > 0 && FileOpFaultOnFd(TFileOp::kWrite, fd) != 0) {
    CountFileWriteFailure();
    return false;
  }
  while (size > 0) {
    const std::size_t allowed = AllowedFileWriteSize(size);
    if (allowed == 0) {
      CountFileWriteFailure();
      errno = ENOSPC;
      return false;
    }
    const ssize_t w = ::write(fd, data, allowed);
    if (w < 0) {
      if (errno == EINTR) continue;
      CountFileWriteFailure();
      return false;
    }
    data += w;
    size -= static_cast<std::size_t>(w);
  }
  return true;
}
