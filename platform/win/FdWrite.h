#pragma once
// Writing a whole buffer to an open POSIX file descriptor.

#include <cstddef>

// Writes all `size` bytes, again after a short write or an interrupted call;
// false when a write fails (errno tells why).
bool WriteAllToFd(int fd, const char* data, std::size_t size);
