// The rows of PNG images: filters on every pixel size, sample unpacking and conversion of
// every colour type and bit depth, Adam7 passes, and the progress calls.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <tuple>

#include "imaging/PngPixelConverters.h"
#include "imaging/PngRowFilters.h"
#include "tests/imaging/png/LibpngReference.h"
#include "tests/imaging/png/LibpngWriter.h"
#include "tests/imaging/png/PngFilterReference.h"
#include "tests/imaging/png/PngTestFiles.h"

namespace {

using TarnwellTest::Bytes;
using TarnwellTest::Decode;
using TarnwellTest::Decoded;
using TarnwellTest::PngBuilder;
using TarnwellTest::ReferenceUnfilter;

// ---- filters against a plain reference ----

TEST(PngRowFilters, EveryTypeAndPixelSizeMatchesTheDefinition) {
  std::mt19937 rng(42);
  for (std::uint32_t distance : {1u, 2u, 3u, 4u, 6u, 8u})
    for (int type = 0; type <= 4; ++type)
      for (int trial = 0; trial < 30; ++trial) {
        std::size_t length = distance * (1 + rng() % 40);
        Bytes row(length), prior(length);
        // Few distinct values, so that Paeth ties are frequent.
        for (auto& b : row) b = std::uint8_t(rng() % 3 == 0 ? rng() : rng() % 3 * 127);
        for (auto& b : prior) b = std::uint8_t(rng() % 3 == 0 ? rng() : rng() % 3 * 127);
        const std::size_t pad = 16;
        Bytes rowBuffer(pad + length + pad, 0), priorBuffer(pad + length + pad, 0);
        std::copy(row.begin(), row.end(), rowBuffer.begin() + pad);
        std::copy(prior.begin(), prior.end(), priorBuffer.begin() + pad);
        Veldaro::UnfilterPngRow(std::uint8_t(type), rowBuffer.data() + pad, priorBuffer.data() + pad,
                                std::uint32_t(length), distance);
        Bytes expected = ReferenceUnfilter(type, row, prior, distance);
        ASSERT_EQ(Bytes(rowBuffer.begin() + pad, rowBuffer.begin() + pad + length), expected)
            << "distance " << distance << " type " << type;
        // Bytes around the row are left alone.
        EXPECT_EQ(rowBuffer[pad + length], 0);
        EXPECT_EQ(rowBuffer[pad - 1], 0);
      }
}

TEST(PngRowFilters, PaethTiesGoToLeftThenAbove) {
  // left = above = upper left: left wins; above = upper left != left: |p - a| = 0, left wins.
  Bytes row = {0, 0, 10, 0}, prior = {0, 0, 5, 5};
  Bytes rowBuffer(40, 0), priorBuffer(40, 0);
  std::copy(row.begin(), row.end(), rowBuffer.begin() + 16);
  std::copy(prior.begin(), prior.end(), priorBuffer.begin() + 16);
  Veldaro::UnfilterPngRow(4, rowBuffer.data() + 16, priorBuffer.data() + 16, 4, 1);
  EXPECT_EQ(Bytes(rowBuffer.begin() + 16, rowBuffer.begin() + 20), ReferenceUnfilter(4, row, prior, 1));
}

// ---- every colour type, depth, filter and interlace against libpng ----

struct Format {
  int colorType;
  int bitDepth;
  int channels;
};

const Format kFormats[] = {{0, 1, 1}, {0, 2, 1}, {0, 4, 1}, {0, 8, 1}, {0, 16, 1}, {2, 8, 3}, {2, 16, 3}, {3, 1, 1},
                           {3, 2, 1}, {3, 4, 1}, {3, 8, 1}, {4, 8, 2}, {4, 16, 2}, {6, 8, 4}, {6, 16, 4}};

TEST(PngScanlines, EveryFormatFilterAndInterlaceMatchesLibpng) {
  std::mt19937 rng(7);
  const int filters[] = {PNG_FILTER_NONE, PNG_FILTER_SUB,   PNG_FILTER_UP,
                         PNG_FILTER_AVG,  PNG_FILTER_PAETH, PNG_ALL_FILTERS};
  int cases = 0;
  for (const Format& f : kFormats)
    for (int filter : filters)
      for (bool interlaced : {false, true}) {
        std::uint32_t width = 1 + rng() % 35, height = 1 + rng() % 19;
        if (cases % 7 == 0) width = 1, height = 1 + rng() % 9;  // single columns and small passes
        std::size_t rowBytes = (std::size_t(width) * f.channels * f.bitDepth + 7) / 8;
        std::vector<Bytes> rows(height, Bytes(rowBytes));
        for (auto& r : rows)
          for (auto& b : r) b = std::uint8_t(rng() % 4 == 0 ? rng() : (rng() % 2) * 255);
        TarnwellTest::LibpngWriteOptions o;
        o.filters = filter;
        o.interlaced = interlaced;
        o.paletteEntries = f.colorType == 3 ? 1 << f.bitDepth : 0;
        if (f.colorType == 3 && rng() % 2) {
          o.transparency.resize(1 + rng() % o.paletteEntries);
          for (auto& t : o.transparency) t = std::uint8_t(rng());
        }
        Bytes file = TarnwellTest::WritePngWithLibpng(width, height, f.bitDepth, f.colorType, rows, o);
        auto reference = TarnwellTest::ReadWithLibpng(file);
        ASSERT_EQ(reference.error, "");
        Decoded ours;
        Decode(file, ours);
        SCOPED_TRACE(testing::Message() << "type " << f.colorType << " depth " << f.bitDepth << " filter " << filter
                                        << " interlaced " << interlaced << " " << width << "x" << height);
        ASSERT_EQ(ours.error, "");
        ASSERT_EQ(ours.image.PixelCount(), reference.pixels.size());
        EXPECT_EQ(0, std::memcmp(ours.image.Pixels(), reference.pixels.data(), reference.pixels.size() * 4));
        ++cases;
      }
  EXPECT_EQ(cases, 15 * 6 * 2);
}

// ---- conversions ----

TEST(PngPixelConverters, SampleValues) {
  auto one = [](int type, int depth, Bytes samples, Bytes palette = {}, Bytes trns = {}) {
    PngBuilder b;
    b.Header(1, 1, depth, type);
    if (!palette.empty()) b.Chunk("PLTE", palette);
    if (!trns.empty()) b.Chunk("tRNS", trns);
    samples.insert(samples.begin(), 0);
    Decoded d;
    Decode(b.Rows(samples).End().bytes, d);
    EXPECT_EQ(d.error, "");
    return d.image.PixelCount() == 1 ? d.image.Pixels()[0] : 0xDEADBEEFu;
  };
  EXPECT_EQ(one(0, 1, {0x80}), 0xFFFFFFFFu);
  EXPECT_EQ(one(0, 1, {0x7F}), 0xFF000000u);
  EXPECT_EQ(one(0, 2, {0x80}), 0xFFAAAAAAu);  // sample 2: 170
  EXPECT_EQ(one(0, 2, {0x40}), 0xFF555555u);  // sample 1: 85
  EXPECT_EQ(one(0, 4, {0xB0}), 0xFFBBBBBBu);  // sample 11: 11 x 17
  EXPECT_EQ(one(0, 16, {0x12, 0xFF}), 0xFF121212u);
  EXPECT_EQ(one(2, 16, {0x12, 0xFF, 0x34, 0x80, 0x56, 0x00}), 0xFF123456u);
  EXPECT_EQ(one(4, 8, {0x33, 0x44}), 0x44333333u);
  EXPECT_EQ(one(4, 16, {0x33, 0xFF, 0x44, 0xFF}), 0x44333333u);
  EXPECT_EQ(one(6, 8, {1, 2, 3, 4}), 0x04010203u);
  EXPECT_EQ(one(6, 16, {1, 9, 2, 9, 3, 9, 4, 9}), 0x04010203u);
  // Palette alpha from tRNS: 0 and 128 for the first two entries, the rest opaque.
  Bytes palette = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ(one(3, 8, {0}, palette, {0, 128}), 0x00010203u);
  EXPECT_EQ(one(3, 8, {1}, palette, {0, 128}), 0x80040506u);
  EXPECT_EQ(one(3, 8, {2}, palette, {0, 128}), 0xFF070809u);
  // Indexes beyond the palette: black, alpha from tRNS or opaque.
  EXPECT_EQ(one(3, 8, {5}, palette, {0, 128}), 0xFF000000u);
  EXPECT_EQ(one(3, 8, {1}, palette, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 0x00040506u);
  EXPECT_EQ(one(3, 8, {12}, palette, Bytes(13, 77)), 0x4D000000u);
  // A tRNS chunk of a grayscale image has no effect.
  EXPECT_EQ(one(0, 8, {0x10}, {}, {0, 0x10}), 0xFF101010u);
}

TEST(PngPixelConverters, PartialBytesAtTheEndOfARow) {
  for (auto [format, bits] :
       {std::tuple{Veldaro::PngPixelFormat::Indexed1, 1}, std::tuple{Veldaro::PngPixelFormat::Indexed2, 2},
        std::tuple{Veldaro::PngPixelFormat::Indexed4, 4}})
    for (std::uint32_t count = 1; count <= 17; ++count) {
      std::uint32_t table[256];
      for (std::uint32_t i = 0; i < 256; ++i) table[i] = i * 0x01010101u;
      Bytes samples((count * bits + 7) / 8);
      for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = std::uint8_t(0x9C + i * 37);
      std::vector<std::uint32_t> pixels(count + 1, 0xAAAAAAAAu);
      Veldaro::ConvertPngRow(format, samples.data(), count, pixels.data(), table);
      for (std::uint32_t x = 0; x < count; ++x) {
        std::uint32_t bit = x * bits;
        std::uint32_t value = (samples[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        EXPECT_EQ(pixels[x], table[value]) << bits << " " << count << " " << x;
      }
      EXPECT_EQ(pixels[count], 0xAAAAAAAAu);  // nothing written past the row
    }
}

TEST(PngScanlines, FirstRowOfEachPassSeesAZeroPreviousRow) {
  // 8 x 8 gray, Adam7: every row of every pass uses Up. The first row of each pass must
  // reconstruct to its raw bytes although the previous pass left data in the buffers.
  Bytes rows;
  const std::uint32_t starts[7][4] = {{8, 8, 0, 0}, {8, 8, 0, 4}, {8, 4, 4, 0}, {4, 4, 0, 2},
                                      {4, 2, 2, 0}, {2, 2, 0, 1}, {2, 1, 1, 0}};
  std::vector<std::uint32_t> expected(64, 0);
  for (const auto& p : starts) {
    std::uint32_t columns = (8 - p[3] + p[1] - 1) / p[1];
    std::vector<std::uint8_t> previous(columns, 0);
    for (std::uint32_t y = p[2]; y < 8; y += p[0]) {
      rows.push_back(2);
      for (std::uint32_t i = 0; i < columns; ++i) {
        std::uint8_t value = std::uint8_t(y * 8 + p[3] + i * p[1]);
        rows.push_back(std::uint8_t(value - previous[i]));
        previous[i] = value;
        expected[y * 8 + p[3] + i * p[1]] = 0xFF000000u | value * 0x010101u;
      }
    }
  }
  Decoded d;
  Decode(PngBuilder().Header(8, 8, 8, 0, 1).Rows(rows).End().bytes, d);
  ASSERT_EQ(d.error, "");
  EXPECT_EQ(std::vector<std::uint32_t>(d.image.Pixels(), d.image.Pixels() + 64), expected);
}

// ---- progress ----

struct Call {
  std::uint32_t pass, passes, percent;
  bool operator==(const Call&) const = default;
};

struct Recorder {
  std::vector<Call> calls;
  std::size_t cancelAt = SIZE_MAX;
};

void Record(Veldaro::BitmapImageCoder*, void* data, std::uint32_t pass, std::uint32_t passes, std::uint32_t percent,
            bool& cancel) {
  auto* r = static_cast<Recorder*>(data);
  r->calls.push_back({pass, passes, percent});
  if (r->calls.size() > r->cancelAt) cancel = true;
}

std::vector<Call> Progress(const Bytes& file, std::string* error = nullptr) {
  Recorder r;
  Veldaro::PngDecoder decoder;
  decoder.SetProgressFunction(Record, &r);
  Decoded d;
  Decode(file, d, &decoder);
  if (error) *error = d.error;
  return r.calls;
}

TEST(PngProgress, NoninterlacedRows) {
  auto gray = [](std::uint32_t w, std::uint32_t h) {
    Bytes rows;
    for (std::uint32_t y = 0; y < h; ++y) {
      rows.push_back(0);
      rows.insert(rows.end(), w, 1);
    }
    return PngBuilder().Header(w, h, 8, 0).Rows(rows).End().bytes;
  };
  EXPECT_EQ(Progress(gray(3, 1)), (std::vector<Call>{{1, 1, 0}, {1, 1, 0}, {1, 1, 100}}));
  EXPECT_EQ(Progress(gray(1, 3)), (std::vector<Call>{{1, 1, 0}, {1, 1, 0}, {1, 1, 33}, {1, 1, 66}, {1, 1, 100}}));
}

TEST(PngProgress, InterlacedPasses) {
  EXPECT_EQ(Progress(PngBuilder().Header(1, 1, 8, 0, 1).Rows({0, 9}).End().bytes),
            (std::vector<Call>{{1, 7, 0}, {1, 7, 100}}));
  // 2 x 2: passes 1 (pixel 0,0), 6 (pixel 1,0) and 7 (row 1); the others have no pixels.
  EXPECT_EQ(Progress(PngBuilder().Header(2, 2, 8, 0, 1).Rows({0, 1, 0, 2, 0, 3, 4}).End().bytes),
            (std::vector<Call>{{1, 7, 0}, {1, 7, 100}, {6, 7, 0}, {6, 7, 100}, {7, 7, 50}, {7, 7, 100}}));
}

TEST(PngProgress, CancelStopsTheDecode) {
  Bytes rows;
  for (int y = 0; y < 4; ++y) rows.insert(rows.end(), {0, 0x22, 0x22});
  Bytes file = PngBuilder().Header(2, 4, 8, 0).Rows(rows).End().bytes;
  Recorder r;
  r.cancelAt = 2;  // at the call after the second row
  Veldaro::PngDecoder decoder;
  decoder.SetProgressFunction(Record, &r);
  Veldaro::BitmapImage image;
  Veldaro::PngInputMemoryStream stream(file);
  EXPECT_THROW(decoder.ReadImage(stream, image), Veldaro::GraphicsAbort);
  ASSERT_EQ(image.PixelCount(), 8u);
  EXPECT_EQ(image.Pixels()[3], 0xFF222222u);  // rows decoded before the cancel stay
  EXPECT_EQ(image.Pixels()[4], 0u);
  // The decoder is usable again afterwards.
  r.cancelAt = SIZE_MAX;
  Veldaro::PngInputMemoryStream again(file);
  decoder.ReadImage(again, image);
  EXPECT_EQ(image.Pixels()[7], 0xFF222222u);
}

}  // namespace
