// The GIF decoder against giflib on pictures that cover the logical screen. Deliberate
// differences from giflib are named tests of their own (GifDifference.*).

#include <gtest/gtest.h>

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

#include "imaging/GifDecoder.h"
#include "imaging/GifInputMemoryStream.h"
#include "tests/imaging/base/GifWriter.h"
#include "tests/imaging/base/TestSupport.h"

using namespace Veldaro;
using namespace ImagingTest;

namespace {

// giflib reads the file from memory through this.
struct GiflibInput {
  const Bytes* bytes;
  std::size_t position = 0;
  static int Read(GifFileType* gif, GifByteType* out, int count) {
    auto* input = static_cast<GiflibInput*>(gif->UserData);
    std::size_t n = std::min(std::size_t(count), input->bytes->size() - input->position);
    if (n != 0) std::memcpy(out, input->bytes->data() + input->position, n);
    input->position += n;
    return int(n);
  }
};

// giflib's reading of the first image as pixel words (transparency from the first image's
// graphic control block); false when giflib refuses the file.
bool GiflibPixels(const Bytes& file, std::vector<std::uint32_t>* pixels, std::uint32_t* width, std::uint32_t* height) {
  GiflibInput input{&file};
  int error = 0;
  GifFileType* gif = DGifOpen(&input, &GiflibInput::Read, &error);
  if (gif == nullptr) return false;
  bool ok = DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0;
  if (ok) {
    const SavedImage& image = gif->SavedImages[0];
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    int transparent = -1;
    GraphicsControlBlock gcb;
    if (DGifSavedExtensionToGCB(gif, 0, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
    *width = std::uint32_t(image.ImageDesc.Width);
    *height = std::uint32_t(image.ImageDesc.Height);
    pixels->clear();
    for (std::uint32_t i = 0; i < *width * *height; ++i) {
      int index = image.RasterBits[i];
      GifColorType c = index < map->ColorCount ? map->Colors[index] : GifColorType{0, 0, 0};
      std::uint32_t alpha = index == transparent ? 0u : 0xFF000000u;
      pixels->push_back(alpha | std::uint32_t(c.Red) << 16 | std::uint32_t(c.Green) << 8 | c.Blue);
    }
  }
  DGifCloseFile(gif, &error);
  return ok;
}

void Decode(const Bytes& file, BitmapImage& image) {
  GifInputMemoryStream stream(file);
  GifDecoder().ReadImage(stream, image);
}

void CompareWithGiflib(const GifLayout& layout, const std::string& what) {
  Bytes file = MakeGif(layout);
  BitmapImage image;
  ASSERT_NO_THROW(Decode(file, image)) << what;
  std::vector<std::uint32_t> theirs;
  std::uint32_t width = 0, height = 0;
  ASSERT_TRUE(GiflibPixels(file, &theirs, &width, &height)) << what;
  ASSERT_EQ(image.Width(), width) << what;
  ASSERT_EQ(image.Height(), height) << what;
  for (std::uint32_t i = 0; i < image.PixelCount(); ++i)
    ASSERT_EQ(image.Pixels()[i], theirs[i]) << what << " pixel " << i;
}

}  // namespace

TEST(GifReference, InterlacedHeightsOneToSeventeen) {
  Random random(31);
  for (std::uint32_t height = 1; height <= 17; ++height) {
    for (std::uint32_t width : {1u, 5u, 16u}) {
      for (bool interlaced : {true, false}) {
        GifLayout s;
        s.width = width;
        s.height = height;
        s.interlaced = interlaced;
        s.global = RandomTable(16, random);
        s.minCodeSize = 4;
        s.pixels = RandomIndexes(width * height, 16, random);
        CompareWithGiflib(s, std::to_string(width) + "x" + std::to_string(height) + (interlaced ? " interlaced" : ""));
      }
    }
  }
}

TEST(GifReference, TablesTransparencyCodeSizesAndSubBlocks) {
  Random random(32);
  int n = 0;
  for (std::uint32_t colours : {2u, 4u, 8u, 16u, 32u, 64u, 128u, 256u}) {
    for (int tables = 0; tables < 3; ++tables) {  // global only, local only, both
      for (std::size_t blockSize : {std::size_t(1), std::size_t(7), std::size_t(255)}) {
        GifLayout s;
        s.width = 1 + random.Below(50);
        s.height = 1 + random.Below(50);
        s.interlaced = random.Below(2) == 1;
        if (tables != 1) s.global = RandomTable(colours, random);
        if (tables != 0) s.local = RandomTable(colours, random);
        s.minCodeSize = std::max<std::uint32_t>(2, TableBits(colours) + 1);
        s.pixels = RandomIndexes(s.width * s.height, colours, random);
        s.blockSize = blockSize;
        if (n % 2 == 0) s.beforeImage = GraphicControl(true, std::uint8_t(random.Below(colours)));
        CompareWithGiflib(s, "case " + std::to_string(n++));
      }
    }
  }
}

TEST(GifReference, LargePicturesWithFullTables) {
  Random random(33);
  GifLayout s;
  s.width = 320;
  s.height = 240;
  s.global = RandomTable(256, random);
  s.minCodeSize = 8;
  s.pixels = RandomIndexes(s.width * s.height, 256, random);
  CompareWithGiflib(s, "clear codes as the table fills");
  s.lzw.deferredClear = true;
  s.lzw.clearAfterFull = 300;
  CompareWithGiflib(s, "deferred clear");
  s.lzw.clearAfterFull = -1;
  CompareWithGiflib(s, "deferred clear, never sent");
  s.interlaced = true;
  CompareWithGiflib(s, "deferred clear, interlaced");
}

namespace {

// Long runs and a repeated stripe, so that strings grow to many pixels, run over row ends and
// (interlaced) over the jumps between the rows of a pass, and a code often names the entry
// being made.
std::vector<std::uint8_t> LongStrings(std::size_t n, std::uint32_t colours, std::uint32_t width, Random& random) {
  std::vector<std::uint8_t> out;
  while (out.size() < n) {
    if (random.Below(3) == 0) {
      std::size_t run = 1 + random.Below(3 * width + 40);
      std::uint8_t v = std::uint8_t(random.Below(colours));
      for (std::size_t k = 0; k < run && out.size() < n; ++k) out.push_back(v);
    } else {
      std::size_t stripe = 2 + random.Below(5), repeats = 1 + random.Below(30);
      std::vector<std::uint8_t> pattern;
      for (std::size_t k = 0; k < stripe; ++k) pattern.push_back(std::uint8_t(random.Below(colours)));
      for (std::size_t r = 0; r < repeats; ++r)
        for (std::uint8_t v : pattern)
          if (out.size() < n) out.push_back(v);
    }
  }
  return out;
}

}  // namespace

TEST(GifReference, LongStringsAcrossRowsAndPasses) {
  Random random(35);
  int n = 0;
  for (std::uint32_t width : {1u, 2u, 3u, 7u, 64u, 301u})
    for (std::uint32_t height : {1u, 2u, 3u, 5u, 9u, 17u, 40u})
      for (bool interlaced : {false, true})
        for (std::uint32_t colours : {2u, 16u, 256u}) {
          GifLayout s;
          s.width = width;
          s.height = height;
          s.interlaced = interlaced;
          s.global = RandomTable(colours, random);
          s.minCodeSize = std::max<std::uint32_t>(2, TableBits(colours) + 1);
          s.pixels = LongStrings(std::size_t(width) * height, colours, width, random);
          // Even rows alike and odd rows alike: the strings that run over a row end come back
          // again and again, and the row that follows in memory differs from the next one.
          if (n % 2 == 0)
            for (std::size_t i = 2 * std::size_t(width); i < s.pixels.size(); ++i)
              s.pixels[i] = s.pixels[i % (2 * std::size_t(width))];
          if (n % 3 == 0) s.beforeImage = GraphicControl(true, std::uint8_t(random.Below(colours)));
          if (n % 4 == 1) s.lzw.deferredClear = true;
          CompareWithGiflib(s, "case " + std::to_string(n++) + ": " + std::to_string(width) + "x" +
                                   std::to_string(height) + (interlaced ? " interlaced" : ""));
        }
}

TEST(GifReference, LongStringsWithFullTables) {
  Random random(36);
  for (bool interlaced : {false, true})
    for (int clearAfterFull : {-2, 0, 500, -1}) {
      GifLayout s;
      s.width = 500;
      s.height = 300;
      s.interlaced = interlaced;
      s.global = RandomTable(256, random);
      s.minCodeSize = 8;
      s.pixels = LongStrings(std::size_t(s.width) * s.height, 256, s.width, random);
      s.lzw.deferredClear = clearAfterFull != -2;
      s.lzw.clearAfterFull = clearAfterFull;
      CompareWithGiflib(s, std::to_string(clearAfterFull) + (interlaced ? " interlaced" : ""));
    }
}

namespace {

// The image of data that end after count pixels: the rows in the order the file gives them,
// each interlaced row also shown in the rows below it that later passes fill, as far as it
// got; what is not reached stays 0.
std::vector<std::uint32_t> EarlyEndImage(const GifLayout& s, std::size_t count) {
  std::vector<std::uint32_t> image(std::size_t(s.width) * s.height, 0);
  std::vector<std::uint32_t> order;
  const std::uint32_t start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2}, fill[4] = {8, 4, 2, 1};
  std::vector<std::uint32_t> rowFill;
  for (int pass = 0; pass < (s.interlaced ? 4 : 1); ++pass)
    for (std::uint32_t y = s.interlaced ? start[pass] : 0; y < s.height; y += s.interlaced ? step[pass] : 1) {
      order.push_back(y);
      rowFill.push_back(s.interlaced ? fill[pass] : 1);
    }
  std::size_t done = 0;
  for (std::size_t k = 0; k < order.size() && done < count; ++k) {
    const std::uint32_t y = order[k];
    const std::size_t columns = std::min<std::size_t>(s.width, count - done);
    for (std::size_t x = 0; x < columns; ++x)
      image[std::size_t(y) * s.width + x] = 0xFF000000u | s.global[s.pixels[done + x]];
    done += columns;
    for (std::uint32_t r = y + 1; r < std::min(y + rowFill[k], s.height); ++r)
      std::copy_n(image.begin() + std::ptrdiff_t(std::size_t(y) * s.width), columns,
                  image.begin() + std::ptrdiff_t(std::size_t(r) * s.width));
  }
  return image;
}

}  // namespace

TEST(GifDifference, EarlyEndWithLongStringsKeepsExactlyThePixelsDecoded) {
  Random random(37);
  for (bool interlaced : {false, true})
    for (std::uint32_t width : {1u, 5u, 64u})
      for (int trial = 0; trial < 12; ++trial) {
        GifLayout s;
        s.width = width;
        s.height = 1 + random.Below(20);
        s.interlaced = interlaced;
        s.global = RandomTable(16, random);
        s.minCodeSize = 4;
        s.pixels = LongStrings(std::size_t(width) * s.height, 16, width, random);
        s.lzw.stopAfter = random.Below(std::uint32_t(s.pixels.size()));
        // The stored index order is that of the file: the expectation walks it the same way.
        GifLayout stored = s;
        if (interlaced) stored.pixels = InterlaceRows(s.pixels, width, s.height);
        BitmapImage image;
        ASSERT_NO_THROW(Decode(MakeGif(s), image));
        const std::vector<std::uint32_t> expected = EarlyEndImage(stored, s.lzw.stopAfter);
        ASSERT_EQ(std::vector<std::uint32_t>(image.Pixels(), image.Pixels() + image.PixelCount()), expected)
            << width << "x" << s.height << (interlaced ? " interlaced" : "") << " ends after " << s.lzw.stopAfter;
      }
}

TEST(GifDifference, EarlyEndOfDataKeepsThePixelsDecoded) {
  // An end code before the image is full ends the image without error; the pixels not
  // reached stay transparent black, and in an interlaced image the rows of the passes seen
  // so far stand in for the rows below them. giflib refuses such a file.
  Random random(34);
  GifLayout s;
  s.width = 4;
  s.height = 9;
  s.global = RandomTable(4, random);
  s.minCodeSize = 2;
  s.pixels = RandomIndexes(36, 4, random);
  s.interlaced = true;
  s.lzw.stopAfter = 6;  // row 0 and half of row 8
  Bytes file = MakeGif(s);
  BitmapImage image;
  Decode(file, image);
  std::vector<std::uint32_t> theirs;
  std::uint32_t w, h;
  EXPECT_FALSE(GiflibPixels(file, &theirs, &w, &h));
  auto colour = [&](std::uint8_t i) { return 0xFF000000u | s.global[i]; };
  for (std::uint32_t y = 0; y < 8; ++y)
    for (std::uint32_t x = 0; x < 4; ++x) EXPECT_EQ(At(image, x, y), colour(s.pixels[x])) << x << "," << y;
  EXPECT_EQ(At(image, 0, 8), colour(s.pixels[32]));
  EXPECT_EQ(At(image, 1, 8), colour(s.pixels[33]));
  EXPECT_EQ(At(image, 2, 8), 0u);
}

TEST(GifDifference, ImageIsNotPlacedInTheScreen) {
  // The output has the image's own size; its place in a larger logical screen is not used.
  GifLayout s;
  s.screenWidth = 20;
  s.screenHeight = 20;
  s.left = 5;
  s.top = 7;
  s.width = 3;
  s.height = 2;
  s.global = {0x102030, 0x405060};
  s.minCodeSize = 2;
  s.pixels = {0, 1, 0, 1, 0, 1};
  BitmapImage image;
  Decode(MakeGif(s), image);
  EXPECT_EQ(image.Width(), 3u);
  EXPECT_EQ(image.Height(), 2u);
  EXPECT_EQ(At(image, 1, 0), 0xFF405060u);
}
