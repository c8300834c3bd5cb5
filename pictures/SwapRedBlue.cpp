#include "pictures/SwapRedBlue.h"

std::uint32_t SwapRedBlue(std::uint32_t colour) {
  return (colour & 0xFFu) << 16 | (colour & 0xFF00u) | (colour >> 16 & 0xFFu);
}
