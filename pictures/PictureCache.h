#pragma once
// The picture cache: the bitmaps of loaded picture files, kept by file name
// (exactly as passed to the loader; names compare without regard to letter
// case, as a sorted string list does) while the page designer lives.
//
// The designer creates the cache when it loads its first page and destroys it,
// with every bitmap in it, when it is destroyed. While there is no cache the
// loader loads straight into its target.
//
// The cache owns every bitmap in it. Pointers to them that the loader hands
// out are borrowed: they stay valid until the cache is destroyed. Storing a
// picture under a name that is already there gives the existing bitmap the new
// picture, so a pointer handed out before keeps pointing at the current
// picture of that file. Used on the user-interface thread only.

#include <memory>
#include <string>

class TBitmap;

// Creates the cache when there is none (a second call changes nothing).
void CreatePictureCache();
// Frees every bitmap and the cache; nothing when there is none.
void DestroyPictureCache();
bool PictureCacheExists();
// The number of pictures in the cache (0 without a cache).
int PictureCacheCount();

// The cached bitmap of the file name, or null (also without a cache).
TBitmap* FindCachedPicture(const std::string& fileName);
// Stores the picture under the file name and answers the cache's bitmap for
// it: a new entry, or the entry already there, which takes the picture over
// (the passed bitmap is then freed). Null, with the bitmap freed, when there
// is no cache or no bitmap.
TBitmap* StoreCachedPicture(const std::string& fileName, std::unique_ptr<TBitmap> bitmap);
