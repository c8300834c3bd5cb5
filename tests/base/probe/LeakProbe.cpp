// Leaks one block of 48 bytes on purpose, so that a test can check that the
// leak checker of a sanitizer build still reports a leak with the build's
// default options.

#include <cstdlib>

namespace {
void* volatile gSink = nullptr;
}

int main() {
  gSink = std::malloc(48);
  gSink = nullptr;
  return 0;
}
