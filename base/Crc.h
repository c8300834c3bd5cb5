#pragma once
// The two checksums of the system.
//
// Crc32: the CRC-32 of zlib and PNG (reflected polynomial 0xEDB88320, initial
// value and final XOR 0xFFFFFFFF). Crc16: polynomial 0x0049, most significant bit
// first, initial value 0, no final XOR, returned with its two bytes exchanged;
// it guards the texts the PLC side receives.

#include <cstddef>
#include <cstdint>

class Crc32 {
 public:
  Crc32() = default;
  void Reset() { value_ = 0xFFFFFFFFu; }
  void Update(const void* bytes, std::uint32_t length);
  // The checksum of every byte given since construction or the last Reset.
  std::uint32_t Value() const { return ~value_; }

  // One-shot checksum of a block.
  static std::uint32_t Of(const void* bytes, std::uint32_t length);

 private:
  std::uint32_t value_ = 0xFFFFFFFFu;
};

// The module's shared instance, for callers on the user-interface thread.
extern Crc32 SharedCrc32;

// CRC-16 of the bytes with its two bytes exchanged; 0 for a length of 0 or less.
std::uint16_t Crc16(const void* bytes, std::int32_t length);

// The four bytes in reverse order.
inline std::uint32_t SwapBytes32(std::uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

// The inner loops behind Crc32::Update, each taking and returning the running
// value (not inverted). Update picks the fastest one the processor has; tests
// and benchmarks call them one by one.
namespace Crc32Kernels {
// Table-driven, sixteen bytes a step; runs everywhere.
std::uint32_t UpdateSliced(std::uint32_t running, const unsigned char* p, std::size_t n);
// Carry-less multiplication (x86-64 PCLMULQDQ); only when HasCarrylessMultiply().
std::uint32_t UpdateCarryless(std::uint32_t running, const unsigned char* p, std::size_t n);
bool HasCarrylessMultiply();
}  // namespace Crc32Kernels
