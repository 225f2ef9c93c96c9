#include "engine/trail.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace engine {

namespace {

struct TrailKind {
    int shift;
    bool packed;
};

TrailKind trailKind(int mode) {
    switch (mode) {
    case 2:
        return {1, false};
    case 3:
        return {2, false};
    case 1001:
        return {2, true};
    case 1002:
        return {1, true};
    case 1003:
        return {2, true};
    default:
        return {0, false};
    }
}

// Per byte (frame + source) >> 1 for blue, green and red; the fourth byte stays.
std::uint32_t blendExact(std::uint32_t f, std::uint32_t s) {
    const std::uint32_t average = (f & s) + (((f ^ s) & 0xFEFEFEFEu) >> 1);
    return (average & 0x00FFFFFFu) | (f & 0xFF000000u);
}

// Per byte, both halved with their low bit dropped, then added.
std::uint32_t blendPacked(std::uint32_t f, std::uint32_t s) {
    return ((f & 0xFEFEFEFEu) >> 1) + ((s & 0xFEFEFEFEu) >> 1);
}

bool usable(const std::uint32_t* frame, const std::uint32_t* previous, int width, int height,
            int pitchBytes) {
    return frame && previous && width > 0 && height > 0 && pitchBytes % 4 == 0 &&
           pitchBytes / 4 >= width;
}

// Pixels of a row that are blended: packed blends whole pairs only.
int blendedWidth(int width, bool packed) {
    return packed ? width / 2 * 2 : width;
}

// Blends pixels [from, to) of a row, source index base + x + shift clamped to last.
void blendRow(std::uint32_t* row, const std::uint32_t* previous, long base, long last, int from,
              int to, TrailKind kind) {
    for (int x = from; x < to; ++x) {
        const std::uint32_t s = previous[std::min(base + x + kind.shift, last)];
        row[x] = kind.packed ? blendPacked(row[x], s) : blendExact(row[x], s);
    }
}

#if defined(__SSE2__)
// Four pixels at a time while the source stays inside the surface; returns the first pixel not
// done.
int blendRowSse2(std::uint32_t* row, const std::uint32_t* previous, long base, long last, int to,
                 TrailKind kind) {
    const __m128i lowBit = _mm_set1_epi8(1);
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i halfMask = _mm_set1_epi8(0x7F);
    int x = 0;
    for (; x + 4 <= to && base + x + kind.shift + 3 <= last; x += 4) {
        const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        const __m128i s =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(previous + base + x + kind.shift));
        __m128i r;
        if (kind.packed) {
            r = _mm_add_epi8(_mm_and_si128(_mm_srli_epi32(f, 1), halfMask),
                             _mm_and_si128(_mm_srli_epi32(s, 1), halfMask));
        } else {
            // avg_epu8 rounds up; taking back the dropped low bit gives the plain halving.
            const __m128i up = _mm_avg_epu8(f, s);
            const __m128i average = _mm_sub_epi8(up, _mm_and_si128(_mm_xor_si128(f, s), lowBit));
            r = _mm_or_si128(_mm_and_si128(average, colour), _mm_andnot_si128(colour, f));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), r);
    }
    return x;
}
#endif

} // namespace

void ApplyTrailScalar(std::uint32_t* frame, const std::uint32_t* previous, int width, int height,
                      int pitchBytes, int trailMode) {
    if (!usable(frame, previous, width, height, pitchBytes)) return;
    const TrailKind kind = trailKind(trailMode);
    const long pitch = pitchBytes / 4;
    const long last = (height - 1) * pitch + width - 1;
    const int n = blendedWidth(width, kind.packed);
    for (int y = 0; y < height; ++y)
        blendRow(frame + y * pitch, previous, y * pitch, last, 0, n, kind);
}

void ApplyTrail(std::uint32_t* frame, const std::uint32_t* previous, int width, int height,
                int pitchBytes, int trailMode) {
#if defined(__SSE2__)
    if (!usable(frame, previous, width, height, pitchBytes)) return;
    const TrailKind kind = trailKind(trailMode);
    const long pitch = pitchBytes / 4;
    const long last = (height - 1) * pitch + width - 1;
    const int n = blendedWidth(width, kind.packed);
    for (int y = 0; y < height; ++y) {
        std::uint32_t* row = frame + y * pitch;
        const int done = blendRowSse2(row, previous, y * pitch, last, n, kind);
        blendRow(row, previous, y * pitch, last, done, n, kind);
    }
#else
    ApplyTrailScalar(frame, previous, width, height, pitchBytes, trailMode);
#endif
}

} // namespace engine
