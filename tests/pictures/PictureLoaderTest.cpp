// The loader by extension, without a picture cache: each format into a target,
// the alpha rule of PNG and GIF, the error box of a decoder failure and the
// answers for unknown extensions and broken files.

#include <string>
#include <vector>

#include "LoaderFixture.h"
#include "imaging/ReadAnyImageFile.h"
#include "pictures/EditableBitmapImage.h"
#include "pictures/ImageLibraryLoad.h"

namespace picturetest {
namespace {

const std::vector<Rgba> kFour = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {10, 20, 30, 255}};

class PictureLoaderTest : public LoaderTest {};

TEST_F(PictureLoaderTest, BmpByExtensionInAnyCase) {
  for (const std::string name : {"PIC.bmp", "pic.BMP"}) {
    WriteBmp(folder.Path(name), 2, 2, kFour);
    TBitmap target;
    ASSERT_TRUE(LoadPictureFile(folder.Path(name), &target, false, nullptr)) << name;
    ASSERT_EQ(target.Width(), 2);
    ASSERT_EQ(target.Height(), 2);
    EXPECT_EQ(Rgb(target, 0, 0), 0xFF0000u);
    EXPECT_EQ(Rgb(target, 1, 0), 0x00FF00u);
    EXPECT_EQ(Rgb(target, 0, 1), 0x0000FFu);
    EXPECT_EQ(Rgb(target, 1, 1), 0x0A141Eu);
    EXPECT_FALSE(target.Transparent());
  }
}

TEST_F(PictureLoaderTest, JpegByBothExtensionsThroughTheClassLibrary) {
  std::vector<Rgba> flat(16 * 16, Rgba{200, 40, 90, 255});
  for (const std::string name : {"a.jpg", "b.JPEG"}) {
    WriteJpeg(folder.Path(name), 16, 16, flat);
    TBitmap target;
    ASSERT_TRUE(LoadPictureFile(folder.Path(name), &target, false, nullptr)) << name;
    ASSERT_EQ(target.Width(), 16);
    const std::uint32_t p = Rgb(target, 8, 8);
    EXPECT_NEAR(int(p >> 16 & 0xFF), 200, 3);
    EXPECT_NEAR(int(p >> 8 & 0xFF), 40, 3);
    EXPECT_NEAR(int(p & 0xFF), 90, 3);
  }
}

TEST_F(PictureLoaderTest, PngAlphaRuleAndTransparentBlack) {
  // Alpha 0, 127, 128 and 255, and an opaque pure black.
  const std::vector<Rgba> pixels = {{9, 8, 7, 0},   {9, 8, 7, 127}, {9, 8, 7, 128},
                                    {9, 8, 7, 255}, {0, 0, 0, 255}, {0, 0, 0, 0}};
  WritePng(folder.Path("alpha.png"), 6, 1, pixels);
  TBitmap target;
  ASSERT_TRUE(LoadPictureFile(folder.Path("alpha.png"), &target, false, nullptr));
  ASSERT_EQ(target.Width(), 6);
  EXPECT_EQ(Pixel(target, 0, 0), 0u);
  EXPECT_EQ(Pixel(target, 1, 0), 0u);
  EXPECT_EQ(Pixel(target, 2, 0), Word(9, 8, 7, 255));
  EXPECT_EQ(Pixel(target, 3, 0), Word(9, 8, 7, 255));
  EXPECT_EQ(Pixel(target, 4, 0), Word(0, 0, 1, 255));
  EXPECT_EQ(Pixel(target, 5, 0), 0u);
  EXPECT_TRUE(target.Transparent());
  EXPECT_EQ(target.TransparentMode(), tmFixed);
  EXPECT_EQ(target.TransparentColor(), TColor(0));
  EXPECT_EQ(target.PixelFormat(), pf32bit);
  EXPECT_TRUE(MessageBoxLog().empty());
}

TEST_F(PictureLoaderTest, InterlacedPngDecodesLikeTheReference) {
  std::vector<Rgba> pixels;
  for (int i = 0; i < 9 * 7; ++i)
    pixels.push_back(Rgba{std::uint8_t(i * 3), std::uint8_t(255 - i), std::uint8_t(i * 2 + 1), 255});
  WritePng(folder.Path("inter.png"), 9, 7, pixels, true);
  TBitmap target;
  ASSERT_TRUE(LoadPictureFile(folder.Path("inter.png"), &target, false, nullptr));
  ASSERT_EQ(target.Width(), 9);
  ASSERT_EQ(target.Height(), 7);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x) {
      const Rgba& c = pixels[y * 9 + x];
      EXPECT_EQ(Pixel(target, x, y), Word(c.r, c.g, c.b, 255)) << x << "," << y;
    }
}

