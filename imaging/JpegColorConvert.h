#pragma once
// JpegColorConvert: the row kernels of the JPEG colour conversions and of the upsampling by
// replication, each with a scalar version and vector versions (SSE2, AVX2) chosen at run time
// through CpuFeatures. Every version gives the same pixels bit for bit.
//
// Pixels are 32-bit words alpha << 24 | red << 16 | green << 8 | blue with alpha 255. The
// kernels read exactly `width` samples of each input row and write exactly `width` pixels.

#include <cstdint>

namespace VeldaroPrivate::JpegColorConvert {

// Grey samples into grey pixels.
void GrayRow(const std::uint8_t* gray, std::uint32_t* out, std::uint32_t width);
// JFIF YCbCr samples of the full width into RGB pixels: red = Y + 1.402 (Cr - 128),
// green = Y - 0.34414 (Cb - 128) - 0.71414 (Cr - 128), blue = Y + 1.772 (Cb - 128), each
// offset rounded as the conversion tables round it, the sums clamped to 0..255.
void YCbCrRow(const std::uint8_t* luma, const std::uint8_t* cb, const std::uint8_t* cr, std::uint32_t* out,
              std::uint32_t width);
// The same conversion in two steps, for chroma at half the width: the red, green and blue
// offsets of count Cb, Cr pairs, then the pixels of a full-width luma row whose pixel x takes
// the offsets of pair x / 2.
void YCbCrOffsets(const std::uint8_t* cb, const std::uint8_t* cr, std::int16_t* red, std::int16_t* green,
                  std::int16_t* blue, std::uint32_t count);
void YCbCrHalfWidthRow(const std::uint8_t* luma, const std::int16_t* red, const std::int16_t* green,
                       const std::int16_t* blue, std::uint32_t* out, std::uint32_t width);
// Inverted CMYK samples: each colour is its sample less the inverse of the fourth (black),
// clamped to 0..255.
void CmykRow(const std::uint8_t* c1, const std::uint8_t* c2, const std::uint8_t* c3, const std::uint8_t* c4,
             std::uint32_t* out, std::uint32_t width);
// The samples of `width` pixels from a row whose samples each cover `ratio` pixels (ratio 1
// to 4): samples[x / ratio] for every x. Returns samples itself for ratio 1, otherwise buffer
// (which must hold width bytes).
const std::uint8_t* ReplicateRow(const std::uint8_t* samples, std::uint32_t ratio, std::uint32_t width,
                                 std::uint8_t* buffer);

}  // namespace VeldaroPrivate::JpegColorConvert
