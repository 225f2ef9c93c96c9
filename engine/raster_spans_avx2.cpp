// The inner loops eight pixels at a time: texels fetched by gather, blends in 16-bit lanes.
// Built for AVX2 and called only after the processor has been checked; every pixel equals the
// scalar loops'.
//
// Only this file's own code and the face path it builds in are AVX2 code: the standard
// headers come first, before the target switch, so that the standard templates it uses stay
// code for every processor; the engine's helpers take their own names (VRK_RASTER_ISA). Nothing
// here may run before the check, so there are no globals with constructors.
#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#define VRK_RASTER_ISA avx2
#include "engine/raster_fill.h"
#include "engine/raster_spans.h"

namespace engine::raster {

namespace {

inline __m256i Lanes() {
    return _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
}

inline __m256i TailMask(int n) {
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(n), Lanes());
}

// The frame the drawers write into, as a byte range.
struct FrameRange {
    const std::uint8_t* begin = rasterTarget.frame;
    const std::uint8_t* end =
        rasterTarget.frame + std::int64_t{rasterTarget.height} * rasterTarget.pitch;
    // Whether the eight pixels from p lie in the frame.
    bool HasEight(const std::uint32_t* p) const {
        const auto* b = reinterpret_cast<const std::uint8_t*>(p);
        return b >= begin && b + 32 <= end;
    }
};

// The first n (1 to 7) of eight pixels into p. Inside the frame the eight are read and written
// back whole, the others unchanged: masked stores are slow on some processors, and a branch
// on a short span's length mispredicts often.
inline void StoreFirst(std::uint32_t* p, int n, __m256i pixels, const FrameRange& frame) {
    if (frame.HasEight(p)) {
        auto* q = reinterpret_cast<__m256i*>(p);
        _mm256_storeu_si256(q, _mm256_blendv_epi8(_mm256_loadu_si256(q), pixels, TailMask(n)));
    } else {
        _mm256_maskstore_epi32(reinterpret_cast<int*>(p), TailMask(n), pixels);
    }
}

// value + lane x step for the eight lanes, modulo 2^32.
inline __m256i Ramp(std::uint32_t value, std::uint32_t step) {
    return _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(value)),
                            _mm256_mullo_epi32(Lanes(), _mm256_set1_epi32(static_cast<int>(step))));
}
inline __m256i Times8(std::uint32_t step) {
    return _mm256_set1_epi32(static_cast<int>(step * 8));
}

// The 32-bit words at base + SCALE x offset for the eight lanes, by plain loads: for a single
// group of a short row they cost less than a gather's start-up on some processors.
template <int SCALE> inline __m256i Fetch8(const void* base, __m256i offsets) {
    alignas(32) std::int32_t o[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(o), offsets);
    const auto* b = static_cast<const std::uint8_t*>(base);
    std::int32_t w[8];
    for (int i = 0; i < 8; ++i) std::memcpy(&w[i], b + std::int64_t{o[i]} * SCALE, 4);
    return _mm256_setr_epi32(w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]);
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

// Spans shorter than a group of eight: one pixel at a time where the frame has no room for a
// whole group after them (and, for the environment, always).
constexpr int SHORT_SPAN = 8;

