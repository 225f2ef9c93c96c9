// Which faces a frame keeps, in which order, and what each drawer is handed.
#include <cmath>
#include <limits>

#include "tests/engine/frame_fixture.h"

using namespace frame_test;

namespace {

// A triangle the drawers fill (clockwise on screen as the cull keeps them) at a depth.
std::vector<std::array<float, 3>> tri(float x, float y, float z) {
    return {{x, y, z}, {x - 10, y + 10, z}, {x + 10, y + 10, z}};
}

std::vector<std::string> drawers() {
    std::vector<std::string> names;
    for (const Call& c : calls) names.push_back(c.drawer);
    return names;
}

using Names = std::vector<std::string>;

TEST(FrameCull, KeepsOnlyFacesInFrontAndFacingTheCamera) {
    TestScene t;
    scene::Material* m = t.material(1);
    t.object(tri(100, 50, 5), {{0, 1, 2}}, m); // drawn
    t.object(tri(100, 50, 5), {{0, 2, 1}}, m); // facing away
    auto near = tri(100, 50, 5);
    near[1][2] = 1.0f; // one vertex at depth 1.0
    t.object(near, {{0, 1, 2}}, m);
    near[1][2] = 1.001f;
    t.object(near, {{0, 1, 2}}, m); // just in front of the limit: drawn
    EXPECT_EQ(t.render(), 2);
    EXPECT_EQ(drawers(), (Names{"textured", "textured"}));

    // Two-sided materials get no exception.
    m->flags = scene::MATERIAL_TWOSIDED;
    TestScene back;
    back.object(tri(100, 50, 5), {{0, 2, 1}}, back.material(1));
    back.materials.back().flags = scene::MATERIAL_TWOSIDED;
    EXPECT_EQ(back.render(), 0);
    EXPECT_TRUE(calls.empty());
}

TEST(FrameCull, ScreenOrderOfTheDrawersIsKept) {
    // (0, 0), (-10, 10), (10, 10) is the order the drawers fill; its orientation value is 200.
    TestScene t;
    t.object({{0, 0, 5}, {-10, 10, 5}, {10, 10, 5}}, {{0, 1, 2}, {0, 2, 1}}, t.material(1));
    EXPECT_EQ(t.render(), 1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NEAR(calls[0].v[1][0], -10.0f, 1e-3);
    // A degenerate face (orientation 0) goes on to the drawer, which draws nothing of it.
    TestScene line;
    line.object({{0, 0, 5}, {10, 10, 5}, {20, 20, 5}}, {{0, 1, 2}}, line.material(1));
    EXPECT_EQ(line.render(), 1);
}

TEST(FrameCull, HiddenObjectsAndFacesWithoutADrawerAreLeftOut) {
    TestScene t;
    t.object(tri(100, 50, 5), {{0, 1, 2}}, t.material(1))->flags = scene::OBJECT_HIDDEN;
    t.object(tri(100, 50, 5), {{0, 1, 2}}, t.material(1))->flags = scene::OBJECT_DISPLAY_HIDDEN;
    t.object(tri(100, 50, 5), {{0, 1, 2}}, t.material(0));
    t.object(tri(100, 50, 5), {{0, 1, 2}}, t.material(5));
    t.object(tri(100, 50, 5), {{0, 1, 2}}, nullptr);
    t.object(tri(100, 50, 5), {{0, 1, 2}}, t.material(1, false)); // flat without a texture
    t.object(tri(100, 50, 5), {{0, 1, 2}}, t.material(3, false));
    t.render();
    EXPECT_TRUE(calls.empty());
}

TEST(FrameDrawingTable, FlatAndPhongByTransparencyClass) {
    const char* byClass[] = {"textured", "half", "blend", "alpha", "textured"};
    for (int shading : {1, 3}) {
        for (int maps : {0, 1}) {
            for (int cls = 0; cls <= 4; ++cls) {
                TestScene t;
                t.settings.transparencyMaps = maps;
                scene::Material* m = t.material(shading, true, cls);
                m->opacityWeights = 0x00C000C0;
                m->transparencyWeights = 0x003F003F;
                scene::Object* o = t.object(tri(100, 50, 5), {{0, 1, 2}}, m);
                for (int i = 0; i < 3; ++i)
                    o->vertices[i].transformedNormal = {0.1f * i, 0.5f - 0.25f * i, -0.75f};
                t.render();
                ASSERT_EQ(calls.size(), 1u);
                const Call& c = calls[0];
                EXPECT_EQ(c.drawer, maps ? byClass[cls] : "textured") << shading << cls;
                EXPECT_EQ(c.texture, m->texture.texturePixels);
                if (c.drawer == "blend") {
                    EXPECT_EQ(c.opacity, 0x00C000C0u);
                    EXPECT_EQ(c.transparency, 0x003F003Fu);
                }
                for (int i = 0; i < 3; ++i) {
                    const scene::Vertex& v = o->vertices[i];
                    EXPECT_FLOAT_EQ(c.v[i][0], v.sx);
                    EXPECT_FLOAT_EQ(c.v[i][1], v.sy);
                    const float u = shading == 1 ? v.u : 128.0f + 128.0f * v.transformedNormal.y;
                    const float w = shading == 1 ? v.v : 128.0f + 128.0f * v.transformedNormal.z;
                    EXPECT_FLOAT_EQ(c.v[i][2], u);
                    EXPECT_FLOAT_EQ(c.v[i][3], w);
                }
            }
        }
    }
}

TEST(FrameDrawingTable, AnimatedFlatFacesShowTheirFramesTile) {
    for (int on : {0, 1}) {
        TestScene t;
        t.settings.animatedTextures = on;
        scene::Material* m = t.material(1);
        m->texture.animated = 1;
        m->texture.frameOffsetU = 64.0f;
        m->texture.frameOffsetV = 128.0f;
        scene::Object* o = t.object(tri(100, 50, 5), {{0, 1, 2}}, m);
        t.render();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_FLOAT_EQ(calls[0].v[2][2], o->vertices[2].u + (on ? 64.0f : 0.0f));
        EXPECT_FLOAT_EQ(calls[0].v[2][3], o->vertices[2].v + (on ? 128.0f : 0.0f));
    }
}

TEST(FrameDrawingTable, MetalReflectsThePreviousFrame) {
    TestScene t;
    scene::Object* o = t.object(tri(100, 50, 5), {{0, 1, 2}}, t.material(4, false));
    o->vertices[0].transformedNormal = {0.3f, -1.0f, 1.0f};
    o->vertices[1].transformedNormal = {0.0f, 0.5f, -0.5f};
    t.render();
    ASSERT_EQ(calls.size(), 1u);
    const Call& c = calls[0];
    EXPECT_EQ(c.drawer, "environment");
    EXPECT_EQ(c.previous, t.previous.data());
    EXPECT_EQ(c.previousWidth, 320);
    EXPECT_EQ(c.previousHeight, 200);
    EXPECT_FLOAT_EQ(c.v[0][2], 10.0f);
    EXPECT_FLOAT_EQ(c.v[0][3], 190.0f);
    EXPECT_FLOAT_EQ(c.v[1][2], 235.0f);
    EXPECT_FLOAT_EQ(c.v[1][3], 55.0f);
    EXPECT_FLOAT_EQ(c.v[2][2], 160.0f);
}

TEST(FrameDrawingTable, ConstantGouraudTakesThePrecomputedLight) {
    for (bool textured : {true, false}) {
        TestScene t;
        scene::Object* o = t.object(tri(100, 50, 5), {{0, 1, 2}},
                                    t.material(engine::SHADING_CONSTANT_GOURAUD, textured));
        for (int i = 0; i < 3; ++i) o->vertices[i].vertexLight = 7.5f * (i + 1);
        t.render();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].drawer, textured ? "shaded" : "gouraud");
        for (int i = 0; i < 3; ++i) {
            EXPECT_FLOAT_EQ(calls[0].v[i][textured ? 4 : 2], 7.5f * (i + 1));
            const float second = textured ? o->vertices[i].u : 0.0f;
            EXPECT_FLOAT_EQ(calls[0].v[i][textured ? 2 : 3], second);
        }
    }
}

