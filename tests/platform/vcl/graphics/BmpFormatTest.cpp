// BMP files: every depth and compression the reader takes, broken files,
// round trips, ImageMagick's files and bitmap resources.

#include <array>
#include <deque>
#include <fstream>
#include <sstream>

#include "platform/vcl/BitmapBmpFormat.h"
#include "platform/vcl/Streams.h"
#include "platform/win/Resources.h"
#include "tests/platform/vcl/graphics/GraphicsTestSupport.h"

using gfxtest::At;
using gfxtest::Bytes;
using gfxtest::Filled;
using gfxtest::Put16;
using gfxtest::Put32;

namespace {

struct BmpSpec {
  int width = 1, height = 1, bitCount = 24;
  std::uint32_t compression = 0;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB
  std::vector<std::uint32_t> masks;    // after a 40-byte header
  Bytes pixels;                        // the pixel data as stored
  bool core = false;                   // 12-byte header, 3-byte palette entries
  bool fileHeader = true;
};

Bytes MakeBmp(const BmpSpec& s) {
  Bytes info;
  if (s.core) {
    Put32(info, 12);
    Put16(info, static_cast<std::uint32_t>(s.width));
    Put16(info, static_cast<std::uint32_t>(s.height));
    Put16(info, 1);
    Put16(info, static_cast<std::uint32_t>(s.bitCount));
  } else {
    Put32(info, 40);
    Put32(info, static_cast<std::uint32_t>(s.width));
    Put32(info, static_cast<std::uint32_t>(s.height));
    Put16(info, 1);
    Put16(info, static_cast<std::uint32_t>(s.bitCount));
    Put32(info, s.compression);
    Put32(info, static_cast<std::uint32_t>(s.pixels.size()));
    Put32(info, 0);
    Put32(info, 0);
    Put32(info, static_cast<std::uint32_t>(s.palette.size()));
    Put32(info, 0);
    for (std::uint32_t m : s.masks) Put32(info, m);
  }
  for (std::uint32_t c : s.palette) {
    info.push_back(c & 0xFF);
    info.push_back((c >> 8) & 0xFF);
    info.push_back((c >> 16) & 0xFF);
    if (!s.core) info.push_back(0);
  }
  Bytes out;
  if (s.fileHeader) {
    out = {'B', 'M'};
    Put32(out, static_cast<std::uint32_t>(14 + info.size() + s.pixels.size()));
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(14 + info.size()));
  }
  out.insert(out.end(), info.begin(), info.end());
  out.insert(out.end(), s.pixels.begin(), s.pixels.end());
  return out;
}

// Loads a bitmap from the bytes; the bitmaps live until the program ends.
const TBitmap& Load(const Bytes& bytes) {
  static std::deque<std::unique_ptr<TBitmap>> keep;
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  stream.SetPosition(0);
  keep.push_back(std::make_unique<TBitmap>());
  keep.back()->LoadFromStream(stream);
  return *keep.back();
}

std::vector<TColor> Row(const TBitmap& b, int y) {
  std::vector<TColor> r;
  for (int x = 0; x < b.Width(); ++x) r.push_back(At(b, x, y));
  return r;
}

// Palette colours 0x00RRGGBB as TColor 0x00BBGGRR.
TColor C(std::uint32_t rgb) { return static_cast<TColor>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16)); }

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kGrey = 0x808080;

// A P6 picture as TColor rows.
bool ReadPpm(const std::string& path, int& w, int& h, std::vector<TColor>& pixels) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int max;
  in >> magic >> w >> h >> max;
  in.get();
  if (magic != "P6" || max != 255) return false;
  pixels.clear();
  for (int i = 0; i < w * h; ++i) {
    unsigned char rgb[3];
    in.read(reinterpret_cast<char*>(rgb), 3);
    pixels.push_back(static_cast<TColor>(rgb[0] | (rgb[1] << 8) | (rgb[2] << 16)));
  }
  return static_cast<bool>(in);
}

void WritePpm(const std::string& path, int w, int h, const std::vector<TColor>& pixels) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << w << " " << h << "\n255\n";
  for (TColor c : pixels) {
    const char rgb[3] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                         static_cast<char>((c >> 16) & 0xFF)};
    out.write(rgb, 3);
  }
}

class BmpFiles : public gfxtest::ScratchDir {};

}  // namespace

