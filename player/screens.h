#pragma once
// The main loop and the screens it steps through, from the black pause to quit.
#include "audio/music.h"

#include <cstdint>

enum ScreenState : std::uint8_t {
    SCREEN_BLACK = 1,
    SCREEN_FADE_IN = 2,
    SCREEN_MENU = 3,
    SCREEN_MENU_FADE_OUT = 4,
    SCREEN_END_FADE_IN = 5,
    SCREEN_END = 6,
    SCREEN_END_FADE_OUT = 7,
    SCREEN_QUIT = 8,
};

struct Screens {
    std::uint8_t state = SCREEN_BLACK;
    std::int32_t blackCounter = 32;
    std::int32_t fadeInCounter = 32;
    std::int32_t menuFadeOutCounter = 22;
    std::int32_t endFadeInCounter = 32;
    std::int32_t endFadeInAlternation = 7;
    std::int32_t endAlternation = 7;
    std::int32_t endFadeOutCounter = 22;
    std::int32_t endLeaveCountdown = 100;
    std::int32_t endFadeInSelector = 1;
    std::int32_t endSelector = 1;
    MusicFlag endFadeOutDone;         // cleared by the audio fade-out thread
    std::int32_t endLeaveRequest = 0; // set by the window procedure
    bool quitRequested = false; // the desktop asked the disk to quit: the end pictures go at once
    std::uint32_t endPictureTime = 0;
};

extern Screens screens;

// Back to the state the program starts in (for tests that step several runs).
void reset_screens();

// Runs until the quit message; returns to the shutdown.
void run_main_loop();
// Renders one frame of the current screen.
void screen_frame();