TEST_F(PictureLoaderTest, GifWithTransparentIndex) {
  const std::vector<Rgba> palette = {{255, 255, 255, 255}, {0, 0, 0, 255}, {12, 34, 56, 255}, {1, 2, 3, 255}};
  WriteGif(folder.Path("pic.gif"), 4, 1, palette, {0, 1, 2, 3}, 3);
  TBitmap target;
  ASSERT_TRUE(LoadPictureFile(folder.Path("pic.gif"), &target, false, nullptr));
  ASSERT_EQ(target.Width(), 4);
  EXPECT_EQ(Pixel(target, 0, 0), Word(255, 255, 255, 255));
  EXPECT_EQ(Pixel(target, 1, 0), Word(0, 0, 1, 255));  // opaque black stays visible
  EXPECT_EQ(Pixel(target, 2, 0), Word(12, 34, 56, 255));
  EXPECT_EQ(Pixel(target, 3, 0), 0u);  // the transparent index
  EXPECT_TRUE(target.Transparent());
}

TEST_F(PictureLoaderTest, ContentDecidesBehindPngAndGifNames) {
  // A GIF named ".png" goes through our decoders, which read it as GIF.
  WriteGif(folder.Path("really-gif.png"), 2, 1, {{5, 6, 7, 255}, {8, 9, 10, 255}}, {1, 0}, -1);
  TBitmap target;
  ASSERT_TRUE(LoadPictureFile(folder.Path("really-gif.png"), &target, false, nullptr));
  EXPECT_EQ(Pixel(target, 0, 0), Word(8, 9, 10, 255));
  EXPECT_EQ(Pixel(target, 1, 0), Word(5, 6, 7, 255));

  // A BMP named ".gif": decoded by content, no alpha rule, not transparent.
  WriteBmp(folder.Path("really-bmp.gif"), 2, 2, kFour);
  TBitmap bmp;
  ASSERT_TRUE(LoadPictureFile(folder.Path("really-bmp.gif"), &bmp, false, nullptr));
  EXPECT_EQ(Rgb(bmp, 1, 1), 0x0A141Eu);
  EXPECT_FALSE(bmp.Transparent());

  // A text file named ".gif": an empty picture, no error.
  WriteBytes(folder.Path("text.gif"), "this is not a picture at all\r\n");
  TBitmap text;
  text.SetSize(3, 3);
  ASSERT_TRUE(LoadPictureFile(folder.Path("text.gif"), &text, false, nullptr));
  EXPECT_EQ(text.Width(), 0);
  EXPECT_EQ(text.Height(), 0);
  EXPECT_TRUE(MessageBoxLog().empty());
}

TEST_F(PictureLoaderTest, OtherNamesLoadByContentOrAnswerFalse) {
  // A TIFF file, a text file and a missing file under other names: refused.
  WriteBytes(folder.Path("pic.tif"), std::string("II*\0\x08\0\0\0\0\0\0\0", 12));
  WriteBytes(folder.Path("notes.txt"), "nothing to see here\r\n");
  Screen->SetCursor(crHandPoint);
  TBitmap target;
  target.SetSize(5, 4);
  EXPECT_FALSE(LoadPictureFile(folder.Path("pic.tif"), &target, false, nullptr));
  EXPECT_FALSE(LoadPictureFile(folder.Path("notes.txt"), &target, false, nullptr));
  EXPECT_FALSE(LoadPictureFile(folder.Path("missing.tif"), &target, false, nullptr));
  EXPECT_EQ(target.Width(), 5);
  EXPECT_EQ(Screen->Cursor(), crHandPoint);
  EXPECT_TRUE(MessageBoxLog().empty());
  // Picture content under another name loads through our decoders.
  WriteBmp(folder.Path("bmp.tif"), 2, 2, kFour);
  WritePng(folder.Path("noext"), 1, 1, {{0, 0, 0, 255}});
  ASSERT_TRUE(LoadPictureFile(folder.Path("bmp.tif"), &target, false, nullptr));
  EXPECT_EQ(Rgb(target, 1, 1), 0x0A141Eu);
  EXPECT_FALSE(target.Transparent());
  ASSERT_TRUE(LoadPictureFile(folder.Path("noext"), &target, false, nullptr));
  EXPECT_EQ(Pixel(target, 0, 0), Word(0, 0, 1, 255));
  EXPECT_TRUE(target.Transparent());
}

