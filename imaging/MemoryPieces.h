#pragma once
// MemoryPieces: the bytes of an input held in memory, handed out piece by piece as a file
// stream hands out the blocks it reads, for the memory streams of the decoders.
//
// Each piece is a copy in an allocation of exactly its size, released when the next piece is
// taken, as a file stream's buffer is refilled: a reader that runs past the end of a piece, or
// keeps a pointer into an earlier one, reads outside memory it was given.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace Veldaro {

class MemoryPieces {
 public:
  // Pieces of at most pieceSize bytes; 0 hands out all bytes as one piece.
  MemoryPieces(std::vector<std::uint8_t> bytes, std::uint32_t pieceSize);

  // Takes the next piece: first and last are its bounds, both null when no bytes are left.
  // The piece stays valid until the next call.
  void Next(std::uint8_t*& first, std::uint8_t*& last);
  // Every byte has been handed out.
  bool AtEnd() const { return position_ >= bytes_.size(); }
  // The offset just past the bytes handed out so far.
  std::size_t Position() const { return position_; }
  // The next piece starts at offset (at most the size of the input).
  void MoveTo(std::size_t offset);

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t pieceSize_;
  std::size_t position_ = 0;
  std::unique_ptr<std::uint8_t[]> piece_;
};

}  // namespace Veldaro
