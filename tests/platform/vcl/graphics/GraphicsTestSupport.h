#pragma once
// Helpers shared by the graphics tests: bitmaps of one colour, pixel probes,
// a scratch folder and a runner for outside tools.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/Graphics.h"

namespace gfxtest {

// File bytes a test builds, with little-endian 16- and 32-bit numbers.
using Bytes = std::vector<std::uint8_t>;
inline void Put16(Bytes& b, std::uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
inline void Put32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 0xFF);
}

// A bitmap filled with one colour.
inline std::unique_ptr<TBitmap> Filled(int width, int height, TColor color) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(width, height);
  bitmap->Canvas->Brush->Color = color;
  bitmap->Canvas->Brush->Style = bsSolid;
  bitmap->Canvas->FillRect(Rect(0, 0, width, height));
  return bitmap;
}

// The colour of a pixel (0x00BBGGRR), read from the pixel memory.
inline TColor At(const TBitmap& bitmap, int x, int y) {
  const std::uint32_t p = static_cast<const std::uint32_t*>(bitmap.ScanLine(y))[x];
  return static_cast<TColor>(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
}

// Number of pixels of a colour inside a rectangle.
inline int Count(const TBitmap& bitmap, const TRect& r, TColor color) {
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) n += At(bitmap, x, y) == color;
  return n;
}

// Every pixel of the bitmap as 0x00BBGGRR, row by row.
inline std::vector<TColor> Colors(const TBitmap& bitmap) {
  std::vector<TColor> out;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) out.push_back(At(bitmap, x, y));
  return out;
}

// A folder of its own for each test, removed afterwards.
class ScratchDir : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("tw-gfx-" + std::to_string(::getpid()) + "-" +
                                                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  std::filesystem::path dir;
};

// Runs a shell command; true when it exits with 0.
inline bool Run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

inline bool HaveTool(const std::string& name) { return Run("command -v " + name); }

// The folder that holds the pictures the tests write for people to look at.
inline std::string PicturesDir() {
  const std::string dir = std::string(TARNWELL_BINARY_DIR) + "/pictures/";
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace gfxtest
