#include "platform/vcl/PngWriter.h"

#include <png.h>

#include <cstring>
#include <vector>

#include "platform/vcl/Bitmap.h"
#include "platform/win/FileIo.h"

bool SaveBitmapAsPng(const TBitmap& bitmap, const std::string& fileName) {
  if (bitmap.Empty()) return false;
  const int width = bitmap.Width(), height = bitmap.Height();
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  const std::uint32_t* pixels = bitmap.PixelData();
  for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
    rgb[3 * i] = (pixels[i] >> 16) & 0xFF;
    rgb[3 * i + 1] = (pixels[i] >> 8) & 0xFF;
    rgb[3 * i + 2] = pixels[i] & 0xFF;
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr)) return false;
  std::vector<std::uint8_t> file(size);
  if (!png_image_write_to_memory(&image, file.data(), &size, 0, rgb.data(), 0, nullptr)) return false;
  return WriteFileReplacing(fileName, file.data(), size);
}
