#pragma once
// JpegInputFileStream: the JPEG stream over a file, read in blocks of the buffer size, with
// Tell and Seek for the decoder's count of scans ahead.

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/GraphicsException.h"
#include "imaging/JpegInputStream.h"

namespace Veldaro {

class JpegInputFileStream : public virtual JpegInputStream {
 public:
  // The file cannot be opened.
  class JpegInputStreamError : public GraphicsException {
   public:
    explicit JpegInputStreamError(const std::string& message) : GraphicsException(message) {}
  };

  explicit JpegInputFileStream(std::uint32_t bufferSize);
  ~JpegInputFileStream() override = default;

  // Opens the file in binary mode; throws JpegInputStreamError.
  void Open(const std::string& fileName);

  // Position of the next byte GetByte would deliver.
  std::streampos Tell() override;
  // Leaves bit mode as EndBitInput does, then continues reading at the position.
  void Seek(std::streampos position) override;
  void FillBuffer() override;
  bool EndReached() override { return file.eof(); }

 private:
  std::vector<std::uint8_t> buffer;
  std::ifstream file;
  // File offset just past the bytes read into the buffer so far.
  std::streamoff filePosition = 0;
};

}  // namespace Veldaro
