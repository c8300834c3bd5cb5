// libFuzzer target: the inflate decoder on a zlib stream in memory. The first byte chooses
// how the input is cut into pieces (as IDAT chunks cut it), the second the request sizes; the
// rest is the stream. Output is limited to 1 MB per input, and to 8192 requests: longer
// outputs only repeat what the first requests test, and cost the fuzzer inputs a second.
//
// The stream is decoded three times: as chosen (requests through the window), in one piece
// with one large request at a time (decoded straight into the caller's buffer, the fast loop
// as far as it can go), and so again with the vector level capped to scalar (the fast loop's
// plain build, the scalar Adler-32). All three must end the same way
// (the same error, or none) with the same bytes, of which a request that fails delivers
// none; a difference aborts.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "base/CpuFeatures.h"
#include "imaging/InflateDecoder.h"
#include "tests/imaging/png/MemoryInflateStream.h"

namespace {

constexpr std::size_t kOutputLimit = 1u << 20;  // at least kDirectRequest
constexpr std::size_t kRequestLimit = 8192;

struct Outcome {
  std::vector<std::uint8_t> output;
  std::string error;
  bool limited = false;  // stopped at the output limit
};

Outcome Run(const std::vector<std::uint8_t>& bytes, const std::vector<std::uint32_t>& pieces,
            std::uint32_t requestSize) {
  Outcome o;
  TarnwellTest::MemoryInflateStream stream(bytes, pieces);
  Veldaro::InflateDecoder decoder;
  // One buffer for every input: a megabyte allocated and cleared for each would cost more
  // than most decodes.
  static std::vector<std::uint8_t> buffer;
  if (buffer.size() < requestSize) buffer.resize(requestSize);
  const std::size_t limit = std::min(kOutputLimit, kRequestLimit * requestSize);
  try {
    decoder.OpenStream(stream);
    while (decoder.NotFinished() && o.output.size() < limit) {
      std::uint32_t want = std::uint32_t(std::min<std::size_t>(requestSize, limit - o.output.size()));
      std::uint32_t n = decoder.Decode(stream, want, buffer.data());
      if (n > want) std::abort();
      if (n < want && decoder.NotFinished()) std::abort();  // short only at the end
      o.output.insert(o.output.end(), buffer.begin(), buffer.begin() + n);
    }
  } catch (const std::exception& e) {
    o.error = e.what();
  }
  o.limited = o.output.size() >= limit;
  return o;
}

}  // namespace

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
  const std::vector<std::uint32_t> whole = {std::uint32_t(bytes.size())};
  const Outcome chosen = Run(bytes, pieces, requestSize);
  const std::uint32_t large = Veldaro::InflateDecoder::kDirectRequest;
  const Outcome fast = Run(bytes, whole, large);
  Outcome scalar;
  {
    CpuFeatures::SimdLevelCap cap(CpuFeatures::SimdLevel::Scalar);
    scalar = Run(bytes, whole, large);
  }
  // A request that meets an error delivers nothing, so requests of other sizes deliver more
  // or less before the same error; at the output limit the runs stop at different places.
  auto prefix = [](const Outcome& a, const Outcome& b) {
    std::size_t n = std::min(a.output.size(), b.output.size());
    return std::equal(a.output.begin(), a.output.begin() + std::ptrdiff_t(n), b.output.begin());
  };
  if (!prefix(chosen, fast)) std::abort();
  if (!chosen.limited && !fast.limited) {
    if (chosen.error != fast.error) std::abort();
    if (chosen.error.empty() && chosen.output.size() != fast.output.size()) std::abort();
  }
  if (fast.output != scalar.output || fast.error != scalar.error) std::abort();
  return 0;
}
