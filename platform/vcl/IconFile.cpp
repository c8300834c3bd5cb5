#include "platform/vcl/IconFile.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/vcl/BitmapBmpFormat.h"
#include "platform/vcl/GraphicsErrors.h"

namespace {

constexpr long long kMaxIconPngPixels = 4096LL * 4096;

std::uint32_t U16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t U32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

[[noreturn]] void Invalid(const std::string& why = "Icon image is not valid") { throw EInvalidGraphic(why); }

struct Entry {
  int width, height, depth;
  std::uint32_t bytes, offset;
};

std::vector<Entry> ReadDirectory(const std::uint8_t* data, std::size_t size) {
  if (size < 6 || U16(data) != 0 || (U16(data + 2) != 1 && U16(data + 2) != 2)) Invalid();
  const std::size_t count = U16(data + 4);
  if (count == 0 || size < 6 + 16 * count) Invalid();
  std::vector<Entry> entries;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* e = data + 6 + 16 * i;
    Entry entry;
    entry.width = e[0] != 0 ? e[0] : 256;
    entry.height = e[1] != 0 ? e[1] : 256;
    int depth = static_cast<int>(U16(e + 6));
    if (depth == 0 || depth > 32) {
      // Cursor files keep their hot spot here; the colour count tells the depth.
      depth = e[2] == 0 ? 8 : 1;
      for (int colours = e[2]; colours > 2; colours >>= 1) ++depth;
    }
    entry.depth = depth;
    entry.bytes = U32(e + 8);
    entry.offset = U32(e + 12);
    entries.push_back(entry);
  }
  return entries;
}

}  // namespace

int ChooseIconEntry(const std::uint8_t* data, std::size_t size) {
  const std::vector<Entry> entries = ReadDirectory(data, size);
  int best = -1;
  bool bestFits = false;
  for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
    const Entry& e = entries[static_cast<std::size_t>(i)];
    const bool fits = e.width <= kIconSize && e.height <= kIconSize;
    if (best < 0) {
      best = i;
      bestFits = fits;
      continue;
    }
    const Entry& b = entries[static_cast<std::size_t>(best)];
    const long long area = static_cast<long long>(e.width) * e.height,
                    bestArea = static_cast<long long>(b.width) * b.height;
    bool better;
    if (fits != bestFits)
      better = fits;
    else if (area != bestArea)
      better = fits ? area > bestArea : area < bestArea;
    else
      better = e.depth > b.depth;
    if (better) {
      best = i;
      bestFits = fits;
    }
  }
  return best;
}

IconPicture ReadPngPicture(const std::uint8_t* data, std::size_t size, long long maxPixels) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size))
    Invalid(std::string("PNG image is not valid: ") + image.message);
  if (static_cast<long long>(image.width) * image.height > maxPixels || image.width == 0 || image.height == 0) {
    png_image_free(&image);
    Invalid("PNG image is too large");
  }
  image.format = PNG_FORMAT_BGRA;
  IconPicture picture;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
  if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) {
    const std::string message = image.message;
    png_image_free(&image);
    Invalid("PNG image is not valid: " + message);
  }
  return picture;
}

IconPicture ReadIcon(const std::uint8_t* data, std::size_t size) {
  const int index = ChooseIconEntry(data, size);
  const Entry entry = ReadDirectory(data, size)[static_cast<std::size_t>(index)];
  if (entry.offset >= size || entry.bytes > size - entry.offset || entry.bytes < 8) Invalid();
  const std::uint8_t* bytes = data + entry.offset;
  static const std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (std::memcmp(bytes, kPngSignature, 8) == 0) return ReadPngPicture(bytes, entry.bytes, kMaxIconPngPixels);

  // A DIB whose height counts the colour rows and the mask rows together.
  if (entry.bytes < 40 || U32(bytes) < 40) Invalid();
  std::vector<std::uint8_t> dib(bytes, bytes + entry.bytes);
  const std::int32_t doubled = static_cast<std::int32_t>(U32(dib.data() + 8));
  const std::int32_t height = doubled > 0 ? doubled / 2 : 0;
  if (height <= 0) Invalid();
  for (int i = 0; i < 4; ++i)
    dib[8 + i] = static_cast<std::uint8_t>((static_cast<std::uint32_t>(height) >> (8 * i)) & 0xFF);
  BmpImage colour = ReadBmp(dib.data(), dib.size(), false);

  IconPicture picture;
  picture.width = colour.width;
  picture.height = colour.height;
  picture.pixels = std::move(colour.pixels);
  const std::size_t maskStride = (static_cast<std::size_t>(picture.width) + 31) / 32 * 4;
  const std::size_t maskOffset = colour.pixelOffset + colour.rowStride * static_cast<std::size_t>(picture.height);
  const bool hasMask = maskOffset <= dib.size() && dib.size() - maskOffset >= maskStride * picture.height;
  bool hasAlpha = false;
  if (colour.bitCount == 32)
    hasAlpha =
        std::any_of(picture.pixels.begin(), picture.pixels.end(), [](std::uint32_t p) { return (p >> 24) != 0; });
  for (int y = 0; y < picture.height; ++y) {
    // Mask rows run from the bottom, as the colour rows did.
    const std::uint8_t* mask = hasMask ? dib.data() + maskOffset + maskStride * (picture.height - 1 - y) : nullptr;
    for (int x = 0; x < picture.width; ++x) {
      std::uint32_t& p = picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
      if (hasAlpha) continue;
      const bool clear = mask != nullptr && ((mask[x / 8] >> (7 - x % 8)) & 1) != 0;
      p = clear ? 0 : (p | 0xFF000000u);
    }
  }
  return picture;
}
