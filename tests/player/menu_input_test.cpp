// The menu's rough edges: the wheel, the indicator and meter line after a repaint, and random
// play's fair pick.
#include "fixture.h"

#include "player/menu.h"
#include "player/menu_table.h"
#include "player/screens.h"
#include "player/shell.h"

#include <vector>

using namespace platform;

namespace {

class MenuInputTest : public PlayerTest {
  protected:
    void SetUp() override {
        PlayerTest::SetUp();
        screens.state = SCREEN_MENU;
        menu.mouseY = 200;
        menu_list_step();
    }
    // A wheel turn of `amount` (WHEEL_DELTA a notch, positive away from the user).
    void wheel(int amount) {
        post(WM_MOUSEWHEEL, static_cast<std::uint32_t>(static_cast<std::uint16_t>(amount)) << 16);
        pump();
        menu_list_step();
    }
};

TEST_F(MenuInputTest, TheWheelScrollsTheListAsTheArrowKeysDo) {
    wheel(-3 * WHEEL_DELTA); // three notches towards the user: three presses of Down
    EXPECT_EQ(menu.scroll, 24);
    wheel(WHEEL_DELTA);
    EXPECT_EQ(menu.scroll, 16);
    EXPECT_EQ(menu.selectedRow, 1);
    // Half notches add up to whole ones.
    wheel(-WHEEL_DELTA / 2);
    EXPECT_EQ(menu.scroll, 16);
    wheel(-WHEEL_DELTA / 2);
    EXPECT_EQ(menu.scroll, 24);
    // Far up stops at the top; it stops the list following the playing tune as a move does.
    menu.follow = 1;
    wheel(20 * WHEEL_DELTA);
    EXPECT_EQ(menu.scroll, 0);
    EXPECT_EQ(menu.follow, 0);
    // Outside the menu screen the wheel does nothing.
    screens.state = SCREEN_END;
    const int y = menu.mouseY;
    post(WM_MOUSEWHEEL, static_cast<std::uint32_t>(WHEEL_DELTA) << 16);
    pump();
    EXPECT_EQ(menu.mouseY, y);
}

TEST_F(MenuInputTest, AfterARestoreTheIndicatorIsOnEveryPageAndRandomPlayKeepsItsTune) {
    menu.firstFrame = 0;
    menu.indicatorRedraw = 0;
    menu.meterRedraw = 0;
    post(WM_KEYDOWN, 'L');
    pump();
    for (int f = 0; f < 3; ++f) menu_frame(shell.console, shell.workSurface);
    ASSERT_EQ(shownPixel(1, 1), ON_COLOUR);
    const std::uint32_t start = menu.randomStart, duration = menu.randomDuration;
    post(WM_SIZE, SIZE_RESTORED);
    pump();
    for (int f = 0; f < 4; ++f) {
        menu_frame(shell.console, shell.workSurface);
        EXPECT_EQ(shownPixel(1, 1), ON_COLOUR) << f;
        EXPECT_EQ(shownPixel(10, 370), 0u) << "the dark meter line, frame " << f;
    }
    EXPECT_EQ(menu.randomStart, start);
    EXPECT_EQ(menu.randomDuration, duration);
    // With random play off, the off picture comes back the same way.
    post(WM_KEYDOWN, 'L');
    pump();
    for (int f = 0; f < 2; ++f) menu_frame(shell.console, shell.workSurface);
    post(WM_SIZE, SIZE_MAXIMIZED);
    pump();
    for (int f = 0; f < 2; ++f) {
        menu_frame(shell.console, shell.workSurface);
        EXPECT_EQ(shownPixel(1, 1), OFF_COLOUR) << f;
    }
    EXPECT_EQ(menu.randomStart, start);
}

std::uint32_t lcg = 1;
int lcgRandom() {
    lcg = lcg * 1103515245u + 12345u;
    return static_cast<int>((lcg >> 16) & 0x7FFF);
}
int counter = 0;
int counterRandom() {
    return counter++ & 0x7FFF;
}

TEST(RandomPick, EveryEntryOfTheListComesUpAlike) {
    // 100000 picks of a 31-entry list: each entry near 1/31, the last one too.
    std::vector<int> hits(31);
    for (int i = 0; i < 100000; ++i) ++hits[random_play_index(31, lcgRandom)];
    for (int e = 0; e < 31; ++e) EXPECT_NEAR(hits[e], 100000 / 31.0, 100000 / 31.0 * 0.06) << e;
    // Over every draw the source can make (the few top ones that would favour the first
    // entries are drawn again) every entry gets exactly the same share.
    for (int count : {31, 5, 2}) {
        counter = 0;
        std::vector<int> exact(count);
        while (counter < RANDOM_RANGE - RANDOM_RANGE % count)
            ++exact[random_play_index(count, counterRandom)];
        for (int e = 0; e < count; ++e) EXPECT_EQ(exact[e], RANDOM_RANGE / count) << count;
    }
    // A draw from the uneven top of the range is drawn again: 32767 would give entry 2 of 5.
    counter = 32767;
    EXPECT_EQ(random_play_index(5, counterRandom), 0); // 32767 is drawn again: 32768 & 0x7fff
    counter = 32764;
    EXPECT_EQ(random_play_index(5, counterRandom), 4);
    // The source's extremes stay inside the list, whatever its length.
    for (int count : {1, 2, 31, 1010})
        for (auto source : {+[] { return 0; }, +[] { return 32767; }}) {
            const int i = random_play_index(count, source);
            EXPECT_GE(i, 0);
            EXPECT_LT(i, count);
        }
}

} // namespace
