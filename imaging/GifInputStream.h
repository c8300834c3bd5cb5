#pragma once
// GifInputStream: the byte stream of a GIF file with a bit mode for the LZW codes of one
// image. In bit mode the codes (1 to 12 bits, least significant bit first) are taken across
// the chain of data sub-blocks (a length byte of 1 to 255, then that many bytes; a length
// byte 0 ends the chain), so the decoder never sees the framing.
//
// Bits are gathered into a 64-bit accumulator, but only from bytes of the current sub-block
// that are already in the buffer: the next length byte is read, and the buffer refilled, only
// when a code needs more bits. The stream therefore fails at the same point, and skips the
// same bytes at ExitBitMode, as a reader that takes one bit at a time.

#include <bit>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>

#include "imaging/InputByteStream.h"

namespace Veldaro {

class GifInputStream : public virtual InputByteStream {
 public:
  // Every failure of the bit mode.
  class GifStreamError : public std::exception {
   public:
    explicit GifStreamError(const std::string& message) : message(message) {}
    const char* what() const noexcept override { return message.c_str(); }

   private:
    std::string message;
  };

  // Skips the rest of the data, checks the block terminator and returns to byte mode.
  virtual void ExitBitMode();
  ~GifInputStream() override = default;

  // Starts bit mode at the length byte of the first data sub-block.
  void EnterBitMode();

  // The next code of codeSize bits (1 to 12), the first bit read being bit 0.
  std::uint32_t NextCode(std::uint32_t codeSize) {
    LentBits bits = LendBits();
    const std::uint32_t code = NextCode(bits, codeSize);
    ReturnBits(bits);
    return code;
  }
  // The next bit of the data, 0 or 1.
  std::uint32_t NextBit() { return NextCode(1); }

  // The state of the bit mode, lent to a decoding loop that keeps it in locals (registers)
  // while it takes many codes: NextCode(bits, codeSize) gives the same codes and failures as
  // NextCode(codeSize). The state must come back through ReturnBits before any other call.
  struct LentBits {
    std::uint64_t buffer;
    std::uint32_t count;
    std::uint32_t bytesLeft;
    std::uint8_t* current;
    std::uint8_t* end;
  };
  LentBits LendBits() const { return LentBits{bitBuffer, bitCount, bytesLeft, current, end}; }
  void ReturnBits(const LentBits& bits) {
    bitBuffer = bits.buffer;
    bitCount = bits.count;
    bytesLeft = bits.bytesLeft;
    current = bits.current;
    end = bits.end;
  }
  std::uint32_t NextCode(LentBits& bits, std::uint32_t codeSize) {
    if (codeSize - 1 >= 12) ThrowInvalidCodeSize();
    if (bits.count < codeSize) {
      // Eight bytes of the current sub-block in the buffer: take whole bytes at once (at
      // least 48 bits, enough for any code). Otherwise the careful path.
      if (std::endian::native == std::endian::little && bits.bytesLeft >= 8 && bits.end - bits.current >= 8) {
        std::uint64_t word;
        std::memcpy(&word, bits.current, 8);
        std::uint32_t take = (64 - bits.count) >> 3;
        if (take > 7) take = 7;
        bits.buffer |= (word & ((std::uint64_t(1) << (8 * take)) - 1)) << bits.count;
        bits.count += 8 * take;
        bits.current += take;
        bits.bytesLeft -= take;
      } else {
        RefillLent(bits, codeSize);
      }
    }
    std::uint32_t code = std::uint32_t(bits.buffer) & ((1u << codeSize) - 1);
    bits.buffer >>= codeSize;
    bits.count -= codeSize;
    return code;
  }

 protected:
  // Bytes of the current sub-block not yet taken into the accumulator.
  std::uint32_t bytesLeft = 0;

 private:
  // Takes bytes into the accumulator until it holds at least need bits.
  void FillBits(std::uint32_t need);
  // FillBits on lent bits; they are the stream's state afterwards, however it ends.
  void RefillLent(LentBits& bits, std::uint32_t need);
  // Makes sure a byte is buffered; the end of the file throws "beyond compressed data".
  void RequireByte();
  [[noreturn]] static void ThrowInvalidCodeSize();
  [[noreturn]] static void ThrowBeyondData();

  std::uint64_t bitBuffer = 0;  // bits not yet handed out, next bit in bit 0
  std::uint32_t bitCount = 0;   // number of valid bits in bitBuffer
  bool chainEnded = false;      // the block terminator of the chain has been read
};

}  // namespace Veldaro
