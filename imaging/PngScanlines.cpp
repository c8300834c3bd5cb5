// The rows of a PNG image: each row (or each row of an Adam7 pass) is inflated with its filter
// byte, unfiltered against the previous row and converted into pixels right away.

#include <cstring>

#include "imaging/PngDecoder.h"
#include "imaging/PngPixelConverters.h"
#include "imaging/PngRowFilters.h"

namespace Veldaro {

namespace {

// Adam7: row step, column step, first row, first column of each pass.
constexpr std::uint32_t kAdam7[7][4] = {{8, 8, 0, 0}, {8, 8, 0, 4}, {8, 4, 4, 0}, {4, 4, 0, 2},
                                        {4, 2, 2, 0}, {2, 2, 0, 1}, {2, 1, 1, 0}};

std::uint32_t Percent(std::uint32_t row, std::uint32_t height) {
  return std::uint32_t(std::uint64_t(row) * 100 / height);
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
  ConvertPngRow(PngPixelFormatOf(colorType, bitDepth), CurrentRow(), width, image.Row(row), pixelTable);
}

void PngDecoder::CopyInterlacedRow(std::uint32_t row, std::uint32_t, BitmapImage& image) {
  const std::uint32_t* pass = kAdam7[currentPass];
  std::uint32_t columns = (width - pass[3] + pass[1] - 1) / pass[1];
  ConvertPngRow(PngPixelFormatOf(colorType, bitDepth), CurrentRow(), columns, passPixels, pixelTable);
  std::uint32_t* destination = image.Row(row) + pass[3];
  for (std::uint32_t i = 0; i < columns; ++i) destination[std::size_t(i) * pass[1]] = passPixels[i];
}

void PngDecoder::ReadNoninterlacedImage(PngInputStream& stream, BitmapImage& image) {
  currentRowBuffer = 0;
  std::size_t bufferSize = std::size_t(rowByteCount) + 2 * kRowPadding;
  std::memset(rowBuffers[0], 0, bufferSize);
  std::memset(rowBuffers[1], 0, bufferSize);
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
  const std::uint32_t* pass = kAdam7[currentPass];
  const std::uint32_t rowStep = pass[0], columnStep = pass[1], firstRow = pass[2], firstColumn = pass[3];
  if (height <= firstRow || width <= firstColumn) return;  // the pass has no pixels
  currentRowBuffer = 0;
  std::size_t bufferSize = std::size_t(rowByteCount) + 2 * kRowPadding;
  std::memset(rowBuffers[0], 0, bufferSize);
  std::memset(rowBuffers[1], 0, bufferSize);
  std::uint32_t columns = (width - firstColumn + columnStep - 1) / columnStep;
  std::uint32_t passRowBytes = RowByteCount(columns);
  for (std::uint32_t y = firstRow; y < height; y += rowStep) {
    std::uint8_t filterType = ReadRow(stream, passRowBytes);
    FilterRow(filterType, passRowBytes);
    CopyInterlacedRow(y, passRowBytes, image);
    CallProgressFunction(Percent(y, height));
    currentRowBuffer ^= 1;
  }
  CallProgressFunction(100);
}

}  // namespace Veldaro
