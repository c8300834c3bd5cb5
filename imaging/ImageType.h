#pragma once
// Detection of a picture file's format from its first ten bytes (never from its name).

#include <cstdint>
#include <string>

#include "imaging/GraphicsException.h"

namespace Veldaro {

// The format codes; the values are not consecutive.
using ImageType = std::uint32_t;
constexpr ImageType ImageTypeUnknown = 0;
constexpr ImageType ImageTypeBmp = 2;
constexpr ImageType ImageTypeJpeg = 3;
constexpr ImageType ImageTypePng = 7;
constexpr ImageType ImageTypeGif = 13;

// The file cannot be opened for detection.
class ImageTypeError : public GraphicsException {
 public:
  explicit ImageTypeError(const std::string& message) : GraphicsException(message) {}
};

// The format of the named file: PNG signature, then JPEG start of image, "BM", "GIF87a" or
// "GIF89a"; 0 when none matches or the file is shorter than 10 bytes. Throws ImageTypeError
// when the file cannot be opened.
ImageType GetImageType(const std::string& fileName);

}  // namespace Veldaro
