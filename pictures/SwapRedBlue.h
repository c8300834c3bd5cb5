#pragma once
// A colour value 0x00BBGGRR turned into 0x00RRGGBB (the order CSS colours are
// written in): bytes 0 and 2 exchanged, byte 3 cleared.

#include <cstdint>

std::uint32_t SwapRedBlue(std::uint32_t colour);
