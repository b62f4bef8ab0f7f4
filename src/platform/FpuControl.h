// The x87 control word belongs to the host: hosts run with unmasked
// exceptions or reduced precision. Everything the plug-in does runs with a
// known control word, and the host's is put back exactly before returning.
#pragma once

#include <cstdint>

namespace korimbo {

// 64-bit significand, round to nearest, every exception masked.
inline constexpr uint16_t kPluginFpuControlWord = 0x037F;

inline uint16_t ReadFpuControlWord() noexcept {
    uint16_t word = 0;
    asm volatile("fnstcw %0" : "=m"(word));
    return word;
}

inline void WriteFpuControlWord(uint16_t word) noexcept {
    // Clear pending exceptions first, or loading a word that unmasks them
    // would raise them at the next floating-point instruction.
    asm volatile("fnclex\n\tfldcw %0" : : "m"(word));
}

class FpuControlScope {
public:
    FpuControlScope() noexcept : saved_(ReadFpuControlWord()) { WriteFpuControlWord(kPluginFpuControlWord); }
    ~FpuControlScope() { WriteFpuControlWord(saved_); }
    FpuControlScope(const FpuControlScope&) = delete;
    FpuControlScope& operator=(const FpuControlScope&) = delete;

private:
    uint16_t saved_;
};

}  // namespace korimbo
