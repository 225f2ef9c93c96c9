// The clipper of the drawers: one Sutherland-Hodgman pass per edge of the clip rectangle.
// Interpolation is done in double precision and stored as floats.
#include <cmath>

#include "engine/raster_internal.h"

namespace engine::raster {

std::uint64_t clipperCalls = 0;

std::int32_t RoundToIntSlow(double value) {
    if (!std::isfinite(value)) return 0;
    // Keep the low 32 bits of the rounded value, as a 64-bit integer conversion would.
    const double wrapped = std::fmod(std::nearbyint(value), 4294967296.0);
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(static_cast<std::int64_t>(wrapped)));
}

namespace {

std::uint32_t YBits(float y, const ClipRect& r) {
    return (y < r.minY ? OUT_TOP : 0u) | (y > r.maxY ? OUT_BOTTOM : 0u);
}
std::uint32_t XBits(float x, const ClipRect& r) {
    return (x < r.minX ? OUT_LEFT : 0u) | (x > r.maxX ? OUT_RIGHT : 0u);
}

template <int NA>
int ClipPass(ClipVertex<NA>* const* in, int n, ClipVertex<NA>** out, ClipVertex<NA>*& spare,
             std::uint32_t bit, float edge, const ClipRect& r) {
    const bool onX = (bit & (OUT_LEFT | OUT_RIGHT)) != 0;
    int m = 0;
    for (int i = 0; i < n; ++i) {
        ClipVertex<NA>* a = in[i];
        ClipVertex<NA>* b = in[i + 1 == n ? 0 : i + 1];
        const bool aOut = (a->outcode & bit) != 0;
        const bool bOut = (b->outcode & bit) != 0;
        if (!aOut) out[m++] = a;
        if (aOut == bOut) continue;
        ClipVertex<NA>* c = spare++;
        const double ac = onX ? a->x : a->y;
        const double bc = onX ? b->x : b->y;
        const double t = (static_cast<double>(edge) - ac) / (bc - ac);
        const double s = 1.0 - t;
        if (onX) {
            c->x = edge;
            c->y = static_cast<float>(a->y * s + b->y * t);
            c->outcode = YBits(c->y, r);
        } else {
            c->y = edge;
            c->x = static_cast<float>(a->x * s + b->x * t);
            c->outcode = XBits(c->x, r);
        }
        for (int k = 0; k < NA; ++k) {
            c->a[k] = static_cast<float>(static_cast<double>(a->a[k]) * s +
                                         static_cast<double>(b->a[k]) * t);
        }
        out[m++] = c;
    }
    return m;
}

} // namespace

template <int NA> int ClipTriangle(ClipVertex<NA>* pool, ClipVertex<NA>** out, const ClipRect& r) {
    ++clipperCalls;
    ClipVertex<NA>* listA[CLIP_LIST];
    ClipVertex<NA>* listB[CLIP_LIST];
    ClipVertex<NA>* spare = pool + 3;
    for (int i = 0; i < 3; ++i) listA[i] = pool + i;
    int n = ClipPass<NA>(listA, 3, listB, spare, OUT_LEFT, r.minX, r);
    n = ClipPass<NA>(listB, n, listA, spare, OUT_RIGHT, r.maxX, r);
    n = ClipPass<NA>(listA, n, listB, spare, OUT_TOP, r.minY, r);
    n = ClipPass<NA>(listB, n, out, spare, OUT_BOTTOM, r.maxY, r);
    return n;
}

template int ClipTriangle<1>(ClipVertex<1>*, ClipVertex<1>**, const ClipRect&);
template int ClipTriangle<2>(ClipVertex<2>*, ClipVertex<2>**, const ClipRect&);
template int ClipTriangle<3>(ClipVertex<3>*, ClipVertex<3>**, const ClipRect&);

} // namespace engine::raster