// The texel spans of one face: combine(texels, frame) gives eight pixels, single(texel, frame)
// one; groups of eight go by gather, the last pixels by eight loads where the frame has room,
// else one by one. What the face's steps decide is worked out once, here.
template <bool READS_FRAME, typename Combine, typename Single> struct TexelSpans {
    const std::int32_t* d;
    const std::uint32_t* texels;
    Combine combine;
    Single single;
    std::uint32_t du, dv; // the steps of the 23-bit counters
    std::uint32_t us, vs; // the steps of the packed registers
    FrameRange frame;

    static std::uint32_t C23(std::int32_t x) {
        return (static_cast<std::uint32_t>(x) >> 1) & 0x7FFFFF;
    }
    static std::uint32_t PackU23(std::uint32_t x) {
        return ((x >> 18) & 31) << 27 | ((x >> 15) & 7) << 16 | (x & 0x7FFF);
    }
    static std::uint32_t PackV23(std::uint32_t x) { return ((x >> 15) & 255) << 19 | (x & 0x7FFF); }

    TexelSpans(const std::int32_t* steps, const std::uint32_t* t, Combine c, Single s)
        : d(steps), texels(t), combine(c), single(s), du(C23(steps[0])), dv(C23(steps[1])),
          us(PackU23(du) | U_STEP_FILL), vs(PackV23(dv) | V_STEP_FILL) {}

    void operator()(std::uint32_t* dst, int count, const std::int32_t* a) const {
        int k = 0;
        TexelWalk8 walk(a, d);
        const int* base = reinterpret_cast<const int*>(texels);
        for (; k + 8 <= count; k += 8) {
            auto* p = reinterpret_cast<__m256i*>(dst + k);
            const __m256i t = _mm256_i32gather_epi32(base, walk.Index(), 4);
            const __m256i f = READS_FRAME ? _mm256_loadu_si256(p) : _mm256_setzero_si256();
            _mm256_storeu_si256(p, combine(t, f));
            walk.Step();
        }
        // The last pixels by eight plain loads where the frame has room for eight (a gather's
        // start-up costs some processors more than such a row): every index lies in the
        // texture, and the pixels past the span are written back as they were.
        if (k < count && frame.HasEight(dst + k)) {
            auto* p = reinterpret_cast<__m256i*>(dst + k);
            const __m256i t = Fetch8<4>(base, walk.Index());
            const __m256i f = _mm256_loadu_si256(p);
            _mm256_storeu_si256(p, _mm256_blendv_epi8(f, combine(t, f), TailMask(count - k)));
            return;
        }
        // The rest in the packed registers of the scalar loop, from the counters at pixel k.
        std::uint32_t ur = PackU23(C23(a[0]) + du * static_cast<std::uint32_t>(k));
        std::uint32_t vr = PackV23(C23(a[1]) + dv * static_cast<std::uint32_t>(k));
        for (; k < count; ++k) {
            dst[k] = single(texels[(ur + vr) >> 16], dst[k]);
            ur = (ur + us) & U_MASK;
            vr = (vr + vs) & V_MASK;
        }
    }
};

template <bool READS_FRAME, typename Combine, typename Single>
TexelSpans<READS_FRAME, Combine, Single> MakeTexelSpans(const std::int32_t* steps,
                                                        const std::uint32_t* texels,
                                                        Combine combine, Single single) {
    return {steps, texels, combine, single};
}

// The combinations without weights of their own are named types: a lambda without captures
// would also get a function-pointer form, which the compiler makes outside the AVX2 switch.
struct Texel {
    __m256i operator()(__m256i t, __m256i) const { return t; }
    std::uint32_t operator()(std::uint32_t t, std::uint32_t) const { return t; }
};

struct Half {
    __m256i operator()(__m256i t, __m256i f) const {
        const __m256i fe = _mm256_set1_epi32(static_cast<int>(0xFEFEFEFEu));
        return _mm256_add_epi32(_mm256_srli_epi32(_mm256_and_si256(t, fe), 1),
                                _mm256_srli_epi32(_mm256_and_si256(f, fe), 1));
    }
    std::uint32_t operator()(std::uint32_t t, std::uint32_t f) const { return HalfPixel(t, f); }
};

auto TexturedSpans(const std::int32_t* steps, const SpanSource& src) {
    return MakeTexelSpans<false>(steps, src.texels, Texel{}, Texel{});
}

auto HalfSpans(const std::int32_t* steps, const SpanSource& src) {
    return MakeTexelSpans<true>(steps, src.texels, Half{}, Half{});
}

// (x x w) keeping 16 bits, >> 8, per 16-bit lane.
inline __m256i Weigh(__m256i x, __m256i w) {
    return _mm256_srli_epi16(_mm256_mullo_epi16(x, w), 8);
}

