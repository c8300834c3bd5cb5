// Upsampling of the components' block grids by replication and the colour conversions into
// 32-bit pixels (grey, JFIF YCbCr, inverted CMYK). Each pixel reads the sample that
// replication gives it straight from the block grid (see JpegDecoderComponent.h).

#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/JpegDecoderComponent.h"

namespace VeldaroPrivate {

using Veldaro::BitmapImage;

namespace {

// The YCbCr to RGB tables of the JFIF conversion, indexed by the Cb or Cr sample.
struct YCbCrTables {
  std::int32_t crToRed[256];
  std::int32_t cbToBlue[256];
  std::int32_t cbToGreen[256];  // 16 fraction bits
  std::int32_t crToGreen[256];  // 16 fraction bits

  YCbCrTables() {
    for (std::int32_t i = 0; i < 256; ++i) {
      double d = double(i - 128);
      crToRed[i] = std::int32_t(std::lround(1.402 * d));
      cbToBlue[i] = std::int32_t(std::lround(1.772 * d));
      cbToGreen[i] = std::int32_t(std::lround(0.34414 * 65536.0 * d));
      crToGreen[i] = std::int32_t(std::lround(0.71414 * 65536.0 * d));
    }
  }
};

const YCbCrTables& Tables() {
  static const YCbCrTables tables;
  return tables;
}

// The same conversion as integer arithmetic without tables, so that whole rows can be converted
// with vector instructions. The constants reproduce every entry of the tables (red and blue
// offsets of each sample, and the rounded green offset of each Cb, Cr pair); that is checked
// once against the tables, and the tables are used if it ever failed.
constexpr std::int32_t RedFactor = 5743;         // 1.402 << 12
constexpr std::int32_t BlueFactor = 58065;       // 1.772 << 15
constexpr std::int32_t GreenCbFactor = 2886856;  // 0.34414 << 23
constexpr std::int32_t GreenCrFactor = 5990641;  // 0.71414 << 23
constexpr std::int32_t GreenRounding = 4194306;

inline std::int32_t RedOffset(std::int32_t cr) { return (RedFactor * (cr - 128) + 2048) >> 12; }
inline std::int32_t BlueOffset(std::int32_t cb) { return (BlueFactor * (cb - 128) + 16384) >> 15; }
inline std::int32_t GreenOffset(std::int32_t cb, std::int32_t cr) {
  return (GreenCbFactor * (cb - 128) + GreenCrFactor * (cr - 128) + GreenRounding) >> 23;
}

bool FormulasMatchTables() {
  const YCbCrTables& t = Tables();
  for (std::int32_t cb = 0; cb < 256; ++cb) {
    if (RedOffset(cb) != t.crToRed[cb] || BlueOffset(cb) != t.cbToBlue[cb]) return false;
    for (std::int32_t cr = 0; cr < 256; ++cr) {
      if (GreenOffset(cb, cr) != (t.cbToGreen[cb] + t.crToGreen[cr] + 32768) >> 16) return false;
    }
  }
  return true;
}

inline std::int32_t Clamp255(std::int32_t value) { return value < 0 ? 0 : value > 255 ? 255 : value; }

// One row of pixels from full-resolution Y, Cb and Cr samples. The loop is written for the
// compiler's vectorizer; processors with AVX2 get a version of their own.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx2", "default")))
#endif
void ConvertYCbCrRow(const std::uint8_t* __restrict luma, const std::uint8_t* __restrict cb,
                     const std::uint8_t* __restrict cr, std::uint32_t* __restrict out, std::uint32_t width) {
  for (std::uint32_t x = 0; x < width; ++x) {
    std::int32_t l = luma[x];
    std::int32_t red = Clamp255(l + RedOffset(cr[x]));
    std::int32_t green = Clamp255(l - GreenOffset(cb[x], cr[x]));
    std::int32_t blue = Clamp255(l + BlueOffset(cb[x]));
    out[x] = 0xFF000000u | std::uint32_t(red) << 16 | std::uint32_t(green) << 8 | std::uint32_t(blue);
  }
}

// The same through the tables.
void ConvertYCbCrRowByTables(const std::uint8_t* luma, const std::uint8_t* cb, const std::uint8_t* cr,
                             std::uint32_t* out, std::uint32_t width) {
  const YCbCrTables& t = Tables();
  for (std::uint32_t x = 0; x < width; ++x) {
    std::int32_t l = luma[x];
    std::int32_t green = (t.cbToGreen[cb[x]] + t.crToGreen[cr[x]] + 32768) >> 16;
    out[x] = 0xFF000000u | std::uint32_t(Clamp255(l + t.crToRed[cr[x]])) << 16 |
             std::uint32_t(Clamp255(l - green)) << 8 | std::uint32_t(Clamp255(l + t.cbToBlue[cb[x]]));
  }
}

// The samples of one plane row for width pixels, replicated by the horizontal ratio.
const std::uint8_t* ExpandRow(const std::uint8_t* samples, std::uint32_t ratio, const std::uint32_t* columns,
                              std::uint32_t width, std::uint8_t* buffer) {
  if (ratio == 1) return samples;
  if (ratio == 2) {
    std::uint32_t needed = (width + 1) / 2;
    std::uint32_t c = 0;
#if defined(__SSE2__)
    for (; c + 16 <= needed; c += 16) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + c));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + 2 * c), _mm_unpacklo_epi8(v, v));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + 2 * c + 16), _mm_unpackhi_epi8(v, v));
    }
