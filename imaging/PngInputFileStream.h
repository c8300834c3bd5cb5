#pragma once
// PngInputFileStream: the PNG chunk stream over a file. Chunks are read whole, straight from
// the file, into a buffer that grows to the largest chunk; the chunk layer then makes a
// chunk's data the shared byte buffer.

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/PngInputStream.h"

namespace Veldaro {

class PngInputFileStream : public virtual PngInputStream {
 public:
  explicit PngInputFileStream(std::uint32_t bufferSize);
  ~PngInputFileStream() override = default;

  // Opens the file in binary mode; never throws. IsOpen tells whether it worked.
  void Open(const std::string& fileName);
  // The file is open and neither its fail nor its bad state is set.
  bool IsOpen() const { return file.is_open() && !file.fail() && !file.bad(); }

  // Each of these throws InputByteStream::StreamError "Premature End of File" when the file
  // holds fewer bytes than asked for; a count beyond the rest of the file is refused before
  // anything is allocated.
  void ReadBytes(std::uint32_t count, std::uint8_t*& data) override;
  std::uint32_t ReadChunkLength() override;
  void ReadChunkData(std::uint32_t count, std::uint8_t*& data) override;
  std::uint32_t ReadChunkCrc() override;
  bool EndReached() override { return file.eof(); }

 private:
  std::uint32_t ReadBigEndian32();

  std::vector<std::uint8_t> buffer;  // grows to the largest chunk and is reused
  std::ifstream file;
  std::uint64_t fileSize = 0;
  std::uint64_t filePosition = 0;
};

}  // namespace Veldaro
