#include "imaging/JpegInputStream.h"

#include "imaging/JpegBitReader.h"

namespace Veldaro {

void JpegInputStream::StartBitInput() {
  if (bitMode) return;
  bitPosition = 8;
  bitMode = true;
  if (current >= end) FillBuffer();
  bitBuffer = 0;
  bitCount = 0;
  pending = NoStop;
  startByte = current;
  floorByte = current;
  refilled = false;
}

void JpegInputStream::FillBitsFromBuffer() {
  if (pending != NoStop) return;  // the bytes after a marker's 0xFF are not data
  std::uint8_t* p = current;
  std::uint8_t* const e = end;
  if (p >= e) return;
  std::uint64_t buffer = bitBuffer;
  std::uint32_t count = bitCount;
  while (count <= 56) {
    // No 0xFF among the next eight bytes: as many whole bytes as fit at once.
    if (e - p >= 8 && JpegBitReader::TakeWholeBytes(p, buffer, count)) break;
    if (p >= e) break;
    std::uint8_t byte = *p;
    if (byte == 0xFF) {
      // Only a stuffed 0xFF 0x00 whose two bytes are both buffered is taken here.
      if (e - p < 2 || p[1] != 0) break;
      p += 2;
    } else {
      ++p;
    }
    buffer |= std::uint64_t(byte) << (56 - count);
    count += 8;
  }
  current = p;
  bitBuffer = buffer;
  bitCount = count;
}

bool JpegInputStream::Refill() {
  FillBuffer();
  refilled = true;
  floorByte = current;
  return current < end;
}

void JpegInputStream::FetchByte(FailureTexts texts) {
  if (pending == EndAfterFF) throw StreamError("Premature end of file");
  if (pending == MarkerAfterFF) {
    throw StreamError(texts == NextBitTexts ? "Invalid Marker in Compressed Data"
                                            : "Invalid Marker in Compressed Stream");
  }
  if (current >= end && !Refill()) {
    throw StreamError(texts == NextBitTexts ? "Premature end of stream" : "Premature end of file");
  }
  std::uint8_t byte = *current++;
  if (byte == 0xFF) {
    // The byte after it decides whether the bits after this byte's may be read: a stuffed
    // 0x00 is stepped over; anything else stops the data after this byte's eight bits.
    if (current >= end && !Refill()) {
      pending = EndAfterFF;
    } else if (*current != 0) {
      pending = MarkerAfterFF;
    } else {
      ++current;
    }
  }
  bitBuffer |= std::uint64_t(byte) << (56 - bitCount);
  bitCount += 8;
}

void JpegInputStream::EnsureBits(std::uint32_t count) {
  FillBits();
  while (bitCount < count) FetchByte(ReceiveTexts);
}

void JpegInputStream::EndBitInput() {
  if (bitPosition < 0) return;
  if (pending != NoStop) {
    // The bits of a 0xFF that is not followed by a stuffed 0x00 were read.
    throw StreamError(pending == EndAfterFF ? "Premature end of file" : "Invalid Marker in Compressed Stream");
  }
  // Give back the whole bytes gathered but not read (a stuffed 0xFF counts two bytes).
  std::uint32_t unread = bitCount / 8;
  std::uint8_t* p = current;
  for (std::uint32_t i = 0; i < unread; ++i) {
    if (p - floorByte >= 2 && p[-1] == 0x00 && p[-2] == 0xFF) {
      p -= 2;
    } else {
      p -= 1;
    }
  }
  current = p;
  bitBuffer = 0;
  bitCount = 0;
  if (!refilled && current == startByte) {
    // No bit was read: the byte where bit input started is stepped over all the same.
    if (current >= end) {
      FillBuffer();
      if (current >= end) throw StreamError("Premature end of file");
    }
    std::uint8_t byte = *current++;
    if (byte == 0xFF) {
      if (current >= end) {
        FillBuffer();
        if (current >= end) throw StreamError("Premature end of file");
      }
      if (*current != 0) throw StreamError("Invalid Marker in Compressed Stream");
      ++current;
    }
  }
  bitPosition = -1;
  bitMode = false;
}

}  // namespace Veldaro
