#pragma once
// The decoders' image as the picture loader fills it: the loader reads the
// pixels, classifies their alpha in place and copies the rows into a bitmap.
// It lives for one load.

#include "imaging/BitmapImage.h"

class EditableBitmapImage : public Veldaro::BitmapImage {
 public:
  EditableBitmapImage() = default;
};
