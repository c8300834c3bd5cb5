#pragma once
// InflateHuffmanDecoder: the canonical Huffman code of one deflate alphabet (RFC 1951,
// section 3.2.2), decoded through lookup tables.
//
// MakeTable takes one code length per value (0: the value has no code) and assigns the
// canonical codes: shorter codes first, values of equal length in ascending order. The
// lengths are not tested: a set that leaves codes free is accepted (the free bit patterns
// match nothing), and of a set that claims more codes than its lengths allow only the codes
// that fit are used.
//
// The lookup table is indexed by the next input bits (least significant bit first). A main
// table of up to 11 bits (10 for distances) resolves short codes at once; longer codes go
// through a subtable of the main entry. Each entry says how many bits the code takes and what it decodes to; for
// the literal/length and distance alphabets it already holds the base value and extra-bit
// count of RFC 1951, section 3.2.5.

#include <cstdint>
#include <vector>

#include "imaging/InflateInputStream.h"

namespace Veldaro {

class InflateHuffmanDecoder {
 public:
  // What the entries of the table hold.
  enum class Alphabet {
    Values,         // the decoded value itself (the code-length alphabet)
    LiteralLength,  // literal bytes, end of block, match lengths (base and extra bits)
    Distance,       // match distances (base and extra bits)
  };

  // Entry layout, made so that the fast loop of the decoder takes a literal, a length or a
  // distance with few operations: the low byte is the shift that consumes the code and the
  // extra bits that follow it, the second byte the shift that drops the code from those bits,
  // and single flags tell literals, lengths and the rest apart.
  //   bits 0-4   all the bits the entry takes (code and extra bits); bits 5-7 are 0, so that
  //              the low byte (and the low 6 bits) serve as a shift or bit count as they stand
  //   bits 8-11  the bits of the code; bits 12-13 are 0 (the low 6 bits of the second byte are
  //              the code's bits)
  //   bit 14     a match length
  //   bit 15     an exceptional entry: end of block, a bad value, a subtable pointer or bits
  //              that begin no code; bits 12-13 then say which, and for a subtable pointer
  //              bits 0-4 are the main bits and bits 5-7 the subtable's index bits
  //   bits 16-30 the value (a literal, a base length or distance, a value, a subtable offset)
  //   bit 31     a literal byte of the literal/length alphabet
  enum EntryKind : std::uint32_t {
    KindValue = 0,       // a literal byte, a distance, or a value of the Values alphabet
    KindLength = 1,      // a match length
    KindEndOfBlock = 2,  // value 256 of the literal/length alphabet
    KindBadValue = 3,    // a value outside RFC 1951's range (literal/length 286, 287; distance 30, 31)
    KindSubtable = 4,    // the code continues in a subtable
    KindNoCode = 5,      // the bits begin no code
  };
  // Index bits of the main tables of the literal/length and distance alphabets (whose codes
  // reach 15 bits); the fast loop of the decoder is built for these widths.
  static constexpr std::uint32_t kLiteralMainBits = 11;
  static constexpr std::uint32_t kDistanceMainBits = 10;
  static constexpr std::uint32_t kLengthFlag = 1u << 14;
  static constexpr std::uint32_t kExceptionalFlag = 1u << 15;
  static constexpr std::uint32_t kLiteralFlag = 1u << 31;
  static constexpr std::uint32_t kValueShift = 16;
  static constexpr std::uint32_t kExceptionalShift = 12;
  static std::uint32_t EntryTotal(std::uint32_t entry) { return entry & 0x1Fu; }
  static std::uint32_t EntryBits(std::uint32_t entry) { return (entry >> 8) & 0xFu; }
  static std::uint32_t EntryKind(std::uint32_t entry) {
    if (entry & kLiteralFlag) return KindValue;
    if (entry & kExceptionalFlag) return KindEndOfBlock + ((entry >> kExceptionalShift) & 3u);
    return (entry & kLengthFlag) ? KindLength : KindValue;
  }
  // The extra bits after the code (for a subtable pointer: the subtable's index bits).
  static std::uint32_t EntryExtra(std::uint32_t entry) {
    if (EntryKind(entry) == KindSubtable) return (entry >> 5) & 7u;
    return EntryTotal(entry) - EntryBits(entry);
  }
  static std::uint32_t EntryValue(std::uint32_t entry) { return (entry >> kValueShift) & 0x7FFFu; }

  // The pair table: a copy of the literal/length table whose main entries for literals decode
  // one literal or, where the next code is a literal that fits the main index as well, two.
  // Image data compresses to long runs of literals with short codes, and two literals per
  // look-up halve the chain of look-ups the decoder waits on. Its literal entries:
  //   bit 31     a literal (as in the table)
  //   bits 0-4   the bits of both codes (bits 5-7 are 0)
  //   bits 8-15  the first literal, bits 16-23 the second (0 for a single literal), so that
  //              bits 8-23 are the two output bytes in order
  //   bits 24-25 the number of literals, 1 or 2
  // Every other entry, and the subtables, are those of the table.
  static constexpr std::uint32_t kPairCountShift = 24;

  InflateHuffmanDecoder() = default;
  virtual ~InflateHuffmanDecoder() = default;
  InflateHuffmanDecoder(const InflateHuffmanDecoder&) = delete;
  InflateHuffmanDecoder& operator=(const InflateHuffmanDecoder&) = delete;

  // Builds the code of count values from their lengths (entry v: the length of value v, 0 to
  // maximumLength). The table entries decode to the values themselves.
  void MakeTable(std::uint32_t maximumLength, std::uint32_t count, const std::uint32_t* lengths);
  // The same, with entries prepared for the given alphabet.
  void MakeTable(std::uint32_t maximumLength, std::uint32_t count, const std::uint32_t* lengths, Alphabet alphabet);

  // Reads one code from the stream, bit by bit, and returns its value (as the value of the
  // alphabet, whatever the entries hold). A bit sequence that matches no code within the
  // maximum code length throws InflateDecoder::StreamError "Invalid Huffman Code".
  std::uint32_t Decode(InflateInputStream& stream);

  const std::uint32_t* Table() const { return table.data(); }
  // The pair table, or null: it is made for literal/length tables whose pairs of literals fill
  // at least half of the main table (where fewer literals come in such pairs, the table costs
  // more to build than it saves).
  const std::uint32_t* PairTable() const { return hasPairs ? pairTable.data() : nullptr; }
  std::uint32_t MainBits() const { return mainBits; }
  std::uint32_t MaximumCodeLength() const { return maximumCodeLength; }

 private:
  std::vector<std::uint32_t> table;      // main table, then the subtables
  std::vector<std::uint32_t> pairTable;  // the table with pairs of literals, when hasPairs
  bool hasPairs = false;
  std::uint32_t mainBits = 0;           // index bits of the main table
  std::uint32_t maximumCodeLength = 0;  // 15 (literal/length, distance) or 7 (code lengths)
  std::uint32_t valueCount = 0;
  std::uint16_t lengthCounts[16] = {};      // number of codes of each length (fitting or not)
  std::vector<std::uint16_t> sortedValues;  // values with a code, by length, then by value
};

}  // namespace Veldaro
