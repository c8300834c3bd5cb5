// The GIF decoder on files of the tests' own encoder: blocks and extensions, colour tables,
// transparency, LZW cases, interlaced order and progress, and every refusal.

#include <gtest/gtest.h>

#include <functional>

#include "imaging/GifDecoder.h"
#include "imaging/GifInputFileStream.h"
#include "imaging/GifInputMemoryStream.h"
#include "tests/imaging/base/AllocationProbe.h"
#include "tests/imaging/base/GifWriter.h"
#include "tests/imaging/base/TestSupport.h"

using namespace Veldaro;
using namespace ImagingTest;

namespace {

// Decodes from memory, in blocks of bufferSize bytes (0: all at once).
void Decode(const Bytes& file, BitmapImage& image, GifDecoder* decoder = nullptr, std::uint32_t bufferSize = 0) {
  GifInputMemoryStream stream(file, bufferSize);
  GifDecoder local;
  (decoder ? *decoder : local).ReadImage(stream, image);
}

std::string ErrorOf(const Bytes& file) {
  BitmapImage image;
  try {
    Decode(file, image);
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

// A 4 x 3 picture over a 4-entry global table.
GifLayout Small() {
  GifLayout s;
  s.width = 4;
  s.height = 3;
  s.global = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  s.minCodeSize = 2;
  s.pixels = {0, 1, 2, 3, 3, 2, 1, 0, 1, 1, 1, 1};
  return s;
}

std::uint32_t Expected(const std::vector<std::uint32_t>& table, std::uint8_t index, int transparent = -1) {
  std::uint32_t c = index < table.size() ? table[index] : 0;
  return (int(index) == transparent ? 0u : 0xFF000000u) | c;
}

void ExpectPicture(const BitmapImage& image, const GifLayout& s, const std::vector<std::uint32_t>& table,
                   int transparent = -1) {
  ASSERT_EQ(image.Width(), s.width);
  ASSERT_EQ(image.Height(), s.height);
  for (std::size_t i = 0; i < s.pixels.size(); ++i)
    ASSERT_EQ(image.Pixels()[i], Expected(table, s.pixels[i], transparent)) << "pixel " << i;
}

struct Progress {
  struct Call {
    std::uint32_t pass, count, percent;
    bool operator==(const Call& o) const { return pass == o.pass && count == o.count && percent == o.percent; }
  };
  std::vector<Call> calls;
  int cancelAt = -1;
  std::function<void(BitmapImageCoder*)> action;
  static void Function(BitmapImageCoder* coder, void* data, std::uint32_t pass, std::uint32_t count,
                       std::uint32_t percent, bool& cancel) {
    auto* self = static_cast<Progress*>(data);
    self->calls.push_back({pass, count, percent});
    if (int(self->calls.size()) == self->cancelAt) cancel = true;
    if (self->action) self->action(coder);
  }
};

}  // namespace

TEST(GifDecoder, RoundTripsOfRandomPictures) {
  Random random(21);
  for (int round = 0; round < 60; ++round) {
    GifLayout s;
    s.width = 1 + random.Below(40);
    s.height = 1 + random.Below(40);
    std::uint32_t colours = 2u << random.Below(8);
    s.minCodeSize = std::max<std::uint32_t>(2, TableBits(colours) + 1);
    s.global = RandomTable(colours, random);
    s.pixels = RandomIndexes(s.width * s.height, colours, random);
    s.interlaced = random.Below(2) == 1;
    s.blockSize = 1 + random.Below(255);
    s.lzw.leadingClear = random.Below(4) != 0;  // data need not begin with a clear code
    BitmapImage image;
    Decode(MakeGif(s), image);
    ExpectPicture(image, s, s.global);
  }
}

TEST(GifDecoder, VersionsAndHeaders) {
  GifLayout s = Small();
  BitmapImage image;
  for (const char* version : {"GIF87a", "GIF89a"}) {
    s.version = version;
    Decode(MakeGif(s), image);
    ExpectPicture(image, s, s.global);
  }
  for (const char* version : {"GIF88a", "GIF89b"}) {
    s.version = version;
    EXPECT_EQ(ErrorOf(MakeGif(s)), "GIF: Not a GIF stream");
  }
  EXPECT_EQ(ErrorOf({'G', 'I', 'F', '8', '9'}), "GIF: Cannot read GIF header.");
  EXPECT_EQ(ErrorOf({'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0}), "GIF: Cannot read GIF screen descriptor.");
  Bytes shortTable = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x81, 0, 0, 1, 2, 3, 4, 5, 6, 7};
  EXPECT_EQ(ErrorOf(shortTable), "GIF: Error reading global color table in GIF file.");
}

TEST(GifDecoder, ColourTables) {
  GifLayout s = Small();
  s.local = {0x111111, 0x222222, 0x333333, 0x444444};
  BitmapImage image;
  Decode(MakeGif(s), image);
  ExpectPicture(image, s, s.local);  // the local table replaces the global one
  s.global.clear();
  Decode(MakeGif(s), image);
  ExpectPicture(image, s, s.local);
  s.local.clear();
  EXPECT_EQ(ErrorOf(MakeGif(s)), "GIF: Image contains no color table");
  // A local table with size bits 0 holds two entries.
  GifLayout t = Small();
  t.local = {0xABCDEF, 0x123456};
  t.pixels = {0, 1, 1, 0, 0, 0, 1, 1, 1, 0, 1, 0};
  Decode(MakeGif(t), image);
  ExpectPicture(image, t, t.local);
  // A local table cut short.
  Bytes cut = MakeGif(t);
  cut.resize(6 + 7 + 12 + 10 + 4);
  EXPECT_EQ(ErrorOf(cut), "GIF: Error reading local color table in GIF file.");
  // Indexes beyond the table's entries are opaque black.
  GifLayout u = Small();
  u.global = {0x00FF00, 0xFF0000};
  u.minCodeSize = 3;
  u.pixels = {0, 1, 5, 7, 0, 0, 0, 0, 0, 0, 0, 0};
  Decode(MakeGif(u), image);
  EXPECT_EQ(At(image, 2, 0), 0xFF000000u);
  EXPECT_EQ(At(image, 3, 0), 0xFF000000u);
}

TEST(GifDecoder, Transparency) {
  GifLayout s = Small();
  s.global = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0, 0x445566, 0, 0};
  s.minCodeSize = 3;
  s.pixels = {5, 1, 5, 3, 3, 2, 1, 0, 5, 5, 5, 5};
  BitmapImage image;
  Decode(MakeGif(s), image);
  ExpectPicture(image, s, s.global);  // no graphic control block: all opaque
  s.beforeImage = GraphicControl(true, 5);
  Decode(MakeGif(s), image);
  ExpectPicture(image, s, s.global, 5);  // index 5 keeps its colour with alpha 0
  EXPECT_EQ(At(image, 0, 0), 0x00445566u);
  // Of several graphic control blocks the last one decides.
  s.beforeImage = GraphicControl(true, 5);
  Bytes second = GraphicControl(true, 3);
  s.beforeImage.insert(s.beforeImage.end(), second.begin(), second.end());
  Decode(MakeGif(s), image);
  ExpectPicture(image, s, s.global, 3);
  s.beforeImage = GraphicControl(true, 5);
  second = GraphicControl(false, 5);
  s.beforeImage.insert(s.beforeImage.end(), second.begin(), second.end());
  Decode(MakeGif(s), image);
  ExpectPicture(image, s, s.global);
  // A decoder used again does not carry the transparency of the last file into the next.
  GifDecoder decoder;
  s.beforeImage = GraphicControl(true, 5);
  Decode(MakeGif(s), image, &decoder);
  ExpectPicture(image, s, s.global, 5);
  s.beforeImage.clear();
  Decode(MakeGif(s), image, &decoder);
  ExpectPicture(image, s, s.global);
}

TEST(GifDecoder, BlocksAndExtensions) {
  GifLayout s = Small();
  BitmapImage image;
  // Zero bytes, a comment of several sub-blocks, an application and a plain text extension.
  s.beforeImage = {0,   0,   0x21, 0xFE, 3,   'a', 'b', 'c', 2,   'd', 'e', 0, 0x21, 0xFF, 11,   'N',  'E',
                   'T', 'S', 'C',  'A',  'P', 'E', '2', '.', '0', 3,   1,   0, 0,    0,    0x21, 0x01, 12,
                   0,   0,   0,    0,    4,   0,   3,   0,   8,   8,   1,   0, 2,    'h',  'i',  0};
  Decode(MakeGif(s), image);
  ExpectPicture(image, s, s.global);
  // Nothing after the first image's data is read.
  for (Bytes after : {Bytes{}, Bytes{0x2C, 1, 2}, Bytes{0xDE, 0xAD, 0xBE, 0xEF}}) {
    s.afterImage = after;
    Decode(MakeGif(s), image);
    ExpectPicture(image, s, s.global);
  }

  auto withBefore = [](const Bytes& before) {
    GifLayout t = Small();
    t.beforeImage = before;
    return MakeGif(t);
  };
  EXPECT_EQ(ErrorOf(withBefore({0x3B})), "GIF: No image in input stream.");
  Bytes header = MakeGif(Small());
  header.resize(6 + 7 + 12);
  EXPECT_EQ(ErrorOf(header), "GIF: Missing GIF Trailer marker.");
  EXPECT_EQ(ErrorOf(withBefore({0x21, 0x02})), "GIF: Invalid GIF Extension");
  EXPECT_EQ(ErrorOf(withBefore({0x99})), "GIF: Invalid GIF block");
  EXPECT_EQ(ErrorOf(withBefore({0x21, 0xF9, 5, 1, 0, 0, 0, 0, 0})),
            "GIF: Corrupt GIF file - wrong size in Graphic Control Block");
  EXPECT_EQ(ErrorOf(withBefore({0x21, 0xF9, 4, 1, 0, 0, 0, 7})), "GIF: Corrupt GIF file - missing terminator");
  EXPECT_EQ(ErrorOf(withBefore({0x21, 0xFF, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})),
            "GIF: Corrupt GIF file - invalid Application Extension Length");
  EXPECT_EQ(ErrorOf(withBefore({0x21, 0x01, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})),
            "GIF: Corrupt GIF file - wrong size in GIF extension");

  // Files that end inside an extension.
  auto cutAfter = [](const Bytes& before) {
    Bytes f = MakeGif(Small());
    f.resize(6 + 7 + 12);
    f.insert(f.end(), before.begin(), before.end());
    return f;
  };
  EXPECT_EQ(ErrorOf(cutAfter({0x21, 0x01, 12, 0, 0})), "GIF: Cannot read Plain Text Extension Block");
  EXPECT_EQ(ErrorOf(cutAfter({0x21, 0x01, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 1, 2})),
            "GIF: Cannot read Plaint Text data.");
  EXPECT_EQ(ErrorOf(cutAfter({0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1})),
            "GIF: Cannot read Application Extension data");
  EXPECT_EQ(ErrorOf(cutAfter({0x21, 0xFE, 4, 'a'})), "GIF: Missing GIF Trailer marker.");
  // Fixed parts cut short end like any byte read at the end of the file.
  EXPECT_EQ(ErrorOf(cutAfter({0x21, 0xF9, 4, 1})), "Premature end of file");
  EXPECT_EQ(ErrorOf(cutAfter({0x21, 0xF9, 4, 1, 0, 0, 3})), "Premature end of file");
  EXPECT_EQ(ErrorOf(cutAfter({0x21, 0xFF, 11, 'N'})), "Premature end of file");
  EXPECT_EQ(ErrorOf(cutAfter({0x21})), "Premature end of file");
  Bytes desc = cutAfter({0x2C, 0, 0, 0, 0, 4, 0});
  EXPECT_EQ(ErrorOf(desc), "GIF: Error reading GIF image descriptor");
}

TEST(GifDecoder, LzwCases) {
  GifLayout s = Small();
  BitmapImage image;
  // Clear and end only: every pixel stays transparent black.
  CodePacker p;
  p.Put(4, 3);
  p.Put(5, 3);
  Bytes data = p.Finish();
  s.rawData = &data;
  Decode(MakeGif(s), image);
  for (std::uint32_t i = 0; i < 12; ++i) EXPECT_EQ(image.Pixels()[i], 0u);

  // KwKwK: codes 1, 6 (= next code) give 1, 1, 1.
  CodePacker k;
  k.Put(4, 3);
  k.Put(1, 3);
  k.Put(6, 3);
  k.Put(5, 3);
  data = k.Finish();
  Decode(MakeGif(s), image);
  EXPECT_EQ(At(image, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(At(image, 2, 0), 0xFFFF0000u);
  EXPECT_EQ(At(image, 3, 0), 0u);

  // A code above the next code; the first code after a clear equal to the next code; a
  // clear or an end code that was never defined as a string.
  auto codes = [&](std::vector<std::uint32_t> list) {
    CodePacker c;
    for (std::uint32_t code : list) c.Put(code, 3);
    data = c.Finish();
    return ErrorOf(MakeGif(s));
  };
  EXPECT_EQ(codes({4, 1, 7, 5}), "GIF: Corrupt compressed data.");
  EXPECT_EQ(codes({4, 1, 4, 6, 5}), "GIF: Corrupt compressed data.");
  EXPECT_EQ(codes({6, 5}), "GIF: Corrupt compressed data.");
  // More pixels than the image holds.
  std::vector<std::uint8_t> thirteen(13, 2);
  data = LzwEncode(thirteen, 2);
  EXPECT_EQ(ErrorOf(MakeGif(s)), "GIF: Corrupt input stream. Compressed data past image.");
  // The data runs out before the end code.
  EXPECT_EQ(codes({4, 1, 2}), "GIF: Attempt to read bits beyond compressed data.");

  // A minimum code size above 11 fails at the first code; 255 must not overflow anything.
  for (std::uint32_t size : {12u, 13u, 255u}) {
    GifLayout t = Small();
    t.minCodeSize = size;
    Bytes d = {0xFF, 0xFF};
    t.rawData = &d;
    EXPECT_EQ(ErrorOf(MakeGif(t)), "GIF: Internal Error - Invalid Code Size.") << size;
  }
  // Extra sub-blocks after the one that holds the end code.
  GifLayout u = Small();
  Bytes framed = MakeGif(u);
  Bytes extra = SubBlocks(LzwEncode(u.pixels, 2));
  extra.insert(extra.end() - 1, {1, 0x55});
  Bytes head(framed.begin(), framed.begin() + 6 + 7 + 12 + 10 + 1);
  head.insert(head.end(), extra.begin(), extra.end());
  EXPECT_EQ(ErrorOf(head), "GIF: Missing terminator after compressed data.");
  // The file ends inside the data sub-blocks.
  for (std::size_t cutAt = 1; cutAt < SubBlocks(LzwEncode(u.pixels, 2)).size(); ++cutAt) {
    Bytes cut(framed.begin(), framed.begin() + std::ptrdiff_t(6 + 7 + 12 + 10 + 1 + cutAt));
    EXPECT_NE(ErrorOf(cut), "(no error)") << cutAt;
  }
}

TEST(GifDecoder, DeferredClearAndFullTables) {
  Random random(8);
  GifLayout s;
  s.width = 200;
  s.height = 150;
  s.global = RandomTable(256, random);
  s.minCodeSize = 8;
  for (int i = 0; i < 200 * 150; ++i) s.pixels.push_back(std::uint8_t(random.Below(256)));
  BitmapImage image;
  // Clear codes sent as the table fills; a deferred clear sent much later; none at all.
  for (int clearAfter : {-2, 500, -1}) {
    s.lzw.deferredClear = clearAfter != -2;
    s.lzw.clearAfterFull = clearAfter == -2 ? -1 : clearAfter;
    Decode(MakeGif(s), image);
    ExpectPicture(image, s, s.global);
  }
  // Code size 12 with small colour counts, and a code size of 1 (two colours).
  GifLayout t;
  t.width = 300;
  t.height = 200;
  t.global = {0, 0xFFFFFF};
  t.minCodeSize = 1;
  t.pixels = RandomIndexes(t.width * t.height, 2, random);
  t.lzw.deferredClear = true;
  Decode(MakeGif(t), image);
  ExpectPicture(image, t, t.global);
}

TEST(GifDecoder, EmptyImages) {
  BitmapImage image;
  GifLayout s = Small();
  s.height = 0;
  s.pixels.clear();
  Decode(MakeGif(s), image);  // clear and end: no pixels, no error
  EXPECT_EQ(image.PixelCount(), 0u);
  s.pixels = {1};
  EXPECT_EQ(ErrorOf(MakeGif(s)), "GIF: Corrupt input stream. Compressed data past image.");
  // Width 0 with a height: no pixel can be written, the first index is past the image.
  GifLayout t = Small();
  t.width = 0;
  t.pixels.clear();
  Decode(MakeGif(t), image);
  EXPECT_EQ(image.PixelCount(), 0u);
  EXPECT_EQ(image.Height(), 3u);
  for (bool interlaced : {false, true}) {
    t.pixels = {1, 2, 3};
    t.interlaced = interlaced;
    Bytes data = LzwEncode(t.pixels, 2);
    t.rawData = &data;
    EXPECT_EQ(ErrorOf(MakeGif(t)), "GIF: Corrupt input stream. Compressed data past image.");
  }
}

TEST(GifDecoder, SizesBeyondThePixelLimitAreRefusedBeforeAllocating) {
  // 8192 x 8192 is the most pixels a decoder takes; one row more, or the largest sizes a GIF
  // can announce, are refused without allocating their pixels.
  for (auto [width, height] : {std::pair{8192u, 8193u}, std::pair{65535u, 65535u}, std::pair{65535u, 1025u}}) {
    GifLayout s = Small();
    s.width = width;
    s.height = height;
    s.pixels.clear();
    const Bytes file = MakeGif(s);
    AllocationProbe probe(kSmallAllocation);
    EXPECT_EQ(ErrorOf(file), "GIF: Image too large.") << width << "x" << height;
    EXPECT_FALSE(probe.Refused()) << width << "x" << height;
  }
}

TEST(GifDecoder, BlocksOfAnySizeReadAlike) {
  // The memory stream hands the file out in blocks, as the file stream does: every block size
  // gives the same picture, with sub-blocks and codes split at any byte.
  Random random(23);
  GifLayout s;
  s.width = 37;
  s.height = 19;
  s.interlaced = true;
  s.global = RandomTable(64, random);
  s.minCodeSize = 6;
  s.pixels = RandomIndexes(s.width * s.height, 64, random);
  s.blockSize = 13;
  const Bytes file = MakeGif(s);
  for (std::uint32_t bufferSize : {0u, 1u, 2u, 7u, 255u, 4096u}) {
    BitmapImage image;
    Decode(file, image, nullptr, bufferSize);
    ExpectPicture(image, s, s.global);
  }
}

TEST(GifDecoder, InterlacedOrderProgressAndCopies) {
  GifLayout s;
  s.width = 2;
  s.height = 10;
  s.interlaced = true;
  s.minCodeSize = 4;
  s.global = RandomTable(16, *std::make_unique<Random>(3));
  for (std::uint8_t y = 0; y < 10; ++y) s.pixels.insert(s.pixels.end(), {y, y});
  Progress progress;
  std::vector<std::vector<std::uint32_t>> snapshots;
  BitmapImage image;
  progress.action = [&](BitmapImageCoder*) {
    std::vector<std::uint32_t> column;
    for (std::uint32_t y = 0; y < 10; ++y) column.push_back(At(image, 1, y));
    snapshots.push_back(column);
  };
  GifDecoder decoder;
  decoder.SetProgressFunction(&Progress::Function, &progress);
  Decode(MakeGif(s), image, &decoder);
  ExpectPicture(image, s, s.global);
  std::vector<Progress::Call> expected = {{1, 4, 80}, {1, 4, 100}, {2, 4, 100}, {3, 4, 60}, {3, 4, 100},
                                          {4, 4, 30}, {4, 4, 50},  {4, 4, 70},  {4, 4, 90}, {4, 4, 100}};
  EXPECT_EQ(progress.calls, expected);
  // After pass 0 rows 0-7 show row 0's colours and rows 8-9 row 8's.
  ASSERT_EQ(snapshots.size(), 10u);
  for (std::uint32_t y = 0; y < 10; ++y) EXPECT_EQ(snapshots[1][y], Expected(s.global, y < 8 ? 0 : 8)) << y;
  // Rows arrive in the order 0, 8, 4, 2, 6, 1, 3, 5, 7, 9: after the third call row 4 is there.
  EXPECT_EQ(snapshots[2][4], Expected(s.global, 4));
  EXPECT_EQ(snapshots[2][5], Expected(s.global, 4));

  // Height 1: passes 1 to 3 are skipped; one more index is past the image.
  GifLayout t = s;
  t.height = 1;
  t.pixels = {3, 3};
  BitmapImage one;
  Decode(MakeGif(t), one);
  ExpectPicture(one, t, t.global);
  t.pixels = {3, 3, 3};
  Bytes data = LzwEncode(t.pixels, 4);
  t.rawData = &data;
  EXPECT_EQ(ErrorOf(MakeGif(t)), "GIF: Corrupt input stream. Compressed data past image.");
}

TEST(GifDecoder, SequentialProgressCancelAndReentry) {
  GifLayout s = Small();
  Progress progress;
  GifDecoder decoder;
  decoder.SetProgressFunction(&Progress::Function, &progress);
  BitmapImage image;
  Decode(MakeGif(s), image, &decoder);
  std::vector<Progress::Call> expected = {{1, 1, 33}, {1, 1, 66}, {1, 1, 100}};
  EXPECT_EQ(progress.calls, expected);

  // Cancel at the first call: GraphicsAbort after the first row, which is in the image.
  progress = Progress();
  progress.cancelAt = 1;
  EXPECT_THROW(Decode(MakeGif(s), image, &decoder), GraphicsAbort);
  EXPECT_EQ(At(image, 1, 0), 0xFFFF0000u);
  EXPECT_EQ(At(image, 0, 1), 0u);
  // The stream was released: the same decoder reads the next file.
  progress = Progress();
  Decode(MakeGif(s), image, &decoder);
  ExpectPicture(image, s, s.global);

  // A decode started from the progress function of a running one is refused.
  std::string nested;
  progress = Progress();
  const Bytes file = MakeGif(s);
  progress.action = [&](BitmapImageCoder* coder) {
    if (!nested.empty()) return;
    BitmapImage other;
    try {
      GifInputMemoryStream stream(file);
      static_cast<GifDecoder*>(coder)->ReadImage(stream, other);
      nested = "(no error)";
    } catch (const GifDecoder::GifError& e) {
      nested = e.what();
    }
  };
  Decode(file, image, &decoder);
  EXPECT_EQ(nested, "GIF: Already have open input stream");
}

TEST(GifDecoder, FileEntry) {
  // The file entry reads through the file stream what the memory stream hands out.
  GifLayout s = Small();
  const std::string path = ScratchPath("entry.gif");
  WriteFile(path, MakeGif(s));
  GifDecoder decoder;
  BitmapImage image;
  decoder.ReadImageFile(path, image);
  ExpectPicture(image, s, s.global);
  EXPECT_THROW(decoder.ReadImageFile(ScratchPath("missing.gif"), image), GifInputFileStream::GifInputStreamError);
}

TEST(GifDecoder, EarlyEndOfData) {
  // An end code before the last pixel: the rest stays transparent black, without error.
  GifLayout s = Small();
  s.lzw.stopAfter = 5;
  BitmapImage image;
  Decode(MakeGif(s), image);
  for (std::uint32_t i = 0; i < 12; ++i)
    EXPECT_EQ(image.Pixels()[i], i < 5 ? Expected(s.global, s.pixels[i]) : 0u) << i;
}
