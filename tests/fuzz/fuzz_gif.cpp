// libFuzzer target: the GIF decoder. It reads only named files, so each input is written to
// one temporary file of this process, which is decoded and finally removed.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "imaging/BitmapImage.h"
#include "imaging/GifDecoder.h"

namespace {

struct TempFile {
  std::string path = "/tmp/fuzz_gif-" + std::to_string(getpid()) + ".gif";
  ~TempFile() { std::remove(path.c_str()); }
};

// Walks the blocks as the decoder does to find the first image's size; pictures above 4 M
// pixels are legal but only slow the search down, so they are passed over.
bool TooLarge(const std::uint8_t* data, std::size_t size) {
  if (size < 13) return false;
  std::size_t at = 13;
  if (data[10] & 0x80) at += 3u << ((data[10] & 7) + 1);
  while (at < size) {
    std::uint8_t block = data[at++];
    if (block == 0) continue;
    if (block == 0x2C) {
      if (at + 8 > size) return false;
      std::uint64_t width = data[at + 4] | data[at + 5] << 8, height = data[at + 6] | data[at + 7] << 8;
      return width * height > (std::uint64_t(1) << 22);
    }
    if (block != 0x21 || at >= size) return false;
    ++at;  // label; the fixed part and the data are sub-blocks
    while (at < size && data[at] != 0) at += 1 + data[at];
    ++at;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static TempFile file;
  if (TooLarge(data, size)) return 0;
  FILE* out = std::fopen(file.path.c_str(), "wb");
  if (out == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, out) != size) std::abort();
  std::fclose(out);
  Veldaro::BitmapImage image;
  Veldaro::GifDecoder decoder;
  try {
    decoder.ReadImageFile(file.path, image);
  } catch (const std::exception&) {
  } catch (const Veldaro::GraphicsAbort&) {}
  std::uint32_t sum = 0;
  for (std::uint32_t i = 0; i < image.PixelCount(); ++i) sum += image.Pixels()[i];
  return sum == 0xFFFFFFFFu ? 0 : 0;
}
