// The aurora panel: unpacking and mirroring, the ping-pong playback, the blue-channel glow
// and the stars beneath it; set-up from the embedded test resources.
#include "visuals/aurora.h"

#include "fixture_data.h"

#include <gtest/gtest.h>
#include <lzo/lzo1x.h>

#include <memory>
#include <vector>

namespace {

using namespace visuals;

struct SurfaceDeleter {
    void operator()(PtcSurface* s) const { ptc_surface_destroy(s); }
};
using Surface = std::unique_ptr<PtcSurface, SurfaceDeleter>;

std::uint32_t* pixelsOf(PtcSurface* s) {
    return reinterpret_cast<std::uint32_t*>(s->pixels.data());
}

std::vector<unsigned char> lzoPack(const std::vector<std::uint8_t>& data) {
    EXPECT_EQ(lzo_init(), LZO_E_OK);
    std::vector<unsigned char> out(data.size() + data.size() / 16 + 64 + 3);
    std::vector<unsigned char> work(LZO1X_1_MEM_COMPRESS);
    lzo_uint size = 0;
    EXPECT_EQ(lzo1x_1_compress(data.data(), data.size(), out.data(), &size, work.data()), LZO_E_OK);
    out.resize(size);
    return out;
}

class Aurora : public ::testing::Test {
  protected:
    void SetUp() override {
        aurora.playback = {};
        background.reset(ptc_surface_create(200, 200, nullptr));
        work.reset(ptc_surface_create(200, 200, nullptr));
    }
    void TearDown() override { releaseAurora(); }

    void setUpFixtureFrames(bool withStars) {
        static const std::vector<unsigned char> packed = lzoPack(fixture::auroraFrames());
        const auto sprites = fixture::starSprites();
        setupAuroraFrom(packed.data(), packed.size(), withStars ? sprites.data() : nullptr,
                        withStars ? sprites.size() * 4 : 0);
    }

    // Which of the 88 frames the work surface shows in its blue channel (background black,
    // no stars), or -1.
    int shownFrame() {
        const std::uint32_t* p = pixelsOf(work.get());
        for (int f = 0; f < AURORA_FRAMES; ++f) {
            const std::uint8_t* frame = aurora.frames + f * AURORA_FRAME_BYTES;
            bool same = true;
            for (int r = 0; r < AURORA_HEIGHT && same; ++r)
                for (int c = 0; c < AURORA_WIDTH && same; ++c)
                    same = p[r * 200 + c] == frame[r * AURORA_WIDTH + c];
            if (same) return f;
        }
        return -1;
    }

