// The BMP decoder on files made by the tests' own writer: layouts, row orders, RLE, masks,
// progress, and every refusal (with the faults of the header and table sizes closed).

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <sstream>

#include "imaging/BmpDecoder.h"
#include "tests/imaging/base/AllocationProbe.h"
#include "tests/imaging/base/BmpWriter.h"
#include "tests/imaging/base/TestSupport.h"

using namespace Veldaro;
using namespace ImagingTest;

namespace {

void Decode(const Bytes& file, BitmapImage& image, BmpDecoder* decoder = nullptr) {
  std::istringstream in(std::string(file.begin(), file.end()), std::ios::binary);
  BmpDecoder local;
  (decoder ? *decoder : local).ReadImage(in, image);
}

std::string ErrorOf(const Bytes& file) {
  BitmapImage image;
  try {
    Decode(file, image);
  } catch (const BmpDecoder::BmpError& e) {
    return e.what();
  }
  return "(no error)";
}

// A 4-colour palette: black, red, green, blue, then greys.
std::vector<std::uint32_t> Palette(std::size_t n) {
  std::vector<std::uint32_t> p = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  while (p.size() < n) p.push_back(std::uint32_t(p.size() * 0x010101));
  p.resize(n);
  return p;
}

std::uint32_t Rgb(std::uint32_t pixel) { return pixel & 0xFFFFFF; }

struct Recorder {
  std::vector<std::uint32_t> percents;
  int cancelAt = -1;
  static void Call(BitmapImageCoder*, void* data, std::uint32_t pass, std::uint32_t count, std::uint32_t percent,
                   bool& cancel) {
    auto* self = static_cast<Recorder*>(data);
    EXPECT_EQ(pass, 1u);
    EXPECT_EQ(count, 1u);
    self->percents.push_back(percent);
    if (int(self->percents.size()) == self->cancelAt) cancel = true;
  }
};

BmpLayout Palette8(std::uint32_t w, std::int32_t h, const std::vector<std::uint32_t>& idx, bool topDown = false) {
  BmpLayout s;
  s.width = std::int32_t(w);
  s.height = topDown ? -h : h;
  s.bitCount = 8;
  s.palette = Palette(256);
  s.pixelData = PackRows(idx, w, std::uint32_t(h), 8, topDown);
  return s;
}

}  // namespace

TEST(BmpDecoder, PaletteLayoutsAndRowOrders) {
  Random random(11);
  for (std::uint32_t bits : {1u, 4u, 8u}) {
    for (std::uint32_t w : {1u, 7u, 9u, 17u}) {
      for (bool topDown : {false, true}) {
        std::uint32_t h = 5;
        std::vector<std::uint32_t> idx(w * h);
        for (auto& v : idx) v = random.Below(1u << bits);
        BmpLayout s;
        s.width = std::int32_t(w);
        s.height = topDown ? -std::int32_t(h) : std::int32_t(h);
        s.bitCount = bits;
        s.palette = Palette(1u << bits);
        s.pixelData = PackRows(idx, w, h, bits, topDown);
        BitmapImage image;
        Decode(MakeBmp(s), image);
        ASSERT_EQ(image.Width(), w);
        ASSERT_EQ(image.Height(), h);
        for (std::uint32_t i = 0; i < w * h; ++i) {
          // Palette pixels keep alpha 0.
          ASSERT_EQ(image.Pixels()[i], s.palette[idx[i]]) << bits << " " << w << " " << topDown << " " << i;
        }
      }
    }
  }
}

TEST(BmpDecoder, OneBitWidthNineAndTwentyFourBitWidthOne) {
  // Width 9 at 1 bit: rows of 4 bytes; pixel 8 is the top bit of the second byte.
  BmpLayout s;
  s.width = 9;
  s.height = 1;
  s.bitCount = 1;
  s.palette = {0x000000, 0xFFFFFF};
  s.pixelData = {0x00, 0x80, 0x00, 0x00};
  BitmapImage image;
  Decode(MakeBmp(s), image);
  EXPECT_EQ(At(image, 8, 0), 0xFFFFFFu);
  EXPECT_EQ(At(image, 7, 0), 0u);
  // Width 1 at 24 bits: rows of 4 bytes (3 data and 1 pad).
  BmpLayout t;
  t.width = 1;
  t.height = 2;
  t.pixelData = {0x01, 0x02, 0x03, 0xAA, 0x04, 0x05, 0x06, 0xBB};
  Decode(MakeBmp(t), image);
  EXPECT_EQ(At(image, 0, 1), 0x030201u);  // the file's first row is the bottom
  EXPECT_EQ(At(image, 0, 0), 0x060504u);
}

