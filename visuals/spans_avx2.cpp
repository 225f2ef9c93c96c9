// AVX2 versions of the span routines: eight pixels per 256-bit register. Each run's last
// 0..7 pixels go to the SSE2 version; eight is even, so the pair-wise rule for odd counts is
// kept. This file is compiled for AVX2 and is only entered after the processor check, so it
// uses nothing from headers that could leave AVX2 code in shared inline functions (spans.h and
// span_sets.h hold only declarations and the key constant).
#include "visuals/span_sets.h"
#include "visuals/spans.h"

#include <immintrin.h>

namespace visuals::avx2 {

namespace {

inline __m256i load(const void* p) {
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}
inline void store(void* p, __m256i v) {
    _mm256_storeu_si256(static_cast<__m256i*>(p), v);
}
inline __m256i select(__m256i mask, __m256i whenSet, __m256i whenClear) {
    return _mm256_blendv_epi8(whenClear, whenSet, mask);
}

} // namespace

void subtractLevelSpan(const std::uint32_t* source, std::uint32_t* destination, int count,
                       int level) {
    const int l = level < 0 ? 0 : level > 255 ? 255 : level;
    const __m256i sub = _mm256_set1_epi32(l * 0x010101);
    int i = 0;
    for (; i + 8 <= count; i += 8) store(destination + i, _mm256_subs_epu8(load(source + i), sub));
    sse2::subtractLevelSpan(source + i, destination + i, count - i, level);
}

void fadeSpan(std::uint32_t* destination, int count) {
    const __m256i sub = _mm256_set1_epi32(0x000F0F0F);
    int i = 0;
    for (; i + 8 <= count; i += 8)
        store(destination + i, _mm256_subs_epu8(load(destination + i), sub));
    sse2::fadeSpan(destination + i, count - i);
}

void addHalfSpan(const std::uint32_t* source, std::uint32_t* destination, int count) {
    const __m256i lowBits = _mm256_set1_epi32(static_cast<int>(0xFEFEFEFEu));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i half = _mm256_srli_epi32(_mm256_and_si256(load(source + i), lowBits), 1);
        store(destination + i, _mm256_adds_epu8(load(destination + i), half));
    }
    sse2::addHalfSpan(source + i, destination + i, count - i);
}

void addBlueSpan(const std::uint8_t* source, std::uint32_t* destination, int count) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        // Eight source bytes widened to the blue byte of eight pixels.
        __m256i blue =
            _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(source + i)));
        store(destination + i, _mm256_adds_epu8(load(destination + i), blue));
    }
    sse2::addBlueSpan(source + i, destination + i, count - i);
}

void keyedCopySpan(const std::uint32_t* source, std::uint32_t* destination, int count) {
    const __m256i key = _mm256_set1_epi32(static_cast<int>(COLOR_KEY));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i s = load(source + i);
        store(destination + i, select(_mm256_cmpeq_epi32(s, key), load(destination + i), s));
    }
    sse2::keyedCopySpan(source + i, destination + i, count - i);
}

namespace {

// Weights below 256 that sum to at most 258 (every cross-fade of the intro and the menu): one
// multiply-add of byte pairs does both products and their sum. The pixels go in as signed bytes
// 127 - p (p ^ 0x7F), so the sum is 127 (wA + wB) - (p wA + q wB); it never overflows upwards,
// and it saturates downwards only where the true sum is 65535 or more, where the result is 255
// either way.
void keyedBlendSmallWeights(const std::uint32_t* a, const std::uint32_t* b,
                            std::uint32_t* destination, int count, int weightA, int weightB) {
    const __m256i key = _mm256_set1_epi32(static_cast<int>(COLOR_KEY));
    const __m256i weights = _mm256_set1_epi16(static_cast<short>(weightA | weightB << 8));
    const __m256i flip = _mm256_set1_epi8(0x7F);
    const __m256i bias = _mm256_set1_epi16(static_cast<short>(127 * (weightA + weightB)));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i pa = load(a + i), pb = load(b + i);
        __m256i fa = _mm256_xor_si256(pa, flip), fb = _mm256_xor_si256(pb, flip);
        __m256i lo = _mm256_maddubs_epi16(weights, _mm256_unpacklo_epi8(fa, fb));
        __m256i hi = _mm256_maddubs_epi16(weights, _mm256_unpackhi_epi8(fa, fb));
        lo = _mm256_srli_epi16(_mm256_sub_epi16(bias, lo), 8);
        hi = _mm256_srli_epi16(_mm256_sub_epi16(bias, hi), 8);
        __m256i blend = _mm256_packus_epi16(lo, hi);
        store(destination + i, select(_mm256_cmpeq_epi32(pb, key), pa, blend));
    }
    sse2::keyedBlendSpan(a + i, b + i, destination + i, count - i,
                         static_cast<std::uint16_t>(weightA), static_cast<std::uint16_t>(weightB));
}

} // namespace

void keyedBlendSpan(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination,
                    int count, std::uint16_t weightA, std::uint16_t weightB) {
    if (weightA < 256 && weightB < 256 && weightA + weightB <= 258)
        return keyedBlendSmallWeights(a, b, destination, count, weightA, weightB);
    const __m256i key = _mm256_set1_epi32(static_cast<int>(COLOR_KEY));
    const __m256i wa = _mm256_set1_epi16(static_cast<short>(weightA));
    const __m256i wb = _mm256_set1_epi16(static_cast<short>(weightB));
    const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i pa = load(a + i), pb = load(b + i);
        __m256i even = _mm256_adds_epu16(_mm256_mullo_epi16(_mm256_and_si256(pa, lowBytes), wa),
                                         _mm256_mullo_epi16(_mm256_and_si256(pb, lowBytes), wb));
        __m256i odd = _mm256_adds_epu16(_mm256_mullo_epi16(_mm256_srli_epi16(pa, 8), wa),
                                        _mm256_mullo_epi16(_mm256_srli_epi16(pb, 8), wb));
        __m256i blend =
            _mm256_or_si256(_mm256_srli_epi16(even, 8), _mm256_andnot_si256(lowBytes, odd));
        store(destination + i, select(_mm256_cmpeq_epi32(pb, key), pa, blend));
    }
    sse2::keyedBlendSpan(a + i, b + i, destination + i, count - i, weightA, weightB);
}

void overlayKeyedSpan(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination,
                      int count) {
    const __m256i key = _mm256_set1_epi32(static_cast<int>(COLOR_KEY));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i pb = load(b + i);
        store(destination + i, select(_mm256_cmpeq_epi32(pb, key), load(a + i), pb));
    }
    sse2::overlayKeyedSpan(a + i, b + i, destination + i, count - i);
}

void fillKeyedSpan(const std::uint32_t* source, std::uint32_t* destination, int count) {
    const __m256i key = _mm256_set1_epi32(static_cast<int>(COLOR_KEY));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i d = load(destination + i);
        store(destination + i, select(_mm256_cmpeq_epi32(d, key), load(source + i), d));
    }
    sse2::fillKeyedSpan(source + i, destination + i, count - i);
}

} // namespace visuals::avx2
