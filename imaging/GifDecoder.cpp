#include "imaging/GifDecoder.h"

#include <algorithm>
#include <cstring>

#include "base/ScopeExit.h"
#include "imaging/DecoderLimits.h"
#include "imaging/GifInputFileStream.h"

namespace Veldaro {

namespace {

static_assert(sizeof(std::array<std::array<std::uint8_t, 3>, 256>) == 768, "colour tables are read as bytes");

// Bytes of the stream buffer of the file entry.
constexpr std::uint32_t kFileBufferSize = 65536;

// Interlace passes: first row, row step and rows filled per index; pass 4 starts past any image.
constexpr std::uint32_t kPassStart[5] = {0, 4, 2, 1, 2147483647u};
constexpr std::uint32_t kPassStep[4] = {8, 8, 4, 2};
constexpr std::uint32_t kPassFill[4] = {8, 4, 2, 1};
// Codes are at most 12 bits wide.
constexpr std::uint32_t kMaxCodeSize = 12;

// Copies count (2 or more) pixels whose source lies wholly before or apart from their
// destination; the copies of the pieces may overlap each other, never the source.
inline void CopyPixels(std::uint32_t* to, const std::uint32_t* from, std::uint32_t count) {
  if (count <= 4) {
    std::uint64_t head, tail;
    std::memcpy(&head, from, 8);
    std::memcpy(&tail, from + count - 2, 8);
    std::memcpy(to, &head, 8);
    std::memcpy(to + count - 2, &tail, 8);
    return;
  }
  for (std::uint32_t i = 0; i + 4 < count; i += 4) {
    std::uint8_t block[16];
    std::memcpy(block, from + i, 16);
    std::memcpy(to + i, block, 16);
  }
  std::uint8_t last[16];
  std::memcpy(last, from + count - 4, 16);
  std::memcpy(to + count - 4, last, 16);
}

[[noreturn]] void ThrowCorruptData() { throw GifDecoder::GifError("GIF: Corrupt compressed data."); }

[[noreturn]] void ThrowPastImage() {
  throw GifDecoder::GifError("GIF: Corrupt input stream. Compressed data past image.");
}

// Reads exactly count bytes of a fixed-size field; the end of the file inside it is a
// premature end like that of any byte read.
void ReadFixed(GifInputStream& stream, void* data, std::uint32_t count) {
  if (stream.Read(data, count) != count) throw InputByteStream::StreamError("Premature end of file");
}

// Skips data sub-blocks up to and including the zero length byte; false when the data ran
// out before it.
bool SkipSubBlocks(GifInputStream& stream) {
  std::uint8_t scratch[256];
  if (!stream.MoreData()) return false;
  std::uint32_t length = stream.GetByte();
  while (length != 0) {
    if (!stream.MoreData()) return false;
    stream.Read(scratch, length);
    if (!stream.MoreData()) return false;
    length = stream.GetByte();
  }
  return true;
}

}  // namespace

GifDecoder::~GifDecoder() { inputStream = nullptr; }

void GifDecoder::CallProgressFunction(std::uint32_t passNumber, std::uint32_t passCount, std::uint32_t percent) {
  if (progressFunction == nullptr) return;
  bool cancel = false;
  progressFunction(this, progressData, passNumber, passCount, percent > 100 ? 100 : percent, cancel);
  if (cancel) throw GraphicsAbort();
}

void GifDecoder::ReadImageFile(const std::string& fileName, BitmapImage& image) {
  if (inputStream != nullptr) throw GifError("GIF: Already have open input stream");
  GifInputFileStream stream(kFileBufferSize);
  stream.Open(fileName);
  ReadImage(stream, image);
}

void GifDecoder::ReadImage(GifInputStream& stream, BitmapImage& image) {
  if (inputStream != nullptr) throw GifError("GIF: Already have open input stream");
  // However the decode ends, no stream stays attached.
  ScopeExit detach([this] { inputStream = nullptr; });
  OpenInputStream(stream, image);
}

void GifDecoder::OpenInputStream(GifInputStream& stream, BitmapImage& image) {
  ReadHeader(stream);
  inputStream = &stream;
  ReadBlocks(stream);
  if (!imageFound) throw GifError("GIF: No image in input stream.");
  NextImage(image);
  inputStream = nullptr;
}

void GifDecoder::ReadHeader(GifInputStream& stream) {
  imageFound = false;
  globalColourTableSize = 0;
  // Transparency belongs to the file being read: a decoder used again starts without it.
  transparentFlag = false;
  transparentIndex = 0;
  std::uint8_t header[6];
  if (stream.Read(header, 6) != 6) throw GifError("GIF: Cannot read GIF header.");
  if (header[0] != 'G' || header[1] != 'I' || header[2] != 'F' || header[3] != '8' ||
      (header[4] != '7' && header[4] != '9') || header[5] != 'a')
    throw GifError("GIF: Not a GIF stream");
  std::uint8_t screen[7];
  if (stream.Read(screen, 7) != 7) throw GifError("GIF: Cannot read GIF screen descriptor.");
  std::uint8_t packed = screen[4];
  if (packed & 0x80) {
    globalColourTableSize = 1u << ((packed & 7) + 1);
    for (std::uint32_t i = 0; i < globalColourTableSize; ++i)
      if (stream.Read(globalColourTable[i].data(), 3) != 3)
        throw GifError("GIF: Error reading global color table in GIF file.");
  }
}

void GifDecoder::ReadBlocks(GifInputStream& stream) {
  while (stream.MoreData()) {
    std::uint8_t block = stream.GetByte();
    switch (block) {
      case 0x00: break;
      case 0x2C: imageFound = true; return;
      case 0x3B:
        inputStream = nullptr;
        imageFound = false;
        return;
      case 0x21: ReadExtension(stream); break;
      default: throw GifError("GIF: Invalid GIF block");
    }
  }
  throw GifError("GIF: Missing GIF Trailer marker.");
}

void GifDecoder::ReadExtension(GifInputStream& stream) {
  std::uint8_t label = stream.GetByte();
  switch (label) {
    case 0x01: {
      std::uint8_t fixed[13];
      if (stream.Read(fixed, 13) != 13) throw GifError("GIF: Cannot read Plain Text Extension Block");
      if (fixed[0] != 12) throw GifError("GIF: Corrupt GIF file - wrong size in GIF extension");
      if (!SkipSubBlocks(stream)) throw GifError("GIF: Cannot read Plaint Text data.");
      return;
    }
    case 0xF9: {
      std::uint8_t fixed[5];
      ReadFixed(stream, fixed, 5);
      if (fixed[0] != 4) throw GifError("GIF: Corrupt GIF file - wrong size in Graphic Control Block");
      if (stream.GetByte() != 0) throw GifError("GIF: Corrupt GIF file - missing terminator");
      transparentFlag = (fixed[1] & 1) != 0;
      transparentIndex = fixed[4];
      return;
    }
    case 0xFE:
      // A comment cut short ends in the block loop's own end of data.
      SkipSubBlocks(stream);
      return;
    case 0xFF: {
      std::uint8_t fixed[12];
      ReadFixed(stream, fixed, 12);
      if (fixed[0] != 11) throw GifError("GIF: Corrupt GIF file - invalid Application Extension Length");
      if (!SkipSubBlocks(stream)) throw GifError("GIF: Cannot read Application Extension data");
      return;
    }
    default: throw GifError("GIF: Invalid GIF Extension");
  }
}

void GifDecoder::ReadImageColourTable(GifInputStream& stream, std::uint8_t packed) {
  // Indexes beyond the table's entries give black.
  currentColourTable.fill({0, 0, 0});
  if (packed & 0x80) {
    const std::uint32_t size = 1u << ((packed & 7) + 1);
    if (stream.Read(currentColourTable.data(), size * 3) != size * 3)
      throw GifError("GIF: Error reading local color table in GIF file.");
  } else if (globalColourTableSize == 0) {
    throw GifError("GIF: Image contains no color table");
  } else {
    std::copy_n(globalColourTable.begin(), globalColourTableSize, currentColourTable.begin());
  }
  for (std::uint32_t i = 0; i < kColourTableSize; ++i) {
    const std::uint8_t alpha = transparentFlag && i == transparentIndex ? 0 : 255;
    colours[i] = MakePixel(currentColourTable[i][0], currentColourTable[i][1], currentColourTable[i][2], alpha);
  }
}

void GifDecoder::NextImage(BitmapImage& image) {
  GifInputStream& stream = *inputStream;
  std::uint8_t descriptor[9];
  if (stream.Read(descriptor, 9) != 9) throw GifError("GIF: Error reading GIF image descriptor");
  std::uint32_t width = std::uint32_t(descriptor[4]) | std::uint32_t(descriptor[5]) << 8;
  std::uint32_t height = std::uint32_t(descriptor[6]) | std::uint32_t(descriptor[7]) << 8;
  std::uint8_t packed = descriptor[8];
  interlaced = (packed & 0x40) != 0;
  pass = 0;
  ReadImageColourTable(stream, packed);

  // The pixels are all the decoder allocates for an image.
  if (!WithinDecoderLimits(width, height, 0)) throw GifError("GIF: Image too large.");
  image.SetSize(width, height);
  row = 0;
  column = 0;

  minimumCodeSize = stream.GetByte();
  rootsReady = false;
  ResetCodeTable();
  stream.EnterBitMode();
  DecodeImageData(image);
  stream.ExitBitMode();
}

void GifDecoder::ResetCodeTable() {
  // A minimum code size above 11 fails at the first code (its code size is above 12); the
  // table itself is never written beyond its 4096 entries. The root entries never change
  // within an image (new entries start after the end code), so they are written only by
  // the first reset of the image.
  std::uint32_t roots = minimumCodeSize < kMaxCodeSize ? 1u << minimumCodeSize : kStringTableSize;
  if (!rootsReady) {
    for (std::uint32_t i = 0; i < roots; ++i) table[i] = Entry{0, 1, std::uint8_t(i), std::uint8_t(i)};
    rootsReady = true;
  }
  codeSize = minimumCodeSize + 1;
  clearCode = roots;
  endCode = clearCode + 1;
  nextCode = endCode + 1;
}

void GifDecoder::CopyRowDown(BitmapImage& image, std::uint32_t columns) {
  if (columns == 0 || pass >= 4 || row >= image.Height()) return;
  std::uint32_t last = row + kPassFill[pass];
  if (last > image.Height()) last = image.Height();
  const std::uint32_t* source = image.Row(row);
  for (std::uint32_t r = row + 1; r < last; ++r)
    std::memcpy(image.Row(r), source, std::size_t(columns) * sizeof(std::uint32_t));
}

void GifDecoder::FinishRow(BitmapImage& image) {
  const std::uint32_t height = image.Height();
  if (!interlaced) {
    ++row;
    CallProgressFunction(1, 1, std::uint32_t(std::uint64_t(row) * 100 / height));
    column = 0;
    return;
  }
  // An interlaced pass shows each row also in the rows below it that later passes fill.
  CopyRowDown(image, image.Width());
  column = 0;
  row += kPassStep[pass];
  CallProgressFunction(pass + 1, 4, std::uint32_t(std::uint64_t(row) * 100 / height));
  if (row >= height) {
    ++pass;
    while (pass < 4 && kPassStart[pass] >= height) ++pass;
    row = kPassStart[pass];
  }
}

void GifDecoder::OutputPixel(std::uint8_t index, BitmapImage& image) {
  // An image without pixels (width or height 0) takes no index at all.
  if (row >= image.Height() || image.Width() == 0) ThrowPastImage();
  image.Row(row)[column] = colours[index];
  if (++column == image.Width()) FinishRow(image);
}

void GifDecoder::OutputString(std::uint32_t code, BitmapImage& image) {
  std::array<std::uint8_t, kStringTableSize> stack;
  const std::uint32_t length = table[code].length;
  for (std::uint32_t i = length; i-- > 0;) {
    stack[i] = table[code].character;
    code = table[code].prefix;
  }
  for (std::uint32_t i = 0; i < length; ++i) OutputPixel(stack[i], image);
}

void GifDecoder::DecodeImageData(BitmapImage& image) {
  GifInputStream& stream = *inputStream;
  const std::uint32_t width = image.Width();
  const std::uint32_t height = image.Height();
  std::uint32_t* const pixels = image.Pixels();
  Entry* const entries = table.data();

  // The hot state lives in locals of this one function, which bench/gif watches (pixel stores
  // could otherwise alias the members, and a helper object kept it out of registers): out is
  // the next pixel of the current row and rowEnd the end of that row (both null past the
  // image).
  // The members row and column are brought up to date around FinishRow and OutputString,
  // which work on them; inMembers tells which of the two is current.
  std::uint32_t* out = nullptr;
  std::uint32_t* rowEnd = nullptr;
  bool inMembers = true;
  auto place = [&] {
    if (row < height && width != 0) {
      out = pixels + std::size_t(row) * width + column;
      rowEnd = out + (width - column);
    } else {
      out = nullptr;
      rowEnd = nullptr;
    }
    inMembers = false;
  };
  auto syncMembers = [&] {
    if (!inMembers && out != nullptr) column = width - std::uint32_t(rowEnd - out);
    inMembers = true;
  };
  // Strings follow each other in memory, row after row, except where an interlaced pass
  // moves on to its next row.
  const bool rowsFollow = !interlaced;
  auto rowDone = [&](const std::uint32_t* start) -> const std::uint32_t* {
    syncMembers();
    FinishRow(image);
    place();
    return rowsFollow ? start : nullptr;
  };
  // Writes the string of a code: straight into the row when it fits in the rest of the
  // current row (a copy of where it lies whole, else back to front through its prefixes),
  // else index by index. Returns where the string begins when the next string will follow
  // it in memory, else nullptr.
  auto emit = [&](std::uint32_t code) -> const std::uint32_t* {
    const Entry& entry = entries[code];
    const std::uint32_t length = entry.length;
    std::uint32_t* const start = out;
    if (length > std::size_t(rowEnd - out)) {
      syncMembers();
      OutputString(code, image);
      place();
      return rowsFollow ? start : nullptr;
    }
    if (length == 1) {
      *out = colours[entry.character];
    } else if (const std::uint32_t* from = written[code]) {
      CopyPixels(out, from, length);
    } else {
      std::uint32_t* p = out + length;
      std::uint32_t c = code;
      do {
        const Entry& e = entries[c];
        *--p = colours[e.character];
        c = e.prefix;
      } while (p != out);
    }
    out += length;
    return out == rowEnd ? rowDone(start) : start;
  };
  // The string of the entry just made for code == next: the previous string and its first
  // pixel again. Written as a copy of the previous string where that lies right before.
  auto emitRepeat = [&](std::uint32_t code) -> const std::uint32_t* {
    const std::uint32_t* from = written[code];
    const std::uint32_t length = entries[code].length;
    if (from == nullptr || length > std::size_t(rowEnd - out)) return emit(code);
    std::uint32_t* const start = out;
    const std::uint32_t first = from[0];
    if (length == 2)
      out[0] = first;
    else
      CopyPixels(out, from, length - 1);
    out[length - 1] = first;
    out += length;
    return out == rowEnd ? rowDone(start) : start;
  };

  std::uint32_t size = codeSize, next = nextCode;
  const std::uint32_t clear = clearCode, endOfData = endCode;
  // The new entry is the string of last followed by ch. lastStart is where the string of last
  // was written with the next string right after it, so the new entry's string lies there.
  auto addEntry = [&](std::uint32_t last, std::uint8_t ch, const std::uint32_t* lastStart) {
    const Entry& before = entries[last];
    entries[next] = Entry{std::uint16_t(last), std::uint16_t(before.length + 1), ch, before.firstCharacter};
    written[next] = lastStart;
    ++next;
  };
  auto reset = [&] {
    ResetCodeTable();
    size = codeSize;
    next = nextCode;
  };
  // However the data end (at the end code, or by a failure), the decoder's column is brought
  // up to date and the row an interlaced pass was writing is copied down as far as it got.
  ScopeExit finish([&] {
    syncMembers();
    if (interlaced) CopyRowDown(image, column);
  });
  place();
  // The bit state stays in locals while the codes are read; the stream has it back however
  // the data end.
  GifInputStream::LentBits bits = stream.LendBits();
  ScopeExit giveBack([&] { stream.ReturnBits(bits); });
  {
    std::uint32_t code;
    do code = stream.NextCode(bits, size);
    while (code == clear);
    if (code != endOfData) {
      // Only roots and entries made so far hold a string.
      if (code >= next) ThrowCorruptData();
      const std::uint32_t* previousStart = emit(code);
      std::uint32_t previous = code;
      for (;;) {
        if (next >= (1u << size) && size < kMaxCodeSize) ++size;
        code = stream.NextCode(bits, size);
        if (code == endOfData) break;
        if (code == clear) {
          reset();
          do code = stream.NextCode(bits, size);
          while (code == clear);
          if (code == endOfData) break;
          if (code >= next) ThrowCorruptData();
          previousStart = emit(code);
        } else if (code < next) {
          const std::uint32_t* start = emit(code);
          // With all 4096 entries in use no entry is made (a deferred clear): decoding goes
          // on with 12-bit codes until the encoder sends a clear code.
          if (next < kStringTableSize) addEntry(previous, entries[code].firstCharacter, previousStart);
          previousStart = start;
        } else if (code == next) {
          addEntry(previous, entries[previous].firstCharacter, previousStart);
          previousStart = emitRepeat(code);
        } else {
          ThrowCorruptData();
        }
        previous = code;
      }
    }
  }
  codeSize = size;
  nextCode = next;
}

}  // namespace Veldaro
