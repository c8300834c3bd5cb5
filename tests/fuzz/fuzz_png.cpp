// libFuzzer target: the PNG decoder, on the input in memory (the chunk CRCs are not tested in
// fuzz builds). One input in eight is decoded a second time by the same decoder, and both
// results must agree: an image must not depend on what the decoder read before.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "imaging/BitmapImage.h"
#include "imaging/PngDecoder.h"
#include "imaging/PngInputMemoryStream.h"

namespace {

void Progress(Veldaro::BitmapImageCoder*, void*, std::uint32_t pass, std::uint32_t passes, std::uint32_t percent,
              bool&) {
  if (pass == 0 || pass > passes || percent > 100) std::abort();
}

// The decoder's message, or "" when it accepted the file; fills image.
std::string Decode(Veldaro::PngDecoder& decoder, Veldaro::BitmapImage& image, const std::uint8_t* data,
                   std::size_t size) {
  try {
    Veldaro::PngInputMemoryStream stream(data, size);
    decoder.ReadImage(stream, image);
  } catch (const std::exception& e) {
    return std::string("error: ") + e.what();
  } catch (const Veldaro::GraphicsAbort&) {
    std::abort();  // the progress function never cancels
  }
  return "";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Veldaro::PngDecoder decoder;
  decoder.SetProgressFunction(Progress, nullptr);
  Veldaro::BitmapImage image;
  const std::string result = Decode(decoder, image, data, size);
  // Touch every pixel, so that a wrong size or a missing array shows.
  volatile std::uint32_t sum = 0;
  for (std::uint32_t i = 0; i < image.PixelCount(); ++i) sum = sum + image.Pixels()[i];

  if (size == 0 || (data[size - 1] & 7) != 0) return 0;
  Veldaro::BitmapImage again;
  const std::string secondResult = Decode(decoder, again, data, size);
  if (secondResult != result || again.PixelCount() != image.PixelCount() ||
      (image.PixelCount() != 0 &&
       std::memcmp(again.Pixels(), image.Pixels(), std::size_t(image.PixelCount()) * 4) != 0))
    std::abort();
  return 0;
}
