#include "imaging/InputByteStream.h"

#include <cstring>

namespace Veldaro {

std::streampos InputByteStream::Tell() { return std::streampos(0); }

void InputByteStream::Seek(std::streampos) {}

void InputByteStream::RefillForByte() {
  // A refill may deliver nothing without the input having ended (an empty PNG data chunk),
  // so refill until a byte comes or the input reports its end.
  while (current >= end) {
    if (EndReached()) throw StreamError("Premature end of file");
    FillBuffer();
  }
}

std::uint32_t InputByteStream::Read(void* destination, std::uint32_t count) {
  auto* out = static_cast<std::uint8_t*>(destination);
  std::uint32_t left = current < end ? std::uint32_t(end - current) : 0;
  if (count <= left) {
    if (count != 0) std::memcpy(out, current, count);
    current += count;
    return count;
  }
  if (left != 0) std::memcpy(out, current, left);
  current = end;
  std::uint32_t delivered = left;
  count -= left;
  while (count > 0 && MoreData()) {
    FillBuffer();
    std::uint32_t available = current < end ? std::uint32_t(end - current) : 0;
    if (count <= available) {
      std::memcpy(out + delivered, current, count);
      current += count;
      return delivered + count;
    }
    if (available != 0) std::memcpy(out + delivered, current, available);
    current = end;
    delivered += available;
    count -= available;
  }
  return delivered;
}

std::uint16_t InputByteStream::GetBigEndianWord() {
  std::uint8_t bytes[2] = {0, 0};
  Read(bytes, 2);
  return std::uint16_t(bytes[0] << 8 | bytes[1]);
}

std::uint16_t InputByteStream::GetWord() {
  std::uint8_t bytes[2] = {0, 0};
  Read(bytes, 2);
  return std::uint16_t(bytes[1] << 8 | bytes[0]);
}

std::uint32_t InputByteStream::GetBigEndianLong() {
  std::uint8_t bytes[4] = {0, 0, 0, 0};
  Read(bytes, 4);
  return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 | bytes[3];
}

}  // namespace Veldaro
