#pragma once
// DataBuffer: a small owning array of a fixed element count. Used for header, row and stream
// buffers. Indexing is unchecked; the contents of a new buffer are undefined.

#include <cstdint>
#include <memory>

namespace Veldaro {

template <typename T>
class DataBuffer {
 public:
  explicit DataBuffer(std::uint32_t count)
      : data(count == 0 ? nullptr : std::make_unique_for_overwrite<T[]>(count)), count(count) {}
  DataBuffer(const DataBuffer&) = delete;
  DataBuffer& operator=(const DataBuffer&) = delete;

  T& operator[](std::uint32_t i) { return data[i]; }
  const T& operator[](std::uint32_t i) const { return data[i]; }
  T* Data() { return data.get(); }
  const T* Data() const { return data.get(); }
  std::uint32_t Count() const { return count; }

 private:
  std::unique_ptr<T[]> data;  // null for a count of 0
  std::uint32_t count;
};

}  // namespace Veldaro
