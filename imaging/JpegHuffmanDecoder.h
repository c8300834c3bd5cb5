#pragma once
// JpegHuffmanDecoder: one Huffman table of a JPEG stream (a DHT definition) and the decoding of
// symbols with it.
//
// The canonical code tables (maxcode, mincode, valptr) follow ITU-T T.81 Annex C and F.2.2.3;
// a symbol is the first code length l, from the shortest on, at which the bits read so far are
// not above maxcode[l]. For speed, the result of that search for every 9-bit prefix is kept in
// a lookup table, so that codes of up to 9 bits (nearly all of them) take one look-up; longer
// codes, and the reads near the end of the data, go through the search itself. Over-subscribed
// counts are not refused: both ways give the same symbol for the same bits.

#include <cstdint>

#include "imaging/JpegInputStream.h"

namespace VeldaroPrivate {

class JpegHuffmanDecoder {
 public:
  static constexpr std::uint32_t LookaheadBits = 9;

  JpegHuffmanDecoder() = default;
  ~JpegHuffmanDecoder() = default;

  // Reads one table body (the sixteen counts and the symbols) and returns the bytes it took,
  // 16 + the number of symbols. Throws JpegBadStream "Huffman count > 256".
  std::uint32_t ReadTable(Veldaro::JpegInputStream& stream);
  // True once a table has been read into this object.
  bool InUse() const { return inUse; }

  // The next symbol of the entropy-coded data. Throws JpegBadStream "Bad Huffman Code Length"
  // when no code of 1 to 16 bits matches (or the table has no codes at all).
  std::uint8_t Decode(Veldaro::JpegInputStream& stream) {
    if (stream.BitCount() < 16) stream.FillBits();
    if (stream.BitCount() >= 16) {
      std::uint32_t entry = lookup[stream.PeekBits(LookaheadBits)];
      if (entry != 0) {
        stream.SkipBits(entry >> 8);
        return std::uint8_t(entry);
      }
    }
    return DecodeLong(stream);
  }

  // For the AC decoders: the look-up entry of the next 9 bits, (code length << 8) | symbol, or
  // 0 when the code is longer.
  std::uint32_t Lookup(std::uint32_t nineBits) const { return lookup[nineBits]; }
  // For the AC decoders: when the next 9 bits hold a whole code of a nonzero coefficient
  // together with its extra bits, value << 16 | run << 8 | bits used (the value extended as
  // the coefficient decoders do); else 0.
  std::int32_t FastCoefficient(std::uint32_t nineBits) const { return fastCoefficient[nineBits]; }

 private:
  void MakeTable();
  void MakeLookup();
  // Codes longer than the look-up, and decoding with fewer than 16 bits gathered.
  std::uint8_t DecodeLong(Veldaro::JpegInputStream& stream);
  // The symbol of the code found at length index l, checked against the symbols defined.
  std::uint8_t Symbol(std::uint32_t l, std::int32_t code) const;

  std::int32_t maxcode[16] = {};
  std::int32_t mincode[16] = {};
  std::uint8_t valptr[16] = {};
  std::uint8_t huffval[256] = {};
  std::uint8_t bits[16] = {};
  std::uint32_t valueCount = 0;
  bool inUse = false;
  std::uint32_t minimumCodeLength = 0;  // 0 while the table has no codes
  std::uint16_t lookup[1u << LookaheadBits] = {};
  std::int32_t fastCoefficient[1u << LookaheadBits] = {};
};

}  // namespace VeldaroPrivate
