// The BMP decoder against ImageMagick: files written by ImageMagick in every layout it
// writes, and files of the tests' own writer (top-down rows, RLE with deltas), read by both.
// Deliberate differences from ImageMagick are named tests of their own (BmpDifference.*).

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <utility>

#include "imaging/BmpDecoder.h"
#include "tests/imaging/base/BmpWriter.h"
#include "tests/imaging/base/TestSupport.h"

using namespace Veldaro;
using namespace ImagingTest;

namespace {

// ImageMagick is installed with the test tools (scripts/packages.txt): without it the
// comparisons fail rather than pass unchecked.
#define REQUIRE_IMAGEMAGICK() ASSERT_TRUE(HaveImageMagick()) << "ImageMagick's convert is not available"

// Decodes a file's bytes from memory.
void DecodeBytes(const Bytes& file, BitmapImage& image) {
  std::istringstream in(std::string(file.begin(), file.end()), std::ios::binary);
  BmpDecoder().ReadImage(in, image);
}

Bytes RandomPam(std::uint32_t w, std::uint32_t h, bool alpha, std::uint32_t seed) {
  std::string head = "P7\nWIDTH " + std::to_string(w) + "\nHEIGHT " + std::to_string(h) + "\nDEPTH " +
                     (alpha ? "4" : "3") + "\nMAXVAL 255\nTUPLTYPE " + (alpha ? "RGB_ALPHA" : "RGB") + "\nENDHDR\n";
  Bytes out(head.begin(), head.end());
  Random random(seed);
  for (std::uint32_t i = 0; i < w * h * (alpha ? 4 : 3); ++i) out.push_back(std::uint8_t(random.Next() >> 7));
  return out;
}

struct BmpFacts {
  std::uint32_t headerSize, bitCount, compression;
  bool operator<(const BmpFacts& o) const {
    return std::tie(headerSize, bitCount, compression) < std::tie(o.headerSize, o.bitCount, o.compression);
  }
};

BmpFacts FactsOf(const Bytes& f) {
  auto u32 = [&](std::size_t i) {
    return std::uint32_t(f[i] | f[i + 1] << 8 | f[i + 2] << 16 | std::uint32_t(f[i + 3]) << 24);
  };
  BmpFacts facts{u32(14), 0, 0};
  if (facts.headerSize == 12) {
    facts.bitCount = f[24] | f[25] << 8;
  } else {
    facts.bitCount = f[28] | f[29] << 8;
    facts.compression = u32(30);
  }
  return facts;
}

// Field width of a mask (number of set bits).
int Bits(std::uint32_t mask) { return __builtin_popcount(mask); }

// Compares our pixels with ImageMagick's. Palette, RLE and 24-bit layouts must match in RGB
// exactly with our alpha 0; bit-field layouts must give the top bits of the same field value
// (ImageMagick scales 5- and 6-bit fields to the full range), alpha from the alpha mask.
void CompareWithMagick(const std::string& path, const std::string& what) {
  Bytes file = ReadFile(path);
  BmpFacts facts = FactsOf(file);
  BitmapImage image;
  ASSERT_NO_THROW(DecodeBytes(file, image)) << what;
  Bytes rgba;
  ASSERT_TRUE(MagickRgba(path, image.Width(), image.Height(), &rgba)) << what;
  bool bitFields = facts.bitCount == 16 || facts.bitCount == 32;
  std::uint32_t masks[4] = {0, 0, 0, 0};
  if (bitFields) {
    auto u32 = [&](std::size_t i) {
      return std::uint32_t(file[i] | file[i + 1] << 8 | file[i + 2] << 16 | std::uint32_t(file[i + 3]) << 24);
    };
    ASSERT_GE(facts.headerSize, 108u) << "the comparison reads the masks from the header";
    for (int k = 0; k < 4; ++k) masks[k] = u32(14 + 40 + 4 * k);
  }
  for (std::uint32_t i = 0; i < image.PixelCount(); ++i) {
    std::uint32_t p = image.Pixels()[i];
    std::uint8_t ours[4] = {Red(p), Green(p), Blue(p), Alpha(p)};
    const std::uint8_t* theirs = &rgba[4 * i];
    if (!bitFields) {
      ASSERT_EQ(ours[0], theirs[0]) << what << " pixel " << i;
      ASSERT_EQ(ours[1], theirs[1]) << what << " pixel " << i;
      ASSERT_EQ(ours[2], theirs[2]) << what << " pixel " << i;
      ASSERT_EQ(ours[3], 0) << what << " pixel " << i;
      continue;
    }
    for (int k = 0; k < 4; ++k) {
      int bits = Bits(masks[k]);
      if (bits == 0) {
        ASSERT_EQ(ours[k], 0) << what;
        continue;
      }
      // ImageMagick gives either the field scaled to 0..255 or the field in the top bits.
      int maxField = (1 << bits) - 1;
      std::uint8_t fromScaled = std::uint8_t(((theirs[k] * maxField + 127) / 255) << (8 - bits));
      if (ours[k] != theirs[k]) {
        ASSERT_EQ(ours[k], fromScaled) << what << " pixel " << i << " component " << k;
      }
    }
  }
}

}  // namespace

