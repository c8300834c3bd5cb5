#pragma once
// The row filters of PNG filter method 0, undone on whole rows.
//
// Filters work on bytes (not on samples), modulo 256, against the byte byteDistance positions
// to the left (left), the byte above in the previous row (above) and the byte above left.

#include <cstdint>

namespace Veldaro {

// Reverses filter type 1 (Sub), 2 (Up), 3 (Average) or 4 (Paeth) on the length bytes of row,
// in place, against prior (the reconstructed previous row, or zeros); type 0 leaves the row
// unchanged. The byteDistance bytes before row and before prior must be readable and 0, so
// that the first pixel of a row sees zero left neighbours, and 8 bytes after the end of both
// must be readable (pixels are loaded whole). byteDistance is 1, 2, 3, 4, 6 or 8.
void UnfilterPngRow(std::uint8_t filterType, std::uint8_t* row, const std::uint8_t* prior, std::uint32_t length,
                    std::uint32_t byteDistance);

// Reverses filter type 3 (Average) or 4 (Paeth) on two consecutive rows of that type, first
// against prior and second against first, with the same result as two calls of UnfilterPngRow;
// the same bytes around each of the three rows must be readable (and 0 before them). Average
// rows of 1- and 2-byte pixels are undone together at every level, the wider pixels by vector
// paths. Returns false, leaving both rows unchanged, where no path for two rows exists (the
// filter type, the level in use or the byte distance): the caller then undoes them one at a
// time.
bool UnfilterPngRowPair(std::uint8_t filterType, std::uint8_t* first, std::uint8_t* second, const std::uint8_t* prior,
                        std::uint32_t length, std::uint32_t byteDistance);

}  // namespace Veldaro
