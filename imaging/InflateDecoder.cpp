#include "imaging/InflateDecoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>

#include "base/CpuFeatures.h"

namespace Veldaro {

namespace {

constexpr std::uint32_t kHistory = 32768;           // the deflate window
constexpr std::uint32_t kStep = 1u << 17;           // output produced between two slides
constexpr std::uint32_t kLimit = kHistory + kStep;  // no request target lies beyond this
// A match may run up to 257 bytes past the target, and copies write up to 47 bytes beyond it.
constexpr std::uint32_t kCapacity = kLimit + 258 + 64;

// The order in which the code-length code lengths are sent (RFC 1951, section 3.2.7).
constexpr std::uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

using H = InflateHuffmanDecoder;

inline std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}

// Fills a bit buffer from 8 input bytes (at least 8 must be at hand): afterwards it holds 56 to
// 63 bits, and whole bytes only are taken from the input. Only the low 6 bits of count are read
// (the fast loop keeps garbage above them); the bits loaded beyond the count are the next input
// bits, which a later fill or byte ORs in again unchanged.
[[gnu::always_inline]] inline void FillBits(std::uint64_t& bits, std::uint32_t& count, const std::uint8_t*& in) {
  bits |= Load64(in) << (count & 63);
  in += 7 - ((count >> 3) & 7);
  count |= 56;
}

// For a period of 2 to 7 bytes: the factor that repeats the period's bytes across 8 bytes, and
// the whole periods those 8 bytes hold.
constexpr std::uint64_t kPeriodRepeat[8] = {0,
                                            0,
                                            0x0001000100010001ull,
                                            0x0001000001000001ull,
                                            0x0000000100000001ull,
                                            0x0000010000000001ull,
                                            0x0001000000000001ull,
                                            0x0100000000000001ull};
constexpr std::uint8_t kPeriodStep[8] = {0, 0, 8, 6, 8, 5, 6, 7};
// The whole periods that 16 bytes hold.
constexpr std::uint8_t kPeriodStep16[8] = {0, 0, 16, 15, 16, 15, 12, 14};

// Copies a match with a period of 1 to 15 bytes (distance < 16), whose source overlaps the
// destination. Kept out of the fast loop, whose common matches reach further back, so that
// its registers serve the loop. Writes up to 15 bytes past the end of the match.
[[gnu::noinline]] void CopyShortPeriod(std::uint8_t* out, std::uint32_t distance, std::uint32_t length) {
  const std::uint8_t* src = out - distance;
  std::uint8_t* const stop = out + length;
  if (distance >= 8) {
    std::memcpy(out, src, 8);
    std::memcpy(out + 8, src + 8, 8);
    out += 16;
    src += 16;
    while (out < stop) {
      std::memcpy(out, src, 8);
      out += 8;
      src += 8;
    }
  } else if (distance == 1) {
    const std::uint64_t v = 0x0101010101010101ull * *src;
    do {
      std::memcpy(out, &v, 8);
      std::memcpy(out + 8, &v, 8);
      out += 16;
    } while (out < stop);
  } else {
    // A period of 2 to 7 bytes: the pattern is built in a register from the period's bytes
    // (single-byte loads: reading back bytes just written with a wide load would stall on the
    // stores still under way), repeated by a multiplication and stored 8 bytes at a time,
    // advancing by whole periods.
    std::uint64_t v = src[0] | std::uint64_t(src[1]) << 8;
    switch (distance) {
      case 7: v |= std::uint64_t(src[6]) << 48; [[fallthrough]];
      case 6: v |= std::uint64_t(src[5]) << 40; [[fallthrough]];
      case 5: v |= std::uint64_t(src[4]) << 32; [[fallthrough]];
      case 4: v |= std::uint64_t(src[3]) << 24; [[fallthrough]];
      case 3: v |= std::uint64_t(src[2]) << 16; break;
      default: break;
    }
    v *= kPeriodRepeat[distance];
    // The 8 bytes after v continue the pattern from the byte after v's whole periods: those
    // whole periods, shifted down, followed by their own first bytes. Stored as one 16-byte
    // pattern, advancing by the whole periods it holds.
    const std::uint32_t whole = kPeriodStep[distance];
    const std::uint64_t u = v >> (8 * (8 - whole) & 63);
    std::uint64_t w = whole == 8 ? v : u | u << (8 * whole & 63);
    if constexpr (std::endian::native == std::endian::big) {
      v = __builtin_bswap64(v);
      w = __builtin_bswap64(w);
    }
    std::uint8_t pattern[16];
    std::memcpy(pattern, &v, 8);
    std::memcpy(pattern + 8, &w, 8);
    const std::uint32_t step = kPeriodStep16[distance];
    do {
      std::memcpy(out, pattern, 16);
      out += step;
    } while (out < stop);
  }
}

// Copies a match of length bytes from distance bytes back; the source may overlap the
// destination (a short distance repeats the bytes just written). Writes up to 47 bytes past
// the end of the match.
inline void CopyMatch(std::uint8_t* out, std::uint32_t distance, std::uint32_t length) {
  if (distance < 16) [[unlikely]] {
    CopyShortPeriod(out, distance, length);
    return;
  }
  // Most matches are short: the first 48 bytes go without a test of the length. (The test
  // is hard to predict where long matches are few but not rare, as in text; 48 bytes take
  // most of them without it.)
  const std::uint8_t* src = out - distance;
  std::uint8_t* const stop = out + length;
  std::memcpy(out, src, 16);
  std::memcpy(out + 16, src + 16, 16);
  std::memcpy(out + 32, src + 32, 16);
  out += 48;
  src += 48;
  while (out < stop) {
    std::memcpy(out, src, 16);
    out += 16;
    src += 16;
  }
}

// Copies a match that reaches back before start, the beginning of the caller's buffer: its
// first bytes come from the history, which ends at historyEnd and holds at least 32 KB; the
// rest repeats from the start of the buffer, distance bytes back as ever. Like CopyMatch,
// writes up to 47 bytes past the end of the match.
void CopyFromHistory(std::uint8_t* out, std::uint32_t distance, std::uint32_t length, const std::uint8_t* start,
                     const std::uint8_t* historyEnd) {
  const std::uint32_t before = distance - std::uint32_t(out - start);
  const std::uint32_t fromHistory = std::min(before, length);
  std::memcpy(out, historyEnd - before, fromHistory);
  if (length > fromHistory) CopyMatch(out + fromHistory, distance, length - fromHistory);
}

// BMI1 and BMI2 (shifts by any register, bit extraction) come with AVX2 on every processor
// that has both; they are asked for besides, for emulators that mix them.
bool FastShiftsAvailable() {
#if defined(__x86_64__)
  return CpuFeatures::UseAvx2() && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2");
#else
  return false;
#endif
}

}  // namespace

