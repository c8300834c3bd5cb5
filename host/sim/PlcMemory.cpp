#include "host/sim/PlcMemory.h"

#include <cstring>

namespace {

// The tables below are indexed by the area's code.
constexpr std::size_t IndexOf(PlcArea area) { return static_cast<std::size_t>(area); }

constexpr std::array<PlcArea, kPlcAreaCount> kAreas = {PlcArea::X, PlcArea::Y, PlcArea::S, PlcArea::R, PlcArea::T};
constexpr std::array<const char*, kPlcAreaCount> kNames = {"X", "Y", "S", "R", "T"};
constexpr std::array<std::uint32_t, kPlcAreaCount> kDefaultSizes = {1024, 1024, 1024, 65536, 16384};
static_assert(kDefaultSizes[IndexOf(PlcArea::R)] <= kPlcAreaMaxSize);

}  // namespace

std::optional<PlcArea> PlcAreaOfName(std::string_view name) {
  if (name.size() != 1) return std::nullopt;
  char c = name[0];
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  for (std::size_t i = 0; i < kPlcAreaCount; ++i)
    if (kNames[i][0] == c) return kAreas[i];
  return std::nullopt;
}

const char* PlcAreaName(PlcArea area) { return kNames[IndexOf(area)]; }

std::uint8_t PlcAreaCode(PlcArea area) { return static_cast<std::uint8_t>(area); }

std::optional<PlcArea> PlcAreaOfCode(std::uint8_t code) {
  if (code >= kPlcAreaCount) return std::nullopt;
  return kAreas[code];
}

std::uint8_t PlcAreaMemoryCode(PlcArea area) { return static_cast<std::uint8_t>(IndexOf(area) + 1); }

PlcMemory::PlcMemory() {
  for (std::size_t i = 0; i < kPlcAreaCount; ++i) areas_[i].assign(kDefaultSizes[i], 0);
}

std::vector<std::uint8_t>& PlcMemory::AreaBytes(PlcArea area) { return areas_[IndexOf(area)]; }
const std::vector<std::uint8_t>& PlcMemory::AreaBytes(PlcArea area) const { return areas_[IndexOf(area)]; }

bool PlcMemory::SetAreaSize(PlcArea area, std::uint32_t size) {
  if (size > kPlcAreaMaxSize) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  AreaBytes(area).assign(size, 0);
  return true;
}

std::uint32_t PlcMemory::AreaSize(PlcArea area) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<std::uint32_t>(AreaBytes(area).size());
}

bool PlcMemory::RangeOk(PlcArea area, std::uint32_t address, std::uint32_t count) const {
  std::uint64_t end = std::uint64_t{address} + count;
  return end <= AreaBytes(area).size();
}

std::uint8_t* PlcMemory::BytesUnlocked(PlcArea area, std::uint32_t address) { return AreaBytes(area).data() + address; }

bool PlcMemory::Read(PlcArea area, std::uint32_t address, std::uint32_t count, std::uint8_t* out) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!RangeOk(area, address, count)) return false;
  if (count) std::memcpy(out, AreaBytes(area).data() + address, count);
  return true;
}

bool PlcMemory::Write(PlcArea area, std::uint32_t address, std::uint32_t count, const std::uint8_t* data) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!RangeOk(area, address, count)) return false;
  if (count) std::memcpy(AreaBytes(area).data() + address, data, count);
  return true;
}

bool PlcMemory::ReadBit(PlcArea area, std::uint32_t address, int bit, bool* value) const {
  if (bit < 0 || bit > 7) return false;
  std::uint8_t b = 0;
  if (!Read(area, address, 1, &b)) return false;
  *value = (b >> bit) & 1;
  return true;
}

bool PlcMemory::WriteBit(PlcArea area, std::uint32_t address, int bit, bool value) {
  if (bit < 0 || bit > 7) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  if (!RangeOk(area, address, 1)) return false;
  std::uint8_t& b = AreaBytes(area)[address];
  b = static_cast<std::uint8_t>(value ? (b | (1u << bit)) : (b & ~(1u << bit)));
  return true;
}
