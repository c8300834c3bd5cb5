// The ancillary chunks the PNG decoder knows: each is tested for its place in the chunk
// sequence and its length. Only tRNS of a palette image reaches the pixels (as the alpha of
// the palette entries); the other values are dropped.

#include <algorithm>
#include <cstring>

#include "imaging/PngDecoder.h"

namespace Veldaro {

namespace {

// True when a zero byte ends a keyword within the first min(length, 80) bytes.
bool KeywordTerminated(const PngInputStream& stream) {
  std::uint32_t limit = stream.ChunkLength() < 80 ? stream.ChunkLength() : 80;
  return std::memchr(stream.ChunkData(), 0, limit) != nullptr;
}

}  // namespace

void PngDecoder::ReadBackground(PngInputStream& stream) {
  std::uint32_t length = stream.ChunkLength();
  if (colorType == 2 || colorType == 6) {
    if (length < 6) throw BadPngStream("bKGD Chunk too small");
    return;
  }
  // Colour types 0, 3 and 4: one byte is required and only the first is tested.
  if (length == 0) throw BadPngStream("bKGD Chunk too small");
  if (bitDepth < 8 && stream.ChunkData()[0] >= (1u << bitDepth)) throw BadPngStream("bKGD palette index too large");
}

void PngDecoder::ReadGamma(PngInputStream& stream) {
  if (paletteRead) throw BadPngStream("gAMA chunk may not occur after PLTE");
  if (imageDataRead) throw BadPngStream("gAMA chunk may not occur after IDAT");
  if (stream.ChunkLength() < 4) throw BadPngStream("gAMA chunk too small");
}

void PngDecoder::ReadChromaticities(PngInputStream& stream) {
  if (paletteRead) throw BadPngStream("cHRM chunk may not occur after PLTE");
  if (imageDataRead) throw BadPngStream("cHRM chunk may not occur after IDAT");
  if (stream.ChunkLength() != 32) throw BadPngStream("Invalid cHRM chunk length");
}

void PngDecoder::ReadHistogram(PngInputStream& stream) {
  if (!paletteRead) throw BadPngStream("hIST chunk may not appear before PLTE");
  if (imageDataRead) throw BadPngStream("hIST chunk must appear before IDAT");
  if (stream.ChunkLength() != 2 * paletteEntryCount) throw BadPngStream("Bad size for hIST chunk");
}

void PngDecoder::ReadSignificantBits(PngInputStream& stream) {
  if (imageDataRead) throw BadPngStream("sBIT chunk must occur before IDAT chunks");
  if (paletteRead) throw BadPngStream("sBIT chunk must occur before PTLE chunk");
  std::uint32_t minimum;
  switch (colorType) {
    case 0: minimum = 1; break;
    case 4: minimum = 2; break;
    case 6: minimum = 4; break;
    default: minimum = 3; break;
  }
  if (stream.ChunkLength() < minimum) throw BadPngStream("sBIT chunk length invalid");
}

void PngDecoder::ReadTransparency(PngInputStream& stream) {
  if (imageDataRead) throw BadPngStream("tRNS chunk may not occur after IDAT");
  if (colorType != 3) return;  // no colour-key transparency for grayscale or RGB
  // Every tRNS chunk rewrites the whole table; a chunk longer than 256 entries leaves all opaque.
  paletteAlpha.fill(255);
  const std::uint32_t length = stream.ChunkLength();
  if (length <= kPaletteSize) std::copy_n(stream.ChunkData(), length, paletteAlpha.begin());
}

void PngDecoder::ReadPhysicalDimensions(PngInputStream& stream) {
  if (imageDataRead) throw BadPngStream("pHYS chunk must come before IDAT chunks");
  if (stream.ChunkLength() != 9) throw BadPngStream("pHYs chunk size invalid");
  if (stream.ChunkData()[8] > 1) throw BadPngStream("pHYs contains an invalid unit");
}

void PngDecoder::ReadTime(PngInputStream& stream) {
  if (stream.ChunkLength() != 7) throw BadPngStream("tIME chunk size invalid");
}

void PngDecoder::ReadText(PngInputStream& stream) {
  if (!KeywordTerminated(stream)) throw BadPngStream("tEXt keyword not found");
}

void PngDecoder::ReadCompressedText(PngInputStream& stream) {
  if (!KeywordTerminated(stream)) throw BadPngStream("zTXt keyword not found");
}

}  // namespace Veldaro
