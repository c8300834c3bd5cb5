#pragma once
// The positions of a block's nonzero coefficients as a 64-bit mask in zigzag order, for the
// refinement scans of progressive JPEG, which visit the coefficients with a history in zigzag
// order and may then jump over the others.

#include <cstdint>

namespace VeldaroPrivate {

// Bit k is set when the coefficient at zigzag position k of the block (64 coefficients in
// natural order) is not 0. SSE2 finds the nonzero coefficients where the processor has it;
// the result is the same either way.
std::uint64_t NonzeroZigzagPositions(const std::int16_t* block);

}  // namespace VeldaroPrivate