// Takes the bit position from the stream for the time of a call and hands it back at the
// end, also when the call ends by an exception.
class InflateDecoder::BitSync {
 public:
  BitSync(InflateDecoder& decoder, InflateInputStream& stream) : decoder(decoder), stream(stream) {
    decoder.LoadBits(stream);
  }
  ~BitSync() { decoder.StoreBits(stream); }
  BitSync(const BitSync&) = delete;
  BitSync& operator=(const BitSync&) = delete;

 private:
  InflateDecoder& decoder;
  InflateInputStream& stream;
};

InflateDecoder::InflateDecoder() = default;

InflateDecoder::~InflateDecoder() = default;

void InflateDecoder::OpenStream(InflateInputStream& stream) {
  failed = true;  // until the header and the first block header have been read
  finished = false;
  finalBlock = false;
  blockType = BlockType::None;
  storedLength = 0;
  pendingEnd = 0;
  bitsActive = false;
  if (window == nullptr) window = std::make_unique_for_overwrite<std::uint8_t[]>(kCapacity);
  useBmi2 = FastShiftsAvailable();
  // Matches that reach back before the start of the data copy zeros.
  std::memset(window.get(), 0, kHistory);
  adler = 1;
  outputPosition = readPosition = adlerPosition = kHistory;

  std::uint32_t cmf = stream.GetByte();
  std::uint32_t flg = stream.GetByte();
  if ((cmf & 0x0F) != 8) throw StreamError("Invalid Compression Method - Not (8) Deflate");
  if ((cmf * 256 + flg) % 31 != 0) throw StreamError("Corrupt Compression Header flags");
  if ((cmf >> 4) > 7) throw StreamError("Invalid Compression Window");
  if (flg & 0x20) throw StreamError("Preset dictionary flag set");

  // Bit mode from bit 0 of the byte after the header; the window is 32 KB whatever CINFO says.
  stream.bitMode = true;
  stream.bitPosition = 0;
  bitsActive = true;
  BitSync sync(*this, stream);
  StartNewBlock(stream);
  failed = false;
}

