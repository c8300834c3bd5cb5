#include "platform/win/FdWrite.h"

#include <unistd.h>

#include <cerrno>

#include "platform/win/WriteFault.h"

bool WriteAllToFd(int fd, const char* data, std::size_t size) {
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
