#include "audio/mod_stereo.h"
#include "audio/renderer.h"
#include "tests/audio/modules.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

namespace {

using audiotest::ModuleBytes;

openmpt_module* load(const ModuleBytes& m) {
    openmpt_module* mod = openmpt_module_create_from_memory2(
        m.data, m.size, openmpt_log_func_silent, nullptr, openmpt_error_func_ignore, nullptr,
        nullptr, nullptr, nullptr);
    if (mod) {
        openmpt_module_set_repeat_count(mod, -1);
        openmpt_module_ctl_set_integer(mod, "dither", 0);
        applyStereoSeparation(mod); // as the back-end loads it
    }
    return mod;
}

// Pulls frames out of the renderer in uneven pieces, as device callbacks do.
std::vector<std::int16_t> pull(audio::Renderer& r, std::size_t frames) {
    std::vector<std::int16_t> out(frames * 2);
    std::size_t done = 0, piece = 100;
    while (done < frames) {
        std::size_t n = std::min(piece, frames - done);
        r.fill(out.data() + 2 * done, static_cast<std::uint32_t>(n));
        done += n;
        piece = piece * 7 % 1500 + 1;
    }
    return out;
}

class RendererTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RendererTest, PlaysTheModuleExactlyAsLibopenmptRendersIt) {
    ModuleBytes m = audiotest::embeddedModule(GetParam());
    ASSERT_GT(m.size, 0u);
    audio::Renderer r;
    r.reset(audiotest::RATE);
    ASSERT_EQ(r.install(load(m), 7), nullptr);
    // Silence until the music is told to play, and it starts on the next block.
    auto before = pull(r, 300);
    EXPECT_EQ(audiotest::lastSoundFrame(before), 300u);
    EXPECT_EQ(r.musicStart(), 0u);
    EXPECT_EQ(r.activeHandle(), 0u);
    r.play(7);
    EXPECT_EQ(r.activeHandle(), 7u);
    const std::size_t frames = 5 * audiotest::RATE;
    auto skip = pull(r, 2 * audio::BLOCK_FRAMES - 300); // block 1 was rendered before play
    EXPECT_EQ(audiotest::lastSoundFrame(skip), skip.size() / 2);
    auto got = pull(r, frames);
    EXPECT_EQ(r.musicStart(), 7ull << 32 | 2);
    EXPECT_EQ(got, audiotest::referenceRender(m, frames, true));
    // Each logged block knows the row that starts it; it climbs from order 0, row 0.
    audio::BlockRecord first, later;
    ASSERT_TRUE(r.log().read(2, first));
    EXPECT_EQ(first.position, 0u);
    ASSERT_TRUE(r.log().read(2 + frames / audio::BLOCK_FRAMES - 1, later));
    EXPECT_GT((later.position >> 16) + (later.position & 0xFFFF) * 256, 0u);
    EXPECT_GT(later.levels, 0u);
    openmpt_module_destroy(r.remove());
    EXPECT_EQ(r.activeHandle(), 0u);
}

TEST_P(RendererTest, SlideEndsInSilenceAtTheFrameItAnnounces) {
    ModuleBytes m = audiotest::embeddedModule(GetParam());
    ASSERT_GT(m.size, 0u);
    audio::Renderer r;
    r.reset(audiotest::RATE);
    r.install(load(m), 1);
    r.play(1);
    pull(r, 20000);
    const std::uint32_t slideFrames = 44100;
    r.requestSlide(0, slideFrames);
    EXPECT_EQ(r.slideEnd(), INT64_MAX); // waits for the next block
    auto out = pull(r, 60000);
    std::int64_t end = r.slideEnd();
    // It started at the first block boundary after the request (frame 20224).
    EXPECT_EQ(end, 20224 + slideFrames);
    std::size_t last = audiotest::lastSoundFrame(out) + 20000;
    EXPECT_LT(static_cast<std::int64_t>(last), end);
    EXPECT_GT(static_cast<std::int64_t>(last), end - 4410); // still sounding late in the slide
    audio::BlockRecord rec;
    ASSERT_TRUE(r.log().read((20000 + 60000) / audio::BLOCK_FRAMES - 1, rec));
    EXPECT_EQ(rec.levels, 0u);
    EXPECT_EQ(r.activeHandle(), 1u); // silent, but still playing
    openmpt_module_destroy(r.remove());
}

