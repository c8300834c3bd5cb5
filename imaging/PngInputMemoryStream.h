#pragma once
// PngInputMemoryStream: the PNG chunk stream over a file's bytes in memory, beside the file
// stream: it reads and fails as the file stream does (the same "Premature End of File" when
// the bytes end inside a chunk), without touching the disk.
//
// Each read hands out a copy of exactly the bytes asked for, in an allocation of its own that
// the next read replaces, as the file stream's buffer is reused: a reader that runs past a
// chunk, or keeps a pointer into an earlier one, reads outside memory it was given.

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/PngInputStream.h"

namespace Veldaro {

class PngInputMemoryStream : public virtual PngInputStream {
 public:
  explicit PngInputMemoryStream(std::vector<std::uint8_t> bytes);
  PngInputMemoryStream(const std::uint8_t* bytes, std::size_t size);
  ~PngInputMemoryStream() override = default;

  void ReadBytes(std::uint32_t count, std::uint8_t*& data) override;
  // Like a file's end-of-file state: set once a read has run past the end of the bytes.
  bool EndReached() override { return pastEnd_; }

 protected:
  std::uint32_t ReadChunkLength() override { return ReadBigEndian32(); }
  void ReadChunkData(std::uint32_t count, std::uint8_t*& data) override { ReadBytes(count, data); }
  std::uint32_t ReadChunkCrc() override { return ReadBigEndian32(); }

 private:
  std::uint32_t ReadBigEndian32();
  [[noreturn]] void PrematureEnd();

  std::vector<std::uint8_t> bytes_;
  std::size_t position_ = 0;
  bool pastEnd_ = false;
  std::unique_ptr<std::uint8_t[]> piece_;  // the bytes of the last read
};

}  // namespace Veldaro
