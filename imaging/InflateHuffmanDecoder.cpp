#include "imaging/InflateHuffmanDecoder.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "imaging/InflateDecoder.h"

namespace Veldaro {

namespace {

// RFC 1951, section 3.2.5: lengths of symbols 257 to 285 and distances of symbols 0 to 29.
constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistanceBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                             33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                             1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

constexpr std::uint32_t MakeEntry(std::uint32_t bits, std::uint32_t extra, std::uint32_t kind, std::uint32_t value,
                                  bool literal = false) {
  using H = InflateHuffmanDecoder;
  const std::uint32_t head = value << H::kValueShift | (literal ? H::kLiteralFlag : 0u);
  switch (kind) {
    case H::KindValue: return head | bits << 8 | (bits + extra);
    case H::KindLength: return head | H::kLengthFlag | bits << 8 | (bits + extra);
    case H::KindSubtable:
      // Takes only its main bits; the subtable's entry takes the rest.
      return head | H::kExceptionalFlag | (kind - H::KindEndOfBlock) << H::kExceptionalShift | bits << 8 | extra << 5 |
             bits;
    default: return head | H::kExceptionalFlag | (kind - H::KindEndOfBlock) << H::kExceptionalShift | bits << 8 | bits;
  }
}

// The entry of bits that begin no code.
constexpr std::uint32_t kNoCodeEntry = MakeEntry(0, 0, InflateHuffmanDecoder::KindNoCode, 0);

// The entries of the literal/length and distance values for a code of no bits: an entry for
// a code of b bits adds b << 8 | b (the fields do not overlap), so the table is filled without
// a test of what each value is.
struct EntryTemplates {
  std::uint32_t literalLength[288];
  std::uint32_t distance[32];
  constexpr EntryTemplates() : literalLength(), distance() {
    using H = InflateHuffmanDecoder;
    for (std::uint32_t v = 0; v < 288; ++v) {
      if (v < 256)
        literalLength[v] = MakeEntry(0, 0, H::KindValue, v, true);
      else if (v == 256)
        literalLength[v] = MakeEntry(0, 0, H::KindEndOfBlock, v);
      else if (v <= 285)
        literalLength[v] = MakeEntry(0, kLengthExtra[v - 257], H::KindLength, kLengthBase[v - 257]);
      else
        literalLength[v] = MakeEntry(0, 0, H::KindBadValue, v);
    }
    for (std::uint32_t v = 0; v < 32; ++v)
      distance[v] = v < 30 ? MakeEntry(0, kDistanceExtra[v], H::KindValue, kDistanceBase[v])
                           : MakeEntry(0, 0, H::KindBadValue, v);
  }
};
constexpr EntryTemplates kTemplates;

// The entry a value decodes to, for a code of the given bit count.
std::uint32_t ValueEntry(InflateHuffmanDecoder::Alphabet alphabet, std::uint32_t value, std::uint32_t bits) {
  using A = InflateHuffmanDecoder::Alphabet;
  using H = InflateHuffmanDecoder;
  const std::uint32_t code = bits << 8 | bits;
  switch (alphabet) {
    case A::LiteralLength:
      return value < 288 ? kTemplates.literalLength[value] + code : MakeEntry(bits, 0, H::KindBadValue, value);
    case A::Distance:
      return value < 32 ? kTemplates.distance[value] + code : MakeEntry(bits, 0, H::KindBadValue, value);
    case A::Values: break;
  }
  return MakeEntry(bits, 0, H::KindValue, value);
}

constexpr std::uint8_t ReverseByte(std::uint32_t b) {
  std::uint32_t r = 0;
  for (int i = 0; i < 8; ++i) r |= ((b >> i) & 1u) << (7 - i);
  return std::uint8_t(r);
}

struct ReversedBytes {
  std::uint8_t value[256];
  constexpr ReversedBytes() : value() {
    for (std::uint32_t i = 0; i < 256; ++i) value[i] = ReverseByte(i);
  }
};
constexpr ReversedBytes kReversed;

// The low length bits of code in reverse order (length 1 to 15).
std::uint32_t ReverseBits(std::uint32_t code, std::uint32_t length) {
  std::uint32_t r = std::uint32_t(kReversed.value[code & 0xFF]) << 8 | kReversed.value[(code >> 8) & 0xFF];
  return r >> (16 - length);
}

// A canonical code: the value it decodes to, its length and its bits in reverse order (the
// order in which they arrive).
struct Code {
  std::uint16_t value, length, reversed;
};

// The codes of an alphabet, in order of length (at most the 288 literal/length values).
struct CodeList {
  std::array<Code, 288> codes;
  std::uint32_t count = 0;
};

// The canonical codes of the values sorted by length, then by value; codes that no longer fit
// their length (an over-subscribed set) are left out and so never matched.
CodeList CanonicalCodes(const std::uint16_t* lengthCounts, const std::vector<std::uint16_t>& sortedValues,
                        std::uint32_t maximumLength) {
  CodeList list;
  std::uint32_t code = 0;
  std::uint32_t sortedIndex = 0;
  for (std::uint32_t len = 1; len <= maximumLength; ++len) {
    code = (code + lengthCounts[len - 1]) << 1;  // lengthCounts[0] is 0: codes start at 0
    for (std::uint32_t k = 0; k < lengthCounts[len]; ++k, ++sortedIndex, ++code) {
      if (code >= (1u << len) || list.count == list.codes.size()) continue;
      list.codes[list.count++] = {sortedValues[sortedIndex], std::uint16_t(len), std::uint16_t(ReverseBits(code, len))};
    }
    code -= lengthCounts[len];
  }
  return list;
}

// The main table of mainBits index bits. Codes come in order of length; a code of length L
// fills every index whose low L bits are its reversed code. The table is built at size 2^L
// for each L in turn and doubled by a copy, which replicates the shorter codes; indexes no
// code claims keep the "no code" entry. Returns the index of the first longer code.
std::uint32_t FillMainTable(std::vector<std::uint32_t>& table, std::uint32_t mainBits, const CodeList& list,
                            InflateHuffmanDecoder::Alphabet alphabet) {
  table.resize(std::size_t(1) << mainBits);
  std::uint32_t* t = table.data();
  t[0] = t[1] = kNoCodeEntry;
  std::uint32_t next = 0;
  for (std::uint32_t len = 1; len <= mainBits; ++len) {
    for (; next < list.count && list.codes[next].length == len; ++next)
      t[list.codes[next].reversed] = ValueEntry(alphabet, list.codes[next].value, len);
    if (len < mainBits) std::memcpy(t + (1u << len), t, (std::size_t(1) << len) * sizeof(std::uint32_t));
  }
  return next;
}

// The subtables of the codes from first on: one per main index that begins longer codes, as
// wide as its longest code, placed after the main table. Canonical codes that share their
// first mainBits bits follow one another, shortest first, so each group is one run of the list
// and its last code is its longest.
void FillSubtables(std::vector<std::uint32_t>& table, std::uint32_t mainBits, const CodeList& list, std::uint32_t first,
                   InflateHuffmanDecoder::Alphabet alphabet) {
  using H = InflateHuffmanDecoder;
  const std::uint32_t mainMask = (1u << mainBits) - 1;
  // Sizes first, so that the table is grown once, with "no code" in every entry.
  std::uint32_t total = 1u << mainBits;
  for (std::uint32_t i = first; i < list.count;) {
    std::uint32_t prefix = list.codes[i].reversed & mainMask;
    std::uint32_t last = i;
    while (last + 1 < list.count && (list.codes[last + 1].reversed & mainMask) == prefix) ++last;
    total += 1u << (list.codes[last].length - mainBits);
    i = last + 1;
  }
  table.resize(total, kNoCodeEntry);
  std::uint32_t* t = table.data();
  std::uint32_t offset = 1u << mainBits;
  for (std::uint32_t i = first; i < list.count;) {
    const std::uint32_t prefix = list.codes[i].reversed & mainMask;
    std::uint32_t last = i;
    while (last + 1 < list.count && (list.codes[last + 1].reversed & mainMask) == prefix) ++last;
    const std::uint32_t subBits = list.codes[last].length - mainBits;
    const std::uint32_t size = 1u << subBits;
    t[prefix] = MakeEntry(mainBits, subBits, H::KindSubtable, offset);
    std::uint32_t* sub = t + offset;
    std::fill_n(sub, size, kNoCodeEntry);
    for (; i <= last; ++i) {
      const Code& c = list.codes[i];
      const std::uint32_t rest = c.length - mainBits;
      const std::uint32_t entry = ValueEntry(alphabet, c.value, rest);
      for (std::uint32_t k = std::uint32_t(c.reversed) >> mainBits; k < size; k += 1u << rest) sub[k] = entry;
    }
    offset += size;
  }
}

// Whether pairs of literals would fill at least half of a main table of mainBits: a pair of
// codes of lengths a and b (a + b <= mainBits) fills 2^(mainBits - a - b) indexes.
bool PairsFillHalf(const CodeList& list, std::uint32_t mainBits) {
  std::uint32_t literals[16] = {};
  for (std::uint32_t c = 0; c < list.count && list.codes[c].length < mainBits; ++c)
    if (list.codes[c].value < 256) ++literals[list.codes[c].length];
  std::uint64_t filled = 0;
  for (std::uint32_t a = 1; a < mainBits; ++a)
    for (std::uint32_t b = 1; a + b <= mainBits; ++b)
      filled += std::uint64_t(literals[a]) * literals[b] << (mainBits - a - b);
  return filled >= (std::uint64_t(1) << (mainBits - 1));
}

// The pair table of a literal/length table (see PairTable): a copy of the table, whose literal
// entries in the main table are remade. The indexes that begin with a literal code of L bits
// (its reversed bits, then any j in the bits above) get a pair when the code that j begins with
// is a literal that fits the room of mainBits - L bits: that code's entry is the main table's
// entry at j. What j adds to the first literal depends only on j and the room, so it is worked
// out once for every room and added to each first literal with that room.
void FillPairTable(std::vector<std::uint32_t>& pairs, const std::vector<std::uint32_t>& table, std::uint32_t mainBits,
                   const CodeList& list) {
  using H = InflateHuffmanDecoder;
  // Resized, not cleared: every entry is written below, the main table entry by entry and the
  // subtables by a copy (a block copy of the whole table is slow on some machines).
  const std::uint32_t size = 1u << mainBits;
  pairs.resize(table.size());
  const std::uint32_t* t = table.data();
  std::uint32_t* p = pairs.data();
  std::copy(t + size, t + table.size(), p + size);
  // The pair table's entry of one literal from the table's (its value is in bits 16-23, where
  // the second literal goes).
  auto single = [](std::uint32_t e) {
    return H::kLiteralFlag | ((e >> 8) & 0xFF00u) | 1u << H::kPairCountShift | H::EntryTotal(e);
  };
  for (std::uint32_t i = 0; i < size; ++i) {
    // Every literal becomes a single literal (those with room are overwritten below).
    const std::uint32_t e = t[i];
    const std::uint32_t literal = std::uint32_t(std::int32_t(e) >> 31);
    p[i] = (single(e) & literal) | (e & ~literal);
  }
  // seconds[2^room + j]: what the entry at j adds for a room of 1 to mainBits - 1 bits (nothing
  // where its code is no literal or does not fit). Without branches: which fit follows no pattern.
  std::uint32_t seconds[1u << H::kLiteralMainBits];
  for (std::uint32_t room = 1; room < mainBits; ++room) {
    std::uint32_t* const add = seconds + (1u << room);
    for (std::uint32_t j = 0; j < (1u << room); ++j) {
      const std::uint32_t second = t[j];
      // All ones where the entry is a literal whose bits are at most the room (the difference
      // is then negative).
      const std::uint32_t fits = std::uint32_t(std::int32_t(second & (H::EntryTotal(second) - room - 1)) >> 31);
      add[j] = ((second & 0xFF001Fu) + (1u << H::kPairCountShift)) & fits;
    }
  }
  for (std::uint32_t c = 0; c < list.count && list.codes[c].length < mainBits; ++c) {
    const Code& code = list.codes[c];
    if (code.value >= 256) continue;
    const std::uint32_t first = single(t[code.reversed]);
    const std::uint32_t room = mainBits - code.length;
    const std::uint32_t* const add = seconds + (1u << room);
    std::uint32_t* const q = p + code.reversed;
    for (std::uint32_t j = 0; j < (1u << room); ++j) q[j << code.length] = first + add[j];
  }
}

}  // namespace

void InflateHuffmanDecoder::MakeTable(std::uint32_t maximumLength, std::uint32_t count, const std::uint32_t* lengths) {
  MakeTable(maximumLength, count, lengths, Alphabet::Values);
}

void InflateHuffmanDecoder::MakeTable(std::uint32_t maximumLength, std::uint32_t count, const std::uint32_t* lengths,
                                      Alphabet alphabet) {
  if (maximumLength > 15) maximumLength = 15;
  maximumCodeLength = maximumLength;
  valueCount = count;
  mainBits = std::min(maximumLength, alphabet == Alphabet::Distance ? kDistanceMainBits : kLiteralMainBits);
  if (mainBits == 0) mainBits = 1;

  // Count the codes of each length and sort the values by length, then by value.
  std::fill(std::begin(lengthCounts), std::end(lengthCounts), std::uint16_t(0));
  for (std::uint32_t v = 0; v < count; ++v)
    if (lengths[v] != 0 && lengths[v] <= maximumLength) ++lengthCounts[lengths[v]];
  std::uint32_t offsets[17] = {};
  for (std::uint32_t len = 1; len <= 15; ++len) offsets[len + 1] = offsets[len] + lengthCounts[len];
  sortedValues.assign(offsets[16], 0);
  for (std::uint32_t v = 0; v < count; ++v) {
    std::uint32_t len = lengths[v];
    if (len != 0 && len <= maximumLength) sortedValues[offsets[len]++] = std::uint16_t(v);
  }

  const CodeList codes = CanonicalCodes(lengthCounts, sortedValues, maximumLength);
  const std::uint32_t longer = FillMainTable(table, mainBits, codes, alphabet);
  if (longer < codes.count) FillSubtables(table, mainBits, codes, longer, alphabet);
  hasPairs = alphabet == Alphabet::LiteralLength && mainBits == kLiteralMainBits && PairsFillHalf(codes, mainBits);
  if (hasPairs) FillPairTable(pairTable, table, mainBits, codes);
}

std::uint32_t InflateHuffmanDecoder::Decode(InflateInputStream& stream) {
  // Canonical decoding one bit at a time: codes of each length form a range that starts at
  // first; a code below first + count is a code of this length.
  std::int32_t code = 0;
  std::int32_t first = 0;
  std::int32_t index = 0;
  for (std::uint32_t len = 1; len <= maximumCodeLength; ++len) {
    code |= std::int32_t(stream.NextBit());
    std::int32_t n = lengthCounts[len];
    if (code - first < n) return sortedValues[std::size_t(index + code - first)];
    index += n;
    first = (first + n) << 1;
    code <<= 1;
  }
  throw InflateDecoder::StreamError("Invalid Huffman Code");
}

}  // namespace Veldaro
