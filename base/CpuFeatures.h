#pragma once
// The vector instruction sets the decoders may use, found once at run time.
//
// Code with vector paths asks SimdLevelInUse() and takes the best path at or below it; the
// scalar path is always there and gives the same results. Tests and benchmarks lower the
// level with SimdLevelCap to run the scalar (or SSE2) path on a machine that has more.

namespace CpuFeatures {

enum class SimdLevel { Scalar = 0, Sse2 = 1, Sse41 = 2, Avx2 = 3 };

// What the processor supports (Scalar on processors other than x86-64).
SimdLevel DetectedSimdLevel();
// The detected level, lowered to the cap while one is set.
SimdLevel SimdLevelInUse();
inline bool UseSse2() { return SimdLevelInUse() >= SimdLevel::Sse2; }
inline bool UseSse41() { return SimdLevelInUse() >= SimdLevel::Sse41; }
inline bool UseAvx2() { return SimdLevelInUse() >= SimdLevel::Avx2; }

// Lowers the level in use to at most `cap` while it lives; the previous cap comes back on
// destruction. Not for concurrent use: set it before decoding starts.
class SimdLevelCap {
 public:
  explicit SimdLevelCap(SimdLevel cap);
  ~SimdLevelCap();
  SimdLevelCap(const SimdLevelCap&) = delete;
  SimdLevelCap& operator=(const SimdLevelCap&) = delete;

 private:
  SimdLevel previous_;
};

}  // namespace CpuFeatures
