// The engine's message log, error log and accounted allocation.
#include "engine/log.h"

#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using engine::EngineCalloc;
using engine::EngineFree;

TEST(EngineLog, MessagesLeaveNoTraceOnAnyStreamErrorsReachStandardError) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    engine::LogMessage("\nLoading texture file '%s'(%s), size: %dx%d...ok!", "a", "b", 1, 2);
    engine::LogMessage("\n note! no lights in scene!");
    const std::string err0 = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(err0, "");

    ::testing::internal::CaptureStderr();
    engine::LogError("\nCouldn't load flare-texture file: '%s'!", "Flares\\lens3.tga");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "\nCouldn't load flare-texture file: 'Flares\\lens3.tga'!");
}

// The switch is read once, so it is tried in a fresh process of this program.
TEST(EngineLogDeathTest, TheEnvironmentSwitchRoutesMessagesToStandardError) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("VRK_ENGINE_LOG", "1", 1);
    EXPECT_EXIT(
        {
            engine::LogMessage("\n scene ambient color: R=%d G=%d B=%d \n", 127, 127, 127);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "scene ambient color: R=127 G=127 B=127");
    unsetenv("VRK_ENGINE_LOG");
}

TEST(EngineCalloc, GivesZeroedBlocksAndRefusesWithTheTextWhenItCannot) {
    auto* block = static_cast<std::uint8_t*>(EngineCalloc(1000, 3, "src\\hrkemp1", 1, "t"));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 3000; ++i) ASSERT_EQ(block[i], 0);
    EngineFree(block, "src\\hrkemp2", 45);
    EngineFree(nullptr, "src\\hrkemp2", 45); // nothing happens

    // A count x size that wraps is refused like a failed allocation, not shrunk.
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(EngineCalloc(SIZE_MAX / 2, 4, "src\\hrkemp2", 71, "face_sort_table[]"), nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "\n memory callocation error: face_sort_table[], file: src\\hrkemp2, line: 71");

    engine::RefuseAllocationsTagged("bigbuffer for textures");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(EngineCalloc(4, 262144, engine::PREPARE_SOURCE, 290, "bigbuffer for textures"),
              nullptr);
    void* other = EngineCalloc(4, 4, engine::PREPARE_SOURCE, 722, "another");
    EXPECT_NE(other, nullptr);
    EngineFree(other, engine::RELEASE_SOURCE, 46);
    engine::RefuseAllocationsTagged(nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "\n memory callocation error: bigbuffer for textures, file: src\\hrkemp1, line: 290");
}

} // namespace
