#include "engine/lights.h"

namespace engine {

LightTable lightTable = {{}, 0, 1.0f};

void ClearLights() {
    lightTable = {{}, 0, 1.0f};
}

int CollectLights(scene::Scene* scene) {
    ClearLights();
    if (scene)
        for (scene::WorldNode* n = scene->worldFirst; n && lightTable.count < MAX_LIGHTS;
             n = n->next)
            if (n->kind == scene::WORLD_LIGHT && n->record)
                lightTable.lights[lightTable.count++] = static_cast<scene::Light*>(n->record);
    lightTable.lightAverage = lightTable.count ? 1.0f / static_cast<float>(lightTable.count) : 1.0f;
    return lightTable.count;
}

} // namespace engine
