#pragma once
// JpegBitReader: the bit input of a JpegInputStream held in local variables for the length of
// one block, so that the block decoders keep the bit buffer, its count and the byte pointers
// in registers instead of going through the stream's fields for every code.
//
// It takes over the stream's bit state when it is made and gives it back with Release, which
// the owner calls when it is done and before it throws an error of its own (there is no
// destructor that would do it, so that the state never has to leave the registers for an
// exception path). Its fast refill takes eight bytes at once when none of them is 0xFF and
// otherwise lets the stream's own refill gather bytes one at a time (stuffed 0xFF 0x00 pairs
// included); neither ever fails, and neither reads past the stream's buffer or
// beyond a byte 0xFF that was not followed by a stuffed 0x00. When fewer bits are gathered
// than an operation needs, the operation hands over to the stream's exact path (NextBit,
// Receive), which meets a marker or the end of the data at the same bit and with the same
// texts as the stream alone. So the results never depend on how many bits were gathered.

#include <cstdint>
#include <cstring>

#include "imaging/JpegInputStream.h"

namespace Veldaro {

class JpegBitReader {
 public:
  explicit JpegBitReader(JpegInputStream& stream) : stream_(stream) { Load(); }
  ~JpegBitReader() = default;
  // Gives the state back to the stream; the reader must not be used after.
  void Release() { Store(); }
  JpegBitReader(const JpegBitReader&) = delete;
  JpegBitReader& operator=(const JpegBitReader&) = delete;

  // Gathers bits from the buffered bytes, up to at least 57 when no 0xFF byte or buffer end is
  // near; never fails.
  void Fill() {
    if (count_ > 56) return;
    if (limit_ - next_ >= 8 && TakeWholeBytes(next_, buffer_, count_)) return;
    FillOneByOne();
  }
  // Number of gathered bits.
  std::uint32_t Count() const { return count_; }
  // The next n gathered bits (1 to 32) without using them; n must not exceed Count().
  std::uint32_t Peek(std::uint32_t n) const { return std::uint32_t(buffer_ >> (64 - n)); }
  // Uses n gathered bits (at most Count()).
  void Skip(std::uint32_t n) {
    buffer_ <<= n;
    count_ -= n;
  }
  // The next n gathered bits (1 to 32, at most Count()), used.
  std::uint32_t Take(std::uint32_t n) {
    std::uint32_t value = Peek(n);
    Skip(n);
    return value;
  }

  // Runs operation(stream) on the stream itself, with the state given back to it first and
  // taken over again after. When the operation throws, the stream keeps the state the
  // exception left. (Inlined, so that the reader itself never leaves the registers for a call.)
  template <typename Operation>
  [[gnu::always_inline]] auto Exact(Operation operation) {
    Store();
    auto result = operation(stream_);
    Load();
    return result;
  }

  // The exact operations of the stream: the next bit, and the next n bits (0 to 16).
  std::uint32_t Bit() {
    if (count_ == 0) {
      Fill();
      if (count_ == 0) return std::uint32_t(ExactBit());
    }
    return Take(1);
  }
  std::uint32_t Receive(std::uint32_t n) {
    if (n == 0) return 0;
    if (count_ < n) {
      Fill();
      if (count_ < n) return ExactReceive(n);
    }
    return Take(n);
  }

  // When none of the eight bytes at next is 0xFF, gathers as many of them as fit into the
  // buffer (count at most 56) and steps next past them; else takes nothing and says so.
  [[gnu::always_inline]] static bool TakeWholeBytes(std::uint8_t*& next, std::uint64_t& buffer, std::uint32_t& count) {
    std::uint64_t word = LoadBigEndian64(next);
    if (HasFFByte(word)) return false;
    std::uint32_t take = (64 - count) >> 3;
    std::uint32_t newCount = count + take * 8;
    buffer |= (word >> count) & (~std::uint64_t(0) << (64 - newCount));
    next += take;
    count = newCount;
    return true;
  }
  // True when one of the eight bytes of the word is 0xFF.
  static bool HasFFByte(std::uint64_t word) {
    std::uint64_t inverted = ~word;
    return ((inverted - 0x0101010101010101ull) & ~inverted & 0x8080808080808080ull) != 0;
  }
  static std::uint64_t LoadBigEndian64(const std::uint8_t* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    return word;
  }

 private:
  void Load() {
    buffer_ = stream_.bitBuffer;
    count_ = stream_.bitCount;
    next_ = stream_.current;
    // The bytes after a 0xFF that stopped the data are not data: the fast refill stays away.
    limit_ = stream_.pending == JpegInputStream::NoStop ? stream_.end : stream_.current;
  }
  void Store() {
    stream_.bitBuffer = buffer_;
    stream_.bitCount = count_;
    stream_.current = next_;
  }
  [[gnu::always_inline]] void FillOneByOne() {
    Store();
    stream_.FillBitsFromBuffer();
    Load();
  }
  [[gnu::always_inline]] std::int32_t ExactBit() {
    return Exact([](JpegInputStream& stream) { return stream.NextBit(); });
  }
  [[gnu::always_inline]] std::uint32_t ExactReceive(std::uint32_t n) {
    return Exact([n](JpegInputStream& stream) { return stream.Receive(n); });
  }

  JpegInputStream& stream_;
  std::uint64_t buffer_ = 0;             // gathered bits, the next one in bit 63, zeros below the count
  std::uint32_t count_ = 0;              // number of gathered bits
  std::uint8_t* next_ = nullptr;         // next byte to gather
  const std::uint8_t* limit_ = nullptr;  // end of the bytes the fast refill may take
};

}  // namespace Veldaro