TEST(BmpDecoder, CoreHeaderLayouts) {
  // 24 bits: no colour table, bottom row first.
  BmpLayout s;
  s.headerSize = 12;
  s.width = 2;
  s.height = 2;
  s.pixelData = PackRows({0x112233, 0x445566, 0x778899, 0xAABBCC}, 2, 2, 24, false);
  BitmapImage image;
  Decode(MakeBmp(s), image);
  EXPECT_EQ(Rgb(At(image, 0, 0)), 0x112233u);
  EXPECT_EQ(Rgb(At(image, 1, 1)), 0xAABBCCu);
  // 2 bits (core header only) with a 3-byte colour table.
  BmpLayout t;
  t.headerSize = 12;
  t.width = 5;
  t.height = 1;
  t.bitCount = 2;
  t.palette = Palette(4);
  t.pixelData = PackRows({3, 2, 1, 0, 3}, 5, 1, 2, false);
  Decode(MakeBmp(t), image);
  const int twoBit[5] = {3, 2, 1, 0, 3};
  for (std::uint32_t x = 0; x < 5; ++x) EXPECT_EQ(At(image, x, 0), t.palette[twoBit[x]]);
  // 16 bits under the core header has no mask fields: the 5-5-5 defaults apply.
  BmpLayout u;
  u.headerSize = 12;
  u.width = 1;
  u.height = 1;
  u.bitCount = 16;
  u.pixelData = {0xFF, 0x7F, 0, 0};
  Decode(MakeBmp(u), image);
  EXPECT_EQ(At(image, 0, 0), 0x00F8F8F8u);
}

TEST(BmpDecoder, CoreHeaderBitCountThreeIsRefused) {
  // It would decode to nothing and report success; it is refused instead.
  BmpLayout s;
  s.headerSize = 12;
  s.width = 4;
  s.height = 4;
  s.bitCount = 3;
  s.pixelData = Bytes(64, 0x55);
  EXPECT_EQ(ErrorOf(MakeBmp(s)), "Unsupported bit count: 3");
}

