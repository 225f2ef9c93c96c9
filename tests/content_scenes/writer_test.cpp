// The 3DS writer: chunk framing, refusal of descriptions no reader could take, and a small
// scene read back by the scene library and by lib3ds with the values it was given.
#include <gtest/gtest.h>
#include <lib3ds/camera.h>
#include <lib3ds/file.h>
#include <lib3ds/io.h>
#include <lib3ds/light.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "content/scenes/chunks.h"
#include "content/scenes/geometry.h"
#include "content/scenes/write3ds.h"
#include "scene/track.h"
#include "tests/content_scenes/loaded.h"

using namespace scenes;
using scenes_test::Loaded;

namespace {

std::uint32_t lengthAt(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at + 2] | b[at + 3] << 8 | b[at + 4] << 16 |
           static_cast<std::uint32_t>(b[at + 5]) << 24;
}

TEST(ChunkWriter, NestedChunksCarryTheirWholeLength) {
    ChunkWriter w;
    w.begin(0x4D4D);
    w.u16(7);
    w.begin(0x0010);
    w.f32(1.0f);
    w.end();
    w.empty(0xA081);
    w.end();
    const auto& b = w.bytes();
    ASSERT_EQ(6u + 2 + 10 + 6, b.size());
    EXPECT_EQ(0x4D, b[0]);
    EXPECT_EQ(0x4D, b[1]);
    EXPECT_EQ(b.size(), lengthAt(b, 0));
    EXPECT_EQ(10u, lengthAt(b, 8));
    EXPECT_EQ(6u, lengthAt(b, 18));
    EXPECT_EQ(0x3F800000u, lengthAt(b, 12)); // the float 1.0 after the inner header
    EXPECT_EQ(0, w.depth());
    EXPECT_THROW(w.end(), std::logic_error);
}

// A small scene touching every kind of chunk the writer knows.
Scene3ds smallScene() {
    Scene3ds s;
    s.startFrame = 0;
    s.endFrame = 40;
    s.ambient = {0.1f, 0.2f, 0.3f};
    Material glass = makeMaterial("Glass", PHONG, true);
    glass.texture = "glass.tga";
    glass.reflection = "glasskey.tga";
    glass.transparency = 35;
    glass.diffuse = {1, 0.5f, 0};
    s.materials.push_back(glass);
    s.materials.push_back(makeMaterial("Metal", METAL));
    MeshBuilder box("Box", {10, 20, 30});
    addBox(box, {-1, -1, -1}, {1, 1, 1});
    box.material = 1;
    addSphere(box, 0.5f, 6, 3, false);
    s.meshes.push_back(box.take());
    MeshBuilder lid("Lid", {10, 20, 32});
    addBox(lid, {-1, -1, 0}, {1, 1, 0.2f});
    s.meshes.push_back(lid.take());
    s.lights.push_back({"Lamp", {1, 2, 3}, {1, 0.5f, 0.25f}, 5, 50, 1});
    s.cameras.push_back({"Cam", {0, -100, 10}, {0, 0, 0}, 3, 50});
    Node amb;
    amb.kind = NODE_AMBIENT;
    amb.id = 0;
    amb.colour = {{0, {0.1f, 0.2f, 0.3f}, {}}};
    s.nodes.push_back(amb);
    Node box_;
    box_.name = "Box";
    box_.id = 1;
    box_.position = {
        {0, {10, 20, 30}, {}}, {20, {15, 20, 30}, {0.5f, 0, 0, 0, 0}}, {40, {15, 25, 30}, {}}};
    box_.scale = {{0, {1, 1, 1}, {}}};
    box_.rotation = {{0, 0, {0, 0, 1}, {}}, {20, 1.5f, {0, 0, 1}, {}}, {40, 1.5f, {0, 0, 1}, {}}};
    s.nodes.push_back(box_);
    Node lidNode;
    lidNode.name = "Lid";
    lidNode.id = 2;
    lidNode.parent = 1;
    lidNode.position = {{0, {0, 0, 2}, {}}};
    lidNode.scale = {{0, {1, 1, 1}, {}}};
    lidNode.hide = {0, 10, 30};
    s.nodes.push_back(lidNode);
    Node cam;
    cam.kind = NODE_CAMERA;
    cam.name = "Cam";
    cam.id = 3;
    cam.position = {{0, {0, -100, 10}, {}}, {40, {50, -100, 10}, {}}};
    cam.fov = {{0, 48, {}}, {40, 30, {}}};
    cam.roll = {{0, 3, {}}, {40, -5, {}}};
    s.nodes.push_back(cam);
    Node target = cam;
    target.kind = NODE_TARGET;
    target.id = 4;
    target.fov.clear();
    target.roll.clear();
    target.position = {{0, {0, 0, 0}, {}}};
    s.nodes.push_back(target);
    Node lamp;
    lamp.kind = NODE_OMNI;
    lamp.name = "Lamp";
    lamp.id = 5;
    lamp.parent = 1;
    lamp.position = {{0, {0, 0, 3}, {}}};
    s.nodes.push_back(lamp);
    return s;
}

