// PlayScene and the timeline with the engine itself preparing and drawing the scenes; the music,
// the key test and the message log stay the fixture's fakes.
#include "tests/intro/intro_fixture.h"

#include <gmock/gmock.h>

#include "engine/frame.h"
#include "engine/lights.h"
#include "engine/log.h"
#include "tests/engine/frame_scene3ds.h"

namespace introtest {
namespace {

constexpr std::uint32_t BACK = 0x00336699u;

// The light table's count at every frame drawn.
std::vector<int> lightCounts;

void renderCountingLights(scene::Scene* s, scene::Camera* camera) {
    lightCounts.push_back(engine::lightTable.count);
    engine::RenderScene(s, camera);
}

class EngineScene : public IntroFixture {
  protected:
    void SetUp() override {
        IntroFixture::SetUp();
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        const intro::IntroServices& fake = fakeServices();
        services = intro::productionServices();
        services.musicStart = fake.musicStart;
        services.musicPosition = fake.musicPosition;
        services.startMusicFadeOut = fake.startMusicFadeOut;
        services.musicFree = fake.musicFree;
        services.keyWaiting = fake.keyWaiting;
        services.logMessage = fake.logMessage;
        services.renderScene = renderCountingLights;
        intro::introState.services = &services;
        lightCounts.clear();
    }
    void TearDown() override {
        engine::ClearLights();
        IntroFixture::TearDown();
    }
    // Plays the scene on frames filled with BACK; the page shown last.
    Picture play(const char* file) {
        fillSurfaces(BACK, BACK);
        intro::PlayScene(file, engine::SecondSceneArea(engine::engineSettings));
        const std::uint32_t* shown = ptc_console_shown(intro::introState.console);
        return Picture(shown, shown + W * H);
    }
    intro::IntroServices services{};
};

struct Drawn {
    long lit = 0, black = 0;
};

// The sphere's pixels well inside the presented area: lit grey, or black.
Drawn drawn(const Picture& p) {
    Drawn d;
    for (int y = 20; y < H - 20; ++y)
        for (int x = 20; x < W - 20; ++x) {
            const std::uint32_t c = p[y * W + x];
            d.lit += c != BACK && c != 0;
            d.black += c == 0;
        }
    return d;
}

// A gouraud sphere without texture under one light, played twice: lit, then with the light
// report off. The second has an empty table and draws every pixel of the sphere black.
TEST_F(EngineScene, ASceneThatDoesNotCollectLightsDrawsWithNoneLeftFromTheSceneBefore) {
    std::vector<datatest::Entry> entries = defaultEntries();
    entries[3].data = entries[4].data = frame_test::spheresScene(1, 16, 9, 2, {{"Grey", 2, ""}});
    useArchive(entries);
    engine::engineSettings = engine::SecondScenePreset();
    openDisplay();

    const Drawn lit = drawn(play("train.3ds"));
    EXPECT_GT(lit.lit, 50);
    engine::engineSettings.reportNoLights = 0;
    const Drawn dark = drawn(play("hut2.3ds"));
    EXPECT_EQ(0, dark.lit);
    EXPECT_EQ(lit.lit + lit.black, dark.black); // the same frame, all of it unlit
    EXPECT_EQ((std::vector<int>{1, 1, 0, 0}), lightCounts);
    EXPECT_EQ(1.0f, engine::lightTable.lightAverage);
}

// Through the whole timeline: the allocation's error, then the end of the process with status 1
// at the preparation. In a sanitizer build the child's exit runs the leak check, which reports
// on standard error (and keeps the status).
TEST_F(EngineScene, ARefusedFaceSortTableEndsTheIntroAtThePreparationWithStatus1) {
    EXPECT_EXIT(
        {
            engine::RefuseAllocationsTagged("face_sort_table[]");
            intro::RunIntro(nullptr);
        },
        ::testing::ExitedWithCode(1),
        ::testing::AllOf(
            ::testing::ContainsRegex("\n memory callocation error: face_sort_table\\[\\], file: "
                                     "src\\\\hrkemp2, line: 71.*textures loading failed!"),
            ::testing::Not(::testing::HasSubstr("LeakSanitizer"))));
}

} // namespace
} // namespace introtest
