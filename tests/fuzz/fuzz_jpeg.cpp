// libFuzzer target of the JPEG decoder: the input is decoded from memory through the memory
// stream, handed out in small blocks (so that every buffer end is met), with a progress
// function that also brings the image up to date now and then. Frames of every announced
// size reach the decoder, which refuses those beyond its limits itself; only the extra
// updates are left out for frames above a megapixel, since each converts the whole frame.
//
// Each input is decoded twice, with the vector paths capped to scalar code and at the level
// the processor has; a difference in the pixels, the size or the error aborts. Where the input
// asks for no progress reports, the scalar decode still gets a progress function that does
// nothing: the decoder then gives every row of the image a value before the first report,
// while the other decode leaves that to the end, so that a row left without a value (filled
// with 0xBE by the allocator under AddressSanitizer) shows as a difference.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "base/CpuFeatures.h"

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

// What one decode leaves: the error text, the size and the pixels.
struct Outcome {
  std::string error;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint64_t pixelHash = 0;  // FNV-1a over the pixels
};

void Silent(Veldaro::BitmapImageCoder*, void*, std::uint32_t, std::uint32_t, std::uint32_t, bool&) {}

Outcome DecodeOnce(const std::uint8_t* data, std::size_t size, bool silentProgress) {
  // The first byte picks the buffer size and whether progress is reported.
  std::uint32_t bufferSize = 1 + data[0] % 64;
  if (data[0] & 0x80) bufferSize = 4096;
  Veldaro::JpegInputMemoryStream stream(std::vector<std::uint8_t>(data + 1, data + size), bufferSize);
  Veldaro::BitmapImage image;
  Veldaro::JpegDecoder decoder;
  if (data[0] & 0x40) {
    decoder.SetProgressFunction(Progress, nullptr);
  } else if (silentProgress) {
    decoder.SetProgressFunction(Silent, nullptr);
  }
  gProgressCalls = 0;
  Outcome outcome;
  try {
    decoder.ReadImage(stream, image);
  } catch (const std::exception& error) {
    outcome.error = error.what();
  } catch (const Veldaro::GraphicsAbort&) {
    outcome.error = "abort";
  }
  outcome.width = image.Width();
  outcome.height = image.Height();
  std::uint64_t hash = 14695981039346656037u;
  for (std::uint32_t i = 0; i < image.PixelCount(); ++i) hash = (hash ^ image.Pixels()[i]) * 1099511628211u;
  outcome.pixelHash = hash;
  return outcome;
}

}  // namespace

// Allocations of up to 16 MiB (images of four million pixels) come filled with 0xBE, not only
// their first 4 KiB.
extern "C" const char* tarnwell_asan_options() { return "max_malloc_fill_size=16777216"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  Outcome scalar;
  {
    CpuFeatures::SimdLevelCap cap(CpuFeatures::SimdLevel::Scalar);
    scalar = DecodeOnce(data, size, true);
  }
  Outcome vector = DecodeOnce(data, size, false);
  if (scalar.error != vector.error || scalar.width != vector.width || scalar.height != vector.height ||
      scalar.pixelHash != vector.pixelHash) {
    std::abort();
  }
  return 0;
}
