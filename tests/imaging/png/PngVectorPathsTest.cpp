// The vector paths of the row filters and the pixel converters against the plain definition
// and the scalar path, at every level this processor has, on rows of every length up to 70
// pixels and a few long ones, so that every block loop and every tail is run.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "base/CpuFeatures.h"
#include "imaging/PngPixelConverters.h"
#include "imaging/PngRowFilters.h"
#include "tests/imaging/png/PngFilterReference.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using CpuFeatures::SimdLevel;

std::vector<SimdLevel> Levels() {
  std::vector<SimdLevel> levels;
  for (SimdLevel level : {SimdLevel::Scalar, SimdLevel::Sse2, SimdLevel::Sse41, SimdLevel::Avx2})
    if (level <= CpuFeatures::DetectedSimdLevel()) levels.push_back(level);
  return levels;
}

std::vector<std::uint32_t> PixelCounts() {
  std::vector<std::uint32_t> counts;
  for (std::uint32_t n = 1; n <= 70; ++n) counts.push_back(n);
  for (std::uint32_t n : {255u, 1000u, 4099u}) counts.push_back(n);
  return counts;
}

// Random bytes; one row in three of few distinct values, so that Paeth ties are frequent.
Bytes RandomRow(std::size_t length, std::mt19937& rng) {
  Bytes row(length);
  const bool ties = rng() % 3 == 0;
  for (auto& b : row) b = std::uint8_t(ties ? rng() % 3 * 127 : rng());
  return row;
}

constexpr std::size_t kPadding = 16;  // zeros before the row, as the decoder's row buffers
constexpr std::size_t kAfter = 8;     // readable bytes after the row
constexpr std::uint8_t kGuard = 0xA5;

// Unfilters at the given level in buffers just as large as the contract asks, with the bytes
// after the row set to a guard value that must stay.
Bytes Unfilter(SimdLevel level, int type, const Bytes& row, const Bytes& prior, std::uint32_t distance) {
  CpuFeatures::SimdLevelCap cap{level};
  Bytes rowBuffer(kPadding + row.size() + kAfter, kGuard), priorBuffer(kPadding + prior.size() + kAfter, kGuard);
  std::fill_n(rowBuffer.begin(), kPadding, 0);
  std::fill_n(priorBuffer.begin(), kPadding, 0);
  std::copy(row.begin(), row.end(), rowBuffer.begin() + kPadding);
  std::copy(prior.begin(), prior.end(), priorBuffer.begin() + kPadding);
  Veldaro::UnfilterPngRow(std::uint8_t(type), rowBuffer.data() + kPadding, priorBuffer.data() + kPadding,
                          std::uint32_t(row.size()), distance);
  for (std::size_t i = 0; i < kPadding; ++i) EXPECT_EQ(rowBuffer[i], 0) << "before the row";
  for (std::size_t i = kPadding + row.size(); i < rowBuffer.size(); ++i)
    EXPECT_EQ(rowBuffer[i], kGuard) << "after the row";
  return Bytes(rowBuffer.begin() + kPadding, rowBuffer.begin() + std::ptrdiff_t(kPadding + row.size()));
}

TEST(PngVectorPaths, FiltersOfEveryPixelSizeAndLengthMatchTheScalarPath) {
  std::mt19937 rng(2024);
  int cases = 0;
  for (std::uint32_t distance : {1u, 2u, 3u, 4u, 6u, 8u})
    for (int type = 0; type <= 4; ++type)
      for (std::uint32_t pixels : PixelCounts()) {
        const Bytes row = RandomRow(std::size_t(pixels) * distance, rng);
        const Bytes prior = RandomRow(row.size(), rng);
        const Bytes expected = TarnwellTest::ReferenceUnfilter(type, row, prior, distance);
        const Bytes scalar = Unfilter(SimdLevel::Scalar, type, row, prior, distance);
        ASSERT_EQ(scalar, expected) << "scalar, distance " << distance << " type " << type << " pixels " << pixels;
        for (SimdLevel level : Levels()) {
          ASSERT_EQ(Unfilter(level, type, row, prior, distance), scalar)
              << "level " << int(level) << " distance " << distance << " type " << type << " pixels " << pixels;
          ++cases;
        }
      }
  EXPECT_GE(cases, 6 * 5 * 73);
}