TEST_F(PictureLoaderTest, MissingOrBrokenFilesOfTheClassLibraryAnswerFalse) {
  WriteBytes(folder.Path("broken.bmp"), "BM garbage");
  WriteBytes(folder.Path("broken.jpg"), std::string("\xFF\xD8\xFF\xE0", 4) + "garbage");
  Screen->SetCursor(crHandPoint);
  TBitmap target;
  target.SetSize(5, 4);
  EXPECT_FALSE(LoadPictureFile(folder.Path("missing.bmp"), &target, false, nullptr));
  EXPECT_FALSE(LoadPictureFile(folder.Path("missing.jpg"), &target, false, nullptr));
  EXPECT_FALSE(LoadPictureFile(folder.Path("broken.bmp"), &target, false, nullptr));
  EXPECT_FALSE(LoadPictureFile(folder.Path("broken.jpg"), &target, false, nullptr));
  // The target keeps what it had and the cursor comes back.
  EXPECT_EQ(target.Width(), 5);
  EXPECT_EQ(target.Height(), 4);
  EXPECT_EQ(Screen->Cursor(), crHandPoint);
  // With a cache nothing is stored for them.
  CreatePictureCache();
  TBitmap* out = nullptr;
  EXPECT_FALSE(LoadPictureFile(folder.Path("broken.bmp"), nullptr, false, &out));
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(PictureCacheCount(), 0);
}

TEST_F(PictureLoaderTest, CursorIsTheHourglassWhileLoadingAndRestoredAfter) {
  WriteBmp(folder.Path("pic.bmp"), 2, 2, kFour);
  Screen->SetCursor(crIBeam);
  std::vector<std::string> shown;
  SetPictureStatusHook([&shown](const std::string& name) { shown.push_back(name); });
  // A handler sees the cursor while the decoder's error box is up.
  WriteBytes(folder.Path("bad.png"), std::string("\x89PNG\r\n\x1a\n", 8) + "truncated");
  TCursor during = crDefault;
  AddMessageBoxHandler("", [&during](const MessageBoxRecord&) {
    during = Screen->Cursor();
    return 0;
  });
  TBitmap target;
  EXPECT_TRUE(LoadPictureFile(folder.Path("pic.bmp"), &target, false, nullptr));
  EXPECT_TRUE(LoadPictureFile(folder.Path("bad.png"), &target, false, nullptr));
  EXPECT_EQ(during, crHourGlass);
  EXPECT_EQ(Screen->Cursor(), crIBeam);
  EXPECT_EQ(shown, (std::vector<std::string>{folder.Path("pic.bmp"), folder.Path("bad.png")}));
}

