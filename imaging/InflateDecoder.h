#pragma once
// InflateDecoder: the decoder of one zlib stream (RFC 1950) of deflate blocks (RFC 1951),
// working on demand: each Decode request returns exactly the bytes asked for (fewer only
// when the final block ends first), and the next request continues where it stopped.
//
// The zlib header is tested when the stream is opened, stored, fixed and dynamic blocks are
// decoded, and the Adler-32 trailer is tested at the end of the final block. A stored block
// of length 0 (what a zlib flush writes) is accepted; a match that reaches back before the
// start of the data copies zeros.
//
// Inside, the decoder writes into a linear buffer that keeps the last 32 KB of output in
// front of the bytes being produced, so matches copy without wrapping; requests are served
// from it. Very large requests are decoded straight into the caller's buffer instead, and stored blocks are copied
// straight into it for requests of at least 32 KB. Huffman codes are decoded through
// lookup tables (InflateHuffmanDecoder) with a 64-bit bit buffer. A request never causes a refill of the input
// beyond what the same request needs; bytes of the last buffer that were not used are handed back to the stream at
// the end of each call. Within the buffer at hand, Huffman codes may be decoded ahead of a request, as far as the
// window holds; an end of block or a bad code met there counts only when a request asks for the bytes after it.

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "imaging/InflateHuffmanDecoder.h"
#include "imaging/InflateInputStream.h"

namespace Veldaro {

class InflateDecoder {
 public:
  // Every format error of the compressed data.
  class StreamError : public std::exception {
   public:
    explicit StreamError(const std::string& message) : message(message) {}
    const char* what() const noexcept override { return message.c_str(); }

   private:
    std::string message;
  };

  // Requests of at least this many bytes are decoded straight into the caller's buffer, which
  // saves copying them out of the window; the last 32 KB are copied into the window once at the
  // end of the request. That stops kDirectMargin bytes before the end of the buffer, so that
  // no match or copy writes past it; the rest goes through the window. (Smaller requests would
  // lose more on matches that reach back across their start than the copy costs.)
  static constexpr std::uint32_t kDirectRequest = 1u << 20;
  static constexpr std::uint32_t kDirectMargin = 258 + 48;

  InflateDecoder();
  virtual ~InflateDecoder();
  InflateDecoder(const InflateDecoder&) = delete;
  InflateDecoder& operator=(const InflateDecoder&) = delete;

  // Starts a zlib stream whose header is the next byte of the stream: tests the header and
  // reads the header (and tables) of the first block.
  void OpenStream(InflateInputStream& stream);
  // Stores the next count decompressed bytes into buffer and returns how many were stored:
  // count, or fewer when the final block ends first. After the end, and after a failure of
  // this stream, returns 0 without reading the stream.
  std::uint32_t Decode(InflateInputStream& stream, std::uint32_t count, std::uint8_t* buffer);
  // True while the end of the final block has not been met (or decoded bytes still wait).
  bool NotFinished() const { return !finished || readPosition < outputPosition; }

 private:
  enum class BlockType { None, Stored, Huffman };
  class BitSync;

  // Reads a block header and prepares the block (several empty stored blocks in a row are
  // passed over; an empty final one ends the stream).
  void StartNewBlock(InflateInputStream& stream);
  // Reads count code lengths of a dynamic block with the code-length decoder.
  void ReadLengths(InflateInputStream& stream, InflateHuffmanDecoder& decoder, std::uint32_t* lengths,
                   std::uint32_t count);
  // Reads the Adler-32 trailer and compares it with the computed value.
  void CheckAdler32(InflateInputStream& stream);
  // End of the current block: the trailer after the final one, else the next block.
  void EndOfBlock(InflateInputStream& stream);
  // Makes the fixed codes the codes of the block.
  void MakeFixedTables();