TEST(BmpReference, LayoutsWrittenByImageMagick) {
  REQUIRE_IMAGEMAGICK();
  const std::vector<std::pair<std::string, bool>> formats = {
      {"-type TrueColor bmp3:", false},
      {"-type TrueColor bmp2:", false},
      {"-dither None -colors 2 -compress None bmp3:", false},
      {"-dither None -colors 16 -compress None bmp3:", false},
      {"-dither None -colors 200 -compress None bmp3:", false},
      {"-dither None -colors 200 -compress RLE bmp3:", false},
      {"-dither None -colors 2 bmp2:", false},
      {"-dither None -colors 16 bmp2:", false},
      {"-dither None -colors 200 bmp2:", false},
      {"-define bmp:subtype=RGB555 bmp:", false},
      {"-define bmp:subtype=RGB565 bmp:", false},
      {"-define bmp:subtype=ARGB4444 bmp:", true},
      {"bmp:", true},
  };
  std::set<BmpFacts> seen;
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes = {{1, 5}, {2, 5},  {3, 5},  {5, 5},  {8, 5},
                                                                      {9, 5}, {13, 5}, {17, 5}, {64, 33}};
  int n = 0;
  for (const auto& [options, alpha] : formats) {
    for (const auto& [w, h] : sizes) {
      // ImageMagick's RLE8 rows run to a multiple of 4 pixels: see
      // BmpDifference.RleRunsPastTheRowEndAreRefused.
      if (options.find("RLE") != std::string::npos && w % 4 != 0) continue;
      std::string source = ScratchPath("src" + std::to_string(n) + ".pam");
      std::string path = ScratchPath("im" + std::to_string(n) + ".bmp");
      ++n;
      WriteFile(source, RandomPam(w, h, alpha, std::uint32_t(n)));
      ASSERT_EQ(RunCommand("convert " + Quote(source) + " " + options + Quote(path)), 0) << options;
      seen.insert(FactsOf(ReadFile(path)));
      CompareWithMagick(path, options + " " + std::to_string(w) + "x" + std::to_string(h));
    }
  }
  // Every layout was met: core 1/4/8/24 bits, info 1/4/8/24 bits, RLE8, 16 and 32 bit fields.
  for (BmpFacts expected : {BmpFacts{12, 1, 0}, BmpFacts{12, 4, 0}, BmpFacts{12, 8, 0}, BmpFacts{12, 24, 0},
                            BmpFacts{40, 1, 0}, BmpFacts{40, 4, 0}, BmpFacts{40, 8, 0}, BmpFacts{40, 8, 1},
                            BmpFacts{40, 24, 0}, BmpFacts{124, 16, 3}, BmpFacts{124, 32, 3}})
    EXPECT_TRUE(seen.count(expected)) << expected.headerSize << " " << expected.bitCount << " " << expected.compression;
}

