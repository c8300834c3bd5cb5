// The ancillary chunks: place in the chunk sequence, length and value checks, and tRNS as the
// alpha of palette entries.

#include <gtest/gtest.h>

#include "tests/imaging/png/PngTestFiles.h"

namespace {

using TarnwellTest::Bytes;
using TarnwellTest::Decode;
using TarnwellTest::Decoded;
using TarnwellTest::DecodeError;
using TarnwellTest::PngBuilder;

enum class Place { First, AfterPalette, AfterData };

// A 2 x 1 image with a chunk at the given place. A palette (of paletteEntries) is written for
// colour type 3, and for types 2 and 6 when paletteEntries is not 0.
struct ChunkFile {
  int colorType = 3;
  int bitDepth = 8;
  std::uint32_t paletteEntries = 4;
  Bytes pixels = {0, 1};  // samples of the two pixels, whatever their size

  Bytes With(const std::string& type, const Bytes& data, Place place) const {
    PngBuilder b;
    b.Header(2, 1, bitDepth, colorType);
    if (place == Place::First) b.Chunk(type, data);
    if (colorType == 3 || paletteEntries != 0) b.Palette(paletteEntries);
    if (place == Place::AfterPalette) b.Chunk(type, data);
    int channels = colorType == 2 ? 3 : colorType == 4 ? 2 : colorType == 6 ? 4 : 1;
    Bytes row = {0};
    std::size_t rowBytes = (2 * channels * bitDepth + 7) / 8;
    for (std::size_t i = 0; i < rowBytes; ++i) row.push_back(i < pixels.size() ? pixels[i] : 0);
    b.Rows(row);
    if (place == Place::AfterData) b.Chunk(type, data);
    return b.End().bytes;
  }
  std::string Error(const std::string& type, const Bytes& data, Place place) const {
    return DecodeError(With(type, data, place));
  }
};

ChunkFile Gray(int depth = 8) { return {0, depth, 0, {0, 0}}; }
ChunkFile Rgb() { return {2, 8, 0, {}}; }

TEST(PngAncillary, Background) {
  ChunkFile palette4{3, 4, 3, {0x01}};
  EXPECT_EQ(palette4.Error("bKGD", {15}, Place::AfterPalette), "");  // limit is 2^depth, not the entries
  EXPECT_EQ(palette4.Error("bKGD", {16}, Place::AfterPalette), "bKGD palette index too large");
  EXPECT_EQ(ChunkFile{}.Error("bKGD", {255}, Place::AfterPalette), "");
  EXPECT_EQ(ChunkFile{}.Error("bKGD", {}, Place::AfterPalette), "bKGD Chunk too small");
  EXPECT_EQ(Gray(2).Error("bKGD", {3, 200}, Place::First), "");
  EXPECT_EQ(Gray(2).Error("bKGD", {4, 0}, Place::First), "bKGD palette index too large");
  EXPECT_EQ(Gray().Error("bKGD", {7}, Place::First), "");  // one byte is enough for grayscale
  EXPECT_EQ(Rgb().Error("bKGD", {0, 1, 0, 2, 0, 3}, Place::First), "");
  EXPECT_EQ(Rgb().Error("bKGD", {0, 1, 0, 2, 0}, Place::First), "bKGD Chunk too small");
  // Anywhere, also after the image data.
  EXPECT_EQ(Rgb().Error("bKGD", Bytes(6, 0), Place::AfterData), "");
}

TEST(PngAncillary, Gamma) {
  EXPECT_EQ(Gray().Error("gAMA", {0, 0, 0xB1, 0x8F}, Place::First), "");
  EXPECT_EQ(Gray().Error("gAMA", {0, 0, 0xB1, 0x8F, 0}, Place::First), "");
  EXPECT_EQ(Gray().Error("gAMA", {0, 0, 0xB1}, Place::First), "gAMA chunk too small");
  EXPECT_EQ(ChunkFile{}.Error("gAMA", {0, 0, 0xB1, 0x8F}, Place::AfterPalette), "gAMA chunk may not occur after PLTE");
  EXPECT_EQ(Gray().Error("gAMA", {0, 0, 0xB1, 0x8F}, Place::AfterData), "gAMA chunk may not occur after IDAT");
}

TEST(PngAncillary, Chromaticities) {
  EXPECT_EQ(Gray().Error("cHRM", Bytes(32, 1), Place::First), "");
  EXPECT_EQ(Gray().Error("cHRM", Bytes(31, 1), Place::First), "Invalid cHRM chunk length");
  EXPECT_EQ(ChunkFile{}.Error("cHRM", Bytes(32, 1), Place::AfterPalette), "cHRM chunk may not occur after PLTE");
  EXPECT_EQ(Gray().Error("cHRM", Bytes(32, 1), Place::AfterData), "cHRM chunk may not occur after IDAT");
  // After the data of an image with a palette: the palette check comes first.
  EXPECT_EQ(ChunkFile{}.Error("cHRM", Bytes(32, 1), Place::AfterData), "cHRM chunk may not occur after PLTE");
}

TEST(PngAncillary, Histogram) {
  EXPECT_EQ(Gray().Error("hIST", {}, Place::First), "hIST chunk may not appear before PLTE");
  ChunkFile rgb16{2, 8, 16, {}};
  EXPECT_EQ(rgb16.Error("hIST", Bytes(32, 0), Place::AfterPalette), "");
  EXPECT_EQ(rgb16.Error("hIST", Bytes(30, 0), Place::AfterPalette), "Bad size for hIST chunk");
  EXPECT_EQ(rgb16.Error("hIST", Bytes(34, 0), Place::AfterPalette), "Bad size for hIST chunk");
  EXPECT_EQ(ChunkFile{}.Error("hIST", Bytes(8, 0), Place::AfterData), "hIST chunk must appear before IDAT");
}

TEST(PngAncillary, SignificantBits) {
  EXPECT_EQ(Gray().Error("sBIT", {8}, Place::First), "");
  EXPECT_EQ(Gray().Error("sBIT", {}, Place::First), "sBIT chunk length invalid");
  EXPECT_EQ(Rgb().Error("sBIT", {8, 8}, Place::First), "sBIT chunk length invalid");
  EXPECT_EQ(Rgb().Error("sBIT", {8, 8, 8, 8}, Place::First), "");  // longer is accepted, values untested
  EXPECT_EQ((ChunkFile{4, 8, 0, {}}).Error("sBIT", {1}, Place::First), "sBIT chunk length invalid");
  EXPECT_EQ((ChunkFile{6, 8, 0, {}}).Error("sBIT", {1, 2, 3}, Place::First), "sBIT chunk length invalid");
  EXPECT_EQ((ChunkFile{6, 8, 0, {}}).Error("sBIT", {99, 2, 3, 4}, Place::First), "");
  EXPECT_EQ(ChunkFile{}.Error("sBIT", {1, 2}, Place::First), "sBIT chunk length invalid");
  // The palette check applies to RGB images too; after the data, the data check comes first.
  ChunkFile rgbPalette{2, 8, 4, {}};
  EXPECT_EQ(rgbPalette.Error("sBIT", {8, 8, 8}, Place::AfterPalette), "sBIT chunk must occur before PTLE chunk");
  EXPECT_EQ(ChunkFile{}.Error("sBIT", {8, 8, 8}, Place::AfterData), "sBIT chunk must occur before IDAT chunks");
}

TEST(PngAncillary, TransparencyOfPaletteImages) {
  auto alphas = [](const Bytes& file) {
    Decoded d;
    Decode(file, d);
    EXPECT_EQ(d.error, "");
    std::vector<int> a;
    for (std::uint32_t i = 0; i < d.image.PixelCount(); ++i) a.push_back(int(d.image.Pixels()[i] >> 24));
    return a;
  };
  ChunkFile p;  // pixels use palette entries 0 and 1
  EXPECT_EQ(alphas(p.With("tRNS", {10}, Place::AfterPalette)), (std::vector<int>{10, 255}));
  EXPECT_EQ(alphas(p.With("tRNS", {}, Place::AfterPalette)), (std::vector<int>{255, 255}));
  EXPECT_EQ(alphas(p.With("tRNS", Bytes(257, 3), Place::AfterPalette)), (std::vector<int>{255, 255}));
  EXPECT_EQ(alphas(p.With("tRNS", Bytes(256, 3), Place::AfterPalette)), (std::vector<int>{3, 3}));
  EXPECT_EQ(alphas(p.With("tRNS", {20, 30}, Place::First)), (std::vector<int>{20, 30}));  // before PLTE
  // Of two tRNS chunks the second alone counts.
  Bytes two =
      PngBuilder().Header(2, 1, 8, 3).Palette(4).Chunk("tRNS", {1, 2}).Chunk("tRNS", {9}).Rows({0, 0, 1}).End().bytes;
  EXPECT_EQ(alphas(two), (std::vector<int>{9, 255}));
  EXPECT_EQ(p.Error("tRNS", {1}, Place::AfterData), "tRNS chunk may not occur after IDAT");
}

TEST(PngAncillary, TransparencyOfOtherTypesHasNoEffect) {
  for (const ChunkFile& f : {Gray(), Rgb(), ChunkFile{4, 8, 0, {7, 0}}, ChunkFile{6, 8, 0, {1, 2, 3, 0}}})
    for (const Bytes& trns : {Bytes{}, Bytes{0}, Bytes{0, 0}, Bytes{0, 0, 0, 0, 0, 0}}) {
      Decoded d;
      Decode(f.With("tRNS", trns, Place::First), d);
      ASSERT_EQ(d.error, "");
      std::uint32_t alpha = d.image.Pixels()[0] >> 24;
      if (f.colorType == 4 || f.colorType == 6)
        EXPECT_EQ(alpha, 0u);  // the alpha samples alone count
      else
        EXPECT_EQ(alpha, 255u);
    }
}

TEST(PngAncillary, PhysicalDimensionsAndTime) {
  Bytes phys = {0, 0, 0x0B, 0x13, 0, 0, 0x0B, 0x13, 1};
  EXPECT_EQ(Gray().Error("pHYs", phys, Place::First), "");
  phys[8] = 0;
  EXPECT_EQ(Gray().Error("pHYs", phys, Place::First), "");
  phys[8] = 2;
  EXPECT_EQ(Gray().Error("pHYs", phys, Place::First), "pHYs contains an invalid unit");
  EXPECT_EQ(Gray().Error("pHYs", Bytes(10, 0), Place::First), "pHYs chunk size invalid");
  EXPECT_EQ(Gray().Error("pHYs", Bytes(9, 0), Place::AfterData), "pHYS chunk must come before IDAT chunks");
  EXPECT_EQ(Gray().Error("tIME", Bytes(7, 0), Place::AfterData), "");
  EXPECT_EQ(Gray().Error("tIME", Bytes(8, 0), Place::First), "tIME chunk size invalid");
}

TEST(PngAncillary, TextKeywords) {
  for (const char* type : {"tEXt", "zTXt"}) {
    std::string refused = std::string(type) + " keyword not found";
    Bytes keyword79(79, 'k');
    keyword79.push_back(0);
    keyword79.push_back('t');
    EXPECT_EQ(Gray().Error(type, keyword79, Place::AfterData), "") << type;
    EXPECT_EQ(Gray().Error(type, Bytes(80, 'k'), Place::First), refused);
    Bytes late(80, 'k');
    late.push_back(0);  // the zero byte comes too late
    EXPECT_EQ(Gray().Error(type, late, Place::First), refused);
    EXPECT_EQ(Gray().Error(type, {}, Place::First), refused);
    EXPECT_EQ(Gray().Error(type, {0, 'x', 'y'}, Place::First), "");
  }
}

TEST(PngAncillary, ChunksWithoutAHandlerArePassedOver) {
  for (const char* type : {"sRGB", "iTXt", "iCCP", "sPLT", "eXIf", "zzzz"})
    for (Place place : {Place::First, Place::AfterPalette, Place::AfterData})
      EXPECT_EQ(ChunkFile{}.Error(type, {0xFF, 0xFF, 0xFF}, place), "") << type;
}

}  // namespace
