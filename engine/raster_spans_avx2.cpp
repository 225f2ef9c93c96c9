// The inner loops eight pixels at a time: texels fetched by gather, blends in 16-bit lanes.
// Built for AVX2 and called only after the processor has been checked; every pixel equals the
// scalar loops'.
#include <immintrin.h>

#include <algorithm>
#include <cstdint>

#include "engine/raster_fill.h"
#include "engine/raster_spans.h"

namespace engine::raster {

namespace {

const __m256i LANES = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);

inline __m256i TailMask(int n) {
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(n), LANES);
}

// value + lane x step for the eight lanes, modulo 2^32.
inline __m256i Ramp(std::uint32_t value, std::uint32_t step) {
    return _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(value)),
                            _mm256_mullo_epi32(LANES, _mm256_set1_epi32(static_cast<int>(step))));
}
inline __m256i Times8(std::uint32_t step) {
    return _mm256_set1_epi32(static_cast<int>(step * 8));
}

// The packed u/v registers are a permutation of two 23-bit counters (8 integer and 15
// fraction bits each); stepping the counters and permuting at each pixel gives the same index.
struct TexelWalk8 {
    __m256i u, v, du, dv;
    TexelWalk8(const std::int32_t* a, const std::int32_t* d) {
        const auto c23 = [](std::int32_t x) {
            return (static_cast<std::uint32_t>(x) >> 1) & 0x7FFFFF;
        };
        u = Ramp(c23(a[0]), c23(d[0]));
        v = Ramp(c23(a[1]), c23(d[1]));
        du = Times8(c23(d[0]));
        dv = Times8(c23(d[1]));
    }
    __m256i Index() const {
        const __m256i m23 = _mm256_set1_epi32(0x7FFFFF);
        const __m256i um = _mm256_and_si256(u, m23);
        const __m256i vm = _mm256_and_si256(v, m23);
        const __m256i high = _mm256_slli_epi32(_mm256_srli_epi32(um, 18), 11);
        const __m256i row = _mm256_and_si256(_mm256_srli_epi32(vm, 12), _mm256_set1_epi32(0x7F8));
        const __m256i low = _mm256_and_si256(_mm256_srli_epi32(um, 15), _mm256_set1_epi32(7));
        return _mm256_or_si256(_mm256_or_si256(high, row), low);
    }
    void Step() {
        u = _mm256_add_epi32(u, du);
        v = _mm256_add_epi32(v, dv);
    }
};

// Spans shorter than this cost less one pixel at a time than with a gather's set-up.
constexpr int SHORT_SPAN = 8;

// Runs a texel loop: combine(texels, frame) gives eight pixels, single(texel, frame) one;
// whole groups of eight go by gather, the rest one by one.
template <bool READS_FRAME, typename Combine, typename Single>
inline void TexelLoop(std::uint32_t* dst, int count, const std::int32_t* a, const std::int32_t* d,
                      const std::uint32_t* texels, Combine combine, Single single) {
    const auto c23 = [](std::int32_t x) { return (static_cast<std::uint32_t>(x) >> 1) & 0x7FFFFF; };
    const std::uint32_t du = c23(d[0]), dv = c23(d[1]);
    int k = 0;
    if (count >= SHORT_SPAN) {
        TexelWalk8 walk(a, d);
        const int* base = reinterpret_cast<const int*>(texels);
        for (; k + 8 <= count; k += 8) {
            auto* p = reinterpret_cast<__m256i*>(dst + k);
            const __m256i t = _mm256_i32gather_epi32(base, walk.Index(), 4);
            const __m256i f = READS_FRAME ? _mm256_loadu_si256(p) : _mm256_setzero_si256();
            _mm256_storeu_si256(p, combine(t, f));
            walk.Step();
        }
    }
    // The rest in the packed registers of the scalar loop, from the counters at pixel k.
    const auto packU = [](std::uint32_t x) {
        return ((x >> 18) & 31) << 27 | ((x >> 15) & 7) << 16 | (x & 0x7FFF);
    };
    const auto packV = [](std::uint32_t x) { return ((x >> 15) & 255) << 19 | (x & 0x7FFF); };
    std::uint32_t ur = packU(c23(a[0]) + du * static_cast<std::uint32_t>(k));
    std::uint32_t vr = packV(c23(a[1]) + dv * static_cast<std::uint32_t>(k));
    const std::uint32_t us = packU(du) | U_STEP_FILL, vs = packV(dv) | V_STEP_FILL;
    for (; k < count; ++k) {
        dst[k] = single(texels[(ur + vr) >> 16], dst[k]);
        ur = (ur + us) & U_MASK;
        vr = (vr + vs) & V_MASK;
    }
}

void TexturedSpan(std::uint32_t* dst, int count, const std::int32_t* a, const std::int32_t* d,
                  const SpanSource& src) {
    TexelLoop<false>(
        dst, count, a, d, src.texels, [](__m256i t, __m256i) { return t; },
        [](std::uint32_t t, std::uint32_t) { return t; });
}

