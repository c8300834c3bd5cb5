#include "imaging/JpegDecoderComponent.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/JpegBitReader.h"
#include "imaging/JpegCoefficientMask.h"
#include "imaging/JpegDecoder.h"
#include "imaging/JpegDecoderDataUnit.h"
#include "imaging/JpegDecoderQuantizationTable.h"
#include "imaging/JpegHuffmanDecoder.h"
#include "imaging/JpegZigzag.h"

namespace VeldaroPrivate {

using Veldaro::JpegBitReader;
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

// The positions from first to before last (first <= last <= 64).
inline std::uint64_t Positions(std::uint32_t first, std::uint32_t last) {
  std::uint64_t below = last >= 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << last) - 1;
  return below & ~((std::uint64_t(1) << first) - 1);
}

// The n-th (from 1) lowest position of the mask, or 64 when it has fewer.
inline std::uint32_t NthPosition(std::uint64_t mask, std::uint32_t n) {
  for (std::uint32_t i = 1; i < n && mask != 0; ++i) mask &= mask - 1;
  return mask == 0 ? 64 : std::uint32_t(__builtin_ctzll(mask));
}

// Refines the coefficients at the positions of the mask (all nonzero), one bit each, from the
// lowest position on.
[[gnu::always_inline]] inline void RefinePositions(JpegBitReader& bits, std::int16_t* block, std::uint64_t positions,
                                                   std::uint16_t step) {
  while (positions != 0) {
    std::int16_t& coefficient = block[JpegNaturalOrder[__builtin_ctzll(positions)]];
    std::uint16_t add = std::uint16_t(-std::uint16_t(bits.Bit()) & step);
    coefficient = std::int16_t(coefficient > 0 ? std::uint16_t(coefficient) + add : std::uint16_t(coefficient) - add);
    positions &= positions - 1;
  }
}

// The next AC code. With 32 bits gathered any code and its extra bits are there, and most
// codes, often with their extra bits, take one look-up: when the entry holds the coefficient's
// value it is returned with nothing used yet. Otherwise the code is used, its symbol goes to
// rs and the result is 0.
[[gnu::always_inline]] inline std::int32_t NextAcCode(JpegBitReader& bits, const JpegHuffmanDecoder& ac,
                                                      std::uint32_t& rs) {
  if (bits.Count() < 32) bits.Fill();
  if (bits.Count() >= 32) {
    std::int32_t entry = ac.AcEntry(bits.Peek(JpegHuffmanDecoder::LookaheadBits));
    if (JpegHuffmanDecoder::EntryHasValue(entry)) return entry;
    rs = ac.CodeSymbol(entry, bits);
    return 0;
  }
  rs = ac.Decode(bits);
  return 0;
}

// Sets the 64 coefficients of a block to 0 (plain stores; a string instruction starts slowly).
inline void ClearBlock(std::int16_t* block) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (int i = 0; i < 64; i += 8) _mm_store_si128(reinterpret_cast<__m128i*>(block + i), zero);
#else
  for (int i = 0; i < 64; ++i) block[i] = 0;
#endif
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
  transposedTransform = JpegDecoderDataUnit::TransposedOrderTransform();
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

[[gnu::always_inline]] inline std::int32_t JpegDecoderComponent::DecodeDcDifference(JpegBitReader& bits) {
  if (bits.Count() < 32) bits.Fill();
  if (bits.Count() >= 32) {
    // A code and its extra bits fit in the 32 gathered bits.
    std::int32_t entry = dcTable->DcEntry(bits.Peek(JpegHuffmanDecoder::LookaheadBits));
    if (JpegHuffmanDecoder::EntryHasValue(entry)) {
      bits.Skip(JpegHuffmanDecoder::EntryLength(entry));
      return JpegHuffmanDecoder::EntryValue(entry);
    }
    std::uint32_t s = dcTable->CodeSymbol(entry, bits);
    // A difference has at most 16 bits; larger sizes come only from a corrupt table.
    if (s > 16) {
      bits.Release();
      throw JpegDecoder::JpegBadStream("Invalid DC Difference Size");
    }
    return s == 0 ? 0 : Extend(bits.Take(s), s);
  }
  std::uint32_t s = dcTable->Decode(bits);
  if (s > 16) {
    bits.Release();
    throw JpegDecoder::JpegBadStream("Invalid DC Difference Size");
  }
  return Extend(bits.Receive(s), s);
}

