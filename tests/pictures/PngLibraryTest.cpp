// The optional PNG library: the shared-library stand-in of LoadLibrary, and
// the loader with the test-built "mypnglib.dll" beside the plug-in and
// without it.

#include <string>
#include <vector>

#include "LoaderFixture.h"

namespace picturetest {
namespace {

using CallsFunction = int (*)();

class PngLibraryTest : public LoaderTest {
 protected:
  // Puts the test library beside the plug-in and loads it.
  void UseLibrary() {
    SetPluginModuleFolder(MYPNGLIB_TEST_DIR);
    LoadPngLibrary();
    ASSERT_TRUE(PngLibraryLoaded());
    ASSERT_NE(PngLibraryEntry(), nullptr);
  }
  int LibraryCalls() {
    HMODULE module = LoadLibrary((std::string(MYPNGLIB_TEST_DIR) + "\\mypnglib.dll").c_str());
    auto calls = reinterpret_cast<CallsFunction>(GetProcAddress(module, "MyPngLibCalls"));
    const int n = calls != nullptr ? calls() : -1;
    FreeLibrary(module);
    return n;
  }
};

TEST_F(PngLibraryTest, WindowsNamesMapToSharedLibraries) {
  EXPECT_EQ(SharedLibraryFileName("mypnglib.dll"), "libmypnglib.so");
  EXPECT_EQ(SharedLibraryFileName("MyPngLib.DLL"), "libmypnglib.so");
  EXPECT_EQ(SharedLibraryFileName("libz.so.1"), "libz.so.1");
  EXPECT_EQ(SharedLibraryFileName("noext"), "noext");
}

TEST_F(PngLibraryTest, LoadLibraryCountsLoadsAndRefusesWhatItDidNotGive) {
  const std::string path = std::string(MYPNGLIB_TEST_DIR) + "\\MYPNGLIB.dll";
  HMODULE a = LoadLibrary(path.c_str());
  ASSERT_NE(a, nullptr);
  HMODULE b = LoadLibrary((std::string(MYPNGLIB_TEST_DIR) + "/mypnglib.dll").c_str());
  EXPECT_EQ(a, b);
  EXPECT_NE(GetProcAddress(a, "_LoadPNG"), nullptr);
  EXPECT_EQ(GetProcAddress(a, "NoSuchEntry"), nullptr);
  EXPECT_EQ(GetProcAddress(nullptr, "_LoadPNG"), nullptr);
  EXPECT_EQ(FreeLibrary(a), TRUE);
  EXPECT_NE(GetProcAddress(b, "_LoadPNG"), nullptr);  // one reference is left
  EXPECT_EQ(FreeLibrary(b), TRUE);
  EXPECT_EQ(FreeLibrary(b), FALSE);
  EXPECT_EQ(LoadLibrary((folder.Path("nolib") + "\\mypnglib.dll").c_str()), nullptr);
  EXPECT_EQ(LoadLibrary("no-such-library-here.dll"), nullptr);
  EXPECT_EQ(LoadLibrary(""), nullptr);
  // A file that is no library.
  WriteBytes(folder.Path("libfake.so"), "not an ELF file");
  EXPECT_EQ(LoadLibrary((folder.Folder().string() + "\\fake.dll").c_str()), nullptr);
}

TEST_F(PngLibraryTest, PluginFolderDefaultsToTheModulesOwnFolder) {
  SetPluginModuleFolder("");
  const std::string own = PluginModuleFolder();
  EXPECT_FALSE(own.empty());
  EXPECT_TRUE(std::filesystem::is_directory(own));
  SetPluginModuleFolder("/somewhere/else");
  EXPECT_EQ(PluginModuleFolder(), "/somewhere/else");
}

TEST_F(PngLibraryTest, WithoutTheLibraryPngGoesThroughOurDecoders) {
  LoadPngLibrary();
  EXPECT_FALSE(PngLibraryLoaded());
  EXPECT_EQ(PngLibraryEntry(), nullptr);
  WritePng(folder.Path("p.png"), 2, 1, {{0, 0, 0, 255}, {5, 5, 5, 0}});
  TBitmap target;
  ASSERT_TRUE(LoadPictureFile(folder.Path("p.png"), &target, false, nullptr));
  EXPECT_EQ(target.PixelData()[0], Word(0, 0, 1, 255));  // our decoders' alpha rule
  EXPECT_TRUE(MessageBoxLog().empty());
  // A failed load is tried again: the library appears and is used.
  SetPluginModuleFolder(MYPNGLIB_TEST_DIR);
  const int before = LibraryCalls();
  ASSERT_TRUE(LoadPictureFile(folder.Path("p.png"), &target, false, nullptr));
  EXPECT_TRUE(PngLibraryLoaded());
  EXPECT_EQ(LibraryCalls(), before + 1);
}

TEST_F(PngLibraryTest, LibraryPictureWithTransparency) {
  UseLibrary();
  const int before = LibraryCalls();
  WritePng(folder.Path("t.png"), 3, 1, {{0, 0, 0, 255}, {10, 20, 30, 255}, {10, 20, 30, 0}});
  TBitmap target;
  ASSERT_TRUE(LoadPictureFile(folder.Path("t.png"), &target, false, nullptr));
  EXPECT_EQ(LibraryCalls(), before + 1);
  ASSERT_EQ(target.Width(), 3);
  // The library's own picture: opaque black stays black.
  EXPECT_EQ(target.PixelData()[0] & 0xFFFFFFu, 0u);
  EXPECT_EQ(target.PixelData()[1] & 0xFFFFFFu, 0x0A141Eu);
  EXPECT_EQ(target.PixelData()[2] & 0xFFFFFFu, 0u);
  EXPECT_TRUE(target.Transparent());
  EXPECT_EQ(target.TransparentMode(), tmFixed);
  EXPECT_EQ(target.TransparentColor(), TColor(0));
}

TEST_F(PngLibraryTest, LibraryKindZeroMakesTheTargetOpaque) {
  UseLibrary();
  WriteRgbPng(folder.Path("o.png"), 1, 1, {{0, 0, 0, 255}});
  TBitmap target;
  target.SetTransparent(true);
  ASSERT_TRUE(LoadPictureFile(folder.Path("o.png"), &target, false, nullptr));
  EXPECT_FALSE(target.Transparent());
  // With a cache the cache's own bitmap is handed out, transparent as built.
  CreatePictureCache();
  TBitmap* out = nullptr;
  ASSERT_TRUE(LoadPictureFile(folder.Path("o.png"), nullptr, false, &out));
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out, FindCachedPicture(folder.Path("o.png")));
  EXPECT_TRUE(out->Transparent());
  // Into a target with a cache: the kind decides the target's transparency.
  TBitmap second;
  second.SetTransparent(true);
  ASSERT_TRUE(LoadPictureFile(folder.Path("o.png"), &second, true, nullptr));
  EXPECT_FALSE(second.Transparent());
  EXPECT_EQ(PictureCacheCount(), 1);
}

TEST_F(PngLibraryTest, KindOneAndFailedAnswersFallBackToOurDecoders) {
  UseLibrary();
  const int before = LibraryCalls();
  // Interlaced: the library asks us to decode it ourselves.
  WritePng(folder.Path("i.png"), 2, 2, {{0, 0, 0, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}, {0, 0, 0, 255}}, true);
  TBitmap target;
  ASSERT_TRUE(LoadPictureFile(folder.Path("i.png"), &target, false, nullptr));
  EXPECT_EQ(target.PixelData()[0], Word(0, 0, 1, 255));
  // A GIF named ".png": libpng cannot read it, our decoders can.
  WriteGif(folder.Path("g.png"), 1, 1, {{3, 4, 5, 255}, {0, 0, 0, 255}}, {0}, -1);
  ASSERT_TRUE(LoadPictureFile(folder.Path("g.png"), &target, false, nullptr));
  EXPECT_EQ(target.PixelData()[0], Word(3, 4, 5, 255));
  EXPECT_EQ(LibraryCalls(), before + 2);
  EXPECT_TRUE(MessageBoxLog().empty());
}

TEST_F(PngLibraryTest, UnloadForgetsTheLibraryAndItsEntry) {
  UseLibrary();
  UnloadPngLibrary();
  EXPECT_FALSE(PngLibraryLoaded());
  EXPECT_EQ(PngLibraryEntry(), nullptr);
  UnloadPngLibrary();  // harmless
  LoadPngLibrary();
  EXPECT_TRUE(PngLibraryLoaded());
}

}  // namespace
}  // namespace picturetest
