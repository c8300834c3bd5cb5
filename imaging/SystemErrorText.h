#pragma once
// The text of the calling thread's last system error (errno), ending in a line break,
// for messages about a file that cannot be opened. Empty when errno is 0.

#include <string>

namespace Veldaro {

std::string SystemErrorText();

}  // namespace Veldaro
