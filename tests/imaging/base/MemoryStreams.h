#pragma once
// Streams over bytes in memory for the stream tests: the data is handed out in chunks of
// given sizes (a chunk of 0 bytes is an empty refill that is not the end of the input).

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/GifInputStream.h"
#include "imaging/InputByteStream.h"

namespace ImagingTest {

template <typename Base>
class ChunkedStream : public Base {
 public:
  ChunkedStream(std::vector<std::uint8_t> data, std::vector<std::uint32_t> chunks)
      : data(std::move(data)), chunks(std::move(chunks)) {}

  void FillBuffer() override {
    ++fills;
    std::uint32_t size = next < chunks.size() ? chunks[next] : (chunks.empty() ? 1 : chunks.back());
    ++next;
    if (position + size > data.size()) size = std::uint32_t(data.size() - position);
    // Each refill gets its own allocation of exactly its bytes, so a reader that keeps a stale
    // pointer or reads past the refill is caught by ASan.
    buffer.reset();
    position += size;
    if (size == 0) {
      this->current = this->end = nullptr;
    } else {
      buffer = std::make_unique_for_overwrite<std::uint8_t[]>(size);
      std::copy(data.begin() + std::ptrdiff_t(position - size), data.begin() + std::ptrdiff_t(position), buffer.get());
      this->current = buffer.get();
      this->end = buffer.get() + size;
    }
  }
  bool EndReached() override { return position >= data.size(); }
  int fills = 0;

 private:
  std::vector<std::uint8_t> data;
  std::vector<std::uint32_t> chunks;
  std::unique_ptr<std::uint8_t[]> buffer;
  std::size_t next = 0;
  std::size_t position = 0;
};

using MemoryByteStream = ChunkedStream<Veldaro::InputByteStream>;
using MemoryGifStream = ChunkedStream<Veldaro::GifInputStream>;

}  // namespace ImagingTest
