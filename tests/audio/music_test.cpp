#include "audio/music.h"

#include "audio/backend.h"

#include "audio/music_checks.h"
#include "platform/resources.h"
#include "platform/thread.h"
#include "tests/audio/modules.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt_version.h>
#include <set>
#include <thread>

namespace {

using namespace audiotest;

const void* resource(const char* name) {
    return platform::lockResource(platform::findResource(name, "RT_RCDATA"));
}

// Every test leaves the player released and no switch running.
class Music : public ::testing::Test {
  protected:
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    void TearDown() override {
        EXPECT_TRUE(pollUntil([] { return music_is_switching() == 0; }));
        music_free();
    }
};

// Frames in the disk driver's file from the first sound on.
std::size_t soundingFrames(const std::string& path) {
    auto out = readRawOutput(path);
    return out.size() / 2 - firstSoundFrame(out);
}

bool silent() {
    return music_level() == 0 && music_is_active() == 0;
}

TEST(MusicChecks, PositionHalvesAreSwappedSoOrderLeads) {
    EXPECT_EQ(audio::swapPositionHalves(0x00100002), 0x20010u); // order 2, row 16
    EXPECT_EQ(audio::swapPositionHalves(0xFFFFFFFF), 0xFFFFFFFFu);
    EXPECT_LT(audio::swapPositionHalves(63u << 16 | 1), audio::swapPositionHalves(0u << 16 | 2));
}

TEST(MusicChecksDeathTest, ALibopenmptTheBuildCannotUseEndsTheProcessQuietly) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto at = [](std::uint32_t major, std::uint32_t minor, std::uint32_t patch) {
        return audio::backendVersionFor(major << 24 | minor << 16 | patch);
    };
    // The one this build was made against, a later patch or minor: the back-end's version.
    EXPECT_EQ(at(OPENMPT_API_VERSION_MAJOR, OPENMPT_API_VERSION_MINOR, 0), audio::BACKEND_VERSION);
    EXPECT_EQ(at(OPENMPT_API_VERSION_MAJOR, OPENMPT_API_VERSION_MINOR + 1, 99),
              audio::BACKEND_VERSION);
    // An older minor, or another major: none, and the player leaves with the box's words.
    EXPECT_EQ(at(OPENMPT_API_VERSION_MAJOR + 1, 0, 0), 0u);
    if (OPENMPT_API_VERSION_MINOR > 0) {
        EXPECT_EQ(at(OPENMPT_API_VERSION_MAJOR, OPENMPT_API_VERSION_MINOR - 1, 99), 0u);
    }
    EXPECT_EXIT(audio::requireBackendVersion(at(OPENMPT_API_VERSION_MAJOR + 1, 0, 0)),
                ::testing::ExitedWithCode(0), "BASS version 0.6 was not loaded!");
    // The library this machine runs is one of the usable: the check passes.
    EXPECT_EQ(audio::backendVersion(), audio::BACKEND_VERSION);
    audio::requireBackendVersion(audio::backendVersion());
}

TEST_F(Music, FreeIsHarmlessBeforeInitAndTwiceAfter) {
    music_free();
    music_free();
    EXPECT_TRUE(silent());
    EXPECT_EQ(music_position(), 0xFFFFFFFFu);
    music_init(nullptr);
    music_play_memory(resource("HIGH-SCORE.MOD"));
    EXPECT_EQ(music_is_active(), 1);
    music_free();
    music_free();
    EXPECT_TRUE(silent());
    EXPECT_EQ(music_position(), 0xFFFFFFFFu);
    // A fade-out with nothing playing finishes at once.
    MusicFlag flag{1};
    ASSERT_TRUE(platform::startThread(music_fade_out_thread, &flag, 8000));
    EXPECT_TRUE(pollUntil([&] { return flag.load() == 0; }));
}

