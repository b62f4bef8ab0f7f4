// Whole-pixel measures are worked out in x87 extended precision (64-bit
// significand, each division and multiplication rounded to it) and then
// rounded to the nearest integer, halves to even. A product that would be
// exactly a half in real arithmetic can so land just above or below it.
#pragma once

#include <cstdint>

namespace korimbo {

// Rounds to the nearest integer, halves to the even neighbour, whatever the
// FPU's rounding mode.
int32_t RoundHalfEven(long double value) noexcept;

// round(numerator / denominator * scale): the quotient and the product each
// rounded to a 64-bit significand. Independent of the caller's x87 control
// word. A zero denominator answers 0.
int32_t ScaledLength(int64_t numerator, int64_t denominator, int64_t scale) noexcept;

// round(value * factor) with the product rounded to a 64-bit significand.
int32_t ScaledByFactor(int64_t value, long double factor) noexcept;

}  // namespace korimbo
