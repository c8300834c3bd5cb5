#pragma once
// InputByteStream: the buffered byte source under the GIF, JPEG and PNG decoders.
//
// A concrete stream refills the buffer through FillBuffer; the format layers above it
// (GIF codes, JPEG bits, inflate bits, PNG chunks) share this one buffer, which is why every
// class derives from InputByteStream virtually. The fields current, end, bitPosition and
// bitMode belong to the bit readers of those layers.

#include <cstdint>
#include <ios>
#include <stdexcept>
#include <string>

namespace Veldaro {

class InputByteStream {
 public:
  // A premature end of the data (or a bad byte in JPEG data) found by a stream or bit reader.
  class StreamError : public std::logic_error {
   public:
    explicit StreamError(const std::string& message) : std::logic_error(message) {}
  };

  InputByteStream() = default;
  virtual ~InputByteStream() = default;
  InputByteStream(const InputByteStream&) = delete;
  InputByteStream& operator=(const InputByteStream&) = delete;

  // Position of the next byte GetByte would deliver; 0 here.
  virtual std::streampos Tell();
  // Continue reading at the position; nothing here.
  virtual void Seek(std::streampos position);
  // Replaces the buffer with the next bytes of the input (current and end); leaves it empty
  // at the end of the input. Whatever was left in the buffer is discarded.
  virtual void FillBuffer() = 0;
  // The underlying input has been read to its end (bytes may still wait in the buffer).
  virtual bool EndReached() = 0;

  // The next byte. At the end of the input it throws StreamError "Premature end of file".
  std::uint8_t GetByte() {
    if (current >= end) RefillForByte();
    return *current++;
  }
  // True when a byte waits in the buffer or the input has not ended.
  bool MoreData() { return current < end || !EndReached(); }
  // Copies up to count bytes; returns how many came (fewer only at the end of the input).
  std::uint32_t Read(void* destination, std::uint32_t count);
  // Word readers; bytes missing at the end of the input count as 0.
  std::uint16_t GetBigEndianWord();
  std::uint16_t GetWord();
  std::uint32_t GetBigEndianLong();

 protected:
  std::uint8_t* current = nullptr;  // next byte to deliver
  std::uint8_t* end = nullptr;      // one past the last buffered byte
  std::int32_t bitPosition = -1;    // owned by the bit readers
  bool bitMode = false;             // owned by the bit readers

 private:
  // Refills until a byte is buffered; throws at the end of the input.
  void RefillForByte();
};

}  // namespace Veldaro
