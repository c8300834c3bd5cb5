// Rows the image data have not reached. The pixels of a non-interlaced image are allocated
// without zeroing and written row by row; whoever looks at the image (a progress function,
// the caller after a failure, a cancel or the end) must find every row not decoded
// transparent black, as if the image had been zeroed when its size was set.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/imaging/png/PngTestFiles.h"

namespace {

using TarnwellTest::Bytes;
using TarnwellTest::PngBuilder;
using Pixels = std::vector<std::uint32_t>;

// The rows of picture equal those of whole down to some row, and every pixel after is 0.
::testing::AssertionResult DecodedRowsThenBlack(const Veldaro::BitmapImage& picture, const Pixels& whole) {
  if (picture.PixelCount() != whole.size())
    return ::testing::AssertionFailure() << "size " << picture.PixelCount() << ", expected " << whole.size();
  const std::uint32_t width = picture.Width();
  std::uint32_t y = 0;
  while (y < picture.Height() &&
         std::equal(picture.Row(y), picture.Row(y) + width, whole.begin() + std::ptrdiff_t(y) * width))
    ++y;
  for (std::size_t i = std::size_t(y) * width; i < whole.size(); ++i)
    if (picture.Pixels()[i] != 0)
      return ::testing::AssertionFailure() << "pixel " << i << " (row " << i / width << ") is " << std::hex
                                           << picture.Pixels()[i] << " after the decoded rows 0 to " << std::dec << y;
  return ::testing::AssertionSuccess();
}

struct Format {
  const char* name;
  int colorType;
  int bitDepth;
  std::uint32_t rowBytes;  // of the width below
};

constexpr std::uint32_t kWidth = 5;
constexpr std::uint32_t kHeight = 9;
constexpr Format kFormats[] = {
    {"rgb8", 2, 8, 3 * kWidth},           {"gray8", 0, 8, kWidth},          {"rgba16", 6, 16, 8 * kWidth},
    {"palette4", 3, 4, (kWidth + 1) / 2}, {"grayAlpha8", 4, 8, 2 * kWidth},
};

// The rows with filters that read the next row ahead (Average and Paeth pairs) and others.
Bytes Scanlines(const Format& format, std::mt19937& rng) {
  static constexpr std::uint8_t kFilters[kHeight] = {3, 3, 1, 4, 4, 0, 3, 2, 4};
  Bytes raw;
  for (std::uint32_t y = 0; y < kHeight; ++y) {
    raw.push_back(kFilters[y]);
    for (std::uint32_t i = 0; i < format.rowBytes; ++i) raw.push_back(std::uint8_t(rng() % 256));
  }
  return raw;
}

Bytes MakeFile(const Format& format, const Bytes& raw) {
  PngBuilder b;
  b.Header(kWidth, kHeight, format.bitDepth, format.colorType);
  if (format.colorType == 3) b.Palette(16);
  return b.Data(PngBuilder::Compress(raw), 7).End().bytes;
}

Pixels WholeImage(const Bytes& file) {
  TarnwellTest::Decoded d;
  TarnwellTest::Decode(file, d);
  EXPECT_EQ(d.error, "");
  return Pixels(d.image.Pixels(), d.image.Pixels() + d.image.PixelCount());
}

// Calls test with a file of each format and the image it holds.
template <typename Test>
void ForEachFormat(unsigned seed, Test test) {
  std::mt19937 rng(seed);
  for (const Format& format : kFormats) {
    SCOPED_TRACE(format.name);
    const Bytes file = MakeFile(format, Scanlines(format, rng));
    test(file, WholeImage(file));
  }
}

TEST(PngUnwrittenRows, FilesCutAtEveryChunkLeaveTheRowsNotReachedBlack) {
  ForEachFormat(5, [](const Bytes& file, const Pixels& whole) {
    // One decoder and one image for every cut, each decode after that of the whole file: the
    // pixels may land where the earlier image's were.
    Veldaro::PngDecoder decoder;
    Veldaro::BitmapImage image;
    std::size_t sized = 0;
    std::vector<std::size_t> cuts = TarnwellTest::ChunkCuts(file);
    cuts.pop_back();  // the whole file
    for (std::size_t cut : cuts) {
      Veldaro::PngInputMemoryStream full(file);
      decoder.ReadImage(full, image);
      Veldaro::PngInputMemoryStream stream(Bytes(file.begin(), file.begin() + std::ptrdiff_t(cut)));
      EXPECT_THROW(decoder.ReadImage(stream, image), std::exception) << cut;
      // Cut within the header, the earlier image stays whole.
      EXPECT_TRUE(DecodedRowsThenBlack(image, whole)) << "cut at " << cut;
      // A fresh image and decoder likewise, once the header has set the size.
      TarnwellTest::Decoded fresh;
      TarnwellTest::Decode(Bytes(file.begin(), file.begin() + std::ptrdiff_t(cut)), fresh);
      if (fresh.image.PixelCount() == 0) continue;
      ++sized;
      EXPECT_TRUE(DecodedRowsThenBlack(fresh.image, whole)) << "cut at " << cut;
    }
    EXPECT_GT(sized, cuts.size() / 2);
  });
}

TEST(PngUnwrittenRows, FailuresBeforeTheImageDataLeaveAllBlack) {
  const Format& rgb = kFormats[0];
  std::mt19937 rng(2);
  const Bytes raw = Scanlines(rgb, rng);
  struct Case {
    const char* name;
    Bytes file;
    std::string error;
  };
  const Case cases[] = {
      {"no image data", PngBuilder().Header(kWidth, kHeight, 8, 2).End().bytes, "Image Contains no Pixel Data"},
      {"unknown critical chunk", PngBuilder().Header(kWidth, kHeight, 8, 2).Chunk("ABCD", {}).End().bytes,
       "Unknown critical chunk"},
      {"palette after the data", PngBuilder().Header(kWidth, kHeight, 8, 3).Rows(raw).End().bytes,
       "PLTE block must occur before IDAT"},
      {"bad ancillary chunk", PngBuilder().Header(kWidth, kHeight, 8, 2).Chunk("gAMA", {1}).End().bytes,
       "gAMA chunk too small"},
  };
  for (const Case& c : cases) {
    Veldaro::PngDecoder decoder;
    Veldaro::BitmapImage image;
    Veldaro::PngInputMemoryStream full(MakeFile(rgb, raw));
    decoder.ReadImage(full, image);
    Veldaro::PngInputMemoryStream stream(c.file);
    std::string error;
    try {
      decoder.ReadImage(stream, image);
    } catch (const std::exception& e) {
      error = e.what();
    }
    EXPECT_NE(error, "") << c.name;
    if (!c.error.empty()) {
      EXPECT_EQ(error, c.error) << c.name;
    }
    ASSERT_EQ(image.PixelCount(), kWidth * kHeight) << c.name;
    EXPECT_TRUE(DecodedRowsThenBlack(image, Pixels(kWidth * kHeight, 1))) << c.name;
  }
}

// Checks the image at each progress report and cancels at the report numbered cancelAt.
struct Watcher {
  const Veldaro::BitmapImage* image = nullptr;
  const Pixels* whole = nullptr;
  std::size_t reports = 0;
  std::size_t cancelAt = SIZE_MAX;
  std::size_t failures = 0;