std::uint32_t InflateDecoder::Decode(InflateInputStream& stream, std::uint32_t count, std::uint8_t* buffer) {
  std::uint32_t produced = 0;
  // Not opened, or failed: nothing more comes, and the stream is not read.
  if (window == nullptr || failed) return 0;
  std::optional<BitSync> sync;
  while (produced < count) {
    if (readPosition < outputPosition) {
      std::uint32_t n = std::min(outputPosition - readPosition, count - produced);
      // Bytes not yet in the Adler-32 are summed as they are copied out, in one pass over them.
      const std::uint32_t summed = std::min(n, adlerPosition - readPosition);
      std::memcpy(buffer + produced, window.get() + readPosition, summed);
      if (n > summed) {
        adler = Adler32Copy(adler, buffer + produced + summed, window.get() + readPosition + summed, n - summed);
        adlerPosition = readPosition + n;
      }
      readPosition += n;
      produced += n;
      continue;
    }
    if (finished || blockType == BlockType::None) break;
    if (!sync) sync.emplace(*this, stream);
    if (blockType == BlockType::Huffman && count - produced >= kDirectRequest) {
      failed = true;
      produced += DecodeDirect(stream, buffer + produced, count - produced);
      failed = false;
      continue;
    }
    if (blockType == BlockType::Stored && count - produced >= kHistory) {
      failed = true;
      produced += DecodeStoredDirect(stream, buffer + produced, count - produced);
      failed = false;
      continue;
    }
    if (outputPosition >= kLimit) Slide();
    std::uint32_t target = outputPosition + std::min(count - produced, kLimit - outputPosition);
    // A failure ends the stream: nothing more is decoded from it.
    failed = true;
    DecodeUntil(stream, target);
    failed = false;
  }
  return produced;
}

void InflateDecoder::Slide() {
  UpdateAdler();
  std::memmove(window.get(), window.get() + outputPosition - kHistory, kHistory);
  outputPosition = readPosition = adlerPosition = kHistory;
}

void InflateDecoder::UpdateAdler() {
  adler = Adler32Update(adler, window.get() + adlerPosition, outputPosition - adlerPosition);
  adlerPosition = outputPosition;
}

// ---- bit input ----

void InflateDecoder::LoadBits(InflateInputStream& stream) {
  input = stream.current;
  inputEnd = stream.end;
  bitBuffer = 0;
  bitCount = 0;
  if (!bitsActive || !stream.bitMode) return;
  std::int32_t taken = stream.bitPosition;
  if (taken > 0 && input < inputEnd) {
    if (taken < 8) {
      bitBuffer = *input >> taken;
      bitCount = 8 - std::uint32_t(taken);
    }
    ++input;
  }
}

void InflateDecoder::StoreBits(InflateInputStream& stream) {
  // A refill that failed has replaced the stream's buffer: leave the stream as it left it.
  if (refilling) {
    refilling = false;
    return;
  }
  // Every bit in the buffer came from the stream's current buffer (a refill happens only when
  // all earlier bits are needed), so unused whole bytes can be handed back.
  std::uint32_t whole = bitCount >> 3;
  std::uint32_t rest = bitCount & 7;
  stream.end = const_cast<std::uint8_t*>(inputEnd);
  if (!bitsActive) {
    stream.current = const_cast<std::uint8_t*>(input - whole);
    stream.bitPosition = -1;
    stream.bitMode = false;
    return;
  }
  stream.bitMode = true;
  if (rest != 0) {
    stream.current = const_cast<std::uint8_t*>(input - whole - 1);
    stream.bitPosition = std::int32_t(8 - rest);
  } else {
    stream.current = const_cast<std::uint8_t*>(input - whole);
    stream.bitPosition = 0;
  }
}

void InflateDecoder::Refill(InflateInputStream& stream) {
  stream.current = const_cast<std::uint8_t*>(input);
  stream.end = const_cast<std::uint8_t*>(inputEnd);
  refilling = true;
  stream.RefillForBits();
  refilling = false;
  input = stream.current;
  inputEnd = stream.end;
}

void InflateDecoder::PullByte(InflateInputStream& stream) {
  if (input >= inputEnd) {
    bitBuffer &= (std::uint64_t(1) << bitCount) - 1;
    Refill(stream);
  }
  bitBuffer |= std::uint64_t(*input++) << bitCount;
  bitCount += 8;
}

void InflateDecoder::NeedBits(InflateInputStream& stream, std::uint32_t count) {
  while (bitCount < count) PullByte(stream);
}

std::uint32_t InflateDecoder::TakeBits(InflateInputStream& stream, std::uint32_t count) {
  if (count == 0) return 0;
  NeedBits(stream, count);
  std::uint32_t v = std::uint32_t(bitBuffer & ((std::uint64_t(1) << count) - 1));
  bitBuffer >>= count;
  bitCount -= count;
  return v;
}

