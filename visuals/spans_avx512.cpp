// The keyed blend with AVX-512 (F, BW, VL and VBMI): sixteen pixels a register, a mask for
// the key and for the last pixels of a run. The other span routines gain nothing from it. This
// file is built for those extensions and entered only after the processor check; like the AVX2
// file it uses nothing from headers that could leave such code in shared inline functions.
#include "visuals/span_sets.h"
#include "visuals/spans.h"

#include <immintrin.h>

namespace visuals::avx512 {

namespace {

// For one weight of 128 to 255 and the other of 0 to 127, as in every cross-fade of the disk
// (other weights go to the AVX2 version). S is a wA + b wB, the result min(S >> 8, 255). The
// pixel pairs (a, b) go into one multiply-add of byte pairs unsigned, the weights signed, the
// large weight wL as wL - 256: the sum x = S - 256 pL (pL the pixel wL weighs) never
// saturates, and S >> 8 is pL plus the high byte of x. Where wA + wB is at most 256 that sum
// stays below 256; past that it is taken with signed saturation about 128.
template <bool LARGE_A, bool SATURATING> struct Blend {
    __m512i weights, order, flip;

    // The high byte of every 16-bit sum, in pixel order. Unpacking works within 128-bit lanes;
    // lane L's low half holds its channel bytes 0-7, its high half bytes 8-15.
    static __m512i highBytesInOrder() {
        alignas(64) unsigned char index[64];
        for (int j = 0; j < 64; ++j) {
            const int lane = j / 16, k = j % 16;
            index[j] = static_cast<unsigned char>(k < 8 ? lane * 16 + 2 * k + 1
                                                        : 64 + lane * 16 + 2 * (k - 8) + 1);
        }
        return _mm512_load_si512(index);
    }

    Blend(int weightA, int weightB)
        : order(highBytesInOrder()), flip(_mm512_set1_epi8(static_cast<char>(0x80))) {
        const int wa = LARGE_A ? weightA - 256 : weightA;
        const int wb = LARGE_A ? weightB : weightB - 256;
        weights = _mm512_set1_epi16(static_cast<short>((wa & 255) | (wb & 255) << 8));
    }

    // The blended pixels, and a itself where keyed has the pixel's bit.
    __m512i operator()(__m512i pa, __m512i pb, __mmask16 keyed) const {
        const __m512i lo = _mm512_maddubs_epi16(_mm512_unpacklo_epi8(pa, pb), weights);
        const __m512i hi = _mm512_maddubs_epi16(_mm512_unpackhi_epi8(pa, pb), weights);
        const __m512i high = _mm512_permutex2var_epi8(lo, order, hi);
        const __m512i large = LARGE_A ? pa : pb;
        if constexpr (!SATURATING)
            return _mm512_mask_mov_epi32(_mm512_add_epi8(large, high), keyed, pa);
        // The flip back and the keyed pixels in one instruction: the saturating form is bound by
        // its vector operations.
        const __m512i sum = _mm512_adds_epi8(_mm512_xor_si512(large, flip), high);
        return _mm512_mask_xor_epi32(pa, static_cast<__mmask16>(~keyed), sum, flip);
    }
};

template <bool LARGE_A, bool SATURATING>
void blendRun(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination, int count,
              int weightA, int weightB) {
    const __m512i key = _mm512_set1_epi32(static_cast<int>(COLOR_KEY));
    const Blend<LARGE_A, SATURATING> blend(weightA, weightB);
    // Pixels i to i + 15; FULL, or those whose bits run has. Where b is the key a is written,
    // which leaves a destination that is a as it was.
    const auto step = [=]<bool FULL>(int i, __mmask16 run) {
        const __m512i pa = FULL ? _mm512_loadu_si512(a + i) : _mm512_maskz_loadu_epi32(run, a + i);
        const __m512i pb = FULL ? _mm512_loadu_si512(b + i) : _mm512_maskz_loadu_epi32(run, b + i);
        const __m512i pixels = blend(pa, pb, _mm512_cmpeq_epi32_mask(pb, key));
        if constexpr (FULL)
            _mm512_storeu_si512(destination + i, pixels);
        else
            _mm512_mask_storeu_epi32(destination + i, run, pixels);
    };
    // Odd counts leave their last pixel alone, as every set does.
    const int n = count > 0 ? count & ~1 : 0;
    int i = 0;
    for (; i + 16 <= n; i += 16) step.template operator()<true>(i, 0xFFFF);
    if (i < n) step.template operator()<false>(i, static_cast<__mmask16>((1u << (n - i)) - 1));
}

template <bool LARGE_A>
void blendRun(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination, int count,
              int weightA, int weightB) {
    if (weightA + weightB <= 256)
        blendRun<LARGE_A, false>(a, b, destination, count, weightA, weightB);
    else
        blendRun<LARGE_A, true>(a, b, destination, count, weightA, weightB);
}

} // namespace

void keyedBlendSpan(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination,
                    int count, std::uint16_t weightA, std::uint16_t weightB) {
    const bool largeA = weightA >= 128 && weightA <= 255 && weightB < 128;
    const bool largeB = weightB >= 128 && weightB <= 255 && weightA < 128;
    if (largeA) return blendRun<true>(a, b, destination, count, weightA, weightB);
    if (largeB) return blendRun<false>(a, b, destination, count, weightA, weightB);
    avx2::keyedBlendSpan(a, b, destination, count, weightA, weightB);
}

} // namespace visuals::avx512
