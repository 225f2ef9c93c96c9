// The material passes of the preparation that need no pictures: classification, shading
// conversions, vertex light and texture coordinates.
#include <cmath>
#include <cstring>

#include "engine/animated.h"
#include "engine/lights.h"
#include "engine/log.h"
#include "engine/prepare.h"
#include "engine/prepare_steps.h"
#include "engine/settings.h"

namespace engine {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

void classifyTransparency(scene::Material* m) {
    m->transparencyClass = TRANSPARENCY_OPAQUE;
    m->opacityWeights = m->transparencyWeights = 0;
    if (!engineSettings.transparencyMaps) return;
    const float t = m->transparency;
    if (t == 0.0f) return;
    if (m->reflection.fileName && m->reflection.fileName[0]) {
        m->transparencyClass = TRANSPARENCY_MAP;
    } else if (t == 0.5f) {
        m->transparencyClass = TRANSPARENCY_HALF;
    } else {
        m->transparencyClass = TRANSPARENCY_CONSTANT;
        // A transparency outside 0..1 from a file would make weights the blend cannot use.
        const double scaled = t * 255.0;
        const std::uint32_t a = scaled >= 255.0 ? 255u
                                : scaled > 0.0  ? static_cast<std::uint32_t>(scaled)
                                                : 0u;
        const std::uint32_t o = 255 - a;
        m->transparencyWeights = a | a << 16;
        m->opacityWeights = o | o << 16;
    }
}

template <typename Visit> void forEachMaterial(scene::Scene* scene, Visit visit) {
    for (scene::WorldNode* n = scene->worldFirst; n; n = n->next)
        if (n->kind == scene::WORLD_MATERIAL && n->record)
            visit(static_cast<scene::Material*>(n->record));
}

template <typename Visit> void forEachObject(scene::Scene* scene, Visit visit) {
    for (scene::WorldNode* n = scene->worldFirst; n; n = n->next)
        if (n->kind == scene::WORLD_OBJECT && n->record)
            visit(static_cast<scene::Object*>(n->record));
}

bool hasFileName(const scene::MapInfo& map) {
    return map.fileName && map.fileName[0];
}

void lightVertex(scene::Object* o, int index, float scale) {
    if (index >= 0 && index < o->vertexCount)
        o->vertices[index].vertexLight = VertexLightIntensity(o->vertices[index]) * scale;
}

void applyVertexLighting(scene::Scene* scene) {
    LogMessage("\nApplying constant gouraud to objects mapping:");
    forEachObject(scene, [](scene::Object* o) {
        for (int f = 0; f < o->faceCount; ++f) {
            const scene::Face& face = o->faces[f];
            if (face.material && face.material->shading == SHADING_CONSTANT_GOURAUD) {
                const float scale = hasFileName(face.material->texture) ? 63.0f : 255.0f;
                lightVertex(o, face.a, scale);
                lightVertex(o, face.b, scale);
                lightVertex(o, face.c, scale);
            }
            if (f % 100 == 0) LogMessage(".");
        }
    });
}

} // namespace

int AnimatedFrameCount(const char* name) {
    if (!name || !isDigit(name[0]) || !isDigit(name[1]) || !std::strstr(name, ".001")) return -1;
    return 10 * (name[0] - '0') + (name[1] - '0');
}

int ClassifyMaterials(scene::Scene* scene, int* slots, int* animatedCount) {
    int ok = 1;
    *slots = *animatedCount = 0;
    forEachMaterial(scene, [&](scene::Material* m) {
        if (!ok) return;
        scene::MapInfo& map = m->texture;
        const int frames = engineSettings.animatedTextures ? AnimatedFrameCount(map.fileName) : -1;
        if (frames == 0) {
            LogMessage("\n Error! bad number of frames (%d) in animated texture '%s' from "
                       "material %s!",
                       frames, map.fileName, m->name ? m->name : "");
            ok = 0;
            return;
        }
        if (frames > 0) {
            map.animated = 1;
            map.lastFrame = frames - 1;
            map.currentFrame = 0;
            map.frameOffsetU = map.frameOffsetV = 0.0f;
            ++*animatedCount;
            *slots += (frames + FRAMES_PER_SLOT - 1) / FRAMES_PER_SLOT;
        } else {
            map.animated = 0;
            if (m->shading != SHADING_METAL) ++*slots;
        }
        classifyTransparency(m);
    });
    return ok;
}

void ConvertShadings(scene::Scene* scene) {
    if (engineSettings.maxCompat) {
        LogMessage("\n3dsmax compat. shading conversion ('phong+2-sided'->'gouraud') done in:");
        forEachMaterial(scene, [](scene::Material* m) {
            if (m->shading != 3 || !(m->flags & scene::MATERIAL_TWOSIDED)) return;
            m->shading = 2;
            m->flags &= ~scene::MATERIAL_TWOSIDED;
            LogMessage(" %s", m->name ? m->name : "");
        });
    }
    if (!engineSettings.vertexLighting) return;
    LogMessage("\nApplying vertex lighting(conv. 'constant+2-sided'->'constant gouraud') done in:");
    forEachMaterial(scene, [](scene::Material* m) {
        if (m->shading != 1 || !(m->flags & scene::MATERIAL_TWOSIDED)) return;
        m->shading = SHADING_CONSTANT_GOURAUD;
        m->flags &= ~scene::MATERIAL_TWOSIDED;
        LogMessage(" %s", m->name ? m->name : "");
    });
    applyVertexLighting(scene);
}

void ScaleTextureCoordinates(scene::Scene* scene) {
    if (engineSettings.maxCompat) LogMessage("\n3dsmax compat. uv-texture-map conversion done in:");
    forEachObject(scene, [](scene::Object* o) {
        float scale = 255.0f;
        if (engineSettings.animatedTextures && o->faceCount > 0 && o->faces[0].material &&
            o->faces[0].material->texture.animated)
            scale = 63.0f;
        for (int i = 0; i < o->vertexCount; ++i) {
            scene::Vertex& v = o->vertices[i];
            v.u = std::fabs(v.u) * scale;
            v.v = std::fabs(v.v) * scale;
            if (engineSettings.maxCompat) v.v = scale - v.v;
        }
        if (engineSettings.maxCompat) LogMessage(" %s", o->name ? o->name : "");
    });
}

float VertexLightIntensity(const scene::Vertex& vertex) {
    float sum = 0.0f;
    int contributing = 0;
    for (int i = 0; i < lightTable.count; ++i) {
        const scene::Light* light = lightTable.lights[i];
        if (!light) continue;
        const float dx = light->position.x - vertex.transformed.x;
        const float dy = light->position.y - vertex.transformed.y;
        const float dz = light->position.z - vertex.transformed.z;
        const float d = std::sqrt(dx * dx + dy * dy + dz * dz);
        const float range = light->rangeEnd - light->rangeStart;
        if (d < light->rangeStart) {
            sum += 1.0f;
        } else if (d > light->rangeEnd || !(range > 0.0f)) {
            continue;
        } else {
            sum += 1.0f - (d - light->rangeStart) / range;
        }
        ++contributing;
    }
    const float intensity = contributing ? sum / static_cast<float>(contributing) : 0.0f;
    // A light or vertex at a position that is not a number lights nothing.
    return intensity == intensity ? intensity : 0.0f;
}

} // namespace engine