TEST(BmpDecoder, BitFields) {
  BitmapImage image;
  // 5-5-5 with a 108-byte header: 0x7FFF gives 0xF8 in all three (blue shifted up, not a
  // negative shift); alpha 0 without an alpha mask.
  BmpLayout s;
  s.headerSize = 108;
  s.width = 3;
  s.height = 1;
  s.bitCount = 16;
  s.compression = 3;
  s.masks[0] = 0x7C00;
  s.masks[1] = 0x03E0;
  s.masks[2] = 0x001F;
  s.pixelData = PackRows({0x7FFF, 0x001F, 0x4210}, 3, 1, 16, false);
  Decode(MakeBmp(s), image);
  EXPECT_EQ(At(image, 0, 0), 0x00F8F8F8u);
  EXPECT_EQ(At(image, 1, 0), 0x000000F8u);
  EXPECT_EQ(At(image, 2, 0), 0x00808080u);

  // 5-6-5 masks after a 40-byte header.
  BmpLayout t;
  t.width = 2;
  t.height = 1;
  t.bitCount = 16;
  t.compression = 3;
  t.masks[0] = 0xF800;
  t.masks[1] = 0x07E0;
  t.masks[2] = 0x001F;
  t.masksAfterHeader = true;
  t.pixelData = PackRows({0xFFFF, 0x07E0}, 2, 1, 16, false);
  Decode(MakeBmp(t), image);
  EXPECT_EQ(At(image, 0, 0), 0x00F8FCF8u);
  EXPECT_EQ(At(image, 1, 0), 0x0000FC00u);

  // 16 bits without compression: the 5-5-5 defaults.
  BmpLayout u = t;
  u.compression = 0;
  u.masksAfterHeader = false;
  u.pixelData = PackRows({0x7C00, 0x03E0}, 2, 1, 16, false);
  Decode(MakeBmp(u), image);
  EXPECT_EQ(At(image, 0, 0), 0x00F80000u);
  EXPECT_EQ(At(image, 1, 0), 0x0000F800u);

  // 32 bits, 40-byte header, no compression: 8-8-8 defaults, every alpha byte 0.
  BmpLayout v;
  v.width = 2;
  v.height = 1;
  v.bitCount = 32;
  v.pixelData = PackRows({0xFF123456, 0x80ABCDEF}, 2, 1, 32, false);
  Decode(MakeBmp(v), image);
  EXPECT_EQ(At(image, 0, 0), 0x00123456u);
  EXPECT_EQ(At(image, 1, 0), 0x00ABCDEFu);

  // 32 bits with an alpha mask in a 124-byte header, in an unusual order.
  BmpLayout w = v;
  w.headerSize = 124;
  w.compression = 3;
  w.masks[0] = 0x000000FF;
  w.masks[1] = 0x0000FF00;
  w.masks[2] = 0x00FF0000;
  w.masks[3] = 0xFF000000;
  Decode(MakeBmp(w), image);
  EXPECT_EQ(At(image, 0, 0), 0xFF563412u);
  EXPECT_EQ(At(image, 1, 0), 0x80EFCDABu);

  // Overlapping masks, the alpha mask included.
  BmpLayout x = w;
  x.masks[3] = 0x800000FF;
  EXPECT_EQ(ErrorOf(MakeBmp(x)), "Overlapping component mask");
}

TEST(BmpDecoder, Rle8WithDeltasAndAbsoluteRuns) {
  BmpLayout s;
  s.width = 8;
  s.height = 3;
  s.bitCount = 8;
  s.compression = 1;
  s.palette = Palette(16);
  s.pixelData = {3, 1,              // bottom row: 3 x red
                 0, 3, 2, 3, 4, 0,  // absolute run of 3 (green, blue, grey 4) and a pad byte
                 0, 0,              // end of line
                 0, 2, 2, 1,        // delta: right 2, up 1 (to the top row, column 2)
                 2, 5,              // 2 x grey 5
                 0, 1};             // end of bitmap
  BitmapImage image;
  Decode(MakeBmp(s), image);
  std::vector<std::uint32_t> expect = {
      0,        0,        5 * 0x010101, 5 * 0x010101, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF0000, 0xFF0000,
      0xFF0000, 0x00FF00, 0x0000FF,     4 * 0x010101, 0, 0};
  for (std::uint32_t i = 0; i < 24; ++i) EXPECT_EQ(image.Pixels()[i], expect[i]) << i;
}

TEST(BmpDecoder, Rle4AbsoluteRunPadding) {
  // Runs of 5 (3 bytes + pad), 4 (2 bytes, no pad) and 3 (2 bytes, no pad) pixels, and an
  // encoded run alternating two entries.
  BmpLayout s;
  s.width = 16;
  s.height = 1;
  s.bitCount = 4;
  s.compression = 2;
  s.palette = Palette(16);
  s.pixelData = {0, 5, 0x12, 0x34, 0x50, 0xEE, 0, 4, 0x67, 0x89, 0, 3, 0xAB, 0xC0, 4, 0x21, 0, 1};
  BitmapImage image;
  Decode(MakeBmp(s), image);
  std::vector<int> idx = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 2, 1, 2, 1};
  for (std::uint32_t x = 0; x < 16; ++x) EXPECT_EQ(At(image, x, 0), s.palette[idx[x]]) << x;
}

