// PngSuite: every good file decodes to libpng's pixels, every broken file (x*) is refused with
// the decoder's message.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "imaging/BitmapImage.h"
#include "imaging/InflateDecoder.h"
#include "imaging/PngDecoder.h"
#include "tests/imaging/png/LibpngReference.h"

namespace {

namespace fs = std::filesystem;

std::string SuiteDir() { return std::string(TARNWELL_SOURCE_DIR) + "/tests/imaging/data/pngsuite"; }

std::vector<std::string> SuiteFiles(bool broken) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(SuiteDir())) {
    std::string name = e.path().filename().string();
    if (e.path().extension() != ".png") continue;
    if ((name[0] == 'x') == broken) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(PngSuite, GoodFilesMatchLibpng) {
  auto names = SuiteFiles(false);
  ASSERT_EQ(names.size(), 161u);
  for (const auto& name : names) {
    SCOPED_TRACE(name);
    std::string path = SuiteDir() + "/" + name;
    auto reference = TarnwellTest::ReadWithLibpng(path);
    ASSERT_EQ(reference.error, "");
    Veldaro::BitmapImage image;
    Veldaro::PngDecoder decoder;
    try {
      decoder.ReadImageFile(path, image);
    } catch (const std::exception& e) {
      ADD_FAILURE() << "refused: " << e.what();
      continue;
    }
    ASSERT_EQ(image.Width(), reference.width);
    ASSERT_EQ(image.Height(), reference.height);
    std::size_t differences = 0;
    for (std::size_t i = 0; i < reference.pixels.size(); ++i)
      if (image.Pixels()[i] != reference.pixels[i] && differences++ < 3)
        ADD_FAILURE() << "pixel " << i % image.Width() << "," << i / image.Width() << ": " << std::hex
                      << image.Pixels()[i] << " libpng " << reference.pixels[i];
    EXPECT_EQ(differences, 0u);
  }
}

TEST(PngSuite, BrokenFilesAreRefused) {
  const std::map<std::string, std::string> expected = {
      {"xc1n0g08.png", "Invalid Color Type"}, {"xc9n2c08.png", "Invalid Color Type"},
      {"xcrn0g04.png", "Not a PNG file"},     {"xcsn0g01.png", "Invalid Chunk CRC"},
      {"xd0n2c08.png", "Invalid Bit Depth"},  {"xd3n2c08.png", "Invalid Bit Depth"},
      {"xd9n2c08.png", "Invalid Bit Depth"},  {"xdtn0g01.png", "Image Contains no Pixel Data"},
      {"xhdn0g08.png", "Invalid Chunk CRC"},  {"xlfn0g04.png", "Not a PNG file"},
      {"xs1n0g01.png", "Not a PNG file"},     {"xs2n0g01.png", "Not a PNG file"},
      {"xs4n0g01.png", "Not a PNG file"},     {"xs7n0g01.png", "Not a PNG file"},
  };
  auto names = SuiteFiles(true);
  ASSERT_EQ(names.size(), expected.size());
  for (const auto& name : names) {
    SCOPED_TRACE(name);
    Veldaro::BitmapImage image;
    Veldaro::PngDecoder decoder;
    std::string message = "(accepted)";
    try {
      decoder.ReadImageFile(SuiteDir() + "/" + name, image);
    } catch (const std::exception& e) {
      message = e.what();
    }
    EXPECT_EQ(message, expected.at(name));
    // libpng refuses them as well.
    EXPECT_NE(TarnwellTest::ReadWithLibpng(SuiteDir() + "/" + name).error, "");
  }
}

}  // namespace
