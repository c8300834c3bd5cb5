#pragma once
// JpegHuffmanDecoder: one Huffman table of a JPEG stream (a DHT definition) and the decoding of
// symbols with it.
//
// The canonical code tables (maxcode, mincode, valptr) are those of the JPEG standard's
// decoding procedure; a symbol is the first code length l, from the shortest on, at which the
// bits read so far are not above maxcode[l]. For speed, the result of that search for every
// prefix of LookaheadBits bits is kept in two look-up tables, one for the AC and one for the DC
// coefficients, so that the codes of up to LookaheadBits bits (nearly all of them) take one
// look-up. An entry also holds the value of the coefficient when the extra bits that follow the
// code lie within the same prefix. Longer codes, and the reads near the end of the data, go
// through the search itself. Over-subscribed counts are not refused: both ways give the same
// symbol for the same bits.

#include <cstdint>

#include "imaging/JpegBitReader.h"
#include "imaging/JpegInputStream.h"

namespace VeldaroPrivate {

class JpegHuffmanDecoder {
 public:
  static constexpr std::uint32_t LookaheadBits = 10;

  // A look-up entry: 0 when the prefix does not hold a whole code. Else the bits to use (the
  // code, or the code and its extra bits), the symbol, and the extended value of the extra
  // bits when they are within the prefix (a value is never 0, so 0 there means "not within").
  static std::uint32_t EntryLength(std::int32_t entry) { return std::uint32_t(entry) & 31; }
  static std::uint32_t EntrySymbol(std::int32_t entry) { return (std::uint32_t(entry) >> 8) & 0xFF; }
  static std::int32_t EntryValue(std::int32_t entry) { return entry >> 16; }
  static bool EntryHasValue(std::int32_t entry) { return (std::uint32_t(entry) >> 16) != 0; }

  JpegHuffmanDecoder() = default;
  ~JpegHuffmanDecoder() = default;

  // Reads one table body (the sixteen counts and the symbols) and returns the bytes it took,
  // 16 + the number of symbols. Throws JpegBadStream "Huffman count > 256".
  std::uint32_t ReadTable(Veldaro::JpegInputStream& stream);
  // True once a table has been read into this object.
  bool InUse() const { return inUse; }

  // The next symbol of the entropy-coded data. Throws JpegBadStream "Bad Huffman Code Length"
  // when no code of 1 to 16 bits matches (or the table has no codes at all).
  std::uint8_t Decode(Veldaro::JpegInputStream& stream) const {
    Veldaro::JpegBitReader bits(stream);
    std::uint8_t symbol = Decode(bits);
    bits.Release();
    return symbol;
  }
  std::uint8_t Decode(Veldaro::JpegBitReader& bits) const {
    if (bits.Count() < 16) bits.Fill();
    if (bits.Count() >= 16) {
      std::int32_t entry = acLookup[bits.Peek(LookaheadBits)];
      if (entry != 0) {
        std::uint32_t symbol = EntrySymbol(entry);
        bits.Skip(EntryLength(entry) - (EntryHasValue(entry) ? (symbol & 15) : 0));
        return std::uint8_t(symbol);
      }
    }
    return bits.Exact([this](Veldaro::JpegInputStream& stream) { return DecodeLong(stream); });
  }
  // The symbol of the look-up entry of the next bits when the entry holds no value, its code
  // used; for an entry of 0 the search for a longer code.
  std::uint8_t CodeSymbol(std::int32_t entry, Veldaro::JpegBitReader& bits) const {
    if (entry == 0) return bits.Exact([this](Veldaro::JpegInputStream& stream) { return DecodeLong(stream); });
    bits.Skip(EntryLength(entry));
    return std::uint8_t(EntrySymbol(entry));
  }

  // The look-up entries of the next LookaheadBits bits: AC symbols (run << 4 | size, the
  // value for a nonzero size) and DC symbols (the size of the difference, the difference).
  std::int32_t AcEntry(std::uint32_t prefix) const { return acLookup[prefix]; }
  std::int32_t DcEntry(std::uint32_t prefix) const { return dcLookup[prefix]; }

 private:
  void MakeTable();
  void MakeLookup();
  // Codes longer than the look-up, and decoding with fewer than 16 bits gathered.
  std::uint8_t DecodeLong(Veldaro::JpegInputStream& stream) const;
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
  std::int32_t acLookup[1u << LookaheadBits] = {};
  std::int32_t dcLookup[1u << LookaheadBits] = {};
};

}  // namespace VeldaroPrivate
