// TIcon: the choice of the entry, bitmap entries with masks, PNG entries
// (made with libpng), alpha drawing and broken files.

#include <png.h>

#include <cstring>

#include "platform/vcl/IconFile.h"
#include "platform/vcl/Streams.h"
#include "tests/platform/vcl/graphics/GraphicsTestSupport.h"

using gfxtest::At;
using gfxtest::Bytes;
using gfxtest::Put16;
using gfxtest::Put32;

namespace {

// A picture to put into an icon: pixels 0xAARRGGBB, rows from the top.
struct Image {
  int size;
  std::vector<std::uint32_t> argb;
};

Image Pattern(int size, std::uint32_t alpha) {
  Image image{size, {}};
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      image.argb.push_back((alpha << 24) | ((x * 255 / size) << 16) | ((y * 255 / size) << 8) | (size & 0xFF));
  return image;
}

// A bitmap entry: 32 bits with alpha, or 4 bits with a 16-colour palette
// taken from the pixels' low bits; the mask marks pixels whose alpha is 0.
Bytes DibEntry(const Image& image, int bitCount) {
  const int n = image.size;
  Bytes b;
  Put32(b, 40);
  Put32(b, static_cast<std::uint32_t>(n));
  Put32(b, static_cast<std::uint32_t>(2 * n));
  Put16(b, 1);
  Put16(b, static_cast<std::uint32_t>(bitCount));
  for (int i = 0; i < 6; ++i) Put32(b, 0);
  if (bitCount == 4)
    for (int i = 0; i < 16; ++i) Put32(b, static_cast<std::uint32_t>(i * 0x111111));  // greys
  const std::size_t stride = (static_cast<std::size_t>(n) * bitCount + 31) / 32 * 4;
  for (int y = n - 1; y >= 0; --y) {
    Bytes row(stride, 0);
    for (int x = 0; x < n; ++x) {
      const std::uint32_t p = image.argb[static_cast<std::size_t>(y) * n + x];
      if (bitCount == 32) {
        for (int i = 0; i < 4; ++i) row[4 * x + i] = (p >> (8 * i)) & 0xFF;
      } else {
        row[x / 2] |= static_cast<std::uint8_t>((x % 16) << (x % 2 == 0 ? 4 : 0));
      }
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  const std::size_t maskStride = (static_cast<std::size_t>(n) + 31) / 32 * 4;
  for (int y = n - 1; y >= 0; --y) {
    Bytes row(maskStride, 0);
    for (int x = 0; x < n; ++x)
      if ((image.argb[static_cast<std::size_t>(y) * n + x] >> 24) == 0)
        row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

Bytes PngEntry(const Image& image) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.size);
  png.height = static_cast<png_uint_32>(image.size);
  png.format = PNG_FORMAT_BGRA;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&png, nullptr, &size, 0, image.argb.data(), 0, nullptr);
  Bytes out(size);
  png_image_write_to_memory(&png, out.data(), &size, 0, image.argb.data(), 0, nullptr);
  out.resize(size);
  return out;
}

struct EntrySpec {
  int size;
  int bitCount;
  Bytes data;
};

Bytes MakeIco(const std::vector<EntrySpec>& entries, int type = 1) {
  Bytes out;
  Put16(out, 0);
  Put16(out, static_cast<std::uint32_t>(type));
  Put16(out, static_cast<std::uint32_t>(entries.size()));
  std::size_t offset = 6 + 16 * entries.size();
  for (const EntrySpec& e : entries) {
    out.push_back(static_cast<std::uint8_t>(e.size & 0xFF));
    out.push_back(static_cast<std::uint8_t>(e.size & 0xFF));
    out.push_back(e.bitCount == 4 ? 16 : 0);
    out.push_back(0);
    Put16(out, type == 1 ? 1 : 3);                                       // planes, or hot spot x
    Put16(out, type == 1 ? static_cast<std::uint32_t>(e.bitCount) : 5);  // depth, or hot spot y
    Put32(out, static_cast<std::uint32_t>(e.data.size()));
    Put32(out, static_cast<std::uint32_t>(offset));
    offset += e.data.size();
  }
  for (const EntrySpec& e : entries) out.insert(out.end(), e.data.begin(), e.data.end());
  return out;
}

std::vector<std::uint32_t> PixelsOf(const TIcon& icon) {
  return {icon.PixelData(), icon.PixelData() + icon.Width() * icon.Height()};
}

}  // namespace

TEST(Icon, TakesTheLargestEntryUpTo32Pixels) {
  const Image i16 = Pattern(16, 255), i32 = Pattern(32, 200), i48 = Pattern(48, 255), i256 = Pattern(256, 255);
  const Bytes file = MakeIco(
      {{16, 4, DibEntry(i16, 4)}, {48, 32, PngEntry(i48)}, {32, 32, DibEntry(i32, 32)}, {0, 32, PngEntry(i256)}});
  EXPECT_EQ(ChooseIconEntry(file.data(), file.size()), 2);
  TIcon icon;
  icon.LoadFromBytes(file.data(), file.size());
  EXPECT_EQ(icon.Width(), 32);
  EXPECT_EQ(PixelsOf(icon), i32.argb);  // alpha kept

  // Nothing small enough: the smallest entry, a PNG.
  const Bytes big = MakeIco({{0, 32, PngEntry(i256)}, {48, 32, PngEntry(i48)}});
  EXPECT_EQ(ChooseIconEntry(big.data(), big.size()), 1);
  icon.LoadFromBytes(big.data(), big.size());
  EXPECT_EQ(icon.Width(), 48);
  EXPECT_EQ(PixelsOf(icon), i48.argb);

  // Equal sizes: more colours first.
  const Bytes depths = MakeIco({{32, 32, DibEntry(i32, 32)}, {32, 4, DibEntry(i32, 4)}});
  EXPECT_EQ(ChooseIconEntry(depths.data(), depths.size()), 0);
}

TEST(Icon, MasksMakePixelsTransparent) {
  Image masked = Pattern(16, 255);
  for (int i = 0; i < 16; ++i) masked.argb[static_cast<std::size_t>(i) * 16 + i] = 0;  // a clear diagonal
  const Bytes file = MakeIco({{16, 4, DibEntry(masked, 4)}});
  TIcon icon;
  icon.LoadFromBytes(file.data(), file.size());
  const std::vector<std::uint32_t> p = PixelsOf(icon);
  EXPECT_EQ(p[0] >> 24, 0u);
  EXPECT_EQ(p[1], 0xFF111111u);  // grey 1 of the palette, opaque
  EXPECT_EQ(p[16 + 2], 0xFF222222u);

  // A 32-bit entry whose alpha is all 0 uses its mask.
  Image noAlpha = Pattern(8, 0);
  noAlpha.argb[9] = 0;
  Bytes entry = DibEntry(noAlpha, 32);
  // Every pixel was written with alpha 0, so the mask marks them all; clear
  // the mask except for pixel (1, 1).
  const std::size_t maskStart = entry.size() - 8 * 4;
  std::fill(entry.begin() + static_cast<long>(maskStart), entry.end(), 0);
  entry[maskStart + 4 * (8 - 1 - 1)] = 0x40;
  const Bytes file32 = MakeIco({{8, 32, entry}});
  icon.LoadFromBytes(file32.data(), file32.size());
  EXPECT_EQ(PixelsOf(icon)[9], 0u);
  EXPECT_EQ(PixelsOf(icon)[10] >> 24, 0xFFu);

  // Drawing blends by alpha: the clear diagonal shows the background.
  auto target = gfxtest::Filled(20, 20, clGreen);
  TIcon diagonal;
  diagonal.LoadFromBytes(file.data(), file.size());
  target->Canvas->Draw(2, 2, &diagonal);
  EXPECT_EQ(At(*target, 2, 2), clGreen);
  EXPECT_EQ(At(*target, 3, 2), 0x111111);
  EXPECT_EQ(At(*target, 18, 18), clGreen);
  EXPECT_TRUE(diagonal.Transparent());
}

TEST(Icon, HalfTransparentPixelsBlend) {
  Image half{2, {0x80FF0000u, 0x00000000u, 0xFF0000FFu, 0xFF00FF00u}};
  const Bytes file = MakeIco({{2, 32, PngEntry(half)}});
  TIcon icon;
  icon.LoadFromBytes(file.data(), file.size());
  auto target = gfxtest::Filled(2, 2, clWhite);
  target->Canvas->Draw(0, 0, &icon);
  EXPECT_EQ(At(*target, 0, 0), 0x7F7FFF);  // half red over white
  EXPECT_EQ(At(*target, 1, 0), clWhite);
  EXPECT_EQ(At(*target, 0, 1), clBlue);

  // A bitmap assigned from an icon is the icon on white.
  TBitmap bitmap;
  bitmap.Assign(&icon);
  EXPECT_EQ(gfxtest::Colors(bitmap), gfxtest::Colors(*target));
}

TEST(Icon, CursorsStreamsAndBrokenFiles) {
  const Image i32 = Pattern(32, 255);
  const Bytes cursor = MakeIco({{32, 32, DibEntry(i32, 32)}}, 2);
  TMemoryStream stream;
  stream.WriteBuffer(cursor.data(), static_cast<std::int64_t>(cursor.size()));
  stream.SetPosition(0);
  TIcon icon;
  icon.LoadFromStream(stream);
  EXPECT_EQ(icon.Width(), 32);
  TMemoryStream saved;
  icon.SaveToStream(saved);
  EXPECT_EQ(saved.Size(), static_cast<std::int64_t>(cursor.size()));
  auto copy = icon.Clone();
  EXPECT_EQ(copy->Width(), 32);
  TBitmap bitmap;
  EXPECT_THROW(icon.Assign(&bitmap), EInvalidGraphicOperation);

  const Bytes good = MakeIco({{16, 4, DibEntry(Pattern(16, 255), 4)}});
  std::vector<Bytes> broken;
  broken.push_back({});
  broken.push_back({0, 0, 1, 0, 0, 0});                      // no entries
  broken.push_back({0, 0, 3, 0, 1, 0});                      // neither icon nor cursor
  broken.push_back(Bytes(good.begin(), good.begin() + 20));  // directory cut short
  broken.push_back(Bytes(good.begin(), good.end() - 200));   // entry data cut short
  Bytes offset = good;
  offset[6 + 12] = 0xFF;  // the entry's data beyond the end
  offset[6 + 15] = 0x7F;
  broken.push_back(offset);
  Bytes height = good;
  height[22 + 8] = 0;  // a height of 0
  height[22 + 9] = 0;
  broken.push_back(height);
  Bytes png = MakeIco({{16, 32, PngEntry(Pattern(16, 255))}});
  png[png.size() - 30] ^= 0xFF;  // damage the compressed data (CRC fails)
  broken.push_back(png);
  for (std::size_t i = 0; i < broken.size(); ++i) {
    EXPECT_THROW(icon.LoadFromBytes(broken[i].data(), broken[i].size()), EInvalidGraphic) << i;
    EXPECT_EQ(icon.Width(), 32) << i;
  }
}
