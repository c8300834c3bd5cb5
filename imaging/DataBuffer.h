#pragma once
// DataBuffer: a small owning array of a fixed element count (array new, array delete).
// Used for header, row and stream buffers. Indexing is unchecked; the contents of a new
// buffer are undefined.

#include <cstdint>

namespace Veldaro {

template <typename T>
class DataBuffer {
 public:
  explicit DataBuffer(std::uint32_t count) : data(count == 0 ? nullptr : new T[count]), count(count) {}
  ~DataBuffer() {
    delete[] data;
    data = nullptr;
  }
  DataBuffer(const DataBuffer&) = delete;
  DataBuffer& operator=(const DataBuffer&) = delete;

  T& operator[](std::uint32_t i) { return data[i]; }
  const T& operator[](std::uint32_t i) const { return data[i]; }
  T* Data() { return data; }
  const T* Data() const { return data; }
  std::uint32_t Count() const { return count; }

 private:
  T* data;
  std::uint32_t count;
};

}  // namespace Veldaro
