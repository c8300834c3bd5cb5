#include "imaging/MemoryPieces.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace Veldaro {

MemoryPieces::MemoryPieces(std::vector<std::uint8_t> data, std::uint32_t size)
    : bytes_(std::move(data)), pieceSize_(size == 0 ? bytes_.size() : size) {}

void MemoryPieces::Next(std::uint8_t*& first, std::uint8_t*& last) {
  const std::size_t count = std::min(pieceSize_, bytes_.size() - position_);
  if (count == 0) {
    piece_.reset();
    first = last = nullptr;
    return;
  }
  piece_ = std::make_unique_for_overwrite<std::uint8_t[]>(count);
  std::memcpy(piece_.get(), bytes_.data() + position_, count);
  position_ += count;
  first = piece_.get();
  last = first + count;
}

void MemoryPieces::MoveTo(std::size_t offset) { position_ = std::min(offset, bytes_.size()); }

}  // namespace Veldaro
