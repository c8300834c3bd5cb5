// The address sanitizer's default options of every program in a sanitizer or
// fuzz build. The build adds this file to each program (not to a library: the
// runtime's own weak hook would win over an archive member nobody references).

#include "base/sanitizer/SanitizerDefaults.h"

#include <cstddef>

namespace {

// intercept_tls_get_addr=0: the runtimes of GCC 12 and LLVM 14 (Debian 12's)
// read the 16 bytes in front of a dynamic TLS block as an old glibc's
// {start, size} header. glibc 2.36 has no such header: those bytes are the
// allocator's chunk header, and when a block starts 16 bytes into a page the
// leak checker scans a range of many gigabytes at exit and dies with signal 11
// (about one run in a hundred of a suite, by heap history), which also hides
// any real leak of that run. Without the interception the leak checker still
// reports leaks (a test of the build checks that a deliberate one is). Drop the
// option once the sanitizer runtimes the build uses carry the fix (it is in
// newer LLVM runtimes than Debian 12 has).
constexpr char kCommon[] = "intercept_tls_get_addr=0";

// The common options, then the program's own. The runtime asks for them before
// it has set up its shadow memory: no allocation, and no instrumented access.
__attribute__((no_sanitize("address", "undefined"))) const char* Compose() {
  static char options[512];
  std::size_t n = 0;
  for (const char* c = kCommon; *c != '\0' && n + 1 < sizeof options; ++c) options[n++] = *c;
  // Weak: a program without options of its own leaves it undefined.
  const char* own = tarnwell_asan_options != nullptr ? tarnwell_asan_options() : nullptr;
  if (own != nullptr && *own != '\0' && n + 1 < sizeof options) {
    options[n++] = ':';
    for (const char* c = own; *c != '\0' && n + 1 < sizeof options; ++c) options[n++] = *c;
  }
  options[n] = '\0';
  return options;
}

}  // namespace

extern "C" __attribute__((no_sanitize("address", "undefined"))) const char* __asan_default_options() {
  return Compose();
}
