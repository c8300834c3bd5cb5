#pragma once
// The simulated PLC's memory image: five areas (X inputs, Y outputs, S system,
// R registers, T tables), each an array of bytes addressed by byte offset.
//
// An area has a one-byte code, the one the plug-in reads from the host's
// position queries and web variable map: 0 X, 1 Y, 2 S, 3 R, 4 T. The first
// byte of a memory service's request header is built as the area code plus
// the address's bits 16 and up; with codes this close together those bits
// would land on the next area's code, so every area is at most 64 KiB long,
// an address fits in the u16 that follows, and that byte is the area code.
//
// The image is shared by the communication-loop thread (the memory services)
// and the user-interface thread (tests, the host's tools); every access takes
// the image's lock, and a batch of the memory services is applied under one
// lock so that the other side never sees half a batch.

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class PlcArea : std::uint8_t { X = 0, Y = 1, S = 2, R = 3, T = 4 };
inline constexpr std::size_t kPlcAreaCount = 5;

// The area of a letter ("X", "y", ...); none for anything else.
std::optional<PlcArea> PlcAreaOfName(std::string_view name);
// The letter of an area ("X").
const char* PlcAreaName(PlcArea area);
// The code byte of an area (0 X to 4 T), as the host reports it.
std::uint8_t PlcAreaCode(PlcArea area);
// The area of a code byte, none when the byte names no area.
std::optional<PlcArea> PlcAreaOfCode(std::uint8_t code);
// The memory code the web variable map gives an area: 1 (X) to 5 (T).
std::uint8_t PlcAreaMemoryCode(PlcArea area);

inline constexpr std::uint32_t kPlcAreaMaxSize = 0x10000;  // 64 KiB: an address is a u16

class PlcMemory {
 public:
  // Every area starts zero-filled with its default size (X, Y, S: 1 KiB;
  // R: 64 KiB; T: 16 KiB).
  PlcMemory();

  // Resizes an area (zero-filled, at most kPlcAreaMaxSize); false when too big.
  bool SetAreaSize(PlcArea area, std::uint32_t size);
  std::uint32_t AreaSize(PlcArea area) const;

  // Bytes at [address, address + count) of the area; false (nothing copied)
  // when the range leaves the area.
  bool Read(PlcArea area, std::uint32_t address, std::uint32_t count, std::uint8_t* out) const;
  bool Write(PlcArea area, std::uint32_t address, std::uint32_t count, const std::uint8_t* data);
  // One bit (0..7) of a byte.
  bool ReadBit(PlcArea area, std::uint32_t address, int bit, bool* value) const;
  bool WriteBit(PlcArea area, std::uint32_t address, int bit, bool value);

  // Runs `work` with the image locked, for batches that must apply whole.
  template <class F>
  auto Locked(F&& work) {
    std::lock_guard<std::mutex> lock(mutex_);
    return work(*this);
  }
  // The unlocked forms, for use inside Locked.
  bool RangeOk(PlcArea area, std::uint32_t address, std::uint32_t count) const;
  std::uint8_t* BytesUnlocked(PlcArea area, std::uint32_t address);

 private:
  std::vector<std::uint8_t>& AreaBytes(PlcArea area);
  const std::vector<std::uint8_t>& AreaBytes(PlcArea area) const;

  mutable std::mutex mutex_;
  std::array<std::vector<std::uint8_t>, kPlcAreaCount> areas_;
};
