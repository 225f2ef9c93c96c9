// The scroll band and the level meter.
#include "fixture.h"

#include "player/menu_table.h"
#include "player/scroller.h"
#include "player/shell.h"

#include <cmath>
#include <cstring>
#include <vector>

class ScrollerTest : public PlayerTest {
  protected:
    std::uint32_t line(int x, int y = 5) { return surface_row(shell.pictures.scrollLine, y)[x]; }
    std::uint32_t band(int x, int y = 5) { return surface_row(shell.pictures.scrollBand, y)[x]; }
};

TEST_F(ScrollerTest, StartsWithTheOpeningTextAndDrawsOneGlyphPerCell) {
    EXPECT_EQ(scroller.text, scrollTexts[0]);
    EXPECT_EQ(scroller.length, static_cast<int>(std::strlen(scrollTexts[0])));
    for (int f = 1; f <= 16; ++f) {
        scroller_step();
        EXPECT_EQ(scroller.nextCharacter, f == 16 ? 1 : 0) << f;
    }
    // The first glyph went into the cell right of the band: its white block at 432 + 4.
    EXPECT_EQ(line(436), 0xFFFFFFu);
    EXPECT_EQ(line(431), 0xFF00FFu);
}

TEST_F(ScrollerTest, SpeedFourCrossesACellInFourFrames) {
    scroller.speed = 4;
    for (int f = 1; f <= 8; ++f) {
        scroller_step();
        EXPECT_EQ(scroller.nextCharacter, f / 4) << f;
    }
}

TEST_F(ScrollerTest, TheShiftMovesTheLineSixteenPixelsLeftWithinItself) {
    for (int x = 0; x < LINE_WIDTH; ++x)
        for (int y = 0; y < BAND_HEIGHT; ++y)
            surface_row(shell.pictures.scrollLine, y)[x] = x * 100 + y;
    scroller.cellOffset = 15;
    scroller_step();
    for (int x = 0; x < 432; ++x) ASSERT_EQ(line(x, 7), std::uint32_t((x + 16) * 100 + 7)) << x;
    EXPECT_EQ(line(446), 0xFF00FFu); // the gap after the new glyph is cleared
    EXPECT_EQ(line(447), 0xFF00FFu);
}

TEST_F(ScrollerTest, AChosenTextFadesTheOldOneOutThenStartsFromItsFirstCharacter) {
    for (int f = 0; f < 40; ++f) scroller_step();
    const char* text = scrollTexts[3];
    scroller_set_text(text);
    const int offset = scroller.cellOffset, next = scroller.nextCharacter;
    for (int f = 1; f < 30; ++f) {
        scroller_step();
        EXPECT_EQ(scroller.cellOffset, offset) << f; // no movement while it fades
        EXPECT_EQ(scroller.nextCharacter, next) << f;
    }
    scroller_step();
    EXPECT_EQ(scroller.transition, 0);
    EXPECT_EQ(scroller.cellOffset, 0);
    EXPECT_EQ(scroller.nextCharacter, 0);
    for (int x = 0; x < LINE_WIDTH; ++x) ASSERT_EQ(line(x), 0xFF00FFu);
    // At the end of the fade the band is the background.
    EXPECT_EQ(band(200), surface_row(shell.pictures.bandBackground, 5)[200]);
    // Choosing the same text again restarts it the same way.
    for (int f = 0; f < 20; ++f) scroller_step();
    scroller_set_text(text);
    EXPECT_EQ(scroller.transition, 30);
}

TEST_F(ScrollerTest, TheTextRepeatsWithoutAGap) {
    static const char tiny[] = "ab";
    scroller_set_text(tiny);
    for (int f = 0; f < 30; ++f) scroller_step();
    scroller.speed = 4;
    std::vector<int> order;
    for (int f = 0; f < 4 * 5; ++f) {
        int before = scroller.nextCharacter;
        scroller_step();
        if (scroller.nextCharacter != before) order.push_back(before);
    }
    EXPECT_EQ(order, (std::vector<int>{0, 1, 0, 1, 0}));
}

