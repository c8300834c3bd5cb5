#pragma once
// The one entry of the image decoders: detects the format of a file from its first bytes and
// decodes it into the image with the matching decoder.

#include <string>

#include "imaging/BitmapImage.h"
#include "imaging/BitmapImageDecoder.h"
#include "imaging/ImageType.h"

namespace Veldaro {

// Returns the format found (ImageTypeUnknown leaves the image untouched). Every exception of
// the decoder passes to the caller unchanged; the file that cannot be opened for detection
// throws ImageTypeError.
ImageType ReadAnyImageFile(const std::string& fileName, BitmapImage& image, ProgressFunction progressFunction,
                           void* progressData);

}  // namespace Veldaro
