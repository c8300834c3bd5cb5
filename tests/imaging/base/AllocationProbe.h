#pragma once
// AllocationProbe: watches the heap allocations of the test process while it lives.
//
// It records the largest single request (operator new, also inside containers) and refuses
// every request above its cap with std::bad_alloc, so that a decoder which would allocate
// gigabytes for a file of a few bytes fails the test at once instead of taking the machine's
// memory. The test binaries that use it link AllocationProbe.cpp, which replaces the global
// operator new and delete. One probe at a time; tests run on one thread.

#include <cstddef>

namespace ImagingTest {

class AllocationProbe {
 public:
  explicit AllocationProbe(std::size_t cap);
  ~AllocationProbe();
  AllocationProbe(const AllocationProbe&) = delete;
  AllocationProbe& operator=(const AllocationProbe&) = delete;

  // The largest request made while the probe lives (refused ones included).
  std::size_t Largest() const;
  // A request above the cap was made (and refused).
  bool Refused() const;
};

// 1 MiB, the cap of the tests that decode headers of huge images from a few bytes.
inline constexpr std::size_t kSmallAllocation = std::size_t(1) << 20;

}  // namespace ImagingTest
