// libFuzzer target: the BMP decoder on a memory stream (its ReadImage takes any std::istream).

#include <cstddef>
#include <cstdint>
#include <exception>
#include <sstream>
#include <string>

#include "imaging/BitmapImage.h"
#include "imaging/BmpDecoder.h"

namespace {

std::uint32_t Get32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// Pictures above 4 M pixels are legal but only slow the search down; they are passed over.
bool TooLarge(const std::uint8_t* data, std::size_t size) {
  if (size < 26) return false;
  std::uint64_t width, height;
  if (Get32(data + 14) == 12) {
    width = data[18] | data[19] << 8;
    height = data[20] | data[21] << 8;
  } else {
    width = Get32(data + 18);
    std::int32_t h = std::int32_t(Get32(data + 22));
    height = h < 0 ? std::uint64_t(-std::int64_t(h)) : std::uint64_t(h);
  }
  return width * height > (std::uint64_t(1) << 22);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (TooLarge(data, size)) return 0;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size), std::ios::binary);
  Veldaro::BitmapImage image;
  Veldaro::BmpDecoder decoder;
  try {
    decoder.ReadImage(in, image);
  } catch (const std::exception&) {
  } catch (const Veldaro::GraphicsAbort&) {}
  // Touch every pixel so that a wrong size or a missing array shows.
  std::uint32_t sum = 0;
  for (std::uint32_t i = 0; i < image.PixelCount(); ++i) sum += image.Pixels()[i];
  return sum == 0xFFFFFFFFu ? 0 : 0;
}
