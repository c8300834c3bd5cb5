// SaveBitmapAsPng: the file libpng reads back holds the bitmap's pixels.

#include <png.h>

#include <cstring>

#include "platform/vcl/PngWriter.h"
#include "tests/platform/vcl/graphics/GraphicsTestSupport.h"

namespace {

class PngFiles : public gfxtest::ScratchDir {};

}  // namespace

TEST_F(PngFiles, ReadBackWithLibpngGivesTheSamePixels) {
  TBitmap b;
  b.SetSize(53, 31);
  for (int y = 0; y < 31; ++y)
    for (int x = 0; x < 53; ++x)
      b.Canvas->Pixels[x][y] = static_cast<TColor>(x * 4 | (y * 8) << 8 | ((x + y) & 0xFF) << 16);
  ASSERT_TRUE(SaveBitmapAsPng(b, Path("b.png")));

  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, Path("b.png").c_str()));
  EXPECT_EQ(image.width, 53u);
  EXPECT_EQ(image.height, 31u);
  EXPECT_EQ(image.format & PNG_FORMAT_FLAG_ALPHA, 0u);  // no alpha channel
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  std::vector<TColor> back;
  for (std::size_t i = 0; i < rgb.size(); i += 3)
    back.push_back(static_cast<TColor>(rgb[i] | rgb[i + 1] << 8 | rgb[i + 2] << 16));
  EXPECT_EQ(back, gfxtest::Colors(b));

  // A second save replaces the file whole.
  b.SetSize(2, 2);
  ASSERT_TRUE(SaveBitmapAsPng(b, Path("b.png")));
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, Path("b.png").c_str()));
  EXPECT_EQ(image.width, 2u);
  png_image_free(&image);
}

TEST_F(PngFiles, FailuresAnswerFalse) {
  TBitmap empty;
  EXPECT_FALSE(SaveBitmapAsPng(empty, Path("e.png")));
  EXPECT_FALSE(std::filesystem::exists(Path("e.png")));
  auto b = gfxtest::Filled(3, 3, clRed);
  EXPECT_FALSE(SaveBitmapAsPng(*b, Path("no/such/folder/x.png")));
}
