#include <gtest/gtest.h>

#include "pictures/SwapRedBlue.h"

namespace {

TEST(SwapRedBlueTest, ExchangesBytesZeroAndTwoAndClearsTheTop) {
  // Bytes lowest first 44 33 22 11 become 22 33 44 00.
  EXPECT_EQ(SwapRedBlue(0x11223344u), 0x00443322u);
  EXPECT_EQ(SwapRedBlue(0x000000FFu), 0x00FF0000u);
  EXPECT_EQ(SwapRedBlue(0xFFFFFFFFu), 0x00FFFFFFu);
  EXPECT_EQ(SwapRedBlue(SwapRedBlue(0x00ABCDEFu)), 0x00ABCDEFu);
}

}  // namespace