void JpegDecoderComponent::DecodeSequential(JpegInputStream& stream, std::uint32_t row, std::uint32_t col) {
  // The coefficients go to their transposed positions, the order the vector inverse DCT
  // starts from.
  alignas(32) std::int16_t block[64];
  ClearBlock(block);
  {
    JpegBitReader bits(stream);
    lastDcValue = WrappingAdd(lastDcValue, DecodeDcDifference(bits));
    block[0] = std::int16_t(lastDcValue);
    const JpegHuffmanDecoder& ac = *acTable;
    std::uint32_t k = 1;
    while (k < 64) {
      std::uint32_t rs;
      std::int32_t entry = NextAcCode(bits, ac, rs);
      if (entry != 0) {
        bits.Skip(JpegHuffmanDecoder::EntryLength(entry));
        k += JpegHuffmanDecoder::EntrySymbol(entry) >> 4;
        if (k > 63) {
          bits.Release();
          throw JpegDecoder::JpegBadStream("Coefficient Index out of Range");
        }
        block[JpegTransposedOrder[k]] = std::int16_t(JpegHuffmanDecoder::EntryValue(entry));
        ++k;
        continue;
      }
      std::uint32_t r = rs >> 4;
      std::uint32_t s = rs & 15;
      if (s == 0) {
        if (r != 15) break;  // end of block
        k += 16;             // sixteen zeros
        continue;
      }
      k += r;
      if (k > 63) {
        bits.Release();
        throw JpegDecoder::JpegBadStream("Coefficient Index out of Range");
      }
      block[JpegTransposedOrder[k]] = std::int16_t(Extend(bits.Receive(s), s));
      ++k;
    }
    bits.Release();
  }
  transposedTransform(block, *quantizationTable, BlockSamples(row, col), DataUnitStride());
}

void JpegDecoderComponent::DecodeDcFirst(JpegInputStream& stream, std::uint32_t row, std::uint32_t col,
                                         std::uint32_t al) {
  JpegBitReader bits(stream);
  lastDcValue = WrappingAdd(lastDcValue, DecodeDcDifference(bits));
  bits.Release();
  BlockCoefficients(row, col)[0] = ShiftedCoefficient(lastDcValue, al);
}

void JpegDecoderComponent::DecodeDcRefine(JpegInputStream& stream, std::uint32_t row, std::uint32_t col,
                                          std::uint32_t al) {
  JpegBitReader bits(stream);
  if (bits.Bit() != 0) {
    std::int16_t& dc = BlockCoefficients(row, col)[0];
    dc = std::int16_t(std::uint16_t(dc) | std::uint16_t(1u << al));
  }
  bits.Release();
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
  JpegBitReader bits(stream);
  const JpegHuffmanDecoder& ac = *acTable;
  for (;;) {
    std::uint32_t rs;
    std::int32_t entry = NextAcCode(bits, ac, rs);
    if (entry != 0) {
      bits.Skip(JpegHuffmanDecoder::EntryLength(entry));
      k += JpegHuffmanDecoder::EntrySymbol(entry) >> 4;
      if (k >= 64) {
        bits.Release();
        throw JpegDecoder::JpegBadStream("Data out of range");
      }
      block[JpegNaturalOrder[k]] = ShiftedCoefficient(JpegHuffmanDecoder::EntryValue(entry), al);
      ++k;
      if (k > se) {
        bits.Release();
        return;
      }
      continue;
    }
    std::uint32_t r = rs >> 4;
    std::uint32_t s = rs & 15;
    if (s != 0) {
      k += r;
      if (k >= 64) {
        bits.Release();
        throw JpegDecoder::JpegBadStream("Data out of range");
      }
      block[JpegNaturalOrder[k]] = ShiftedCoefficient(Extend(bits.Receive(s), s), al);
      ++k;
    } else if (r == 15) {
      k += 16;
    } else {
      // End-of-band run; this block is the first of it.
      if (r > 0) eobRun = (1u << r) + bits.Receive(r) - 1;
      bits.Release();
      return;
    }
    if (k > se) {
      bits.Release();
      return;
    }
  }
}

