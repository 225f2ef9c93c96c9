// The tune list, the cursor, activation and random play.
#include "fixture.h"

#include "audio/music.h"
#include "player/menu.h"
#include "player/menu_table.h"
#include "player/screens.h"
#include "player/scroller.h"
#include "player/shell.h"

using namespace platform;

class MenuTest : public PlayerTest {
  protected:
    void SetUp() override {
        PlayerTest::SetUp();
        screens.state = SCREEN_MENU;
        menu.mouseY = 200;
        menu_list_step(); // takes the first mouse position
    }
    int highlighted() {
        int n = 0;
        for (int j = 0; j < 220; ++j)
            for (int x = 0; x < 390; ++x)
                n += surface_row(shell.pictures.menuWindow, j)[x] == MENU_HIGHLIGHT;
        return n;
    }
    // Scrolls the list so that the cursor rests on row r.
    void cursorTo(int r) {
        menu.scroll = r * 16;
        menu.previousMouseY = menu.mouseY;
        menu_list_step();
        ASSERT_EQ(menu.selectedRow, r);
    }
};

TEST_F(MenuTest, MouseMovesScrollFourRowsAPixelAndTheListStopsAtBothEnds) {
    EXPECT_EQ(menu.scroll, 0);
    menu.mouseY = 201; // one pixel down
    menu_list_step();
    EXPECT_EQ(menu.scroll, 4);
    menu.mouseY = 0; // far up: stops at the top
    menu_list_step();
    EXPECT_EQ(menu.scroll, 0);
    EXPECT_EQ(menu.selectedRow, 0);
    // Far down, in moves of up to 399 pixels (x 4 = 1596 list rows each): stops at the bottom,
    // with the cursor on the all-zero row after the last.
    for (int i = 0; i < 4; ++i) {
        menu.mouseY = 399;
        menu_list_step();
        menu.mouseY = 0;
        menu.previousMouseY = 0; // the pointer went back up without the list seeing it
    }
    EXPECT_EQ(menu.scroll, 1172);
    EXPECT_EQ(menu_scroll_limit(), 1172);
    EXPECT_EQ(menu.selectedRow, 73); // the all-zero row
}

TEST_F(MenuTest, ArrowKeysMoveHalfARowSlot) {
    post(WM_KEYDOWN, VK_DOWN);
    pump();
    menu_list_step();
    EXPECT_EQ(menu.scroll, 8);
    post(WM_KEYDOWN, VK_DOWN);
    post(WM_KEYDOWN, VK_DOWN);
    post(WM_KEYDOWN, VK_UP);
    pump();
    menu_list_step();
    EXPECT_EQ(menu.scroll, 16);
    EXPECT_EQ(menu.selectedRow, 1);
}

TEST_F(MenuTest, FollowingReachesThePlayingRowInStepsOfFour) {
    menu.follow = 1;
    menu.playingRow = 6;
    for (int i = 1; i <= 24; ++i) {
        menu_list_step();
        ASSERT_EQ(menu.scroll, 4 * i);
    }
    EXPECT_EQ(menu.selectedRow, 6);
    EXPECT_EQ(menu.follow, 1);
    menu_list_step();
    EXPECT_EQ(menu.follow, 0);
    EXPECT_EQ(menu.scroll, 96);
    // A mouse move stops the following at once.
    menu.follow = 1;
    menu.playingRow = 30;
    menu.mouseY += 1;
    menu_list_step();
    EXPECT_EQ(menu.follow, 0);
}

TEST_F(MenuTest, OnlySelectableRowsAreHighlightedAndHeadersStayWhite) {
    cursorTo(6); // the first tune
    EXPECT_GT(highlighted(), 0);
    cursorTo(5); // its group's header
    EXPECT_EQ(menuTable[5].header, 1u);
    EXPECT_EQ(highlighted(), 0);
    cursorTo(1); // a banner line
    EXPECT_EQ(highlighted(), 0);
    cursorTo(64); // a scroll text
    EXPECT_GT(highlighted(), 0);
    cursorTo(73); // after the last row
    EXPECT_EQ(highlighted(), 0);
}

