#include "imaging/InflateInputStream.h"

namespace Veldaro {

void InflateInputStream::RefillForBits() {
  // A refill may deliver an empty buffer without the input having ended (an empty PNG data
  // chunk), so keep refilling until a byte comes or the input reports its end.
  for (;;) {
    FillBuffer();
    if (current < end) return;
    if (EndReached()) throw StreamError("Premature end of file");
  }
}

void InflateInputStream::AdvanceToBit() {
  if (current >= end) {
    RefillForBits();
    bitPosition = 0;
  } else if (bitPosition >= 8 || bitPosition < 0) {
    if (bitPosition >= 8) ++current;
    bitPosition = 0;
    if (current >= end) RefillForBits();
  }
}

std::uint32_t InflateInputStream::NextBit() {
  AdvanceToBit();
  std::uint32_t bit = (*current >> bitPosition) & 1u;
  ++bitPosition;
  return bit;
}

std::uint32_t InflateInputStream::GetBits(std::uint32_t count) {
  std::uint32_t result = 0;
  std::uint32_t shift = 0;
  while (count > 0) {
    AdvanceToBit();
    std::uint32_t available = 8 - std::uint32_t(bitPosition);
    std::uint32_t take = count < available ? count : available;
    std::uint32_t bits = (std::uint32_t(*current) >> bitPosition) & ((1u << take) - 1u);
    result |= bits << shift;
    shift += take;
    count -= take;
    bitPosition += std::int32_t(take);
  }
  return result;
}

void InflateInputStream::EnterBitMode() {
  if (bitMode) return;
  bitMode = true;
  bitPosition = 0;
  if (current >= end) RefillForBits();
}

void InflateInputStream::ExitBitMode() {
  // Bit position 0 means no bit of the current byte has been taken: it is the next whole byte.
  if (bitPosition > 0 && current < end) ++current;
  bitPosition = -1;
  bitMode = false;
}

}  // namespace Veldaro
