// Screen positions and visibility of vertices and lights.
#include <cmath>

#include "tests/engine/frame_fixture.h"

using namespace frame_test;

namespace {

TEST(FrameProject, VerticesByThePerspectiveFactorsAroundTheCentre) {
    TestScene t;
    t.camera.perspX = 200.0f;
    t.camera.perspY = 150.0f;
    scene::Object* o = t.object({{0, 0, 4}, {0, 0, 1}, {0, 0, 0.5f}}, {}, nullptr);
    o->vertices[0].transformed = {2.0f, -1.0f, 4.0f};
    o->vertices[1].transformed = {2.0f, -1.0f, 1.0f}; // at the limit: not visible
    o->vertices[2].transformed = {NAN, 0.0f, NAN};
    // Width and height halve by shifting: 321 x 201 has its centre at (160, 100).
    engine::ProjectScene(&t.scene, &t.camera, 321, 201);
    EXPECT_FLOAT_EQ(o->vertices[0].sx, 2.0f * 200.0f / 4.0f + 160.0f);
    EXPECT_FLOAT_EQ(o->vertices[0].sy, 100.0f + 1.0f * 150.0f / 4.0f);
    EXPECT_EQ(o->vertices[0].visible, 1);
    EXPECT_EQ(o->vertices[1].visible, 0);
    EXPECT_EQ(o->vertices[2].visible, 0);
}

TEST(FrameProject, HiddenObjectsKeepTheirLastPositions) {
    TestScene t;
    scene::Object* o = t.object({{100, 50, 5}}, {}, nullptr);
    o->flags = scene::OBJECT_DISPLAY_HIDDEN;
    o->vertices[0].sx = -7.0f;
    o->vertices[0].visible = 1;
    o->vertices[0].transformed.z = -3.0f;
    engine::ProjectScene(&t.scene, &t.camera, 320, 200);
    EXPECT_EQ(o->vertices[0].sx, -7.0f);
    EXPECT_EQ(o->vertices[0].visible, 1);
}

TEST(FrameProject, LightsThroughTheCameraMatrixWithTheirFlareWindow) {
    TestScene t;
    t.camera.matrix.zw = 10.0f; // world z 0 is camera depth 10
    // sx = 100 x / 10 + 160; the flare window is -64 < sx < 319 + 64, likewise for sy.
    scene::Light* in = t.light({-22.3f, 0, 0});   // sx -63
    scene::Light* out = t.light({-22.4f, 0, 0});  // sx -64
    scene::Light* right = t.light({22.2f, 0, 0}); // sx 382
    scene::Light* low = t.light({0, -16.2f, 0});  // sy 262
    scene::Light* behind = t.light({0, 0, -10});  // depth 0
    out->flareVisible = 1;
    engine::ProjectScene(&t.scene, &t.camera, 320, 200);
    EXPECT_EQ(in->flareVisible, 1);
    EXPECT_NEAR(in->sx, -63.0f, 1e-3);
    EXPECT_FLOAT_EQ(in->depth, 10.0f);
    EXPECT_EQ(out->flareVisible, 0);
    EXPECT_EQ(right->flareVisible, 1);
    EXPECT_EQ(low->flareVisible, 1);
    EXPECT_EQ(behind->flareVisible, 0);
    low->position.y = -16.4f; // sy 264: out
    engine::ProjectScene(&t.scene, &t.camera, 320, 200);
    EXPECT_EQ(low->flareVisible, 0);
}

} // namespace
