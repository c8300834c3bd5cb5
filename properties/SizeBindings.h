#pragma once
// Binding rows of the size boxes (ceSizeX, ceSizeY) that the camera, block,
// string-image, frame and canvas dialogs share: the first object's size, 0
// when a further one differs, written no smaller than a least value.

#include "properties/Bindings.h"

enum class TSizeSource {
  Content,  // the content size (block, string image, frame, canvas)
  Control,  // the control's own size (camera)
};

// `horizontal`: ceSizeX (width), else ceSizeY (height).
TPropertyBinding SizeBinding(bool horizontal, TSizeSource source, int least);
// Raises the value of the size box being left to `least`.
void RaiseSizeOnExit(TPropertyForm& form, int least);
