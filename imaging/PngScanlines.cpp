// The rows of a PNG image: each row (or each row of an Adam7 pass) is inflated with its filter
// byte, unfiltered against the previous row and converted into pixels right away; two rows in
// a row (of an image, or of a pass) of filter type Average, or of Paeth, are undone together,
// as the second needs the first pixel by pixel.

#include <algorithm>
#include <array>
#include <exception>
#include <utility>

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

bool PngDecoder::InflateRow(PngInputStream& stream, std::uint32_t rowBytes, std::uint32_t buffer,
                            std::uint8_t& filterType) {
  // The filter byte lands in the padding just before the row, and is cleared there again so
  // that the first pixel sees zero left neighbours.
  std::uint8_t* destination = RowIn(buffer) - 1;
  if (inflater.Decode(stream, rowBytes + 1, destination) != rowBytes + 1) return false;
  filterType = destination[0];
  destination[0] = 0;
  return true;
}

std::uint8_t PngDecoder::ReadRow(PngInputStream& stream, std::uint32_t rowBytes) {
  std::uint8_t filterType = 0;
  if (!InflateRow(stream, rowBytes, currentRowBuffer, filterType))
    throw BadPngStream("Premature end of compressed data");
  return filterType;
}

std::uint32_t PngDecoder::ByteDistance() const {
  switch (colorType) {
    case 2: return 3 * bitDepth / 8;
    case 4: return 2 * bitDepth / 8;
    case 6: return 4 * bitDepth / 8;
    default: return bitDepth == 16 ? 2 : 1;
  }
}

void PngDecoder::FilterRow(std::uint8_t filterType, std::uint32_t rowBytes) {
  if (filterType > 4) throw BadPngStream("Invalid Filter Method");
  UnfilterPngRow(filterType, CurrentRow(), PreviousRow(), rowBytes, ByteDistance());
}

std::uint32_t PngDecoder::ReadAheadPair(PngInputStream& stream, std::uint8_t rowFilterType, std::uint32_t row,
                                        std::uint32_t rowStep, std::uint32_t rowBytes, BitmapImage& image,
                                        bool& nextRead, std::uint8_t& nextFilterType) {
  // Whatever happens while the next row is read (the data end, a corrupt stream, a bad chunk)
  // is met only after the current row is done and reported, as when rows are read one by one.
  std::exception_ptr failure;
  bool complete = false;
  std::uint8_t filterType = 0;
  try {
    complete = InflateRow(stream, rowBytes, spareRowBuffer, filterType);
  } catch (...) {
    failure = std::current_exception();
  }
  if (complete && filterType == rowFilterType &&
      UnfilterPngRowPair(filterType, CurrentRow(), RowIn(spareRowBuffer), PreviousRow(), rowBytes, ByteDistance())) {
    CopyRow(row, CurrentRow(), image);
    CallProgressFunction(Percent(row, height), image);
    CopyRow(row + rowStep, RowIn(spareRowBuffer), image);
    // The second row is the previous one of the row after it; the other two buffers are free.
    std::swap(previousRowBuffer, spareRowBuffer);
    CallProgressFunction(Percent(row + rowStep, height), image);
    return 2;
  }
  FilterRow(rowFilterType, rowBytes);
  CopyRow(row, CurrentRow(), image);
  AdvanceRow();
  CallProgressFunction(Percent(row, height), image);
  if (failure) std::rethrow_exception(failure);
  if (!complete) throw BadPngStream("Premature end of compressed data");
  nextRead = true;
  nextFilterType = filterType;
  return 1;
}

void PngDecoder::CopyRow(std::uint32_t row, const std::uint8_t* samples, BitmapImage& image) {
  const PngPixelFormat format = PngPixelFormatOf(colorType, bitDepth);
  if (interlaceMethod == 0) {
    ConvertPngRow(format, samples, width, image.Row(row), pixelTable.data());
    rowsDefined = std::max(rowsDefined, row + 1);
    return;
  }
  const Adam7Pass& pass = kAdam7[currentPass];
  const std::uint32_t columns = PassColumns(width, pass);
  ConvertPngRow(format, samples, columns, passPixels.data(), pixelTable.data());
  std::uint32_t* destination = image.Row(row) + pass.firstColumn;
  for (std::uint32_t i = 0; i < columns; ++i) destination[std::size_t(i) * pass.columnStep] = passPixels[i];
}

void PngDecoder::ClearRowBuffers() {
  currentRowBuffer = 0;
  previousRowBuffer = 1;
  spareRowBuffer = 2;
  for (std::vector<std::uint8_t>& buffer : rowBuffers) std::fill(buffer.begin(), buffer.end(), 0);
}

void PngDecoder::ReadRows(PngInputStream& stream, BitmapImage& image, std::uint32_t firstRow, std::uint32_t rowStep,
                          std::uint32_t rowBytes) {
  const bool readAhead = !rowBuffers[spareRowBuffer].empty();
  bool nextRead = false;  // the row y waits in the spare buffer, read ahead
  std::uint8_t nextFilterType = 0;
  for (std::uint32_t y = firstRow; y < height;) {
    std::uint8_t filterType;
    if (nextRead) {
      std::swap(currentRowBuffer, spareRowBuffer);
      filterType = nextFilterType;
      nextRead = false;
    } else {
      filterType = ReadRow(stream, rowBytes);
    }
    // An Average or Paeth row is undone together with the next row when that has the same
    // filter.
    if ((filterType == 3 || filterType == 4) && readAhead && height - y > rowStep) {
      y += rowStep * ReadAheadPair(stream, filterType, y, rowStep, rowBytes, image, nextRead, nextFilterType);
      continue;
    }
    FilterRow(filterType, rowBytes);
    CopyRow(y, CurrentRow(), image);
    AdvanceRow();
    CallProgressFunction(Percent(y, height), image);
    y += rowStep;
  }
  CallProgressFunction(100, image);
}

void PngDecoder::ReadNoninterlacedImage(PngInputStream& stream, BitmapImage& image) {
  ClearRowBuffers();
  CallProgressFunction(0, image);
  ReadRows(stream, image, 0, 1, rowByteCount);
}

void PngDecoder::ReadInterlacedPass(PngInputStream& stream, BitmapImage& image) {
  const Adam7Pass& pass = kAdam7[currentPass];
  if (height <= pass.firstRow || width <= pass.firstColumn) return;  // the pass has no pixels
  ClearRowBuffers();
  // A pass row is never longer than an image row, for which the buffers are made.
  ReadRows(stream, image, pass.firstRow, pass.rowStep, std::uint32_t(RowByteCount(PassColumns(width, pass))));
}

}  // namespace Veldaro
