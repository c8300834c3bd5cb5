#pragma once
// Windows icon files (ICO, also cursor files of the same layout): the choice
// of the entry to show and its decoding to pixels with alpha. Entries are
// device-independent bitmaps with a transparency mask, or PNG images.

#include <cstddef>
#include <cstdint>
#include <vector>

struct IconPicture {
  int width = 0;
  int height = 0;
  // Blue, green, red, alpha in memory, rows from the top, not premultiplied.
  std::vector<std::uint32_t> pixels;
};

// The largest icon size shown; larger entries are taken only when the file
// has nothing smaller.
inline constexpr int kIconSize = 32;

// Index of the best entry: the largest one of at most kIconSize pixels each
// way (more colours first among equal sizes), else the smallest one. Raises
// EInvalidGraphic when the data is not an icon file.
int ChooseIconEntry(const std::uint8_t* data, std::size_t size);

// Decodes the chosen entry. Raises EInvalidGraphic on broken data.
IconPicture ReadIcon(const std::uint8_t* data, std::size_t size);

// Decodes a PNG image (through libpng). Raises EInvalidGraphic on broken
// data or a picture larger than `maxPixels`.
IconPicture ReadPngPicture(const std::uint8_t* data, std::size_t size, long long maxPixels);
