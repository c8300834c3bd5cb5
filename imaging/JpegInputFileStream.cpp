#include "imaging/JpegInputFileStream.h"

#include <cerrno>
#include <cstring>

namespace Veldaro {

JpegInputFileStream::JpegInputFileStream(std::uint32_t size)
    // A buffer of 0 bytes could never deliver a byte; take one byte at least.
    : buffer(size == 0 ? 1 : size) {}

void JpegInputFileStream::Open(const std::string& fileName) {
  errno = 0;
  file.open(fileName, std::ios::in | std::ios::binary);
  if (!file.is_open()) {
    int error = errno;
    throw JpegInputStreamError("JPEG: Cannot open input file '" + fileName + "'\n" + std::strerror(error));
  }
  filePosition = 0;
  current = end = nullptr;
}

void JpegInputFileStream::FillBuffer() {
  file.read(reinterpret_cast<char*>(buffer.data()), std::streamsize(buffer.size()));
  std::streamsize got = file.gcount();
  filePosition += got;
  if (got > 0) {
    current = buffer.data();
    end = current + got;
  } else {
    current = end = nullptr;
  }
}

std::streampos JpegInputFileStream::Tell() {
  std::streamoff waiting = current < end ? end - current : 0;
  return std::streampos(filePosition - waiting);
}

void JpegInputFileStream::Seek(std::streampos position) {
  if (bitPosition >= 0) EndBitInput();
  file.clear();
  file.seekg(position);
  filePosition = std::streamoff(position);
  current = end = nullptr;
  FillBuffer();
}

}  // namespace Veldaro
