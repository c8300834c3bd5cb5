#include "imaging/PngInputFileStream.h"

namespace Veldaro {

namespace {
const char* const kPrematureEnd = "Premature End of File";
}

PngInputFileStream::PngInputFileStream(std::uint32_t size) : buffer(size == 0 ? 1 : size) {}

void PngInputFileStream::Open(const std::string& fileName) {
  file.open(fileName, std::ios::in | std::ios::binary);
  fileSize = 0;
  filePosition = 0;
  if (!file.is_open()) return;
  file.seekg(0, std::ios::end);
  std::streamoff size = file.tellg();
  file.seekg(0, std::ios::beg);
  fileSize = size > 0 ? std::uint64_t(size) : 0;
}

void PngInputFileStream::ReadBytes(std::uint32_t count, std::uint8_t*& data) {
  // Refuse before allocating: a count beyond the rest of the file cannot be read.
  if (count > fileSize - filePosition) throw StreamError(kPrematureEnd);
  if (count > buffer.size()) buffer.resize(count);
  file.read(reinterpret_cast<char*>(buffer.data()), std::streamsize(count));
  std::streamsize got = file.gcount();
  filePosition += std::uint64_t(got);
  if (got != std::streamsize(count)) throw StreamError(kPrematureEnd);
  data = buffer.data();
}

void PngInputFileStream::ReadChunkData(std::uint32_t count, std::uint8_t*& data) { ReadBytes(count, data); }

std::uint32_t PngInputFileStream::ReadBigEndian32() {
  std::uint8_t bytes[4];
  file.read(reinterpret_cast<char*>(bytes), 4);
  std::streamsize got = file.gcount();
  filePosition += std::uint64_t(got);
  if (got != 4) throw StreamError(kPrematureEnd);
  return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 | bytes[3];
}

std::uint32_t PngInputFileStream::ReadChunkLength() { return ReadBigEndian32(); }

std::uint32_t PngInputFileStream::ReadChunkCrc() { return ReadBigEndian32(); }

}  // namespace Veldaro
