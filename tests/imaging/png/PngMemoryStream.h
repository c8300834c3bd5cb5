#pragma once
// A PNG chunk stream over bytes in memory, for tests, fuzzing and benchmarks: reads like the
// file stream (the same failures at the end of the data) without touching the disk.

#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/PngInputStream.h"

namespace TarnwellTest {

class PngMemoryStream : public Veldaro::PngInputStream {
 public:
  // With exactCopies, every read gets an allocation of exactly its size (tests and fuzzing:
  // the sanitizer sees a read past a chunk); without, the buffer is reused (benchmarks).
  PngMemoryStream(const std::uint8_t* bytes, std::size_t size, bool exactCopies = true)
      : bytes(bytes), size(size), exactCopies(exactCopies) {}
  explicit PngMemoryStream(const std::vector<std::uint8_t>& v, bool exactCopies = true)
      : PngMemoryStream(v.data(), v.size(), exactCopies) {}

  void ReadBytes(std::uint32_t count, std::uint8_t*& data) override {
    if (count > size - position) End();
    // A copy of exactly the bytes asked for, so that reading past a chunk is caught by the
    // sanitizer; the previous chunk's copy is released, as the file stream reuses its buffer.
    buffer.assign(bytes + position, bytes + position + count);
    if (exactCopies) buffer.shrink_to_fit();
    position += count;
    data = buffer.data();
  }
  // Like a file's end-of-file state: set once a read has run past the end.
  bool EndReached() override { return pastEnd; }

 protected:
  std::uint32_t ReadChunkLength() override { return Read32(); }
  void ReadChunkData(std::uint32_t count, std::uint8_t*& data) override { ReadBytes(count, data); }
  std::uint32_t ReadChunkCrc() override { return Read32(); }

 private:
  [[noreturn]] void End() {
    pastEnd = true;
    throw StreamError("Premature End of File");
  }
  std::uint32_t Read32() {
    if (size - position < 4) End();
    const std::uint8_t* p = bytes + position;
    position += 4;
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
  }

  const std::uint8_t* bytes;
  std::size_t size;
  bool exactCopies;
  bool pastEnd = false;
  std::size_t position = 0;
  std::vector<std::uint8_t> buffer;
};

}  // namespace TarnwellTest
