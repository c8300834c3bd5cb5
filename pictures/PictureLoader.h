#pragma once
// The picture loader: a picture file of the project into a bitmap, by its
// extension (upper-cased, compared as file names):
//   ".BMP"          the class library's TBitmap;
//   ".JPG", ".JPEG" the class library's TJPEGImage, rendered into a bitmap;
//   ".PNG"          the optional PNG library (PngLibrary.h) when it is there
//                   and succeeds, otherwise our own decoders;
//   ".GIF"          our own decoders (ImageLibraryLoad.h), which find the
//                   format by content, so a GIF named ".png" loads too.
// A file of any other name loads through our decoders when its content is one
// of those four formats; other content (a TIFF file, text, a missing file) is
// refused.
//
// With a picture cache (PictureCache.h) every loaded picture is kept there by
// file name and a second load of the name takes it from there without reading
// the file; `bypassCache` reads the file again and gives the cached entry the
// fresh picture. The picture goes to the target (assigned), or, when
// `outBitmap` is given and a cache exists, the cache's own bitmap is handed
// out there instead: a borrowed pointer, valid until the cache is destroyed;
// the caller never frees it. Without a cache `outBitmap` is left alone and the
// target is filled. The target may be null (a test load).
//
// While it runs the screen cursor is the hourglass (restored on every way
// out) and the status hook, when set, gets the file name.

#include <functional>
#include <string>

class TBitmap;

// True when the file is a picture the loader knows and no exception escaped
// the load of the bitmap, JPEG or stream classes (the target then keeps what
// it had). A decoder error of our own decoders is shown in a message box and
// still answers true; nothing is assigned or cached then, and `outBitmap`
// (with a cache) is set to null.
bool LoadPictureFile(const std::string& fileName, TBitmap* target, bool bypassCache, TBitmap** outBitmap);

// Shows the name of the file being loaded; the designer sets it to write its
// status bar's first panel (and repaint it at once) while it exists.
using PictureStatusHook = std::function<void(const std::string& fileName)>;
void SetPictureStatusHook(PictureStatusHook hook);
