#include "pictures/ImageLibraryLoad.h"

#include <cstdint>
#include <cstring>
#include <exception>

#include "core/TraceLog.h"
#include "core/UiText.h"
#include "imaging/ReadAnyImageFile.h"
#include "pictures/EditableBitmapImage.h"
#include "pictures/PictureCache.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/GraphicsErrors.h"
#include "platform/vcl/SysUtilsFormat.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Paths.h"

namespace {

constexpr std::uint32_t kLeastOpaqueAlpha = 128;
constexpr int kUnreadableTextId = 7360;  // The picture "%s" could not be read: %s
constexpr int kErrorTitleId = 7361;      // Error

// Alpha of 128 or more is opaque, below it the pixel becomes the transparent
// colour (black); an opaque black is nudged to blue 1 so it stays visible.
void ClassifyAlpha(EditableBitmapImage& image) {
  std::uint32_t* pixel = image.Pixels();
  for (std::uint32_t i = 0; i < image.PixelCount(); ++i, ++pixel) {
    if ((*pixel >> 24) >= kLeastOpaqueAlpha) {
      *pixel |= 0xFF000000u;
      if ((*pixel & 0x00FFFFFFu) == 0) *pixel |= 1u;
    } else {
      *pixel = 0;
    }
  }
}

}  // namespace

std::unique_ptr<TBitmap> DecodeWithImageLibrary(const std::string& fileName) {
  EditableBitmapImage image;
  auto bitmap = std::make_unique<TBitmap>();
  Veldaro::ImageType type = Veldaro::ImageTypeUnknown;
  try {
    type = Veldaro::ReadAnyImageFile(ToNativePath(fileName), image, nullptr, nullptr);
  } catch (const std::exception& error) {
    // The decoder's text says what is wrong, not with which file: a page
    // or a compile may load many pictures in a row.
    const std::string text = Format(GetUiText(kUnreadableTextId), ShownPath(fileName), error.what());
    MessageBox(nullptr, text.c_str(), GetUiText(kErrorTitleId).c_str(), MB_OK);
    WriteTraceLog("Load - End - Error");
    return nullptr;
  }
  // A bitmap counts its columns and rows in an int: a picture beyond that is
  // too large for it, and its rows are never copied.
  constexpr std::uint32_t kMostSide = INT32_MAX;
  if (image.Width() > kMostSide || image.Height() > kMostSide) throw EOutOfResources("Out of system resources");
  bitmap->SetTransparent(false);
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetHeight(static_cast<int>(image.Height()));
  bitmap->SetWidth(static_cast<int>(image.Width()));
  const bool alpha = type == Veldaro::ImageTypePng || type == Veldaro::ImageTypeGif;
  if (alpha) {
    WriteTraceLog("Transparency");
    ClassifyAlpha(image);
  }
  WriteTraceLog("Hardcopy");
  for (std::uint32_t y = 0; y < image.Height(); ++y)
    std::memcpy(bitmap->ScanLine(static_cast<int>(y)), image.Row(y), std::size_t(image.Width()) * 4);
  if (alpha) {
    bitmap->SetTransparentMode(tmFixed);
    bitmap->SetTransparentColor(0);
    bitmap->SetTransparent(true);
  }
  WriteTraceLog("Assign");
  image.Clear();
  return bitmap;
}

void LoadWithImageLibrary(const std::string& fileName, TBitmap* target) {
  std::unique_ptr<TBitmap> bitmap = DecodeWithImageLibrary(fileName);
  if (bitmap == nullptr) return;
  if (target != nullptr) target->Assign(bitmap.get());
  if (PictureCacheExists()) StoreCachedPicture(fileName, std::move(bitmap));
}
