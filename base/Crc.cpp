#include "base/Crc.h"

#include <array>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define TARNWELL_CRC_CLMUL 1
#include <immintrin.h>
#endif

namespace {

// kTables[0] is the classic byte table: entry i is i shifted right eight times,
// XORed with the polynomial whenever a 1 is shifted out. kTables[k][i] is the
// running value after byte i followed by k zero bytes, which lets one step fold
// sixteen bytes at once, each through its own table.
using Tables = std::array<std::array<std::uint32_t, 256>, 16>;

constexpr Tables MakeTables() {
  Tables t{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : (c >> 1);
    t[0][i] = c;
  }
  for (std::size_t k = 1; k < t.size(); ++k)
    for (std::size_t i = 0; i < 256; ++i) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
  return t;
}

// Built by the compiler, so it exists before any code of the module runs and
// never changes.
constexpr Tables kTables = MakeTables();

inline std::uint32_t Load32(const unsigned char* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

#ifdef TARNWELL_CRC_CLMUL

// Folding constants of the reflected polynomial for carry-less multiplication:
// x^(4*128+32) and x^(4*128-32) mod P (fold by four blocks), x^(128+32) and
// x^(128-32) mod P (fold by one block), x^64 mod P (128 to 64 bits), and P with
// its Barrett constant, all bit-reflected and shifted left by one.
alignas(16) constexpr std::uint64_t kFold4[2] = {0x0154442bd4u, 0x01c6e41596u};
alignas(16) constexpr std::uint64_t kFold1[2] = {0x01751997d0u, 0x00ccaa009eu};
alignas(16) constexpr std::uint64_t kFold64[2] = {0x0163cd6124u, 0};
alignas(16) constexpr std::uint64_t kBarrett[2] = {0x01db710641u, 0x01f7011641u};

#define TARNWELL_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))

TARNWELL_CLMUL_TARGET inline __m128i LoadBlock(const unsigned char* q) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
}

// x moved 128 bits further (by the distance the constants k stand for), plus next.
TARNWELL_CLMUL_TARGET inline __m128i FoldBlock(__m128i x, __m128i k, __m128i next) {
  __m128i lo = _mm_clmulepi64_si128(x, k, 0x00);
  __m128i hi = _mm_clmulepi64_si128(x, k, 0x11);
  return _mm_xor_si128(_mm_xor_si128(lo, hi), next);
}

// The running value after n bytes, n a multiple of 16 and at least 64.
TARNWELL_CLMUL_TARGET std::uint32_t FoldBlocks(std::uint32_t crc, const unsigned char* p, std::size_t n) {
  __m128i x1 = _mm_xor_si128(LoadBlock(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x2 = LoadBlock(p + 16);
  __m128i x3 = LoadBlock(p + 32);
  __m128i x4 = LoadBlock(p + 48);
  p += 64;
  n -= 64;

  __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold4));
  while (n >= 64) {
    x1 = FoldBlock(x1, k, LoadBlock(p));
    x2 = FoldBlock(x2, k, LoadBlock(p + 16));
    x3 = FoldBlock(x3, k, LoadBlock(p + 32));
    x4 = FoldBlock(x4, k, LoadBlock(p + 48));
    p += 64;
    n -= 64;
  }

  // Four lanes into one.
  k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold1));
  x1 = FoldBlock(x1, k, x2);
  x1 = FoldBlock(x1, k, x3);
  x1 = FoldBlock(x1, k, x4);
  while (n >= 16) {
    x1 = FoldBlock(x1, k, LoadBlock(p));
    p += 16;
    n -= 16;
  }

  // 128 bits to 64.
  const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);
  __m128i x2b = _mm_clmulepi64_si128(x1, k, 0x10);
  x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2b);
  k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kFold64));
  x2b = _mm_srli_si128(x1, 4);
  x1 = _mm_and_si128(x1, low32);
  x1 = _mm_xor_si128(_mm_clmulepi64_si128(x1, k, 0x00), x2b);

  // Barrett reduction to 32 bits.
  k = _mm_load_si128(reinterpret_cast<const __m128i*>(kBarrett));
  x2b = _mm_and_si128(x1, low32);
  x2b = _mm_clmulepi64_si128(x2b, k, 0x10);
  x2b = _mm_and_si128(x2b, low32);
  x2b = _mm_clmulepi64_si128(x2b, k, 0x00);
  x1 = _mm_xor_si128(x1, x2b);
  return static_cast<std::uint32_t>(_mm_extract_epi32(x1, 1));
}

#endif  // TARNWELL_CRC_CLMUL

}  // namespace

namespace Crc32Kernels {

std::uint32_t UpdateSliced(std::uint32_t c, const unsigned char* p, std::size_t n) {
  const auto& t = kTables;
  while (n >= 16) {
    const std::uint32_t a = c ^ Load32(p);
    c = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^ t[11][p[4]] ^
        t[10][p[5]] ^ t[9][p[6]] ^ t[8][p[7]] ^ t[7][p[8]] ^ t[6][p[9]] ^ t[5][p[10]] ^ t[4][p[11]] ^ t[3][p[12]] ^
        t[2][p[13]] ^ t[1][p[14]] ^ t[0][p[15]];
    p += 16;
    n -= 16;
  }
  while (n-- > 0) c = t[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
  return c;
}

bool HasCarrylessMultiply() {
#ifdef TARNWELL_CRC_CLMUL
  static const bool has = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
  return has;
#else
  return false;
#endif
}

std::uint32_t UpdateCarryless(std::uint32_t c, const unsigned char* p, std::size_t n) {
#ifdef TARNWELL_CRC_CLMUL
  if (n >= 64) {
    const std::size_t blocks = n & ~std::size_t{15};
    c = FoldBlocks(c, p, blocks);
    p += blocks;
    n -= blocks;
  }
#endif
  return UpdateSliced(c, p, n);
}

}  // namespace Crc32Kernels

Crc32 SharedCrc32;

void Crc32::Update(const void* bytes, std::uint32_t length) {
  if (bytes == nullptr || length == 0) return;
  using Kernel = std::uint32_t (*)(std::uint32_t, const unsigned char*, std::size_t);
  static const Kernel kernel =
      Crc32Kernels::HasCarrylessMultiply() ? Crc32Kernels::UpdateCarryless : Crc32Kernels::UpdateSliced;
  value_ = kernel(value_, static_cast<const unsigned char*>(bytes), length);
}

std::uint32_t Crc32::Of(const void* bytes, std::uint32_t length) {
  Crc32 crc;
  crc.Update(bytes, length);
  return crc.Value();
}

std::uint16_t Crc16(const void* bytes, std::int32_t length) {
  if (bytes == nullptr || length <= 0) return 0;
  const auto* p = static_cast<const unsigned char*>(bytes);
  std::uint16_t c = 0;
  for (std::int32_t i = 0; i < length; ++i) {
    c = static_cast<std::uint16_t>(c ^ (p[i] << 8));
    for (int k = 0; k < 8; ++k)
      c = (c & 0x8000) ? static_cast<std::uint16_t>((c << 1) ^ 0x0049) : static_cast<std::uint16_t>(c << 1);
  }
  return static_cast<std::uint16_t>((c << 8) | (c >> 8));
}