TEST_F(MenuTest, ActivatingPlainRowsDoesNothingAndScrollerRowsChangeTheText) {
    for (int r : {0, 1, 5, 57, 60, 73}) {
        cursorTo(r);
        activate_selection();
        EXPECT_EQ(scroller.transition, 0) << r;
        EXPECT_EQ(music_is_switching(), 0) << r;
        EXPECT_EQ(menu.follow, 0) << r;
    }
    cursorTo(66);
    activate_selection();
    EXPECT_EQ(scroller.transition, 30);
    EXPECT_EQ(scroller.text, menuTable[66].scrollText);
    EXPECT_EQ(menu.follow, 0);
}

TEST_F(MenuTest, TheMarkerBlinksTenFramesOutOfThirtyOne) {
    // The fixture has taken the menu's first list step; the marker first shows on the 32nd.
    std::vector<int> drawn;
    for (int f = 2; f <= 32 + 62; ++f) {
        int before = menu.markerCountdown;
        menu_list_step();
        drawn.push_back(before != 0);
    }
    for (int f = 2; f < 32; ++f) EXPECT_EQ(drawn[f - 2], 0) << f;
    EXPECT_EQ(drawn[32 - 2], 1);
    int on = 0;
    for (int f = 32; f < 32 + 62; ++f) on += drawn[f - 2];
    EXPECT_EQ(on, 20);
}

TEST_F(MenuTest, RandomPlayStartsOnTheSecondFrameAfterTheToggleAndMovesOnByTheListedTime) {
    menu.firstFrame = 0;
    menu.indicatorRedraw = 0;
    post(WM_KEYDOWN, 'L');
    pump();
    EXPECT_EQ(menu.randomPlay, 1);
    EXPECT_EQ(menu.indicatorRedraw, 2);
    const std::uint32_t before = menu.randomStart;
    menu_frame(shell.console, shell.workSurface);
    EXPECT_EQ(menu.randomStart, before);
    EXPECT_EQ(shownPixel(1, 1), ON_COLOUR);
    menu_frame(shell.console, shell.workSurface);
    const std::uint32_t firstPick = menu.randomStart;
    EXPECT_EQ(firstPick, clock.t - 33);
    ASSERT_GT(menu.randomDuration, 0u);
    bool listed = false;
    for (int i = 0; i < PLAY_LIST_LENGTH; ++i)
        listed |= menuTable[playList[i]].duration == menu.randomDuration;
    EXPECT_TRUE(listed);
    // Nothing happens before the listed time has passed; the next pick comes after it.
    clock.t = firstPick + menu.randomDuration - 40;
    menu_frame(shell.console, shell.workSurface);
    EXPECT_EQ(menu.randomStart, firstPick);
    const std::uint32_t firstDuration = menu.randomDuration;
    clock.t = firstPick + firstDuration + 1;
    menu_frame(shell.console, shell.workSurface);
    EXPECT_EQ(menu.randomStart, firstPick + firstDuration + 1);
    // Toggling off shows the off picture on both pages and leaves the tune alone.
    post(WM_KEYDOWN, 'L');
    pump();
    menu_frame(shell.console, shell.workSurface);
    EXPECT_EQ(shownPixel(1, 1), OFF_COLOUR);
    menu_frame(shell.console, shell.workSurface);
    EXPECT_EQ(shownPixel(1, 1), OFF_COLOUR);
}

TEST_F(MenuTest, MeterKeyLightsTheLineAndSwitchingItOffClearsEveryPage) {
    menu.firstFrame = 0;
    post(WM_KEYDOWN, 'Q');
    pump();
    EXPECT_EQ(menu.meterOn, 1);
    menu_frame(shell.console, shell.workSurface);
    // No music in this test: the bars are black, the rest of the line as it was made.
    EXPECT_EQ(shownPixel(250, 370), 0u);
    post(WM_KEYDOWN, 'Q');
    pump();
    EXPECT_EQ(menu.meterRedraw, 2);
    menu_frame(shell.console, shell.workSurface);
    menu_frame(shell.console, shell.workSurface);
    EXPECT_EQ(menu.meterRedraw, 0);
    EXPECT_EQ(shownPixel(600, 370), 0u);
}
