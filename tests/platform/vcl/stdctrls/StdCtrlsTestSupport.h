#pragma once
// Shared pieces of the standard control tests: a fixture that leaves the
// driver and the screen clean, an event log and pixel helpers.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/vcl/Application.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/Screen.h"
#include "platform/win/Monitors.h"
#include "tests/support/BitmapPixels.h"
#include "tests/support/EventLog.h"

class StdCtrlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Driver::Reset();
    ResetMonitorLayout();
  }
  void TearDown() override {
    Application->ProcessMessages();
    Driver::Reset();
    EXPECT_EQ(Screen->FormCount(), 0) << "a test left a form behind";
  }
};

// Counts the pixels that differ from a colour inside a rectangle.
inline int CountOther(TBitmap& bitmap, const TRect& r, TColor color) {
  int n = 0;
  const TColor rgb = ColorToRGB(color);
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      if (bitmap.Canvas->GetPixel(x, y) != rgb) ++n;
  return n;
}

// Where the PNG pictures of the tests go (the folder is made when missing).
inline std::string PicturePath(const std::string& name) {
  const std::string folder = std::string(TARNWELL_BINARY_DIR) + "/pictures";
  std::filesystem::create_directories(folder);
  return folder + "/" + name;
}

// Counts the dark pixels (text is anti-aliased: its pixels are shades).
inline int CountDark(TBitmap& bitmap, const TRect& r) {
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      const TColor c = bitmap.Canvas->GetPixel(x, y);
      if (c >= 0 && (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF) < 240) ++n;
    }
  return n;
}
