// libFuzzer target: the BMP decoder on the input in memory (its ReadImage takes any
// std::istream). Pictures of every announced size reach the decoder, which refuses those
// beyond its limits itself.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <sstream>
#include <string>

#include "imaging/BitmapImage.h"
#include "imaging/BmpDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size), std::ios::binary);
  Veldaro::BitmapImage image;
  Veldaro::BmpDecoder decoder;
  try {
    decoder.ReadImage(in, image);
  } catch (const std::exception&) {
  } catch (const Veldaro::GraphicsAbort&) {}
  // Touch every pixel so that a wrong size or a missing array shows.
  volatile std::uint32_t sum = 0;
  for (std::uint32_t i = 0; i < image.PixelCount(); ++i) sum = sum + image.Pixels()[i];
  return 0;
}
