#include "imaging/JpegHuffmanDecoder.h"

#include <cstring>

#include "imaging/JpegDecoder.h"

namespace VeldaroPrivate {

using Veldaro::JpegDecoder;

std::uint32_t JpegHuffmanDecoder::ReadTable(Veldaro::JpegInputStream& stream) {
  std::uint8_t counts[16];
  std::uint32_t count = 0;
  for (std::uint8_t& c : counts) {
    c = stream.GetByte();
    count += c;
  }
  if (count > 256) throw JpegDecoder::JpegBadStream("Huffman count > 256");
  std::memcpy(bits, counts, sizeof bits);
  valueCount = count;
  for (std::uint32_t i = 0; i < count; ++i) huffval[i] = stream.GetByte();
  MakeTable();
  inUse = true;
  return 16 + count;
}

void JpegHuffmanDecoder::MakeTable() {
  // Code lengths in order (T.81 Figure C.1), then the codes (Figure C.2), 16 bits wide.
  std::uint8_t size[257];
  std::uint32_t n = 0;
  for (std::uint32_t l = 1; l <= 16; ++l) {
    for (std::uint32_t i = 0; i < bits[l - 1]; ++i) size[n++] = std::uint8_t(l);
  }
  size[n] = 0;
  std::uint16_t code[257];
  std::uint16_t next = 0;
  std::uint32_t k = 0;
  std::uint32_t si = size[0];
  while (size[k] != 0) {
    while (size[k] == si) {
      code[k++] = next++;
    }
    ++si;
    next = std::uint16_t(next << 1);
  }
  // Decoder tables (Figure F.15).
  std::uint32_t j = 0;
  for (std::uint32_t l = 0; l < 16; ++l) {
    if (bits[l] != 0) {
      valptr[l] = std::uint8_t(j);
      mincode[l] = code[j];
      j += bits[l];
      maxcode[l] = code[j - 1];
    } else {
      maxcode[l] = -1;
      mincode[l] = 257;
      valptr[l] = 0;
    }
  }
  // A table without codes cannot decode anything; Decode refuses it.
  minimumCodeLength = 0;
  for (std::uint32_t l = 0; l < 16; ++l) {
    if (bits[l] != 0) {
      minimumCodeLength = l + 1;
      break;
    }
  }
  MakeLookup();
}

namespace {

// The value of the s extra bits v: values below 2^(s-1) are negative.
std::int32_t Extended(std::uint32_t v, std::uint32_t s) {
  return v < (1u << (s - 1)) ? std::int32_t(v) - std::int32_t((1u << s) - 1) : std::int32_t(v);
}

// An entry of a code of the given length for the symbol, with the value of the size extra bits
// that follow the code within the prefix when they do (size 0 has no value).
std::int32_t Entry(std::uint32_t prefix, std::uint32_t length, std::uint32_t symbol, std::uint32_t size) {
  constexpr std::uint32_t kBits = JpegHuffmanDecoder::LookaheadBits;
  if (size == 0 || length + size > kBits) return std::int32_t(symbol << 8 | length);
  std::uint32_t extra = (prefix >> (kBits - length - size)) & ((1u << size) - 1);
  return std::int32_t(std::uint32_t(Extended(extra, size)) << 16 | symbol << 8 | (length + size));
}

}  // namespace

void JpegHuffmanDecoder::MakeLookup() {
  // For every prefix, the search of the decoding run on its bits: the code length and symbol
  // when it ends within the prefix on a defined symbol, else 0 (searched at decode time).
  std::memset(acLookup, 0, sizeof acLookup);
  std::memset(dcLookup, 0, sizeof dcLookup);
  if (minimumCodeLength == 0 || minimumCodeLength > LookaheadBits) return;
  for (std::uint32_t prefix = 0; prefix < (1u << LookaheadBits); ++prefix) {
    std::uint32_t l = minimumCodeLength - 1;
    std::int32_t code = std::int32_t(prefix >> (LookaheadBits - minimumCodeLength));
    bool found = true;
    while (l < 16 && code > maxcode[l]) {
      if (l + 1 >= LookaheadBits) {
        found = false;
        break;
      }
      code = (code << 1) | std::int32_t((prefix >> (LookaheadBits - 2 - l)) & 1);
      ++l;
    }
    if (!found || l >= 16) continue;
    std::int32_t index = std::int32_t(valptr[l]) + code - mincode[l];
    if (index < 0 || std::uint32_t(index) >= valueCount) continue;
    std::uint32_t length = l + 1;
    std::uint32_t symbol = huffval[index];
    // AC symbols are run << 4 | size; a DC symbol is the size itself, of at most 16 bits.
    acLookup[prefix] = Entry(prefix, length, symbol, symbol & 15);
    dcLookup[prefix] = Entry(prefix, length, symbol, symbol <= 16 ? symbol : 0);
  }
}

std::uint8_t JpegHuffmanDecoder::Symbol(std::uint32_t l, std::int32_t code) const {
  // Over-subscribed counts give codes that wrap within 16 bits; a code that then points
  // outside the symbols is refused rather than read outside the table.
  std::int32_t index = std::int32_t(valptr[l]) + code - mincode[l];
  if (index < 0 || std::uint32_t(index) >= valueCount) {
    throw JpegDecoder::JpegBadStream("Bad Huffman Code Length");
  }
  return huffval[index];
}

std::uint8_t JpegHuffmanDecoder::DecodeLong(Veldaro::JpegInputStream& stream) const {
  if (minimumCodeLength == 0) throw JpegDecoder::JpegBadStream("Bad Huffman Code Length");
  if (stream.BitCount() >= 16) {
    std::uint32_t bits16 = stream.PeekBits(16);
    for (std::uint32_t l = minimumCodeLength - 1; l < 16; ++l) {
      std::int32_t code = std::int32_t(bits16 >> (15 - l));
      if (code <= maxcode[l]) {
        std::uint8_t symbol = Symbol(l, code);
        stream.SkipBits(l + 1);
        return symbol;
      }
    }
    // No code of 1 to 16 bits: the search takes a 17th bit before it gives up.
    stream.SkipBits(16);
    stream.NextBit();
    throw JpegDecoder::JpegBadStream("Bad Huffman Code Length");
  }
  // Near the end of the data: the first bits at once, then bit by bit, so that a marker or the
  // end of the data is met at the same bit and reported with the same text.
  std::int32_t code = std::int32_t(stream.Receive(minimumCodeLength));
  std::uint32_t l = minimumCodeLength - 1;
  while (l < 16 && code > maxcode[l]) {
    code = ((code << 1) | stream.NextBit()) & 0xFFFF;
    ++l;
  }
  if (l >= 16) throw JpegDecoder::JpegBadStream("Bad Huffman Code Length");
  return Symbol(l, code);
}

}  // namespace VeldaroPrivate
