// libFuzzer target of the JPEG decoder: the input is decoded from memory through the memory
// stream, handed out in small blocks (so that every buffer end is met), with a progress
// function that also brings the image up to date now and then. Frames of every announced
// size reach the decoder, which refuses those beyond its limits itself; only the extra
// updates are left out for frames above a megapixel, since each converts the whole frame.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <vector>

#include "imaging/BitmapImage.h"
#include "imaging/GraphicsException.h"
#include "imaging/JpegDecoder.h"
#include "imaging/JpegInputMemoryStream.h"

namespace {

unsigned gProgressCalls = 0;

// Frames of up to this many pixels are brought up to date from the progress function.
constexpr std::uint64_t kUpdatedPixels = std::uint64_t(1) << 20;

void Progress(Veldaro::BitmapImageCoder* coder, void*, std::uint32_t, std::uint32_t, std::uint32_t, bool&) {
  const auto* decoder = static_cast<const Veldaro::JpegDecoder*>(coder);
  if (std::uint64_t(decoder->FrameWidth()) * decoder->FrameHeight() > kUpdatedPixels) return;
  if (++gProgressCalls % 31 == 0) coder->UpdateImage();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // The first byte picks the buffer size and whether progress is reported.
  std::uint32_t bufferSize = 1 + data[0] % 64;
  if (data[0] & 0x80) bufferSize = 4096;
  Veldaro::JpegInputMemoryStream stream(std::vector<std::uint8_t>(data + 1, data + size), bufferSize);
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