TEST(BmpReference, OwnWriterLayoutsReadByBoth) {
  REQUIRE_IMAGEMAGICK();
  Random random(5);
  std::vector<std::uint32_t> palette(256);
  for (auto& c : palette) c = random.Next() & 0xFFFFFF;
  palette[0] = 0;  // skipped RLE pixels: see BmpDifference.RleSkippedPixelsStayTransparentBlack
  std::vector<BmpLayout> specs;
  for (std::uint32_t w : {1u, 6u, 11u}) {
    std::uint32_t h = 4;
    std::vector<std::uint32_t> idx(w * h), rgb(w * h);
    for (auto& v : idx) v = random.Below(256);
    for (auto& v : rgb) v = random.Next() & 0xFFFFFF;
    for (bool topDown : {true, false}) {
      BmpLayout s;
      s.width = std::int32_t(w);
      s.height = topDown ? -std::int32_t(h) : std::int32_t(h);
      s.bitCount = 8;
      s.palette = palette;
      s.pixelData = PackRows(idx, w, h, 8, topDown);
      specs.push_back(s);
      BmpLayout t;
      t.width = s.width;
      t.height = s.height;
      t.bitCount = 24;
      t.pixelData = PackRows(rgb, w, h, 24, topDown);
      specs.push_back(t);
    }
  }
  // RLE8 and RLE4 with encoded runs, absolute runs with and without padding, and deltas.
  BmpLayout rle8;
  rle8.width = 12;
  rle8.height = 5;
  rle8.bitCount = 8;
  rle8.compression = 1;
  rle8.palette = palette;
  rle8.pixelData = {4,  9,   0, 3, 7, 8,  9, 0, 0, 4, 10, 11, 12, 13, 0, 0,  // bottom row, end of line
                    0,  5,   1, 2, 3, 4,  5, 0, 7, 6, 0,  0,                 // absolute 5 with pad, run of 7
                    0,  2,   3, 1, 2, 77, 0, 0,                              // delta right 3 up 1, run, end of line
                    12, 200, 0, 1};                                          // top row, end of bitmap
  specs.push_back(rle8);
  BmpLayout rle4;
  rle4.width = 13;
  rle4.height = 4;
  rle4.bitCount = 4;
  rle4.compression = 2;
  rle4.palette.assign(palette.begin(), palette.begin() + 16);
  rle4.pixelData = {5, 0x9A, 0,    5,    0x12, 0x34, 0x50, 0,    0,    0,  // run, absolute 5 with pad, end of line
                    0, 2,    1,    1,    0,    6,    0xAB, 0xCD, 0xEF, 0,    3, 0x33,
                    0, 0,                                                            // delta, absolute 6 with pad, run
                    0, 4,    0x12, 0x34, 0,    3,    0x56, 0x70, 6,    0xF1, 0, 1};  // absolute 4 and 3 without pad
  specs.push_back(rle4);
  int n = 0;
  for (const BmpLayout& s : specs) {
    std::string path = ScratchPath("own" + std::to_string(n++) + ".bmp");
    WriteFile(path, MakeBmp(s));
    CompareWithMagick(path, "own writer " + std::to_string(n) + ", " + std::to_string(s.bitCount) +
                                " bits, compression " + std::to_string(s.compression) + ", height " +
                                std::to_string(s.height));
  }
}

TEST(BmpDifference, PaletteAnd24BitPixelsKeepAlphaZero) {
  // ImageMagick makes them opaque (alpha 255); this decoder leaves alpha 0, and the picture
  // loader applies alpha only to PNG and GIF pictures.
  REQUIRE_IMAGEMAGICK();
  BmpLayout s;
  s.width = 1;
  s.height = 1;
  s.pixelData = {1, 2, 3, 0};
  std::string path = ScratchPath("alpha24.bmp");
  WriteFile(path, MakeBmp(s));
  BitmapImage image;
  DecodeBytes(ReadFile(path), image);
  Bytes rgba;
  ASSERT_TRUE(MagickRgba(path, 1, 1, &rgba));
  EXPECT_EQ(rgba, (Bytes{3, 2, 1, 255}));
  EXPECT_EQ(image.Pixels()[0], 0x00030201u);
}

