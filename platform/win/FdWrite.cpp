#include "platform/win/FdWrite.h"

#include <unistd.h>

#include <cerrno>

bool WriteAllToFd(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t w = ::write(fd, data, size);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += w;
    size -= static_cast<std::size_t>(w);
  }
  return true;
}
