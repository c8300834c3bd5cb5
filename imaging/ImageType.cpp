#include "imaging/ImageType.h"

#include <cerrno>
#include <fstream>

#include "imaging/SystemErrorText.h"

namespace Veldaro {

ImageType GetImageType(const std::string& fileName) {
  errno = 0;
  std::ifstream file(fileName, std::ios::in | std::ios::binary);
  if (!file.is_open())
    throw ImageTypeError("Image Type: Cannot open input file '" + fileName + "'\n" + SystemErrorText());

  unsigned char b[10];
  file.read(reinterpret_cast<char*>(b), sizeof b);
  bool whole = file.gcount() == std::streamsize(sizeof b);
  file.close();
  if (!whole) return ImageTypeUnknown;

  static const unsigned char kPngSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
  bool png = true;
  for (int i = 0; i < 8; ++i) png = png && b[i] == kPngSignature[i];
  if (png) return ImageTypePng;
  if (b[0] == 0xFF && b[1] == 0xD8) return ImageTypeJpeg;
  if (b[0] == 'B' && b[1] == 'M') return ImageTypeBmp;
  if (b[0] == 'G' && b[1] == 'I' && b[2] == 'F' && b[3] == '8' && (b[4] == '9' || b[4] == '7') && b[5] == 'a')
    return ImageTypeGif;
  return ImageTypeUnknown;
}

}  // namespace Veldaro
