// Pause, the next and previous tune, quitting and what plays, through the keys and the calls
// the desktop's media controls use.
#include "fixture.h"

#include "audio/music.h"
#include "player/menu.h"
#include "player/menu_table.h"
#include "player/screens.h"
#include "player/shell.h"
#include "player/tune_control.h"

#include <chrono>
#include <thread>

using namespace platform;

namespace {

class TuneControlTest : public PlayerTest {
  protected:
    void SetUp() override {
        PlayerTest::SetUp();
        screens.state = SCREEN_MENU;
        menu.mouseY = 200;
        menu_frame(shell.console, shell.workSurface); // plays the first tune
        waitForSwitch();
    }
    void TearDown() override {
        waitForSwitch();
        music_free();
        PlayerTest::TearDown();
    }
    static void waitForSwitch() {
        for (int i = 0; i < 20000 && music_is_switching(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    void key(std::uint32_t vk) {
        post(WM_KEYDOWN, vk);
        pump();
    }
};

TEST_F(TuneControlTest, PAndThePlayPauseKeyPauseAndResume) {
    ASSERT_EQ(music_is_active(), 1);
    EXPECT_EQ(now_playing().status, NowPlaying::Playing);
    key('P');
    EXPECT_EQ(music_is_paused(), 1);
    EXPECT_EQ(now_playing().status, NowPlaying::Paused);
    key(VK_MEDIA_PLAY_PAUSE);
    EXPECT_EQ(music_is_paused(), 0);
    key(VK_MEDIA_PLAY_PAUSE);
    EXPECT_EQ(music_is_paused(), 1);
    // Stopped: paused at the start; playing again goes on from there.
    tune_stop();
    EXPECT_EQ(now_playing().status, NowPlaying::Stopped);
    tune_play();
    EXPECT_EQ(now_playing().status, NowPlaying::Playing);
    // A tune chosen while paused starts unpaused, and the pause is over.
    key('P');
    play_row(7);
    waitForSwitch();
    menu_frame(shell.console, shell.workSurface);
    EXPECT_EQ(music_is_paused(), 0);
    EXPECT_FALSE(menu.paused);
}

TEST_F(TuneControlTest, RandomPlaysClockStandsWhileTheTuneIsPaused) {
    menu.indicatorRedraw = 0;
    menu.randomPlay = 1;
    random_play_start();
    waitForSwitch();
    const std::uint32_t start = menu.randomStart, duration = menu.randomDuration;
    clock.t = start + 1000;
    key('P');
    menu_frame(shell.console, shell.workSurface);
    // Paused far past the tune's time: no new pick.
    clock.t = start + 10 * duration;
    for (int f = 0; f < 5; ++f) menu_frame(shell.console, shell.workSurface);
    EXPECT_EQ(menu.randomStart, start);
    // Resumed: the pick's time goes on from 1000 ms in.
    const std::uint32_t resumedAt = clock.t;
    key('P');
    menu_frame(shell.console, shell.workSurface);
    EXPECT_EQ(menu.randomStart, resumedAt - 1000);
    clock.t = menu.randomStart + duration;
    menu_frame(shell.console, shell.workSurface);
    EXPECT_EQ(menu.randomStart, resumedAt - 1000);
    clock.t = resumedAt - 1000 + duration + 1;
    menu_frame(shell.console, shell.workSurface);
    EXPECT_NE(menu.randomStart, resumedAt - 1000); // moved on after the tune's own time
}

TEST_F(TuneControlTest, NextAndPreviousGoThroughTheListInOrderAndTheListFollows) {
    const MenuTable& t = menu_table();
    ASSERT_EQ(menu.tuneRow, t.firstTuneRow);
    key(VK_MEDIA_NEXT_TRACK);
    waitForSwitch();
    EXPECT_EQ(menu.tuneRow, t.playList[1]);
    EXPECT_EQ(menu.playingRow, t.playList[1]);
    EXPECT_EQ(menu.follow, 1);
    tune_step(-1);
    waitForSwitch();
    EXPECT_EQ(menu.tuneRow, t.playList[0]);
    tune_step(-1); // around the top: the last tune
    waitForSwitch();
    EXPECT_EQ(menu.tuneRow, t.playList[t.playListLength - 1]);
    tune_step(1);
    waitForSwitch();
    EXPECT_EQ(menu.tuneRow, t.playList[0]);
    // A tune chosen by hand is the one Next goes on from.
    menu.follow = 0;
    menu.scroll = 15 * MENU_SLOT;
    menu.previousMouseY = menu.mouseY;
    menu_list_step();
    activate_selection();
    waitForSwitch();
    EXPECT_EQ(menu.tuneRow, 15);
    key(VK_MEDIA_NEXT_TRACK);
    waitForSwitch();
    EXPECT_EQ(menu.tuneRow, 16);
}

TEST_F(TuneControlTest, WhatPlaysIsToldByTheRowsTitleGroupAndTime) {
    const NowPlaying n = now_playing();
    EXPECT_EQ(n.row, 6);
    EXPECT_EQ(n.title, "jingle bells");
    EXPECT_EQ(n.group, "frostbyte");
    EXPECT_EQ(n.lengthMs, 112000u);
    play_row(11); // a row that its title and time fill to the last character
    waitForSwitch();
    const std::string text = menu_table().rows[11].text;
    EXPECT_EQ(text.find(now_playing().title), text.find_first_not_of(' '));
    EXPECT_EQ(now_playing().title.find('.'), std::string::npos);
}

TEST_F(TuneControlTest, QuitLeavesTheMenuAndTheEndPicturesAtOnce) {
    tune_quit();
    EXPECT_EQ(menu.leaveRequest, 1);
    int endFrames = 0;
    for (int f = 0; f < 2000 && screens.state != SCREEN_QUIT; ++f) {
        pump();
        screen_frame();
        endFrames += screens.state == SCREEN_END;
        // The fades of the sound run on the real clock: wait for them where the screens do.
        if (screens.state == SCREEN_MENU && menu.leaveCountdown == 0)
            while (menu.fadeOutDone.load() != 0) std::this_thread::yield();
        if (screens.state == SCREEN_END && screens.endLeaveCountdown == 0)
            while (screens.endFadeOutDone.load() != 0) std::this_thread::yield();
    }
    EXPECT_EQ(screens.state, SCREEN_QUIT);
    // The end pictures' own leave countdown, without their six seconds (182 frames) first.
    EXPECT_GE(endFrames, 100);
    EXPECT_LE(endFrames, 102);
}

} // namespace
