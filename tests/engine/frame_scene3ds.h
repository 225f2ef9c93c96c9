#pragma once
// A 3DS scene for the tool's tests, the fuzz target's seeds and the frame benchmark: a field
// of spheres in materials of every shading, a camera "Cam" that moves, a light, and the
// textures it names as TGA files.
#include <cmath>
#include <string>
#include <vector>

#include "tests/scene/scene_fixture.h"

namespace frame_test {

using scene_test::Bytes;

struct SceneMaterial {
    std::string name;
    int shading;         // 1 flat, 2 gouraud, 3 phong, 4 metal
    std::string texture; // empty for none
    bool twoSided = false;
    int transparency = 0; // percent
};

// The materials the spheres take in turn: every drawer of the engine gets faces.
inline std::vector<SceneMaterial> mixedMaterials() {
    return {{"Flat", 1, "wood.tga"},
            {"Gouraud", 2, "pal.tga"},
            {"Phong", 3, "light.tga"},
            {"Metal", 4, ""},
            {"Grey", 2, ""},
            {"Lit", 1, "", true},
            {"Glass", 1, "wood.tga", false, 50},
            {"Tint", 3, "light.tga", false, 30}};
}

inline Bytes materialChunk(const SceneMaterial& m) {
    using namespace scene_test;
    std::vector<Bytes> subs{chunk(0xA000, str(m.name)),
                            chunk(0xA100, {static_cast<std::uint8_t>(m.shading), 0})};
    if (!m.texture.empty()) subs.push_back(chunk(0xA200, {}, {chunk(0xA300, str(m.texture))}));
    if (m.twoSided) subs.push_back(chunk(0xA081, {}));
    if (m.transparency)
        subs.push_back(
            chunk(0xA050, {}, {chunk(0x0030, {static_cast<std::uint8_t>(m.transparency), 0})}));
    return chunk_list(0xAFFF, {}, subs);
}

// A sphere of radius r around the origin with `segments` around and `rings` from pole to pole:
// 2 x segments x (rings - 1) faces, counter-clockwise seen from outside as 3DS files wind
// them, with texture coordinates and a material.
inline Bytes sphere(const std::string& name, float r, int segments, int rings,
                    const std::string& material) {
    using namespace scene_test;
    std::vector<float> xyz;
    Bytes uv;
    const int count = segments * (rings - 1) + 2;
    put16(uv, static_cast<std::uint16_t>(count));
    auto add = [&](float x, float y, float z, float u, float v) {
        xyz.insert(xyz.end(), {x, y, z});
        putf(uv, u);
        putf(uv, v);
    };
    add(0, 0, r, 0.5f, 0.0f);
    for (int i = 1; i < rings; ++i) {
        const float theta = 3.14159265f * i / rings;
        for (int j = 0; j < segments; ++j) {
            const float phi = 6.2831853f * j / segments;
            add(r * std::sin(theta) * std::cos(phi), r * std::sin(theta) * std::sin(phi),
                r * std::cos(theta), static_cast<float>(j) / segments,
                static_cast<float>(i) / rings);
        }
    }
    add(0, 0, -r, 0.5f, 1.0f);
    std::vector<Tri> faces;
    auto at = [&](int ring, int j) {
        return static_cast<std::uint16_t>(1 + (ring - 1) * segments + (j % segments));
    };
    const auto last = static_cast<std::uint16_t>(count - 1);
    for (int j = 0; j < segments; ++j) faces.push_back({0, at(1, j), at(1, j + 1), 0});
    for (int i = 1; i < rings - 1; ++i)
        for (int j = 0; j < segments; ++j) {
            faces.push_back({at(i, j), at(i + 1, j + 1), at(i, j + 1), 0});
            faces.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1), 0});
        }
    for (int j = 0; j < segments; ++j)
        faces.push_back({last, at(rings - 1, j + 1), at(rings - 1, j), 0});
    Bytes fm;
    put_str(fm, material);
    put16(fm, static_cast<std::uint16_t>(faces.size()));
    for (std::size_t i = 0; i < faces.size(); ++i) put16(fm, static_cast<std::uint16_t>(i));
    return mesh(name, xyz, faces, {chunk(0x4130, fm)}, {chunk(0x4140, uv)});
}

// A track of three floats from (x0, y0, z0) at frame 0 to (x1, y1, z1) at the last frame.
inline Bytes vectorTrack(std::uint16_t id, float x0, float y0, float z0, float x1, float y1,
                         float z1, int frames) {
    using namespace scene_test;
    Bytes k;
    key_header(k, 0);
    for (float f : {x0, y0, z0}) putf(k, f);
    key_header(k, static_cast<std::uint32_t>(frames - 1));
    for (float f : {x1, y1, z1}) putf(k, f);
    return track(id, 0, 2, k);
}

// Keyframer nodes of the camera "Cam" and its target, with ids from `id`, moving past the
// origin over the frames.
inline std::vector<Bytes> cameraNodes(int id, int frames) {
    using namespace scene_test;
    return {chunk_list(0xB003, {},
                       {node_id(static_cast<std::uint16_t>(id)), node_header("Cam", -1),
                        vectorTrack(0xB020, -80, -320, 140, 80, -280, 100, frames)}),
            chunk_list(0xB004, {},
                       {node_id(static_cast<std::uint16_t>(id + 1)), node_header("Cam", -1),
                        vectorTrack(0xB020, 0, 0, 0, 0, 20, 0, frames)})};
}

// `spheres` spheres of 2 x segments x (rings - 1) faces each on a grid, turning, with the
// camera moving past them over `frames` frames.
inline Bytes spheresScene(int spheres, int segments, int rings, int frames,
                          const std::vector<SceneMaterial>& materials = mixedMaterials()) {
    using namespace scene_test;
    std::vector<Bytes> world, keys;
    for (const SceneMaterial& m : materials) world.push_back(materialChunk(m));
    world.push_back(camera_chunk("Cam", 0, -300, 120, 0, 0, 0, 0, 35));
    world.push_back(chunk(0x4000, str("Light01"), {chunk(0x4600, floats({60, -200, 200}))}));
    keys.push_back(scene_test::frames(0, static_cast<std::uint32_t>(frames)));
    const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(spheres))));
    for (int i = 0; i < spheres; ++i) {
        const std::string name = "Ball" + std::to_string(i);
        world.push_back(sphere(name, 22.0f, segments, rings, materials[i % materials.size()].name));
        const float x = (i % side - (side - 1) * 0.5f) * 50.0f;
        const float y = (i / side - (side - 1) * 0.5f) * 50.0f;
        Bytes spin;
        key_header(spin, 0);
        for (float f : {0.0f, 0.0f, 0.0f, 1.0f}) putf(spin, f);
        key_header(spin, static_cast<std::uint32_t>(frames - 1));
        for (float f : {3.0f, 0.3f, 0.2f, 0.9f}) putf(spin, f);
        keys.push_back(
            object_node(name, i, -1,
                        {vectorTrack(0xB020, x, y, 0, x, y, 10, frames), track(0xB021, 0, 2, spin),
                         vectorTrack(0xB022, 1, 1, 1, 1, 1, 1, frames)}));
    }
    for (Bytes& node : cameraNodes(spheres, frames)) keys.push_back(node);
    return file(world, keys);
}

} // namespace frame_test