TEST_F(Music, PlayingShowsLevelsAndPositionsThatClimbRowByRow) {
    EXPECT_EQ(music_level(), 0u);
    music_init(nullptr);
    ASSERT_GT(embeddedModule("DALI.XM").size, 0u);
    music_play_memory(resource("DALI.XM"));
    EXPECT_EQ(music_is_active(), 1);
    std::uint32_t loudest = 0;
    std::set<std::uint32_t> positions;
    std::uint32_t previous = 0;
    ASSERT_TRUE(pollUntil([&] {
        std::uint32_t level = music_level();
        EXPECT_LE(level & 0xFFFF, 128u);
        EXPECT_LE(level >> 16, 128u);
        loudest = std::max(loudest, (level & 0xFFFF) + (level >> 16));
        std::uint32_t p = music_position();
        EXPECT_GE(p, previous); // order * 65536 + row grows while the module plays forward
        previous = p;
        positions.insert(p);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return positions.size() >= 6 && loudest > 0;
    }));
    // Each position is a row libopenmpt knows in this module.
    ModuleBytes m = embeddedModule("DALI.XM");
    for (std::uint32_t p : positions) EXPECT_GT(rowTime(m, p >> 16, p & 0xFFFF).length, 0.0);
    EXPECT_EQ(music_is_active(), 1);
    music_free();
    EXPECT_TRUE(silent());
}

// The fade as a listener hears it, read back from the disk driver's file: the module exactly
// as libopenmpt renders it, then a smooth slide, then silence within 1.5 s of the slide's start.
TEST_F(Music, FadeOutThreadSlidesToSilenceAndClearsItsFlag) {
    ModuleBytes m = embeddedModule("DALI.XM");
    ASSERT_GT(m.size, 0u);
    DiskOutput disk(scratchFile("fade"));
    music_init(nullptr);
    music_play_memory(resource("DALI.XM"));
    ASSERT_TRUE(pollUntil([&] { return soundingFrames(disk.path()) > RATE / 2; }));
    MusicFlag flag{1};
    ASSERT_TRUE(platform::startThread(music_fade_out_thread, &flag, 8000));
    ASSERT_TRUE(pollUntil([&] { return flag.load() == 0; }));
    EXPECT_TRUE(silent());

    auto out = readRawOutput(disk.path());
    auto want = referenceRender(m, out.size() / 2, true);
    std::size_t start = firstSoundFrame(out) - firstSoundFrame(want);
    ASSERT_LT(start, out.size() / 2);
    std::size_t n = out.size() / 2 - start;
    std::size_t slide = 0;
    while (slide < n && out[2 * (start + slide)] == want[2 * slide] &&
           out[2 * (start + slide) + 1] == want[2 * slide + 1])
        ++slide;
    EXPECT_GT(slide, RATE / 2) << "the module did not play as rendered before the fade";
    // Quiet samples hide the first steps of a slide; a loud one that kept its level shows the
    // slide had at most just begun there.
    std::size_t begun = slide;
    while (begun > 0 && std::abs(want[2 * (begun - 1)]) < 1024 &&
           std::abs(want[2 * (begun - 1) + 1]) < 1024)
        --begun;
    std::size_t end = lastSoundFrame(out) - start;
    ASSERT_LT(end + 1, n) << "the file ends before the fade does";
    EXPECT_LE(end - begun, RATE * 3 / 2) << "the slide took longer than 1.5 s";
    EXPECT_GE(end - slide, RATE / 2) << "the slide was cut short";
    // A steady fall: the gain a loud sample shows never rises, and falls no faster than a
    // one-second slide does (no step, no click). Each reading is off by up to one step of
    // rounding in its sample, and the slide's start is known to some 40 frames.
    double gain = 1.0, error = 0.0;
    std::size_t measured = begun;
    for (std::size_t f = slide; f <= end; ++f)
        for (int c = 0; c < 2; ++c) {
            int w = want[2 * f + c];
            if (std::abs(w) < 2048) continue;
            double g = double(out[2 * (start + f) + c]) / w;
            double e = 1.0 / std::abs(w);
            ASSERT_LE(g, gain + e + error) << "frame " << f;
            ASSERT_GE(g, gain - double(f - measured + 64) / RATE - e - error)
                << "a step in the slide at frame " << f;
            gain = g;
            error = e;
            measured = f;
        }
}