std::uint32_t InflateDecoder::DecodeSymbol(InflateInputStream& stream, const InflateHuffmanDecoder& decoder) {
  const std::uint32_t* table = decoder.Table();
  const std::uint32_t mainBits = decoder.MainBits();
  const std::uint32_t mainMask = (1u << mainBits) - 1;
  const std::uint32_t maxLength = decoder.MaximumCodeLength();
  // Take what the current buffer holds; a refill happens only when the code needs it.
  while (bitCount <= 55 && input < inputEnd) {
    bitBuffer |= std::uint64_t(*input++) << bitCount;
    bitCount += 8;
  }
  for (;;) {
    std::uint32_t entry = table[bitBuffer & mainMask];
    std::uint32_t skip = 0;
    if (H::EntryKind(entry) == H::KindSubtable) {
      skip = mainBits;
      entry = table[H::EntryValue(entry) + ((bitBuffer >> mainBits) & ((1u << H::EntryExtra(entry)) - 1))];
    }
    // A bit pattern that begins no code is known as such only after the longest code.
    bool noCode = H::EntryKind(entry) == H::KindNoCode;
    std::uint32_t need = noCode ? std::max(maxLength, skip + 1) : skip + H::EntryBits(entry);
    if (bitCount >= need) {
      if (noCode) throw StreamError("Invalid Huffman Code");
      bitBuffer >>= need;
      bitCount -= need;
      return entry;
    }
    PullByte(stream);
  }
}

// ---- blocks ----

