// The menu driven with whatever table the program was linked with: the shipped collection in
// test_player, a small one and one at the list's limit in the programs named after them.
#include "fixture.h"

#include "player/menu.h"
#include "player/menu_table.h"
#include "player/screens.h"
#include "player/scroller.h"
#include "player/shell.h"

#include <cstring>
#include <set>

namespace {

class CollectionTest : public PlayerTest {
  protected:
    void SetUp() override {
        PlayerTest::SetUp();
        screens.state = SCREEN_MENU;
        menu.mouseY = 200;
        menu_list_step();
    }
    void cursorTo(int r) {
        menu.scroll = r * MENU_SLOT;
        menu.previousMouseY = menu.mouseY;
        menu_list_step();
        ASSERT_EQ(menu.selectedRow, r);
    }
    std::set<std::uint32_t> tuneDurations() const {
        std::set<std::uint32_t> d;
        for (int i = 0; i < PLAY_LIST_LENGTH; ++i) d.insert(menuTable[playList[i]].duration);
        return d;
    }
};

TEST_F(CollectionTest, TheLayoutNumbersDescribeTheTable) {
    ASSERT_GE(MENU_ROW_COUNT, 15);
    EXPECT_EQ(menuRowCount, MENU_ROW_COUNT);
    EXPECT_EQ(menuTable[MENU_ROW_COUNT].text, nullptr); // the all-zero row
    EXPECT_EQ(FIRST_TUNE_ROW, 6);
    EXPECT_EQ(playList[0], FIRST_TUNE_ROW);
    // The play list is every tune row in table order; the scroller rows close the table.
    int n = 0;
    for (int i = 0; i < MENU_ROW_COUNT; ++i) {
        if (menuTable[i].kind == ROW_TUNE) {
            ASSERT_LT(n, PLAY_LIST_LENGTH);
            EXPECT_EQ(playList[n++], i);
        }
        EXPECT_EQ(menuTable[i].kind == ROW_SCROLLER, i >= FIRST_SCROLLER_ROW) << i;
    }
    EXPECT_EQ(n, PLAY_LIST_LENGTH);
    EXPECT_EQ(MENU_ROW_COUNT - FIRST_SCROLLER_ROW, SCROLL_TEXT_COUNT);
    EXPECT_EQ(menu_list_height(), (MENU_ROW_COUNT + 14) * 16);
}

TEST_F(CollectionTest, TheListScrollsToItsLastRowAndNoFurther) {
    const int limit = (MENU_ROW_COUNT + 14) * 16 - 220;
    EXPECT_EQ(menu_scroll_limit(), limit);
    // Down with the arrow key, a row slot every two presses, until the list stops.
    int previous = -1, presses = 0;
    while (menu.scroll != previous && presses < 4 * MENU_ROW_COUNT + 100) {
        previous = menu.scroll;
        post(platform::WM_KEYDOWN, platform::VK_DOWN);
        pump();
        menu_list_step();
        ++presses;
    }
    EXPECT_EQ(menu.scroll, limit);
    EXPECT_EQ(menu.selectedRow, MENU_ROW_COUNT); // the all-zero row, which does nothing
    activate_selection();
    EXPECT_EQ(scroller.transition, 0);
    // One slot up is the last scroll text.
    for (int i = 0; i < 2; ++i) post(platform::WM_KEYDOWN, platform::VK_UP);
    pump();
    menu_list_step();
    EXPECT_EQ(menu.selectedRow, MENU_ROW_COUNT - 1);
    EXPECT_EQ(menuTable[menu.selectedRow].kind, ROW_SCROLLER);
    // The last row's text is in the drawn list, the slots below it are empty.
    const int lastTop = 16 * (MENU_ROW_COUNT - 1) + 112;
    bool drawn = false;
    for (int y = lastTop; y < lastTop + 16; ++y) {
        ASSERT_NE(menu_list_row(y), nullptr) << y;
        for (int x = 0; x < 375; ++x) drawn |= menu_list_row(y)[x] != 0xFF00FFu;
    }
    EXPECT_TRUE(drawn);
    for (int y = lastTop + 16; y < menu_list_height(); ++y)
        for (int x = 0; x < 375; ++x) ASSERT_EQ(menu_list_row(y)[x], 0xFF00FFu) << y;
}

TEST_F(CollectionTest, RandomPlayPicksOnlyItsOwnTunesAndMovesOnByTheirTimes) {
    const std::set<std::uint32_t> own = tuneDurations();
    std::srand(7);
    menu.firstFrame = 0;
    menu.indicatorRedraw = 0;
    post(platform::WM_KEYDOWN, 'L');
    pump();
    menu_frame(shell.console, shell.workSurface);
    menu_frame(shell.console, shell.workSurface);
    std::set<std::uint32_t> seen;
    for (int pick = 0; pick < 40; ++pick) {
        const std::uint32_t start = menu.randomStart, duration = menu.randomDuration;
        ASSERT_TRUE(own.count(duration)) << duration;
        seen.insert(duration);
        clock.t = start + duration; // not yet: the time must have passed
        menu_frame(shell.console, shell.workSurface);
        ASSERT_EQ(menu.randomStart, start);
        clock.t = start + duration + 1;
        menu_frame(shell.console, shell.workSurface);
        ASSERT_EQ(menu.randomStart, start + duration + 1);
    }
    // Many more picks reach every tune of the list.
    for (int pick = 0; pick < 20 * PLAY_LIST_LENGTH + 200; ++pick) {
        random_play_start();
        ASSERT_TRUE(own.count(menu.randomDuration));
        seen.insert(menu.randomDuration);
    }
    EXPECT_EQ(seen, own);
}

TEST_F(CollectionTest, ChoosingEachScrollerRowShowsItsText) {
    for (int r = FIRST_SCROLLER_ROW; r < MENU_ROW_COUNT; ++r) {
        cursorTo(r);
        activate_selection();
        const char* text = scrollTexts[r - FIRST_SCROLLER_ROW];
        ASSERT_EQ(menuTable[r].scrollText, text);
        EXPECT_EQ(scroller.text, text) << r;
        EXPECT_EQ(scroller.length, static_cast<int>(std::strlen(text)));
        for (int f = 0; f < 30; ++f) scroller_step();
        EXPECT_EQ(scroller.transition, 0);
        // The new text enters from its first character.
        for (int f = 0; f < 16; ++f) scroller_step();
        EXPECT_EQ(scroller.nextCharacter, 1) << r;
    }
}

} // namespace
