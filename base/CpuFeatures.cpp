#include "base/CpuFeatures.h"

#include <atomic>

namespace CpuFeatures {

namespace {

SimdLevel Detect() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return SimdLevel::Avx2;
  if (__builtin_cpu_supports("sse4.1")) return SimdLevel::Sse41;
  if (__builtin_cpu_supports("sse2")) return SimdLevel::Sse2;
#endif
  return SimdLevel::Scalar;
}

std::atomic<int> cap{static_cast<int>(SimdLevel::Avx2)};

}  // namespace

SimdLevel DetectedSimdLevel() {
  static const SimdLevel detected = Detect();
  return detected;
}

SimdLevel SimdLevelInUse() {
  const int detected = static_cast<int>(DetectedSimdLevel());
  const int limit = cap.load(std::memory_order_relaxed);
  return static_cast<SimdLevel>(detected < limit ? detected : limit);
}

SimdLevelCap::SimdLevelCap(SimdLevel level)
    : previous_(static_cast<SimdLevel>(cap.exchange(static_cast<int>(level), std::memory_order_relaxed))) {}

SimdLevelCap::~SimdLevelCap() { cap.store(static_cast<int>(previous_), std::memory_order_relaxed); }

}  // namespace CpuFeatures
