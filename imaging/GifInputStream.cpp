#include "imaging/GifInputStream.h"

#include <bit>
#include <cstring>

#include "base/ScopeExit.h"

namespace Veldaro {

void GifInputStream::ThrowInvalidCodeSize() { throw GifStreamError("GIF: Internal Error - Invalid Code Size."); }

void GifInputStream::ThrowBeyondData() { throw GifStreamError("GIF: Attempt to read bits beyond compressed data."); }

void GifInputStream::RequireByte() {
  while (current >= end) {
    if (EndReached()) ThrowBeyondData();
    FillBuffer();
  }
}

void GifInputStream::EnterBitMode() {
  bitPosition = 0;
  bitMode = true;
  bitBuffer = 0;
  bitCount = 0;
  RequireByte();
  bytesLeft = *current++;
  chainEnded = bytesLeft == 0;
}

void GifInputStream::FillBits(std::uint32_t need) {
  for (;;) {
    // Take what the current sub-block has in the buffer: whole words where eight bytes are
    // there, then byte by byte.
    if constexpr (std::endian::native == std::endian::little) {
      if (bytesLeft >= 8 && end - current >= 8) {
        std::uint64_t word;
        std::memcpy(&word, current, 8);
        std::uint32_t take = (64 - bitCount) >> 3;  // whole bytes that fit, at most 7 here
        if (take > 7) take = 7;
        bitBuffer |= (word & ((std::uint64_t(1) << (8 * take)) - 1)) << bitCount;
        bitCount += 8 * take;
        current += take;
        bytesLeft -= take;
      }
    }
    while (bitCount <= 56 && bytesLeft > 0 && current < end) {
      bitBuffer |= std::uint64_t(*current++) << bitCount;
      bitCount += 8;
      --bytesLeft;
    }
    if (bitCount >= need) return;
    if (bytesLeft > 0) {
      RequireByte();
      continue;
    }
    // The sub-block is used up: go on with the next one, unless the chain has ended.
    if (chainEnded) ThrowBeyondData();
    RequireByte();
    bytesLeft = *current++;
    if (bytesLeft == 0) {
      chainEnded = true;
      ThrowBeyondData();
    }
  }
}

void GifInputStream::RefillLent(LentBits& bits, std::uint32_t need) {
  ReturnBits(bits);
  ScopeExit lendAgain([&] { bits = LendBits(); });
  FillBits(need);
}

void GifInputStream::ExitBitMode() {
  bitBuffer = 0;
  bitCount = 0;
  if (chainEnded) {
    // The terminator has been read already.
    bitMode = false;
    return;
  }
  // Skip the rest of the current sub-block, the partly used byte included.
  while (bytesLeft > 0) {
    RequireByte();
    std::uint32_t here = std::uint32_t(end - current);
    std::uint32_t step = here < bytesLeft ? here : bytesLeft;
    current += step;
    bytesLeft -= step;
  }
  bitMode = false;
  if (GetByte() != 0) throw GifStreamError("GIF: Missing terminator after compressed data.");
}

}  // namespace Veldaro
