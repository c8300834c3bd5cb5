#pragma once
// PngInputStream: the chunks of a PNG file, and the compressed image data as one stream.
//
// ReadChunk reads the next chunk whole (length, type and data, CRC-32), tests its CRC and makes
// its data the shared byte buffer. While the inflate decoder draws the image data, every
// refill reads the next chunk, which must be IDAT, so that the data of consecutive IDAT chunks
// form one continuous zlib stream. Reading the file itself is left to the concrete stream.

#include <cstdint>

#include "imaging/InflateInputStream.h"

namespace Veldaro {

class PngInputStream : public virtual InflateInputStream {
 public:
  ~PngInputStream() override = default;

  // The next count bytes of the file, in the concrete stream's buffer (valid until the next
  // raw read).
  virtual void ReadBytes(std::uint32_t count, std::uint8_t*& data) = 0;
  // Hands the data of the next chunk, which must be IDAT, to the inflate decoder.
  void FillBuffer() override;

  // Reads the next chunk and tests its CRC; every failure, the end of the file included, is
  // thrown, so a call that returns returns true.
  bool ReadChunk();

  // The current chunk.
  const std::uint8_t* ChunkType() const { return chunkType; }
  const std::uint8_t* ChunkData() const { return chunkData; }
  std::uint32_t ChunkLength() const { return chunkLength; }
  // True when the current chunk's type is the four bytes of name (letter case included).
  bool ChunkIs(const char* name) const;

 protected:
  virtual std::uint32_t ReadChunkLength() = 0;
  virtual void ReadChunkData(std::uint32_t count, std::uint8_t*& data) = 0;
  virtual std::uint32_t ReadChunkCrc() = 0;

 private:
  std::uint8_t chunkType[4] = {0, 0, 0, 0};
  std::uint8_t* chunkData = nullptr;
  std::uint32_t chunkLength = 0;
};

}  // namespace Veldaro
