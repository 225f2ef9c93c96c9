#pragma once
// Hand-made scenes for the frame tests, and drawers that record what they are given instead of
// drawing it.
#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/frame.h"
#include "engine/prepare.h"

namespace frame_test {

// One drawer call: which drawer, its three vertex records as x, y, then the attributes.
struct Call {
    std::string drawer;
    float v[3][5];
    const void* texture;
    std::uint32_t opacity, transparency;
    const std::uint32_t* previous;
    int previousWidth, previousHeight;
    int flareX, flareY, flareW, flareH;
};

extern std::vector<Call> calls;
extern const engine::FrameDrawers recorders;

// Camera at the origin looking along +z; sx = 100 x / z + 160, sy = 100 - 100 y / z.
constexpr float PERSPECTIVE = 100.0f;

struct TestScene {
    scene::Scene scene{};
    scene::Camera camera{};
    engine::EngineSettings settings = engine::FirstScenePreset();
    engine::LightTable lights{};
    std::vector<engine::SortEntry> table;
    std::vector<std::uint32_t> frame, previous;
    std::vector<std::uint32_t> flarePicture;
    // Stable addresses for the records the scene points at.
    std::deque<scene::WorldNode> nodes;
    std::deque<scene::Object> objects;
    std::deque<std::vector<scene::Vertex>> vertexArrays;
    std::deque<std::vector<scene::Face>> faceArrays;
    std::deque<scene::Material> materials;
    std::deque<scene::Light> lightRecords;

    TestScene();
    void link(int kind, void* record);
    // A material of the shading; textured ones get a texture address (never read by recorders).
    scene::Material* material(int shading, bool textured = true, int transparencyClass = 0);
    // Vertices given by screen position and camera-space depth; faces by vertex indices.
    scene::Object* object(const std::vector<std::array<float, 3>>& screenDepth,
                          const std::vector<std::array<int, 3>>& faces, scene::Material* m);
    // A light at a camera-space (and, the camera being at the origin, world) position.
    scene::Light* light(scene::Vector position, bool inTable = true);
    // Projects and renders with the recorders; returns RenderFrame's count.
    int render();
    engine::FrameContext context();
};

} // namespace frame_test
