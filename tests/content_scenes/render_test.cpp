// The real scenes through the engine with the intro's settings: preparing them logs no error,
// no missing lights and no missing or resized texture; played over all their frames, their
// visible faces reach every one of the seven drawers, and the train's lights show flares.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "content/scenes/lengths.h"
#include "data/archive.h"
#include "engine/frame.h"
#include "engine/lights.h"
#include "engine/log.h"
#include "engine/pictures.h"
#include "engine/prepare.h"
#include "engine/settings.h"
#include "engine/sort_table.h"
#include "scene/scene.h"
#include "tests/content_scenes/loaded.h"

namespace {

std::string messages;
void collect(const char* text) {
    messages += text;
}

std::map<std::string, long> calls;
void gouraud(engine::ScreenVertex*) {
    ++calls["Gouraud"];
}
void shadedTexture(engine::ShadedVertex*, const std::uint8_t*) {
    ++calls["ShadedTexture"];
}
void environment(engine::ScreenVertex*, const std::uint32_t*, int, int) {
    ++calls["Environment"];
}
void textured(engine::ScreenVertex*, const std::uint8_t*) {
    ++calls["Textured"];
}
void texturedHalf(engine::ScreenVertex*, const std::uint8_t*) {
    ++calls["TexturedHalf"];
}
void texturedBlend(engine::ScreenVertex*, const std::uint8_t*, std::uint32_t, std::uint32_t) {
    ++calls["TexturedBlend"];
}
void texturedAlpha(engine::ScreenVertex*, const std::uint8_t*) {
    ++calls["TexturedAlpha"];
}
void blitFlare(const std::uint32_t*, int, int, int, int, std::uint32_t*, int, int) {
    ++calls["Flare"];
}

class IntroScenesRendered : public ::testing::Test {
  protected:
    DataArchive archive{VRK_DATA_FILE};
    engine::FrameDrawers saved = engine::frameDrawers;
    scene::Scene* s = nullptr;
    scene::Camera* camera = nullptr;

    void SetUp() override {
        ASSERT_TRUE(archive.isOpen()) << VRK_DATA_FILE;
        engine::SetPictureArchive(&archive);
        messages.clear();
        calls.clear();
        engine::SetMessageSink(collect);
    }
    void TearDown() override {
        engine::SetMessageSink(nullptr);
        engine::frameDrawers = saved;
        if (s) {
            engine::ReleaseSceneTextures(s);
            engine::FreeFaceSortTable(s);
            scene::scene_release(s);
        }
        engine::SetPictureArchive(nullptr);
    }

    // The intro's steps from loading to preparation; returns what went to the error stream.
    std::string prepare(const char* name, const engine::EngineSettings& preset) {
        engine::engineSettings = preset;
        const auto bytes = scenes_test::readFile(scenes_test::generated(name));
        testing::internal::CaptureStderr();
        scene::scene_init(engine::LibraryOptions(preset));
        scene::scene_alloc(&s);
        EXPECT_EQ(0, scene::scene_load_world_memory(bytes.data(), bytes.size(), s));
        EXPECT_EQ(0, scene::scene_load_motion_memory(bytes.data(), bytes.size(), s));
        scene::scene_set_active(s);
        EXPECT_EQ(1, engine::AllocFaceSortTable(s));
        engine::OptimizeScene(s, 1);
        scene::WorldNode* node = nullptr;
        scene::scene_find_by_name("Cam", &node);
        EXPECT_TRUE(node && node->kind == scene::WORLD_CAMERA);
        camera = node ? static_cast<scene::Camera*>(node->record) : nullptr;
        if (camera) {
            camera->sizeX = 320;
            camera->sizeY = 200;
            camera->aspect = 0.75f;
        }
        engine::lightTable = {};
        engine::lightTable.lightAverage = 1.0f;
        if (engine::CollectLights(s) == 0) engine::LogMessage("\n note! no lights in scene!");
        EXPECT_EQ(1, engine::PrepareScene(s));
        scene::scene_set_active_camera(camera);
        return testing::internal::GetCapturedStderr();
    }

    void playAll() {
        engine::frameDrawers = {gouraud,      shadedTexture, environment,   textured,
                                texturedHalf, texturedBlend, texturedAlpha, blitFlare};
        std::vector<std::uint32_t> frame(320 * 200), previous(320 * 200);
        float start = 0, end = 0;
        ASSERT_EQ(0, scene::scene_get_frames(&start, &end));
        for (float f = start; f < end; f += 1) {
            ASSERT_EQ(0, scene::scene_set_frame(f));
            scene::scene_update();
            engine::ProjectScene(s, camera, 320, 200);
            engine::SetFrameBuffers(frame.data(), 320 * 4, previous.data());
            engine::RenderScene(s, camera);
        }
    }
};

void expectCleanLog(const std::string& errors) {
    EXPECT_EQ("", errors) << "the error stream";
    for (const char* bad :
         {"rror", "no lights", "ouldn't", "Autoresizing", "dull", "Fatal", "should have", "bad "})
        EXPECT_EQ(std::string::npos, messages.find(bad)) << bad << " in:\n" << messages;
    EXPECT_NE(std::string::npos, messages.find("Loading texture file")) << messages;
}

TEST_F(IntroScenesRendered, TrainPreparesCleanlyAndShowsFlares) {
    expectCleanLog(prepare(scenes::TRAIN_SCENE, engine::FirstScenePreset()));
    EXPECT_NE(std::string::npos, messages.find("lens3.tga")) << messages;
    playAll();
    EXPECT_GT(calls["Flare"], scenes::TRAIN_FRAMES / 2) << "the headlamp's flare travels along";
}

TEST_F(IntroScenesRendered, CabinPreparesCleanly) {
    expectCleanLog(prepare(scenes::CABIN_SCENE, engine::SecondScenePreset()));
    playAll();
    EXPECT_EQ(0, calls["Flare"]);
}

// Both scenes between them, over all their frames, draw with all seven drawers.
TEST_F(IntroScenesRendered, BetweenThemEveryDrawerIsUsed) {
    prepare(scenes::TRAIN_SCENE, engine::FirstScenePreset());
    playAll();
    const auto train = calls;
    engine::ReleaseSceneTextures(s);
    engine::FreeFaceSortTable(s);
    scene::scene_release(s);
    s = nullptr;
    calls.clear();
    prepare(scenes::CABIN_SCENE, engine::SecondScenePreset());
    playAll();
    for (const char* d : {"Gouraud", "ShadedTexture", "Environment", "Textured", "TexturedHalf",
                          "TexturedBlend", "TexturedAlpha"}) {
        const long t = train.count(d) ? train.at(d) : 0;
        std::printf("%-14s train %8ld cabin %8ld faces drawn over all frames\n", d, t, calls[d]);
        EXPECT_GT(t + calls[d], 0) << d;
    }
    // Each scene on its own already reaches all seven.
    for (const char* d : {"Gouraud", "ShadedTexture", "Environment", "Textured", "TexturedHalf",
                          "TexturedBlend", "TexturedAlpha"}) {
        EXPECT_GT(train.count(d) ? train.at(d) : 0, 0) << "train " << d;
        EXPECT_GT(calls[d], 0) << "cabin " << d;
    }
}

} // namespace