void JpegDecoderComponent::DecodeAcRefine(JpegInputStream& stream, std::uint32_t row, std::uint32_t col,
                                          std::uint32_t ss, std::uint32_t se, std::uint32_t al) {
  std::int16_t* block = BlockCoefficients(row, col);
  JpegBitReader bits(stream);
  const std::uint16_t step = std::uint16_t(1u << al);
  // The coefficients with a history take a correction bit each as the scan passes them; the
  // mask of their positions lets the decoder jump from one to the next over the zeros.
  std::uint64_t nonzero = NonzeroZigzagPositions(block);
  std::uint32_t k = ss;
  while (k <= se) {
    if (eobRun > 0) {
      RefinePositions(bits, block, nonzero & Positions(k, se + 1), step);
      --eobRun;
      bits.Release();
      return;
    }
    std::uint32_t rs = acTable->Decode(bits);
    std::uint32_t r = rs >> 4;
    std::uint32_t s = rs & 15;
    if (s == 0) {
      if (r == 15) {
        // Sixteen coefficients without history, refining the others on the way.
        std::uint32_t sixteenth = NthPosition(~nonzero & Positions(k, se + 1), 16);
        std::uint32_t next = sixteenth > se ? se + 1 : sixteenth + 1;
        RefinePositions(bits, block, nonzero & Positions(k, next), step);
        k = next;
      } else if (r == 0) {
        eobRun = 1;
      } else {
        eobRun = (1u << r) + bits.Receive(r);
      }
      continue;
    }
    if (s != 1) {
      bits.Release();
      throw JpegDecoder::JpegBadStream("Invalid value in input stream");
    }
    std::uint32_t sign = bits.Bit();
    // The new coefficient goes to the position after r coefficients without history; those
    // with history before it are refined first. Past the end of the band the scan is corrupt.
    std::uint32_t target = NthPosition(~nonzero & Positions(k, 64), r + 1);
    std::uint32_t stop = target > se ? se + 1 : target;
    RefinePositions(bits, block, nonzero & Positions(k, stop), step);
    if (target > se) {
      bits.Release();
      throw JpegDecoder::JpegBadStream("Error in progressive scan");
    }
    block[JpegNaturalOrder[target]] = std::int16_t(sign != 0 ? step : std::uint16_t(-step));
    nonzero |= std::uint64_t(1) << target;
    k = target + 1;
  }
  bits.Release();
}

void JpegDecoderComponent::ProgressiveInverseDct(std::uint32_t mcuRow) {
  if (dataUnits == nullptr || coefficients == nullptr) return;
  firstBlockRow = mcuRow * verticalFrequency;
  std::size_t stride = DataUnitStride();
  const JpegDecoderDataUnit::Transform transform = JpegDecoderDataUnit::NaturalOrderTransform();
  for (std::uint32_t row = firstBlockRow; row < firstBlockRow + heldBlockRows && row < dataUnitRows; ++row) {
    for (std::uint32_t col = 0; col < dataUnitCols; ++col) {
      transform(BlockCoefficients(row, col), *quantizationTable, BlockSamples(row, col), stride);
    }
  }
}

}  // namespace VeldaroPrivate
