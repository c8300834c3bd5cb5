// The pictures and cursors the library carries: each is there under the name
// and type its loader asks for, loads through that loader, and has the size,
// key colour and hot spot the drawing code relies on.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "platform/vcl/Graphics.h"
#include "platform/vcl/Screen.h"
#include "platform/win/Cursors.h"
#include "platform/win/Resources.h"

namespace {

constexpr TColor kPurple = static_cast<TColor>(0x800080);
constexpr TColor kWhite = static_cast<TColor>(0xFFFFFF);
constexpr TColor kBlack = static_cast<TColor>(0x000000);
constexpr TColor kRed = static_cast<TColor>(0x0000FF);

// The colour of a pixel as 0x00BBGGRR.
TColor At(const TBitmap& bitmap, int x, int y) {
  const std::uint32_t p = static_cast<const std::uint32_t*>(bitmap.ScanLine(y))[x];
  return static_cast<TColor>(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
}

int Count(const TBitmap& bitmap, TColor color) {
  int n = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) n += At(bitmap, x, y) == color;
  return n;
}

std::vector<std::uint8_t> ResourceBytes(const char* name, LPCSTR type) {
  HRSRC found = FindResource(HInstance, name, type);
  if (found == nullptr) return {};
  const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(HInstance, found)));
  return {data, data + SizeofResource(HInstance, found)};
}

std::uint32_t Le16(const std::vector<std::uint8_t>& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) { return Le16(b, at) | (Le16(b, at + 2) << 16); }

// A monochrome 32 x 32 cursor as a .cur file holds it; pixels are 'X' black,
// 'o' white, '.' transparent, '~' inverted.
struct Cursor {
  std::string error;  // empty when the file parsed
  int hotX = 0, hotY = 0;
  std::vector<std::string> rows;
  char Pixel(int x, int y) const { return rows[y][x]; }
};

Cursor ParseCursor(const std::vector<std::uint8_t>& b) {
  Cursor c;
  if (b.size() < 6 + 16 || Le16(b, 0) != 0 || Le16(b, 2) != 2 || Le16(b, 4) != 1) {
    c.error = "not a cursor file with one image";
    return c;
  }
  const int width = b[6] == 0 ? 256 : b[6], height = b[7] == 0 ? 256 : b[7];
  c.hotX = static_cast<int>(Le16(b, 10));
  c.hotY = static_cast<int>(Le16(b, 12));
  const std::size_t size = Le32(b, 14), offset = Le32(b, 18);
  if (width != 32 || height != 32)
    c.error = "image is not 32 x 32";
  else if (offset > b.size() || size > b.size() - offset || size < 40)
    c.error = "image outside the file";
  else if (Le32(b, offset) != 40 || Le32(b, offset + 4) != 32 || Le32(b, offset + 8) != 64 ||
           Le16(b, offset + 12) != 1 || Le16(b, offset + 14) != 1 || Le32(b, offset + 16) != 0)
    c.error = "image is not an uncompressed 1-bit DIB of 32 x 64";
  else if (size < 40 + 8 + 2 * 32 * 4)
    c.error = "image data truncated";
  if (!c.error.empty()) return c;
  // The palette must be black then white for the XOR bits to mean what they say.
  const std::size_t palette = offset + 40, xorRows = palette + 8, andRows = xorRows + 32 * 4;
  if ((Le32(b, palette) & 0xFFFFFF) != 0 || (Le32(b, palette + 4) & 0xFFFFFF) != 0xFFFFFF) {
    c.error = "palette is not black and white";
    return c;
  }
  for (int y = 0; y < 32; ++y) {
    const std::size_t row = static_cast<std::size_t>(31 - y) * 4;  // rows from the bottom
    std::string line;
    for (int x = 0; x < 32; ++x) {
      const int bit = 7 - x % 8;
      const bool xorBit = (b[xorRows + row + x / 8] >> bit) & 1, andBit = (b[andRows + row + x / 8] >> bit) & 1;
      line += andBit ? (xorBit ? '~' : '.') : (xorBit ? 'o' : 'X');
    }
    c.rows.push_back(line);
  }
  return c;
}

