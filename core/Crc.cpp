#include "core/Crc.h"

#include <array>

namespace {

constexpr std::array<std::uint32_t, 256> MakeTable() {
  std::array<std::uint32_t, 256> t{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : (c >> 1);
    t[i] = c;
  }
  return t;
}

constexpr std::array<std::uint32_t, 256> kTable = MakeTable();

}  // namespace

Crc32 SharedCrc32;

void Crc32::Update(const void* bytes, std::uint32_t length) {
  const auto* p = static_cast<const unsigned char*>(bytes);
  std::uint32_t c = FValue;
  for (std::uint32_t i = 0; i < length; ++i) c = kTable[(c ^ p[i]) & 0xFF] ^ (c >> 8);
  FValue = c;
}

std::uint32_t Crc32::Of(const void* bytes, std::uint32_t length) {
  Crc32 crc;
  crc.Update(bytes, length);
  return crc.Value();
}

std::uint16_t Crc16(const void* bytes, std::int32_t length) {
  if (length <= 0) return 0;
  const auto* p = static_cast<const unsigned char*>(bytes);
  std::uint16_t c = 0;
  for (std::int32_t i = 0; i < length; ++i) {
    c = static_cast<std::uint16_t>(c ^ (p[i] << 8));
    for (int k = 0; k < 8; ++k)
      c = (c & 0x8000) ? static_cast<std::uint16_t>((c << 1) ^ 0x0049) : static_cast<std::uint16_t>(c << 1);
  }
  return static_cast<std::uint16_t>((c << 8) | (c >> 8));
}
