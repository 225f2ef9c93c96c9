// SSE2 versions of the span routines, which every x86-64 processor runs. Four pixels per
// 128-bit register; the pair-wise routines finish a run with one 64-bit pair, the pixel-wise one
// with single pixels. No per-pixel branches: keyed choices are compare masks.
#include "visuals/span_sets.h"
#include "visuals/spans.h"

#include <algorithm>
#include <cstring>
#include <emmintrin.h>

namespace visuals::sse2 {

namespace {

// Four pixels at a time, or the last pair on its own.
struct Quad {
    static __m128i load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
    static void store(void* p, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }
};
struct Pair {
    static __m128i load(const void* p) { return _mm_loadl_epi64(static_cast<const __m128i*>(p)); }
    static void store(void* p, __m128i v) { _mm_storel_epi64(static_cast<__m128i*>(p), v); }
};
struct Single {
    static __m128i load(const void* p) {
        int v;
        std::memcpy(&v, p, 4);
        return _mm_cvtsi32_si128(v);
    }
    static void store(void* p, __m128i v) {
        int x = _mm_cvtsi128_si32(v);
        std::memcpy(p, &x, 4);
    }
};

// Calls step.template operator()<Quad>(i) for each group of four pixels of the paired part of
// the run, then <Pair> for a remaining pair.
template <typename Step> inline void forEachPair(int count, Step step) {
    if (count < 2) return;
    const int n = count & ~1;
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        step.template operator()<Quad>(i);
        step.template operator()<Quad>(i + 4);
    }
    if (i + 4 <= n) {
        step.template operator()<Quad>(i);
        i += 4;
    }
    if (i < n) step.template operator()<Pair>(i);
}

inline __m128i select(__m128i mask, __m128i whenSet, __m128i whenClear) {
    return _mm_or_si128(_mm_and_si128(mask, whenSet), _mm_andnot_si128(mask, whenClear));
}

} // namespace

void subtractLevelSpan(const std::uint32_t* source, std::uint32_t* destination, int count,
                       int level) {
    const std::uint32_t l = static_cast<std::uint32_t>(std::clamp(level, 0, 255));
    const __m128i sub = _mm_set1_epi32(static_cast<int>(l * 0x010101u));
    forEachPair(count, [=]<typename W>(int i) {
        W::store(destination + i, _mm_subs_epu8(W::load(source + i), sub));
    });
}

void fadeSpan(std::uint32_t* destination, int count) {
    const __m128i sub = _mm_set1_epi32(0x000F0F0F);
    forEachPair(count, [=]<typename W>(int i) {
        W::store(destination + i, _mm_subs_epu8(W::load(destination + i), sub));
    });
}

void addHalfSpan(const std::uint32_t* source, std::uint32_t* destination, int count) {
    const __m128i lowBits = _mm_set1_epi32(static_cast<int>(0xFEFEFEFEu));
    auto step = [=]<typename W>(int i) {
        __m128i half = _mm_srli_epi32(_mm_and_si128(W::load(source + i), lowBits), 1);
        W::store(destination + i, _mm_adds_epu8(W::load(destination + i), half));
    };
    int i = 0;
    for (; i + 4 <= count; i += 4) step.template operator()<Quad>(i);
    for (; i < count; ++i) step.template operator()<Single>(i);
}

void addBlueSpan(const std::uint8_t* source, std::uint32_t* destination, int count) {
    if (count < 2) return;
    const int n = count & ~1;
    const __m128i zero = _mm_setzero_si128();
    auto addFour = [=](int i, __m128i bytes16) { // bytes16: four 16-bit lanes of source bytes
        __m128i blue = _mm_unpacklo_epi16(bytes16, zero);
        Quad::store(destination + i, _mm_adds_epu8(Quad::load(destination + i), blue));
    };
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
        __m128i lo = _mm_unpacklo_epi8(bytes, zero), hi = _mm_unpackhi_epi8(bytes, zero);
        addFour(i, lo);
        addFour(i + 4, _mm_unpackhi_epi64(lo, lo));
        addFour(i + 8, hi);
        addFour(i + 12, _mm_unpackhi_epi64(hi, hi));
    }
    for (; i + 4 <= n; i += 4) {
        int four;
        std::memcpy(&four, source + i, 4);
        addFour(i, _mm_unpacklo_epi8(_mm_cvtsi32_si128(four), zero));
    }
    if (i < n) {
        __m128i blue = _mm_set_epi32(0, 0, source[i + 1], source[i]);
        Pair::store(destination + i, _mm_adds_epu8(Pair::load(destination + i), blue));
    }
}

void keyedCopySpan(const std::uint32_t* source, std::uint32_t* destination, int count) {
    const __m128i key = _mm_set1_epi32(static_cast<int>(COLOR_KEY));
    forEachPair(count, [=]<typename W>(int i) {
        __m128i s = W::load(source + i);
        W::store(destination + i, select(_mm_cmpeq_epi32(s, key), W::load(destination + i), s));
    });
}

void keyedBlendSpan(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination,
                    int count, std::uint16_t weightA, std::uint16_t weightB) {
    const __m128i key = _mm_set1_epi32(static_cast<int>(COLOR_KEY));
    const __m128i wa = _mm_set1_epi16(static_cast<short>(weightA));
    const __m128i wb = _mm_set1_epi16(static_cast<short>(weightB));
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    // Even and odd bytes sit in the low and high halves of 16-bit lanes; weighing each half in
    // its own register spares the unpacking and packing of bytes.
    forEachPair(count, [=]<typename W>(int i) {
        __m128i pa = W::load(a + i), pb = W::load(b + i);
        __m128i even = _mm_adds_epu16(_mm_mullo_epi16(_mm_and_si128(pa, lowBytes), wa),
                                      _mm_mullo_epi16(_mm_and_si128(pb, lowBytes), wb));
        __m128i odd = _mm_adds_epu16(_mm_mullo_epi16(_mm_srli_epi16(pa, 8), wa),
                                     _mm_mullo_epi16(_mm_srli_epi16(pb, 8), wb));
        __m128i blend = _mm_or_si128(_mm_srli_epi16(even, 8), _mm_andnot_si128(lowBytes, odd));
        W::store(destination + i, select(_mm_cmpeq_epi32(pb, key), pa, blend));
    });
}

void overlayKeyedSpan(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t* destination,
                      int count) {
    const __m128i key = _mm_set1_epi32(static_cast<int>(COLOR_KEY));
    forEachPair(count, [=]<typename W>(int i) {
        __m128i pb = W::load(b + i);
        W::store(destination + i, select(_mm_cmpeq_epi32(pb, key), W::load(a + i), pb));
    });
}

void fillKeyedSpan(const std::uint32_t* source, std::uint32_t* destination, int count) {
    const __m128i key = _mm_set1_epi32(static_cast<int>(COLOR_KEY));
    forEachPair(count, [=]<typename W>(int i) {
        __m128i d = W::load(destination + i);
        W::store(destination + i, select(_mm_cmpeq_epi32(d, key), W::load(source + i), d));
    });
}

} // namespace visuals::sse2
