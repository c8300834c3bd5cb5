// TJPEGImage against libjpeg-turbo's own tools (cjpeg makes the files, djpeg
// decodes them for comparison).

#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/vcl/Streams.h"
#include "tests/platform/vcl/graphics/GraphicsTestSupport.h"

using gfxtest::At;

namespace {

// A P6 (colour) or P5 (grey) file as TColor pixels.
bool ReadPnm(const std::string& path, int& w, int& h, std::vector<TColor>& pixels) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int max;
  in >> magic >> w >> h >> max;
  in.get();
  if ((magic != "P6" && magic != "P5") || max != 255) return false;
  const int channels = magic == "P6" ? 3 : 1;
  pixels.clear();
  for (int i = 0; i < w * h; ++i) {
    unsigned char v[3];
    in.read(reinterpret_cast<char*>(v), channels);
    if (channels == 1) v[1] = v[2] = v[0];
    pixels.push_back(static_cast<TColor>(v[0] | (v[1] << 8) | (v[2] << 16)));
  }
  return static_cast<bool>(in);
}

void WriteTestPpm(const std::string& path, int w, int h) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << w << " " << h << "\n255\n";
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const char rgb[3] = {static_cast<char>(x * 255 / w), static_cast<char>(y * 255 / h),
                           static_cast<char>(((x / 8 + y / 8) % 2) * 200)};
      out.write(rgb, 3);
    }
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<TColor> Pixels(const TJPEGImage& jpeg) {
  std::vector<TColor> out;
  const std::uint32_t* p = jpeg.PixelData();
  for (int i = 0; i < jpeg.Width() * jpeg.Height(); ++i)
    out.push_back(static_cast<TColor>(((p[i] >> 16) & 0xFF) | (p[i] & 0xFF00) | ((p[i] & 0xFF) << 16)));
  return out;
}

class Jpeg : public gfxtest::ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    ASSERT_TRUE(gfxtest::HaveTool("cjpeg") && gfxtest::HaveTool("djpeg"))
        << "libjpeg-turbo-progs is missing (scripts/setup.sh installs it)";
    WriteTestPpm(Path("in.ppm"), 61, 37);
  }
};

}  // namespace

TEST_F(Jpeg, DecodesLikeLibjpeg) {
  for (const std::string options :
       {"", "-grayscale", "-progressive", "-sample 1x1 -quality 95", "-optimize -quality 20"}) {
    ASSERT_TRUE(gfxtest::Run("cjpeg " + options + " -outfile " + Path("a.jpg") + " " + Path("in.ppm"))) << options;
    ASSERT_TRUE(gfxtest::Run("djpeg -outfile " + Path("a.pnm") + " " + Path("a.jpg"))) << options;
    int w = 0, h = 0;
    std::vector<TColor> expected;
    ASSERT_TRUE(ReadPnm(Path("a.pnm"), w, h, expected)) << options;
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Path("a.jpg"));
    EXPECT_EQ(jpeg.Width(), 61) << options;
    EXPECT_EQ(jpeg.Height(), 37) << options;
    EXPECT_EQ(Pixels(jpeg), expected) << options;

    // A bitmap assigned from it gets the same pixels.
    TBitmap bitmap;
    bitmap.Assign(&jpeg);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(gfxtest::Colors(bitmap), expected) << options;
  }
}

TEST_F(Jpeg, CmykFilesAreConverted) {
  ASSERT_TRUE(gfxtest::HaveTool("convert")) << "ImageMagick's convert is missing (scripts/setup.sh installs it)";
  ASSERT_TRUE(gfxtest::Run("convert " + Path("in.ppm") + " -colorspace CMYK -quality 100 " + Path("cmyk.jpg")));
  TJPEGImage jpeg;
  jpeg.LoadFromFile(Path("cmyk.jpg"));
  int w = 0, h = 0;
  std::vector<TColor> original;
  ASSERT_TRUE(ReadPnm(Path("in.ppm"), w, h, original));
  const std::vector<TColor> decoded = Pixels(jpeg);
  ASSERT_EQ(decoded.size(), original.size());
  int far = 0;
  for (std::size_t i = 0; i < decoded.size(); ++i)
    for (int shift : {0, 8, 16}) far += std::abs(((decoded[i] >> shift) & 0xFF) - ((original[i] >> shift) & 0xFF)) > 24;
  EXPECT_LT(far, static_cast<int>(decoded.size()) / 50);
}

TEST_F(Jpeg, BrokenAndTruncatedFiles) {
  ASSERT_TRUE(gfxtest::Run("cjpeg -outfile " + Path("a.jpg") + " " + Path("in.ppm")));
  const std::vector<std::uint8_t> bytes = ReadBytes(Path("a.jpg"));

  TJPEGImage jpeg;
  jpeg.LoadFromBytes(bytes.data(), bytes.size());
  const std::vector<TColor> whole = Pixels(jpeg);

  // Not a JPEG at all, or cut inside the headers: an error, the picture stays.
  const std::uint8_t text[] = "just some text";
  EXPECT_THROW(jpeg.LoadFromBytes(text, sizeof text), EInvalidGraphic);
  EXPECT_THROW(jpeg.LoadFromBytes(bytes.data(), 100), EInvalidGraphic);
  EXPECT_THROW(jpeg.LoadFromBytes(bytes.data(), 0), EInvalidGraphic);
  EXPECT_EQ(Pixels(jpeg), whole);

  // Cut inside the picture data: what was decoded is kept, without an error.
  jpeg.LoadFromBytes(bytes.data(), bytes.size() * 2 / 3);
  EXPECT_EQ(jpeg.Width(), 61);

  // The bytes are saved as they were loaded.
  jpeg.LoadFromBytes(bytes.data(), bytes.size());
  TMemoryStream out;
  jpeg.SaveToStream(out);
  ASSERT_EQ(out.Size(), static_cast<std::int64_t>(bytes.size()));
  EXPECT_EQ(0, std::memcmp(out.Memory(), bytes.data(), bytes.size()));

  // A JPEG takes only JPEG pictures; it draws like its pixels.
  TBitmap bitmap;
  EXPECT_THROW(jpeg.Assign(&bitmap), EInvalidGraphicOperation);
  auto copy = jpeg.Clone();
  auto target = gfxtest::Filled(70, 40, clWhite);
  target->Canvas->Draw(3, 2, copy.get());
  EXPECT_EQ(At(*target, 3, 2), whole[0]);
  EXPECT_EQ(At(*target, 63, 38), whole.back());
  EXPECT_EQ(At(*target, 64, 38), clWhite);
}
