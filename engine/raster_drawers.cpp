// The seven drawers and the frame target. Each drawer puts its face into a clip vertex pool
// and hands it to the face path built with the widest inner loops the processor runs.
#include <algorithm>
#include <cmath>

#include "engine/raster.h"
#include "engine/raster_internal.h"
#include "engine/raster_spans.h"
#include "engine/settings.h"

namespace engine {

RasterTarget rasterTarget = {nullptr, 0, 0, 0};

void SetRasterTarget(std::uint8_t* frame, int pitchBytes, int width, int height) {
    rasterTarget = {frame, pitchBytes, width, height};
}

namespace raster {

namespace {

// The setting where it is a number inside [0, limit], else the nearer end (0 for a NaN low
// edge, limit for a NaN high edge).
float Within(float setting, float limit, float nan) {
    if (!(setting == setting)) return nan;
    return setting < 0 ? 0 : setting > limit ? limit : setting;
}

// ceil of a value in [0, MAX_RASTER_SIZE].
int CeilSmall(float v) {
    const int i = static_cast<int>(v);
    return i + (static_cast<float>(i) < v ? 1 : 0);
}

} // namespace

bool CurrentClipRect(ClipRect& r) {
    const RasterTarget& t = rasterTarget;
    if (t.frame == nullptr || t.width <= 0 || t.height <= 0) return false;
    const EngineSettings& s = engineSettings;
    const auto w = static_cast<float>(std::min(t.width, MAX_RASTER_SIZE));
    const auto h = static_cast<float>(std::min(t.height, MAX_RASTER_SIZE));
    r.minX = Within(s.clipMinX, w, 0);
    r.minY = Within(s.clipMinY, h, 0);
    r.maxX = Within(s.clipMaxX, w, w);
    r.maxY = Within(s.clipMaxY, h, h);
    if (!(r.minX < r.maxX) || !(r.minY < r.maxY)) return false;
    r.pixelLeft = CeilSmall(r.minX);
    r.pixelTop = CeilSmall(r.minY);
    r.pixelRight = CeilSmall(r.maxX);
    r.pixelBottom = CeilSmall(r.maxY);
    return true;
}

namespace {

// The drawers taking a plain vertex with NA of its attributes (the light alone, or u and v).
template <int NA> void DrawPlain(ScreenVertex* v, FaceRoutine<NA> routine, const SpanSource& src) {
    ClipVertex<NA> pool[CLIP_POOL];
    std::uint32_t* outcodes[3];
    for (int i = 0; i < 3; ++i) {
        pool[i].x = v[i].x;
        pool[i].y = v[i].y;
        pool[i].a[0] = v[i].a;
        if constexpr (NA > 1) pool[i].a[1] = v[i].b;
        outcodes[i] = &v[i].outcode;
    }
    routine(pool, outcodes, src);
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
    raster::DrawPlain<1>(v, raster::ActiveFaces().gouraud, raster::SpanSource{});
}

void FillShadedTexture(ShadedVertex* v, const std::uint8_t* texture) {
    if (texture == nullptr) return;
    raster::ClipVertex<3> pool[raster::CLIP_POOL];
    std::uint32_t* outcodes[3];
    for (int i = 0; i < 3; ++i) {
        pool[i] = {v[i].x, v[i].y, {v[i].u, v[i].v, v[i].light}, 0};
        outcodes[i] = &v[i].outcode;
    }
    raster::ActiveFaces().shadedTexture(pool, outcodes, raster::TextureSource(texture));
}

void FillEnvironment(ScreenVertex* v, const std::uint32_t* previous, int previousWidth,
                     int previousHeight) {
    if (previous == nullptr || previousWidth <= 0 || previousHeight <= 0) return;
    raster::SpanSource src{};
    src.previous = previous;
    src.previousWidth = previousWidth;
    src.previousHeight = previousHeight;
    raster::DrawPlain<2>(v, raster::ActiveFaces().environment, src);
}

void FillTextured(ScreenVertex* v, const std::uint8_t* texture) {
    if (texture == nullptr) return;
    raster::DrawPlain<2>(v, raster::ActiveFaces().textured, raster::TextureSource(texture));
}

void FillTexturedHalf(ScreenVertex* v, const std::uint8_t* texture) {
    if (texture == nullptr) return;
    raster::DrawPlain<2>(v, raster::ActiveFaces().half, raster::TextureSource(texture));
}

void FillTexturedBlend(ScreenVertex* v, const std::uint8_t* texture, std::uint32_t opacityWeights,
                       std::uint32_t transparencyWeights) {
    if (texture == nullptr) return;
    raster::SpanSource src = raster::TextureSource(texture);
    src.opacity = opacityWeights;
    src.transparency = transparencyWeights;
    raster::DrawPlain<2>(v, raster::ActiveFaces().blend, src);
}

void FillTexturedAlpha(ScreenVertex* v, const std::uint8_t* texture) {
    if (texture == nullptr) return;
    raster::DrawPlain<2>(v, raster::ActiveFaces().alpha, raster::TextureSource(texture));
}

} // namespace engine
