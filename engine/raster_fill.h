#pragma once
// The face path shared by the drawers: rejects, gradients, clipping, then the polygon filler
// with 16.16 vertices and two outline chains from the top vertex to the bottom one, one span
// per row handed to the drawer's inner loop. A template, so that each set of inner loops is
// built into it.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/raster.h"
#include "engine/raster_internal.h"
#include "engine/raster_spans.h"

namespace engine::raster {

// x, y and NA attributes, each the value x 65536 rounded.
template <int NA> struct FixedVertex {
    std::int32_t x, y;
    std::int32_t a[NA];
};

// Slopes and gradients beyond this (2^30 units per pixel) only come from hostile faces; held
// here, their products with a prestep keep inside 64 bits.
constexpr std::int64_t MAX_SLOPE = std::int64_t{1} << 46;

// Everything with code: see VRK_RASTER_ISA.
inline namespace VRK_RASTER_ISA {

// (v + 65535) >> 16: the first row or column at or after v.
inline std::int64_t Ceil16(std::int64_t v) {
    return (v + 65535) >> 16;
}

// Slope of a chain segment per row, 16.16: a multiplication by a reciprocal for a segment of
// one row, a 64-bit division otherwise. Kept in 64 bits, so a steep one-row segment of a
// hostile face never wraps.
inline std::int64_t ChainSlope(std::int64_t diff, std::int64_t dy, int rows) {
    if (rows == 1) return (diff * ((std::int64_t{1} << 30) / dy)) >> 14;
    return (diff * 65536) / dy;
}

// One outline chain. The x values keep 64 bits; the attributes step modulo 2^32 like the
// inner loops' registers.
template <int NA> struct Chain {
    std::int64_t x = 0, dx = 0;
    std::uint32_t a[NA] = {}, da[NA] = {};
    int rows = 0;
    int at = 0; // the vertex where the current segment ends

    void Start(const FixedVertex<NA>& p, const FixedVertex<NA>& q, int segmentRows,
               bool attributes) {
        const std::int64_t dy = static_cast<std::int64_t>(q.y) - p.y;
        const std::int64_t pre = Ceil16(p.y) * 65536 - p.y;
        dx = ChainSlope(static_cast<std::int64_t>(q.x) - p.x, dy, segmentRows);
        x = p.x + ((dx * pre) >> 16);
        if (!attributes) return;
        for (int k = 0; k < NA; ++k) {
            const auto diff = static_cast<std::int32_t>(static_cast<std::uint32_t>(q.a[k]) -
                                                        static_cast<std::uint32_t>(p.a[k]));
            // The prestep uses the whole slope; the rows step with its low 32 bits.
            const std::int64_t slope =
                std::clamp(ChainSlope(diff, dy, segmentRows), -MAX_SLOPE, MAX_SLOPE);
            da[k] = static_cast<std::uint32_t>(slope);
            a[k] = static_cast<std::uint32_t>(p.a[k]) +
                   static_cast<std::uint32_t>((slope * pre) >> 16);
        }
    }

    // Moves to the next segment with rows; false when the bottom vertex is reached.
    bool Advance(const FixedVertex<NA>* v, int n, int bottom, int direction, bool attributes) {
        while (rows <= 0) {
            if (at == bottom) return false;
            int next = at + direction;
            next = next == n ? 0 : next < 0 ? n - 1 : next;
            rows = static_cast<int>(Ceil16(v[next].y) - Ceil16(v[at].y));
            if (rows > 0) Start(v[at], v[next], rows, attributes);
            at = next;
        }
        return true;
    }

    void Step() {
        x += dx;
        for (int k = 0; k < NA; ++k) a[k] += da[k];
    }
};

// Fills the polygon v[0..n) by the top-left rule on pixel centres: rows from ceil(top y),
// pixels ceil(start x) to ceil(end x) - 1, attributes prestepped to the first pixel and then
// stepped by the gradients (whole for the prestep, their low 32 bits for the steps).
// span(dst, count, attributes) fills one span. Rows and columns are held to
// the clip rectangle, so that float rounding in the clipper never reaches past it.
template <int NA, typename Span>
void FillPolygon(const FixedVertex<NA>* v, int n, const std::int64_t* grad, const ClipRect& clip,
                 Span&& span) {
    int top = 0, bottom = 0;
    for (int i = 1; i < n; ++i) {
        if (v[i].y < v[top].y) top = i;
        if (v[i].y > v[bottom].y) bottom = i;
    }
    if (top == bottom) return;
    Chain<NA> start, end; // start walks forwards (index + 1), end backwards
    start.at = end.at = top;
    std::int64_t row = Ceil16(v[top].y);
    const RasterTarget& target = rasterTarget;
    for (;;) {
        if (!start.Advance(v, n, bottom, 1, true)) return;
        if (!end.Advance(v, n, bottom, -1, false)) return;
        const int batch = std::min(start.rows, end.rows);
        for (int i = 0; i < batch; ++i, ++row) {
            if (row >= clip.pixelBottom) return;
            const std::int64_t xs = std::max<std::int64_t>(Ceil16(start.x), clip.pixelLeft);
            const std::int64_t xe = std::min<std::int64_t>(Ceil16(end.x), clip.pixelRight);
            if (xe > xs && row >= clip.pixelTop) {
                const std::int64_t pre = xs * 65536 - start.x;
                std::int32_t at[NA > 0 ? NA : 1];
                for (int k = 0; k < NA; ++k) {
                    at[k] = static_cast<std::int32_t>(
                        start.a[k] + static_cast<std::uint32_t>((grad[k] * pre) >> 16));
                }
                auto* line = reinterpret_cast<std::uint32_t*>(target.frame + row * target.pitch);
                span(line + xs, static_cast<int>(xe - xs), at);
            }
            start.Step();
            end.Step();
        }
        start.rows -= batch;
        end.rows -= batch;
    }
}

inline bool Finite(float f) {
    return std::isfinite(f);
}

template <int NA>
inline void ToFixedVertex(const ClipVertex<NA>& c, const ClipRect& r, FixedVertex<NA>& f) {
    f.x = ToFixed(std::clamp(c.x, r.minX, r.maxX));
    f.y = ToFixed(std::clamp(c.y, r.minY, r.maxY));
    for (int k = 0; k < NA; ++k) f.a[k] = ToFixed(c.a[k]);
}

// The path of every drawer: outcodes, the trivial and degenerate rejects, constant gradients,
// the no-clip path or the clipper, 16.16, the filler. pool[0..2] hold the face (CLIP_POOL
// room), outcodes receive its three outcodes; makeSpan(steps) gives the face's span filler,
// fill(dst, count, a), so that what the steps decide is worked out once a face.
template <int NA, typename MakeSpan>
void DrawTriangle(ClipVertex<NA>* pool, std::uint32_t* const* outcodes, MakeSpan&& makeSpan) {
    ClipRect clip;
    if (!CurrentClipRect(clip)) return;
    for (int i = 0; i < 3; ++i) {
        if (!Finite(pool[i].x) || !Finite(pool[i].y)) return; // such a face has no place
        pool[i].outcode = Outcode(pool[i].x, pool[i].y, clip);
        *outcodes[i] = pool[i].outcode;
    }
    if ((pool[0].outcode & pool[1].outcode & pool[2].outcode) != 0) return;
    const double x0 = pool[0].x, x1 = pool[1].x, x2 = pool[2].x;
    const double y0 = pool[0].y, y1 = pool[1].y, y2 = pool[2].y;
    const double d = (x0 - x2) * (y1 - y2) - (x1 - x2) * (y0 - y2);
    if (d == 0.0) return;
    const double invd = 1.0 / d;
    std::int64_t grad[NA];
    std::int32_t step[NA];
    for (int k = 0; k < NA; ++k) {
        const double q0 = pool[0].a[k], q1 = pool[1].a[k], q2 = pool[2].a[k];
        grad[k] = RoundToWide(((q0 - q2) * (y1 - y2) - (q1 - q2) * (y0 - y2)) * 65536.0 * invd);
        step[k] = static_cast<std::int32_t>(static_cast<std::uint32_t>(grad[k]));
    }
    FixedVertex<NA> fixed[CLIP_LIST];
    int n = 3;
    if ((pool[0].outcode | pool[1].outcode | pool[2].outcode) == 0) {
        for (int i = 0; i < 3; ++i) ToFixedVertex(pool[i], clip, fixed[i]);
    } else {
        ClipVertex<NA>* clipped[CLIP_LIST];
        n = ClipTriangle<NA>(pool, clipped, clip);
        if (n < 3) return;
        for (int i = 0; i < n; ++i) ToFixedVertex(*clipped[i], clip, fixed[i]);
    }
    FillPolygon<NA>(fixed, n, grad, clip, makeSpan(static_cast<const std::int32_t*>(step)));
}

// The span filler of a plain span routine: the routine with the face's steps and source.
template <SpanRoutine SPAN> auto SpansOf(const std::int32_t* steps, const SpanSource& src) {
    return [steps, &src](std::uint32_t* dst, int count, const std::int32_t* a) {
        SPAN(dst, count, a, steps, src);
    };
}

} // namespace VRK_RASTER_ISA
} // namespace engine::raster
