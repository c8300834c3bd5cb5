#include "imaging/SystemErrorText.h"

#include <cerrno>
#include <cstring>

namespace Veldaro {

std::string SystemErrorText() {
  int error = errno;
  if (error == 0) return std::string();
  char buffer[256];
  // GNU strerror_r returns a pointer that may or may not be the buffer.
  const char* text = strerror_r(error, buffer, sizeof buffer);
  if (text == nullptr || *text == '\0') return std::string();
  return std::string(text) + "\n";
}

}  // namespace Veldaro
