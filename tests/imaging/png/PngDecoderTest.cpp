// The PNG decoder's driver and critical chunks: signature, IHDR, PLTE, IDAT and IEND, their
// order, the size limits, and the end of the compressed data against the rows.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

#include "tests/imaging/base/AllocationProbe.h"
#include "tests/imaging/png/LibpngReference.h"
#include "tests/imaging/png/PngTestFiles.h"

namespace {

using TarnwellTest::Bytes;
using TarnwellTest::Decode;
using TarnwellTest::Decoded;
using TarnwellTest::DecodeError;
using TarnwellTest::PngBuilder;

// Scanlines of filter type 0 with every byte of a row set to value.
Bytes Rows(std::uint32_t rows, std::uint32_t rowBytes, std::uint8_t value = 0x80) {
  Bytes b;
  for (std::uint32_t y = 0; y < rows; ++y) {
    b.push_back(0);
    b.insert(b.end(), rowBytes, value);
  }
  return b;
}

// A valid 2 x 2 8-bit grayscale file.
Bytes Gray2x2() { return PngBuilder().Header(2, 2, 8, 0).Rows(Rows(2, 2)).End().bytes; }

constexpr std::uint32_t Gray(std::uint32_t v) { return 0xFF000000u | v * 0x010101u; }

TEST(PngDecoder, DecodesAMinimalFile) {
  Decoded d;
  Decode(Gray2x2(), d);
  ASSERT_EQ(d.error, "");
  ASSERT_EQ(d.image.Width(), 2u);
  ASSERT_EQ(d.image.Height(), 2u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(d.image.Pixels()[i], Gray(0x80));
}

TEST(PngDecoder, Signature) {
  Bytes file = Gray2x2();
  file[3] ^= 0x20;
  EXPECT_EQ(DecodeError(file), "Not a PNG file");
  EXPECT_EQ(DecodeError(Bytes(file.begin(), file.begin() + 7)), "Premature End of File");
}

TEST(PngDecoder, HeaderChunk) {
  EXPECT_EQ(DecodeError(PngBuilder().Palette(2).Header(2, 2, 8, 0).Rows(Rows(2, 2)).End().bytes), "Missing IHDR Chunk");
  EXPECT_EQ(DecodeError(PngBuilder().Header(2, 2, 8, 0).Header(2, 2, 8, 0).Rows(Rows(2, 2)).End().bytes),
            "Duplicate IHDR Block");
  for (std::size_t length : {12u, 14u}) {
    Bytes ihdr(length, 0);
    ihdr[3] = ihdr[7] = 1;
    ihdr[8] = 8;
    EXPECT_EQ(DecodeError(PngBuilder().Chunk("IHDR", ihdr).End().bytes), "Invalid Header Length");
  }
}

TEST(PngDecoder, HeaderChecksInOrder) {
  auto header = [](int depth, int type, int interlace = 0, int compression = 0, int filter = 0) {
    return DecodeError(PngBuilder().Header(1, 1, depth, type, interlace, compression, filter).End().bytes);
  };
  EXPECT_EQ(header(3, 0, 0, 1), "Invalid Compression Method");  // before the bit depth
  EXPECT_EQ(header(8, 0, 0, 0, 1), "Invalid Filter Method");
  EXPECT_EQ(header(8, 0, 2), "Invalid Interlace Method");
  for (int depth : {0, 3, 5, 7, 9, 99}) EXPECT_EQ(header(depth, 0), "Invalid Bit Depth") << depth;
  EXPECT_EQ(header(16, 3), "Invalid Bit Depth for Color Type");
  for (int depth : {1, 2, 4}) {
    EXPECT_EQ(header(depth, 2), "Invalid Bit Depth for Color Type");
    EXPECT_EQ(header(depth, 4), "Invalid Bit Depth for Color Type");
    EXPECT_EQ(header(depth, 6), "Invalid Bit Depth for Color Type");
  }
  for (int type : {1, 5, 7, 8}) EXPECT_EQ(header(8, type), "Invalid Color Type") << type;
  // Accepted combinations get as far as the missing image data.
  for (int depth : {1, 2, 4, 8, 16}) EXPECT_EQ(header(depth, 0), "Image Contains no Pixel Data");
}

TEST(PngDecoder, PaletteChunk) {
  Bytes rows = Rows(1, 1, 0);
  EXPECT_EQ(DecodeError(PngBuilder().Header(1, 1, 8, 3).Rows(rows).Palette(4).End().bytes),
            "PLTE block must occur before IDAT");
  EXPECT_EQ(DecodeError(PngBuilder().Header(1, 1, 8, 0).Palette(4).Rows(rows).End().bytes),
            "Grayscale image contains a PLTE block");
  EXPECT_EQ(DecodeError(PngBuilder().Header(1, 1, 8, 4).Palette(4).End().bytes),
            "Grayscale image contains a PLTE block");
  EXPECT_EQ(DecodeError(PngBuilder().Header(1, 1, 8, 3).Chunk("PLTE", Bytes(771, 1)).End().bytes),
            "PLTE chunk length too large");
  EXPECT_EQ(DecodeError(PngBuilder().Header(1, 1, 8, 3).Chunk("PLTE", Bytes(770, 1)).End().bytes),
            "PLTE chunk length not divisible by 3");
  EXPECT_EQ(DecodeError(PngBuilder().Header(1, 1, 8, 3).Palette(2).Palette(2).End().bytes), "Duplicate PLTE block");
  // A full palette of 256 entries is accepted.
  EXPECT_EQ(DecodeError(PngBuilder().Header(1, 1, 8, 3).Palette(256).Rows(rows).End().bytes), "");
}

TEST(PngDecoder, RgbImageIgnoresItsPalette) {
  Bytes rgb = {0, 1, 2, 3};
  Decoded before, after;
  Decode(PngBuilder().Header(1, 1, 8, 2).Palette(3).Rows(rgb).End().bytes, before);
  Decode(PngBuilder().Header(1, 1, 8, 2).Rows(rgb).Palette(3).End().bytes, after);
  ASSERT_EQ(before.error, "");
  ASSERT_EQ(after.error, "");
  EXPECT_EQ(before.image.Pixels()[0], 0xFF010203u);
  EXPECT_EQ(after.image.Pixels()[0], 0xFF010203u);
}

TEST(PngDecoder, ImageDataRuns) {
  Bytes z = PngBuilder::Compress(Rows(2, 2));
  // A second run of image data after another chunk, or an empty IDAT after the stream ended.
  EXPECT_EQ(DecodeError(PngBuilder().Header(2, 2, 8, 0).Data(z).Chunk("tEXt", {'k', 0}).Data(z).End().bytes),
            "Image Contains Multiple Data Segments");
  EXPECT_EQ(DecodeError(PngBuilder().Header(2, 2, 8, 0).Data(z).Chunk("IDAT", {}).End().bytes),
            "Image Contains Multiple Data Segments");
  EXPECT_EQ(DecodeError(PngBuilder().Header(2, 2, 8, 0).End().bytes), "Image Contains no Pixel Data");
  EXPECT_EQ(DecodeError(PngBuilder().Header(2, 2, 8, 3).Palette(2).End().bytes), "Image Contains no Pixel Data");
}

TEST(PngDecoder, CompressedDataAgainstTheRows) {
  EXPECT_EQ(DecodeError(PngBuilder().Header(2, 2, 8, 0).Rows(Rows(3, 2)).End().bytes),
            "Extra bytes in compressed data");
  Bytes oneMore = Rows(2, 2);
  oneMore.push_back(0);
  EXPECT_EQ(DecodeError(PngBuilder().Header(2, 2, 8, 0).Rows(oneMore).End().bytes), "Extra bytes in compressed data");
  // Too little data: the missing rows are not made up from earlier ones.
  Bytes short1 = Rows(2, 2);
  short1.pop_back();
  EXPECT_EQ(DecodeError(PngBuilder().Header(2, 2, 8, 0).Rows(short1).End().bytes), "Premature end of compressed data");
  EXPECT_EQ(DecodeError(PngBuilder().Header(2, 2, 8, 0).Rows(Rows(1, 2)).End().bytes),
            "Premature end of compressed data");
  EXPECT_EQ(DecodeError(PngBuilder().Header(8, 8, 8, 0, 1).Rows(Rows(1, 1)).End().bytes),
            "Premature end of compressed data");
}

TEST(PngDecoder, ChunkTypes) {
  Bytes z = PngBuilder::Compress(Rows(2, 2));
  EXPECT_EQ(DecodeError(PngBuilder().Header(2, 2, 8, 0).Chunk("ABCD", {1, 2}).Data(z).End().bytes),
            "Unknown critical chunk");
  EXPECT_EQ(DecodeError(PngBuilder().Header(2, 2, 8, 0).Chunk("aBCD", {1, 2}).Data(z).Chunk("sRGB", {0}).End().bytes),
            "");
  // Chunk names compare with their letter case.
  EXPECT_EQ(DecodeError(PngBuilder().Header(2, 2, 8, 0).Data(z).Chunk("IenD", {}).End().bytes),
            "Unknown critical chunk");
}

TEST(PngDecoder, EndOfTheFile) {
  Bytes file = Gray2x2();
  Bytes garbage = file;
  garbage.insert(garbage.end(), {1, 2, 3, 0xFF});
  EXPECT_EQ(DecodeError(garbage), "");
  Bytes noEnd(file.begin(), file.end() - 12);  // without IEND
  EXPECT_EQ(DecodeError(noEnd), "Premature End of File");
  EXPECT_EQ(DecodeError(Bytes(file.begin(), file.end() - 3)), "Premature End of File");
}

TEST(PngDecoder, ImagesWithoutPixelsAreRefusedAtTheirHeader) {
  // Such an image's rows would still be inflated and unfiltered: up to 2^31 of them, each of
  // a filter byte, for a picture of nothing. It is refused before any row is read.
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes = {
      {0, 3}, {5, 0}, {0, 0}, {0, 0x7FFFFFFF}, {0x7FFFFFFF, 0}};
  for (const auto& [width, height] : sizes) {
    for (int interlace : {0, 1}) {
      const Bytes file = PngBuilder().Header(width, height, 8, 0, interlace).Rows(Rows(1000, 0)).End().bytes;
      Decoded d;
      Decode(file, d);
      EXPECT_EQ(d.error, "Image has no pixels") << width << "x" << height << " " << interlace;
      EXPECT_EQ(d.image.PixelCount(), 0u);
      // libpng refuses them as well.
      EXPECT_NE(TarnwellTest::ReadWithLibpng(file).error, "");
    }
  }
}

TEST(PngDecoder, SizesBeyondTheLimitsAreRefusedAtTheirHeader) {
  // The pixels (at most 8192 x 8192) and the two row buffers (8 bytes a pixel of a 16-bit
  // RGBA row) are added up in 64 bits and refused before anything is allocated.
  struct Case {
    std::uint32_t width, height;
    int depth, colour;
  };
  const Case cases[] = {
      {20000, 20000, 8, 0},    {8192, 8193, 8, 0},          {0x80000000u, 1, 8, 0}, {1, 0x80000000u, 8, 0},
      {0x7FFFFFFFu, 1, 16, 6}, {1u << 14, 1u << 14, 16, 6}, {1u << 26, 1, 16, 6},  // 32-bit row bytes wrap to 0
      {1u << 29, 1, 16, 0},                                                        // and to 0 for 16-bit gray too
      {1u << 26, 1, 16, 2},  // RGB: 3 << 31 bits of row wrap to 2^31
  };
  for (const Case& c : cases) {
    for (int interlace : {0, 1}) {
      const Bytes file = PngBuilder().Header(c.width, c.height, c.depth, c.colour, interlace).Rows({0}).End().bytes;
      ImagingTest::AllocationProbe probe(ImagingTest::kSmallAllocation);
      EXPECT_EQ(DecodeError(file), "Image too large") << c.width << "x" << c.height << " " << interlace;
      EXPECT_FALSE(probe.Refused()) << c.width << "x" << c.height << ": largest allocation " << probe.Largest();
    }
  }
  // Within the limits a header is accepted: here the image data are missing.
  EXPECT_EQ(DecodeError(PngBuilder().Header(1u << 12, 1u << 12, 16, 6).End().bytes), "Image Contains no Pixel Data");
}

TEST(PngDecoder, RowBytesOfAWideRgba16ImageDoNotWrap) {
  // The 66-byte file of width 2^26, height 1, 16-bit RGBA: in 32 bits its row took 0 bytes,
  // and the pixel converters read hundreds of megabytes past the row buffer.
  const Bytes file = PngBuilder().Header(1u << 26, 1, 16, 6).Rows({0}).End().bytes;
  ASSERT_EQ(file.size(), 66u);
  ImagingTest::AllocationProbe probe(ImagingTest::kSmallAllocation);
  EXPECT_EQ(DecodeError(file), "Image too large");
  EXPECT_FALSE(probe.Refused());
}

TEST(PngDecoder, FuzzFindings) {
  // Inputs the fuzz target found, kept as they were found except for their chunk CRCs, which
  // the fuzz build does not test and which are made right here, with the message each now
  // gets.
  const std::vector<std::pair<std::string, std::string>> findings = {
      // 184 bytes announcing 32 x 8,257,568 gray and alpha pixels: 1 GiB of pixels was
      // allocated (and the fuzz target ran out of memory) before any row was read.
      {"fuzz-tall-graya8-allocates-1gib.png", "Image too large"},
  };
  for (const auto& [name, message] : findings) {
    std::ifstream in(std::string(TARNWELL_SOURCE_DIR) + "/tests/imaging/png/data/" + name, std::ios::binary);
    ASSERT_TRUE(in) << name;
    const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ImagingTest::AllocationProbe probe(ImagingTest::kSmallAllocation);
    EXPECT_EQ(DecodeError(file), message) << name;
    EXPECT_FALSE(probe.Refused()) << name << ": largest allocation " << probe.Largest();
  }
}

TEST(PngDecoder, RowsDecodedBeforeAFailureStay) {
  Bytes rows = Rows(3, 2, 0x40);
  rows[2 * 3] = 5;  // the third row's filter type
  Decoded d;
  Decode(PngBuilder().Header(2, 3, 8, 0).Rows(rows).End().bytes, d);
  EXPECT_EQ(d.error, "Invalid Filter Method");
  ASSERT_EQ(d.image.PixelCount(), 6u);
  EXPECT_EQ(d.image.Pixels()[0], Gray(0x40));
  EXPECT_EQ(d.image.Pixels()[3], Gray(0x40));
  EXPECT_EQ(d.image.Pixels()[4], 0u);
}

TEST(PngDecoder, OneDecoderReadsSeveralFiles) {
  Veldaro::PngDecoder decoder;
  // A palette image of 256 entries, then one with 2 entries that uses index 5: black, not the
  // earlier image's entry; and a tRNS of the first image does not carry over.
  Decoded first, second;
  Decode(PngBuilder().Header(1, 1, 8, 3).Palette(256).Chunk("tRNS", Bytes(10, 7)).Rows({0, 5}).End().bytes, first,
         &decoder);
  ASSERT_EQ(first.error, "");
  EXPECT_EQ(first.image.Pixels()[0], Veldaro::MakePixel(15, 105, 195, 7));
  Decode(PngBuilder().Header(1, 1, 8, 3).Palette(2).Rows({0, 5}).End().bytes, second, &decoder);
  ASSERT_EQ(second.error, "");
  EXPECT_EQ(second.image.Pixels()[0], 0xFF000000u);
}

TEST(PngDecoder, FileEntry) {
  std::string path = std::string(TARNWELL_BINARY_DIR) + "/png_decoder_file_entry.png";
  Bytes file = Gray2x2();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
  Veldaro::BitmapImage image;
  Veldaro::PngDecoder decoder;
  decoder.ReadImageFile(path, image);
  EXPECT_EQ(image.Width(), 2u);
  EXPECT_EQ(image.Pixels()[3], Gray(0x80));
  std::remove(path.c_str());

  std::string missing = std::string(TARNWELL_BINARY_DIR) + "/no such file.png";
  try {
    decoder.ReadImageFile(missing, image);
    ADD_FAILURE() << "opened a missing file";
  } catch (const Veldaro::PngDecoder::BadPngStream&) {
    ADD_FAILURE() << "wrong class";
  } catch (const Veldaro::PngDecoder::PngError& e) {
    EXPECT_EQ(std::string(e.what()), "Can't open input file '" + missing + "'\n" + std::strerror(ENOENT));
  }
}

// ---- the chunk stream ----

// A 37 x 23 RGB picture of random bytes under every filter type, compressed at a level.
Bytes RandomRgbRows(std::uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes rows;
  for (int y = 0; y < 23; ++y) {
    rows.push_back(std::uint8_t(y % 5));
    for (int x = 0; x < 37 * 3; ++x) rows.push_back(std::uint8_t(rng() % 4 == 0 ? rng() : 7));
  }
  return rows;
}

TEST(PngChunkStream, ImageDataSplitAnywhere) {
  Bytes rows = RandomRgbRows(1);
  for (int level : {0, 1, 9}) {
    uLongf n = compressBound(uLong(rows.size()));
    Bytes z(n);
    compress2(z.data(), &n, rows.data(), uLong(rows.size()), level);
    z.resize(n);
    Decoded whole;
    Decode(PngBuilder().Header(37, 23, 8, 2).Data(z).End().bytes, whole);
    ASSERT_EQ(whole.error, "");
    // Chunks of 1 byte (a split inside every code, LEN/NLEN field and the trailer), with
    // empty chunks between.
    PngBuilder split;
    split.Header(37, 23, 8, 2);
    for (std::size_t i = 0; i < z.size(); ++i) {
      split.Chunk("IDAT", {z[i]});
      if (i % 3 == 0 && i + 1 < z.size()) split.Chunk("IDAT", {});
    }
    Decoded pieces;
    Decode(split.End().bytes, pieces);
    ASSERT_EQ(pieces.error, "") << level;
    EXPECT_EQ(0, std::memcmp(pieces.image.Pixels(), whole.image.Pixels(), 37 * 23 * 4)) << level;
  }
}

TEST(PngChunkStream, ChunkCrc) {
  PngBuilder b;
  b.Header(2, 2, 8, 0).Chunk("zzZz", {1, 2, 3});
  b.bytes.back() ^= 1;  // the CRC of an ancillary chunk that no handler reads
  EXPECT_EQ(DecodeError(b.Rows(Rows(2, 2)).End().bytes), "Invalid Chunk CRC");
  // The CRC covers the type.
  Bytes file = PngBuilder().Header(2, 2, 8, 0).Chunk("tEXt", {'k', 0}).Rows(Rows(2, 2)).End().bytes;
  file[33 + 4] = 'u';  // tEXt -> uEXt
  EXPECT_EQ(DecodeError(file), "Invalid Chunk CRC");
}

TEST(PngChunkStream, DataInterruptedByAnotherChunk) {
  Bytes z = PngBuilder::Compress(RandomRgbRows(2));
  std::size_t half = z.size() / 2;
  Bytes first(z.begin(), z.begin() + half), second(z.begin() + half, z.end());
  EXPECT_EQ(DecodeError(PngBuilder().Header(37, 23, 8, 2).Data(first).Chunk("tEXt", {'k', 0}).Data(second).End().bytes),
            "Missing IDAT Chunk");
  EXPECT_EQ(DecodeError(PngBuilder().Header(37, 23, 8, 2).Data(first).End().bytes), "Missing IDAT Chunk");
  EXPECT_EQ(DecodeError(PngBuilder().Header(37, 23, 8, 2).Data(first).bytes), "Premature End of File");
  // Bytes after the trailer in the last chunk are passed over.
  Bytes padded = z;
  padded.insert(padded.end(), {9, 9, 9});
  EXPECT_EQ(DecodeError(PngBuilder().Header(37, 23, 8, 2).Data(padded).End().bytes), "");
}

TEST(PngChunkStream, ChunkLengthBeyondTheFile) {
  for (std::uint32_t length : {0x80000000u, 0xFFFFFFFCu, 0xFFFFFFFFu, 0x7FFFFFFFu, 1000u}) {
    Bytes file = Gray2x2();
    Bytes bad(file.begin(), file.begin() + 33);
    TarnwellTest::PutBigEndian32(bad, length);
    bad.insert(bad.end(), {'t', 'E', 'X', 't', 'k', 0, 0, 0, 0, 0});
    EXPECT_EQ(DecodeError(bad), "Premature End of File") << length;
  }
}

}  // namespace
