#include "platform/vcl/Colors.h"

#include <array>

namespace {

// The default desktop colours of Windows 7, as 0x00BBGGRR, by COLOR_ index.
constexpr std::array<std::uint32_t, 31> kSystemPalette = {
    0xC8C8C8,  //  0 scroll bar
    0x000000,  //  1 desktop background
    0xD1B499,  //  2 active caption
    0xDBCDBF,  //  3 inactive caption
    0xF0F0F0,  //  4 menu
    0xFFFFFF,  //  5 window
    0x646464,  //  6 window frame
    0x000000,  //  7 menu text
    0x000000,  //  8 window text
    0x000000,  //  9 caption text
    0xB4B4B4,  // 10 active border
    0xFCF7F4,  // 11 inactive border
    0xABABAB,  // 12 application work space
    0xFF9933,  // 13 highlight
    0xFFFFFF,  // 14 highlight text
    0xF0F0F0,  // 15 button face
    0xA0A0A0,  // 16 button shadow
    0x6D6D6D,  // 17 grey text
    0x000000,  // 18 button text
    0x544E43,  // 19 inactive caption text
    0xFFFFFF,  // 20 button highlight
    0x696969,  // 21 3D dark shadow
    0xE3E3E3,  // 22 3D light
    0x000000,  // 23 tooltip text
    0xE1FFFF,  // 24 tooltip background
    0x000000,  // 25 (no colour)
    0xCC6600,  // 26 hot-tracked item
    0xEAD1B9,  // 27 active caption gradient
    0xF2E4D7,  // 28 inactive caption gradient
    0xFF9933,  // 29 menu highlight
    0xF0F0F0,  // 30 menu bar
};

}  // namespace

std::uint32_t GetSysColor(int index) {
  if (index < 0 || index >= static_cast<int>(kSystemPalette.size())) return 0;
  return kSystemPalette[static_cast<std::size_t>(index)];
}

TColor ColorToRGB(TColor color) {
  if (color < 0) return static_cast<TColor>(GetSysColor(color & 0xFF));
  return color;
}
