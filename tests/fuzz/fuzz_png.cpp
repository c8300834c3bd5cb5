// libFuzzer target: the PNG decoder. Each input is decoded from memory through a chunk stream
// that reads like the file stream; one input in eight is also written to a temporary file of
// this process and decoded through the file entry, and both results must agree.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "imaging/BitmapImage.h"
#include "imaging/PngDecoder.h"
#include "tests/imaging/png/PngMemoryStream.h"

namespace {

struct TempFile {
  std::string path = "/tmp/fuzz_png-" + std::to_string(getpid()) + ".png";
  ~TempFile() { std::remove(path.c_str()); }
};

void Progress(Veldaro::BitmapImageCoder*, void*, std::uint32_t pass, std::uint32_t passes, std::uint32_t percent,
              bool&) {
  if (pass == 0 || pass > passes || percent > 100) std::abort();
}

// The decoder's message, or "" when it accepted the file; fills image.
std::string Decode(Veldaro::PngDecoder& decoder, Veldaro::BitmapImage& image, const std::uint8_t* data,
                   std::size_t size, const std::string* path) {
  try {
    if (path != nullptr) {
      decoder.ReadImageFile(*path, image);
    } else {
      TarnwellTest::PngMemoryStream stream(data, size);
      decoder.ReadImage(stream, image);
    }
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
  std::string result = Decode(decoder, image, data, size, nullptr);
  std::uint32_t sum = 0;
  for (std::uint32_t i = 0; i < image.PixelCount(); ++i) sum += image.Pixels()[i];

  if (size > 0 && (data[size - 1] & 7) == 0) {
    static TempFile file;
    FILE* out = std::fopen(file.path.c_str(), "wb");
    if (out == nullptr || std::fwrite(data, 1, size, out) != size) std::abort();
    std::fclose(out);
    Veldaro::BitmapImage fromFile;
    std::string fileResult = Decode(decoder, fromFile, data, size, &file.path);  // the same decoder again
    if (fileResult != result || fromFile.PixelCount() != image.PixelCount() ||
        (image.PixelCount() != 0 &&
         std::memcmp(fromFile.Pixels(), image.Pixels(), std::size_t(image.PixelCount()) * 4) != 0))
      std::abort();
  }
  return sum == 0xFFFFFFFFu ? 0 : 0;
}
