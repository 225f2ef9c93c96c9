// The lens-flare blit: the picture added onto the frame byte by byte with unsigned saturation,
// clipped so that the frame's last column and last row are never reached.
#include <algorithm>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/raster.h"

namespace engine {

namespace {

// Visible run along one axis: first picture index skipped, first frame index, length.
struct Run {
    std::int64_t skip, at, length;
};

Run ClipRun(std::int64_t pos, std::int64_t size, std::int64_t frameSize) {
    Run r{0, pos, size};
    if (pos < 0) {
        r.skip = -pos;
        r.at = 0;
        r.length = size + pos;
    }
    // Also for a picture that starts before the frame and reaches past its end: without this
    // its rows would spill into the next ones and past the frame.
    r.length = std::min(r.length, (frameSize - 1) - r.at);
    return r;
}

std::uint32_t AddSaturated(std::uint32_t a, std::uint32_t b) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t sum = ((a >> shift) & 255) + ((b >> shift) & 255);
        out |= std::min(sum, 255u) << shift;
    }
    return out;
}

void AddRow(const std::uint32_t* picture, std::uint32_t* frame, std::int64_t pixels) {
    std::int64_t k = 0;
#if defined(__SSE2__)
    for (; k + 4 <= pixels; k += 4) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(picture + k));
        auto* f = reinterpret_cast<__m128i*>(frame + k);
        _mm_storeu_si128(f, _mm_adds_epu8(_mm_loadu_si128(f), p));
    }
#endif
    for (; k < pixels; ++k) frame[k] = AddSaturated(frame[k], picture[k]);
}

} // namespace

void BlitFlare(const std::uint32_t* picture, int w, int h, int x, int y, std::uint32_t* frame,
               int W, int H) {
    if (picture == nullptr || frame == nullptr || w <= 0 || h <= 0 || W <= 0 || H <= 0) return;
    if (x > W || y > H) return;
    const Run cols = ClipRun(x, w, W);
    const Run rows = ClipRun(y, h, H);
    if (rows.length <= 0 || cols.length <= 1) return;
    const std::int64_t pixels = cols.length & ~std::int64_t{1}; // whole pairs only
    for (std::int64_t r = 0; r < rows.length; ++r) {
        AddRow(picture + (rows.skip + r) * w + cols.skip, frame + (rows.at + r) * W + cols.at,
               pixels);
    }
}

} // namespace engine
