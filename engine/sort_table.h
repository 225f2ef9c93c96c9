#pragma once
// The face sort table and the scene optimizer and ambient step that run before preparation.
#include "scene/records.h"

namespace engine {

// One entry of the painter's sort: a Face, or one of the 32 flare markers.
struct SortEntry {
    float key;
    const void* item;
};

// Faces of all objects + 32 entries, zero-filled, kept in scene->faceSortTable. Returns 1, or
// 0 when the table could not be allocated.
int AllocFaceSortTable(scene::Scene* scene);
void FreeFaceSortTable(scene::Scene* scene);
// Capacity of the scene's table (0 with none).
int FaceSortCapacity(const scene::Scene* scene);

int OptimizeScene(scene::Scene* scene, int verbose);
int ComputeAmbient(scene::Scene* scene);

// Red, green, blue, 1.0 each until ComputeAmbient takes the scene's ambient colour.
struct AmbientTint {
    float r, g, b;
};
extern AmbientTint ambientTint;

} // namespace engine
