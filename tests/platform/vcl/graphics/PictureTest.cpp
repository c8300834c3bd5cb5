// TPicture: loading by extension, the Bitmap accessor, Assign and changes.

#include <fstream>

#include "platform/vcl/Streams.h"
#include "tests/platform/vcl/graphics/GraphicsTestSupport.h"

using gfxtest::At;
using gfxtest::Filled;

namespace {
class Pictures : public gfxtest::ScratchDir {};
}  // namespace

TEST_F(Pictures, LoadByExtension) {
  auto source = Filled(5, 4, clNavy);
  source->SaveToFile(Path("a.bmp"));
  source->SaveToFile(Path("b.BMP"));

  TPicture picture;
  int changes = 0;
  picture.OnChange = [&] { ++changes; };
  EXPECT_TRUE(picture.Empty());
  picture.LoadFromFile(Path("a.bmp"));
  EXPECT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_EQ(picture.Height(), 4);
  EXPECT_EQ(changes, 1);
  picture.LoadFromFile(Path("b.BMP"));
  EXPECT_EQ(At(*picture.Bitmap(), 2, 2), clNavy);

  // A backslash path with a folder of another case still works.
  std::filesystem::create_directories(dir / "Images");
  source->SaveToFile(Path("Images") + "/c.bmp");
  picture.LoadFromFile(dir.string() + "\\IMAGES\\c.bmp");
  EXPECT_EQ(picture.Width(), 5);

  // Unknown extensions and missing files raise; the picture keeps what it had.
  EXPECT_THROW(picture.LoadFromFile(Path("a.tif")), EInvalidGraphic);
  EXPECT_THROW(picture.LoadFromFile(Path("noext")), EInvalidGraphic);
  EXPECT_THROW(picture.LoadFromFile(Path("missing.bmp")), EFOpenError);
  std::filesystem::copy_file(Path("a.bmp"), Path("fake.jpg"));
  EXPECT_THROW(picture.LoadFromFile(Path("fake.jpg")), EInvalidGraphic);
  EXPECT_EQ(picture.Width(), 5);

  ASSERT_TRUE(gfxtest::HaveTool("cjpeg")) << "libjpeg-turbo-progs is missing (scripts/setup.sh installs it)";
  std::ofstream(Path("p.ppm"), std::ios::binary) << "P6\n3 2\n255\n" << std::string(18, '\x40');
  ASSERT_TRUE(gfxtest::Run("cjpeg -outfile " + Path("p.JPEG") + " " + Path("p.ppm")));
  picture.LoadFromFile(Path("p.JPEG"));
  EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 3);
}

TEST_F(Pictures, BitmapAccessorAssignAndIcons) {
  TPicture picture;
  TBitmap* bitmap = picture.Bitmap();  // an empty picture gets an empty bitmap
  ASSERT_NE(bitmap, nullptr);
  EXPECT_TRUE(picture.Empty());
  bitmap->SetSize(3, 3);
  EXPECT_FALSE(picture.Empty());
  EXPECT_EQ(picture.Bitmap(), bitmap);  // the same one again

  int changes = 0;
  picture.OnChange = [&] { ++changes; };
  bitmap->SetSize(6, 3);  // the graphic's own change reaches the picture
  EXPECT_EQ(changes, 1);

  TPicture other;
  other.Assign(&picture);
  EXPECT_EQ(other.Width(), 6);
  EXPECT_NE(other.Graphic(), picture.Graphic());  // a copy

  picture.SetGraphic(nullptr);
  EXPECT_TRUE(picture.Empty());
  EXPECT_EQ(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Width(), 0);

  // An icon in a picture; asking for the bitmap then replaces it.
  auto big = Filled(4, 4, clRed);
  picture.Assign(big.get());
  EXPECT_EQ(picture.Width(), 4);
  TIcon* icon = picture.Icon();
  EXPECT_TRUE(icon->Empty());
  EXPECT_TRUE(picture.Empty());
  picture.SaveToFile(Path("nothing.ico"));  // an empty icon writes an empty file
  picture.SetGraphic(nullptr);
  picture.SaveToFile(Path("none.bmp"));  // nothing to save
  EXPECT_FALSE(std::filesystem::exists(Path("none.bmp")));
}
