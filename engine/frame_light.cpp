#include "engine/frame_light.h"

#include <cmath>

namespace engine {

namespace {

// Numbers the frames for the vertices' kept light; never 0, the number a new vertex holds.
std::uint32_t lastFrameNumber = 0;

} // namespace

void PrepareFrameLights(const LightTable& table, const scene::Camera& camera, int singleLight,
                        FrameLights* out) {
    if (++lastFrameNumber == 0) lastFrameNumber = 1;
    out->frame = lastFrameNumber;
    out->camera = camera.matrix;
    out->average = table.lightAverage;
    int count = table.count < 0 ? 0 : (table.count > MAX_LIGHTS ? MAX_LIGHTS : table.count);
    if (singleLight && count > 1) count = 1;
    out->count = 0;
    for (int i = 0; i < count; ++i) {
        if (!table.lights[i]) continue;
        scene::mat_transform(&camera.matrix, &table.lights[i]->position,
                             &out->position[out->count++]);
    }
    // Without singleLight a light the table could not give still counts in the mean, as the
    // table's average says; with it only the first light matters.
    if (singleLight) out->average = 1.0f;
}

float GouraudLight(const FrameLights& lights, const scene::Vertex& vertex) {
    if (lights.count == 0) return 0.0f;
    scene::Vector n;
    scene::mat_rotate(&lights.camera, &vertex.transformedNormal, &n);
    const scene::Vector& p = vertex.transformed;
    float sum = 0.0f;
    for (int i = 0; i < lights.count; ++i) {
        const float lx = lights.position[i].x - p.x;
        const float ly = lights.position[i].y - p.y;
        const float lz = lights.position[i].z - p.z;
        const float length = std::sqrt(lx * lx + ly * ly + lz * lz);
        if (length == 0.0f) continue; // a vertex at the light: direction (0, 0, 0)
        sum += (lx * n.x + ly * n.y + lz * n.z) / length;
    }
    const float light = sum * lights.average;
    if (!(light > 0.0f)) return 0.0f;
    return light > 1.0f ? 1.0f : light;
}

float SharedGouraudLight(const FrameLights& lights, scene::Vertex& vertex) {
    if (lights.frame == 0) return GouraudLight(lights, vertex);
    if (vertex.lightFrame != lights.frame) {
        vertex.frameLight = GouraudLight(lights, vertex);
        vertex.lightFrame = lights.frame;
    }
    return vertex.frameLight;
}

} // namespace engine
