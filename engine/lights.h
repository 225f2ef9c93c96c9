#pragma once
// The scene light table: up to 32 lights in world-list order, read by the vertex lighting of
// the preparation and by the frame renderer's gouraud light and flares.
#include "scene/records.h"

namespace engine {

enum { MAX_LIGHTS = 32 };

struct LightTable {
    scene::Light* lights[MAX_LIGHTS];
    int count;
    float lightAverage; // 1 / count, or 1.0 with no light
};

extern LightTable lightTable;

// Empties the table (count 0, lightAverage 1.0). Every scene starts so: pointers left from
// the last scene lead into records that are already freed.
void ClearLights();
// Fills the table from the scene's world list; returns the number of lights taken (0 to 32).
int CollectLights(scene::Scene* scene);

} // namespace engine
