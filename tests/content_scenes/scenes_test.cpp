// The intro's two real scenes as the build writes them: what the intro needs of them, the
// materials that choose every drawer, textures of the right kind, solids that are closed and
// face outwards, and bytes that do not change from one run to the next.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "content/music/intro_timeline.h"
#include "content/scenes/lengths.h"
#include "content/scenes/scenes.h"
#include "content/scenes/textures.h"
#include "content/scenes/write3ds.h"
#include "scene/track.h"
#include "tests/content_scenes/loaded.h"

using namespace scenes;
using scenes_test::generated;
using scenes_test::Loaded;
using scenes_test::readFile;

namespace {

struct SceneCase {
    const char* file;
    int frames;
};
const SceneCase SCENES[] = {{TRAIN_SCENE, TRAIN_FRAMES}, {CABIN_SCENE, CABIN_FRAMES}};

int faceTotal(const Loaded& l) {
    int n = 0;
    for (auto* o : l.records<scene::Object>(scene::WORLD_OBJECT)) n += o->faceCount;
    return n;
}

bool changes(scene::Track* t) {
    if (!t || t->keyCount < 2) return false;
    for (scene::Key* k = t->first->next; k; k = k->next)
        if (k->value[0] != t->first->value[0]) return true;
    return false;
}

TEST(IntroScenes, GiveTheIntroWhatItLooksFor) {
    for (const SceneCase& c : SCENES) {
        SCOPED_TRACE(c.file);
        Loaded l(readFile(generated(c.file)));
        ASSERT_EQ(0, l.world);
        ASSERT_EQ(0, l.motion);
        EXPECT_EQ(0.0f, l.s->startFrame);
        EXPECT_EQ(static_cast<float>(c.frames), l.s->endFrame);
        // The intro finds its camera by the name "Cam" only; it is the one camera.
        auto cams = l.records<scene::Camera>(scene::WORLD_CAMERA);
        ASSERT_EQ(1u, cams.size());
        EXPECT_STREQ("Cam", cams[0]->name);
        scene::KeyNode* cam = l.node("Cam", scene::KEY_CAMERA);
        ASSERT_NE(nullptr, cam);
        EXPECT_TRUE(changes(cam->tracks[0])) << "the camera moves";
        EXPECT_TRUE(changes(cam->tracks[1])) << "its field of view changes";
        EXPECT_TRUE(changes(cam->tracks[2])) << "it rolls";
        EXPECT_NE(nullptr, l.node("Cam", scene::KEY_CAMERA_TARGET));
        // Lights with ranges, an ambient colour, thousands of faces.
        auto lights = l.records<scene::Light>(scene::WORLD_LIGHT);
        ASSERT_GE(lights.size(), 2u);
        for (auto* light : lights) EXPECT_GT(light->rangeEnd, light->rangeStart) << light->name;
        auto ambient = l.records<scene::Ambient>(scene::WORLD_AMBIENT);
        ASSERT_EQ(1u, ambient.size());
        EXPECT_GT(ambient[0]->color.x + ambient[0]->color.y + ambient[0]->color.z, 0.0f);
        EXPECT_GT(faceTotal(l), 5000);
        // At least one object shown and hidden by a hide track during the scene.
        int hiding = 0;
        for (scene::KeyNode* k = l.s->keyFirst; k; k = k->next)
            if (k->kind == scene::KEY_OBJECT && k->tracks[4] && k->tracks[4]->keyCount >= 2)
                ++hiding;
        EXPECT_GT(hiding, 0);
        // Every frame of the scene can be set and evaluated.
        for (int f = 0; f < c.frames; f += 29) {
            ASSERT_EQ(0, scene::scene_set_frame(static_cast<float>(f)));
            ASSERT_EQ(0, scene::scene_update());
        }
    }
}

TEST(IntroScenes, HierarchiesHoldWheelsUnderTheEngineAndTheDoorUnderTheCabin) {
    Loaded train(readFile(generated(TRAIN_SCENE)));
    scene::KeyNode* engine = train.node("Engine", scene::KEY_OBJECT);
    ASSERT_NE(nullptr, engine);
    int wheels = 0;
    for (scene::KeyNode* k = engine->firstChild; k; k = k->nextSibling)
        if (k->kind == scene::KEY_OBJECT &&
            std::string(static_cast<scene::Object*>(k->record)->name).find("Wheel") !=
                std::string::npos)
            ++wheels;
    EXPECT_EQ(6, wheels);
    // The headlamp (and so its flare) rides on the engine.
    EXPECT_EQ(engine, train.node("Headlamp", scene::KEY_OMNI_LIGHT)->parent);
    // Three levels: coach wheels under coaches under the engine.
    EXPECT_EQ(engine, train.node("Coach3Wheel2", scene::KEY_OBJECT)->parent->parent);

    Loaded cabin(readFile(generated(CABIN_SCENE)));
    scene::KeyNode* door = cabin.node("Door", scene::KEY_OBJECT);
    ASSERT_NE(nullptr, door);
    ASSERT_NE(nullptr, door->parent);
    EXPECT_STREQ("Cabin", static_cast<scene::Object*>(door->parent->record)->name);
    EXPECT_TRUE(door->tracks[2] && door->tracks[2]->keyCount >= 2) << "the door swings";
}

// The drawer the engine picks for a material with the intro's settings: the compatibility switch,
// vertex lighting and transparency maps all on.
std::string drawerFor(const scene::Material& m) {
    int shading = m.shading;
    const bool twoSided = m.flags & scene::MATERIAL_TWOSIDED;
    if (shading == 3 && twoSided) shading = 2;
    if (shading == 1 && twoSided) shading = 20;
    const bool textured = m.texture.fileName != nullptr;
    switch (shading) {
    case 1:
    case 3:
        if (m.transparency == 0) return "Textured";
        if (m.reflection.fileName) return "TexturedAlpha";
        return m.transparency == 0.5f ? "TexturedHalf" : "TexturedBlend";
    case 2:
    case 20:
        return textured ? "ShadedTexture" : "Gouraud";
    case 4:
        return "Environment";
    default:
        return "none";
    }
}

TEST(IntroScenes, MaterialsBetweenThemChooseEveryDrawer) {
    std::set<std::string> drawers;
    bool constantGouraud = false, phongLightMap = false;
    for (const SceneCase& c : SCENES) {
        Loaded l(readFile(generated(c.file)));
        // Count only materials that faces use (the optimizer drops the others).
        for (auto* o : l.records<scene::Object>(scene::WORLD_OBJECT))
            for (int f = 0; f < o->faceCount; ++f) {
                const scene::Material* m = o->faces[f].material;
                ASSERT_NE(nullptr, m) << o->name << " face " << f;
                drawers.insert(drawerFor(*m));
                constantGouraud |= m->shading == 1 && (m->flags & scene::MATERIAL_TWOSIDED);
                phongLightMap |= m->shading == 3 && !(m->flags & scene::MATERIAL_TWOSIDED);
            }
    }
    EXPECT_EQ((std::set<std::string>{"Environment", "Gouraud", "ShadedTexture", "Textured",
                                     "TexturedAlpha", "TexturedBlend", "TexturedHalf"}),
              drawers);
    EXPECT_TRUE(constantGouraud);
    EXPECT_TRUE(phongLightMap);
}

struct TgaInfo {
    int type = -1, width = 0, height = 0, bits = 0;
};
TgaInfo tgaInfo(const std::vector<std::uint8_t>& b) {
    TgaInfo t;
    if (b.size() < 18) return t;
    t.type = b[2];
    t.width = b[12] | b[13] << 8;
    t.height = b[14] | b[15] << 8;
    t.bits = b[16];
    return t;
}

TEST(IntroScenes, TexturesHaveTheSizeAndDepthTheirShadingNeeds) {
    for (const SceneCase& c : SCENES) {
        Loaded l(readFile(generated(c.file)));
        for (auto* m : l.records<scene::Material>(scene::WORLD_MATERIAL)) {
            SCOPED_TRACE(std::string(c.file) + " " + m->name);
            const std::string drawer = drawerFor(*m);
            if (drawer == "Environment") continue;
            if (drawer == "Gouraud") {
                EXPECT_EQ(nullptr, m->texture.fileName);
                continue;
            }
            ASSERT_NE(nullptr, m->texture.fileName);
            const auto bytes = readFile(generated(m->texture.fileName));
            const TgaInfo t = tgaInfo(bytes);
            EXPECT_EQ(256, t.width);
            EXPECT_EQ(256, t.height);
            if (drawer == "ShadedTexture") {
                EXPECT_EQ(1, t.type) << "palette texture";
                EXPECT_EQ(8, t.bits);
            } else {
                EXPECT_EQ(2, t.type) << "true colour";
                EXPECT_TRUE(t.bits == 24 || t.bits == 32);
            }
            if (drawer == "TexturedAlpha") {
                const TgaInfo key = tgaInfo(readFile(generated(m->reflection.fileName)));
                EXPECT_EQ(8, key.bits) << "transparency map";
                EXPECT_EQ(256, key.width);
                EXPECT_EQ(256, key.height);
            }
            // Whole pictures: header, colour map and pixels.
            const std::size_t expect = 18 + (t.type == 1 ? 768 : 0) +
                                       static_cast<std::size_t>(t.width) * t.height * t.bits / 8;
            EXPECT_EQ(expect, bytes.size());
        }
    }
}

// Solids must be closed and turn every face outwards: with back faces culled and no depth
// buffer, a gap or a face turned the wrong way shows as a hole. Ground, sky, the aurora's
// curtain and the lamp's beam are open surfaces; they must still be consistently turned.
TEST(IntroScenes, SolidsAreClosedAndTurnedOutwards) {
    const std::set<std::string> open{"Sky",       "TrackBank",  "SnowSouth",
                                     "SnowNorth", "HillsSouth", "HillsNorth",
                                     "Snowfield", "AuroraVeil", "Beam"};
    for (const Scene3ds& s : {makeTrainScene(), makeCabinScene()})
        for (const Mesh& m : s.meshes) {
            SCOPED_TRACE(m.name);
            auto key = [&](std::uint16_t i) {
                const Vec3 p = m.vertices[i];
                return std::make_tuple(std::lround(p.x * 64), std::lround(p.y * 64),
                                       std::lround(p.z * 64));
            };
            std::map<std::pair<decltype(key(0)), decltype(key(0))>, int> edges;
            for (const Face& f : m.faces)
                for (auto [a, b] : {std::pair{f.a, f.b}, {f.b, f.c}, {f.c, f.a}})
                    ++edges[{key(a), key(b)}];
            int repeated = 0, unmatched = 0;
            for (const auto& [e, n] : edges) {
                if (n > 1) ++repeated;
                if (!edges.count({e.second, e.first})) ++unmatched;
            }
            // Several solids side by side may share an edge the same way round.
            const bool severalSolids = m.name == "TrackBank" || m.name.rfind("Firs", 0) == 0 ||
                                       m.name == "Drifts" || m.name == "Cabin" ||
                                       m.name == "Engine";
            if (!severalSolids) {
                EXPECT_EQ(0, repeated) << "faces turned against their neighbours";
            }
            if (!open.count(m.name)) {
                EXPECT_EQ(0, unmatched) << "edges without a face beyond";
            }
        }
}

// The tune's timeline is written for the scenes' lengths: a scene made longer must not run
// into the caption's hold or past the tune's moments unnoticed.
TEST(IntroScenes, LengthsAreTheOnesTheTimelineIsWrittenFor) {
    namespace tl = intro_timeline;
    const double train = TRAIN_FRAMES * FRAME_MS / 1000.0, cabin = CABIN_FRAMES * FRAME_MS / 1000.0;
    EXPECT_NEAR(tl::FIRST_SCENE_LENGTH, train, 1e-9);
    EXPECT_NEAR(tl::SECOND_SCENE_LENGTH, cabin, 1e-9);
    // The caption fades in over the train's last frame and must be whole before (6, 0).
    EXPECT_LT(tl::FIRST_SCENE.seconds() + tl::SCENE_LOAD + train + tl::CAPTION_FADE,
              tl::CAPTION_HOLD_END.seconds());
    // The cabin plays out before the tune ends.
    EXPECT_LT(tl::SECOND_SCENE.seconds() + tl::SCENE_LOAD + cabin, tl::TUNE_SECONDS);
}

TEST(IntroScenes, EveryBuildWritesTheSameBytes) {
    EXPECT_EQ(readFile(generated(TRAIN_SCENE)), write3ds(makeTrainScene()));
    EXPECT_EQ(readFile(generated(CABIN_SCENE)), write3ds(makeCabinScene()));
    for (const TextureFile& t : allTextures())
        EXPECT_EQ(readFile(generated(t.name)), t.bytes) << t.name;
}

} // namespace
