#include "imaging/PngInputStream.h"

#include <cstring>

#include "base/Crc.h"

namespace Veldaro {

namespace {

// Fuzz builds take every chunk as it comes: nearly every mutated file would otherwise fail
// its CRC at the first changed chunk, before the decoder looks at anything it holds. The
// definition is set only for the fuzz targets' own copy of the decoders.
#if defined(TARNWELL_FUZZING)
constexpr bool kTestChunkCrc = false;
#else
constexpr bool kTestChunkCrc = true;
#endif

}  // namespace

bool PngInputStream::ChunkIs(const char* name) const { return std::memcmp(chunkType, name, 4) == 0; }

bool PngInputStream::ReadChunk() {
  std::uint32_t length = ReadChunkLength();
  // The format allows at most 2^31 - 1 data bytes; a larger length (which would also wrap the
  // count of type and data bytes) cannot belong to a readable file.
  if (length > 0x7FFFFFFFu) throw StreamError("Premature End of File");
  std::uint8_t* bytes = nullptr;
  ReadChunkData(length + 4, bytes);
  std::uint32_t storedCrc = ReadChunkCrc();
  Crc32 crc;
  crc.Update(bytes, length + 4);
  if (kTestChunkCrc && crc.Value() != storedCrc) throw StreamError("Invalid Chunk CRC");
  std::memcpy(chunkType, bytes, 4);
  chunkData = bytes + 4;
  chunkLength = length;
  current = chunkData;
  end = chunkData + length;
  return true;
}

void PngInputStream::FillBuffer() {
  ReadChunk();
  if (!ChunkIs("IDAT")) throw StreamError("Missing IDAT Chunk");
}

}  // namespace Veldaro
