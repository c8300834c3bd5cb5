#include "pictures/PictureLoader.h"

#include <cctype>
#include <exception>
#include <memory>

#include "imaging/ImageType.h"
#include "pictures/ImageLibraryLoad.h"
#include "pictures/PictureCache.h"
#include "pictures/PngLibrary.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/JpegImage.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/Streams.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/Paths.h"

namespace {

PictureStatusHook gStatusHook;

// Sets the hourglass and restores the cursor it found.
class HourglassCursor {
 public:
  HourglassCursor() : saved_(Screen->Cursor()) { Screen->SetCursor(crHourGlass); }
  ~HourglassCursor() { Screen->SetCursor(saved_); }
  HourglassCursor(const HourglassCursor&) = delete;
  HourglassCursor& operator=(const HourglassCursor&) = delete;

 private:
  TCursor saved_;
};

// The extension of the file name from its last '.', upper-cased; empty when
// the last component has none.
std::string UpperExtension(const std::string& fileName) {
  const std::string::size_type dot = fileName.rfind('.');
  const std::string::size_type sep = fileName.find_last_of("\\/:");
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return {};
  return UpperCase(fileName.substr(dot));
}

// Where a loaded picture goes: with a cache it is stored there and the
// cache's bitmap is handed out or assigned to the target; without one it is
// assigned to the target. `transparency` (-1: as the picture is) sets the
// target's transparency after the assignment.
void Deliver(const std::string& fileName, std::unique_ptr<TBitmap> picture, TBitmap* target, TBitmap** outBitmap,
             int transparency = -1) {
  const TBitmap* source = picture.get();
  if (PictureCacheExists()) {
    TBitmap* cached = StoreCachedPicture(fileName, std::move(picture));
    if (outBitmap != nullptr) {
      *outBitmap = cached;
      return;
    }
    source = cached;
  }
  if (target == nullptr) return;
  if (target != source) target->Assign(source);
  if (transparency >= 0) target->SetTransparent(transparency != 0);
}

// A picture from the PNG library, when it is there and succeeds. False sends
// the file to our own decoders (no library, a failed answer, or kind 1).
bool LoadWithPngLibrary(const std::string& fileName, TBitmap* target, TBitmap** outBitmap) {
  TLoadPngFunction loadPng = PngLibraryEntry();
  if (loadPng == nullptr) return false;
  void* data = nullptr;
  std::uint32_t size = 0;
  std::uint32_t kind = 0;
  const std::string path = ToNativePath(fileName);
  if (loadPng(path.c_str(), &data, &size, &kind) == 0) return false;
  // An answer without data is no picture: our decoders try it.
  if (kind == 1 || data == nullptr || size == 0) return false;
  TMemoryStream stream;
  stream.WriteBuffer(data, size);
  stream.SetPosition(0);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromStream(stream);
  bitmap->SetTransparentMode(tmFixed);
  bitmap->SetTransparentColor(0);
  bitmap->SetTransparent(true);
  Deliver(fileName, std::move(bitmap), target, outBitmap, kind != 0 ? 1 : 0);
  return true;
}

void LoadWithDecoders(const std::string& fileName, TBitmap* target, TBitmap** outBitmap) {
  std::unique_ptr<TBitmap> bitmap = DecodeWithImageLibrary(fileName);
  if (bitmap == nullptr) {
    if (PictureCacheExists() && outBitmap != nullptr) *outBitmap = nullptr;
    return;
  }
  Deliver(fileName, std::move(bitmap), target, outBitmap);
}

}  // namespace

void SetPictureStatusHook(PictureStatusHook hook) { gStatusHook = std::move(hook); }

bool LoadPictureFile(const std::string& fileName, TBitmap* target, bool bypassCache, TBitmap** outBitmap) {
  LoadPngLibrary();
  if (gStatusHook) gStatusHook(fileName);
  HourglassCursor hourglass;
  try {
    const bool cache = PictureCacheExists();
    if (cache && !bypassCache) {
      if (TBitmap* cached = FindCachedPicture(fileName)) {
        if (outBitmap != nullptr)
          *outBitmap = cached;
        else if (target != nullptr && target != cached)
          target->Assign(cached);
        return true;
      }
    }
    const std::string ext = UpperExtension(fileName);
    if (ext == ".BMP") {
      auto bitmap = std::make_unique<TBitmap>();
      bitmap->LoadFromFile(fileName);
      Deliver(fileName, std::move(bitmap), target, outBitmap);
    } else if (ext == ".JPG" || ext == ".JPEG") {
      TJPEGImage jpeg;
      jpeg.LoadFromFile(fileName);
      auto bitmap = std::make_unique<TBitmap>();
      bitmap->Assign(&jpeg);
      Deliver(fileName, std::move(bitmap), target, outBitmap);
    } else if (ext == ".PNG") {
      if (!LoadWithPngLibrary(fileName, target, outBitmap)) LoadWithDecoders(fileName, target, outBitmap);
    } else if (ext == ".GIF") {
      LoadWithDecoders(fileName, target, outBitmap);
    } else {
      // Any other name: only a file whose content is a picture our decoders
      // read (BMP, JPEG, PNG, GIF) loads; anything else is refused.
      if (Veldaro::GetImageType(ToNativePath(fileName)) == Veldaro::ImageTypeUnknown) return false;
      LoadWithDecoders(fileName, target, outBitmap);
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}