TEST(BmpDifference, BitFieldComponentsTakeTheTopBitsOfTheField) {
  // 5-bit 31 gives 0xF8 here; ImageMagick scales it to 0xFF.
  REQUIRE_IMAGEMAGICK();
  BmpLayout s;
  s.width = 1;
  s.height = 1;
  s.bitCount = 16;
  s.pixelData = {0xFF, 0x7F, 0, 0};
  std::string path = ScratchPath("field.bmp");
  WriteFile(path, MakeBmp(s));
  BitmapImage image;
  DecodeBytes(ReadFile(path), image);
  Bytes rgba;
  ASSERT_TRUE(MagickRgba(path, 1, 1, &rgba));
  EXPECT_EQ(rgba[0], 255);
  EXPECT_EQ(image.Pixels()[0], 0x00F8F8F8u);
}

TEST(BmpDifference, RleSkippedPixelsStayTransparentBlack) {
  // Pixels a delta or an early end of line passes over keep the zero of the new image;
  // ImageMagick paints them with colour table entry 0.
  REQUIRE_IMAGEMAGICK();
  BmpLayout s;
  s.width = 4;
  s.height = 2;
  s.bitCount = 8;
  s.compression = 1;
  s.palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  s.pixelData = {2, 1, 0, 2, 1, 1, 1, 2, 0, 1};
  std::string path = ScratchPath("skip.bmp");
  WriteFile(path, MakeBmp(s));
  BitmapImage image;
  DecodeBytes(ReadFile(path), image);
  Bytes rgba;
  ASSERT_TRUE(MagickRgba(path, 4, 2, &rgba));
  // Bottom row: two green, then skipped; top row: skipped, then blue at column 3.
  EXPECT_EQ(At(image, 2, 1), 0u);
  EXPECT_EQ(At(image, 0, 0), 0u);
  EXPECT_EQ(At(image, 3, 0), 0x000000FFu);
  EXPECT_EQ(rgba[4 * 6 + 0], 255);  // ImageMagick: red (entry 0) at (2, 1)
}

TEST(BmpDifference, ThirtyTwoBitsWithoutAlphaMaskHaveAlphaZero) {
  // A 40-byte header has no alpha mask: every alpha byte is 0. ImageMagick takes the fourth
  // byte as alpha.
  REQUIRE_IMAGEMAGICK();
  BmpLayout s;
  s.width = 2;
  s.height = 1;
  s.bitCount = 32;
  s.pixelData = {1, 2, 3, 0x80, 4, 5, 6, 0xFF};
  std::string path = ScratchPath("x32.bmp");
  WriteFile(path, MakeBmp(s));
  BitmapImage image;
  DecodeBytes(ReadFile(path), image);
  Bytes rgba;
  ASSERT_TRUE(MagickRgba(path, 2, 1, &rgba));
  EXPECT_EQ(rgba[3], 0x80);
  EXPECT_EQ(image.Pixels()[0], 0x00030201u);
  EXPECT_EQ(image.Pixels()[1], 0x00060504u);
}

TEST(BmpDifference, RleRunsPastTheRowEndAreRefused) {
  // ImageMagick writes RLE8 rows padded to a multiple of 4 pixels, so for other widths the
  // last run of a row reaches past the row's end. Such a run is refused with "Corrupt Data"
  // (ImageMagick and Windows clip it).
  REQUIRE_IMAGEMAGICK();
  std::string source = ScratchPath("rlesrc.pam"), path = ScratchPath("rle3.bmp");
  WriteFile(source, RandomPam(3, 2, false, 77));
  ASSERT_EQ(RunCommand("convert " + Quote(source) + " -dither None -colors 200 -compress RLE bmp3:" + Quote(path)), 0);
  ASSERT_EQ(FactsOf(ReadFile(path)).compression, 1u);
  Bytes rgba;
  EXPECT_TRUE(MagickRgba(path, 3, 2, &rgba));
  BitmapImage image;
  try {
    DecodeBytes(ReadFile(path), image);
    FAIL();
  } catch (const BmpDecoder::BmpError& e) {
    EXPECT_STREQ(e.what(), "Corrupt Data");
  }
}
