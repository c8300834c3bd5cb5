#include "pictures/PictureCache.h"

#include <map>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/StringList.h"

namespace {

// File names in the order (and with the equality) of a sorted string list:
// letter case aside.
struct FileNameLess {
  bool operator()(const std::string& a, const std::string& b) const { return TStringList::CompareStrings(a, b) < 0; }
};

using PictureMap = std::map<std::string, std::unique_ptr<TBitmap>, FileNameLess>;

// The cache while it exists; it owns every bitmap in it.
std::unique_ptr<PictureMap> gCache;

}  // namespace

void CreatePictureCache() {
  if (gCache == nullptr) gCache = std::make_unique<PictureMap>();
}

void DestroyPictureCache() { gCache.reset(); }

bool PictureCacheExists() { return gCache != nullptr; }

int PictureCacheCount() { return gCache == nullptr ? 0 : static_cast<int>(gCache->size()); }

TBitmap* FindCachedPicture(const std::string& fileName) {
  if (gCache == nullptr) return nullptr;
  const auto found = gCache->find(fileName);
  return found != gCache->end() ? found->second.get() : nullptr;
}

TBitmap* StoreCachedPicture(const std::string& fileName, std::unique_ptr<TBitmap> bitmap) {
  if (gCache == nullptr || bitmap == nullptr) return nullptr;
  const auto [entry, added] = gCache->try_emplace(fileName, nullptr);
  if (added) {
    entry->second = std::move(bitmap);
  } else {
    // The entry takes the fresh picture; whoever holds the entry's pointer
    // sees it, and the passed bitmap goes.
    entry->second->Assign(bitmap.get());
  }
  return entry->second.get();
}