namespace {

// The fixed codes of RFC 1951, section 3.2.6, made once and shared (read only).
struct FixedCodes {
  InflateHuffmanDecoder literal;
  InflateHuffmanDecoder distance;
  FixedCodes() {
    std::uint32_t lengths[288];
    for (std::uint32_t i = 0; i < 288; ++i) lengths[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
    literal.MakeTable(15, 288, lengths, H::Alphabet::LiteralLength);
    for (std::uint32_t i = 0; i < 32; ++i) lengths[i] = 5;
    distance.MakeTable(15, 32, lengths, H::Alphabet::Distance);
  }
};

const FixedCodes& Fixed() {
  static const FixedCodes codes;
  return codes;
}

}  // namespace

void InflateDecoder::MakeFixedTables() {
  activeLiteral = &Fixed().literal;
  activeDistance = &Fixed().distance;
}

void InflateDecoder::StartNewBlock(InflateInputStream& stream) {
  for (;;) {
    finalBlock = TakeBits(stream, 1) != 0;
    std::uint32_t type = TakeBits(stream, 2);
    if (type == 0) {
      // Stored: LEN and NLEN start at the next whole byte.
      std::uint32_t skip = bitCount & 7;
      bitBuffer >>= skip;
      bitCount -= skip;
      std::uint32_t len = TakeBits(stream, 16);
      std::uint32_t nlen = TakeBits(stream, 16);
      // Data bytes are read straight from the input from here on: drop bits beyond the count.
      bitBuffer &= (std::uint64_t(1) << bitCount) - 1;
      if (len != (~nlen & 0xFFFFu)) throw StreamError("Invalid Literal Count");
      if (len == 0) {
        // An empty stored block (a flush): nothing to produce, go on with the next block.
        if (finalBlock) {
          blockType = BlockType::None;
          finished = true;
          CheckAdler32(stream);
          return;
        }
        continue;
      }
      storedLength = len;
      blockType = BlockType::Stored;
      return;
    }
    if (type == 1) {
      MakeFixedTables();
      storedLength = 0;
      blockType = BlockType::Huffman;
      return;
    }
    if (type == 2) {
      std::uint32_t hlit = TakeBits(stream, 5) + 257;
      std::uint32_t hdist = TakeBits(stream, 5) + 1;
      std::uint32_t hclen = TakeBits(stream, 4) + 4;
      std::uint32_t codeLengths[19] = {};
      for (std::uint32_t i = 0; i < hclen; ++i) codeLengths[kCodeLengthOrder[i]] = TakeBits(stream, 3);
      codeLengthDecoder.MakeTable(7, 19, codeLengths);
      std::uint32_t literalLengths[288];
      std::uint32_t distanceLengths[32];
      ReadLengths(stream, codeLengthDecoder, literalLengths, hlit);
      ReadLengths(stream, codeLengthDecoder, distanceLengths, hdist);
      literalDecoder.MakeTable(15, hlit, literalLengths, H::Alphabet::LiteralLength);
      distanceDecoder.MakeTable(15, hdist, distanceLengths, H::Alphabet::Distance);
      activeLiteral = &literalDecoder;
      activeDistance = &distanceDecoder;
      storedLength = 0;
      blockType = BlockType::Huffman;
      return;
    }
    throw StreamError("Invalid Compression Type");
  }
}

void InflateDecoder::ReadLengths(InflateInputStream& stream, InflateHuffmanDecoder& decoder, std::uint32_t* lengths,
                                 std::uint32_t count) {
  // Where the main table holds every code (no subtables) and 8 input bytes are at hand, a code
  // is looked up straight from a bit buffer filled 8 bytes at once; it then holds at least 56
  // bits, enough for the code and its repeat bits. Bits that begin no code, and the end of the
  // input buffer, go the careful way, which fails or refills as it should.
  const std::uint32_t* const table = decoder.Table();
  const std::uint32_t mask = (1u << decoder.MainBits()) - 1;
  const bool whole = decoder.MainBits() >= decoder.MaximumCodeLength();
  std::uint32_t i = 0;
  while (i < count) {
    std::uint32_t entry = H::kExceptionalFlag;
    if (whole && inputEnd - input >= 8) {
      FillBits(bitBuffer, bitCount, input);
      entry = table[bitBuffer & mask];
      if (!(entry & H::kExceptionalFlag)) {
        bitBuffer >>= H::EntryBits(entry);
        bitCount -= H::EntryBits(entry);
      }
    }
    if (entry & H::kExceptionalFlag) entry = DecodeSymbol(stream, decoder);
    std::uint32_t symbol = H::EntryValue(entry);
    if (symbol < 16) {
      lengths[i++] = symbol;
      continue;
    }
    std::uint32_t repeat;
    std::uint32_t value = 0;
    if (symbol == 16) {
      // A repeat needs an earlier length of the same sequence.
      if (i == 0) throw StreamError("Bad Length Code");
      value = lengths[i - 1];
      repeat = 3 + TakeBits(stream, 2);
    } else if (symbol == 17) {
      repeat = 3 + TakeBits(stream, 3);
    } else if (symbol == 18) {
      repeat = 11 + TakeBits(stream, 7);
    } else {
      throw StreamError("Bad Length Code");
    }
    for (; repeat > 0; --repeat) {
      if (i == count) throw StreamError("Length Command Out of Range");
      lengths[i++] = value;
    }
  }
}

void InflateDecoder::CheckAdler32(InflateInputStream& stream) {
  std::uint32_t skip = bitCount & 7;
  bitBuffer >>= skip;
  bitCount -= skip;
  std::uint32_t stored = 0;
  for (int i = 0; i < 4; ++i) stored = stored << 8 | TakeBits(stream, 8);
  bitsActive = false;
  UpdateAdler();
  if (stored != adler) throw StreamError("Stream Adler 32 Checksum error");
}

void InflateDecoder::EndOfBlock(InflateInputStream& stream) {
  blockType = BlockType::None;
  if (finalBlock) {
    finished = true;
    CheckAdler32(stream);
  } else {
    StartNewBlock(stream);
  }
}

void InflateDecoder::DecodeUntil(InflateInputStream& stream, std::uint32_t target) {
  while (!finished && outputPosition < target) {
    if (blockType == BlockType::Stored) {
      DecodeStored(stream, target);
    } else if (blockType == BlockType::Huffman) {
      if (DecodeHuffman(stream, target)) EndOfBlock(stream);
    } else {
      break;
    }
  }
}

void InflateDecoder::DecodeStored(InflateInputStream& stream, std::uint32_t target) {
  while (storedLength > 0 && outputPosition < target) {
    if (bitCount >= 8) {
      // Whole bytes still in the bit buffer come first.
      window[outputPosition++] = std::uint8_t(bitBuffer);
      bitBuffer >>= 8;
      bitCount -= 8;
      --storedLength;
      continue;
    }
    if (input >= inputEnd) Refill(stream);
    std::uint32_t n = std::min({storedLength, target - outputPosition, std::uint32_t(inputEnd - input)});
    std::memcpy(window.get() + outputPosition, input, n);
    input += n;
    outputPosition += n;
    storedLength -= n;
  }
  // The end of a stored block is met with its last byte, even when that byte ends the request.
  if (storedLength == 0) EndOfBlock(stream);
}

namespace {

// The state the fast loop of a Huffman block works on.
struct FastRun {
  std::uint8_t* out;
  std::uint8_t* outEnd;
  // Output into the caller's buffer: where it starts, and the end of the history (the output
  // before it) in the window.
  const std::uint8_t* outStart;
  const std::uint8_t* historyEnd;
  const std::uint8_t* in;
  const std::uint8_t* inLast;  // the last place a refill may load 8 bytes from
  std::uint64_t bitBuffer;
  std::uint32_t bitCount;
  const std::uint32_t* literalTable;   // main table of H::kLiteralMainBits (or the pair table)
  const std::uint32_t* distanceTable;  // main table of H::kDistanceMainBits
};

// How the fast loop stopped. On an error the state stands after the bits of the bad code.
enum class FastEnd : std::uint8_t { Limit = 0, EndOfBlock, BadLiteral, BadDistance, NoLiteralCode, NoDistanceCode };

// The fast loop runs while 8 input bytes can be loaded at once: one refill then gives at
// least 56 bits, enough for the longest length/distance pair (15 + 5 + 15 + 13) or for four
// literals of the main table (4 x 11). Every bit of the 64-bit buffer is a real input bit after
// a refill, so the next entry is looked up from the bits in hand before the refill, which keeps
// the refill off the chain of lookups. Literals may run up to seven bytes past the target
// (never an error, never a refill of the stream); lengths and distances are taken only below it.
// Written once and compiled for any x86-64 and with the shifts and bit operations of BMI1 and
// BMI2; each for output into the window and into the caller's buffer, where matches that reach
// back before the buffer take their first bytes from the history; and each for the literal/length
// table and for its pair table (InflateHuffmanDecoder::PairTable), whose main entries may decode
// two literals at once.
template <bool kDirect, bool kPairs>
[[gnu::always_inline]] inline FastEnd RunFastLoop(FastRun& run) {
  std::uint8_t* out = run.out;
  std::uint8_t* const outEnd = run.outEnd;
  const std::uint8_t* in = run.in;
  const std::uint8_t* const inLast = run.inLast;
  const std::uint32_t* const lt = run.literalTable;
  constexpr std::uint32_t litBits = H::kLiteralMainBits;
  constexpr std::uint64_t litMask = (std::uint64_t(1) << litBits) - 1;
  const std::uint32_t* const dt = run.distanceTable;
  constexpr std::uint32_t distBits = H::kDistanceMainBits;
  constexpr std::uint64_t distMask = (std::uint64_t(1) << distBits) - 1;
  std::uint64_t bb = run.bitBuffer;
  std::uint32_t bc = run.bitCount;
  auto finish = [&](FastEnd end) {
    run.out = out;
    run.in = in;
    run.bitBuffer = bb;
    run.bitCount = bc & 63;
    return end;
  };
  // Consumes what an entry other than an exceptional one takes: its low 6 bits are the count.
  // Only the low 6 bits of bc are ever read (the count is below 64), so the whole entry is
  // subtracted, which saves masking it on every code.
  auto consume = [&](std::uint32_t entry) {
    bb >>= (entry & 63);
    bc -= entry;
  };
  auto refill = [&] { FillBits(bb, bc, in); };
  // The entry's value plus the extra bits that follow its code (a length or a distance).
  auto withExtra = [&](std::uint32_t entry) {
    const std::uint64_t taken = bb & ((std::uint64_t(1) << (entry & 63)) - 1);
    return (entry >> H::kValueShift) + std::uint32_t(taken >> ((entry >> 8) & 63));
  };
  auto isLiteral = [](std::uint32_t entry) { return std::int32_t(entry) < 0; };
  auto literal = [](std::uint32_t entry) { return std::uint8_t(entry >> H::kValueShift); };

  // A literal entry of the main table: with pairs, one or two literals (both bytes are stored).
  auto putLiterals = [&](std::uint32_t entry) {
    if constexpr (kPairs) {
      std::uint16_t two = std::uint16_t(entry >> 8);
      if constexpr (std::endian::native == std::endian::big) two = __builtin_bswap16(two);
      std::memcpy(out, &two, 2);
      out += (entry >> H::kPairCountShift) & 3;
    } else {
      *out++ = literal(entry);
    }
  };

  refill();
  std::uint32_t e = lt[bb & litMask];
  for (;;) {
    if (isLiteral(e)) {
      consume(e);
      putLiterals(e);
      e = lt[bb & litMask];
      if (isLiteral(e)) {
        consume(e);
        putLiterals(e);
        e = lt[bb & litMask];
        if (isLiteral(e)) {
          consume(e);
          putLiterals(e);
          e = lt[bb & litMask];
          if (isLiteral(e)) {
            consume(e);
            putLiterals(e);
          }
        }
      }
    } else {
      if (e & H::kExceptionalFlag) [[unlikely]] {
        if (H::EntryKind(e) == H::KindSubtable) {
          bb >>= litBits;
          bc -= litBits;
          // The entry in the subtable: any kind but a further subtable.
          e = lt[H::EntryValue(e) + (bb & ((1u << H::EntryExtra(e)) - 1))];
          if (isLiteral(e)) {
            consume(e);
            *out++ = literal(e);
            goto next;
          }
        }
        if (e & H::kExceptionalFlag) {
          const std::uint32_t kind = H::EntryKind(e);
          if (kind == H::KindEndOfBlock) {
            consume(e);
            return finish(FastEnd::EndOfBlock);
          }
          return finish(kind == H::KindBadValue ? FastEnd::BadLiteral : FastEnd::NoLiteralCode);
        }
      }
      // A match length.
      const std::uint32_t length = withExtra(e);
      consume(e);
      std::uint32_t d = dt[bb & distMask];
      if (d & H::kExceptionalFlag) [[unlikely]] {
        if (H::EntryKind(d) == H::KindSubtable) {
          bb >>= distBits;
          bc -= distBits;
          d = dt[H::EntryValue(d) + (bb & ((1u << H::EntryExtra(d)) - 1))];
        }
        if (d & H::kExceptionalFlag) {
          return finish(H::EntryKind(d) == H::KindBadValue ? FastEnd::BadDistance : FastEnd::NoDistanceCode);
        }
      }
      const std::uint32_t distance = withExtra(d);
      consume(d);
      // The next entry is looked up before the copy (at least 16 real bits remain), so
      // that the copy's branches do not hold up the chain of look-ups.
      e = lt[bb & litMask];
      if (kDirect && distance > std::uintptr_t(out - run.outStart)) [[unlikely]]
        CopyFromHistory(out, distance, length, run.outStart, run.historyEnd);
      else
        CopyMatch(out, distance, length);
      out += length;
      if (out >= outEnd || in > inLast) break;
      refill();
      continue;
    }
  next:
    if (out >= outEnd || in > inLast) break;
    e = lt[bb & litMask];  // at least 16 bits remain
    refill();
  }
  return finish(FastEnd::Limit);
}

template <bool kDirect, bool kPairs>
FastEnd RunFastLoopPlain(FastRun& run) {
  return RunFastLoop<kDirect, kPairs>(run);
}

#if defined(__x86_64__)
template <bool kDirect, bool kPairs>
__attribute__((target("bmi,bmi2"))) FastEnd RunFastLoopBmi2(FastRun& run) {
  return RunFastLoop<kDirect, kPairs>(run);
}
#endif

// Runs the build of the fast loop for the processor, the output and the table.
template <bool kDirect, bool kPairs>
FastEnd RunFastLoopFor(FastRun& run, bool bmi2) {
#if defined(__x86_64__)
  if (bmi2) return RunFastLoopBmi2<kDirect, kPairs>(run);
#endif
  (void)bmi2;
  return RunFastLoopPlain<kDirect, kPairs>(run);
}

// What the fast loop's end means: true at the end of the block, false where it stopped for the
// output or the input; an error is thrown.
bool EndOfBlockOrError(FastEnd end) {
  switch (end) {
    case FastEnd::Limit: return false;
    case FastEnd::EndOfBlock: return true;
    case FastEnd::BadLiteral: throw InflateDecoder::StreamError("Invalid Huffman Literal Value");
    case FastEnd::BadDistance: throw InflateDecoder::StreamError("Invalid Huffman Distance Value");
    case FastEnd::NoLiteralCode:
    case FastEnd::NoDistanceCode: break;
  }
  throw InflateDecoder::StreamError("Invalid Huffman Code");
}

}  // namespace

bool InflateDecoder::DecodeHuffmanFast(Output& o) {
  if (o.out >= o.end || inputEnd - input < 8) return false;
  // The tables of both alphabets are always made with codes of up to 15 bits, so their main
  // tables have the widths the fast loop is built for; anything else goes the careful way.
  if (activeLiteral->MainBits() != H::kLiteralMainBits || activeDistance->MainBits() != H::kDistanceMainBits)
    return false;
  const std::uint32_t* const pairs = activeLiteral->PairTable();
  FastEnd end;
  for (;;) {
    // Into the caller's buffer, only the first 32 KB can take bytes from the history: from
    // there on every distance stays inside the buffer, and the loop without that test runs.
    const std::size_t used = std::size_t(o.out - o.start);
    const bool history = o.direct && used < kHistory;
    std::uint8_t* const stop = history && std::size_t(o.end - o.start) > kHistory ? o.out + (kHistory - used) : o.ahead;
    FastRun run{o.out,
                stop,
                o.start,
                o.historyEnd,
                input,
                inputEnd - 8,
                bitBuffer,
                bitCount,
                pairs ? pairs : activeLiteral->Table(),
                activeDistance->Table()};
    if (pairs)
      end = history ? RunFastLoopFor<true, true>(run, useBmi2) : RunFastLoopFor<false, true>(run, useBmi2);
    else
      end = history ? RunFastLoopFor<true, false>(run, useBmi2) : RunFastLoopFor<false, false>(run, useBmi2);
    o.out = run.out;
    input = run.in;
    bitBuffer = run.bitBuffer;
    bitCount = run.bitCount;
    if (end != FastEnd::Limit || stop == o.ahead || o.out >= o.end || inputEnd - input < 8) break;
  }
  if (end != FastEnd::Limit && o.out >= o.end) {
    // Met past the request: it waits for the request that needs the bytes beyond it.
    pendingEnd = std::uint8_t(end);
    return false;
  }
  return EndOfBlockOrError(end);
}

bool InflateDecoder::DecodeHuffmanInto(InflateInputStream& stream, Output& o) {
  if (pendingEnd != 0) {
    const FastEnd end = FastEnd(pendingEnd);
    pendingEnd = 0;
    return EndOfBlockOrError(end);
  }
  for (;;) {
    if (DecodeHuffmanFast(o)) return true;
    if (o.out >= o.end) return false;

    // Near the end of the input buffer: one symbol at a time, taking input only as needed.
    std::uint32_t e = DecodeSymbol(stream, *activeLiteral);
    switch (H::EntryKind(e)) {
      case H::KindValue: *o.out++ = std::uint8_t(H::EntryValue(e)); break;
      case H::KindLength: {
        std::uint32_t length = H::EntryValue(e) + TakeBits(stream, H::EntryExtra(e));
        std::uint32_t d = DecodeSymbol(stream, *activeDistance);
        if (H::EntryKind(d) == H::KindBadValue) throw StreamError("Invalid Huffman Distance Value");
        std::uint32_t distance = H::EntryValue(d) + TakeBits(stream, H::EntryExtra(d));
        if (distance > std::uintptr_t(o.out - o.start))
          CopyFromHistory(o.out, distance, length, o.start, o.historyEnd);
        else
          CopyMatch(o.out, distance, length);
        o.out += length;
        break;
      }
      case H::KindEndOfBlock: return true;
      default: throw StreamError("Invalid Huffman Literal Value");
    }
  }
}

bool InflateDecoder::DecodeHuffman(InflateInputStream& stream, std::uint32_t target) {
  // In the window every match finds its bytes after the start (32 KB of history come first).
  // The fast loop may fill the window: a small request (a PNG row) then finds the bytes of
  // the next ones decoded already, and the loop is entered and left once for many requests.
  std::uint8_t* const base = window.get();
  Output o{base + outputPosition, base + target, base + kLimit, base, base, false};
  const bool end = DecodeHuffmanInto(stream, o);
  outputPosition = std::uint32_t(o.out - base);
  return end;
}

std::uint32_t InflateDecoder::DecodeDirect(InflateInputStream& stream, std::uint8_t* buffer, std::uint32_t count) {
  UpdateAdler();
  std::uint8_t* const base = window.get();
  std::uint8_t* const end = buffer + (count - kDirectMargin);
  Output o{buffer, end, end, buffer, base + outputPosition, true};
  const std::uint8_t* summed = buffer;  // the bytes before it are in the Adler-32
  // Blocks follow one another here as long as they are Huffman blocks; the Adler-32 is brought
  // up to date before a block ends, as the end of the final block tests it.
  while (blockType == BlockType::Huffman && o.out < o.end) {
    if (!DecodeHuffmanInto(stream, o)) break;
    adler = Adler32Update(adler, summed, std::size_t(o.out - summed));
    summed = o.out;
    EndOfBlock(stream);
  }
  adler = Adler32Update(adler, summed, std::size_t(o.out - summed));
  const std::uint32_t n = std::uint32_t(o.out - buffer);
  KeepHistory(buffer, n);
  return n;
}

std::uint32_t InflateDecoder::DecodeStoredDirect(InflateInputStream& stream, std::uint8_t* buffer,
                                                 std::uint32_t count) {
  UpdateAdler();
  std::uint32_t n = 0;
  // Stored blocks follow one another here; the next block's header is read (an end of the final
  // block tests the Adler-32, which is up to date) before the history is kept, as no output
  // comes between.
  while (blockType == BlockType::Stored && n < count) {
    // Whole bytes still in the bit buffer come first.
    const std::uint32_t start = n;
    for (; bitCount >= 8 && storedLength > 0 && n < count; ++n, --storedLength) {
      buffer[n] = std::uint8_t(bitBuffer);
      bitBuffer >>= 8;
      bitCount -= 8;
    }
    adler = Adler32Update(adler, buffer + start, n - start);
    while (storedLength > 0 && n < count) {
      if (input >= inputEnd) Refill(stream);
      const std::uint32_t piece = std::min({storedLength, count - n, std::uint32_t(inputEnd - input)});
      adler = Adler32Copy(adler, buffer + n, input, piece);
      input += piece;
      n += piece;
      storedLength -= piece;
    }
    if (storedLength == 0) EndOfBlock(stream);
  }
  KeepHistory(buffer, n);
  return n;
}

void InflateDecoder::KeepHistory(const std::uint8_t* buffer, std::uint32_t n) {
  std::uint8_t* const base = window.get();
  if (n >= kHistory) {
    std::memcpy(base, buffer + n - kHistory, kHistory);
  } else {
    std::memmove(base, base + outputPosition - (kHistory - n), kHistory - n);
    std::memcpy(base + kHistory - n, buffer, n);
  }
  outputPosition = readPosition = adlerPosition = kHistory;
}

}  // namespace Veldaro
