#pragma once
// JpegInputMemoryStream: the JPEG stream over a file's bytes in memory, beside the file
// stream: the bytes are handed out in blocks of the buffer size as the file stream reads them,
// each block in an allocation of its own (MemoryPieces), with Tell and Seek for the decoder's
// count of scans ahead. The end of the input is known as soon as its last block has been
// handed out (a file stream learns it from a read that comes short).

#include <cstdint>
#include <vector>

#include "imaging/JpegInputStream.h"
#include "imaging/MemoryPieces.h"

namespace Veldaro {

class JpegInputMemoryStream : public virtual JpegInputStream {
 public:
  // A buffer size of 0 hands out all bytes at the first refill.
  explicit JpegInputMemoryStream(std::vector<std::uint8_t> bytes, std::uint32_t bufferSize = 0);

  // Position of the next byte GetByte would deliver.
  std::streampos Tell() override;
  // Leaves bit mode as EndBitInput does, then continues reading at the position.
  void Seek(std::streampos position) override;
  void FillBuffer() override { pieces_.Next(current, end); }
  bool EndReached() override { return pieces_.AtEnd(); }

 private:
  MemoryPieces pieces_;
};

}  // namespace Veldaro
