// The caption and the large logo over the first scene's last picture, and the final fade.
#include "tests/intro/intro_fixture.h"

namespace introtest {
namespace {

std::uint32_t blendRef(std::uint32_t a, std::uint32_t b, int wa, int wb) {
    if (b == 0x00FF00FFu) return a;
    std::uint32_t out = 0;
    for (int i = 0; i < 32; i += 8) {
        std::uint32_t sum = ((a >> i & 255) * wa & 0xFFFF) + ((b >> i & 255) * wb & 0xFFFF);
        out |= std::min<std::uint32_t>(255, std::min<std::uint32_t>(sum, 65535) >> 8) << i;
    }
    return out;
}

// The cross-fades' weights by their rule: trunc((64 - i) x 0.015625 x 255), 255 down to 3.
std::vector<int> ruleWeights() {
    std::vector<int> w(64);
    for (int i = 0; i < 64; ++i) w[i] = static_cast<int>((64 - i) * 0.015625 * 255);
    return w;
}

class PicturesTest : public IntroFixture {
  protected:
    Picture background;
    void SetUp() override {
        IntroFixture::SetUp();
        openDisplay();
        background = pattern(W, H, 9, false);
        auto* p = static_cast<std::uint32_t*>(ptc_surface_lock(intro::introState.frameSurface));
        std::copy(background.begin(), background.end(), p);
        ptc_surface_unlock(intro::introState.frameSurface);
        script.recordPictures = true;
        script.msPerRow = 100;
        // Start 70 rows before (6, 0): the caption holds 140 frames in all.
        script.positionOffset = 384 - 70;
        script.musicStartsAt = fakeClock.t;
    }
    // Checks the shown picture n: the background everywhere except the picture's place, there
    // the expected pixel of `expect` (given background pixel and picture pixel).
    template <class F>
    void check(std::size_t n, const std::vector<std::uint32_t>& pic, int px, int py, int pw, int ph,
               F expect) {
        const Picture& p = script.shown[n];
        for (int y = 0; y < 197; ++y)
            for (int x = 0; x < 317; ++x) {
                const std::uint32_t bg = background[y * W + x];
                const bool inside = x >= px && x < px + pw && y >= py && y < py + ph;
                const std::uint32_t want = inside ? expect(bg, pic[(y - py) * pw + (x - px)]) : bg;
                ASSERT_EQ(want, p[y * W + x]) << "picture " << n << " at " << x << "," << y;
            }
    }
};

TEST_F(PicturesTest, CrossFadesBlendByTheWeightsAndKeepTheBackgroundAtKeyPixels) {
    intro::ShowPictures();
    const std::vector<int> w = ruleWeights();
    const std::size_t captionHold = 140, logoFrom = captionHold + 64;
    ASSERT_GT(script.shown.size(), logoFrom + 64 + 36);
    const std::size_t logoHold = script.shown.size() - 36 - logoFrom;
    for (std::size_t n = 0; n < captionHold; ++n)
        check(n, caption, 110, 50, 86, 22, [&](std::uint32_t bg, std::uint32_t pic) {
            return n < 64 ? blendRef(bg, pic, w[n], w[63 - n]) : blendRef(bg, pic, 0, 256);
        });
    for (std::size_t k = 0; k < 64; ++k)
        check(captionHold + k, caption, 110, 50, 86, 22, [&](std::uint32_t bg, std::uint32_t pic) {
            return blendRef(bg, pic, w[63 - k], w[k]);
        });
    for (std::size_t k = 0; k < logoHold; ++k)
        check(logoFrom + k, bigLogo, 0, 30, 320, 136, [&](std::uint32_t bg, std::uint32_t pic) {
            return k < 64 ? blendRef(bg, pic, w[k], w[63 - k]) : blendRef(bg, pic, 0, 256);
        });
    // The fade to black ends black.
    for (int x = 0; x < 317; x += 7) EXPECT_EQ(0u, script.shown.back()[100 * W + x] & 0xFFFFFF);
    EXPECT_EQ(0, intro::introState.introAborted);
    // The hold ended at (7, 16).
    EXPECT_GE(scriptedPosition(), intro::musicPos(7, 16));
}

TEST_F(PicturesTest, AKeyDuringTheCaptionEndsEverythingButItsFrame) {
    script.keyAtPacedFrame = 70;
    intro::ShowPictures();
    EXPECT_EQ(1, intro::introState.introAborted);
    EXPECT_EQ(71u, script.shown.size());
}

TEST_F(PicturesTest, ASmallerCaptionOrLogoIsUnreadable) {
    for (int which : {1, 2}) {
        std::vector<datatest::Entry> entries = defaultEntries();
        entries[which].data = which == 1 ? tga32(86, 21, pattern(86, 21, 2, true))
                                         : tga32(320, 135, pattern(320, 135, 3, true));
        useArchive(entries);
        closeDisplay();
        openDisplay();
        intro::introState.introAborted = 0;
        script.shown.clear();
        intro::ShowPictures();
        EXPECT_EQ(1, intro::introState.introAborted) << which;
        EXPECT_TRUE(script.shown.empty()) << which;
    }
}

TEST_F(PicturesTest, FadeToBlackTakes36UpdatesWithoutPacingOrKeys) {
    script.keyAtPacedFrame = 0;
    const std::uint64_t before = ptc_console_updates(intro::introState.console);
    const std::uint32_t t = fakeClock.t;
    intro::FadeToBlack();
    EXPECT_EQ(before + 36, ptc_console_updates(intro::introState.console));
    EXPECT_EQ(t, fakeClock.t);
    EXPECT_EQ(0, script.pacedFrames);
    // 36 fades over two surfaces: 18 each, 270 in all, black.
    const std::uint32_t* shown = ptc_console_shown(intro::introState.console);
    for (int x = 0; x < 317; x += 5) EXPECT_EQ(0u, shown[150 * W + x] & 0xFFFFFF);
}

} // namespace
} // namespace introtest
