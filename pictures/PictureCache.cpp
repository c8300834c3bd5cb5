#include "pictures/PictureCache.h"

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/StringList.h"

namespace {

// Sorted, duplicates ignored; the objects are the TBitmaps the cache owns.
TStringList* cache = nullptr;

}  // namespace

void CreatePictureCache() {
  if (cache != nullptr) return;
  cache = new TStringList;
  cache->SetSorted(true);
  cache->SetDuplicates(dupIgnore);
}

void DestroyPictureCache() {
  if (cache == nullptr) return;
  for (int i = 0; i < cache->Count(); ++i) delete static_cast<TBitmap*>(cache->Objects(i));
  delete cache;
  cache = nullptr;
}

bool PictureCacheExists() { return cache != nullptr; }

int PictureCacheCount() { return cache == nullptr ? 0 : cache->Count(); }

TBitmap* FindCachedPicture(const std::string& fileName) {
  if (cache == nullptr) return nullptr;
  int index = 0;
  if (!cache->Find(fileName, index)) return nullptr;
  return static_cast<TBitmap*>(cache->Objects(index));
}

TBitmap* StoreCachedPicture(const std::string& fileName, std::unique_ptr<TBitmap> bitmap) {
  if (cache == nullptr || bitmap == nullptr) return nullptr;
  int index = 0;
  if (cache->Find(fileName, index)) {
    auto* kept = static_cast<TBitmap*>(cache->Objects(index));
    // The entry takes the fresh picture; whoever holds the entry's pointer
    // sees it, and the passed bitmap goes.
    kept->Assign(bitmap.get());
    return kept;
  }
  cache->AddObject(fileName, bitmap.get());
  return static_cast<TBitmap*>(bitmap.release());
}