#endif
    for (; c < needed; ++c) {
      buffer[2 * c] = samples[c];
      buffer[2 * c + 1] = samples[c];
    }
  } else {
    for (std::uint32_t x = 0; x < width; ++x) buffer[x] = samples[columns[x]];
  }
  return buffer;
}

inline std::uint32_t Clamp(std::int32_t value) { return std::uint32_t(value < 0 ? 0 : value > 255 ? 255 : value); }

// x / ratio for every pixel column: the sample column of each pixel.
std::vector<std::uint32_t> SampleColumns(std::uint32_t width, std::uint32_t ratio) {
  std::vector<std::uint32_t> columns(width);
  for (std::uint32_t x = 0; x < width; ++x) columns[x] = x / ratio;
  return columns;
}

inline std::uint32_t Pixel(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return 0xFF000000u | red << 16 | green << 8 | blue;
}

}  // namespace

bool JpegDecoderComponent::Covers(std::uint32_t width, std::uint32_t height) const {
  // An image without pixels has nothing to convert.
  if (Plane() == nullptr || horizontalRatio == 0 || verticalRatio == 0 || width == 0 || height == 0) return false;
  return (width - 1) / horizontalRatio < DataUnitStride() &&
         (height - 1) / verticalRatio < std::size_t(dataUnitRows) * 8;
}

void JpegDecoderComponent::Upsample() {
  // No scan has included the component, or its buffers are released: nothing to convert.
  if (dataUnits == nullptr) return;
  upsampled = true;
}

void JpegDecoderComponent::GrayscaleConvert(JpegDecoderComponent& component, BitmapImage& image) {
  std::uint32_t width = image.Width();
  std::uint32_t height = image.Height();
  if (!component.Covers(width, height)) return;
  std::vector<std::uint32_t> columns = SampleColumns(width, component.horizontalRatio);
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint8_t* in = component.PlaneRow(y);
    std::uint32_t* out = image.Row(y);
    if (component.horizontalRatio == 1) {
      for (std::uint32_t x = 0; x < width; ++x) out[x] = 0xFF000000u | std::uint32_t(in[x]) * 0x010101u;
    } else {
      for (std::uint32_t x = 0; x < width; ++x) out[x] = 0xFF000000u | std::uint32_t(in[columns[x]]) * 0x010101u;
    }
  }
}

void JpegDecoderComponent::RGBConvert(JpegDecoderComponent& yComponent, JpegDecoderComponent& cbComponent,
                                      JpegDecoderComponent& crComponent, BitmapImage& image) {
  std::uint32_t width = image.Width();
  std::uint32_t height = image.Height();
  JpegDecoderComponent* components[3] = {&yComponent, &cbComponent, &crComponent};
  std::vector<std::uint32_t> columns[3];
  for (std::uint32_t i = 0; i < 3; ++i) {
    if (!components[i]->Covers(width, height)) return;
    columns[i] = SampleColumns(width, components[i]->horizontalRatio);
  }
  static const bool formulas = FormulasMatchTables();
  // Each row: the three components' samples replicated to the full width, then converted.
  std::vector<std::uint8_t> expanded(std::size_t(width + 1) * 3);
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint8_t* rows[3];
    for (std::uint32_t i = 0; i < 3; ++i) {
      rows[i] = ExpandRow(components[i]->PlaneRow(y), components[i]->horizontalRatio, columns[i].data(), width,
                          expanded.data() + std::size_t(i) * (width + 1));
    }
    if (formulas) {
      ConvertYCbCrRow(rows[0], rows[1], rows[2], image.Row(y), width);
    } else {
      ConvertYCbCrRowByTables(rows[0], rows[1], rows[2], image.Row(y), width);
    }
  }
}

void JpegDecoderComponent::CMYKConvert(JpegDecoderComponent& c1, JpegDecoderComponent& c2, JpegDecoderComponent& c3,
                                       JpegDecoderComponent& c4, BitmapImage& image) {
  std::uint32_t width = image.Width();
  std::uint32_t height = image.Height();
  JpegDecoderComponent* components[4] = {&c1, &c2, &c3, &c4};
  std::vector<std::uint32_t> columns[4];
  for (std::uint32_t i = 0; i < 4; ++i) {
    if (!components[i]->Covers(width, height)) return;
    columns[i] = SampleColumns(width, components[i]->horizontalRatio);
  }
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint8_t* r1 = c1.PlaneRow(y);
    const std::uint8_t* r2 = c2.PlaneRow(y);
    const std::uint8_t* r3 = c3.PlaneRow(y);
    const std::uint8_t* r4 = c4.PlaneRow(y);
    std::uint32_t* out = image.Row(y);
    for (std::uint32_t x = 0; x < width; ++x) {
      std::int32_t black = 255 - std::int32_t(r4[columns[3][x]]);
      out[x] = Pixel(Clamp(std::int32_t(r1[columns[0][x]]) - black), Clamp(std::int32_t(r2[columns[1][x]]) - black),
                     Clamp(std::int32_t(r3[columns[2][x]]) - black));
    }
  }
}

}  // namespace VeldaroPrivate
