// libFuzzer target: the GIF decoder on the input in memory. Each input is decoded twice, all
// at once and handed out in blocks of 7 bytes (so that a code, a sub-block length or a
// header field is split at every place), and both results must agree.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "imaging/BitmapImage.h"
#include "imaging/GifDecoder.h"
#include "imaging/GifInputMemoryStream.h"

namespace {

// The decoder's message, or "" when it accepted the file; fills image.
std::string Decode(const std::vector<std::uint8_t>& file, std::uint32_t bufferSize, Veldaro::BitmapImage& image) {
  Veldaro::GifDecoder decoder;
  try {
    Veldaro::GifInputMemoryStream stream(file, bufferSize);
    decoder.ReadImage(stream, image);
  } catch (const std::exception& e) {
    return std::string("error: ") + e.what();
  } catch (const Veldaro::GraphicsAbort&) {
    std::abort();  // no progress function is set
  }
  return "";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> file(data, data + size);
  Veldaro::BitmapImage whole;
  const std::string result = Decode(file, 0, whole);
  Veldaro::BitmapImage pieces;
  const std::string piecesResult = Decode(file, 7, pieces);
  if (piecesResult != result || pieces.Width() != whole.Width() || pieces.Height() != whole.Height() ||
      (whole.PixelCount() != 0 &&
       std::memcmp(pieces.Pixels(), whole.Pixels(), std::size_t(whole.PixelCount()) * 4) != 0))
    std::abort();
  return 0;
}