TEST_P(RendererTest, PauseFadesOutHoldsThePlaceAndResumesFromIt) {
    ModuleBytes m = audiotest::embeddedModule(GetParam());
    ASSERT_GT(m.size, 0u);
    audio::Renderer r;
    r.reset(audiotest::RATE);
    r.install(load(m), 1);
    r.play(1); // before the first block: the module starts at frame 0
    const std::size_t B = audio::BLOCK_FRAMES, F = audio::PAUSE_FADE_FRAMES;
    const std::size_t before = 40 * B;
    pull(r, before);
    r.setPaused(true);
    EXPECT_TRUE(r.paused());
    // The fade ends inside a block; the module is held from the block after it.
    const std::size_t heldFrom = (before + F + B - 1) / B * B;
    auto paused = pull(r, heldFrom - before + 20 * B);
    // Resumed, it goes on from the frame after the last block it rendered, fading in.
    r.setPaused(false);
    EXPECT_FALSE(r.paused());
    auto resumed = pull(r, F + 4096);
    const auto ref = audiotest::referenceRender(m, heldFrom + F + 4096, true);
    const auto scaled = [](std::int16_t s, std::int64_t gain) {
        return static_cast<std::int16_t>((s * gain + 32768) >> 16);
    };
    for (std::size_t i = 0; i < paused.size() / 2; ++i) {
        const std::int64_t gain = i < F ? 65536 - 65536 * static_cast<std::int64_t>(i + 1) / F : 0;
        for (int c = 0; c < 2; ++c)
            ASSERT_EQ(paused[2 * i + c],
                      i + before < heldFrom ? scaled(ref[2 * (before + i) + c], gain) : 0)
                << "paused frame " << i;
    }
    for (std::size_t i = 0; i < resumed.size() / 2; ++i) {
        const std::int64_t gain = i < F ? 65536 * static_cast<std::int64_t>(i + 1) / F : 65536;
        for (int c = 0; c < 2; ++c)
            ASSERT_EQ(resumed[2 * i + c], scaled(ref[2 * (heldFrom + i) + c], gain))
                << "resumed frame " << i;
    }
    // While held, the log shows one place and no level; the module never ended.
    audio::BlockRecord a, b;
    ASSERT_TRUE(r.log().read(heldFrom / B + 2, a));
    ASSERT_TRUE(r.log().read(heldFrom / B + 19, b));
    EXPECT_EQ(a.position, b.position);
    EXPECT_EQ(a.timeMs, b.timeMs);
    EXPECT_GT(a.timeMs, 200u); // 40 blocks and the fade: about 0.28 s into the song
    EXPECT_EQ(b.levels, 0u);
    EXPECT_EQ(r.activeHandle(), 1u);
    openmpt_module_destroy(r.remove());
}

TEST(Renderer, TheListenersVolumeScalesEveryFrameAndHoldsThroughResets) {
    ModuleBytes m = audiotest::embeddedModule("DALI.XM");
    ASSERT_GT(m.size, 0u);
    audio::Renderer r;
    r.setVolume(audio::UNITY_GAIN / 2, true);
    r.reset(audiotest::RATE);
    r.install(load(m), 1);
    r.play(1);
    const auto out = pull(r, 44100);
    const auto ref = audiotest::referenceRender(m, 44100, true);
    for (std::size_t i = 0; i < ref.size(); ++i)
        ASSERT_EQ(out[i], static_cast<std::int16_t>((ref[i] * 32768 + 32768) >> 16)) << i;
    EXPECT_EQ(r.volume(), audio::UNITY_GAIN / 2);
    // A change of volume glides over 20 ms and lands on the new gain.
    r.setVolume(audio::UNITY_GAIN);
    pull(r, audio::VOLUME_FADE_FRAMES + audio::BLOCK_FRAMES);
    const auto later = pull(r, 2 * audio::BLOCK_FRAMES);
    const auto ref2 = audiotest::referenceRender(
        m, 44100 + audio::VOLUME_FADE_FRAMES + 3 * audio::BLOCK_FRAMES, true);
    const std::size_t at = 2 * (44100 + audio::VOLUME_FADE_FRAMES + audio::BLOCK_FRAMES);
    for (std::size_t i = 0; i < later.size(); ++i) ASSERT_EQ(later[i], ref2[at + i]) << i;
    openmpt_module_destroy(r.remove());
}

INSTANTIATE_TEST_SUITE_P(Modules, RendererTest, ::testing::Values("DALI.XM", "HIGH-SCORE.MOD"),
                         [](const auto& info) {
                             std::string n = info.param;
                             return n.substr(n.find('.') + 1); // XM, MOD
                         });

TEST(Renderer, ModuleThatHasNothingToPlayEnds) {
    // Play a short module once, without looping, and read on past its end.
    ModuleBytes m = audiotest::embeddedModule("HIGH-SCORE.MOD");
    ASSERT_GT(m.size, 0u);
    openmpt_module* mod = load(m);
    ASSERT_NE(mod, nullptr);
    openmpt_module_set_repeat_count(mod, 0);
    double seconds = openmpt_module_get_duration_seconds(mod);
    audio::Renderer r;
    r.reset(audiotest::RATE);
    r.install(mod, 3);
    r.play(3);
    auto out = pull(r, static_cast<std::size_t>((seconds + 1) * audiotest::RATE));
    EXPECT_EQ(r.activeHandle(), 0u);
    // The last notes may ring a moment past the song's end, not longer.
    EXPECT_LT(audiotest::lastSoundFrame(out),
              static_cast<std::size_t>((seconds + 0.5) * audiotest::RATE));
    openmpt_module_destroy(r.remove());
}

} // namespace
