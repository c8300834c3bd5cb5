#include "imaging/JpegDecoderComponent.h"

#include <cstring>

#include "imaging/JpegDecoder.h"
#include "imaging/JpegDecoderDataUnit.h"
#include "imaging/JpegDecoderQuantizationTable.h"
#include "imaging/JpegHuffmanDecoder.h"
#include "imaging/JpegZigzag.h"

namespace VeldaroPrivate {

using Veldaro::JpegDecoder;
using Veldaro::JpegInputStream;

namespace {

// The value of the s received bits v (T.81 Figure F.12): values below 2^(s-1) are negative.
inline std::int32_t Extend(std::uint32_t v, std::uint32_t s) {
  if (s == 0) return 0;
  return v < (1u << (s - 1)) ? std::int32_t(v) - std::int32_t((1u << s) - 1) : std::int32_t(v);
}

// Adds in 32 bits with wrap-around (the predictor of a corrupt stream may run far).
inline std::int32_t WrappingAdd(std::int32_t a, std::int32_t b) {
  return std::int32_t(std::uint32_t(a) + std::uint32_t(b));
}

// The low 16 bits of value << shift, as a coefficient.
inline std::int16_t ShiftedCoefficient(std::int32_t value, std::uint32_t shift) {
  return std::int16_t(std::uint16_t(std::uint32_t(value) << shift));
}

// Refines a nonzero coefficient with the next bit: 2^al away from zero when the bit is 1.
inline void Refine(JpegInputStream& stream, std::int16_t& coefficient, std::uint32_t al) {
  if (stream.NextBit() != 0) {
    std::uint16_t step = std::uint16_t(1u << al);
    coefficient = std::int16_t(coefficient > 0 ? std::uint16_t(coefficient) + step : std::uint16_t(coefficient) - step);
  }
}

}  // namespace

void JpegDecoderComponent::SetHorizontalFrequency(std::uint32_t value) {
  if (value < 1 || value > 4) throw JpegDecoder::JpegError("Sampling Frequency Outside the Range 1-4");
  horizontalFrequency = value;
}

void JpegDecoderComponent::SetVerticalFrequency(std::uint32_t value) {
  if (value < 1 || value > 4) throw JpegDecoder::JpegError("Vertical Sampling Frequency Outside the Range 1-4");
  verticalFrequency = value;
}

void JpegDecoderComponent::CheckQuantizationTable() const {
  if (quantizationTable == nullptr) throw JpegDecoder::JpegError("INTERNAL ERROR - Quantization Table Not Assigned");
  if (!quantizationTable->Defined()) throw JpegDecoder::JpegBadStream("Quantization Table Not Defined");
}

void JpegDecoderComponent::CheckDcTable() const {
  if (dcTable == nullptr || !dcTable->InUse()) throw JpegDecoder::JpegError("DC Table Not Defined");
}

void JpegDecoderComponent::CheckAcTable() const {
  if (acTable == nullptr || !acTable->InUse()) throw JpegDecoder::JpegBadStream("AC Table Not Defined");
}

void JpegDecoderComponent::AllocateBuffers(const Veldaro::JpegDecoder& decoder, bool wholePlane) {
  if (dataUnits == nullptr) {
    imageHeight = decoder.FrameHeight();
    imageWidth = decoder.FrameWidth();
    verticalRatio = decoder.MaxVerticalFrequency() / verticalFrequency;
    horizontalRatio = decoder.MaxHorizontalFrequency() / horizontalFrequency;
    std::uint64_t rowsAlone = (std::uint64_t(imageHeight) + 8 * verticalRatio - 1) / (8 * verticalRatio);
    std::uint64_t colsAlone = (std::uint64_t(imageWidth) + 8 * horizontalRatio - 1) / (8 * horizontalRatio);
    noninterleavedRows = std::uint32_t(rowsAlone);
    noninterleavedCols = std::uint32_t(colsAlone);
    dataUnitRows = decoder.McuRowCount() * verticalFrequency;
    dataUnitCols = decoder.McuColumnCount() * horizontalFrequency;
    // The frame header has checked the whole grid against the decoder limits; a strip is a
    // part of it.
    heldBlockRows = wholePlane ? dataUnitRows : verticalFrequency;
    firstBlockRow = 0;
    std::size_t samples = std::size_t(heldBlockRows) * dataUnitCols * 64;
    // Blocks that no scan reaches (after an error) show as the level 128, as the blocks of a
    // progressive image whose coefficients are all still 0.
    dataUnits = std::make_unique_for_overwrite<std::uint8_t[]>(samples == 0 ? 1 : samples);
    std::memset(dataUnits.get(), 128, samples);
  }
  if (decoder.IsProgressive() && coefficients == nullptr) {
    std::size_t count = std::size_t(dataUnitRows) * dataUnitCols * 64;
    coefficients = std::make_unique<std::int16_t[]>(count == 0 ? 1 : count);  // all 0
  }
}

void JpegDecoderComponent::FreeComponentBuffers() {
  dataUnits.reset();
  coefficients.reset();
  heldBlockRows = 0;
  firstBlockRow = 0;
}

void JpegDecoderComponent::StartStrip(std::uint32_t mcuRow) {
  if (dataUnits == nullptr) return;
  firstBlockRow = mcuRow * verticalFrequency;
  std::memset(dataUnits.get(), 128, std::size_t(heldBlockRows) * dataUnitCols * 64);
}

void JpegDecoderComponent::Reset() {
  FreeComponentBuffers();
  horizontalFrequency = 0;
  verticalFrequency = 0;
  quantizationTable = nullptr;
  lastDcValue = 0;
  eobRun = 0;
}

std::int32_t JpegDecoderComponent::DecodeDcDifference(JpegInputStream& stream) {
  std::uint32_t s = dcTable->Decode(stream);
  // A difference has at most 16 bits; larger sizes come only from a corrupt table.
  if (s > 16) throw JpegDecoder::JpegBadStream("Invalid DC Difference Size");
  return Extend(stream.Receive(s), s);
}

void JpegDecoderComponent::DecodeSequential(JpegInputStream& stream, std::uint32_t row, std::uint32_t col) {
  alignas(16) std::int16_t block[64] = {};
  lastDcValue = WrappingAdd(lastDcValue, DecodeDcDifference(stream));
  block[0] = std::int16_t(lastDcValue);
  const JpegHuffmanDecoder& ac = *acTable;
  std::uint32_t k = 1;
  while (k < 64) {
    // Most codes, and often their extra bits too, lie in the next 9 bits: one look-up decodes
    // them when 32 bits are gathered (enough for any code with its extra bits).
    if (stream.BitCount() < 32) stream.FillBits();
    std::uint32_t rs;
    if (stream.BitCount() >= 32) {
      std::uint32_t nine = stream.PeekBits(JpegHuffmanDecoder::LookaheadBits);
      std::int32_t fast = ac.FastCoefficient(nine);
      if (fast != 0) {
        stream.SkipBits(std::uint32_t(fast) & 0xFF);
        k += (std::uint32_t(fast) >> 8) & 0xFF;
        if (k > 63) throw JpegDecoder::JpegBadStream("Coefficient Index out of Range");
        block[JpegNaturalOrder[k]] = std::int16_t(fast >> 16);
        ++k;
        continue;
      }
      std::uint32_t entry = ac.Lookup(nine);
      if (entry != 0) {
        stream.SkipBits(entry >> 8);
        rs = entry & 0xFF;
      } else {
        rs = acTable->Decode(stream);
      }
    } else {
      rs = acTable->Decode(stream);
    }
    std::uint32_t r = rs >> 4;
    std::uint32_t s = rs & 15;
    if (s == 0) {
      if (r != 15) break;  // end of block
      k += 16;             // sixteen zeros
      continue;
    }
    k += r;
    if (k > 63) throw JpegDecoder::JpegBadStream("Coefficient Index out of Range");
    block[JpegNaturalOrder[k]] = std::int16_t(Extend(stream.Receive(s), s));
    ++k;
  }
  JpegDecoderDataUnit::InverseDCT(block, *quantizationTable, BlockSamples(row, col), DataUnitStride());
}

void JpegDecoderComponent::DecodeDcFirst(JpegInputStream& stream, std::uint32_t row, std::uint32_t col,
                                         std::uint32_t al) {
  lastDcValue = WrappingAdd(lastDcValue, DecodeDcDifference(stream));
  BlockCoefficients(row, col)[0] = ShiftedCoefficient(lastDcValue, al);
}

void JpegDecoderComponent::DecodeDcRefine(JpegInputStream& stream, std::uint32_t row, std::uint32_t col,
                                          std::uint32_t al) {
  if (stream.NextBit() != 0) {
    std::int16_t& dc = BlockCoefficients(row, col)[0];
    dc = std::int16_t(std::uint16_t(dc) | std::uint16_t(1u << al));
  }
}

void JpegDecoderComponent::DecodeAcFirst(JpegInputStream& stream, std::uint32_t row, std::uint32_t col,
                                         std::uint32_t ss, std::uint32_t se, std::uint32_t al) {
  if (eobRun > 0) {
    --eobRun;
    return;
  }
  std::uint32_t k = ss;
  if (k > se) return;
  std::int16_t* block = BlockCoefficients(row, col);
  for (;;) {
    std::uint32_t rs = acTable->Decode(stream);
    std::uint32_t r = rs >> 4;
    std::uint32_t s = rs & 15;
    if (s != 0) {
      k += r;
      if (k >= 64) throw JpegDecoder::JpegBadStream("Data out of range");
      block[JpegNaturalOrder[k]] = ShiftedCoefficient(Extend(stream.Receive(s), s), al);
      ++k;
    } else if (r == 15) {
      k += 16;
    } else {
      // End-of-band run; this block is the first of it.
      if (r > 0) eobRun = (1u << r) + stream.Receive(r) - 1;
      return;
    }
    if (k > se) return;
  }
}

void JpegDecoderComponent::DecodeAcRefine(JpegInputStream& stream, std::uint32_t row, std::uint32_t col,
                                          std::uint32_t ss, std::uint32_t se, std::uint32_t al) {
  std::int16_t* block = BlockCoefficients(row, col);
  std::uint32_t k = ss;
  while (k <= se) {
    if (eobRun > 0) {
      for (; k <= se; ++k) {
        std::int16_t& coefficient = block[JpegNaturalOrder[k]];
        if (coefficient != 0) Refine(stream, coefficient, al);
      }
      --eobRun;
      return;
    }
    std::uint32_t rs = acTable->Decode(stream);
    std::uint32_t r = rs >> 4;
    std::uint32_t s = rs & 15;
    if (s == 0) {
      if (r == 15) {
        // Sixteen coefficients without history, refining the others on the way.
        std::uint32_t zeros = 0;
        while (k <= se && zeros < 16) {
          std::int16_t& coefficient = block[JpegNaturalOrder[k]];
          if (coefficient == 0) {
            ++zeros;
          } else {
            Refine(stream, coefficient, al);
          }
          ++k;
        }
      } else if (r == 0) {
        eobRun = 1;
      } else {
        eobRun = (1u << r) + stream.Receive(r);
      }
      continue;
    }
    if (s != 1) throw JpegDecoder::JpegBadStream("Invalid value in input stream");
    std::int32_t sign = stream.NextBit();
    std::uint32_t zeros = 0;
    while (k < 64 && (zeros < r || block[JpegNaturalOrder[k]] != 0)) {
      if (k > se) throw JpegDecoder::JpegBadStream("Error in progressive scan");
      std::int16_t& coefficient = block[JpegNaturalOrder[k]];
      if (coefficient == 0) {
        ++zeros;
      } else {
        Refine(stream, coefficient, al);
      }
      ++k;
    }
    if (k > se) throw JpegDecoder::JpegBadStream("Error in progressive scan");
    std::uint16_t step = std::uint16_t(1u << al);
    block[JpegNaturalOrder[k]] = std::int16_t(sign != 0 ? step : std::uint16_t(-step));
    ++k;
  }
}

void JpegDecoderComponent::ProgressiveInverseDct(std::uint32_t mcuRow) {
  if (dataUnits == nullptr || coefficients == nullptr) return;
  firstBlockRow = mcuRow * verticalFrequency;
  std::size_t stride = DataUnitStride();
  for (std::uint32_t row = firstBlockRow; row < firstBlockRow + heldBlockRows && row < dataUnitRows; ++row) {
    for (std::uint32_t col = 0; col < dataUnitCols; ++col) {
      JpegDecoderDataUnit::InverseDCT(BlockCoefficients(row, col), *quantizationTable, BlockSamples(row, col), stride);
    }
  }
}

}  // namespace VeldaroPrivate
