#include "icon/Rounding.h"

#include <cmath>

#include "platform/FpuControl.h"

namespace korimbo {

int32_t RoundHalfEven(long double value) noexcept {
    const long double floor = std::floor(value);
    const long double fraction = value - floor;
    long double result = floor;
    if (fraction > 0.5L) {
        result = floor + 1.0L;
    } else if (fraction == 0.5L) {
        result = std::fmod(floor, 2.0L) == 0.0L ? floor : floor + 1.0L;
    }
    return static_cast<int32_t>(result);
}

int32_t ScaledLength(int64_t numerator, int64_t denominator, int64_t scale) noexcept {
    if (denominator == 0) return 0;
    FpuControlScope extendedPrecision;
    // volatile: each step is stored, so each is rounded to the 64-bit significand.
    volatile long double quotient = static_cast<long double>(numerator) / static_cast<long double>(denominator);
    volatile long double product = quotient * static_cast<long double>(scale);
    return RoundHalfEven(product);
}

int32_t ScaledByFactor(int64_t value, long double factor) noexcept {
    FpuControlScope extendedPrecision;
    volatile long double product = static_cast<long double>(value) * factor;
    return RoundHalfEven(product);
}

}  // namespace korimbo