  static void Report(Veldaro::BitmapImageCoder*, void* data, std::uint32_t, std::uint32_t, std::uint32_t,
                     bool& cancel) {
    auto* self = static_cast<Watcher*>(data);
    if (!DecodedRowsThenBlack(*self->image, *self->whole)) ++self->failures;
    cancel = self->reports++ == self->cancelAt;
  }
};

TEST(PngUnwrittenRows, ProgressReportsAndCancelsSeeOnlyDecodedRows) {
  ForEachFormat(9, [](const Bytes& file, const Pixels& whole) {
    Veldaro::BitmapImage image;
    Watcher counting{&image, &whole};
    Veldaro::PngDecoder decoder;
    decoder.SetProgressFunction(&Watcher::Report, &counting);
    Veldaro::PngInputMemoryStream stream(file);
    decoder.ReadImage(stream, image);
    EXPECT_EQ(counting.failures, 0u);
    ASSERT_GT(counting.reports, kHeight);
    for (std::size_t k = 0; k < counting.reports; ++k) {
      Watcher cancelling{&image, &whole, 0, k};
      decoder.SetProgressFunction(&Watcher::Report, &cancelling);
      Veldaro::PngInputMemoryStream again(file);
      EXPECT_THROW(decoder.ReadImage(again, image), Veldaro::GraphicsAbort) << k;
      EXPECT_EQ(cancelling.failures, 0u) << k;
      EXPECT_TRUE(DecodedRowsThenBlack(image, whole)) << "cancel at " << k;
    }
  });
}

}  // namespace

// Under AddressSanitizer every allocation of the test program comes filled with 0xBE (by
// default only its first 4 KiB), so that pixels the decoder leaves without a value show in the
// pictures the tests compare.
extern "C" const char* tarnwell_asan_options() { return "max_malloc_fill_size=1073741824"; }