// A switch asked for while one runs is dropped: the earlier choice plays. The disk driver's
// file starts afresh with each opening of the output, so it holds only the tune that won.
TEST_F(Music, SwitchRequestedDuringASwitchIsDropped) {
    ModuleBytes xm = embeddedModule("DALI.XM");
    ModuleBytes mod = embeddedModule("HIGH-SCORE.MOD");
    ASSERT_GT(xm.size * mod.size, 0u);
    DiskOutput disk(scratchFile("switch"));
    music_start_switch(resource("HIGH-SCORE.MOD")); // the first, with nothing to fade
    ASSERT_TRUE(pollUntil([] { return music_is_switching() == 0 && music_is_active() == 1; }));
    music_start_switch(resource("DALI.XM"));
    EXPECT_EQ(music_is_switching(), 1);
    music_start_switch(resource("HIGH-SCORE.MOD")); // dropped
    ASSERT_TRUE(pollUntil([] { return music_is_switching() == 0; }));
    ASSERT_TRUE(pollUntil([&] { return soundingFrames(disk.path()) > RATE / 2; }));
    music_free();

    auto out = readRawOutput(disk.path());
    for (const ModuleBytes* m : {&xm, &mod}) {
        auto want = referenceRender(*m, RATE / 4, true);
        // Compare from the first sound of each: the recording may start sounding earlier or
        // later than the reference, so neither offset can be taken from the other.
        const std::size_t heard = firstSoundFrame(out), rendered = firstSoundFrame(want);
        const std::size_t frames = want.size() / 2 - std::min(rendered, want.size() / 2);
        bool same = frames > 0 && heard + frames <= out.size() / 2 &&
                    std::equal(want.begin() + 2 * rendered, want.end(), out.begin() + 2 * heard);
        EXPECT_EQ(same, m == &xm) << m->name;
    }
}

TEST_F(Music, ModuleThatFailsToLoadIsReportedAndLeavesSilence) {
    DiskOutput disk(scratchFile("broken"));
    music_init(nullptr);
    ::testing::internal::CaptureStderr();
    music_play_memory(resource("BROKEN.XM"));
    std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("Fatal music player error!"), std::string::npos) << report;
    EXPECT_NE(report.find("Error(6): Can't play the file\n"), std::string::npos) << report;
    EXPECT_TRUE(silent());
    EXPECT_EQ(music_position(), 0xFFFFFFFFu);
    auto out = readRawOutput(disk.path());
    EXPECT_EQ(lastSoundFrame(out), out.size() / 2);

    // A pointer that is not the start of a resource has no known length: refused the same way.
    music_init(nullptr);
    static const unsigned char notAResource[64] = {};
    ::testing::internal::CaptureStderr();
    music_play_memory(notAResource);
    report = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("Error(5): Can't play the file\n"), std::string::npos) << report;
    EXPECT_TRUE(silent());

    // The next good tune plays again.
    music_init(nullptr);
    music_play_memory(resource("HIGH-SCORE.MOD"));
    EXPECT_EQ(music_is_active(), 1);
}

TEST_F(Music, DeviceThatWillNotOpenIsReportedAndThePlayerGoesOnSilently) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    ::testing::internal::CaptureStderr();
    music_init(nullptr);
    music_play_memory(resource("HIGH-SCORE.MOD"));
    std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(report.find("Error(4): Can't initialize device!\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Error(1): Can't play the file\n"), std::string::npos) << report;
    EXPECT_TRUE(silent());
    EXPECT_EQ(music_position(), 0xFFFFFFFFu);
}

// A switch and a fade-out running at once while this thread polls every query: nothing may
// race (run under ThreadSanitizer) and both threads finish.
TEST_F(Music, SwitchAndFadeOutAtOnceWhileTheMainThreadPolls) {
    for (int round = 0; round < 3; ++round) {
        music_start_switch(resource("DALI.XM"));
        ASSERT_TRUE(pollUntil([] { return music_is_switching() == 0; }));
        MusicFlag flag{1};
        music_start_switch(resource("HIGH-SCORE.MOD"));
        ASSERT_TRUE(platform::startThread(music_fade_out_thread, &flag, 8000));
        ASSERT_TRUE(pollUntil([&] {
            std::uint32_t level = music_level();
            EXPECT_LE(level & 0xFFFF, 128u);
            EXPECT_LE(level >> 16, 128u);
            (void)music_is_active();
            (void)music_position();
            return music_is_switching() == 0 && flag.load() == 0;
        }));
    }
}

} // namespace
