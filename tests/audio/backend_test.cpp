#include "audio/backend.h"
#include "audio/block_log.h"
#include "tests/audio/modules.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace {

using namespace audiotest;

class Backend : public ::testing::Test {
  protected:
    void TearDown() override { audio::deviceFree(); }
};

TEST_F(Backend, RefusesWhatItCannotDoAndSaysWhy) {
    audio::deviceFree(); // nothing open: harmless
    audio::deviceFree();
    EXPECT_FALSE(audio::isSliding());
    EXPECT_EQ(audio::musicLoad("x", 1, 0), 0u);
    EXPECT_EQ(audio::errorCode(), audio::AUDIO_ERR_NOT_INIT);
    EXPECT_FALSE(audio::slideVolume(0, 100));
    EXPECT_FALSE(audio::deviceInit(2, 44100, 0, nullptr));
    EXPECT_EQ(audio::errorCode(), audio::AUDIO_ERR_DEVICE);
    EXPECT_FALSE(audio::deviceInit(-1, 0, 0, nullptr));

    ASSERT_TRUE(audio::deviceInit(-1, 44100, 0, nullptr));
    EXPECT_EQ(audio::errorCode(), audio::AUDIO_OK);
    EXPECT_FALSE(audio::deviceInit(-1, 44100, 0, nullptr));
    EXPECT_EQ(audio::errorCode(), audio::AUDIO_ERR_ALREADY);
    ASSERT_TRUE(audio::deviceStart());

    EXPECT_EQ(audio::musicLoad(nullptr, 100, 0), 0u);
    EXPECT_EQ(audio::errorCode(), audio::AUDIO_ERR_NO_DATA);
    ModuleBytes broken = embeddedModule("BROKEN.XM");
    EXPECT_EQ(audio::musicLoad(broken.data, broken.size, audio::LOAD_LOOP), 0u);
    EXPECT_EQ(audio::errorCode(), audio::AUDIO_ERR_FORMAT);
    // A module cut short in its header is no module either.
    ModuleBytes xm = embeddedModule("DALI.XM");
    EXPECT_EQ(audio::musicLoad(xm.data, 40, audio::LOAD_LOOP), 0u);
    EXPECT_FALSE(audio::musicPlay(12345));
    EXPECT_EQ(audio::errorCode(), audio::AUDIO_ERR_HANDLE);
    EXPECT_STRNE(audio::errorText(audio::AUDIO_ERR_HANDLE),
                 audio::errorText(audio::AUDIO_ERR_FORMAT));

    // Queries about music that is not loaded answer "nothing".
    EXPECT_EQ(audio::channelLevel(12345), 0u);
    EXPECT_FALSE(audio::channelIsActive(12345));
    EXPECT_EQ(audio::channelPosition(12345), 0xFFFFFFFFu);
    EXPECT_EQ(audio::channelPosition(0), 0xFFFFFFFFu);

    audio::MusicHandle h = audio::musicLoad(xm.data, xm.size, audio::LOAD_LOOP);
    ASSERT_NE(h, 0u);
    EXPECT_TRUE(audio::musicPlay(h));
    EXPECT_TRUE(audio::channelIsActive(h));
    // A second load replaces the first; the old handle is dead.
    audio::MusicHandle h2 = audio::musicLoad(xm.data, xm.size, audio::LOAD_LOOP);
    ASSERT_NE(h2, 0u);
    EXPECT_NE(h2, h);
    EXPECT_FALSE(audio::channelIsActive(h));
    EXPECT_FALSE(audio::channelIsActive(h2)); // loaded, not yet playing
    EXPECT_EQ(audio::channelPosition(h), 0xFFFFFFFFu);
    EXPECT_EQ(audio::channelPosition(h2), 0u);

    audio::deviceFree();
    EXPECT_FALSE(audio::channelIsActive(h2));
    EXPECT_EQ(audio::channelPosition(h2), 0xFFFFFFFFu);
    EXPECT_FALSE(audio::musicPlay(h2));
    EXPECT_EQ(audio::errorCode(), audio::AUDIO_ERR_NOT_INIT);
    audio::deviceFree();
}

