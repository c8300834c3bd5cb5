#include "grid/PictureLoading.h"

#include <sys/stat.h>

#include "pictures/PictureLoader.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Picture.h"
#include "platform/win/Paths.h"

TGridPictureLoader gGridPictureLoader = nullptr;
TGridImagePath gGridImagePath = nullptr;

bool GridFileExists(const std::string& path) {
  if (path.empty()) return false;
  struct stat st {};
  return ::stat(ToNativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void LoadGridPicture(TPicture& picture, const std::string& path) {
  if (gGridPictureLoader != nullptr) {
    gGridPictureLoader(picture, path);
    return;
  }
  TBitmap bitmap;
  if (!LoadPictureFile(path, &bitmap, false, nullptr) || bitmap.Empty()) return;
  // The picture's graphic takes the bitmap with its transparency.
  picture.Assign(&bitmap);
}
