#include "imaging/PngInputMemoryStream.h"

#include <cstring>
#include <utility>

namespace Veldaro {

PngInputMemoryStream::PngInputMemoryStream(std::vector<std::uint8_t> data) : bytes_(std::move(data)) {}

PngInputMemoryStream::PngInputMemoryStream(const std::uint8_t* data, std::size_t size) : bytes_(data, data + size) {}

void PngInputMemoryStream::PrematureEnd() {
  pastEnd_ = true;
  throw StreamError("Premature End of File");
}

void PngInputMemoryStream::ReadBytes(std::uint32_t count, std::uint8_t*& data) {
  // Refused before anything is allocated: a count beyond the rest of the bytes cannot be read.
  if (count > bytes_.size() - position_) PrematureEnd();
  piece_ = std::make_unique_for_overwrite<std::uint8_t[]>(count == 0 ? 1 : count);
  if (count != 0) std::memcpy(piece_.get(), bytes_.data() + position_, count);
  position_ += count;
  data = piece_.get();
}

std::uint32_t PngInputMemoryStream::ReadBigEndian32() {
  if (bytes_.size() - position_ < 4) PrematureEnd();
  const std::uint8_t* p = bytes_.data() + position_;
  position_ += 4;
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

}  // namespace Veldaro