TEST_F(PictureLoaderTest, DecoderErrorShowsTheDecodersTextAndAnswersTrue) {
  // A PNG whose IHDR checksum is wrong.
  WritePng(folder.Path("good.png"), 2, 2, {{1, 2, 3, 255}, {1, 2, 3, 255}, {1, 2, 3, 255}, {1, 2, 3, 255}});
  std::string bytes = ReadBytes(folder.Path("good.png"));
  bytes[29] ^= 0x55;  // inside the IHDR CRC
  WriteBytes(folder.Path("crc.png"), bytes);
  // The decoders' own message for it, straight from them.
  std::string expected;
  try {
    EditableBitmapImage image;
    Veldaro::ReadAnyImageFile(folder.Path("crc.png"), image, nullptr, nullptr);
  } catch (const std::exception& e) {
    expected = e.what();
  }
  ASSERT_FALSE(expected.empty());

  TBitmap target;
  target.SetSize(7, 3);
  EXPECT_TRUE(LoadPictureFile(folder.Path("crc.png"), &target, false, nullptr));
  EXPECT_EQ(target.Width(), 7);  // nothing assigned
  const auto log = MessageBoxLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].kind, MessageBoxRecord::Box);
  EXPECT_EQ(log[0].owner, nullptr);
  EXPECT_EQ(log[0].text, "The picture \"" + folder.Path("crc.png") + "\" could not be read: " + expected);
  EXPECT_EQ(log[0].caption, "Error");
  EXPECT_EQ(log[0].flags, MB_OK);
  EXPECT_NE(TraceText().find("Load - End - Error"), std::string::npos);
  EXPECT_EQ(TraceText().find("Hardcopy"), std::string::npos);
}

TEST_F(PictureLoaderTest, TraceStepsOfOurDecoders) {
  WritePng(folder.Path("p.png"), 1, 1, {{1, 2, 3, 255}});
  WriteBmp(folder.Path("b.gif"), 1, 1, {{1, 2, 3, 255}});
  TBitmap target;
  ASSERT_TRUE(LoadPictureFile(folder.Path("p.png"), &target, false, nullptr));
  std::string trace = TraceText();
  const auto t = trace.find("\tTransparency"), h = trace.find("\tHardcopy"), a = trace.find("\tAssign");
  ASSERT_NE(t, std::string::npos);
  ASSERT_NE(h, std::string::npos);
  ASSERT_NE(a, std::string::npos);
  EXPECT_LT(t, h);
  EXPECT_LT(h, a);
  // A BMP content gets no transparency step.
  WriteBytes(folder.Path("plugins.log"), "");
  ASSERT_TRUE(LoadPictureFile(folder.Path("b.gif"), &target, false, nullptr));
  trace = TraceText();
  EXPECT_EQ(trace.find("Transparency"), std::string::npos);
  EXPECT_NE(trace.find("Hardcopy"), std::string::npos);
}

TEST_F(PictureLoaderTest, WithoutATargetTheLoadOnlyChecksTheFile) {
  WriteBmp(folder.Path("pic.bmp"), 2, 2, kFour);
  WritePng(folder.Path("pic.png"), 1, 1, {{1, 2, 3, 255}});
  EXPECT_TRUE(LoadPictureFile(folder.Path("pic.bmp"), nullptr, false, nullptr));
  EXPECT_TRUE(LoadPictureFile(folder.Path("pic.png"), nullptr, false, nullptr));
  EXPECT_FALSE(LoadPictureFile(folder.Path("gone.bmp"), nullptr, false, nullptr));
}

TEST_F(PictureLoaderTest, SystemPathsWithBackslashesAndOtherLetterCase) {
  std::filesystem::create_directories(folder.Folder() / "Images");
  WritePng(folder.Path("Images/Lamp.png"), 1, 1, {{1, 2, 3, 255}});
  TBitmap target;
  ASSERT_TRUE(LoadPictureFile(folder.Folder().string() + "\\IMAGES\\lamp.PNG", &target, false, nullptr));
  EXPECT_EQ(Pixel(target, 0, 0), Word(1, 2, 3, 255));
}

TEST_F(PictureLoaderTest, LoadWithImageLibraryFillsTheTarget) {
  WriteGif(folder.Path("g.gif"), 1, 1, {{40, 50, 60, 255}, {0, 0, 0, 255}}, {0}, -1);
  TBitmap target;
  LoadWithImageLibrary(folder.Path("g.gif"), &target);
  EXPECT_EQ(Pixel(target, 0, 0), Word(40, 50, 60, 255));
  LoadWithImageLibrary(folder.Path("missing.gif"), &target);  // shown, nothing assigned
  EXPECT_EQ(target.Width(), 1);
  ASSERT_EQ(MessageBoxLog().size(), 1u);
  EXPECT_EQ(MessageBoxLog()[0].caption, "Error");
}

}  // namespace
}  // namespace picturetest
