#include "platform/com/Bstr.h"

#include <cstdlib>
#include <cstring>

// A BSTR points just behind a 32-bit byte count; the characters end in a NUL.
// The block is allocated with room for the count and the NUL.

BSTR SysAllocStringLen(const OLECHAR* text, std::uint32_t length) {
  if (length > 0x3FFFFFF0u) return nullptr;
  std::size_t bytes = sizeof(std::uint32_t) + (static_cast<std::size_t>(length) + 1) * sizeof(OLECHAR);
  auto* block = static_cast<unsigned char*>(std::malloc(bytes));
  if (block == nullptr) return nullptr;
  std::uint32_t byteCount = length * static_cast<std::uint32_t>(sizeof(OLECHAR));
  std::memcpy(block, &byteCount, sizeof byteCount);
  auto* chars = reinterpret_cast<OLECHAR*>(block + sizeof(std::uint32_t));
  if (text != nullptr)
    std::memcpy(chars, text, length * sizeof(OLECHAR));
  else
    std::memset(chars, 0, length * sizeof(OLECHAR));
  chars[length] = 0;
  return chars;
}

BSTR SysAllocString(const OLECHAR* text) {
  if (text == nullptr) return nullptr;
  std::uint32_t length = 0;
  while (text[length] != 0) ++length;
  return SysAllocStringLen(text, length);
}

void SysFreeString(BSTR text) {
  if (text == nullptr) return;
  std::free(reinterpret_cast<unsigned char*>(text) - sizeof(std::uint32_t));
}

std::uint32_t SysStringLen(BSTR text) {
  if (text == nullptr) return 0;
  std::uint32_t byteCount = 0;
  std::memcpy(&byteCount, reinterpret_cast<unsigned char*>(text) - sizeof(std::uint32_t), sizeof byteCount);
  return byteCount / static_cast<std::uint32_t>(sizeof(OLECHAR));
}

BSTR SysAllocStringOf(std::u16string_view text) {
  if (text.size() > 0x3FFFFFF0u) return nullptr;
  return SysAllocStringLen(text.data(), static_cast<std::uint32_t>(text.size()));
}

std::u16string BstrToWide(BSTR text) {
  if (text == nullptr) return {};
  return std::u16string(text, SysStringLen(text));
}

std::u16string WideFromOleString(const OLECHAR* text) {
  if (text == nullptr) return {};
  return std::u16string(text);
}