TEST(BmpDecoder, RleRefusals) {
  BmpLayout s;
  s.width = 4;
  s.height = 2;
  s.bitCount = 8;
  s.compression = 1;
  s.palette = Palette(4);
  // No end-of-bitmap code.
  s.pixelData = {4, 1, 0, 0, 4, 2, 0, 0};
  EXPECT_EQ(ErrorOf(MakeBmp(s)), "Corrupt Data");
  // A run past the row's end.
  s.pixelData = {5, 1, 0, 1};
  EXPECT_EQ(ErrorOf(MakeBmp(s)), "Corrupt Data");
  // A delta above the top row is accepted; the next run fails, an end of bitmap does not.
  s.pixelData = {0, 2, 0, 5, 1, 1, 0, 1};
  EXPECT_EQ(ErrorOf(MakeBmp(s)), "Corrupt Data");
  s.pixelData = {0, 2, 0, 5, 0, 1};
  EXPECT_EQ(ErrorOf(MakeBmp(s)), "(no error)");
  // Many deltas to the right cannot wrap the column back into the row.
  s.pixelData.clear();
  for (int i = 0; i < 70000; ++i) s.pixelData.insert(s.pixelData.end(), {0, 2, 255, 0});
  s.pixelData.insert(s.pixelData.end(), {1, 1, 0, 1});
  EXPECT_EQ(ErrorOf(MakeBmp(s)), "Corrupt Data");
  // Top-down rows are not allowed with RLE.
  s.height = -2;
  s.pixelData = {0, 1};
  EXPECT_EQ(ErrorOf(MakeBmp(s)), "Negative height not allowed in an RLE image");
}

TEST(BmpDecoder, RleWithHeightZeroReportsFullProgress) {
  BmpLayout s;
  s.width = 4;
  s.height = 0;
  s.bitCount = 8;
  s.compression = 1;
  s.palette = Palette(4);
  s.pixelData = {0, 1};
  Recorder recorder;
  BmpDecoder decoder;
  decoder.SetProgressFunction(&Recorder::Call, &recorder);
  BitmapImage image;
  Decode(MakeBmp(s), image, &decoder);
  EXPECT_EQ(recorder.percents, (std::vector<std::uint32_t>{0, 100, 100}));
  EXPECT_EQ(image.PixelCount(), 0u);
}