// The box around the black pixels of a cursor.
struct Box {
  int left = 32, top = 32, right = -1, bottom = -1;
};
Box BlackBox(const Cursor& c) {
  Box box;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (c.Pixel(x, y) == 'X') {
        box.left = std::min(box.left, x);
        box.right = std::max(box.right, x);
        box.top = std::min(box.top, y);
        box.bottom = std::max(box.bottom, y);
      }
  return box;
}

bool HaveConvert() { return std::system("command -v convert >/dev/null 2>&1") == 0; }

// Pixels of a picture file as ImageMagick reads them: 8-bit grey (alpha =
// true: its opacity) or RGB, from a binary PGM/PPM.
std::vector<std::uint8_t> ConvertPixels(const std::string& file, bool alpha, int& width, int& height) {
  const std::string out =
      (std::filesystem::temp_directory_path() / ("tw-assets-" + std::to_string(::getpid()) + (alpha ? ".pgm" : ".ppm")))
          .string();
  const std::string command =
      "convert '" + file + "'" + (alpha ? " -alpha extract" : "") + " -depth 8 '" + out + "' >/dev/null 2>&1";
  width = height = 0;
  if (std::system(command.c_str()) != 0) return {};
  std::ifstream in(out, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  in >> magic >> width >> height >> maxValue;
  in.get();
  std::vector<std::uint8_t> pixels((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::filesystem::remove(out);
  if (magic != (alpha ? "P5" : "P6") || maxValue != 255) return {};
  return pixels;
}

struct CursorCase {
  const char* name;
  const char* file;
};
constexpr CursorCase kCursors[] = {{"CR_MOVE", "move.cur"},
                                   {"CR_HORZ", "horz.cur"},
                                   {"CR_VERT", "vert.cur"},
                                   {"CR_PREC", "prec.cur"},
                                   {"CR_VH", "vh.cur"}};

}  // namespace

TEST(ResourceAssets, EachIsThereUnderTheTypeItsLoaderAsks) {
  // The page objects' pictures are raw data holding BMP files; the menu image
  // is found by the bitmap loader's fall-back to raw data.
  for (const char* name : {"BROKEN_BMP", "DROPDOWN_BMP", "BM_TARNWELL"}) {
    const std::vector<std::uint8_t> bytes = ResourceBytes(name, RT_RCDATA);
    ASSERT_GE(bytes.size(), 54u) << name;
    EXPECT_EQ(bytes[0], 'B') << name;
    EXPECT_EQ(bytes[1], 'M') << name;
    EXPECT_EQ(Le32(bytes, 2), bytes.size()) << name;
  }
  for (const CursorCase& c : kCursors) {
    EXPECT_NE(FindResource(HInstance, c.name, RT_CURSOR), nullptr) << c.name;
    EXPECT_EQ(FindResource(HInstance, c.name, RT_RCDATA), nullptr) << c.name;
  }
}

TEST(ResourceAssets, BrokenPictureIsPurpleKeyedAndDrawsWithoutItsBackground) {
  TBitmap picture;
  picture.LoadFromResourceName(HInstance, "BROKEN_BMP");
  ASSERT_EQ(picture.Width(), 22);
  ASSERT_EQ(picture.Height(), 24);
  for (auto [x, y] : {std::pair{0, 0}, {21, 0}, {0, 23}, {21, 1}, {1, 23}}) EXPECT_EQ(At(picture, x, y), kPurple);
  const int keyPixels = Count(picture, kPurple);
  EXPECT_GT(keyPixels, 0);
  EXPECT_LT(keyPixels, 22 * 24 / 4);     // mostly picture
  EXPECT_EQ(At(picture, 10, 11), kRed);  // where the cross's arms meet
  EXPECT_GT(Count(picture, kRed), 20);

  // Drawn as the string-controlled picture draws it: the key colour leaves
  // the surface as it was, everything else covers it.
  picture.SetTransparentColor(kPurple);
  picture.SetTransparent(true);
  TBitmap surface;
  surface.SetSize(30, 30);
  surface.Canvas->Brush->Color = static_cast<TColor>(0x00FF00);
  surface.Canvas->FillRect(Rect(0, 0, 30, 30));
  surface.Canvas->Draw(4, 3, &picture);
  EXPECT_EQ(Count(surface, static_cast<TColor>(0x00FF00)), 30 * 30 - 22 * 24 + keyPixels);
  EXPECT_EQ(Count(surface, kPurple), 0);
  EXPECT_EQ(At(surface, 4 + 10, 3 + 11), kRed);
}

TEST(ResourceAssets, DropDownArrowIsBlackOnWhiteAndFitsBesideTheFrame) {
  TBitmap arrow;
  arrow.LoadFromResourceName(HInstance, "DROPDOWN_BMP");
  // Drawn at W - 14 from the field's left: it must end before the 2-pixel
  // sunken frame on the right.
  EXPECT_LE(arrow.Width(), 12);
  ASSERT_EQ(arrow.Width(), 11);
  ASSERT_EQ(arrow.Height(), 7);
  EXPECT_EQ(Count(arrow, kWhite) + Count(arrow, kBlack), 11 * 7);
  for (auto [x, y] : {std::pair{0, 0}, {10, 0}, {0, 6}, {10, 6}}) EXPECT_EQ(At(arrow, x, y), kWhite);
  // A triangle pointing down, centred: each row of black is two narrower than
  // the one above and symmetric about the middle column.
  std::vector<int> widths;
  for (int y = 0; y < 7; ++y) {
    int left = -1, right = -1;
    for (int x = 0; x < 11; ++x)
      if (At(arrow, x, y) == kBlack) {
        if (left < 0) left = x;
        right = x;
      }
    if (left < 0) continue;
    EXPECT_EQ(left + right, 10) << "row " << y;
    widths.push_back(right - left + 1);
  }
  EXPECT_EQ(widths, (std::vector<int>{7, 5, 3, 1}));
  // The field draws it at floor(H / 2) - 3: the arrow's rows straddle row 3.
  EXPECT_EQ(At(arrow, 5, 3), kBlack);
}

TEST(ResourceAssets, MenuImageIsSixteenSquareWithAKeyedCorner) {
  TBitmap image;
  image.LoadFromResourceName(HInstance, "BM_TARNWELL");
  ASSERT_EQ(image.Width(), 16);
  ASSERT_EQ(image.Height(), 16);
  // Menus and toolbars take the bottom-left pixel as the transparent colour.
  const int keyPixels = Count(image, At(image, 0, 15));
  EXPECT_GT(keyPixels, 16);
  EXPECT_LT(keyPixels, 16 * 16 / 2);
  EXPECT_NE(At(image, 7, 7), At(image, 0, 15));
}

TEST(ResourceAssets, CursorsParseWithTheirHotSpotOnTheShape) {
  for (const CursorCase& c : kCursors) {
    SCOPED_TRACE(c.name);
    const Cursor cursor = ParseCursor(ResourceBytes(c.name, RT_CURSOR));
    ASSERT_EQ(cursor.error, "");
    // Each shape is centred on its hot spot, and the hot spot is on black.
    EXPECT_EQ(cursor.hotX, 15);
    EXPECT_EQ(cursor.hotY, 15);
    EXPECT_EQ(cursor.Pixel(cursor.hotX, cursor.hotY), 'X');
    const Box box = BlackBox(cursor);
    EXPECT_EQ(box.left + box.right, 2 * cursor.hotX);
    EXPECT_EQ(box.top + box.bottom, 2 * cursor.hotY);
    // Nothing inverts the screen, and every black pixel has a white edge
    // where it meets the transparent part, so it shows on dark ground.
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        EXPECT_NE(cursor.Pixel(x, y), '~');
        if (cursor.Pixel(x, y) != 'X') continue;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            ASSERT_TRUE(nx >= 0 && nx < 32 && ny >= 0 && ny < 32);
            EXPECT_NE(cursor.Pixel(nx, ny), '.') << x << "," << y;
          }
      }
  }
}

