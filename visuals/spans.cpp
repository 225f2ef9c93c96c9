// The span routines as callers see them: each goes to the widest instruction set at hand.
#include "visuals/spans.h"

#include "visuals/spans_simd.h"

namespace visuals {

bool avx2Available() {
    // The explicit init keeps this right even when first called from another static
    // initialiser, before the processor-feature constructor has run.
    static const bool yes = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return yes;
}

void subtractLevelSpan(const std::uint32_t* source, std::uint32_t* destination, int count,
                       int level) {
    if (avx2Available())
        avx2::subtractLevelSpan(source, destination, count, level);
    else
        sse2::subtractLevelSpan(source, destination, count, level);
}

void fadeSpan(std::uint32_t* destination, int count) {
    if (avx2Available())
        avx2::fadeSpan(destination, count);
    else
        sse2::fadeSpan(destination, count);
}

void addHalfSpan(const std::uint32_t* source, std::uint32_t* destination, int count) {
    if (avx2Available())
        avx2::addHalfSpan(source, destination, count);
    else
        sse2::addHalfSpan(source, destination, count);
}

void addBlueSpan(const std::uint8_t* source, std::uint32_t* destination, int count) {
    if (avx2Available())
        avx2::addBlueSpan(source, destination, count);
    else
        sse2::addBlueSpan(source, destination, count);
}

void keyedCopySpan(const std::uint32_t* source, std::uint32_t* destination, int count) {
    if (avx2Available())
        avx2::keyedCopySpan(source, destination, count);
    else
        sse2::keyedCopySpan(source, destination, count);
}

void keyedBlendSpan(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination,
                    int count, std::uint16_t weightA, std::uint16_t weightB) {
    if (avx2Available())
        avx2::keyedBlendSpan(a, b, destination, count, weightA, weightB);
    else
        sse2::keyedBlendSpan(a, b, destination, count, weightA, weightB);
}

void overlayKeyedSpan(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination,
                      int count) {
    if (avx2Available())
        avx2::overlayKeyedSpan(a, b, destination, count);
    else
        sse2::overlayKeyedSpan(a, b, destination, count);
}

void fillKeyedSpan(const std::uint32_t* source, std::uint32_t* destination, int count) {
    if (avx2Available())
        avx2::fillKeyedSpan(source, destination, count);
    else
        sse2::fillKeyedSpan(source, destination, count);
}

} // namespace visuals