TEST(BmpFormat, PalettedDepths) {
  BmpSpec one;
  one.width = 10;
  one.height = 2;
  one.bitCount = 1;
  one.palette = {0x000000, 0xFFFFFF};
  // Bottom row first; rows padded to 4 bytes.
  one.pixels = {0xAA, 0x80, 0, 0, 0xFF, 0xC0, 0, 0};
  const TBitmap& b1 = Load(MakeBmp(one));
  EXPECT_EQ(b1.Width(), 10);
  EXPECT_EQ(b1.PixelFormat(), pf1bit);
  EXPECT_EQ(Row(b1, 0), std::vector<TColor>(10, clWhite));
  EXPECT_EQ(Row(b1, 1), (std::vector<TColor>{clWhite, clBlack, clWhite, clBlack, clWhite, clBlack, clWhite, clBlack,
                                             clWhite, clBlack}));

  BmpSpec four;
  four.width = 3;
  four.height = 1;
  four.bitCount = 4;
  four.palette = {kRed, kGreen, kBlue};  // a short palette (colours used = 3)
  four.pixels = {0x21, 0x00, 0, 0};
  const TBitmap& b4 = Load(MakeBmp(four));
  EXPECT_EQ(Row(b4, 0), (std::vector<TColor>{C(kBlue), C(kGreen), C(kRed)}));

  BmpSpec eight;
  eight.width = 3;
  eight.height = 2;
  eight.bitCount = 8;
  eight.palette = {kRed, kGreen, kBlue, kGrey};
  eight.pixels = {3, 2, 1, 0, 0, 1, 7, 0};  // index 7 is outside the palette: black
  const TBitmap& b8 = Load(MakeBmp(eight));
  EXPECT_EQ(Row(b8, 1), (std::vector<TColor>{C(kGrey), C(kBlue), C(kGreen)}));
  EXPECT_EQ(Row(b8, 0), (std::vector<TColor>{C(kRed), C(kGreen), clBlack}));

  // The old 12-byte header with three-byte palette entries.
  BmpSpec core = eight;
  core.core = true;
  core.palette.resize(256, 0);
  const TBitmap& bc = Load(MakeBmp(core));
  EXPECT_EQ(Row(bc, 1), (std::vector<TColor>{C(kGrey), C(kBlue), C(kGreen)}));
}

TEST(BmpFormat, RunLengthEncoded) {
  BmpSpec rle8;
  rle8.width = 4;
  rle8.height = 3;
  rle8.bitCount = 8;
  rle8.compression = 1;
  rle8.palette = {kRed, kGreen, kBlue, kGrey};
  rle8.pixels = {4, 1, 0, 0,                    // bottom row: four green, end of line
                 0, 3, 2, 3, 0, 0, 1, 1, 0, 0,  // absolute run blue grey red (padded), one green
                 0, 2, 1, 0,                    // delta: one right, stays in the top row
                 2, 2, 0, 1};                   // two blue, end of bitmap
  const TBitmap& b = Load(MakeBmp(rle8));
  EXPECT_EQ(Row(b, 2), std::vector<TColor>(4, C(kGreen)));
  EXPECT_EQ(Row(b, 1), (std::vector<TColor>{C(kBlue), C(kGrey), C(kRed), C(kGreen)}));
  EXPECT_EQ(Row(b, 0), (std::vector<TColor>{clBlack, C(kBlue), C(kBlue), clBlack}));

  BmpSpec rle4;
  rle4.width = 8;
  rle4.height = 1;
  rle4.bitCount = 4;
  rle4.compression = 2;
  rle4.palette = {kRed, kGreen, kBlue};
  rle4.pixels = {5, 0x12, 0, 3, 0x20, 0x10, 0, 1};  // a run of five, an absolute run of three
  const TBitmap& b4 = Load(MakeBmp(rle4));
  EXPECT_EQ(Row(b4, 0),
            (std::vector<TColor>{C(kGreen), C(kBlue), C(kGreen), C(kBlue), C(kGreen), C(kBlue), C(kRed), C(kGreen)}));

  // Runs beyond the row and the bitmap are cut off.
  BmpSpec wild = rle8;
  wild.pixels = {200, 1, 0, 2, 100, 100, 9, 3, 0, 1};
  const TBitmap& w = Load(MakeBmp(wild));
  EXPECT_EQ(Row(w, 2), std::vector<TColor>(4, C(kGreen)));
}

