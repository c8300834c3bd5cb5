#pragma once
// The decoder framework: BitmapImageCoder carries the progress function, and
// BitmapImageDecoder adds the operation that reads a named file into an image.
//
// Progress protocol: a decoder calls the progress function with itself, the progress data,
// the current pass (from 1), the pass count, the percent of the pass and a cancel flag that
// is false on entry; when the function sets it, the decoder throws GraphicsAbort.

#include <cstdint>
#include <string>

#include "imaging/BitmapImage.h"
#include "imaging/GraphicsException.h"

namespace Veldaro {

class BitmapImageCoder;

using ProgressFunction = void (*)(BitmapImageCoder* coder, void* data, std::uint32_t pass, std::uint32_t passCount,
                                  std::uint32_t percent, bool& cancel);

class BitmapImageCoder {
 public:
  BitmapImageCoder() = default;
  virtual ~BitmapImageCoder() = default;
  BitmapImageCoder(const BitmapImageCoder&) = delete;
  BitmapImageCoder& operator=(const BitmapImageCoder&) = delete;

  // Brings the image up to date with what has been decoded so far; nothing by default.
  virtual void UpdateImage() {}

  // Stores the function and its data; a null function switches progress reports off.
  void SetProgressFunction(ProgressFunction function, void* data) {
    progressFunction = function;
    progressData = data;
  }

 protected:
  ProgressFunction progressFunction = nullptr;
  void* progressData = nullptr;
};

class BitmapImageDecoder : public BitmapImageCoder {
 public:
  // Opens the named file, decodes it into the image and closes it.
  virtual void ReadImageFile(const std::string& fileName, BitmapImage& image) = 0;
};

}  // namespace Veldaro
