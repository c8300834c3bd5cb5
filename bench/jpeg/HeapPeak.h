#pragma once
// HeapPeak: the heap bytes in use in the benchmark program, and their peak since a reset.
//
// HeapPeak.cpp replaces malloc, calloc, realloc, free and the aligned allocations of the whole
// program (the C++ operator new and every library the program loads, libjpeg-turbo and
// stb_image included, allocate through them), handing each request on to the C library's own
// allocator and counting the usable size of each block it returns. So every decoder's memory
// is counted the same way, whatever allocates it. Builds with a sanitizer keep the sanitizer's
// allocator and count nothing (Available() is false).

#include <cstddef>

namespace HeapPeak {

bool Available();
// The bytes in use now.
std::size_t InUse();
// Starts a new measurement: the peak becomes the bytes in use now.
void Reset();
// The most bytes in use since the last reset, less those in use at the reset.
std::size_t PeakSinceReset();

}  // namespace HeapPeak