TEST(CheckScene, RefusesWhatNoReaderCouldTake) {
    EXPECT_EQ("", checkScene(smallScene()));
    struct Case {
        const char* what;
        void (*spoil)(Scene3ds&);
    };
    const Case cases[] = {
        {"face past vertices", [](Scene3ds& s) { s.meshes[0].faces[0].c = 60000; }},
        {"face material", [](Scene3ds& s) { s.meshes[0].faces[0].material = 9; }},
        {"mapping count", [](Scene3ds& s) { s.meshes[0].u.pop_back(); }},
        {"repeated name", [](Scene3ds& s) { s.lights[0].name = "Box"; }},
        {"long name", [](Scene3ds& s) { s.materials[0].name = std::string(64, 'x'); }},
        {"empty range", [](Scene3ds& s) { s.endFrame = 0; }},
        {"parent after child", [](Scene3ds& s) { s.nodes[2].parent = 5; }},
        {"repeated node id", [](Scene3ds& s) { s.nodes[2].id = 1; }},
        {"keys out of order", [](Scene3ds& s) { s.nodes[1].position[2].frame = 20; }},
        {"hide out of order",
         [](Scene3ds& s) {
             s.nodes[2].hide = {0, 10, 10};
         }},
        {"unknown node name", [](Scene3ds& s) { s.nodes[1].name = "Nothing"; }},
        {"not a number", [](Scene3ds& s) { s.meshes[1].vertices[0].x = std::nanf(""); }},
    };
    for (const Case& c : cases) {
        Scene3ds s = smallScene();
        c.spoil(s);
        EXPECT_NE("", checkScene(s)) << c.what;
        EXPECT_THROW(write3ds(s), std::invalid_argument) << c.what;
    }
}

TEST(Write3ds, SceneLibraryReadsBackWhatWasWritten) {
    const Scene3ds src = smallScene();
    Loaded l(write3ds(src));
    ASSERT_EQ(0, l.world);
    ASSERT_EQ(0, l.motion);
    EXPECT_EQ(0.0f, l.s->startFrame);
    EXPECT_EQ(40.0f, l.s->endFrame);

    auto* glass = l.find<scene::Material>("Glass", scene::WORLD_MATERIAL);
    ASSERT_NE(nullptr, glass);
    EXPECT_EQ(3, glass->shading);
    EXPECT_EQ(scene::MATERIAL_TWOSIDED, glass->flags & scene::MATERIAL_TWOSIDED);
    EXPECT_FLOAT_EQ(0.35f, glass->transparency);
    EXPECT_STREQ("glass.tga", glass->texture.fileName);
    EXPECT_STREQ("glasskey.tga", glass->reflection.fileName);
    EXPECT_NEAR(0.5f, glass->diffuse.y, 1.0f / 255); // colours are stored as bytes

    auto* box = l.find<scene::Object>("Box", scene::WORLD_OBJECT);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(static_cast<int>(src.meshes[0].faces.size()), box->faceCount);
    EXPECT_EQ(static_cast<int>(src.meshes[0].vertices.size()), box->vertexCount);
    // Vertices come back in the object's own frame (file y and z exchanged).
    EXPECT_FLOAT_EQ(src.meshes[0].vertices[0].x, box->vertices[0].position.x);
    EXPECT_FLOAT_EQ(src.meshes[0].vertices[0].z, box->vertices[0].position.y);
    EXPECT_FLOAT_EQ(src.meshes[0].vertices[0].y, box->vertices[0].position.z);
    EXPECT_EQ(src.meshes[0].u[2], box->vertices[2].u);
    int metal = 0;
    for (int f = 0; f < box->faceCount; ++f)
        metal += box->faces[f].material && box->faces[f].material->shading == 4;
    EXPECT_EQ(static_cast<int>(src.meshes[0].faces.size()) - 12, metal);

    auto* lamp = l.find<scene::Light>("Lamp", scene::WORLD_LIGHT);
    ASSERT_NE(nullptr, lamp);
    EXPECT_EQ(5.0f, lamp->rangeStart);
    EXPECT_EQ(50.0f, lamp->rangeEnd);
    auto* cam = l.find<scene::Camera>("Cam", scene::WORLD_CAMERA);
    ASSERT_NE(nullptr, cam);
    EXPECT_FLOAT_EQ(48.0f, cam->fov); // the fov track at frame 0, set by the first update
    ASSERT_EQ(1u, l.records<scene::Ambient>(scene::WORLD_AMBIENT).size());
}

