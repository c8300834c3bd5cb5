// The picture cache: the handed-out bitmap is always the cache's own entry
// (for every format), a second load takes the entry without reading the file,
// bypass gives the entry the fresh picture, and the cache frees every bitmap.
// Run under ASan these tests also prove that nothing leaks or is freed twice.

#include <filesystem>
#include <string>
#include <vector>

#include "LoaderFixture.h"
#include "pictures/ImageLibraryLoad.h"

namespace picturetest {
namespace {

// A GIF header whose global colour table is cut off.
const std::string kBrokenGif("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13);

class PictureCacheTest : public LoaderTest {
 protected:
  void SetUp() override {
    LoaderTest::SetUp();
    CreatePictureCache();
  }
  // One small file of each way through the loader.
  std::vector<std::string> WriteOneOfEach(std::uint8_t shade) {
    const std::vector<Rgba> px(4, Rgba{shade, 0, 0, 255});
    WriteBmp(folder.Path("a.bmp"), 2, 2, px);
    WriteJpeg(folder.Path("b.jpg"), 2, 2, px);
    WriteJpeg(folder.Path("c.jpeg"), 2, 2, px);
    WritePng(folder.Path("d.png"), 2, 2, px);
    WriteGif(folder.Path("e.gif"), 2, 2, {{shade, 0, 0, 255}, {0, 0, 0, 255}}, {0, 0, 0, 0}, -1);
    return {folder.Path("a.bmp"), folder.Path("b.jpg"), folder.Path("c.jpeg"), folder.Path("d.png"),
            folder.Path("e.gif")};
  }
};

TEST_F(PictureCacheTest, HandedOutBitmapIsTheCachesEntryForEveryFormat) {
  const auto files = WriteOneOfEach(200);
  for (const std::string& file : files) {
    TBitmap* out = nullptr;
    ASSERT_TRUE(LoadPictureFile(file, nullptr, false, &out)) << file;
    ASSERT_NE(out, nullptr) << file;
    EXPECT_EQ(out, FindCachedPicture(file)) << file;
    EXPECT_NEAR(int(out->PixelData()[0] >> 16 & 0xFF), 200, 3) << file;
  }
  EXPECT_EQ(PictureCacheCount(), 5);
  DestroyPictureCache();  // frees all five; the pointers are gone with it
  EXPECT_FALSE(PictureCacheExists());
  EXPECT_EQ(PictureCacheCount(), 0);
}

TEST_F(PictureCacheTest, SecondLoadTakesTheEntryWithoutReadingTheFile) {
  const auto files = WriteOneOfEach(100);
  std::vector<TBitmap*> first;
  for (const std::string& file : files) {
    TBitmap* out = nullptr;
    ASSERT_TRUE(LoadPictureFile(file, nullptr, false, &out));
    first.push_back(out);
  }
  for (const std::string& file : files) std::filesystem::remove(file);
  for (std::size_t i = 0; i < files.size(); ++i) {
    TBitmap* out = nullptr;
    EXPECT_TRUE(LoadPictureFile(files[i], nullptr, false, &out));
    EXPECT_EQ(out, first[i]);
    // Into a target: a copy of the cached picture.
    TBitmap target;
    EXPECT_TRUE(LoadPictureFile(files[i], &target, false, nullptr));
    EXPECT_NE(&target, first[i]);
    EXPECT_EQ(target.Width(), 2);
  }
  // The name compares without regard to letter case, as the sorted list does.
  TBitmap* upper = nullptr;
  std::string name = files[0];
  name.replace(name.size() - 5, 5, "A.BMP");
  EXPECT_TRUE(LoadPictureFile(name, nullptr, false, &upper));
  EXPECT_EQ(upper, first[0]);
  EXPECT_EQ(PictureCacheCount(), 5);
}

TEST_F(PictureCacheTest, BypassReplacesTheEntrysPictureInPlace) {
  const auto files = WriteOneOfEach(50);
  std::vector<TBitmap*> first;
  for (const std::string& file : files) {
    TBitmap* out = nullptr;
    ASSERT_TRUE(LoadPictureFile(file, nullptr, false, &out));
    first.push_back(out);
  }
  WriteOneOfEach(220);
  for (std::size_t i = 0; i < files.size(); ++i) {
    // Without bypass the old picture stays.
    TBitmap* out = nullptr;
    ASSERT_TRUE(LoadPictureFile(files[i], nullptr, false, &out));
    EXPECT_NEAR(int(out->PixelData()[0] >> 16 & 0xFF), 50, 3) << files[i];
    // With bypass: read again, the same entry holds the fresh picture, and
    // the target gets it too.
    TBitmap target;
    ASSERT_TRUE(LoadPictureFile(files[i], &target, true, nullptr));
    EXPECT_NEAR(int(target.PixelData()[0] >> 16 & 0xFF), 220, 3) << files[i];
    EXPECT_EQ(FindCachedPicture(files[i]), first[i]);
    EXPECT_NEAR(int(first[i]->PixelData()[0] >> 16 & 0xFF), 220, 3) << files[i];
    ASSERT_TRUE(LoadPictureFile(files[i], nullptr, true, &out));
    EXPECT_EQ(out, first[i]);
  }
  EXPECT_EQ(PictureCacheCount(), 5);
}

TEST_F(PictureCacheTest, BypassWithADifferentFormatTakesItsTransparency) {
  // The same name holds a transparent PNG first, then an opaque BMP.
  WritePng(folder.Path("x.gif"), 1, 1, {{1, 1, 1, 0}});
  TBitmap* out = nullptr;
  ASSERT_TRUE(LoadPictureFile(folder.Path("x.gif"), nullptr, false, &out));
  EXPECT_TRUE(out->Transparent());
  WriteBmp(folder.Path("x.gif"), 3, 1, {{9, 9, 9, 255}, {9, 9, 9, 255}, {9, 9, 9, 255}});
  TBitmap* again = nullptr;
  ASSERT_TRUE(LoadPictureFile(folder.Path("x.gif"), nullptr, true, &again));
  EXPECT_EQ(again, out);
  EXPECT_FALSE(out->Transparent());
  EXPECT_EQ(out->Width(), 3);
}

TEST_F(PictureCacheTest, DecoderFailureCachesNothingAndHandsOutNull) {
  WriteBytes(folder.Path("bad.gif"), kBrokenGif);
  TBitmap* out = reinterpret_cast<TBitmap*>(0x1);
  EXPECT_TRUE(LoadPictureFile(folder.Path("bad.gif"), nullptr, false, &out));
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(PictureCacheCount(), 0);
  ASSERT_EQ(MessageBoxLog().size(), 1u);

  // A bypass load that fails keeps the entry's last good picture.
  WriteGif(folder.Path("ok.gif"), 1, 1, {{7, 7, 7, 255}, {0, 0, 0, 255}}, {0}, -1);
  TBitmap* good = nullptr;
  ASSERT_TRUE(LoadPictureFile(folder.Path("ok.gif"), nullptr, false, &good));
  WriteBytes(folder.Path("ok.gif"), kBrokenGif);
  TBitmap target;
  target.SetSize(4, 4);
  EXPECT_TRUE(LoadPictureFile(folder.Path("ok.gif"), &target, true, nullptr));
  EXPECT_EQ(target.Width(), 4);
  EXPECT_EQ(FindCachedPicture(folder.Path("ok.gif")), good);
  EXPECT_EQ(good->PixelData()[0], Word(7, 7, 7, 255));
}

TEST_F(PictureCacheTest, WithoutACacheTheOutBitmapIsLeftAlone) {
  DestroyPictureCache();
  WriteOneOfEach(10);
  TBitmap* const sentinel = reinterpret_cast<TBitmap*>(0x10);
  TBitmap* out = sentinel;
  TBitmap target;
  ASSERT_TRUE(LoadPictureFile(folder.Path("d.png"), &target, false, &out));
  EXPECT_EQ(out, sentinel);
  EXPECT_EQ(target.Width(), 2);
  EXPECT_EQ(FindCachedPicture(folder.Path("d.png")), nullptr);
}

TEST_F(PictureCacheTest, LoadWithImageLibraryStoresInTheCache) {
  WriteGif(folder.Path("g.gif"), 1, 1, {{1, 2, 3, 255}, {0, 0, 0, 255}}, {0}, -1);
  TBitmap target;
  LoadWithImageLibrary(folder.Path("g.gif"), &target);
  TBitmap* cached = FindCachedPicture(folder.Path("g.gif"));
  ASSERT_NE(cached, nullptr);
  EXPECT_NE(cached, &target);
  LoadWithImageLibrary(folder.Path("g.gif"), nullptr);  // replaces, frees the new one
  EXPECT_EQ(FindCachedPicture(folder.Path("g.gif")), cached);
  EXPECT_EQ(PictureCacheCount(), 1);
}

TEST_F(PictureCacheTest, CreateTwiceAndDestroyTwiceAreHarmless) {
  CreatePictureCache();
  WritePng(folder.Path("p.png"), 1, 1, {{1, 2, 3, 255}});
  ASSERT_TRUE(LoadPictureFile(folder.Path("p.png"), nullptr, false, nullptr));
  CreatePictureCache();
  EXPECT_EQ(PictureCacheCount(), 1);
  DestroyPictureCache();
  DestroyPictureCache();
  EXPECT_EQ(StoreCachedPicture("x", std::make_unique<TBitmap>()), nullptr);
}

}  // namespace
}  // namespace picturetest
