// Dialog placement from the settings file on one and two monitors: saved
// values come back, defaults centre the form in the work area of the monitor
// under the mouse cursor, and a form left off every monitor is brought back.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/FormPlacement.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Screen.h"
#include "platform/win/Monitors.h"

namespace {

RECT R(LONG left, LONG top, LONG right, LONG bottom) {
  RECT r;
  r.left = left;
  r.top = top;
  r.right = right;
  r.bottom = bottom;
  return r;
}

class FormPlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "placeXXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder = pattern;
    ini = std::make_unique<TIniFile>((folder / "proj.webx").string());
    ResetMonitorLayout();
    Mouse->SetCursorPos({100, 100});
    form.SetBounds(10, 20, 301, 201);
  }
  void TearDown() override {
    ResetMonitorLayout();
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
  // Primary 1920 x 1080 (work area 1920 x 1040) and a second monitor of
  // 1280 x 1024 to its right (work area less 40 at the bottom).
  static void TwoMonitors() {
    ASSERT_TRUE(SetMonitorLayout(
        {{R(0, 0, 1920, 1080), R(0, 0, 1920, 1040)}, {R(1920, 0, 3200, 1024), R(1920, 0, 3200, 984)}}));
  }
  std::string IniText() const {
    std::ifstream in(folder / "proj.webx", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

  std::filesystem::path folder;
  std::unique_ptr<TIniFile> ini;
  TForm form{nullptr};
};

TEST_F(FormPlacementTest, SavedValuesComeBack) {
  ini->WriteInteger("TFrmImageList", "Height", 333);
  ini->WriteInteger("TFrmImageList", "Width", 444);
  ini->WriteInteger("TFrmImageList", "Top", 55);
  ini->WriteInteger("TFrmImageList", "Left", 66);
  RestoreFormPlacement("TFrmImageList", &form, ini.get());
  EXPECT_EQ(form.BoundsRect(), Bounds(66, 55, 444, 333));
}

TEST_F(FormPlacementTest, DefaultsKeepTheSizeAndCentreInTheWorkArea) {
  RestoreFormPlacement("Nothing", &form, ini.get());
  EXPECT_EQ(form.Width(), 301);
  EXPECT_EQ(form.Height(), 201);
  EXPECT_EQ(form.Top(), (0 + 1040 - 201) / 2);
  EXPECT_EQ(form.Left(), (0 + 1920 - 301) / 2);
  // A saved size alone: the position centres that size.
  ini->WriteInteger("Sized", "Height", 400);
  ini->WriteInteger("Sized", "Width", 600);
  RestoreFormPlacement("Sized", &form, ini.get());
  EXPECT_EQ(form.BoundsRect(), Bounds(660, 320, 600, 400));
}

TEST_F(FormPlacementTest, DefaultsFollowTheMonitorUnderTheCursor) {
  TwoMonitors();
  Mouse->SetCursorPos({2500, 500});
  PlaceFormAtCursor("Nothing", &form, ini.get());
  EXPECT_EQ(form.Top(), (0 + 984 - 201) / 2);
  EXPECT_EQ(form.Left(), (1920 + 3200 - 301) / 2);
  // A cursor outside every monitor takes the nearest one (here the first).
  Mouse->SetCursorPos({-500, 300});
  PlaceFormAtCursor("Nothing", &form, ini.get());
  EXPECT_EQ(form.Left(), (1920 - 301) / 2);
}

TEST_F(FormPlacementTest, CentringRoundsDown) {
  // A monitor left of the primary one: the sums are negative.
  ASSERT_TRUE(
      SetMonitorLayout({{R(0, 0, 1920, 1080), R(0, 0, 1920, 1040)}, {R(-1280, -101, 0, 923), R(-1280, -101, 0, 883)}}));
  Mouse->SetCursorPos({-600, 400});
  RestoreFormPlacement("Nothing", &form, ini.get());
  EXPECT_EQ(form.Left(), -791);  // (-1280 + 0 - 301) / 2 = -790.5
  EXPECT_EQ(form.Top(), 290);    // (-101 + 883 - 201) / 2 = 290.5
}

TEST_F(FormPlacementTest, FormOffEveryMonitorComesBack) {
  TwoMonitors();
  Mouse->SetCursorPos({100, 100});
  // Saved on a monitor that is gone: far right of the second one.
  ini->WriteInteger("Lost", "Top", 200);
  ini->WriteInteger("Lost", "Left", 5000);
  RestoreFormPlacement("Lost", &form, ini.get());
  // Centred on the monitor nearest to it, the second one.
  EXPECT_EQ(form.Left(), (1920 + 3200 - 301) / 2);
  EXPECT_EQ(form.Top(), (0 + 984 - 201) / 2);

  // Only the primary monitor is left: the same saved place comes back there.
  ResetMonitorLayout();
  RestoreFormPlacement("Lost", &form, ini.get());
  EXPECT_EQ(form.Left(), (1920 - 301) / 2);
  EXPECT_EQ(form.Top(), (1040 - 201) / 2);
}

TEST_F(FormPlacementTest, FormPartlyOnAMonitorStaysWhereItWas) {
  ini->WriteInteger("Edge", "Top", -50);
  ini->WriteInteger("Edge", "Left", 1800);
  RestoreFormPlacement("Edge", &form, ini.get());
  EXPECT_EQ(form.Left(), 1800);
  EXPECT_EQ(form.Top(), -50);
}

TEST_F(FormPlacementTest, WithoutAnIniFileNothingChanges) {
  RestoreFormPlacement("X", &form, nullptr);
  SaveFormPlacement("X", &form, nullptr);
  EXPECT_EQ(form.BoundsRect(), Bounds(10, 20, 301, 201));
  EXPECT_FALSE(std::filesystem::exists(folder / "proj.webx"));
}

TEST_F(FormPlacementTest, SaveThenRestoreIsARoundTrip) {
  form.SetBounds(123, 45, 678, 234);
  SaveFormPlacement("TFrmReindex", &form, ini.get());
  EXPECT_EQ(IniText(), "[TFrmReindex]\r\nHeight=234\r\nWidth=678\r\nTop=45\r\nLeft=123\r\n");
  TForm other(nullptr);
  other.SetBounds(0, 0, 10, 10);
  RestoreFormPlacement("TFrmReindex", &other, ini.get());
  EXPECT_EQ(other.BoundsRect(), Bounds(123, 45, 678, 234));
}

// Values from a settings file may be anything: the centring is computed in 64
// bits and rounded down, so that the bounds are exact where 32-bit sums would
// wrap, and a form that lands on no monitor comes back.
TEST_F(FormPlacementTest, AbsurdValuesDoNotOverflow) {
  struct Case {
    const char* height;  // the saved texts; null: not saved
    const char* width;
    const char* top;
    const char* left;
    std::array<int, 4> expected;  // left, top, width, height
  };
  const Case cases[] = {
      // Extreme sizes without a position: centred, (1040 + 2^31) / 2 and
      // (1920 - (2^31 - 1)) / 2 rounded down.
      {"-2147483648", "2147483647", nullptr, nullptr, {-1073740864, 1073742344, INT_MAX, INT_MIN}},
      // A position at the ends of the range lies on no monitor: centred again.
      {"201", "301", "2147483647", "-2147483648", {809, 419, 301, 201}},
      {"201", "301", "-2147483648", "2147483647", {809, 419, 301, 201}},
      // A text that is no number keeps the form's own value.
      {"x", "y", "100", "200", {200, 100, 301, 201}},
  };
  int index = 0;
  for (const Case& c : cases) {
    const std::string section = "Wild" + std::to_string(index++);
    const std::pair<const char*, const char*> saved[] = {
        {"Height", c.height}, {"Width", c.width}, {"Top", c.top}, {"Left", c.left}};
    for (const auto& [key, text] : saved)
      if (text != nullptr) ini->WriteString(section, key, text);
    form.SetBounds(10, 20, 301, 201);
    RestoreFormPlacement(section, &form, ini.get());
    EXPECT_EQ((std::array<int, 4>{form.Left(), form.Top(), form.Width(), form.Height()}), c.expected) << section;
  }
}

}  // namespace
