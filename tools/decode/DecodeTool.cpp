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
#include <filesystem>
#include <iostream>
#include <string>

#include "imaging/BitmapImage.h"
#include "imaging/GraphicsException.h"
#include "imaging/ReadAnyImageFile.h"

namespace {

constexpr int kExitDecodeFailed = 1;
constexpr int kExitUnknownFormat = 2;
constexpr int kExitBadArguments = 3;
// The bytes the format is told by (GetImageType reads this many).
constexpr std::uintmax_t kSignatureBytes = 10;

// Why the arguments are refused, or empty when they are taken.
std::string ArgumentFault(int argc, char** argv) {
  if (argc < 2) return "missing INPUT and OUTPUT.png";
  if (argc < 3) return "missing OUTPUT.png";
  if (argc > 3) return "too many arguments (one INPUT and one OUTPUT.png)";
  std::error_code ec;
  const std::filesystem::path input = argv[1];
  if (!std::filesystem::exists(input, ec)) return "cannot read '" + input.string() + "': no such file";
  if (!std::filesystem::is_regular_file(input, ec)) return "cannot read '" + input.string() + "': not a file";
  return std::string();
}

// Why a file of an unknown format is refused.
std::string UnknownFormatReason(const char* path) {
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (!ec && size < kSignatureBytes)
    return "'" + std::string(path) + "' is too short to be a picture (" + std::to_string(size) +
           " bytes; the format is told by the first " + std::to_string(kSignatureBytes) + ")";
  return "'" + std::string(path) + "' is not a BMP, GIF, JPEG or PNG file (its first bytes match none of them)";
}

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
  if (const std::string fault = ArgumentFault(argc, argv); !fault.empty()) {
    std::cerr << "tarnwell-decode: " << fault << "\nusage: tarnwell-decode INPUT OUTPUT.png\n";
    return kExitBadArguments;
  }
  Veldaro::BitmapImage image;
  Veldaro::ImageType type;
  try {
    type = Veldaro::ReadAnyImageFile(argv[1], image, nullptr, nullptr);
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return kExitDecodeFailed;
  } catch (const Veldaro::GraphicsAbort&) {
    std::cerr << "cancelled\n";
    return kExitDecodeFailed;
  }
  if (type == Veldaro::ImageTypeUnknown) {
    std::cerr << "tarnwell-decode: " << UnknownFormatReason(argv[1]) << "\n";
    return kExitUnknownFormat;
  }
  std::cout << type << " " << image.Width() << " " << image.Height() << std::endl;
  if (image.PixelCount() == 0) {
    std::cerr << "tarnwell-decode: the image has no pixels; no PNG written\n";
    return 0;
  }
  return WritePng(image, argv[2]) ? 0 : kExitBadArguments;
}
