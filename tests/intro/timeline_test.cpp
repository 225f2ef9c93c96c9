// The whole timeline and the scene loop on the fake clock and the scripted music.
#include "tests/intro/intro_fixture.h"

#include "scene/scene.h"

#include <filesystem>
#include <unistd.h>

namespace introtest {
namespace {

class TimelineTest : public IntroFixture {
  protected:
    void SetUp() override {
        IntroFixture::SetUp();
        GTEST_FLAG_SET(death_test_style, "threadsafe");
    }
};

TEST_F(TimelineTest, AWholeRunPlaysBothScenesOnTheirPositionsAndTearsDown) {
    useArchive(defaultEntries(5, 4));
    EXPECT_EQ(0, intro::RunIntro(nullptr));
    // Frames 0..4 of the first scene, then 0..3 of the second, no frame skipped.
    ASSERT_EQ((std::vector<float>{0, 1, 2, 3, 4, 0, 1, 2, 3}), script.frames);
    for (int i = 0; i < 5; ++i) EXPECT_GE(script.positionsAtRender[i], intro::musicPos(1, 55));
    for (int i = 5; i < 9; ++i) EXPECT_GE(script.positionsAtRender[i], intro::musicPos(7, 55));
    // The trail only in the first scene (mode 1002); the second has none.
    EXPECT_EQ(5, script.trails);
    EXPECT_EQ(2, script.sortTablesAllocated);
    EXPECT_EQ(2, script.sortTablesFreed);
    EXPECT_EQ(2, script.texturesReleased);
    EXPECT_EQ(1, script.fadeOutsStarted);
    EXPECT_EQ(1, script.musicFrees);
    EXPECT_EQ(0, intro::introState.introAborted);
    EXPECT_EQ(nullptr, intro::introState.console);
    EXPECT_EQ(nullptr, intro::introState.frameSurface);
    EXPECT_EQ(engine::SecondScenePreset().clipMinX, engine::engineSettings.clipMinX);
    EXPECT_TRUE(script.logs.empty());
}

TEST_F(TimelineTest, AKeyInTheFirstSceneSkipsToTheFinalFadeAndTearDown) {
    script.keyAtRender = 2;
    EXPECT_EQ(0, intro::RunIntro(nullptr));
    EXPECT_EQ(2u, script.frames.size()); // ended at once: no further frame
    EXPECT_EQ(1, script.sortTablesAllocated);
    EXPECT_EQ(1, script.sortTablesFreed);
    EXPECT_EQ(1, script.texturesReleased);
    EXPECT_EQ(1, intro::introState.introAborted);
    // Only the final fade was shown after the key, then the music faded and all was released.
    EXPECT_EQ(script.updatesAtKey + 36, script.updatesAtFadeOut);
    EXPECT_EQ(1, script.fadeOutsStarted);
    EXPECT_EQ(1, script.musicFrees);
    EXPECT_EQ(nullptr, intro::introState.console);
}

TEST_F(TimelineTest, WithoutMusicTheTimelineNeverWaits) {
    script.musicMissing = true;
    const std::uint32_t t = fakeClock.t;
    EXPECT_EQ(0, intro::RunIntro(nullptr));
    EXPECT_EQ(9u, script.frames.size());
    // Each paced frame and scene frame still takes its time; no wait for a position at all.
    EXPECT_LT(fakeClock.t - t, 60000u);
}

TEST_F(TimelineTest, SceneFramesAre30MsApartAt33FramesASecond) {
    EXPECT_EQ(30, intro::FrameTime(33));
    EXPECT_EQ(0, intro::FrameTime(0));
    openDisplay();
    script.deadlines.clear();
    intro::PlayScene("train.3ds", engine::FirstSceneArea(engine::engineSettings));
    ASSERT_EQ(5u, script.deadlines.size());
    for (std::size_t i = 1; i < script.deadlines.size(); ++i)
        EXPECT_EQ(30u, script.deadlines[i] - script.deadlines[i - 1]);
}

TEST_F(TimelineTest, ASceneWithoutFramesShowsNothingAndIsFreed) {
    std::vector<datatest::Entry> entries = defaultEntries();
    entries[3].data = sceneFile("Cam", 3, 3);
    useArchive(entries);
    openDisplay();
    const std::uint64_t before = ptc_console_updates(intro::introState.console);
    intro::PlayScene("train.3ds", engine::FirstSceneArea(engine::engineSettings));
    EXPECT_TRUE(script.frames.empty());
    EXPECT_EQ(before, ptc_console_updates(intro::introState.console));
    EXPECT_EQ(1, script.sortTablesFreed);
    EXPECT_EQ(1, script.texturesReleased);
}

TEST_F(TimelineTest, TheSecondSceneShowsInsideItsFrameOnly) {
    engine::engineSettings = engine::SecondScenePreset();
    openDisplay();
    fillSurfaces(0x00111111u, 0x00111111u);
    intro::PlayScene("hut2.3ds", engine::SecondSceneArea(engine::engineSettings));
    ASSERT_EQ(4u, script.frames.size());
    const std::uint32_t* shown = ptc_console_shown(intro::introState.console);
    EXPECT_EQ(0x00203040u + 3, shown[100 * W + 100]);
    EXPECT_EQ(0x00203040u + 3, shown[10 * W + 10]);
    EXPECT_EQ(0u, shown[9 * W + 100]); // outside the presented area: never drawn on the page
    EXPECT_EQ(0u, shown[100 * W + 310]);
    EXPECT_EQ(0, script.trails);
}

TEST_F(TimelineTest, NoLightsIsNotedAndTheScenePlays) {
    script.lights = 0;
    openDisplay();
    intro::PlayScene("train.3ds", engine::FirstSceneArea(engine::engineSettings));
    ASSERT_EQ(1u, script.logs.size());
    EXPECT_EQ("\n note! no lights in scene!", script.logs[0]);
    EXPECT_EQ(5u, script.frames.size());
}

TEST_F(TimelineTest, CameraLookupByCompatibility) {
    std::vector<datatest::Entry> entries = defaultEntries();
    entries[3].data = sceneFile("Camera01", 0, 2);
    useArchive(entries);
    openDisplay();
    // Without compatibility "Camera01" is found...
    engine::engineSettings.maxCompat = 0;
    intro::PlayScene("train.3ds", engine::FirstSceneArea(engine::engineSettings));
    EXPECT_EQ(2u, script.frames.size());
    // ... and "Cam" when there is no "Camera01".
    engine::engineSettings.maxCompat = 0;
    intro::PlayScene("hut2.3ds", engine::FirstSceneArea(engine::engineSettings));
    EXPECT_EQ(6u, script.frames.size());
    // With it only "Cam" is looked up: a scene with "Camera01" alone ends the process.
    engine::engineSettings.maxCompat = 1;
    EXPECT_EXIT(intro::PlayScene("train.3ds", engine::FirstSceneArea(engine::engineSettings)),
                ::testing::ExitedWithCode(1), "No camera object found\\('Camera01' or 'Cam'\\)!");
}

// Runs PlayScene in a child whose working directory and temporary folder are empty scratch
// folders; the child must end with status 1 having written nothing into either.
void expectFatalWithoutFiles(const std::string& work, const std::string& tmp, const char* file,
                             const char* log) {
    EXPECT_EXIT(
        {
            if (chdir(work.c_str()) != 0) std::exit(3);
            setenv("TMPDIR", tmp.c_str(), 1);
            intro::PlayScene(file, engine::FirstSceneArea(engine::engineSettings));
        },
        ::testing::ExitedWithCode(1), log);
    EXPECT_TRUE(std::filesystem::is_empty(work));
    EXPECT_TRUE(std::filesystem::is_empty(tmp));
}

TEST_F(TimelineTest, FatalSceneErrorsExitWithStatus1AndLeaveNoFile) {
    std::vector<datatest::Entry> entries = defaultEntries();
    entries[3].data = datatest::bytesOf("not a scene at all, just words");
    useArchive(entries);
    openDisplay();
    const std::string work = dir.path("work"), tmp = dir.path("tmp");
    std::filesystem::create_directory(work);
    std::filesystem::create_directory(tmp);
    expectFatalWithoutFiles(work, tmp, "train.3ds", "error\\(after\\):");
    expectFatalWithoutFiles(work, tmp, "nothere.3ds", "error\\(after\\):");
    script.prepareResult = 0;
    expectFatalWithoutFiles(work, tmp, "hut2.3ds", "textures loading failed!");
}

TEST_F(TimelineTest, NoDataFileEndsTheProcessWithItsMessage) {
    DataArchive missing("/nonexistent/vrk.bin");
    intro::introState.archive = &missing;
    EXPECT_EXIT(intro::RunIntro(nullptr), ::testing::ExitedWithCode(1),
                "I need file 'VRK.BIN' to run properly!");
}

} // namespace
} // namespace introtest
