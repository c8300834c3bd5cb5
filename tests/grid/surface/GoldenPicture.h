#pragma once
// Golden pictures of the design surface: a painted bitmap compared pixel by
// pixel with a reviewed PNG file of tests/grid/surface/data/golden.
//
// With TARNWELL_UPDATE_GOLDEN=1 in the environment the comparison writes the
// bitmap as the new golden file instead (for a commit whose pictures were
// looked at); without it a missing golden file is a failure.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/vcl/Bitmap.h"

namespace surfacetest {

// A named area of the picture (an object's bounds), so that a difference is
// reported by the objects it touches.
struct TPictureArea {
  std::string name;
  TRect bounds;
};

// Success when the bitmap equals the golden picture `name` (a file name
// without folder). A failure says how many pixels differ, their bounding box,
// the first differing pixel with both colours and the areas the differences
// touch; the actual picture and a map of the differences (red on grey) are
// written to the build folder's "surface" folder for viewing.
::testing::AssertionResult MatchesGolden(const TBitmap& bitmap, const std::string& name,
                                         const std::vector<TPictureArea>& areas = {});

}  // namespace surfacetest