void HalfSpan(std::uint32_t* dst, int count, const std::int32_t* a, const std::int32_t* d,
              const SpanSource& src) {
    TexelLoop<true>(
        dst, count, a, d, src.texels,
        [](__m256i t, __m256i f) {
            const __m256i fe = _mm256_set1_epi32(static_cast<int>(0xFEFEFEFEu));
            return _mm256_add_epi32(_mm256_srli_epi32(_mm256_and_si256(t, fe), 1),
                                    _mm256_srli_epi32(_mm256_and_si256(f, fe), 1));
        },
        HalfPixel);
}

// (x x w) keeping 16 bits, >> 8, per 16-bit lane.
inline __m256i Weigh(__m256i x, __m256i w) {
    return _mm256_srli_epi16(_mm256_mullo_epi16(x, w), 8);
}

void BlendSpan(std::uint32_t* dst, int count, const std::int32_t* a, const std::int32_t* d,
               const SpanSource& src) {
    const __m256i wo = _mm256_set1_epi32(static_cast<int>(src.opacity));
    const __m256i wt = _mm256_set1_epi32(static_cast<int>(src.transparency));
    TexelLoop<true>(
        dst, count, a, d, src.texels,
        [wo, wt](__m256i t, __m256i f) {
            const __m256i z = _mm256_setzero_si256();
            const __m256i lo = _mm256_add_epi16(Weigh(_mm256_unpacklo_epi8(t, z), wo),
                                                Weigh(_mm256_unpacklo_epi8(f, z), wt));
            const __m256i hi = _mm256_add_epi16(Weigh(_mm256_unpackhi_epi8(t, z), wo),
                                                Weigh(_mm256_unpackhi_epi8(f, z), wt));
            return _mm256_packus_epi16(lo, hi);
        },
        [&src](std::uint32_t t, std::uint32_t f) {
            return BlendPixel(t, f, src.opacity, src.transparency);
        });
}

// Four 16-bit lanes of one pixel: blue, green, red with the texel's own alpha, the top lane
// kept as texel x 255 >> 8.
inline __m256i AlphaLanes(__m256i t, __m256i f) {
    const __m256i alpha = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(t, 0xFF), 0xFF);
    const __m256i c255 = _mm256_set1_epi16(255);
    const __m256i wTexel = _mm256_blend_epi16(_mm256_sub_epi16(c255, alpha), c255, 0x88);
    const __m256i wFrame = _mm256_blend_epi16(alpha, _mm256_setzero_si256(), 0x88);
    return _mm256_add_epi16(Weigh(t, wTexel), Weigh(f, wFrame));
}

void AlphaSpan(std::uint32_t* dst, int count, const std::int32_t* a, const std::int32_t* d,
               const SpanSource& src) {
    TexelLoop<true>(
        dst, count, a, d, src.texels,
        [](__m256i t, __m256i f) {
            const __m256i z = _mm256_setzero_si256();
            const __m256i lo = AlphaLanes(_mm256_unpacklo_epi8(t, z), _mm256_unpacklo_epi8(f, z));
            const __m256i hi = AlphaLanes(_mm256_unpackhi_epi8(t, z), _mm256_unpackhi_epi8(f, z));
            return _mm256_packus_epi16(lo, hi);
        },
        AlphaPixel);
}

void GouraudSpan(std::uint32_t* dst, int count, const std::int32_t* a, const std::int32_t* d,
                 const SpanSource& src) {
    if (count < SHORT_SPAN) {
        ScalarSpans().gouraud(dst, count, a, d, src);
        return;
    }
    __m256i light = Ramp(static_cast<std::uint32_t>(a[0]), static_cast<std::uint32_t>(d[0]));
    const __m256i step = Times8(static_cast<std::uint32_t>(d[0]));
    const __m256i grey = _mm256_set1_epi32(0x010101);
    const auto pixels = [&] {
        const __m256i i =
            _mm256_min_epi32(_mm256_max_epi32(_mm256_srai_epi32(light, 16), _mm256_setzero_si256()),
                             _mm256_set1_epi32(255));
        return _mm256_mullo_epi32(i, grey);
    };
    int k = 0;
    for (; k + 8 <= count; k += 8) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + k), pixels());
        light = _mm256_add_epi32(light, step);
    }
    if (k < count) {
        _mm256_maskstore_epi32(reinterpret_cast<int*>(dst + k), TailMask(count - k), pixels());
    }
}