// A gouraud face at depth 10 facing the camera (normal -z); lights placed around it.
struct GouraudCase {
    TestScene t;
    scene::Object* o;
    explicit GouraudCase(bool textured) {
        o = t.object(tri(160, 100, 10), {{0, 1, 2}}, t.material(2, textured));
        for (int i = 0; i < 3; ++i) o->vertices[i].transformedNormal = {0, 0, -1};
    }
    // The shade each vertex got.
    std::array<float, 3> shades() {
        t.render();
        std::array<float, 3> s{-1, -1, -1};
        if (calls.size() != 1) return s;
        const int slot = calls[0].drawer == "shaded" ? 4 : 2;
        for (int i = 0; i < 3; ++i) s[i] = calls[0].v[i][slot];
        return s;
    }
};

TEST(FrameGouraud, SingleLightOrTheMeanOfAllLights) {
    GouraudCase g(true);
    g.t.light({0, 0, 0}); // straight at the face: 1
    g.t.light({g.o->vertices[0].transformed.x + 50, g.o->vertices[0].transformed.y, 10}); // edge-on
    g.t.settings.singleLight = 1;
    EXPECT_NEAR(g.shades()[0], 62.0f * 10.0f / std::sqrt(10.0f * 10.0f + 0.0f), 1e-3);
    g.t.settings.singleLight = 0;
    EXPECT_NEAR(g.shades()[0], 31.0f, 1e-3); // (1 + 0) / 2
    // A light behind the face gives 0, not a negative shade.
    GouraudCase back(false);
    back.t.light({0, 0, 50});
    for (float s : back.shades()) EXPECT_EQ(s, 0.0f);
    // Untextured faces take 255 x light.
    GouraudCase plain(false);
    plain.t.light({0, 0, 0});
    EXPECT_NEAR(plain.shades()[0], 255.0f, 1e-2);
    EXPECT_EQ(calls[0].drawer, "gouraud");
}

