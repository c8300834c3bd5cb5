#include "imaging/ReadAnyImageFile.h"

#include "imaging/BmpDecoder.h"
#include "imaging/GifDecoder.h"
#include "imaging/JpegDecoder.h"
#include "imaging/PngDecoder.h"

namespace Veldaro {

ImageType ReadAnyImageFile(const std::string& fileName, BitmapImage& image, ProgressFunction progressFunction,
                           void* progressData) {
  ImageType type = GetImageType(fileName);
  if (type == ImageTypeUnknown) return ImageTypeUnknown;

  // All four decoders live for the call; the one that matches the type decodes the file.
  BmpDecoder bmp;
  JpegDecoder jpeg;
  PngDecoder png;
  GifDecoder gif;

  BitmapImageDecoder* decoder = nullptr;
  switch (type) {
    case ImageTypeBmp: decoder = &bmp; break;
    case ImageTypeJpeg: decoder = &jpeg; break;
    case ImageTypePng: decoder = &png; break;
    case ImageTypeGif: decoder = &gif; break;
    default: return ImageTypeUnknown;
  }
  decoder->SetProgressFunction(progressFunction, progressData);
  decoder->ReadImageFile(fileName, image);
  return type;
}

}  // namespace Veldaro
