// The scene optimizer and the ambient tint taken from the scene.
#include <cmath>

#include "engine/log.h"
#include "engine/settings.h"
#include "engine/sort_table.h"
#include "scene/scene.h"

namespace engine {

AmbientTint ambientTint = {1.0f, 1.0f, 1.0f};

namespace {

bool materialUsed(const scene::Scene* scene, const scene::Material* m) {
    for (const scene::WorldNode* n = scene->worldFirst; n; n = n->next) {
        if (n->kind != scene::WORLD_OBJECT || !n->record) continue;
        const auto* o = static_cast<const scene::Object*>(n->record);
        for (int f = 0; f < o->faceCount; ++f)
            if (o->faces[f].material && o->faces[f].materialId == m->id) return true;
    }
    return false;
}

// The node stays in the list as a placeholder of kind 0, which every walk skips and the scene
// library's release passes over.
void dropRecord(scene::WorldNode* n) {
    n->kind = 0;
    n->record = nullptr;
}

// A colour from the file outside 0..1 (or not a number) would carry into the neighbouring
// channel of every tinted texel.
float unitRange(float c) {
    return c > 0.0f ? (c < 1.0f ? c : 1.0f) : 0.0f;
}

} // namespace

int OptimizeScene(scene::Scene* scene, int verbose) {
    if (verbose) LogMessage("\nTrying to optimize scene... Please wait...");
    if (!scene) return 1;
    for (scene::WorldNode* n = scene->worldFirst; n; n = n->next) {
        if (n->kind != scene::WORLD_OBJECT || !n->record) continue;
        auto* o = static_cast<scene::Object*>(n->record);
        if (o->faceCount > 0 && o->vertexCount > 0) continue;
        if (verbose)
            LogMessage("\nOptimizer: object '%s' has 0 vertices or 0 faces! Deleted.",
                       o->name ? o->name : "");
        // Keyframer nodes of dummies point at the object; they must not write into it later.
        scene::scene_detach_record(scene, o);
        scene::free_object(o);
        dropRecord(n);
    }
    for (scene::WorldNode* n = scene->worldFirst; n; n = n->next) {
        if (n->kind != scene::WORLD_MATERIAL || !n->record) continue;
        auto* m = static_cast<scene::Material*>(n->record);
        if (materialUsed(scene, m)) continue;
        if (verbose)
            LogMessage("\nOptimizer: material '%s' is unused! Deleted.", m->name ? m->name : "");
        scene::free_material(m);
        dropRecord(n);
    }
    return 1;
}

int ComputeAmbient(scene::Scene* scene) {
    if (!engineSettings.computeAmbient) return 1;
    const scene::Ambient* ambient = nullptr;
    for (scene::WorldNode* n = scene ? scene->worldFirst : nullptr; n && !ambient; n = n->next)
        if (n->kind == scene::WORLD_AMBIENT && n->record)
            ambient = static_cast<const scene::Ambient*>(n->record);
    if (!ambient) return 0;
    ambientTint = {unitRange(ambient->color.x), unitRange(ambient->color.y),
                   unitRange(ambient->color.z)};
    if (engineSettings.reportAmbient)
        LogMessage("\n scene ambient color: R=%d G=%d B=%d \n",
                   static_cast<int>(ambientTint.r * 255.0), static_cast<int>(ambientTint.g * 255.0),
                   static_cast<int>(ambientTint.b * 255.0));
    return 1;
}

} // namespace engine
