#include "engine/swizzle.h"

#include <cstring>

#include "engine/settings.h"

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#define VRK_SWIZZLE_SSE2 1
#endif

namespace engine {

namespace {

enum { SIZE = 256, STRIP = 8, STRIP_TEXELS = SIZE * STRIP };

std::uint32_t tintChannel(std::uint32_t texel, int shift, float tint) {
    const float c = static_cast<float>((texel >> shift) & 0xFF) * tint;
    return static_cast<std::uint32_t>(static_cast<int>(c)) << shift;
}

// Without a tint the swizzle only moves 32-byte runs: each row's 8-texel pieces go to their
// strips, which is a copy of runs a strip apart.
void copyRuns(const std::uint8_t* rows, int pitch, std::uint32_t* slot) {
    for (int strip = 0; strip < SIZE / STRIP; ++strip) {
        std::uint32_t* out = slot + strip * STRIP_TEXELS;
        const std::uint8_t* in = rows + strip * STRIP * 4;
        for (int y = 0; y < SIZE; ++y, out += STRIP, in += pitch) std::memcpy(out, in, 32);
    }
}

#ifdef VRK_SWIZZLE_SSE2
// Four texels at once: bytes widened to 32-bit lanes, multiplied as floats and truncated like
// the scalar cast, then packed back with alpha 0.
__m128i tintFour(__m128i texels, __m128 tr, __m128 tg, __m128 tb) {
    const __m128i byte = _mm_set1_epi32(0xFF);
    __m128 r = _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(texels, 16), byte));
    __m128 g = _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(texels, 8), byte));
    __m128 b = _mm_cvtepi32_ps(_mm_and_si128(texels, byte));
    __m128i ri = _mm_cvttps_epi32(_mm_mul_ps(r, tr));
    __m128i gi = _mm_cvttps_epi32(_mm_mul_ps(g, tg));
    __m128i bi = _mm_cvttps_epi32(_mm_mul_ps(b, tb));
    return _mm_or_si128(_mm_or_si128(_mm_slli_epi32(ri, 16), _mm_slli_epi32(gi, 8)), bi);
}

void tintRunsSse2(const std::uint8_t* rows, int pitch, std::uint32_t* slot,
                  const AmbientTint& tint) {
    const __m128 tr = _mm_set1_ps(tint.r), tg = _mm_set1_ps(tint.g), tb = _mm_set1_ps(tint.b);
    for (int strip = 0; strip < SIZE / STRIP; ++strip) {
        std::uint32_t* out = slot + strip * STRIP_TEXELS;
        const std::uint8_t* in = rows + strip * STRIP * 4;
        for (int y = 0; y < SIZE; ++y, out += STRIP, in += pitch) {
            __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
            __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), tintFour(a, tr, tg, tb));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4), tintFour(b, tr, tg, tb));
        }
    }
}
#endif

using TintRuns = void (*)(const std::uint8_t*, int, std::uint32_t*, const AmbientTint&);

void tintRunsScalar(const std::uint8_t* rows, int pitch, std::uint32_t* slot,
                    const AmbientTint& tint) {
    SwizzleTexelsReference(rows, pitch, slot, &tint);
}

TintRuns chooseTintRuns() {
#ifdef VRK_SWIZZLE_SSE2
    if (__builtin_cpu_supports("sse2")) return tintRunsSse2;
#endif
    return tintRunsScalar;
}

const TintRuns tintRuns = chooseTintRuns();

} // namespace

std::uint32_t TintTexel(std::uint32_t texel, const AmbientTint& tint) {
    return tintChannel(texel, 16, tint.r) | tintChannel(texel, 8, tint.g) |
           tintChannel(texel, 0, tint.b);
}

void SwizzleTexelsReference(const std::uint8_t* rows, int pitch, std::uint32_t* slot,
                            const AmbientTint* tint) {
    for (int y = 0; y < SIZE; ++y) {
        const std::uint8_t* row = rows + static_cast<std::ptrdiff_t>(y) * pitch;
        for (int x = 0; x < SIZE; ++x) {
            std::uint32_t texel;
            std::memcpy(&texel, row + x * 4, 4);
            slot[SwizzledIndex(x, y)] = tint ? TintTexel(texel, *tint) : texel;
        }
    }
}

void SwizzleTexels(const std::uint8_t* rows, int pitch, std::uint32_t* slot,
                   const AmbientTint* tint) {
    if (tint)
        tintRuns(rows, pitch, slot, *tint);
    else
        copyRuns(rows, pitch, slot);
}

int SwizzleTexture(const PtcSurface* surface, std::uint8_t* slot) {
    if (!surface || !slot || surface->width != SIZE || surface->height != SIZE ||
        surface->format.bits != 32 || surface->pitch < SIZE * 4)
        return 0;
    SwizzleTexels(surface->pixels.data(), surface->pitch, reinterpret_cast<std::uint32_t*>(slot),
                  engineSettings.computeAmbient ? &ambientTint : nullptr);
    return 1;
}

} // namespace engine
