#pragma once
// Pictures through our own decoders (BMP, GIF, JPEG and PNG by content).
//
// The decoded pixels are copied into a 32-bit TBitmap. For PNG and GIF the
// alpha decides: alpha 128 or more is opaque (alpha 255, and an opaque pure
// black becomes blue 1 so that it differs from the transparent colour), below
// 128 transparent black; such a bitmap is transparent with black as its fixed
// transparent colour. A file of no known format gives an empty 0 x 0 picture.
// A decoder error is shown in a message box (no owner, the file's name with
// the error's text, caption "Error", OK) and traced "Load - End - Error".

#include <memory>
#include <string>

class TBitmap;

// The decoded picture, or null after a decoder error (shown and traced).
// Failures of the bitmap itself (a picture too large for it) pass as
// exceptions.
std::unique_ptr<TBitmap> DecodeWithImageLibrary(const std::string& fileName);

// Decodes the file and assigns the picture to the target (when one is given);
// with a picture cache the picture is stored there under the file name too.
// After a decoder error nothing is assigned or stored.
void LoadWithImageLibrary(const std::string& fileName, TBitmap* target);
