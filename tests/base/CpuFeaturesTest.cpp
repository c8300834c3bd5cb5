#include "base/CpuFeatures.h"

#include <gtest/gtest.h>

namespace {

using CpuFeatures::SimdLevel;

TEST(CpuFeatures, CapLowersTheLevelAndNestsBack) {
  const SimdLevel detected = CpuFeatures::DetectedSimdLevel();
  EXPECT_EQ(CpuFeatures::SimdLevelInUse(), detected);
  {
    CpuFeatures::SimdLevelCap scalar(SimdLevel::Scalar);
    EXPECT_EQ(CpuFeatures::SimdLevelInUse(), SimdLevel::Scalar);
    EXPECT_FALSE(CpuFeatures::UseSse2());
    {
      // A higher cap never raises the level above what the processor has.
      CpuFeatures::SimdLevelCap high(SimdLevel::Avx2);
      EXPECT_EQ(CpuFeatures::SimdLevelInUse(), detected);
    }
    EXPECT_EQ(CpuFeatures::SimdLevelInUse(), SimdLevel::Scalar);
  }
  EXPECT_EQ(CpuFeatures::SimdLevelInUse(), detected);
#if defined(__x86_64__)
  // Every x86-64 processor has SSE2.
  EXPECT_GE(detected, SimdLevel::Sse2);
#endif
}

}  // namespace
