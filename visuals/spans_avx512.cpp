// The keyed blend with AVX-512 (F, BW, VL and VBMI): sixteen pixels a register, a mask for
// the key and for the last pixels of a run. The other span routines gain nothing from it. This
// file is built for those extensions and entered only after the processor check; like the AVX2
// file it uses nothing from headers that could leave such code in shared inline functions.
#include "visuals/span_sets.h"
#include "visuals/spans.h"

#include <immintrin.h>

namespace visuals::avx512 {

namespace {

// Every way below puts the pixel pairs (a, b) through one multiply-add of byte pairs, one
// operand unsigned and the other signed, and takes the high byte of each 16-bit sum x; S is
// a wA + b wB, the result min(S >> 8, 255).
enum class Way {
    // One weight 128 to 255, the other 0 to 127 (every cross-fade of the disk): the pixels
    // unsigned, the large weight wL as wL - 256. Then x = S - 256 pL (pL the pixel it weighs),
    // never saturating, and S >> 8 = pL + the high byte of x. With W = wA + wB at most 256
    // that sum stays below 256; past that it is taken with signed saturation about 128.
    LargeA,
    LargeB,
    LargeASaturating,
    LargeBSaturating,
    // Otherwise the weights unsigned and the pixels made signed. As p - 128 (p ^ 0x80), for W
    // even and at most 256: x = S - 128 W exactly, and S >> 8 is its high byte plus W / 2.
    Centred,
    // As 127 - p (p ^ 0x7F), for W up to 258: x = 127 W - S, saturating only where S >= 65534
    // (the result is 255 either way); one subtraction from 127 W gives S.
    Mirrored,
};

constexpr bool largeA(Way w) {
    return w == Way::LargeA || w == Way::LargeASaturating;
}
constexpr bool largeWeight(Way w) {
    return w != Way::Centred && w != Way::Mirrored;
}
constexpr bool saturating(Way w) {
    return w == Way::LargeASaturating || w == Way::LargeBSaturating;
}

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

// The blend of sixteen pixel pairs, one way.
template <Way WAY> struct Blend {
    __m512i weights, order, flip, offset;

    Blend(int weightA, int weightB) : order(highBytesInOrder()) {
        const int total = weightA + weightB;
        if constexpr (largeWeight(WAY)) {
            const int wa = largeA(WAY) ? weightA - 256 : weightA;
            const int wb = largeA(WAY) ? weightB : weightB - 256;
            weights = _mm512_set1_epi16(static_cast<short>((wa & 255) | (wb & 255) << 8));
            flip = _mm512_set1_epi8(static_cast<char>(0x80));
            offset = flip;
        } else {
            weights = _mm512_set1_epi16(static_cast<short>(weightA | weightB << 8));
            flip = _mm512_set1_epi8(WAY == Way::Centred ? char(0x80) : char(0x7F));
            offset = WAY == Way::Centred ? _mm512_set1_epi8(static_cast<char>(total / 2))
                                         : _mm512_set1_epi16(static_cast<short>(127 * total));
        }
    }

    __m512i operator()(__m512i pa, __m512i pb) const {
        if constexpr (largeWeight(WAY)) {
            const __m512i lo = _mm512_maddubs_epi16(_mm512_unpacklo_epi8(pa, pb), weights);
            const __m512i hi = _mm512_maddubs_epi16(_mm512_unpackhi_epi8(pa, pb), weights);
            const __m512i high = _mm512_permutex2var_epi8(lo, order, hi);
            const __m512i large = largeA(WAY) ? pa : pb;
            if constexpr (!saturating(WAY)) return _mm512_add_epi8(large, high);
            const __m512i sum = _mm512_adds_epi8(_mm512_xor_si512(large, flip), high);
            return _mm512_xor_si512(sum, flip);
        } else {
            const __m512i fa = _mm512_xor_si512(pa, flip), fb = _mm512_xor_si512(pb, flip);
            __m512i lo = _mm512_maddubs_epi16(weights, _mm512_unpacklo_epi8(fa, fb));
            __m512i hi = _mm512_maddubs_epi16(weights, _mm512_unpackhi_epi8(fa, fb));
            if constexpr (WAY == Way::Centred)
                return _mm512_add_epi8(_mm512_permutex2var_epi8(lo, order, hi), offset);
            lo = _mm512_sub_epi16(offset, lo);
            hi = _mm512_sub_epi16(offset, hi);
            return _mm512_permutex2var_epi8(lo, order, hi);
        }
    }
};

template <Way WAY, bool IN_PLACE>
void blendRun(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination, int count,
              int weightA, int weightB) {
    const __m512i key = _mm512_set1_epi32(static_cast<int>(COLOR_KEY));
    const Blend<WAY> blend(weightA, weightB);
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
    for (; i + 16 <= n; i += 16) step.template operator()<true>(i, 0xFFFF);
    if (i < n) step.template operator()<false>(i, static_cast<__mmask16>((1u << (n - i)) - 1));
}

template <Way WAY>
void blendRun(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination, int count,
              int weightA, int weightB) {
    if (destination == a)
        blendRun<WAY, true>(a, b, destination, count, weightA, weightB);
    else
        blendRun<WAY, false>(a, b, destination, count, weightA, weightB);
}

} // namespace

void keyedBlendSpan(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination,
                    int count, std::uint16_t weightA, std::uint16_t weightB) {
    const int total = weightA + weightB;
    if (weightA > 255 || weightB > 255)
        return avx2::keyedBlendSpan(a, b, destination, count, weightA, weightB);
    const bool bigA = weightA >= 128, bigB = weightB >= 128;
    if (bigA != bigB) {
        if (total <= 256)
            return bigA ? blendRun<Way::LargeA>(a, b, destination, count, weightA, weightB)
                        : blendRun<Way::LargeB>(a, b, destination, count, weightA, weightB);
        return bigA ? blendRun<Way::LargeASaturating>(a, b, destination, count, weightA, weightB)
                    : blendRun<Way::LargeBSaturating>(a, b, destination, count, weightA, weightB);
    }
    if (total % 2 == 0 && total <= 256)
        return blendRun<Way::Centred>(a, b, destination, count, weightA, weightB);
    if (total <= 258) return blendRun<Way::Mirrored>(a, b, destination, count, weightA, weightB);
    avx2::keyedBlendSpan(a, b, destination, count, weightA, weightB);
}

} // namespace visuals::avx512