TEST_F(ScrollerTest, WhiteOnWhiteStaysWhiteAtTheFadingEdges) {
    PtcColor white{1, 1, 1};
    ptc_surface_clear_color(shell.pictures.bandBackground, &white);
    ptc_surface_clear_color(shell.pictures.scrollLine, &white);
    scroller.cellOffset = 0;
    scroller_step();
    for (int x : {0, 5, 29, 30, 200, 401, 402, 420, 431})
        EXPECT_EQ(band(x) & 0xFFFFFF, 0xFFFFFFu) << x;
}

TEST_F(ScrollerTest, EdgesFadeTheTextInAndOut) {
    PtcColor black{0, 0, 0}, white{1, 1, 1};
    ptc_surface_clear_color(shell.pictures.bandBackground, &black);
    ptc_surface_clear_color(shell.pictures.scrollLine, &white);
    scroller.cellOffset = 0;
    scroller_step();
    // band x T[29 - x] / 256 with T[i] = trunc((30 - i) * 255 / 30): 255 * 8 / 256 = 7 at x 0.
    EXPECT_EQ(band(0), 0x070707u);
    EXPECT_EQ(band(29), 0xFEFEFEu);
    EXPECT_EQ(band(200), 0xFFFFFFu);
    EXPECT_EQ(band(402), 0xFEFEFEu);
    EXPECT_EQ(band(431), 0x070707u);
}

TEST(LevelMeter, FullLevelGivesTwoBarsOf88Pixels) {
    std::uint32_t line[640];
    std::fill(std::begin(line), std::end(line), 0x123456u);
    level_meter_paint(line, true, 128u | (128u << 16));
    for (int x = 203; x <= 290; ++x) EXPECT_NE(line[x], 0u) << x;
    for (int x = 300; x <= 387; ++x) EXPECT_NE(line[x], 0u) << x;
    EXPECT_EQ(line[202], 0u);
    EXPECT_EQ(line[388], 0u);
    EXPECT_EQ(line[290], 0x204040u); // darkest next to the middle: v = 64
    EXPECT_EQ(line[300], 0x204040u);
    EXPECT_EQ(line[203], 0x77EEEEu); // i = 87: v = 238
    EXPECT_EQ(line[295], 0x123456u); // the gap between the bars is never written
    EXPECT_EQ(line[100], 0x123456u);
}

TEST(LevelMeter, EachBarGrowsByEightAtThresholdsThatRoughlyDouble) {
    // The thresholds by their rule: start at 1, then t += t - floor(t / 2) while t < 128.
    std::vector<int> thresholds;
    for (double t = 1; t < 128; t += t - std::floor(t / 2))
        thresholds.push_back(static_cast<int>(t));
    ASSERT_EQ(thresholds, (std::vector<int>{1, 2, 3, 5, 8, 12, 18, 27, 41, 62, 93}));
    std::uint32_t line[640] = {};
    for (int left = 0; left <= 128; ++left) {
        const int right = 128 - left; // the two channels at once, each its own bar
        level_meter_paint(line, true, static_cast<std::uint32_t>(left) | right << 16);
        int wantLeft = 0, wantRight = 0;
        for (int t : thresholds) {
            wantLeft += left >= t ? 8 : 0;
            wantRight += right >= t ? 8 : 0;
        }
        int gotLeft = 0, gotRight = 0;
        for (int x = 163; x <= 290; ++x) gotLeft += line[x] != 0;
        for (int x = 300; x <= 427; ++x) gotRight += line[x] != 0;
        ASSERT_EQ(gotLeft, wantLeft) << "left level " << left;
        ASSERT_EQ(gotRight, wantRight) << "right level " << right;
        // The bars grow from the middle outwards, without gaps.
        for (int i = 0; i < wantLeft; ++i) ASSERT_NE(line[290 - i], 0u) << left;
        for (int i = 0; i < wantRight; ++i) ASSERT_NE(line[300 + i], 0u) << right;
    }
    // Silence (no active channel) clears both bars, whatever the level says.
    level_meter_paint(line, false, 128u | (128u << 16));
    for (int x = 163; x <= 290; ++x) ASSERT_EQ(line[x], 0u);
    for (int x = 300; x <= 427; ++x) ASSERT_EQ(line[x], 0u);
}
