// libFuzzer target: the PNG decoder, on the input in memory (the chunk CRCs are not tested in
// fuzz builds). Each input is decoded with the vector paths this processor has and again with
// the scalar paths only, reading each row only after the one before (no row read ahead) and
// without a progress function (so that the rows not decoded are zeroed only at the end, not at
// the first report), and both results must agree. One input in eight is decoded a third
// time by the same decoder, and that result must agree too: an image must not depend on what
// the decoder read before.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "base/CpuFeatures.h"
#include "imaging/BitmapImage.h"
#include "imaging/PngDecoder.h"
#include "imaging/PngInputMemoryStream.h"

namespace {

// The decoder reading every row only when the row before it is done.
class OneRowAtATimeDecoder : public Veldaro::PngDecoder {
 public:
  OneRowAtATimeDecoder() { SetRowReadAhead(false); }
};

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

bool Same(const std::string& result, const Veldaro::BitmapImage& image, const std::string& otherResult,
          const Veldaro::BitmapImage& other) {
  return otherResult == result && other.Width() == image.Width() && other.Height() == image.Height() &&
         (image.PixelCount() == 0 ||
          std::memcmp(other.Pixels(), image.Pixels(), std::size_t(image.PixelCount()) * 4) == 0);
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

  {
    CpuFeatures::SimdLevelCap scalarOnly(CpuFeatures::SimdLevel::Scalar);
    OneRowAtATimeDecoder scalarDecoder;
    Veldaro::BitmapImage scalar;
    const std::string scalarResult = Decode(scalarDecoder, scalar, data, size);
    if (!Same(result, image, scalarResult, scalar)) std::abort();
  }

  if (size == 0 || (data[size - 1] & 7) != 0) return 0;
  Veldaro::BitmapImage again;
  const std::string secondResult = Decode(decoder, again, data, size);
  if (!Same(result, image, secondResult, again)) std::abort();
  return 0;
}

// Allocations of up to 16 MiB (images of four million pixels) come filled with 0xBE, not only
// their first 4 KiB, so that pixels the decoder leaves without a value make the decodes differ.
extern "C" const char* tarnwell_asan_options() { return "max_malloc_fill_size=16777216"; }
