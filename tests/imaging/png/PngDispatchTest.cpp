// PNG files through the one entry of the image library: type 7 and the decoded picture; a
// broken signature is no PNG (type 0, the image untouched).

#include <gtest/gtest.h>

#include "imaging/PngDecoder.h"
#include "imaging/ReadAnyImageFile.h"
#include "tests/imaging/png/LibpngReference.h"

namespace {

std::string Suite(const std::string& name) {
  return std::string(TARNWELL_SOURCE_DIR) + "/tests/imaging/data/pngsuite/" + name;
}

TEST(PngDispatch, PngFilesDecodeAsType7) {
  for (const char* name : {"basn6a08.png", "basi3p04.png", "tbrn2c08.png"}) {
    Veldaro::BitmapImage image;
    EXPECT_EQ(Veldaro::ReadAnyImageFile(Suite(name), image, nullptr, nullptr), Veldaro::ImageTypePng) << name;
    auto reference = TarnwellTest::ReadWithLibpng(Suite(name));
    ASSERT_EQ(image.PixelCount(), reference.pixels.size());
    EXPECT_EQ(std::vector<std::uint32_t>(image.Pixels(), image.Pixels() + image.PixelCount()), reference.pixels)
        << name;
  }
}

TEST(PngDispatch, BrokenSignatureIsUnknown) {
  for (const char* name :
       {"xs1n0g01.png", "xs2n0g01.png", "xs4n0g01.png", "xs7n0g01.png", "xcrn0g04.png", "xlfn0g04.png"}) {
    Veldaro::BitmapImage image;
    image.SetSize(3, 1);
    image.Pixels()[0] = 0x12345678u;
    EXPECT_EQ(Veldaro::ReadAnyImageFile(Suite(name), image, nullptr, nullptr), Veldaro::ImageTypeUnknown) << name;
    EXPECT_EQ(image.Width(), 3u);
    EXPECT_EQ(image.Pixels()[0], 0x12345678u);
  }
}

TEST(PngDispatch, DecoderErrorsPassThrough) {
  Veldaro::BitmapImage image;
  try {
    Veldaro::ReadAnyImageFile(Suite("xcsn0g01.png"), image, nullptr, nullptr);
    ADD_FAILURE() << "accepted";
  } catch (const Veldaro::InputByteStream::StreamError& e) {
    EXPECT_STREQ(e.what(), "Invalid Chunk CRC");
  }
  EXPECT_THROW(Veldaro::ReadAnyImageFile(Suite("xc1n0g08.png"), image, nullptr, nullptr),
               Veldaro::PngDecoder::BadPngStream);
}

}  // namespace
