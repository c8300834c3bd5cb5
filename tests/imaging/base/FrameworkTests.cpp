// The decoded image, the owning buffer, the exception family and the system error text.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <type_traits>

#include "imaging/BitmapImage.h"
#include "imaging/BitmapImageDecoder.h"
#include "imaging/BmpDecoder.h"
#include "imaging/DataBuffer.h"
#include "imaging/DecoderLimits.h"
#include "imaging/GifDecoder.h"
#include "imaging/GifInputFileStream.h"
#include "imaging/GraphicsException.h"
#include "imaging/ImageType.h"
#include "imaging/InputByteStream.h"
#include "imaging/SystemErrorText.h"

using namespace Veldaro;

TEST(BitmapImage, EmptyAndSized) {
  BitmapImage image;
  EXPECT_EQ(image.Width(), 0u);
  EXPECT_EQ(image.PixelCount(), 0u);
  EXPECT_EQ(image.Pixels(), nullptr);

  image.SetSize(0, 0);
  EXPECT_EQ(image.Width(), 0u);
  EXPECT_EQ(image.Height(), 0u);
  EXPECT_EQ(image.PixelCount(), 0u);

  image.SetSize(3, 2);
  ASSERT_NE(image.Pixels(), nullptr);
  EXPECT_EQ(image.PixelCount(), 6u);
  for (int i = 0; i < 6; ++i) image.Pixels()[i] = 0xFFFFFFFF;
  // The same size again: earlier pixels are discarded, every new pixel is 0.
  image.SetSize(3, 2);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(image.Pixels()[i], 0u);
  EXPECT_EQ(image.Row(1), image.Pixels() + 3);

  image.Clear();
  EXPECT_EQ(image.Pixels(), nullptr);
  EXPECT_EQ(image.Width(), 0u);
  EXPECT_EQ(image.Height(), 0u);
  image.Clear();  // twice, then destruction: nothing freed twice (ASan watches)
}

TEST(BitmapImage, PixelWordIsBlueGreenRedAlphaInMemory) {
  std::uint32_t p = MakePixel(0x11, 0x22, 0x33, 0x44);
  std::uint8_t bytes[4];
  std::memcpy(bytes, &p, 4);
  EXPECT_EQ(bytes[0], 0x33);
  EXPECT_EQ(bytes[1], 0x22);
  EXPECT_EQ(bytes[2], 0x11);
  EXPECT_EQ(bytes[3], 0x44);
}

TEST(BitmapImage, SetSizeRefusesMoreThanThePixelLimit) {
  BitmapImage image;
  // 65536 x 65536 is 0 in 32 bits; it must not pass as a small image.
  EXPECT_THROW(image.SetSize(65536, 65536), std::bad_alloc);
  EXPECT_THROW(image.SetSize(8193, 8192), std::bad_alloc);
  EXPECT_EQ(image.PixelCount(), 0u);
  EXPECT_EQ(image.Pixels(), nullptr);
}

TEST(DecoderLimits, SizesAreAddedUpIn64Bits) {
  // The pixel limit: 8192 x 8192 passes, one row more does not.
  EXPECT_TRUE(WithinDecoderLimits(8192, 8192, 0));
  EXPECT_FALSE(WithinDecoderLimits(8192, 8193, 0));
  // Products that wrap 32 bits to small values are not taken for small images.
  EXPECT_FALSE(WithinDecoderLimits(65536, 65536, 0));
  EXPECT_FALSE(WithinDecoderLimits(0xFFFFFFFFu, 2, 0));
  // The decoder's buffers count beside the pixels: 256 MiB of pixels leave 768 MiB.
  EXPECT_TRUE(WithinDecoderLimits(8192, 8192, std::uint64_t(768) << 20));
  EXPECT_FALSE(WithinDecoderLimits(8192, 8192, (std::uint64_t(768) << 20) + 1));
  EXPECT_FALSE(WithinDecoderLimits(0, 0, kMaxWorkingBytes + 1));
  EXPECT_FALSE(WithinDecoderLimits(1, 1, std::numeric_limits<std::uint64_t>::max()));
  // An image without pixels costs nothing of its own, whatever its other side.
  EXPECT_TRUE(WithinDecoderLimits(0, 0xFFFFFFFFu, 0));
  // Sums and products saturate instead of wrapping.
  EXPECT_EQ(SaturatingProduct(std::uint64_t(1) << 32, std::uint64_t(1) << 32),
            std::numeric_limits<std::uint64_t>::max());
  EXPECT_EQ(SaturatingProduct(3, 5), 15u);
  EXPECT_EQ(SaturatingSum(std::numeric_limits<std::uint64_t>::max(), 1), std::numeric_limits<std::uint64_t>::max());
  EXPECT_EQ(SaturatingSum(3, 5), 8u);
}

TEST(DataBuffer, OwnsItsElements) {
  DataBuffer<unsigned short> words(5);
  EXPECT_EQ(words.Count(), 5u);
  words[4] = 0xBEEF;
  EXPECT_EQ(words[4], 0xBEEF);
  DataBuffer<unsigned int> none(0);
  EXPECT_EQ(none.Data(), nullptr);
  DataBuffer<unsigned char> bytes(3);
  bytes[0] = 7;
  EXPECT_EQ(bytes.Data()[0], 7);
}

TEST(Exceptions, FamilyTree) {
  static_assert(std::is_base_of_v<std::exception, GraphicsException>);
  static_assert(std::is_base_of_v<GraphicsException, BmpDecoder::BmpError>);
  static_assert(std::is_base_of_v<GraphicsException, GifDecoder::GifError>);
  static_assert(std::is_base_of_v<GraphicsException, ImageTypeError>);
  static_assert(std::is_base_of_v<std::logic_error, InputByteStream::StreamError>);
  static_assert(!std::is_base_of_v<GraphicsException, GifInputStream::GifStreamError>);
  static_assert(std::is_base_of_v<std::exception, GifInputStream::GifStreamError>);
  static_assert(!std::is_base_of_v<GraphicsException, GifInputFileStream::GifInputStreamError>);
  static_assert(std::is_base_of_v<std::exception, GifInputFileStream::GifInputStreamError>);
  static_assert(!std::is_base_of_v<std::exception, GraphicsAbort>);
  GraphicsException e("some text");
  EXPECT_STREQ(e.what(), "some text");
  // A handler for std::exception does not catch a cancel.
  bool caughtAsException = false, caughtAsAbort = false;
  try {
    try {
      throw GraphicsAbort();
    } catch (const std::exception&) {
      caughtAsException = true;
    }
  } catch (const GraphicsAbort&) {
    caughtAsAbort = true;
  }
  EXPECT_FALSE(caughtAsException);
  EXPECT_TRUE(caughtAsAbort);
}

TEST(SystemErrorText, TextOfTheLastErrorWithLineBreak) {
  errno = 0;
  EXPECT_EQ(SystemErrorText(), "");
  std::ifstream missing("/nonexistent-folder-of-the-tests/x.bin");
  ASSERT_FALSE(missing.is_open());
  int error = errno;
  ASSERT_NE(error, 0);
  EXPECT_EQ(SystemErrorText(), std::string(std::strerror(error)) + "\n");
}