TEST_F(Backend, NamedDriverThatDoesNotExistFailsInit) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_FALSE(audio::deviceInit(-1, 44100, 0, nullptr));
    EXPECT_EQ(audio::errorCode(), audio::AUDIO_ERR_DRIVER);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_TRUE(audio::deviceInit(-1, 44100, 0, nullptr));
}

// Without a driver named, a machine with no sound card still gets an output that keeps time
// (the intro's timeline depends on it), twice in a row.
TEST_F(Backend, UnnamedDriverAlwaysGivesAnOutput) {
    unsetenv("SDL_AUDIODRIVER");
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(audio::deviceInit(-1, 44100, 0, nullptr)) << audio::errorText(audio::errorCode());
        EXPECT_TRUE(audio::deviceStart());
        audio::deviceFree();
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

// A device that stops taking sound (here: the disk driver pausing 4 s after each buffer) would
// never let a slide be heard to its end; the slide still ends, soon after its time.
TEST_F(Backend, SlideOnAStalledDeviceStillEnds) {
    DiskOutput disk(scratchFile("stall"), 4000);
    ASSERT_TRUE(audio::deviceInit(-1, RATE, 0, nullptr));
    ASSERT_TRUE(audio::deviceStart());
    ASSERT_TRUE(audio::slideVolume(0, 200));
    EXPECT_TRUE(audio::isSliding());
    // Without the give-up the slide's 200 ms would take some 9 buffers, 36 s of this device.
    EXPECT_TRUE(pollUntil([] { return !audio::isSliding(); }, 20));
}

class BackendModule : public Backend, public ::testing::WithParamInterface<const char*> {};

// The position heard now, checked against libopenmpt's own timeline of the same module: a row
// that is reported must start no later than one row after the frames heard, and end no earlier
// than one row before them.
TEST_P(BackendModule, PositionFollowsLibopenmptTimelineWithinARow) {
    ModuleBytes m = embeddedModule(GetParam());
    ASSERT_GT(m.size, 0u);
    ASSERT_TRUE(audio::deviceInit(-1, RATE, 0, nullptr));
    ASSERT_TRUE(audio::deviceStart());
    audio::MusicHandle h = audio::musicLoad(m.data, m.size, audio::LOAD_LOOP | audio::LOAD_RAMP);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(audio::channelPosition(h), 0u);
    ASSERT_TRUE(audio::musicPlay(h));

    std::map<std::uint32_t, RowTime> rows;
    std::uint32_t previous = 0;
    int checked = 0;
    bool heardSome = pollUntil([&] {
        double h0 = double(audio::channelHeardFrames(h)) / RATE;
        std::uint32_t p = audio::channelPosition(h);
        double h1 = double(audio::channelHeardFrames(h)) / RATE;
        EXPECT_NE(p, 0xFFFFFFFFu);
        int order = p & 0xFFFF, row = p >> 16;
        if (!rows.count(p)) rows[p] = rowTime(m, order, row);
        const RowTime& t = rows[p];
        EXPECT_LE(t.start - t.length, h1 + 1e-3) << "order " << order << " row " << row;
        EXPECT_GE(t.start + 2 * t.length, h0 - 1e-3) << "order " << order << " row " << row;
        // In the first pass the module only moves forward.
        EXPECT_GE((p & 0xFFFF) << 16 | p >> 16, (previous & 0xFFFF) << 16 | previous >> 16);
        previous = p;
        ++checked;
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
        return h0 > 3.0;
    });
    EXPECT_TRUE(heardSome);
    EXPECT_GE(rows.size(), 10u); // it moved through many rows, not one
    EXPECT_GE(checked, 10);
}

// With the disk driver running flat out, minutes of music pass in moments: the module goes on
// past its end, and every frame written is libopenmpt's own rendering of the looping module.
TEST_P(BackendModule, LoopsPastItsEndAndTheOutputIsTheModule) {
    ModuleBytes m = embeddedModule(GetParam());
    ASSERT_GT(m.size, 0u);
    const double seconds = moduleSeconds(m);
    ASSERT_GT(seconds, 10.0);
    DiskOutput disk(scratchFile("loop"), 0);
    ASSERT_TRUE(audio::deviceInit(-1, RATE, 0, nullptr));
    ASSERT_TRUE(audio::deviceStart());
    audio::MusicHandle h = audio::musicLoad(m.data, m.size, audio::LOAD_LOOP | audio::LOAD_RAMP);
    ASSERT_TRUE(audio::musicPlay(h));
    int highestOrder = 0;
    bool wrapped = false;
    ASSERT_TRUE(pollUntil(
        [&] {
            int order = audio::channelPosition(h) & 0xFFFF;
            if (order < highestOrder) wrapped = true;
            highestOrder = std::max(highestOrder, order);
            return audio::channelHeardFrames(h) > (seconds + 3) * RATE;
        },
        300));
    EXPECT_TRUE(wrapped) << "the position never went back to the start";
    EXPECT_TRUE(audio::channelIsActive(h));
    audio::deviceFree();

    auto out = readRawOutput(disk.path());
    const std::size_t frames = static_cast<std::size_t>((seconds + 2) * RATE);
    auto want = referenceRender(m, frames, true);
    std::size_t start = firstSoundFrame(out) - firstSoundFrame(want);
    EXPECT_EQ(start % audio::BLOCK_FRAMES, 0u); // music starts on a block
    ASSERT_GE(out.size(), 2 * (start + frames));
    std::vector<std::int16_t> got(out.begin() + 2 * start, out.begin() + 2 * (start + frames));
    std::size_t firstDiff = std::mismatch(got.begin(), got.end(), want.begin()).first - got.begin();
    EXPECT_EQ(firstDiff, got.size()) << "output differs at frame " << firstDiff / 2;
    // The loop does not restart in silence: the second pass sounds.
    std::vector<std::int16_t> after(got.begin() + 2 * std::size_t(seconds * RATE), got.end());
    EXPECT_LT(lastSoundFrame(after), after.size() / 2);
}

INSTANTIATE_TEST_SUITE_P(Modules, BackendModule, ::testing::Values("DALI.XM", "HIGH-SCORE.MOD"),
                         [](const auto& info) {
                             std::string n = info.param;
                             return n.substr(n.find('.') + 1);
                         });

// The collection's own tunes, once the content build has made them: each loads, sounds, and is
// played exactly as libopenmpt renders it.
TEST_F(Backend, CollectionTunesPlay) {
    std::filesystem::path dir = std::filesystem::path(VRK_BINARY_DIR) / "content" / "music";
    std::vector<std::filesystem::path> tunes;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
        std::string ext = e.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (ext == ".xm" || ext == ".mod") tunes.push_back(e.path());
    }
    if (tunes.empty()) GTEST_SKIP() << "no tunes under " << dir << " yet";
    for (const auto& path : tunes) {
        SCOPED_TRACE(path.string());
        std::vector<unsigned char> bytes = readFile(path.string());
        ModuleBytes m{bytes.data(), bytes.size(), path.filename().string()};
        DiskOutput disk(scratchFile("tune"), 0);
        ASSERT_TRUE(audio::deviceInit(-1, RATE, 0, nullptr));
        ASSERT_TRUE(audio::deviceStart());
        audio::MusicHandle h =
            audio::musicLoad(m.data, m.size, audio::LOAD_LOOP | audio::LOAD_RAMP);
        ASSERT_NE(h, 0u);
        ASSERT_TRUE(audio::musicPlay(h));
        ASSERT_TRUE(pollUntil([&] { return audio::channelHeardFrames(h) > 2 * RATE; }));
        audio::deviceFree();
        auto out = readRawOutput(disk.path());
        auto want = referenceRender(m, 2 * RATE, true);
        ASSERT_LT(lastSoundFrame(want), want.size() / 2) << "the tune is silent";
        std::size_t start = firstSoundFrame(out) - firstSoundFrame(want);
        ASSERT_GE(out.size(), 2 * start + want.size());
        EXPECT_TRUE(std::equal(want.begin(), want.end(), out.begin() + 2 * start));
    }
}

} // namespace