TEST(FrameGouraud, NoLightsGiveShadeZero) {
    for (bool textured : {true, false}) {
        for (int single : {0, 1}) {
            GouraudCase g(textured);
            g.t.settings.singleLight = single;
            for (float s : g.shades()) EXPECT_EQ(s, 0.0f);
        }
    }
}

TEST(FrameGouraud, LightsAVertexFromWhereTheLightIsInTheWorld) {
    // Camera 100 units behind the world origin, looking along +z; the vertex sits at the world
    // origin (camera depth 100) facing the camera, the light beside it in the face's plane.
    GouraudCase g(true);
    for (int i = 0; i < 3; ++i) {
        g.o->vertices[i].transformed.z = 100.0f;
        g.o->vertices[i].transformed.x = 0.0f;
        g.o->vertices[i].transformed.y = 0.0f;
    }
    g.o->vertices[1].transformed.x = -10.0f; // keep a face on screen
    g.o->vertices[1].transformed.y = -10.0f;
    g.o->vertices[2].transformed.x = 10.0f;
    g.o->vertices[2].transformed.y = -10.0f;
    g.t.camera.position = {0, 0, -100};
    g.t.camera.matrix.zw = 100.0f;
    g.t.light({100, 0, 0});
    EXPECT_NEAR(g.shades()[0], 0.0f, 1e-4);
    // Moved in front of the vertex, it lights it fully.
    g.t.lightRecords.back().position = {0, 0, -40};
    EXPECT_NEAR(g.shades()[0], 62.0f, 1e-3);
}