TEST(ResourceAssets, CursorShapesFollowTheirDirections) {
  auto load = [](const char* name) { return ParseCursor(ResourceBytes(name, RT_CURSOR)); };
  const Cursor move = load("CR_MOVE"), horz = load("CR_HORZ"), vert = load("CR_VERT"), prec = load("CR_PREC"),
               vh = load("CR_VH");
  for (const Cursor* c : {&move, &horz, &vert, &prec, &vh}) ASSERT_EQ(c->error, "");
  const Box h = BlackBox(horz), v = BlackBox(vert), m = BlackBox(move);
  EXPECT_GT(h.right - h.left, 2 * (h.bottom - h.top));  // wide
  EXPECT_GT(v.bottom - v.top, 2 * (v.right - v.left));  // tall
  EXPECT_EQ(m.right - m.left, m.bottom - m.top);        // arrows every way
  // The move cursor has heads at all four ends; the two-way ones only at two.
  auto headWidth = [](const Cursor& c, int x0, int y0, int dx, int dy) {
    int n = 0;
    for (int k = -6; k <= 6; ++k) n += c.Pixel(x0 + k * dy, y0 + k * dx) == 'X';
    return n;
  };
  EXPECT_GT(headWidth(move, 15, m.top + 3, 1, 0), 3);
  EXPECT_GT(headWidth(move, m.left + 3, 15, 0, 1), 3);
  EXPECT_GT(headWidth(horz, h.left + 3, 15, 0, 1), 3);
  EXPECT_EQ(horz.Pixel(15, h.top), '.') << "no head up or down";
  EXPECT_GT(headWidth(vert, 15, v.top + 3, 1, 0), 3);
  // The corner cursor runs from the top left to the bottom right.
  EXPECT_EQ(vh.Pixel(8, 8), 'X');
  EXPECT_EQ(vh.Pixel(22, 22), 'X');
  EXPECT_NE(vh.Pixel(8, 22), 'X');
  EXPECT_NE(vh.Pixel(22, 8), 'X');
  // The precision cross: thin lines through the hot spot.
  int crossBlack = 0;
  for (int k = 0; k < 32; ++k) crossBlack += (prec.Pixel(k, 15) == 'X') + (prec.Pixel(15, k) == 'X');
  EXPECT_EQ(crossBlack, 2 * (BlackBox(prec).right - BlackBox(prec).left + 1));
}