TEST(BmpFormat, DirectColourDepths) {
  BmpSpec rgb565;
  rgb565.width = 2;
  rgb565.height = 1;
  rgb565.bitCount = 16;
  rgb565.compression = 3;
  rgb565.masks = {0xF800, 0x07E0, 0x001F};
  rgb565.pixels = {0x00, 0xF8, 0x1F, 0x00};
  const TBitmap& b16 = Load(MakeBmp(rgb565));
  EXPECT_EQ(Row(b16, 0), (std::vector<TColor>{clRed, clBlue}));

  BmpSpec rgb555;
  rgb555.width = 1;
  rgb555.height = 1;
  rgb555.bitCount = 16;
  rgb555.pixels = {0xE0, 0x03, 0, 0};
  EXPECT_EQ(Row(Load(MakeBmp(rgb555)), 0), (std::vector<TColor>{clLime}));

  // Negative height: rows from the top.
  BmpSpec topDown;
  topDown.width = 1;
  topDown.height = -2;
  topDown.pixels = {0, 0, 255, 0, 255, 0, 0, 0};
  const TBitmap& td = Load(MakeBmp(topDown));
  EXPECT_EQ(td.Height(), 2);
  EXPECT_EQ(At(td, 0, 0), clRed);
  EXPECT_EQ(At(td, 0, 1), clBlue);

  BmpSpec x32;
  x32.width = 1;
  x32.height = 1;
  x32.bitCount = 32;
  x32.pixels = {0x11, 0x22, 0x33, 0x44};
  const TBitmap& b32 = Load(MakeBmp(x32));
  EXPECT_EQ(b32.PixelFormat(), pf32bit);
  EXPECT_EQ(*static_cast<const std::uint32_t*>(b32.ScanLine(0)), 0x44332211u);
}

TEST(BmpFormat, BrokenFilesRaiseAndLeaveTheBitmapAlone) {
  BmpSpec good;
  good.width = 2;
  good.height = 2;
  good.pixels = Bytes(16, 0);
  const Bytes valid = MakeBmp(good);

  std::vector<Bytes> broken;
  broken.push_back({});
  broken.push_back({'B', 'M'});
  Bytes notBm = valid;
  notBm[0] = 'X';
  broken.push_back(notBm);
  broken.push_back(Bytes(valid.begin(), valid.end() - 4));  // rows cut short
  for (auto [width, height, depth, compression] : std::vector<std::array<std::uint32_t, 4>>{{0, 2, 24, 0},
                                                                                            {2, 0, 24, 0},
                                                                                            {100000, 100000, 24, 0},
                                                                                            {0x80000000u, 1, 24, 0},
                                                                                            {2, 2, 7, 0},
                                                                                            {2, 2, 24, 4},
                                                                                            {2, 2, 24, 1},
                                                                                            {2, 2, 8, 2}}) {
    Bytes b = valid;
    for (int i = 0; i < 4; ++i) {
      b[18 + i] = (width >> (8 * i)) & 0xFF;
      b[22 + i] = (height >> (8 * i)) & 0xFF;
      b[30 + i] = (compression >> (8 * i)) & 0xFF;
    }
    b[28] = static_cast<std::uint8_t>(depth);
    broken.push_back(b);
  }
  Bytes hugePalette = valid;
  hugePalette[28] = 8;
  hugePalette[46] = 0xFF;
  hugePalette[47] = 0xFF;
  broken.push_back(hugePalette);
  BmpSpec rle;
  rle.width = 4;
  rle.height = 1;
  rle.bitCount = 8;
  rle.compression = 1;
  rle.palette = {kRed};
  rle.pixels = {0, 5, 0, 0};  // an absolute run longer than the data
  broken.push_back(MakeBmp(rle));

  auto target = Filled(3, 3, clRed);
  for (std::size_t i = 0; i < broken.size(); ++i) {
    TMemoryStream stream;
    stream.WriteBuffer(broken[i].data(), static_cast<std::int64_t>(broken[i].size()));
    stream.SetPosition(0);
    EXPECT_THROW(target->LoadFromStream(stream), EInvalidGraphic) << i;
    EXPECT_EQ(target->Width(), 3) << i;
    EXPECT_EQ(At(*target, 1, 1), clRed) << i;
  }
}

TEST(BmpFormat, RoundTripsThroughStreams) {
  auto b = Filled(37, 23, clWhite);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x)
      b->Canvas->Pixels[x][y] = static_cast<TColor>((x * 7) | (y * 11) << 8 | (((x ^ y) * 5) & 0xFF) << 16);
  for (TPixelFormat format : {pf24bit, pf32bit}) {
    b->SetPixelFormat(format);
    TMemoryStream stream;
    const char before[] = "head";
    stream.WriteBuffer(before, 4);
    b->SaveToStream(stream);
    stream.WriteBuffer("tail", 4);
    stream.SetPosition(4);
    TBitmap back;
    back.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), stream.Size() - 4);  // the bitmap's bytes only
    EXPECT_EQ(back.PixelFormat(), format);
    EXPECT_EQ(gfxtest::Colors(back), gfxtest::Colors(*b));
  }
  // The writer's file is what the reader of ReadBmp expects of a DIB too.
  const Bytes file = WriteBmp(b->PixelData(), 37, 23, 24);
  const BmpImage dib = ReadBmp(file.data() + 14, file.size() - 14, false);
  EXPECT_EQ(dib.width, 37);
  EXPECT_EQ(dib.pixels[0] & 0xFFFFFF, b->PixelData()[0] & 0xFFFFFF);
}

