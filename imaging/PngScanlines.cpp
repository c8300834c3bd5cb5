// The rows of a PNG image: each row (or each row of an Adam7 pass) is inflated with its filter
// byte, unfiltered against the previous row and converted into pixels right away.

#include <algorithm>
#include <array>

#include "imaging/PngDecoder.h"
#include "imaging/PngPixelConverters.h"
#include "imaging/PngRowFilters.h"

namespace Veldaro {

namespace {

// An Adam7 pass: its rows are firstRow, firstRow + rowStep, ...; its columns firstColumn,
// firstColumn + columnStep, ...
struct Adam7Pass {
  std::uint32_t rowStep;
  std::uint32_t columnStep;
  std::uint32_t firstRow;
  std::uint32_t firstColumn;
};

constexpr std::array<Adam7Pass, 7> kAdam7 = {{
    {8, 8, 0, 0},
    {8, 8, 0, 4},
    {8, 4, 4, 0},
    {4, 4, 0, 2},
    {4, 2, 2, 0},
    {2, 2, 0, 1},
    {2, 1, 1, 0},
}};

std::uint32_t Percent(std::uint32_t row, std::uint32_t height) {
  return std::uint32_t(std::uint64_t(row) * 100 / height);
}

// The columns of an image of the given width that the pass holds (at most the width).
std::uint32_t PassColumns(std::uint32_t width, const Adam7Pass& pass) {
  if (width <= pass.firstColumn) return 0;
  return std::uint32_t((std::uint64_t(width) - pass.firstColumn + pass.columnStep - 1) / pass.columnStep);
}

}  // namespace

std::uint8_t PngDecoder::ReadRow(PngInputStream& stream, std::uint32_t rowBytes) {
  // The filter byte lands in the padding just before the row, and is cleared there again so
  // that the first pixel sees zero left neighbours.
  std::uint8_t* destination = CurrentRow() - 1;
  if (inflater.Decode(stream, rowBytes + 1, destination) != rowBytes + 1)
    throw BadPngStream("Premature end of compressed data");
  std::uint8_t filterType = destination[0];
  destination[0] = 0;
  return filterType;
}

void PngDecoder::FilterRow(std::uint8_t filterType, std::uint32_t rowBytes) {
  if (filterType > 4) throw BadPngStream("Invalid Filter Method");
  std::uint32_t byteDistance;
  switch (colorType) {
    case 2: byteDistance = 3 * bitDepth / 8; break;
    case 4: byteDistance = 2 * bitDepth / 8; break;
    case 6: byteDistance = 4 * bitDepth / 8; break;
    default: byteDistance = bitDepth == 16 ? 2 : 1; break;
  }
  UnfilterPngRow(filterType, CurrentRow(), PreviousRow(), rowBytes, byteDistance);
}

void PngDecoder::CopyNoninterlacedRow(std::uint32_t row, BitmapImage& image) {
  ConvertPngRow(PngPixelFormatOf(colorType, bitDepth), CurrentRow(), width, image.Row(row), pixelTable.data());
}

void PngDecoder::CopyInterlacedRow(std::uint32_t row, std::uint32_t, BitmapImage& image) {
  const Adam7Pass& pass = kAdam7[currentPass];
  const std::uint32_t columns = PassColumns(width, pass);
  ConvertPngRow(PngPixelFormatOf(colorType, bitDepth), CurrentRow(), columns, passPixels.data(), pixelTable.data());
  std::uint32_t* destination = image.Row(row) + pass.firstColumn;
  for (std::uint32_t i = 0; i < columns; ++i) destination[std::size_t(i) * pass.columnStep] = passPixels[i];
}

void PngDecoder::ClearRowBuffers() {
  currentRowBuffer = 0;
  for (std::vector<std::uint8_t>& buffer : rowBuffers) std::fill(buffer.begin(), buffer.end(), 0);
}

void PngDecoder::ReadNoninterlacedImage(PngInputStream& stream, BitmapImage& image) {
  ClearRowBuffers();
  CallProgressFunction(0);
  for (std::uint32_t y = 0; y < height; ++y) {
    std::uint8_t filterType = ReadRow(stream, rowByteCount);
    FilterRow(filterType, rowByteCount);
    CopyNoninterlacedRow(y, image);
    currentRowBuffer ^= 1;
    CallProgressFunction(Percent(y, height));
  }
  CallProgressFunction(100);
}

void PngDecoder::ReadInterlacedPass(PngInputStream& stream, BitmapImage& image) {
  const Adam7Pass& pass = kAdam7[currentPass];
  if (height <= pass.firstRow || width <= pass.firstColumn) return;  // the pass has no pixels
  ClearRowBuffers();
  // A pass row is never longer than an image row, for which the buffers are made.
  const std::uint32_t passRowBytes = std::uint32_t(RowByteCount(PassColumns(width, pass)));
  for (std::uint32_t y = pass.firstRow; y < height; y += pass.rowStep) {
    std::uint8_t filterType = ReadRow(stream, passRowBytes);
    FilterRow(filterType, passRowBytes);
    CopyInterlacedRow(y, passRowBytes, image);
    CallProgressFunction(Percent(y, height));
    currentRowBuffer ^= 1;
  }
  CallProgressFunction(100);
}

}  // namespace Veldaro
