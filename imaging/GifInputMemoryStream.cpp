#include "imaging/GifInputMemoryStream.h"

#include <utility>

namespace Veldaro {

GifInputMemoryStream::GifInputMemoryStream(std::vector<std::uint8_t> bytes, std::uint32_t bufferSize)
    : pieces_(std::move(bytes), bufferSize) {}

std::streampos GifInputMemoryStream::Tell() {
  const std::size_t waiting = current < end ? std::size_t(end - current) : 0;
  return std::streampos(std::streamoff(pieces_.Position() - waiting));
}

void GifInputMemoryStream::Seek(std::streampos position) {
  if (bitMode) ExitBitMode();
  pieces_.MoveTo(position < 0 ? 0 : std::size_t(std::streamoff(position)));
  current = end = nullptr;
}

}  // namespace Veldaro
