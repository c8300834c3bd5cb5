#include "imaging/JpegDecoderQuantizationTable.h"

#include <cmath>

#include "imaging/JpegDecoder.h"
#include "imaging/JpegZigzag.h"

namespace VeldaroPrivate {

using Veldaro::JpegDecoder;

namespace {

// The scale factor of frequency k of the scaled inverse DCT: 1 / (sqrt(2) cos(k pi / 16)),
// and exactly 1 for k = 0 and k = 4.
double ScaleFactor(std::uint32_t k) {
  if (k == 0 || k == 4) return 1.0;
  const double pi = 3.14159265358979323846;
  return 1.0 / (std::sqrt(2.0) * std::cos(double(k) * pi / 16.0));
}

}  // namespace

void JpegDecoderQuantizationTable::ReadTable(Veldaro::JpegInputStream& stream, std::uint32_t precision) {
  if (precision == 1) throw JpegDecoder::JpegBadStream("Only 8-bit Data is Supported");
  if (precision != 0) throw JpegDecoder::JpegBadStream("Invalid Quantization Table Precision");
  for (std::uint16_t& value : values) {
    value = stream.GetByte();
    if (value == 0) throw JpegDecoder::JpegBadStream("Zero value in quantization table");
  }
  BuildScaledTables();
  defined = true;
}

void JpegDecoderQuantizationTable::BuildScaledTables() {
  for (std::uint32_t z = 0; z < 64; ++z) {
    std::uint32_t natural = JpegNaturalOrder[z];
    std::uint32_t u = natural / 8;
    std::uint32_t v = natural % 8;
    double scale = ScaleFactor(u) * ScaleFactor(v) / 8.0;
    integerScaling[natural] = std::int32_t(4096.0 * scale * double(values[z]));
    std::int32_t limit = ((1 << 19) - 1) / integerScaling[natural];
    coefficientLimits[natural] = std::int16_t(limit > 32767 ? 32767 : limit);
    std::uint32_t transposed = JpegTransposedOrder[z];
    transposedScaling[transposed] = integerScaling[natural];
    transposedLimits[transposed] = coefficientLimits[natural];
  }
}

}  // namespace VeldaroPrivate
