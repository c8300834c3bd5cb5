#include "imaging/MemoryPieces.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace Veldaro {

MemoryPieces::MemoryPieces(std::vector<std::uint8_t> data, std::uint32_t size)
    : bytes(std::move(data)), pieceSize(size == 0 ? bytes.size() : size) {}

void MemoryPieces::Next(std::uint8_t*& first, std::uint8_t*& last) {
  const std::size_t count = std::min(pieceSize, bytes.size() - position);
  if (count == 0) {
    piece.reset();
    first = last = nullptr;
    return;
  }
  piece = std::make_unique_for_overwrite<std::uint8_t[]>(count);
  std::memcpy(piece.get(), bytes.data() + position, count);
  position += count;
  first = piece.get();
  last = first + count;
}

void MemoryPieces::MoveTo(std::size_t offset) { position = std::min(offset, bytes.size()); }

}  // namespace Veldaro
