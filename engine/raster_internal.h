#pragma once
// The working pieces every drawer shares: the clip rectangle in force, outcodes, the
// Sutherland-Hodgman clipper and the conversion to 16.16. The tests reach them directly.
#include <cmath>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The AVX2 inner loops build these helpers for AVX2 too. In that file they sit in the inline
// namespace avx2, everywhere else in base, so that the linker can never hand code meant for
// every processor one of the AVX2 copies (an unoptimised build keeps them out of line).
#ifndef VRK_RASTER_ISA
#define VRK_RASTER_ISA base
#endif

namespace engine::raster {

// Outcode bits of a vertex.
enum : std::uint32_t { OUT_TOP = 1, OUT_BOTTOM = 2, OUT_LEFT = 4, OUT_RIGHT = 8 };

// Frames wider or taller than this are drawn only in their first part, so that every
// coordinate times 65536 keeps well inside 32 bits.
constexpr int MAX_RASTER_SIZE = 16384;

// The settings' clip rectangle cut down to the frame target, and the pixel rows and columns
// it contains (left/top inclusive, right/bottom exclusive, by the fill rule).
struct ClipRect {
    float minX, minY, maxX, maxY;
    int pixelLeft, pixelTop, pixelRight, pixelBottom;
};

// False when nothing can be drawn: no target, or an empty rectangle.
bool CurrentClipRect(ClipRect& rect);

inline namespace VRK_RASTER_ISA {
inline std::uint32_t Outcode(float x, float y, const ClipRect& r) {
    return (y < r.minY ? OUT_TOP : 0u) | (y > r.maxY ? OUT_BOTTOM : 0u) |
           (x < r.minX ? OUT_LEFT : 0u) | (x > r.maxX ? OUT_RIGHT : 0u);
}
} // namespace VRK_RASTER_ISA

// A vertex while it is clipped: position, NA attributes, outcode.
template <int NA> struct ClipVertex {
    float x, y;
    float a[NA];
    std::uint32_t outcode;
};

// Room for the clipper: the three input vertices first, then the vertices it makes. Each pass
// at most doubles the list (a convex list grows by one), so 3 -> 48 bounds any float input.
constexpr int CLIP_POOL = 3 + 6 + 12 + 24 + 48;
constexpr int CLIP_LIST = 48;

// Clips the triangle pool[0..2] against the four edges (x >= minX, x <= maxX, y >= minY,
// y <= maxY, in that order) and returns the vertex count of the result in out (0 when
// everything is clipped away). Counts its calls in clipperCalls.
template <int NA> int ClipTriangle(ClipVertex<NA>* pool, ClipVertex<NA>** out, const ClipRect& r);
extern std::uint64_t clipperCalls;

// value rounded to the nearest integer (ties to even), taken modulo 2^32; 0 when not finite.
std::int32_t RoundToIntSlow(double value);
inline namespace VRK_RASTER_ISA {
inline std::int32_t RoundToInt(double value) {
    if (value > -2147483647.0 && value < 2147483647.0) {
#if defined(__SSE2__)
        return _mm_cvtsd_si32(_mm_set_sd(value)); // the processor's rounding: nearest, ties even
#else
        return static_cast<std::int32_t>(std::nearbyint(value));
#endif
    }
    return RoundToIntSlow(value);
}
// The same without the modulo where |value| < 2^46; larger values are taken modulo 2^32.
inline std::int64_t RoundToWide(double value) {
    if (value > -70368744177664.0 && value < 70368744177664.0) {
#if defined(__SSE2__)
        return _mm_cvtsd_si64(_mm_set_sd(value));
#else
        return std::llrint(value);
#endif
    }
    return RoundToIntSlow(value);
}
inline std::int32_t ToFixed(float value) {
    return RoundToInt(static_cast<double>(value) * 65536.0);
}
} // namespace VRK_RASTER_ISA

} // namespace engine::raster