TEST(Write3ds, KeyframerTracksAndHierarchyComeBack) {
    Loaded l(write3ds(smallScene()));
    ASSERT_EQ(0, l.motion);
    scene::KeyNode* box = l.node("Box", scene::KEY_OBJECT);
    scene::KeyNode* lid = l.node("Lid", scene::KEY_OBJECT);
    scene::KeyNode* cam = l.node("Cam", scene::KEY_CAMERA);
    ASSERT_TRUE(box && lid && cam);
    EXPECT_EQ(box, lid->parent);
    EXPECT_EQ(box, l.node("Lamp", scene::KEY_OMNI_LIGHT)->parent);
    // Values at keys are the ones written (position y/z exchanged) and tension is kept.
    scene::Vector v;
    ASSERT_EQ(0, scene::track_eval_vector(box->tracks[0], 20, &v));
    EXPECT_FLOAT_EQ(15, v.x);
    EXPECT_FLOAT_EQ(30, v.y);
    EXPECT_FLOAT_EQ(20, v.z);
    EXPECT_FLOAT_EQ(0.5f, box->tracks[0]->first->next->tension);
    float fov = 0, roll = 0;
    ASSERT_EQ(0, scene::track_eval_float(cam->tracks[1], 40, &fov));
    ASSERT_EQ(0, scene::track_eval_float(cam->tracks[2], 40, &roll));
    EXPECT_FLOAT_EQ(30, fov);
    EXPECT_FLOAT_EQ(-5, roll);
    // The hide keys toggle: hidden from 0, shown after 10, hidden after 30.
    int hidden = -1;
    for (auto [frame, expect] : {std::pair{5.0f, 1}, {15.0f, 0}, {35.0f, 1}}) {
        ASSERT_EQ(0, scene::track_eval_hide(lid->tracks[4], frame, &hidden));
        EXPECT_EQ(expect, hidden) << frame;
    }
    // Relative turns add up: 1.5 rad at frame 20, then 1.5 more at 40, about the up axis.
    scene::Quaternion q;
    ASSERT_EQ(0, scene::track_eval_rotation(box->tracks[2], 40, &q));
    EXPECT_NEAR(std::cos(1.5f), std::fabs(q.w), 1e-4f);
    EXPECT_NEAR(std::sin(1.5f), std::fabs(q.y), 1e-4f);
}

TEST(Write3ds, GeneralReaderSeesTheSameScene) {
    const auto bytes = write3ds(smallScene());
    const std::string path = ::testing::TempDir() + "writer_small.3ds";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    Lib3dsFile* file = lib3ds_file_load(path.c_str());
    std::remove(path.c_str());
    ASSERT_NE(nullptr, file);
    Lib3dsMesh* box = lib3ds_file_mesh_by_name(file, "Box");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(smallScene().meshes[0].faces.size(), box->faces);
    Lib3dsMaterial* glass = lib3ds_file_material_by_name(file, "Glass");
    ASSERT_NE(nullptr, glass);
    EXPECT_STREQ("glass.tga", glass->texture1_map.name);
    EXPECT_STREQ("glasskey.tga", glass->reflection_map.name);
    EXPECT_NEAR(0.35f, glass->transparency, 1e-6f);
    EXPECT_TRUE(glass->two_sided);
    Lib3dsLight* lamp = lib3ds_file_light_by_name(file, "Lamp");
    ASSERT_NE(nullptr, lamp);
    EXPECT_EQ(5.0f, lamp->inner_range);
    EXPECT_EQ(50.0f, lamp->outer_range);
    EXPECT_EQ(0, static_cast<int>(file->segment_from));
    EXPECT_EQ(40, static_cast<int>(file->segment_to));
    Lib3dsNode* lid = lib3ds_file_node_by_name(file, "Lid", LIB3DS_OBJECT_NODE);
    ASSERT_NE(nullptr, lid);
    ASSERT_NE(nullptr, lid->parent);
    EXPECT_STREQ("Box", lid->parent->name);
    int hideKeys = 0;
    for (Lib3dsBoolKey* k = lid->data.object.hide_track.keyL; k; k = k->next) ++hideKeys;
    EXPECT_EQ(3, hideKeys);
    lib3ds_file_free(file);
}

} // namespace
