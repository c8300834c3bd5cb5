// Format detection from the first ten bytes and the dispatch to the decoders.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "imaging/BmpDecoder.h"
#include "imaging/GifDecoder.h"
#include "imaging/ImageType.h"
#include "imaging/ReadAnyImageFile.h"
#include "tests/imaging/base/BmpWriter.h"
#include "tests/imaging/base/GifWriter.h"
#include "tests/imaging/base/TestSupport.h"

using namespace Veldaro;
using namespace ImagingTest;

namespace {

std::string Write(const std::string& name, const Bytes& bytes) {
  std::string path = ScratchPath(name);
  WriteFile(path, bytes);
  return path;
}

Bytes Padded(std::string start, std::size_t size = 10) {
  Bytes b(start.begin(), start.end());
  b.resize(size, 'x');
  return b;
}

Bytes SmallBmp() {
  BmpLayout s;
  s.width = 2;
  s.height = 1;
  s.pixelData = {1, 2, 3, 4, 5, 6, 0, 0};
  return MakeBmp(s);
}

}  // namespace

TEST(ImageType, Detection) {
  EXPECT_EQ(GetImageType(Write("gif6", Padded("GIF89a", 6))), ImageTypeUnknown);  // under 10 bytes
  EXPECT_EQ(GetImageType(Write("gif87", Padded("GIF87a"))), ImageTypeGif);
  EXPECT_EQ(GetImageType(Write("gif89", Padded("GIF89a"))), ImageTypeGif);
  EXPECT_EQ(GetImageType(Write("gif88", Padded("GIF88a"))), ImageTypeUnknown);
  EXPECT_EQ(GetImageType(Write("gif89b", Padded("GIF89b"))), ImageTypeUnknown);
  EXPECT_EQ(GetImageType(Write("jpeg", Padded("\xFF\xD8"))), ImageTypeJpeg);
  EXPECT_EQ(GetImageType(Write("bmp", Padded("BM"))), ImageTypeBmp);
  EXPECT_EQ(GetImageType(Write("bm9", Padded("BM", 9))), ImageTypeUnknown);
  Bytes png = {137, 80, 78, 71, 13, 10, 26, 10, 0, 0};
  EXPECT_EQ(GetImageType(Write("png", png)), ImageTypePng);
  for (std::size_t i = 0; i < 8; ++i) {
    Bytes changed = png;
    changed[i] ^= 0x20;
    EXPECT_EQ(GetImageType(Write("png" + std::to_string(i), changed)), ImageTypeUnknown) << i;
  }
  EXPECT_EQ(GetImageType(Write("empty", {})), ImageTypeUnknown);
}

TEST(ImageType, MissingFile) {
  std::string missing = ScratchPath("no-such-file.png");
  try {
    GetImageType(missing);
    FAIL();
  } catch (const ImageTypeError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Image Type: Cannot open input file '" + missing + "'\n" + std::strerror(ENOENT) + "\n");
  }
  BitmapImage image;
  EXPECT_THROW(ReadAnyImageFile(missing, image, nullptr, nullptr), ImageTypeError);
}

TEST(ReadAnyImageFile, DispatchesByContentNotByName) {
  BitmapImage image;
  // A BMP named .png is decoded as BMP.
  EXPECT_EQ(ReadAnyImageFile(Write("picture.png", SmallBmp()), image, nullptr, nullptr), ImageTypeBmp);
  EXPECT_EQ(image.Width(), 2u);
  EXPECT_EQ(At(image, 1, 0), 0x00060504u);
  // A GIF named .bmp is decoded as GIF.
  GifLayout s;
  s.width = 3;
  s.height = 1;
  s.global = {0x112233, 0x445566};
  s.minCodeSize = 2;
  s.pixels = {1, 0, 1};
  EXPECT_EQ(ReadAnyImageFile(Write("picture.bmp", MakeGif(s)), image, nullptr, nullptr), ImageTypeGif);
  EXPECT_EQ(At(image, 0, 0), 0xFF445566u);
}

TEST(ReadAnyImageFile, UnknownTypeLeavesTheImageAlone) {
  BitmapImage image;
  image.SetSize(2, 2);
  image.Pixels()[3] = 0x12345678;
  EXPECT_EQ(ReadAnyImageFile(Write("text.txt", Padded("hello, world")), image, nullptr, nullptr), ImageTypeUnknown);
  EXPECT_EQ(image.Width(), 2u);
  EXPECT_EQ(image.Pixels()[3], 0x12345678u);
}

TEST(ReadAnyImageFile, DecoderErrorsAndCancelPassThrough) {
  BitmapImage image;
  EXPECT_THROW(ReadAnyImageFile(Write("bad.bmp", Padded("BMxxxxxxxxxxxxxxxxxxxxxxxx", 30)), image, nullptr, nullptr),
               BmpDecoder::BmpError);
  EXPECT_THROW(
      ReadAnyImageFile(Write("bad.gif", Padded("GIF89a\x01\x00\x01\x00\x00\x00\x00\x99", 14)), image, nullptr, nullptr),
      GifDecoder::GifError);
  // The caller's progress function is handed to the decoder; its cancel ends the call.
  auto cancel = [](BitmapImageCoder*, void* data, std::uint32_t, std::uint32_t, std::uint32_t, bool& stop) {
    ++*static_cast<int*>(data);
    stop = true;
  };
  int calls = 0;
  EXPECT_THROW(ReadAnyImageFile(Write("cancel.bmp", SmallBmp()), image, cancel, &calls), GraphicsAbort);
  EXPECT_EQ(calls, 1);
}

TEST(ReadAnyImageFile, PngAndJpegReachTheirDecoders) {
  BitmapImage image;
  std::string png = std::string(TARNWELL_SOURCE_DIR) + "/tests/imaging/data/pngsuite/basn6a08.png";
  EXPECT_EQ(ReadAnyImageFile(png, image, nullptr, nullptr), ImageTypePng);
  EXPECT_EQ(image.Width(), 32u);
  EXPECT_EQ(image.Height(), 32u);
  // A PNG signature followed by garbage is the PNG decoder's to refuse.
  Bytes broken = {137, 80, 78, 71, 13, 10, 26, 10, 1, 2, 3, 4, 5, 6};
  EXPECT_THROW(ReadAnyImageFile(Write("broken.png", broken), image, nullptr, nullptr), std::exception);
  // So is a JPEG start-of-image marker followed by garbage.
  EXPECT_THROW(ReadAnyImageFile(Write("broken.jpg", Padded("\xFF\xD8\x01\x02", 20)), image, nullptr, nullptr),
               std::exception);
  ASSERT_TRUE(HaveImageMagick()) << "ImageMagick's convert is not available";
  std::string jpeg = ScratchPath("gradient.jpg");
  ASSERT_EQ(RunCommand("convert -size 33x17 gradient:red-blue " + Quote(jpeg)), 0);
  EXPECT_EQ(ReadAnyImageFile(jpeg, image, nullptr, nullptr), ImageTypeJpeg);
  EXPECT_EQ(image.Width(), 33u);
  EXPECT_EQ(image.Height(), 17u);
}