    Surface background, work;
};

TEST_F(Aurora, SetUpUnpacksTheFramesAndMirrorsThem) {
    setUpFixtureFrames(false);
    ASSERT_NE(aurora.frames, nullptr);
    const std::uint8_t* b = aurora.frames;
    for (int f = 0; f < 44; ++f)
        for (int r = 0; r < 140; ++r)
            for (int c = 0; c < 180; ++c) {
                ASSERT_EQ(b[f * 25200 + r * 180 + c], fixture::auroraByte(f, r, c));
                ASSERT_EQ(b[1108800 + f * 25200 + r * 180 + (179 - c)],
                          fixture::auroraByte(f, r, c));
            }
}

TEST_F(Aurora, NoPackedFramesMeansNoGlow) {
    setupAuroraFrom(nullptr, 0, nullptr, 0);
    ASSERT_NE(aurora.frames, nullptr);
    for (std::size_t i = 0; i < AURORA_BUFFER_BYTES; ++i) ASSERT_EQ(aurora.frames[i], 0);
    std::fill_n(pixelsOf(background.get()), 200 * 200, 0x00123456u);
    drawAuroraPanel(background.get(), work.get());
    for (int i = 0; i < 200 * 200; ++i) ASSERT_EQ(pixelsOf(work.get())[i], 0x00123456u);
}

TEST_F(Aurora, FirstCallsDrawFramesZeroOneTwo) {
    setUpFixtureFrames(false);
    std::vector<int> shown;
    for (int call = 1; call <= 38; ++call) {
        drawAuroraPanel(background.get(), work.get());
        shown.push_back(shownFrame());
    }
    std::vector<int> expected{0};
    expected.insert(expected.end(), 18, 1);
    expected.insert(expected.end(), 18, 2);
    expected.push_back(3);
    EXPECT_EQ(shown, expected);
}

TEST_F(Aurora, PlaybackTurnsAtBothEndsWithDoubledEndFrames) {
    AuroraPlayback p;
    std::vector<int> drawn;
    for (int call = 0; call < 1 + 18 * (87 + 1 + 87 + 1 + 1); ++call) {
        drawn.push_back(p.frame);
        advanceAurora(p);
    }
    std::vector<int> expected{0};
    for (int f = 1; f <= 87; ++f) expected.insert(expected.end(), 18, f);
    expected.insert(expected.end(), 18, 87); // the end frame's second hold
    for (int f = 86; f >= 0; --f) expected.insert(expected.end(), 18, f);
    expected.insert(expected.end(), 18, 0);
    expected.insert(expected.end(), 18, 1);
    ASSERT_EQ(drawn.size(), expected.size());
    EXPECT_EQ(drawn, expected);
}

TEST_F(Aurora, GlowSaturatesBlueAndTouchesNothingElse) {
    setUpFixtureFrames(false);
    std::fill_n(pixelsOf(background.get()), 200 * 200, 0x00A1B2F0u);
    for (int call = 0; call < 19; ++call) drawAuroraPanel(background.get(), work.get());
    const std::uint32_t* p = pixelsOf(work.get());
    const std::uint8_t* frame = aurora.frames + 1 * AURORA_FRAME_BYTES; // calls 2..19: frame 1
    for (int r = 0; r < 200; ++r)
        for (int c = 0; c < 200; ++c) {
            const std::uint32_t v = p[r * 200 + c];
            ASSERT_EQ(v & 0xFFFFFF00u, 0x00A1B200u);
            const unsigned expect =
                r < 140 && c < 180 ? std::min(0xF0u + frame[r * 180 + c], 255u) : 0xF0u;
            ASSERT_EQ(v & 0xFFu, expect) << r << "," << c;
        }
}

TEST_F(Aurora, StarsShineUnderTheGlow) {
    std::srand(99);
    setUpFixtureFrames(true);
    for (int call = 0; call < 10; ++call) drawAuroraPanel(background.get(), work.get());
    // After ten calls every star is at level 9: seven sprites show up in red, which the aurora
    // never touches.
    int lit = 0;
    for (int i = 0; i < 200 * 200; ++i) lit += (pixelsOf(work.get())[i] >> 16 & 0xFF) != 0;
    EXPECT_GE(lit, 81); // at least the smallest shape, 9 x 9
    for (const Star& s : aurora.stars) {
        EXPECT_GE(s.position, 0);
        EXPECT_LE(s.position, 180 * 200 + 180);
        EXPECT_EQ(s.fadingIn, 0);
    }
}

TEST_F(Aurora, WithoutSetUpOnlyTheBackgroundIsCopied) {
    std::fill_n(pixelsOf(background.get()), 200 * 200, 0x00010203u);
    drawAuroraPanel(background.get(), work.get());
    EXPECT_EQ(pixelsOf(work.get())[0], 0x00010203u);
    EXPECT_EQ(aurora.playback.frame, 0);
}

TEST_F(Aurora, ASmallWorkSurfaceIsRefused) {
    setUpFixtureFrames(false);
    Surface small(ptc_surface_create(100, 100, nullptr));
    EXPECT_THROW(drawAuroraPanel(small.get(), small.get()), PtcError);
}

TEST_F(Aurora, ReleaseForgetsEverythingAndMayRepeat) {
    setUpFixtureFrames(true);
    releaseAurora();
    EXPECT_EQ(aurora.frames, nullptr);
    EXPECT_EQ(starLevels()[9 * STAR_SPRITE_PIXELS], 0u);
    releaseAurora();
    // Set-up twice in a row frees the first buffer (the leak check would see it otherwise).
    setUpFixtureFrames(false);
    setUpFixtureFrames(false);
}

TEST(AuroraDeathTest, ACorruptStreamEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::vector<unsigned char> garbage(1000, 0xEE);
    EXPECT_EXIT(setupAuroraFrom(garbage.data(), garbage.size(), nullptr, 0),
                ::testing::ExitedWithCode(1), "");
}

TEST(AuroraResources, SetUpFindsBorealisAndStarsInTheProgram) {
    setupAurora();
    ASSERT_NE(aurora.frames, nullptr);
    EXPECT_EQ(aurora.frames[5 * 25200 + 7 * 180 + 11], fixture::auroraByte(5, 7, 11));
    EXPECT_EQ(aurora.frames[1108800 + 5 * 25200 + 7 * 180 + 168], fixture::auroraByte(5, 7, 11));
    EXPECT_EQ(starLevels()[9 * STAR_SPRITE_PIXELS], 0x00E5E5E5u);
    releaseAurora();
}

} // namespace