void ShadedTextureSpan(std::uint32_t* dst, int count, const std::int32_t* a, const std::int32_t* d,
                       const SpanSource& src) {
    if (count < SHORT_SPAN) {
        ScalarSpans().shadedTexture(dst, count, a, d, src);
        return;
    }
    __m256i u = Ramp(static_cast<std::uint32_t>(a[0]), static_cast<std::uint32_t>(d[0]));
    __m256i v = Ramp(static_cast<std::uint32_t>(a[1]), static_cast<std::uint32_t>(d[1]));
    __m256i l = Ramp(static_cast<std::uint32_t>(a[2]), static_cast<std::uint32_t>(d[2]));
    const __m256i du = Times8(static_cast<std::uint32_t>(d[0]));
    const __m256i dv = Times8(static_cast<std::uint32_t>(d[1]));
    const __m256i dl = Times8(static_cast<std::uint32_t>(d[2]));
    const int* indices = reinterpret_cast<const int*>(src.indices);
    const int* shade = reinterpret_cast<const int*>(src.indices + 65536);
    const __m256i byte = _mm256_set1_epi32(255);
    for (int k = 0; k < count; k += 8) {
        const __m256i mask = TailMask(count - k);
        // Index bytes are read as 32-bit words; the three bytes after the last index lie in
        // the shade table.
        const __m256i at =
            _mm256_or_si256(_mm256_slli_epi32(_mm256_and_si256(_mm256_srli_epi32(v, 16), byte), 8),
                            _mm256_and_si256(_mm256_srli_epi32(u, 16), byte));
        const __m256i index = _mm256_and_si256(
            _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), indices, at, mask, 1), byte);
        const __m256i entry =
            _mm256_or_si256(_mm256_slli_epi32(index, 6),
                            _mm256_and_si256(_mm256_srli_epi32(l, 16), _mm256_set1_epi32(63)));
        const __m256i pixels =
            _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), shade, entry, mask, 4);
        _mm256_maskstore_epi32(reinterpret_cast<int*>(dst + k), mask, pixels);
        u = _mm256_add_epi32(u, du);
        v = _mm256_add_epi32(v, dv);
        l = _mm256_add_epi32(l, dl);
    }
}

void EnvironmentSpan(std::uint32_t* dst, int count, const std::int32_t* a, const std::int32_t* d,
                     const SpanSource& src) {
    const std::int64_t w = src.previousWidth, h = src.previousHeight;
    const std::int64_t u0 = a[0], v0 = a[1];
    const std::int64_t u1 = u0 + static_cast<std::int64_t>(d[0]) * (count - 1);
    const std::int64_t v1 = v0 + static_cast<std::int64_t>(d[1]) * (count - 1);
    if (count < SHORT_SPAN || std::min(u0, u1) < 0 || std::max(u0, u1) >= (w << 16) ||
        std::min(v0, v1) < 0 || std::max(v0, v1) >= (h << 16)) {
        ScalarSpans().environment(dst, count, a, d, src);
        return;
    }
    __m256i u = Ramp(static_cast<std::uint32_t>(a[0]), static_cast<std::uint32_t>(d[0]));
    __m256i v = Ramp(static_cast<std::uint32_t>(a[1]), static_cast<std::uint32_t>(d[1]));
    const __m256i du = Times8(static_cast<std::uint32_t>(d[0]));
    const __m256i dv = Times8(static_cast<std::uint32_t>(d[1]));
    const __m256i row = _mm256_set1_epi32(static_cast<int>(w));
    const int* previous = reinterpret_cast<const int*>(src.previous);
    for (int k = 0; k < count; k += 8) {
        const __m256i mask = TailMask(count - k);
        const __m256i at = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srai_epi32(v, 16), row),
                                            _mm256_srai_epi32(u, 16));
        const __m256i pixels =
            _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), previous, at, mask, 4);
        _mm256_maskstore_epi32(reinterpret_cast<int*>(dst + k), mask, pixels);
        u = _mm256_add_epi32(u, du);
        v = _mm256_add_epi32(v, dv);
    }
}

template <int NA, SpanRoutine SPAN>
void Face(ClipVertex<NA>* pool, std::uint32_t* const* outcodes, const SpanSource& src) {
    DrawTriangle<NA>(pool, outcodes,
                     [&src](std::uint32_t* dst, int count, const std::int32_t* a,
                            const std::int32_t* d) { SPAN(dst, count, a, d, src); });
}

} // namespace

const FaceRoutines& Avx2FaceTable() {
    static const FaceRoutines faces = {Face<1, GouraudSpan>,     Face<3, ShadedTextureSpan>,
                                       Face<2, EnvironmentSpan>, Face<2, TexturedSpan>,
                                       Face<2, HalfSpan>,        Face<2, BlendSpan>,
                                       Face<2, AlphaSpan>};
    return faces;
}

const SpanRoutines& Avx2SpanTable() {
    static const SpanRoutines routines = {GouraudSpan,  ShadedTextureSpan, EnvironmentSpan,
                                          TexturedSpan, HalfSpan,          BlendSpan,
                                          AlphaSpan};
    return routines;
}

} // namespace engine::raster