TEST(ResourceAssets, CursorsLoadIntoTheScreenTable) {
  const int numbers[] = {4128, 4129, 4130, 4131, 4134};
  for (std::size_t i = 0; i < std::size(kCursors); ++i) {
    HCURSOR handle = LoadCursor(HInstance, kCursors[i].name);
    ASSERT_NE(handle, nullptr) << kCursors[i].name;
    Screen->SetCursors(numbers[i], handle);
    EXPECT_EQ(Screen->Cursors(numbers[i]), handle);
    EXPECT_NE(Screen->Cursors(numbers[i]), LoadCursor(nullptr, IDC_ARROW));
    Screen->SetCursors(numbers[i], nullptr);
  }
}

// The files read the same with ImageMagick: a picture's pixels, a cursor's
// size and which of its pixels are opaque.
TEST(ResourceAssets, ImageMagickReadsTheFilesAlike) {
  if (!HaveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  const std::string dir = std::string(TARNWELL_SOURCE_DIR) + "/resources/";
  const std::pair<const char*, const char*> pictures[] = {{"BROKEN_BMP", "bitmaps/broken.bmp"},
                                                          {"DROPDOWN_BMP", "bitmaps/dropdown.bmp"},
                                                          {"BM_TARNWELL", "bitmaps/tarnwell.bmp"}};
  for (auto [name, file] : pictures) {
    SCOPED_TRACE(name);
    TBitmap ours;
    ours.LoadFromResourceName(HInstance, name);
    int width = 0, height = 0;
    const std::vector<std::uint8_t> rgb = ConvertPixels(dir + file, false, width, height);
    ASSERT_EQ(width, ours.Width());
    ASSERT_EQ(height, ours.Height());
    ASSERT_EQ(rgb.size(), static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        EXPECT_EQ(At(ours, x, y), static_cast<TColor>(rgb[i] | (rgb[i + 1] << 8) | (rgb[i + 2] << 16)))
            << x << "," << y;
      }
  }
  for (const CursorCase& c : kCursors) {
    SCOPED_TRACE(c.name);
    const Cursor ours = ParseCursor(ResourceBytes(c.name, RT_CURSOR));
    ASSERT_EQ(ours.error, "");
    int width = 0, height = 0;
    const std::vector<std::uint8_t> alpha = ConvertPixels(dir + "cursors/" + c.file, true, width, height);
    ASSERT_EQ(width, 32);
    ASSERT_EQ(height, 32);
    ASSERT_EQ(alpha.size(), 32u * 32u);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) EXPECT_EQ(alpha[y * 32 + x] != 0, ours.Pixel(x, y) != '.') << x << "," << y;
  }
}
