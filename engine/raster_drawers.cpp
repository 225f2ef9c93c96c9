// The seven drawers: outcodes, rejects, constant gradients, the no-clip path or the clipper,
// the conversion to 16.16, then the shared filler with the drawer's inner loop.
#include <algorithm>
#include <cmath>

#include "engine/raster.h"
#include "engine/raster_fill.h"
#include "engine/raster_internal.h"
#include "engine/raster_spans.h"
#include "engine/settings.h"

namespace engine {

RasterTarget rasterTarget = {nullptr, 0, 0, 0};

void SetRasterTarget(std::uint8_t* frame, int pitchBytes, int width, int height) {
    rasterTarget = {frame, pitchBytes, width, height};
}

namespace raster {

bool CurrentClipRect(ClipRect& r) {
    const RasterTarget& t = rasterTarget;
    if (t.frame == nullptr || t.width <= 0 || t.height <= 0) return false;
    const EngineSettings& s = engineSettings;
    // fmax and fmin pass over a NaN setting to the frame's own edge.
    r.minX = std::fmax(s.clipMinX, 0.0f);
    r.minY = std::fmax(s.clipMinY, 0.0f);
    r.maxX = std::fmin(s.clipMaxX, static_cast<float>(std::min(t.width, MAX_RASTER_SIZE)));
    r.maxY = std::fmin(s.clipMaxY, static_cast<float>(std::min(t.height, MAX_RASTER_SIZE)));
    if (!(r.minX < r.maxX) || !(r.minY < r.maxY)) return false;
    r.pixelLeft = static_cast<int>(std::ceil(r.minX));
    r.pixelTop = static_cast<int>(std::ceil(r.minY));
    r.pixelRight = static_cast<int>(std::ceil(r.maxX));
    r.pixelBottom = static_cast<int>(std::ceil(r.maxY));
    return true;
}

namespace {

bool Finite(float f) {
    return std::isfinite(f);
}

template <int NA>
void ToFixedVertex(const ClipVertex<NA>& c, const ClipRect& r, FixedVertex<NA>& f) {
    f.x = ToFixed(std::clamp(c.x, r.minX, r.maxX));
    f.y = ToFixed(std::clamp(c.y, r.minY, r.maxY));
    for (int k = 0; k < NA; ++k) f.a[k] = ToFixed(c.a[k]);
}

// pool[0..2] hold the face; outcodes receive the three outcodes.
template <int NA>
void DrawTriangle(ClipVertex<NA>* pool, std::uint32_t* const* outcodes, SpanRoutine routine,
                  const SpanSource& src) {
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
    FillPolygon<NA>(fixed, n, grad, clip,
                    [&](std::uint32_t* dst, int count, const std::int32_t* a) {
                        routine(dst, count, a, step, src);
                    });
}

// The drawers taking a plain vertex with NA of its attributes (the light alone, or u and v).
template <int NA> void DrawPlain(ScreenVertex* v, SpanRoutine routine, const SpanSource& src) {
    ClipVertex<NA> pool[CLIP_POOL];
    std::uint32_t* outcodes[3];
    for (int i = 0; i < 3; ++i) {
        pool[i].x = v[i].x;
        pool[i].y = v[i].y;
        pool[i].a[0] = v[i].a;
        if constexpr (NA > 1) pool[i].a[1] = v[i].b;
        outcodes[i] = &v[i].outcode;
    }
    DrawTriangle<NA>(pool, outcodes, routine, src);
}

SpanSource TextureSource(const std::uint8_t* texture) {
    SpanSource src{};
    src.texels = reinterpret_cast<const std::uint32_t*>(texture);
    src.indices = texture;
    return src;
}

} // namespace
} // namespace raster

void FillGouraud(ScreenVertex* v) {
    raster::DrawPlain<1>(v, raster::ActiveSpans().gouraud, raster::SpanSource{});
}

void FillShadedTexture(ShadedVertex* v, const std::uint8_t* texture) {
    if (texture == nullptr) return;
    raster::ClipVertex<3> pool[raster::CLIP_POOL];
    std::uint32_t* outcodes[3];
    for (int i = 0; i < 3; ++i) {
        pool[i] = {v[i].x, v[i].y, {v[i].u, v[i].v, v[i].light}, 0};
        outcodes[i] = &v[i].outcode;
    }
    raster::DrawTriangle<3>(pool, outcodes, raster::ActiveSpans().shadedTexture,
                            raster::TextureSource(texture));
}

void FillEnvironment(ScreenVertex* v, const std::uint32_t* previous, int previousWidth,
                     int previousHeight) {
    if (previous == nullptr || previousWidth <= 0 || previousHeight <= 0) return;
    raster::SpanSource src{};
    src.previous = previous;
    src.previousWidth = previousWidth;
    src.previousHeight = previousHeight;
    raster::DrawPlain<2>(v, raster::ActiveSpans().environment, src);
}

void FillTextured(ScreenVertex* v, const std::uint8_t* texture) {
    if (texture == nullptr) return;
    raster::DrawPlain<2>(v, raster::ActiveSpans().textured, raster::TextureSource(texture));
}

void FillTexturedHalf(ScreenVertex* v, const std::uint8_t* texture) {
    if (texture == nullptr) return;
    raster::DrawPlain<2>(v, raster::ActiveSpans().half, raster::TextureSource(texture));
}

void FillTexturedBlend(ScreenVertex* v, const std::uint8_t* texture, std::uint32_t opacityWeights,
                       std::uint32_t transparencyWeights) {
    if (texture == nullptr) return;
    raster::SpanSource src = raster::TextureSource(texture);
    src.opacity = opacityWeights;
    src.transparency = transparencyWeights;
    raster::DrawPlain<2>(v, raster::ActiveSpans().blend, src);
}

void FillTexturedAlpha(ScreenVertex* v, const std::uint8_t* texture) {
    if (texture == nullptr) return;
    raster::DrawPlain<2>(v, raster::ActiveSpans().alpha, raster::TextureSource(texture));
}

} // namespace engine
