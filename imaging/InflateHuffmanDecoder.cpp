#include "imaging/InflateHuffmanDecoder.h"

#include <algorithm>
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

constexpr std::uint32_t MakeEntry(std::uint32_t bits, std::uint32_t extra, std::uint32_t kind, std::uint32_t value) {
  return bits | extra << 4 | kind << 8 | value << 16;
}

// The entry a value decodes to, for a code of the given bit count.
std::uint32_t ValueEntry(InflateHuffmanDecoder::Alphabet alphabet, std::uint32_t value, std::uint32_t bits) {
  using A = InflateHuffmanDecoder::Alphabet;
  switch (alphabet) {
    case A::LiteralLength:
      if (value < 256) return MakeEntry(bits, 0, InflateHuffmanDecoder::KindValue, value);
      if (value == 256) return MakeEntry(bits, 0, InflateHuffmanDecoder::KindEndOfBlock, value);
      if (value <= 285)
        return MakeEntry(bits, kLengthExtra[value - 257], InflateHuffmanDecoder::KindLength, kLengthBase[value - 257]);
      return MakeEntry(bits, 0, InflateHuffmanDecoder::KindBadValue, value);
    case A::Distance:
      if (value < 30)
        return MakeEntry(bits, kDistanceExtra[value], InflateHuffmanDecoder::KindValue, kDistanceBase[value]);
      return MakeEntry(bits, 0, InflateHuffmanDecoder::KindBadValue, value);
    case A::Values: break;
  }
  return MakeEntry(bits, 0, InflateHuffmanDecoder::KindValue, value);
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

}  // namespace

void InflateHuffmanDecoder::MakeTable(std::uint32_t maximumLength, std::uint32_t count, const std::uint32_t* lengths) {
  MakeTable(maximumLength, count, lengths, Alphabet::Values);
}

void InflateHuffmanDecoder::MakeTable(std::uint32_t maximumLength, std::uint32_t count, const std::uint32_t* lengths,
                                      Alphabet alphabet) {
  if (maximumLength > 15) maximumLength = 15;
  maximumCodeLength = maximumLength;
  valueCount = count;
  mainBits = std::min<std::uint32_t>(maximumLength, alphabet == Alphabet::Distance ? 8u : 11u);
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

  // The first canonical code of each length; codes that no longer fit their length (an
  // over-subscribed set) are never matched. Values are taken in sorted order.
  struct Code {
    std::uint16_t value, length, reversed;
  };
  Code codes[288];
  std::uint32_t codeCount = 0;
  std::uint32_t code = 0;
  std::uint32_t sortedIndex = 0;
  for (std::uint32_t len = 1; len <= maximumLength; ++len) {
    code = (code + lengthCounts[len - 1]) << 1;  // lengthCounts[0] is 0: codes start at 0
    for (std::uint32_t k = 0; k < lengthCounts[len]; ++k, ++sortedIndex, ++code) {
      if (code >= (1u << len) || codeCount == 288) continue;
      codes[codeCount++] = {sortedValues[sortedIndex], std::uint16_t(len), std::uint16_t(ReverseBits(code, len))};
    }
    code -= lengthCounts[len];
  }

  // Main table. Codes come in order of length; a code of length L fills every index whose low
  // L bits are its reversed code. The table is built at size 2^L for each L in turn and
  // doubled by a copy, which replicates the shorter codes; indexes no code claims keep the
  // "no code" entry.
  const std::uint32_t mainSize = 1u << mainBits;
  const std::uint32_t mainMask = mainSize - 1;
  const std::uint32_t noCode = MakeEntry(0, 0, KindNoCode, 0);
  table.resize(mainSize);
  std::uint32_t* t = table.data();
  t[0] = t[1] = noCode;
  std::uint32_t next = 0;
  for (std::uint32_t len = 1; len <= mainBits; ++len) {
    for (; next < codeCount && codes[next].length == len; ++next)
      t[codes[next].reversed] = ValueEntry(alphabet, codes[next].value, len);
    if (len < mainBits) std::memcpy(t + (1u << len), t, (std::size_t(1) << len) * sizeof(std::uint32_t));
  }

  // Subtables: one per main index that begins longer codes, as wide as its longest code.
  if (next < codeCount) {
    std::uint8_t subBits[2048];
    std::memset(subBits, 0, mainSize);
    for (std::uint32_t i = next; i < codeCount; ++i) {
      std::uint8_t& b = subBits[codes[i].reversed & mainMask];
      b = std::max<std::uint8_t>(b, std::uint8_t(codes[i].length - mainBits));
    }
    std::uint32_t total = mainSize;
    for (std::uint32_t i = 0; i < mainSize; ++i)
      if (subBits[i] != 0) total += 1u << subBits[i];
    table.resize(total, noCode);
    t = table.data();
    std::uint32_t offset = mainSize;
    for (std::uint32_t i = 0; i < mainSize; ++i)
      if (subBits[i] != 0) {
        t[i] = MakeEntry(mainBits, subBits[i], KindSubtable, offset);
        offset += 1u << subBits[i];
      }
    for (std::uint32_t i = next; i < codeCount; ++i) {
      const Code& c = codes[i];
      std::uint32_t pointer = t[c.reversed & mainMask];
      std::uint32_t rest = c.length - mainBits;
      std::uint32_t size = 1u << EntryExtra(pointer);
      std::uint32_t entry = ValueEntry(alphabet, c.value, rest);
      std::uint32_t* sub = t + EntryValue(pointer);
      for (std::uint32_t k = std::uint32_t(c.reversed) >> mainBits; k < size; k += 1u << rest) sub[k] = entry;
    }
  }
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
