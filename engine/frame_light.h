#pragma once
// The gouraud light of a vertex from the scene light table.
#include "engine/lights.h"
#include "scene/records.h"

namespace engine {

// The lights of one frame, brought into camera space once so that every vertex is lit in one
// space (vertices are in camera space, normals and lights in world space).
struct FrameLights {
    scene::Vector position[MAX_LIGHTS]; // camera space
    int count;                          // lights used: the table's, or 1 with singleLight
    float average;                      // the table's lightAverage
    scene::Matrix camera;               // world to camera, for the normals
    std::uint32_t frame = 0;            // this frame's number; 0 keeps nothing per vertex
};

void PrepareFrameLights(const LightTable& table, const scene::Camera& camera, int singleLight,
                        FrameLights* out);

// The light of a vertex, 0 to 1: the direction to the light (or the mean over the lights)
// dotted with the normal; 0 without lights, for a vertex at a light, and for anything not
// positive (NaN included); a normal longer than 1 cannot push it past 1.
float GouraudLight(const FrameLights& lights, const scene::Vertex& vertex);

// The same, worked out once per vertex and frame: a vertex is shared by several faces.
float SharedGouraudLight(const FrameLights& lights, scene::Vertex& vertex);

} // namespace engine