// Two faces, textured and plain, sharing vertices 1 and 2; a light off to one side.
struct SharedVertices {
    TestScene t;
    explicit SharedVertices(scene::Vector light) {
        scene::Object* o =
            t.object({{160, 100, 10}, {150, 110, 10}, {170, 110, 10}, {160, 120, 10}},
                     {{0, 1, 2}, {2, 1, 3}}, t.material(2, true));
        o->faces[1].material = t.material(2, false);
        for (int i = 0; i < 4; ++i) o->vertices[i].transformedNormal = {0.3f, 0, -1};
        t.light(light);
    }
    // Vertex 1's light as each face was given it, and the plain face's three shades.
    std::array<float, 5> shades() {
        t.render();
        if (calls.size() != 2) return {};
        return {calls[0].v[1][4] / 62.0f, calls[1].v[1][2] / 255.0f, calls[1].v[0][2],
                calls[1].v[1][2], calls[1].v[2][2]};
    }
};

TEST(FrameGouraud, SharedVerticesAreLitAlikeByEveryFaceAndAnewEachFrame) {
    SharedVertices moved({-20, 5, 0});
    const auto first = moved.shades();
    EXPECT_NEAR(first[0], first[1], 1e-6);
    EXPECT_GT(first[0], 0.0f);
    // The light moves: the next frame lights as a fresh scene would.
    moved.t.lightRecords.back().position = {30, -5, 2};
    SharedVertices fresh({30, -5, 2});
    const auto second = moved.shades();
    EXPECT_EQ(second, fresh.shades());
    EXPECT_NE(second[3], first[3]);
}

TEST(FrameGouraud, BadNormalsNeitherDarkenBelowZeroNorBrightenPastFull) {
    GouraudCase g(true);
    g.t.light({0, 0, 0});
    g.o->vertices[0].transformedNormal = {0, 0, -5};
    g.o->vertices[1].transformedNormal = {NAN, 0, -1};
    auto s = g.shades();
    EXPECT_FLOAT_EQ(s[0], 62.0f);
    EXPECT_FLOAT_EQ(s[1], 0.0f);
}

// Depth keys: two faces whose camera depth and camera distance disagree.
TEST(FrameDepthKeys, DepthSumsOrDistancesFromTheCamera) {
    for (int mode : {2, 1, 0, 7}) {
        TestScene t;
        t.settings.depthMode = mode;
        t.camera.position = {1000, -400, 30}; // where the camera is in the world changes nothing
        t.object(tri(10, 100, 20), {{0, 1, 2}}, t.material(1)); // far to the side, near
        t.object(tri(160, 90, 25), {{0, 1, 2}}, t.material(3)); // straight ahead, deeper
        t.render();
        ASSERT_EQ(calls.size(), 2u);
        // Distances: about 36 for the side face, about 25.1 for the one ahead.
        EXPECT_EQ(calls[0].v[0][0] < 50 ? "side" : "ahead", mode == 2 ? "ahead" : "side") << mode;
    }
}

TEST(FrameSortOrder, FarthestFirstAndEqualKeysInFaceOrder) {
    TestScene t;
    scene::Material* m = t.material(1);
    // Faces of one depth in a row, and one behind them all, last in the list.
    t.object({{50, 50, 8},
              {40, 60, 8},
              {60, 60, 8},
              {150, 50, 8},
              {140, 60, 8},
              {160, 60, 8},
              {250, 50, 8},
              {240, 60, 8},
              {260, 60, 8}},
             {{0, 1, 2}, {3, 4, 5}, {6, 7, 8}}, m);
    t.object(tri(100, 150, 30), {{0, 1, 2}}, m);
    for (int round = 0; round < 3; ++round) {
        t.render();
        ASSERT_EQ(calls.size(), 4u);
        EXPECT_NEAR(calls[0].v[0][0], 100, 1e-3);
        EXPECT_NEAR(calls[1].v[0][0], 50, 1e-3);
        EXPECT_NEAR(calls[2].v[0][0], 150, 1e-3);
        EXPECT_NEAR(calls[3].v[0][0], 250, 1e-3);
    }
}

