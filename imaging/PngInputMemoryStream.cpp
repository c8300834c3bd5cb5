#include "imaging/PngInputMemoryStream.h"

#include <cstring>
#include <utility>

namespace Veldaro {

PngInputMemoryStream::PngInputMemoryStream(std::vector<std::uint8_t> data) : bytes(std::move(data)) {}

PngInputMemoryStream::PngInputMemoryStream(const std::uint8_t* data, std::size_t size) : bytes(data, data + size) {}

void PngInputMemoryStream::PrematureEnd() {
  pastEnd = true;
  throw StreamError("Premature End of File");
}

void PngInputMemoryStream::ReadBytes(std::uint32_t count, std::uint8_t*& data) {
  // Refused before anything is allocated: a count beyond the rest of the bytes cannot be read.
  if (count > bytes.size() - position) PrematureEnd();
  piece = std::make_unique_for_overwrite<std::uint8_t[]>(count == 0 ? 1 : count);
  if (count != 0) std::memcpy(piece.get(), bytes.data() + position, count);
  position += count;
  data = piece.get();
}

std::uint32_t PngInputMemoryStream::ReadBigEndian32() {
  if (bytes.size() - position < 4) PrematureEnd();
  const std::uint8_t* p = bytes.data() + position;
  position += 4;
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

}  // namespace Veldaro
