// libFuzzer target of the JPEG decoder: the input is decoded from memory through a stream
// that hands it out in small pieces (so that every buffer end is met), with a progress
// function that also brings the image up to date now and then.
//
// Frames larger than 65,536 pixels are passed over before decoding: they are valid input,
// but every pixel costs time, and small frames reach the same code.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <vector>

#include "imaging/BitmapImage.h"
#include "imaging/GraphicsException.h"
#include "imaging/JpegDecoder.h"
#include "imaging/JpegInputStream.h"

namespace {

class FuzzStream : public Veldaro::JpegInputStream {
 public:
  FuzzStream(const std::uint8_t* bytes, std::size_t size, std::size_t chunk)
      : data(bytes, bytes + size), chunkSize(chunk) {}
  void FillBuffer() override {
    if (position >= data.size()) {
      current = end = nullptr;
      return;
    }
    std::size_t count = std::min(chunkSize, data.size() - position);
    current = data.data() + position;
    end = current + count;
    position += count;
  }
  bool EndReached() override { return position >= data.size(); }
  std::streampos Tell() override {
    std::size_t waiting = current < end ? std::size_t(end - current) : 0;
    return std::streampos(std::streamoff(position - waiting));
  }
  void Seek(std::streampos where) override {
    if (bitPosition >= 0) EndBitInput();
    position = std::min<std::size_t>(std::size_t(std::streamoff(where)), data.size());
    current = end = nullptr;
    FillBuffer();
  }

 private:
  std::vector<std::uint8_t> data;
  std::size_t chunkSize;
  std::size_t position = 0;
};

bool FrameTooLarge(const std::uint8_t* data, std::size_t size) {
  for (std::size_t i = 0; i + 8 < size; ++i) {
    if (data[i] == 0xFF && data[i + 1] >= 0xC0 && data[i + 1] <= 0xCF && data[i + 1] != 0xC4 && data[i + 1] != 0xC8 &&
        data[i + 1] != 0xCC) {
      std::uint64_t height = std::uint64_t(data[i + 5]) << 8 | data[i + 6];
      std::uint64_t width = std::uint64_t(data[i + 7]) << 8 | data[i + 8];
      if (width * height > (std::uint64_t(1) << 16)) return true;
    }
  }
  return false;
}

unsigned progressCalls = 0;

void Progress(Veldaro::BitmapImageCoder* coder, void*, std::uint32_t, std::uint32_t, std::uint32_t, bool&) {
  if (++progressCalls % 31 == 0) coder->UpdateImage();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || FrameTooLarge(data, size)) return 0;
  // The first byte picks the buffer size and whether progress is reported.
  std::size_t chunk = 1 + data[0] % 64;
  if (data[0] & 0x80) chunk = 4096;
  FuzzStream stream(data + 1, size - 1, chunk);
  Veldaro::BitmapImage image;
  Veldaro::JpegDecoder decoder;
  if (data[0] & 0x40) decoder.SetProgressFunction(Progress, nullptr);
  try {
    decoder.ReadImage(stream, image);
  } catch (const std::exception&) {
  } catch (const Veldaro::GraphicsAbort&) {}
  // Whatever happened, the image is consistent.
  if (image.Pixels() != nullptr) {
    volatile std::uint32_t sum = 0;
    for (std::uint32_t i = 0; i < image.PixelCount(); i += 97) sum = sum + image.Pixels()[i];
  }
  return 0;
}