TEST(FrameFlares, TakePartInTheSortAndSitOnTheLight) {
    TestScene t;
    t.settings.flareType = 3;
    t.light({0, 0, 50});                                     // screen centre, key 150
    t.object(tri(100, 50, 100), {{0, 1, 2}}, t.material(1)); // key 300: behind the flare
    t.object(tri(100, 50, 10), {{0, 1, 2}}, t.material(1));  // key 30: covers it
    EXPECT_EQ(t.render(), 3);
    EXPECT_EQ(drawers(), (Names{"textured", "flare", "textured"}));
    EXPECT_EQ(calls[1].flareX, 160 - 32);
    EXPECT_EQ(calls[1].flareY, 100 - 32);
    EXPECT_EQ(calls[1].texture, t.flarePicture.data());

    // Other depth modes: 3000 x the light's distance from the camera.
    t.settings.depthMode = 0;
    t.camera.position = {0, 0, 0};
    t.render();
    EXPECT_EQ(drawers(), (Names{"textured", "flare", "textured"}));

    // Either switch turns flares on; neither, off.
    t.settings.flareType = 0;
    t.render();
    EXPECT_EQ(drawers(), (Names{"textured", "textured"}));
    t.settings.lightFlares = 1;
    t.render();
    EXPECT_EQ(drawers(), (Names{"textured", "flare", "textured"}));
}

TEST(FrameFlares, OnlyLightsInFrontAndNearTheFrameFlare) {
    // sx = 100 x / z + 160: x = -(160 + 63) x z / 100 puts the centre 63 pixels left of the
    // frame, inside the 64-pixel margin; 65 pixels left is outside.
    TestScene t;
    t.settings.flareType = 3;
    t.light({-2.23f * 50, 0, 50});
    t.light({-2.25f * 50, 0, 50});
    t.light({0, 0, -50}); // behind the camera
    t.light({0, 0, 1});   // at the near limit
    t.render();
    ASSERT_EQ(drawers(), (Names{"flare"}));
    EXPECT_EQ(calls[0].flareX, -63 - 32);
}

TEST(FrameFlares, OnlyTheThirtyTwoLightsOfTheTableFlare) {
    TestScene t;
    t.settings.flareType = 3;
    for (int i = 0; i < 33; ++i) t.light({0.1f * i, 0, 50.0f + i}, i < engine::MAX_LIGHTS);
    EXPECT_EQ(t.render(), 32);
    // Farthest first: the 32nd light (depth 81) leads.
    EXPECT_EQ(calls.size(), 32u);
    // Without a flare picture nothing is blitted and nothing breaks.
    t.flarePicture.clear();
    engine::FrameContext c = t.context();
    c.flarePicture = nullptr;
    calls.clear();
    EXPECT_EQ(engine::RenderFrame(&t.scene, &t.camera, c), 32);
    EXPECT_TRUE(calls.empty());
}

TEST(FrameHostile, BadNumbersDrawNothingAndTheTableNeverOverflows) {
    const float inf = std::numeric_limits<float>::infinity();
    TestScene t;
    scene::Material* m = t.material(1);
    scene::Object* o = t.object({{100, 50, 5},
                                 {90, 60, 5},
                                 {110, 60, 5},
                                 {100, 50, 5},
                                 {90, 60, 5},
                                 {110, 60, 5},
                                 {100, 50, 5},
                                 {90, 60, 5},
                                 {110, 60, 5}},
                                {{0, 1, 2}, {3, 4, 5}, {6, 7, 8}}, m);
    o->vertices[0].transformed = {NAN, 0, 5};
    o->vertices[3].transformed = {inf, 0, 5};
    o->vertices[6].u = inf;
    t.render();
    EXPECT_TRUE(calls.empty());
    // 100 faces into a table of 10 (and a guard after it).
    TestScene many;
    std::vector<std::array<int, 3>> faces(100, {0, 1, 2});
    many.object(tri(100, 50, 5), faces, many.material(1));
    engine::FrameContext c = many.context();
    for (engine::SortEntry& e : many.table) e = {-1.0f, nullptr};
    c.capacity = 10;
    engine::ProjectScene(&many.scene, &many.camera, 320, 200);
    EXPECT_EQ(engine::RenderFrame(&many.scene, &many.camera, c), 10);
    EXPECT_EQ(many.table[10].key, -1.0f);
    EXPECT_EQ(many.table[10].item, nullptr);
}

} // namespace

