// The keyed blend with AVX-512 (F, BW, VL and VBMI): sixteen pixels a register, a mask for
// the key and for the last pixels of a run. The other span routines gain nothing from it. This
// file is built for those extensions and entered only after the processor check; like the AVX2
// file it uses nothing from headers that could leave such code in shared inline functions.
#include "visuals/span_sets.h"
#include "visuals/spans.h"

#include <immintrin.h>

namespace visuals::avx512 {

namespace {

// The weights go into one multiply-add of byte pairs, the weights unsigned and the pixels as
// signed bytes. Two ways of making the pixels signed:
// - p - 128 (p ^ 0x80), for weights whose sum W is even and at most 256: the sum of products
//   is S - 128 W exactly, never saturating, and as 128 W = 256 (W / 2) its high byte plus W / 2
//   is S >> 8 (S stays below 65536, so no carry is lost);
// - 127 - p (p ^ 0x7F), for sums up to 258 (the intro's cross-fades): the sum is 127 W - S,
//   saturating downwards only where S >= 65534, where the result is 255 either way; one
//   subtraction from 127 W gives S.
enum class Signing { Centred, Mirrored };

// The result bytes: the high byte of every 16-bit sum, in pixel order. Unpacking works within
// 128-bit lanes; lane L's low half holds its channel bytes 0-7, its high half bytes 8-15.
__m512i highBytesInOrder() {
    alignas(64) unsigned char index[64];
    for (int j = 0; j < 64; ++j) {
        const int lane = j / 16, k = j % 16;
        index[j] = static_cast<unsigned char>(k < 8 ? lane * 16 + 2 * k + 1
                                                    : 64 + lane * 16 + 2 * (k - 8) + 1);
    }
    return _mm512_load_si512(index);
}

template <Signing SIGNING, bool IN_PLACE>
void blendRun(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination, int count,
              int weightA, int weightB) {
    const int total = weightA + weightB;
    const __m512i key = _mm512_set1_epi32(static_cast<int>(COLOR_KEY));
    const __m512i weights = _mm512_set1_epi16(static_cast<short>(weightA | weightB << 8));
    const __m512i order = highBytesInOrder();
    // Centred: the flip and the byte added at the end; mirrored: the flip and the 16-bit bias.
    const __m512i flip = _mm512_set1_epi8(SIGNING == Signing::Centred ? char(0x80) : char(0x7F));
    const __m512i offset = SIGNING == Signing::Centred
                               ? _mm512_set1_epi8(static_cast<char>(total / 2))
                               : _mm512_set1_epi16(static_cast<short>(127 * total));
    const auto blend = [=](__m512i pa, __m512i pb) {
        const __m512i fa = _mm512_xor_si512(pa, flip), fb = _mm512_xor_si512(pb, flip);
        __m512i lo = _mm512_maddubs_epi16(weights, _mm512_unpacklo_epi8(fa, fb));
        __m512i hi = _mm512_maddubs_epi16(weights, _mm512_unpackhi_epi8(fa, fb));
        if constexpr (SIGNING == Signing::Centred)
            return _mm512_add_epi8(_mm512_permutex2var_epi8(lo, order, hi), offset);
        lo = _mm512_sub_epi16(offset, lo);
        hi = _mm512_sub_epi16(offset, hi);
        return _mm512_permutex2var_epi8(lo, order, hi);
    };
    // Pixels i to i + 15; FULL, or those whose bits run has.
    const auto step = [=]<bool FULL>(int i, __mmask16 run) {
        const __m512i pa = FULL ? _mm512_loadu_si512(a + i) : _mm512_maskz_loadu_epi32(run, a + i);
        const __m512i pb = FULL ? _mm512_loadu_si512(b + i) : _mm512_maskz_loadu_epi32(run, b + i);
        const __mmask16 keyed = _mm512_cmpeq_epi32_mask(pb, key);
        if constexpr (IN_PLACE) {
            // The destination already holds a where b is the key.
            _mm512_mask_storeu_epi32(destination + i, run & ~keyed, blend(pa, pb));
        } else if constexpr (FULL) {
            _mm512_storeu_si512(destination + i, _mm512_mask_mov_epi32(blend(pa, pb), keyed, pa));
        } else {
            _mm512_mask_storeu_epi32(destination + i, run,
                                     _mm512_mask_mov_epi32(blend(pa, pb), keyed, pa));
        }
    };
    // Odd counts leave their last pixel alone, as every set does.
    const int n = count > 0 ? count & ~1 : 0;
    int i = 0;
#pragma GCC unroll 2
    for (; i + 16 <= n; i += 16) step.template operator()<true>(i, 0xFFFF);
    if (i < n) step.template operator()<false>(i, static_cast<__mmask16>((1u << (n - i)) - 1));
}

template <Signing SIGNING>
void blendRun(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination, int count,
              int weightA, int weightB) {
    if (destination == a)
        blendRun<SIGNING, true>(a, b, destination, count, weightA, weightB);
    else
        blendRun<SIGNING, false>(a, b, destination, count, weightA, weightB);
}

} // namespace

void keyedBlendSpan(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination,
                    int count, std::uint16_t weightA, std::uint16_t weightB) {
    const int total = weightA + weightB;
    if (weightA > 255 || weightB > 255 || total > 258)
        return avx2::keyedBlendSpan(a, b, destination, count, weightA, weightB);
    if (total % 2 == 0 && total <= 256)
        return blendRun<Signing::Centred>(a, b, destination, count, weightA, weightB);
    blendRun<Signing::Mirrored>(a, b, destination, count, weightA, weightB);
}

} // namespace visuals::avx512
