// The screens from the black pause to quit, frame by frame, on a fake clock.
#include "fixture.h"

#include "player/menu.h"
#include "player/screens.h"
#include "player/shell.h"

#include <thread>

using namespace platform;

namespace {
std::uint32_t darker(std::uint32_t c, int amount) {
    std::uint32_t out = 0;
    for (int s = 0; s < 24; s += 8) {
        int v = static_cast<int>((c >> s) & 255) - amount;
        out |= static_cast<std::uint32_t>(v < 0 ? 0 : v) << s;
    }
    return out;
}
} // namespace

class ScreensTest : public PlayerTest {
  protected:
    // Runs the screens up to the first menu frame.
    void toMenu() { ASSERT_GT(framesUntil(SCREEN_MENU), 0); }
    // Waits (really) for an audio fade-out thread to store 0 in its flag.
    static void awaitFlag(const MusicFlag& flag) {
        while (flag.load() != 0) std::this_thread::yield();
    }
};

TEST_F(ScreensTest, BlackPauseThenFadeInByEightsThenThePictureOnEveryPage) {
    // 31 black frames, each shown and paced.
    for (int i = 0; i < 31; ++i) {
        std::uint32_t before = clock.t;
        screen_frame();
        ASSERT_EQ(screens.state, SCREEN_BLACK) << i;
        EXPECT_EQ(shownPixel(320, 200), 0u);
        EXPECT_EQ(clock.t - before, 33u);
    }
    EXPECT_EQ(updates(), 31u);
    // The 32nd call changes the state, draws nothing and does not wait.
    std::uint32_t before = clock.t;
    screen_frame();
    EXPECT_EQ(screens.state, SCREEN_FADE_IN);
    EXPECT_EQ(updates(), 31u);
    EXPECT_EQ(clock.t, before);
    // 31 fade frames, darkened by 248, 240, ... 8.
    for (int amount = 248; amount >= 8; amount -= 8) {
        screen_frame();
        ASSERT_EQ(screens.state, SCREEN_FADE_IN);
        EXPECT_EQ(shownPixel(320, 200), darker(MAIN_COLOUR, amount)) << amount;
    }
    // The last one shows the finished picture, with the exit label, on both pages.
    std::uint64_t u = updates();
    screen_frame();
    EXPECT_EQ(screens.state, SCREEN_MENU);
    EXPECT_EQ(updates(), u + 2);
    ptc_console_update(shell.console); // look at the other page too
    ptc_console_update(shell.console);
    EXPECT_EQ(shownPixel(320, 200), MAIN_COLOUR);
    EXPECT_EQ(shownPixel(EXIT_LABEL_X + 1, EXIT_LABEL_Y + 1), LABEL_COLOUR);
}

TEST_F(ScreensTest, CloseDoesNothingOutsideTheMenuAndTheEndPicture) {
    post(WM_CLOSE);
    pump();
    screen_frame();
    EXPECT_EQ(menu.leaveRequest, 0);
    EXPECT_EQ(screens.endLeaveRequest, 0);
    for (std::uint8_t s :
         {SCREEN_FADE_IN, SCREEN_MENU_FADE_OUT, SCREEN_END_FADE_IN, SCREEN_END_FADE_OUT}) {
        screens.state = s;
        post(WM_CLOSE);
        pump();
        EXPECT_EQ(menu.leaveRequest, 0) << int(s);
        EXPECT_EQ(screens.endLeaveRequest, 0) << int(s);
    }
    screens.state = SCREEN_MENU;
    post(WM_CLOSE);
    pump();
    EXPECT_EQ(menu.leaveRequest, 1);
    screens.state = SCREEN_END;
    post(WM_CLOSE);
    pump();
    EXPECT_EQ(screens.endLeaveRequest, 1);
}

TEST_F(ScreensTest, MenuLeavesAfterItsCountdownAndTheFadeOutThenFadesIn21Frames) {
    toMenu();
    post(WM_KEYDOWN, VK_ESCAPE);
    int frames = 0;
    // 100 countdown frames at least; then it waits for the fade-out thread.
    while (screens.state == SCREEN_MENU) {
        pump();
        screen_frame();
        ++frames;
        if (frames == 100) awaitFlag(menu.fadeOutDone);
        ASSERT_LT(frames, 200);
    }
    EXPECT_EQ(frames, 101); // 100 that count down, then the one at 0 that leaves
    EXPECT_EQ(screens.state, SCREEN_MENU_FADE_OUT);
    // 21 frames take the grabbed picture to black; the 22nd moves on.
    for (int i = 0; i < 21; ++i) {
        screen_frame();
        ASSERT_EQ(screens.state, SCREEN_MENU_FADE_OUT) << i;
    }
    EXPECT_EQ(shownPixel(320, 200), 0u);
    EXPECT_EQ(shownPixel(EXIT_LABEL_X + 1, EXIT_LABEL_Y + 1), 0u);
    screen_frame();
    EXPECT_EQ(screens.state, SCREEN_END_FADE_IN);
}

