#pragma once
// Test and fuzz input for the inflate decoder: a byte vector handed over in pieces of chosen
// sizes (empty pieces included), the way IDAT chunks hand over a PNG's compressed data.

#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "imaging/InflateInputStream.h"

namespace TarnwellTest {

class MemoryInflateStream : public Veldaro::InflateInputStream {
 public:
  // A refill after the last piece; thrown only in strict mode.
  struct ReadPastEnd : std::runtime_error {
    ReadPastEnd() : std::runtime_error("read past the end of the input") {}
  };

  // The whole input as one piece.
  explicit MemoryInflateStream(std::vector<std::uint8_t> bytes) : data(std::move(bytes)) {
    pieces.push_back(std::uint32_t(data.size()));
  }
  // The input in pieces of the given sizes (their sum is the input size).
  MemoryInflateStream(std::vector<std::uint8_t> bytes, std::vector<std::uint32_t> sizes)
      : data(std::move(bytes)), pieces(std::move(sizes)) {}

  // In strict mode a refill after the last piece throws ReadPastEnd instead of reporting the
  // end, so a test sees whether the decoder ever asks for more than it needs.
  void SetStrict(bool on) { strict = on; }

  void FillBuffer() override {
    if (nextPiece >= pieces.size()) {
      if (strict) throw ReadPastEnd();
      current = end = nullptr;
      return;
    }
    // Each piece lives in an allocation of its exact size, freed at the next refill, so that
    // reading past a piece or keeping a pointer into an old one is caught by the sanitizer.
    std::uint32_t size = pieces[nextPiece];
    piece = std::make_unique_for_overwrite<std::uint8_t[]>(size == 0 ? 1 : size);
    if (size != 0) std::memcpy(piece.get(), data.data() + offset, size);
    offset += size;
    ++nextPiece;
    ++refills;
    current = piece.get();
    end = piece.get() + size;
  }
  bool EndReached() override { return nextPiece >= pieces.size(); }

  // Bytes of the input not yet handed to the reader (the rest of the buffer and later pieces).
  std::size_t Unread() const { return std::size_t(end - current) + (data.size() - offset); }
  int Refills() const { return refills; }
  std::int32_t BitPosition() const { return bitPosition; }
  bool InBitMode() const { return bitMode; }

 private:
  std::vector<std::uint8_t> data;
  std::vector<std::uint32_t> pieces;
  std::unique_ptr<std::uint8_t[]> piece;
  std::size_t nextPiece = 0;
  std::size_t offset = 0;
  int refills = 0;
  bool strict = false;
};

}  // namespace TarnwellTest
