// The entry size of a STRING variable from its type name.

#include <gtest/gtest.h>

#include "plugin/LiveView.h"

namespace {

TEST(StringEntrySize, FromTheTypeName) {
  EXPECT_EQ(StringEntrySize("STRING"), 81u);
  EXPECT_EQ(StringEntrySize("STRING[20]"), 21u);
  EXPECT_EQ(StringEntrySize("STRING[300]"), 240u);
  EXPECT_EQ(StringEntrySize("STRING[x]"), 81u);
}

}  // namespace
