#include "imaging/GifInputFileStream.h"

#include <cerrno>

#include "imaging/SystemErrorText.h"

namespace Veldaro {

GifInputFileStream::GifInputFileStream(std::uint32_t bufferSize) : buffer(bufferSize == 0 ? 65536u : bufferSize) {}

GifInputFileStream::~GifInputFileStream() {
  if (file.is_open()) file.close();
}

void GifInputFileStream::Open(const std::string& fileName) {
  if (file.is_open()) file.close();
  file.clear();
  errno = 0;
  file.open(fileName, std::ios::in | std::ios::binary);
  if (!file.is_open())
    throw GifInputStreamError("GIF: Cannot open input file '" + fileName + "'\n" + SystemErrorText());
  endOfFile = false;
  current = end = nullptr;
}

void GifInputFileStream::FillBuffer() {
  file.read(reinterpret_cast<char*>(buffer.Data()), std::streamsize(buffer.Count()));
  std::streamsize got = file.gcount();
  if (got > 0) {
    current = buffer.Data();
    end = current + got;
  } else {
    current = end = nullptr;
  }
  if (got != std::streamsize(buffer.Count())) endOfFile = true;
}

std::streampos GifInputFileStream::Tell() {
  if (!file.good()) file.clear();
  return file.tellg();
}

void GifInputFileStream::Seek(std::streampos position) {
  if (bitMode) ExitBitMode();
  file.clear();
  file.seekg(position);
  current = end = nullptr;
  endOfFile = false;
}

}  // namespace Veldaro