TEST_F(ScreensTest, EndPicturesAlternateEveryEightFrames) {
    screens.state = SCREEN_END_FADE_IN;
    // Fade-in: frame i shows end picture 1 or 2 darkened by (31 - i) x 8, in runs of 8.
    for (int i = 0; i < 31; ++i) {
        screen_frame();
        ASSERT_EQ(screens.state, SCREEN_END_FADE_IN);
        const int amount = (31 - i) * 8;
        const std::uint32_t expected = darker((i / 8) % 2 == 0 ? END1_COLOUR : END2_COLOUR, amount);
        EXPECT_EQ(shownPixel(10, 10), expected) << i;
    }
    screen_frame();
    EXPECT_EQ(screens.state, SCREEN_END);
    // The end picture itself: 8 frames each, starting with picture 1.
    for (int i = 0; i < 24; ++i) {
        screen_frame();
        EXPECT_EQ(shownPixel(10, 10), (i / 8) % 2 == 0 ? END1_COLOUR : END2_COLOUR) << i;
    }
}

TEST_F(ScreensTest, EndPictureLeavesBySixSecondsAndWaitsForTheFadeOut) {
    screens.state = SCREEN_END_FADE_IN;
    ASSERT_GT(framesUntil(SCREEN_END), 0);
    int frames = 0;
    while (!screens.endLeaveRequest) {
        screen_frame();
        ++frames;
    }
    // Frame k starts at start + 33k; the first with more than 6000 ms gone is k = 182.
    EXPECT_EQ(frames, 183);
    // The countdown of 100 frames runs; the fade-out thread clears the flag meanwhile. Hold the
    // flag at 1 to see the screen wait for it.
    awaitFlag(screens.endFadeOutDone);
    screens.endFadeOutDone = 1;
    for (int i = 0; i < 150; ++i) screen_frame();
    EXPECT_EQ(screens.state, SCREEN_END);
    EXPECT_EQ(screens.endLeaveCountdown, 0);
    screens.endFadeOutDone = 0;
    screen_frame();
    EXPECT_EQ(screens.state, SCREEN_END_FADE_OUT);
    // 21 darkening frames, then quit, which asks the window to destroy itself.
    for (int i = 0; i < 21; ++i) screen_frame();
    EXPECT_EQ(screens.state, SCREEN_END_FADE_OUT);
    EXPECT_EQ(shownPixel(10, 10), 0u);
    screen_frame();
    EXPECT_EQ(screens.state, SCREEN_QUIT);
    screen_frame();
    Message m;
    ASSERT_TRUE(peekMessage(m));
    EXPECT_EQ(m.message, WM_DESTROY);
    dispatchMessage(m);
    ASSERT_TRUE(peekMessage(m));
    EXPECT_EQ(m.message, WM_QUIT);
}

TEST_F(ScreensTest, EndPictureLeavesEarlyOnEscapeEXClickOrClose) {
    struct Input {
        std::uint32_t message;
        std::uintptr_t key;
    } inputs[] = {{WM_KEYDOWN, VK_ESCAPE}, {WM_KEYDOWN, 'E'},   {WM_KEYDOWN, 'X'},
                  {WM_LBUTTONDOWN, 0},     {WM_RBUTTONDOWN, 0}, {WM_CLOSE, 0}};
    for (const Input& in : inputs) {
        screens.state = SCREEN_END;
        screens.endLeaveRequest = 0;
        screens.endPictureTime = clock.t;
        screen_frame();
        post(WM_KEYDOWN, 'A'); // other keys do nothing
        pump();
        EXPECT_EQ(screens.endLeaveRequest, 0);
        post(in.message, in.key);
        pump();
        EXPECT_EQ(screens.endLeaveRequest, 1) << in.message << " " << in.key;
    }
}

TEST_F(ScreensTest, RestoringTheWindowRepaintsEveryPageBeforeTheNextMenuFrame) {
    toMenu();
    screen_frame();
    post(WM_SIZE, SIZE_MINIMIZED);
    pump();
    EXPECT_EQ(menu.windowRestored, 0);
    post(WM_SIZE, SIZE_RESTORED);
    pump();
    EXPECT_EQ(menu.windowRestored, 1);
    std::uint64_t u = updates();
    screen_frame();
    EXPECT_EQ(updates(), u + 3); // both pages, then the frame itself
    EXPECT_EQ(menu.windowRestored, 0);
    post(WM_SIZE, SIZE_MAXIMIZED);
    pump();
    EXPECT_EQ(menu.windowRestored, 1);
}
