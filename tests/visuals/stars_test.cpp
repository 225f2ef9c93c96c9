// Star brightness levels, placement, life cycle and drawing.
#include "visuals/stars.h"

#include "fixture_data.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using visuals::Star;

// A scripted generator: returns the listed values in turn, repeating the list.
std::vector<int> script;
std::size_t scriptPos = 0;
int scripted() {
    return script[scriptPos++ % script.size()];
}
void setScript(std::vector<int> values) {
    script = std::move(values);
    scriptPos = 0;
}

class Stars : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto sprites = fixture::starSprites();
        ASSERT_TRUE(visuals::prepareStarLevels(sprites.data(), sprites.size() * 4));
    }
    void TearDown() override { visuals::releaseStarLevels(); }
    static std::uint32_t level(int m, int pixel) {
        return visuals::starLevels()[m * visuals::STAR_SPRITE_PIXELS + pixel];
    }
};

TEST_F(Stars, LevelsScaleEachChannelInSinglePrecision) {
    EXPECT_EQ(level(9, 0), 0x00E5E5E5u); // 255 - 25.5, truncated
    EXPECT_EQ(level(5, 0), 0x007F7F7Fu); // 255 - 5 * 25.5 = 127.5
    EXPECT_EQ(level(1, 0), 0x00191919u); // 255 - 9 * 25.5 = 25.5
    EXPECT_EQ(level(0, 0), 0u);
    // The top byte is dropped: 0x7F102030 at level 9 is 0x000E1C2B.
    EXPECT_EQ(level(9, 191), 0x000E1C2Bu);
    for (int m = 0; m < 10; ++m)
        for (int p = 0; p < 379; ++p) {
            const std::uint32_t v = level(m, p);
            EXPECT_EQ(v >> 24, 0u);
            if (m == 0) {
                EXPECT_EQ(v, 0u) << p;
            }
        }
}

TEST_F(Stars, SpriteDataOfTheWrongSizeIsRefusedAndLeavesBlack) {
    visuals::releaseStarLevels();
    const auto sprites = fixture::starSprites();
    EXPECT_FALSE(visuals::prepareStarLevels(sprites.data(), 1515));
    EXPECT_FALSE(visuals::prepareStarLevels(sprites.data(), 1600));
    EXPECT_FALSE(visuals::prepareStarLevels(nullptr, 1516));
    EXPECT_EQ(level(9, 0), 0u);
}

TEST_F(Stars, PlacementStaysInsideThePanel) {
    Star s;
    setScript({32767}); // the largest everything: row 180, column 179 below row 49, shape 2
    visuals::placeStar(s, scripted);
    EXPECT_EQ(s.position, 180 * 200 + 179);
    EXPECT_EQ(s.shape, 2);
    setScript({0, 32767, 32767}); // top rows: columns reach 180
    visuals::placeStar(s, scripted);
    EXPECT_EQ(s.position, 180);
    EXPECT_EQ(s.shape, 2);
    setScript({8800, 0, 0}); // row 48: the last of the top rows, any column
    visuals::placeStar(s, scripted);
    EXPECT_EQ(s.position, 48 * 200);
    setScript({8920, 0, 0}); // row 49: columns start at 93
    visuals::placeStar(s, scripted);
    EXPECT_EQ(s.position, 49 * 200 + 93);
    setScript({32767 / 2, 0, 0}); // lower rows start at column 93
    visuals::placeStar(s, scripted);
    EXPECT_EQ(s.position, 89 * 200 + 93);
    EXPECT_EQ(s.shape, 0);

    // Drawn at the extremes, the biggest shape ends inside a buffer of exactly 200 x 200.
    std::vector<std::uint32_t> panel(200 * 200);
    for (const auto& r : std::vector<std::vector<int>>{{32767}, {0, 32767, 32767}}) {
        setScript(r);
        Star t;
        visuals::placeStar(t, scripted);
        t.fadingIn = t.fadingOut = 0; // level 9
        EXPECT_EQ(visuals::drawStar(t, panel.data(), 200, scripted), 9);
    }
    EXPECT_NE(panel[193 * 200 + 179 + 11], 0u); // bottom-right of the low star
    EXPECT_NE(panel[13 * 200 + 191], 0u);       // right edge of the top star
    EXPECT_EQ(panel[13 * 200 + 192], 0u);
}

TEST_F(Stars, LifeCycleFadesInHoldsFadesOutAndMoves) {
    setScript({0}); // countdown 20, place at 0 with shape 0, later countdowns 33
    Star s;
    visuals::createStar(s, scripted);
    EXPECT_EQ(s.countdown, 20);
    EXPECT_EQ(s.fadeInStep, 10);
    EXPECT_EQ(s.fadingIn, 1);
    std::vector<std::uint32_t> panel(200 * 200);
    std::vector<int> levels;
    for (int call = 0; call < 60; ++call) {
        if (call == 28) setScript({32767}); // call 29 re-places it after the fade-out
        visuals::updateStar(s, scripted);
        levels.push_back(visuals::drawStar(s, panel.data(), 200, scripted));
    }
    std::vector<int> expected;
    for (int m = 0; m <= 9; ++m) expected.push_back(m);   // calls 1-10 fade in
    for (int c = 11; c <= 19; ++c) expected.push_back(9); // hold until the countdown runs out
    for (int m = 9; m >= 0; --m) expected.push_back(m);   // calls 20-29 fade out
    for (int m = 0; m <= 9; ++m) expected.push_back(m);   // calls 30-39 fade in elsewhere
    for (int c = 40; c <= 52; ++c) expected.push_back(9); // countdown 33 from call 20
    for (int m = 9; m >= 2; --m) expected.push_back(m);   // call 53 on: the next fade-out
    EXPECT_EQ(levels, expected);
    // After the first fade-out the star moved to the far corner with shape 2.
    EXPECT_EQ(s.position, 180 * 200 + 179);
    EXPECT_EQ(s.shape, 2);
}

TEST_F(Stars, DrawingAddsHalfOfTheLevelSprite) {
    setScript({0});
    Star s;
    visuals::placeStar(s, scripted); // position 0, shape 0 (white 10 x 11)
    s.position = 3 * 200 + 7;
    std::vector<std::uint32_t> panel(200 * 200, 0x00101010u);
    EXPECT_EQ(visuals::drawStar(s, panel.data(), 200, scripted), 9);
    EXPECT_EQ(panel[3 * 200 + 7], 0x00828282u);   // 0x10 + 114
    EXPECT_EQ(panel[13 * 200 + 16], 0x00828282u); // last sprite pixel
    EXPECT_EQ(panel[3 * 200 + 6], 0x00101010u);
    EXPECT_EQ(panel[3 * 200 + 17], 0x00101010u);
    EXPECT_EQ(panel[14 * 200 + 7], 0x00101010u);
    // Rows further apart than the panel's width are honoured.
    std::vector<std::uint32_t> wide(256 * 200);
    visuals::drawStar(s, wide.data(), 256, scripted);
    EXPECT_EQ(wide[13 * 256 + 16], 0x00727272u);
    EXPECT_EQ(wide[13 * 200 + 16], 0u);
    // Level 0 adds nothing.
    std::vector<std::uint32_t> dark(200 * 200);
    s.fadingIn = 1;
    s.fadeInStep = 10;
    EXPECT_EQ(visuals::drawStar(s, dark.data(), 200, scripted), 0);
    for (auto p : dark) ASSERT_EQ(p, 0u);
}

} // namespace
