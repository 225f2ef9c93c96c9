// The logo before the first scene: fade-in, hold until (1, 40), fade-out in its band only.
#include "tests/intro/intro_fixture.h"

namespace introtest {
namespace {

constexpr std::uint32_t FRAME_FILL = 0x00405060u, PREVIOUS_FILL = 0x00607080u;

class LogoTest : public IntroFixture {
  protected:
    void SetUp() override {
        IntroFixture::SetUp();
        openDisplay();
        fillSurfaces(FRAME_FILL, PREVIOUS_FILL);
        script.recordPictures = true;
        script.musicStartsAt = fakeClock.t;
    }
    // Shown picture n came from the frame surface when n is even, the other one when odd.
    static std::uint32_t fillOf(std::size_t n) { return n % 2 == 0 ? FRAME_FILL : PREVIOUS_FILL; }
};

TEST_F(LogoTest, FadesInOver64FramesHoldsUntilTheMusicAndFadesOutItsBandOnly) {
    intro::ShowLogo();
    // (1, 40) is 104 rows of 40 ms: frames start every 50 ms while the music is below it.
    const std::size_t holdFrames = (104 * 40 + 49) / 50;
    ASSERT_EQ(holdFrames + 36, script.shown.size());
    EXPECT_EQ(0, intro::introState.introAborted);
    for (std::size_t n = 0; n < script.shown.size(); ++n) {
        const Picture& p = script.shown[n];
        const int level = n < 64 ? 252 - 4 * static_cast<int>(n) : 0;
        const int faded = n < holdFrames ? 0 : 15 * static_cast<int>((n - holdFrames) / 2 + 1);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; x += 13) {
                const std::uint32_t want = y >= 50 && y <= 128
                                               ? darker(logo[(y - 50) * 320 + x], level + faded)
                                               : fillOf(n);
                ASSERT_EQ(want, p[y * W + x]) << "picture " << n << " at " << x << "," << y;
            }
    }
    // Black at the end: 36 frames, each surface darkened 18 times.
    for (int x = 0; x < W; ++x) EXPECT_EQ(0u, script.shown.back()[90 * W + x] & 0xFFFFFF);
}

TEST_F(LogoTest, MusicAlreadyPastTheHoldNeverShowsTheLogo) {
    script.positionOffset = 104;
    intro::ShowLogo();
    ASSERT_EQ(36u, script.shown.size());
    for (std::size_t n = 0; n < 36; ++n) {
        const int faded = 15 * static_cast<int>(n / 2 + 1);
        EXPECT_EQ(darker(fillOf(n), faded), script.shown[n][60 * W + 5]) << n;
        EXPECT_EQ(fillOf(n), script.shown[n][49 * W + 5]) << n;
        EXPECT_EQ(fillOf(n), script.shown[n][129 * W + 5]) << n;
    }
}

TEST_F(LogoTest, AKeyFinishesItsFrameAndEndsTheSequence) {
    script.keyAtPacedFrame = 10;
    intro::ShowLogo();
    EXPECT_EQ(1, intro::introState.introAborted);
    ASSERT_EQ(11u, script.shown.size()); // the frame of the key is still shown
    EXPECT_EQ(darker(logo[0], 252 - 40), script.shown[10][50 * W]);
}

TEST_F(LogoTest, PicturesMissingOrSmallerThanTheirPlaceAreUnreadable) {
    for (int variant = 0; variant < 3; ++variant) {
        std::vector<datatest::Entry> entries = defaultEntries();
        if (variant == 0) entries[0].name = "other.tga";
        if (variant == 1) entries[0].data = tga32(320, 78, pattern(320, 78, 1, false));
        if (variant == 2) entries[0].data = tga32(319, 79, pattern(319, 79, 1, false));
        useArchive(entries);
        closeDisplay();
        openDisplay();
        intro::introState.introAborted = 0;
        script.shown.clear();
        intro::ShowLogo();
        EXPECT_EQ(1, intro::introState.introAborted) << variant;
        EXPECT_TRUE(script.shown.empty()) << variant;
        // The error report closed the display.
        EXPECT_FALSE(ptc_console_is_open(intro::introState.console)) << variant;
    }
}

} // namespace
} // namespace introtest
