// A small PNG library with the entry "_LoadPNG", for the tests of the picture
// loader. It decodes a PNG file with libpng and answers a 24-bit Windows
// bitmap file image of it (pixels with alpha below 128 black, the rest as
// they are), and a kind: 2 when the file has transparency, 0 when it has not,
// and 1 (decode it yourself) for an interlaced file. Anything libpng cannot
// read gets the answer 0. The bitmap stays in the library until the next call
// or its unloading. `MyPngLibCalls` counts the calls of "_LoadPNG".

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::vector<unsigned char> picture;
int calls = 0;

void Put16(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}
void Put32(unsigned char* p, std::uint32_t v) {
  Put16(p, v & 0xFFFF);
  Put16(p + 2, v >> 16);
}

// The interlace byte of the IHDR chunk; -1 when the file is too short.
int InterlaceMethod(const char* fileName) {
  std::FILE* file = std::fopen(fileName, "rb");
  if (file == nullptr) return -1;
  unsigned char head[29];
  const std::size_t got = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  return got == sizeof head ? head[28] : -1;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) unsigned char LoadPng(const char* fileName, void** data, std::uint32_t* size,
                                                             std::uint32_t* kind) __asm__("_LoadPNG");
__attribute__((visibility("default"))) int MyPngLibCalls();

unsigned char LoadPng(const char* fileName, void** data, std::uint32_t* size, std::uint32_t* kind) {
  ++calls;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, fileName)) return 0;
  const bool transparent = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = PNG_FORMAT_BGRA;
  if (image.width > 4096 || image.height > 4096) {
    png_image_free(&image);
    return 0;
  }
  std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return 0;

  const std::uint32_t width = image.width, height = image.height;
  const std::uint32_t stride = (width * 3 + 3) & ~3u;
  const std::uint32_t offset = 14 + 40;
  picture.assign(offset + std::size_t(stride) * height, 0);
  unsigned char* p = picture.data();
  p[0] = 'B';
  p[1] = 'M';
  Put32(p + 2, static_cast<std::uint32_t>(picture.size()));
  Put32(p + 10, offset);
  Put32(p + 14, 40);
  Put32(p + 18, width);
  Put32(p + 22, height);
  Put16(p + 26, 1);
  Put16(p + 28, 24);
  for (std::uint32_t y = 0; y < height; ++y) {
    const unsigned char* from = pixels.data() + std::size_t(y) * width * 4;
    unsigned char* to = p + offset + std::size_t(height - 1 - y) * stride;  // bottom-up
    for (std::uint32_t x = 0; x < width; ++x, from += 4, to += 3) {
      if (from[3] >= 128) std::memcpy(to, from, 3);
    }
  }
  *data = picture.data();
  *size = static_cast<std::uint32_t>(picture.size());
  *kind = InterlaceMethod(fileName) == 1 ? 1 : transparent ? 2 : 0;
  return 1;
}

int MyPngLibCalls() { return calls; }

}  // extern "C"
