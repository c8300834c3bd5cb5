// libFuzzer target: the inflate decoder on a zlib stream in memory. The first byte chooses
// how the input is cut into pieces (as IDAT chunks cut it), the second the request sizes; the
// rest is the stream. Output is limited to 8 MB per input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <vector>

#include "imaging/InflateDecoder.h"
#include "tests/imaging/png/MemoryInflateStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  std::uint32_t pieceSize = data[0] % 64;  // 0: the whole stream in one piece
  std::uint32_t requestSize = 1 + data[1] * 37u;
  std::vector<std::uint8_t> bytes(data + 2, data + size);
  std::vector<std::uint32_t> pieces;
  if (pieceSize == 0) {
    pieces.push_back(std::uint32_t(bytes.size()));
  } else {
    for (std::size_t at = 0; at < bytes.size(); at += pieceSize) {
      pieces.push_back(std::uint32_t(std::min<std::size_t>(pieceSize, bytes.size() - at)));
      if (data[0] & 64) pieces.push_back(0);  // empty pieces between
    }
  }
  TarnwellTest::MemoryInflateStream stream(bytes, pieces);
  Veldaro::InflateDecoder decoder;
  std::vector<std::uint8_t> buffer(requestSize);
  std::size_t total = 0;
  try {
    decoder.OpenStream(stream);
    while (decoder.NotFinished() && total < (8u << 20)) {
      std::uint32_t n = decoder.Decode(stream, requestSize, buffer.data());
      if (n > requestSize) std::abort();
      if (n < requestSize && decoder.NotFinished()) std::abort();  // short only at the end
      total += n;
    }
  } catch (const std::exception&) {}
  return 0;
}