TEST(BmpDecoder, ProgressAndCancel) {
  std::vector<std::uint32_t> idx(30, 1);
  for (bool topDown : {false, true}) {
    Recorder recorder;
    BmpDecoder decoder;
    decoder.SetProgressFunction(&Recorder::Call, &recorder);
    BitmapImage image;
    Decode(MakeBmp(Palette8(3, 10, idx, topDown)), image, &decoder);
    EXPECT_EQ(recorder.percents, (std::vector<std::uint32_t>{0, 0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
  }
  // Cancel at the first call: GraphicsAbort before any header is read.
  Recorder recorder;
  recorder.cancelAt = 1;
  BmpDecoder decoder;
  decoder.SetProgressFunction(&Recorder::Call, &recorder);
  BitmapImage image;
  EXPECT_THROW(Decode(Bytes{'X'}, image, &decoder), GraphicsAbort);
  EXPECT_EQ(image.PixelCount(), 0u);
  // Cancel in the rows: the image keeps its size and the rows written so far.
  recorder = Recorder();
  recorder.cancelAt = 4;
  EXPECT_THROW(Decode(MakeBmp(Palette8(3, 10, idx, true)), image, &decoder), GraphicsAbort);
  EXPECT_EQ(image.Height(), 10u);
  EXPECT_EQ(Rgb(At(image, 0, 1)), 0xFF0000u);
  EXPECT_EQ(At(image, 0, 2), 0u);
}

TEST(BmpDecoder, PixelOffset) {
  std::vector<std::uint32_t> idx = {1, 2, 3, 1};
  BmpLayout s = Palette8(2, 2, idx);
  s.gap = 7;  // a gap after the colour table is skipped
  BitmapImage image;
  Decode(MakeBmp(s), image);
  EXPECT_EQ(Rgb(At(image, 0, 0)), 0xFF0000u);
  BmpLayout t = Palette8(2, 2, idx);
  t.pixelOffset = 14 + 40 + 100;  // inside the colour table
  EXPECT_EQ(ErrorOf(MakeBmp(t)), "Corrupt File");
}

TEST(BmpDecoder, HeaderSizeIsCheckedBeforeUse) {
  // Sizes below 4 wrapped the read count and overran the header buffer; every size other
  // than 12 and below 40 is refused at once.
  for (std::uint32_t size : {0u, 1u, 2u, 3u, 4u, 11u, 13u, 39u}) {
    Bytes file = {'B', 'M'};
    Put32(file, 100);
    Put32(file, 0);
    Put32(file, 54);
    Put32(file, size);
    for (int i = 0; i < 200; ++i) file.push_back(std::uint8_t(i));
    EXPECT_EQ(ErrorOf(file), "Invalid header size") << size;
  }
  // A huge size allocates nothing and fails once the stream ends inside it.
  BmpLayout s = Palette8(2, 2, {1, 2, 3, 1});
  Bytes file = MakeBmp(s);
  for (std::uint32_t size : {0x7FFFFFFFu, 0xFFFFFFFFu, 125u + std::uint32_t(file.size())}) {
    Bytes f = file;
    f[14] = std::uint8_t(size);
    f[15] = std::uint8_t(size >> 8);
    f[16] = std::uint8_t(size >> 16);
    f[17] = std::uint8_t(size >> 24);
    EXPECT_EQ(ErrorOf(f), "Invalid header size") << size;
  }
  // A header longer than 124 bytes whose rest is present is read past.
  BmpLayout t = Palette8(2, 2, {1, 2, 3, 1});
  t.headerSize = 200;
  BitmapImage image;
  Decode(MakeBmp(t), image);
  EXPECT_EQ(Rgb(At(image, 0, 0)), 0xFF0000u);
}

TEST(BmpDecoder, ColourTableSizes) {
  // More than 256 colours used: the first 256 are the table, the rest are read past.
  BmpLayout s = Palette8(2, 1, {1, 255});
  s.palette = Palette(300);
  s.coloursUsed = 300;
  BitmapImage image;
  Decode(MakeBmp(s), image);
  EXPECT_EQ(Rgb(At(image, 0, 0)), 0xFF0000u);
  EXPECT_EQ(Rgb(At(image, 1, 0)), 255u * 0x010101u);
  // A colours-used count whose byte size wraps 32 bits is not taken for a small table.
  BmpLayout t = Palette8(2, 1, {1, 2});
  t.coloursUsed = 0x40000001;
  EXPECT_NE(ErrorOf(MakeBmp(t)), "(no error)");
  // Indexes beyond the entries the file gave are black.
  BmpLayout u = Palette8(2, 1, {1, 9});
  u.palette = Palette(4);
  u.coloursUsed = 4;
  Decode(MakeBmp(u), image);
  EXPECT_EQ(At(image, 1, 0), 0u);
  // A colour table cut by the end of the file.
  BmpLayout v = Palette8(2, 1, {1, 2});
  Bytes cut = MakeBmp(v);
  cut.resize(14 + 40 + 30);
  EXPECT_EQ(ErrorOf(cut), "Premature End of Stream");
}

TEST(BmpDecoder, Refusals) {
  EXPECT_EQ(ErrorOf({'B', 'M', 0}), "Premature End of Stream");
  Bytes notBmp(60, 0);
  notBmp[0] = 'B';
  notBmp[1] = 'A';
  EXPECT_EQ(ErrorOf(notBmp), "Not a BMP Image");
  Bytes shortSize = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0};
  EXPECT_EQ(ErrorOf(shortSize), "Premature End of Stream");

  BmpLayout s;
  s.width = 2;
  s.height = 2;
  s.bitCount = 24;
  s.compression = 1;
  EXPECT_EQ(ErrorOf(MakeBmp(s)), "Unsupported Compression");
  s.bitCount = 8;
  s.compression = 2;
  EXPECT_EQ(ErrorOf(MakeBmp(s)), "Unsupported Compression");
  s.bitCount = 7;
  EXPECT_EQ(ErrorOf(MakeBmp(s)), "Unsupported bit count: 7");
  s.bitCount = 2;  // 2 bits only with the core header
  s.compression = 0;
  EXPECT_EQ(ErrorOf(MakeBmp(s)), "Unsupported bit count: 2");

  // A row cut short.
  BmpLayout t = Palette8(4, 3, std::vector<std::uint32_t>(12, 1));
  Bytes f = MakeBmp(t);
  f.resize(f.size() - 2);
  EXPECT_EQ(ErrorOf(f), "Premature End of Stream");
}

TEST(BmpDecoder, FileEntry) {
  std::string path = ScratchPath("entry.bmp");
  WriteFile(path, MakeBmp(Palette8(2, 1, {1, 2})));
  BmpDecoder decoder;
  BitmapImage image;
  decoder.ReadImageFile(path, image);
  EXPECT_EQ(Rgb(At(image, 1, 0)), 0x00FF00u);
  std::string missing = ScratchPath("missing.bmp");
  try {
    decoder.ReadImageFile(missing, image);
    FAIL();
  } catch (const BmpDecoder::BmpError& e) {
    EXPECT_EQ(std::string(e.what()), "Can't open input file '" + missing + "'\n" + std::strerror(ENOENT));
  }
}

TEST(BmpDecoder, ImagesWithoutPixelsReadNoRows) {
  // A height of 0 allocates no row buffer, however wide the rows (here 2.7 to 3.6 GB): the
  // probe refuses anything above 1 MiB, which would fail the decode.
  for (std::uint32_t bits : {16u, 24u, 32u}) {
    BmpLayout s;
    s.width = 0x358E2400;
    s.height = 0;
    s.bitCount = bits;
    const Bytes file = MakeBmp(s);
    BitmapImage image;
    AllocationProbe probe(kSmallAllocation);
    EXPECT_NO_THROW(Decode(file, image)) << bits;
    EXPECT_FALSE(probe.Refused()) << bits << ": largest allocation " << probe.Largest();
    EXPECT_EQ(image.Width(), 0x358E2400u);
    EXPECT_EQ(image.PixelCount(), 0u);
  }
  // Rows of no bytes are not walked one by one (2^30 empty rows would take minutes): no
  // progress is reported between the first and the last call. Should the rows be walked, the
  // third call cancels the decode.
  for (std::uint32_t bits : {8u, 16u, 24u}) {
    BmpLayout s;
    s.width = 0;
    s.height = 1 << 30;
    s.bitCount = bits;
    if (bits == 8) s.palette = Palette(256);
    Recorder recorder;
    recorder.cancelAt = 3;
    BmpDecoder decoder;
    decoder.SetProgressFunction(&Recorder::Call, &recorder);
    BitmapImage image;
    EXPECT_NO_THROW(Decode(MakeBmp(s), image, &decoder)) << bits;
    EXPECT_EQ(recorder.percents, (std::vector<std::uint32_t>{0, 100})) << bits;
    EXPECT_EQ(image.PixelCount(), 0u);
    EXPECT_EQ(image.Height(), 1u << 30);
  }
}

TEST(BmpDecoder, SizesBeyondTheLimitsAreRefusedBeforeAllocating) {
  // 8192 x 8192 is the most pixels a decoder takes; larger sizes, also those whose pixel
  // count wraps 32 bits, are refused before the pixels or a row buffer are allocated.
  const std::vector<std::pair<std::int32_t, std::int32_t>> sizes = {{8192, 8193}, {8193, -8192},  {100000, -100000},
                                                                    {-1, 1},      {65536, 65536}, {0x7FFFFFFF, 1}};
  for (const auto& [width, height] : sizes) {
    for (std::uint32_t bits : {1u, 8u, 24u, 32u}) {
      BmpLayout s;
      s.width = width;
      s.height = height;
      s.bitCount = bits;
      if (bits <= 8) s.palette = Palette(1u << bits);
      const Bytes file = MakeBmp(s);
      AllocationProbe probe(kSmallAllocation);
      EXPECT_EQ(ErrorOf(file), "Image too large") << width << "x" << height << " " << bits;
      EXPECT_FALSE(probe.Refused()) << width << "x" << height << " " << bits;
    }
  }
}