namespace {

// Through the real drawers: a grey face of intensity 100 and a flare adding 0x10 per channel.
TEST(FramePixels, ANearerFaceCoversTheFlareAndAFartherOneIsAddedTo) {
    for (float faceDepth : {10.0f, 100.0f}) {
        TestScene t;
        t.settings.flareType = 3;
        t.light({0, 0, 50});
        scene::Object* o =
            t.object({{160, 20, faceDepth}, {140, 180, faceDepth}, {180, 180, faceDepth}},
                     {{0, 1, 2}}, t.material(engine::SHADING_CONSTANT_GOURAUD, false));
        for (int i = 0; i < 3; ++i) o->vertices[i].vertexLight = 100.0f;
        engine::ProjectScene(&t.scene, &t.camera, 320, 200);
        engine::FrameContext c = t.context();
        c.drawers = &engine::frameDrawers;
        engine::SetRasterTarget(reinterpret_cast<std::uint8_t*>(t.frame.data()), 1280, 320, 200);
        EXPECT_EQ(engine::RenderFrame(&t.scene, &t.camera, c), 2);
        const std::uint32_t centre = t.frame[100 * 320 + 160];
        EXPECT_EQ(centre, faceDepth < 50 ? 0x00646464u : 0x00747474u) << faceDepth;
        // Outside the face only the flare: its 64 x 64 square around the centre.
        EXPECT_EQ(t.frame[70 * 320 + 135], 0x00101010u);
        EXPECT_EQ(t.frame[60 * 320 + 100], 0u);
    }
}

} // namespace

namespace {

// RenderScene takes the engine's globals: settings, light table, flare picture, the scene's
// sort table and the buffers of SetFrameBuffers.
TEST(FrameGlobals, RenderSceneDrawsWhatTheEngineWasGiven) {
    TestScene t;
    t.settings.flareType = 3;
    t.light({0, 0, 50});
    t.object(tri(100, 50, 100), {{0, 1, 2}}, t.material(4, false));
    t.object(tri(100, 50, 10), {{0, 1, 2}}, t.material(1));
    ASSERT_EQ(engine::AllocFaceSortTable(&t.scene), 1);
    const engine::FrameDrawers saved = engine::frameDrawers;
    const engine::EngineSettings savedSettings = engine::engineSettings;
    engine::frameDrawers = recorders;
    engine::engineSettings = t.settings;
    engine::lightTable = t.lights;
    engine::flareTexture = t.flarePicture.data();
    engine::SetFrameBuffers(t.frame.data(), 1280, t.previous.data());
    engine::ProjectScene(&t.scene, &t.camera, 320, 200);
    calls.clear();
    engine::RenderScene(&t.scene, &t.camera);
    engine::frameDrawers = saved;
    engine::engineSettings = savedSettings;
    engine::lightTable = {};
    engine::flareTexture = nullptr;
    engine::SetFrameBuffers(nullptr, 0, nullptr);
    engine::FreeFaceSortTable(&t.scene);
    EXPECT_EQ(drawers(), (Names{"environment", "flare", "textured"}));
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].previous, t.previous.data());
    EXPECT_EQ(calls[1].texture, t.flarePicture.data());
}

} // namespace
