#include "tests/imaging/base/AllocationProbe.h"

#include <cstdlib>
#include <new>

namespace ImagingTest {

namespace {

struct ProbeState {
  bool active = false;
  std::size_t cap = 0;
  std::size_t largest = 0;
  bool refused = false;
};

ProbeState gProbe;

void* Allocate(std::size_t size) {
  if (gProbe.active) {
    if (size > gProbe.largest) gProbe.largest = size;
    if (size > gProbe.cap) {
      gProbe.refused = true;
      throw std::bad_alloc();
    }
  }
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

}  // namespace

AllocationProbe::AllocationProbe(std::size_t cap) { gProbe = ProbeState{true, cap, 0, false}; }

AllocationProbe::~AllocationProbe() { gProbe.active = false; }

std::size_t AllocationProbe::Largest() const { return gProbe.largest; }

bool AllocationProbe::Refused() const { return gProbe.refused; }

}  // namespace ImagingTest

// The replaceable allocation functions of the whole test program, through the probe. The
// aligned forms are left to the library: nothing the tests watch allocates with them.
void* operator new(std::size_t size) { return ImagingTest::Allocate(size); }
void* operator new[](std::size_t size) { return ImagingTest::Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return ImagingTest::Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return ImagingTest::Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