  // Produces output until outputPosition reaches target (a match may run past it) or the
  // stream ends; Huffman codes in the input buffer at hand may be decoded on beyond it.
  void DecodeUntil(InflateInputStream& stream, std::uint32_t target);
  void DecodeStored(InflateInputStream& stream, std::uint32_t target);
  // Where Huffman codes are decoded to: the window, or the caller's buffer (direct), whose
  // matches may reach back into the history (the window's 32 KB before historyEnd). Decoding
  // stops at end (a match may run past it); the fast loop may go on to ahead while the input
  // buffer at hand lasts.
  struct Output {
    std::uint8_t* out;
    std::uint8_t* end;
    std::uint8_t* ahead;
    const std::uint8_t* start;
    const std::uint8_t* historyEnd;
    bool direct;
  };
  // Returns true at the end of the block.
  bool DecodeHuffman(InflateInputStream& stream, std::uint32_t target);
  bool DecodeHuffmanInto(InflateInputStream& stream, Output& output);
  // Decodes from the bits of the current input buffer while 8 bytes of it are left; returns
  // true at the end of the block.
  bool DecodeHuffmanFast(Output& output);
  // Decodes Huffman blocks straight into the caller's buffer (count bytes, at least
  // kDirectRequest) up to kDirectMargin before its end; returns the bytes stored. The window then
  // holds the last 32 KB of output as history, nothing waiting.
  std::uint32_t DecodeDirect(InflateInputStream& stream, std::uint8_t* buffer, std::uint32_t count);
  // Copies stored blocks, from the one under way on, straight into the caller's buffer (up to
  // count bytes, at least kHistory); returns the bytes stored. The window then holds the last
  // 32 KB of output as history, nothing waiting.
  std::uint32_t DecodeStoredDirect(InflateInputStream& stream, std::uint8_t* buffer, std::uint32_t count);
  // Makes the last 32 KB of output the window's history, after n bytes were stored straight
  // into the caller's buffer (the history before them comes from the window).
  void KeepHistory(const std::uint8_t* buffer, std::uint32_t n);
  // Moves the last 32 KB of output to the front of the buffer.
  void Slide();
  void UpdateAdler();

  // Bit input through the 64-bit buffer.
  void LoadBits(InflateInputStream& stream);
  void StoreBits(InflateInputStream& stream);
  void NeedBits(InflateInputStream& stream, std::uint32_t count);
  std::uint32_t TakeBits(InflateInputStream& stream, std::uint32_t count);
  void PullByte(InflateInputStream& stream);
  // Takes the next buffer of the stream (all bytes of the current one have been taken).
  void Refill(InflateInputStream& stream);
  // Decodes one code (slowly, taking input only as far as the code needs it) and returns
  // its entry; the code's bits are consumed.
  std::uint32_t DecodeSymbol(InflateInputStream& stream, const InflateHuffmanDecoder& decoder);

  std::uint32_t adler = 1;
  std::unique_ptr<std::uint8_t[]> window;  // history (32 KB) followed by new output; made at the first stream
  std::uint32_t outputPosition = 0;        // where the next produced byte goes
  std::uint32_t readPosition = 0;          // next byte to hand to the caller
  std::uint32_t adlerPosition = 0;         // bytes before it are in the Adler-32 (never before readPosition)
  InflateHuffmanDecoder literalDecoder;    // the codes of the last dynamic block
  InflateHuffmanDecoder distanceDecoder;
  InflateHuffmanDecoder codeLengthDecoder;
  // The codes of the block under way: the dynamic ones above or the shared fixed ones.
  const InflateHuffmanDecoder* activeLiteral = nullptr;
  const InflateHuffmanDecoder* activeDistance = nullptr;
  bool finalBlock = false;
  bool finished = false;
  bool failed = false;  // an error ended the stream; nothing more is decoded
  BlockType blockType = BlockType::None;
  std::uint32_t storedLength = 0;  // bytes of the stored block under way not produced yet
  // What ended the fast loop after it had gone past the request (an end of block or a bad
  // code): acted on when more output is asked for, as if it had been met then. 0 for none.
  std::uint8_t pendingEnd = 0;

  // The bit buffer: bitCount valid bits, taken from the stream buffer up to input.
  const std::uint8_t* input = nullptr;
  const std::uint8_t* inputEnd = nullptr;
  std::uint64_t bitBuffer = 0;
  std::uint32_t bitCount = 0;
  bool bitsActive = false;  // the stream is in bit mode (between header and trailer)
  bool refilling = false;   // a refill of the stream is under way
  bool useBmi2 = false;     // the fast loop's BMI2 build runs (chosen when a stream opens)
};

// The Adler-32 of RFC 1950 with one more byte added.
std::uint32_t Adler32Update(std::uint32_t adler, std::uint8_t byte);
// The Adler-32 with a block of bytes added.
std::uint32_t Adler32Update(std::uint32_t adler, const std::uint8_t* bytes, std::size_t count);
// The same, storing the bytes to out as well (the two ranges do not overlap).
std::uint32_t Adler32Copy(std::uint32_t adler, std::uint8_t* out, const std::uint8_t* bytes, std::size_t count);

}  // namespace Veldaro
