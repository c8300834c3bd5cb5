#pragma once
// JpegInputStream: the bit input of the entropy-coded data of a JPEG scan.
//
// Bits are taken most significant first; a byte 0xFF of the data is followed by a stuffed
// 0x00, which is skipped, and any other byte after 0xFF is a marker that ends the data.
//
// The bits are gathered into a 64-bit buffer ahead of use. The fast refill (FillBits) only
// takes bytes that are already in the byte stream's buffer and stops in front of a marker or
// at the end of the buffer without complaint, so it never fails. When an operation needs more
// bits than it has gathered, the exact path (NextBit, Receive) steps on byte by byte, refills
// the byte buffer and reports a marker or the end of the data with the texts of the operation
// that met it, at the same bit the byte-by-byte reading would. EndBitInput gives back the
// whole bytes that were gathered but not used, so the byte stream then stands on the first byte
// after the last one whose bits were read, as if the data had been read one byte at a time.

#include <cstdint>

#include "imaging/InputByteStream.h"

namespace Veldaro {

class JpegInputStream : public virtual InputByteStream {
 public:
  JpegInputStream() = default;
  ~JpegInputStream() override = default;

  // Enters bit mode at the current byte; nothing when in bit mode already.
  void StartBitInput();
  // Leaves bit mode: the byte whose bits were being read is stepped over (with the 0x00 after
  // a 0xFF), unread whole bytes are given back to the byte stream.
  void EndBitInput();
  // The next bit (0 or 1).
  std::int32_t NextBit() {
    if (bitCount == 0) {
      FillBits();
      if (bitCount == 0) FetchByte(NextBitTexts);
    }
    std::int32_t bit = std::int32_t(bitBuffer >> 63);
    bitBuffer <<= 1;
    --bitCount;
    return bit;
  }
  // The next count bits (0 to 16), most significant first, right-aligned; 0 for a count of 0.
  std::uint32_t Receive(std::uint32_t count) {
    if (count == 0) return 0;
    if (bitCount < count) EnsureBits(count);
    std::uint32_t value = std::uint32_t(bitBuffer >> (64 - count));
    bitBuffer <<= count;
    bitCount -= count;
    return value;
  }

  // The fast layer used by the Huffman and block decoders: gather bits from the bytes in the
  // buffer (never fails), look at the gathered bits and use them.
  void FillBits() {
    if (bitCount <= 56) FillBitsFromBuffer();
  }
  std::uint32_t BitCount() const { return bitCount; }
  // The next count bits (1 to 32) without using them; count must not exceed BitCount().
  std::uint32_t PeekBits(std::uint32_t count) const { return std::uint32_t(bitBuffer >> (64 - count)); }
  // Uses count gathered bits (at most BitCount()).
  void SkipBits(std::uint32_t count) {
    bitBuffer <<= count;
    bitCount -= count;
  }

 private:
  // The block decoders' bit input, which works on this state directly.
  friend class JpegBitReader;

  // Which texts a failed step reports: NextBit's own or those of Receive.
  enum FailureTexts : std::uint8_t { NextBitTexts, ReceiveTexts };
  // What the byte after a gathered 0xFF was, when it was not the stuffed 0x00.
  enum PendingStop : std::uint8_t { NoStop, MarkerAfterFF, EndAfterFF };

  void FillBitsFromBuffer();
  // Gathers bytes with the exact path until count bits are there.
  void EnsureBits(std::uint32_t count);
  // Steps on to the next data byte and gathers its bits; may refill the byte buffer.
  void FetchByte(FailureTexts texts);
  // Refills the byte buffer; false when the input has ended.
  bool Refill();

  std::uint64_t bitBuffer = 0;  // gathered bits, the next one in bit 63
  std::uint32_t bitCount = 0;   // number of gathered bits
  PendingStop pending = NoStop;
  std::uint8_t* startByte = nullptr;  // where bit input started
  std::uint8_t* floorByte = nullptr;  // first byte gathered from the present buffer
  bool refilled = false;              // the byte buffer was refilled in bit mode
};

}  // namespace Veldaro
