// tarnwell-decode INPUT OUTPUT.png
//
// Decodes INPUT through ReadAnyImageFile, prints "TYPE WIDTH HEIGHT" on one line and writes
// the 32-bit image as an 8-bit RGBA PNG. Exit codes: 0 decoded, 1 decoding failed (the
// exception's message goes to standard error), 2 unknown format, 3 bad arguments or the PNG
// could not be written. An image without pixels is reported but no PNG is written, since PNG
// has no empty picture.

#include <png.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

#include "imaging/BitmapImage.h"
#include "imaging/GraphicsException.h"
#include "imaging/ReadAnyImageFile.h"

namespace {

bool WritePng(const Veldaro::BitmapImage& image, const char* path) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = image.Width();
  png.height = image.Height();
  // The pixel words are blue, green, red, alpha in memory: libpng's BGRA layout.
  png.format = PNG_FORMAT_BGRA;
  if (!png_image_write_to_file(&png, path, 0, image.Pixels(), 0, nullptr)) {
    std::cerr << "tarnwell-decode: cannot write '" << path << "': " << png.message << "\n";
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: tarnwell-decode INPUT OUTPUT.png\n";
    return 3;
  }
  Veldaro::BitmapImage image;
  Veldaro::ImageType type;
  try {
    type = Veldaro::ReadAnyImageFile(argv[1], image, nullptr, nullptr);
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  } catch (const Veldaro::GraphicsAbort&) {
    std::cerr << "cancelled\n";
    return 1;
  }
  std::cout << type << " " << image.Width() << " " << image.Height() << std::endl;
  if (type == Veldaro::ImageTypeUnknown) return 2;
  if (image.PixelCount() == 0) {
    std::cerr << "tarnwell-decode: the image has no pixels; no PNG written\n";
    return 0;
  }
  return WritePng(image, argv[2]) ? 0 : 3;
}
