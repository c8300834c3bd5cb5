#include "tests/grid/surface/GoldenPicture.h"

#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "platform/vcl/PngWriter.h"
#include "tests/grid/surface/SurfaceTestSupport.h"

namespace surfacetest {

namespace {

constexpr const char* kUpdateSwitch = "TARNWELL_UPDATE_GOLDEN";
constexpr int kBytesPerPixel = 3;
// How many differing areas a failure lists before it stops naming them.
constexpr std::size_t kMaxNamedAreas = 8;
constexpr std::uint32_t kDiffMark = 0xFFFF0000u;   // red, as the bitmap stores it
constexpr std::uint32_t kDiffQuiet = 0xFFC8C8C8u;  // light grey

bool UpdateRequested() {
  const char* value = std::getenv(kUpdateSwitch);
  return value != nullptr && std::strcmp(value, "1") == 0;
}

std::string GoldenPath(const std::string& name) { return SourcePath("tests/grid/surface/data/golden/" + name); }

struct TRgbPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

// The PNG file as 8-bit RGB rows; false when it cannot be read.
bool ReadPng(const std::string& path, TRgbPicture& picture, std::string& error) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    error = image.message;
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) {
    error = image.message;
    png_image_free(&image);
    return false;
  }
  return true;
}

// The bitmap's pixel as 0x00RRGGBB (the layout of the bitmap's memory).
std::uint32_t BitmapRgb(const TBitmap& bitmap, int x, int y) {
  return static_cast<const std::uint32_t*>(bitmap.ScanLine(y))[x] & 0xFFFFFFu;
}

std::uint32_t GoldenRgb(const TRgbPicture& golden, int x, int y) {
  const std::size_t at = (static_cast<std::size_t>(y) * golden.width + x) * kBytesPerPixel;
  return (static_cast<std::uint32_t>(golden.rgb[at]) << 16) | (static_cast<std::uint32_t>(golden.rgb[at + 1]) << 8) |
         golden.rgb[at + 2];
}

std::string Hex(std::uint32_t rgb) {
  char text[16];
  std::snprintf(text, sizeof text, "#%06X", rgb);
  return text;
}

struct TDifference {
  int count = 0;
  TRect box{0, 0, 0, 0};
  TPoint first{-1, -1};
  std::uint32_t expected = 0;
  std::uint32_t actual = 0;
};

// Compares the pictures (of equal size) and draws the map of differences.
TDifference Compare(const TBitmap& bitmap, const TRgbPicture& golden, TBitmap& map) {
  TDifference d;
  map.SetSize(golden.width, golden.height);
  for (int y = 0; y < golden.height; ++y) {
    auto* row = static_cast<std::uint32_t*>(map.ScanLine(y));
    for (int x = 0; x < golden.width; ++x) {
      const std::uint32_t expected = GoldenRgb(golden, x, y), actual = BitmapRgb(bitmap, x, y);
      row[x] = expected == actual ? kDiffQuiet : kDiffMark;
      if (expected == actual) continue;
      if (d.count++ == 0) {
        d.first = {x, y};
        d.expected = expected;
        d.actual = actual;
        d.box = {x, y, x + 1, y + 1};
      }
      d.box = {std::min<int>(d.box.Left, x), std::min<int>(d.box.Top, y), std::max<int>(d.box.Right, x + 1),
               std::max<int>(d.box.Bottom, y + 1)};
    }
  }
  return d;
}

// The names of the areas that hold a differing pixel.
std::string TouchedAreas(const TBitmap& bitmap, const TRgbPicture& golden, const std::vector<TPictureArea>& areas) {
  std::string names;
  std::size_t named = 0;
  for (const TPictureArea& area : areas) {
    bool touched = false;
    const int top = std::max<int>(0, area.bounds.Top), bottom = std::min<int>(golden.height, area.bounds.Bottom);
    const int left = std::max<int>(0, area.bounds.Left), right = std::min<int>(golden.width, area.bounds.Right);
    for (int y = top; y < bottom && !touched; ++y)
      for (int x = left; x < right && !touched; ++x) touched = GoldenRgb(golden, x, y) != BitmapRgb(bitmap, x, y);
    if (!touched) continue;
    if (++named > kMaxNamedAreas) return names + ", ...";
    names += (names.empty() ? "" : ", ") + area.name;
  }
  return names.empty() ? "none of the named areas" : names;
}

}  // namespace

::testing::AssertionResult MatchesGolden(const TBitmap& bitmap, const std::string& name,
                                         const std::vector<TPictureArea>& areas) {
  const std::string path = GoldenPath(name);
  if (UpdateRequested()) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    if (!SaveBitmapAsPng(bitmap, path)) return ::testing::AssertionFailure() << "cannot write " << path;
    return ::testing::AssertionSuccess() << "golden picture rewritten: " << path;
  }
  TRgbPicture golden;
  std::string error;
  if (!ReadPng(path, golden, error))
    return ::testing::AssertionFailure() << "no golden picture " << path << " (" << error
                                         << "); look at the picture and "
                                         << "run the test with " << kUpdateSwitch << "=1 to write it";
  if (golden.width != bitmap.Width() || golden.height != bitmap.Height())
    return ::testing::AssertionFailure() << name << ": the picture is " << bitmap.Width() << " x " << bitmap.Height()
                                         << ", the golden one " << golden.width << " x " << golden.height;
  TBitmap map;
  const TDifference d = Compare(bitmap, golden, map);
  if (d.count == 0) return ::testing::AssertionSuccess();
  SaveBitmapAsPng(bitmap, OutputPath("actual_" + name));
  SaveBitmapAsPng(map, OutputPath("diff_" + name));
  std::ostringstream out;
  out << name << ": " << d.count << " pixels differ within (" << d.box.Left << ", " << d.box.Top << ", " << d.box.Right
      << ", " << d.box.Bottom << "); first at (" << d.first.x << ", " << d.first.y << "): expected " << Hex(d.expected)
      << ", drawn " << Hex(d.actual) << "; in " << TouchedAreas(bitmap, golden, areas)
      << ". Pictures: " << OutputPath("actual_" + name) << " and " << OutputPath("diff_" + name);
  return ::testing::AssertionFailure() << out.str();
}

}  // namespace surfacetest
