#pragma once
// Request and answer bytes of the simulated PLC's services, built by hand in
// the tests so that the layouts are checked byte by byte.

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline void PutU32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline std::uint32_t U32At(const Bytes& b, std::size_t at) {
  return std::uint32_t{b.at(at)} | (std::uint32_t{b.at(at + 1)} << 8) | (std::uint32_t{b.at(at + 2)} << 16) |
         (std::uint32_t{b.at(at + 3)} << 24);
}

inline Bytes OpenRequest(const std::string& path, std::uint8_t mode, std::uint32_t value) {
  Bytes b{2, mode};
  PutU32(b, value);
  b.insert(b.end(), path.begin(), path.end());
  b.push_back(0);
  return b;
}

inline Bytes CloseRequest(std::uint32_t handle, const Bytes& created, const Bytes& written, std::uint32_t attributes) {
  Bytes b{3, 0};
  PutU32(b, handle);
  b.insert(b.end(), created.begin(), created.end());
  b.insert(b.end(), written.begin(), written.end());
  PutU32(b, attributes);
  return b;
}

inline Bytes ReadRequest(std::uint32_t handle, std::uint32_t offset, std::uint32_t count) {
  Bytes b{4};
  PutU32(b, handle);
  PutU32(b, offset);
  PutU32(b, count);
  return b;
}

inline Bytes WriteRequest(std::uint32_t handle, std::uint32_t offset, const Bytes& data) {
  Bytes b{5};
  PutU32(b, handle);
  PutU32(b, offset);
  PutU32(b, static_cast<std::uint32_t>(data.size()));
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

// A 4-byte memory header: area code + address bits 16.., address low word, last byte.
inline void PutHeader(Bytes& b, std::uint8_t area, std::uint32_t address, std::uint8_t last) {
  b.push_back(static_cast<std::uint8_t>(area + (address >> 16)));
  b.push_back(static_cast<std::uint8_t>(address & 0xFF));
  b.push_back(static_cast<std::uint8_t>((address >> 8) & 0xFF));
  b.push_back(last);
}
