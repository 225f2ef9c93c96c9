// The frame's entry list (culled faces and visible flares with their depth keys), its sort and
// the hand-over of each entry to its drawer.
#include <cmath>
#include <cstdint>

#include "engine/frame.h"
#include "engine/frame_draw.h"
#include "engine/frame_light.h"
#include "engine/frame_sort.h"
#include "engine/prepare.h"

namespace engine {

namespace {

// One byte per light; their addresses stand for the flares in the sort.
char flareMarkers[MAX_LIGHTS];

// Light i when the item is flare marker i, else -1 (addresses compared as numbers, since the
// item is usually some face elsewhere).
int markerIndex(const void* item) {
    const auto p = reinterpret_cast<std::uintptr_t>(item);
    const auto first = reinterpret_cast<std::uintptr_t>(flareMarkers);
    return p - first < MAX_LIGHTS ? static_cast<int>(p - first) : -1;
}

float length(const scene::Vector& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

// Whether a face's material is one the frame draws.
bool drawable(const scene::Face& f) {
    if (!f.material || !f.va || !f.vb || !f.vc) return false;
    const int s = f.material->shading;
    return s == 1 || s == 2 || s == 3 || s == 4 || s == SHADING_CONSTANT_GOURAUD;
}

// The depth key of a kept face, or NaN when the face is culled. Depth mode 2 sums camera-space
// depths; the other modes sum distances from the camera, which sits at the camera-space
// origin (vertices are in camera space, so they are measured there).
float faceKey(const scene::Face& f, int depthMode) {
    const scene::Vertex& a = *f.va;
    const scene::Vertex& b = *f.vb;
    const scene::Vertex& c = *f.vc;
    if (!(a.visible && b.visible && c.visible)) return NAN;
    const float value = (a.sx - b.sx) * (c.sy - b.sy) - (c.sx - b.sx) * (a.sy - b.sy);
    if (!(value >= 0.0f)) return NAN; // facing away, or not a number
    if (depthMode == 2) return a.transformed.z + b.transformed.z + c.transformed.z;
    return 1000.0f * (length(a.transformed) + length(b.transformed) + length(c.transformed));
}

int collectFaces(scene::Scene* scene, const FrameContext& ctx) {
    const int depthMode = ctx.settings->depthMode;
    int count = 0;
    for (scene::WorldNode* n = scene->worldFirst; n; n = n->next) {
        if (n->kind != scene::WORLD_OBJECT || !n->record) continue;
        auto* o = static_cast<scene::Object*>(n->record);
        if (o->flags & (scene::OBJECT_HIDDEN | scene::OBJECT_DISPLAY_HIDDEN) || !o->faces) continue;
        for (int i = 0; i < o->faceCount; ++i) {
            const scene::Face& f = o->faces[i];
            if (!drawable(f)) continue;
            const float key = faceKey(f, depthMode);
            if (std::isnan(key)) continue;
            if (count == ctx.capacity) return count;
            ctx.entries[count++] = {key, &f};
        }
    }
    return count;
}

int collectFlares(const scene::Camera& camera, const FrameContext& ctx, int count) {
    const EngineSettings& s = *ctx.settings;
    if (!s.flareType && !s.lightFlares) return count;
    const int lights = ctx.lights->count > MAX_LIGHTS ? MAX_LIGHTS : ctx.lights->count;
    for (int i = 0; i < lights; ++i) {
        const scene::Light* l = ctx.lights->lights[i];
        if (!l || l->flareVisible != 1) continue;
        float key;
        if (s.depthMode == 2) {
            key = l->depth * 3.0f;
        } else {
            const scene::Vector d{camera.position.x - l->position.x,
                                  camera.position.y - l->position.y,
                                  camera.position.z - l->position.z};
            key = 3000.0f * length(d);
        }
        if (std::isnan(key)) continue;
        if (count == ctx.capacity) return count;
        ctx.entries[count++] = {key, FlareMarker(i)};
    }
    return count;
}

void drawFlare(const scene::Light& l, const FrameContext& ctx) {
    if (!ctx.flarePicture || !ctx.frame || !ctx.drawers->blitFlare) return;
    // The visibility test keeps the centre within a picture's size of the frame; a far-off
    // one (NaN included) would not fit an int.
    if (!(std::fabs(l.sx) < 1e6f) || !(std::fabs(l.sy) < 1e6f)) return;
    const int w = l.flareWidthInt, h = l.flareHeightInt;
    const int x = static_cast<int>(std::lround(l.sx)) - (w >> 1);
    const int y = static_cast<int>(std::lround(l.sy)) - (h >> 1);
    ctx.drawers->blitFlare(ctx.flarePicture, w, h, x, y, ctx.frame, ctx.settings->renderWidth,
                           ctx.settings->renderHeight);
}

// The sorted entries visit faces, vertices and materials in no memory order, and the drawers'
// textures push them out of the cache; asking for them a few entries ahead hides part of the
// wait (about a tenth of the frame in the benchmark).
// Both cache lines a record may straddle. Inlined by force: the compiler takes a function of
// nothing but prefetches for one without effect, and drops its calls.
template <typename T> [[gnu::always_inline]] inline void prefetchRecord(const T* record) {
    __builtin_prefetch(record);
    __builtin_prefetch(reinterpret_cast<const char*>(record + 1) - 1);
}

[[gnu::always_inline]] inline void prefetchAhead(const SortEntry* entries, int i, int count) {
    if (i + 8 < count && markerIndex(entries[i + 8].item) < 0)
        prefetchRecord(static_cast<const scene::Face*>(entries[i + 8].item));
    if (i + 4 < count && markerIndex(entries[i + 4].item) < 0) {
        const auto* f = static_cast<const scene::Face*>(entries[i + 4].item);
        prefetchRecord(f->va);
        prefetchRecord(f->vb);
        prefetchRecord(f->vc);
        __builtin_prefetch(f->material);
    }
}

} // namespace

const void* FlareMarker(int light) {
    return &flareMarkers[light];
}

int RenderFrame(scene::Scene* scene, scene::Camera* camera, const FrameContext& ctx) {
    if (!scene || !camera || !ctx.settings || !ctx.lights || !ctx.drawers || !ctx.entries ||
        ctx.capacity <= 0)
        return 0;
    int count = collectFaces(scene, ctx);
    count = collectFlares(*camera, ctx, count);
    if (count == 0) return 0;
    SortFrameEntries(ctx.entries, count);

    FrameLights lights;
    PrepareFrameLights(*ctx.lights, *camera, ctx.settings->singleLight, &lights);
    for (int i = 0; i < count; ++i) {
        prefetchAhead(ctx.entries, i, count);
        const void* item = ctx.entries[i].item;
        const int light = markerIndex(item);
        if (light >= 0)
            drawFlare(*ctx.lights->lights[light], ctx);
        else
            DrawFace(*static_cast<const scene::Face*>(item), ctx, lights);
    }
    return count;
}

} // namespace engine