auto BlendSpans(const std::int32_t* steps, const SpanSource& src) {
    const __m256i wo = _mm256_set1_epi32(static_cast<int>(src.opacity));
    const __m256i wt = _mm256_set1_epi32(static_cast<int>(src.transparency));
    const std::uint32_t opacity = src.opacity, transparency = src.transparency;
    return MakeTexelSpans<true>(
        steps, src.texels,
        [wo, wt](__m256i t, __m256i f) {
            const __m256i z = _mm256_setzero_si256();
            const __m256i lo = _mm256_add_epi16(Weigh(_mm256_unpacklo_epi8(t, z), wo),
                                                Weigh(_mm256_unpacklo_epi8(f, z), wt));
            const __m256i hi = _mm256_add_epi16(Weigh(_mm256_unpackhi_epi8(t, z), wo),
                                                Weigh(_mm256_unpackhi_epi8(f, z), wt));
            return _mm256_packus_epi16(lo, hi);
        },
        [opacity, transparency](std::uint32_t t, std::uint32_t f) {
            return BlendPixel(t, f, opacity, transparency);
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

struct Alpha {
    __m256i operator()(__m256i t, __m256i f) const {
        const __m256i z = _mm256_setzero_si256();
        const __m256i lo = AlphaLanes(_mm256_unpacklo_epi8(t, z), _mm256_unpacklo_epi8(f, z));
        const __m256i hi = AlphaLanes(_mm256_unpackhi_epi8(t, z), _mm256_unpackhi_epi8(f, z));
        return _mm256_packus_epi16(lo, hi);
    }
    std::uint32_t operator()(std::uint32_t t, std::uint32_t f) const { return AlphaPixel(t, f); }
};

auto AlphaSpans(const std::int32_t* steps, const SpanSource& src) {
    return MakeTexelSpans<true>(steps, src.texels, Alpha{}, Alpha{});
}

// The same as span routines, one span at a time.
template <auto MAKE>
void SpanThrough(std::uint32_t* dst, int count, const std::int32_t* a, const std::int32_t* d,
                 const SpanSource& src) {
    MAKE(d, src)(dst, count, a);
}

// Spans shorter than eight go pixel by pixel only where the frame has no room for eight.
void GouraudSpan(std::uint32_t* dst, int count, const std::int32_t* a, const std::int32_t* d,
                 const SpanSource& src) {
    const FrameRange frame;
    if (count < 8 && !frame.HasEight(dst)) {
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
    if (k < count) StoreFirst(dst + k, count - k, pixels(), frame);
}

void ShadedTextureSpan(std::uint32_t* dst, int count, const std::int32_t* a, const std::int32_t* d,
                       const SpanSource& src) {
    const FrameRange frame;
    // A short span with no room for eight pixels after it goes one pixel at a time.
    if (count < SHORT_SPAN && !frame.HasEight(dst)) {
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
    // Every lane's reads lie in the texture and its shade table, past the span's end too. Index
    // bytes are read as 32-bit words; the three bytes after the last index lie in the shade
    // table.
    const auto at = [&] {
        return _mm256_or_si256(
            _mm256_slli_epi32(_mm256_and_si256(_mm256_srli_epi32(v, 16), byte), 8),
            _mm256_and_si256(_mm256_srli_epi32(u, 16), byte));
    };
    const auto entry = [&](__m256i index) {
        return _mm256_or_si256(_mm256_slli_epi32(_mm256_and_si256(index, byte), 6),
                               _mm256_and_si256(_mm256_srli_epi32(l, 16), _mm256_set1_epi32(63)));
    };
    int k = 0;
    for (; k + 8 <= count; k += 8) {
        const __m256i index = _mm256_i32gather_epi32(indices, at(), 1);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + k),
                            _mm256_i32gather_epi32(shade, entry(index), 4));
        u = _mm256_add_epi32(u, du);
        v = _mm256_add_epi32(v, dv);
        l = _mm256_add_epi32(l, dl);
    }
    if (k < count) {
        const __m256i pixels = Fetch8<4>(shade, entry(Fetch8<1>(indices, at())));
        StoreFirst(dst + k, count - k, pixels, frame);
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
                     [&src](const std::int32_t* steps) { return SpansOf<SPAN>(steps, src); });
}

template <int NA, auto MAKE>
void FaceWith(ClipVertex<NA>* pool, std::uint32_t* const* outcodes, const SpanSource& src) {
    DrawTriangle<NA>(pool, outcodes,
                     [&src](const std::int32_t* steps) { return MAKE(steps, src); });
}

} // namespace

const FaceRoutines& Avx2FaceTable() {
    static const FaceRoutines faces = {Face<1, GouraudSpan>,     Face<3, ShadedTextureSpan>,
                                       Face<2, EnvironmentSpan>, FaceWith<2, TexturedSpans>,
                                       FaceWith<2, HalfSpans>,   FaceWith<2, BlendSpans>,
                                       FaceWith<2, AlphaSpans>};
    return faces;
}

const SpanRoutines& Avx2SpanTable() {
    static const SpanRoutines routines = {GouraudSpan,
                                          ShadedTextureSpan,
                                          EnvironmentSpan,
                                          SpanThrough<TexturedSpans>,
                                          SpanThrough<HalfSpans>,
                                          SpanThrough<BlendSpans>,
                                          SpanThrough<AlphaSpans>};
    return routines;
}

} // namespace engine::raster

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