TEST(PngVectorPaths, ConvertersOfEveryFormatAndLengthMatchTheScalarPath) {
  struct Format {
    Veldaro::PngPixelFormat format;
    std::uint32_t bitsPerPixel;
  };
  const Format formats[] = {
      {Veldaro::PngPixelFormat::Indexed1, 1},    {Veldaro::PngPixelFormat::Indexed2, 2},
      {Veldaro::PngPixelFormat::Indexed4, 4},    {Veldaro::PngPixelFormat::Indexed8, 8},
      {Veldaro::PngPixelFormat::Gray8, 8},       {Veldaro::PngPixelFormat::Gray16, 16},
      {Veldaro::PngPixelFormat::Rgb8, 24},       {Veldaro::PngPixelFormat::Rgb16, 48},
      {Veldaro::PngPixelFormat::GrayAlpha8, 16}, {Veldaro::PngPixelFormat::GrayAlpha16, 32},
      {Veldaro::PngPixelFormat::Rgba8, 32},      {Veldaro::PngPixelFormat::Rgba16, 64},
  };
  std::mt19937 rng(77);
  std::uint32_t table[256];
  for (auto& entry : table) entry = std::uint32_t(rng());
  const std::uint32_t kPixelGuard = 0x5A5A5A5Au;
  for (const Format& f : formats)
    for (std::uint32_t count : PixelCounts()) {
      // The samples exactly as long as the row: a vector path that reads past them shows
      // under the address sanitizer.
      const Bytes samples = RandomRow((std::size_t(count) * f.bitsPerPixel + 7) / 8, rng);
      std::vector<std::uint32_t> scalar(count + 1, kPixelGuard);
      {
        CpuFeatures::SimdLevelCap cap{SimdLevel::Scalar};
        Veldaro::ConvertPngRow(f.format, samples.data(), count, scalar.data(), table);
      }
      // The formats of samples alone against their definition: the high byte of 16-bit
      // samples, gray on blue, green and red, opaque without alpha.
      const std::uint32_t bytes = f.bitsPerPixel / 8;
      for (std::uint32_t i = 0; i < count && f.bitsPerPixel >= 8 && f.format != Veldaro::PngPixelFormat::Indexed8;
           ++i) {
        const std::uint8_t* x = samples.data() + std::size_t(i) * bytes;
        const std::uint32_t step = bytes == 6 || bytes == 8 || f.format == Veldaro::PngPixelFormat::Gray16 ||
                                           f.format == Veldaro::PngPixelFormat::GrayAlpha16
                                       ? 2
                                       : 1;
        const bool gray = bytes / step <= 2;
        const bool alpha = bytes / step == 2 || bytes / step == 4;
        const std::uint32_t r = x[0], g = gray ? x[0] : x[step], b = gray ? x[0] : x[2 * step];
        const std::uint32_t a = alpha ? x[bytes - step] : 0xFF;
        ASSERT_EQ(scalar[i], a << 24 | r << 16 | g << 8 | b) << "format " << int(f.format) << " pixel " << i;
      }
      for (SimdLevel level : Levels()) {
        CpuFeatures::SimdLevelCap cap{level};
        std::vector<std::uint32_t> pixels(count + 1, kPixelGuard);
        Veldaro::ConvertPngRow(f.format, samples.data(), count, pixels.data(), table);
        ASSERT_EQ(pixels, scalar) << "format " << int(f.format) << " level " << int(level) << " count " << count;
      }
    }
}

}  // namespace
