#include "engine/frame_draw.h"

#include <cmath>

#include "engine/prepare.h"

namespace engine {

namespace {

bool finite(const ScreenVertex* v) {
    for (int i = 0; i < 3; ++i)
        if (!std::isfinite(v[i].x) || !std::isfinite(v[i].y) || !std::isfinite(v[i].a) ||
            !std::isfinite(v[i].b))
            return false;
    return true;
}

bool finite(const ShadedVertex* v) {
    for (int i = 0; i < 3; ++i)
        if (!std::isfinite(v[i].x) || !std::isfinite(v[i].y) || !std::isfinite(v[i].u) ||
            !std::isfinite(v[i].v) || !std::isfinite(v[i].light))
            return false;
    return true;
}

// Flat and phong faces: the texture's drawer by transparency class.
void drawTextured(ScreenVertex* v, const scene::Material& m, const FrameContext& ctx) {
    const std::uint8_t* texture = m.texture.texturePixels;
    if (!texture || !finite(v)) return;
    const FrameDrawers& d = *ctx.drawers;
    switch (ctx.settings->transparencyMaps ? m.transparencyClass : TRANSPARENCY_OPAQUE) {
    case TRANSPARENCY_HALF:
        d.texturedHalf(v, texture);
        break;
    case TRANSPARENCY_CONSTANT:
        d.texturedBlend(v, texture, m.opacityWeights, m.transparencyWeights);
        break;
    case TRANSPARENCY_MAP:
        d.texturedAlpha(v, texture);
        break;
    default:
        d.textured(v, texture);
        break;
    }
}

void drawFlat(const scene::Vertex* const* p, const scene::Material& m, const FrameContext& ctx) {
    float du = 0.0f, dv = 0.0f;
    if (ctx.settings->animatedTextures && m.texture.animated) {
        du = m.texture.frameOffsetU;
        dv = m.texture.frameOffsetV;
    }
    ScreenVertex v[3];
    for (int i = 0; i < 3; ++i) v[i] = {p[i]->sx, p[i]->sy, p[i]->u + du, p[i]->v + dv, 0};
    drawTextured(v, m, ctx);
}

// Phong: the texture is a light map looked up by the normal.
void drawPhong(const scene::Vertex* const* p, const scene::Material& m, const FrameContext& ctx) {
    ScreenVertex v[3];
    for (int i = 0; i < 3; ++i) {
        const scene::Vector& n = p[i]->transformedNormal;
        v[i] = {p[i]->sx, p[i]->sy, 128.0f + 128.0f * n.y, 128.0f + 128.0f * n.z, 0};
    }
    drawTextured(v, m, ctx);
}

// Gouraud (computed light) and constant gouraud (precomputed vertex light).
void drawGouraud(scene::Vertex* const* p, const scene::Material& m, const FrameContext& ctx,
                 const FrameLights& lights) {
    const bool computed = m.shading == 2;
    const std::uint8_t* texture = m.texture.texturePixels;
    if (texture) {
        ShadedVertex v[3];
        for (int i = 0; i < 3; ++i) {
            const float s =
                computed ? 62.0f * SharedGouraudLight(lights, *p[i]) : p[i]->vertexLight;
            v[i] = {p[i]->sx, p[i]->sy, p[i]->u, p[i]->v, s, 0};
        }
        if (finite(v)) ctx.drawers->shadedTexture(v, texture);
        return;
    }
    ScreenVertex v[3];
    for (int i = 0; i < 3; ++i) {
        const float l = computed ? 255.0f * SharedGouraudLight(lights, *p[i]) : p[i]->vertexLight;
        v[i] = {p[i]->sx, p[i]->sy, l, 0.0f, 0};
    }
    if (finite(v)) ctx.drawers->gouraud(v);
}

// Metal: a reflection of the frame shown last.
void drawMetal(const scene::Vertex* const* p, const FrameContext& ctx) {
    if (!ctx.previous) return;
    ScreenVertex v[3];
    for (int i = 0; i < 3; ++i) {
        const scene::Vector& n = p[i]->transformedNormal;
        v[i] = {p[i]->sx, p[i]->sy, 160.0f + 150.0f * n.y, 100.0f + 90.0f * n.z, 0};
    }
    if (finite(v))
        ctx.drawers->environment(v, ctx.previous, ctx.pitchBytes / 4, ctx.settings->renderHeight);
}

} // namespace

void DrawFace(const scene::Face& face, const FrameContext& ctx, const FrameLights& lights) {
    if (!ctx.frame || !face.material) return;
    scene::Vertex* const p[3] = {face.va, face.vb, face.vc};
    const scene::Material& m = *face.material;
    switch (m.shading) {
    case 1:
        drawFlat(p, m, ctx);
        break;
    case 3:
        drawPhong(p, m, ctx);
        break;
    case 2:
    case SHADING_CONSTANT_GOURAUD:
        drawGouraud(p, m, ctx, lights);
        break;
    case 4:
        drawMetal(p, ctx);
        break;
    default:
        break;
    }
}

} // namespace engine
