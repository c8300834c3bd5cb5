#pragma once
// GifInputFileStream: the GIF stream over a file, read in blocks of the buffer size.

#include <cstdint>
#include <exception>
#include <fstream>
#include <string>

#include "imaging/DataBuffer.h"
#include "imaging/GifInputStream.h"

namespace Veldaro {

class GifInputFileStream : public GifInputStream {
 public:
  // The file cannot be opened.
  class GifInputStreamError : public std::exception {
   public:
    explicit GifInputStreamError(const std::string& message) : message(message) {}
    const char* what() const noexcept override { return message.c_str(); }

   private:
    std::string message;
  };

  // A buffer size of 0 means 65,536 bytes.
  explicit GifInputFileStream(std::uint32_t bufferSize = 0);
  ~GifInputFileStream() override;

  // Opens the file in binary mode (closing one opened before); throws GifInputStreamError.
  void Open(const std::string& fileName);

  std::streampos Tell() override;
  void Seek(std::streampos position) override;
  void FillBuffer() override;
  bool EndReached() override { return endOfFile; }

 private:
  DataBuffer<std::uint8_t> buffer;
  std::ifstream file;
  bool endOfFile = false;
};

}  // namespace Veldaro