TEST_F(BmpFiles, AgreeWithImageMagick) {
  ASSERT_TRUE(gfxtest::HaveTool("convert")) << "ImageMagick's convert is missing (scripts/setup.sh installs it)";
  // 37 x 23 (rows need padding) with 35 colours, so that a palette fits.
  std::vector<TColor> pixels;
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) pixels.push_back(static_cast<TColor>((x % 7) * 40 | ((y % 5) * 60) << 8 | 0x400000));
  WritePpm(Path("in.ppm"), 37, 23, pixels);
  struct Variant {
    const char* options;
    const char* name;
    TPixelFormat format;
  };
  for (const Variant& v :
       {Variant{"-type TrueColor", "bmp24.bmp", pf24bit}, Variant{"-type Palette", "bmp8.bmp", pf8bit},
        Variant{"-type Palette -compress RLE", "rle8.bmp", pf8bit}}) {
    ASSERT_TRUE(gfxtest::Run("convert " + Path("in.ppm") + " " + v.options + " BMP3:" + Path(v.name))) << v.name;
    TBitmap b;
    b.LoadFromFile(Path(v.name));
    EXPECT_EQ(b.PixelFormat(), v.format) << v.name;
    EXPECT_EQ(gfxtest::Colors(b), pixels) << v.name;
  }
  // A two-colour picture as one bit per pixel.
  std::vector<TColor> bw;
  for (int i = 0; i < 37 * 23; ++i) bw.push_back((i % 3 == 0) ? clWhite : clBlack);
  WritePpm(Path("bw.ppm"), 37, 23, bw);
  ASSERT_TRUE(gfxtest::Run("convert " + Path("bw.ppm") + " -type Bilevel BMP3:" + Path("bw.bmp")));
  TBitmap b1;
  b1.LoadFromFile(Path("bw.bmp"));
  EXPECT_EQ(gfxtest::Colors(b1), bw);

  // The other way round: ImageMagick reads what we write.
  TBitmap ours;
  ours.SetSize(37, 23);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) ours.Canvas->Pixels[x][y] = pixels[static_cast<std::size_t>(y) * 37 + x];
  ours.SaveToFile(Path("ours.bmp"));
  ASSERT_TRUE(gfxtest::Run("convert " + Path("ours.bmp") + " " + Path("ours.ppm")));
  int w = 0, h = 0;
  std::vector<TColor> back;
  ASSERT_TRUE(ReadPpm(Path("ours.ppm"), w, h, back));
  EXPECT_EQ(w, 37);
  EXPECT_EQ(h, 23);
  EXPECT_EQ(back, pixels);
}

namespace {

// Registers the two test bitmaps once per process: the module's resource
// table keeps pointers to their bytes, so the bytes live until the end.
void RegisterTestBitmapResources() {
  static const bool registered = [] {
    // An RT_BITMAP resource holds a DIB; RCDATA holds a whole BMP file.
    BmpSpec spec;
    spec.width = 2;
    spec.height = 1;
    spec.bitCount = 8;
    spec.palette = {kRed, kBlue};
    spec.pixels = {0, 1, 0, 0};
    spec.fileHeader = false;
    static const Bytes dib = MakeBmp(spec);
    spec.fileHeader = true;
    spec.pixels = {1, 1, 0, 0};
    static const Bytes file = MakeBmp(spec);
    const EmbeddedResource table[] = {
        {"GFXTEST_DIB", "#2", dib.data(), dib.size()},
        {"GFXTEST_FILE", "#10", file.data(), file.size()},
    };
    RegisterEmbeddedResources(table, std::size(table));
    return true;
  }();
  (void)registered;
}

}  // namespace

TEST(BmpFormat, BitmapResources) {
  RegisterTestBitmapResources();
  TBitmap a;
  a.LoadFromResourceName(HInstance, "gfxtest_dib");
  EXPECT_EQ(Row(a, 0), (std::vector<TColor>{C(kRed), C(kBlue)}));
  TBitmap b;
  b.LoadFromResourceName(HInstance, "GFXTEST_FILE");
  EXPECT_EQ(Row(b, 0), (std::vector<TColor>{C(kBlue), C(kBlue)}));
  EXPECT_THROW(b.LoadFromResourceName(HInstance, "NO_SUCH_BMP"), EResNotFound);
  EXPECT_EQ(b.Width(), 2);

  TResourceStream stream(HInstance, "GFXTEST_FILE", RT_RCDATA);
  TBitmap c;
  c.LoadFromStream(stream);
  EXPECT_EQ(c.Width(), 2);
}
