#pragma once
// InflateInputStream: the bit input of deflate data (RFC 1951), least significant bit first,
// over the shared InputByteStream buffer.
//
// Bit mode keeps its place in the base fields: current points at the byte whose bits are
// being taken and bitPosition counts the bits of it already taken (0 to 8; 8 means the byte
// is used up while current still points at it). In byte mode bitPosition is -1.
//
// InflateDecoder reads through a wide bit buffer of its own for speed; it takes the place
// from these fields when a request starts and hands it back (unused whole bytes returned to
// the buffer) when the request ends, so both readers always agree on the position.

#include <cstdint>

#include "imaging/InputByteStream.h"

namespace Veldaro {

class InflateInputStream : public virtual InputByteStream {
 public:
  ~InflateInputStream() override = default;

  // The next bit, 0 or 1.
  std::uint32_t NextBit();
  // The next count bits (0 to 32), the first bit read being the least significant.
  std::uint32_t GetBits(std::uint32_t count);
  // Starts bit mode at bit 0 of the next byte; nothing when bit mode is on already.
  void EnterBitMode();
  // Steps past the byte whose bits were being taken (used up or not) and returns to byte
  // mode, so that byte reads start at the next whole byte.
  void ExitBitMode();

 protected:
  // Refills an empty buffer until a byte comes. When a refill leaves the buffer empty and the
  // input has ended, throws InputByteStream::StreamError "Premature end of file". A refill
  // is asked for only when a byte is really needed, never ahead.
  void RefillForBits();

 private:
  friend class InflateDecoder;
  // Moves current to the byte that holds the next bit (refilling as needed).
  void AdvanceToBit();
};

}  // namespace Veldaro
