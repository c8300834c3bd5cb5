#pragma once
// The simulated PLC's memory image: five areas (X inputs, Y outputs, S system,
// R registers, T tables), each an array of bytes addressed by byte offset.
//
// An area has a one-byte code. The codes are spaced 0x20 apart, so that the
// request headers of the memory services, whose first byte is the area code
// plus the address's bits 16 and up, name one area and one address:
// code = byte & 0xE0, address = ((byte & 0x1F) << 16) | the u16 that follows.
// Every area is at most 2 MiB long for that reason.
//
// The image is shared by the communication-loop thread (the memory services)
// and the user-interface thread (tests, the host's tools); every access takes
// the image's lock, and a batch of the memory services is applied under one
// lock so that the other side never sees half a batch.

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class PlcArea : std::uint8_t { X = 0x20, Y = 0x40, S = 0x60, R = 0x80, T = 0xA0 };

// The area of a letter ("X", "y", ...); none for anything else.
std::optional<PlcArea> PlcAreaOfName(std::string_view name);
// The letter of an area ("X").
const char* PlcAreaName(PlcArea area);
// The area of a code byte, none when the byte names no area.
std::optional<PlcArea> PlcAreaOfCode(std::uint8_t code);
// The memory code the web variable map gives an area: 1 (X) to 5 (T).
std::uint8_t PlcAreaMemoryCode(PlcArea area);

inline constexpr std::uint32_t kPlcAreaMaxSize = 0x200000;  // 2 MiB: 5 bits above the u16

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
  std::vector<std::uint8_t> areas_[5];
};
