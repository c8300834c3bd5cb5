// Where the PNG decoder differs from libpng on purpose, each case side by side with libpng;
// and the files libpng writes while flushing its compressed data, which both decode.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

#include "tests/imaging/png/LibpngReference.h"
#include "tests/imaging/png/LibpngWriter.h"
#include "tests/imaging/png/PngTestFiles.h"

namespace {

using TarnwellTest::Bytes;
using TarnwellTest::Decode;
using TarnwellTest::Decoded;
using TarnwellTest::DecodeError;
using TarnwellTest::LibpngOptions;
using TarnwellTest::PngBuilder;
using TarnwellTest::ReadWithLibpng;

std::string Suite(const std::string& name) {
  return std::string(TARNWELL_SOURCE_DIR) + "/tests/imaging/data/pngsuite/" + name;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::uint32_t> Ours(const Bytes& file) {
  Decoded d;
  Decode(file, d);
  EXPECT_EQ(d.error, "");
  return std::vector<std::uint32_t>(d.image.Pixels(), d.image.Pixels() + d.image.PixelCount());
}

Bytes GrayRows(std::uint32_t w, std::uint32_t h, std::uint8_t v = 0x80) {
  Bytes rows;
  for (std::uint32_t y = 0; y < h; ++y) {
    rows.push_back(0);
    rows.insert(rows.end(), w, v);
  }
  return rows;
}

TEST(PngDeliberateDifferences, SixteenBitSamplesKeepTheirHighByte) {
  // libpng can round 16-bit samples to 8 bits (png_set_scale_16); the decoder keeps the high
  // byte, as libpng's png_set_strip_16 does.
  for (const char* name : {"basn2c16.png", "basn0g16.png", "basn6a16.png"}) {
    Bytes file = ReadFile(Suite(name));
    auto ours = Ours(file);
    EXPECT_EQ(ours, ReadWithLibpng(file).pixels) << name;
    LibpngOptions scale;
    scale.scale16 = true;
    EXPECT_NE(ours, ReadWithLibpng(file, scale).pixels) << name;
  }
}

TEST(PngDeliberateDifferences, TransparencyOnlyForPaletteImages) {
  // tRNS of a grayscale or RGB image is a colour key; libpng can turn it into alpha, the
  // decoder leaves every such pixel opaque.
  for (const char* name : {"tbbn0g04.png", "tbrn2c08.png", "tbwn0g16.png", "tbbn2c16.png", "tp1n3p08.png"}) {
    Bytes file = ReadFile(Suite(name));
    auto ours = Ours(file);
    EXPECT_EQ(ours, ReadWithLibpng(file).pixels) << name;
    LibpngOptions key;
    key.transparencyForAllTypes = true;
    bool palette = std::string(name).find("3p") != std::string::npos;
    if (palette) {
      EXPECT_EQ(ours, ReadWithLibpng(file, key).pixels) << name;  // palette alpha: the same
    } else {
      EXPECT_NE(ours, ReadWithLibpng(file, key).pixels) << name;
      for (std::uint32_t p : ours) ASSERT_EQ(p >> 24, 255u) << name;
    }
  }
}

TEST(PngDeliberateDifferences, NoGammaCorrection) {
  for (const char* name : {"g03n2c08.png", "g25n0g16.png", "g10n3p04.png"}) {
    Bytes file = ReadFile(Suite(name));
    auto ours = Ours(file);
    EXPECT_EQ(ours, ReadWithLibpng(file).pixels) << name;
    LibpngOptions gamma;
    gamma.gamma = 2.2;
    EXPECT_NE(ours, ReadWithLibpng(file, gamma).pixels) << name;
  }
}

TEST(PngDeliberateDifferences, AncillaryChunkWithBadCrcIsRefused) {
  // libpng drops an ancillary chunk with a bad CRC and goes on; the decoder refuses the file.
  PngBuilder b;
  b.Header(2, 2, 8, 0).Chunk("tEXt", {'k', 0, 'v'});
  b.bytes.back() ^= 1;
  Bytes file = b.Rows(GrayRows(2, 2)).End().bytes;
  EXPECT_EQ(DecodeError(file), "Invalid Chunk CRC");
  EXPECT_EQ(ReadWithLibpng(file).error, "");
}

TEST(PngDeliberateDifferences, OutOfPlaceAncillaryChunksAreRefused) {
  // libpng warns about (and ignores) ancillary chunks in the wrong place or of the wrong
  // size; the decoder refuses the file.
  Bytes rows = {0, 0, 1};
  Bytes gammaAfterPalette =
      PngBuilder().Header(2, 1, 8, 3).Palette(2).Chunk("gAMA", {0, 0, 0xB1, 0x8F}).Rows(rows).End().bytes;
  EXPECT_EQ(DecodeError(gammaAfterPalette), "gAMA chunk may not occur after PLTE");
  EXPECT_EQ(ReadWithLibpng(gammaAfterPalette).error, "");
  Bytes shortTime = PngBuilder().Header(2, 1, 8, 3).Palette(2).Chunk("tIME", Bytes(6, 1)).Rows(rows).End().bytes;
  EXPECT_EQ(DecodeError(shortTime), "tIME chunk size invalid");
  EXPECT_EQ(ReadWithLibpng(shortTime).error, "");
  Bytes longKeyword = PngBuilder().Header(2, 1, 8, 3).Palette(2).Chunk("tEXt", Bytes(90, 'k')).Rows(rows).End().bytes;
  EXPECT_EQ(DecodeError(longKeyword), "tEXt keyword not found");
  EXPECT_EQ(ReadWithLibpng(longKeyword).error, "");
}

TEST(PngDeliberateDifferences, ExtraCompressedDataIsRefused) {
  // libpng warns about image data beyond the last row and keeps the picture; the decoder
  // refuses the file. Too little data both refuse.
  Bytes extra = PngBuilder().Header(2, 2, 8, 0).Rows(GrayRows(2, 3)).End().bytes;
  EXPECT_EQ(DecodeError(extra), "Extra bytes in compressed data");
  EXPECT_EQ(ReadWithLibpng(extra).error, "");
  Bytes missing = PngBuilder().Header(2, 3, 8, 0).Rows(GrayRows(2, 2)).End().bytes;
  EXPECT_EQ(DecodeError(missing), "Premature end of compressed data");
  EXPECT_NE(ReadWithLibpng(missing).error, "");
}

TEST(PngDeliberateDifferences, TransparencyLongerThanThePaletteIsUsed) {
  // libpng drops a tRNS chunk with more entries than the palette; the decoder uses its values
  // (up to 256), and indexes beyond the palette are black with that alpha.
  Bytes file =
      PngBuilder().Header(4, 1, 8, 3).Palette(2).Chunk("tRNS", {9, 9, 9, 77}).Rows({0, 0, 1, 2, 3}).End().bytes;
  auto ours = Ours(file);
  EXPECT_EQ(ours, (std::vector<std::uint32_t>{0x090A64C8u, 0x090B65C7u, 0x09000000u, 0x4D000000u}));
  EXPECT_EQ(ReadWithLibpng(file).pixels,
            (std::vector<std::uint32_t>{0xFF0A64C8u, 0xFF0B65C7u, 0xFF000000u, 0xFF000000u}));
}

TEST(PngDeliberateDifferences, PaletteIndexBeyondThePaletteIsBlackAsInLibpng) {
  // Not a difference: both give opaque black for an index the PLTE chunk does not cover.
  Bytes file = PngBuilder().Header(4, 1, 8, 3).Palette(2).Chunk("tRNS", {5}).Rows({0, 0, 1, 2, 255}).End().bytes;
  auto ours = Ours(file);
  EXPECT_EQ(ours, ReadWithLibpng(file).pixels);
  EXPECT_EQ(ours[3], 0xFF000000u);
}

TEST(PngFlush, FlushedImageDataDecodes) {
  // png_set_flush makes libpng end its compressed data with a zlib sync flush every few rows,
  // which writes empty stored blocks into the stream.
  std::mt19937 rng(3);
  for (int every : {1, 3, 17})
    for (int level : {0, 1, 6, 9}) {
      std::vector<Bytes> rows(40, Bytes(30 * 3));
      for (auto& r : rows)
        for (auto& b : r) b = std::uint8_t(rng() % 5 == 0 ? rng() : 42);
      TarnwellTest::LibpngWriteOptions o;
      o.flushEveryRows = every;
      o.compressionLevel = level;
      Bytes file = TarnwellTest::WritePngWithLibpng(30, 40, 8, 2, rows, o);
      static const std::uint8_t kEmptyStored[] = {0x00, 0x00, 0xFF, 0xFF};
      ASSERT_NE(std::search(file.begin(), file.end(), std::begin(kEmptyStored), std::end(kEmptyStored)), file.end());
      EXPECT_EQ(Ours(file), ReadWithLibpng(file).pixels) << every << " " << level;
    }
}

}  // namespace
